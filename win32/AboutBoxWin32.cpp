#include "QuireboundVersion.h"
#include "win32/DialogFunctionsWin32.h"
#include "win32/ExternalPrograms.h"
#include "resources/ResourceIds.h"

namespace {

INT_PTR CALLBACK aboutBoxProcedure(HWND box, UINT message, WPARAM first, LPARAM);

}  // namespace

void showAboutBox(WindowHandle owner) {
    // Nothing to hand in: the box only shows its resource.
    DialogBoxParamA(programModule(), RESNAME_DLG_ABOUTBOX, static_cast<HWND>(owner), aboutBoxProcedure, 0);
}

namespace {

INT_PTR CALLBACK aboutBoxProcedure(HWND box, UINT message, WPARAM first, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            // The version lives in the build files alone, not in the resources.
            SetDlgItemTextA(box, IDC_ABOUT_VERSION, "Quirebound Publisher, version " QB_VERSION);
            return TRUE;
        case WM_COMMAND:
            // OK, and IDCANCEL from the Esc key and the close box.
            if (LOWORD(first) == IDOK || LOWORD(first) == IDCANCEL) EndDialog(box, LOWORD(first));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace
