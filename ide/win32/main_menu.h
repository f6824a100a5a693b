// The main window's menus and shortcuts as tables: the command ids (tests
// send WM_COMMAND with them), the popups with their items, and the menu bar
// and accelerator table built from them for the code page or a dialog page.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "ide/model/tool.h"
#include "ide/win32/win_handles.h"

namespace tallow::ide::win32 {

namespace cmd {
// File
inline constexpr UINT kNew = 100;
inline constexpr UINT kNewDialog = 101;
inline constexpr UINT kOpen = 102;
inline constexpr UINT kSave = 103;
inline constexpr UINT kSaveAs = 104;
inline constexpr UINT kPrintSetup = 105;
inline constexpr UINT kPrint = 106;
inline constexpr UINT kExit = 107;
// Utilities
inline constexpr UINT kRun = 120;
inline constexpr UINT kCompile = 121;
inline constexpr UINT kRegisterExtension = 122;
// Help
inline constexpr UINT kContents = 130;
inline constexpr UINT kTopicSearch = 131;
inline constexpr UINT kUsingHelp = 132;
inline constexpr UINT kRevisionHistory = 133;
inline constexpr UINT kAbout = 134;
// Edit, on the code page
inline constexpr UINT kCut = 140;
inline constexpr UINT kCopy = 141;
inline constexpr UINT kPaste = 142;
inline constexpr UINT kDelete = 143;
inline constexpr UINT kFind = 144;
inline constexpr UINT kFindAgain = 145;
inline constexpr UINT kReplace = 146;
inline constexpr UINT kUndo = 147;
inline constexpr UINT kRedo = 148;
// Edit, on a dialog page
inline constexpr UINT kCutTool = 150;
inline constexpr UINT kCopyTool = 151;
inline constexpr UINT kPasteTool = 152;
inline constexpr UINT kDeleteTool = 153;
inline constexpr UINT kGridSettings = 154;
inline constexpr UINT kTabOrder = 155;
inline constexpr UINT kTestDialog = 156;
inline constexpr UINT kUndoTool = 157;
inline constexpr UINT kRedoTool = 158;
// Resources: kAddControl + the row of kControlCommands
inline constexpr UINT kAddControl = 160;
inline constexpr UINT kRenameDialog = 170;
inline constexpr UINT kDeleteDialog = 171;
// The recent files of the File menu: kRecentFirst + their index.
inline constexpr UINT kRecentFirst = 200;
inline constexpr UINT kRecentLast = 299;
}  // namespace cmd

// The tool kinds of the Resources menu, in the rows of kControlCommands.
inline constexpr ToolCode kControlToolCodes[] = {ToolCode::Button,   ToolCode::Static,      ToolCode::TextBox,
                                                 ToolCode::CheckBox, ToolCode::RadioButton, ToolCode::ListBox,
                                                 ToolCode::ComboBox};
// The row of kControlCommands for a tool kind; -1 for the other kinds.
int ControlRowOf(ToolCode code);

// One menu item: id 0 is a separator. A shortcut (keyFlags with FVIRTKEY)
// becomes an accelerator, and its text follows the caption after a tab.
struct MenuItemSpec {
    UINT id;
    const char* caption;
    BYTE keyFlags;
    WORD key;
    const char* keyText;
};

struct PopupSpec {
    const char* caption;
    int group;  // the menu bar's order
    std::span<const MenuItemSpec> items;
};

// Which Edit menu the bar carries: the editor's, or the designer's with Resources.
enum class MenuKind { Code, Dialog };

// The popups of the bar for that page, in group order.
std::vector<PopupSpec> MenuBarPopups(MenuKind kind);
// The caption of an item as the menu shows it.
std::string ItemText(const MenuItemSpec& item);

// The menu bar; recentCaptions follow the File menu's last item after a separator.
UniqueMenu BuildMenuBar(MenuKind kind, const std::vector<std::string>& recentCaptions);

inline void DestroyAcceleratorHandle(HACCEL table) {
    DestroyAcceleratorTable(table);
}
using UniqueAccelerators = UniqueHandle<HACCEL, DestroyAcceleratorHandle>;
// The shortcuts of the bar for that page.
UniqueAccelerators BuildAccelerators(MenuKind kind);

}  // namespace tallow::ide::win32
