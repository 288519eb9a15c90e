#include "win32/SectionViewsWin32.h"

#include "win32/SectionCommandsWin32.h"

namespace {

constexpr int kImageSize = 16;

enum TreeImage { manifestImage, spineImage, metadataImage, toursImage, guideImage, hrefImage, folderImage };

struct SectionOfTab {
    int viewId;
    int menuCommand;
    int tabString;
    const char* tabImage;
};

// Tab index order.
constexpr SectionOfTab kSections[] = {
    {IDC_MANIFEST_VIEW, ID_VIEW_MANIFEST, IDS_TAB_MANIFEST, RESNAME_IDB_TAB_MANIFEST},
    {IDC_SPINE_VIEW, ID_VIEW_SPINE, IDS_TAB_SPINE, RESNAME_IDB_TAB_SPINE},
    {IDC_METADATA_VIEW, ID_VIEW_METADATA, IDS_TAB_METADATA, RESNAME_IDB_TAB_METADATA},
    {IDC_TOURS_VIEW, ID_VIEW_TOURS, IDS_TAB_TOURS, RESNAME_IDB_TAB_TOURS},
    {IDC_GUIDE_VIEW, ID_VIEW_GUIDE, IDS_TAB_GUIDE, RESNAME_IDB_TAB_GUIDE},
};
constexpr int kSectionCount = sizeof kSections / sizeof kSections[0];

HIMAGELIST loadImageList(const char* const* names, int count);
HTREEITEM appendRow(HWND tree, HTREEITEM parent, const char* text, int image, RowTag tag);
void emptyView(HWND tree);
int tabOfView(int viewId);
void checkViewEntry(MainWindow& main, int viewId, bool checked);
// Double click acts only on address rows.
void openAddressRow(MainWindow& main, int viewId);
int32_t selectedIndex(MainWindow& main, int viewId, int32_t count);
// The row under the mouse becomes the selected one, as in every tree of
// the system, so that the menu's command acts on the row it highlighted.
void selectRowUnderMouse(HWND tree);
void showContextMenu(MainWindow& main, int viewId);

}  // namespace

void giveViewsTheirImages(MainWindow& main) {
    static const char* const kTreeImages[] = {RESNAME_IDB_MANIFEST, RESNAME_IDB_SPINE, RESNAME_IDB_METADATA,
                                              RESNAME_IDB_TOURS,    RESNAME_IDB_GUIDE, RESNAME_IDB_HREF,
                                              RESNAME_IDB_FOLDER};
    static const int kOrder[] = {IDC_MANIFEST_VIEW, IDC_SPINE_VIEW, IDC_METADATA_VIEW, IDC_TOURS_VIEW,
                                 IDC_GUIDE_VIEW};
    for (int viewId : kOrder) {
        HIMAGELIST images = loadImageList(kTreeImages, 7);
        SendDlgItemMessageA(main.window, viewId, TVM_SETIMAGELIST, TVSIL_NORMAL,
                            reinterpret_cast<LPARAM>(images));
    }
}

void fillSectionTabs(MainWindow& main) {
    HWND tabs = GetDlgItem(main.window, IDC_SECTION_TABS);
    if (tabs == nullptr) return;
    const char* names[kSectionCount];
    for (int i = 0; i < kSectionCount; ++i) names[i] = kSections[i].tabImage;
    SendMessageA(tabs, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(loadImageList(names, kSectionCount)));
    for (int i = 0; i < kSectionCount; ++i) {
        char text[kFieldSize];
        loadString(kSections[i].tabString, text, sizeof text);
        TCITEMA tab{};
        tab.mask = TCIF_TEXT | TCIF_IMAGE;
        tab.pszText = text;
        tab.iImage = i;
        if (SendMessageA(tabs, TCM_INSERTITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&tab)) == -1) {
            DestroyWindow(tabs);
            return;
        }
    }
}

void fillManifestView(MainWindow& main) {
    HWND tree = GetDlgItem(main.window, IDC_MANIFEST_VIEW);
    emptyView(tree);
    for (int32_t i = 0; i < main.document.manifestCount; ++i) {
        const ManifestItem& item = main.document.manifest[i];
        if (!isLive(item.state)) continue;
        HTREEITEM row = appendRow(tree, TVI_ROOT, item.id, manifestImage, RowTag{i, -1, false});
        appendRow(tree, row, item.href, hrefImage, RowTag{i, -1, true});
    }
}

void fillSpineView(MainWindow& main) {
    HWND tree = GetDlgItem(main.window, IDC_SPINE_VIEW);
    emptyView(tree);
    for (int32_t i = 0; i < main.document.spineCount; ++i) {
        const SpineItem& entry = main.document.spine[i];
        if (!isLive(entry.state)) continue;
        appendRow(tree, TVI_ROOT, entry.idref, spineImage, RowTag{i, -1, false});
    }
}

