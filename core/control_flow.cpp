// Block statements and jumps: IF, FOR, WHILE, SELECT CASE, GOTO, GOSUB and
// RETURN. There is no syntax tree: loops remember text positions, and a
// branch not taken is passed over by a forward scan of keyword tokens.
#include "control_flow.h"

#include <cassert>

#include "core/loop_step.h"
#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "core/statement_plan.h"
#include "core/statements.h"
#include "expr/compiled_expr.h"
#include "expr/text_memory.h"

namespace tallow {

namespace {

// The word, turned to upper case, reads upper.
bool UpperEquals(std::string_view text, const char* upper) {
    return NamesEqual(text, upper);
}

std::string_view RequireLabelName(Program& p) {
    p.Eval().HasFirstParam(true);
    Token t = p.Lex().NextToken();
    if (t.kind != tkWord || t.text.empty()) p.ReportError(kSyntaxKind, msg::kStatementExpected);
    return t.text;
}

constexpr ScanRule kScanRules[] = {
    {kwIf, false, kwEndif, kwElse},         // FalseBranch
    {kwIf, false, kwEndif, 0},              // ToEndif
    {kwWhile, true, kwEndwhile, 0},         // ToEndwhile
    {kwSelect, true, kwEndselect, kwCase},  // ToCase
    {kwSelect, true, kwEndselect, 0},       // ToEndselect
    {kwTry, false, kwEndtry, 0},            // ToEndtry
    {0, false, kwEndproc, 0},               // ToEndproc
};
static_assert(sizeof(kScanRules) / sizeof(kScanRules[0]) == size_t(Scan::ToEndproc) + 1, "one rule per scan");

}  // namespace

const ScanRule& ScanRuleOf(Scan scan) {
    assert(size_t(scan) < sizeof(kScanRules) / sizeof(kScanRules[0]));
    return kScanRules[int(scan)];
}

int RunScan(Program& p, const ScanRule& rule, int& level) {
    Token t;
    for (;;) {
        int kw = ScanKeyword(p, t);
        if (kw == kScanEnd) return kScanEnd;
        if (kw == rule.open && rule.open && (t.kind == tkWord || !rule.openOnlyAsWord)) {
            ++level;
        } else if (kw == rule.close) {
            if (level == 0) return kw;
            --level;
        } else if (kw == rule.stop && rule.stop && level == 0) {
            return kw;
        }
    }
}

void KnowCondition(Program& p, ConditionPlan& plan) {
    bool settled = false;
    plan.cond = p.Eval().CachedCond(&settled);
    if (plan.cond) {
        plan.after = plan.cond->strings ? plan.cond->rightStr->end : plan.cond->rightNum->end;
        plan.afterKeyword = plan.after.kind == tkWord ? p.KeywordOf(plan.after) : 0;
    }
    plan.codeKnown = settled;
}

int ScanKeyword(Program& p, Token& t) {
    Lexer& lx = p.Lex();
    for (;;) {
        t = lx.NextToken();
        if (t.kind == tkEnd) return kScanEnd;
        int kw = p.KeywordOf(t);
        if (kw != kwRem || t.kind != tkWord) return kw;
        lx.SkipComment();
    }
}

int ForwardScan(Program& p, Scan scan, int& depth, ScanMemo** memoSlot) {
    Lexer& lx = p.Lex();
    ScanMemo* memo = memoSlot ? *memoSlot : nullptr;
    PlaceNotes* notes = nullptr;
    if (!memo) {
        notes = NotesHere(p);
        if (notes && notes->scan && notes->scan->kind == int(scan)) memo = notes->scan;
    }
    if (memo) {
        if (memoSlot) *memoSlot = memo;
        return RepeatScan(p, *memo, depth);
    }
    const ScanRule& rule = ScanRuleOf(scan);
    int level = 0;
    int outcome = RunScan(p, rule, level);
    // A block closed at the scan's own level closes the one the scan is for.
    int change = outcome == kScanEnd ? level : outcome == rule.close ? -1 : 0;
    depth += change;
    if (notes && !notes->scan) {
        notes->scan =
            p.Memory().Keep(std::make_unique<ScanMemo>(ScanMemo{int(scan), lx.Last(), change, outcome}));
        if (memoSlot) *memoSlot = notes->scan;
    }
    if (depth > kMaxBlockDepth) LoopStackFull(p);
    return outcome;
}

void LoopStackFull(Program& p) {
    p.ReportError(kSyntaxKind, msg::kStackOverflow);
}

// ---- Labels -------------------------------------------------------------------

// Labels are words followed by a colon anywhere in the text, REM lines
// excepted.
void LabelTable::Prescan() {
    Lexer& lx = program_.Lex();
    lx.Restart();
    for (Token t = lx.NextToken(); t.kind != tkEnd; t = lx.NextToken()) {
        if (t.kind == tkWord && program_.KeywordOf(t) == kwRem) lx.SkipComment();
        if (t.kind != tkLabel) continue;
        if (positions_.count(t.text)) program_.ReportError(kSyntaxKind, msg::kDuplicateLabel);
        positions_.emplace(std::string(t.text), lx.Position());
    }
    lx.Restart();
}

void LabelTable::Reset() {
    positions_.clear();
    returnStack_.clear();
}

bool LabelTable::Goto(std::string_view name) {
    auto it = positions_.find(name);
    if (it == positions_.end()) return false;
    program_.Lex().SetPosition(it->second);
    return true;
}

bool LabelTable::Gosub(std::string_view name) {
    auto it = positions_.find(name);
    if (it == positions_.end()) return false;
    CheckLoopRoom(program_, returnStack_);
    returnStack_.push_back(program_.Lex().Position());
    program_.Lex().SetPosition(it->second);
    return true;
}

void LabelTable::Return() {
    if (returnStack_.empty()) program_.ReportError(kSyntaxKind, msg::kReturnWithoutGosub);
    program_.Lex().SetPosition(returnStack_.back());
    returnStack_.pop_back();
}

// goto = "goto" word
void StmtGoto(Program& p) {
    if (!p.Labels().Goto(RequireLabelName(p))) p.ReportError(kSyntaxKind, msg::kUnknownGotoLabel);
}

// gosub = "gosub" word
void StmtGosub(Program& p) {
    if (!p.Labels().Gosub(RequireLabelName(p))) p.ReportError(kSyntaxKind, msg::kUnknownGosubLabel);
}

// return = "return"
void StmtReturn(Program& p) {
    p.Labels().Return();
}

// ---- IF -------------------------------------------------------------------------

void StmtIf(Program& p) {
    IfStatement(p, nullptr);
}

// An ELSE reached by execution ends the true branch: skip to after ENDIF.
void StmtElse(Program& p) {
    ElseStatement(p, nullptr);
}

void StmtEndif(Program& p) {
    EndifStatement(p);
}

// ---- FOR ------------------------------------------------------------------------

// for = "for" numbervar "=" numexpr "to" numexpr
void StmtFor(Program& p) {
    Lexer& lx = p.Lex();
    MainObject& main = p.Main();
    Token var = lx.NextToken();
    if (var.kind != tkNumberVar) p.ReportError(kSyntaxKind, msg::kVariableExpected);
    if (lx.NextToken().text != "=") p.ReportError(kSyntaxKind, msg::kEqualsExpected);
    main.SetNumMember(var.text, p.Eval().EvalNum());
    Token to = lx.NextToken();
    if (p.KeywordOf(to) != kwTo) p.ReportError(kSyntaxKind, msg::kToExpected);
    double limit = p.Eval().EvalNum();
    CheckLoopRoom(p, main.forStack);
    main.forStack.push_back({std::string(var.text), limit, lx.Position(), {}});
}

void StmtNext(Program& p) {
    ForStep(p);
}

// ---- WHILE ----------------------------------------------------------------------

// while = "while" condition block "endwhile"
void WhileStatement(Program& p, ConditionPlan* plan) {
    uint32_t top = p.Lex().Position();
    if (Condition(p, plan)) {
        MainObject& main = p.Main();
        CheckLoopRoom(p, main.whileStack);
        main.whileStack.push_back({top, main.NameGeneration(), plan ? plan->cond : nullptr});
        return;
    }
    SkipWhileBody(p);
}

void StmtWhile(Program& p) {
    WhileStatement(p, nullptr);
}

void StmtEndwhile(Program& p) {
    EndwhileStep(p);
}

int WhileConditionSlow(Program& p) {
    MainObject& main = p.Main();
    WhileEntry& loop = main.whileStack.back();
    loop.cond = p.Eval().CachedCond();
    loop.generation = main.NameGeneration();
    // The condition may call procedures, which leave the stack as they found
    // it, though not necessarily in the same memory: loop is not used again.
    return ConditionThrough(p, loop.cond);
}

void LeaveWhile(Program& p) {
    p.Main().whileStack.pop_back();
    SkipWhileBody(p);
}

void SkipWhileBody(Program& p) {
    int unused = 0;
    if (ForwardScan(p, Scan::ToEndwhile, unused) == kScanEnd)
        p.ReportError(kSyntaxKind, msg::kEndwhileNotFound);
}

// ---- SELECT CASE ------------------------------------------------------------------

// select = "select" "case" expr {"case" (expr | "else") block} "endselect"
void StmtSelect(Program& p) {
    Lexer& lx = p.Lex();
    Evaluator& ev = p.Eval();
    Token word = lx.NextToken();
    if (word.kind != tkWord) p.ReportError(kSyntaxKind, msg::kStatementExpected);
    if (!UpperEquals(word.text, "CASE")) p.ReportError(kSyntaxKind, msg::kCaseExpected);
    ExprType type = ev.PeekExprType();
    if (type == kExprUnknown) p.ReportError(kSyntaxKind, msg::kExpressionExpected);
    bool isString = type == kExprString;
    std::string selectorText;
    double selector = 0;
    if (isString)
        selectorText = ev.EvalString();
    else
        selector = ev.EvalNum();
    for (;;) {
        int unused = 0;
        int kw = ForwardScan(p, Scan::ToCase, unused);
        if (kw == kScanEnd) p.ReportError(kSyntaxKind, msg::kEndselectNotFound);
        if (kw == kwEndselect) return;
        ExprType caseType = ev.PeekExprType();
        if (caseType == kExprNumber && isString) p.ReportError(kSyntaxKind, msg::kStringExprExpected);
        if (caseType == kExprString && !isString) p.ReportError(kSyntaxKind, msg::kNumExprExpected);
        if (caseType == kExprUnknown) {
            Token t = lx.NextToken();
            if (t.kind != tkWord || !UpperEquals(t.text, "ELSE"))
                p.ReportError(kSyntaxKind, msg::kCannotEvaluateCase);
            return;
        }
        if (isString ? ev.EvalString() == selectorText : ev.EvalNum() == selector) return;
    }
}

// A CASE reached by execution ends the branch taken: skip to after ENDSELECT.
void StmtCase(Program& p) {
    int unused = 0;
    if (ForwardScan(p, Scan::ToEndselect, unused) == kScanEnd)
        p.ReportError(kSyntaxKind, msg::kEndselectNotFound);
}

}  // namespace tallow
