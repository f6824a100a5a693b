// The menu tables of the main window and the menu bar and shortcuts built from them.
#include "ide/win32/main_menu.h"

#include <stdexcept>

#include "ide/model/main_form_rules.h"

namespace tallow::ide::win32 {

namespace {

constexpr BYTE kCtrl = FVIRTKEY | FCONTROL;
constexpr BYTE kCtrlShift = FVIRTKEY | FCONTROL | FSHIFT;
constexpr BYTE kPlain = FVIRTKEY;
constexpr MenuItemSpec kSeparator{0, nullptr, 0, 0, nullptr};

constexpr MenuItemSpec kFileItems[] = {
    {cmd::kNew, "&New", kCtrl, 'N', "Ctrl+N"},
    {cmd::kNewDialog, "New &Dialog", 0, 0, nullptr},
    kSeparator,
    {cmd::kOpen, "&Open", kCtrl, 'O', "Ctrl+O"},
    {cmd::kSave, "&Save", kCtrl, 'S', "Ctrl+S"},
    {cmd::kSaveAs, "Save &As...", 0, 0, nullptr},
    kSeparator,
    {cmd::kPrintSetup, "Print Se&tup...", 0, 0, nullptr},
    {cmd::kPrint, "&Print...", 0, 0, nullptr},
    kSeparator,
    {cmd::kExit, "E&xit", 0, 0, nullptr},
};

constexpr MenuItemSpec kUtilityItems[] = {
    {cmd::kRun, "&Run", kPlain, VK_F5, "F5"},
    {cmd::kCompile, "&Compile...", kCtrl, VK_F5, "Ctrl+F5"},
    kSeparator,
    {cmd::kRegisterExtension, "Register &Extension...", 0, 0, nullptr},
};

constexpr MenuItemSpec kHelpItems[] = {
    {cmd::kContents, "&Contents", 0, 0, nullptr},
    {cmd::kTopicSearch, "Topic &Search", 0, 0, nullptr},
    {cmd::kUsingHelp, "Using &Help", 0, 0, nullptr},
    {cmd::kRevisionHistory, "Re&vision History", 0, 0, nullptr},
    kSeparator,
    {cmd::kAbout, "&About Tallow95...", 0, 0, nullptr},
};

// Del is the editor's and the surface's own key: the item shows it but
// carries no accelerator, so the key reaches them.
// Ctrl+Y is the editor's own key (it deletes the line), so Redo takes
// Ctrl+Shift+Z in both Edit menus.
constexpr MenuItemSpec kEditorEditItems[] = {
    {cmd::kUndo, "&Undo", kCtrl, 'Z', "Ctrl+Z"},
    {cmd::kRedo, "&Redo", kCtrlShift, 'Z', "Ctrl+Shift+Z"},
    kSeparator,
    {cmd::kCut, "Cu&t", kCtrl, 'X', "Ctrl+X"},
    {cmd::kCopy, "&Copy", kCtrl, 'C', "Ctrl+C"},
    {cmd::kPaste, "&Paste", kCtrl, 'V', "Ctrl+V"},
    {cmd::kDelete, "&Delete", 0, 0, "Del"},
    kSeparator,
    {cmd::kFind, "&Find...", kCtrl, 'F', "Ctrl+F"},
    {cmd::kFindAgain, "Find &Again", kPlain, VK_F3, "F3"},
    {cmd::kReplace, "&Replace...", kCtrl, 'R', "Ctrl+R"},
};

constexpr MenuItemSpec kDesignerEditItems[] = {
    {cmd::kUndoTool, "&Undo", kCtrl, 'Z', "Ctrl+Z"},
    {cmd::kRedoTool, "&Redo", kCtrlShift, 'Z', "Ctrl+Shift+Z"},
    kSeparator,
    {cmd::kCutTool, "Cu&t", kCtrl, 'X', "Ctrl+X"},
    {cmd::kCopyTool, "&Copy", kCtrl, 'C', "Ctrl+C"},
    {cmd::kPasteTool, "&Paste", kCtrl, 'V', "Ctrl+V"},
    {cmd::kDeleteTool, "&Delete", 0, 0, "Del"},
    kSeparator,
    {cmd::kGridSettings, "&Grid Settings...", 0, 0, nullptr},
    {cmd::kTabOrder, "Tab &Order", 0, 0, nullptr},
    kSeparator,
    {cmd::kTestDialog, "Test Dialog", kCtrl, 'T', "Ctrl+T"},
};

constexpr size_t kControlCount = std::size(kControlCommands);
static_assert(std::size(kControlToolCodes) == kControlCount, "one tool kind per Resources row");

constexpr MenuItemSpec ControlItem(size_t row) {
    return {static_cast<UINT>(cmd::kAddControl + row), kControlCommands[row].caption, 0, 0, nullptr};
}

constexpr MenuItemSpec kResourceItems[] = {
    ControlItem(0),
    ControlItem(1),
    ControlItem(2),
    ControlItem(3),
    ControlItem(4),
    ControlItem(5),
    ControlItem(6),
    kSeparator,
    {cmd::kRenameDialog, "Re&name Dialog...", 0, 0, nullptr},
    {cmd::kDeleteDialog, "&Delete Dialog", 0, 0, nullptr},
};
static_assert(kControlCount == 7 && cmd::kAddControl + kControlCount <= cmd::kRenameDialog,
              "the Resources rows and their ids");

constexpr PopupSpec kFileMenu{"&File", 10, kFileItems};
constexpr PopupSpec kEditorEditMenu{"&Edit", 15, kEditorEditItems};
constexpr PopupSpec kDesignerEditMenu{"&Edit", 15, kDesignerEditItems};
constexpr PopupSpec kUtilitiesMenu{"Utilities", 20, kUtilityItems};
constexpr PopupSpec kResourcesMenu{"&Resources", 25, kResourceItems};
constexpr PopupSpec kHelpMenu{"&Help", 30, kHelpItems};

void AppendItems(HMENU menu, std::span<const MenuItemSpec> items) {
    for (const MenuItemSpec& item : items) {
        if (item.id == 0)
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING, item.id, ItemText(item).c_str());
    }
}

}  // namespace

