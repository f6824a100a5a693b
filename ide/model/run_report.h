// What Run and Compile decide and say without a window: the way a saved code
// file is started, the runner's report of the error that ended a script,
// and the texts of their boxes and status line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tallow::ide {

// How Run starts a saved code file: the shell's "open" verb where the shell
// has one for code files, else the launcher found beside TallowEdit.
enum class RunRoute { Shell, Launcher, None };
RunRoute ChooseRunRoute(bool shellOpensCodeFiles, bool launcherFound);

// The launcher's command line for a code file: both paths quoted.
std::string LauncherCommandLine(std::string_view launcher, std::string_view codePath);

// An error as the runner reports it in the form compilers use:
// FILE:LINE:COLUMN: error: MESSAGE. Line and column count from 1.
struct RunDiagnostic {
    std::string file;
    int line = 0;
    int column = 0;
    std::string message;
};
// The first line of text in that form (FILE may hold colons, as a drive
// does); nothing when no line is.
std::optional<RunDiagnostic> ParseRunDiagnostic(std::string_view text);

// ---- texts
std::string NoRunnerMessage(std::string_view codePath);
std::string CannotRunMessage(std::string_view codePath, std::string_view reason);
std::string NoBuilderMessage(std::string_view codePath);
std::string CannotCompileMessage(std::string_view codePath, std::string_view reason);
// The box and the status line after the builder wrote the executable.
std::string CompiledMessage(std::string_view exePath);
std::string CompiledStatus(std::string_view exePath);
// The status line after the builder failed (its own box said why).
std::string CompileFailedStatus(std::string_view exePath, unsigned long status);
// The status line after a run that an error ended.
std::string RunErrorStatus(const RunDiagnostic& error);

}  // namespace tallow::ide
