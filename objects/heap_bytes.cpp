// Raw bytes by address for the members of other objects: the program's Heap
// blocks decide what an address may reach.
#include "heap_bytes.h"

#include "core/messages.h"
#include "core/program.h"
#include "objects/heap_blocks.h"

namespace tallow {

void* HeapBytes(Program& p, double address, size_t size) {
    if (p.heapBlocks)
        if (void* bytes = p.heapBlocks->Bytes(AddressFromNumber(address), size)) return bytes;
    p.ReportError(kRuntimeKind, msg::kInvalidHeapAddress);
}

}  // namespace tallow
