// The lexer: the one cursor over a program's script text. Every reader of
// script text pulls tokens from it on demand and moves it for jumps.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallow {

class Program;

enum TokenKind : uint8_t {
    tkEnd = 0,        // end of text
    tkDelimiter = 1,  // one character of the operator set
    tkWord = 2,       // a plain word
    tkStringVar = 3,  // word$
    tkNumberVar = 4,  // word#
    tkConstant = 5,   // word@
    tkNumber = 6,     // starts with a decimal digit
    tkString = 7,     // "text"
    tkLabel = 8,      // word:
    tkCall = 9,       // word(
    tkMember = 10,    // word.
};

// A token as read. Its text is a view into the lexer's text and stays valid
// as long as that text does (a whole run), across further reads.
struct Token {
    uint32_t start = 0;  // where the read began, before white space and comments
    uint32_t first = 0;  // the token's own first character
    uint32_t end = 0;    // where the next read begins
    std::string_view text;
    TokenKind kind = tkEnd;
    bool newLine = false;  // a carriage return was crossed before the token

    char Lead() const { return text.empty() ? '\0' : text[0]; }
    bool IsDelimiter(char c) const { return kind == tkDelimiter && text[0] == c; }
};

class Lexer {
public:
    // Errors ("double quotes missing") go to program's ReportError; without a
    // program they are thrown as ScriptError.
    explicit Lexer(Program* program = nullptr) : program_(program) {}

    // Copies text up to its first NUL and rewinds to its start.
    void SetText(std::string_view text);
    void FreeText();
    bool HasText() const { return hasText_; }
    std::string_view Text() const { return text_; }

    // Reads the next token. Tokens are remembered by their start position, so
    // reading the same place again costs a lookup.
    Token NextToken();
    void PutBack(const Token& token) { pos_ = token.start; }
    void Restart() { pos_ = 0; }
    uint32_t Position() const { return pos_; }
    void SetPosition(uint32_t pos) { pos_ = pos <= text_.size() ? pos : uint32_t(text_.size()); }

    // Skips to the next line break and past all line breaks that follow.
    void SkipComment();

    const Token& Last() const { return last_; }  // the last token read
    int LineOf(uint32_t pos) const;              // 1 + carriage returns before pos

private:
    Token Scan(uint32_t at);
    uint32_t SkipCommentFrom(uint32_t at, bool& newLine) const;
    [[noreturn]] void QuotesMissing(const Token& partial, uint32_t stop);

    Program* program_;
    std::string text_;
    bool hasText_ = false;
    uint32_t pos_ = 0;
    Token last_;
    std::vector<int32_t> slotAt_;  // per text position: index into cache_, or -1
    std::vector<Token> cache_;
    mutable std::vector<uint32_t> carriageReturns_;  // offsets, built on first use
    mutable bool crIndexed_ = false;
};

// Character classes of the lexer, byte for byte.
bool IsOperatorChar(char c);
bool IsWordEndChar(char c);

}  // namespace tallow
