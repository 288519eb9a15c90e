#include "win32/ItemDialogsWin32.h"

namespace {

void showMetadataItem(HWND dialog, const MetadataItemChoices& choices) {
    fillList(dialog, IDC_METADATA_NAME, kMetadataNames, 15);
    if (choices.editedEntry >= 0) {
        int32_t chosen = listIndexOf(kMetadataNames, 15, choices.name);
        SendDlgItemMessageA(dialog, IDC_METADATA_NAME, CB_SETCURSEL, WPARAM(chosen), 0);
    }
    showField(dialog, IDC_METADATA_VALUE, choices.value, kValueSize);
}

void readMetadataItem(HWND dialog, MetadataItemChoices& choices) {
    readField(dialog, IDC_METADATA_NAME, choices.name);
    readField(dialog, IDC_METADATA_VALUE, choices.value, kValueSize);
}

// Nothing is checked: a name may be left unchosen.
constexpr ItemDialogKind<MetadataItemChoices> kMetadataItemDialog = {
    RESNAME_DLG_METADATA_EDIT, showMetadataItem, readMetadataItem, nullptr, applyMetadataItem, 0, 0,
};

}  // namespace

bool runMetadataItemDialog(HWND owner, MetadataItemChoices& choices) {
    return runItemDialogOf<MetadataItemChoices, kMetadataItemDialog>(owner, choices);
}
