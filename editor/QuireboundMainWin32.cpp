// The Windows program: the editor, or the batch build with "-b".
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>

#include "editor/CommandLine.h"
#include "editor/DialogFunctions.h"
#include "editor/MainWindowWin32.h"
#include "model/Text.h"

HINSTANCE programInstance = nullptr;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    programInstance = instance;
    StartChoice choice = chooseStart(commandLine);
    switch (choice.kind) {
        case StartKind::batchBuild:
            // No console: the exit status tells how the build went.
            return runBatchBuild(choice.path, windowlessDialogFunctions());
        case StartKind::openPackage:
            if (choice.path.size() < size_t(kStartupPathSize)) {
                copyText(startupPackagePath, std::string(choice.path).c_str());
            }
            break;
        case StartKind::emptyEditor:
            break;
    }
    runMainWindow(instance);
    return 0;
}
