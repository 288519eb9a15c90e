#include "editor/ItemDialogsWin32.h"

namespace {

INT_PTR CALLBACK manifestItemProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second);

}  // namespace

bool runManifestItemDialog(HWND owner, ManifestItemChoices& choices) {
    return runItemDialog(owner, RESNAME_DLG_MANIFEST_EDIT, manifestItemProcedure, &choices);
}

namespace {

INT_PTR CALLBACK manifestItemProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto& choices = *keepDialogState<ManifestItemChoices>(dialog, second);
            giveBrowsePicture(dialog, IDC_MANIFEST_BROWSE);
            fillList(dialog, IDC_MANIFEST_TYPE, kManifestTypes, 3);
            showField(dialog, IDC_MANIFEST_ID, choices.id);
            showField(dialog, IDC_MANIFEST_HREF, choices.href);
            SendDlgItemMessageA(dialog, IDC_MANIFEST_TYPE, CB_LIMITTEXT, kFieldSize - 1, 0);
            SetDlgItemTextA(dialog, IDC_MANIFEST_TYPE, choices.mediaType);
            return TRUE;
        }
        case WM_COMMAND: {
            auto* state = dialogState<ManifestItemChoices>(dialog);
            // Controls may speak before WM_INITDIALOG handed over the state.
            if (state == nullptr) return FALSE;
            auto& choices = *state;
            switch (LOWORD(first)) {
                case IDC_MANIFEST_BROWSE:
                    browseForContentFile(dialog, IDC_MANIFEST_HREF, choices.document->folder);
                    return TRUE;
                case IDOK:
                    readField(dialog, IDC_MANIFEST_ID, choices.id);
                    readField(dialog, IDC_MANIFEST_HREF, choices.href);
                    readField(dialog, IDC_MANIFEST_TYPE, choices.mediaType);
                    finishItemDialog(dialog, choices, checkManifestItem, applyManifestItem);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        }
        case WM_DESTROY:
            releaseBrowsePicture(dialog, IDC_MANIFEST_BROWSE);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace
