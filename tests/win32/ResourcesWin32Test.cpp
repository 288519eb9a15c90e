// The resources the program loads are linked in, in the shapes the code takes
// them: a misshapen one fails here rather than in front of a user. That each
// window and string is there, the window tests show by opening them.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "resources/ResourceIds.h"

namespace {

HINSTANCE module() {
    return GetModuleHandleA(nullptr);
}

TEST(Resources, TheFileMessagesTakeOneFileName) {
    // They go through a printf-style call with one file name.
    for (int id : {IDS_SAVE_FAILED, IDS_OPEN_FAILED, IDS_NEW_ASK_REPLACE, IDS_NEW_FILE_NOT_WRITTEN,
                   IDS_IMPORT_ASK_REPLACE, IDS_IMPORT_OVER_SOURCE}) {
        char text[1024] = {};
        std::string shown(text, size_t(LoadStringA(module(), UINT(id), text, sizeof text)));
        EXPECT_NE(shown.find("%s"), std::string::npos) << shown;
        EXPECT_EQ(shown.find('%'), shown.rfind('%')) << "one argument only: " << shown;
    }
}

TEST(Resources, PopupMenusHoldTheirEntriesInTheFirstSubmenu) {
    for (int id : {IDR_POPUP_IMPORT, IDR_POPUP_PUBLISH, IDR_CONTEXT_MANIFEST, IDR_CONTEXT_SPINE,
                   IDR_CONTEXT_METADATA, IDR_CONTEXT_TOURS, IDR_CONTEXT_GUIDE}) {
        HMENU menu = LoadMenuA(module(), MAKEINTRESOURCEA(id));
        HMENU popup = GetSubMenu(menu, 0);
        EXPECT_TRUE(popup != nullptr && GetMenuItemCount(popup) > 0) << "menu " << id;
        DestroyMenu(menu);
    }
}

TEST(Resources, PicturesHaveTheSizesTheirImageListsAndToolbarTake) {
    auto size = [](const char* name) {
        BITMAP info{};
        HBITMAP bitmap = LoadBitmapA(module(), name);
        GetObjectA(bitmap, sizeof info, &info);
        DeleteObject(bitmap);
        return std::to_string(info.bmWidth) + "x" + std::to_string(info.bmHeight);
    };
    for (const char* name :
         {RESNAME_IDB_MANIFEST, RESNAME_IDB_SPINE, RESNAME_IDB_METADATA, RESNAME_IDB_TOURS, RESNAME_IDB_GUIDE,
          RESNAME_IDB_HREF, RESNAME_IDB_FOLDER, RESNAME_IDB_TAB_MANIFEST, RESNAME_IDB_TAB_SPINE,
          RESNAME_IDB_TAB_METADATA, RESNAME_IDB_TAB_TOURS, RESNAME_IDB_TAB_GUIDE, RESNAME_IDB_BTN_FOLDER})
        EXPECT_EQ(size(name), "16x16") << name;
    // One 16-pixel image per toolbar picture the buttons index.
    EXPECT_EQ(size(MAKEINTRESOURCEA(IDB_TOOLBAR_STRIP)), std::to_string(16 * TOOLBAR_IMAGE_COUNT) + "x16");
}

}  // namespace
