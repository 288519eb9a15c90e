#include "win32/ImportWizardWin32.h"

#include "win32/ExternalPrograms.h"
#include "win32/ImportWizardPagesWin32.h"
#include "resources/ResourceIds.h"

namespace {

// In page order; Next and Back pass over the pages of the other kind.
constexpr WizardPageResource kPages[] = {
    {IDD_IMPORT_WELCOME, importWelcomePage, IDS_IMPORT_TITLE_WELCOME, IDS_IMPORT_SUBTITLE_WELCOME},
    {IDD_IMPORT_SOURCE, importSourcePage, IDS_IMPORT_TITLE_SOURCE, IDS_IMPORT_SUBTITLE_SOURCE},
    {IDD_IMPORT_LINE_ENDS, importLineEndsPage, IDS_IMPORT_TITLE_LINE_ENDS, IDS_IMPORT_SUBTITLE_LINE_ENDS},
    {IDD_IMPORT_SEARCH_STRING, importSearchStringPage, IDS_IMPORT_TITLE_SEARCH_STRING,
     IDS_IMPORT_SUBTITLE_SEARCH_STRING},
    {IDD_IMPORT_HEADING_TAGS, importHeadingTagsPage, IDS_IMPORT_TITLE_HEADING_TAGS,
     IDS_IMPORT_SUBTITLE_HEADING_TAGS},
    {IDD_IMPORT_METADATA, importMetadataPage, IDS_IMPORT_TITLE_METADATA, IDS_IMPORT_SUBTITLE_METADATA},
    {IDD_IMPORT_FINAL, importFinalPage, IDS_IMPORT_TITLE_FINAL, IDS_IMPORT_SUBTITLE_FINAL},
};
constexpr int kPageCount = int(sizeof kPages / sizeof kPages[0]);

}  // namespace

void runImportWizard(HWND owner, ImportWizardState& state) {
    state.outcome = ImportOutcome::stopped;
    state.importRunning = false;
    runWizardSheet(owner, kPages, kPageCount, reinterpret_cast<LPARAM>(&state));
    state.finalPage = nullptr;
}

INT_PTR stayOnPage(HWND page, int controlId) {
    SetFocus(GetDlgItem(page, controlId));
    return answerNotification(page, -1);
}

void viewSource(const ImportJob& job) {
    viewInNotepad(job.sourcePath);
}

INT_PTR CALLBACK importWelcomePage(HWND page, UINT message, WPARAM, LPARAM second) {
    switch (message) {
        case WM_INITDIALOG:
            keepPageState<ImportWizardState>(page, second);
            setWelcomeTitleFont(page, IDC_IMPORT_WELCOME_TITLE);
            return TRUE;
        case WM_DESTROY:
            releaseWelcomeTitleFont(page, IDC_IMPORT_WELCOME_TITLE);
            return FALSE;
        case WM_NOTIFY:
            return answerWizardPageNotification(page, second, PSWIZB_NEXT);
        default:
            return FALSE;
    }
}
