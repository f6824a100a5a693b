// TRY, CATCH, ENDTRY, THROW, RESUME and ONERROR. The TRY filter that finds
// the CATCH of a failing statement lives with statement dispatch.
#include "core/control_flow.h"
#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "core/statements.h"

namespace tallow {

void StmtTry(Program& p) {
    p.resumePosition.reset();
    EnterBlock(p, p.Main().tryDepth);
}

// A CATCH reached by execution: the protected statements ended without a
// caught error, so the handler is skipped to after its ENDTRY.
void StmtCatch(Program& p) {
    MainObject& main = p.Main();
    if (main.tryDepth < 1) return;
    if (ForwardScan(p, Scan::ToEndtry, main.tryDepth) == kScanEnd)
        p.ReportError(kSyntaxKind, msg::kEndtryNotFound);
}

void StmtEndtry(Program& p) {
    p.resumePosition.reset();
    --p.Main().tryDepth;
}

// throw = "throw" [strexpr]; the text is the message, never a format.
void StmtThrow(Program& p) {
    Evaluator& ev = p.Eval();
    std::string message = ev.HasFirstParam(false) ? ev.EvalString() : std::string();
    p.ReportError(kRuntimeKind, message);
}

void StmtResume(Program& p) {
    if (!p.resumePosition) p.ReportError(kRuntimeKind, msg::kCannotResume);
    p.Lex().SetPosition(*p.resumePosition);
    p.resumePosition.reset();
}

// onerror = "onerror" ("GOTO" "," word | "DEFAULT"), the words in upper case
void StmtOnError(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    std::string command = ev.ReadName();
    if (command == "GOTO") {
        ev.HasNextParam(true);
        p.onErrorLabel = ev.ReadName();
    } else if (command == "DEFAULT") {
        p.onErrorLabel.clear();
    } else {
        p.ReportError(kSyntaxKind, msg::kUnknownOnError);
    }
}

}  // namespace tallow
