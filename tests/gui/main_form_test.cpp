// The main window driven in-process: its tabs, menus, status bar, dialog
// commands, search, saving, the registry values it keeps and the test dialog,
// with every box and chooser answered by a recorder instead of a person.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "codec/code_file.h"
#include "codec/dialog_template.h"
#include "ide/model/ide_messages.h"
#include "ide/model/main_form_rules.h"
#include "ide/model/run_report.h"
#include "ide/win32/main_form.h"
#include "ide/win32/main_menu.h"
#include "ide/win32/modal_answers.h"

namespace tallow::ide::win32 {
namespace {

struct Box {
    std::string text;
    UINT flags;
};

// Records every box and answers from queues; an empty queue gives the
// box's first button, Cancel for a chooser or the name dialog.
class RecordingAnswers : public ModalAnswers {
public:
    std::vector<Box> boxes;
    std::deque<int> buttons;
    std::deque<std::string> files;
    std::deque<std::string> names;

    int MessageBox(const std::string& text, const std::string&, UINT flags) override {
        boxes.push_back({text, flags});
        if (!buttons.empty()) {
            int button = buttons.front();
            buttons.pop_front();
            return button;
        }
        UINT type = flags & MB_TYPEMASK;
        return type == MB_YESNO || type == MB_YESNOCANCEL ? IDYES : IDOK;
    }
    std::vector<FileDialogRequest> requests;

    std::optional<std::string> FileDialog(const FileDialogRequest& request, bool) override {
        requests.push_back(request);
        if (files.empty()) return std::nullopt;
        std::string path = files.front();
        files.pop_front();
        return path;
    }
    std::optional<std::string> NameDialog(const std::string&) override {
        if (names.empty()) return std::nullopt;
        std::string name = names.front();
        names.pop_front();
        return name;
    }
};

std::string TempFolder() {
    char buffer[MAX_PATH + 1] = {};
    GetTempPathA(sizeof buffer, buffer);
    return buffer;
}

std::string RegistryValue(const std::string& section, const std::string& name) {
    char value[1024] = {};
    DWORD size = sizeof value - 1;
    std::string key = std::string(kSettingsKey) + "\\" + section;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return "(missing)";
    return value;
}

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        SetModalAnswers(&answers);
        MainFormOptions options;
        options.showCommand = SW_HIDE;
        options.registerFileType = false;
        options.mergeHelpContents = false;
        options.postQuit = false;
        form.Create(options);
    }
    void TearDown() override {
        if (form.Handle()) {
            form.promptOnClose = false;
            SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
        }
        SetModalAnswers(nullptr);
    }

