// Stream sockets on Windows: Winsock 1.1 (IPv4), every socket non-blocking
// with its events posted by WSAAsyncSelect to a message-only window of its
// own. Connecting, sending and every wait dispatch the thread's messages
// until the event they need arrives, so windows stay responsive, and data
// is taken in whenever the thread dispatches messages.
#include <winsock.h>

#include <climits>
#include <cstring>
#include <vector>

#include "platform/confinement.h"
#include "platform/socket.h"
#include "platform/win32/unique_handle_win32.h"

namespace tallow::platform {

namespace {

constexpr char kWindowClass[] = "TallowSocketEvents";
// The message Winsock posts to a socket's window: wParam is the socket,
// lParam the event and its error.
constexpr UINT kSocketMessage = WM_APP + 1;
constexpr int kBacklog = 5;
constexpr int kMaxPort = 65535;
// Longest single wait of connect and send before they look again at what
// they wait for (an event normally ends the wait much sooner).
constexpr DWORD kEventPass = 500;
constexpr long kConnectionEvents = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;

// Receives the events Winsock posts for one socket. Called from the window
// procedure; must not throw.
class EventTarget {
public:
    virtual void OnSelectEvent(SOCKET socket, int event, int error) noexcept = 0;

protected:
    ~EventTarget() = default;
};

LRESULT CALLBACK SocketWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kSocketMessage) return DefWindowProcA(window, message, wParam, lParam);
    try {
        auto* target = reinterpret_cast<EventTarget*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (target)
            target->OnSelectEvent(SOCKET(wParam), WSAGETSELECTEVENT(lParam), WSAGETSELECTERROR(lParam));
    } catch (...) {
        // Nothing may leave a window procedure; the event is lost.
    }
    return 0;
}

// The module that holds this code (TallowCore, or a program linked with
// the engine): the window class belongs to it.
HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       kWindowClass, &module);
    return module;
}

bool RegisterWindowClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = SocketWindowProc;
        windowClass.hInstance = ThisModule();
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

// A message-only window whose socket events go to target.
class EventWindow {
public:
    explicit EventWindow(EventTarget& target) {
        if (!RegisterWindowClass()) return;
        window_ =
            CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), nullptr);
        if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&target));
    }
    ~EventWindow() {
        if (window_) DestroyWindow(window_);
    }
    EventWindow(const EventWindow&) = delete;
    EventWindow& operator=(const EventWindow&) = delete;

    HWND Get() const { return window_; }

private:
    HWND window_ = nullptr;
};

void CloseSocketHandle(SOCKET socket) {
    closesocket(socket);
}
// A socket closed when its owner goes.
using SocketHandle = UniqueHandle<SOCKET, CloseSocketHandle, INVALID_SOCKET>;

// Dispatches every message the thread has waiting.
void DispatchWaiting() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Waits at most milliseconds for a message of the thread (one already
// waiting counts) and dispatches all that are there.
void WaitForMessages(DWORD milliseconds) {
    MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    DispatchWaiting();
}

// The IPv4 addresses of a dotted address or a host name. Only entries of
// the size of an IPv4 address are copied. An empty name has none (the
// system would give the local host's own addresses).
std::vector<in_addr> ResolveIPv4(const std::string& host) {
    std::vector<in_addr> addresses;
    if (host.empty()) return addresses;
    in_addr address{};
    address.s_addr = inet_addr(host.c_str());
    if (address.s_addr != INADDR_NONE) {
        addresses.push_back(address);
        return addresses;
    }
    const hostent* entry = gethostbyname(host.c_str());
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != int(sizeof(in_addr))) return addresses;
    for (char** item = entry->h_addr_list; *item; ++item) {
        std::memcpy(&address, *item, sizeof address);
        addresses.push_back(address);
    }
    return addresses;
}

sockaddr_in SocketAddress(in_addr address, int port) {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_addr = address;
    result.sin_port = htons(u_short(port));
    return result;
}

class Win32Socket final : public StreamSocket, private EventTarget {
public:
    explicit Win32Socket(SocketEvents& events) : window_(*this), events_(events) {}

