// Preparing script text for the engine: the runner's line-end and "#!" rules.
#pragma once

#include <string>
#include <string_view>

namespace tallow::runner {

// The text up to its first NUL, with a first line that starts with "#!"
// turned into blanks, and every bare line feed turned into CR LF (the engine
// counts carriage returns as line ends).
std::string PrepareScriptText(std::string_view raw);

// True when the bytes start with a code-file magic ("TALLOW" or "TALLOW1"
// followed by a NUL).
bool IsCodeFile(std::string_view raw);

}  // namespace tallow::runner
