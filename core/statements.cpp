// The keyword statements that belong to no block: print, exit, eval,
// evalarray, rem and the console switches.
#include "core/statements.h"

#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/string_array.h"
#include "platform/console.h"

namespace tallow {

// print = "print" strexpr; no line break is added.
void StmtPrint(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    std::string text = ev.EvalString();
    p.OpenConsole();
    platform::WriteBytes(p.stdoutHandle, text.data(), text.size());
}

// exit = "exit" [numexpr]
void StmtExit(Program& p) {
    Evaluator& ev = p.Eval();
    if (ev.HasFirstParam(false)) p.exitCode = ToInt32(ev.EvalNum());
    p.stopRequested = 1;
}

// eval = "eval" strexpr
void StmtEval(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    p.RunNested(ev.EvalString());
}

// evalarray = "evalarray" word; each element is preceded by a carriage return.
void StmtEvalArray(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    StringArrayObject* array = p.FindStringArray(ev.ReadName());
    if (!array) p.ReportError(kSyntaxKind, msg::kArrayNotFound);
    std::string text;
    for (const std::string& line : array->items) {
        text += '\r';
        text += line;
    }
    p.RunNested(text);
}

void StmtRem(Program& p) {
    p.Lex().SkipComment();
}

void StmtNothing(Program&) {}

void StmtShowConsole(Program& p) {
    p.OpenConsole();
}

void StmtHideConsole(Program& p) {
    p.CloseConsole();
}

}  // namespace tallow
