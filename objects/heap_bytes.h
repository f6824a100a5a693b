// Raw bytes by address: members of other objects that move raw bytes
// (registry buffers, port and mailslot buffers, clipboard buffers) take the
// addresses that the Heap object hands out, as numbers.
#pragma once

#include <cstddef>

namespace tallow {

class Program;

namespace msg {
constexpr const char kInvalidHeapAddress[] = "Invalid heap address!";
}  // namespace msg

// The size bytes at address, when they lie inside one live block that the
// program's Heap object handed out (or the program trusts raw addresses);
// otherwise reports "Invalid heap address!" (kind 1).
void* HeapBytes(Program& p, double address, size_t size);

}  // namespace tallow
