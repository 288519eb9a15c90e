#include "win32/ItemDialogsWin32.h"

#include "win32/FileDialogs.h"
#include "model/Paths.h"
#include "model/Text.h"

bool runItemDialog(HWND owner, const char* resourceName, DLGPROC procedure, void* choices) {
    return DialogBoxParamA(programModule(), resourceName, owner, procedure,
                           reinterpret_cast<LPARAM>(choices)) == IDOK;
}

void showField(HWND dialog, int controlId, const char* text, int capacity) {
    // Typing stops where the field ends, so nothing read back is ever cut.
    SendDlgItemMessageA(dialog, controlId, EM_LIMITTEXT, WPARAM(capacity - 1), 0);
    SetDlgItemTextA(dialog, controlId, text);
}

void readField(HWND dialog, int controlId, char* out, int capacity) {
    if (GetDlgItemTextA(dialog, controlId, out, capacity) == 0) out[0] = '\0';
}

void fillList(HWND dialog, int controlId, const char* const* items, int count) {
    for (int i = 0; i < count; ++i)
        SendDlgItemMessageA(dialog, controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
}

void giveBrowsePicture(HWND dialog, int buttonId) {
    HBITMAP picture = LoadBitmapA(programModule(), RESNAME_IDB_BTN_FOLDER);
    SendDlgItemMessageA(dialog, buttonId, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
}

void releaseBrowsePicture(HWND dialog, int buttonId) {
    auto picture =
        reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dialog, buttonId, BM_GETIMAGE, IMAGE_BITMAP, 0));
    if (picture != nullptr) DeleteObject(picture);
}

void browseForContentFile(HWND dialog, int editId, const char* packageFolder) {
    char chosen[kPathSize];
    if (!askOpenFileName(dialog, kContentFilter, chosen)) return;
    char relative[kPathSize];
    const char* path = makeRelativePath(packageFolder, chosen, relative) ? relative : chosen;
    // An href is an address: "#" and "%" in the file's name are escaped.
    char address[3 * kPathSize] = "";
    appendAddress(address, sizeof address, path);
    SetDlgItemTextA(dialog, editId, address);
}
