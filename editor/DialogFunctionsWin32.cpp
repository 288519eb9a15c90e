#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "DialogFunctions.h"
#include "model/Text.h"

namespace {

class Win32DialogFunctions final : public DialogFunctions {
public:
    void showWarning(WindowHandle owner, int32_t stringId) override {
        showMessage(owner, stringId, kWarningCaption, MB_ICONEXCLAMATION);
    }
    void showInformation(WindowHandle owner, int32_t stringId) override {
        showMessage(owner, stringId, kInformationCaption, MB_ICONINFORMATION);
    }
    void showError(WindowHandle owner, int32_t stringId) override {
        showMessage(owner, stringId, kErrorCaption, MB_ICONSTOP);
    }
    bool isBoxTicked(WindowHandle dialog, int32_t controlId) override;
    void setTextFromString(WindowHandle dialog, int32_t controlId, int32_t stringId) override;
    void setTextFromStringAndNumber(WindowHandle dialog, int32_t controlId, int32_t stringId,
                                    int32_t n) override;
    void startProgress(WindowHandle dialog, int32_t controlId, int32_t n) override;
    void setProgress(WindowHandle dialog, int32_t controlId, int32_t position) override;
    void appendListLine(WindowHandle dialog, int32_t controlId, const char* text) override;

private:
    static void showMessage(WindowHandle owner, int32_t stringId, int32_t captionId, UINT icon);
};

// The control, or null when there is no dialog or no such control.
HWND controlOf(WindowHandle dialog, int32_t controlId);
// A string-table text; a text that does not fit is cut.
void loadString(int32_t stringId, char* out, int capacity);
const char* fallbackCaption(int32_t captionId);

}  // namespace

DialogFunctions& win32DialogFunctions() {
    static Win32DialogFunctions functions;
    return functions;
}

namespace {

void Win32DialogFunctions::showMessage(WindowHandle owner, int32_t stringId, int32_t captionId, UINT icon) {
    char text[kMessageTextSize];
    char caption[kCaptionTextSize];
    loadString(stringId, text, sizeof text);
    loadString(captionId, caption, sizeof caption);
    if (caption[0] == '\0') copyText(caption, fallbackCaption(captionId));
    MessageBoxA(static_cast<HWND>(owner), text, caption, MB_OK | icon);
}

bool Win32DialogFunctions::isBoxTicked(WindowHandle dialog, int32_t controlId) {
    HWND control = controlOf(dialog, controlId);
    return control != nullptr && SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32DialogFunctions::setTextFromString(WindowHandle dialog, int32_t controlId, int32_t stringId) {
    HWND control = controlOf(dialog, controlId);
    if (control == nullptr) return;
    char text[kMessageTextSize];
    loadString(stringId, text, sizeof text);
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void Win32DialogFunctions::setTextFromStringAndNumber(WindowHandle dialog, int32_t controlId,
                                                      int32_t stringId, int32_t n) {
    HWND control = controlOf(dialog, controlId);
    if (control == nullptr) return;
    char text[kMessageTextSize];
    char composed[kMessageTextSize];
    loadString(stringId, text, sizeof text);
    composeTextAndNumber(text, n, composed, sizeof composed);
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(composed));
}

void Win32DialogFunctions::startProgress(WindowHandle dialog, int32_t controlId, int32_t n) {
    HWND control = controlOf(dialog, controlId);
    if (control == nullptr) return;
    SendMessageA(control, PBM_SETRANGE, 0, MAKELPARAM(0, static_cast<WORD>(n)));
    SendMessageA(control, PBM_SETSTEP, 1, 0);
}

void Win32DialogFunctions::setProgress(WindowHandle dialog, int32_t controlId, int32_t position) {
    HWND control = controlOf(dialog, controlId);
    if (control != nullptr) SendMessageA(control, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void Win32DialogFunctions::appendListLine(WindowHandle dialog, int32_t controlId, const char* text) {
    HWND control = controlOf(dialog, controlId);
    if (control == nullptr) return;
    LRESULT index = SendMessageA(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0) SendMessageA(control, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

HWND controlOf(WindowHandle dialog, int32_t controlId) {
    if (dialog == nullptr) return nullptr;
    return GetDlgItem(static_cast<HWND>(dialog), controlId);
}

void loadString(int32_t stringId, char* out, int capacity) {
    out[0] = '\0';
    if (LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(stringId), out, capacity) <= 0)
        out[0] = '\0';
}

// Message boxes keep a caption even in a program built without its strings.
const char* fallbackCaption(int32_t captionId) {
    switch (captionId) {
        case kWarningCaption:
            return "Warning";
        case kErrorCaption:
            return "Error";
        default:
            return "Information";
    }
}

}  // namespace
