// The large stack on Windows: the programs are linked with a 16 MiB stack
// (--stack), so the work runs on the thread that started them.
#include "platform/large_stack.h"

namespace tallow::platform {

int RunWithLargeStack(int (*main)(int, char**), int argc, char** argv) {
    return main(argc, argv);
}

}  // namespace tallow::platform