    void Command(UINT id) { SendMessageA(form.Handle(), WM_COMMAND, id, 0); }
    std::string Title() {
        char text[256] = {};
        GetWindowTextA(form.Handle(), text, sizeof text);
        return text;
    }
    std::vector<std::string> Tabs() {
        std::vector<std::string> captions;
        int count = TabCtrl_GetItemCount(form.TabStrip());
        for (int i = 0; i < count; ++i) {
            char text[64] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(form.TabStrip(), TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            captions.push_back(text);
        }
        return captions;
    }
    int ActiveTab() { return TabCtrl_GetCurSel(form.TabStrip()); }
    // Clicks a tab as the user does: the strip selects it and tells its parent.
    void ClickTab(int index) {
        TabCtrl_SetCurSel(form.TabStrip(), index);
        NMHDR header{form.TabStrip(), 1, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(form.Handle(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header));
    }
    std::string StatusPanel(int panel) {
        char text[256] = {};
        SendMessageA(form.StatusBar(), SB_GETTEXTA, panel, reinterpret_cast<LPARAM>(text));
        std::string shown = text;
        if (!shown.empty() && shown[0] == '\t') shown.erase(0, 1);  // the centring mark
        return shown;
    }
    std::vector<std::string> MenuBarCaptions() {
        std::vector<std::string> captions;
        HMENU bar = GetMenu(form.Handle());
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            char text[64] = {};
            GetMenuStringA(bar, i, text, sizeof text, MF_BYPOSITION);
            captions.push_back(text);
        }
        return captions;
    }
    std::string MenuText(UINT id) {
        char text[128] = {};
        GetMenuStringA(GetMenu(form.Handle()), id, text, sizeof text, MF_BYCOMMAND);
        return text;
    }
    // The state of an item as the popup holding it opens.
    UINT ItemStateOnOpen(UINT id) {
        HMENU bar = GetMenu(form.Handle());
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            HMENU popup = GetSubMenu(bar, i);
            if (GetMenuState(popup, id, MF_BYCOMMAND) == static_cast<UINT>(-1)) continue;
            SendMessageA(form.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), i);
            return GetMenuState(popup, id, MF_BYCOMMAND);
        }
        return static_cast<UINT>(-1);
    }
    bool PressKey(WPARAM key) {
        MSG msg{form.EditorView().Handle(), WM_KEYDOWN, key, 0, 0, {}};
        return form.PreTranslate(msg);
    }
    void SendSearch(DWORD flags, const char* find, const char* with) {
        char findText[64] = {}, withText[64] = {};
        std::strncpy(findText, find, sizeof findText - 1);
        std::strncpy(withText, with, sizeof withText - 1);
        FINDREPLACEA request{};
        request.lStructSize = sizeof request;
        request.Flags = flags;
        request.lpstrFindWhat = findText;
        request.wFindWhatLen = sizeof findText;
        request.lpstrReplaceWith = withText;
        request.wReplaceWithLen = sizeof withText;
        SendMessageA(form.Handle(), TMainForm::FindMessage(), 0, reinterpret_cast<LPARAM>(&request));
    }
    std::string LastBox() { return answers.boxes.empty() ? "(none)" : answers.boxes.back().text; }

    RecordingAnswers answers;
    TMainForm form;
};

