// Dialogs of a code file as real windows, under Wine: while RunTallowCode
// runs a script on the main thread, a driver thread finds the dialog by its
// caption and presses its buttons or closes it, as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "codec/code_file.h"
#include "codec/dialog_template.h"
#include "platform/message_box.h"
#include "tallow.h"
#include "tests/wine/wine_watchdog.h"

namespace tallow {
namespace {

namespace fs = std::filesystem;

// Every wait of the driver ends by then; the watchdog ends a hung process.
constexpr DWORD kDeadlineMs = 10000;
constexpr DWORD kWatchdogMs = 90000;
constexpr int kOk = 1, kCancel = 2, kCheck = 3, kEdit = 4;

codec::DialogItem Item(uint16_t id, uint16_t classOrdinal, uint32_t style, const char16_t* text) {
    codec::DialogItem item;
    item.id = id;
    item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | style;
    item.windowClass = codec::NameOrOrdinal::Number(classOrdinal);
    item.title = codec::NameOrOrdinal::Named(text);
    item.cx = 50;
    item.cy = 14;
    return item;
}

// OK (default), Cancel, a check box and an edit field, under caption.
std::vector<uint8_t> AskTemplate(const std::string& caption) {
    codec::DialogTemplate d;
    d.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | codec::kDsSetFont;
    d.cx = 160;
    d.cy = 80;
    d.pointSize = 8;
    d.typeface = u"MS Sans Serif";
    d.title = codec::WidenBytes(caption);
    d.items = {Item(kEdit, 0x81, ES_AUTOHSCROLL, u""), Item(kCheck, 0x80, BS_AUTOCHECKBOX, u"Check"),
               Item(kOk, 0x80, BS_DEFPUSHBUTTON, u"OK"), Item(kCancel, 0x80, BS_PUSHBUTTON, u"Cancel")};
    d.items[2].y = 60;
    d.items[3].y = 60;
    d.items[3].x = 60;
    return codec::WriteDialogTemplate(d);
}

HWND WaitForDialog(const std::string& caption, bool visible) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kDeadlineMs) {
        HWND w = FindWindowA("#32770", caption.c_str());
        if (w && (IsWindowVisible(w) != FALSE) == visible) return w;
        Sleep(5);
    }
    return nullptr;
}

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

class DialogWineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::StartWatchdog(kWatchdogMs); }
    void SetUp() override {
        platform::SetUnattended(false);
        // An error box must not wait for a user: it is collected instead.
        platform::SetBoxObserver(
            [](void* self, std::string_view text, std::string_view) {
                static_cast<DialogWineTest*>(self)->boxes.emplace_back(text);
            },
            this);
        static int counter = 0;
        caption =
            "Tallow dialog test " + std::to_string(GetCurrentProcessId()) + "." + std::to_string(++counter);
        path = fs::temp_directory_path() / ("tallow-dialog-" + std::to_string(GetCurrentProcessId()) + "-" +
                                            std::to_string(counter) + ".cod");
    }
    void TearDown() override {
        platform::SetBoxObserver(nullptr, nullptr);
        std::error_code ignored;
        fs::remove(path, ignored);
    }

    // Runs script with the dialog "ask" while act drives it from a thread
    // once it is visible (no act: nothing drives it); the script's exit code.
    int Run(const std::string& script, const std::function<void(HWND)>& act) {
        codec::CodeFile file;
        codec::CodeFileDialog ask;
        ask.name = "ask";
        ask.templateBytes = AskTemplate(caption);
        file.dialogs.push_back(ask);
        file.code = script + '\0';
        std::vector<uint8_t> bytes = codec::WriteCodeFile(file);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        std::thread driver;
        if (act)
            driver = std::thread([&] {
                HWND dialog = WaitForDialog(caption, true);
                found = dialog;
                if (dialog) act(dialog);
            });
        std::string line = "\"" + path.string() + "\"";
        int code = RunTallowCode(line.c_str(), 0);
        if (driver.joinable()) driver.join();
        return code;
    }

    std::string caption;
    fs::path path;
    std::atomic<HWND> found{nullptr};
    std::vector<std::string> boxes;
};

