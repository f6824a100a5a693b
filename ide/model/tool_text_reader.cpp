// Field reading and number formatting of the tools' text form.
#include "ide/model/tool_text_reader.h"

#include <charconv>
#include <cstdio>

namespace tallow::ide {

namespace {

[[noreturn]] void Malformed(const char* field, std::string_view value, const char* why) {
    throw ToolFormatError(std::string("'") + std::string(value) + "' is not a valid " + field + " (" + why +
                          ")");
}

}  // namespace

std::string_view ToolTextReader::Field() {
    size_t end = text_.find(';', pos_);
    std::string_view field = text_.substr(pos_, end == std::string_view::npos ? text_.npos : end - pos_);
    pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    return field;
}

int64_t ToolTextReader::Number(const char* field, int64_t low, int64_t high) {
    std::string_view text = Field();
    if (text.empty()) Malformed(field, text, "missing");
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) Malformed(field, text, "not a number");
    if (value < low || value > high) Malformed(field, text, "out of range");
    return value;
}

uint32_t ToolTextReader::Color(const char* field) {
    std::string_view text = Field();
    if (text.empty()) Malformed(field, text, "missing");
    if (text.size() > 8) Malformed(field, text, "too long");
    uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc{} || end != text.data() + text.size()) Malformed(field, text, "not hexadecimal");
    return value;
}

bool ToolTextReader::Flag() {
    return Field() == "T";
}

std::string_view ToolTextReader::UpTo(char stop, const char* field) {
    size_t end = text_.find(stop, pos_);
    if (end == std::string_view::npos) Malformed(field, text_.substr(pos_), "unterminated");
    std::string_view part = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    return part;
}

uint8_t ToolTextReader::Char(const char* field) {
    if (pos_ >= text_.size()) Malformed(field, {}, "missing");
    return static_cast<uint8_t>(text_[pos_++]);
}

void AppendNumber(std::string& out, int64_t value) {
    out += std::to_string(value);
    out += ';';
}

void AppendColor(std::string& out, uint32_t value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08X;", static_cast<unsigned>(value));
    out += digits;
}

}  // namespace tallow::ide
