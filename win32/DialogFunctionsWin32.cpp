#include "win32/DialogFunctionsWin32.h"

#include <cstring>

#include "win32/ExternalPrograms.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

int showMessage(HWND owner, int32_t stringId, int32_t captionId, UINT buttonsAndIcon, const char* fileName);
// The control, or null when there is no dialog or no such control.
HWND controlOf(HWND dialog, int32_t controlId);
const char* fallbackCaption(int32_t captionId);

}  // namespace

HINSTANCE programModule() {
    return GetModuleHandleA(nullptr);
}

void loadString(int32_t stringId, char* out, int capacity) {
    if (capacity <= 0) return;
    out[0] = '\0';
    if (LoadStringA(programModule(), static_cast<UINT>(stringId), out, capacity) <= 0) out[0] = '\0';
}

void showWarning(HWND owner, int32_t stringId, const char* fileName) {
    showMessage(owner, stringId, IDS_CAPTION_WARNING, MB_ICONEXCLAMATION, fileName);
}

void showInformation(HWND owner, int32_t stringId, const char* fileName) {
    showMessage(owner, stringId, IDS_CAPTION_INFORMATION, MB_ICONINFORMATION, fileName);
}

void showError(HWND owner, int32_t stringId, const char* fileName) {
    showMessage(owner, stringId, IDS_CAPTION_ERROR, MB_ICONSTOP, fileName);
}

void showErrorWithDetail(HWND owner, int32_t stringId, const char* detail) {
    char text[kMessageTextSize];
    char caption[kFieldSize];
    loadString(stringId, text, sizeof text);
    loadString(IDS_CAPTION_ERROR, caption, sizeof caption);
    if (caption[0] == '\0') copyText(caption, fallbackCaption(IDS_CAPTION_ERROR));
    if (detail != nullptr && detail[0] != '\0') {
        appendText(text, "\n");
        appendText(text, detail);
    }
    MessageBoxA(owner, text, caption, MB_OK | MB_ICONSTOP);
}

