// The code runner's command line: the code file's name and the arguments
// that reach the script as `argv`.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tallow {

// Splits a command line into tokens: white space separates them; a token
// that starts with a double quote runs to the next one (both dropped, white
// space kept), or to the end of the line when there is none. No escapes.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace tallow
