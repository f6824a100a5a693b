// Mailslots on Linux: one spool file per mailslot in the user's runtime
// folder. A writer appends each message with its length in front, under an
// exclusive flock, so the file keeps message boundaries and holds any number
// of pending messages without a writer ever waiting. The reader takes them
// in order from its offset and empties the file once it has read them all.
// It holds a lock on the file's first byte (an open-file-description lock)
// for as long as it lives, which is how a writer tells a live mailslot from
// one whose reader has gone; inotify wakes the waiting reader.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/file_system.h"
#include "platform/mailslot.h"
#include "platform/posix/gui_module_posix.h"
#include "platform/posix/owned_fd_posix.h"

namespace tallow::platform {

namespace {

// Every message starts with its length as 4 bytes, least significant first.
constexpr size_t kLengthBytes = 4;
// Longest spool file name a file system takes.
constexpr size_t kMaxFileName = 255;
// How much of its file a reader reads at a time.
constexpr size_t kReadAhead = 64 * 1024;
// How many one-byte messages a writer sends in one write.
constexpr size_t kByteMessageBatch = 16 * 1024;
// The most a spool file holds: messages not read yet (and, until the reader
// has read them all and starts the file again, those read). A writer whose
// messages would pass it fails, so that writers cannot fill the runtime
// folder (memory, on most systems) faster than the reader reads. At 5 bytes
// per one-byte message, over three million characters of writestring.
constexpr off_t kMaxSpoolBytes = off_t(16) << 20;
// How often a reader without inotify looks for new messages while it waits.
constexpr uint32_t kPollSliceMs = 10;

// Holds a flock on a descriptor for as long as it lives.
class FlockHold {
public:
    FlockHold(int fd, int operation) : fd_(fd), held_(::flock(fd, operation) == 0) {}
    ~FlockHold() {
        if (held_) ::flock(fd_, LOCK_UN);
    }
    FlockHold(const FlockHold&) = delete;
    FlockHold& operator=(const FlockHold&) = delete;
    bool Held() const { return held_; }

private:
    int fd_;
    bool held_;
};

void Sleep(uint32_t milliseconds) {
    timespec request{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    timespec remaining;
    while (::nanosleep(&request, &remaining) != 0 && errno == EINTR)
        request = remaining;
}

// A directory of this user's; private also means no one else may enter it.
bool OwnDirectory(const std::string& path, bool private_) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return false;
    return !private_ || (st.st_mode & 077) == 0;
}

// $XDG_RUNTIME_DIR/tallow-mailslots when the runtime folder is set and is
// the user's; else tallow-mailslots-UID in the temporary folder. Made when
// missing; empty when it cannot be made or is not this user's alone.
std::string MailslotFolder() {
    std::string folder;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && OwnDirectory(runtime, false)) {
        folder = std::string(runtime) + "/tallow-mailslots";
    } else {
        const char* temp = std::getenv("TMPDIR");
        folder = std::string(temp && temp[0] == '/' ? temp : "/tmp") + "/tallow-mailslots-" +
                 std::to_string(::getuid());
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    return OwnDirectory(folder, true) ? folder : std::string();
}

// The spool file of a local mailslot name: letters, digits, '-' and '_' stay,
// every other byte is written %XX, so no name can leave the folder. Empty
// when the result is too long for a file name.
std::string SpoolFileName(const std::string& local) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string file;
    for (unsigned char c : local) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '_';
        if (plain) {
            file += char(c);
        } else {
            file += '%';
            file += kHex[c >> 4];
            file += kHex[c & 15];
        }
    }
    return file.size() <= kMaxFileName ? file : std::string();
}

struct flock ReaderLockRange() {
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = 0;
    range.l_len = 1;
    return range;
}

bool TakeReaderLock(int fd) {
    struct flock range = ReaderLockRange();
    return ::fcntl(fd, F_OFD_SETLK, &range) == 0;
}

bool ReaderAlive(int fd) {
    struct flock range = ReaderLockRange();
    return ::fcntl(fd, F_OFD_GETLK, &range) == 0 && range.l_type != F_UNLCK;
}

off_t FileSize(int fd) {
    struct stat st;
    return ::fstat(fd, &st) == 0 ? st.st_size : -1;
}