    // Connects a new socket to address and port, waiting for the outcome.
    bool Connect(in_addr address, int port) {
        socket_.Reset(socket(AF_INET, SOCK_STREAM, 0));
        if (!socket_ || !window_.Get()) return false;
        if (WSAAsyncSelect(socket_.Get(), window_.Get(), kSocketMessage, kConnectionEvents) != 0)
            return false;
        sockaddr_in target = SocketAddress(address, port);
        if (connect(socket_.Get(), reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0)
            return true;
        if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
        while (!connectDone_)
            WaitForMessages(kEventPass);
        return connectError_ == 0;
    }

    // Takes over a socket that accept gave; its events come here from now on.
    bool Adopt(SOCKET accepted) {
        socket_.Reset(accepted);
        return window_.Get() &&
               WSAAsyncSelect(socket_.Get(), window_.Get(), kSocketMessage, kConnectionEvents) == 0;
    }

    bool Send(std::string_view bytes) override {
        while (!bytes.empty()) {
            int chunk = bytes.size() > size_t(INT_MAX) ? INT_MAX : int(bytes.size());
            int sent = send(socket_.Get(), bytes.data(), chunk, 0);
            if (sent > 0) {
                bytes.remove_prefix(size_t(sent));
                continue;
            }
            if (sent == 0 || WSAGetLastError() != WSAEWOULDBLOCK) return false;
            // FD_WRITE says when the system takes more; the end of the
            // connection ends the wait too (the next send then fails).
            writable_ = false;
            while (!writable_ && !closeSeen_)
                WaitForMessages(kEventPass);
        }
        return true;
    }

    size_t Receive(char* buffer, size_t size) override {
        if (ended_ || size == 0) return 0;
        int wanted = size > size_t(INT_MAX) ? INT_MAX : int(size);
        int got = recv(socket_.Get(), buffer, wanted, 0);
        if (got > 0) return size_t(got);
        if (got == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) return 0;
        // 0 is the peer's orderly close; an error a failed connection.
        ended_ = true;
        return 0;
    }

    bool Ended() const override { return ended_; }

    // Any message ends the wait: the window procedure has already handed a
    // socket event to the owner when it returns.
    void Wait(uint32_t milliseconds) override { WaitForMessages(milliseconds); }

    bool LocalEndpoint(std::string& address, int& port) const override {
        sockaddr_in local{};
        int size = sizeof local;
        if (getsockname(socket_.Get(), reinterpret_cast<sockaddr*>(&local), &size) != 0) return false;
        if (local.sin_family != AF_INET) return false;
        const char* text = inet_ntoa(local.sin_addr);
        if (!text) return false;
        address = text;
        port = ntohs(local.sin_port);
        return true;
    }

private:
    void OnSelectEvent(SOCKET socket, int event, int error) noexcept override {
        if (socket != socket_.Get()) return;
        switch (event) {
            case FD_CONNECT:
                connectDone_ = true;
                connectError_ = error;
                break;
            case FD_WRITE:
                writable_ = true;
                break;
            case FD_CLOSE:
                closeSeen_ = true;
                events_.OnSocketEvent();
                break;
            case FD_READ:
                if (error == 0) events_.OnSocketEvent();
                break;
        }
    }

    // The window goes after the socket, so no event finds its target gone.
    EventWindow window_;
    SocketHandle socket_;
    SocketEvents& events_;
    bool connectDone_ = false;
    int connectError_ = 0;
    bool writable_ = true;
    bool closeSeen_ = false;
    bool ended_ = false;
};

class Win32Listener final : public StreamListener, private EventTarget {
public:
    Win32Listener() : window_(*this) {}

    bool Listen(in_addr address, int port) {
        socket_.Reset(socket(AF_INET, SOCK_STREAM, 0));
        if (!socket_ || !window_.Get()) return false;
        sockaddr_in local = SocketAddress(address, port);
        return bind(socket_.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0 &&
               listen(socket_.Get(), kBacklog) == 0 &&
               WSAAsyncSelect(socket_.Get(), window_.Get(), kSocketMessage, FD_ACCEPT) == 0;
    }

    std::unique_ptr<StreamSocket> Accept(uint32_t milliseconds, SocketEvents& events) override {
        if (!pending_) WaitForMessages(milliseconds);
        if (!pending_) return nullptr;
        pending_ = false;
        // The connection may have gone again meanwhile; the caller then
        // waits on.
        SOCKET accepted = accept(socket_.Get(), nullptr, nullptr);
        if (accepted == INVALID_SOCKET) return nullptr;
        auto connection = std::make_unique<Win32Socket>(events);
        if (!connection->Adopt(accepted)) return nullptr;
        return connection;
    }

private:
    void OnSelectEvent(SOCKET socket, int event, int error) noexcept override {
        if (socket == socket_.Get() && event == FD_ACCEPT && error == 0) pending_ = true;
    }

    EventWindow window_;
    SocketHandle socket_;
    bool pending_ = false;
};

}  // namespace

// Winsock stays started until the process ends: cleaning it up when the
// library unloads would run under the loader lock.
bool StartSockets() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(1, 1), &data) == 0;
    }();
    return started;
}

std::unique_ptr<StreamSocket> ConnectStream(const std::string& host, int port, SocketEvents& events) {
    if (Confined() || port < 0 || port > kMaxPort || !StartSockets()) return nullptr;
    for (in_addr address : ResolveIPv4(host)) {
        auto connection = std::make_unique<Win32Socket>(events);
        if (connection->Connect(address, port)) return connection;
    }
    return nullptr;
}

std::unique_ptr<StreamListener> ListenStream(const std::string& localAddress, int port) {
    if (Confined() || port < 0 || port > kMaxPort || !StartSockets()) return nullptr;
    in_addr address{};
    address.s_addr = htonl(INADDR_ANY);
    if (!localAddress.empty()) {
        std::vector<in_addr> addresses = ResolveIPv4(localAddress);
        if (addresses.empty()) return nullptr;
        address = addresses.front();
    }
    auto listener = std::make_unique<Win32Listener>();
    if (!listener->Listen(address, port)) return nullptr;
    return listener;
}

}  // namespace tallow::platform
