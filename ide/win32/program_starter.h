// How TallowEdit starts the programs it hands work to: the shell's "open"
// verb on a code file, a program by its command line (without a console
// window for a console program), with variables added to the environment it
// inherits, and the processes watched until they end.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ide/win32/win_handles.h"

namespace tallow::ide::win32 {

// A started program, or why it did not start.
struct StartOutcome {
    bool started = false;
    // What the system said, as a sentence; empty when started.
    std::string error;
    // The process, when the system gave one (the shell may not).
    UniqueKernelHandle process;
    // The start failed because the shell knows no program for the file.
    bool noAssociation = false;
};

// Variables added to the environment of the programs started meanwhile.
using Environment = std::vector<std::pair<std::string, std::string>>;

// Whether the shell has an "open" verb for code files under the classes root
// (the view it searches: on Windows that includes the user's own classes,
// under Wine 8 it does not).
bool ShellOpensCodeFiles();

StartOutcome OpenWithShellVerb(const std::string& path, const std::string& folder, const Environment& env);

// Starts application with that command line in folder; with hideConsole a
// console program gets no console window.
StartOutcome StartProcess(const std::string& application, const std::string& commandLine,
                          const std::string& folder, const Environment& env, bool hideConsole);

// The system's text for an error code, without its line end.
std::string SystemErrorText(DWORD code);

// Processes watched until they end; the owner polls from a timer.
class ProcessWatch {
public:
    using Ended = std::function<void(DWORD exitCode)>;
    void Add(UniqueKernelHandle process, Ended ended);
    // Calls the handler of every process that has ended, once, and forgets it.
    void Poll();
    bool Empty() const { return watched_.empty(); }

private:
    std::vector<std::pair<UniqueKernelHandle, Ended>> watched_;
};

}  // namespace tallow::ide::win32
