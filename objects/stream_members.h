// The members that port and mailslot objects share, each reading its own
// parameters from the program's lexer and leaving it after the last one.
#pragma once

#include <cstddef>
#include <string>

namespace tallow {

class Program;
class ByteSource;

// waitfor(text, seconds): 1 when text arrives in time, else 0.
double StreamWaitFor(Program& p, ByteSource& source);
// waitformany(seconds [, text]...): the position of the text that arrived
// first, or 0.
double StreamWaitForMany(Program& p, ByteSource& source);
// readstring(seconds): the next line, "" on time-out.
std::string StreamReadString(Program& p, ByteSource& source);

// The memory that writebuffer and readbuffer name with their parameters
// "address, size": bytes of a block the Heap object handed out. Raises
// "Invalid heap address!" for any other range.
struct HeapRange {
    void* data = nullptr;
    size_t size = 0;
};
HeapRange ReadHeapRange(Program& p);

}  // namespace tallow
