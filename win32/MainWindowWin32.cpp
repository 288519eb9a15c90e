#include "win32/MainWindowWin32.h"

#include <cstring>
#include <new>
#include <utility>

#include "win32/CommandTableWin32.h"
#include "win32/ExternalPrograms.h"
#include "win32/FileDialogs.h"
#include "win32/SectionCommandsWin32.h"
#include "win32/SectionViewsWin32.h"
#include "model/Text.h"

namespace {

// The menu bar's File, Edit, View, ...
constexpr int kEditMenuPosition = 1;

INT_PTR CALLBACK mainDialogProcedure(HWND window, UINT message, WPARAM first, LPARAM second);
void initialiseMainWindow(MainWindow& main);
void showProgramIcon(HWND window);
void createRebarAndToolbar(MainWindow& main);
LRESULT handleNotification(MainWindow& main, const NMHDR& header);

}  // namespace

void runMainWindow(const char* startupPackagePath) {
    MainWindow* main = new (std::nothrow) MainWindow;
    if (main == nullptr) return;
    copyText(main->startupPackagePath, startupPackagePath);
    DialogBoxParamA(programModule(), RESNAME_DLG_MAIN, nullptr, mainDialogProcedure,
                    reinterpret_cast<LPARAM>(main));
    delete main;
}

namespace {

INT_PTR CALLBACK mainDialogProcedure(HWND window, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_INITDIALOG) {
        MainWindow* main = keepDialogState<MainWindow>(window, second);
        main->window = window;
        initialiseMainWindow(*main);
        return TRUE;
    }
    MainWindow* main = dialogState<MainWindow>(window);
    // Messages before WM_INITDIALOG have no state yet.
    if (main == nullptr) return 0;
    switch (message) {
        case WM_COMMAND:
            dispatchCommand(*main, LOWORD(first));
            return 0;
        case WM_NOTIFY:
            SetWindowLongPtrA(window, DWLP_MSGRESULT,
                              handleNotification(*main, *reinterpret_cast<const NMHDR*>(second)));
            return TRUE;
        case WM_INITMENUPOPUP:
            if (reinterpret_cast<HMENU>(first) == GetSubMenu(GetMenu(window), kEditMenuPosition))
                updateEditMenu(*main, reinterpret_cast<HMENU>(first));
            return 0;
        default:
            return 0;
    }
}

void initialiseMainWindow(MainWindow& main) {
    showProgramIcon(main.window);
    createRebarAndToolbar(main);
    giveViewsTheirImages(main);
    fillSectionTabs(main);
    main.currentSectionView = IDC_MANIFEST_VIEW;
    main.document.initDocument(main);
    loadToolSettings(main.document.tools);
    if (main.startupPackagePath[0] != '\0') {
        main.document.openPackageOrWarn(main.startupPackagePath);
        main.document.refreshAllViews();
        main.startupPackagePath[0] = '\0';
    }
}

struct ToolbarButton {
    int command;
    int image;
    BYTE style;
    int label;
    int tooltip;
    // The command whose enabling the button follows: a drop-down button
    // follows the command of its menu.
    int enabledWith;
};

constexpr ToolbarButton kToolbarButtons[] = {
    {ID_FILE_NEW, TOOLBAR_IMAGE_NEW, BTNS_BUTTON, IDS_LABEL_NEW, IDS_TIP_NEW, ID_FILE_NEW},
    {ID_TOOLBAR_IMPORT, TOOLBAR_IMAGE_IMPORT, BTNS_DROPDOWN, IDS_LABEL_IMPORT, IDS_TIP_IMPORT,
     ID_IMPORT_TEXT},
    {0, 0, BTNS_SEP, 0, 0, 0},
    {ID_FILE_OPEN, TOOLBAR_IMAGE_OPEN, BTNS_BUTTON, IDS_LABEL_OPEN, IDS_TIP_OPEN, ID_FILE_OPEN},
    {ID_FILE_SAVE, TOOLBAR_IMAGE_SAVE, BTNS_BUTTON, IDS_LABEL_SAVE, IDS_TIP_SAVE, ID_FILE_SAVE},
    {0, 0, BTNS_SEP, 0, 0, 0},
    {ID_TOOLBAR_PUBLISH, TOOLBAR_IMAGE_PUBLISH, BTNS_DROPDOWN, IDS_LABEL_PUBLISH, IDS_TIP_PUBLISH,
     ID_PUBLISH_PRC},
};
constexpr int kToolbarButtonCount = sizeof kToolbarButtons / sizeof kToolbarButtons[0];

}  // namespace