void fillMetadataView(MainWindow& main) {
    HWND tree = GetDlgItem(main.window, IDC_METADATA_VIEW);
    emptyView(tree);
    for (int32_t i = 0; i < main.document.metadataCount; ++i) {
        const MetadataEntry& entry = main.document.metadata[i];
        if (!isLive(entry.state)) continue;
        HTREEITEM row = appendRow(tree, TVI_ROOT, entry.name, metadataImage, RowTag{i, -1, false});
        appendRow(tree, row, entry.value, manifestImage, RowTag{i, -1, true});
    }
}

void fillGuideView(MainWindow& main) {
    HWND tree = GetDlgItem(main.window, IDC_GUIDE_VIEW);
    emptyView(tree);
    for (int32_t i = 0; i < main.document.guideCount; ++i) {
        const GuideReference& reference = main.document.guide[i];
        if (!isLive(reference.state)) continue;
        HTREEITEM row = appendRow(tree, TVI_ROOT, reference.title, guideImage, RowTag{i, -1, false});
        appendRow(tree, row, reference.href, hrefImage, RowTag{i, -1, true});
    }
}

void fillToursView(MainWindow& main) {
    HWND tree = GetDlgItem(main.window, IDC_TOURS_VIEW);
    emptyView(tree);
    for (int32_t t = 0; t < main.document.tourCount; ++t) {
        const Tour& tour = main.document.tours[t];
        if (!isLive(tour.state)) continue;
        HTREEITEM tourRow = appendRow(tree, TVI_ROOT, tour.title, toursImage, RowTag{t, -1, false});
        for (int32_t s = 0; s < tour.siteCount; ++s) {
            const TourSite& site = tour.sites[s];
            if (!isLive(site.state)) continue;
            HTREEITEM siteRow = appendRow(tree, tourRow, site.title, manifestImage, RowTag{t, s, false});
            appendRow(tree, siteRow, site.href, hrefImage, RowTag{t, s, true});
        }
    }
}

void refreshSectionViews(MainWindow& main) {
    fillManifestView(main);
    fillSpineView(main);
    fillMetadataView(main);
    fillGuideView(main);
    fillToursView(main);
}

void switchToTab(MainWindow& main, int tabIndex) {
    if (tabIndex < 0 || tabIndex >= kSectionCount) return;
    int newView = kSections[tabIndex].viewId;
    checkViewEntry(main, main.currentSectionView, false);
    checkViewEntry(main, newView, true);
    // Manifest additions may have grown the spine meanwhile.
    fillSpineView(main);
    ShowWindow(GetDlgItem(main.window, main.currentSectionView), SW_HIDE);
    ShowWindow(GetDlgItem(main.window, newView), SW_SHOW);
    main.currentSectionView = newView;
}

void switchToViewOfCommand(MainWindow& main, int command) {
    for (int i = 0; i < kSectionCount; ++i) {
        if (kSections[i].menuCommand != command) continue;
        checkViewEntry(main, main.currentSectionView, false);
        checkViewEntry(main, kSections[i].viewId, true);
        SendDlgItemMessageA(main.window, IDC_SECTION_TABS, TCM_SETCURSEL, WPARAM(i), 0);
        switchToTab(main, i);
        return;
    }
}

LRESULT handleViewNotification(MainWindow& main, const NMHDR& header) {
    int viewId = int(header.idFrom);
    switch (header.code) {
        case NM_DBLCLK:
            openAddressRow(main, viewId);
            return 0;
        case NM_RCLICK:
            selectRowUnderMouse(header.hwndFrom);
            showContextMenu(main, viewId);
            // Handled: no second menu from the system.
            return 1;
        default:
            return 0;
    }
}

bool selectedRowTag(MainWindow& main, int viewId, RowTag* tag) {
    HWND tree = GetDlgItem(main.window, viewId);
    if (tree == nullptr) return false;
    auto row = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (row == nullptr) return false;
    TVITEMA item{};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = row;
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return false;
    *tag = decodeRowTag(item.lParam);
    return true;
}

int32_t selectedManifestIndex(MainWindow& main) {
    return selectedIndex(main, IDC_MANIFEST_VIEW, main.document.manifestCount);
}

int32_t selectedSpineIndex(MainWindow& main) {
    return selectedIndex(main, IDC_SPINE_VIEW, main.document.spineCount);
}

int32_t selectedMetadataIndex(MainWindow& main) {
    return selectedIndex(main, IDC_METADATA_VIEW, main.document.metadataCount);
}

int32_t selectedGuideIndex(MainWindow& main) {
    return selectedIndex(main, IDC_GUIDE_VIEW, main.document.guideCount);
}

void selectedTourAndSite(MainWindow& main, int32_t* tour, int32_t* site) {
    *tour = selectedIndex(main, IDC_TOURS_VIEW, main.document.tourCount);
    *site = -1;
    RowTag tag;
    if (*tour < 0 || !selectedRowTag(main, IDC_TOURS_VIEW, &tag)) return;
    if (tag.site >= 0 && tag.site < main.document.tours[*tour].siteCount) *site = tag.site;
}

void deleteSelectedRow(MainWindow& main, int viewId) {
    HWND tree = GetDlgItem(main.window, viewId);
    if (tree == nullptr) return;
    LRESULT row = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    if (row != 0) SendMessageA(tree, TVM_DELETEITEM, 0, row);
}

