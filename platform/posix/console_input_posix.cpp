// Console input on Linux: a terminal on standard input is switched between
// raw single-key reads and canonical line input through termios; pipes and
// files are read as they are.
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/console.h"
#include "platform/input_buffer.h"

namespace tallow::platform {

namespace {

bool IsTerminal(Handle input) {
    return ::isatty(FdFromHandle(input)) == 1;
}

long ReadRetrying(int fd, char* buffer, size_t size) {
    for (;;) {
        ssize_t n = ::read(fd, buffer, size);
        if (n < 0 && errno == EINTR) continue;
        return long(n);
    }
}

long SystemRead(Handle input, char* buffer, size_t size) {
    return ReadRetrying(FdFromHandle(input), buffer, size);
}

}  // namespace

bool SetInputMode(Handle input, InputMode mode) {
    int fd = FdFromHandle(input);
    termios settings;
    if (!IsTerminal(input) || ::tcgetattr(fd, &settings) != 0) return false;
    if (mode == InputMode::Raw) {
        settings.c_lflag &= ~tcflag_t(ICANON | ECHO);
        settings.c_cc[VMIN] = 1;
        settings.c_cc[VTIME] = 0;
    } else {
        settings.c_lflag |= ICANON | ECHO;
    }
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

// A blocking read waits by itself.
void WaitForInput(Handle) {}

long ReadLine(Handle input, char* buffer, size_t size) {
    int fd = FdFromHandle(input);
    if (size == 0) return 0;
    if (IsTerminal(input)) {
        // A canonical read returns one line; its line feed becomes the
        // carriage return and line feed a Windows console delivers.
        long n = ReadRetrying(fd, buffer, size - 1);
        if (n > 0 && buffer[n - 1] == '\n' && (n == 1 || buffer[n - 2] != '\r')) {
            buffer[n - 1] = '\r';
            buffer[n++] = '\n';
        }
        return n;
    }
    return BufferedLine(input, buffer, size, SystemRead);
}

long ReadKey(Handle input, char& key) {
    if (IsTerminal(input)) return ReadRetrying(FdFromHandle(input), &key, 1);
    return BufferedByte(input, key, SystemRead);
}

}  // namespace tallow::platform