// Opens a spool file without waiting (a FIFO at its name would hold an open
// for writing until someone reads it), and only when it is a regular file.
OwnedFd OpenSpool(int folder, const std::string& fileName, int flags, mode_t mode = 0) {
    OwnedFd file(::openat(folder, fileName.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, mode));
    struct stat st;
    if (!file.Valid() || ::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return OwnedFd();
    return file;
}

// Appends a message with its length in front to frames.
void AddFrame(std::string& frames, const char* data, size_t size) {
    for (size_t i = 0; i < kLengthBytes; ++i)
        frames += char((size >> (8 * i)) & 0xFF);
    frames.append(data, size);
}

uint64_t FrameLength(const unsigned char* header) {
    uint64_t length = 0;
    for (size_t i = 0; i < kLengthBytes; ++i)
        length |= uint64_t(header[i]) << (8 * i);
    return length;
}

}  // namespace

struct Mailslot::State {
    OwnedFd file;
    OwnedFd folder;  // its flock orders the creating and removing of spool files
    OwnedFd notify;  // the reader's inotify instance on its file
    std::string folderPath;
    std::string fileName;
    bool reader = false;
    off_t offset = 0;         // reader: where the next message starts
    std::vector<char> cache;  // reader: the file's bytes from cacheStart on, as last read
    off_t cacheStart = 0;
    off_t seenEnd = 0;     // the end of what the last read of the file found
    bool missed = false;   // the last Read found nothing it could take
    off_t sizeAtMiss = 0;  // the file's size as that Read knew it

