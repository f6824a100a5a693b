// Standard handles and the console through the Win32 console API.
#include "platform/console.h"

#include <windows.h>

#include <cstring>

namespace tallow::platform {

Handle StdInput() {
    return GetStdHandle(STD_INPUT_HANDLE);
}
Handle StdOutput() {
    return GetStdHandle(STD_OUTPUT_HANDLE);
}
Handle StdError() {
    return GetStdHandle(STD_ERROR_HANDLE);
}

void SetStdHandles(Handle input, Handle output) {
    SetStdHandle(STD_INPUT_HANDLE, input);
    SetStdHandle(STD_OUTPUT_HANDLE, output);
}

Handle NullInput() {
    return CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}
Handle NullOutput() {
    return CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

bool AllocateConsole() {
    return AllocConsole() != 0;
}
void ReleaseConsole() {
    FreeConsole();
}
void SetConsoleTitleText(const char* title) {
    SetConsoleTitleA(title);
}
bool ReadConsoleTitleText(std::string& title) {
    char buffer[kMaxConsoleTitle + 1] = {};
    SetLastError(ERROR_SUCCESS);  // an empty title also reads as 0
    if (GetConsoleTitleA(buffer, sizeof buffer) == 0 && GetLastError() != ERROR_SUCCESS) return false;
    title.assign(buffer, strnlen(buffer, kMaxConsoleTitle));
    return true;
}

bool WriteBytes(Handle handle, const char* data, size_t size) {
    while (size > 0) {
        DWORD chunk = size > 0x40000000 ? 0x40000000 : DWORD(size);
        DWORD written = 0;
        if (!WriteFile(handle, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

long ReadBytes(Handle handle, char* buffer, size_t size) {
    DWORD read = 0;
    if (!ReadFile(handle, buffer, DWORD(size), &read, nullptr))
        return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;  // a pipe whose writer has gone: its end
    return long(read);
}

}  // namespace tallow::platform
