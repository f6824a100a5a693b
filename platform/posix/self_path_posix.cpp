// The running program's path from /proc/self/exe; POSIX keeps no raw
// command line.
#include <unistd.h>

#include <vector>

#include "platform/self_path.h"

namespace tallow::platform {

std::string ExecutablePath() {
    std::vector<char> buffer(1024);
    for (;;) {
        ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return std::string();
        if (static_cast<size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
        if (buffer.size() >= (size_t(1) << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::string> RawArgumentText() {
    return std::nullopt;
}

}  // namespace tallow::platform
