// Connections of the socket object and their waits. Every wait goes in
// passes: take what has arrived, look for what is wanted, then wait at most
// a pass for more (the platform ends the pass when something arrives).
#include "line_socket.h"

#include <algorithm>

#include "core/program.h"
#include "platform/file_system.h"
#include "platform/wait_deadline.h"

namespace tallow {

namespace {

// The most bytes taken from the system at once.
constexpr size_t kReceiveBuffer = 4096;

// Milliseconds left of a wait, counted from tick differences so that a
// wrapping tick count does not mislead it; no more than the run's time
// limit leaves.
class Countdown {
public:
    explicit Countdown(uint64_t milliseconds)
        : left_(platform::WaitWithinDeadline(milliseconds)), last_(platform::TickCount()) {}

    uint64_t Left() {
        uint32_t now = platform::TickCount();
        uint64_t passed = uint32_t(now - last_);
        last_ = now;
        left_ = passed >= left_ ? 0 : left_ - passed;
        return left_;
    }

    // The length of the next pass.
    static uint32_t Pass(uint64_t left) { return uint32_t(std::min<uint64_t>(left, kWaitPass)); }

private:
    uint64_t left_;
    uint32_t last_;
};

}  // namespace

uint64_t WaitMilliseconds(double seconds) {
    if (!(seconds > 0)) return 0;
    double milliseconds = seconds * 1000.0;
    if (milliseconds >= double(kMaxWaitMilliseconds)) return kMaxWaitMilliseconds;
    return uint64_t(milliseconds);
}

std::unique_ptr<LineSocket> LineSocket::Connect(const std::string& host, int port, Program* program) {
    std::unique_ptr<LineSocket> connection(new LineSocket(program));
    connection->socket_ = platform::ConnectStream(host, port, *connection);
    if (!connection->socket_) return nullptr;
    return connection;
}

std::unique_ptr<LineSocket> LineSocket::AcceptOne(const std::string& localAddress, int port,
                                                  uint64_t milliseconds, Program* program) {
    std::unique_ptr<platform::StreamListener> listener = platform::ListenStream(localAddress, port);
    if (!listener) return nullptr;
    std::unique_ptr<LineSocket> connection(new LineSocket(program));
    Countdown countdown(milliseconds);
    for (;;) {
        // A last look without waiting once the time is up.
        uint64_t left = countdown.Left();
        connection->socket_ = listener->Accept(Countdown::Pass(left), *connection);
        if (connection->socket_) return connection;
        if (left == 0) return nullptr;
    }
}

void LineSocket::Send(std::string_view text) {
    socket_->Send(text);
}

bool LineSocket::ReadLine(uint64_t milliseconds, std::string& line) {
    Countdown countdown(milliseconds);
    for (;;) {
        bool full = TakeArrived();
        if (queue_.TakeLine(line)) return true;
        if (socket_->Ended()) return false;
        uint64_t left = countdown.Left();
        if (left == 0) return false;
        // A full queue read meanwhile takes more at once; with no room in the
        // program's memory the pass only waits.
        if (!full || Room() == 0) socket_->Wait(Countdown::Pass(left));
    }
}

bool LineSocket::WaitFor(std::string_view text, uint64_t milliseconds) {
    Countdown countdown(milliseconds);
    std::string line;
    for (;;) {
        // When the queue was full, more waits in the system: the next pass
        // takes it without waiting.
        bool full = TakeArrived();
        while (queue_.TakeLine(line))
            if (line.find(text) != std::string::npos) return true;
        if (socket_->Ended()) return false;
        uint64_t left = countdown.Left();
        if (left == 0) return false;
        // A full queue read meanwhile takes more at once; with no room in the
        // program's memory the pass only waits.
        if (!full || Room() == 0) socket_->Wait(Countdown::Pass(left));
    }
}

void LineSocket::OnSocketEvent() noexcept {
    // On Windows events may come while connecting, before the socket is
    // ours; what arrived then is taken by the next read.
    if (!socket_) return;
    try {
        TakeArrived();
    } catch (...) {
        // No memory for the line: the bytes are lost, the connection goes on.
    }
}

size_t LineSocket::Room() const noexcept {
    size_t room = queue_.Room();
    return program_ ? std::min(room, program_->MemoryRoom()) : room;
}

bool LineSocket::TakeArrived() {
    char buffer[kReceiveBuffer];
    while (!socket_->Ended()) {
        size_t room = Room();
        if (room == 0) return true;
        size_t got = socket_->Receive(buffer, std::min(room, sizeof buffer));
        if (got == 0) break;
        queue_.Feed(std::string_view(buffer, got));
        if (program_) program_->NoteMemory(got);
    }
    if (socket_->Ended()) queue_.Finish();
    return false;
}

}  // namespace tallow