TEST_F(DialogWineTest, PushButtonsEndExecuteWithTheirIds) {
    bool hidden = false;
    EXPECT_EQ(Run("exit ask.execute()",
                  [&](HWND d) {
                      Click(d, kOk);
                      hidden = !IsWindowVisible(d);
                  }),
              1);
    EXPECT_TRUE(hidden);
    EXPECT_EQ(Run("exit ask.execute()", [](HWND d) { Click(d, kCancel); }), 2);
    // Posted as a command: the dialog procedure sees it as from the button.
    EXPECT_EQ(Run("exit ask.execute()",
                  [](HWND d) {
                      PostMessageA(d, WM_COMMAND, MAKEWPARAM(kCancel, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(GetDlgItem(d, kCancel)));
                  }),
              2);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DialogWineTest, TheCloseBoxGivesZero) {
    EXPECT_EQ(Run("exit 10 + ask.execute()", [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }), 10);
    EXPECT_FALSE(IsWindow(found));  // the dialog went with its program
}

TEST_F(DialogWineTest, ChecksAndTextStayAndDoNotEndTheWait) {
    bool stillVisible = false;
    int code =
        Run("r# = ask.execute()\nexit r# * 100 + ask.getcheck(3) * 10 + len(ask.gettext(4))", [&](HWND d) {
            Click(d, kCheck);
            Sleep(100);
            stillVisible = IsWindowVisible(d) != FALSE;
            SetDlgItemTextA(d, kEdit, "typed");
            Click(d, kOk);
        });
    EXPECT_TRUE(stillVisible);
    EXPECT_EQ(code, 115);
}

TEST_F(DialogWineTest, WaitModeTwoLeavesTheDialogShown) {
    bool visibleBetween = false;
    int code = Run("a# = ask.execute(2)\nb# = ask.execute()\nexit a# * 10 + b#", [&](HWND d) {
        Click(d, kOk);
        Sleep(50);
        visibleBetween = IsWindowVisible(d) != FALSE;
        Click(d, kCancel);
    });
    EXPECT_TRUE(visibleBetween);
    EXPECT_EQ(code, 12);
}

TEST_F(DialogWineTest, ModelessExecuteShowsAtOnceAndCloseHides) {
    bool hiddenAfterClose = false;
    int code = Run("a# = ask.execute(0)\nsleep 1\nask.close\nsleep 1\nexit a#",
                   [&](HWND) { hiddenAfterClose = WaitForDialog(caption, false) != nullptr; });
    EXPECT_EQ(code, 1);
    EXPECT_NE(found.load(), nullptr);
    EXPECT_TRUE(hiddenAfterClose);
}

TEST_F(DialogWineTest, AQuitMessageDestroysTheDialog) {
    DWORD mainThread = GetCurrentThreadId();
    int code = Run("r# = ask.execute()\ntry\n x# = ask.execute()\ncatch\n exit 50 + r#\nendtry\nexit 1",
                   [&](HWND) { PostThreadMessageA(mainThread, WM_QUIT, 0, 0); });
    EXPECT_EQ(code, 50);
}

TEST_F(DialogWineTest, CentredAndItsHandleIsTheWindow) {
    RECT r{};
    int code = Run("h# = ask.handle#\nx# = ask.execute()\nexit h#", [&](HWND d) {
        GetWindowRect(d, &r);
        Click(d, kOk);
    });
    EXPECT_EQ(code, int(reinterpret_cast<intptr_t>(found.load())));
    int expectedX = GetSystemMetrics(SM_CXSCREEN) / 2 - (r.right - r.left) / 2;
    int expectedY = GetSystemMetrics(SM_CYSCREEN) / 2 - (r.bottom - r.top) / 2;
    EXPECT_LE(std::abs(r.left - expectedX), 1);
    EXPECT_LE(std::abs(r.top - expectedY), 1);
}

TEST_F(DialogWineTest, UnattendedShowsNothing) {
    platform::SetUnattended(true);
    // The line "ask: dialog" goes to the observer that collects boxes.
    EXPECT_EQ(Run("exit ask.execute() * 10 + ask.execute(0)", nullptr), 11);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "dialog");
}

}  // namespace
}  // namespace tallow