TEST_F(MainFormTest, FreshStartShowsTheUntitledDocumentWithTheCodePageMenus) {
    form.Idle();
    EXPECT_EQ(Title(), "untitled.cod - Tallow95");
    EXPECT_EQ(Tabs(), (std::vector<std::string>{"Code", "Dialog"}));
    EXPECT_EQ(ActiveTab(), 0);
    EXPECT_EQ(form.Model().Editor().Lines(), std::vector<std::string>{"Dialog.Execute()"});
    EXPECT_EQ(StatusPanel(0), "1: 1");
    EXPECT_EQ(StatusPanel(1), "");
    EXPECT_EQ(MenuBarCaptions(), (std::vector<std::string>{"&File", "&Edit", "Utilities", "&Help"}));
    EXPECT_EQ(MenuText(cmd::kNew), "&New\tCtrl+N");
    EXPECT_EQ(MenuText(cmd::kCompile), "&Compile...\tCtrl+F5");
    EXPECT_EQ(MenuText(cmd::kDelete), "&Delete\tDel");
    // Nothing selected: Cut, Copy and Delete are off.
    EXPECT_TRUE(GetMenuState(GetMenu(form.Handle()), cmd::kCut, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(answers.boxes.empty());
}

TEST_F(MainFormTest, IdleRoundsFollowTheCursorAndTheSelection) {
    ProgrammerModel& editor = form.Model().Editor();
    editor.SetText("first\r\nsecond line");
    editor.SetCursor(1, 4);
    form.Idle();
    EXPECT_EQ(StatusPanel(0), "2: 5");
    EXPECT_TRUE(GetMenuState(GetMenu(form.Handle()), cmd::kCopy, MF_BYCOMMAND) & MF_GRAYED);
    editor.Select({1, 0}, {1, 6});
    form.Idle();
    for (UINT id : {cmd::kCut, cmd::kCopy, cmd::kDelete})
        EXPECT_FALSE(GetMenuState(GetMenu(form.Handle()), id, MF_BYCOMMAND) & MF_GRAYED) << id;
    Command(cmd::kDelete);
    EXPECT_EQ(editor.Line(1), " line");
    form.Idle();
    EXPECT_EQ(StatusPanel(1), "Modified");
    EXPECT_TRUE(GetMenuState(GetMenu(form.Handle()), cmd::kCut, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(MainFormTest, F1LooksUpTheWordAtTheCursorOrTheSelectedControlsTopic) {
    std::vector<std::string> opened;
    form.Help().open = [&](const std::string& path) { opened.push_back(path); };
    auto openedText = [&] {
        std::vector<uint8_t> bytes;
        Win32DocumentHost().ReadFile(opened.back(), bytes);
        return std::string(bytes.begin(), bytes.end());
    };
    form.Model().Editor().SetText("x = msgbox(\"hi\")");
    form.Model().Editor().SetCursor(0, 2);
    EXPECT_TRUE(PressKey(VK_F1));
    ASSERT_EQ(opened.size(), 1u);
    // The reference is not installed beside the tests: the own page names the word.
    EXPECT_NE(openedText().find("msgbox"), std::string::npos);

    ClickTab(1);
    EXPECT_TRUE(PressKey(VK_F1));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_NE(openedText().find("dialog resource editor"), std::string::npos);
    form.Help().Quit();
}

TEST_F(MainFormTest, DialogPagesBringTheDesignerMenusAndF6CyclesBackToCode) {
    ClickTab(1);
    form.Idle();
    EXPECT_EQ(MenuBarCaptions(),
              (std::vector<std::string>{"&File", "&Edit", "Utilities", "&Resources", "&Help"}));
    EXPECT_EQ(MenuText(cmd::kTestDialog), "Test Dialog\tCtrl+T");
    EXPECT_EQ(StatusPanel(0), "");
    // The first dialog can never be deleted.
    EXPECT_TRUE(ItemStateOnOpen(cmd::kDeleteDialog) & MF_GRAYED);
    // A shortcut of the editor's menu is not the designer's.
    ASSERT_NE(form.Accelerators(), nullptr);

    Command(cmd::kNewDialog);
    EXPECT_EQ(ActiveTab(), 2);
    EXPECT_FALSE(ItemStateOnOpen(cmd::kDeleteDialog) & MF_GRAYED);
    EXPECT_TRUE(PressKey(VK_F6));
    EXPECT_EQ(ActiveTab(), 0);
    EXPECT_EQ(form.Model().ActiveTab(), 0);
    EXPECT_EQ(MenuBarCaptions().size(), 4u);
    EXPECT_TRUE(PressKey(VK_F6));
    EXPECT_EQ(ActiveTab(), 1);
    EXPECT_FALSE(PressKey(VK_F2));
}

TEST_F(MainFormTest, NewDialogsTakeTheSmallestFreeNumberAndDeleteAsksFirst) {
    for (int i = 0; i < 3; ++i)
        Command(cmd::kNewDialog);
    EXPECT_EQ(Tabs(), (std::vector<std::string>{"Code", "Dialog", "Dialog1", "Dialog2", "Dialog3"}));
    EXPECT_EQ(ActiveTab(), 4);
    form.Idle();
    EXPECT_EQ(StatusPanel(1), "Modified");
    EXPECT_EQ(Title(), "untitled.cod - Tallow95");

    ClickTab(3);
    answers.buttons = {IDNO};
    Command(cmd::kDeleteDialog);
    EXPECT_EQ(LastBox(), msg::kDeleteDialogPrompt);
    EXPECT_EQ(Tabs().size(), 5u);
    Command(cmd::kDeleteDialog);
    EXPECT_EQ(Tabs(), (std::vector<std::string>{"Code", "Dialog", "Dialog1", "Dialog3"}));
    EXPECT_EQ(ActiveTab(), 3);
    EXPECT_EQ(form.Surface(3), nullptr);
    ASSERT_NE(form.Surface(2), nullptr);
    EXPECT_EQ(form.Surface(2)->Name(), "Dialog3");

    Command(cmd::kNewDialog);
    EXPECT_EQ(Tabs(), (std::vector<std::string>{"Code", "Dialog", "Dialog1", "Dialog3", "Dialog2"}));
    EXPECT_EQ(form.Surface(3)->Name(), "Dialog2");
}

TEST_F(MainFormTest, RenameRefusesReservedNamesAndAsksAgainButEndsOnAnInvalidOne) {
    ClickTab(1);
    answers.names = {"Editor", "status", "Dialog", "Main_1"};
    Command(cmd::kRenameDialog);
    ASSERT_EQ(answers.boxes.size(), 3u);
    for (const Box& box : answers.boxes) {
        EXPECT_EQ(box.text, msg::kReservedName);
        EXPECT_EQ(box.flags & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    }
    EXPECT_EQ(Tabs(), (std::vector<std::string>{"Code", "Main_1"}));
    EXPECT_EQ(form.Surface(0)->Name(), "Main_1");

    answers.boxes.clear();
    answers.names = {"1st", "Other"};
    Command(cmd::kRenameDialog);
    EXPECT_EQ(LastBox(), "''1st'' is not a valid component name");
    EXPECT_EQ(answers.names.size(), 1u);  // not asked again
    EXPECT_EQ(Tabs()[1], "Main_1");

    answers.names.clear();  // Cancel
    Command(cmd::kRenameDialog);
    EXPECT_EQ(Tabs()[1], "Main_1");
}

TEST_F(MainFormTest, ReplaceAllCountsAndKeepsTheCursor) {
    ProgrammerModel& editor = form.Model().Editor();
    editor.SetText("abc Abc\r\nxx abc");
    editor.SetCursor(1, 1);
    SendSearch(FR_REPLACEALL | FR_MATCHCASE, "abc", "q");
    EXPECT_EQ(LastBox(), "Replaced 2 occurances of 'abc'");
    EXPECT_EQ(editor.Lines(), (std::vector<std::string>{"q Abc", "xx q"}));
    EXPECT_EQ(editor.Cursor(), (TextPosition{1, 1}));

    SendSearch(FR_REPLACEALL, "zzz", "q");
    EXPECT_EQ(LastBox(), "Search string 'zzz' not found");
    EXPECT_EQ(editor.Cursor(), (TextPosition{1, 1}));

    // Find from the cursor; then F3 repeats the search the dialog left.
    editor.SetCursor(0, 0);
    SendSearch(FR_FINDNEXT, "ABC", "");
    EXPECT_EQ(editor.Cursor(), (TextPosition{0, 5}));
    answers.boxes.clear();
    Command(cmd::kFindAgain);
    EXPECT_EQ(LastBox(), "Search string 'ABC' not found");
}

BOOL CALLBACK CollectOwned(HWND window, LPARAM list) {
    auto* found = reinterpret_cast<std::vector<HWND>*>(list);
    if (GetWindow(window, GW_OWNER) == found->front()) found->push_back(window);
    return TRUE;
}

// The modeless search dialogs the window owns now (the owner itself excluded).
std::vector<HWND> OwnedWindows(HWND owner) {
    std::vector<HWND> found{owner};
    EnumThreadWindows(GetCurrentThreadId(), CollectOwned, reinterpret_cast<LPARAM>(&found));
    found.erase(found.begin());
    return found;
}

TEST_F(MainFormTest, FindAndReplaceDialogsTakeTurnsAndFindAgainOpensFindWhenEmpty) {
    Command(cmd::kFindAgain);
    std::vector<HWND> shown = OwnedWindows(form.Handle());
    ASSERT_EQ(shown.size(), 1u);
    HWND find = shown[0];
    Command(cmd::kFind);  // already open: no second one
    EXPECT_EQ(OwnedWindows(form.Handle()), shown);
    Command(cmd::kReplace);
    EXPECT_FALSE(IsWindow(find));
    ASSERT_EQ(OwnedWindows(form.Handle()).size(), 1u);
    HWND replace = OwnedWindows(form.Handle())[0];
    // Replace All closes the replace dialog; a later Replace opens a new one.
    form.Model().Editor().SetText("a a");
    SendSearch(FR_REPLACEALL, "a", "b");
    EXPECT_FALSE(IsWindow(replace));
    EXPECT_EQ(LastBox(), "Replaced 2 occurances of 'a'");
    Command(cmd::kReplace);
    EXPECT_EQ(OwnedWindows(form.Handle()).size(), 1u);
    EXPECT_EQ(answers.boxes.size(), 1u);
}

TEST_F(MainFormTest, SaveWritesTheDialogsAndTheCodeAndKeepsRecentFilesAndPlacement) {
    std::string path = TempFolder() + "tallow_main_form_test.cod";
    DeleteFileA(path.c_str());
    Command(cmd::kNewDialog);
    form.Model().Editor().SetText("x = 1\r\nDialog1.Execute()");
    answers.files = {path};
    Command(cmd::kSave);
    EXPECT_EQ(Title(), "tallow_main_form_test.cod - Tallow95");
    form.Idle();
    EXPECT_EQ(StatusPanel(1), "");

    std::vector<uint8_t> bytes;
    ASSERT_TRUE(Win32DocumentHost().ReadFile(path, bytes));
    codec::CodeFile file;
    ASSERT_EQ(codec::ReadCodeFile(bytes, file), codec::CodeFileError::None);
    EXPECT_EQ(file.version, 1);
    ASSERT_EQ(file.dialogs.size(), 2u);
    EXPECT_EQ(file.dialogs[0].name, "Dialog");
    EXPECT_EQ(file.dialogs[1].name, "Dialog1");
    EXPECT_EQ(file.Text(), "x = 1\r\nDialog1.Execute()");
    EXPECT_NE(file.year, 0);
    WIN32_FIND_DATAA leftover;
    HANDLE search = FindFirstFileA((path + ".*.new").c_str(), &leftover);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "the new file stayed beside the saved one";
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    EXPECT_EQ(MenuText(cmd::kRecentFirst), "&1  tallow_main_form_test.cod");

    // New, then the recent entry brings the file back with its pages.
    Command(cmd::kNew);
    EXPECT_EQ(Tabs(), (std::vector<std::string>{"Code", "Dialog"}));
    Command(cmd::kRecentFirst);
    EXPECT_EQ(Tabs(), (std::vector<std::string>{"Code", "Dialog", "Dialog1"}));
    EXPECT_EQ(form.Model().Editor().Line(1), "Dialog1.Execute()");

    MoveWindow(form.Handle(), 150, 90, 600, 450, TRUE);
    SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form.Handle(), nullptr);
    EXPECT_TRUE(answers.boxes.empty());
    EXPECT_EQ(RegistryValue("MRU Files", "File1"), path);
    EXPECT_EQ(RegistryValue("Window", "Left"), "150");
    EXPECT_EQ(RegistryValue("Window", "Top"), "90");
    EXPECT_EQ(RegistryValue("Window", "Width"), "600");
    EXPECT_EQ(RegistryValue("Window", "Height"), "450");
    EXPECT_EQ(RegistryValue("Window", "State"), "0");
    DeleteFileA(path.c_str());
}

TEST_F(MainFormTest, ClosingAModifiedDocumentAsksAndCancelKeepsTheWindow) {
    form.Model().Editor().InsertText("x");
    answers.buttons = {IDCANCEL};
    SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_NE(form.Handle(), nullptr);
    EXPECT_EQ(LastBox(), "Do you want to save your changes to 'untitled.cod'?");
    // Run on an untitled document must save first: Cancel runs nothing.
    answers.buttons = {IDCANCEL};
    Command(cmd::kRun);
    EXPECT_EQ(answers.boxes.back().flags & MB_TYPEMASK, static_cast<UINT>(MB_OKCANCEL));
}

TEST_F(MainFormTest, RunAndCompileSaveFirstThenStartExactlyTheirCommands) {
    std::vector<std::string> opened, started;
    bool verb = true;
    form.shellOpensCodeFiles = [&] { return verb; };
    form.openWithShell = [&](const std::string& path, const std::string& folder, const Environment& env) {
        opened.push_back(path + "|" + folder + "|" + std::to_string(env.size()));
        StartOutcome outcome;
        outcome.started = true;
        return outcome;
    };
    form.startProgram = [&](const std::string& application, const std::string& line, const std::string&,
                            const Environment&, bool hideConsole) {
        started.push_back(application + "|" + line + "|" + (hideConsole ? "hidden" : "shown"));
        StartOutcome outcome;
        outcome.error = "Access denied.";
        return outcome;
    };
    std::string folder = TempFolder();
    std::string path = folder + "tallow_run_test.cod";
    DeleteFileA(path.c_str());

    // Untitled: Yes (OK) and Cancel only; Cancel starts nothing.
    answers.buttons = {IDCANCEL};
    Command(cmd::kRun);
    EXPECT_EQ(LastBox(), "Do you want to save your changes to 'untitled.cod'?");
    EXPECT_TRUE(opened.empty());

    // The shell's verb, asked for the error report and the held console.
    answers.files = {path};
    Command(cmd::kRun);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], path + "|" + folder + "|2");

    // No verb: the launcher found beside the program, or a box saying there
    // is none; a start that fails says why.
    verb = false;
    answers.boxes.clear();
    Command(cmd::kRun);
    const ProgramLayout& layout = form.Programs();
    if (layout.launcher.empty()) {
        EXPECT_EQ(LastBox(), NoRunnerMessage(path));
    } else {
        ASSERT_EQ(started.size(), 1u);
        EXPECT_EQ(started[0], layout.launcher + "|" + LauncherCommandLine(layout.launcher, path) + "|shown");
        EXPECT_EQ(LastBox(), CannotRunMessage(path, "Access denied."));
    }
    EXPECT_EQ(opened.size(), 1u);
    started.clear();

    // Compile: TallowMake without a console window, with the command line
    // it reads; or a box when it is not there, without a chooser.
    size_t asked = answers.requests.size();
    answers.files = {folder + "built.exe"};
    Command(cmd::kCompile);
    if (layout.builder.empty()) {
        EXPECT_EQ(LastBox(), NoBuilderMessage(path));
        EXPECT_EQ(answers.requests.size(), asked);
    } else {
        const FileDialogRequest& request = answers.requests.back();
        EXPECT_EQ(request.title, "Create EXE");
        EXPECT_EQ(request.filter, "Program|*.exe");
        EXPECT_EQ(request.fileName, "tallow_run_test.exe");
        EXPECT_TRUE(request.promptOverwrite);
        ASSERT_EQ(started.size(), 1u);
        EXPECT_EQ(started[0], layout.builder + "|" +
                                  BuilderCommandLine(layout.builder, path, folder + "built.exe") + "|hidden");
        EXPECT_EQ(LastBox(), CannotCompileMessage(path, "Access denied."));
        Command(cmd::kCompile);  // the chooser cancelled
        EXPECT_EQ(started.size(), 1u);
    }
    DeleteFileA(path.c_str());
}

TEST_F(MainFormTest, DesignerEditCommandsWithoutASelectionSayNoToolSelected) {
    ClickTab(1);
    Command(cmd::kCutTool);
    EXPECT_EQ(LastBox(), msg::kNoToolSelected);
    EXPECT_EQ(answers.boxes.back().flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_TRUE(ItemStateOnOpen(cmd::kCutTool) & MF_GRAYED);
    EXPECT_FALSE(ItemStateOnOpen(cmd::kTabOrder) & MF_CHECKED);
    Command(cmd::kTabOrder);
    EXPECT_TRUE(ItemStateOnOpen(cmd::kTabOrder) & MF_CHECKED);
    // An editor command sent on a dialog page does nothing.
    answers.boxes.clear();
    Command(cmd::kFindAgain);
    EXPECT_TRUE(answers.boxes.empty());
}

// The model is the document: a control dropped on the surface is in the
// dialog's template at once, and leaves it again when it is cut.
TEST_F(MainFormTest, ControlsAddedOnTheSurfaceReachTheDocumentsTemplate) {
    ClickTab(1);
    ASSERT_TRUE(form.Model().Dialogs()[0].dialog.items.empty());
    Command(cmd::kAddControl);  // a button
    HWND surface = form.Surface(0)->Handle();
    LPARAM point = MAKELPARAM(200, 150);
    SendMessageA(surface, WM_MOUSEMOVE, 0, point);
    SendMessageA(surface, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(surface, WM_LBUTTONUP, 0, point);
    const codec::DialogTemplate& dialog = form.Model().Dialogs()[0].dialog;
    ASSERT_EQ(dialog.items.size(), 1u);
    EXPECT_EQ(dialog.title, u"Dialog");
    form.Idle();
    EXPECT_EQ(StatusPanel(1), "Modified");

    form.Model().Document().SetModified(false);
    Command(cmd::kCutTool);
    EXPECT_TRUE(answers.boxes.empty()) << LastBox();
    EXPECT_TRUE(form.Model().Dialogs()[0].dialog.items.empty());
    EXPECT_TRUE(form.Model().Document().Modified());
}

// The whole way a user takes: code typed key by key into the editor, a
// button dropped on the dialog with the pointer, the document saved. Where
// TALLOW_GUI_RUN_FILE names a file, the saved program stays there for the
// runner to run (the test tallowedit_saved_runs checks its output).
TEST_F(MainFormTest, TypedAndDesignedDocumentIsSavedWhole) {
    const char* keep = std::getenv("TALLOW_GUI_RUN_FILE");
    std::string path = keep ? keep : TempFolder() + "tallow_typed_document.cod";
    // A Linux path reaches this program as it stands; Wine shows the Linux
    // root as drive Z.
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    DeleteFileA(path.c_str());

    HWND editor = form.EditorView().Handle();
    form.Model().Editor().SetText("");
    const std::string lines[] = {"' typed in the editor",
                                 "print \"typed: \" + str(Dialog.execute()) + chr(10)"};
    for (const std::string& line : lines) {
        for (char ch : line)
            SendMessageA(editor, WM_CHAR, static_cast<unsigned char>(ch), 0);
        SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
    }
    EXPECT_EQ(form.Model().Editor().Line(1), lines[1]);

    ClickTab(1);
    Command(cmd::kAddControl);  // a button, placed where the pointer clicks
    HWND surface = form.Surface(0)->Handle();
    LPARAM point = MAKELPARAM(220, 160);
    SendMessageA(surface, WM_MOUSEMOVE, 0, point);
    SendMessageA(surface, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(surface, WM_LBUTTONUP, 0, point);

    answers.files = {path};
    Command(cmd::kSave);
    EXPECT_TRUE(answers.boxes.empty()) << LastBox();
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(Win32DocumentHost().ReadFile(path, bytes));
    codec::CodeFile file;
    ASSERT_EQ(codec::ReadCodeFile(bytes, file), codec::CodeFileError::None);
    EXPECT_EQ(file.Text().rfind(lines[0] + "\r\n" + lines[1] + "\r\n", 0), 0u) << file.Text();
    ASSERT_EQ(file.dialogs.size(), 1u);
    codec::DialogTemplate dialog;
    ASSERT_TRUE(codec::ReadDialogTemplate(file.dialogs[0].templateBytes, dialog));
    ASSERT_EQ(dialog.items.size(), 1u);
    EXPECT_EQ(dialog.items[0].windowClass.name, u"BUTTON");
    if (!keep) DeleteFileA(path.c_str());
}

TEST_F(MainFormTest, RegisterExtensionReportsLibrariesThatCannotRegister) {
    answers.files = {TempFolder() + "no_such_extension.tlx"};
    Command(cmd::kRegisterExtension);
    EXPECT_EQ(LastBox(), msg::kCouldNotLoadExtension);
    // A library without the entry point is loaded and let go again.
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    answers.files = {std::string(system) + "\\version.dll"};
    Command(cmd::kRegisterExtension);
    EXPECT_EQ(LastBox(), msg::kCannotSelfRegister);
    answers.boxes.clear();
    Command(cmd::kRegisterExtension);  // Cancel
    EXPECT_TRUE(answers.boxes.empty());
}

// The timer finds the test dialog, clicks its OK (which must not end it),
// then closes it.
struct TestDialogProbe {
    HWND owner = nullptr;
    std::string caption;
    bool survivedClick = false;
};
TestDialogProbe* probe = nullptr;

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM found) {
    if (GetWindow(window, GW_OWNER) == probe->owner && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK CloseTestDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, timer);
    char text[64] = {};
    GetWindowTextA(dialog, text, sizeof text);
    probe->caption = text;
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    probe->survivedClick = IsWindow(dialog) && IsWindowVisible(dialog);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

TEST_F(MainFormTest, TestDialogShowsTheCurrentDialogUntilItIsClosed) {
    TestDialogProbe seen;
    seen.owner = form.Handle();
    probe = &seen;
    ClickTab(1);
    UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseTestDialog);
    Command(cmd::kTestDialog);
    KillTimer(nullptr, timer);
    probe = nullptr;
    EXPECT_EQ(seen.caption, "Dialog");
    EXPECT_TRUE(seen.survivedClick);
    EXPECT_TRUE(answers.boxes.empty()) << LastBox();
}

// Start-up with a program folder of its own: the code-file type, the help
// contents merge and the file named on the command line.
TEST(MainFormStartUp, RegistersTheFileTypeMergesHelpContentsAndOpensTheFirstArgument) {
    std::string folder = TempFolder() + "tallow_start_up\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    Win32DocumentHost files;
    std::string contents = "1 Tallow\r\n:include EXTRA.CNT\r\n";
    files.WriteFile(folder + "Tallow.cnt", std::vector<uint8_t>(contents.begin(), contents.end()));
    files.WriteFile(folder + "extra.cnt", {});
    files.WriteFile(folder + "more.cnt", {});
    std::string document = folder + "start.cod";
    {
        RecordingAnswers answers;
        SetModalAnswers(&answers);
        TMainForm saver;
        MainFormOptions options;
        options.showCommand = SW_HIDE;
        options.postQuit = false;
        options.registerFileType = false;
        options.mergeHelpContents = false;
        saver.Create(options);
        SendMessageA(saver.Handle(), WM_COMMAND, cmd::kNewDialog, 0);
        answers.files = {document};
        SendMessageA(saver.Handle(), WM_COMMAND, cmd::kSave, 0);
        SetModalAnswers(nullptr);
    }

    RecordingAnswers answers;
    SetModalAnswers(&answers);
    TMainForm form;
    MainFormOptions options;
    options.programPath = folder + "TallowEdit.exe";
    options.openPath = document;
    options.showCommand = SW_HIDE;
    options.postQuit = false;
    form.Create(options);
    EXPECT_EQ(form.Model().Document().FileName(), document);
    EXPECT_EQ(form.Model().DialogNames(), (std::vector<std::string>{"Dialog", "Dialog1"}));
    EXPECT_EQ(TabCtrl_GetItemCount(form.TabStrip()), 3);

    std::vector<uint8_t> merged;
    ASSERT_TRUE(files.ReadFile(folder + "Tallow.cnt", merged));
    EXPECT_EQ(std::string(merged.begin(), merged.end()),
              "1 Tallow\r\n:include EXTRA.CNT\r\n1 Extension Objects\r\n:Include more.cnt\r\n");

    char value[512] = {};
    LONG size = sizeof value;
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, ".cod", value, &size), ERROR_SUCCESS);
    EXPECT_STREQ(value, "Tallow95CodFile");
    size = sizeof value;
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "Tallow95CodFile\\shell\\edit\\command", value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(value), "\"" + folder + "TallowEdit.exe\" \"%1\"");
    EXPECT_TRUE(answers.boxes.empty());

    form.promptOnClose = false;
    SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
    SetModalAnswers(nullptr);
    for (const char* name : {"Tallow.cnt", "extra.cnt", "more.cnt", "start.cod"})
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace tallow::ide::win32
