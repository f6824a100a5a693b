#include "platform/line_editor.h"

#include <cstdio>

namespace tallow::platform {

bool ReadPlainLine(const char* prompt, std::string& line) {
    std::fputs(prompt, stdout);
    std::fflush(stdout);
    line.clear();
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
        line += buffer;
        if (!line.empty() && line.back() == '\n') {
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
                line.pop_back();
            return true;
        }
    }
    return !line.empty();
}

}  // namespace tallow::platform
