// The time limit of the run on this thread, as every wait a script starts
// sees it: a wait returns by the deadline whatever it waits for, so that a
// host's time limit bounds a long sleep or a socket wait as well as a loop.
#pragma once

#include <cstdint>
#include <optional>

namespace tallow::platform {

// Milliseconds of a clock that never goes back, from some fixed point.
uint64_t SteadyMilliseconds();

// Sets the deadline (in SteadyMilliseconds) of the waits of this thread, or
// none; gives the one it replaces.
std::optional<uint64_t> SetWaitDeadline(std::optional<uint64_t> deadline);
std::optional<uint64_t> WaitDeadline();

// The part of a wait of milliseconds that ends by the deadline: milliseconds
// itself without one, 0 once it has passed. A wait the deadline shortens
// sets the watched counter (below) to 1.
uint64_t WaitWithinDeadline(uint64_t milliseconds);

// Sets the counter of this thread that a shortened wait sets to 1, or none;
// gives the one it replaces. The run that owns the deadline counts down to
// its next look at the clock with it, so after such a wait it looks at once
// instead of running on for a while past its deadline.
int* SetDeadlineWatch(int* countdown);

}  // namespace tallow::platform
