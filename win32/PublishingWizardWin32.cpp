#include "win32/PublishingWizardWin32.h"

#include <atomic>
#include <cstdio>
#include <new>

#include "win32/ExternalPrograms.h"
#include "win32/FileDialogs.h"
#include "model/Files.h"
#include "model/Text.h"
#include "publish/BuildContext.h"
#include "resources/ResourceIds.h"

namespace {

constexpr SIZE_T kBuildThreadStack = 409600;

// The build's reports shown on the options page; called on the build thread,
// every call a message the user-interface thread handles.
class PageReporter final : public BuildReporter {
public:
    HWND page = nullptr;
    std::atomic<bool> stop{false};

    void startProgress(int32_t n) override { ::startProgress(page, IDC_PUBLISH_PROGRESS, n); }
    void setProgress(int32_t n) override { ::setProgress(page, IDC_PUBLISH_PROGRESS, n); }
    void showStatus(int32_t id) override { setTextFromString(page, IDC_PUBLISH_STATUS, id); }
    void showStatusAndNumber(int32_t id, int32_t n) override {
        setTextFromStringAndNumber(page, IDC_PUBLISH_STATUS, id, n);
    }
    bool stopRequested() override { return stop.load(); }
    // Read by the final page once the build has pressed Next.
    void reportMessage(const char* text, int32_t) override { report.addLine(text); }
    PublishingReport report;
};

// One run of the wizard, handed to every page.
struct WizardRun {
    PublishingWizardState* state;
    PageReporter reporter;
    HANDLE thread = nullptr;
    // Set by the build thread before it presses a button.
    std::atomic<bool> finished{false};
    // Written by the build thread, read after it has ended.
    bool built = false;
    char message[kBuildMessageSize] = "";
};

INT_PTR CALLBACK welcomePageProcedure(HWND page, UINT message, WPARAM first, LPARAM second);
INT_PTR CALLBACK optionsPageProcedure(HWND page, UINT message, WPARAM first, LPARAM second);
INT_PTR CALLBACK finalPageProcedure(HWND page, UINT message, WPARAM first, LPARAM second);
DWORD WINAPI buildThread(LPVOID parameter);
LRESULT optionsNext(HWND page, WizardRun& run);
void initialiseOptions(HWND page, PublishingWizardState& state);
void readOptions(HWND page, PublishingWizardState& state);
void browseForCover(HWND page);
BOOL optionsQueryCancel(HWND page, WizardRun& run);

}  // namespace

void runPublishingWizard(HWND owner, PublishingWizardState& state) {
    WizardRun* run = new (std::nothrow) WizardRun;
    if (run == nullptr) return;
    run->state = &state;
    bool epub = state.format == EbookFormat::epub;
    const WizardPageResource pages[] = {
        {IDD_PUBLISH_WELCOME, welcomePageProcedure, IDS_PUBLISH_TITLE_WELCOME, IDS_PUBLISH_SUBTITLE_WELCOME},
        {epub ? IDD_PUBLISH_EPUB_OPTIONS : IDD_PUBLISH_OPTIONS, optionsPageProcedure,
         IDS_PUBLISH_TITLE_OPTIONS, epub ? IDS_PUBLISH_SUBTITLE_EPUB_OPTIONS : IDS_PUBLISH_SUBTITLE_OPTIONS},
        {IDD_PUBLISH_FINAL, finalPageProcedure, IDS_PUBLISH_TITLE_FINAL, IDS_PUBLISH_SUBTITLE_FINAL},
    };
    runWizardSheet(owner, pages, 3, reinterpret_cast<LPARAM>(run));
    // Nothing of the build outlives the wizard.
    run->reporter.stop = true;
    waitForThread(run->thread);
    delete run;
}

