// Numeric expressions, string expressions, conditions, the type peek and the
// parameter protocol, evaluated as they are parsed.
#include "evaluator.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/code_cache.h"
#include "expr/compiled_expr.h"
#include "expr/math_error.h"
#include "expr/num_array.h"
#include "expr/string_array.h"
#include "expr/value_limits.h"

namespace tallow {

namespace {

struct NestingScope {
    Program& p;
    explicit NestingScope(Program& program) : p(program) { p.EnterNesting(); }
    ~NestingScope() { p.LeaveNesting(); }
};

// The library calls of "^" and "%" record their errors for the math-error
// filter of the built-in functions.
// Appends within the engine's longest string.
void Append(std::string& out, std::string_view part) {
    CheckGrowth(out.size(), part.size(), kMaxStringLength);
    out += part;
}

double Power(double base, double exponent) { return exponent == 0 ? 1.0 : CheckedPow(base, exponent); }

}  // namespace

double TextToDouble(std::string_view text) {
    const char* b = text.data();
    const char* e = b + text.size();
    double value = 0;
    auto [end, ec] = std::from_chars(b, e, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: let the C library round it to
        // infinity or zero, on the prefix already known to be decimal.
        std::string prefix(b, end);
        return std::strtod(prefix.c_str(), nullptr);
    }
    return ec == std::errc() ? value : 0.0;
}

int TextToInt(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX) {
            value = int64_t(INT32_MAX) + (negative ? 1 : 0);
            break;
        }
    }
    return int(negative ? -value : value);
}

// ---- Numeric expressions ------------------------------------------------------

// ---- Remembered compiled forms ------------------------------------------------

namespace {

[[gnu::noinline]] PlaceNotes* NotesAfterLexing(Program& p) {
    Lexer& lx = p.Lex();
    try {
        const Token& t = lx.Peek(lx.Position());
        return &lx.Code().At(t.index, p.Main().NameGeneration());
    } catch (const LexProbeFailed&) {
        return nullptr;
    }
}

}  // namespace

PlaceNotes* NotesHere(Program& p) {
    Lexer& lx = p.Lex();
    const Token* t = lx.Remembered(lx.Position());
    if (!t) return NotesAfterLexing(p);
    return &lx.Code().At(t->index, p.Main().NameGeneration());
}

namespace {

template <class Code, class Compile>
[[gnu::always_inline]] inline Code* Cached(Program& p, Code* PlaceNotes::*slot, std::vector<std::unique_ptr<Code>> CodeCache::*arena,
             Compile compile) {
    PlaceNotes* notes = NotesHere(p);
    if (!notes) return nullptr;
    Code*& entry = notes->*slot;
    if (entry == NotCompilableMark<Code>()) return nullptr;
    if (entry) return entry;
    std::unique_ptr<Code> code = compile(p, p.Lex().Position());
    if (!code) {
        entry = NotCompilableMark<Code>();
        return nullptr;
    }
    CodeCache& cache = p.Lex().Code();
    entry = cache.Keep(cache.*arena, std::move(code));
    return entry;
}

}  // namespace

NumCode* Evaluator::CachedNum() { return Cached(program_, &PlaceNotes::num, &CodeCache::nums, CompileNum); }
StrCode* Evaluator::CachedStr() { return Cached(program_, &PlaceNotes::str, &CodeCache::strs, CompileStr); }
CondCode* Evaluator::CachedCond() { return Cached(program_, &PlaceNotes::cond, &CodeCache::conds, CompileCond); }

// numexpr = level1; the token that ends it is put back.
double Evaluator::EvalNum() {
    NestingScope nesting(program_);
    if (NumCode* code = CachedNum()) return RunNum(program_, *code);
    return SlowNum();
}

double Evaluator::SlowNum() {
    Lexer& lx = program_.Lex();
    if (PeekExprType() == kExprString) program_.ReportError(kSyntaxKind, msg::kNumExprExpected);
    Token cur = lx.NextToken();
    if (cur.text.empty()) program_.ReportError(kSyntaxKind, msg::kNumExprExpected);
    double value = Level1(cur);
    lx.PutBack(cur);
    return value;
}

