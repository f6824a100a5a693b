// The standard streams on POSIX systems, which carry bytes unchanged.
#include <unistd.h>

#include "platform/standard_streams.h"

namespace tallow::platform {

bool StandardInputIsTerminal() {
    return isatty(STDIN_FILENO) == 1;
}

void ReadStandardInputAsBytes() {}

void WriteStandardOutputAsBytes() {}

// A terminal program's output stays in its terminal.
bool WaitForKeyInOpenedConsole(std::string_view) {
    return false;
}

}  // namespace tallow::platform
