// The editor's main window, the modal dialog "DLG_MAIN", and everything it
// keeps while it runs.
#pragma once

#include "win32/DialogFunctionsWin32.h"
#include "editor/EditorDocument.h"
#include "import/ImportJob.h"
#include "resources/ResourceIds.h"

// The window state, handed to the dialog through its creation parameter
// and kept in the window; it is also the window the document talks to.
// Large (it holds the document): only on the heap.
struct MainWindow final : DocumentWindow {
    HWND window = nullptr;
    EditorDocument document;
    HWND rebar = nullptr;
    HWND toolbar = nullptr;
    // The control id of the visible section view.
    int currentSectionView = IDC_MANIFEST_VIEW;
    // The import's settings; the next import starts from its source path.
    ImportJob importJob;
    // Opened once while the window initialises, then emptied.
    char startupPackagePath[kFieldSize] = "";

    void showTitle(const char* title) override;
    void enableDocumentCommands(bool enabled) override;
    void refreshAllViews() override;
    bool askYesNo(int32_t stringId) override;
    void showErrorAboutFile(int32_t stringId, const char* path) override;
    void showWarningAboutFile(int32_t stringId, const char* path) override;
    bool askOpenPackageName(char* out) override;
    bool askSavePackageName(char* inOut) override;
};

// Runs the main dialog until Exit, opening the package at startupPackagePath
// first when it is not empty.
void runMainWindow(const char* startupPackagePath);

// The pop-up menu of the Import or Publish button, under the button: its
// arrow and the button itself open it.
void showToolbarMenu(MainWindow& main, int button);

// The commands the toolbar's buttons send; 0 for separators.
int toolbarButtonCommand(int position);
int toolbarButtonCount();
