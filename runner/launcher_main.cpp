// tallowrun: the program the Windows shell starts to open a code file. It
// hands its command line, as the shell wrote it, to the code runner and
// ends with the script's exit code. Built as a GUI program, it shows a
// console only when the script writes to one.
#include <optional>
#include <string>
#include <vector>

#include "support/code_command_line.h"
#include "support/code_run_status.h"
#include "support/system.h"
#include "tallow.h"

int main(int argc, char** argv) {
    std::optional<std::string> line = tallow::support::RawArgumentText();
    if (!line) {  // a system that splits the command line for us
        std::string bad;
        line.emplace();
        std::vector<const char*> args(argv + (argc > 1 ? 2 : argc), argv + argc);
        if (argc > 1 && !tallow::support::BuildCodeCommandLine(argv[1], args, *line, bad))
            return tallow::support::kStatusUsage;
    }
    return tallow::support::CodeRunStatus(RunTallowCode(line->c_str(), 0), tallow::support::kStatusFailed);
}
