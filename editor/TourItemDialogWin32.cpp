#include "editor/ItemDialogsWin32.h"

namespace {

INT_PTR CALLBACK tourItemProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second);

}  // namespace

bool runTourItemDialog(HWND owner, TourItemChoices& choices) {
    return runItemDialog(owner, RESNAME_DLG_TOUR_EDIT, tourItemProcedure, &choices);
}

namespace {

INT_PTR CALLBACK tourItemProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto& choices = *keepDialogState<TourItemChoices>(dialog, second);
            showField(dialog, IDC_TOUR_ID, choices.id);
            showField(dialog, IDC_TOUR_TITLE, choices.title);
            return TRUE;
        }
        case WM_COMMAND: {
            auto* state = dialogState<TourItemChoices>(dialog);
            // Controls may speak before WM_INITDIALOG handed over the state.
            if (state == nullptr) return FALSE;
            auto& choices = *state;
            switch (LOWORD(first)) {
                case IDOK:
                    readField(dialog, IDC_TOUR_ID, choices.id);
                    readField(dialog, IDC_TOUR_TITLE, choices.title);
                    finishItemDialog(dialog, choices, checkTourItem, applyTourItem);
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
