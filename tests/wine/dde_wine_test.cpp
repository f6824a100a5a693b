// ddeclient under Wine, against a DDEML server on a thread of this process:
// commands reach the server, a supplied item comes back as text, an
// unsupplied one gives "", and a service nobody offers fails creation while
// leaving an object that refuses commands.
#include <windows.h>
// After windows.h, whose types it uses.
#include <ddeml.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "tallow.h"
#include "tests/wine/wine_watchdog.h"

namespace {

constexpr DWORD kWatchdogMs = 60000;
constexpr DWORD kServerStartMs = 10000;
constexpr DWORD kCommandWaitMs = 5000;
constexpr char kTopic[] = "System";
constexpr char kItem[] = "status";
constexpr char kItemValue[] = "ready";

DWORD serverInstance = 0;
std::mutex commandsLock;
std::string commands;  // each command the server got, followed by '|'

// The server's call-back: the topic kTopic only, every execute acknowledged
// and remembered, and kItem in CF_TEXT as the only item. Nothing may throw
// out of it.
HDDEDATA CALLBACK ServerCallback(UINT type, UINT format, HCONV, HSZ topic, HSZ item, HDDEDATA data, ULONG_PTR,
                                 ULONG_PTR) noexcept {
    char name[256] = "";
    switch (type) {
        case XTYP_CONNECT:
            DdeQueryStringA(serverInstance, topic, name, sizeof name, CP_WINANSI);
            return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(lstrcmpiA(name, kTopic) == 0));
        case XTYP_EXECUTE: {
            char text[1024] = "";
            DdeGetData(data, reinterpret_cast<LPBYTE>(text), sizeof text - 1, 0);
            try {
                std::lock_guard<std::mutex> hold(commandsLock);
                commands += text;
                commands += '|';
            } catch (...) {
                return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
            }
            return reinterpret_cast<HDDEDATA>(DDE_FACK);
        }
        case XTYP_REQUEST:
            DdeQueryStringA(serverInstance, item, name, sizeof name, CP_WINANSI);
            if (format != CF_TEXT || lstrcmpiA(name, kItem) != 0) return nullptr;
            return DdeCreateDataHandle(serverInstance,
                                       reinterpret_cast<LPBYTE>(const_cast<char*>(kItemValue)),
                                       sizeof kItemValue, 0, item, CF_TEXT, 0);
    }
    return nullptr;
}

// A DDEML server under a service name unique to this process, on a thread of
// its own that pumps its messages until the server is destroyed.
class Server {
public:
    explicit Server(const std::string& service) {
        HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, service, started] { Serve(service, started); });
        WaitForSingleObject(started, kServerStartMs);
        CloseHandle(started);
    }
    ~Server() {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    bool Running() const { return running_; }

private:
    void Serve(const std::string& service, HANDLE started) {
        threadId_ = GetCurrentThreadId();
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // makes the thread's queue
        // A non-zero instance would ask to change an instance that the
        // previous server has already ended.
        serverInstance = 0;
        if (DdeInitializeA(&serverInstance, ServerCallback, APPCLASS_STANDARD | CBF_SKIP_ALLNOTIFICATIONS,
                           0) != DMLERR_NO_ERROR) {
            SetEvent(started);
            return;
        }
        HSZ name = DdeCreateStringHandleA(serverInstance, service.c_str(), CP_WINANSI);
        running_ = DdeNameService(serverInstance, name, nullptr, DNS_REGISTER) != nullptr;
        SetEvent(started);
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        DdeNameService(serverInstance, name, nullptr, DNS_UNREGISTER);
        DdeFreeStringHandle(serverInstance, name);
        DdeUninitialize(serverInstance);
        serverInstance = 0;
    }

    std::thread thread_;
    std::atomic<DWORD> threadId_{0};
    std::atomic<bool> running_{false};
};

std::string Commands() {
    std::lock_guard<std::mutex> hold(commandsLock);
    return commands;
}

// Waits until the server has the commands expected (execute does not wait
// for the server), pumping this thread's messages meanwhile.
bool ServerGot(const std::string& expected) {
    for (DWORD waited = 0; waited < kCommandWaitMs; waited += 50) {
        if (Commands() == expected) return true;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(50);
    }
    return false;
}

std::string ServiceName() {
    return "TallowDdeTest" + std::to_string(GetCurrentProcessId());
}

class DdeWineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tallow::test::StartWatchdog(kWatchdogMs); }
};

// The requests come first: an execute does not wait for its acknowledgement,
// which may then arrive while a later request waits for its answer.
TEST_F(DdeWineTest, ExecuteAndRequestReachTheServer) {
    Server server(ServiceName());
    ASSERT_TRUE(server.Running());
    std::string script = "new d as ddeclient \"" + ServiceName() +
                         "\", \"system\"\n"
                         "if d.request(\"STATUS\") <> \"ready\" then exit 2 endif\n"
                         "if d.request(\"other\") <> \"\" then exit 3 endif\n"
                         "d.execute \"[first]\"\n"
                         "d.execute \"second\"\n"
                         "exit 7\n";
    EXPECT_EQ(RunTallowBuffer(script.c_str()), 7);
    EXPECT_TRUE(ServerGot("[first]|second|")) << Commands();
}

TEST_F(DdeWineTest, RefusedTopicAndMissingServiceFailCreation) {
    Server server(ServiceName());
    ASSERT_TRUE(server.Running());
    std::string script =
        "try\n"
        "  new d as ddeclient \"" +
        ServiceName() +
        "\", \"no such topic\"\n"
        "  exit 2\n"
        "catch\n"
        "  if ErrMsg$ <> \"Could not connect to DDE server!\" then exit 3 endif\n"
        "endtry\n"
        "try\n"
        "  new n as ddeclient \"TallowNobody\", \"system\"\n"
        "  exit 4\n"
        "catch\n"
        "endtry\n"
        "if n.request(\"status\") <> \"\" then exit 5 endif\n"
        "try\n"
        "  n.execute \"lost\"\n"
        "  exit 6\n"
        "catch\n"
        "  if ErrMsg$ <> \"DDE conversation not active!\" then exit 8 endif\n"
        "endtry\n"
        "exit 7\n";
    EXPECT_EQ(RunTallowBuffer(script.c_str()), 7);
}

}  // namespace
