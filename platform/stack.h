// How much of the calling thread's stack is left, for the engine's guard
// against runaway recursion.
#pragma once

#include <cstddef>

namespace tallow::platform {

// Bytes between the current stack depth and the end of the thread's stack;
// a very large value when the system cannot tell.
size_t StackRemaining();

}  // namespace tallow::platform
