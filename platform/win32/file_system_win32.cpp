// Files and directories through the Win32 file API, and the wait that keeps
// the thread's window messages flowing.
#include "platform/confinement.h"
#include "platform/file_system.h"
#include "platform/wildcard.h"

#include <direct.h>
#include <windows.h>

namespace tallow::platform {

namespace {

struct AttributeBit {
    DWORD system;
    unsigned entry;
};

constexpr AttributeBit kAttributeBits[] = {
    {FILE_ATTRIBUTE_NORMAL, kAttrNormal},     {FILE_ATTRIBUTE_DIRECTORY, kAttrDirectory},
    {FILE_ATTRIBUTE_HIDDEN, kAttrHidden},     {FILE_ATTRIBUTE_SYSTEM, kAttrSystem},
    {FILE_ATTRIBUTE_READONLY, kAttrReadOnly}, {FILE_ATTRIBUTE_ARCHIVE, kAttrArchive},
};

void FillEntry(const WIN32_FIND_DATAA& data, DirEntry& entry) {
    entry.name = data.cFileName;
    entry.attributes = 0;
    for (const AttributeBit& bit : kAttributeBits)
        if (data.dwFileAttributes & bit.system) entry.attributes |= bit.entry;
}

// What a path names, seen through a handle opened with no access rights, so
// that no device or pipe is read or written to find out.
enum class PathKind { kMissing, kDiskFile, kOther };

PathKind KindOf(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return PathKind::kMissing;
    BY_HANDLE_FILE_INFORMATION info;
    bool disk = GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
                !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(h);
    return disk ? PathKind::kDiskFile : PathKind::kOther;
}

}  // namespace

// ---- Directory search -----------------------------------------------------------

struct DirSearch::State {
    HANDLE find = INVALID_HANDLE_VALUE;
    bool noExtension = false;  // the pattern ends in a dot that asks for names without one
    ~State() {
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
    }
};

DirSearch::DirSearch() = default;
DirSearch::~DirSearch() = default;

// Windows itself matches "*." only against names without an extension; Wine
// drops the dot and matches every name, so the entries are sifted here too.
bool DirSearch::Start(const std::string& pattern, DirEntry& first) {
    if (!PathAllowed(pattern)) return false;
    Close();
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    state_ = std::make_unique<State>();
    state_->find = find;
    size_t folderEnd = pattern.find_last_of("\\/:");
    state_->noExtension =
        WantsNoExtension(folderEnd == std::string::npos ? pattern : pattern.substr(folderEnd + 1));
    if (state_->noExtension && HasExtension(data.cFileName)) return Next(first);
    FillEntry(data, first);
    return true;
}

bool DirSearch::Next(DirEntry& entry) {
    if (!state_) return false;
    WIN32_FIND_DATAA data;
    do {
        if (!FindNextFileA(state_->find, &data)) {
            Close();
            return false;
        }
    } while (state_->noExtension && HasExtension(data.cFileName));
    FillEntry(data, entry);
    return true;
}

void DirSearch::Close() {
    state_.reset();
}

bool DirSearch::IsOpen() const {
    return state_ != nullptr;
}

// ---- Directories and files --------------------------------------------------------

bool ChangeDrive(int drive) {
    if (Confined()) return false;
    return drive >= 1 && drive <= 26 && _chdrive(drive) == 0;
}

bool ChangeDir(const std::string& path) {
    if (!PathAllowed(path)) return false;
    return SetCurrentDirectoryA(path.c_str()) != 0;
}

bool CurrentDir(std::string& path) {
    char buffer[MAX_PATH + 1];
    DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
    if (n == 0 || n >= sizeof buffer) return false;
    path.assign(buffer, n);
    return true;
}

bool MakeDir(const std::string& path) {
    if (!PathAllowed(path)) return false;
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool RemoveDir(const std::string& path) {
    if (!PathAllowed(path)) return false;
    return RemoveDirectoryA(path.c_str()) != 0;
}

bool RenameEntry(const std::string& from, const std::string& to) {
    if (!PathAllowed(from) || !PathAllowed(to)) return false;
    return MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool RemoveFile(const std::string& path) {
    if (!PathAllowed(path)) return false;
    return DeleteFileA(path.c_str()) != 0;
}

// Only files on disk: reading a pipe or a device such as CON may never end.
bool CopyFileOver(const std::string& from, const std::string& to) {
    if (!PathAllowed(from) || !PathAllowed(to)) return false;
    if (KindOf(from) != PathKind::kDiskFile || KindOf(to) == PathKind::kOther) return false;
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
    if (!PathAllowed(from) || !PathAllowed(to)) return false;
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED) != 0;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int64_t FileSizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    return (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// ---- Time --------------------------------------------------------------------------

uint32_t TickCount() {
    return GetTickCount();
}

// Waits for input or messages of the thread until the time is up, and
// dispatches every message that arrives. Elapsed time is summed from tick
// differences, so neither a wrapping tick count nor a long wait misleads it.
void WaitPumping(uint64_t milliseconds) {
    if (Confined()) return;
    uint64_t elapsed = 0;
    DWORD last = GetTickCount();
    while (elapsed < milliseconds) {
        uint64_t left = milliseconds - elapsed;
        DWORD timeout = left >= INFINITE ? INFINITE - 1 : DWORD(left);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeout, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        DWORD now = GetTickCount();
        elapsed += DWORD(now - last);
        last = now;
    }
}

}  // namespace tallow::platform
