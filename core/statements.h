// Handlers of the keyword statements. Each reads its own parameters from the
// program's lexer and leaves it after the last one.
#pragma once

namespace tallow {

class Program;

// statements.cpp
void StmtPrint(Program& p);
void StmtExit(Program& p);
void StmtEval(Program& p);
void StmtEvalArray(Program& p);
void StmtRem(Program& p);
void StmtNothing(Program& p);
void StmtShowConsole(Program& p);
void StmtHideConsole(Program& p);

// control_flow.cpp
void StmtIf(Program& p);
void StmtElse(Program& p);
void StmtEndif(Program& p);
void StmtFor(Program& p);
void StmtNext(Program& p);
void StmtWhile(Program& p);
void StmtEndwhile(Program& p);
void StmtGoto(Program& p);
void StmtGosub(Program& p);
void StmtReturn(Program& p);
void StmtSelect(Program& p);
void StmtCase(Program& p);

// procedures.cpp
void StmtProc(Program& p);

// error_statements.cpp
void StmtTry(Program& p);
void StmtCatch(Program& p);
void StmtEndtry(Program& p);
void StmtThrow(Program& p);
void StmtResume(Program& p);
void StmtOnError(Program& p);

// file_statements.cpp
void StmtChdir(Program& p);
void StmtMkdir(Program& p);
void StmtRmdir(Program& p);
void StmtRename(Program& p);
void StmtRemove(Program& p);
void StmtCopy(Program& p);
void StmtMove(Program& p);
void StmtSleep(Program& p);
void StmtListFiles(Program& p);

// extension statement (api/)
void StmtRegisterExtension(Program& p);

// run_statement.cpp
void StmtRun(Program& p);
// How deep code files may run one another with `run` on one thread. Each
// level keeps a whole program alive (its objects, windows and memory), so a
// code file that runs itself would exhaust those long before the stack: the
// run past this depth fails with "stack overflow" as a deep stack does.
constexpr int kMaxRunDepth = 64;

}  // namespace tallow
