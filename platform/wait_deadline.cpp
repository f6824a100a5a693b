// The deadline of waits, kept per thread: each thread runs its own programs.
#include "platform/wait_deadline.h"

#include <algorithm>
#include <chrono>

namespace tallow::platform {

namespace {
thread_local std::optional<uint64_t> deadline_;
thread_local int* watch_ = nullptr;
}  // namespace

uint64_t SteadyMilliseconds() {
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::optional<uint64_t> SetWaitDeadline(std::optional<uint64_t> deadline) {
    std::optional<uint64_t> before = deadline_;
    deadline_ = deadline;
    return before;
}

std::optional<uint64_t> WaitDeadline() {
    return deadline_;
}

uint64_t WaitWithinDeadline(uint64_t milliseconds) {
    if (!deadline_) return milliseconds;
    uint64_t now = SteadyMilliseconds();
    uint64_t left = now >= *deadline_ ? 0 : *deadline_ - now;
    if (left > milliseconds) return milliseconds;
    if (watch_) *watch_ = 1;
    return left;
}

int* SetDeadlineWatch(int* countdown) {
    int* before = watch_;
    watch_ = countdown;
    return before;
}

}  // namespace tallow::platform
