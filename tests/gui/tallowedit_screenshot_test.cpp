// The main window as a person sees it, shown on the display: a program on
// the Code page, then a dialog page holding one tool of every kind, then the
// reference F1 opened in the browser beside it. The pictures go to
// TALLOW_SCREENSHOT_DIR as tallowedit-code, tallowedit-dialog (the README
// shows one) and tallowedit-help.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "gui_test.h"
#include "ide/model/control_tool.h"
#include "ide/model/main_form_rules.h"
#include "ide/model/shape_tools.h"
#include "ide/model/tool_factory.h"
#include "ide/win32/main_form.h"

namespace tallow::ide::win32::test {
namespace {

constexpr int kFormWidth = 800;
constexpr int kFormHeight = 560;

constexpr const char* kSampleCode =
    "' Asks for a name, then greets its owner.\r\n"
    "proc greet# name$\r\n"
    "    Result# = msgbox(\"Hello, \" + name$ + \"!\", 0, \"Greeting\")\r\n"
    "endproc\r\n"
    "\r\n"
    "if Dialog.Execute() = 1 then\r\n"
    "    answer# = greet(Dialog.gettext(101))\r\n"
    "endif";

// The dialog frame's size, and where each kind goes relative to the frame's
// client area, in pixels, with the caption a text-bearing tool shows.
constexpr int kFrameWidth = 250;
constexpr int kFrameHeight = 290;
constexpr int kFrameCaption = 24;
struct Placement {
    ToolCode code;
    ToolRect area;
    const char* caption;
};
constexpr Placement kPlacements[] = {
    {ToolCode::Static, {12, 14, 72, 30}, "Name:"},
    {ToolCode::TextBox, {80, 10, 230, 32}, "Ada"},
    {ToolCode::CheckBox, {12, 42, 150, 60}, "Remember me"},
    {ToolCode::RadioButton, {12, 66, 110, 84}, "Morning"},
    {ToolCode::RadioButton, {120, 66, 230, 84}, "Evening"},
    {ToolCode::ListBox, {12, 94, 110, 170}, ""},
    {ToolCode::ComboBox, {120, 94, 230, 116}, ""},
    {ToolCode::Image, {120, 124, 170, 170}, ""},
    {ToolCode::Line, {180, 126, 230, 168}, ""},
    {ToolCode::Rect, {12, 180, 60, 210}, ""},
    {ToolCode::Circle, {68, 180, 116, 210}, ""},
    {ToolCode::Text, {124, 184, 230, 204}, "Shapes"},
    {ToolCode::Button, {150, 218, 230, 242}, "OK"},
};

// Sizes the surface's dialog frame and adds every tool of kPlacements
// inside it; the number of controls (tools that become template items).
size_t AddEveryKind(ToolSurface& tools) {
    auto& dialog = dynamic_cast<TLineTool&>(*tools.DialogTool());
    const ToolPoint origin = dialog.P1();
    dialog.SetPoints(origin, {origin.x + kFrameWidth, origin.y + kFrameHeight});
    size_t controls = 0;
    for (const Placement& place : kPlacements) {
        TTool& tool = CreateTool(tools, place.code);
        if (dynamic_cast<TControlTool*>(&tool)) ++controls;
        const int top = origin.y + kFrameCaption;
        const ToolRect at{origin.x + place.area.left, top + place.area.top, origin.x + place.area.right,
                          top + place.area.bottom};
        if (auto* circle = dynamic_cast<TCircleTool*>(&tool))
            circle->Set({(at.left + at.right) / 2, (at.top + at.bottom) / 2}, (at.right - at.left) / 2,
                        (at.bottom - at.top) / 2);
        else
            dynamic_cast<TLineTool&>(tool).SetPoints({at.left, at.top}, {at.right, at.bottom});
        if (auto* text = dynamic_cast<TTextTool*>(&tool); text && *place.caption)
            text->caption = place.caption;
    }
    return controls;
}

// Selects a page as a click on its tab does: the strip changes, then tells
// its parent.
void ClickTab(TMainForm& form, int index) {
    TabCtrl_SetCurSel(form.TabStrip(), index);
    NMHDR header{form.TabStrip(), 1, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(form.Handle(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header));
}

// Lets the window settle: an idle round, then whatever painting is due.
void Settle(TMainForm& form) {
    form.Idle();
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(200);
}

TEST(TallowEditScreenshots, CodePageThenADialogWithEveryKindOfTool) {
    FakeModalAnswers answers;
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);  // the default placement
    TMainForm form;
    MainFormOptions options;
    options.registerFileType = false;
    options.mergeHelpContents = false;
    options.postQuit = false;
    form.Create(options);
    SetWindowPos(form.Handle(), HWND_TOP, 0, 0, kFormWidth, kFormHeight, SWP_NOMOVE);

    form.Model().Editor().SetText(kSampleCode);
    Settle(form);
    const auto code = CaptureWindowBmp(form.Handle());
    ASSERT_FALSE(code.empty());
    SaveScreenshot(form.Handle(), "tallowedit-code");

    ClickTab(form, 1);
    DrawerView* surface = form.Surface(0);
    ASSERT_NE(surface, nullptr);
    ASSERT_NE(surface->Drawer().Tools().DialogTool(), nullptr);
    const size_t controls = AddEveryKind(surface->Drawer().Tools());
    InvalidateRect(surface->Handle(), nullptr, TRUE);
    Settle(form);
    const auto dialog = CaptureWindowBmp(form.Handle());
    SaveScreenshot(form.Handle(), "tallowedit-dialog");
    EXPECT_NE(dialog, code);

    // Every control made it into the dialog's template; the shapes are drawn
    // only in the designer.
    const auto made = surface->MakeTemplate(MeasureDialogMetrics());
    EXPECT_EQ(made.items.size(), controls);
    EXPECT_TRUE(answers.boxes.empty()) << answers.boxes.front().text;

    form.promptOnClose = false;
    SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
}

// F1 on a word of the code with the real browser: the session's (dillo, on
// the private display), named by TALLOW_GUI_BROWSER; the whole screen is
// taken, the browser's window and TallowEdit's.
TEST(TallowEditScreenshots, TheReferenceOpenedByF1) {
    if (!std::getenv("TALLOW_GUI_BROWSER")) GTEST_SKIP() << "no browser on the test display";
    FakeModalAnswers answers;
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    TMainForm form;
    MainFormOptions options;
    options.registerFileType = false;
    options.mergeHelpContents = false;
    options.postQuit = false;
    form.Create(options);
    if (form.Programs().reference.empty()) GTEST_SKIP() << "the reference is not built";
    SetWindowPos(form.Handle(), HWND_TOP, 0, 0, kFormWidth, kFormHeight, SWP_NOMOVE);
    form.Model().Editor().SetText(kSampleCode);
    form.Model().Editor().SetCursor(2, 16);  // on "msgbox"
    Settle(form);
    MSG key{form.EditorView().Handle(), WM_KEYDOWN, VK_F1, 0, 0, {}};
    EXPECT_TRUE(form.PreTranslate(key));
    // The browser starts outside Wine; its window comes when it comes.
    PumpFor(8000);
    Settle(form);
    SaveScreenshot(GetDesktopWindow(), "tallowedit-help");
    EXPECT_TRUE(answers.boxes.empty()) << answers.boxes.front().text;
    form.promptOnClose = false;
    SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
}

}  // namespace
}  // namespace tallow::ide::win32::test
