// Standard input for the runner: the one place it asks the system directly.
#include "platform/standard_streams.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tallow::runner {

bool StandardInputIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) == 1;
#endif
}

bool ReadStandardInput(std::string& out) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    char buffer[65536];
    for (;;) {
        size_t n = std::fread(buffer, 1, sizeof buffer, stdin);
        out.append(buffer, n);
        if (n < sizeof buffer) return !std::ferror(stdin);
    }
}

void WriteStandardOutputAsBytes() {
#ifdef _WIN32
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

}  // namespace tallow::runner
