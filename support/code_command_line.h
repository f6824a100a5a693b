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

}  // namespace tallow::support
