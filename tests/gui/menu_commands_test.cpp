// The main window's menu tables and its command table are keyed by the same
// ids: every item a menu shows runs a command, and every command has an
// item. Tables only; no window is made.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <vector>

#include "ide/model/main_form_rules.h"
#include "ide/win32/main_form.h"
#include "ide/win32/main_menu.h"

namespace tallow::ide::win32 {
namespace {

bool IsControlRow(UINT id) {
    return id >= cmd::kAddControl && id < cmd::kAddControl + std::size(kControlCommands);
}

std::set<UINT> MenuItemIds() {
    std::set<UINT> ids;
    for (MenuKind kind : {MenuKind::Code, MenuKind::Dialog})
        for (const PopupSpec& popup : MenuBarPopups(kind))
            for (const MenuItemSpec& item : popup.items)
                if (item.id != 0) ids.insert(item.id);
    return ids;
}

TEST(MenuCommands, EveryItemRunsACommandAndEveryCommandHasAnItem) {
    std::set<UINT> items = MenuItemIds();
    std::vector<UINT> commands = TMainForm::CommandIds();
    std::set<UINT> table(commands.begin(), commands.end());
    EXPECT_EQ(table.size(), commands.size()) << "a command id twice in the command table";
    for (UINT id : items)
        if (!IsControlRow(id)) EXPECT_TRUE(table.count(id)) << "menu item " << id << " runs no command";
    for (UINT id : table)
        EXPECT_TRUE(items.count(id)) << "command " << id << " is on no menu";
}

TEST(MenuCommands, TheResourcesRowsAddEachControlKindOnce) {
    std::set<UINT> items = MenuItemIds();
    for (size_t row = 0; row < std::size(kControlCommands); ++row) {
        EXPECT_TRUE(items.count(UINT(cmd::kAddControl + row))) << "Resources row " << row;
        EXPECT_EQ(ControlRowOf(kControlToolCodes[row]), int(row));
    }
}

}  // namespace
}  // namespace tallow::ide::win32
