// The confinement switch and its path rule; no system calls.
#include "confinement.h"

#include <atomic>

namespace tallow::platform {

namespace {
std::atomic<bool> gConfined{false};
}

void SetConfined(bool confined) {
    gConfined = confined;
}
bool Confined() {
    return gConfined;
}

bool PathAllowed(std::string_view path) {
    if (!gConfined) return true;
    if (path.empty() || path[0] == '/' || path[0] == '\\' || path[0] == '~') return false;
    if (path.size() >= 2 && path[1] == ':') return false;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/' || path[i] == '\\') {
            if (path.substr(start, i - start) == "..") return false;
            start = i + 1;
        }
    }
    return true;
}

}  // namespace tallow::platform
