// What the C runtime's allocator tells about a block it handed out.
#pragma once

#include <cstddef>

namespace tallow::platform {

// The usable size of a block from malloc or realloc (at least the size asked
// for), as the allocator reports it. block must be live and not null.
size_t BlockUsableSize(void* block);

}  // namespace tallow::platform
