// The evaluator: the grammars of grammar.h walked over the program's lexer,
// computing values as they are read, and the entry points that run a place's
// compiled form instead when the program remembers one.
#include "evaluator.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/compiled_expr.h"
#include "expr/functions.h"
#include "expr/num_array.h"
#include "expr/string_array.h"
#include "expr/text_memory.h"
#include "expr/value_limits.h"

namespace tallow {

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

namespace {

// Appends within the engine's longest string and the program's budget.
void Append(Program& p, std::string& out, std::string_view part) {
    CheckGrowth(out.size(), part.size(), kMaxStringLength);
    p.ChargeMemory(part.size());
    out += part;
}

// What every reading builder shares: the lexer as token source, errors
// reported where the lexer stands, the type peek's look at names and objects,
// and the closing parenthesis after a function call.
class TextReader {
public:
    explicit TextReader(Program& p) : p_(p), lx_(p.Lex()) {}

    Token Next() { return lx_.NextToken(); }
    void PutBack(const Token& t) { lx_.PutBack(t); }
    [[noreturn]] void Error(const char* message) { p_.ReportError(kSyntaxKind, message); }

    ExprType CallType(const Token& t) {
        MainObject& main = p_.Main();
        if (main.FindNumFunction(t.text)) return kExprNumber;
        if (main.FindStringFunction(t.text)) return kExprString;
        return kExprUnknown;
    }
    ExprType MemberType(const Token& t) {
        ScriptObject* object = p_.FindObject(t.text);
        Token m = Next();
        if (m.kind != tkCall) return grammar::MemberTokenType(m);
        if (!object) return kExprUnknown;
        if (object->FindNumFunction(m.text)) return kExprNumber;
        if (object->FindStringFunction(m.text)) return kExprString;
        return kExprUnknown;
    }

protected:
    // The value of a variable, or "unknown variable encountered" reported at
    // the variable's own token (the token after it was read and put back, so
    // the lexer goes on from the same place).
    template <class Table>
    const auto& Variable(const Table& table, const Token& name) {
        int i = table.Find(name.text);
        if (i < 0) {
            lx_.Read(name);
            lx_.OwnLast();
            Error(msg::kUnknownVariable);
        }
        return table.At(size_t(i));
    }
    // ")" after a function's parameters, else "unbalanced parenthesis", which
    // also stops the script.
    void CloseCall() {
        if (!Next().IsDelimiter(')')) {
            p_.stopRequested = 1;
            Error(msg::kUnbalancedParenthesis);
        }
    }
    // The object of obj. for a member read, kept alive while its member runs.
    ScriptObject& MemberObject(const Token& t) {
        ScriptObject* object = p_.FindObject(t.text);
        if (!object) Error(msg::kUnknownObject);
        return *object;
    }

    Program& p_;
    Lexer& lx_;
};

// Numeric expressions, evaluated on an operand stack as they are read.
class NumberReader : public TextReader {
public:
    using TextReader::TextReader;

    double Result() { return values_.back(); }

    void Missing() { values_.push_back(0); }
    NestingScope Open() { return NestingScope(p_, 1); }
    void Unbalanced() {
        p_.stopRequested = 1;
        Error(msg::kUnbalancedParenthesis);
    }
    void NumberCall(const Token& t) {
        NestingScope nesting(p_, 1);
        MainObject& main = p_.Main();
        double value = main.ProcessNumFunction(main.FindNumFunction(t.text));
        CloseCall();
        values_.push_back(value);
    }
    void NumberArray(const Token& name, const Token&) {
        if (!p_.FindNumArray(name.text)) Error(msg::kUnknownNumberArray);
    }
    void NumberIndex() {
        NestingScope nesting(p_, 1);
        index_ = ToInt32(p_.Eval().EvalNum());
    }
    // The array is found again: the index may have deleted it.
    void NumberElement(const Token& name, const Token&) {
        NumArrayObject* array = p_.FindNumArray(name.text);
        if (!array) Error(msg::kUnknownNumberArray);
        values_.push_back(array->Element(index_));
    }
    void NumberVariable(const Token& name, const Token&) {
        values_.push_back(Variable(p_.Main().numMembers, name));
    }
    void Constant(const Token& t) { values_.push_back(p_.Main().constants.Get(t.text)); }
    void Number(double value) { values_.push_back(value); }
    void NumberMember(const Token& t) {
        ScriptObject& object = MemberObject(t);
        ObjectHold hold(object);
        Token member = Next();
        double value = 0;
        if (member.kind == tkNumberVar) {
            value = object.GetNumMember(member.text);
        } else if (member.kind == tkCall) {
            NestingScope nesting(p_, 1);
            value = object.ProcessNumFunction(object.FindNumFunction(member.text));
            CloseCall();
        } else {
            Error(msg::kUndefinedMember);
        }
        values_.push_back(value);
    }
    void Negate() { values_.back() = -values_.back(); }
    void Binary(BinaryOp op) {
        double right = values_.back();
        values_.pop_back();
        values_.back() = Apply(op, values_.back(), right);
    }

private:
    SmallStack<double, 16> values_;
    int index_ = 0;
};

// String expressions, appended element by element as they are read.
class StringReader : public TextReader {
public:
    using TextReader::TextReader;