int toolbarButtonCommand(int position) {
    return position >= 0 && position < kToolbarButtonCount ? kToolbarButtons[position].command : 0;
}

int toolbarButtonCount() {
    return kToolbarButtonCount;
}

void MainWindow::showTitle(const char* title) {
    SetWindowTextA(window, title);
}

void MainWindow::enableDocumentCommands(bool enabled) {
    BYTE buttonState = enabled ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE;
    for (const ToolbarButton& button : kToolbarButtons) {
        const CommandRow* row = findCommandRow(button.enabledWith);
        if (toolbar == nullptr || row == nullptr || !row->needsOpenPackage) continue;
        SendMessageA(toolbar, TB_SETSTATE, WPARAM(button.command), MAKELPARAM(buttonState, 0));
    }
    enablePackageCommands(GetMenu(window), enabled);
    DrawMenuBar(window);
}

void MainWindow::refreshAllViews() {
    refreshSectionViews(*this);
}

bool MainWindow::askYesNo(int32_t stringId) {
    return ::askYesNo(window, stringId);
}

void MainWindow::showErrorAboutFile(int32_t stringId, const char* path) {
    showError(window, stringId, path);
}

void MainWindow::showWarningAboutFile(int32_t stringId, const char* path) {
    showWarning(window, stringId, path);
}

bool MainWindow::askOpenPackageName(char* out) {
    return askOpenFileName(window, kPackageFilter, out);
}

bool MainWindow::askSavePackageName(char* inOut) {
    return askSaveFileName(window, kPackageFilter, inOut);
}

void showToolbarMenu(MainWindow& main, int button) {
    int menuId = 0;
    if (button == ID_TOOLBAR_IMPORT) menuId = IDR_POPUP_IMPORT;
    if (button == ID_TOOLBAR_PUBLISH) menuId = IDR_POPUP_PUBLISH;
    if (menuId == 0 || main.toolbar == nullptr) return;
    // The button's tooltip would stay on top of the menu.
    SendMessageA(reinterpret_cast<HWND>(SendMessageA(main.toolbar, TB_GETTOOLTIPS, 0, 0)), TTM_POP, 0, 0);
    RECT rectangle{};
    SendMessageA(main.toolbar, TB_GETRECT, WPARAM(button), reinterpret_cast<LPARAM>(&rectangle));
    MapWindowPoints(main.toolbar, HWND_DESKTOP, reinterpret_cast<POINT*>(&rectangle), 2);
    HMENU menu = LoadMenuA(programModule(), MAKEINTRESOURCEA(menuId));
    if (menu == nullptr) return;
    TPMPARAMS keepOff{};
    keepOff.cbSize = sizeof keepOff;
    keepOff.rcExclude = rectangle;
    TrackPopupMenuEx(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_VERTICAL, rectangle.left,
                     rectangle.bottom, main.window, &keepOff);
    DestroyMenu(menu);
}

