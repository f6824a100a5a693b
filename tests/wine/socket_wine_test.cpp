// Sockets on Windows, under Wine: while a socket object waits for a reply,
// the thread's window messages keep being dispatched (a timer of the host
// goes on ticking), and the reply is taken as soon as it comes.
#include <winsock.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "tallow.h"
#include "tests/wine/wine_watchdog.h"

namespace {

// Every wait of the server ends by then; the watchdog ends a hung process.
constexpr int kServerTimeoutSeconds = 10;
constexpr DWORD kWatchdogMs = 60000;
constexpr DWORD kReplyDelayMs = 1000;
constexpr UINT kTimerMs = 50;

int timerTicks = 0;

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) {
    ++timerTicks;
}

// Waits at most the server's time-out for socket to become readable.
bool Readable(SOCKET socket) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval timeout{kServerTimeoutSeconds, 0};
    return select(0, &set, nullptr, nullptr, &timeout) == 1;
}

// A line server on 127.0.0.1 for one connection: a greeting, then the
// answer to the first line after kReplyDelayMs; it stays until the client
// closes.
class SlowServer {
public:
    SlowServer() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = inet_addr("127.0.0.1");
        int size = sizeof local;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
            listen(listener_, 1) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&local), &size) != 0)
            return;
        port_ = ntohs(local.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~SlowServer() {
        if (thread_.joinable()) thread_.join();
        closesocket(listener_);
    }

    int Port() const { return port_; }

private:
    void Serve() {
        if (!Readable(listener_)) return;
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        const char greeting[] = "220 ready\r\n";
        send(client, greeting, int(sizeof greeting - 1), 0);
        std::string received;
        char buffer[256];
        while (received.find("\r\n") == std::string::npos && Readable(client)) {
            int got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            received.append(buffer, size_t(got));
        }
        Sleep(kReplyDelayMs);
        const char reply[] = "250 late\r\n";
        send(client, reply, int(sizeof reply - 1), 0);
        while (Readable(client) && recv(client, buffer, sizeof buffer, 0) > 0) {
        }
        closesocket(client);
    }

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
};

class SocketWineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WSADATA data;
        WSAStartup(MAKEWORD(1, 1), &data);
        tallow::test::StartWatchdog(kWatchdogMs);
    }
};

TEST_F(SocketWineTest, WaitingForAReplyDispatchesTheThreadsMessages) {
    SlowServer server;
    ASSERT_NE(server.Port(), 0);
    std::string script =
        "new s as socket\n"
        "s.connect \"127.0.0.1\", " +
        std::to_string(server.Port()) +
        "\n"
        "if s.readstring(5) <> \"220 ready\" then exit 2 endif\n"
        "s.writestring \"SLOW\" + 13 + 10\n"
        "if s.readstring(5) <> \"250 late\" then exit 3 endif\n"
        "s.close\n"
        "exit 7\n";
    timerTicks = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, kTimerMs, CountTick);
    ASSERT_NE(timer, 0u);
    DWORD started = GetTickCount();
    int code = RunTallowBuffer(script.c_str());
    DWORD elapsed = GetTickCount() - started;
    KillTimer(nullptr, timer);
    EXPECT_EQ(code, 7);
    // The reply took a second: the timer ticked all along.
    EXPECT_GE(elapsed, kReplyDelayMs - 100);
    EXPECT_GE(timerTicks, 5);
}

}  // namespace
