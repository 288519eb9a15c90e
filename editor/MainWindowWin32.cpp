#include "editor/MainWindowWin32.h"

// After windows.h, which it needs.
#include <commctrl.h>

#include <cstring>

#include "editor/CommandLine.h"
#include "editor/CommandTableWin32.h"
#include "editor/EditorDocument.h"
#include "editor/ExternalPrograms.h"
#include "editor/FileDialogs.h"
#include "editor/SectionViewsWin32.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

HWND rebarWindow = nullptr;
HWND toolbarWindow = nullptr;

// The main window as the document sees it.
class MainDocumentWindow final : public DocumentWindow {
public:
    void showTitle(const char* title) override { SetWindowTextA(mainWindow(), title); }
    void enableDocumentCommands(bool enabled) override;
    void refreshAllViews() override { refreshSectionViews(mainWindow()); }
    bool askYesNo(int32_t stringId) override;
    void showErrorAboutFile(int32_t stringId, const char* path) override {
        showAboutFile(stringId, IDS_CAPTION_ERROR, MB_ICONSTOP, path);
    }
    void showWarningAboutFile(int32_t stringId, const char* path) override {
        showAboutFile(stringId, IDS_CAPTION_WARNING, MB_ICONEXCLAMATION, path);
    }
    bool askOpenPackageName(char* out) override { return askOpenFileName(mainWindow(), kPackageFilter, out); }
    bool askSavePackageName(char* inOut) override {
        return askSaveFileName(mainWindow(), kPackageFilter, inOut);
    }

private:
    static HWND mainWindow() { return static_cast<HWND>(editorDocument.mainWindow); }
    static void showAboutFile(int32_t stringId, int32_t captionId, UINT icon, const char* path);
};

MainDocumentWindow documentWindow;

HINSTANCE programModule() {
    return GetModuleHandleA(nullptr);
}

void initialiseMainWindow(HWND window);
void createRebarAndToolbar(HWND window);
LRESULT handleNotification(HWND window, const NMHDR& header);
void showToolbarPopup(HWND window, const NMTOOLBARA& pressed);
// A string-table text; empty when the string is missing.
void loadText(int32_t stringId, char* out, int capacity);

}  // namespace

void runMainWindow(HINSTANCE instance) {
    DialogBoxParamA(instance, RESNAME_DLG_MAIN, nullptr, mainDialogProcedure, 0);
}

INT_PTR CALLBACK mainDialogProcedure(HWND window, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
        case WM_INITDIALOG:
            initialiseMainWindow(window);
            return TRUE;
        case WM_COMMAND:
            dispatchCommand(window, first, second);
            return 0;
        case WM_NOTIFY:
            SetWindowLongPtrA(window, DWLP_MSGRESULT,
                              handleNotification(window, *reinterpret_cast<const NMHDR*>(second)));
            return TRUE;
        default:
            return 0;
    }
}

namespace {

void initialiseMainWindow(HWND window) {
    createRebarAndToolbar(window);
    giveViewsTheirImages(window);
    fillSectionTabs(window);
    currentSectionView = IDC_MANIFEST_VIEW;
    editorDocument.initDocument(window, documentWindow);
    loadToolSettings(editorDocument);
    if (startupPackagePath[0] != '\0') {
        editorDocument.openPackageOrWarn(startupPackagePath);
        editorDocument.refreshAllViews();
        startupPackagePath[0] = '\0';
    }
}

struct ToolbarButton {
    int command;
    int image;
    BYTE style;
    int label;
    int tooltip;
};

constexpr ToolbarButton kToolbarButtons[] = {
    {ID_FILE_NEW, TOOLBAR_IMAGE_NEW, BTNS_BUTTON, IDS_LABEL_NEW, IDS_TIP_NEW},
    {ID_TOOLBAR_IMPORT, TOOLBAR_IMAGE_IMPORT, BTNS_DROPDOWN, IDS_LABEL_IMPORT, IDS_TIP_IMPORT},
    {0, 0, BTNS_SEP, 0, 0},
    {ID_FILE_OPEN, TOOLBAR_IMAGE_OPEN, BTNS_BUTTON, IDS_LABEL_OPEN, IDS_TIP_OPEN},
    {ID_FILE_SAVE, TOOLBAR_IMAGE_SAVE, BTNS_BUTTON, IDS_LABEL_SAVE, IDS_TIP_SAVE},
    {0, 0, BTNS_SEP, 0, 0},
    {ID_TOOLBAR_PUBLISH, TOOLBAR_IMAGE_PUBLISH, BTNS_DROPDOWN, IDS_LABEL_PUBLISH, IDS_TIP_PUBLISH},
};
constexpr int kToolbarButtonCount = sizeof kToolbarButtons / sizeof kToolbarButtons[0];

void createRebarAndToolbar(HWND window) {
    rebarWindow =
        CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, nullptr,
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                            RBS_BANDBORDERS | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                        0, 0, 600, 60, window, reinterpret_cast<HMENU>(IDC_REBAR), programModule(), nullptr);
    if (rebarWindow == nullptr) return;
    toolbarWindow = CreateWindowExA(
        0, TOOLBARCLASSNAMEA, nullptr,
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE, 0, 0, 0, 0,
        rebarWindow, reinterpret_cast<HMENU>(IDC_TOOLBAR), programModule(), nullptr);
    if (toolbarWindow == nullptr) return;
    SendMessageA(toolbarWindow, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbarWindow, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    TBADDBITMAP strip{programModule(), IDB_TOOLBAR_STRIP};
    SendMessageA(toolbarWindow, TB_ADDBITMAP, TOOLBAR_IMAGE_COUNT, reinterpret_cast<LPARAM>(&strip));

    // The labels go in as one block of texts, each ending with a zero.
    char labels[5 * kFieldSize + 1];
    size_t used = 0;
    int labelIndex[kToolbarButtonCount] = {};
    int nextLabel = 0;
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        if (kToolbarButtons[i].style == BTNS_SEP) continue;
        loadText(kToolbarButtons[i].label, labels + used, kFieldSize);
        used += std::strlen(labels + used) + 1;
        labelIndex[i] = nextLabel++;
    }
    labels[used] = '\0';
    SendMessageA(toolbarWindow, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(labels));

