// Console input on Windows: the console's input modes, waiting on its input
// handle, and line reads that also work on pipes and files.
#include <windows.h>

#include "platform/console.h"
#include "platform/input_buffer.h"

namespace tallow::platform {

namespace {

bool IsConsole(Handle input) {
    DWORD mode = 0;
    return GetConsoleMode(input, &mode) != 0;
}

// One read call; a pipe whose writer has gone counts as the end of input.
long ReadOnce(Handle input, char* buffer, DWORD size) {
    DWORD read = 0;
    if (ReadFile(input, buffer, size, &read, nullptr)) return long(read);
    return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
}

long SystemRead(Handle input, char* buffer, size_t size) {
    return ReadOnce(input, buffer, DWORD(size));
}

}  // namespace

bool SetInputMode(Handle input, InputMode mode) {
    if (!IsConsole(input)) return false;
    DWORD flags = mode == InputMode::Raw ? ENABLE_PROCESSED_INPUT
                                         : ENABLE_PROCESSED_INPUT | ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT;
    return SetConsoleMode(input, flags) != 0;
}

void WaitForInput(Handle input) {
    if (IsConsole(input)) WaitForSingleObject(input, INFINITE);
}

long ReadLine(Handle input, char* buffer, size_t size) {
    if (size == 0) return 0;
    // In line mode a console hands over one line, terminator included.
    if (IsConsole(input)) return ReadOnce(input, buffer, DWORD(size));
    return BufferedLine(input, buffer, size, SystemRead);
}

long ReadKey(Handle input, char& key) {
    if (IsConsole(input)) return ReadOnce(input, &key, 1);
    return BufferedByte(input, key, SystemRead);
}

}  // namespace tallow::platform
