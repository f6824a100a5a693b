// The expression compiler (the grammars of grammar.h walked over tokens read
// ahead, emitting code) and the code's runner, which applies the evaluator's
// own operations with the evaluator's results, errors and lexer states.
#include "compiled_expr.h"

#include <algorithm>
#include <cassert>

#include "core/main_object.h"
#include "core/messages.h"
#include "core/procedures.h"
#include "core/program.h"
#include "expr/evaluator.h"
#include "expr/functions.h"
#include "expr/grammar.h"
#include "expr/num_array.h"
#include "expr/string_array.h"
#include "expr/text_memory.h"
#include "expr/value_limits.h"

namespace tallow {

namespace {

// Parentheses and indices a compiled expression may nest; deeper ones are
// left to the evaluator and its guard.
constexpr int kMaxCompiledNesting = 64;
// Deepest operand stack a compiled expression may use.
constexpr int kMaxStack = 48;

// Thrown inside the compiler when the text must be evaluated as text.
struct NotCompilable {};

void Fuse(NumCode& code);
void Finish(Program& p, NumCode& code);

// What the compilers share: tokens read ahead from a cursor of their own
// (compiling never moves the lexer and never reports an error), the names of
// the moment, and the nesting of the place compiled.
class Compiler {
public:
    Compiler(Program& p, uint32_t pos, int nesting)
        : p_(p), lx_(p.Lex()), main_(p.Main()), pos_(pos), nesting_(nesting), deepest_(nesting) {}

    Token Next() {
        Token t = lx_.Peek(pos_);
        pos_ = t.end;
        return t;
    }
    void PutBack(const Token& t) { pos_ = t.start; }
    [[noreturn]] void Error(const char*) { throw NotCompilable{}; }
    ExprType CallType(const Token& t) {
        if (main_.FindNumFunction(t.text)) return kExprNumber;
        if (main_.FindStringFunction(t.text)) return kExprString;
        return kExprUnknown;
    }
    // Members depend on the objects of the moment: read as text.
    [[noreturn]] ExprType MemberType(const Token&) { throw NotCompilable{}; }

    uint32_t Cursor() const { return pos_; }
    int Deepest() const { return deepest_; }

protected:
    // One nesting level deeper (a parenthesis or an index) while it lives.
    struct Level {
        Compiler& c;
        explicit Level(Compiler& compiler) : c(compiler) {
            if (++c.nesting_ > kMaxCompiledNesting) throw NotCompilable{};
            c.deepest_ = std::max(c.deepest_, c.nesting_);
        }
        ~Level() { --c.nesting_; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;
    };

    // A call: the site with its closing parenthesis; the cursor goes on
    // after that parenthesis.
    CallSite CallAt(const Token& t, ExprType kind, int id) {
        TextMemory& memory = p_.Memory();
        const Token& close = memory.MatchingClose(lx_, t);
        const CallRegion& region = memory.Region(lx_, main_, t);
        CallSite site;
        site.id = id;
        site.token = t;
        site.close = close;
        site.nest = nesting_ + 1;
        site.harmless = BuiltInChangesNoVariable(kind, id) && region.changesNothing;
        site.readsMany = region.readsMany;
        site.reads = region.reads;
        pos_ = close.end;
        return site;
    }

    Program& p_;
    Lexer& lx_;
    MainObject& main_;
    uint32_t pos_;
    int nesting_;
    int deepest_;
};

std::unique_ptr<NumCode> CompileNumAt(Program& p, uint32_t pos, int nesting, Token& end, uint32_t& cursor);
std::unique_ptr<StrCode> CompileStrAt(Program& p, uint32_t pos, int nesting, Token& end, uint32_t& cursor);

// Numeric expressions into instructions.
class NumCompiler : public Compiler {
public:
    NumCompiler(Program& p, NumCode& code, uint32_t pos, int nesting) : Compiler(p, pos, nesting), c_(code) {}

