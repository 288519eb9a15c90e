// Step 2 of a text import: what a line end of the source means.
#include "win32/ImportWizardPagesWin32.h"
#include "resources/ResourceIds.h"

namespace {

void chooseMode(HWND page, ImportJob& job, LineEndMode mode);

}  // namespace

INT_PTR CALLBACK importLineEndsPage(HWND page, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_INITDIALOG) {
        ImportJob& job = *keepPageState<ImportWizardState>(page, second)->job;
        chooseMode(page, job, LineEndMode::allCarriageReturns);
        job.suppressHyphen = true;
        CheckDlgButton(page, IDC_IMPORT_SUPPRESS_HYPHEN, BST_CHECKED);
        return TRUE;
    }
    ImportWizardState* state = dialogState<ImportWizardState>(page);
    if (state == nullptr) return FALSE;
    ImportJob& job = *state->job;
    if (message == WM_COMMAND) {
        switch (LOWORD(first)) {
            case IDC_IMPORT_KEEP_ALL_RETURNS:
                chooseMode(page, job, LineEndMode::allCarriageReturns);
                return TRUE;
            case IDC_IMPORT_IGNORE_SINGLE_RETURNS:
                chooseMode(page, job, LineEndMode::ignoreSingleReturns);
                return TRUE;
            case IDC_IMPORT_SUPPRESS_HYPHEN:
                job.suppressHyphen = isBoxTicked(page, IDC_IMPORT_SUPPRESS_HYPHEN);
                setTextFromString(page, IDC_IMPORT_LINE_END_EXPLANATION, IDS_IMPORT_SUPPRESS_HYPHEN);
                return TRUE;
            case IDC_IMPORT_VIEW_SOURCE_LINE_ENDS:
                viewSource(job);
                return TRUE;
            default:
                return FALSE;
        }
    }
    if (message != WM_NOTIFY) return FALSE;
    return answerWizardPageNotification(page, second, PSWIZB_BACK | PSWIZB_NEXT);
}

namespace {

void chooseMode(HWND page, ImportJob& job, LineEndMode mode) {
    bool all = mode == LineEndMode::allCarriageReturns;
    job.lineEndMode = mode;
    CheckDlgButton(page, IDC_IMPORT_KEEP_ALL_RETURNS, all ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_IMPORT_IGNORE_SINGLE_RETURNS, all ? BST_UNCHECKED : BST_CHECKED);
    setTextFromString(page, IDC_IMPORT_LINE_END_EXPLANATION,
                      all ? IDS_IMPORT_KEEP_ALL_RETURNS : IDS_IMPORT_IGNORE_SINGLE_RETURNS);
}

}  // namespace
