// Stream sockets on Linux: BSD sockets, non-blocking from the start, with
// poll for every wait. Names resolve through getaddrinfo to IPv4 and IPv6
// addresses alike; sends never raise SIGPIPE.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <utility>

#include "platform/confinement.h"
#include "platform/posix/gui_module_posix.h"
#include "platform/socket.h"

namespace tallow::platform {

namespace {

constexpr int kBacklog = 5;
constexpr int kMaxPort = 65535;
constexpr int kNoTimeout = -1;

// A descriptor closed when its owner goes.
class SocketFd {
public:
    explicit SocketFd(int fd) : fd_(fd) {}
    ~SocketFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    SocketFd(SocketFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    SocketFd(const SocketFd&) = delete;
    SocketFd& operator=(const SocketFd&) = delete;
    SocketFd& operator=(SocketFd&&) = delete;

    int Get() const { return fd_; }

private:
    int fd_;
};

struct AddrInfoFree {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};
using AddrList = std::unique_ptr<addrinfo, AddrInfoFree>;

// The addresses of host and port for a stream socket; an empty host is
// every local IPv4 address with passive, and nothing without (getaddrinfo
// would make it the loopback address). Null when it does not resolve.
AddrList Resolve(const std::string& host, int port, bool passive) {
    if (port < 0 || port > kMaxPort || (host.empty() && !passive)) return nullptr;
    addrinfo hints{};
    hints.ai_family = passive && host.empty() ? AF_INET : AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = passive ? AI_PASSIVE : 0;
    addrinfo* list = nullptr;
    std::string service = std::to_string(port);
    if (::getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &list) != 0)
        return nullptr;
    return AddrList(list);
}

int PollTimeout(uint32_t milliseconds) {
    return milliseconds > uint32_t(INT_MAX) ? INT_MAX : int(milliseconds);
}

// poll, going on after a signal (with the whole time again: the callers
// wait in short passes).
int PollOne(int fd, short events, int timeout, short& revents) {
    pollfd p{fd, events, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, timeout);
    } while (rc < 0 && errno == EINTR);
    revents = rc > 0 ? p.revents : 0;
    return rc;
}

// Connects the non-blocking fd and waits until that succeeded or failed.
bool ConnectWaiting(int fd, const sockaddr* address, socklen_t length) {
    if (::connect(fd, address, length) == 0) return true;
    if (errno != EINPROGRESS && errno != EINTR) return false;
    short revents;
    if (PollOne(fd, POLLOUT, kNoTimeout, revents) <= 0) return false;
    int error = 0;
    socklen_t size = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

class PosixSocket final : public StreamSocket {
public:
    PosixSocket(SocketFd fd, SocketEvents& events) : fd_(std::move(fd)), events_(events) {}

    bool Send(std::string_view bytes) override {
        while (!bytes.empty()) {
            ssize_t sent = ::send(fd_.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent > 0) {
                bytes.remove_prefix(size_t(sent));
            } else if (sent < 0 && errno == EINTR) {
                continue;
            } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                WaitWritable();
            } else {
                return false;
            }
        }
        return true;
    }

    size_t Receive(char* buffer, size_t size) override {
        if (ended_ || size == 0) return 0;
        for (;;) {
            ssize_t got = ::recv(fd_.Get(), buffer, size, 0);
            if (got > 0) return size_t(got);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
            // 0 is the peer's orderly close; anything else a failed connection.
            ended_ = true;
            return 0;
        }
    }

    bool Ended() const override { return ended_; }

    void Wait(uint32_t milliseconds) override {
        if (ended_ || !events_.WantsData()) {
            // Nothing to wait for: only the time passes.
            PollPumping(nullptr, 0, PollTimeout(milliseconds));
            return;
        }
        pollfd p{fd_.Get(), POLLIN, 0};
        if (PollPumping(&p, 1, PollTimeout(milliseconds)) > 0) events_.OnSocketEvent();
    }

    bool LocalEndpoint(std::string& address, int& port) const override {
        sockaddr_storage local{};
        socklen_t size = sizeof local;
        if (::getsockname(fd_.Get(), reinterpret_cast<sockaddr*>(&local), &size) != 0) return false;
        char text[INET6_ADDRSTRLEN] = {};
        const void* raw = nullptr;
        if (local.ss_family == AF_INET) {
            auto* v4 = reinterpret_cast<const sockaddr_in*>(&local);
            raw = &v4->sin_addr;
            port = ntohs(v4->sin_port);
        } else if (local.ss_family == AF_INET6) {
            auto* v6 = reinterpret_cast<const sockaddr_in6*>(&local);
            raw = &v6->sin6_addr;
            port = ntohs(v6->sin6_port);
        } else {
            return false;
        }
        if (!::inet_ntop(local.ss_family, raw, text, sizeof text)) return false;
        address = text;
        return true;
    }

private:
    // Waits until the socket takes more bytes, handing the owner what
    // arrives meanwhile, so that two peers that both send much never wait
    // for each other.
    void WaitWritable() {
        short wanted = POLLOUT;
        if (!ended_ && events_.WantsData()) wanted |= POLLIN;
        short revents;
        if (PollOne(fd_.Get(), wanted, kNoTimeout, revents) > 0 && (revents & POLLIN))
            events_.OnSocketEvent();
    }

    SocketFd fd_;
    SocketEvents& events_;
    bool ended_ = false;
};

class PosixListener final : public StreamListener {
public:
    explicit PosixListener(SocketFd fd) : fd_(std::move(fd)) {}

    std::unique_ptr<StreamSocket> Accept(uint32_t milliseconds, SocketEvents& events) override {
        short revents;
        if (PollOne(fd_.Get(), POLLIN, PollTimeout(milliseconds), revents) <= 0) return nullptr;
        // The caller may try again when the connection went away meanwhile.
        SocketFd connection(::accept4(fd_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (connection.Get() < 0) return nullptr;
        return std::make_unique<PosixSocket>(std::move(connection), events);
    }

private:
    SocketFd fd_;
};

}  // namespace

bool StartSockets() {
    return true;
}

std::unique_ptr<StreamSocket> ConnectStream(const std::string& host, int port, SocketEvents& events) {
    if (Confined()) return nullptr;
    AddrList list = Resolve(host, port, false);
    for (addrinfo* a = list.get(); a; a = a->ai_next) {
        SocketFd fd(::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol));
        if (fd.Get() >= 0 && ConnectWaiting(fd.Get(), a->ai_addr, a->ai_addrlen))
            return std::make_unique<PosixSocket>(std::move(fd), events);
    }
    return nullptr;
}

std::unique_ptr<StreamListener> ListenStream(const std::string& localAddress, int port) {
    if (Confined()) return nullptr;
    AddrList list = Resolve(localAddress, port, true);
    for (addrinfo* a = list.get(); a; a = a->ai_next) {
        SocketFd fd(::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol));
        if (fd.Get() < 0) continue;
        // A port that a closed connection still holds in TIME_WAIT may be
        // listened on again at once.
        int on = 1;
        ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd.Get(), a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd.Get(), kBacklog) == 0)
            return std::make_unique<PosixListener>(std::move(fd));
    }
    return nullptr;
}

}  // namespace tallow::platform
