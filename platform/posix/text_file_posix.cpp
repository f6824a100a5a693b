// Text files on Linux: the C library's streams, which keep every byte, with
// CR LF joined to LF on reading; lines are written with LF alone.
#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/confinement.h"

namespace tallow::platform {

// O_NONBLOCK: opening a FIFO must not wait for a writer before fstat tells
// what the path is. A regular file reads the same either way; the flag is
// cleared all the same.
bool TextFileIn::OpenFile(const std::string& path) {
    if (!PathAllowed(path)) return false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 || !(file_ = ::fdopen(fd, "r"))) {
        ::close(fd);
        return false;
    }
    return true;
}

int TextFileIn::GetFromFile() {
    if (!file_) return EOF;
    int c = std::getc(file_);
    if (c != '\r') return c;
    int next = std::getc(file_);
    if (next == '\n') return '\n';
    if (next != EOF) std::ungetc(next, file_);
    return c;
}

bool TextFileOut::OpenFile(const std::string& path) {
    return PathAllowed(path) && replacement_.Begin(path);
}

bool TextFileOut::WriteFileLine(std::string_view text) {
    return replacement_.Write(text) && replacement_.Write("\n");
}

}  // namespace tallow::platform
