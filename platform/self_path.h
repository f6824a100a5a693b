// Where the running program lies and how it was started: what a program
// needs to find files installed beside it or bytes appended to itself.
#pragma once

#include <optional>
#include <string>

namespace tallow::platform {

// The full path of the running program's executable file; empty when the
// system does not tell.
std::string ExecutablePath();

// The command line after the program's name, exactly as the starting
// process gave it, where the system keeps one (Windows); nullopt where a
// program only receives its arguments already split (POSIX).
std::optional<std::string> RawArgumentText();

}  // namespace tallow::platform
