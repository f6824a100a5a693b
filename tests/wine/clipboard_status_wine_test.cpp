// The clipboard and status objects on Windows, under Wine: scripts put text,
// lines and heap blocks on the real clipboard and read them back (the test
// looks at the clipboard itself too), and show the status window from the
// resource linked into this test while the test looks at its controls.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/main_object.h"
#include "core/program.h"
#include "expr/string_array.h"
#include "objects/clipboard_object.h"
#include "platform/message_box.h"
#include "tests/unit/unattended_program_test.h"

namespace tallow {
namespace {

constexpr int kMessageId = 1007;
constexpr int kProgressId = 1006;

class WineObjectsTest : public UnattendedProgramTest {
protected:
    double Num(const char* name) { return program.Main().numMembers.Get(name); }
    std::string Str(const char* name) { return program.Main().strMembers.Get(name); }
};

// ---- The clipboard --------------------------------------------------------------

void EmptyTheClipboard() {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
}

// The CF_TEXT bytes on the clipboard up to their NUL, as another program
// would read them.
std::string ClipboardTextSeenOutside() {
    std::string text;
    if (!OpenClipboard(nullptr)) return "(cannot open)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text.assign(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

using ClipboardWineTest = WineObjectsTest;

TEST_F(ClipboardWineTest, TextGoesBothWays) {
    EmptyTheClipboard();
    ASSERT_EQ(
        Run("empty$ = clipboard.gettext()\rclipboard.settext \"hello there\"\rback$ = clipboard.gettext()\r"
            "avail# = clipboard.isformatavailable(1)"),
        "");
    EXPECT_EQ(Str("empty"), "");
    EXPECT_EQ(Str("back"), "hello there");
    EXPECT_EQ(Num("avail"), 1);
    EXPECT_EQ(ClipboardTextSeenOutside(), "hello there");
    ASSERT_EQ(Run("clipboard.text$ = \"via property\"\rp$ = clipboard.TEXT$"), "");
    EXPECT_EQ(Str("p"), "via property");
    EXPECT_EQ(ClipboardTextSeenOutside(), "via property");
    // Every member closed the clipboard again.
    ASSERT_TRUE(OpenClipboard(nullptr));
    CloseClipboard();
}

TEST_F(ClipboardWineTest, LinesJoinWithCrLfAndSplitAgain) {
    ASSERT_EQ(Run("dim lines$[3]\rlines$[1] = \"a\"\rlines$[2] = \"b\"\rclipboard.settextarray lines"), "");
    EXPECT_EQ(ClipboardTextSeenOutside(), "a\r\nb\r\n");
    ASSERT_EQ(Run("clipboard.gettextarray back"), "");
    StringArrayObject* back = program.FindStringArray("back");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->items, (std::vector<std::string>{"a", "b"}));
    // A carriage return ends a line, even an empty one; line feeds go.
    ASSERT_EQ(Run("clipboard.settext \"x\" + 13 + 13 + \"y\" + 10 + \"z\"\rclipboard.gettextarray back"), "");
    EXPECT_EQ(program.FindStringArray("back")->items, (std::vector<std::string>{"x", "", "yz"}));
    EXPECT_EQ(Run("clipboard.settextarray nosuch"), msg::kArrayNotFound);
}

// Text comes back byte for byte: CR LF, a lone line feed, 8-bit characters.
TEST_F(ClipboardWineTest, TextComesBackExactly) {
    ASSERT_EQ(Run("t$ = \"one\" + chr(13) + chr(10) + \"two\" + chr(10) + \"caf\" + chr(233)\r"
                  "clipboard.text$ = t$\r"
                  "same# = 0\r"
                  "if clipboard.text$ = t$ then same# = 1 endif\r"
                  "n# = len(clipboard.gettext())"),
              "");
    EXPECT_EQ(Num("same"), 1);
    EXPECT_EQ(Num("n"), 13);
    EXPECT_EQ(ClipboardTextSeenOutside(), "one\r\ntwo\ncaf\xE9");
}

TEST_F(ClipboardWineTest, PrivateFormatsCarryHeapBlocks) {
    EmptyTheClipboard();
    ASSERT_EQ(Run("f# = clipboard.registerformat(\"Tallow Wine Test Format\")\r"
                  "g# = clipboard.registerformat(\"tallow wine test format\")\r"
                  "before# = clipboard.isformatavailable(f#)\r"
                  "clipboard.settext \"text stays\"\r"
                  "a# = Heap.allocstring(\"block\")\r"
                  "clipboard.setbuffer a#, 6, f#\r"
                  "after# = clipboard.isformatavailable(f#)\r"
                  "b# = Heap.alloc(16)\r"
                  "Heap.set b#, 238, 16\r"
                  "clipboard.getbuffer b#, 16, f#\r"
                  "got$ = Heap.readstring(b#)\r"
                  "tail# = Heap.readnumber(b# + 6, hnByte@)"),
              "");
    EXPECT_GE(Num("f"), 0xC000);
    EXPECT_EQ(Num("g"), Num("f"));  // format names ignore case
    EXPECT_EQ(Num("before"), 0);
    EXPECT_EQ(Num("after"), 1);
    EXPECT_EQ(Str("got"), "block");
    EXPECT_EQ(Num("tail"), 238);  // only the clipboard block's bytes were copied
    // The clipboard is not emptied by a member: the text is still there.
    EXPECT_EQ(ClipboardTextSeenOutside(), "text stays");
    // At most size bytes come back.
    ASSERT_EQ(Run("Heap.set b#, 0, 16\rclipboard.getbuffer b#, 2, f#\rshort$ = Heap.readstring(b#)"), "");
    EXPECT_EQ(Str("short"), "bl");
    EXPECT_EQ(Run("clipboard.getbuffer b#, 16, clipboard.registerformat(\"Tallow Never Put\")"),
              msg::kClipboardFormatNotAvailable);
    EXPECT_EQ(Run("clipboard.getbuffer b#, 17, f#"), "Invalid heap address!");
    EXPECT_EQ(Run("clipboard.setbuffer b# + 1, 16, f#"), "Invalid heap address!");
}

// ---- The status window -----------------------------------------------------------

using StatusWineTest = WineObjectsTest;

std::string WindowText(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST_F(StatusWineTest, WindowFromTheResourceShowsTheModel) {
    ASSERT_EQ(Run("h# = status.handle#"), "");
    auto window = reinterpret_cast<HWND>(uintptr_t(Num("h")));
    ASSERT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(WindowText(window), "Progress");
    char className[64] = {};
    GetClassNameA(GetDlgItem(window, kProgressId), className, sizeof className);
    EXPECT_STREQ(className, "msctls_progress32");
    // 207 x 55 dialog units of client area.
    RECT units{0, 0, 207, 55}, client{};
    MapDialogRect(window, &units);
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);

    ASSERT_EQ(
        Run("status.setpercent 30\rstatus.show\rstatus.setcaption \"Copying\"\rstatus.message$ = \"file 1\""),
        "");
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(program.parentWindow, window);
    EXPECT_EQ(WindowText(window), "Copying");
    EXPECT_EQ(WindowText(GetDlgItem(window, kMessageId)), "file 1");
    EXPECT_EQ(SendDlgItemMessageA(window, kProgressId, PBM_GETPOS, 0, 0), 0);
    ASSERT_EQ(Run("status.setpercent 42.9"), "");
    EXPECT_EQ(SendDlgItemMessageA(window, kProgressId, PBM_GETPOS, 0, 0), 42);
    ASSERT_EQ(Run("status.setpercent 150"), "");
    EXPECT_EQ(SendDlgItemMessageA(window, kProgressId, PBM_GETPOS, 0, 0), 42);
    ASSERT_EQ(Run("status.hide"), "");
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(program.parentWindow, nullptr);
}

// The close box hides the window and gives the program its owner back; a
// window the status window owned meanwhile had it as its owner.
TEST_F(StatusWineTest, CloseBoxHidesAndRestoresTheOwner) {
    HWND host = CreateWindowA("STATIC", "host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    program.parentWindow = host;
    ASSERT_EQ(Run("status.show\rh# = status.handle#"), "");
    auto window = reinterpret_cast<HWND>(uintptr_t(Num("h")));
    EXPECT_EQ(GetWindow(window, GW_OWNER), host);
    EXPECT_EQ(program.parentWindow, window);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(program.parentWindow, host);
    EXPECT_TRUE(IsWindow(window));  // hidden, not destroyed
    ASSERT_EQ(Run("status.show"), "");
    EXPECT_TRUE(IsWindowVisible(window));
    ASSERT_EQ(Run("status.hide"), "");
    EXPECT_EQ(program.parentWindow, host);
    DestroyWindow(host);
}

}  // namespace
}  // namespace tallow
