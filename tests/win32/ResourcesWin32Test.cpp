// The resources the program loads are linked in, in the shapes the code takes
// them: a missing or misshapen one fails here rather than in front of a user.
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

std::string loadString(int id) {
    char text[1024] = {};
    int length = LoadStringA(module(), static_cast<UINT>(id), text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

SIZE bitmapSize(const char* name) {
    BITMAP info{};
    if (HBITMAP bitmap = LoadBitmapA(module(), name)) {
        GetObjectA(bitmap, sizeof info, &info);
        DeleteObject(bitmap);
    }
    return SIZE{info.bmWidth, info.bmHeight};
}

TEST(Resources, HoldEveryStringTheCodeLoads) {
    for (int id : {IDS_LABEL_NEW,          IDS_LABEL_IMPORT,    IDS_LABEL_OPEN,       IDS_LABEL_SAVE,
                   IDS_LABEL_PUBLISH,      IDS_TIP_NEW,         IDS_TIP_IMPORT,       IDS_TIP_OPEN,
                   IDS_TIP_SAVE,           IDS_TIP_PUBLISH,     IDS_TAB_MANIFEST,     IDS_TAB_SPINE,
                   IDS_TAB_METADATA,       IDS_TAB_TOURS,       IDS_TAB_GUIDE,        IDS_CAPTION_ERROR,
                   IDS_CAPTION_WARNING,    IDS_HELP_PAGE,       IDS_ASK_SAVE_PACKAGE, IDS_ASK_SET_HTML_EDITOR,
                   IDS_NO_PALMOS_EMULATOR, IDS_NO_WAP_EMULATOR, IDS_WEB_HOME,         IDS_WEB_DOWNLOADS,
                   IDS_WEB_SUPPORT,        IDS_WEB_FAQ}) {
        EXPECT_FALSE(loadString(id).empty()) << "string " << id;
    }
    // The failure messages go through a printf-style call with one file name.
    for (int id : {IDS_SAVE_FAILED, IDS_OPEN_FAILED}) {
        std::string text = loadString(id);
        EXPECT_NE(text.find("%s"), std::string::npos) << text;
        EXPECT_EQ(text.find('%'), text.rfind('%')) << "one argument only: " << text;
    }
}

TEST(Resources, HoldEveryPopupMenuWithItsEntriesInTheFirstSubmenu) {
    for (int id : {IDR_POPUP_IMPORT, IDR_POPUP_PUBLISH, IDR_CONTEXT_MANIFEST, IDR_CONTEXT_SPINE,
                   IDR_CONTEXT_METADATA, IDR_CONTEXT_TOURS, IDR_CONTEXT_GUIDE}) {
        HMENU menu = LoadMenuA(module(), MAKEINTRESOURCEA(id));
        ASSERT_NE(menu, nullptr) << "menu " << id;
        HMENU popup = GetSubMenu(menu, 0);
        EXPECT_TRUE(popup != nullptr && GetMenuItemCount(popup) > 0) << "menu " << id;
        DestroyMenu(menu);
    }
}

TEST(Resources, HoldPicturesOfTheSizesTheirImageListsAndToolbarTake) {
    for (const char* name :
         {RESNAME_IDB_MANIFEST, RESNAME_IDB_SPINE, RESNAME_IDB_METADATA, RESNAME_IDB_TOURS, RESNAME_IDB_GUIDE,
          RESNAME_IDB_HREF, RESNAME_IDB_FOLDER, RESNAME_IDB_TAB_MANIFEST, RESNAME_IDB_TAB_SPINE,
          RESNAME_IDB_TAB_METADATA, RESNAME_IDB_TAB_TOURS, RESNAME_IDB_TAB_GUIDE, RESNAME_IDB_BTN_FOLDER}) {
        SIZE size = bitmapSize(name);
        EXPECT_EQ(size.cx, 16) << name;
        EXPECT_EQ(size.cy, 16) << name;
    }
    // One 16-pixel image per toolbar picture the buttons index.
    SIZE strip = bitmapSize(MAKEINTRESOURCEA(IDB_TOOLBAR_STRIP));
    EXPECT_EQ(strip.cx, 16 * TOOLBAR_IMAGE_COUNT);
    EXPECT_EQ(strip.cy, 16);
}

INT_PTR CALLBACK quietDialog(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

TEST(Resources, HoldTheDialogsTheCodeOpensWithTheControlsItReaches) {
    HWND probe =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, module(), nullptr);
    if (!probe) GTEST_SKIP() << "no display to create windows on";
    DestroyWindow(probe);
    // The main dialog also brings in the main menu.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_COOL_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    HWND main = CreateDialogParamA(module(), RESNAME_DLG_MAIN, nullptr, quietDialog, 0);
    ASSERT_NE(main, nullptr);
    for (int id : {IDC_MANIFEST_VIEW, IDC_SPINE_VIEW, IDC_TOURS_VIEW, IDC_GUIDE_VIEW, IDC_METADATA_VIEW,
                   IDC_SECTION_TABS})
        EXPECT_NE(GetDlgItem(main, id), nullptr) << "control " << id;
    HWND about = CreateDialogParamA(module(), RESNAME_DLG_ABOUTBOX, main, quietDialog, 0);
    EXPECT_NE(about, nullptr);
    HWND options = CreateDialogParamA(module(), MAKEINTRESOURCEA(IDD_OPTIONS_GENERAL), main, quietDialog, 0);
    ASSERT_NE(options, nullptr);
    for (int id :
         {IDC_OPTIONS_HTML_EDITOR, IDC_OPTIONS_HTML_EDITOR_BROWSE, IDC_OPTIONS_PALMOS_EMULATOR,
          IDC_OPTIONS_PALMOS_EMULATOR_BROWSE, IDC_OPTIONS_WAP_EMULATOR, IDC_OPTIONS_WAP_EMULATOR_BROWSE})
        EXPECT_NE(GetDlgItem(options, id), nullptr) << "control " << id;
    DestroyWindow(options);
    if (about) DestroyWindow(about);
    DestroyWindow(main);
}

}  // namespace
