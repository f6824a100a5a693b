// Files and directories on Linux. The directory search reads the directory
// and filters its names with the Windows wildcard rules (platform/wildcard.h),
// so scripts list the same entries on both targets.
#include "gui_module_posix.h"
#include "platform/confinement.h"
#include "platform/console.h"
#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "platform/wildcard.h"

namespace tallow::platform {

namespace {

// Bytes moved per read/write pair while copying a file.
constexpr size_t kCopyChunk = 64 * 1024;

// A descriptor closed when the scope ends.
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

// Opens path for copying, or gives -1 when it is no regular file. Opening a
// FIFO waits for its other end and reading a device may never end, so the
// open does not wait (O_NONBLOCK, which regular files ignore) and whatever
// is not a regular file is closed again at once.
int OpenRegularFile(const std::string& path, int flags, mode_t mode) {
    int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0) return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool CopyContents(int in, int out) {
    static thread_local char buffer[kCopyChunk];
    for (;;) {
        ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!WriteBytes(HandleFromFd(out), buffer, size_t(n))) return false;
    }
}

// Renames without replacing: the kernel's no-replace rename where the file
// system has it, else a check for the target just before the rename.
bool RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
#endif
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0 || errno != ENOENT) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

unsigned AttributesOf(const std::string& directory, const std::string& name) {
    std::string path = directory == "/" ? "/" + name : directory + "/" + name;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0)
        return PosixEntryAttributes(name, EntryKind::Other, true);
    EntryKind kind = S_ISDIR(st.st_mode)   ? EntryKind::Directory
                     : S_ISREG(st.st_mode) ? EntryKind::RegularFile
                                           : EntryKind::Other;
    return PosixEntryAttributes(name, kind, (st.st_mode & S_IWUSR) != 0);
}

}  // namespace

// ---- Directory search -----------------------------------------------------------

struct DirSearch::State {
    DIR* dir = nullptr;
    std::string directory;
    std::string namePattern;
    ~State() {
        if (dir) ::closedir(dir);
    }
};

DirSearch::DirSearch() = default;
DirSearch::~DirSearch() = default;

bool DirSearch::Start(const std::string& pattern, DirEntry& first) {
    if (!PathAllowed(pattern)) return false;
    Close();
    auto state = std::make_unique<State>();
    SplitSearchPattern(pattern, state->directory, state->namePattern);
    if (state->namePattern.empty()) return false;
    state->dir = ::opendir(state->directory.c_str());
    if (!state->dir) return false;
    state_ = std::move(state);
    return Next(first);
}

bool DirSearch::Next(DirEntry& entry) {
    if (!state_) return false;
    while (dirent* d = ::readdir(state_->dir)) {
        if (!WildcardMatch(state_->namePattern, d->d_name)) continue;
        entry.name = d->d_name;
        entry.attributes = AttributesOf(state_->directory, entry.name);
        return true;
    }
    Close();
    return false;
}

void DirSearch::Close() {
    state_.reset();
}

bool DirSearch::IsOpen() const {
    return state_ != nullptr;
}

// ---- Directories and files --------------------------------------------------------

bool ChangeDrive(int) {
    if (Confined()) return false;
    return false;
}

bool ChangeDir(const std::string& path) {
    if (!PathAllowed(path)) return false;
    return ::chdir(path.c_str()) == 0;
}

bool CurrentDir(std::string& path) {
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) return false;
    path = buffer;
    return true;
}

bool MakeDir(const std::string& path) {
    if (!PathAllowed(path)) return false;
    return ::mkdir(path.c_str(), 0777) == 0;
}

bool RemoveDir(const std::string& path) {
    if (!PathAllowed(path)) return false;
    return ::rmdir(path.c_str()) == 0;
}

bool RenameEntry(const std::string& from, const std::string& to) {
    if (!PathAllowed(from) || !PathAllowed(to)) return false;
    return RenameNoReplace(from, to);
}

bool RemoveFile(const std::string& path) {
    if (!PathAllowed(path)) return false;
    return ::unlink(path.c_str()) == 0;
}

bool CopyFileOver(const std::string& from, const std::string& to) {
    if (!PathAllowed(from) || !PathAllowed(to)) return false;
    Fd in(OpenRegularFile(from, O_RDONLY, 0));
    if (in.fd < 0) return false;
    struct stat source;
    if (::fstat(in.fd, &source) != 0) return false;
    // Truncating the source itself would destroy it.
    struct stat target;
    if (::stat(to.c_str(), &target) == 0 && target.st_dev == source.st_dev && target.st_ino == source.st_ino)
        return false;
    Fd out(OpenRegularFile(to, O_WRONLY | O_CREAT | O_TRUNC, source.st_mode & 0777));
    if (out.fd < 0) return false;
    return CopyContents(in.fd, out.fd);
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
    if (!PathAllowed(from) || !PathAllowed(to)) return false;
    if (RenameNoReplace(from, to)) return true;
    if (errno != EXDEV) return false;
    // Another file system: copy, then remove the original.
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0 || errno != ENOENT) return false;
    if (!CopyFileOver(from, to)) {
        ::unlink(to.c_str());
        return false;
    }
    return ::unlink(from.c_str()) == 0;
}

bool PathExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

int64_t FileSizeOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return -1;
    return S_ISDIR(st.st_mode) ? 0 : int64_t(st.st_size);
}

// ---- Time --------------------------------------------------------------------------

uint32_t TickCount() {
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
}

void WaitPumping(uint64_t milliseconds) {
    if (Confined()) return;
    if (LoadedGuiModule()) {
        // A desktop in use: its windows keep answering while the time passes.
        for (uint64_t left = milliseconds; left > 0;) {
            int part = int(std::min<uint64_t>(left, INT32_MAX));
            PollPumping(nullptr, 0, part);
            left -= uint64_t(part);
        }
        return;
    }
    timespec request;
    request.tv_sec = time_t(milliseconds / 1000);
    request.tv_nsec = long(milliseconds % 1000) * 1000000L;
    timespec remaining;
    while (::nanosleep(&request, &remaining) != 0 && errno == EINTR)
        request = remaining;
}

}  // namespace tallow::platform
