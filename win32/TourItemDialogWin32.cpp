#include "win32/ItemDialogsWin32.h"

namespace {

void showTourItem(HWND dialog, const TourItemChoices& choices) {
    showField(dialog, IDC_TOUR_ID, choices.id);
    showField(dialog, IDC_TOUR_TITLE, choices.title);
}

void readTourItem(HWND dialog, TourItemChoices& choices) {
    readField(dialog, IDC_TOUR_ID, choices.id);
    readField(dialog, IDC_TOUR_TITLE, choices.title);
}

constexpr ItemDialogKind<TourItemChoices> kTourItemDialog = {
    RESNAME_DLG_TOUR_EDIT, showTourItem, readTourItem, checkTourItem, applyTourItem, 0, 0,
};

}  // namespace

bool runTourItemDialog(HWND owner, TourItemChoices& choices) {
    return runItemDialogOf<TourItemChoices, kTourItemDialog>(owner, choices);
}
