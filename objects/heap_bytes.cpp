// Until the Heap object hands out blocks, no address is valid.
#include "heap_bytes.h"

#include "core/messages.h"
#include "core/program.h"

namespace tallow {

void* HeapBytes(Program& p, double, size_t) {
    p.ReportError(kRuntimeKind, msg::kInvalidHeapAddress);
}

}  // namespace tallow
