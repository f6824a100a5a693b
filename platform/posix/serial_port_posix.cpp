// Serial ports on Linux: termios on the device, raw as a Windows port is,
// with reads that return at once (VMIN and VTIME 0), and poll for waiting.
// COM1 to COM256 are /dev/ttyS0 to /dev/ttyS255; any other name is a path.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string_view>

#include "platform/file_system.h"
#include "platform/posix/gui_module_posix.h"
#include "platform/posix/owned_fd_posix.h"
#include "platform/serial_port.h"

namespace tallow::platform {

namespace {

struct BaudRate {
    int baud;
    speed_t speed;
};

// The rates termios has, and the two-digit short forms that the Windows
// line-parameter parser accepts for the common ones (96 for 9600).
constexpr BaudRate kBaudRates[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
    {11, B110},      {15, B150},        {30, B300},        {60, B600},        {12, B1200},
    {24, B2400},     {48, B4800},       {96, B9600},       {19, B19200},
};

struct ParityMode {
    char letter;
    tcflag_t flags;
};

// None, even, odd, and the parity bit always set (mark) or always clear
// (space), which termios calls stick parity.
constexpr ParityMode kParities[] = {
    {'n', 0}, {'e', PARENB}, {'o', PARENB | PARODD}, {'m', PARENB | CMSPAR | PARODD}, {'s', PARENB | CMSPAR},
};

constexpr int kFewestDataBits = 5;
constexpr tcflag_t kDataBitFlags[] = {CS5, CS6, CS7, CS8};

const BaudRate* FindBaudRate(int baud) {
    for (const BaudRate& rate : kBaudRates)
        if (rate.baud == baud) return &rate;
    return nullptr;
}

// The parity flags of a one-letter word (any case), or false.
bool FindParity(const std::string& word, tcflag_t& flags) {
    if (word.size() != 1) return false;
    char letter = word[0] >= 'A' && word[0] <= 'Z' ? char(word[0] - 'A' + 'a') : word[0];
    for (const ParityMode& mode : kParities) {
        if (mode.letter == letter) {
            flags = mode.flags;
            return true;
        }
    }
    return false;
}

// Raw bytes both ways, no modem control, and reads that give what is
// waiting at once.
void MakeRaw(termios& t) {
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

// A pseudo-terminal (one end of a pair that socat makes, say) has no line:
// it keeps 8 data bits and no parity whatever it is asked, and the C
// library reports that as EINVAL after applying the rest.
bool IsPseudoTerminal(int fd) {
    constexpr std::string_view kPtsFolder = "/dev/pts/";
    char name[256];
    return ::ttyname_r(fd, name, sizeof name) == 0 && std::string_view(name).starts_with(kPtsFolder);
}

void Sleep(uint32_t milliseconds) {
    timespec request{time_t(milliseconds / 1000), long(milliseconds % 1000) * 1000000L};
    timespec remaining;
    while (::nanosleep(&request, &remaining) != 0 && errno == EINTR)
        request = remaining;
}

}  // namespace

struct SerialPort::State {
    OwnedFd fd;
};

std::string SerialDevicePath(const std::string& name) {
    int number = ComPortNumber(name);
    return number ? "/dev/ttyS" + std::to_string(number - 1) : name;
}

SerialPort::SerialPort() : state_(std::make_unique<State>()) {}
SerialPort::~SerialPort() = default;

// Opened without waiting for a carrier; a terminal then goes back to
// blocking writes, as a Windows port without write time-outs has. The
// advisory lock keeps a second object or program off the port.
bool SerialPort::Open(const std::string& name) {
    state_->fd.Reset();
    std::string path = SerialDevicePath(name);
    OwnedFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid() || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return false;
    termios t;
    if (::tcgetattr(fd.Get(), &t) == 0) {
        MakeRaw(t);
        if (::tcsetattr(fd.Get(), TCSANOW, &t) != 0) return false;
        int flags = ::fcntl(fd.Get(), F_GETFL);
        if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return false;
    }
    state_->fd = std::move(fd);
    return true;
}

bool SerialPort::IsOpen() const {
    return state_->fd.Valid();
}

bool SerialPort::SetLine(const LineSettings& s) {
    const BaudRate* rate = FindBaudRate(s.baud);
    tcflag_t parity = 0;
    if (!IsOpen() || !rate || !FindParity(s.parity, parity)) return false;
    if (s.dataBits < kFewestDataBits || s.dataBits >= kFewestDataBits + int(std::size(kDataBitFlags)))
        return false;
    if (s.stopBits != 1 && s.stopBits != 2) return false;
    termios t;
    if (::tcgetattr(state_->fd.Get(), &t) != 0) return false;
    MakeRaw(t);
    if (::cfsetispeed(&t, rate->speed) != 0 || ::cfsetospeed(&t, rate->speed) != 0) return false;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    t.c_cflag |= kDataBitFlags[s.dataBits - kFewestDataBits] | parity | (s.stopBits == 2 ? CSTOPB : 0);
    if (::tcsetattr(state_->fd.Get(), TCSANOW, &t) == 0) return true;
    return errno == EINVAL && IsPseudoTerminal(state_->fd.Get());
}

long SerialPort::Write(const void* data, size_t size) {
    if (!IsOpen()) return -1;
    const char* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(state_->fd.Get(), bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return done ? long(done) : -1;
        done += size_t(n);
    }
    return long(done);
}

long SerialPort::Read(void* data, size_t size) {
    if (!IsOpen()) return -1;
    for (;;) {
        ssize_t n = ::read(state_->fd.Get(), data, size);
        if (n >= 0) return long(n);
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        if (errno != EINTR) return -1;
    }
}

// A device that hangs up stays "ready" without input; the wait then sleeps
// its time out instead of spinning.
void SerialPort::AwaitInput(uint32_t milliseconds) {
    if (milliseconds == 0) return;
    if (!IsOpen()) return Sleep(milliseconds);
    uint32_t start = TickCount();
    for (;;) {
        uint32_t elapsed = TickCount() - start;
        if (elapsed >= milliseconds) return;
        pollfd p{state_->fd.Get(), POLLIN, 0};
        int r = PollPumping(&p, 1, int(milliseconds - elapsed));
        if (r < 0 && errno == EINTR) continue;
        if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
            return Sleep(milliseconds - std::min(milliseconds, TickCount() - start));
        return;
    }
}

}  // namespace tallow::platform
