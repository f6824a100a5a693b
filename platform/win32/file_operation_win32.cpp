// File operations through SHFileOperationA. Paths are made absolute first:
// the shell resolves relative ones against the current directory at some
// later moment, which its documentation warns against.
#include "platform/file_operation.h"

#include <windows.h>

#include <shellapi.h>

#include <string_view>
#include <vector>

#include "platform/confinement.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/wildcard.h"

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

// What follows the last folder separator or drive colon of path.
std::string_view LastComponent(std::string_view path) {
    size_t folderEnd = path.find_last_of("\\/:");
    return folderEnd == std::string_view::npos ? path : path.substr(folderEnd + 1);
}

// The entries that a source whose last component asks for names without an
// extension ("*.") names, as the shell's list of paths; empty when none
// does. The shell would hand the pattern to the file search, and Wine's
// drops the dot and matches every name, so such a source is expanded here,
// by the search that sifts the names. fullPath is source made absolute,
// which has lost the trailing dot.
std::string NoExtensionList(const std::string& source, const std::string& fullPath) {
    std::string folder(fullPath.substr(0, fullPath.size() - LastComponent(fullPath).size()));
    std::string pattern = folder + std::string(LastComponent(source));
    std::string list;
    DirSearch search;
    DirEntry entry;
    for (bool found = search.Start(pattern, entry); found; found = search.Next(entry))
        if (entry.name != "." && entry.name != "..") list += folder + entry.name + '\0';
    if (!list.empty()) list += '\0';
    return list;
}

bool AsksForNoExtension(const std::string& path) {
    std::string_view name = LastComponent(path);
    return name.find_first_of("*?") != std::string::npos && WantsNoExtension(name);
}

}  // namespace

bool ShellFileOperation(unsigned operation, const std::string& source, const std::string& target,
                        unsigned flags, Handle owner) {
    if (!PathAllowed(source) || (!target.empty() && !PathAllowed(target))) return false;
    std::string from = PathList(source), to = PathList(target);
    if (AsksForNoExtension(source)) {
        from = NoExtensionList(source, from.c_str());
        if (from.empty()) return false;
    } else if (!SourceExists(from)) {
        return false;
    }
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
