#include "win32/DialogFunctionsWin32.h"
#include "win32/ExternalPrograms.h"
#include "win32/FileDialogs.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

// What the General page works on, kept in its window.
struct OptionsSheetState {
    ToolSettings* settings;
    HBITMAP folderPicture;
};

struct ProgramSetting {
    int editId;
    int browseId;
    char (ToolSettings::*field)[kPathSize];
};

constexpr ProgramSetting kProgramSettings[] = {
    {IDC_OPTIONS_HTML_EDITOR, IDC_OPTIONS_HTML_EDITOR_BROWSE, &ToolSettings::htmlEditorPath},
    {IDC_OPTIONS_PALMOS_EMULATOR, IDC_OPTIONS_PALMOS_EMULATOR_BROWSE, &ToolSettings::palmOsEmulatorPath},
    {IDC_OPTIONS_WAP_EMULATOR, IDC_OPTIONS_WAP_EMULATOR_BROWSE, &ToolSettings::wapEmulatorPath},
};

INT_PTR CALLBACK generalPageProcedure(HWND page, UINT message, WPARAM first, LPARAM second);
void initialisePage(HWND page, const OptionsSheetState& state);
void browseForProgram(HWND page, int editId);
void keepTypedSettings(HWND page, ToolSettings& settings);

}  // namespace

void runOptionsSheet(WindowHandle owner, ToolSettings& settings) {
    OptionsSheetState state{&settings, LoadBitmapA(programModule(), RESNAME_IDB_BTN_FOLDER)};
    PROPSHEETPAGEA page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USETITLE;
    page.hInstance = programModule();
    page.pszTemplate = MAKEINTRESOURCEA(IDD_OPTIONS_GENERAL);
    page.pszTitle = "General";
    page.pfnDlgProc = generalPageProcedure;
    page.lParam = reinterpret_cast<LPARAM>(&state);
    HPROPSHEETPAGE pages[] = {CreatePropertySheetPageA(&page)};
    if (pages[0] != nullptr) {
        PROPSHEETHEADERA sheet{};
        sheet.dwSize = sizeof sheet;
        sheet.dwFlags = PSH_DEFAULT;
        sheet.hwndParent = static_cast<HWND>(owner);
        sheet.hInstance = programModule();
        sheet.pszCaption = "Options";
        sheet.nPages = 1;
        sheet.phpage = pages;
        PropertySheetA(&sheet);
    }
    if (state.folderPicture != nullptr) DeleteObject(state.folderPicture);
}

namespace {

INT_PTR CALLBACK generalPageProcedure(HWND page, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
        case WM_INITDIALOG: {
            auto* state = keepPageState<OptionsSheetState>(page, second);
            initialisePage(page, *state);
            return TRUE;
        }
        case WM_COMMAND:
            for (const ProgramSetting& setting : kProgramSettings) {
                if (LOWORD(first) == setting.browseId) browseForProgram(page, setting.editId);
            }
            return TRUE;
        case WM_NOTIFY:
            // The page never reports a change, so Apply has nothing to do.
            if (reinterpret_cast<const NMHDR*>(second)->code == PSN_SETACTIVE)
                PropSheet_UnChanged(GetParent(page), page);
            if (reinterpret_cast<const NMHDR*>(second)->code == PSN_APPLY) {
                keepTypedSettings(page, *dialogState<OptionsSheetState>(page)->settings);
                SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void initialisePage(HWND page, const OptionsSheetState& state) {
    for (const ProgramSetting& setting : kProgramSettings) {
        SendDlgItemMessageA(page, setting.browseId, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(state.folderPicture));
        SetDlgItemTextA(page, setting.editId, state.settings->*setting.field);
    }
    CheckDlgButton(page, IDC_OPTIONS_ALLOW_OUTSIDE_FILES,
                   state.settings->allowOutsideFiles ? BST_CHECKED : BST_UNCHECKED);
}

void browseForProgram(HWND page, int editId) {
    char chosen[kPathSize];
    if (askOpenFileName(page, kProgramFilter, chosen)) SetDlgItemTextA(page, editId, chosen);
}

void keepTypedSettings(HWND page, ToolSettings& settings) {
    for (const ProgramSetting& setting : kProgramSettings) {
        char typed[kPathSize];
        GetDlgItemTextA(page, setting.editId, typed, sizeof typed);
        copyText(settings.*setting.field, typed);
    }
    settings.allowOutsideFiles = IsDlgButtonChecked(page, IDC_OPTIONS_ALLOW_OUTSIDE_FILES) == BST_CHECKED;
}

}  // namespace
