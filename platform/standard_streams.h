// A console program's view of its standard streams: whether input is a
// terminal, the whole of it as a script, and output written byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace tallow::platform {

bool StandardInputIsTerminal();
// Reads standard input to its end, bytes unchanged; false on a read error.
bool ReadStandardInput(std::string& out);
// Makes the program's own lines on standard output and error end as the
// engine's do (a bare line feed): on Windows the C library would otherwise
// turn each into CR LF, so that one stream mixed both ends. Call first.
void WriteStandardOutputAsBytes();

// Makes standard input give its bytes unchanged (Windows translates line
// ends otherwise); ReadStandardInput calls it.
void ReadStandardInputAsBytes();

// For a program without a console of its own at start (a Windows GUI
// program) whose script opened one: writes prompt in that console and waits
// until a key is pressed there, so that what the script printed can be read.
// False at once when the program has no such console (always on Linux).
bool WaitForKeyInOpenedConsole(std::string_view prompt);

}  // namespace tallow::platform
