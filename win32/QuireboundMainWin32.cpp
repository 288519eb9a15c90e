// The Windows program: the editor, or the batch build with "-b".
#include <string>

#include "publish/CommandLine.h"
#include "win32/DialogFunctionsWin32.h"
#include "win32/MainWindowWin32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    StartChoice choice = chooseStart(commandLine);
    switch (choice.kind) {
        case StartKind::batchBuild:
            // No console: the exit status tells how the build went.
            return runBatchBuild(choice.path, choice.allowOutsideFiles, choice.format);
        case StartKind::openPackage:
            // A path too long for the document's field opens nothing.
            runMainWindow(choice.path.size() < size_t(kFieldSize) ? std::string(choice.path).c_str() : "");
            return 0;
        case StartKind::emptyEditor:
            break;
    }
    runMainWindow("");
    return 0;
}
