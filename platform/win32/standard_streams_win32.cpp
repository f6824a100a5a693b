// The standard streams on Windows: switched to binary mode, where the C
// library would otherwise translate line ends.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/standard_streams.h"

namespace tallow::platform {

bool StandardInputIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}

void ReadStandardInputAsBytes() {
    _setmode(_fileno(stdin), _O_BINARY);
}

void WriteStandardOutputAsBytes() {
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace tallow::platform
