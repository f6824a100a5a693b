// The dialog-script tokenizer: one token at a time, with a one-token look-ahead.
#include "tools/tallowcod/rc_lexer.h"

namespace tallow::codec {
namespace {

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsNamePart(char c) {
    return IsNameStart(c) || IsDigit(c);
}

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

void RcLexer::Fail(std::string_view message) {
    int line = Peek().line;
    throw DialogScriptError(fileName_ + ":" + std::to_string(line) + ": " + std::string(message));
}

void RcLexer::Expected(std::string_view what) {
    const RcToken& token = Peek();
    std::string found = token.kind == RcTokenKind::End      ? "the end of the file"
                        : token.kind == RcTokenKind::String ? "a string"
                                                            : "'" + token.text + "'";
    Fail("expected " + std::string(what) + ", found " + found);
}

const RcToken& RcLexer::Peek() {
    if (!peeked_) {
        next_ = Scan();
        peeked_ = true;
    }
    return next_;
}

RcToken RcLexer::Next() {
    Peek();
    peeked_ = false;
    return std::move(next_);
}

// Blanks, line ends, // and /* */ comments, and lines that start with '#':
// preprocessor lines such as #include <windows.h> are left to the compiler
// that shares the file; the names they would define are built in.
void RcLexer::SkipBlanksAndComments() {
    while (pos_ < text_.size()) {
        char c = text_[pos_];
        if (c == '\n') {
            ++line_;
            ++pos_;
            atLineStart_ = true;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++pos_;
        } else if (c == '#' && atLineStart_) {
            while (pos_ < text_.size() && text_[pos_] != '\n')
                ++pos_;
        } else if (text_.substr(pos_, 2) == "//") {
            while (pos_ < text_.size() && text_[pos_] != '\n')
                ++pos_;
        } else if (text_.substr(pos_, 2) == "/*") {
            size_t end = text_.find("*/", pos_ + 2);
            end = end == std::string_view::npos ? text_.size() : end + 2;
            for (; pos_ < end; ++pos_)
                line_ += text_[pos_] == '\n';
        } else {
            return;
        }
    }
}

RcToken RcLexer::Scan() {
    SkipBlanksAndComments();
    atLineStart_ = false;
    RcToken token;
    token.line = line_;
    if (pos_ >= text_.size()) return token;
    char c = text_[pos_];
    if ((c == 'L' || c == 'l') && pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
        ++pos_;
        return ScanString(true);
    }
    if (c == '"') return ScanString(false);
    if (IsDigit(c)) return ScanNumber();
    if (IsNameStart(c)) {
        size_t start = pos_;
        while (pos_ < text_.size() && IsNamePart(text_[pos_]))
            ++pos_;
        token.kind = RcTokenKind::Name;
        token.text = text_.substr(start, pos_ - start);
        return token;
    }
    token.kind = RcTokenKind::Punct;
    token.text = std::string(1, c);
    ++pos_;
    return token;
}

// number = digit {digit} | "0x" hexdigit {hexdigit}, with an optional L or U suffix.
RcToken RcLexer::ScanNumber() {
    RcToken token;
    token.kind = RcTokenKind::Number;
    token.line = line_;
    size_t start = pos_;
    uint32_t value = 0;
    if (text_.substr(pos_, 2) == "0x" || text_.substr(pos_, 2) == "0X") {
        pos_ += 2;
        if (pos_ >= text_.size() || HexValue(text_[pos_]) < 0)
            throw DialogScriptError(fileName_ + ":" + std::to_string(line_) +
                                    ": expected hexadecimal digits after 0x");
        while (pos_ < text_.size() && HexValue(text_[pos_]) >= 0)
            value = value * 16 + HexValue(text_[pos_++]);
    } else {
        while (pos_ < text_.size() && IsDigit(text_[pos_]))
            value = value * 10 + (text_[pos_++] - '0');
    }
    while (pos_ < text_.size() &&
           (text_[pos_] == 'L' || text_[pos_] == 'l' || text_[pos_] == 'U' || text_[pos_] == 'u'))
        ++pos_;
    token.text = text_.substr(start, pos_ - start);
    token.number = value;
    return token;
}

// string = '"' { character | '""' | escape } '"'; the opening quote is next.
RcToken RcLexer::ScanString(bool wide) {
    RcToken token;
    token.kind = RcTokenKind::String;
    token.line = line_;
    ++pos_;
    for (;;) {
        if (pos_ >= text_.size() || text_[pos_] == '\n')
            throw DialogScriptError(fileName_ + ":" + std::to_string(token.line) +
                                    ": expected '\"' to end the string");
        char c = text_[pos_++];
        if (c == '"') {
            if (pos_ < text_.size() && text_[pos_] == '"') {
                token.units.push_back(u'"');
                ++pos_;
                continue;
            }
            return token;
        }
        if (c == '\\' && pos_ < text_.size()) {
            token.units.push_back(ScanEscape(wide));
            continue;
        }
        token.units.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
}

// The character after a backslash, which is next.
char16_t RcLexer::ScanEscape(bool wide) {
    char c = text_[pos_++];
    switch (c) {
        case 'n':
            return u'\n';
        case 't':
            return u'\t';
        case 'r':
            return u'\r';
        case 'a':
            return u'\a';
        case 'x':
        case 'X': {
            unsigned value = 0;
            for (int digits = 0; digits < (wide ? 4 : 2) && pos_ < text_.size() && HexValue(text_[pos_]) >= 0;
                 ++digits)
                value = value * 16 + HexValue(text_[pos_++]);
            return static_cast<char16_t>(value);
        }
        default:
            break;
    }
    if (c >= '0' && c <= '7') {
        unsigned value = c - '0';
        for (int digits = 1; digits < 3 && pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '7';
             ++digits)
            value = value * 8 + (text_[pos_++] - '0');
        return static_cast<char16_t>(wide ? value : value & 0xFF);
    }
    return static_cast<char16_t>(static_cast<unsigned char>(c));  // \\ and \" and any other character itself
}

}  // namespace tallow::codec