namespace {

INT_PTR CALLBACK welcomePageProcedure(HWND page, UINT message, WPARAM, LPARAM second) {
    if (message == WM_INITDIALOG) {
        PublishingWizardState& state = *keepPageState<WizardRun>(page, second)->state;
        state.ebookName[0] = '\0';
        state.compress = false;
        state.buildStarted = false;
        if (state.format == EbookFormat::epub)
            setTextFromString(page, IDC_PUBLISH_WELCOME_TEXT, IDS_PUBLISH_WELCOME_EPUB);
        setWelcomeTitleFont(page, IDC_PUBLISH_WELCOME_TITLE);
        return TRUE;
    }
    if (message == WM_DESTROY) {
        releaseWelcomeTitleFont(page, IDC_PUBLISH_WELCOME_TITLE);
        return FALSE;
    }
    if (message != WM_NOTIFY) return FALSE;
    return answerWizardPageNotification(page, second, PSWIZB_NEXT);
}

INT_PTR CALLBACK optionsPageProcedure(HWND page, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_INITDIALOG) {
        WizardRun& run = *keepPageState<WizardRun>(page, second);
        PublishingWizardState& state = *run.state;
        state.optionsPage = page;
        run.reporter.page = page;
        initialiseOptions(page, state);
        return TRUE;
    }
    WizardRun* run = dialogState<WizardRun>(page);
    if (run == nullptr) return FALSE;
    if (message == WM_DESTROY) {
        auto folder = reinterpret_cast<HBITMAP>(
            SendDlgItemMessageA(page, IDC_PUBLISH_COVER_BROWSE, BM_GETIMAGE, IMAGE_BITMAP, 0));
        if (folder != nullptr) DeleteObject(folder);
        return FALSE;
    }
    if (message == WM_COMMAND && LOWORD(first) == IDC_PUBLISH_COMPRESS) {
        run->state->compress = isBoxTicked(page, IDC_PUBLISH_COMPRESS);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(first) == IDC_PUBLISH_COVER_BROWSE) {
        browseForCover(page);
        return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    switch (reinterpret_cast<const NMHDR*>(second)->code) {
        case PSN_SETACTIVE:
            SetDlgItemTextA(page, IDC_PUBLISH_EBOOK_NAME, run->state->ebookName);
            SetDlgItemTextA(page, IDC_PUBLISH_COVER, run->state->coverPicture);
            return answerWizardPageNotification(page, second, PSWIZB_BACK | PSWIZB_NEXT);
        case PSN_KILLACTIVE:
            GetDlgItemTextA(page, IDC_PUBLISH_EBOOK_NAME, run->state->ebookName, kPathSize);
            GetDlgItemTextA(page, IDC_PUBLISH_COVER, run->state->coverPicture, kPathSize);
            return answerNotification(page, FALSE);
        case PSN_WIZNEXT:
            return answerNotification(page, optionsNext(page, *run));
        case PSN_QUERYCANCEL:
            return answerNotification(page, optionsQueryCancel(page, *run));
        default:
            return answerWizardPageNotification(page, second, PSWIZB_BACK | PSWIZB_NEXT);
    }
}

LRESULT optionsNext(HWND page, WizardRun& run) {
    PublishingWizardState& state = *run.state;
    if (state.buildStarted) {
        // The finished build's own press.
        state.buildStarted = false;
        waitForThread(run.thread);
        return 0;
    }
    state.buildStarted = true;
    readOptions(page, state);
    struct Check {
        int32_t refused;
        int control;
    };
    const Check checks[] = {
        {checkEbookName(state.ebookName, state.publication->folder, state.targetPath, state.format),
         IDC_PUBLISH_EBOOK_NAME},
        {checkCoverPicture(state.coverPicture, state.publication->folder, state.coverPath),
         IDC_PUBLISH_COVER},
    };
    for (const Check& check : checks) {
        if (check.refused == 0) continue;
        showWarning(page, check.refused);
        SetFocus(GetDlgItem(page, check.control));
        state.buildStarted = false;
        return -1;
    }
    PropSheet_SetWizButtons(GetParent(page), 0);
    run.built = false;
    run.finished = false;
    run.message[0] = '\0';
    run.reporter.report.clear();
    run.reporter.stop = false;
    run.thread = CreateThread(nullptr, kBuildThreadStack, buildThread, &run,
                              STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (run.thread == nullptr) {
        state.buildStarted = false;
        showErrorWithDetail(GetParent(page), IDS_BUILD_INTERNAL_ERROR,
                            "The build thread could not be started");
        PropSheet_SetWizButtons(GetParent(page), PSWIZB_BACK | PSWIZB_NEXT);
    }
    return -1;
}

// The page as it opens: the book's name, the .prc's boxes ticked, the
// EPUB's cover as last chosen in this run.
void initialiseOptions(HWND page, PublishingWizardState& state) {
    state.buildStarted = false;
    state.compress = true;
    CheckDlgButton(page, IDC_PUBLISH_COMPRESS, BST_CHECKED);
    CheckDlgButton(page, IDC_PUBLISH_FIRST_CHAPTER, BST_CHECKED);
    baseNameOfPath(state.publication->path, state.ebookName);
    for (int edit : {IDC_PUBLISH_EBOOK_NAME, IDC_PUBLISH_COVER})
        SendDlgItemMessageA(page, edit, EM_LIMITTEXT, kPathSize - 1, 0);
    SetDlgItemTextA(page, IDC_PUBLISH_EBOOK_NAME, state.ebookName);
    SetDlgItemTextA(page, IDC_PUBLISH_COVER, state.coverPicture);
    if (state.format == EbookFormat::epub) {
        HBITMAP folder = LoadBitmapA(programModule(), RESNAME_IDB_BTN_FOLDER);
        SendDlgItemMessageA(page, IDC_PUBLISH_COVER_BROWSE, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(folder));
    }
}

// What the page shows; the EPUB page has no boxes, the .prc page no cover.
void readOptions(HWND page, PublishingWizardState& state) {
    bool prc = state.format == EbookFormat::prc;
    state.compress = prc && isBoxTicked(page, IDC_PUBLISH_COMPRESS);
    state.firstChapter = prc && isBoxTicked(page, IDC_PUBLISH_FIRST_CHAPTER);
    GetDlgItemTextA(page, IDC_PUBLISH_EBOOK_NAME, state.ebookName, kPathSize);
    state.coverPicture[0] = '\0';
    if (!prc) GetDlgItemTextA(page, IDC_PUBLISH_COVER, state.coverPicture, kPathSize);
}

// A cancelled file dialog keeps the cover typed before.
void browseForCover(HWND page) {
    char chosen[kPathSize];
    if (askOpenFileName(page, kPictureFilter, chosen)) SetDlgItemTextA(page, IDC_PUBLISH_COVER, chosen);
}

BOOL optionsQueryCancel(HWND page, WizardRun& run) {
    if (run.thread == nullptr) return FALSE;
    // The build has pressed Cancel after a failure, or the user has: a
    // running build stops before its next record and removes its files.
    bool userCancelled = !run.finished;
    run.reporter.stop = userCancelled;
    waitForThread(run.thread);
    run.state->buildStarted = false;
    if (!userCancelled && !run.built)
        showErrorWithDetail(GetParent(page), IDS_BUILD_INTERNAL_ERROR, run.message);
    return FALSE;
}

DWORD WINAPI buildThread(LPVOID parameter) {
    WizardRun& run = *static_cast<WizardRun*>(parameter);
    const PublishingWizardState& state = *run.state;
    run.built = runWizardBuild(state, run.reporter, run.message);
    HWND sheet = GetParent(static_cast<HWND>(state.optionsPage));
    run.finished = true;
    if (run.built) {
        // Next was disabled while the build ran.
        PostMessageA(sheet, PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    } else {
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    }
    return 0;
}

INT_PTR CALLBACK finalPageProcedure(HWND page, UINT message, WPARAM, LPARAM second) {
    if (message == WM_INITDIALOG) {
        keepPageState<WizardRun>(page, second);
        return TRUE;
    }
    WizardRun* run = dialogState<WizardRun>(page);
    if (run == nullptr || message != WM_NOTIFY) return FALSE;
    switch (reinterpret_cast<const NMHDR*>(second)->code) {
        case PSN_SETACTIVE: {
            SetDlgItemTextA(page, IDC_PUBLISH_LOCATION, run->state->targetPath);
            char kilobytes[24];
            std::snprintf(kilobytes, sizeof kilobytes, "%llu",
                          static_cast<unsigned long long>(fileSize(run->state->targetPath) / 1024u));
            SetDlgItemTextA(page, IDC_PUBLISH_SIZE, kilobytes);
            // What the batch build would print: the publisher's to-do list.
            const PublishingReport& report = run->reporter.report;
            char shown[sizeof report.text];
            if (report.length == 0)
                loadString(IDS_PUBLISH_REPORT_CLEAN, shown, sizeof shown);
            else
                report.compose(shown);
            SetDlgItemTextA(page, IDC_PUBLISH_REPORT, shown);
            break;
        }
        default:
            break;
    }
    return answerWizardPageNotification(page, second, PSWIZB_FINISH);
}

}  // namespace
