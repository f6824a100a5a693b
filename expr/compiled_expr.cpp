// Compiling expressions into instruction lists, and running them with the
// evaluator's results, errors and lexer states.
#include "compiled_expr.h"

#include <algorithm>
#include <cmath>

#include "core/main_object.h"
#include "core/procedures.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/evaluator.h"
#include "expr/math_error.h"
#include "expr/num_array.h"
#include "expr/string_array.h"
#include "expr/value_limits.h"

namespace tallow {

namespace {

// The built-in function ids: string functions 1 to 18 (8 is parsetok), number
// functions 1 to 31; higher ids are procedures.
constexpr int kLastBuiltInString = 18;
constexpr int kLastBuiltInNumber = 31;
constexpr int kParseTokFunction = 8;

// Parentheses a compiled expression may nest; the compiler recurses per level.
constexpr int kMaxCompiledNesting = 64;

// Thrown inside the compiler when the text must be evaluated as text.
struct NotCompilable {};

void Fuse(NumCode& code);
void Finish(Program& p, NumCode& code);
bool FitsStack(const NumCode& code);
bool FitsStack(const StrCode& code);

template <class Code>
void EndCode(Code& code, const Token& end) {
    code.end = end.index;
    code.endStart = end.start;
}

// Reads tokens from a cursor of its own: compiling never moves the lexer and
// never reports an error.
class Compiler {
public:
    explicit Compiler(Program& p) : p_(p), lx_(p.Lex()), main_(p.Main()) {}

    // numexpr, as EvalNum reads it at pos; appends to code.
    void Num(uint32_t pos, NumCode& code, Token& end) {
        if (depth_ > kMaxCompiledNesting) throw NotCompilable{};
        pos_ = pos;
        int type = PeekType(pos);
        if (type == kExprString) throw NotCompilable{};
        Token cur = Read();
        if (cur.text.empty()) throw NotCompilable{};
        code_ = &code;
        Level1(cur);
        end = cur;
    }

    // strexpr, as EvalString reads it at pos.
    void Str(uint32_t pos, StrCode& code, Token& end) {
        pos_ = pos;
        for (;;) {
            Element(Read(), code);
            Token next = Read();
            if (!next.IsDelimiter('+')) {
                end = next;
                return;
            }
        }
    }

    // The evaluator's type peek, where it can be decided from the text alone.
    int PeekType(uint32_t pos) {
        Token t = lx_.Peek(pos);
        switch (t.kind) {
            case tkStringVar:
            case tkString: return kExprString;
            case tkNumberVar:
            case tkConstant:
            case tkNumber: return kExprNumber;
            case tkDelimiter:
                if (t.text[0] == '-') {
                    TokenKind k = lx_.Peek(t.end).kind;
                    if (k == tkConstant || k == tkNumberVar || k == tkNumber) return kExprNumber;
                }
                return kExprUnknown;
            case tkCall:
                if (main_.FindNumFunction(t.text)) return kExprNumber;
                if (main_.FindStringFunction(t.text)) return kExprString;
                return kExprUnknown;
            case tkMember: throw NotCompilable{};  // depends on the objects of the moment
            default: return kExprUnknown;
        }
    }

    uint32_t Cursor() const { return pos_; }

private:
    Token Read() {
        Token t = lx_.Peek(pos_);
        pos_ = t.end;
        return t;
    }

    void Emit(NumOp op, uint32_t arg = 0, double number = 0) {
        code_->code.push_back({op, arg, number});
        switch (op) {
            case NumOp::Number:
            case NumOp::Var:
            case NumOp::Constant:
            case NumOp::Call: ++height_; break;
            case NumOp::Neg:
            case NumOp::ArrayOpen:
            case NumOp::Element: break;
            default: --height_; break;
        }
        if (height_ > code_->depth) code_->depth = height_;
    }

