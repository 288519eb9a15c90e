#include "win32/ItemDialogsWin32.h"

namespace {

void showManifestItem(HWND dialog, const ManifestItemChoices& choices) {
    fillList(dialog, IDC_MANIFEST_TYPE, kManifestTypes, 3);
    showField(dialog, IDC_MANIFEST_ID, choices.id);
    showField(dialog, IDC_MANIFEST_HREF, choices.href);
    SendDlgItemMessageA(dialog, IDC_MANIFEST_TYPE, CB_LIMITTEXT, kFieldSize - 1, 0);
    SetDlgItemTextA(dialog, IDC_MANIFEST_TYPE, choices.mediaType);
}

void readManifestItem(HWND dialog, ManifestItemChoices& choices) {
    readField(dialog, IDC_MANIFEST_ID, choices.id);
    readField(dialog, IDC_MANIFEST_HREF, choices.href);
    readField(dialog, IDC_MANIFEST_TYPE, choices.mediaType);
}

// A picture's type follows its file name, typed or chosen; the list keeps
// its three types.
void presetPictureType(HWND dialog) {
    char href[kFieldSize];
    readField(dialog, IDC_MANIFEST_HREF, href);
    if (const char* type = pictureTypeOfHref(href)) SetDlgItemTextA(dialog, IDC_MANIFEST_TYPE, type);
}

constexpr ItemDialogKind<ManifestItemChoices> kManifestItemDialog = {
    RESNAME_DLG_MANIFEST_EDIT, showManifestItem,    readManifestItem,  checkManifestItem,
    applyManifestItem,         IDC_MANIFEST_BROWSE, IDC_MANIFEST_HREF, presetPictureType,
};

}  // namespace

bool runManifestItemDialog(HWND owner, ManifestItemChoices& choices) {
    return runItemDialogOf<ManifestItemChoices, kManifestItemDialog>(owner, choices);
}
