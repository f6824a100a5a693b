// The well-known directories, path names, temporary files, the user and the
// version through the Win32 API. Every buffer is sized from the API's own
// answer, so no path is cut or overruns.
#include "platform/system_info.h"

#include <windows.h>

#include <vector>

#include "platform/confinement.h"

namespace tallow::platform {

namespace {

// The first size tried for a directory: enough for any path of old.
constexpr DWORD kDirectoryBuffer = 1024;

// Calls a directory query (buffer, size) -> length, or the size it needs
// when the buffer is too small, until the answer fits; then removes trailing
// separators.
template <class Query>
bool QueryDirectory(Query query, std::string& path) {
    std::vector<char> buffer(kDirectoryBuffer);
    for (int tries = 0; tries < 3; ++tries) {
        DWORD n = query(buffer.data(), DWORD(buffer.size()));
        if (n == 0) return false;
        if (n < buffer.size()) {
            path.assign(buffer.data(), n);
            while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
                path.pop_back();
            return true;
        }
        buffer.resize(size_t(n) + 1);
    }
    return false;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

bool TempDir(std::string& path) {
    return QueryDirectory([](char* b, DWORD n) { return GetTempPathA(n, b); }, path);
}

bool WindowsDir(std::string& path) {
    return QueryDirectory([](char* b, DWORD n) { return DWORD(GetWindowsDirectoryA(b, n)); }, path);
}

bool SystemDir(std::string& path) {
    return QueryDirectory([](char* b, DWORD n) { return DWORD(GetSystemDirectoryA(b, n)); }, path);
}

std::string ShortPathName(const std::string& path) {
    DWORD needed = GetShortPathNameA(path.c_str(), nullptr, 0);
    if (needed == 0) return std::string();
    std::vector<char> buffer(size_t(needed) + 1);
    DWORD n = GetShortPathNameA(path.c_str(), buffer.data(), DWORD(buffer.size()));
    if (n == 0 || n >= buffer.size()) return std::string();
    return std::string(buffer.data(), n);
}

// The directory part keeps its own separator: a slash serves as well as a
// backslash, and a path without either is a name alone.
std::string LongPathName(const std::string& path) {
    if (!PathAllowed(path)) return std::string();
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return std::string();
    FindClose(find);
    size_t end = path.size();
    while (end > 0 && !IsSeparator(path[end - 1]))
        --end;
    return path.substr(0, end) + data.cFileName;
}

std::string CreateTempFile(const std::string& directory, const std::string& prefix) {
    if (!PathAllowed(directory)) return std::string();
    std::string base = directory;
    if (base.empty() || base.back() != '\\') base += '\\';
    base += '.';
    char name[MAX_PATH + 1] = {};  // the API writes at most MAX_PATH bytes
    if (GetTempFileNameA(base.c_str(), prefix.c_str(), 0, name) == 0) return std::string();
    return name;
}

std::string UserName() {
    std::vector<char> buffer(257);  // the longest user name and its NUL
    DWORD size = DWORD(buffer.size());
    if (!GetUserNameA(buffer.data(), &size)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size()) return std::string();
        buffer.resize(size);
        if (!GetUserNameA(buffer.data(), &size)) return std::string();
    }
    buffer.back() = '\0';
    return buffer.data();
}

SystemVersion GetSystemVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    SystemVersion version;
    if (GetVersionExA(&info)) {
        version.major = info.dwMajorVersion;
        version.minor = info.dwMinorVersion;
    }
    return version;
}

}  // namespace tallow::platform
