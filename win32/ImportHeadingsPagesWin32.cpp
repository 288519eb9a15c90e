// Step 3, the two pages of one shape that say how chapter headings are
// found: a search string for a text, a tag list for an HTML file. Both test
// their text on the source in the heading preview.
#include "win32/HeadingPreviewWin32.h"
#include "win32/ImportWizardPagesWin32.h"
#include "resources/ResourceIds.h"

namespace {

struct HeadingsPage {
    int editId;
    int viewId;
    int testId;
    int emptyWarningId;
    // The typed text into the job: 0, or the string id of a warning.
    int32_t (*store)(ImportJob& job, const char* typed);
    int backPage;  // 0: the page before in page order
};

int32_t storeSearchString(ImportJob& job, const char* typed);

constexpr HeadingsPage kSearchStringPage = {IDC_IMPORT_SEARCH_STRING,
                                            IDC_IMPORT_VIEW_SOURCE_SEARCH,
                                            IDC_IMPORT_TEST_SEARCH_STRING,
                                            IDS_IMPORT_NO_SEARCH_STRING,
                                            storeSearchString,
                                            0};
constexpr HeadingsPage kHeadingTagsPage = {IDC_IMPORT_HEADING_TAGS, IDC_IMPORT_VIEW_SOURCE_TAGS,
                                           IDC_IMPORT_TEST_TAGS,    IDS_IMPORT_NO_TAGS,
                                           checkHeadingTags,        IDD_IMPORT_SOURCE};

INT_PTR headingsPage(const HeadingsPage& kind, HWND page, UINT message, WPARAM first, LPARAM second);
int32_t storeTyped(const HeadingsPage& kind, HWND page, ImportJob& job, bool* empty);
INT_PTR next(const HeadingsPage& kind, HWND page, ImportJob& job);

}  // namespace

INT_PTR CALLBACK importSearchStringPage(HWND page, UINT message, WPARAM first, LPARAM second) {
    return headingsPage(kSearchStringPage, page, message, first, second);
}

INT_PTR CALLBACK importHeadingTagsPage(HWND page, UINT message, WPARAM first, LPARAM second) {
    return headingsPage(kHeadingTagsPage, page, message, first, second);
}

namespace {

INT_PTR headingsPage(const HeadingsPage& kind, HWND page, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_INITDIALOG) {
        keepPageState<ImportWizardState>(page, second);
        // The job's fields hold 255 characters.
        SendDlgItemMessageA(page, kind.editId, EM_LIMITTEXT, kFieldSize - 1, 0);
        return TRUE;
    }
    ImportWizardState* state = dialogState<ImportWizardState>(page);
    if (state == nullptr) return FALSE;
    ImportJob& job = *state->job;
    if (message == WM_COMMAND && LOWORD(first) == kind.viewId) {
        viewSource(job);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(first) == kind.testId) {
        bool empty = false;
        if (int32_t refused = storeTyped(kind, page, job, &empty)) {
            showWarning(page, refused);
        } else {
            runHeadingPreview(page, job);
        }
        return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    bool empty = false;
    switch (reinterpret_cast<const NMHDR*>(second)->code) {
        case PSN_SETACTIVE:
            SetFocus(GetDlgItem(page, kind.editId));
            break;
        case PSN_KILLACTIVE:
            storeTyped(kind, page, job, &empty);
            return answerNotification(page, FALSE);
        case PSN_WIZBACK:
            storeTyped(kind, page, job, &empty);
            return answerNotification(page, kind.backPage);
        case PSN_WIZNEXT:
            return next(kind, page, job);
        default:
            break;
    }
    return answerWizardPageNotification(page, second, PSWIZB_BACK | PSWIZB_NEXT);
}

int32_t storeTyped(const HeadingsPage& kind, HWND page, ImportJob& job, bool* empty) {
    char typed[kFieldSize];
    GetDlgItemTextA(page, kind.editId, typed, sizeof typed);
    *empty = typed[0] == '\0';
    return kind.store(job, typed);
}

// Either way on to the metadata page, over the other kind's page.
INT_PTR next(const HeadingsPage& kind, HWND page, ImportJob& job) {
    bool empty = false;
    if (int32_t refused = storeTyped(kind, page, job, &empty)) {
        showWarning(page, refused);
        return stayOnPage(page, kind.editId);
    }
    if (empty && !askOkCancel(page, kind.emptyWarningId)) return stayOnPage(page, kind.editId);
    return answerNotification(page, IDD_IMPORT_METADATA);
}

int32_t storeSearchString(ImportJob& job, const char* typed) {
    compileSearchString(job, typed);
    return 0;
}

}  // namespace
