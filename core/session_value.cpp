// The shape test for expression entries and the literal forms of values.
#include "core/session_value.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "core/program.h"
#include "expr/lexer.h"

namespace tallow {

namespace {

constexpr const char kOperators[] = "+-*/|&!%^";

bool IsOperator(const Token& t) {
    return t.kind == tkDelimiter && std::strchr(kOperators, t.text[0]);
}

// Passes over tokens up to the one that closes an opening already read
// (a call's name carries its own parenthesis); false at the end of the text.
bool SkipBalanced(Lexer& lx) {
    int depth = 1;
    while (depth > 0) {
        Token t = lx.NextToken();
        if (t.kind == tkEnd) return false;
        if (t.kind == tkCall || t.IsDelimiter('(') || t.IsDelimiter('[')) ++depth;
        if (t.IsDelimiter(')') || t.IsDelimiter(']')) --depth;
    }
    return true;
}

// operand = ["+" | "-"] primary
// primary = "(" ... ")" | call ... ")" | var ["[" ... "]"] | constant | number | string
//         | member (var | call ... ")")
bool Operand(Lexer& lx) {
    Token t = lx.NextToken();
    if (t.IsDelimiter('+') || t.IsDelimiter('-')) t = lx.NextToken();
    switch (t.kind) {
        case tkDelimiter:
            return t.IsDelimiter('(') && SkipBalanced(lx);
        case tkCall:
            return SkipBalanced(lx);
        case tkNumberVar:
        case tkStringVar: {
            Token next = lx.NextToken();
            if (next.IsDelimiter('[')) return SkipBalanced(lx);
            lx.PutBack(next);
            return true;
        }
        case tkConstant:
        case tkNumber:
        case tkString:
            return true;
        case tkMember: {
            Token member = lx.NextToken();
            if (member.kind == tkCall) return SkipBalanced(lx);
            return member.kind == tkNumberVar || member.kind == tkStringVar;
        }
        default:
            return false;
    }
}

}  // namespace

// expression = operand {operator operand}, then the end of the entry
bool IsOneExpression(std::string_view entry) {
    Lexer lx;  // without a program its errors are thrown, not reported
    try {
        lx.SetText(entry);
        for (;;) {
            if (!Operand(lx)) return false;
            Token t = lx.NextToken();
            if (t.kind == tkEnd) return true;
            if (!IsOperator(t)) return false;
        }
    } catch (const ScriptError&) {
        return false;  // an unclosed string: the statement path reports it
    }
}

std::string NumberText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char buffer[400];  // the longest fixed form below 1e21, and any exponent form
    double size = std::fabs(value);
    std::chars_format format =
        size == 0 || (size >= 1e-6 && size < 1e21) ? std::chars_format::fixed : std::chars_format::scientific;
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

std::string QuotedText(std::string_view value) {
    std::string out;
    bool open = false;  // inside a quoted part
    for (unsigned char c : value) {
        bool plain = c >= 32 && c != '"' && c != 127;
        if (plain) {
            if (!open) out += out.empty() ? "\"" : " + \"";
            open = true;
            out += char(c);
            continue;
        }
        if (open) out += '"';
        open = false;
        out += out.empty() ? "\"\" + " : " + ";
        out += std::to_string(c);
    }
    if (open) out += '"';
    return out.empty() ? "\"\"" : out;
}

}  // namespace tallow
