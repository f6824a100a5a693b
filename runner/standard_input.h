// The runner's view of its standard input: whether it is a terminal, and the
// whole of it as a script.
#pragma once

#include <string>

namespace tallow::runner {

bool StandardInputIsTerminal();
// Reads standard input to its end, bytes unchanged; false on a read error.
bool ReadStandardInput(std::string& out);

}  // namespace tallow::runner