namespace {

// A dialog has no class icon: the title bar and the task bar take these.
void showProgramIcon(HWND window) {
    for (auto [kind, size] : {std::pair{ICON_BIG, GetSystemMetrics(SM_CXICON)},
                              std::pair{ICON_SMALL, GetSystemMetrics(SM_CXSMICON)}}) {
        HANDLE icon =
            LoadImageA(programModule(), MAKEINTRESOURCEA(IDI_QUIREBOUND), IMAGE_ICON, size, size, LR_SHARED);
        if (icon != nullptr) SendMessageA(window, WM_SETICON, WPARAM(kind), reinterpret_cast<LPARAM>(icon));
    }
}

void createRebarAndToolbar(MainWindow& main) {
    HWND window = main.window;
    main.rebar =
        CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, nullptr,
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                            RBS_BANDBORDERS | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                        0, 0, 600, 60, window, reinterpret_cast<HMENU>(IDC_REBAR), programModule(), nullptr);
    if (main.rebar == nullptr) return;
    main.toolbar = CreateWindowExA(
        0, TOOLBARCLASSNAMEA, nullptr,
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE, 0, 0, 0, 0,
        main.rebar, reinterpret_cast<HMENU>(IDC_TOOLBAR), programModule(), nullptr);
    if (main.toolbar == nullptr) return;
    SendMessageA(main.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(main.toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    TBADDBITMAP strip{programModule(), IDB_TOOLBAR_STRIP};
    SendMessageA(main.toolbar, TB_ADDBITMAP, TOOLBAR_IMAGE_COUNT, reinterpret_cast<LPARAM>(&strip));

    // The labels go in as one block of texts, each ending with a zero.
    char labels[5 * kFieldSize + 1];
    size_t used = 0;
    int labelIndex[kToolbarButtonCount] = {};
    int nextLabel = 0;
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        if (kToolbarButtons[i].style == BTNS_SEP) continue;
        loadString(kToolbarButtons[i].label, labels + used, kFieldSize);
        used += std::strlen(labels + used) + 1;
        labelIndex[i] = nextLabel++;
    }
    labels[used] = '\0';
    SendMessageA(main.toolbar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(labels));

    TBBUTTON buttons[kToolbarButtonCount] = {};
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        const ToolbarButton& button = kToolbarButtons[i];
        buttons[i].iBitmap = button.style == BTNS_SEP ? 0 : button.image;
        buttons[i].idCommand = button.command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = button.style;
        buttons[i].iString = button.style == BTNS_SEP ? -1 : labelIndex[i];
    }
    SendMessageA(main.toolbar, TB_ADDBUTTONSA, kToolbarButtonCount, reinterpret_cast<LPARAM>(buttons));
    SendMessageA(main.toolbar, TB_AUTOSIZE, 0, 0);

    SIZE toolbarSize{};
    SendMessageA(main.toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&toolbarSize));
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_COLORS | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE;
    band.fStyle = RBBS_CHILDEDGE | RBBS_NOVERT | RBBS_FIXEDBMP;
    band.clrFore = GetSysColor(COLOR_BTNTEXT);
    band.clrBack = GetSysColor(COLOR_BTNFACE);
    band.hwndChild = main.toolbar;
    band.cxMinChild = toolbarSize.cx > 40 ? UINT(toolbarSize.cx) : 40;
    band.cyMinChild = toolbarSize.cy > 40 ? UINT(toolbarSize.cy) : 40;
    band.cx = 600;
    band.wID = IDC_REBAR;
    SendMessageA(main.rebar, RB_INSERTBANDA, WPARAM(-1), reinterpret_cast<LPARAM>(&band));
}

LRESULT handleNotification(MainWindow& main, const NMHDR& header) {
    HWND window = main.window;
    int from = int(header.idFrom);
    if (from >= IDC_MANIFEST_VIEW && from <= IDC_METADATA_VIEW && header.code != TTN_GETDISPINFOA &&
        header.code != TTN_GETDISPINFOW) {
        return handleViewNotification(main, header);
    }
    if (from == IDC_SECTION_TABS && header.code == TCN_SELCHANGE) {
        switchToTab(main, int(SendDlgItemMessageA(window, IDC_SECTION_TABS, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    switch (header.code) {
        case TBN_DROPDOWN:
            showToolbarMenu(main, reinterpret_cast<const NMTOOLBARA&>(header).iItem);
            return TBDDRET_DEFAULT;
        case TTN_GETDISPINFOA:
        case TTN_GETDISPINFOW:
            for (const ToolbarButton& button : kToolbarButtons) {
                if (button.style == BTNS_SEP || int(header.idFrom) != button.command) continue;
                // Both forms keep the text pointer and the instance at the same place.
                auto& request = const_cast<NMTTDISPINFOA&>(reinterpret_cast<const NMTTDISPINFOA&>(header));
                request.lpszText = MAKEINTRESOURCEA(button.tooltip);
                request.hinst = programModule();
            }
            return 0;
        default:
            return 0;
    }
}

}  // namespace
