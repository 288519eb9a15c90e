// Step 1: the source file and the destination folder.
#include "win32/FileDialogs.h"
#include "win32/ImportWizardPagesWin32.h"
#include "model/Files.h"
#include "model/Paths.h"
#include "resources/ResourceIds.h"

namespace {

constexpr char kTextSourceFilter[] =
    "Text Files (*.TXT)\0*.TXT\0HTML Files (*.htm, *.html)\0*.HTML;*.HTM\0PRC Files (*.prc, "
    "*.pdb)\0*.PRC;*.PDB\0All Files (*.*)\0*.*\0";
constexpr char kHtmlSourceFilter[] = "HTML Files (*.htm, *.html)\0*.HTML;*.HTM\0All Files (*.*)\0*.*\0";
constexpr char kEbookSourceFilter[] = "PRC DOC Files (*.prc, *.pdb)\0*.PRC;*.PDB\0All Files (*.*)\0*.*\0";

void showFields(HWND page, const ImportJob& job);
void storeFields(HWND page, ImportJob& job);
void browseForSource(HWND page, const ImportJob& job);
void browseForDestination(HWND page);
INT_PTR next(HWND page, ImportJob& job);

}  // namespace

INT_PTR CALLBACK importSourcePage(HWND page, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_INITDIALOG) {
        keepPageState<ImportWizardState>(page, second);
        for (int edit : {IDC_IMPORT_SOURCE, IDC_IMPORT_DESTINATION})
            SendDlgItemMessageA(page, edit, EM_LIMITTEXT, kPathSize - 1, 0);
        HBITMAP folder = LoadBitmapA(programModule(), RESNAME_IDB_BTN_FOLDER);
        for (int button : {IDC_IMPORT_SOURCE_BROWSE, IDC_IMPORT_DESTINATION_BROWSE})
            SendDlgItemMessageA(page, button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(folder));
        return TRUE;
    }
    ImportWizardState* state = dialogState<ImportWizardState>(page);
    if (state == nullptr) return FALSE;
    ImportJob& job = *state->job;
    if (message == WM_DESTROY) {
        auto folder = reinterpret_cast<HBITMAP>(
            SendDlgItemMessageA(page, IDC_IMPORT_SOURCE_BROWSE, BM_GETIMAGE, IMAGE_BITMAP, 0));
        if (folder != nullptr) DeleteObject(folder);
        return FALSE;
    }
    if (message == WM_COMMAND && LOWORD(first) == IDC_IMPORT_SOURCE_BROWSE) {
        browseForSource(page, job);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(first) == IDC_IMPORT_DESTINATION_BROWSE) {
        browseForDestination(page);
        return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    switch (reinterpret_cast<const NMHDR*>(second)->code) {
        case PSN_SETACTIVE:
            showFields(page, job);
            break;
        case PSN_WIZBACK:
        case PSN_KILLACTIVE:
            storeFields(page, job);
            return answerNotification(page, FALSE);
        case PSN_WIZNEXT:
            return next(page, job);
        default:
            break;
    }
    return answerWizardPageNotification(page, second, PSWIZB_BACK | PSWIZB_NEXT);
}

namespace {

void showFields(HWND page, const ImportJob& job) {
    SetDlgItemTextA(page, IDC_IMPORT_SOURCE, job.sourcePath);
    SetDlgItemTextA(page, IDC_IMPORT_DESTINATION, job.destinationFolder);
}

void storeFields(HWND page, ImportJob& job) {
    char source[kPathSize];
    char destination[kPathSize];
    GetDlgItemTextA(page, IDC_IMPORT_SOURCE, source, sizeof source);
    GetDlgItemTextA(page, IDC_IMPORT_DESTINATION, destination, sizeof destination);
    setSourcePath(job, source);
    setDestinationFolder(job, destination);
}

void browseForSource(HWND page, const ImportJob& job) {
    char chosen[kPathSize];
    const char* filter = job.sourceKind == SourceKind::html      ? kHtmlSourceFilter
                         : job.sourceKind == SourceKind::palmDoc ? kEbookSourceFilter
                                                                 : kTextSourceFilter;
    if (!askOpenFileName(page, filter, chosen)) return;
    char folder[kPathSize];
    folderOfPath(chosen, folder);
    SetDlgItemTextA(page, IDC_IMPORT_SOURCE, chosen);
    SetDlgItemTextA(page, IDC_IMPORT_DESTINATION, folder);
}

void browseForDestination(HWND page) {
    char folder[kPathSize];
    GetDlgItemTextA(page, IDC_IMPORT_DESTINATION, folder, sizeof folder);
    if (askFolderName(page, IDS_CHOOSE_DESTINATION, folder)) SetDlgItemTextA(page, IDC_IMPORT_DESTINATION, folder);
}

INT_PTR next(HWND page, ImportJob& job) {
    char source[kPathSize];
    char destination[kPathSize];
    GetDlgItemTextA(page, IDC_IMPORT_SOURCE, source, sizeof source);
    GetDlgItemTextA(page, IDC_IMPORT_DESTINATION, destination, sizeof destination);
    char named[kPathSize] = "";
    int32_t refused = checkSourcePage(job, source, destination, named);
    if (refused == IDS_ASK_CREATE_FOLDER) {
        // No, or a folder that cannot be made, keeps the page.
        if (!askYesNoAboutFile(page, IDS_ASK_CREATE_FOLDER, named)) return stayOnPage(page, IDC_IMPORT_DESTINATION);
        if (!makeFolderPath(named)) {
            showError(page, IDS_FOLDER_NOT_MADE, named);
            return stayOnPage(page, IDC_IMPORT_DESTINATION);
        }
        refused = checkSourcePage(job, source, destination, named);
    }
    if (refused != 0) {
        showError(page, refused, named);
        return stayOnPage(page,
                          refused == IDS_IMPORT_BAD_SOURCE ? IDC_IMPORT_SOURCE : IDC_IMPORT_DESTINATION);
    }
    // An e-book brings its chapters, title and author: nothing more to ask.
    return answerNotification(page, job.sourceKind == SourceKind::html      ? IDD_IMPORT_HEADING_TAGS
                                    : job.sourceKind == SourceKind::palmDoc ? IDD_IMPORT_FINAL
                                                                            : IDD_IMPORT_LINE_ENDS);
}

}  // namespace
