#include "win32/ItemDialogsWin32.h"

namespace {

void showSiteItem(HWND dialog, const SiteItemChoices& choices) {
    showField(dialog, IDC_SITE_TITLE, choices.title);
    showField(dialog, IDC_SITE_HREF, choices.href);
}

void readSiteItem(HWND dialog, SiteItemChoices& choices) {
    readField(dialog, IDC_SITE_TITLE, choices.title);
    readField(dialog, IDC_SITE_HREF, choices.href);
}

constexpr ItemDialogKind<SiteItemChoices> kSiteItemDialog = {
    RESNAME_DLG_SITE_EDIT, showSiteItem,    readSiteItem,  checkSiteItem,
    applySiteItem,         IDC_SITE_BROWSE, IDC_SITE_HREF,
};

}  // namespace

bool runSiteItemDialog(HWND owner, SiteItemChoices& choices) {
    return runItemDialogOf<SiteItemChoices, kSiteItemDialog>(owner, choices);
}
