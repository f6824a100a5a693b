// The calling thread's stack bounds, read once per thread.
#include "platform/stack.h"

#include <pthread.h>

#include <cstdint>

namespace tallow::platform {

size_t StackRemaining() {
    thread_local uintptr_t low = [] {
        pthread_attr_t attr;
        uintptr_t base = 0;
        if (pthread_getattr_np(pthread_self(), &attr) == 0) {
            void* addr = nullptr;
            size_t size = 0;
            if (pthread_attr_getstack(&attr, &addr, &size) == 0) base = uintptr_t(addr);
            pthread_attr_destroy(&attr);
        }
        return base;
    }();
    char here;
    uintptr_t sp = uintptr_t(&here);
    if (low == 0 || sp <= low) return SIZE_MAX;
    return sp - low;
}

}  // namespace tallow::platform
