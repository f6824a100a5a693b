// Which clock is in use; the clocks themselves live in the targets' files.
#include "clock.h"

#include <atomic>

namespace tallow::platform {

namespace {
std::atomic<SystemClock*> gInstalled{nullptr};
}

SystemClock& Clock() {
    SystemClock* installed = gInstalled;
    return installed ? *installed : OperatingSystemClock();
}

void InstallClock(SystemClock* clock) {
    gInstalled = clock;
}

}  // namespace tallow::platform