    void Level1(Token& cur) {
        Level2(cur);
        for (char op; (op = cur.Lead()) == '+' || op == '-';) {
            cur = Read();
            Level2(cur);
            Emit(op == '+' ? NumOp::Add : NumOp::Sub);
        }
    }
    void Level2(Token& cur) {
        Level3(cur);
        for (char op; (op = cur.Lead()) == '*' || op == '/';) {
            cur = Read();
            Level3(cur);
            Emit(op == '*' ? NumOp::Mul : NumOp::Div);
        }
    }
    void Level3(Token& cur) {
        Level4(cur);
        for (char op; (op = cur.Lead()) == '|' || op == '&' || op == '!';) {
            cur = Read();
            Level4(cur);
            Emit(op == '|' ? NumOp::Or : op == '&' ? NumOp::And : NumOp::Xor);
        }
    }
    void Level4(Token& cur) {
        Level5(cur);
        while (cur.Lead() == '%') {
            cur = Read();
            Level5(cur);
            Emit(NumOp::Mod);
        }
    }
    void Level5(Token& cur) {
        Level6(cur);
        if (cur.Lead() != '^') return;
        cur = Read();
        Level5(cur);
        Emit(NumOp::Pow);
    }
    void Level6(Token& cur) {
        char sign = cur.Lead();
        if (sign == '+' || sign == '-') cur = Read();
        Primary(cur);
        if (sign == '-') Emit(NumOp::Neg);
    }

    // Where the call that token opens is closed: the first closing
    // parenthesis at its own depth.
    Token MatchingParenthesis(const Token& call) {
        uint32_t at = call.end;
        int depth = 1;
        for (;;) {
            Token t = lx_.Peek(at);
            if (t.kind == tkEnd) throw NotCompilable{};
            if (t.kind == tkCall || t.IsDelimiter('(')) ++depth;
            if (t.IsDelimiter(')') && --depth == 0) return t;
            at = t.end;
        }
    }

    // "[" numexpr "]" after an array name: the index inline, then the close.
    Token Index(const Token& bracket) {
        NumCode& outer = *code_;
        int height = height_;
        Compiler inner(p_);
        inner.depth_ = depth_ + 1;
        inner.code_ = &outer;
        inner.height_ = height;
        Token end;
        inner.Num(bracket.end, outer, end);
        height_ = inner.height_;
        code_ = &outer;
        if (!end.IsDelimiter(']')) throw NotCompilable{};
        return end;
    }

    void Primary(Token& cur) {
        NumCode& c = *code_;
        switch (cur.kind) {
            case tkDelimiter: {
                if (cur.text[0] != '(') {
                    Emit(NumOp::Number, 0, 0);  // no primary: 0, and the token stays
                    return;
                }
                // Deeper nesting is left to the evaluator and its guard.
                if (++depth_ > kMaxCompiledNesting) throw NotCompilable{};
                cur = Read();
                Level1(cur);
                if (!cur.IsDelimiter(')')) throw NotCompilable{};
                --depth_;
                cur = Read();
                return;
            }
            case tkCall: {
                Token close = MatchingParenthesis(cur);
                int id = main_.FindNumFunction(cur.text);
                CallSite site{};
                site.id = id, site.token = cur.index, site.close = close.index;
                site.harmless = HarmlessNumber(id) && HarmlessArguments(cur, close, site.reads);
                bool compiled = CompileArguments(cur, close, site);
                c.calls.push_back(std::move(site));
                Emit(compiled ? NumOp::ProcCall : NumOp::Call, uint32_t(c.calls.size() - 1));
                pos_ = close.end;
                cur = Read();
                return;
            }
            case tkNumberVar: {
                Token next = lx_.Peek(cur.end);
                if (next.IsDelimiter('[')) {
                    c.arrays.push_back({cur.text, next.index, 0});
                    uint32_t site = uint32_t(c.arrays.size() - 1);
                    Emit(NumOp::ArrayOpen, site);
                    Token close = Index(next);
                    c.arrays[site].close = close.index;
                    Emit(NumOp::Element, site);
                    pos_ = close.end;
                    cur = Read();
                    return;
                }
                c.vars.push_back({cur.text, cur.index, next.index, {}});
                Emit(NumOp::Var, uint32_t(c.vars.size() - 1));
                pos_ = next.end;
                cur = next;
                return;
            }
            case tkConstant:
                c.vars.push_back({cur.text, cur.index, cur.index, {}});
                Emit(NumOp::Constant, uint32_t(c.vars.size() - 1));
                cur = Read();
                return;
            case tkNumber:
                Emit(NumOp::Number, 0, TextToDouble(cur.text));
                cur = Read();
                return;
            case tkMember: throw NotCompilable{};
            default: Emit(NumOp::Number, 0, 0); return;
        }
    }

