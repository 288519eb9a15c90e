// What every window of the editor and the wizards shares: the system's
// headers in the order they need, the program's module, string-table
// texts, the message boxes and the small control operations.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <prsht.h>
#include <shellapi.h>
// clang-format on

#include <cstddef>
#include <cstdint>

// Message texts are cut to this many bytes with their terminator.
constexpr size_t kMessageTextSize = 1024;

// The module whose resources the program uses.
HINSTANCE programModule();
// A string-table text, cut to capacity; empty when the string is missing.
void loadString(int32_t stringId, char* out, int capacity);

// A modal box with one OK button; owner may be null. With a file name, the
// text's "%s" is replaced by it (the name is never read as a format).
void showWarning(HWND owner, int32_t stringId, const char* fileName = nullptr);
void showInformation(HWND owner, int32_t stringId, const char* fileName = nullptr);
void showError(HWND owner, int32_t stringId, const char* fileName = nullptr);
// An error box whose text is the string, then on a line of its own the
// detail (a failure's own text naming the file), when there is one.
void showErrorWithDetail(HWND owner, int32_t stringId, const char* detail);
// A Yes/No question with the information icon and an empty caption.
bool askYesNo(HWND owner, int32_t stringId);
// A Yes/No warning whose text's "%s" is replaced by the file name.
bool askYesNoAboutFile(HWND owner, int32_t stringId, const char* fileName);

// The same with OK and Cancel and the warning icon; true for OK.
bool askOkCancel(HWND owner, int32_t stringId);

// With no dialog, or a dialog without the control, these do nothing.
bool isBoxTicked(HWND dialog, int32_t controlId);
void setTextFromString(HWND dialog, int32_t controlId, int32_t stringId);
void setTextFromStringAndNumber(HWND dialog, int32_t controlId, int32_t stringId, int32_t n);
// The range is 0 to n modulo 65536, in steps of 1.
void startProgress(HWND dialog, int32_t controlId, int32_t n);
void setProgress(HWND dialog, int32_t controlId, int32_t position);
// Appends a line and scrolls it to the top of the visible part.
void appendListLine(HWND dialog, int32_t controlId, const char* text);

// A wizard's page: its dialog, its procedure and its header texts.
struct WizardPageResource {
    int dialogId;
    DLGPROC procedure;
    int titleId;
    int subtitleId;
};
// Runs a Wizard 97 sheet of these pages (at most 8; the first a welcome
// page without header) over owner, with the program's caption, icon and
// pictures and a Help button; every page gets state as its lParam.
// Returns when the sheet closes; false when it could not be made.
bool runWizardSheet(HWND owner, const WizardPageResource* pages, int count, LPARAM state);

// Wizard pages: the result of a notification, the Help button's page, and
// the welcome page's title in a large bold font (released on WM_DESTROY).
INT_PTR answerNotification(HWND page, LONG_PTR result);
// What every wizard page answers alike: its buttons on activation and the
// Help button. FALSE for every other notification.
INT_PTR answerWizardPageNotification(HWND page, LPARAM notification, DWORD buttons);
void openHelpPage();
void setWelcomeTitleFont(HWND page, int32_t controlId);
void releaseWelcomeTitleFont(HWND page, int32_t controlId);
// Waits until a worker thread has ended, handling the messages it sends to
// this thread's windows meanwhile; closes and clears the handle.
void waitForThread(HANDLE& thread);

// The state record a dialog procedure keeps in its window: handed in
// through the dialog's creation parameter and stored on WM_INITDIALOG.
template <typename State>
State* dialogState(HWND dialog) {
    return reinterpret_cast<State*>(GetWindowLongPtrA(dialog, DWLP_USER));
}
template <typename State>
State* keepDialogState(HWND dialog, LPARAM parameter) {
    SetWindowLongPtrA(dialog, DWLP_USER, parameter);
    return reinterpret_cast<State*>(parameter);
}
// The same for a property-sheet page: its parameter is its PROPSHEETPAGE,
// whose lParam is the state.
template <typename State>
State* keepPageState(HWND page, LPARAM parameter) {
    return keepDialogState<State>(page, reinterpret_cast<PROPSHEETPAGEA*>(parameter)->lParam);
}
