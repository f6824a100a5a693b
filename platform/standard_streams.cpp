// Reading standard input whole, the same on every system.
#include "platform/standard_streams.h"

#include <cstdio>

namespace tallow::platform {

bool ReadStandardInput(std::string& out) {
    ReadStandardInputAsBytes();
    char buffer[65536];
    for (;;) {
        size_t n = std::fread(buffer, 1, sizeof buffer, stdin);
        out.append(buffer, n);
        if (n < sizeof buffer) return !std::ferror(stdin);
    }
}

}  // namespace tallow::platform
