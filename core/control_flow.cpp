// Block statements and jumps: IF, FOR, WHILE, SELECT CASE, GOTO, GOSUB and
// RETURN. There is no syntax tree: loops remember text positions, and a
// branch not taken is passed over by a forward scan of keyword tokens.
#include "control_flow.h"

#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "core/statement_plan.h"
#include "core/statements.h"
#include "expr/code_cache.h"
#include "expr/compiled_expr.h"

namespace tallow {

namespace {

// Reads the next token for a forward scan: its keyword id, or -1 at the end
// of the text. Only the text counts, not the token kind.
int ScanToken(Program& p) {
    const Token& t = p.Lex().NextToken();
    if (t.kind == tkEnd) return -1;
    return p.KeywordOf(t);
}

bool IsKeyword(Program& p, const Token& t, int keyword) {
    return t.kind == tkWord && p.KeywordOf(t) == keyword;
}

// The word, turned to upper case, reads upper.
bool UpperEquals(std::string_view text, const char* upper) { return NamesEqual(text, upper); }

std::string_view RequireLabelName(Program& p) {
    p.Eval().HasFirstParam(true);
    Token t = p.Lex().NextToken();
    if (t.kind != tkWord || t.text.empty()) p.ReportError(kSyntaxKind, msg::kStatementExpected);
    return t.text;
}

// The forward scans, remembered: a scan depends only on the place it
// starts at and on the keywords, so where it ended, what it did to its depth
// counter and how it ended are kept for that place. Scans that fail with an
// error are not kept.
enum ScanKind { kScanIfFalse = 1, kScanMatching };

template <class Scan>
int RememberedScan(Program& p, int kind, int& depth, Scan scan) {
    Lexer& lx = p.Lex();
    PlaceNotes* notes = NotesHere(p);
    if (!notes) return scan();
    ScanResult* memo = notes->scan;
    if (memo && memo->kind == kind) {
        lx.Read(lx.TokenAt(memo->last));
        depth += memo->depthChange;
        return memo->outcome;
    }
    int before = depth;
    int outcome = scan();
    if (!memo) {
        CodeCache& cache = lx.Code();
        auto result = std::make_unique<ScanResult>(ScanResult{kind, lx.Last().index, depth - before, outcome});
        notes->scan = cache.Keep(cache.scans, std::move(result));
    }
    return outcome;
}

// Skips the true branch of a false IF: stops after an ELSE of this IF
// (which stays open) or after its ENDIF, counting the IF depth on the way.
// The end of the text ends the scan quietly.
int SkipFalseBranch(Program& p) {
    MainObject& main = p.Main();
    int depth = main.ifDepth;
    for (;;) {
        int kw = ScanToken(p);
        if (kw < 0) return 0;
        if (kw == kwIf) {
            ++main.ifDepth;
        } else if (kw == kwElse && main.ifDepth == depth) {
            return 0;
        } else if (kw == kwEndif) {
            if (--main.ifDepth < depth) return 0;
        }
    }
}

// Skips a WHILE body: to after its ENDWHILE, passing over nested loops.
void SkipWhileBody(Program& p) {
    if (!SkipToMatchingEnd(p, kwWhile, kwEndwhile)) p.ReportError(kSyntaxKind, msg::kEndwhileNotFound);
}

}  // namespace

bool SkipToMatchingEnd(Program& p, int openKeyword, int closeKeyword) {
    int unused = 0;
    int kind = kScanMatching + 64 * openKeyword + closeKeyword;
    return RememberedScan(p, kind, unused, [&] {
        int depth = 0;
        for (;;) {
            int kw = ScanToken(p);
            if (kw < 0) return 0;
            if (kw == openKeyword) {
                ++depth;
            } else if (kw == closeKeyword) {
                if (depth-- == 0) return 1;
            }
        }
    });
}

// ---- Labels -------------------------------------------------------------------

void LabelTable::Prescan() {
    Lexer& lx = program_.Lex();
    lx.Restart();
    for (Token t = lx.NextToken(); t.kind != tkEnd; t = lx.NextToken()) {
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
void StmtReturn(Program& p) { p.Labels().Return(); }

// ---- IF -------------------------------------------------------------------------

// if = "if" condition "then" block ["else" block] "endif"
void StmtIf(Program& p) {
    MainObject& main = p.Main();
    ++main.ifDepth;
    if (p.Eval().EvalCondition()) {
        if (!IsKeyword(p, p.Lex().NextToken(), kwThen)) p.ReportError(kSyntaxKind, msg::kThenExpected);
        return;
    }
    RememberedScan(p, kScanIfFalse, main.ifDepth, [&] { return SkipFalseBranch(p); });
}

// An ELSE reached by execution ends the true branch: skip to after ENDIF.
void StmtElse(Program& p) {
    MainObject& main = p.Main();
    if (main.ifDepth < 1) return;
    // Nested IF blocks on the way end where they began; this IF ends here.
    if (!SkipToMatchingEnd(p, kwIf, kwEndif)) p.ReportError(kSyntaxKind, msg::kEndifNotFound);
    --main.ifDepth;
}

void StmtEndif(Program& p) { --p.Main().ifDepth; }

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
    main.forStack.push_back({std::string(var.text), limit, lx.Position(), {}});
}

// next = "next": one step of 1 toward the limit, ending on the limit itself.
void StmtNext(Program& p) {
    MainObject& main = p.Main();
    if (main.forStack.size() <= main.forFloor) p.ReportError(kSyntaxKind, msg::kNextWithoutFor);
    ForEntry& loop = main.forStack.back();
    // The loop variable is a global; its table entry is remembered.
    NumVarTable& table = main.numMembers;
    if (loop.slot.generation != table.Generation()) {
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

// ---- WHILE ----------------------------------------------------------------------

// while = "while" condition block "endwhile"
void StmtWhile(Program& p) {
    uint32_t top = p.Lex().Position();
    if (p.Eval().EvalCondition()) {
        p.Main().whileStack.push_back({top});
        return;
    }
    SkipWhileBody(p);
}

void StmtEndwhile(Program& p) {
    MainObject& main = p.Main();
    if (main.whileStack.size() <= main.whileFloor) p.ReportError(kSyntaxKind, msg::kWendWithoutWhile);
    // The loop stays on the stack while its condition holds. The condition
    // may call procedures, which leave the stack as they found it, though
    // not necessarily in the same memory: the entry is reached by index.
    size_t at = main.whileStack.size() - 1;
    WhileEntry loop = main.whileStack[at];
    p.Lex().SetPosition(loop.top);
    bool again = loop.cond && loop.generation == main.NameGeneration() ? RunCond(p, *loop.cond)
                                                                       : p.Eval().EvalCondition();
    if (again) return;
    main.whileStack.resize(at);
    SkipWhileBody(p);
}

// ---- Plans of the block statements ----------------------------------------------

namespace {

// Looks the condition at the lexer's position up once for the plan.
void KnowCondition(Program& p, StatementPlan& plan) {
    if (plan.codeKnown) return;
    plan.codeKnown = true;
    plan.cond = p.Eval().CachedCond();
    if (!plan.cond) return;
    const NumCode* right = plan.cond->rightNum.get();
    const StrCode* rightStr = plan.cond->rightStr.get();
    plan.then = right ? right->end : rightStr->end;
    plan.thenOk = IsKeyword(p, p.Lex().TokenAt(plan.then), kwThen);
}

}  // namespace

bool RunIfPlan(Program& p, StatementPlan& plan) {
    KnowCondition(p, plan);
    if (!plan.cond) return false;
    MainObject& main = p.Main();
    Lexer& lx = p.Lex();
    ++main.ifDepth;
    if (RunCond(p, *plan.cond)) {
        if (!plan.thenOk) {
            lx.NextToken();
            p.ReportError(kSyntaxKind, msg::kThenExpected);
        }
        lx.Read(lx.TokenAt(plan.then));
        return true;
    }
    if (plan.scanKnown) {
        lx.Read(lx.TokenAt(plan.scan.last));
        main.ifDepth += plan.scan.depthChange;
        return true;
    }
    int before = main.ifDepth;
    SkipFalseBranch(p);
    plan.scan = {kScanIfFalse, lx.Last().index, main.ifDepth - before, 0};
    plan.scanKnown = true;
    return true;
}

bool RunWhilePlan(Program& p, StatementPlan& plan) {
    uint32_t top = p.Lex().Position();
    KnowCondition(p, plan);
    if (!plan.cond) return false;
    MainObject& main = p.Main();
    if (RunCond(p, *plan.cond)) {
        main.whileStack.push_back({top, plan.cond, main.NameGeneration()});
        return true;
    }
    SkipWhileBody(p);
    return true;
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
        // The next CASE or ENDSELECT of this block, passing over nested ones.
        int depth = 0, kw;
        for (;;) {
            kw = ScanToken(p);
            if (kw < 0) p.ReportError(kSyntaxKind, msg::kEndselectNotFound);
            if (kw == kwSelect) {
                ++depth;
            } else if (kw == kwEndselect) {
                if (depth-- == 0) return;
            } else if (kw == kwCase && depth == 0) {
                break;
            }
        }
        ExprType caseType = ev.PeekExprType();
        if (caseType == kExprNumber && isString) p.ReportError(kSyntaxKind, msg::kStringExprExpected);
        if (caseType == kExprString && !isString) p.ReportError(kSyntaxKind, msg::kNumExprExpected);
        if (caseType == kExprUnknown) {
            Token t = lx.NextToken();
            if (t.kind != tkWord || !UpperEquals(t.text, "ELSE")) p.ReportError(kSyntaxKind, msg::kCannotEvaluateCase);
            return;
        }
        if (isString ? ev.EvalString() == selectorText : ev.EvalNum() == selector) return;
    }
}

// A CASE reached by execution ends the branch taken: skip to after ENDSELECT.
void StmtCase(Program& p) {
    if (!SkipToMatchingEnd(p, kwSelect, kwEndselect)) p.ReportError(kSyntaxKind, msg::kEndselectNotFound);
}

}  // namespace tallow
