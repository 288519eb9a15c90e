#include "win32/DialogFunctionsWin32.h"
#include "win32/ExternalPrograms.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

void startCommand(const char* commandLine) {
    WinExec(commandLine, SW_SHOWNORMAL);
}

void startEmulator(WindowHandle owner, const char* command, int32_t notSetText) {
    if (command[0] == '\0') {
        showInformation(static_cast<HWND>(owner), notSetText);
        return;
    }
    startCommand(command);
}

}  // namespace

void editWithHtmlEditor(WindowHandle owner, ToolSettings& settings, const char* path) {
    if (settings.htmlEditorPath[0] == '\0') {
        if (!askYesNo(static_cast<HWND>(owner), IDS_ASK_SET_HTML_EDITOR)) return;
        runOptionsSheet(owner, settings);
    }
    char commandLine[2 * kPathSize + 2];
    if (composeHtmlEditorCommand(settings.htmlEditorPath, path, commandLine, sizeof commandLine)) {
        startCommand(commandLine);
    }
}

void openWithShell(const char* pathOrAddress) {
    ShellExecuteA(nullptr, "open", pathOrAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

void viewInNotepad(const char* path) {
    char commandLine[kPathSize + 16];
    copyText(commandLine, "notepad.exe ");
    appendText(commandLine, path);
    startCommand(commandLine);
}

void startPalmOsEmulator(WindowHandle owner, const ToolSettings& settings) {
    startEmulator(owner, settings.palmOsEmulatorPath, IDS_NO_PALMOS_EMULATOR);
}

void startWapEmulator(WindowHandle owner, const ToolSettings& settings) {
    startEmulator(owner, settings.wapEmulatorPath, IDS_NO_WAP_EMULATOR);
}
