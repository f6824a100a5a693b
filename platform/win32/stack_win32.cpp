// The calling thread's stack bounds: the base of the reserved region that
// holds the current stack pointer, read once per thread.
#include "platform/stack.h"

#include <windows.h>

#include <cstdint>

namespace tallow::platform {

size_t StackRemaining() {
    thread_local uintptr_t low = [] {
        MEMORY_BASIC_INFORMATION info{};
        // Any address in the current frame lies in the thread's stack region.
        if (VirtualQuery(&info, &info, sizeof info) == 0) return uintptr_t(0);
        return uintptr_t(info.AllocationBase);
    }();
    char here;
    uintptr_t sp = uintptr_t(&here);
    if (low == 0 || sp <= low) return SIZE_MAX;
    // The last pages of a Windows stack are its guard; keep clear of them.
    size_t left = sp - low;
    return left > 16384 ? left - 16384 : 0;
}

}  // namespace tallow::platform
