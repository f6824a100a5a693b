// The grammars of numeric expressions, string expressions, conditions and the
// type peek, written once. Two builders walk them: the evaluator, which reads
// the program's lexer and computes values as it goes, and the expression
// compiler, which reads ahead without moving the lexer and emits code that
// computes the same values later. A builder supplies the token source and
// what each construct does; the order of reads, the precedence of operators
// and the checks of the grammar live only here.
//
// A builder B provides:
//   Token Next();  void PutBack(const Token&);       the token source
//   [[noreturn]] void Error(const char* message);    a syntax error here
//   ExprType CallType(const Token&);                 number or string function?
//   ExprType MemberType(const Token&);               peek at obj.member
//   numeric constructs: Missing, Open (a scope object), Unbalanced, NumberCall,
//     NumberArray, NumberIndex, NumberElement, NumberVariable, Constant,
//     Number, NumberMember, Negate, Binary
//   string constructs: StringArray, StringIndex, StringElement,
//     StringVariable, Literal, Character, StringCall, StringMember, BadElement
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "core/messages.h"
#include "lexer.h"
#include "operators.h"

namespace tallow {

enum ExprType { kExprUnknown = 0, kExprNumber = 6, kExprString = 7 };

// Text-to-number conversions of literals, the same on both targets:
// decimal only, the longest valid prefix, 0 when there is none.
double TextToDouble(std::string_view text);
int TextToInt(std::string_view text);

// A stack with room for n entries inline; the operator stack of the numeric
// grammar, and the evaluator's operands.
template <class T, size_t N>
class SmallStack {
public:
    void push_back(const T& v) {
        if (size_ == capacity_) Grow();
        data_[size_++] = v;
    }
    T& back() { return data_[size_ - 1]; }
    void pop_back() { --size_; }
    bool empty() const { return size_ == 0; }

private:
    void Grow() {
        size_t capacity = capacity_ * 2;
        auto bigger = std::make_unique<T[]>(capacity);
        std::memcpy(static_cast<void*>(bigger.get()), data_, size_ * sizeof(T));
        heap_ = std::move(bigger);
        data_ = heap_.get();
        capacity_ = capacity;
    }

