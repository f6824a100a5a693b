// The standard streams on Windows: switched to binary mode, where the C
// library would otherwise translate line ends.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

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

// The console's own input and output, whatever the script did with the
// standard handles. Its input opens only while a console is attached (Wine's
// consoles need not have a window that GetConsoleWindow finds).
bool WaitForKeyInOpenedConsole(std::string_view prompt) {
    HANDLE output = ::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE input = ::CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    bool waited = false;
    if (input != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        if (output != INVALID_HANDLE_VALUE)
            ::WriteFile(output, prompt.data(), static_cast<DWORD>(prompt.size()), &written, nullptr);
        ::FlushConsoleInputBuffer(input);
        INPUT_RECORD record{};
        DWORD read = 0;
        while (::ReadConsoleInputA(input, &record, 1, &read) && read == 1) {
            if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) {
                waited = true;
                break;
            }
        }
    }
    if (input != INVALID_HANDLE_VALUE) ::CloseHandle(input);
    if (output != INVALID_HANDLE_VALUE) ::CloseHandle(output);
    return waited;
}

}  // namespace tallow::platform
