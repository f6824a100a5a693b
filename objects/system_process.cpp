// Processes and the environment: system, exec, winexec, shellexec, setenv
// and getenv.
#include "objects/system_members.h"

#include <optional>

#include "core/messages.h"
#include "core/program.h"
#include "objects/output_capture.h"
#include "objects/system_object.h"
#include "platform/command_words.h"
#include "platform/console.h"
#include "platform/process.h"

namespace tallow {

namespace {

// Puts the console's title back when it goes: a child may change it.
class ConsoleTitleKeeper {
public:
    ConsoleTitleKeeper() : saved_(platform::ReadConsoleTitleText(title_)) {}
    ~ConsoleTitleKeeper() {
        if (saved_) platform::SetConsoleTitleText(title_.c_str());
    }
    ConsoleTitleKeeper(const ConsoleTitleKeeper&) = delete;
    ConsoleTitleKeeper& operator=(const ConsoleTitleKeeper&) = delete;

private:
    std::string title_;
    bool saved_;
};

// What system and exec share after reading their parameters: the console
// opened (a child that writes needs one) with its title kept, and the
// child's standard output captured into the array when one is named. run
// starts the child with the capture file (or null) and gives its result.
template <class Run>
int RunWithOutput(Program& p, const std::string& arrayName, Run run) {
    p.OpenConsole();
    ConsoleTitleKeeper title;
    if (arrayName.empty()) return run(nullptr);
    OutputCapture capture(p, arrayName);
    int result = run(capture.File());
    capture.Finish();
    return result;
}

// The optional array name that follows a command: "" when there is none.
std::string ReadOutputArrayName(Program& p) {
    Evaluator& ev = p.Eval();
    return ev.HasNextParam(false) ? ev.ReadName() : std::string();
}

// The optional wait flag of winexec and shellexec: a non-zero number.
bool ReadWaitFlag(Program& p) {
    Evaluator& ev = p.Eval();
    return ev.HasNextParam(false) && ev.EvalNum() != 0;
}

void StartedOrRaise(Program& p, std::optional<platform::Process>& started, bool wait) {
    if (!started) p.ReportError(kRuntimeKind, msg::kCouldNotStartProgram);
    if (wait) started->Wait();
}

}  // namespace

// setenv = "setenv" strexpr. "NAME=value" sets, "NAME=" removes.
void SysSetEnv(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    platform::PutEnvironment(ev.EvalString());
}

// system = "system" strexpr ["," word]
void SysSystem(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    std::string command = ev.EvalString();
    std::string arrayName = ReadOutputArrayName(p);
    RunWithOutput(p, arrayName,
                  [&](platform::CaptureFile* file) { return platform::RunShellCommand(command, file); });
}

// winexec = "winexec" strexpr ["," numexpr]. Raises "Could not start
// program!"; with a non-zero wait, returns when the program has ended.
void SysWinExec(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    std::string commandLine = ev.EvalString();
    bool wait = ReadWaitFlag(p);
    std::optional<platform::Process> started = platform::StartCommandLine(commandLine);
    StartedOrRaise(p, started, wait);
}

// shellexec = "shellexec" strexpr ["," strexpr ["," numexpr]]. The verb is
// "open" unless given. Raises "Could not start program!".
void SysShellExec(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    std::string file = ev.EvalString();
    std::string verb = "open";
    bool wait = false;
    if (ev.HasNextParam(false)) {
        verb = ev.EvalString();
        wait = ReadWaitFlag(p);
    }
    std::optional<platform::Process> started = platform::OpenDocument(file, verb);
    StartedOrRaise(p, started, wait);
}

// exec = "exec(" strexpr ["," word] ")". The program's exit code, -1 when it
// cannot be started (which is no error).
double SysExec(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    std::vector<std::string> words = platform::SplitCommandWords(ev.EvalString());
    std::string arrayName = ReadOutputArrayName(p);
    return RunWithOutput(p, arrayName,
                         [&](platform::CaptureFile* file) { return platform::SpawnAndWait(words, file); });
}

// getenv = "getenv(" strexpr ")". "" for a variable that is not set.
std::string SysGetEnv(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    return platform::GetEnvironment(ev.EvalString());
}

}  // namespace tallow
