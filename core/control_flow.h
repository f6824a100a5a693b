// Labels and the GOSUB return stack, the forward scans over keywords, and
// the block statements that take what their place remembers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "expr/lexer.h"
#include "expr/names.h"

namespace tallow {

class Program;
struct ConditionPlan;

// Entries the FOR, WHILE and GOSUB stacks may hold each: far beyond any
// nesting of blocks or recursion, and small enough that a loop that leaves
// blocks open by GOTO over and over ends with "stack overflow" instead of
// taking the machine's memory.
constexpr size_t kMaxLoopEntries = 100000;
// Highest IF or TRY depth: the counters never wrap, and a script that jumps
// out of blocks a billion times is told so.
constexpr int kMaxBlockDepth = 1000000000;

class LabelTable {
public:
    explicit LabelTable(Program& program) : program_(program) {}

    // Records every label of the current text ("Duplicate label encountered").
    void Prescan();
    void Reset();
    // Moves the lexer to the label; false when there is none.
    bool Goto(std::string_view name);
    bool Gosub(std::string_view name);
    void Return();

private:
    Program& program_;
    NameMap<uint32_t> positions_;
    std::vector<uint32_t> returnStack_;
};

// The forward scans: each reads tokens from the lexer's position and looks
// each one up as a keyword by its text (an opener that nests WHILE or SELECT
// counts only as a word); a REM word skips its line as a comment does. What
// a scan found is remembered for the place it started from.
enum class Scan : uint8_t {
    FalseBranch,  // a false IF's true branch: to its ELSE or after its ENDIF
    ToEndif,      // after the ENDIF of an IF whose ELSE was reached
    ToEndwhile,   // after the ENDWHILE of a loop that is not (or no longer) run
    ToCase,       // the next CASE or the ENDSELECT of a SELECT
    ToEndselect,  // after the ENDSELECT of a SELECT whose branch ended
    ToEndtry,     // after the ENDTRY of a TRY whose CATCH was reached
    ToEndproc,    // after the ENDPROC of a PROC reached by execution
};
// How a scan counts: the keyword that opens a nested block (0: none; with
// openOnlyAsWord only a plain word counts, otherwise any token whose text is
// the keyword), the keyword that closes a block and ends the scan at its own
// level, and another that ends it there (0: none).
struct ScanRule {
    int open;
    bool openOnlyAsWord;
    int close;
    int stop;
};
const ScanRule& ScanRuleOf(Scan scan);
// The keyword that stopped a scan, or kScanEnd at the end of the text.
constexpr int kScanEnd = -1;
// A scan by rule from the lexer's position, remembering nothing: the keyword
// that stopped it (or kScanEnd) and, in level, the nesting it ended in.
// ForwardScan runs it for execution; a check of a text runs it directly.
int RunScan(Program& p, const ScanRule& rule, int& level);
// Reads the next token of a scan into t, passing over REM lines: its keyword
// id by its text, or kScanEnd at the end of the text.
int ScanKeyword(Program& p, Token& t);
// Runs scan; depth is the block depth it counts (ifDepth, tryDepth), moved
// as the scan moves it. memo, when given, is the place's remembered result.
int ForwardScan(Program& p, Scan scan, int& depth, struct ScanMemo** memo = nullptr);

// The block statements with what their place remembers (null: read all of
// it from the text). IfStatement, ElseStatement and the steps of NEXT and
// ENDWHILE are inline, in loop_step.h.
void WhileStatement(Program& p, ConditionPlan* plan);
// Looks up the compiled condition of an IF or WHILE plan and what follows it.
void KnowCondition(Program& p, ConditionPlan& plan);
// Skips a WHILE body: to after its ENDWHILE, passing over nested loops
// ("ENDWHILE not found" at the end of the text).
void SkipWhileBody(Program& p);

// The depth counters and loop stacks grow through these, which raise
// "stack overflow" at their limits.
[[noreturn]] void LoopStackFull(Program& p);
inline void EnterBlock(Program& p, int& depth) {
    if (depth >= kMaxBlockDepth) LoopStackFull(p);
    ++depth;
}
template <class Stack>
void CheckLoopRoom(Program& p, const Stack& stack) {
    if (stack.size() >= kMaxLoopEntries) LoopStackFull(p);
}

}  // namespace tallow