    void Missing() { Emit(NumOp::Number, 0, 0); }
    Level Open() { return Level(*this); }
    [[noreturn]] void Unbalanced() { throw NotCompilable{}; }
    void NumberCall(const Token& t) {
        CallSite site = CallAt(t, kExprNumber, main_.FindNumFunction(t.text));
        bool compiled = CompileArguments(t, site);
        c_.calls.push_back(std::move(site));
        Emit(compiled ? NumOp::ProcCall : NumOp::Call, uint32_t(c_.calls.size() - 1));
    }
    void NumberArray(const Token& name, const Token& bracket) {
        c_.arrays.push_back({name.text, bracket, {}});
        arraySites_.push_back(uint32_t(c_.arrays.size() - 1));
        Emit(NumOp::ArrayOpen, arraySites_.back());
    }
    void NumberIndex() {
        Level level(*this);
        grammar::NumericExpression(*this);
    }
    void NumberElement(const Token&, const Token& close) {
        uint32_t site = arraySites_.back();
        arraySites_.pop_back();
        c_.arrays[site].close = close;
        Emit(NumOp::Element, site);
    }
    void NumberVariable(const Token& name, const Token& next) {
        c_.vars.push_back({name.text, name, next, {}});
        Emit(NumOp::Var, uint32_t(c_.vars.size() - 1));
    }
    void Constant(const Token& t) {
        c_.vars.push_back({t.text, t, t, {}});
        Emit(NumOp::Constant, uint32_t(c_.vars.size() - 1));
    }
    void Number(double value) { Emit(NumOp::Number, 0, value); }
    [[noreturn]] void NumberMember(const Token&) { throw NotCompilable{}; }
    void Negate() { Emit(NumOp::Neg); }
    void Binary(BinaryOp op) { Emit(BinaryInstruction(op)); }

private:
    void Emit(NumOp op, uint32_t arg = 0, double number = 0) {
        c_.code.push_back({op, arg, number});
        switch (op) {
            case NumOp::Number:
            case NumOp::Var:
            case NumOp::Constant:
            case NumOp::Call:
            case NumOp::ProcCall:
                ++height_;
                break;
            case NumOp::Neg:
            case NumOp::ArrayOpen:
            case NumOp::Element:
                break;
            default:
                --height_;
                break;
        }
        if (height_ > c_.depth) c_.depth = height_;
        if (c_.depth >= kMaxStack) throw NotCompilable{};
    }

    // A number-function procedure: its arguments, one per parameter, as the
    // call reads them (the first on the call's line, the others after
    // commas), each compiled, and the call's own closing parenthesis right
    // after the last. False when anything differs: the call then reads them.
    bool CompileArguments(const Token& call, CallSite& site) {
        if (site.id < kFirstNumFunctionProc) return false;
        ProcTable& table = p_.Procs();
        const ProcRecord* proc = table.NumberFunction(site.id);
        if (!proc) return false;
        std::vector<ArgumentCode> arguments;
        uint32_t at = call.end;
        // Arguments are read inside the call: one level for the call, one
        // for the procedure.
        int nesting = 0;
        try {
            for (size_t i = 0; i < proc->paramTypes.size(); ++i) {
                Token t = lx_.Peek(at);
                if (i == 0) {
                    if (t.newLine || t.IsDelimiter(')') || t.kind == tkEnd) return false;
                } else {
                    if (!t.IsDelimiter(',')) return false;
                    at = t.end;
                }
                ArgumentCode argument;
                argument.start = at;
                Token end;
                uint32_t cursor = 0;
                if (proc->paramTypes[i] == 'S') {
                    argument.text = CompileStrAt(p_, at, nesting, end, cursor);
                    if (!argument.text) return false;
                } else {
                    argument.number = CompileNumAt(p_, at, nesting, end, cursor);
                    if (!argument.number) return false;
                }
                arguments.push_back(std::move(argument));
                at = end.start;
            }
            if (lx_.Peek(at).start != p_.Memory().MatchingClose(lx_, call).start) return false;
        } catch (const LexProbeFailed&) {
            return false;
        }
        site.proc = proc;
        site.table = &table;
        site.arguments = std::move(arguments);
        return true;
    }

