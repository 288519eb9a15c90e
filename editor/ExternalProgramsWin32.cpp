#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "editor/DialogFunctions.h"
#include "editor/EditorDocument.h"
#include "editor/ExternalPrograms.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

HWND mainWindow() {
    return static_cast<HWND>(editorDocument.mainWindow);
}

void startCommand(const char* commandLine) {
    WinExec(commandLine, SW_SHOWNORMAL);
}

}  // namespace

void editWithHtmlEditor(const char* path) {
    if (editorDocument.htmlEditorPath[0] == '\0') {
        char question[kMessageTextSize];
        if (LoadStringA(GetModuleHandleA(nullptr), IDS_ASK_SET_HTML_EDITOR, question, sizeof question) <= 0)
            question[0] = '\0';
        if (MessageBoxA(mainWindow(), question, "", MB_YESNO | MB_ICONINFORMATION) != IDYES) return;
        runOptionsSheet(mainWindow());
    }
    char commandLine[2 * kToolPathSize + 2];
    if (composeHtmlEditorCommand(editorDocument.htmlEditorPath, path, commandLine, sizeof commandLine)) {
        startCommand(commandLine);
    }
}

void openWithShell(const char* pathOrAddress) {
    ShellExecuteA(nullptr, "open", pathOrAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

void viewInNotepad(const char* path) {
    char commandLine[kToolPathSize + 16];
    copyText(commandLine, "notepad.exe ");
    appendText(commandLine, path);
    startCommand(commandLine);
}

void startPalmOsEmulator() {
    if (editorDocument.palmOsEmulatorPath[0] == '\0') {
        win32DialogFunctions().showInformation(mainWindow(), IDS_NO_PALMOS_EMULATOR);
        return;
    }
    startCommand(editorDocument.palmOsEmulatorPath);
}

void startWapEmulator() {
    if (editorDocument.wapEmulatorPath[0] == '\0') {
        win32DialogFunctions().showInformation(mainWindow(), IDS_NO_WAP_EMULATOR);
        return;
    }
    startCommand(editorDocument.wapEmulatorPath);
}
