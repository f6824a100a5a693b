// The lexer: the one cursor over a program's script text. Every reader of
// script text pulls tokens from it on demand and moves it for jumps. It only
// reads text; what the engine remembers about places lives beside it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
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
// as long as that text does (a whole run).
struct Token {
    uint32_t start = 0;  // where the read began, before white space and comments
    uint32_t first = 0;  // the token's own first character
    uint32_t end = 0;    // where the next read begins
    TokenKind kind = tkEnd;
    bool newLine = false;  // a line end was crossed before the token
    std::string_view text;

    char Lead() const { return text.empty() ? '\0' : text[0]; }
    bool IsDelimiter(char c) const { return kind == tkDelimiter && text[0] == c; }
};
static_assert(sizeof(Token) <= 32, "tokens are copied on every statement: keep them small");

class Lexer {
public:
    // Errors ("double quotes missing") go to program's ReportError; without a
    // program they are thrown as ScriptError.
    explicit Lexer(Program* program = nullptr);
    ~Lexer();
    Lexer(const Lexer&) = delete;  // last_ may point at own_
    Lexer& operator=(const Lexer&) = delete;

    // Copies text up to its first NUL and rewinds to its start.
    void SetText(std::string_view text);
    void FreeText();
    bool HasText() const { return hasText_; }
    std::string_view Text() const { return text_; }

    // Reads the next token and remembers it as the last one read.
    Token NextToken() {
        if (recent_) {
            const Token& t = recent_[pos_ & recentMask_];
            if (t.start == pos_ && t.text.data()) {
                own_ = t;
                last_ = &own_;
                pos_ = t.end;
                return t;
            }
        }
        return ReadToken();
    }
    void PutBack(const Token& token) { pos_ = token.start; }
    void Restart() { pos_ = 0; }
    uint32_t Position() const { return pos_; }
    void SetPosition(uint32_t pos) { pos_ = pos <= text_.size() ? pos : uint32_t(text_.size()); }

    // Skips to the next line break and past all line breaks that follow.
    void SkipComment();

    // The last token read (for error reports).
    const Token& Last() const { return *last_; }
    // The line (from 1) and column (from 1) of pos; a line ends at a
    // carriage return, a line feed, or a carriage return and a line feed.
    int LineOf(uint32_t pos) const;
    int ColumnOf(uint32_t pos) const;

    // The token that a read at pos would give, without moving. Probing never
    // reports errors: a token that cannot be read throws LexProbeFailed.
    Token Peek(uint32_t pos) const;
    // Puts the lexer in the state a read of token leaves (Read) or a read
    // followed by a put-back leaves (ReadAndPutBack). The lexer refers to
    // token as the last one read until the next read: it must stay as it is
    // until then (the tokens that compiled code and plans keep do).
    void Read(const Token& token) {
        last_ = &token;
        pos_ = token.end;
    }
    void ReadAndPutBack(const Token& token) {
        last_ = &token;
        pos_ = token.start;
    }
    // Makes the lexer keep its own copy of the last token read; called
    // before the code holding a token given to Read is freed.
    void OwnLast() {
        own_ = *last_;
        last_ = &own_;
    }

    // A small memory of recently read tokens, so that reading a place again
    // skips the scan; one of the program's fast paths. Sized for the text
    // set, which must come first.
    void RememberTokens(bool on);

private:
    // Most tokens remembered: a direct-mapped table by position.
    static constexpr size_t kMaxRecent = 1024;

    Token ReadToken();
    Token Scan(uint32_t at, bool quiet) const;
    uint32_t SkipCommentFrom(uint32_t at, bool& newLine) const;
    void Note(const Token& token) const {
        if (recent_) recent_[token.start & recentMask_] = token;
    }
    [[noreturn]] void QuotesMissing(const Token& partial, uint32_t stop);

    Program* program_;
    std::string text_;
    bool hasText_ = false;
    uint32_t pos_ = 0;
    Token own_;                  // the last token read from the text
    const Token* last_ = &own_;  // the last token read: own_, or one given to Read
    std::unique_ptr<Token[]> recent_;
    uint32_t recentMask_ = 0;
    void IndexLines() const;
    mutable std::vector<uint32_t> lineStarts_;  // offsets, built on first use
    mutable bool linesIndexed_ = false;
};

// Thrown by the probing reads instead of reporting a lexical error.
struct LexProbeFailed {};

// Character classes of the lexer, byte for byte.
bool IsOperatorChar(char c);
bool IsWordEndChar(char c);

}  // namespace tallow