    NumCode& c_;
    int height_ = 0;
    std::vector<uint32_t> arraySites_;
};

// String expressions into parts.
class StrCompiler : public Compiler {
public:
    StrCompiler(Program& p, StrCode& code, uint32_t pos, int nesting) : Compiler(p, pos, nesting), c_(code) {}

    void StringArray(const Token& name, const Token& bracket) {
        c_.arrays.push_back({name.text, bracket, {}});
        part_ = StrPart{};
        part_.op = StrOp::Element;
        part_.arg = uint32_t(c_.arrays.size() - 1);
    }
    void StringIndex() {
        Level level(*this);
        Token end;
        uint32_t cursor = 0;
        part_.index = CompileNumAt(p_, pos_, nesting_, end, cursor);
        if (!part_.index) throw NotCompilable{};
        deepest_ = std::max(deepest_, part_.index->nesting);
        if (!part_.index->calls.empty()) c_.harmless = c_.harmless && CallsHarmless(*part_.index);
        pos_ = cursor;
    }
    void StringElement(const Token&, const Token& close) {
        c_.arrays[part_.arg].close = close;
        c_.parts.push_back(std::move(part_));
    }
    void StringVariable(const Token& name, const Token& next) {
        c_.vars.push_back({name.text, name, next, {}});
        StrPart part;
        part.op = StrOp::Var;
        part.arg = uint32_t(c_.vars.size() - 1);
        c_.parts.push_back(std::move(part));
    }
    void Literal(const Token& t) {
        StrPart part;
        part.op = StrOp::Literal;
        part.text = t.text;
        part.token = t;
        c_.parts.push_back(std::move(part));
    }
    void Character(const Token& t, char ch) {
        StrPart part;
        part.op = StrOp::Char;
        part.ch = ch;
        part.token = t;
        c_.parts.push_back(std::move(part));
    }
    void StringCall(const Token& t) {
        CallSite site = CallAt(t, kExprString, main_.FindStringFunction(t.text));
        c_.harmless = c_.harmless && site.harmless;
        c_.calls.push_back(std::move(site));
        StrPart part;
        part.op = StrOp::Call;
        part.arg = uint32_t(c_.calls.size() - 1);
        c_.parts.push_back(std::move(part));
    }
    [[noreturn]] void StringMember(const Token&) { throw NotCompilable{}; }
    [[noreturn]] void BadElement(const Token&) { throw NotCompilable{}; }

private:
    static bool CallsHarmless(const NumCode& code) {
        for (const CallSite& site : code.calls)
            if (!site.harmless) return false;
        return true;
    }

    StrCode& c_;
    StrPart part_;
};

// A condition: the two sides compiled as the entry points would read them.
class CondCompiler : public Compiler {
public:
    CondCompiler(Program& p, CondCode& code, uint32_t pos) : Compiler(p, pos, 0), c_(code) {}