// level1 = level2 {("+" | "-") level2}
double Evaluator::Level1(Token& cur) {
    double value = Level2(cur);
    for (;;) {
        char op = cur.Lead();
        if (op != '+' && op != '-') return value;
        cur = program_.Lex().NextToken();
        double right = Level2(cur);
        value = op == '+' ? value + right : value - right;
    }
}

// level2 = level3 {("*" | "/") level3}
double Evaluator::Level2(Token& cur) {
    double value = Level3(cur);
    for (;;) {
        char op = cur.Lead();
        if (op != '*' && op != '/') return value;
        cur = program_.Lex().NextToken();
        double right = Level3(cur);
        value = op == '*' ? value * right : value / right;
    }
}

// level3 = level4 {("|" | "&" | "!") level4}, on 32-bit integers
double Evaluator::Level3(Token& cur) {
    double value = Level4(cur);
    for (;;) {
        char op = cur.Lead();
        if (op != '|' && op != '&' && op != '!') return value;
        cur = program_.Lex().NextToken();
        int32_t a = ToInt32(value), b = ToInt32(Level4(cur));
        value = op == '|' ? double(a | b) : op == '&' ? double(a & b) : double(a ^ b);
    }
}

// level4 = level5 {"%" level5}
double Evaluator::Level4(Token& cur) {
    double value = Level5(cur);
    while (cur.Lead() == '%') {
        cur = program_.Lex().NextToken();
        value = CheckedFmod(value, Level5(cur));
    }
    return value;
}

// level5 = level6 ["^" level5]
double Evaluator::Level5(Token& cur) {
    double base = Level6(cur);
    if (cur.Lead() != '^') return base;
    cur = program_.Lex().NextToken();
    return Power(base, Level5(cur));
}

// level6 = ["+" | "-"] primary
double Evaluator::Level6(Token& cur) {
    char sign = cur.Lead();
    if (sign == '+' || sign == '-') cur = program_.Lex().NextToken();
    double value = Primary(cur);
    return sign == '-' ? -value : value;
}

// primary = "(" level1 ")" | call ")" | numbervar ["[" numexpr "]"] | constant
//         | number | member (numbervar | call ")")
double Evaluator::Primary(Token& cur) {
    Program& p = program_;
    Lexer& lx = p.Lex();
    double value = 0;
    switch (cur.kind) {
        case tkDelimiter: {
            if (cur.text[0] != '(') return 0;  // not a primary; left for the caller
            NestingScope nesting(p);
            cur = lx.NextToken();
            value = Level1(cur);
            if (!cur.IsDelimiter(')')) {
                p.stopRequested = 1;
                p.ReportError(kSyntaxKind, msg::kUnbalancedParenthesis);
            }
            break;
        }
        case tkCall: {
            MainObject& main = p.Main();
            value = main.ProcessNumFunction(main.FindNumFunction(cur.text));
            RequireClosingParenthesis();
            break;
        }
        case tkNumberVar: return NumberVariable(cur);
        case tkConstant: value = p.Main().constants.Get(cur.text); break;
        case tkNumber: value = TextToDouble(cur.text); break;
        case tkMember: return MemberNumber(cur);
        default: return 0;  // not a primary; left for the caller
    }
    cur = lx.NextToken();
    return value;
}

double Evaluator::NumberVariable(Token& cur) {
    Program& p = program_;
    Lexer& lx = p.Lex();
    std::string_view name = cur.text;
    Token next = lx.NextToken();
    double value;
    if (next.IsDelimiter('[')) {
        if (!p.FindNumArray(name)) p.ReportError(kSyntaxKind, msg::kUnknownNumberArray);
        int index = ToInt32(EvalNum());
        if (!lx.NextToken().IsDelimiter(']')) p.ReportError(kSyntaxKind, msg::kBracketExpected);
        // Found again: the index may have called code that deleted it.
        NumArrayObject* array = p.FindNumArray(name);
        if (!array) p.ReportError(kSyntaxKind, msg::kUnknownNumberArray);
        value = array->Element(index);
        cur = lx.NextToken();
    } else {
        lx.PutBack(next);
        value = p.Main().numMembers.Get(name);
        cur = lx.NextToken();
    }
    return value;
}

