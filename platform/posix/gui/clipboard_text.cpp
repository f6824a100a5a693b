// Other programs' clipboard text for scripts.
#include "clipboard_text.h"

#include <cstdint>
#include <vector>

#include "platform/utf8_text.h"

namespace tallow::gui {

namespace {

// What a script reads for a character Latin-1 lacks, as Windows gives the
// text format for a character outside the code page.
constexpr char kUnknownCharacter = '?';

}  // namespace

std::string ScriptTextOf(std::string_view desktopText) {
    std::vector<uint32_t> characters;
    std::string bytes;
    if (platform::DecodeUtf8(desktopText, characters)) {
        for (uint32_t c : characters)
            bytes.push_back(c <= 0xFF ? char(c) : kUnknownCharacter);
    } else {
        bytes.assign(desktopText);
    }
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16 + 1);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) text.push_back('\r');
        text.push_back(bytes[i]);
    }
    text.push_back('\0');
    return text;
}

}  // namespace tallow::gui
