// TCP stream sockets for the socket object: connecting, listening for one
// connection, sending, and receiving what has arrived without blocking. On
// Windows, Winsock 1.1 posts every socket event to a hidden message-only
// window, so each wait dispatches the thread's window messages; on Linux,
// BSD sockets with poll.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tallow::platform {

// A connection's owner, told when something arrives. On Windows the call
// comes from the hidden window's procedure whenever the thread dispatches
// messages (a wait of any statement, a dialog, a host's message loop);
// elsewhere from within Wait and Send. It must not throw.
class SocketEvents {
public:
    // Data or the end of the connection has arrived: the owner takes what it
    // has room for with Receive.
    virtual void OnSocketEvent() noexcept = 0;
    // Whether the owner has room for more data now. While it has none, data
    // stays in the system's buffers and the peer is held back.
    virtual bool WantsData() const noexcept = 0;

protected:
    ~SocketEvents() = default;
};

// A connected stream socket; destroying it closes the connection.
class StreamSocket {
public:
    virtual ~StreamSocket() = default;

    // Sends all bytes, waiting until the system has taken them; meanwhile
    // data that arrives goes to the owner (and on Windows the thread's
    // messages are dispatched). False when the connection failed or the peer
    // has gone; never raises a signal.
    virtual bool Send(std::string_view bytes) = 0;
    // Takes at most size bytes of what has arrived. 0 when nothing is
    // waiting or the connection has ended (Ended tells which).
    virtual size_t Receive(char* buffer, size_t size) = 0;
    // The peer closed the connection, or it failed, and everything it sent
    // has been received.
    virtual bool Ended() const = 0;
    // Waits at most milliseconds for data or the end of the connection (on
    // Windows for any window message, dispatching it) and hands what arrived
    // to the owner. Returns early when something arrives.
    virtual void Wait(uint32_t milliseconds) = 0;
    // The local end: its address in numeric form and its port.
    virtual bool LocalEndpoint(std::string& address, int& port) const = 0;
};

// A socket listening on a local address; destroying it stops listening.
class StreamListener {
public:
    virtual ~StreamListener() = default;

    // Waits at most milliseconds for a connection (dispatching the thread's
    // messages on Windows) and accepts it for events' owner; null when none
    // arrived in that time.
    virtual std::unique_ptr<StreamSocket> Accept(uint32_t milliseconds, SocketEvents& events) = 0;
};

// Starts the system's socket library for the process: the first call does,
// later ones only say whether it worked.
bool StartSockets();

// Connects to host (a numeric address or a name to resolve) and port,
// trying its addresses in turn, and waits until that succeeded or failed.
// Null on failure, and always when confined.
std::unique_ptr<StreamSocket> ConnectStream(const std::string& host, int port, SocketEvents& events);

// Listens on localAddress ("" for every local address) and port with a
// backlog of five. Null when the address cannot be resolved or used, and
// always when confined.
std::unique_ptr<StreamListener> ListenStream(const std::string& localAddress, int port);

}  // namespace tallow::platform
