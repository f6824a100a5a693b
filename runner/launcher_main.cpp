// tallowrun: the program the Windows shell starts to open a code file. It
// hands its command line, as the shell wrote it, to the code runner and
// ends with the script's exit code. Built as a GUI program, it shows a
// console only when the script writes to one. A development environment
// may ask it, through the variables of launch_request.h, for the error that
// ended the script and to keep the script's console open.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "support/code_command_line.h"
#include "support/code_run_status.h"
#include "support/launch_request.h"
#include "support/system.h"
#include "tallow.h"

namespace {

// An environment variable's value, removed from the environment.
std::string TakeVariable(const char* name) {
    const char* value = std::getenv(name);
    std::string taken = value ? value : "";
    if (value) _putenv((std::string(name) + "=").c_str());
    return taken;
}

// The error that ended the run, or nothing, as the file's whole contents.
void WriteErrorFile(const std::string& path, const std::string& codeFile) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    char message[1100] = {}, token[256] = {};
    int line = 0, column = 0;
    if (GetLastCodeRunError(message, sizeof message, &line, &column, nullptr, token, sizeof token)) {
        std::string text = tallow::support::DiagnosticLine(codeFile, line, column, message, token);
        std::fwrite(text.data(), 1, text.size(), file);
    }
    std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
    std::string errorFile = TakeVariable(tallow::support::kErrorFileVariable);
    bool holdConsole = TakeVariable(tallow::support::kHoldConsoleVariable) == "1";
    std::optional<std::string> line = tallow::support::RawArgumentText();
    if (!line) {  // a system that splits the command line for us
        std::string bad;
        line.emplace();
        std::vector<const char*> args(argv + (argc > 1 ? 2 : argc), argv + argc);
        if (argc > 1 && !tallow::support::BuildCodeCommandLine(argv[1], args, *line, bad))
            return tallow::support::kStatusUsage;
    }
    int code = RunTallowCode(line->c_str(), 0);
    int status = tallow::support::CodeRunStatus(code, tallow::support::kStatusFailed);
    if (!errorFile.empty()) WriteErrorFile(errorFile, tallow::support::FirstCommandWord(*line));
    if (holdConsole) tallow::support::WaitForKeyInOpenedConsole(tallow::support::kHoldConsolePrompt);
    return status;
}
