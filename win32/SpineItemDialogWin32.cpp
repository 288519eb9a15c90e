#include "win32/ItemDialogsWin32.h"

namespace {

void showSpineItem(HWND dialog, const SpineItemChoices& choices) {
    const char* ids[kManifestSlots];
    fillList(dialog, IDC_SPINE_IDREF, ids, availableSpineIds(*choices.document, ids, kManifestSlots));
}

void readSpineItem(HWND dialog, SpineItemChoices& choices) {
    // A drop-down list's text is its chosen entry, empty when none.
    readField(dialog, IDC_SPINE_IDREF, choices.idref);
}

constexpr ItemDialogKind<SpineItemChoices> kSpineItemDialog = {
    RESNAME_DLG_SPINE_EDIT, showSpineItem, readSpineItem, checkSpineItem, applySpineItem, 0, 0,
};

}  // namespace

bool runSpineItemDialog(HWND owner, SpineItemChoices& choices) {
    return runItemDialogOf<SpineItemChoices, kSpineItemDialog>(owner, choices);
}
