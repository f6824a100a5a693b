// The desktop members with real windows, under Wine: findwindow brings a
// window forward by the start of its title in any case, sendkeys types into
// it, and the file choosers and folder browser that a script shows are
// answered from a helper thread as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/main_object.h"
#include "core/program.h"
#include "platform/message_box.h"
#include "tests/wine/wine_watchdog.h"

namespace tallow {
namespace {

// Every wait ends by then; the watchdog ends a hung process.
constexpr DWORD kDeadlineMs = 10000;
constexpr DWORD kWatchdogMs = 90000;
constexpr int kEditId = 100;

std::string Unique(const char* what) {
    return std::string(what) + " " + std::to_string(GetCurrentProcessId());
}

// A top-level window that hands its focus to its edit field.
LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_SETFOCUS) {
        SetFocus(GetDlgItem(window, kEditId));
        return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

HWND CreateFrame(const std::string& title) {
    static ATOM frameClass = [] {
        WNDCLASSA c{};
        c.lpfnWndProc = FrameProc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = "TallowDesktopTestFrame";
        return RegisterClassA(&c);
    }();
    EXPECT_NE(frameClass, 0);
    HWND frame = CreateWindowA("TallowDesktopTestFrame", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                               10, 300, 120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 5, 5, 280, 24, frame,
                  reinterpret_cast<HMENU>(kEditId), GetModuleHandleA(nullptr), nullptr);
    return frame;
}

// Dispatches this thread's messages until done() holds or the deadline.
template <class Done>
bool PumpUntil(Done done) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > kDeadlineMs) return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
    return true;
}

std::string EditText(HWND frame) {
    char text[256] = {};
    GetDlgItemTextA(frame, kEditId, text, sizeof text);
    return text;
}

struct DialogSearch {
    HWND found = nullptr;
};

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM data) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
    reinterpret_cast<DialogSearch*>(data)->found = window;
    return FALSE;
}

// The first visible dialog of the thread, once there is one.
HWND WaitForThreadDialog(DWORD thread) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kDeadlineMs) {
        DialogSearch search;
        EnumThreadWindows(thread, FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(10);
    }
    return nullptr;
}

void Press(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

class DesktopWineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::StartWatchdog(kWatchdogMs); }
    void SetUp() override {
        platform::SetUnattended(false);
        platform::SetBoxObserver(
            [](void* self, std::string_view text, std::string_view) {
                static_cast<DesktopWineTest*>(self)->boxes.emplace_back(text);
            },
            this);
        program.keepState = true;
    }
    void TearDown() override { platform::SetBoxObserver(nullptr, nullptr); }

    // r$ after the script ran; a failed run gives "error: MESSAGE".
    std::string Run(const std::string& text) {
        program.Run(("r$ = \"\"\n" + text).c_str());
        if (program.Outcome() == RunOutcome::Failed) return "error: " + program.LastRunError().message;
        return program.Main().strMembers.Get("r");
    }

    // Runs text while a helper thread answers the first dialog the script
    // shows by pressing the button id.
    std::string RunAnswering(const std::string& text, int id) {
        DWORD thread = GetCurrentThreadId();
        std::atomic<bool> answered{false};
        std::thread helper([&] {
            if (HWND dialog = WaitForThreadDialog(thread)) {
                Press(dialog, id);
                answered = true;
            }
        });
        std::string result = Run(text);
        helper.join();
        EXPECT_TRUE(answered);
        return result;
    }

    Program program;
    std::vector<std::string> boxes;
};

TEST_F(DesktopWineTest, FindwindowBringsAWindowForwardAndSendkeysTypesIntoIt) {
    std::string title = Unique("Tallow Desktop Test Frame");
    HWND frame = CreateFrame(title);
    HWND other = CreateFrame(Unique("Another Frame"));
    ASSERT_TRUE(frame && other);
    SetForegroundWindow(other);
    PumpUntil([&] { return GetForegroundWindow() == other; });
    std::string lower = title.substr(0, 22);
    for (char& c : lower)
        c = char(tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(Run("findwindow \"" + lower + "\""), "");
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == frame; }));
    SetFocus(GetDlgItem(frame, kEditId));
    // Latches, a named key and the escaped backslash, then an unknown name:
    // what came before it still arrives.
    EXPECT_EQ(
        Run("sendkeys \"abc\\[BACK]\\+d\\\\1\"\ntry\n sendkeys \"z\\[ESC]y\"\ncatch\n r$ = ErrMsg$\nendtry"),
        "Unknown key code!");
    std::string expected = "abD\\1z";
    EXPECT_TRUE(PumpUntil([&] { return EditText(frame) == expected; })) << EditText(frame);
    EXPECT_EQ(Run("try\n findwindow \"" + title + " and more\"\ncatch\n r$ = ErrMsg$\nendtry"),
              "Could not find window!");
    DestroyWindow(other);
    DestroyWindow(frame);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DesktopWineTest, ChoosersAnsweredByTheUser) {
    std::string title = Unique("Tallow open test");
    EXPECT_EQ(RunAnswering("r$ = \"x\" + opendialog(\"Text|*.txt\", \"\", \"" + title + "\")", IDCANCEL),
              "x");
    // The initial name is a new file in an existing folder: OK takes it.
    std::string path =
        (std::filesystem::temp_directory_path() / ("tallow-save-" + Unique("test") + ".txt")).string();
    std::string chosen = RunAnswering("r$ = savedialog(\"\", \"" + path + "\")", IDOK);
    EXPECT_EQ(_stricmp(chosen.c_str(), path.c_str()), 0) << chosen << " " << path;
    EXPECT_EQ(RunAnswering("r$ = \"x\" + browsefolder(\"C:\\\", \"Where?\")", IDCANCEL), "x");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DesktopWineTest, UnattendedChoosersShowNothing) {
    platform::SetUnattended(true);
    EXPECT_EQ(Run("r$ = \"x\" + opendialog() + savedialog() + browsefolder()"), "x");
    EXPECT_EQ(boxes, (std::vector<std::string>{"file chooser cancelled", "file chooser cancelled",
                                               "folder browser cancelled"}));
}

}  // namespace
}  // namespace tallow
