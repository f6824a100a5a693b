// The code editor's window driven by messages in this process: keys and
// characters each act once, the mouse places the cursor and drags a
// selection, the scroll bar follows the text, comments paint in their
// colour, and a command repaints only the lines it touched.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "ide/win32/programmer_view.h"

namespace tallow::ide::win32 {
namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Hands the model's clipboard requests to the system clipboard, as the
// main window's watcher does.
class ClipboardWatcher : public ProgrammerWatcher {
public:
    HWND owner = nullptr;
    void SetClipboardText(const std::string& text) override { SetClipboardTextA(owner, text); }
    bool GetClipboardText(std::string& text) override { return GetClipboardTextA(owner, text); }
};

class ProgrammerViewTest : public ::testing::Test {
protected:
    // One visible frame for all the tests: a top-level window takes the
    // system a while to take down.
    static void SetUpTestSuite() {
        frame.Reset(CreateWindowExA(0, "STATIC", "editor test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                                    480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    }
    static void TearDownTestSuite() { frame.Reset(); }

    void SetUp() override {
        model.remText = "'";
        ASSERT_TRUE(frame);
        view = std::make_unique<ProgrammerView>(model);
        view->Create(frame.Get(), 100, RECT{0, 0, 400, 300});
        watcher.owner = view->Handle();
        SetFocus(view->Handle());
    }
    void TearDown() override {
        SetModifiers(false, false);
        view.reset();
    }

    HWND View() const { return view->Handle(); }
    void Key(WPARAM code) { SendMessageA(View(), WM_KEYDOWN, code, 1); }
    // A key as the message loop delivers it: the key, then its character.
    void KeyAndChar(WPARAM code, char ch) {
        Key(code);
        SendMessageA(View(), WM_CHAR, static_cast<unsigned char>(ch), 1);
    }
    void Type(const std::string& text) {
        for (char ch : text)
            SendMessageA(View(), WM_CHAR, static_cast<unsigned char>(ch), 1);
    }
    static void SetModifiers(bool shift, bool ctrl) {
        BYTE keys[256]{};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    // A client point just inside the top left corner of a cell.
    LPARAM CellPoint(int line, int col) const {
        int x = (col - model.LeftCol()) * model.CharWidth() + 1;
        int y = (line - model.TopLine()) * model.LineHeight() + 1;
        return MAKELPARAM(x, y);
    }
    void SetLines(int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += "line " + std::to_string(i) + "\r\n";
        model.SetText(text);
        view->Refresh();
    }
    SCROLLINFO ScrollInfo() const {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(View(), SB_VERT, &info);
        return info;
    }
    // The rows of the client area that wait to be painted, as [first, last].
    std::pair<int, int> PendingRows() const {
        RECT pending{};
        if (!GetUpdateRect(View(), &pending, FALSE)) return {-1, -1};
        return {pending.top / model.LineHeight(), (pending.bottom - 1) / model.LineHeight()};
    }
    void PumpFor(DWORD ms) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(5);
        }
    }

    ClipboardWatcher watcher;
    ProgrammerModel model{&watcher};
    static inline UniqueWindow frame;
    std::unique_ptr<ProgrammerView> view;
};

TEST_F(ProgrammerViewTest, KeysThatAlsoMakeCharactersActOnce) {
    ASSERT_EQ(GetFocus(), View());
    Type("ab");
    KeyAndChar(VK_TAB, '\t');
    EXPECT_EQ(model.Line(0), "ab  ");
    EXPECT_EQ(model.CursorCol(), 4);
    Type("x");
    KeyAndChar(VK_RETURN, '\r');
    EXPECT_EQ(model.LineCount(), 2);
    EXPECT_EQ(model.Cursor(), (TextPosition{1, 0}));
    Type("yz");
    KeyAndChar(VK_BACK, '\b');
    EXPECT_EQ(model.GetText(), "ab  x\r\ny\r\n");
    // Ctrl+Y arrives as character 25 after its key: only the key acts;
    // Ctrl+Backspace has no command and its DEL character types nothing.
    SetModifiers(false, true);
    KeyAndChar(VK_BACK, 0x7F);
    EXPECT_EQ(model.GetText(), "ab  x\r\ny\r\n");
    KeyAndChar('Y', 25);
    SetModifiers(false, false);
    EXPECT_EQ(model.GetText(), "ab  x\r\n");
    EXPECT_TRUE(model.Modified());
}

TEST_F(ProgrammerViewTest, ModifiersComeFromTheKeyboardState) {
    model.SetText("abcdef");
    SetModifiers(true, false);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_EQ(model.SelText(), "ab");
    SetModifiers(true, true);
    Key(VK_RIGHT);
    EXPECT_EQ(model.SelText(), "abcdef");
    SetModifiers(false, false);
    Key(VK_LEFT);
    EXPECT_FALSE(model.HasSelection());
    EXPECT_EQ(model.CursorCol(), 5);
    // A key the editor has no use for changes nothing.
    Key(VK_F5);
    EXPECT_EQ(model.GetText(), "abcdef\r\n");
}

TEST_F(ProgrammerViewTest, ReadOnlyIgnoresKeysCharactersAndClicks) {
    model.SetText("abc\r\ndef");
    model.readOnly = true;
    Type("x");
    Key(VK_DOWN);
    Key(VK_DELETE);
    SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, CellPoint(1, 2));
    EXPECT_EQ(model.GetText(), "abc\r\ndef\r\n");
    EXPECT_EQ(model.Cursor(), (TextPosition{0, 0}));
    EXPECT_NE(GetCapture(), View());
}

TEST_F(ProgrammerViewTest, ClickPlacesTheCursorAndDragSelects) {
    SetLines(5);
    SetFocus(frame.Get());
    SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, CellPoint(2, 3));
    EXPECT_EQ(GetFocus(), View());
    EXPECT_EQ(GetCapture(), View());
    EXPECT_EQ(model.Cursor(), (TextPosition{2, 3}));
    SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, CellPoint(4, 1));
    EXPECT_EQ(model.Cursor(), (TextPosition{4, 1}));
    EXPECT_EQ(model.SelText(), "e 2\r\nline 3\r\nl");
    SendMessageA(View(), WM_LBUTTONUP, 0, CellPoint(4, 1));
    EXPECT_EQ(GetCapture(), nullptr);
    // Moving without the button pressed leaves the selection alone.
    SendMessageA(View(), WM_MOUSEMOVE, 0, CellPoint(0, 0));
    EXPECT_EQ(model.Cursor(), (TextPosition{4, 1}));
    // A click on the right half of a character lands after it.
    LPARAM right = MAKELPARAM(model.CharWidth() * 2 + model.CharWidth() - 1, 1);
    SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, right);
    SendMessageA(View(), WM_LBUTTONUP, 0, right);
    EXPECT_EQ(model.Cursor(), (TextPosition{0, 3}));
    EXPECT_FALSE(model.HasSelection());
}