    TBBUTTON buttons[kToolbarButtonCount] = {};
    for (int i = 0; i < kToolbarButtonCount; ++i) {
        const ToolbarButton& button = kToolbarButtons[i];
        buttons[i].iBitmap = button.style == BTNS_SEP ? 0 : button.image;
        buttons[i].idCommand = button.command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = button.style;
        buttons[i].iString = button.style == BTNS_SEP ? -1 : labelIndex[i];
    }
    SendMessageA(toolbarWindow, TB_ADDBUTTONSA, kToolbarButtonCount, reinterpret_cast<LPARAM>(buttons));
    SendMessageA(toolbarWindow, TB_AUTOSIZE, 0, 0);

    SIZE toolbarSize{};
    SendMessageA(toolbarWindow, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&toolbarSize));
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_COLORS | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE;
    band.fStyle = RBBS_CHILDEDGE | RBBS_NOVERT | RBBS_FIXEDBMP;
    band.clrFore = GetSysColor(COLOR_BTNTEXT);
    band.clrBack = GetSysColor(COLOR_BTNFACE);
    band.hwndChild = toolbarWindow;
    band.cxMinChild = toolbarSize.cx > 40 ? UINT(toolbarSize.cx) : 40;
    band.cyMinChild = toolbarSize.cy > 40 ? UINT(toolbarSize.cy) : 40;
    band.cx = 600;
    band.wID = IDC_REBAR;
    SendMessageA(rebarWindow, RB_INSERTBANDA, WPARAM(-1), reinterpret_cast<LPARAM>(&band));
}

LRESULT handleNotification(HWND window, const NMHDR& header) {
    int from = int(header.idFrom);
    if (from >= IDC_MANIFEST_VIEW && from <= IDC_METADATA_VIEW && header.code != TTN_GETDISPINFOA &&
        header.code != TTN_GETDISPINFOW) {
        return handleViewNotification(window, header);
    }
    if (from == IDC_SECTION_TABS && header.code == TCN_SELCHANGE) {
        switchToTab(window, int(SendDlgItemMessageA(window, IDC_SECTION_TABS, TCM_GETCURSEL, 0, 0)));
        return 0;
    }
    switch (header.code) {
        case TBN_DROPDOWN:
            showToolbarPopup(window, reinterpret_cast<const NMTOOLBARA&>(header));
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

void showToolbarPopup(HWND window, const NMTOOLBARA& pressed) {
    int menuId = 0;
    if (pressed.iItem == ID_TOOLBAR_IMPORT) menuId = IDR_POPUP_IMPORT;
    if (pressed.iItem == ID_TOOLBAR_PUBLISH) menuId = IDR_POPUP_PUBLISH;
    if (menuId == 0) return;
    RECT button{};
    SendMessageA(pressed.hdr.hwndFrom, TB_GETRECT, WPARAM(pressed.iItem), reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(pressed.hdr.hwndFrom, HWND_DESKTOP, reinterpret_cast<POINT*>(&button), 2);
    HMENU menu = LoadMenuA(programModule(), MAKEINTRESOURCEA(menuId));
    if (menu == nullptr) return;
    TPMPARAMS keepOff{};
    keepOff.cbSize = sizeof keepOff;
    keepOff.rcExclude = button;
    TrackPopupMenuEx(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_VERTICAL, button.left,
                     button.bottom, window, &keepOff);
    DestroyMenu(menu);
}

void loadText(int32_t stringId, char* out, int capacity) {
    if (LoadStringA(programModule(), UINT(stringId), out, capacity) <= 0) out[0] = '\0';
}

void MainDocumentWindow::enableDocumentCommands(bool enabled) {
    BYTE buttonState = enabled ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE;
    if (toolbarWindow != nullptr) {
        SendMessageA(toolbarWindow, TB_SETSTATE, ID_FILE_SAVE, MAKELPARAM(buttonState, 0));
        SendMessageA(toolbarWindow, TB_SETSTATE, ID_TOOLBAR_PUBLISH, MAKELPARAM(buttonState, 0));
    }
    HMENU menu = GetMenu(mainWindow());
    UINT menuState = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    for (int command : {ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_PUBLISH_PRC}) {
        EnableMenuItem(menu, UINT(command), menuState);
    }
    DrawMenuBar(mainWindow());
}

bool MainDocumentWindow::askYesNo(int32_t stringId) {
    char question[kMessageTextSize];
    loadText(stringId, question, sizeof question);
    return MessageBoxA(mainWindow(), question, "", MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

void MainDocumentWindow::showAboutFile(int32_t stringId, int32_t captionId, UINT icon, const char* path) {
    char pattern[kMessageTextSize];
    char caption[kCaptionTextSize];
    loadText(stringId, pattern, sizeof pattern);
    loadText(captionId, caption, sizeof caption);
    // The path is put in by hand, not as a format: a path may hold "%".
    char text[kMessageTextSize];
    const char* marker = std::strstr(pattern, "%s");
    if (marker == nullptr) {
        copyText(text, pattern);
    } else {
        size_t before = size_t(marker - pattern);
        copyText(text, before + 1, pattern);
        appendText(text, path);
        appendText(text, marker + 2);
    }
    MessageBoxA(mainWindow(), text, caption, MB_OK | icon);
}

}  // namespace