    void Element(const Token& t, StrCode& c) {
        StrPart part{};
        switch (t.kind) {
            case tkStringVar: {
                Token next = lx_.Peek(t.end);
                if (next.IsDelimiter('[')) {
                    c.arrays.push_back({t.text, next.index, 0});
                    part.op = StrOp::Element;
                    part.arg = uint32_t(c.arrays.size() - 1);
                    part.index = std::make_unique<NumCode>();
                    Compiler inner(p_);
                    inner.depth_ = depth_ + 1;
                    Token end;
                    inner.Num(next.end, *part.index, end);
                    if (!end.IsDelimiter(']')) throw NotCompilable{};
                    c.arrays[part.arg].close = end.index;
                    part.index->end = end.index;
                    part.index->endStart = end.start;
                    Fuse(*part.index);
                    Finish(p_, *part.index);
                    pos_ = end.end;
                    if (HasCalls(*part.index)) c.pure = false;
                } else {
                    c.vars.push_back({t.text, t.index, next.index, {}});
                    part.op = StrOp::Var;
                    part.arg = uint32_t(c.vars.size() - 1);
                }
                break;
            }
            case tkString:
                part.op = StrOp::Literal;
                part.text = t.text;
                break;
            case tkNumber:
                part.op = StrOp::Char;
                part.ch = char(TextToInt(t.text));
                break;
            case tkCall: {
                Token close = MatchingParenthesis(t);
                int id = main_.FindStringFunction(t.text);
                CallSite site{};
                site.id = id, site.token = t.index, site.close = close.index;
                site.harmless = HarmlessString(id) && HarmlessArguments(t, close, site.reads);
                c.calls.push_back(std::move(site));
                part.op = StrOp::Call;
                part.arg = uint32_t(c.calls.size() - 1);
                pos_ = close.end;
                c.pure = false;
                c.harmless = c.harmless && c.calls.back().harmless;
                break;
            }
            default: throw NotCompilable{};  // a member, or an error the text reports
        }
        c.parts.push_back(std::move(part));
    }

    static bool HasCalls(const NumCode& code) { return !code.calls.empty(); }

    // A number-function procedure: its arguments, one per parameter, as the
    // call reads them (the first on the call's line, the others after
    // commas), each compiled, and the call's own closing parenthesis right
    // after the last. False (site unchanged) when anything differs.
    bool CompileArguments(const Token& call, const Token& close, CallSite& site) {
        if (site.id < kFirstNumFunctionProc) return false;
        ProcTable& table = p_.Procs();
        const ProcRecord* proc = table.NumberFunction(site.id);
        if (!proc) return false;
        std::vector<ArgumentCode> arguments;
        uint32_t at = call.end;
        for (size_t i = 0; i < proc->paramTypes.size(); ++i) {
            const Token& t = lx_.Peek(at);
            if (i == 0) {
                if (t.newLine || t.IsDelimiter(')') || t.kind == tkEnd) return false;
            } else {
                if (!t.IsDelimiter(',')) return false;
                at = t.end;
            }
            ArgumentCode argument;
            Compiler inner(p_);
            inner.depth_ = depth_ + 1;
            Token end;
            try {
                if (proc->paramTypes[i] == 'S') {
                    argument.text = std::make_unique<StrCode>();
                    inner.Str(at, *argument.text, end);
                    EndCode(*argument.text, end);
                    if (!FitsStack(*argument.text)) return false;
                } else {
                    argument.number = std::make_unique<NumCode>();
                    inner.Num(at, *argument.number, end);
                    EndCode(*argument.number, end);
                    if (!FitsStack(*argument.number)) return false;
                    Fuse(*argument.number);
                    Finish(p_, *argument.number);
                }
            } catch (const NotCompilable&) {
                return false;
            }
            arguments.push_back(std::move(argument));
            at = end.start;
        }
        if (lx_.Peek(at).index != close.index) return false;
        site.proc = proc;
        site.table = &table;
        site.textArguments = proc->paramTypes.find('S') != std::string::npos;
        site.arguments = std::move(arguments);
        return true;
    }