namespace {

HIMAGELIST loadImageList(const char* const* names, int count) {
    HIMAGELIST images = ImageList_Create(kImageSize, kImageSize, ILC_COLOR24, count, 0);
    if (images == nullptr) return nullptr;
    for (int i = 0; i < count; ++i) {
        HBITMAP picture = LoadBitmapA(programModule(), names[i]);
        ImageList_Add(images, picture, nullptr);
        if (picture != nullptr) DeleteObject(picture);
    }
    return images;
}

HTREEITEM appendRow(HWND tree, HTREEITEM parent, const char* text, int image, RowTag tag) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    // The control copies the text; it never writes through this pointer.
    insert.item.pszText = const_cast<char*>(text);
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.lParam = encodeRowTag(tag);
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void emptyView(HWND tree) {
    if (tree != nullptr) SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

int tabOfView(int viewId) {
    for (int i = 0; i < kSectionCount; ++i) {
        if (kSections[i].viewId == viewId) return i;
    }
    return -1;
}

void checkViewEntry(MainWindow& main, int viewId, bool checked) {
    int tab = tabOfView(viewId);
    if (tab < 0) return;
    CheckMenuItem(GetMenu(main.window), UINT(kSections[tab].menuCommand),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

int32_t selectedIndex(MainWindow& main, int viewId, int32_t count) {
    RowTag tag;
    if (!selectedRowTag(main, viewId, &tag)) return -1;
    return tag.item >= 0 && tag.item < count ? tag.item : -1;
}

void openAddressRow(MainWindow& main, int viewId) {
    RowTag tag;
    if (!selectedRowTag(main, viewId, &tag) || !tag.isAddress) return;
    switch (viewId) {
        case IDC_MANIFEST_VIEW:
            editSelectedManifestFile(main);
            break;
        case IDC_GUIDE_VIEW:
            editSelectedGuideFile(main);
            break;
        case IDC_TOURS_VIEW:
            editSelectedSiteFile(main);
            break;
        case IDC_METADATA_VIEW:
            editSelectedMetadataEntry(main);
            break;
        default:
            break;
    }
}

void selectRowUnderMouse(HWND tree) {
    // The tree marks the row pressed while it reports the click; the last
    // message's position is the way back when it marks none.
    if (HTREEITEM pressed = TreeView_GetDropHilight(tree)) {
        TreeView_SelectItem(tree, pressed);
        return;
    }
    DWORD position = GetMessagePos();
    TVHITTESTINFO hit{};
    hit.pt = POINT{short(LOWORD(position)), short(HIWORD(position))};
    ScreenToClient(tree, &hit.pt);
    auto row = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row != nullptr && (hit.flags & TVHT_ONITEM) != 0)
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(row));
}

struct ContextMenuRule {
    int viewId;
    int menuId;
    int grayedWithoutSelection[4];
};

constexpr ContextMenuRule kContextMenus[] = {
    {IDC_MANIFEST_VIEW,
     IDR_CONTEXT_MANIFEST,
     {ID_MANIFEST_EDIT_HTML, ID_MANIFEST_PREVIEW, ID_MANIFEST_DELETE, ID_MANIFEST_PROPERTIES}},
    {IDC_GUIDE_VIEW, IDR_CONTEXT_GUIDE, {ID_GUIDE_EDIT_HTML}},
    {IDC_METADATA_VIEW, IDR_CONTEXT_METADATA, {ID_METADATA_EDIT, ID_METADATA_DELETE}},
    {IDC_SPINE_VIEW, IDR_CONTEXT_SPINE, {ID_SPINE_MOVE_UP, ID_SPINE_MOVE_DOWN}},
    {IDC_TOURS_VIEW, IDR_CONTEXT_TOURS, {ID_TOURS_EDIT_HTML}},
};

void showContextMenu(MainWindow& main, int viewId) {
    const ContextMenuRule* rule = nullptr;
    for (const ContextMenuRule& candidate : kContextMenus) {
        if (candidate.viewId == viewId) rule = &candidate;
    }
    if (rule == nullptr) return;
    HMENU menu = LoadMenuA(programModule(), MAKEINTRESOURCEA(rule->menuId));
    if (menu == nullptr) return;
    HMENU popup = GetSubMenu(menu, 0);
    RowTag tag;
    if (!selectedRowTag(main, viewId, &tag)) {
        for (int command : rule->grayedWithoutSelection) {
            if (command != 0) EnableMenuItem(popup, UINT(command), MF_BYCOMMAND | MF_GRAYED);
        }
    }
    if (viewId == IDC_TOURS_VIEW) {
        int32_t tour = -1;
        int32_t site = -1;
        selectedTourAndSite(main, &tour, &site);
        if (!editMenuEntries(main.document, viewId, tour).addSite)
            EnableMenuItem(popup, ID_TOURS_ADD_SITE, MF_BYCOMMAND | MF_GRAYED);
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, main.window, nullptr);
    DestroyMenu(menu);
}

}  // namespace
