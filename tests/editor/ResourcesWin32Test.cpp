// The resources linked into the program: strings as the users read them,
// menus as the command table expects them, pictures of the sizes the image
// lists take, and the main window's controls where the views expect them.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/ResourceIds.h"

namespace {

HINSTANCE module();
std::string loadString(int id);
std::vector<std::string> describeMenu(int menuId);
SIZE bitmapSize(const char* name);
COLORREF cornerPixel(HBITMAP bitmap);
std::string windowText(HWND window);
std::string className(HWND window);
RECT dialogUnitsToPixels(HWND dialog, int x, int y, int width, int height);
RECT rectInParent(HWND control);
HWND createHiddenDialog(const char* name, HWND parent);
bool desktopHasWindows();
std::string resourceBytes(const char* name, const char* type);

struct Text {
    int id;
    const char* text;
};

TEST(StringTable, HoldsTheTextsAsUsersReadThem) {
    // The awkward ones: typos, doubled quotes, line breaks, odd blanks.
    const Text texts[] = {
        {IDS_LABEL_NEW, "New"},
        {IDS_TIP_OPEN, "Open an existing Open-eBook Publication File"},
        {IDS_LABEL_IMPORT, "Import"},
        {IDS_TAB_METADATA, "MetaData"},
        {IDS_CAPTION_WARNING, "Warning"},
        {IDS_CAPTION_ERROR, "Error"},
        {IDS_CAPTION_INFORMATION, "Information"},
        {IDS_HELP_PAGE, "help/index.htm"},
        {IDS_IMPORT_BAD_DESTINATION, "Please specifiy a valid target directory"},
        {IDS_IMPORT_SUPPRESS_HYPHEN, "Check this option to remove  \"\"hardcoded\"\" hyphens."},
        {IDS_IMPORT_SUBTITLE_METADATA,
         "Please enter now some \"metadata\" information about the eBook to create."},
        {IDS_IMPORT_SUBTITLE_FINAL,
         "Congralutations, you successfully completed all steps. The wizard will now generate an "
         "open-eBook publication from the source file."},
        {IDS_ASK_SAVE_PACKAGE, "Do you want to save the current OPF file?"},
        {IDS_ASK_SET_HTML_EDITOR, "You didn't selected any HTML editor. Do you want to do it now?"},
        {IDS_NO_PALMOS_EMULATOR,
         "You did'nt configure the PalmOs Emulator you want to use with the Quirebound Publisher.\nPlease "
         "go to the Tools > Options menu to configure it."},
        {IDS_TARGET_NOT_VALID, "The tagret file you entered is not valid."},
        {IDS_BIOGRAPHY_HEADING, "<h1 align=\"center\">Biography</h1>"},
        {IDS_BUILD_INTERNAL_ERROR, "internal error while building the eBook."},
        {IDS_BUILD_MERGING, "Merging manifest files..."},
    };
    for (const Text& t : texts) {
        EXPECT_EQ(loadString(t.id), t.text) << "string " << t.id;
    }
}

TEST(StringTable, RepeatsTheTextsThatTwoPagesShare) {
    EXPECT_EQ(loadString(IDS_IMPORT_NO_TAGS), loadString(IDS_IMPORT_NO_SEARCH_STRING));
    EXPECT_EQ(loadString(IDS_IMPORT_SUBTITLE_HEADING_TAGS), loadString(IDS_IMPORT_SUBTITLE_SEARCH_STRING));
    EXPECT_EQ(loadString(IDS_IMPORT_TITLE_HEADING_TAGS), loadString(IDS_IMPORT_TITLE_SEARCH_STRING));
}

TEST(StringTable, HasEveryNumberedText) {
    const int ids[] = {1,     9,     10,    11,    12,    16,    17,    18,    19,    20,    21,    22,
                       24,    28,    10104, 10105, 10106, 10107, 10108, 10109, 10110, 10111, 10112, 10113,
                       10114, 10115, 10116, 10117, 10118, 10119, 10120, 10121, 10122, 10123, 10124, 10125,
                       10126, 10127, 10128, 10129, 10130, 10131, 10132, 10133, 10134, 10135, 10136, 10138,
                       10139, 10140, 10141, 10142, 10143, 10144, 10145, 10146, 10147, 10152, 10153, 10154,
                       10155, 10156, 10157, 10158, 10159, 10160, 10161, 10162, 10163, 10164, 10165, 10166,
                       10167, 10168, 10169, 10170, 10171, 10172, 10173};
    for (int id : ids) {
        EXPECT_FALSE(loadString(id).empty()) << "string " << id;
    }
}

TEST(StringTable, WebAddressesShareTheProjectHomeAndTheFailuresNameTheirFile) {
    const std::string home = loadString(IDS_WEB_HOME);
    ASSERT_EQ(home.rfind("http://", 0), 0u) << home;
    for (int id : {IDS_WEB_DOWNLOADS, IDS_WEB_SUPPORT, IDS_WEB_FAQ}) {
        std::string address = loadString(id);
        EXPECT_EQ(address.rfind(home, 0), 0u) << address;
        EXPECT_GT(address.size(), home.size()) << address;
    }
    for (int id : {IDS_SAVE_FAILED, IDS_OPEN_FAILED}) {
        std::string text = loadString(id);
        EXPECT_NE(text.find("%s"), std::string::npos) << text;
        EXPECT_EQ(text.find('%'), text.rfind('%')) << "one argument only: " << text;
    }
}

TEST(Menus, MainMenuHasTheEntriesInOrderWithTheirStates) {
    const std::vector<std::string> expected = {
        "&File/&New...=32772",
        "&File/&Open...=32775",
        "&File/&Close=32781",
        "&File/-",
        "&File/&Import/&HTML File...=32816",
        "&File/&Import/&Text File...=32794",
        "&File/&Import/&PRC DOC File...=32817",
        "&File/&Import/-",
        "&File/&Import/Web Site...=32795 grayed",
        "&File/-",
        "&File/&Save=32818",
        "&File/Save &As...=32786",
        "&File/-",
        "&File/&Exit=105",
        "&Edit/&Add new...=32814",
        "&Edit/&Delete=32815",
        "&Edit/Properties=32835",
        "&View/&Manifest=32788 checked",
        "&View/&Spine=32789",
        "&View/&MetaData=32812",
        "&View/-",
        "&View/&Tours=32790",
        "&View/&Guide=32791",
        "&Publish/&Cross platform PRC file...=32773",
        "&Publish/WAP Web Site=32774 grayed",
        "&Tools/Check Links=32808 grayed",
        "&Tools/Check OEB Validity=32809 grayed",
        "&Tools/-",
        "&Tools/Start PalmOs Emulator...=32810",
        "&Tools/Start &WAP Emulator... =32813",
        "&Tools/-",
        "&Tools/&Options...=32811",
        "&Help/Quirebound Publisher &Help=32771",
        "&Help/Quirebound on the Web/&Home Page=32777",
        "&Help/Quirebound on the Web/Free &Downloads=32778",
        "&Help/Quirebound on the Web/-",
        "&Help/Quirebound on the Web/&Support=32779",
        "&Help/Quirebound on the Web/&FAQ=32780",
        "&Help/&About ...=104",
    };
    EXPECT_EQ(describeMenu(IDR_MAIN_MENU), expected);
}

TEST(Menus, ToolbarPopupsHoldTheirEntries) {
    const std::vector<std::string> import = {
        "PopUp Import/&Text File...=32794",           "PopUp Import/&HMTL File...=32816",
        "PopUp Import/&PRC DOC File...=32817 grayed", "PopUp Import/-",
        "PopUp Import/&Web Site...=32795 grayed",
    };
    const std::vector<std::string> publish = {
        "PopUp Publish/Cross Platform &PRC file...=32773",
        "PopUp Publish/&WAP Web Site=32774 grayed",
    };
    EXPECT_EQ(describeMenu(IDR_POPUP_IMPORT), import);
    EXPECT_EQ(describeMenu(IDR_POPUP_PUBLISH), publish);
}

TEST(Menus, ContextMenusHoldTheSectionCommands) {
    const std::vector<std::string> tours = {
        "Tours/&Edit with HTML Editor=32825",
        "Tours/&Preview in Web Brwoser=32834",
        "Tours/-",
        "Tours/&Add new=32826",
        "Tours/&Delete=32827",
        "Tours/-",
        "Tours/&Move up=32828 grayed",
        "Tours/Move &Down=32830 grayed",
        "Tours/-",
        "Tours/&Properties=32833",
    };
    EXPECT_EQ(describeMenu(IDR_CONTEXT_TOURS), tours);
    const std::vector<std::string> spine = {
        "Spine/&Add new...=32804", "Spine/Delete=32805",     "Spine/-",
        "Spine/Move &up=32802",    "Spine/Move &down=32803",
    };
    EXPECT_EQ(describeMenu(IDR_CONTEXT_SPINE), spine);
    // Each holds one popup, whatever its length.
    for (int id : {IDR_CONTEXT_MANIFEST, IDR_CONTEXT_GUIDE, IDR_CONTEXT_METADATA}) {
        HMENU menu = LoadMenuA(module(), MAKEINTRESOURCEA(id));
        ASSERT_NE(menu, nullptr) << id;
        EXPECT_EQ(GetMenuItemCount(menu), 1) << id;
        EXPECT_NE(GetSubMenu(menu, 0), nullptr) << id;
        DestroyMenu(menu);
    }
    EXPECT_EQ(describeMenu(IDR_CONTEXT_MANIFEST).back(), "Manifest/  &Properties=32806");
}

TEST(Pictures, HaveTheSizesTheirImageListsTake) {
    const char* sixteen[] = {
        RESNAME_IDB_MANIFEST,   RESNAME_IDB_SPINE,        RESNAME_IDB_METADATA,  RESNAME_IDB_TOURS,
        RESNAME_IDB_GUIDE,      RESNAME_IDB_HREF,         RESNAME_IDB_FOLDER,    RESNAME_IDB_TAB_MANIFEST,
        RESNAME_IDB_TAB_SPINE,  RESNAME_IDB_TAB_METADATA, RESNAME_IDB_TAB_TOURS, RESNAME_IDB_TAB_GUIDE,
        RESNAME_IDB_BTN_FOLDER,
    };
    for (const char* name : sixteen) {
        SIZE size = bitmapSize(name);
        EXPECT_EQ(size.cx, 16) << name;
        EXPECT_EQ(size.cy, 16) << name;
    }
    SIZE strip = bitmapSize(MAKEINTRESOURCEA(IDB_TOOLBAR_STRIP));
    EXPECT_EQ(strip.cx, 16 * TOOLBAR_IMAGE_COUNT);
    EXPECT_EQ(strip.cy, 16);
    SIZE watermark = bitmapSize(RESNAME_IDB_BACKCOLOR);
    EXPECT_EQ(watermark.cx, 164);
    EXPECT_EQ(watermark.cy, 314);
    SIZE side = bitmapSize(MAKEINTRESOURCEA(IDB_SIDE_PICTURE));
    EXPECT_EQ(side.cx, 164);
    EXPECT_EQ(side.cy, 314);
}

TEST(Pictures, ButtonPicturesTakeTheButtonFaceAndTreePicturesSitOnWhite) {
    // The loader maps light grey to the button face only in palette pictures.
    for (const char* name : {RESNAME_IDB_TAB_GUIDE, RESNAME_IDB_BTN_FOLDER}) {
        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageA(module(), name, IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS | LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr) << name;
        EXPECT_EQ(cornerPixel(bitmap), GetSysColor(COLOR_3DFACE)) << name;
        DeleteObject(bitmap);
    }
    HBITMAP strip =
        static_cast<HBITMAP>(LoadImageA(module(), MAKEINTRESOURCEA(IDB_TOOLBAR_STRIP), IMAGE_BITMAP, 0, 0,
                                        LR_LOADMAP3DCOLORS | LR_CREATEDIBSECTION));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(cornerPixel(strip), GetSysColor(COLOR_3DFACE));
    DeleteObject(strip);
    HBITMAP tree = LoadBitmapA(module(), RESNAME_IDB_MANIFEST);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(cornerPixel(tree), RGB(255, 255, 255));
    DeleteObject(tree);
}

TEST(Pictures, IconHoldsSmallAndLargeImages) {
    std::string group =
        resourceBytes(MAKEINTRESOURCEA(IDI_QUIREBOUND), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u);
    int count = static_cast<unsigned char>(group[4]) | static_cast<unsigned char>(group[5]) << 8;
    ASSERT_EQ(group.size(), 6u + 14u * count);
    std::vector<int> widths;
    for (int i = 0; i < count; ++i) {
        widths.push_back(static_cast<unsigned char>(group[6 + 14 * i]));
    }
    EXPECT_EQ(widths, (std::vector<int>{16, 32}));
    HICON small =
        static_cast<HICON>(LoadImageA(module(), MAKEINTRESOURCEA(IDI_QUIREBOUND), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(small, nullptr);
    DestroyIcon(small);
}

TEST(Manifest, AsksForCommonControlsSix) {
    std::string manifest = resourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
}

TEST(MainWindow, HasItsControlsWhereTheViewsExpectThem) {
    if (!desktopHasWindows()) {
        GTEST_SKIP() << "no display to create windows on";
    }
    HWND dialog = createHiddenDialog(RESNAME_DLG_MAIN, nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(windowText(dialog), "Quirebound Publisher");
    LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "not resizable";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    HMENU menu = GetMenu(dialog);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 6);
    RECT client;
    GetClientRect(dialog, &client);
    RECT size = dialogUnitsToPixels(dialog, 0, 0, 187, 234);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    struct Tree {
        int id;
        bool visible;
        LONG styles;
    };
    const LONG full = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_INFOTIP;
    const Tree trees[] = {
        {IDC_MANIFEST_VIEW, true, full},
        {IDC_SPINE_VIEW, false, TVS_SHOWSELALWAYS | TVS_INFOTIP},
        {IDC_TOURS_VIEW, false, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_INFOTIP},
        {IDC_GUIDE_VIEW, false, full},
        {IDC_METADATA_VIEW, false, full},
    };
    const RECT treeRect = dialogUnitsToPixels(dialog, 1, 30, 181, 176);
    for (const Tree& t : trees) {
        HWND tree = GetDlgItem(dialog, t.id);
        ASSERT_NE(tree, nullptr) << t.id;
        EXPECT_EQ(className(tree), WC_TREEVIEWA) << t.id;
        LONG treeStyle = GetWindowLongA(tree, GWL_STYLE);
        EXPECT_EQ((treeStyle & WS_VISIBLE) != 0, t.visible) << t.id;
        EXPECT_EQ(treeStyle & full, t.styles) << t.id;
        RECT r = rectInParent(tree);
        EXPECT_TRUE(EqualRect(&r, &treeRect))
            << t.id << ": " << r.left << "," << r.top << " " << r.right << "," << r.bottom;
    }

    HWND tabs = GetDlgItem(dialog, IDC_SECTION_TABS);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(className(tabs), WC_TABCONTROLA);
    const LONG tabStyles = TCS_BOTTOM | TCS_MULTILINE | TCS_HOTTRACK | TCS_TOOLTIPS;
    EXPECT_EQ(GetWindowLongA(tabs, GWL_STYLE) & tabStyles, tabStyles);
    RECT tabRect = dialogUnitsToPixels(dialog, 3, 205, 168, 26);
    RECT r = rectInParent(tabs);
    EXPECT_TRUE(EqualRect(&r, &tabRect));

    // No default button: Enter must not reach a command.
    EXPECT_EQ(GetDlgItem(dialog, IDOK), nullptr);
    DestroyWindow(dialog);
}

TEST(AboutBox, NamesTheProgramAndTheProjectAddress) {
    if (!desktopHasWindows()) {
        GTEST_SKIP() << "no display to create windows on";
    }
    HWND about = createHiddenDialog(RESNAME_DLG_ABOUTBOX, nullptr);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(windowText(about), "About Quirebound Publisher...");
    RECT client;
    GetClientRect(about, &client);
    RECT size = dialogUnitsToPixels(about, 0, 0, 196, 108);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    EXPECT_NE(GetDlgItem(about, IDOK), nullptr);
    bool showsHome = false;
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        showsHome = showsHome || windowText(child) == loadString(IDS_WEB_HOME);
    }
    EXPECT_TRUE(showsHome);
    DestroyWindow(about);
}

TEST(OptionsPage, HasAnEditAndABrowseButtonPerProgram) {
    if (!desktopHasWindows()) {
        GTEST_SKIP() << "no display to create windows on";
    }
    HWND owner = createHiddenDialog(RESNAME_DLG_MAIN, nullptr);
    ASSERT_NE(owner, nullptr);
    HWND page = createHiddenDialog(MAKEINTRESOURCEA(IDD_OPTIONS_GENERAL), owner);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(windowText(page), "General");
    struct Row {
        const char* label;
        int edit;
        int browse;
    };
    const Row rows[] = {
        {" HTML Editor path:", IDC_OPTIONS_HTML_EDITOR, IDC_OPTIONS_HTML_EDITOR_BROWSE},
        {"PalmOs Emulator path:", IDC_OPTIONS_PALMOS_EMULATOR, IDC_OPTIONS_PALMOS_EMULATOR_BROWSE},
        {"WAP Emulator path:", IDC_OPTIONS_WAP_EMULATOR, IDC_OPTIONS_WAP_EMULATOR_BROWSE},
    };
    for (const Row& row : rows) {
        HWND edit = GetDlgItem(page, row.edit);
        HWND browse = GetDlgItem(page, row.browse);
        ASSERT_NE(edit, nullptr) << row.label;
        ASSERT_NE(browse, nullptr) << row.label;
        EXPECT_EQ(className(edit), "Edit") << row.label;
        EXPECT_TRUE(GetWindowLongA(browse, GWL_STYLE) & BS_BITMAP) << row.label;
        // The label is the control just before the edit, and above it.
        HWND label = GetWindow(edit, GW_HWNDPREV);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(windowText(label), row.label);
        EXPECT_LT(rectInParent(label).bottom, rectInParent(edit).bottom);
        // The button sits beside the edit, inside the page.
        RECT e = rectInParent(edit);
        RECT b = rectInParent(browse);
        EXPECT_GE(b.left, e.right) << row.label;
        EXPECT_EQ(b.top, e.top) << row.label;
        RECT pageSize = dialogUnitsToPixels(page, 0, 0, 194, 123);
        EXPECT_LE(b.right, pageSize.right) << row.label;
    }
    DestroyWindow(page);
    DestroyWindow(owner);
}

// ---- helpers ---------------------------------------------------------------

HINSTANCE module() {
    return GetModuleHandleA(nullptr);
}

std::string loadString(int id) {
    char text[1024] = {};
    int length = LoadStringA(module(), static_cast<UINT>(id), text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

void describeItems(HMENU menu, const std::string& path, std::vector<std::string>& out) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, i, TRUE, &item)) {
            out.push_back(path + "?");
            continue;
        }
        if (item.fType & MFT_SEPARATOR) {
            out.push_back(path + "-");
        } else if (item.hSubMenu) {
            describeItems(item.hSubMenu, path + text + "/", out);
        } else {
            std::string line = path + text + "=" + std::to_string(item.wID);
            if (item.fState & MFS_GRAYED) line += " grayed";
            if (item.fState & MFS_CHECKED) line += " checked";
            out.push_back(line);
        }
    }
}

