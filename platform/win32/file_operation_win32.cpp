// File operations through SHFileOperationA. Paths are made absolute first:
// the shell resolves relative ones against the current directory at some
// later moment, which its documentation warns against.
#include "platform/file_operation.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "platform/confinement.h"
#include "platform/message_box.h"

namespace tallow::platform {

namespace {

// path as an absolute path (the text itself when it cannot be made one),
// ended by the double NUL of the shell's path lists. An empty path stays an
// empty list.
std::string PathList(const std::string& path) {
    std::string full = path;
    if (!path.empty()) {
        DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
        if (needed != 0) {
            std::vector<char> buffer(size_t(needed) + 1);
            DWORD n = GetFullPathNameA(path.c_str(), DWORD(buffer.size()), buffer.data(), nullptr);
            if (n != 0 && n < buffer.size()) full.assign(buffer.data(), n);
        }
    }
    full.resize(full.find('\0') == std::string::npos ? full.size() : full.find('\0'));
    full.append(2, '\0');
    return full;
}

// Whether path (absolute, its last component perhaps holding wildcards)
// names at least one existing entry. Wine's shell reports success for a move
// of a missing file; Windows fails it, and so does the Linux build.
bool SourceExists(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

}  // namespace

bool ShellFileOperation(unsigned operation, const std::string& source, const std::string& target,
                        unsigned flags, Handle owner) {
    if (!PathAllowed(source) || (!target.empty() && !PathAllowed(target))) return false;
    std::string from = PathList(source), to = PathList(target);
    if (!SourceExists(from)) return false;
    SHFILEOPSTRUCTA op = {};
    op.hwnd = static_cast<HWND>(owner);
    op.wFunc = UINT(operation & 0xFFFF);
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FILEOP_FLAGS(flags & 0xFFFF);
    // Unattended, no question and no error box is shown: "yes" to each.
    if (Unattended()) op.fFlags |= FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_SILENT;
    return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

}  // namespace tallow::platform
