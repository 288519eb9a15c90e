#include "win32/ItemDialogsWin32.h"

namespace {

void showGuideItem(HWND dialog, const GuideItemChoices& choices) {
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
}

void readGuideItem(HWND dialog, GuideItemChoices& choices) {
    readField(dialog, IDC_GUIDE_TITLE, choices.title);
    readField(dialog, IDC_GUIDE_HREF, choices.href);
    readField(dialog, IDC_GUIDE_TYPE, choices.type);
}

constexpr ItemDialogKind<GuideItemChoices> kGuideItemDialog = {
    RESNAME_DLG_GUIDE_EDIT, showGuideItem,    readGuideItem,  checkGuideItem,
    applyGuideItem,         IDC_GUIDE_BROWSE, IDC_GUIDE_HREF,
};

}  // namespace

bool runGuideItemDialog(HWND owner, GuideItemChoices& choices) {
    return runItemDialogOf<GuideItemChoices, kGuideItemDialog>(owner, choices);
}