double Evaluator::MemberNumber(Token& cur) {
    Program& p = program_;
    Lexer& lx = p.Lex();
    ScriptObject* object = p.FindObject(cur.text);
    if (!object) p.ReportError(kSyntaxKind, msg::kUnknownObject);
    Token member = lx.NextToken();
    double value;
    if (member.kind == tkNumberVar) {
        value = object->GetNumMember(member.text);
    } else if (member.kind == tkCall) {
        value = object->ProcessNumFunction(object->FindNumFunction(member.text));
        RequireClosingParenthesis();
    } else {
        p.ReportError(kSyntaxKind, msg::kUndefinedMember);
    }
    cur = lx.NextToken();
    return value;
}

void Evaluator::RequireClosingParenthesis() {
    if (!program_.Lex().NextToken().IsDelimiter(')')) {
        program_.stopRequested = 1;
        program_.ReportError(kSyntaxKind, msg::kUnbalancedParenthesis);
    }
}

// ---- String expressions -------------------------------------------------------

// strexpr = element {"+" element}
std::string Evaluator::EvalString() {
    NestingScope nesting(program_);
    if (StrCode* code = CachedStr()) return RunStr(program_, *code);
    return SlowString();
}

std::string Evaluator::SlowString() {
    Lexer& lx = program_.Lex();
    std::string result;
    for (;;) {
        AppendElement(lx.NextToken(), result);
        Token next = lx.NextToken();
        if (!next.IsDelimiter('+')) {
            lx.PutBack(next);
            return result;
        }
    }
}

// element = stringvar ["[" numexpr "]"] | string | number | call ")"
//         | member (stringvar | call ")")
void Evaluator::AppendElement(const Token& t, std::string& out) {
    Program& p = program_;
    Lexer& lx = p.Lex();
    switch (t.kind) {
        case tkStringVar: {
            Token next = lx.NextToken();
            if (next.IsDelimiter('[')) {
                if (!p.FindStringArray(t.text)) p.ReportError(kSyntaxKind, msg::kUnknownStringArray);
                int index = ToInt32(EvalNum());
                if (!lx.NextToken().IsDelimiter(']')) p.ReportError(kSyntaxKind, msg::kBracketExpected);
                StringArrayObject* array = p.FindStringArray(t.text);
                if (!array) p.ReportError(kSyntaxKind, msg::kUnknownStringArray);
                Append(out, array->Element(index));
            } else {
                lx.PutBack(next);
                Append(out, p.Main().strMembers.Get(t.text));
            }
            return;
        }
        case tkString: Append(out, t.text); return;
        case tkNumber: {
            char code = char(TextToInt(t.text));
            Append(out, std::string_view(&code, 1));
            return;
        }
        case tkCall: {
            MainObject& main = p.Main();
            Append(out, main.ProcessStringFunction(main.FindStringFunction(t.text)));
            RequireClosingParenthesis();
            return;
        }
        case tkMember: {
            ScriptObject* object = p.FindObject(t.text);
            if (!object) p.ReportError(kSyntaxKind, msg::kUnknownObject);
            Token member = lx.NextToken();
            if (member.kind == tkStringVar) {
                Append(out, object->GetStringMember(member.text));
            } else if (member.kind == tkCall) {
                Append(out, object->ProcessStringFunction(object->FindStringFunction(member.text)));
                RequireClosingParenthesis();
            } else {
                p.ReportError(kSyntaxKind, msg::kUndefinedMember);
            }
            return;
        }
        default: {
            char text[64];
            std::snprintf(text, sizeof text, msg::kUnknownStringElement, int(t.kind));
            p.ReportError(kSyntaxKind, text);
        }
    }
}

// ---- Type peek and conditions ---------------------------------------------------

