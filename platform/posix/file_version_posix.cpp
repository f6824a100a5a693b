// Linux has no version API: SystemFileVersion sends callers to the file's
// bytes, which RandomAccessFile reads with pread.
#include "platform/file_version.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/confinement.h"

namespace tallow::platform {

VersionLookup SystemFileVersion(const std::string&, FileVersion&) {
    return VersionLookup::kNoSystemLookup;
}

RandomAccessFile::~RandomAccessFile() {
    if (handle_ >= 0) ::close(int(handle_));
}

bool RandomAccessFile::Open(const std::string& path) {
    if (handle_ >= 0 || !PathAllowed(path)) return false;
    // O_NONBLOCK: a FIFO must not hold the open up before fstat tells.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    handle_ = fd;
    size_ = uint64_t(st.st_size);
    return true;
}

bool RandomAccessFile::ReadAt(uint64_t offset, void* out, size_t size) {
    if (handle_ < 0 || offset > size_ || size > size_ - offset) return false;
    char* to = static_cast<char*>(out);
    while (size > 0) {
        ssize_t n = ::pread(int(handle_), to, size, off_t(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        to += n;
        offset += uint64_t(n);
        size -= size_t(n);
    }
    return true;
}

}  // namespace tallow::platform
