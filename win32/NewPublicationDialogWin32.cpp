#include "win32/NewPublicationDialogWin32.h"

#include <cstring>
#include <initializer_list>

#include "win32/FileDialogs.h"
#include "model/Files.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

INT_PTR CALLBACK newDialogProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second);
void initialiseDialog(HWND dialog, const NewPublicationForm& form);
void browseForPackage(HWND dialog);
void readForm(HWND dialog, NewPublicationForm& form);
// The checks, the question about existing files and the writing; true when
// the dialog may end.
bool create(HWND dialog, NewPublicationForm& form);

}  // namespace

bool runNewPublicationDialog(HWND owner, NewPublicationForm& form) {
    form = NewPublicationForm{};
    form.name[0] = form.author[0] = form.target[0] = form.newPackagePath[0] = '\0';
    INT_PTR result = DialogBoxParamA(programModule(), RESNAME_DLG_NEW, owner, newDialogProcedure,
                                     reinterpret_cast<LPARAM>(&form));
    if (result != IDOK) form.newPackagePath[0] = '\0';
    return result == IDOK;
}

namespace {

INT_PTR CALLBACK newDialogProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
        case WM_INITDIALOG:
            initialiseDialog(dialog, *keepDialogState<NewPublicationForm>(dialog, second));
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(first)) {
                case IDC_NEW_BROWSE:
                    browseForPackage(dialog);
                    return TRUE;
                case IDOK:
                    if (create(dialog, *dialogState<NewPublicationForm>(dialog))) EndDialog(dialog, IDOK);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_DESTROY: {
            auto picture = reinterpret_cast<HBITMAP>(
                SendDlgItemMessageA(dialog, IDC_NEW_BROWSE, BM_GETIMAGE, IMAGE_BITMAP, 0));
            if (picture != nullptr) DeleteObject(picture);
            return FALSE;
        }
        default:
            return FALSE;
    }
}

void initialiseDialog(HWND dialog, const NewPublicationForm& form) {
    for (int edit : {IDC_NEW_NAME, IDC_NEW_AUTHOR, IDC_NEW_TARGET})
        SendDlgItemMessageA(dialog, edit, EM_LIMITTEXT, kPathSize - 1, 0);
    SetDlgItemTextA(dialog, IDC_NEW_NAME, form.name);
    SetDlgItemTextA(dialog, IDC_NEW_AUTHOR, form.author);
    SetDlgItemTextA(dialog, IDC_NEW_TARGET, form.target);
    CheckDlgButton(dialog, IDC_NEW_ADD_TOC, form.tableOfContents ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_NEW_ADD_COVER, form.cover ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_NEW_ADD_BIOGRAPHY, form.biography ? BST_CHECKED : BST_UNCHECKED);
    HBITMAP folder = LoadBitmapA(programModule(), RESNAME_IDB_BTN_FOLDER);
    SendDlgItemMessageA(dialog, IDC_NEW_BROWSE, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(folder));
}

void browseForPackage(HWND dialog) {
    char chosen[kPathSize];
    GetDlgItemTextA(dialog, IDC_NEW_NAME, chosen, sizeof chosen);
    if (!askSaveFileName(dialog, kPackageFilter, chosen)) return;
    // A name the extension does not fit stays as chosen; Create refuses it.
    if (std::strstr(chosen, ".opf") == nullptr) {
        char withExtension[kPathSize];
        copyText(withExtension, chosen);
        if (appendText(withExtension, ".opf")) copyText(chosen, withExtension);
    }
    SetDlgItemTextA(dialog, IDC_NEW_TARGET, chosen);
}

void readForm(HWND dialog, NewPublicationForm& form) {
    GetDlgItemTextA(dialog, IDC_NEW_NAME, form.name, sizeof form.name);
    GetDlgItemTextA(dialog, IDC_NEW_TARGET, form.target, sizeof form.target);
    GetDlgItemTextA(dialog, IDC_NEW_AUTHOR, form.author, sizeof form.author);
    form.tableOfContents = isBoxTicked(dialog, IDC_NEW_ADD_TOC);
    form.cover = isBoxTicked(dialog, IDC_NEW_ADD_COVER);
    form.biography = isBoxTicked(dialog, IDC_NEW_ADD_BIOGRAPHY);
}

bool create(HWND dialog, NewPublicationForm& form) {
    readForm(dialog, form);
    int32_t failed = checkNewPublicationForm(form);
    if (failed == IDS_ASK_CREATE_FOLDER) {
        if (!askYesNoAboutFile(dialog, IDS_ASK_CREATE_FOLDER, form.missingFolder)) return false;
        if (!makeFolderPath(form.missingFolder)) {
            showError(dialog, IDS_FOLDER_NOT_MADE, form.missingFolder);
            return false;
        }
        failed = checkNewPublicationForm(form);
    }
    if (failed != 0) {
        showWarning(dialog, failed);
        return false;
    }
    char existing[kPathSize];
    if (firstExistingNewFile(form, existing) && !askYesNoAboutFile(dialog, IDS_NEW_ASK_REPLACE, existing))
        return false;
    char notWritten[kPathSize];
    if (!createNewPublication(form, notWritten)) {
        showError(dialog, IDS_NEW_FILE_NOT_WRITTEN, notWritten);
        return false;
    }
    return true;
}

}  // namespace
