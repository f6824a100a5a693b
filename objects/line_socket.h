// One connection of a socket object: the platform's stream socket and the
// lines received on it, with the waits of the object's members. A wait ends
// as soon as what it waits for arrives, and at once when the peer has
// closed the connection and nothing is left to read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "objects/line_queue.h"
#include "platform/socket.h"

namespace tallow {

class Program;

// Longest single wait of a pass: the most a wait sleeps before it looks at
// its deadline again (arriving data ends a pass sooner).
constexpr uint32_t kWaitPass = 500;
// Longest wait a script can ask for (about 31,700 years), so that the
// milliseconds of any number of seconds fit.
constexpr uint64_t kMaxWaitMilliseconds = uint64_t(1) << 50;

// The milliseconds of a wait of seconds: truncated, 0 for negative values
// and NaN, at most kMaxWaitMilliseconds.
uint64_t WaitMilliseconds(double seconds);

class LineSocket final : public platform::SocketEvents {
public:
    // Connects to host and port; null when that failed. What the connection
    // receives counts against program's memory limit (none when null): it
    // takes nothing while the program has no room left, and the data waits
    // in the system meanwhile.
    static std::unique_ptr<LineSocket> Connect(const std::string& host, int port, Program* program);
    // Listens on the local address and port for at most milliseconds and
    // accepts the first connection; null when none came or the address
    // cannot be listened on. Listening ends when it returns. program as for
    // Connect.
    static std::unique_ptr<LineSocket> AcceptOne(const std::string& localAddress, int port,
                                                 uint64_t milliseconds, Program* program);

    // Sends text as it is. A connection the peer has closed takes it
    // silently.
    void Send(std::string_view text);
    // The oldest received line, waiting for one at most milliseconds; false
    // at the deadline, or at once when the peer has closed the connection
    // and no line is left.
    bool ReadLine(uint64_t milliseconds, std::string& line);
    // Takes received lines until one contains text and gives true; false at
    // the deadline or when the peer has closed and the lines are used up.
    bool WaitFor(std::string_view text, uint64_t milliseconds);
    bool LocalEndpoint(std::string& address, int& port) const {
        return socket_->LocalEndpoint(address, port);
    }
    // The bytes its lines hold, for the program's memory budget.
    size_t BytesHeld() const { return queue_.Held(); }

    void OnSocketEvent() noexcept override;
    bool WantsData() const noexcept override { return socket_ && Room() > 0 && !socket_->Ended(); }

private:
    explicit LineSocket(Program* program) : program_(program) {}
    // Bytes it may take now: what its queue and the program's memory limit
    // leave.
    size_t Room() const noexcept;
    // Takes what has arrived while the queue has room. True when it stopped
    // because the queue is full (more may be waiting in the system).
    bool TakeArrived();

    Program* program_;
    std::unique_ptr<platform::StreamSocket> socket_;
    LineQueue queue_;
};

}  // namespace tallow
