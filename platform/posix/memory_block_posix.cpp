// Block sizes from glibc's allocator.
#include <malloc.h>

#include "platform/memory_block.h"

namespace tallow::platform {

size_t BlockUsableSize(void* block) {
    return malloc_usable_size(block);
}

}  // namespace tallow::platform
