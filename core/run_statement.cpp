// The `run` statement: runs a code file in a program of its own, as the
// code runner's export RunTallowCode does for a command line, and goes on
// when it ends.
#include "core/messages.h"
#include "core/program.h"
#include "core/statements.h"
#include "platform/stack.h"
#include "tallow.h"

namespace tallow {

namespace {

// Stack that `run` leaves for the program it starts, whose own guard against
// runaway recursion needs room below it; a script that runs code files
// recursively fails with "stack overflow" here instead.
constexpr size_t kRunStackReserve = 512 * 1024;

// The `run` statements under way on this thread, counted while each runs.
thread_local int runDepth = 0;

struct RunDepthHold {
    RunDepthHold() { ++runDepth; }
    ~RunDepthHold() { --runDepth; }
    RunDepthHold(const RunDepthHold&) = delete;
    RunDepthHold& operator=(const RunDepthHold&) = delete;
};

}  // namespace

// run = "run" strexpr
void StmtRun(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    std::string commandLine = ev.EvalString();
    if (runDepth >= kMaxRunDepth || platform::StackRemaining() < kRunStackReserve)
        p.ReportError(kSyntaxKind, msg::kStackOverflow);
    RunDepthHold hold;
    RunTallowCode(commandLine.c_str(), 0);
}

}  // namespace tallow