    void Side(ExprType type) {
        c_.strings = type == kExprString;
        Token end;
        uint32_t cursor = 0;
        bool left = !(c_.leftNum || c_.leftStr);
        if (c_.strings) {
            auto code = CompileStrAt(p_, pos_, 0, end, cursor);
            if (!code) throw NotCompilable{};
            c_.nesting = std::max(c_.nesting, code->nesting);
            (left ? c_.leftStr : c_.rightStr) = std::move(code);
        } else {
            auto code = CompileNumAt(p_, pos_, 0, end, cursor);
            if (!code) throw NotCompilable{};
            c_.nesting = std::max(c_.nesting, code->nesting);
            (left ? c_.leftNum : c_.rightNum) = std::move(code);
        }
        pos_ = cursor;
    }
    // An unknown operator is reported by the text, after both sides.
    void Relation(bool valid, RelOp op) {
        if (!valid) throw NotCompilable{};
        c_.op = op;
    }

private:
    CondCode& c_;
};

// Runs one compilation; false when the text must be read as text.
template <class F>
bool Compiles(F compile) {
    try {
        compile();
        return true;
    } catch (const NotCompilable&) {
        return false;
    } catch (const LexProbeFailed&) {
        return false;
    }
}

// The numeric expression at pos, as EvalNum reads it; end is the token that
// ends it and cursor where reading goes on (at that token).
std::unique_ptr<NumCode> CompileNumAt(Program& p, uint32_t pos, int nesting, Token& end, uint32_t& cursor) {
    auto code = std::make_unique<NumCode>();
    NumCompiler compiler(p, *code, pos, nesting);
    if (!Compiles([&] { end = grammar::NumericExpression(compiler); })) return nullptr;
    cursor = compiler.Cursor();
    code->end = end;
    code->nesting = compiler.Deepest();
    Fuse(*code);
    Finish(p, *code);
    return code;
}

std::unique_ptr<StrCode> CompileStrAt(Program& p, uint32_t pos, int nesting, Token& end, uint32_t& cursor) {
    auto code = std::make_unique<StrCode>();
    StrCompiler compiler(p, *code, pos, nesting);
    if (!Compiles([&] { end = grammar::StringExpression(compiler); })) return nullptr;
    cursor = compiler.Cursor();
    code->end = end;
    code->nesting = compiler.Deepest();
    return code;
}

// A binary operator whose right operand is a number or a variable read just
// before it becomes one fused instruction.
void Fuse(NumCode& code) {
    std::vector<NumInstr> out;
    out.reserve(code.code.size());
    for (size_t i = 0; i < code.code.size(); ++i) {
        const NumInstr& in = code.code[i];
        bool leaf = in.op == NumOp::Number || in.op == NumOp::Var;
        if (leaf && i + 1 < code.code.size()) {
            NumOp next = code.code[i + 1].op;
            if (next >= NumOp::Add && next <= NumOp::Pow) {
                int base = in.op == NumOp::Var ? int(NumOp::AddV) : int(NumOp::AddN);
                out.push_back({NumOp(base + int(next) - int(NumOp::Add)), in.arg, in.number});
                ++i;
                continue;
            }
        }
        out.push_back(in);
    }
    code.code = std::move(out);
}

// Ties the code to its program's tables and lexer and notes its shape.
void Finish(Program& p, NumCode& code) {
    code.globals = &p.Main().numMembers;
    code.lexer = &p.Lex();
    bool leaf0 = !code.code.empty() && (code.code[0].op == NumOp::Number || code.code[0].op == NumOp::Var);
    if (code.code.size() == 1 && leaf0)
        code.shape = NumShape::Leaf;
    else if (code.code.size() == 2 && leaf0 && code.code[1].op >= NumOp::AddN)
        code.shape = NumShape::LeafOp;
}

// ---- Running ----------------------------------------------------------------------

// Reported at the variable's token, as the evaluator reports it.
[[noreturn]] void UnknownVariable(Program& p, const VarSite& site) {
    p.Lex().Read(site.token);
    p.ReportError(kSyntaxKind, msg::kUnknownVariable);
}

// The variable's entry found by name (and remembered), or the evaluator's
// error for an unknown variable.
template <class Table>
[[gnu::noinline]] auto& FindVar(Program& p, Table& table, VarSite& site) {
    int i = table.Find(site.name);
    if (i < 0) UnknownVariable(p, site);
    site.slot = {table.Generation(), uint32_t(i)};
    return table.At(size_t(i));
}

// The value of a variable through its remembered slot.
template <class Table>
[[gnu::always_inline]] inline auto& VarValue(Program& p, Table& table, VarSite& site) {
    if (site.slot.generation == table.Generation()) [[likely]]
        return table.At(site.slot.index);
    return FindVar(p, table, site);
}

// A constant, as the evaluator reads it just after the constant's token.
double ConstantValue(Program& p, NumVarTable& table, VarSite& site) {
    if (site.slot.generation == table.Generation()) return table.At(site.slot.index);
    int i = table.Find(site.name);
    if (i < 0) {
        p.Lex().Read(site.token);
        p.ReportError(kSyntaxKind, msg::kUnknownVariable);
    }
    site.slot = {table.Generation(), uint32_t(i)};
    return table.At(size_t(i));
}

template <class Array>
Array* FindArray(Program& p, ArraySite& site) {
    if (site.registryGeneration != p.RegistryGeneration()) {
        if constexpr (std::is_same_v<Array, NumArrayObject>)
            site.array = p.FindNumArray(site.name);
        else
            site.array = p.FindStringArray(site.name);
        site.registryGeneration = p.RegistryGeneration();
    }
    return static_cast<Array*>(site.array);
}

// The array before its index is evaluated; "unknown ... array" as the
// evaluator reports it, just after reading the "[".
template <class Array>
void OpenArray(Program& p, ArraySite& site, const char* message) {
    if (FindArray<Array>(p, site)) return;
    p.Lex().Read(site.bracket);
    p.ReportError(kSyntaxKind, message);
}

// The element once the index is known; errors as just after reading "]".
template <class Array>
auto& ElementOf(Program& p, ArraySite& site, int index, const char* message) {
    Array* array = FindArray<Array>(p, site);
    if (!array || index < 1 || size_t(index) > array->items.size()) {
        p.Lex().Read(site.close);
        if (!array) p.ReportError(kSyntaxKind, message);
        p.ReportError(kRuntimeKind, msg::kIndexOutOfBounds);
    }
    return array->items[size_t(index - 1)];
}

// After a call its closing parenthesis must follow.
// The call's closing parenthesis is read, as the site remembers it when the
// lexer stands there (a call leaves it there unless it failed).
void AfterCall(Program& p, const CallSite& site) {
    Lexer& lx = p.Lex();
    if (lx.Position() == site.close.start) {
        lx.Read(site.close);
        return;
    }
    if (!lx.NextToken().IsDelimiter(')')) {
        p.stopRequested = 1;
        p.ReportError(kSyntaxKind, msg::kUnbalancedParenthesis);
    }
}

// A call of a function that reads its own parameters, with the lexer just
// after the name and its "(", as reading the text leaves it.
double CallNumber(Program& p, const CallSite& site) {
    p.Lex().Read(site.token);
    NestingScope nesting(p, site.nest);
    double value = p.Main().ProcessNumFunction(site.id);
    AfterCall(p, site);
    return value;
}

std::string CallString(Program& p, const CallSite& site) {
    p.Lex().Read(site.token);
    NestingScope nesting(p, site.nest);
    std::string value = p.Main().ProcessStringFunction(site.id);
    AfterCall(p, site);
    return value;
}

// A procedure's arguments from their compiled code, each in turn as the
// call asks for it; an argument whose code may not run at the present
// nesting is read as text.
class CompiledArguments : public ProcArguments {
public:
    CompiledArguments(Program& p, CallSite& site) : p_(p), site_(site) {}
    double Number(size_t i) override {
        ArgumentCode& a = site_.arguments[i];
        if (NestingAllows(p_, a.number->nesting)) return RunNum(p_, *a.number);
        p_.Lex().SetPosition(a.start);
        return p_.Eval().PlainNum();
    }
    std::string Text(size_t i) override {
        ArgumentCode& a = site_.arguments[i];
        if (NestingAllows(p_, a.text->nesting)) return RunStr(p_, *a.text);
        p_.Lex().SetPosition(a.start);
        return p_.Eval().PlainString();
    }

private:
    Program& p_;
    CallSite& site_;
};

double CallProcedure(Program& p, CallSite& site) {
    p.Lex().Read(site.token);
    NestingScope nesting(p, site.nest);
    CompiledArguments arguments(p, site);
    double value = site.table->CallNumFunction(*site.proc, arguments);
    AfterCall(p, site);
    return value;
}

}  // namespace

std::unique_ptr<NumCode> CompileNum(Program& p, uint32_t pos) {
    Token end;
    uint32_t cursor = 0;
    return CompileNumAt(p, pos, 0, end, cursor);
}

std::unique_ptr<StrCode> CompileStr(Program& p, uint32_t pos) {
    Token end;
    uint32_t cursor = 0;
    return CompileStrAt(p, pos, 0, end, cursor);
}

std::unique_ptr<CondCode> CompileCond(Program& p, uint32_t pos) {
    auto code = std::make_unique<CondCode>();
    CondCompiler compiler(p, *code, pos);
    if (!Compiles([&] { grammar::Condition(compiler); })) return nullptr;
    return code;
}

double GlobalValue(Program& p, NumCode& c, uint32_t site) {
    return VarValue(p, *c.globals, c.vars[site]);
}

NumArrayObject* SiteNumArray(Program& p, ArraySite& site) {
    return FindArray<NumArrayObject>(p, site);
}

StringArrayObject* SiteStringArray(Program& p, ArraySite& site) {
    return FindArray<StringArrayObject>(p, site);
}

double ShapeValueSlow(Program& p, NumCode& c) {
    assert(c.shape == NumShape::Leaf || c.shape == NumShape::LeafOp);
    // Each leaf as NumValue reads it, a stale variable looked up again (in
    // order, so the first unknown variable is the one reported).
    auto leaf = [&](NumOp op, uint32_t arg, double number) {
        double value;
        return QuickLeaf(c, op, arg, number, value) ? value : GlobalValue(p, c, arg);
    };
    double v = leaf(c.code[0].op, c.code[0].arg, c.code[0].number);
    if (c.shape == NumShape::Leaf) return v;
    const NumInstr& op = c.code[1];
    double right = leaf(FusedWithVariable(op) ? NumOp::Var : NumOp::Number, op.arg, op.number);
    return Apply(FusedOperator(op), v, right);
}

// One instruction of the less frequent kinds, outside the main loop so that
// the loop keeps its accumulator in a register: constants, the bitwise and
// power operators, calls and array elements.
// The accumulator and the stack's top after a step (returned in registers).
struct Stepped {
    double acc;
    int top;
};

[[gnu::noinline]] Stepped Step(Program& p, NumCode& c, const NumInstr& in, double acc, double* stack,
                               int top) {
    NumVarTable& vars = *c.globals;
    // A leaf pushes the accumulator before it runs, so that nothing lives
    // across the calls it makes.
    auto leaf = [&](auto value) {
        stack[++top] = acc;
        return Stepped{value(), top};
    };
    switch (in.op) {
        case NumOp::Constant:
            return leaf([&] { return ConstantValue(p, p.Main().constants, c.vars[in.arg]); });
        case NumOp::Call:
            return leaf([&] { return CallNumber(p, c.calls[in.arg]); });
        case NumOp::ProcCall:
            return leaf([&] { return CallProcedure(p, c.calls[in.arg]); });
        case NumOp::ArrayOpen:
            OpenArray<NumArrayObject>(p, c.arrays[in.arg], msg::kUnknownNumberArray);
            return {acc, top};
        case NumOp::Element:
            return {ElementOf<NumArrayObject>(p, c.arrays[in.arg], ToInt32(acc), msg::kUnknownNumberArray),
                    top};
        default:
            break;
    }
    // A binary operator in one of its three forms.
    int op = int(in.op) - int(NumOp::Add);
    int form = op / kBinaryOpCount;
    BinaryOp binary = BinaryOp(op % kBinaryOpCount);
    if (form == 0) return {Apply(binary, stack[top], acc), top - 1};
    if (form == 1) return {Apply(binary, acc, in.number), top};
    return {Apply(binary, acc, VarValue(p, vars, c.vars[in.arg])), top};
}

// The arithmetic operators and the remainder in their three forms (plain,
// with a number, with a variable), inline in the loop.
#define TALLOW_ARITHMETIC_CASES(OP)                                        \
    case NumOp::OP:                                                        \
        acc = Apply(BinaryOp::OP, stack[top--], acc);                      \
        break;                                                             \
    case NumOp::OP##N:                                                     \
        acc = Apply(BinaryOp::OP, acc, in.number);                         \
        break;                                                             \
    case NumOp::OP##V:                                                     \
        acc = Apply(BinaryOp::OP, acc, VarValue(p, vars, c.vars[in.arg])); \
        break;

double RunNumGeneral(Program& p, NumCode& c) {
    assert(c.depth < kMaxStack);  // the compiler refuses deeper code
    double stack[kMaxStack];
    int top = -1;
    double acc = 0;
    NumVarTable& vars = *c.globals;
    for (const NumInstr& in : c.code) {
        switch (in.op) {
            case NumOp::Number:
                stack[++top] = acc;
                acc = in.number;
                break;
            case NumOp::Var: {
                double v = VarValue(p, vars, c.vars[in.arg]);
                stack[++top] = acc;
                acc = v;
                break;
            }
            case NumOp::Neg:
                acc = -acc;
                break;
                TALLOW_ARITHMETIC_CASES(Add)
                TALLOW_ARITHMETIC_CASES(Sub)
                TALLOW_ARITHMETIC_CASES(Mul)
                TALLOW_ARITHMETIC_CASES(Div)
                TALLOW_ARITHMETIC_CASES(Mod)
            default: {
                Stepped stepped = Step(p, c, in, acc, stack, top);
                acc = stepped.acc;
                top = stepped.top;
                break;
            }
        }
    }
    EndNum(c);
    return acc;
}

#undef TALLOW_ARITHMETIC_CASES

// Room for added bytes more in out, within the engine's longest string and
// the program's budget. When there is none the lexer is put where reading
// the text appends the same part (so the error's place is the same), and
// the failure goes on.
template <class Place>
inline void Grow(Program& p, const std::string& out, size_t added, Place place) {
    try {
        CheckGrowth(out.size(), added, kMaxStringLength);
        p.ChargeMemory(added);
    } catch (...) {
        place();
        throw;
    }
}

void AppendStr(Program& p, StrCode& c, std::string& out, size_t firstPart) {
    MainObject& main = p.Main();
    Lexer& lx = p.Lex();
    for (size_t i = firstPart; i < c.parts.size(); ++i) {
        StrPart& part = c.parts[i];
        switch (part.op) {
            case StrOp::Literal:
            case StrOp::Char: {
                std::string_view text = part.op == StrOp::Literal ? part.text : std::string_view(&part.ch, 1);
                Grow(p, out, text.size(), [&] { lx.Read(part.token); });
                out += text;
                break;
            }
            case StrOp::Var: {
                VarSite& site = c.vars[part.arg];
                const std::string& value = VarValue(p, main.strMembers, site);
                Grow(p, out, value.size(), [&] { lx.ReadAndPutBack(site.next); });
                out += value;
                break;
            }
            case StrOp::Call: {
                std::string value = CallString(p, c.calls[part.arg]);
                Grow(p, out, value.size(), [] {});  // the call read its ")" last
                out += value;
                break;
            }
            case StrOp::Element: {
                ArraySite& site = c.arrays[part.arg];
                OpenArray<StringArrayObject>(p, site, msg::kUnknownStringArray);
                int index = ToInt32(RunNum(p, *part.index));
                const std::string& value =
                    ElementOf<StringArrayObject>(p, site, index, msg::kUnknownStringArray);
                Grow(p, out, value.size(), [&] { lx.Read(site.close); });
                out += value;
                break;
            }
        }
    }
    lx.ReadAndPutBack(c.end);
}

std::string RunStr(Program& p, StrCode& c) {
    std::string out;
    AppendStr(p, c, out, 0);
    return out;
}

int RunCondGeneral(Program& p, CondCode& c) {
    std::string left = RunStr(p, *c.leftStr);
    std::string right = RunStr(p, *c.rightStr);
    return Compare(c.op, left, right);
}

}  // namespace tallow
