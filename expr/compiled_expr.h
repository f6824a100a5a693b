// Expressions remembered in compiled form. The expression compiler walks the
// same grammars as the evaluator (grammar.h) over tokens read ahead, and emits
// a short instruction list whose every step applies the evaluator's own
// operations (operators.h, the variable tables, the array elements, the
// function calls). Results, errors, error lines and the lexer state left
// behind are exactly those of evaluating the text itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lexer.h"
#include "operators.h"
#include "var_table.h"

namespace tallow {

class Program;
class ScriptObject;
class NumArrayObject;
class StringArrayObject;
class ProcTable;
struct ProcRecord;
struct NumCode;
struct StrCode;

// One argument of a procedure called from compiled code, and where its text
// starts (read as text when the code may not run there).
struct ArgumentCode {
    uint32_t start = 0;
    std::unique_ptr<NumCode> number;
    std::unique_ptr<StrCode> text;
};

// A variable or constant read: its token, and the token read after it (the
// evaluator reads one token beyond a variable and puts it back).
struct VarSite {
    std::string_view name;
    Token token;
    Token next;
    VarSlot slot;
};

// A function called by name: the function reads its own parameters, after
// which the closing parenthesis must follow.
struct CallSite {
    int id = 0;
    Token token;
    Token close;   // the call's closing parenthesis
    int nest = 1;  // nesting levels the call stands in: its parentheses and indices, and itself
    // Whether the call, arguments included, can change no variable, and the
    // string variables its arguments read (all of them when readsMany).
    bool harmless = false;
    bool readsMany = false;
    std::vector<std::string_view> reads;
    // A number-function procedure whose arguments are compiled too.
    const ProcRecord* proc = nullptr;
    ProcTable* table = nullptr;
    std::vector<ArgumentCode> arguments;
};

// An array element name[index]: the array is looked up before the index is
// evaluated and again after it.
struct ArraySite {
    std::string_view name;
    Token bracket;
    Token close;
    uint32_t registryGeneration = UINT32_MAX;
    ScriptObject* array = nullptr;
};

// The code works on an accumulator (the top of the operand stack) and a
// stack below it. Leaves push: Number, Var, Constant, Call, ProcCall. Binary
// operators combine the stack top with the accumulator; their fused forms
// (suffix N or V) combine the accumulator with a number or a variable
// directly. The three groups of binary operators follow BinaryOp's order.
enum class NumOp : uint8_t {
    Number,
    Var,
    Constant,
    Neg,
    Call,
    ProcCall,
    ArrayOpen,
    Element,
    Add,
    Sub,
    Mul,
    Div,
    Or,
    And,
    Xor,
    Mod,
    Pow,
    AddN,
    SubN,
    MulN,
    DivN,
    OrN,
    AndN,
    XorN,
    ModN,
    PowN,
    AddV,
    SubV,
    MulV,
    DivV,
    OrV,
    AndV,
    XorV,
    ModV,
    PowV,
};
static_assert(int(NumOp::Pow) - int(NumOp::Add) == int(BinaryOp::Pow) - int(BinaryOp::Add));
static_assert(int(NumOp::AddN) - int(NumOp::Add) == kBinaryOpCount);
static_assert(int(NumOp::AddV) - int(NumOp::AddN) == kBinaryOpCount);
static_assert(int(NumOp::PowV) - int(NumOp::AddV) == kBinaryOpCount - 1);

inline NumOp BinaryInstruction(BinaryOp op) {
    return NumOp(int(NumOp::Add) + int(op));
}

struct NumInstr {
    NumOp op;
    uint32_t arg;  // index into the sites of the code
    double number;
};

// Shapes of code that RunNum runs without its general loop.
enum class NumShape : uint8_t {
    General,
    Leaf,    // one number or variable
    LeafOp,  // a number or variable, then a fused operator with another
};

struct NumCode {
    std::vector<NumInstr> code;
    std::vector<VarSite> vars;  // variables and constants
    std::vector<CallSite> calls;
    std::vector<ArraySite> arrays;
    Token end;        // the token that ends the expression
    int depth = 0;    // operand stack the code needs
    int nesting = 0;  // deepest parentheses and indices in it
    NumShape shape = NumShape::General;
    // The global number variables and the lexer of the text: both outlive
    // the code, which belongs to that text.
    NumVarTable* globals = nullptr;
    Lexer* lexer = nullptr;
};

enum class StrOp : uint8_t { Literal, Char, Var, Call, Element };

struct StrPart {
    StrOp op;
    uint32_t arg = 0;                // site index
    std::string_view text;           // Literal
    char ch = 0;                     // Char
    Token token;                     // Literal, Char: the token itself
    std::unique_ptr<NumCode> index;  // Element
};

struct StrCode {
    std::vector<StrPart> parts;
    std::vector<VarSite> vars;
    std::vector<CallSite> calls;
    std::vector<ArraySite> arrays;
    Token end;
    int nesting = 0;
    bool harmless = true;  // no call that could change a variable
};

struct CondCode {
    bool strings = false;
    RelOp op = RelOp::Eq;
    int nesting = 0;
    std::unique_ptr<NumCode> leftNum, rightNum;
    std::unique_ptr<StrCode> leftStr, rightStr;
};

// The array a site names (null when there is none), looked up again only
// when the script's arrays have changed since the last lookup.
NumArrayObject* SiteNumArray(Program& p, ArraySite& site);
StringArrayObject* SiteStringArray(Program& p, ArraySite& site);

// Compiling: the expression that EvalNum, EvalString or EvalCondition would
// read at pos, or null when it holds anything that must be evaluated from the
// text itself (object members, syntax errors, deep nesting).
std::unique_ptr<NumCode> CompileNum(Program& p, uint32_t pos);
std::unique_ptr<StrCode> CompileStr(Program& p, uint32_t pos);
std::unique_ptr<CondCode> CompileCond(Program& p, uint32_t pos);

// Running: each leaves the lexer as the evaluator would and raises the
// evaluator's errors. The caller has checked NestingAllows.
double RunNumGeneral(Program& p, NumCode& code);
double GlobalValue(Program& p, NumCode& code, uint32_t site);  // a variable leaf, through its slot
inline void EndNum(NumCode& code) {
    code.lexer->ReadAndPutBack(code.end);
}

// A leaf's value when it needs no lookup; false when its slot is stale.
// Nothing is called while the value is held, so it stays in a register.
[[gnu::always_inline]] inline bool QuickLeaf(NumCode& c, NumOp op, uint32_t arg, double number,
                                             double& value) {
    if (op == NumOp::Number) {
        value = number;
        return true;
    }
    const VarSite& site = c.vars[arg];
    if (site.slot.generation != c.globals->Generation()) return false;
    value = c.globals->At(site.slot.index);
    return true;
}

// The second instruction of a LeafOp, a fused operator (suffix N or V):
// whether its right operand is a variable, and its operator.
inline bool FusedWithVariable(const NumInstr& in) {
    return in.op >= NumOp::AddV;
}
inline BinaryOp FusedOperator(const NumInstr& in) {
    return BinaryOp(int(in.op) - int(FusedWithVariable(in) ? NumOp::AddV : NumOp::AddN));
}

// The value of code of a short shape whose slots are stale; out of line so
// that the short shapes call nothing on their way.
double ShapeValueSlow(Program& p, NumCode& c);

// The value of code of a short shape, without leaving the lexer where the
// code ends (the caller does that); general code runs whole.
[[gnu::always_inline]] inline double NumValue(Program& p, NumCode& c) {
    double v, right;
    switch (c.shape) {
        case NumShape::Leaf:
            if (QuickLeaf(c, c.code[0].op, c.code[0].arg, c.code[0].number, v)) return v;
            break;
        case NumShape::LeafOp: {
            const NumInstr& op = c.code[1];
            if (!QuickLeaf(c, c.code[0].op, c.code[0].arg, c.code[0].number, v)) break;
            if (!QuickLeaf(c, FusedWithVariable(op) ? NumOp::Var : NumOp::Number, op.arg, op.number, right))
                break;
            return Apply(FusedOperator(op), v, right);
        }
        default:
            return RunNumGeneral(p, c);
    }
    return ShapeValueSlow(p, c);
}

inline double RunNum(Program& p, NumCode& c) {
    double v = NumValue(p, c);
    if (c.shape != NumShape::General) EndNum(c);
    return v;
}
std::string RunStr(Program& p, StrCode& code);
void AppendStr(Program& p, StrCode& code, std::string& out, size_t firstPart);
int RunCondGeneral(Program& p, CondCode& code);

// A numeric condition leaves the lexer where its right side ends; where the
// left side ended in between is never seen (an error there puts the lexer
// at its own place).
[[gnu::always_inline]] inline int RunCond(Program& p, CondCode& c) {
    if (c.strings) return RunCondGeneral(p, c);
    double left = NumValue(p, *c.leftNum);
    double right = NumValue(p, *c.rightNum);
    if (c.rightNum->shape != NumShape::General) EndNum(*c.rightNum);
    return Compare(c.op, left, right);
}

}  // namespace tallow
