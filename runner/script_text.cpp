// What the runner checks in a script file before the engine runs it.
#include "script_text.h"

namespace tallow::runner {

size_t FindStrayNul(std::string_view raw) {
    size_t nul = raw.find('\0');
    if (nul == std::string_view::npos || raw.find_first_not_of('\0', nul) == std::string_view::npos)
        return std::string_view::npos;
    return nul;
}

size_t LineOfOffset(std::string_view raw, size_t offset) {
    size_t line = 1;
    for (size_t i = 0; i < offset && i < raw.size(); ++i)
        if (raw[i] == '\n' || (raw[i] == '\r' && (i + 1 >= raw.size() || raw[i + 1] != '\n'))) ++line;
    return line;
}

bool IsCodeFile(std::string_view raw) {
    constexpr size_t kMagicField = 16;
    return raw.starts_with("TALLOW") && raw.substr(0, kMagicField).find('\0') != std::string_view::npos;
}

}  // namespace tallow::runner
