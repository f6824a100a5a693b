// The lexer: tokens are read straight from the script text on demand.
#include "lexer.h"

#include <algorithm>
#include <array>

#include "core/messages.h"
#include "core/program.h"
#include "expr/code_cache.h"

namespace tallow {

namespace {

struct CharClasses {
    std::array<bool, 256> op{};
    std::array<bool, 256> wordEnd{};
    CharClasses() {
        for (unsigned char c : std::string_view("'+-*!|&%^/=;(),><[]")) op[c] = true;
        for (unsigned char c : std::string_view(" ';,$+-<>/@#*!|&%^=():.[]")) wordEnd[c] = true;
        wordEnd['\t'] = wordEnd['\n'] = wordEnd['\r'] = wordEnd[0] = true;
    }
};
const CharClasses kClasses;

inline bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

bool IsOperatorChar(char c) { return kClasses.op[uint8_t(c)]; }
bool IsWordEndChar(char c) { return kClasses.wordEnd[uint8_t(c)]; }

Lexer::Lexer(Program* program) : program_(program) {}

Lexer::~Lexer() = default;

CodeCache& Lexer::MakeCode() {
    code_ = std::make_unique<CodeCache>();
    return *code_;
}

void Lexer::SetText(std::string_view text) {
    text_.assign(text.substr(0, text.find('\0')));
    hasText_ = true;
    pos_ = 0;
    last_ = kPartial;
    partial_ = Token{};
    cache_.clear();
    slotAt_.assign(text_.size() + 1, -1);
    carriageReturns_.clear();
    crIndexed_ = false;
    code_.reset();
}

void Lexer::FreeText() {
    text_.clear();
    text_.shrink_to_fit();
    hasText_ = false;
    pos_ = 0;
    last_ = kPartial;
    partial_ = Token{};
    cache_.clear();
    slotAt_.clear();
    carriageReturns_.clear();
    crIndexed_ = false;
    code_.reset();
}

const Token& Lexer::Remember(uint32_t at, bool quiet) {
    if (slotAt_.empty()) slotAt_.assign(text_.size() + 1, -1);
    int32_t slot = slotAt_[at];
    if (slot >= 0) return cache_[size_t(slot)];
    Token t = Scan(at, quiet);
    t.index = uint32_t(cache_.size());
    slotAt_[at] = int32_t(t.index);
    return cache_.push_back(t);
}


uint32_t Lexer::SkipCommentFrom(uint32_t p, bool& newLine) const {
    const char* s = text_.c_str();
    while (s[p] && s[p] != '\n' && s[p] != '\r') ++p;
    while (s[p] == '\n' || s[p] == '\r') {
        if (s[p] == '\r') newLine = true;
        ++p;
    }
    return p;
}

void Lexer::SkipComment() {
    bool ignored = false;
    pos_ = SkipCommentFrom(pos_, ignored);
}

Token Lexer::Scan(uint32_t p, bool quiet) {
    const char* s = text_.c_str();
    Token t;
    t.start = p;
    bool newLine = false;
    for (;;) {
        char c = s[p];
        if (c == '\'') {
            p = SkipCommentFrom(p, newLine);
        } else if (IsSpace(c)) {
            if (c == '\r') newLine = true;
            ++p;
        } else {
            break;
        }
    }
    t.first = p;
    t.newLine = newLine;
    char c = s[p];
    if (c == '\0') {
        t.kind = tkEnd;
        t.text = std::string_view(s + p, 0);
        t.end = p;
        return t;
    }
    if (IsOperatorChar(c)) {
        t.kind = tkDelimiter;
        t.text = std::string_view(s + p, 1);
        ++p;
        while (IsSpace(s[p])) ++p;
        t.end = p;
        return t;
    }
    if (c == '"') {
        uint32_t q = p + 1;
        while (s[q] && s[q] != '"' && s[q] != '\n' && s[q] != '\r') ++q;
        if (s[q] != '"') QuotesMissing(t, q, quiet);
        t.kind = tkString;
        t.text = std::string_view(s + p + 1, q - p - 1);
        t.end = q + 1;
        return t;
    }
    uint32_t q = p;
    if (c >= '0' && c <= '9') {
        bool dot = false;
        for (;;) {
            char ch = s[q];
            if (ch == '.' && !dot) {
                dot = true;
            } else if (IsWordEndChar(ch)) {
                break;
            }
            ++q;
        }
        t.kind = tkNumber;
        t.text = std::string_view(s + p, q - p);
        t.end = q;
        return t;
    }
    while (!IsWordEndChar(s[q])) ++q;
    t.text = std::string_view(s + p, q - p);
    switch (s[q]) {
        case '$': t.kind = tkStringVar; ++q; break;
        case '#': t.kind = tkNumberVar; ++q; break;
        case '@': t.kind = tkConstant; ++q; break;
        case ':': t.kind = tkLabel; ++q; break;
        case '(': t.kind = tkCall; ++q; break;
        case '.': t.kind = tkMember; ++q; break;
        default: t.kind = tkWord; break;
    }
    t.end = q;
    return t;
}

void Lexer::QuotesMissing(const Token& partial, uint32_t stop, bool quiet) {
    if (quiet) throw LexProbeFailed{};
    partial_ = partial;
    partial_.kind = tkString;
    partial_.end = stop;
    last_ = kPartial;
    pos_ = stop;
    if (program_) program_->ReportError(kSyntaxKind, msg::kDoubleQuotesMissing);
    throw ScriptError{};
}

int Lexer::LineOf(uint32_t pos) const {
    if (!crIndexed_) {
        carriageReturns_.clear();
        for (uint32_t i = 0; i < text_.size(); ++i)
            if (text_[i] == '\r') carriageReturns_.push_back(i);
        crIndexed_ = true;
    }
    auto it = std::lower_bound(carriageReturns_.begin(), carriageReturns_.end(), pos);
    return 1 + int(it - carriageReturns_.begin());
}

}  // namespace tallow
