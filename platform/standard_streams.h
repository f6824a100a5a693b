// The runner's view of its standard streams: whether input is a terminal, the
// whole of it as a script, and output written byte for byte.
#pragma once

#include <string>

namespace tallow::runner {

bool StandardInputIsTerminal();
// Reads standard input to its end, bytes unchanged; false on a read error.
bool ReadStandardInput(std::string& out);
// Makes the runner's own lines on standard output and error end as the
// engine's do (a bare line feed): on Windows the C library would otherwise
// turn each into CR LF, so that one stream mixed both ends. Call first.
void WriteStandardOutputAsBytes();

}  // namespace tallow::runner
