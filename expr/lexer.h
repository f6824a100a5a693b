// The lexer: the one cursor over a program's script text. Every reader of
// script text pulls tokens from it on demand and moves it for jumps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chunked_vector.h"

namespace tallow {

class Program;
class CodeCache;

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
    uint32_t index = 0;  // the token's place in the lexer's memory of tokens
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
    explicit Lexer(Program* program = nullptr);
    ~Lexer();

    // Copies text up to its first NUL and rewinds to its start.
    void SetText(std::string_view text);
    void FreeText();
    bool HasText() const { return hasText_; }
    std::string_view Text() const { return text_; }

    // Reads the next token. Tokens are remembered by their start position, so
    // reading the same place again costs a lookup.
    // The token stays valid, at the same address, as long as the text does.
    const Token& NextToken() {
        int32_t slot = pos_ < slotAt_.size() ? slotAt_[pos_] : -1;
        const Token& t = slot >= 0 ? cache_[size_t(slot)] : Remember(pos_, false);
        last_ = t.index;
        pos_ = t.end;
        return t;
    }
    void PutBack(const Token& token) { pos_ = token.start; }
    void Restart() { pos_ = 0; }
    uint32_t Position() const { return pos_; }
    void SetPosition(uint32_t pos) { pos_ = pos <= text_.size() ? pos : uint32_t(text_.size()); }

    // Skips to the next line break and past all line breaks that follow.
    void SkipComment();

    // The last token read (for error reports).
    const Token& Last() const { return last_ == kPartial ? partial_ : cache_[last_]; }
    int LineOf(uint32_t pos) const;              // 1 + carriage returns before pos

    // The token that a read at pos would give, without moving; its index
    // keys what the evaluator remembers about the place. Probing never
    // reports errors: a token that cannot be read throws LexProbeFailed.
    const Token& Peek(uint32_t pos) {
        int32_t slot = pos < slotAt_.size() ? slotAt_[pos] : -1;
        return slot >= 0 ? cache_[size_t(slot)] : Remember(pos, true);
    }
    const Token& TokenAt(uint32_t index) const { return cache_[index]; }
    // The token at pos when it has been read before, else null.
    const Token* Remembered(uint32_t pos) const {
        int32_t slot = pos < slotAt_.size() ? slotAt_[pos] : -1;
        return slot >= 0 ? &cache_[size_t(slot)] : nullptr;
    }
    // Puts the lexer in the state a read of token leaves (Read) or a read
    // followed by a put-back leaves (ReadAndPutBack).
    void Read(const Token& token) {
        last_ = token.index;
        pos_ = token.end;
    }
    void ReadAndPutBack(const Token& token) {
        last_ = token.index;
        pos_ = token.start;
    }
    void Read(uint32_t index, uint32_t end) {
        last_ = index;
        pos_ = end;
    }
    void ReadAndPutBack(uint32_t index, uint32_t start) {
        last_ = index;
        pos_ = start;
    }
    // What the evaluator remembers about this text; dropped with the text.
    CodeCache& Code() { return code_ ? *code_ : MakeCode(); }

private:
    const Token& Remember(uint32_t at, bool quiet);
    CodeCache& MakeCode();
    Token Scan(uint32_t at, bool quiet);
    uint32_t SkipCommentFrom(uint32_t at, bool& newLine) const;
    [[noreturn]] void QuotesMissing(const Token& partial, uint32_t stop, bool quiet);

    Program* program_;
    std::string text_;
    bool hasText_ = false;
    uint32_t pos_ = 0;
    // The index of the last token read, or kPartial for the unfinished string
    // literal held in partial_.
    static constexpr uint32_t kPartial = UINT32_MAX;
    uint32_t last_ = kPartial;
    Token partial_;
    std::vector<int32_t> slotAt_;  // per text position: index into cache_, or -1
    ChunkedVector<Token> cache_;
    mutable std::vector<uint32_t> carriageReturns_;  // offsets, built on first use
    mutable bool crIndexed_ = false;
    std::unique_ptr<CodeCache> code_;
};

// Thrown by the probing reads instead of reporting a lexical error.
struct LexProbeFailed {};

// Character classes of the lexer, byte for byte.
bool IsOperatorChar(char c);
bool IsWordEndChar(char c);

}  // namespace tallow
