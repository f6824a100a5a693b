// Mailslots on Windows, under Wine: while a mailslot object waits for text,
// the thread's window messages keep being dispatched (a timer of the host
// goes on ticking), and the text is taken as soon as it comes, not at the
// end of a pause.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "tallow.h"
#include "tests/wine/wine_watchdog.h"

namespace {

constexpr DWORD kWatchdogMs = 60000;
constexpr DWORD kSendDelayMs = 1200;
// A wait that slept through its 500 ms pauses would see the text 1500 ms in.
constexpr DWORD kTakenBeforeMs = kSendDelayMs + 250;
constexpr DWORD kOpenTriesMs = 10000;
constexpr UINT kTimerMs = 50;

int timerTicks = 0;

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) {
    ++timerTicks;
}

// Sends text one byte per message to the mailslot name once it exists,
// after kSendDelayMs.
void SendLater(std::string name, std::string text) {
    Sleep(kSendDelayMs);
    HANDLE slot = INVALID_HANDLE_VALUE;
    for (DWORD waited = 0; slot == INVALID_HANDLE_VALUE && waited < kOpenTriesMs; waited += 10) {
        slot = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (slot == INVALID_HANDLE_VALUE) Sleep(10);
    }
    if (slot == INVALID_HANDLE_VALUE) return;
    for (char c : text) {
        DWORD written = 0;
        WriteFile(slot, &c, 1, &written, nullptr);
    }
    CloseHandle(slot);
}

class MailslotWineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tallow::test::StartWatchdog(kWatchdogMs); }
};

TEST_F(MailslotWineTest, WaitingForTextDispatchesTheThreadsMessages) {
    std::string name = "\\\\.\\mailslot\\tallow_wine_" + std::to_string(GetCurrentProcessId());
    std::string script = "new r as mailslot \"" + name +
                         "\", create\n"
                         "if r.waitfor(\"late\", 5) = 0 then exit 2 endif\n"
                         "exit 7\n";
    std::thread sender(SendLater, name, "late");
    timerTicks = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, kTimerMs, CountTick);
    ASSERT_NE(timer, 0u);
    DWORD started = GetTickCount();
    int code = RunTallowBuffer(script.c_str());
    DWORD elapsed = GetTickCount() - started;
    KillTimer(nullptr, timer);
    sender.join();
    EXPECT_EQ(code, 7);
    EXPECT_GE(elapsed, kSendDelayMs - 100);
    EXPECT_LT(elapsed, kTakenBeforeMs);
    EXPECT_GE(timerTicks, 5);
}

}  // namespace
