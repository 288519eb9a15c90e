#include <gtest/gtest.h>

#include <set>

#include "win32/CommandTableWin32.h"

namespace {

// Entries the menus show without an action of their own, grey wherever
// they are.
const std::set<int> kEntriesWithoutAction = {
    ID_IMPORT_WEB_SITE,    ID_PUBLISH_WAP,   ID_TOOLS_CHECK_LINKS, ID_TOOLS_CHECK_VALIDITY,
    ID_GUIDE_MOVE_UP,      ID_GUIDE_MOVE_DOWN, ID_TOURS_PREVIEW,
};

void collectCommands(HMENU menu, std::set<int>& out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            collectCommands(sub, out);
            continue;
        }
        UINT id = GetMenuItemID(menu, i);
        if (id == 0 || id == UINT(-1)) continue;  // 0: a separator
        out.insert(int(id));
        if (kEntriesWithoutAction.count(int(id)) == 1) {
            EXPECT_NE(GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_GRAYED, 0u) << "not grey: " << id;
        }
    }
}

TEST(CommandTable, EveryCommandOfTheMenusAndToolbarHasARowOrIsAnEntryWithoutAction) {
    std::set<int> commands;
    for (int menuId : {IDR_MAIN_MENU, IDR_POPUP_IMPORT, IDR_POPUP_PUBLISH, IDR_CONTEXT_MANIFEST,
                       IDR_CONTEXT_GUIDE, IDR_CONTEXT_METADATA, IDR_CONTEXT_SPINE, IDR_CONTEXT_TOURS}) {
        HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(menuId));
        ASSERT_NE(menu, nullptr) << menuId;
        collectCommands(menu, commands);
        DestroyMenu(menu);
    }
    for (int i = 0; i < toolbarButtonCount(); ++i) {
        if (int command = toolbarButtonCommand(i)) commands.insert(command);
    }
    ASSERT_GT(commands.size(), 50u);
    for (int command : commands) {
        bool hasRow = findCommandRow(command) != nullptr;
        EXPECT_NE(hasRow, kEntriesWithoutAction.count(command) == 1) << "command " << command;
    }
}

}  // namespace
