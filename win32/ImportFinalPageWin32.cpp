// The final step: Finish runs the import on this page's thread, its
// progress on the page's bar.
#include "win32/ImportWizardPagesWin32.h"
#include "resources/ResourceIds.h"

namespace {

class ProgressBarReporter final : public ImportReporter {
public:
    ProgressBarReporter(HWND page, const ImportWizardState& state) : page(page), state(state) {}
    void setProgress(int percent) override { ::setProgress(page, IDC_IMPORT_PROGRESS, percent); }
    bool stopRequested() override { return !state.importRunning; }

private:
    HWND page;
    const ImportWizardState& state;
};

INT_PTR finish(HWND page, ImportWizardState& state);
void runImportOnPage(HWND page, ImportWizardState& state);

}  // namespace

INT_PTR CALLBACK importFinalPage(HWND page, UINT message, WPARAM, LPARAM second) {
    if (message == WM_INITDIALOG) {
        keepPageState<ImportWizardState>(page, second)->finalPage = page;
        return TRUE;
    }
    ImportWizardState* state = dialogState<ImportWizardState>(page);
    if (state == nullptr || message != WM_NOTIFY) return FALSE;
    if (reinterpret_cast<const NMHDR*>(second)->code == PSN_WIZFINISH) return finish(page, *state);
    if (reinterpret_cast<const NMHDR*>(second)->code == PSN_WIZBACK && state->job->sourceKind == SourceKind::palmDoc)
        return answerNotification(page, IDD_IMPORT_SOURCE);
    return answerWizardPageNotification(page, second, PSWIZB_BACK | PSWIZB_FINISH);
}

namespace {

INT_PTR finish(HWND page, ImportWizardState& state) {
    ImportJob& job = *state.job;
    char existing[kPathSize];
    job.replaceExisting = false;
    if (findFileToReplace(job, existing)) {
        if (!askYesNoAboutFile(page, IDS_IMPORT_ASK_REPLACE, existing)) {
            PropSheet_SetCurSelByID(GetParent(page), IDD_IMPORT_SOURCE);
            return answerNotification(page, TRUE);
        }
        job.replaceExisting = true;
    }
    runImportOnPage(page, state);
    return answerNotification(page, FALSE);
}

void runImportOnPage(HWND page, ImportWizardState& state) {
    ImportJob& job = *state.job;
    state.importRunning = true;
    startProgress(page, IDC_IMPORT_PROGRESS, 100);
    ProgressBarReporter reporter(page, state);
    state.outcome = runImport(job, reporter);
    // The box says which file and why, not only that the import failed.
    if (state.outcome == ImportOutcome::startFailed)
        showErrorWithDetail(page, IDS_IMPORT_INIT_ERROR, job.lastError);
    if (state.outcome == ImportOutcome::failed) showErrorWithDetail(page, IDS_IMPORT_FAILED, job.lastError);
    setProgress(page, IDC_IMPORT_PROGRESS, 0);
    state.importRunning = false;
}

}  // namespace
