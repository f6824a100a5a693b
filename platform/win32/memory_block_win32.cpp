// Block sizes from the C runtime's allocator.
#include <malloc.h>

#include "platform/memory_block.h"

namespace tallow::platform {

size_t BlockUsableSize(void* block) {
    return _msize(block);
}

}  // namespace tallow::platform
