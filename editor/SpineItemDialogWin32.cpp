#include "editor/ItemDialogsWin32.h"

namespace {

INT_PTR CALLBACK spineItemProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second);

}  // namespace

bool runSpineItemDialog(HWND owner, SpineItemChoices& choices) {
    return runItemDialog(owner, RESNAME_DLG_SPINE_EDIT, spineItemProcedure, &choices);
}

namespace {

INT_PTR CALLBACK spineItemProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto& choices = *keepDialogState<SpineItemChoices>(dialog, second);
            const char* ids[kManifestSlots];
            fillList(dialog, IDC_SPINE_IDREF, ids, availableSpineIds(*choices.document, ids, kManifestSlots));
            return TRUE;
        }
        case WM_COMMAND: {
            auto* state = dialogState<SpineItemChoices>(dialog);
            // Controls may speak before WM_INITDIALOG handed over the state.
            if (state == nullptr) return FALSE;
            auto& choices = *state;
            switch (LOWORD(first)) {
                case IDOK:
                    // A drop-down list's text is its chosen entry, empty when none.
                    readField(dialog, IDC_SPINE_IDREF, choices.idref);
                    finishItemDialog(dialog, choices, checkSpineItem, applySpineItem);
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