ExprType Evaluator::PeekExprType() {
    Program& p = program_;
    Lexer& lx = p.Lex();
    Token t = lx.NextToken();
    ExprType type = kExprUnknown;
    switch (t.kind) {
        case tkStringVar:
        case tkString: type = kExprString; break;
        case tkNumberVar:
        case tkConstant:
        case tkNumber: type = kExprNumber; break;
        case tkDelimiter:
            if (t.text[0] == '-') {
                TokenKind k = lx.NextToken().kind;
                if (k == tkConstant || k == tkNumberVar || k == tkNumber) type = kExprNumber;
            }
            break;
        case tkCall: {
            MainObject& main = p.Main();
            if (main.FindNumFunction(t.text))
                type = kExprNumber;
            else if (main.FindStringFunction(t.text))
                type = kExprString;
            break;
        }
        case tkMember: {
            ScriptObject* object = p.FindObject(t.text);
            Token m = lx.NextToken();
            if (m.kind == tkStringVar || m.kind == tkString) {
                type = kExprString;
            } else if (m.kind == tkNumberVar || m.kind == tkConstant || m.kind == tkNumber) {
                type = kExprNumber;
            } else if (m.kind == tkCall && object) {
                if (object->FindNumFunction(m.text))
                    type = kExprNumber;
                else if (object->FindStringFunction(m.text))
                    type = kExprString;
            }
            break;
        }
        default: break;
    }
    lx.PutBack(t);
    return type;
}

// condition = (numexpr | strexpr) relop (numexpr | strexpr), both of one type
int Evaluator::EvalCondition() {
    NestingScope nesting(program_);
    if (CondCode* code = CachedCond()) return RunCond(program_, *code);
    return SlowCondition();
}

int Evaluator::SlowCondition() {
    Program& p = program_;
    Lexer& lx = p.Lex();
    ExprType type = PeekExprType();
    if (type == kExprUnknown) p.ReportError(kSyntaxKind, msg::kCannotEvaluate);
    std::string leftText, rightText;
    double left = 0, right = 0;
    if (type == kExprString)
        leftText = EvalString();
    else
        left = EvalNum();
    Token opToken = lx.NextToken();
    char op[3] = {opToken.Lead(), 0, 0};
    // The second character of a two-character operator is a delimiter of its
    // own; a string literal that merely starts with "<", ">" or "=" is an operand.
    Token second = lx.NextToken();
    if (second.kind == tkDelimiter && std::strchr("<>=", second.text[0]))
        op[1] = second.text[0];
    else
        lx.PutBack(second);
    if (type == kExprString)
        rightText = EvalString();
    else
        right = EvalNum();
    bool valid = false;
    int result = type == kExprString ? Relate(leftText, rightText, op, valid) : Relate(left, right, op, valid);
    if (!valid) p.ReportError(kSyntaxKind, msg::kConditionalOperator);
    return result;
}

// ---- Parameter protocol -----------------------------------------------------------

bool Evaluator::HasFirstParam(bool required) {
    Lexer& lx = program_.Lex();
    const Token& t = lx.NextToken();
    lx.PutBack(t);
    bool present = !t.newLine && !t.IsDelimiter(')') && t.kind != tkEnd;
    if (!present && required) program_.ReportError(kSyntaxKind, msg::kRequiredParameter);
    return present;
}

bool Evaluator::HasNextParam(bool required) {
    Lexer& lx = program_.Lex();
    const Token& t = lx.NextToken();
    if (t.IsDelimiter(',')) return true;
    lx.PutBack(t);
    if (required) program_.ReportError(kSyntaxKind, msg::kRequiredParameter);
    return false;
}

bool Evaluator::StringVariableHere(std::string_view& out) {
    if (!program_.harmlessArguments) return false;
    StrCode* code = CachedStr();
    if (!code || code->parts.size() != 1 || code->parts[0].op != StrOp::Var) return false;
    VarSite& site = code->vars[code->parts[0].arg];
    std::string* value = program_.Main().strMembers.FindAt(site.slot, site.name);
    if (!value) return false;
    program_.Lex().ReadAndPutBack(code->end, code->endStart);
    out = *value;
    return true;
}

std::string Evaluator::ReadName() {
    Token t = program_.Lex().NextToken();
    if (t.kind != tkWord || t.text.empty()) program_.ReportError(kSyntaxKind, msg::kStatementExpected);
    return std::string(t.text);
}

}  // namespace tallow
