// Standard handles on Linux: file descriptors. The process's "standard
// handles" are a process-wide pair that starts as descriptors 0 and 1, so
// that replacing them, as a redirecting host does, touches no real descriptor.
#include "platform/console.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>

namespace tallow::platform {

namespace {
std::atomic<int> gStdin{0};
std::atomic<int> gStdout{1};
}  // namespace

Handle StdInput() {
    return HandleFromFd(gStdin);
}
Handle StdOutput() {
    return HandleFromFd(gStdout);
}
Handle StdError() {
    return HandleFromFd(2);
}

void SetStdHandles(Handle input, Handle output) {
    gStdin = FdFromHandle(input);
    gStdout = FdFromHandle(output);
}

Handle NullInput() {
    return HandleFromFd(::open("/dev/null", O_RDONLY | O_CLOEXEC));
}
Handle NullOutput() {
    return HandleFromFd(::open("/dev/null", O_WRONLY | O_CLOEXEC));
}

// Linux has no consoles to allocate: the process keeps its terminal.
bool AllocateConsole() {
    return false;
}
void ReleaseConsole() {}

// The terminal's title, by the escape sequence terminals understand, when
// standard output is a terminal that is not "dumb". Control characters are
// left out of the title so that it cannot end the sequence or start another.
void SetConsoleTitleText(const char* title) {
    int fd = FdFromHandle(StdOutput());
    const char* term = std::getenv("TERM");
    if (!::isatty(fd) || !term || !*term || std::string_view(term) == "dumb") return;
    std::string sequence = "\033]0;";
    for (const char* c = title; *c; ++c)
        if (static_cast<unsigned char>(*c) >= 0x20 && *c != 0x7F) sequence += *c;
    sequence += '\007';
    WriteBytes(StdOutput(), sequence.data(), sequence.size());
}
bool ReadConsoleTitleText(std::string&) {
    return false;
}

bool WriteBytes(Handle handle, const char* data, size_t size) {
    int fd = FdFromHandle(handle);
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

long ReadBytes(Handle handle, char* buffer, size_t size) {
    for (;;) {
        ssize_t n = ::read(FdFromHandle(handle), buffer, size);
        if (n < 0 && errno == EINTR) continue;
        return long(n);
    }
}

}  // namespace tallow::platform
