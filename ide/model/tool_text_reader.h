// Reading a tool's text form, field by field. The text comes from the
// clipboard, so every field is checked: a missing or malformed one raises
// ToolFormatError naming the field.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ide/model/tool.h"

namespace tallow::ide {

class ToolTextReader {
public:
    explicit ToolTextReader(std::string_view text) : text_(text) {}

    // The text up to the next ";" (consumed), or to the end.
    std::string_view Field();
    // A signed decimal between low and high.
    int64_t Number(const char* field, int64_t low, int64_t high);
    // Eight hexadecimal digits at most.
    uint32_t Color(const char* field);
    // "T" is true; anything else false.
    bool Flag();
    // The text up to the first stop character (consumed); raises when the
    // stop is missing.
    std::string_view UpTo(char stop, const char* field);
    // One character; raises at the end of the text.
    uint8_t Char(const char* field);

private:
    std::string_view text_;
    size_t pos_ = 0;
};

// The numbers of the text form: "%d;" and "%08X;".
void AppendNumber(std::string& out, int64_t value);
void AppendColor(std::string& out, uint32_t value);

}  // namespace tallow::ide
