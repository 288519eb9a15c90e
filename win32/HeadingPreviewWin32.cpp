#include "win32/HeadingPreviewWin32.h"

#include <atomic>

#include "editor/HeadingPreview.h"
#include "resources/ResourceIds.h"

namespace {

constexpr SIZE_T kWorkerStack = 40960;
// Posted by the worker when the source cannot be opened: the box belongs
// to the dialog's thread.
constexpr UINT kSourceNotOpened = WM_APP + 1;

// One preview: the dialog, its worker and the flag they share.
struct PreviewRun final : HeadingPreviewReporter {
    ImportJob* job = nullptr;
    HWND dialog = nullptr;
    HANDLE worker = nullptr;
    // Set while the worker runs; cleared by the dialog to stop it.
    std::atomic<bool> running{false};

    // Called on the worker: every call a message the dialog's thread handles.
    void headingFound(const char* text) override {
        // Line-end bytes would show as boxes; the import drops them too.
        char shown[kFieldSize];
        int length = 0;
        for (const char* c = text; *c != '\0' && length < kFieldSize - 1; ++c) {
            if (*c != '\r' && *c != '\n') shown[length++] = *c;
        }
        shown[length] = '\0';
        LRESULT line =
            SendDlgItemMessageA(dialog, IDC_PREVIEW_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown));
        if (line >= 0) SendDlgItemMessageA(dialog, IDC_PREVIEW_LIST, LB_SETCURSEL, WPARAM(line), 0);
    }
    void setProgress(int percent) override { ::setProgress(dialog, IDC_PREVIEW_PROGRESS, percent); }
    bool stopRequested() override { return !running.load(); }
};

INT_PTR CALLBACK previewProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second);
DWORD WINAPI previewWorker(LPVOID parameter);
void stopWorker(PreviewRun& run);

}  // namespace

void runHeadingPreview(HWND owner, ImportJob& job) {
    PreviewRun run;
    run.job = &job;
    DialogBoxParamA(programModule(), MAKEINTRESOURCEA(IDD_HEADING_PREVIEW), owner, previewProcedure,
                    reinterpret_cast<LPARAM>(&run));
    // Whatever closed the dialog, the worker is done with the source.
    stopWorker(run);
}

namespace {

INT_PTR CALLBACK previewProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_INITDIALOG) {
        PreviewRun& run = *keepDialogState<PreviewRun>(dialog, second);
        run.dialog = dialog;
        run.running = true;
        SetDlgItemTextA(dialog, IDC_PREVIEW_CLOSE, "&Cancel");
        run.worker = CreateThread(nullptr, kWorkerStack, previewWorker, &run,
                                  STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (run.worker == nullptr) {
            run.running = false;
            SetDlgItemTextA(dialog, IDC_PREVIEW_CLOSE, "&Close");
        }
        return TRUE;
    }
    PreviewRun* run = dialogState<PreviewRun>(dialog);
    if (run == nullptr) return FALSE;
    if (message == kSourceNotOpened) {
        MessageBoxA(dialog, "Error", "Error", MB_OK | MB_ICONSTOP);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(first)) {
        case IDC_PREVIEW_CLOSE:
            if (run->running) {
                // The worker stops before its next call.
                run->running = false;
                SetDlgItemTextA(dialog, IDC_PREVIEW_CLOSE, "&Close");
                return TRUE;
            }
            stopWorker(*run);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:  // the close box and the Esc key
            stopWorker(*run);
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

DWORD WINAPI previewWorker(LPVOID parameter) {
    PreviewRun& run = *static_cast<PreviewRun*>(parameter);
    startProgress(run.dialog, IDC_PREVIEW_PROGRESS, 100);
    PreviewOutcome outcome = previewHeadings(*run.job, run);
    if (outcome == PreviewOutcome::cannotOpen) PostMessageA(run.dialog, kSourceNotOpened, 0, 0);
    run.running = false;
    SetDlgItemTextA(run.dialog, IDC_PREVIEW_CLOSE, "&Close");
    if (outcome == PreviewOutcome::finished) ::setProgress(run.dialog, IDC_PREVIEW_PROGRESS, 100);
    return 0;
}

// Closing waits for the worker, so no second one can start on the source.
void stopWorker(PreviewRun& run) {
    run.running = false;
    waitForThread(run.worker);
}

}  // namespace
