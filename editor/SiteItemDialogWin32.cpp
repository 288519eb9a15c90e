#include "editor/ItemDialogsWin32.h"

namespace {

INT_PTR CALLBACK siteItemProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second);

}  // namespace

bool runSiteItemDialog(HWND owner, SiteItemChoices& choices) {
    return runItemDialog(owner, RESNAME_DLG_SITE_EDIT, siteItemProcedure, &choices);
}

namespace {

INT_PTR CALLBACK siteItemProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto& choices = *keepDialogState<SiteItemChoices>(dialog, second);
            giveBrowsePicture(dialog, IDC_SITE_BROWSE);
            showField(dialog, IDC_SITE_TITLE, choices.title);
            showField(dialog, IDC_SITE_HREF, choices.href);
            return TRUE;
        }
        case WM_COMMAND: {
            auto* state = dialogState<SiteItemChoices>(dialog);
            // Controls may speak before WM_INITDIALOG handed over the state.
            if (state == nullptr) return FALSE;
            auto& choices = *state;
            switch (LOWORD(first)) {
                case IDC_SITE_BROWSE:
                    browseForContentFile(dialog, IDC_SITE_HREF, choices.document->folder);
                    return TRUE;
                case IDOK:
                    readField(dialog, IDC_SITE_TITLE, choices.title);
                    readField(dialog, IDC_SITE_HREF, choices.href);
                    finishItemDialog(dialog, choices, checkSiteItem, applySiteItem);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        }
        case WM_DESTROY:
            releaseBrowsePicture(dialog, IDC_SITE_BROWSE);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace
