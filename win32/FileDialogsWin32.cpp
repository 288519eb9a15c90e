#include "win32/DialogFunctionsWin32.h"
// After windows.h, which it needs.
#include <shlobj.h>

#include <cstring>

#include "win32/ExternalPrograms.h"
#include "win32/FileDialogs.h"
#include "model/Paths.h"
#include "model/Text.h"

const char kPackageFilter[] = "Open-eBook Publication (*.opf)\0*.opf\0";
const char kContentFilter[] =
    "HTML Files (*.htm,*.html)\0*.HTM;*.HTML\0Image Files (*.gif,*.jpeg)\0*.GIF;*.JPG\0All Files "
    "(*.*)\0*.*\0";
const char kPictureFilter[] =
    "Pictures (*.gif,*.png,*.jpg,*.jpeg,*.svg)\0*.GIF;*.PNG;*.JPG;*.JPEG;*.SVG\0All Files (*.*)\0*.*\0";
const char kProgramFilter[] = "Executable Files (*.EXE)\0*.EXE\0All Files (*.*)\0*.*\0";

namespace {

// Opens the folder dialog at the folder given as its parameter.
int CALLBACK startInFolder(HWND dialog, UINT message, LPARAM, LPARAM folder);
// The file dialogs' record: the name and its file title in kPathSize buffers.
OPENFILENAMEA fileDialogRecord(WindowHandle owner, const char* filter, char* name, char* title,
                               const char* initialFolder);

}  // namespace

bool askOpenFileName(WindowHandle owner, const char* filter, char* out) {
    char initialFolder[kPathSize];
    bool hasFolder = readLastOpenDir(initialFolder);
    char name[kPathSize] = {};
    char title[kPathSize] = {};
    OPENFILENAMEA dialog = fileDialogRecord(owner, filter, name, title, hasFolder ? initialFolder : nullptr);
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
    OPENFILENAMEA dialog = fileDialogRecord(owner, filter, name, title, currentFolder);
    if (!GetSaveFileNameA(&dialog)) {
        inOut[0] = '\0';
        return false;
    }
    copyText(inOut, kPathSize, name);
    return true;
}

bool askFolderName(WindowHandle owner, int titleId, char* inOut) {
    char title[kFieldSize];
    loadString(titleId, title, sizeof title);
    char start[kPathSize];
    copyText(start, inOut);
    // The dialog finds a folder by its name without the last backslash.
    size_t length = std::strlen(start);
    if (length > 3 && start[length - 1] == '\\') start[length - 1] = '\0';
    BROWSEINFOA browse{};
    browse.hwndOwner = static_cast<HWND>(owner);
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = startInFolder;
    browse.lParam = reinterpret_cast<LPARAM>(start);
    // The dialog's own folder list runs on the shell's objects.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    char folder[MAX_PATH] = "";
    bool named = chosen != nullptr && SHGetPathFromIDListA(chosen, folder);
    CoTaskMemFree(chosen);
    if (SUCCEEDED(com)) CoUninitialize();
    length = std::strlen(folder);
    if (named && length > 0 && folder[length - 1] != '\\') named = appendText(folder, sizeof folder, "\\");
    if (!named || std::strlen(folder) >= kPathSize) return false;
    copyText(inOut, kPathSize, folder);
    return true;
}

namespace {

int CALLBACK startInFolder(HWND dialog, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED && *reinterpret_cast<const char*>(folder) != '\0')
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, folder);
    return 0;
}

OPENFILENAMEA fileDialogRecord(WindowHandle owner, const char* filter, char* name, char* title,
                               const char* initialFolder) {
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(owner);
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = name;
    dialog.nMaxFile = kPathSize;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = kPathSize;
    dialog.lpstrInitialDir = initialFolder;
    return dialog;
}

}  // namespace
