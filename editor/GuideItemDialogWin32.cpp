#include "editor/ItemDialogsWin32.h"

namespace {

INT_PTR CALLBACK guideItemProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second);

}  // namespace

bool runGuideItemDialog(HWND owner, GuideItemChoices& choices) {
    return runItemDialog(owner, RESNAME_DLG_GUIDE_EDIT, guideItemProcedure, &choices);
}

namespace {

INT_PTR CALLBACK guideItemProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto& choices = *keepDialogState<GuideItemChoices>(dialog, second);
            giveBrowsePicture(dialog, IDC_GUIDE_BROWSE);
            fillList(dialog, IDC_GUIDE_TYPE, kGuideTypes, 16);
            showField(dialog, IDC_GUIDE_TITLE, choices.title);
            showField(dialog, IDC_GUIDE_HREF, choices.href);
            SendDlgItemMessageA(dialog, IDC_GUIDE_TYPE, CB_LIMITTEXT, kFieldSize - 1, 0);
            if (choices.editedEntry >= 0) {
                int32_t listed = listIndexOf(kGuideTypes, 16, choices.type);
                SendDlgItemMessageA(dialog, IDC_GUIDE_TYPE, CB_SETCURSEL, WPARAM(listed), 0);
                // A type outside the list shows as typed.
                SetDlgItemTextA(dialog, IDC_GUIDE_TYPE, choices.type);
            }
            return TRUE;
        }
        case WM_COMMAND: {
            auto* state = dialogState<GuideItemChoices>(dialog);
            // Controls may speak before WM_INITDIALOG handed over the state.
            if (state == nullptr) return FALSE;
            auto& choices = *state;
            switch (LOWORD(first)) {
                case IDC_GUIDE_BROWSE:
                    browseForContentFile(dialog, IDC_GUIDE_HREF, choices.document->folder);
                    return TRUE;
                case IDOK:
                    readField(dialog, IDC_GUIDE_TITLE, choices.title);
                    readField(dialog, IDC_GUIDE_HREF, choices.href);
                    readField(dialog, IDC_GUIDE_TYPE, choices.type);
                    finishItemDialog(dialog, choices, checkGuideItem, applyGuideItem);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        }
        case WM_DESTROY:
            releaseBrowsePicture(dialog, IDC_GUIDE_BROWSE);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace
