// Tokens of dialog-script text: names, numbers, strings and punctuation,
// with comments and preprocessor lines skipped and line numbers kept.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tallow::codec {

// A fault in dialog-script text; what() is "FILE:LINE: message".
class DialogScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class RcTokenKind { End, Name, Number, String, Punct };

struct RcToken {
    RcTokenKind kind = RcTokenKind::End;
    std::string text;      // a name as written, or the punctuation character
    uint32_t number = 0;   // a number's value (wrapped to 32 bits)
    std::u16string units;  // a string's units, escapes resolved
    int line = 1;
};

// Splits text into tokens on demand. Strings are "..." (8-bit characters,
// each widened to one unit) or L"..." (units up to \xFFFF); both take ""
// and the escapes \\ \" \n \t \r \a, octal \ooo and hexadecimal \x.
class RcLexer {
public:
    RcLexer(std::string_view text, std::string_view fileName) : text_(text), fileName_(fileName) {}

    // The next token, consumed; Peek leaves it in place.
    RcToken Next();
    const RcToken& Peek();
    // Raises "FILE:LINE: message" at the line of the next token.
    [[noreturn]] void Fail(std::string_view message);
    // Raises "FILE:LINE: expected WHAT" at the line of the next token.
    [[noreturn]] void Expected(std::string_view what);

private:
    void SkipBlanksAndComments();
    RcToken Scan();
    RcToken ScanNumber();
    RcToken ScanString(bool wide);
    char16_t ScanEscape(bool wide);

    std::string_view text_;
    std::string fileName_;
    size_t pos_ = 0;
    int line_ = 1;
    bool atLineStart_ = true;
    bool peeked_ = false;
    RcToken next_;
};

}  // namespace tallow::codec
