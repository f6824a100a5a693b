// The command line the runner hands to RunTallowCode: the code file's name
// and the script's arguments, each quoted where needed so that the code
// runner's split gives them back exactly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tallow::support {

// Appends word to line (after a blank unless line is empty) in the form the
// code runner splits back into word: as it is, or in double quotes when it
// is empty, holds white space or starts with a quote. False, and line
// unchanged, for a word that no form gives back: one that holds a double
// quote and needs the quotes too.
bool AppendCommandWord(std::string& line, std::string_view word);

// The whole command line for file and args; false with bad set to the first
// word that cannot be passed.
bool BuildCodeCommandLine(std::string_view file, const std::vector<const char*>& args, std::string& line,
                          std::string& bad);

// The first word of a command line as the code runner splits it (the code
// file's name): a quoted word runs to the next quote, quotes dropped.
std::string FirstCommandWord(std::string_view line);

// The form compilers use for an error, so that editors can jump to it, with
// its line feed: FILE:LINE:COLUMN: error: MESSAGE, then ": 'TOKEN'" when the
// token is not empty.
std::string DiagnosticLine(std::string_view file, int line, int column, std::string_view message,
                           std::string_view token);

}  // namespace tallow::support