TEST_F(ProgrammerViewTest, DragBelowTheWindowKeepsScrolling) {
    SetLines(100);
    RECT client{};
    GetClientRect(View(), &client);
    // The real pointer goes where the drag stands, so that a move the system
    // reports from it (a window manager's focus change) agrees with the drag.
    POINT below{5, client.bottom + 5};
    ClientToScreen(View(), &below);
    SetCursorPos(below.x, below.y);
    SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON, CellPoint(0, 0));
    SendMessageA(View(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, client.bottom + 5));
    int top = model.TopLine();
    EXPECT_GT(top, 0);
    PumpFor(300);  // the timer moves on while the pointer stands still
    EXPECT_GT(model.TopLine(), top);
    EXPECT_TRUE(model.HasSelection());
    SendMessageA(View(), WM_LBUTTONUP, 0, MAKELPARAM(5, client.bottom + 5));
    top = model.TopLine();
    PumpFor(150);
    EXPECT_EQ(model.TopLine(), top);
}

TEST_F(ProgrammerViewTest, ScrollBarFollowsTheTextAndScrollsIt) {
    int visible = model.VisibleLines();
    ASSERT_GT(visible, 5);
    ASSERT_LT(visible, 100);
    SetLines(100);
    SCROLLINFO info = ScrollInfo();
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax - static_cast<int>(info.nPage) + 1, 100 - visible);  // the last top line
    EXPECT_EQ(info.nPos, 0);
    SendMessageA(View(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(model.TopLine(), visible - 1);
    EXPECT_EQ(ScrollInfo().nPos, visible - 1);
    EXPECT_EQ(model.CursorLine(), 0);  // scrolling leaves the cursor's line
    SendMessageA(View(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(model.TopLine(), visible + 2);
    // Half notches add up.
    SendMessageA(View(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
    EXPECT_EQ(model.TopLine(), visible + 2);
    SendMessageA(View(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
    EXPECT_EQ(model.TopLine(), visible - 1);
    SendMessageA(View(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(model.TopLine(), 100 - visible);
    SendMessageA(View(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(model.TopLine(), 100 - visible);
    // Fewer lines than fit: nothing to scroll.
    SetLines(3);
    info = ScrollInfo();
    EXPECT_LE(info.nMax - static_cast<int>(info.nPage) + 1, 0);
}

TEST_F(ProgrammerViewTest, OutsideChangesAndResizingReachTheScrollBar) {
    SetLines(100);
    ASSERT_TRUE(model.Find("line 80", true));
    view->ShowCursor();
    EXPECT_GT(model.TopLine(), 0);
    EXPECT_EQ(ScrollInfo().nPos, model.TopLine());
    POINT caret{};
    GetCaretPos(&caret);
    EXPECT_EQ(caret.y, model.CaretY());
    // Taller than the text: the top line comes back to the first.
    SetLines(30);
    SendMessageA(View(), WM_VSCROLL, SB_BOTTOM, 0);
    ASSERT_GT(model.TopLine(), 0);
    SetWindowPos(View(), nullptr, 0, 0, 400, 40 * model.LineHeight(), SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(model.TopLine(), 0);
    EXPECT_EQ(ScrollInfo().nPos, 0);
}

TEST_F(ProgrammerViewTest, CaretFollowsTheCursorWhileFocused) {
    ASSERT_TRUE(model.CaretShown());
    Type("abc");
    POINT caret{};
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, 3 * model.CharWidth());
    KeyAndChar(VK_RETURN, '\r');
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, 0);
    EXPECT_EQ(caret.y, model.LineHeight());
    SetFocus(frame.Get());
    EXPECT_FALSE(model.CaretShown());
}

// The client area as WM_PRINTCLIENT paints it into a memory bitmap.
class Canvas {
public:
    explicit Canvas(HWND window) {
        RECT client{};
        GetClientRect(window, &client);
        WindowDc screen(window);
        bitmap_.Reset(CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
        selected_.emplace(dc_.Get(), bitmap_.Get());
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.Get()), PRF_CLIENT);
    }
    // The pixels of that colour in the rectangle.
    int Count(const RECT& r, COLORREF colour) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += GetPixel(dc_.Get(), x, y) == colour;
        return n;
    }

private:
    UniqueMemoryDc dc_{CreateCompatibleDC(nullptr)};
    UniqueBitmap bitmap_;
    std::optional<SelectedObject> selected_;
};

TEST_F(ProgrammerViewTest, CommentsPaintInTheirColourAndCodeInBlack) {
    model.SetText("a = 1 ' note\r\nb = \"'x\"\r\n");
    view->Refresh();
    Canvas canvas(View());
    int cw = model.CharWidth(), lh = model.LineHeight();
    RECT code{0, 0, 5 * cw, lh};
    RECT comment{6 * cw, 0, 12 * cw, lh};
    RECT quoted{0, lh, 8 * cw, 2 * lh};
    RECT empty{0, 3 * lh, 30 * cw, 4 * lh};
    EXPECT_GT(canvas.Count(code, kBlack), 0);
    EXPECT_EQ(canvas.Count(code, kBlue), 0);
    EXPECT_GT(canvas.Count(comment, kBlue), 0);
    EXPECT_EQ(canvas.Count(comment, kBlack), 0);
    EXPECT_GT(canvas.Count(quoted, kBlack), 0);
    EXPECT_EQ(canvas.Count(quoted, kBlue), 0);
    EXPECT_EQ(canvas.Count(empty, RGB(255, 255, 255)), (empty.right - empty.left) * lh);
}

TEST_F(ProgrammerViewTest, SelectionPaintsOnTheHighlightAndCommentsKeepTheirColour) {
    model.SetText("ab ' c");
    model.Select({0, 0}, {0, 6});
    view->Refresh();
    Canvas canvas(View());
    int cw = model.CharWidth(), lh = model.LineHeight();
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    RECT code{0, 0, 2 * cw, lh};
    RECT comment{3 * cw, 0, 6 * cw, lh};
    RECT after{7 * cw, 0, 10 * cw, lh};
    EXPECT_GT(canvas.Count(code, highlight), 0);
    EXPECT_GT(canvas.Count(comment, highlight), 0);
    EXPECT_GT(canvas.Count(comment, kBlue), 0);
    EXPECT_EQ(canvas.Count(after, highlight), 0);
}

TEST_F(ProgrammerViewTest, CommandsRepaintOnlyTheLinesTheyTouch) {
    SetLines(10);
    model.SetCursor(5, 2);
    UpdateWindow(View());
    EXPECT_EQ(PendingRows(), std::make_pair(-1, -1));
    Type("x");
    EXPECT_EQ(PendingRows(), std::make_pair(5, 5));
    UpdateWindow(View());
    Key(VK_UP);  // the line left behind loses nothing but is repainted too
    EXPECT_EQ(PendingRows(), std::make_pair(4, 5));
    UpdateWindow(View());
    SetModifiers(true, false);
    Key(VK_DOWN);
    Key(VK_DOWN);
    SetModifiers(false, false);
    UpdateWindow(View());
    Key(VK_RIGHT);  // clearing a selection of lines 4 to 6
    EXPECT_EQ(PendingRows(), std::make_pair(4, 6));
    UpdateWindow(View());
    KeyAndChar(VK_RETURN, '\r');  // a new line moves everything below it
    std::pair<int, int> rows = PendingRows();
    EXPECT_EQ(rows.first, 6);
    EXPECT_GE(rows.second, model.VisibleLines() - 1);
}

TEST_F(ProgrammerViewTest, ClipboardKeysGoThroughTheSystemClipboard) {
    model.SetText("one two");
    model.Select({0, 4}, {0, 7});
    SetModifiers(false, true);
    Key(VK_INSERT);
    std::string text;
    ASSERT_TRUE(GetClipboardTextA(View(), text));
    EXPECT_EQ(text, "two");
    ASSERT_TRUE(SetClipboardTextA(View(), "a\r\nb"));
    SetModifiers(true, false);
    Key(VK_INSERT);
    SetModifiers(false, false);
    EXPECT_EQ(model.GetText(), "one a\r\nb\r\n");
    EXPECT_EQ(model.Cursor(), (TextPosition{1, 1}));
}

}  // namespace
}  // namespace tallow::ide::win32
