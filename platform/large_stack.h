// Runs a program's work on a thread with a large stack, so that scripts
// reach the engine's nesting limit before the end of the stack.
#pragma once

namespace tallow::platform {

// Calls main(argc, argv) on a thread whose stack holds deep recursion and
// returns its result; calls it directly where the executable's own stack is
// made large at link time (Windows).
int RunWithLargeStack(int (*main)(int, char**), int argc, char** argv);

}  // namespace tallow::platform