int ControlRowOf(ToolCode code) {
    for (size_t row = 0; row < kControlCount; ++row)
        if (kControlToolCodes[row] == code) return static_cast<int>(row);
    return -1;
}

std::vector<PopupSpec> MenuBarPopups(MenuKind kind) {
    if (kind == MenuKind::Code) return {kFileMenu, kEditorEditMenu, kUtilitiesMenu, kHelpMenu};
    return {kFileMenu, kDesignerEditMenu, kUtilitiesMenu, kResourcesMenu, kHelpMenu};
}

std::string ItemText(const MenuItemSpec& item) {
    std::string text = item.caption;
    if (item.keyText) text += std::string("\t") + item.keyText;
    return text;
}

UniqueMenu BuildMenuBar(MenuKind kind, const std::vector<std::string>& recentCaptions) {
    UniqueMenu bar(CreateMenu());
    if (!bar) throw std::runtime_error("Cannot create the menu");
    for (const PopupSpec& popup : MenuBarPopups(kind)) {
        HMENU sub = CreatePopupMenu();
        if (!sub) throw std::runtime_error("Cannot create the menu");
        // The bar owns the popup from here and destroys it with itself.
        AppendMenuA(bar.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(sub), popup.caption);
        AppendItems(sub, popup.items);
        if (popup.group == kFileMenu.group && !recentCaptions.empty()) {
            AppendMenuA(sub, MF_SEPARATOR, 0, nullptr);
            UINT id = cmd::kRecentFirst;
            for (const std::string& caption : recentCaptions) {
                if (id > cmd::kRecentLast) break;
                AppendMenuA(sub, MF_STRING, id++, caption.c_str());
            }
        }
    }
    return bar;
}

UniqueAccelerators BuildAccelerators(MenuKind kind) {
    std::vector<ACCEL> keys;
    for (const PopupSpec& popup : MenuBarPopups(kind))
        for (const MenuItemSpec& item : popup.items)
            if (item.keyFlags & FVIRTKEY)
                keys.push_back({item.keyFlags, item.key, static_cast<WORD>(item.id)});
    UniqueAccelerators table(CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size())));
    if (!table) throw std::runtime_error("Cannot create the shortcuts");
    return table;
}

}  // namespace tallow::ide::win32
