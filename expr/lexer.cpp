// The lexer: tokens are read straight from the script text on demand.
#include "lexer.h"

#include <algorithm>

#include "core/messages.h"
#include "core/program.h"

namespace tallow {

namespace {

struct CharClasses {
    std::array<bool, 256> op{};
    std::array<bool, 256> wordEnd{};
    CharClasses() {
        for (unsigned char c : std::string_view("'+-*!|&%^/=;(),><[]"))
            op[c] = true;
        for (unsigned char c : std::string_view(" ';,$+-<>/@#*!|&%^=():.[]"))
            wordEnd[c] = true;
        wordEnd['\t'] = wordEnd['\n'] = wordEnd['\r'] = wordEnd[0] = true;
    }
};
const CharClasses kClasses;

inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

bool IsOperatorChar(char c) {
    return kClasses.op[uint8_t(c)];
}
bool IsWordEndChar(char c) {
    return kClasses.wordEnd[uint8_t(c)];
}

Lexer::Lexer(Program* program) : program_(program) {}

Lexer::~Lexer() = default;

void Lexer::SetText(std::string_view text) {
    text_.assign(text.substr(0, text.find('\0')));
    hasText_ = true;
    pos_ = 0;
    own_ = Token{};
    last_ = &own_;
    lineStarts_.clear();
    linesIndexed_ = false;
    if (recent_) RememberTokens(true);
}

void Lexer::FreeText() {
    text_.clear();
    text_.shrink_to_fit();
    hasText_ = false;
    pos_ = 0;
    own_ = Token{};
    last_ = &own_;
    lineStarts_.clear();
    lineStarts_.shrink_to_fit();
    linesIndexed_ = false;
    recent_.reset();
}

void Lexer::RememberTokens(bool on) {
    recent_.reset();
    if (!on) return;
    size_t size = 1;
    while (size <= text_.size() && size < kMaxRecent)
        size *= 2;
    recent_ = std::make_unique<Token[]>(size);
    recentMask_ = uint32_t(size - 1);
}

Token Lexer::ReadToken() {
    Token t = Scan(pos_, false);
    Note(t);
    own_ = t;
    last_ = &own_;
    pos_ = t.end;
    return t;
}

Token Lexer::Peek(uint32_t pos) const {
    if (recent_) {
        const Token& t = recent_[pos & recentMask_];
        if (t.start == pos && t.text.data()) return t;
    }
    Token t = Scan(pos, true);
    Note(t);
    return t;
}

uint32_t Lexer::SkipCommentFrom(uint32_t p, bool& newLine) const {
    const char* s = text_.c_str();
    while (s[p] && s[p] != '\n' && s[p] != '\r')
        ++p;
    while (s[p] == '\n' || s[p] == '\r') {
        newLine = true;
        ++p;
    }
    return p;
}

void Lexer::SkipComment() {
    bool ignored = false;
    pos_ = SkipCommentFrom(pos_, ignored);
}

// token = ws (delimiter | string | number | word [suffix]); see TokenKind.
Token Lexer::Scan(uint32_t p, bool quiet) const {
    const char* s = text_.c_str();
    if (p > text_.size()) p = uint32_t(text_.size());
    Token t;
    t.start = p;
    bool newLine = false;
    for (;;) {
        char c = s[p];
        if (c == '\'') {
            p = SkipCommentFrom(p, newLine);
        } else if (IsSpace(c)) {
            if (c == '\r' || c == '\n') newLine = true;
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
        while (IsSpace(s[p]))
            ++p;
        t.end = p;
        return t;
    }
    if (c == '"') {
        uint32_t q = p + 1;
        while (s[q] && s[q] != '"' && s[q] != '\n' && s[q] != '\r')
            ++q;
        if (s[q] != '"') {
            if (quiet) throw LexProbeFailed{};
            const_cast<Lexer*>(this)->QuotesMissing(t, q);
        }
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
    while (!IsWordEndChar(s[q]))
        ++q;
    t.text = std::string_view(s + p, q - p);
    switch (s[q]) {
        case '$':
            t.kind = tkStringVar;
            ++q;
            break;
        case '#':
            t.kind = tkNumberVar;
            ++q;
            break;
        case '@':
            t.kind = tkConstant;
            ++q;
            break;
        case ':':
            t.kind = tkLabel;
            ++q;
            break;
        case '(':
            t.kind = tkCall;
            ++q;
            break;
        case '.':
            t.kind = tkMember;
            ++q;
            break;
        default:
            t.kind = tkWord;
            break;
    }
    t.end = q;
    return t;
}

// The unfinished literal becomes the last token read, so the error's line is
// where it began and the lexer stands where the scan stopped.
void Lexer::QuotesMissing(const Token& partial, uint32_t stop) {
    own_ = partial;
    own_.kind = tkString;
    own_.text = std::string_view(text_.c_str() + partial.first, stop - partial.first);
    own_.end = stop;
    last_ = &own_;
    pos_ = stop;
    if (program_) program_->ReportError(kSyntaxKind, msg::kDoubleQuotesMissing);
    throw ScriptError{};
}

// A line ends at a carriage return, a line feed, or the two together.
int Lexer::LineOf(uint32_t pos) const {
    IndexLines();
    auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), pos);
    return int(it - lineStarts_.begin());
}

int Lexer::ColumnOf(uint32_t pos) const {
    IndexLines();
    auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), pos);
    return int(pos - *(it - 1)) + 1;
}

void Lexer::IndexLines() const {
    if (linesIndexed_) return;
    lineStarts_.assign(1, 0);
    for (uint32_t i = 0; i < text_.size(); ++i) {
        char c = text_[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= text_.size() || text_[i + 1] != '\n')))
            lineStarts_.push_back(i + 1);
    }
    linesIndexed_ = true;
}

}  // namespace tallow
