#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <prsht.h>

#include "editor/EditorDocument.h"
#include "editor/ExternalPrograms.h"
#include "editor/FileDialogs.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

struct ProgramSetting {
    int editId;
    int browseId;
    char* field;
};

INT_PTR CALLBACK generalPageProcedure(HWND page, UINT message, WPARAM first, LPARAM second);
void initialisePage(HWND page);
void browseForProgram(HWND page, int editId);
void keepTypedSettings(HWND page);

ProgramSetting settings[] = {
    {IDC_OPTIONS_HTML_EDITOR, IDC_OPTIONS_HTML_EDITOR_BROWSE, editorDocument.htmlEditorPath},
    {IDC_OPTIONS_PALMOS_EMULATOR, IDC_OPTIONS_PALMOS_EMULATOR_BROWSE, editorDocument.palmOsEmulatorPath},
    {IDC_OPTIONS_WAP_EMULATOR, IDC_OPTIONS_WAP_EMULATOR_BROWSE, editorDocument.wapEmulatorPath},
};

HBITMAP folderPicture = nullptr;

}  // namespace

void runOptionsSheet(WindowHandle owner) {
    PROPSHEETPAGEA page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USETITLE;
    page.hInstance = GetModuleHandleA(nullptr);
    page.pszTemplate = MAKEINTRESOURCEA(IDD_OPTIONS_GENERAL);
    page.pszTitle = "General";
    page.pfnDlgProc = generalPageProcedure;
    HPROPSHEETPAGE pages[] = {CreatePropertySheetPageA(&page)};
    if (pages[0] == nullptr) return;

    PROPSHEETHEADERA sheet{};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_DEFAULT;
    sheet.hwndParent = static_cast<HWND>(owner);
    sheet.hInstance = GetModuleHandleA(nullptr);
    sheet.pszCaption = "Options";
    sheet.nPages = 1;
    sheet.phpage = pages;
    PropertySheetA(&sheet);
}

namespace {

INT_PTR CALLBACK generalPageProcedure(HWND page, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
        case WM_INITDIALOG:
            initialisePage(page);
            return TRUE;
        case WM_COMMAND:
            for (const ProgramSetting& setting : settings) {
                if (LOWORD(first) == setting.browseId) browseForProgram(page, setting.editId);
            }
            return TRUE;
        case WM_NOTIFY:
            if (reinterpret_cast<const NMHDR*>(second)->code == PSN_APPLY) {
                keepTypedSettings(page);
                SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void initialisePage(HWND page) {
    if (folderPicture == nullptr)
        folderPicture = LoadBitmapA(GetModuleHandleA(nullptr), RESNAME_IDB_BTN_FOLDER);
    for (const ProgramSetting& setting : settings) {
        SendDlgItemMessageA(page, setting.browseId, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(folderPicture));
        SetDlgItemTextA(page, setting.editId, setting.field);
    }
}

void browseForProgram(HWND page, int editId) {
    char chosen[kToolPathSize];
    if (askOpenFileName(page, kProgramFilter, chosen)) SetDlgItemTextA(page, editId, chosen);
}

void keepTypedSettings(HWND page) {
    for (const ProgramSetting& setting : settings) {
        char typed[kToolPathSize];
        GetDlgItemTextA(page, setting.editId, typed, sizeof typed);
        copyText(setting.field, kToolPathSize, typed);
    }
}

}  // namespace
