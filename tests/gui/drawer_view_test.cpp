// The designer surface's window driven in-process: placement, handle drags,
// keys, the clipboard between two surfaces, painting and template round trips.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui_test.h"
#include "ide/model/control_tool.h"
#include "ide/model/ide_messages.h"
#include "ide/model/shape_tools.h"
#include "ide/win32/drawer_view.h"
#include "ide/win32/modal_answers.h"
#include "ide/win32/tool_painter.h"

namespace tallow::ide::win32 {
namespace {

constexpr RECT kViewArea{0, 0, 640, 480};
// AddDialogFrame on a 640 x 480 client: a quarter of each side in.
constexpr ToolRect kFrame{160, 120, 480, 360};

HWND MakeParent() {
    return CreateWindowExA(0, "STATIC", "surface test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 800, 600,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

class DrawerViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        SharedPasteCascade() = {};
        parent_.Reset(MakeParent());
        ASSERT_TRUE(parent_);
        view_.Create(parent_.Get(), 1, kViewArea);
        view_.AddDialogFrame();
    }

    HWND View() const { return view_.Handle(); }
    void Press(int x, int y, WPARAM keys = 0) {
        SendMessageA(View(), WM_LBUTTONDOWN, MK_LBUTTON | keys, At(x, y));
    }
    void MoveTo(int x, int y, WPARAM keys = 0) { SendMessageA(View(), WM_MOUSEMOVE, keys, At(x, y)); }
    void Release(int x, int y, WPARAM keys = 0) { SendMessageA(View(), WM_LBUTTONUP, keys, At(x, y)); }
    void Key(WPARAM key) { SendMessageA(View(), WM_KEYDOWN, key, 0); }

    // A 75 x 25 button placed with its centre dropped at (x, y).
    TControlTool& PlaceButton(int x, int y, const char* caption = "") {
        auto& button = static_cast<TControlTool&>(view_.AddControl(ToolCode::Button, 75, 25));
        button.caption = caption;
        MoveTo(x, y);
        Release(x, y);
        return button;
    }
    int Count() const { return view_.Drawer().Tools().Count(); }

    // Installed for the test's life: every box is answered with OK and kept.
    test::FakeModalAnswers answers_;
    UniqueWindow parent_;
    DrawerView view_;
};

TEST_F(DrawerViewTest, NewFrameIsCaptionedAndSizedByTheClient) {
    ASSERT_EQ(Count(), 1);
    auto* frame = dynamic_cast<TControlTool*>(view_.Drawer().Tools().DialogTool());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Rect(), kFrame);
    EXPECT_EQ(frame->caption, "Dialog");
    // A second frame replaces the first and its controls.
    PlaceButton(300, 200);
    view_.AddDialogFrame();
    EXPECT_EQ(Count(), 1);
}

TEST_F(DrawerViewTest, PlacementFollowsThePointerUntilTheClickDropsIt) {
    int selections = 0;
    view_.onSelectChange = [&](TTool*) { ++selections; };
    TTool& tool = view_.AddControl(ToolCode::Button, 75, 25);
    EXPECT_TRUE(view_.Drawer().Dragging());
    EXPECT_EQ(GetCapture(), View());
    // The pointer jumped to the new control's centre.
    POINT expected{37, 12};
    ClientToScreen(View(), &expected);
    POINT now{};
    GetCursorPos(&now);
    EXPECT_EQ(now.x, expected.x);
    EXPECT_EQ(now.y, expected.y);
    // A press during placement does not start anything else; the release
    // drops the centre on the snapped point (grid 5 x 4).
    Press(243, 201);
    MoveTo(243, 201);
    Release(243, 201);
    auto& button = static_cast<TControlTool&>(tool);
    EXPECT_EQ(button.Rect(), (ToolRect{208, 188, 283, 213}));
    EXPECT_FALSE(view_.Drawer().Dragging());
    EXPECT_NE(GetCapture(), View());
    EXPECT_EQ(view_.Drawer().Selected(), &tool);
    EXPECT_EQ(selections, 1);
    EXPECT_EQ(button.childId, kFirstChildId);
}

TEST_F(DrawerViewTest, EscapeCallsOffAPlacementAndNewControlsShowACaption) {
    auto& button = static_cast<TControlTool&>(view_.AddControl(ToolCode::Button, 75, 25));
    EXPECT_EQ(button.caption, "Button 1");
    MoveTo(300, 200);
    Key(VK_ESCAPE);
    EXPECT_EQ(Count(), 1);
    EXPECT_FALSE(view_.Drawer().Dragging());
    EXPECT_NE(GetCapture(), View());
    TTool& stat = view_.AddControl(ToolCode::Static, 180, 17);
    MoveTo(300, 200);
    Release(300, 200);
    EXPECT_EQ(static_cast<TControlTool&>(stat).caption, "Static 1");
    ASSERT_TRUE(view_.Drawer().Undo());
    EXPECT_EQ(Count(), 1);
}

// A dialog larger than the window: the bars reach all of it, and a click
// lands on the plane where the window shows it.
TEST_F(DrawerViewTest, ALargeDialogScrollsIntoReach) {
    // The first frame fits: no bars.
    EXPECT_FALSE(GetWindowLongA(View(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    auto* frame = dynamic_cast<TControlTool*>(view_.Drawer().Tools().DialogTool());
    frame->SetRect({20, 20, 1400, 1000});
    TControlTool& distant = PlaceButton(100, 100, "distant");
    distant.SetRect({1200, 900, 1275, 925});
    view_.Drawer().Tools().SetModified(true);
    InvalidateRect(View(), nullptr, FALSE);
    view_.ScrollTo(view_.Scrolling().Origin());
    ASSERT_TRUE(GetScrollInfo(View(), SB_VERT, &info));
    EXPECT_GE(info.nMax, 925);
    ASSERT_TRUE(GetScrollInfo(View(), SB_HORZ, &info));
    EXPECT_GE(info.nMax, 1275);

    SendMessageA(View(), WM_VSCROLL, SB_BOTTOM, 0);
    SendMessageA(View(), WM_HSCROLL, SB_BOTTOM, 0);
    ToolPoint origin = view_.Scrolling().Origin();
    EXPECT_GT(origin.x, 0);
    EXPECT_GT(origin.y, 0);
    Press(1230 - origin.x, 910 - origin.y);
    Release(1230 - origin.x, 910 - origin.y);
    EXPECT_EQ(view_.Drawer().Selected(), &distant);
    SendMessageA(View(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(view_.Scrolling().Origin().y, 0);
}

TEST_F(DrawerViewTest, HandleDragsResizeOnTheGridUnlessShiftIsHeld) {
    TControlTool& button = PlaceButton(243, 201);  // (208,188)-(283,213)
    Press(284, 214);                               // the bottom-right handle
    EXPECT_EQ(GetCapture(), View());
    MoveTo(300, 230);
    Release(301, 229);
    EXPECT_EQ(button.Rect(), (ToolRect{208, 188, 300, 228}));
    EXPECT_TRUE(view_.Drawer().Tools().Modified());

    Press(300, 228, MK_SHIFT);
    Release(303, 231, MK_SHIFT);
    EXPECT_EQ(button.Rect(), (ToolRect{208, 188, 303, 231}));

    // Over a handle the pointer turns into the size pointer, elsewhere back.
    auto shapeAt = [&](int x, int y) {
        MoveTo(x, y);
        SendMessageA(View(), WM_SETCURSOR, reinterpret_cast<WPARAM>(View()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(shapeAt(302, 230), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_CROSS)));
    EXPECT_EQ(shapeAt(250, 200), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));

    // Escape in the middle of a drag leaves the tool where it was.
    Press(303, 231);
    MoveTo(350, 260);
    Key(VK_ESCAPE);
    EXPECT_FALSE(view_.Drawer().Dragging());
    EXPECT_NE(GetCapture(), View());
    Release(350, 260);
    EXPECT_EQ(button.Rect(), (ToolRect{208, 188, 303, 231}));
}

TEST_F(DrawerViewTest, KeysDeleteControlsButNeverTheFrame) {
    PlaceButton(243, 201);
    Key(VK_DELETE);
    EXPECT_EQ(Count(), 1);
    // The selection went to the frame, which Delete refuses.
    EXPECT_EQ(view_.Drawer().Selected(), view_.Drawer().Tools().DialogTool());
    Key(VK_DELETE);
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(SendMessageA(View(), WM_GETDLGCODE, 0, 0) & (DLGC_WANTARROWS | DLGC_WANTTAB),
              DLGC_WANTARROWS | DLGC_WANTTAB);
}

TEST_F(DrawerViewTest, KeysStepTheSelectionReorderAndAskForHelp) {
    TControlTool& first = PlaceButton(243, 201);
    TControlTool& second = PlaceButton(343, 201);
    const ToolSurface& tools = view_.Drawer().Tools();
    Key(VK_HOME);
    EXPECT_EQ(view_.Drawer().Selected(), tools.DialogTool());
    Key(VK_TAB);
    EXPECT_EQ(view_.Drawer().Selected(), &first);
    Key(VK_END);
    EXPECT_EQ(view_.Drawer().Selected(), &second);
    Key(VK_PRIOR);  // PageUp: one place towards the start
    EXPECT_EQ(tools.IndexOf(&second), 1);
    Key(VK_NEXT);
    EXPECT_EQ(tools.IndexOf(&second), 2);
    int help = 0;
    view_.onHelp = [&] { ++help; };
    Key(VK_F1);
    EXPECT_EQ(help, 1);
    Key(VK_ESCAPE);
    EXPECT_EQ(view_.Drawer().Selected(), nullptr);
}

TEST_F(DrawerViewTest, EditCommandsRefuseNoSelectionAndTheFrame) {
    for (auto command : {&DrawerView::CutSelected, &DrawerView::CopySelected, &DrawerView::DeleteSelected}) {
        view_.Drawer().SelectTool(nullptr);
        try {
            (view_.*command)();
            ADD_FAILURE() << "no selection accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), msg::kNoToolSelected);
        }
        view_.Drawer().SelectFirst();
        EXPECT_THROW((view_.*command)(), std::runtime_error);
    }
    EXPECT_EQ(Count(), 1);
}

TEST_F(DrawerViewTest, CopyThenPasteCascadesBySnapStep) {
    TControlTool& first = PlaceButton(243, 201, "OK");
    view_.CopySelected();
    EXPECT_TRUE(ClipboardHasTool());
    view_.Paste();
    view_.Paste();
    ASSERT_EQ(Count(), 4);
    auto* second = dynamic_cast<TControlTool*>(view_.Drawer().Tools().At(2));
    auto* third = dynamic_cast<TControlTool*>(view_.Drawer().Tools().At(3));
    ASSERT_NE(second, nullptr);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(second->Code(), ToolCode::Button);
    EXPECT_EQ(second->caption, "OK");
    EXPECT_EQ(second->childId, first.childId);
    EXPECT_EQ(second->Rect(), (ToolRect{213, 192, 288, 217}));
    EXPECT_EQ(third->Rect(), (ToolRect{218, 196, 293, 221}));
    EXPECT_EQ(view_.Drawer().Selected(), third);

    view_.CutSelected();
    EXPECT_EQ(Count(), 3);
    EXPECT_TRUE(ClipboardHasTool());
}

TEST_F(DrawerViewTest, ClipboardCarriesToolsBetweenSurfacesAndRefusesForeignText) {
    DrawerView other;
    other.Create(parent_.Get(), 2, {0, 0, 320, 240});
    other.AddDialogFrame();
    PlaceButton(243, 201, "Go");
    view_.CopySelected();
    other.Paste();
    ASSERT_EQ(other.Drawer().Tools().Count(), 2);
    auto* pasted = dynamic_cast<TButtonTool*>(other.Drawer().Tools().At(1));
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->caption, "Go");

    // Text under the format that names no tool, and text without its zero.
    UINT format = RegisterClipboardFormatA(kToolClipboardFormat);
    for (std::string junk : {std::string("99.x", 5), std::string("4.101;", 6)}) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, junk.size());
        ASSERT_NE(memory, nullptr);
        memcpy(GlobalLock(memory), junk.data(), junk.size());
        GlobalUnlock(memory);
        ASSERT_TRUE(OpenClipboard(View()));
        EmptyClipboard();
        if (!SetClipboardData(format, memory)) GlobalFree(memory);
        CloseClipboard();
        EXPECT_THROW(other.Paste(), ToolFormatError) << junk;
        EXPECT_EQ(other.Drawer().Tools().Count(), 2);
    }
}

// Paints the view into a 32-bit bitmap and reads pixels from it.
class Snapshot {
public:
    explicit Snapshot(HWND view) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kViewArea.right;
        info.bmiHeader.biHeight = -kViewArea.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dc_.Reset(CreateCompatibleDC(nullptr));
        bitmap_.Reset(CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        old_ = SelectObject(dc_.Get(), bitmap_.Get());
        SendMessageA(view, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.Get()), PRF_CLIENT);
    }
    ~Snapshot() { SelectObject(dc_.Get(), old_); }
    COLORREF At(int x, int y) const { return GetPixel(dc_.Get(), x, y); }

private:
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
};

COLORREF Inverted(COLORREF c) {
    return ~c & 0x00FFFFFF;
}

TEST_F(DrawerViewTest, PaintsKindsInSystemColoursWithHandlesTabsAndOutline) {
    TControlTool& button = PlaceButton(243, 201);  // (208,188)-(283,213), centre (245,200)
    auto& box = static_cast<TControlTool&>(CreateTool(view_.Drawer().Tools(), ToolCode::TextBox));
    box.SetRect({200, 260, 380, 280});
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    {
        Snapshot selected(View());
        EXPECT_EQ(selected.At(212, 192), face);
        EXPECT_EQ(selected.At(245, 200), Inverted(face));  // the centre handle
        EXPECT_EQ(selected.At(300, 270), GetSysColor(COLOR_WINDOW));
        int fx = GetSystemMetrics(SM_CXDLGFRAME);
        int fy = GetSystemMetrics(SM_CYDLGFRAME);
        EXPECT_EQ(selected.At(kFrame.left + fx, kFrame.top + fy + 1), GetSysColor(COLOR_ACTIVECAPTION));
        EXPECT_EQ(selected.At(5, 5), face);  // the surface's own colour
    }
    Key(VK_ESCAPE);
    EXPECT_EQ(Snapshot(View()).At(245, 200), face);
    view_.ToggleTabOrder();
    {
        Snapshot plain(View());
        EXPECT_EQ(plain.At(button.Rect().left + 4, button.Rect().top + 2), RGB(0, 0, 0));
        EXPECT_NE(plain.At(kFrame.left + 4, kFrame.top + 2), RGB(0, 0, 0));  // the frame has no number
    }
    view_.ToggleTabOrder();
    view_.Drawer().SelectTool(&box);
    Snapshot before(View());
    Press(380, 280);
    MoveTo(420, 300);
    Snapshot during(View());
    int changed = 0;
    for (int x = 200; x < 420; ++x)
        changed += during.At(x, 260) != before.At(x, 260);
    EXPECT_GT(changed, 20);  // the dotted outline's top edge
    Key(VK_ESCAPE);
}

TEST_F(DrawerViewTest, RepaintsCoverTabNumbersWiderThanTheirTool) {
    auto& small = static_cast<TControlTool&>(CreateTool(view_.Drawer().Tools(), ToolCode::CheckBox));
    small.SetRect({200, 200, 210, 210});
    view_.Drawer().SelectTool(&small);
    view_.ToggleTabOrder();
    ShowWindow(parent_.Get(), SW_SHOWNOACTIVATE);  // hidden windows keep no update region
    UpdateWindow(View());                          // the view learns the font height
    ValidateRect(View(), nullptr);
    SendMessageA(View(), WM_KEYDOWN, VK_RIGHT, 0);  // without Ctrl: nothing moves
    RECT dirty{};
    EXPECT_FALSE(GetUpdateRect(View(), &dirty, FALSE));
    view_.Drawer().KeyDown(DrawerKey::Right, kCtrl);
    ASSERT_TRUE(GetUpdateRect(View(), &dirty, FALSE));
    TEXTMETRICA metrics{};
    {
        WindowDc screen(View());
        UniqueFont font = MakeDialogFont(screen.Get(), false);
        SelectedObject selected(screen.Get(), font.Get());
        GetTextMetricsA(screen.Get(), &metrics);
    }
    EXPECT_GE(dirty.right, 200 + kTabBoxWidthInChars * metrics.tmHeight);
    EXPECT_LE(dirty.left, 200);
}

// A 4 x 4 bitmap file of one colour in the temporary folder.
std::string WriteBitmapFile(const char* name, COLORREF color) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + name;
    constexpr int kSide = 4;
    BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), kSide, kSide, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + kSide * kSide * 3;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int i = 0; i < kSide * kSide; ++i)
        bytes += {char(GetBValue(color)), char(GetGValue(color)), char(GetRValue(color))};
    FILE* out = fopen(path.c_str(), "wb");
    if (out == nullptr) return path;
    fwrite(bytes.data(), 1, bytes.size(), out);
    fclose(out);
    return path;
}

TEST_F(DrawerViewTest, ImagesShowTheLinkedBitmapOrAPlaceholder) {
    std::string path = WriteBitmapFile("tallow_surface_test.bmp", RGB(255, 0, 0));
    auto& shown = static_cast<TImageTool&>(CreateTool(view_.Drawer().Tools(), ToolCode::Image));
    shown.SetRect({200, 200, 220, 220});
    shown.fileName = path;
    auto& missing = static_cast<TImageTool&>(CreateTool(view_.Drawer().Tools(), ToolCode::Image));
    missing.SetRect({300, 200, 340, 240});
    missing.fileName = path + ".gone";
    Snapshot shot(View());
    EXPECT_EQ(shot.At(210, 210), RGB(255, 0, 0));
    EXPECT_EQ(shot.At(203, 203), GetSysColor(COLOR_BTNFACE));  // outside the centred 4 x 4
    EXPECT_EQ(shot.At(305, 230), GetSysColor(COLOR_WINDOW));
    DeleteFileA(path.c_str());
}

TEST_F(DrawerViewTest, TemplatesRoundTripEveryControl) {
    struct Row {
        ToolCode code;
        ToolRect rect;
        const char* caption;
    };
    const Row rows[] = {
        {ToolCode::Button, {180, 160, 255, 185}, "OK"},
        {ToolCode::Static, {180, 200, 360, 215}, "Name:"},
        {ToolCode::TextBox, {180, 220, 360, 240}, "text"},
        {ToolCode::CheckBox, {180, 245, 270, 260}, "Check"},
        {ToolCode::RadioButton, {280, 245, 370, 260}, "Radio"},
        {ToolCode::ListBox, {180, 265, 360, 320}, ""},
        {ToolCode::ComboBox, {370, 160, 470, 250}, "pick"},
    };
    for (const Row& row : rows) {
        auto& tool = static_cast<TControlTool&>(CreateTool(view_.Drawer().Tools(), row.code));
        tool.SetRect(row.rect);
        tool.caption = row.caption;
    }
    DialogMetrics metrics = MeasureDialogMetrics();
    ASSERT_GT(metrics.bx, 0);
    ASSERT_GT(metrics.by, 0);
    EXPECT_EQ(metrics.c, GetSystemMetrics(SM_CYCAPTION));
    view_.SetName("Dialog1");
    codec::DialogTemplate dialog = view_.MakeTemplate(metrics);

    DrawerView other;
    other.Create(parent_.Get(), 2, kViewArea);
    other.AddDialogFrame();
    other.LoadTemplate(dialog, metrics);
    const ToolSurface& from = view_.Drawer().Tools();
    const ToolSurface& to = other.Drawer().Tools();
    ASSERT_EQ(to.Count(), from.Count());
    EXPECT_FALSE(to.Modified());
    for (int i = 0; i < from.Count(); ++i) {
        auto& a = static_cast<const TControlTool&>(*from.At(i));
        auto& b = static_cast<const TControlTool&>(*to.At(i));
        EXPECT_EQ(b.Code(), a.Code()) << i;
        EXPECT_EQ(b.childId, a.childId) << i;
        EXPECT_EQ(b.caption, a.caption) << i;
        EXPECT_EQ(b.WindowStyle(), a.WindowStyle()) << i;
        EXPECT_LE(std::abs(b.Rect().left - a.Rect().left), metrics.bx) << i;
        EXPECT_LE(std::abs(b.Rect().bottom - a.Rect().bottom), metrics.by) << i;
    }

    // Metrics that cannot convert leave the loaded tools alone.
    EXPECT_THROW(other.LoadTemplate(dialog, DialogMetrics{}), TemplateError);
    EXPECT_EQ(to.Count(), from.Count());
}

TEST_F(DrawerViewTest, ExceptionsInHandlersStopAtTheWindowProcedure) {
    view_.onSelectChange = [](TTool*) { throw std::runtime_error("watcher failed"); };
    Press(kFrame.left + 10, kFrame.top + 40);
    ASSERT_EQ(answers_.boxes.size(), 1u);
    EXPECT_EQ(answers_.boxes[0].text, "watcher failed");
    EXPECT_TRUE(IsWindow(View()));
}

}  // namespace
}  // namespace tallow::ide::win32