bool askYesNo(HWND owner, int32_t stringId) {
    char question[kMessageTextSize];
    loadString(stringId, question, sizeof question);
    return MessageBoxA(owner, question, "", MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

bool askYesNoAboutFile(HWND owner, int32_t stringId, const char* fileName) {
    return showMessage(owner, stringId, IDS_CAPTION_WARNING, MB_YESNO | MB_ICONEXCLAMATION, fileName) ==
           IDYES;
}

bool askOkCancel(HWND owner, int32_t stringId) {
    return showMessage(owner, stringId, IDS_CAPTION_WARNING, MB_OKCANCEL | MB_ICONEXCLAMATION, nullptr) ==
           IDOK;
}

bool isBoxTicked(HWND dialog, int32_t controlId) {
    HWND control = controlOf(dialog, controlId);
    return control != nullptr && SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setTextFromString(HWND dialog, int32_t controlId, int32_t stringId) {
    HWND control = controlOf(dialog, controlId);
    if (control == nullptr) return;
    char text[kMessageTextSize];
    loadString(stringId, text, sizeof text);
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void setTextFromStringAndNumber(HWND dialog, int32_t controlId, int32_t stringId, int32_t n) {
    HWND control = controlOf(dialog, controlId);
    if (control == nullptr) return;
    char text[kMessageTextSize];
    char composed[kMessageTextSize];
    loadString(stringId, text, sizeof text);
    composeTextAndNumber(text, n, composed, sizeof composed);
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(composed));
}

void startProgress(HWND dialog, int32_t controlId, int32_t n) {
    HWND control = controlOf(dialog, controlId);
    if (control == nullptr) return;
    SendMessageA(control, PBM_SETRANGE, 0, MAKELPARAM(0, static_cast<WORD>(n)));
    SendMessageA(control, PBM_SETSTEP, 1, 0);
}

void setProgress(HWND dialog, int32_t controlId, int32_t position) {
    HWND control = controlOf(dialog, controlId);
    if (control != nullptr) SendMessageA(control, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void appendListLine(HWND dialog, int32_t controlId, const char* text) {
    HWND control = controlOf(dialog, controlId);
    if (control == nullptr) return;
    LRESULT index = SendMessageA(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0) SendMessageA(control, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

bool runWizardSheet(HWND owner, const WizardPageResource* pages, int count, LPARAM state) {
    constexpr int kMostPages = 8;
    HPROPSHEETPAGE made[kMostPages] = {};
    bool allMade = count > 0 && count <= kMostPages;
    for (int i = 0; allMade && i < count; ++i) {
        PROPSHEETPAGEA page{};
        page.dwSize = sizeof page;
        page.dwFlags =
            PSP_HASHELP | PSP_USEHEADERTITLE | PSP_USEHEADERSUBTITLE | (i == 0 ? PSP_HIDEHEADER : 0);
        page.hInstance = programModule();
        page.pszTemplate = MAKEINTRESOURCEA(pages[i].dialogId);
        page.pfnDlgProc = pages[i].procedure;
        page.lParam = state;
        page.pszHeaderTitle = MAKEINTRESOURCEA(pages[i].titleId);
        page.pszHeaderSubTitle = MAKEINTRESOURCEA(pages[i].subtitleId);
        made[i] = CreatePropertySheetPageA(&page);
        allMade = made[i] != nullptr;
    }
    if (!allMade) {
        for (HPROPSHEETPAGE page : made) {
            if (page != nullptr) DestroyPropertySheetPage(page);
        }
        return false;
    }
    PROPSHEETHEADERA sheet{};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_WIZARD97 | PSH_WATERMARK | PSH_HEADER | PSH_USEICONID | PSH_HASHELP;
    sheet.hwndParent = owner;
    sheet.hInstance = programModule();
    sheet.pszIcon = MAKEINTRESOURCEA(IDI_QUIREBOUND);
    sheet.pszCaption = "Quirebound Publisher";
    sheet.nPages = UINT(count);
    sheet.phpage = made;
    sheet.pszbmWatermark = RESNAME_IDB_BACKCOLOR;
    sheet.pszbmHeader = RESNAME_IDB_BACKCOLOR;
    PropertySheetA(&sheet);
    return true;
}

// The wizard's own Finish button.
constexpr int kFinishButton = 0x3025;

INT_PTR answerNotification(HWND page, LONG_PTR result) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR answerWizardPageNotification(HWND page, LPARAM notification, DWORD buttons) {
    switch (reinterpret_cast<const NMHDR*>(notification)->code) {
        case PSN_SETACTIVE:
            // The sheet repaints only the page: coming back to a welcome
            // page, the header and margins of the page before would stay.
            RedrawWindow(GetParent(page), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            PropSheet_SetWizButtons(GetParent(page), buttons);
            // Next, which had the focus, is hidden on the last page: Finish
            // takes the focus and Enter, once the sheet has shown the page.
            if ((buttons & PSWIZB_FINISH) != 0)
                PostMessageA(GetParent(page), WM_NEXTDLGCTL,
                             reinterpret_cast<WPARAM>(GetDlgItem(GetParent(page), kFinishButton)), TRUE);
            return answerNotification(page, 0);
        case PSN_HELP:
            openHelpPage();
            return TRUE;
        default:
            return FALSE;
    }
}

void openHelpPage() {
    char address[kPathSize];
    loadString(IDS_HELP_PAGE, address, sizeof address);
    if (address[0] != '\0') openWithShell(address);
}

void setWelcomeTitleFont(HWND page, int32_t controlId) {
    // A wizard's welcome title stands out, as its guidelines ask.
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(12, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    HFONT title =
        CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Verdana");
    SendDlgItemMessageA(page, controlId, WM_SETFONT, reinterpret_cast<WPARAM>(title), FALSE);
}

void releaseWelcomeTitleFont(HWND page, int32_t controlId) {
    auto title = reinterpret_cast<HFONT>(SendDlgItemMessageA(page, controlId, WM_GETFONT, 0, 0));
    if (title != nullptr) DeleteObject(title);
}

void waitForThread(HANDLE& thread) {
    if (thread == nullptr) return;
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG sent;
        PeekMessageA(&sent, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread);
    thread = nullptr;
}

namespace {

int showMessage(HWND owner, int32_t stringId, int32_t captionId, UINT buttonsAndIcon, const char* fileName) {
    char pattern[kMessageTextSize];
    char caption[kFieldSize];
    loadString(stringId, pattern, sizeof pattern);
    loadString(captionId, caption, sizeof caption);
    if (caption[0] == '\0') copyText(caption, fallbackCaption(captionId));
    char text[kMessageTextSize];
    const char* marker = fileName != nullptr ? std::strstr(pattern, "%s") : nullptr;
    if (marker == nullptr) {
        copyText(text, pattern);
    } else {
        // Put in by hand: a path may hold "%".
        copyText(text, size_t(marker - pattern) + 1, pattern);
        appendText(text, fileName);
        appendText(text, marker + 2);
    }
    return MessageBoxA(owner, text, caption, buttonsAndIcon);
}

HWND controlOf(HWND dialog, int32_t controlId) {
    if (dialog == nullptr) return nullptr;
    return GetDlgItem(dialog, controlId);
}

// Message boxes keep a caption even in a program built without its strings.
const char* fallbackCaption(int32_t captionId) {
    switch (captionId) {
        case IDS_CAPTION_WARNING:
            return "Warning";
        case IDS_CAPTION_ERROR:
            return "Error";
        default:
            return "Information";
    }
}

}  // namespace
