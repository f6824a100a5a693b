// A program's start on a large stack, with memory exhaustion caught.
#include "support/program_main.h"

#include <new>

#include "support/code_run_status.h"
#include "support/system.h"

namespace tallow::support {

namespace {

// The program's main and its report, for the stack's one entry point.
int (*programMain)(int, char**) = nullptr;
void (*reportOutOfMemory)() = nullptr;

int GuardedMain(int argc, char** argv) {
    try {
        return programMain(argc, argv);
    } catch (const std::bad_alloc&) {
        reportOutOfMemory();
        return kStatusFailed;
    }
}

}  // namespace

int RunMain(int (*main)(int, char**), int argc, char** argv, void (*outOfMemory)()) {
    programMain = main;
    reportOutOfMemory = outOfMemory;
    return RunWithLargeStack(GuardedMain, argc, argv);
}

}  // namespace tallow::support