    // The built-in functions change no script variable, except parsetok,
    // which takes a token out of one; procedures and the system partner's
    // functions may do anything.
    static bool HarmlessString(int id) { return id >= 1 && id <= kLastBuiltInString && id != kParseTokFunction; }
    static bool HarmlessNumber(int id) { return id >= 1 && id <= kLastBuiltInNumber; }

    // The arguments between a call's name and its close: harmless when every
    // call among them is; the string variables they name are collected.
    bool HarmlessArguments(const Token& call, const Token& close, std::vector<std::string_view>& reads) {
        for (uint32_t at = call.end;;) {
            const Token& t = lx_.Peek(at);
            if (t.index == close.index) return true;
            if (t.kind == tkMember) return false;
            if (t.kind == tkStringVar) reads.push_back(t.text);
            if (t.kind == tkCall) {
                int n = main_.FindNumFunction(t.text);
                bool ok = n ? HarmlessNumber(n) : HarmlessString(main_.FindStringFunction(t.text));
                if (!ok) return false;
            }
            at = t.end;
        }
    }

    Program& p_;
    Lexer& lx_;
    MainObject& main_;
    uint32_t pos_ = 0;
    NumCode* code_ = nullptr;
    int height_ = 0;
    int depth_ = 0;  // parentheses open around the current place
};

[[noreturn]] void UnknownVariable(Program& p, const VarSite& site) {
    p.Lex().ReadAndPutBack(p.Lex().TokenAt(site.next));
    p.ReportError(kSyntaxKind, msg::kUnknownVariable);
}

// The value of a variable through its remembered slot.
template <class Table>
auto& VarValue(Program& p, Table& table, VarSite& site) {
    if (site.slot.generation == table.Generation()) return table.At(site.slot.index);
    int i = table.Find(site.name);
    if (i < 0) UnknownVariable(p, site);
    site.slot = {table.Generation(), uint32_t(i)};
    return table.At(size_t(i));
}

// A constant: the table never loses entries, so a slot found stays valid.
double ConstantValue(Program& p, NumVarTable& table, VarSite& site) {
    if (site.slot.generation == table.Generation()) return table.At(site.slot.index);
    int i = table.Find(site.name);
    if (i < 0) {
        p.Lex().Read(p.Lex().TokenAt(site.token));
        p.ReportError(kSyntaxKind, msg::kUnknownVariable);
    }
    site.slot = {table.Generation(), uint32_t(i)};
    return table.At(size_t(i));
}

template <class Array>
Array* FindArray(Program& p, ArraySite& site);

template <>
NumArrayObject* FindArray<NumArrayObject>(Program& p, ArraySite& site) {
    if (site.registryGeneration != p.RegistryGeneration()) {
        site.array = p.FindNumArray(site.name);
        site.registryGeneration = p.RegistryGeneration();
    }
    return static_cast<NumArrayObject*>(site.array);
}

template <>
StringArrayObject* FindArray<StringArrayObject>(Program& p, ArraySite& site) {
    if (site.registryGeneration != p.RegistryGeneration()) {
        site.array = p.FindStringArray(site.name);
        site.registryGeneration = p.RegistryGeneration();
    }
    return static_cast<StringArrayObject*>(site.array);
}

// The array before its index is evaluated; "unknown ... array" as the
// evaluator reports it, just after reading the "[".
template <class Array>
void OpenArray(Program& p, ArraySite& site, const char* message) {
    if (FindArray<Array>(p, site)) return;
    p.Lex().Read(p.Lex().TokenAt(site.bracket));
    p.ReportError(kSyntaxKind, message);
}

// The element once the index is known; errors as just after reading "]".
template <class Array>
auto& ElementOf(Program& p, ArraySite& site, int index, const char* message) {
    Array* array = FindArray<Array>(p, site);
    if (!array || index < 1 || size_t(index) > array->items.size()) {
        p.Lex().Read(p.Lex().TokenAt(site.close));
        if (!array) p.ReportError(kSyntaxKind, message);
        p.ReportError(kRuntimeKind, msg::kIndexOutOfBounds);
    }
    return array->items[size_t(index - 1)];
}

// Before a call the lexer stands just after the name and its "(", as the
// function expects; after it the closing parenthesis must follow.
void AfterCall(Program& p, const CallSite&) {
    p.harmlessArguments = false;
    Lexer& lx = p.Lex();
    if (!lx.NextToken().IsDelimiter(')')) {
        p.stopRequested = 1;
        p.ReportError(kSyntaxKind, msg::kUnbalancedParenthesis);
    }
}

// As the evaluator computes "^": through the checked library call, so a math
// error inside the argument of a filtered function is reported the same way.
double Power(double base, double exponent) { return exponent == 0 ? 1.0 : CheckedPow(base, exponent); }

// Most parameters a compiled procedure call passes without the heap.
constexpr size_t kLocalArguments = 8;

// A procedure call with compiled arguments: evaluated in order, leaving the
// lexer as reading them would (before the closing parenthesis, or just after
// the name when there are none), then the body.
[[gnu::noinline]] double CallCompiledWithTexts(Program& p, CallSite& site) {
    size_t n = site.arguments.size();
    std::vector<double> values(n);
    std::vector<std::string> texts(n);
    for (size_t i = 0; i < n; ++i) {
        ArgumentCode& argument = site.arguments[i];
        if (argument.text)
            texts[i] = RunStr(p, *argument.text);
        else
            values[i] = RunNum(p, *argument.number);
    }
    return site.table->CallNumFunctionWith(*site.proc, values.data(), texts.data());
}

double CallCompiled(Program& p, CallSite& site) {
    size_t n = site.arguments.size();
    if (n == 0) {
        p.Lex().Read(p.Lex().TokenAt(site.token));
        return site.table->CallNumFunctionWith(*site.proc, nullptr, nullptr);
    }
    if (n > kLocalArguments || site.textArguments)
        return CallCompiledWithTexts(p, site);
    double values[kLocalArguments];
    for (size_t i = 0; i < n; ++i) values[i] = RunNum(p, *site.arguments[i].number);
    return site.table->CallNumFunctionWith(*site.proc, values, nullptr);
}

// Deepest operand stack a compiled expression may use; deeper ones are
// evaluated from the text.
constexpr int kMaxStack = 48;

bool FitsStack(const NumCode& code) { return code.depth + 1 <= kMaxStack; }

// A binary operator whose right operand is a number or a variable read just
// before it becomes one fused instruction.
void Fuse(NumCode& code) {
    auto fused = [](NumOp op, bool variable) -> int {
        static constexpr NumOp kNumber[] = {NumOp::AddN, NumOp::SubN, NumOp::MulN, NumOp::DivN, NumOp::OrN,
                                            NumOp::AndN, NumOp::XorN, NumOp::ModN, NumOp::PowN};
        static constexpr NumOp kVariable[] = {NumOp::AddV, NumOp::SubV, NumOp::MulV, NumOp::DivV, NumOp::OrV,
                                              NumOp::AndV, NumOp::XorV, NumOp::ModV, NumOp::PowV};
        static constexpr NumOp kPlain[] = {NumOp::Add, NumOp::Sub, NumOp::Mul, NumOp::Div, NumOp::Or,
                                           NumOp::And, NumOp::Xor, NumOp::Mod, NumOp::Pow};
        for (int i = 0; i < 9; ++i)
            if (kPlain[i] == op) return int(variable ? kVariable[i] : kNumber[i]);
        return -1;
    };
    std::vector<NumInstr> out;
    out.reserve(code.code.size());
    for (size_t i = 0; i < code.code.size(); ++i) {
        const NumInstr& in = code.code[i];
        bool leaf = in.op == NumOp::Number || in.op == NumOp::Var;
        if (leaf && i + 1 < code.code.size()) {
            int op = fused(code.code[i + 1].op, in.op == NumOp::Var);
            if (op >= 0) {
                out.push_back({NumOp(op), in.arg, in.number});
                ++i;
                continue;
            }
        }
        out.push_back(in);
    }
    code.code = std::move(out);
}

bool IsFused(NumOp op) { return op >= NumOp::AddN && op <= NumOp::PowV; }

// Ties the code to its program's tables and lexer and notes its shape.
void Finish(Program& p, NumCode& code) {
    code.globals = &p.Main().numMembers;
    code.lexer = &p.Lex();
    bool leaf0 = !code.code.empty() && (code.code[0].op == NumOp::Number || code.code[0].op == NumOp::Var);
    if (code.code.size() == 1 && leaf0)
        code.shape = NumShape::Leaf;
    else if (code.code.size() == 2 && leaf0 && IsFused(code.code[1].op))
        code.shape = NumShape::LeafOp;

}

bool FitsStack(const StrCode& code) {
    for (const StrPart& part : code.parts)
        if (part.index && !FitsStack(*part.index)) return false;
    return true;
}

}  // namespace

namespace {

// Runs one compilation; null when the text must be read as text.
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

}  // namespace

std::unique_ptr<NumCode> CompileNum(Program& p, uint32_t pos) {
    auto code = std::make_unique<NumCode>();
    Token end;
    if (!Compiles([&] { Compiler(p).Num(pos, *code, end); }) || !FitsStack(*code)) return nullptr;
    EndCode(*code, end);
    Fuse(*code);
    Finish(p, *code);
    return code;
}

std::unique_ptr<StrCode> CompileStr(Program& p, uint32_t pos) {
    auto code = std::make_unique<StrCode>();
    Token end;
    if (!Compiles([&] { Compiler(p).Str(pos, *code, end); }) || !FitsStack(*code)) return nullptr;
    EndCode(*code, end);
    return code;
}

std::unique_ptr<CondCode> CompileCond(Program& p, uint32_t pos) {
    auto code = std::make_unique<CondCode>();
    Compiler c(p);
    Lexer& lx = p.Lex();
    // One side, numeric or string as the left side's type says.
    auto side = [&](uint32_t at, std::unique_ptr<NumCode>& num, std::unique_ptr<StrCode>& str, Token& end) {
        if (code->strings) {
            str = std::make_unique<StrCode>();
            c.Str(at, *str, end);
            EndCode(*str, end);
        } else {
            num = std::make_unique<NumCode>();
            c.Num(at, *num, end);
            EndCode(*num, end);
        }
    };
    bool valid = Compiles([&] {
        int type = c.PeekType(pos);
        if (type == kExprUnknown) throw NotCompilable{};
        code->strings = type == kExprString;
        Token end;
        side(pos, code->leftNum, code->leftStr, end);
        // The operator: the first character of the token that ended the left
        // side, and a second one when a delimiter "<", ">" or "=" follows.
        const Token& second = lx.Peek(end.end);
        char op[3] = {end.Lead(), 0, 0};
        uint32_t right = end.end;
        if (second.kind == tkDelimiter && (second.text[0] == '<' || second.text[0] == '>' || second.text[0] == '=')) {
            op[1] = second.text[0];
            right = second.end;
        }
        static constexpr std::pair<std::string_view, RelOp> kOperators[] = {
            {"=", RelOp::Eq}, {"<>", RelOp::Ne}, {"<", RelOp::Lt}, {">", RelOp::Gt}, {"<=", RelOp::Le}, {">=", RelOp::Ge},
        };
        bool known = false;
        for (const auto& [text, relop] : kOperators)
            if (text == std::string_view(op)) code->op = relop, known = true;
        if (!known) throw NotCompilable{};  // the text reports the operator after both sides
        side(right, code->rightNum, code->rightStr, end);
    });
    if (!valid) return nullptr;
    bool fits = code->strings ? FitsStack(*code->leftStr) && FitsStack(*code->rightStr)
                              : FitsStack(*code->leftNum) && FitsStack(*code->rightNum);
    if (!fits) return nullptr;
    if (!code->strings) {
        Fuse(*code->leftNum);
        Fuse(*code->rightNum);
        Finish(p, *code->leftNum);
        Finish(p, *code->rightNum);
        code->leafSides = code->leftNum->shape == NumShape::Leaf && code->rightNum->shape == NumShape::Leaf;
    }
    return code;
}

double GlobalValue(Program& p, NumCode& c, uint32_t site) { return VarValue(p, *c.globals, c.vars[site]); }


// One fused operator applied to the accumulator.
double ApplyFused(Program& p, NumCode& c, const NumInstr& in, double acc) {
    auto var = [&](uint32_t arg) -> double {
        VarSite& site = c.vars[arg];
        if (site.slot.generation == c.globals->Generation()) return c.globals->At(site.slot.index);
        return VarValue(p, *c.globals, site);
    };
    switch (in.op) {
        case NumOp::AddN: return acc + in.number;
        case NumOp::SubN: return acc - in.number;
        case NumOp::MulN: return acc * in.number;
        case NumOp::DivN: return acc / in.number;
        case NumOp::OrN: return double(ToInt32(acc) | ToInt32(in.number));
        case NumOp::AndN: return double(ToInt32(acc) & ToInt32(in.number));
        case NumOp::XorN: return double(ToInt32(acc) ^ ToInt32(in.number));
        case NumOp::ModN: return CheckedFmod(acc, in.number);
        case NumOp::PowN: return Power(acc, in.number);
        case NumOp::AddV: return acc + var(in.arg);
        case NumOp::SubV: return acc - var(in.arg);
        case NumOp::MulV: return acc * var(in.arg);
        case NumOp::DivV: return acc / var(in.arg);
        case NumOp::OrV: return double(ToInt32(acc) | ToInt32(var(in.arg)));
        case NumOp::AndV: return double(ToInt32(acc) & ToInt32(var(in.arg)));
        case NumOp::XorV: return double(ToInt32(acc) ^ ToInt32(var(in.arg)));
        case NumOp::ModV: return CheckedFmod(acc, var(in.arg));
        case NumOp::PowV: return Power(acc, var(in.arg));
        default: return acc;
    }
}

double RunNumGeneral(Program& p, NumCode& c) {
    double stack[kMaxStack];
    int top = -1;
    double acc = 0;
    MainObject& main = p.Main();
    NumVarTable& vars = main.numMembers;
    auto var = [&](uint32_t arg) -> double { return VarValue(p, vars, c.vars[arg]); };
    for (const NumInstr& in : c.code) {
        switch (in.op) {
            case NumOp::Number:
                stack[++top] = acc;
                acc = in.number;
                break;
            case NumOp::Var: {
                double v = var(in.arg);
                stack[++top] = acc;
                acc = v;
                break;
            }
            case NumOp::Constant: {
                double v = ConstantValue(p, main.constants, c.vars[in.arg]);
                stack[++top] = acc;
                acc = v;
                break;
            }
            case NumOp::Neg: acc = -acc; break;
            case NumOp::Add: acc = stack[top--] + acc; break;
            case NumOp::Sub: acc = stack[top--] - acc; break;
            case NumOp::Mul: acc = stack[top--] * acc; break;
            case NumOp::Div: acc = stack[top--] / acc; break;
            case NumOp::Or: acc = double(ToInt32(stack[top--]) | ToInt32(acc)); break;
            case NumOp::And: acc = double(ToInt32(stack[top--]) & ToInt32(acc)); break;
            case NumOp::Xor: acc = double(ToInt32(stack[top--]) ^ ToInt32(acc)); break;
            case NumOp::Mod: acc = CheckedFmod(stack[top--], acc); break;
            case NumOp::Pow: acc = Power(stack[top--], acc); break;
            case NumOp::AddN: acc += in.number; break;
            case NumOp::SubN: acc -= in.number; break;
            case NumOp::MulN: acc *= in.number; break;
            case NumOp::DivN: acc /= in.number; break;
            case NumOp::OrN: acc = double(ToInt32(acc) | ToInt32(in.number)); break;
            case NumOp::AndN: acc = double(ToInt32(acc) & ToInt32(in.number)); break;
            case NumOp::XorN: acc = double(ToInt32(acc) ^ ToInt32(in.number)); break;
            case NumOp::ModN: acc = CheckedFmod(acc, in.number); break;
            case NumOp::PowN: acc = Power(acc, in.number); break;
            case NumOp::AddV: acc += var(in.arg); break;
            case NumOp::SubV: acc -= var(in.arg); break;
            case NumOp::MulV: acc *= var(in.arg); break;
            case NumOp::DivV: acc /= var(in.arg); break;
            case NumOp::OrV: acc = double(ToInt32(acc) | ToInt32(var(in.arg))); break;
            case NumOp::AndV: acc = double(ToInt32(acc) & ToInt32(var(in.arg))); break;
            case NumOp::XorV: acc = double(ToInt32(acc) ^ ToInt32(var(in.arg))); break;
            case NumOp::ModV: acc = CheckedFmod(acc, var(in.arg)); break;
            case NumOp::PowV: acc = Power(acc, var(in.arg)); break;
            case NumOp::Call: {
                const CallSite& site = c.calls[in.arg];
                p.Lex().Read(p.Lex().TokenAt(site.token));
                p.harmlessArguments = site.harmless;
                double value = main.ProcessNumFunction(site.id);
                AfterCall(p, site);
                stack[++top] = acc;
                acc = value;
                break;
            }
            case NumOp::ProcCall: {
                CallSite& site = c.calls[in.arg];
                double value = CallCompiled(p, site);
                AfterCall(p, site);
                stack[++top] = acc;
                acc = value;
                break;
            }
            case NumOp::ArrayOpen: OpenArray<NumArrayObject>(p, c.arrays[in.arg], msg::kUnknownNumberArray); break;
            case NumOp::Element:
                acc = ElementOf<NumArrayObject>(p, c.arrays[in.arg], ToInt32(acc), msg::kUnknownNumberArray);
                break;
        }
    }
    p.Lex().ReadAndPutBack(c.end, c.endStart);
    return acc;
}

void AppendStr(Program& p, StrCode& c, std::string& out, size_t firstPart) {
    MainObject& main = p.Main();
    for (size_t i = firstPart; i < c.parts.size(); ++i) {
        StrPart& part = c.parts[i];
        switch (part.op) {
            case StrOp::Literal:
                CheckGrowth(out.size(), part.text.size(), kMaxStringLength);
                out += part.text;
                break;
            case StrOp::Char:
                CheckGrowth(out.size(), 1, kMaxStringLength);
                out += part.ch;
                break;
            case StrOp::Var: {
                const std::string& value = VarValue(p, main.strMembers, c.vars[part.arg]);
                CheckGrowth(out.size(), value.size(), kMaxStringLength);
                out += value;
                break;
            }
            case StrOp::Call: {
                const CallSite& site = c.calls[part.arg];
                p.Lex().Read(p.Lex().TokenAt(site.token));
                p.harmlessArguments = site.harmless;
                std::string value = main.ProcessStringFunction(site.id);
                AfterCall(p, site);
                CheckGrowth(out.size(), value.size(), kMaxStringLength);
                out += value;
                break;
            }
            case StrOp::Element: {
                ArraySite& site = c.arrays[part.arg];
                OpenArray<StringArrayObject>(p, site, msg::kUnknownStringArray);
                int index = ToInt32(RunNum(p, *part.index));
                const std::string& value = ElementOf<StringArrayObject>(p, site, index, msg::kUnknownStringArray);
                CheckGrowth(out.size(), value.size(), kMaxStringLength);
                out += value;
                break;
            }
        }
    }
    p.Lex().ReadAndPutBack(c.end, c.endStart);
}

std::string RunStr(Program& p, StrCode& c) {
    std::string out;
    AppendStr(p, c, out, 0);
    return out;
}



namespace {

// A side that is one number or one variable is read directly.
inline double RunSide(Program& p, NumCode& c) {
    return c.shape == NumShape::Leaf ? LeafValue(p, c, c.code[0]) : RunNum(p, c);
}

}  // namespace

int RunCondGeneral(Program& p, CondCode& c) {
    if (c.strings) {
        std::string left = RunStr(p, *c.leftStr);
        std::string right = RunStr(p, *c.rightStr);
        return RelateBy(c.op, left, right);
    }
    double left = RunSide(p, *c.leftNum);
    double right = RunSide(p, *c.rightNum);
    p.Lex().ReadAndPutBack(c.rightNum->end, c.rightNum->endStart);
    return RelateBy(c.op, left, right);
}

}  // namespace tallow
