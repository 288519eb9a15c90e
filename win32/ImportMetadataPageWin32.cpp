// Step 4: title, author, the rights text and the biography page.
#include "win32/FileDialogs.h"
#include "win32/ImportWizardPagesWin32.h"
#include "resources/ResourceIds.h"

namespace {

constexpr char kRightsFilter[] = "Text Files (*.TXT)\0*.TXT\0All Files (*.*)\0*.*\0";

void browseForRights(HWND page, ImportJob& job);
INT_PTR next(HWND page, ImportJob& job);

}  // namespace

INT_PTR CALLBACK importMetadataPage(HWND page, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_INITDIALOG) {
        ImportJob& job = *keepPageState<ImportWizardState>(page, second)->job;
        for (int edit : {IDC_IMPORT_TITLE, IDC_IMPORT_AUTHOR})
            SendDlgItemMessageA(page, edit, EM_LIMITTEXT, kFieldSize - 1, 0);
        // The source's name without folder, up to its first dot.
        SetDlgItemTextA(page, IDC_IMPORT_TITLE, job.baseName);
        CheckDlgButton(page, IDC_IMPORT_ADD_RIGHTS, BST_UNCHECKED);
        job.addRights = false;
        return TRUE;
    }
    ImportWizardState* state = dialogState<ImportWizardState>(page);
    if (state == nullptr) return FALSE;
    ImportJob& job = *state->job;
    if (message == WM_COMMAND && LOWORD(first) == IDC_IMPORT_RIGHTS_BROWSE) {
        browseForRights(page, job);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(first) == IDC_IMPORT_ADD_RIGHTS) {
        job.addRights = isBoxTicked(page, IDC_IMPORT_ADD_RIGHTS);
        return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    switch (reinterpret_cast<const NMHDR*>(second)->code) {
        case PSN_WIZNEXT:
            return next(page, job);
        case PSN_WIZBACK:
            return answerNotification(page, job.sourceKind == SourceKind::html ? IDD_IMPORT_HEADING_TAGS
                                                                               : IDD_IMPORT_SEARCH_STRING);
        default:
            return answerWizardPageNotification(page, second, PSWIZB_BACK | PSWIZB_NEXT);
    }
}

namespace {

void browseForRights(HWND page, ImportJob& job) {
    char chosen[kPathSize];
    if (askOpenFileName(page, kRightsFilter, chosen) && !loadRightsText(job, chosen))
        showWarning(page, IDS_IMPORT_RIGHTS_NOT_READ);
}

INT_PTR next(HWND page, ImportJob& job) {
    GetDlgItemTextA(page, IDC_IMPORT_TITLE, job.bookTitle, sizeof job.bookTitle);
    GetDlgItemTextA(page, IDC_IMPORT_AUTHOR, job.authorName, sizeof job.authorName);
    job.addBiography = isBoxTicked(page, IDC_IMPORT_ADD_BIOGRAPHY);
    job.addRights = isBoxTicked(page, IDC_IMPORT_ADD_RIGHTS);
    if (int32_t refused = checkMetadataPage(job.bookTitle)) {
        showError(page, refused);
        return stayOnPage(page, IDC_IMPORT_TITLE);
    }
    return answerNotification(page, 0);
}

}  // namespace
