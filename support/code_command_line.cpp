// Quoting for the code runner's command line, whose split knows no escapes.
#include "support/code_command_line.h"

namespace tallow::support {

namespace {

constexpr std::string_view kBlanks = " \t\n\r\v\f";

}  // namespace

bool AppendCommandWord(std::string& line, std::string_view word) {
    bool quoted =
        word.empty() || word.find_first_of(kBlanks) != std::string_view::npos || word.front() == '"';
    if (quoted && word.find('"') != std::string_view::npos) return false;
    if (!line.empty()) line += ' ';
    if (quoted) line += '"';
    line += word;
    if (quoted) line += '"';
    return true;
}

bool BuildCodeCommandLine(std::string_view file, const std::vector<const char*>& args, std::string& line,
                          std::string& bad) {
    line.clear();
    if (!AppendCommandWord(line, file)) {
        bad = file;
        return false;
    }
    for (const char* arg : args) {
        if (!AppendCommandWord(line, arg)) {
            bad = arg;
            return false;
        }
    }
    return true;
}

}  // namespace tallow::support
