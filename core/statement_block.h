// A run of statements compiled into one code sequence: the plans of a loop
// body or a procedure body, linked by the successors the statement loop saw
// them take, so that the statements run one after the other without the
// loop's lookups. Each step runs its statement's own handler with what the
// plan remembers; the few statements loops run most take shorter forms of
// the same operations whose checks are made once, when the block is entered.
// Whatever a block does not hold ends it: the statement loop goes on where
// the text stands, as if the block had not been there.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/statement_plan.h"
#include "expr/lexer.h"
#include "expr/operators.h"

namespace tallow {

class Program;
struct VarSite;
struct CondCode;

// Steps a block may hold: every statement of a loop body in most scripts,
// and a limit on the work of making one.
constexpr size_t kMaxBlockSteps = 256;
// Arrivals at a loop head (the statement a backward jump lands on) before a
// block is made there: its statements have been planned and their
// successors seen by then.
constexpr uint16_t kBlockHeadArrivals = 3;

// A number, or a global number variable (its entry found when the block is
// entered): entry index of the variables (base 0) or of the block's numbers
// (base 1).
struct BlockOperand {
    const VarSite* site = nullptr;  // null for a number
    uint32_t index = 0;
    uint8_t base = 0;
};
enum : uint8_t { kVariablesBase = 0, kNumbersBase = 1 };

enum class StepKind : uint8_t {
    Plan,      // the statement through its plan, exactly as the loop runs it
    EndsBody,  // ENDPROC or EXIT in a procedure body: the body ends
    Assign,    // name# = chain
    If,        // if chain rel chain then
    Else,
    Endif,
    Next,
    Endwhile,  // with the condition of its loop, once it is known
};

// Operators a chain may hold.
constexpr size_t kMaxChainLinks = 4;
constexpr uint8_t kLeafForm = 0;
constexpr uint8_t kFirstOpForm = 1;
constexpr uint8_t kLongForm = kFirstOpForm + kBinaryOpCount;
// Numbers of a condition: one per leaf of its two chains.
constexpr size_t kConditionNumbers = 2 * (kMaxChainLinks + 1);

// A chain: a leaf, then operators each applied to the value so far and a
// further leaf, as compiled code computes an expression whose every
// operator has a leaf on its right ((s# * 7 + i#) % 1000003).
struct BlockValue {
    BlockOperand first;
    uint8_t links = 0;
    // kLeafForm, a BinaryOp plus kFirstOpForm for one operator, or
    // kLongForm: the form the value is computed in.
    uint8_t form = 0;
    BinaryOp op[kMaxChainLinks] = {};
    BlockOperand operand[kMaxChainLinks];
};

struct BlockStep {
    StepKind kind = StepKind::Plan;
    bool resolved = false;  // all operands found: the short form may run
    // Nesting levels the statement's compiled code needs: where less room is
    // left, the statement runs its plan, which reads the text instead.
    int nesting = 0;
    RelOp relation = RelOp::Eq;
    uint32_t at = 0;  // where the statement starts
    StatementPlan* plan = nullptr;
    // The statements that follow, by where they start: a step of this block,
    // or null where the block ends and the statement loop goes on. An
    // assignment and an ENDIF have one place to go on (their first).
    uint32_t nextAt[2] = {UINT32_MAX, UINT32_MAX};
    BlockStep* next[2] = {nullptr, nullptr};
    // Whether going on to next[k] goes back to an earlier step (or this one):
    // every cycle of steps passes such an edge, where the block checks the
    // stop request and the budget.
    bool back[2] = {false, false};
    Token token;  // its first token

    // The short forms: operands and the tokens the plan would read.
    uint32_t target = 0;  // Assign: the variable's entry
    std::string_view targetName;
    const Token* end = nullptr;  // the token that ends the expression (put back)
    BlockValue value;            // the assignment's right side, or a condition's left side
    BlockValue right;            // a condition's right side
    // Endwhile: where the loop's condition starts, once seen (UINT32_MAX
    // before), and whether it has a short form.
    uint32_t whileTop = UINT32_MAX;
    bool whileShort = false;
    uint32_t numbersAt = 0;  // Endwhile: where its condition's numbers go
};

struct StatementBlock {
    uint32_t generation = 0;  // the names its plans were made under
    bool body = false;        // made for the statement loop of a procedure body
    // Entered when its head is reached; false for the mark of a head without
    // a block and for a block found incomplete, which its head makes again.
    bool ready = true;
    // Steps that ran their plan because a remembered code was not yet known
    // when the block was made; such a block is made again after a while.
    bool provisional = false;
    bool unresolved = false;  // some operand was missing at the last lookup
    // The number variables as the operands were last looked up: their
    // table's generation and size (a variable missing then may exist later).
    uint32_t tableGeneration = UINT32_MAX;
    size_t tableSize = 0;
    uint32_t entries = 0;
    uint32_t misses = 0;  // left at a successor the block did not know
    std::vector<BlockStep> steps;
    std::vector<double> numbers;  // the numbers of the short forms' operands
};

// The mark of a loop head that has no block (a statement block never ready).
StatementBlock* NoBlock();

// Makes the block of statements that starts with the head plan (at at,
// first token token), following the successors each plan has seen; null
// when it would hold less than two statements.
std::unique_ptr<StatementBlock> MakeBlock(Program& p, StatementPlan& head, uint32_t at, const Token& token,
                                          bool body);

// Looks the block's operands up again when the number variables have
// changed since; a step whose operand is missing runs its plan.
void ResolveBlock(Program& p, StatementBlock& block);

// The short form of an ENDWHILE step for the loop whose condition starts at
// top, with that condition's code, when it has one.
void BindEndwhile(Program& p, StatementBlock& block, BlockStep& step, uint32_t top, CondCode* cond);

}  // namespace tallow
