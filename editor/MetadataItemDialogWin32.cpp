#include "editor/ItemDialogsWin32.h"

namespace {

INT_PTR CALLBACK metadataItemProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second);

}  // namespace

bool runMetadataItemDialog(HWND owner, MetadataItemChoices& choices) {
    return runItemDialog(owner, RESNAME_DLG_METADATA_EDIT, metadataItemProcedure, &choices);
}

namespace {

INT_PTR CALLBACK metadataItemProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto& choices = *keepDialogState<MetadataItemChoices>(dialog, second);
            fillList(dialog, IDC_METADATA_NAME, kMetadataNames, 15);
            if (choices.editedEntry >= 0) {
                int32_t chosen = listIndexOf(kMetadataNames, 15, choices.name);
                SendDlgItemMessageA(dialog, IDC_METADATA_NAME, CB_SETCURSEL, WPARAM(chosen), 0);
            }
            showField(dialog, IDC_METADATA_VALUE, choices.value, kValueSize);
            return TRUE;
        }
        case WM_COMMAND: {
            auto* state = dialogState<MetadataItemChoices>(dialog);
            // Controls may speak before WM_INITDIALOG handed over the state.
            if (state == nullptr) return FALSE;
            auto& choices = *state;
            switch (LOWORD(first)) {
                case IDOK:
                    readField(dialog, IDC_METADATA_NAME, choices.name);
                    readField(dialog, IDC_METADATA_VALUE, choices.value, kValueSize);
                    // Nothing is checked: a name may be left unchosen.
                    finishItemDialog<MetadataItemChoices>(dialog, choices, nullptr, applyMetadataItem);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        }
        default:
            return FALSE;
    }
}

}  // namespace
