// The statements that loops run most, inline for the statement loop: the
// step of NEXT, the test of ENDWHILE and IF. Their handlers (StmtNext,
// StmtEndwhile, StmtIf) are the same code.
#pragma once

#include "core/control_flow.h"
#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "core/statement_plan.h"
#include "expr/compiled_expr.h"

namespace tallow {

// next = "next": one step of 1 toward the limit, ending on the limit itself.
inline void ForStep(Program& p) {
    MainObject& main = p.Main();
    if (main.forStack.size() <= main.forFloor) p.ReportError(kSyntaxKind, msg::kNextWithoutFor);
    ForEntry& loop = main.forStack.back();
    // The loop variable is a global; its table entry is remembered.
    NumVarTable& table = main.numMembers;
    if (loop.slot.generation != table.Generation()) [[unlikely]] {
        int index = table.Find(loop.name);
        if (index < 0) table.Get(loop.name);  // reports the unknown variable
        loop.slot = {table.Generation(), uint32_t(index)};
    }
    double& v = table.At(loop.slot.index);
    double limit = loop.limit;
    if (v == limit) {
        main.forStack.pop_back();
        return;
    }
    if (v < limit) {
        v += 1;
        if (v >= limit) v = limit;
    } else {
        v -= 1;
        if (v <= limit) v = limit;
    }
    p.Lex().SetPosition(loop.top);
}

// The condition at the lexer: through cond when there is code that may run
// here, otherwise evaluated.
[[gnu::always_inline]] inline int ConditionThrough(Program& p, CondCode* cond) {
    return cond && NestingAllows(p, cond->nesting) ? RunCond(p, *cond) : p.Eval().EvalCondition();
}

// The condition at the lexer, from the plan's compiled code when it has
// one that may run here.
[[gnu::always_inline]] inline int Condition(Program& p, ConditionPlan* plan) {
    if (!plan) return p.Eval().EvalCondition();
    if (!plan->codeKnown) [[unlikely]]
        KnowCondition(p, *plan);
    return ConditionThrough(p, plan->cond);
}

// A forward scan again from where it began, to where it ended before.
[[gnu::always_inline]] inline int RepeatScan(Program& p, const ScanMemo& memo, int& depth) {
    p.Lex().Read(memo.last);
    depth += memo.depthChange;
    if (depth > kMaxBlockDepth) LoopStackFull(p);
    return memo.outcome;
}

// A scan at a place that keeps its result in *memo.
[[gnu::always_inline]] inline int PlannedScan(Program& p, Scan scan, int& depth, ScanMemo** memo) {
    if (memo && *memo) return RepeatScan(p, **memo, depth);
    return ForwardScan(p, scan, depth, memo);
}

// if = "if" condition "then" block ["else" block] "endif"
[[gnu::always_inline]] inline void IfStatement(Program& p, ConditionPlan* plan) {
    MainObject& main = p.Main();
    EnterBlock(p, main.ifDepth);
    if (Condition(p, plan)) {
        Lexer& lx = p.Lex();
        bool then = false;
        if (plan && plan->cond) {
            lx.Read(plan->after);
            then = plan->afterKeyword == kwThen;
        } else {
            Token t = lx.NextToken();
            then = t.kind == tkWord && p.KeywordOf(t) == kwThen;
        }
        if (!then) p.ReportError(kSyntaxKind, msg::kThenExpected);
        return;
    }
    // The scan passes over THEN without looking at it.
    PlannedScan(p, Scan::FalseBranch, main.ifDepth, plan ? &plan->scan : nullptr);
}

// endif = "endif"
inline void EndifStatement(Program& p) {
    --p.Main().ifDepth;
}

// else = "else": reached at the end of a branch taken, it passes over the rest
// to after the ENDIF; *memo, when given, keeps where that is.
[[gnu::always_inline]] inline void ElseStatement(Program& p, ScanMemo** memo) {
    MainObject& main = p.Main();
    if (main.ifDepth < 1) return;
    if (PlannedScan(p, Scan::ToEndif, main.ifDepth, memo) == kScanEnd)
        p.ReportError(kSyntaxKind, msg::kEndifNotFound);
}

// The WHILE loop at the top of the stack has ended: it leaves the stack and
// its body is passed over to after its ENDWHILE.
void LeaveWhile(Program& p);
// The condition of the loop at the top of the stack when the code the loop
// remembers is missing or of older names: looked up again where the loop
// began (the lexer stands there), then run or read from the text.
int WhileConditionSlow(Program& p);

// endwhile = "endwhile": the loop stays on the stack while its condition
// holds; otherwise the body is passed over to after its ENDWHILE.
[[gnu::always_inline]] inline void EndwhileStep(Program& p) {
    MainObject& main = p.Main();
    if (main.whileStack.size() <= main.whileFloor) p.ReportError(kSyntaxKind, msg::kWendWithoutWhile);
    WhileEntry& loop = main.whileStack.back();
    p.Lex().SetPosition(loop.top);
    CondCode* cond = loop.cond;
    bool again = loop.generation == main.NameGeneration() && cond && NestingAllows(p, cond->nesting)
                     ? RunCond(p, *cond)
                     : WhileConditionSlow(p);
    if (!again) LeaveWhile(p);
}

}  // namespace tallow