std::vector<std::string> describeMenu(int menuId) {
    std::vector<std::string> out;
    HMENU menu = LoadMenuA(module(), MAKEINTRESOURCEA(menuId));
    if (!menu) {
        return out;
    }
    describeItems(menu, "", out);
    DestroyMenu(menu);
    return out;
}

SIZE bitmapSize(const char* name) {
    SIZE size{0, 0};
    HBITMAP bitmap = LoadBitmapA(module(), name);
    if (!bitmap) {
        return size;
    }
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    DeleteObject(bitmap);
    size.cx = info.bmWidth;
    size.cy = info.bmHeight;
    return size;
}

COLORREF cornerPixel(HBITMAP bitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, 0, 0);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

std::string windowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string className(HWND window) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The dialog manager converts position and size each by itself, so their
// roundings add up: convert them the same way.
RECT dialogUnitsToPixels(HWND dialog, int x, int y, int width, int height) {
    RECT r{x, y, width, height};
    MapDialogRect(dialog, &r);
    return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

RECT rectInParent(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Without a display (Wine with no X server) no window at all can be made;
// a dialog that fails where a plain window succeeds is the resource's fault.
bool desktopHasWindows() {
    HWND probe =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, module(), nullptr);
    if (!probe) {
        return false;
    }
    DestroyWindow(probe);
    return true;
}

INT_PTR CALLBACK quietDialog(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

HWND createHiddenDialog(const char* name, HWND parent) {
    static bool ready = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls,
                                      ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_COOL_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    if (!ready) {
        return nullptr;
    }
    return CreateDialogParamA(module(), name, parent, quietDialog, 0);
}

std::string resourceBytes(const char* name, const char* type) {
    HRSRC found = FindResourceA(module(), name, type);
    if (!found) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module(), found);
    const char* bytes = static_cast<const char*>(LockResource(loaded));
    return bytes ? std::string(bytes, SizeofResource(module(), found)) : std::string();
}

}  // namespace
