// The large stack on POSIX systems: a thread of its own.
#include <pthread.h>

#include <cstddef>

#include "platform/large_stack.h"

namespace tallow::platform {

namespace {

// Room for the deepest nesting the engine allows, with every frame at its
// largest (sanitizer builds included); only what is used is ever touched.
constexpr size_t kStackBytes = sizeof(void*) == 8 ? size_t(256) << 20 : size_t(64) << 20;

struct Call {
    int (*main)(int, char**);
    int argc;
    char** argv;
    int result;
};

void* Run(void* data) {
    auto* call = static_cast<Call*>(data);
    call->result = call->main(call->argc, call->argv);
    return nullptr;
}

}  // namespace

int RunWithLargeStack(int (*main)(int, char**), int argc, char** argv) {
    Call call{main, argc, argv, 0};
    pthread_attr_t attr;
    pthread_t thread;
    bool started = pthread_attr_init(&attr) == 0 && pthread_attr_setstacksize(&attr, kStackBytes) == 0 &&
                   pthread_create(&thread, &attr, Run, &call) == 0;
    pthread_attr_destroy(&attr);
    if (!started) return main(argc, argv);  // the stack the system gave
    pthread_join(thread, nullptr);
    return call.result;
}

}  // namespace tallow::platform
