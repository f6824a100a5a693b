// Replacing a file on Linux: the new file is made beside the old one with
// O_EXCL and mode 0600, written, given the old file's owner and mode, synced
// and renamed over it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <random>

#include "platform/file_replacement.h"
#include "platform/posix/owned_fd_posix.h"

namespace tallow::platform {

namespace {

// How often a fresh name for the new file is tried.
constexpr int kTempNameTries = 100;
// How much of the old file's name the new one's carries: with the added
// parts it stays within the 255 bytes a name may have.
constexpr size_t kMaxNameKept = 200;
// Bytes gathered before they are written out.
constexpr size_t kWriteBuffer = 64 * 1024;

// A number that differs between processes and calls, so that the names of
// new files cannot be guessed and taken ahead.
uint64_t NextNameNumber() {
    static std::atomic<uint64_t> next{[] {
        uint64_t seed = uint64_t(::getpid()) << 32 ^ uint64_t(std::time(nullptr));
        try {
            seed ^= uint64_t(std::random_device{}()) << 16;
        } catch (...) {
            // No source of randomness: the names are only harder to guess
            // with one, O_EXCL keeps them safe without.
        }
        return seed * 0x9E3779B97F4A7C15ull;
    }()};
    return next.fetch_add(0x9E3779B97F4A7C15ull);
}

}  // namespace

struct FileReplacement::State {
    std::string target;    // the file replaced, links resolved
    std::string tempPath;  // the new file beside it
    OwnedFd file;
    bool exists = false;  // whether target exists (its owner and mode are in old)
    struct stat old {};
    ReplacedKind kind = ReplacedKind::kData;
    std::string pending;  // written bytes not yet handed to the system
    bool failed = false;

    ~State() {
        if (file.Valid()) {
            file.Reset();
            ::unlink(tempPath.c_str());
        }
    }

    bool Flush() {
        if (!failed && !WriteAll(file.Get(), pending)) failed = true;
        pending.clear();
        return !failed;
    }

    // The mode of the new contents: the old file's, or for a new file what
    // open grants under the umask (left as it is: 0 here).
    mode_t FinalMode() const {
        mode_t mode = old.st_mode & 07777;
        if (kind == ReplacedKind::kExecutable) mode |= (mode & 0444) >> 2;
        return mode;
    }
};

FileReplacement::FileReplacement() = default;
FileReplacement::~FileReplacement() = default;

bool FileReplacement::Begin(const std::string& path, ReplacedKind kind) {
    state_.reset();
    if (path.empty()) return false;
    auto state = std::make_unique<State>();
    state->kind = kind;
    state->target = path;
    state->exists = ::stat(path.c_str(), &state->old) == 0;
    if (state->exists) {
        if (!S_ISREG(state->old.st_mode)) return false;
        char resolved[PATH_MAX];
        if (!::realpath(path.c_str(), resolved)) return false;
        state->target = resolved;
    } else if (errno != ENOENT) {
        return false;
    }
    size_t slash = state->target.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : state->target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? state->target : state->target.substr(slash + 1);
    name.resize(std::min(name.size(), kMaxNameKept));
    // The contents of an existing file stay private until its own mode is
    // set; a new file has no mode to keep, and gets the umask's at once.
    mode_t createMode = state->exists ? 0600 : kind == ReplacedKind::kExecutable ? 0777 : 0666;
    for (int attempt = 0; attempt < kTempNameTries && !state->file.Valid(); ++attempt) {
        state->tempPath = folder + "." + name + "." + std::to_string(NextNameNumber()) + ".new";
        state->file = OwnedFd(::open(state->tempPath.c_str(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, createMode));
        if (!state->file.Valid() && errno != EEXIST) return false;
    }
    if (!state->file.Valid()) return false;
    state_ = std::move(state);
    return true;
}

bool FileReplacement::Write(std::string_view bytes) {
    if (!state_ || state_->failed) return false;
    state_->pending.append(bytes);
    return state_->pending.size() < kWriteBuffer || state_->Flush();
}

bool FileReplacement::Commit() {
    if (!state_) return false;
    std::unique_ptr<State> state = std::move(state_);
    if (!state->Flush()) return false;
    int fd = state->file.Get();
    if (state->exists) {
        // The owner first, as a change of owner clears the set-id bits. Only
        // a privileged writer may give the file away: anyone else's new
        // file stays theirs, which is no failure.
        if (state->old.st_uid != ::geteuid() || state->old.st_gid != ::getegid())
            if (::fchown(fd, state->old.st_uid, state->old.st_gid) != 0) errno = 0;
        if (::fchmod(fd, state->FinalMode()) != 0) return false;
    }
    if (::fsync(fd) != 0) return false;
    state->file.Reset();
    if (::rename(state->tempPath.c_str(), state->target.c_str()) == 0) return true;
    ::unlink(state->tempPath.c_str());
    return false;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes, ReplacedKind kind) {
    FileReplacement replacement;
    return replacement.Begin(path, kind) && replacement.Write(bytes) && replacement.Commit();
}

}  // namespace tallow::platform
