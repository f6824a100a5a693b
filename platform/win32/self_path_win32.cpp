// The running program's path from GetModuleFileName and its command line
// from GetCommandLine, both in the ANSI code page the engine uses.
#include <windows.h>

#include <vector>

#include "platform/self_path.h"

namespace tallow::platform {

std::string ExecutablePath() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) return std::string(buffer.data(), length);
        if (buffer.size() >= 32768) return std::string();  // the longest path Windows knows
        buffer.resize(buffer.size() * 2);
    }
}

// The program's name ends at the next quote when it starts with one, else at
// the first blank or tab, as the system's own loader reads it.
std::optional<std::string> RawArgumentText() {
    const char* line = ::GetCommandLineA();
    if (line == nullptr) return std::string();
    const char* p = line;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return std::string(p);
}

}  // namespace tallow::platform
