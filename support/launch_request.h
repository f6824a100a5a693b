// What a development environment asks of the launcher (tallowrun) besides
// the code file, in two environment variables that reach it through the
// shell's "open" verb as well as through a direct start. The launcher takes
// them out of its environment at once, so that programs the script starts
// do not see them.
#pragma once

namespace tallow::support {

// A file to write the error that ends the script into, as one
// DiagnosticLine; the file is left empty after a run without one.
inline constexpr const char* kErrorFileVariable = "TALLOW_ERROR_FILE";
// "1": when the script opened a console, it stays until a key is pressed.
inline constexpr const char* kHoldConsoleVariable = "TALLOW_HOLD_CONSOLE";
inline constexpr const char* kHoldConsolePrompt = "\r\nPress any key to close this window . . .";

}  // namespace tallow::support