    std::string result;

    void StringArray(const Token& name, const Token&) {
        if (!p_.FindStringArray(name.text)) Error(msg::kUnknownStringArray);
    }
    void StringIndex() {
        NestingScope nesting(p_, 1);
        index_ = ToInt32(p_.Eval().EvalNum());
    }
    void StringElement(const Token& name, const Token&) {
        StringArrayObject* array = p_.FindStringArray(name.text);
        if (!array) Error(msg::kUnknownStringArray);
        Append(p_, result, array->Element(index_));
    }
    void StringVariable(const Token& name, const Token&) {
        Append(p_, result, Variable(p_.Main().strMembers, name));
    }
    void Literal(const Token& t) { Append(p_, result, t.text); }
    void Character(const Token&, char c) { Append(p_, result, std::string_view(&c, 1)); }
    void StringCall(const Token& t) {
        NestingScope nesting(p_, 1);
        MainObject& main = p_.Main();
        std::string value = main.ProcessStringFunction(main.FindStringFunction(t.text));
        CloseCall();
        Append(p_, result, value);
    }
    void StringMember(const Token& t) {
        ScriptObject& object = MemberObject(t);
        ObjectHold hold(object);
        Token member = Next();
        if (member.kind == tkStringVar) {
            Append(p_, result, object.GetStringMember(member.text));
        } else if (member.kind == tkCall) {
            NestingScope nesting(p_, 1);
            std::string value = object.ProcessStringFunction(object.FindStringFunction(member.text));
            CloseCall();
            Append(p_, result, value);
        } else {
            Error(msg::kUndefinedMember);
        }
    }
    [[noreturn]] void BadElement(const Token& t) {
        char text[64];
        std::snprintf(text, sizeof text, msg::kUnknownStringElement, int(t.kind));
        Error(text);
    }

private:
    int index_ = 0;
};

// A condition: both sides evaluated through the entry points, then compared.
class ConditionReader : public TextReader {
public:
    using TextReader::TextReader;

    int result = 0;

