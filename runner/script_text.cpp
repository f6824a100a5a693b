// Script text preparation for the runner.
#include "script_text.h"

namespace tallow::runner {

std::string PrepareScriptText(std::string_view raw) {
    std::string_view text = raw.substr(0, raw.find('\0'));
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    size_t i = 0;
    if (text.substr(0, 2) == "#!") {
        while (i < text.size() && text[i] != '\n' && text[i] != '\r') {
            out += ' ';
            ++i;
        }
    }
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += c;
    }
    return out;
}

bool IsCodeFile(std::string_view raw) {
    return raw.substr(0, 7) == std::string_view("TALLOW\0", 7) || raw.substr(0, 8) == std::string_view("TALLOW1\0", 8);
}

}  // namespace tallow::runner