    // The folder and the file name of a mailslot name, or false.
    bool Locate(const std::string& name) {
        std::string local = LocalMailslotName(name);
        fileName = local.empty() ? std::string() : SpoolFileName(local);
        folderPath = fileName.empty() ? std::string() : MailslotFolder();
        if (folderPath.empty()) return false;
        folder = OwnedFd(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        return folder.Valid();
    }
    // A reader removes its file, unless another reader has replaced it.
    void Close() {
        if (reader && file.Valid() && folder.Valid()) {
            FlockHold hold(folder.Get(), LOCK_EX);
            struct stat mine, there;
            if (::fstat(file.Get(), &mine) == 0 &&
                ::fstatat(folder.Get(), fileName.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
                mine.st_dev == there.st_dev && mine.st_ino == there.st_ino)
                ::unlinkat(folder.Get(), fileName.c_str(), 0);
            file.Reset();
        }
        file.Reset();
        notify.Reset();
        reader = false;
        offset = cacheStart = seenEnd = 0;
        cache.clear();
        missed = false;
    }

    // A writer sends only while a reader holds the mailslot. The frames go
    // in one write under the file's lock, whole or not at all: a write cut
    // short is taken back, so the reader never sees a torn message.
    bool Append(const std::string& frames) {
        int fd = file.Get();
        if (!file.Valid() || reader || !ReaderAlive(fd)) return false;
        FlockHold hold(fd, LOCK_EX);
        off_t before = FileSize(fd);
        if (before < 0 || off_t(frames.size()) > kMaxSpoolBytes - before) return false;
        ssize_t n;
        do
            n = ::write(fd, frames.data(), frames.size());
        while (n < 0 && errno == EINTR);
        if (n == ssize_t(frames.size())) return true;
        if (n > 0 && before >= 0 && ::ftruncate(fd, before) != 0) {
            // Nothing more can be done: the reader waits for the rest of a
            // message that never comes.
        }
        return false;
    }

    // Once everything is read, the file starts again from nothing (unless a
    // writer is at it just now).
    void Compact() {
        if (offset == 0 || offset != cacheStart + off_t(cache.size()) || FileSize(file.Get()) != offset)
            return;
        FlockHold hold(file.Get(), LOCK_EX | LOCK_NB);
        if (!hold.Held() || FileSize(file.Get()) != offset || ::ftruncate(file.Get(), 0) != 0) return;
        offset = cacheStart = seenEnd = 0;
        cache.clear();
    }
    // Reads the file afresh from offset into the read-ahead.
    void Refill() {
        cache.resize(kReadAhead);
        ssize_t got = ::pread(file.Get(), cache.data(), kReadAhead, offset);
        cache.resize(got > 0 ? size_t(got) : 0);
        cacheStart = offset;
        seenEnd = offset + off_t(cache.size());
    }
    // Bytes of the read-ahead from offset on.
    size_t Cached() const {
        off_t end = cacheStart + off_t(cache.size());
        return offset >= cacheStart && offset < end ? size_t(end - offset) : 0;
    }
    long Miss(off_t seen) {
        missed = true;
        sizeAtMiss = seen;
        return -1;
    }
    // Takes the message at offset into data when it is all there and fits.
    // The length in front comes from another program and is only believed
    // for a message that is there whole, or read afresh: the end of the file
    // may still be growing.
    long Take(void* data, size_t size) {
        for (bool fresh : {false, true}) {
            if (fresh) Refill();
            size_t have = Cached();
            if (have < kLengthBytes) {
                if (fresh) return Miss(seenEnd);
                continue;
            }
            const unsigned char* at =
                reinterpret_cast<const unsigned char*>(cache.data()) + (offset - cacheStart);
            uint64_t length = FrameLength(at);
            bool whole = have - kLengthBytes >= length;
            if (!whole && !fresh) continue;
            if (length > size) return Miss(FileSize(file.Get()));
            if (whole) {
                std::memcpy(data, at + kLengthBytes, length);
            } else {
                // Longer than the read-ahead: straight into the caller's buffer.
                ssize_t got = ::pread(file.Get(), data, length, offset + off_t(kLengthBytes));
                if (got != ssize_t(length))
                    return Miss(offset + off_t(kLengthBytes) + std::max<off_t>(got, 0));
            }
            offset += off_t(kLengthBytes + length);
            missed = false;
            return long(length);
        }
        return -1;
    }
    // A complete message header is there that the last Read did not see.
    bool NewMessage() {
        off_t size = FileSize(file.Get());
        return size - offset >= off_t(kLengthBytes) && (!missed || size > sizeAtMiss);
    }
};

Mailslot::Mailslot() : state_(std::make_unique<State>()) {}

Mailslot::~Mailslot() {
    state_->Close();
}

bool Mailslot::Create(const std::string& name) {
    state_->Close();
    if (!state_->Locate(name)) return false;
    FlockHold hold(state_->folder.Get(), LOCK_EX);
    OwnedFd file = OpenSpool(state_->folder.Get(), state_->fileName, O_RDWR | O_CREAT, 0600);
    // A live reader holds the lock; a file without one is what a reader that
    // died left behind, and its messages go.
    if (!file.Valid() || !TakeReaderLock(file.Get()) || ::ftruncate(file.Get(), 0) != 0) return false;
    state_->file = std::move(file);
    state_->reader = true;
    state_->notify = OwnedFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (state_->notify.Valid()) {
        std::string path = state_->folderPath + "/" + state_->fileName;
        if (::inotify_add_watch(state_->notify.Get(), path.c_str(), IN_MODIFY) < 0) state_->notify.Reset();
    }
    return true;
}

bool Mailslot::Open(const std::string& name) {
    state_->Close();
    if (!state_->Locate(name)) return false;
    FlockHold hold(state_->folder.Get(), LOCK_SH);
    OwnedFd file = OpenSpool(state_->folder.Get(), state_->fileName, O_WRONLY | O_APPEND);
    if (!file.Valid() || !ReaderAlive(file.Get())) return false;
    state_->file = std::move(file);
    return true;
}

bool Mailslot::IsOpen() const {
    return state_->file.Valid();
}

bool Mailslot::Write(const void* data, size_t size) {
    if (size > UINT32_MAX) return false;
    std::string frame;
    AddFrame(frame, static_cast<const char*>(data), size);
    return state_->Append(frame);
}

// The messages go in batches, each in one write.
size_t Mailslot::WriteByteMessages(const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    std::string frames;
    size_t sent = 0;
    while (sent < size) {
        size_t batch = std::min(size - sent, kByteMessageBatch);
        frames.clear();
        for (size_t i = 0; i < batch; ++i)
            AddFrame(frames, bytes + sent + i, 1);
        if (!state_->Append(frames)) break;
        sent += batch;
    }
    return sent;
}

long Mailslot::Read(void* data, size_t size) {
    if (!IsOpen() || !state_->reader) return -1;
    state_->Compact();
    return state_->Take(data, size);
}

void Mailslot::AwaitMessage(uint32_t milliseconds) {
    State& s = *state_;
    if (milliseconds == 0) return;
    if (!IsOpen() || !s.reader) return Sleep(milliseconds);
    uint32_t start = TickCount();
    for (;;) {
        // Events are taken before looking, so none that comes after is lost.
        char events[4096];
        while (s.notify.Valid() && ::read(s.notify.Get(), events, sizeof events) > 0) {
        }
        if (s.NewMessage()) return;
        uint32_t elapsed = TickCount() - start;
        if (elapsed >= milliseconds) return;
        uint32_t left = milliseconds - elapsed;
        if (s.notify.Valid()) {
            pollfd p{s.notify.Get(), POLLIN, 0};
            PollPumping(&p, 1, int(left));
        } else {
            Sleep(std::min(left, kPollSliceMs));
        }
    }
}

}  // namespace tallow::platform
