// Reading a whole regular file with open, fstat and read.
#include "platform/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/owned_fd_posix.h"

namespace tallow::platform {

FileRead ReadFileBytes(const std::string& path, size_t maxSize, std::vector<uint8_t>& out) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer before fstat tells.
    OwnedFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) return FileRead::kCannotOpen;
    struct stat st;
    if (::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return FileRead::kCannotOpen;
    if (st.st_size < 0 || uint64_t(st.st_size) > maxSize) return FileRead::kTooLarge;
    out.resize(size_t(st.st_size));
    size_t done = 0;
    while (done < out.size()) {
        ssize_t n = ::read(file.Get(), out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    // A file that shrank meanwhile is read as far as it goes.
    out.resize(done);
    return done == size_t(st.st_size) ? FileRead::kRead : FileRead::kFailed;
}

}  // namespace tallow::platform