    void Side(ExprType type) {
        strings_ = type == kExprString;
        if (strings_)
            texts_[sides_++] = p_.Eval().EvalString();
        else
            numbers_[sides_++] = p_.Eval().EvalNum();
    }
    void Relation(bool valid, RelOp op) {
        if (!valid) Error(msg::kConditionalOperator);
        result = strings_ ? Compare(op, texts_[0], texts_[1]) : Compare(op, numbers_[0], numbers_[1]);
    }

private:
    std::string texts_[2];
    double numbers_[2] = {0, 0};
    int sides_ = 0;
    bool strings_ = false;
};

// The peek through the lexer; everything read is put back.
class PeekReader : public TextReader {
public:
    using TextReader::TextReader;
};

template <class Code, class Compile>
Code* Cached(Program& p, Code* PlaceNotes::*slot, Compile compile, bool* settled) {
    PlaceNotes* notes = NotesHere(p);
    if (settled) *settled = notes != nullptr;
    if (!notes) return nullptr;
    Code*& entry = notes->*slot;
    if (entry == NotCompilableMark<Code>()) return nullptr;
    if (entry) return entry;
    std::unique_ptr<Code> code = compile(p, p.Lex().Position());
    if (!code) {
        entry = NotCompilableMark<Code>();
        return nullptr;
    }
    entry = p.Memory().Keep(std::move(code));
    return entry;
}

}  // namespace

PlaceNotes* NotesHere(Program& p) {
    if (!p.FastPaths()) return nullptr;
    return p.Memory().Visit(p.Lex().Position(), p.Main().NameGeneration());
}

NumCode* Evaluator::CachedNum(bool* settled) {
    return Cached(program_, &PlaceNotes::num, CompileNum, settled);
}
StrCode* Evaluator::CachedStr(bool* settled) {
    return Cached(program_, &PlaceNotes::str, CompileStr, settled);
}
CondCode* Evaluator::CachedCond(bool* settled) {
    return Cached(program_, &PlaceNotes::cond, CompileCond, settled);
}

// Compiled code runs where its parentheses and indices stay within the
// nesting limit; near the limit the text is read, which reports the
// overflow at its exact place.
double Evaluator::EvalNum() {
    NumCode* code = CachedNum();
    if (code && NestingAllows(program_, code->nesting)) return RunNum(program_, *code);
    return PlainNum();
}

double Evaluator::PlainNum() {
    NumberReader reader(program_);
    grammar::NumericExpression(reader);
    return reader.Result();
}

std::string Evaluator::EvalString() {
    StrCode* code = CachedStr();
    if (code && NestingAllows(program_, code->nesting)) return RunStr(program_, *code);
    return PlainString();
}

std::string Evaluator::PlainString() {
    StringReader reader(program_);
    grammar::StringExpression(reader);
    return std::move(reader.result);
}

int Evaluator::EvalCondition() {
    CondCode* code = CachedCond();
    if (code && NestingAllows(program_, code->nesting)) return RunCond(program_, *code);
    return PlainCondition();
}

int Evaluator::PlainCondition() {
    ConditionReader reader(program_);
    grammar::Condition(reader);
    return reader.result;
}

ExprType Evaluator::PeekExprType() {
    PeekReader reader(program_);
    return grammar::PeekType(reader);
}

std::string_view Evaluator::OperatorText(char (&op)[3]) {
    PeekReader reader(program_);
    return grammar::OperatorText(reader, op);
}

// ---- Parameter protocol -----------------------------------------------------------

bool Evaluator::HasFirstParam(bool required) {
    Lexer& lx = program_.Lex();
    Token t = lx.NextToken();
    lx.PutBack(t);
    bool present = !t.newLine && !t.IsDelimiter(')') && t.kind != tkEnd;
    if (!present && required) program_.ReportError(kSyntaxKind, msg::kRequiredParameter);
    return present;
}

bool Evaluator::HasNextParam(bool required) {
    Lexer& lx = program_.Lex();
    Token t = lx.NextToken();
    if (t.IsDelimiter(',')) return true;
    lx.PutBack(t);
    if (required) program_.ReportError(kSyntaxKind, msg::kRequiredParameter);
    return false;
}

std::string Evaluator::ReadName() {
    Token t = program_.Lex().NextToken();
    if (t.kind != tkWord || t.text.empty()) program_.ReportError(kSyntaxKind, msg::kStatementExpected);
    return std::string(t.text);
}

// ---- Views of string variables ------------------------------------------------------

// The view is taken where the call's arguments are known to change nothing:
// the expression compiler notes that for every call it compiles, by the
// position where the call's first parameter begins.
std::string_view Evaluator::FirstStringView(std::string& scratch) {
    if (PlaceNotes* notes = NotesHere(program_)) {
        StrCode* code = CachedStr();
        if (notes->view == PlaceNotes::kViewUnknown && code) {
            const CallRegion* region = program_.Memory().KnownRegion(program_.Lex().Position());
            bool single = code->parts.size() == 1 && code->parts[0].op == StrOp::Var;
            if (region || !single)
                notes->view =
                    single && region->changesNothing ? PlaceNotes::kViewable : PlaceNotes::kNotViewable;
        }
        if (notes->view == PlaceNotes::kViewable) {
            VarSite& site = code->vars[code->parts[0].arg];
            if (std::string* value = program_.Main().strMembers.FindAt(site.slot, site.name)) {
                program_.Lex().ReadAndPutBack(code->end);
                return *value;
            }
        }
    }
    scratch = EvalString();
    return scratch;
}

}  // namespace tallow
