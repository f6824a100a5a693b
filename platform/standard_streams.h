// A console program's view of its standard streams: whether input is a
// terminal, the whole of it as a script, and output written byte for byte.
#pragma once

#include <string>

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

}  // namespace tallow::platform