    T inline_[N];
    T* data_ = inline_;
    size_t size_ = 0;
    size_t capacity_ = N;
    std::unique_ptr<T[]> heap_;
};

namespace grammar {

// type peek: reads one or two tokens and puts everything back.
template <class B>
ExprType PeekType(B& b) {
    Token t = b.Next();
    ExprType type = kExprUnknown;
    switch (t.kind) {
        case tkStringVar:
        case tkString:
            type = kExprString;
            break;
        case tkNumberVar:
        case tkConstant:
        case tkNumber:
            type = kExprNumber;
            break;
        case tkDelimiter:
            if (t.text[0] == '-') {
                TokenKind k = b.Next().kind;
                if (k == tkConstant || k == tkNumberVar || k == tkNumber) type = kExprNumber;
            }
            break;
        case tkCall:
            type = b.CallType(t);
            break;
        case tkMember:
            type = b.MemberType(t);
            break;
        default:
            break;
    }
    b.PutBack(t);
    return type;
}

// The type of obj.member from the member token, for the type peek; object
// is whether the object exists.
inline ExprType MemberTokenType(const Token& m) {
    if (m.kind == tkStringVar || m.kind == tkString) return kExprString;
    if (m.kind == tkNumberVar || m.kind == tkConstant || m.kind == tkNumber) return kExprNumber;
    return kExprUnknown;
}

template <class B>
void Numeric(B& b, Token& cur);

// primary = "(" level1 ")" | call ")" | numbervar ["[" numexpr "]"] | constant
//         | number | member (numbervar | call ")")
// On return cur is the token after the primary; a token that starts no
// primary stays unread and counts as 0.
template <class B>
void Primary(B& b, Token& cur) {
    switch (cur.kind) {
        case tkDelimiter: {
            if (cur.text[0] != '(') return b.Missing();
            auto nesting = b.Open();  // one level deeper until the ")"
            cur = b.Next();
            Numeric(b, cur);
            if (!cur.IsDelimiter(')')) b.Unbalanced();
            break;
        }
        case tkCall:
            b.NumberCall(cur);
            break;
        case tkNumberVar: {
            Token next = b.Next();
            if (next.IsDelimiter('[')) {
                b.NumberArray(cur, next);
                b.NumberIndex();
                Token close = b.Next();
                if (!close.IsDelimiter(']')) b.Error(msg::kBracketExpected);
                b.NumberElement(cur, close);
            } else {
                b.PutBack(next);
                b.NumberVariable(cur, next);
            }
            break;
        }
        case tkConstant:
            b.Constant(cur);
            break;
        case tkNumber:
            b.Number(TextToDouble(cur.text));
            break;
        case tkMember:
            b.NumberMember(cur);
            break;
        default:
            return b.Missing();
    }
    cur = b.Next();
}

// level1 = level2 {("+" | "-") level2}   level2 = level3 {("*" | "/") level3}
// level3 = level4 {("|" | "&" | "!") level4}   level4 = level5 {"%" level5}
// level5 = level6 ["^" level5]   level6 = ["+" | "-"] primary
// Operator precedence parsing over kBinaryOperators, without native
// recursion: pending operators wait on a stack until one that binds no
// tighter arrives. cur is the first token; on return it is the token that
// ended the expression.
template <class B>
void Numeric(B& b, Token& cur) {
    SmallStack<const BinaryOperator*, 16> pending;
    for (;;) {
        char sign = cur.Lead();
        if (sign == '+' || sign == '-') cur = b.Next();
        Primary(b, cur);
        if (sign == '-') b.Negate();
        const BinaryOperator* op = BinaryOperatorOf(cur.Lead());
        while (!pending.empty()) {
            const BinaryOperator* top = pending.back();
            bool reduce = !op || top->level > op->level || (top->level == op->level && !op->rightAssociative);
            if (!reduce) break;
            b.Binary(top->op);
            pending.pop_back();
        }
        if (!op) return;
        pending.push_back(op);
        cur = b.Next();
    }
}

// numexpr, as EvalNum reads it: not a string, not the end of the text; the
// token that ends it is put back (the caller reads it next).
template <class B>
Token NumericExpression(B& b) {
    if (PeekType(b) == kExprString) b.Error(msg::kNumExprExpected);
    Token cur = b.Next();
    if (cur.text.empty()) b.Error(msg::kNumExprExpected);
    Numeric(b, cur);
    b.PutBack(cur);
    return cur;
}

// element = stringvar ["[" numexpr "]"] | string | number | call ")"
//         | member (stringvar | call ")")
template <class B>
void Element(B& b, const Token& t) {
    switch (t.kind) {
        case tkStringVar: {
            Token next = b.Next();
            if (next.IsDelimiter('[')) {
                b.StringArray(t, next);
                b.StringIndex();
                Token close = b.Next();
                if (!close.IsDelimiter(']')) b.Error(msg::kBracketExpected);
                b.StringElement(t, close);
            } else {
                b.PutBack(next);
                b.StringVariable(t, next);
            }
            return;
        }
        case tkString:
            return b.Literal(t);
        case tkNumber:
            return b.Character(t, char(TextToInt(t.text)));
        case tkCall:
            return b.StringCall(t);
        case tkMember:
            return b.StringMember(t);
        default:
            return b.BadElement(t);
    }
}

// strexpr = element {"+" element}; the token after it is put back.
template <class B>
Token StringExpression(B& b) {
    for (;;) {
        Element(b, b.Next());
        Token next = b.Next();
        if (!next.IsDelimiter('+')) {
            b.PutBack(next);
            return next;
        }
    }
}

// relop = ("=" | "<" | ">") ["=" | "<" | ">"]: the first character of the
// token after the left side, and a second one when the next token is a
// delimiter "<", ">" or "=" (a literal that merely starts with one of them is
// an operand). The text is checked only after the right side.
template <class B>
std::string_view OperatorText(B& b, char (&op)[3]) {
    Token opToken = b.Next();
    op[0] = opToken.Lead();
    op[1] = op[2] = 0;
    Token second = b.Next();
    if (second.kind == tkDelimiter && std::strchr("<>=", second.text[0]))
        op[1] = second.text[0];
    else
        b.PutBack(second);
    return std::string_view(op, op[1] ? 2 : (op[0] ? 1 : 0));
}

// condition = (numexpr | strexpr) relop (numexpr | strexpr), both of the
// type of the left side; the operator is judged after both sides.
template <class B>
void Condition(B& b) {
    ExprType type = PeekType(b);
    if (type == kExprUnknown) b.Error(msg::kCannotEvaluate);
    b.Side(type);
    char op[3];
    std::string_view text = OperatorText(b, op);
    b.Side(type);
    RelOp rel = RelOp::Eq;
    bool valid = RelationalOperatorOf(text, rel);
    b.Relation(valid, rel);
}

}  // namespace grammar

}  // namespace tallow
