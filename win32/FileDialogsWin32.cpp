#include "win32/DialogFunctionsWin32.h"
#include "win32/ExternalPrograms.h"
#include "win32/FileDialogs.h"
#include "model/Paths.h"
#include "model/Text.h"

const char kPackageFilter[] = "Open-eBook Publication (*.opf)\0*.opf\0";
const char kContentFilter[] =
    "HTML Files (*.htm,*.html)\0*.HTM;*.HTML\0Image Files (*.gif,*.jpeg)\0*.GIF;*.JPG\0All Files "
    "(*.*)\0*.*\0";
const char kProgramFilter[] = "Executable Files (*.EXE)\0*.EXE\0All Files (*.*)\0*.*\0";

namespace {


}  // namespace

bool askOpenFileName(WindowHandle owner, const char* filter, char* out) {
    char initialFolder[kPathSize];
    bool hasFolder = readLastOpenDir(initialFolder);
    char name[kPathSize] = {};
    char title[kPathSize] = {};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(owner);
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = name;
    dialog.nMaxFile = kPathSize;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = kPathSize;
    dialog.lpstrInitialDir = hasFolder ? initialFolder : nullptr;
    // No flags: the current folder follows the chosen file.
    if (!GetOpenFileNameA(&dialog)) {
        out[0] = '\0';
        return false;
    }
    copyText(out, kPathSize, name);
    char folder[kPathSize];
    folderOfPath(name, folder);
    writeLastOpenDir(folder);
    return true;
}

bool askSaveFileName(WindowHandle owner, const char* filter, char* inOut) {
    char name[kPathSize];
    copyText(name, inOut);
    char title[kPathSize] = {};
    char currentFolder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof currentFolder, currentFolder);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(owner);
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = name;
    dialog.nMaxFile = kPathSize;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = kPathSize;
    dialog.lpstrInitialDir = currentFolder;
    if (!GetSaveFileNameA(&dialog)) {
        inOut[0] = '\0';
        return false;
    }
    copyText(inOut, kPathSize, name);
    return true;
}
