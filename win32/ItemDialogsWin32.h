// The six item dialogs, each run with its choices record (editor/ItemChoices.h),
// and what they share. A dialog returns true when it ended with OK and
// changed the document.
#pragma once

#include "win32/DialogFunctionsWin32.h"
#include "editor/ItemChoices.h"
#include "resources/ResourceIds.h"

bool runManifestItemDialog(HWND owner, ManifestItemChoices& choices);
bool runSpineItemDialog(HWND owner, SpineItemChoices& choices);
bool runMetadataItemDialog(HWND owner, MetadataItemChoices& choices);
bool runGuideItemDialog(HWND owner, GuideItemChoices& choices);
bool runTourItemDialog(HWND owner, TourItemChoices& choices);
bool runSiteItemDialog(HWND owner, SiteItemChoices& choices);

// ---- Shared by the dialogs' files --------------------------------------

// The dialog resource run modally with the choices as its parameter.
bool runItemDialog(HWND owner, const char* resourceName, DLGPROC procedure, void* choices);
// An edit's text; the control takes no more than fits.
void showField(HWND dialog, int controlId, const char* text, int capacity = kFieldSize);
void readField(HWND dialog, int controlId, char* out, int capacity = kFieldSize);
void fillList(HWND dialog, int controlId, const char* const* items, int count);
// The browse button's folder picture, and its release when the dialog ends.
void giveBrowsePicture(HWND dialog, int buttonId);
void releaseBrowsePicture(HWND dialog, int buttonId);
// A content file chosen in the open-file dialog goes into the edit,
// relative to the package's folder when it lies below it.
void browseForContentFile(HWND dialog, int editId, const char* packageFolder);

// What tells one item dialog from another: its resource, how it shows its
// choices and reads them back, its checks, what OK does, its browse
// button with the edit it fills (0 for none), and what a change of that
// edit's text does (null: nothing).
template <typename Choices>
struct ItemDialogKind {
    const char* resourceName;
    void (*show)(HWND dialog, const Choices& choices);
    void (*read)(HWND dialog, Choices& choices);
    int32_t (*check)(const Choices& choices);  // null: nothing to check
    int32_t (*apply)(const Choices& choices);
    int browseButton;
    int browseEdit;
    void (*browseEditChanged)(HWND dialog) = nullptr;
};

// OK after the dialog's fields were read: a failed check is shown and the
// dialog stays; otherwise the change is made, a full section is shown,
// and the dialog ends (with OK only when the document changed).
template <typename Choices>
void finishItemDialog(HWND dialog, const ItemDialogKind<Choices>& kind, const Choices& choices) {
    int32_t failed = kind.check != nullptr ? kind.check(choices) : 0;
    if (failed != 0) {
        showWarning(dialog, failed);
        return;
    }
    int32_t full = kind.apply(choices);
    if (full != 0) showWarning(dialog, full);
    EndDialog(dialog, full == 0 ? IDOK : IDCANCEL);
}

template <typename Choices, const ItemDialogKind<Choices>& kind>
INT_PTR CALLBACK itemDialogProcedure(HWND dialog, UINT message, WPARAM first, LPARAM second) {
    if (message == WM_INITDIALOG) {
        const Choices& choices = *keepDialogState<Choices>(dialog, second);
        if (kind.browseButton != 0) giveBrowsePicture(dialog, kind.browseButton);
        kind.show(dialog, choices);
        return TRUE;
    }
    Choices* choices = dialogState<Choices>(dialog);
    // Controls may speak before WM_INITDIALOG handed over the state.
    if (choices == nullptr) return FALSE;
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(first) == IDOK) {
                kind.read(dialog, *choices);
                finishItemDialog(dialog, kind, *choices);
            } else if (LOWORD(first) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
            } else if (kind.browseButton != 0 && LOWORD(first) == kind.browseButton) {
                browseForContentFile(dialog, kind.browseEdit, choices->document->folder);
            } else if (kind.browseEditChanged != nullptr && LOWORD(first) == kind.browseEdit &&
                       HIWORD(first) == EN_CHANGE) {
                kind.browseEditChanged(dialog);
            } else {
                return FALSE;
            }
            return TRUE;
        case WM_DESTROY:
            if (kind.browseButton != 0) releaseBrowsePicture(dialog, kind.browseButton);
            return FALSE;
        default:
            return FALSE;
    }
}

template <typename Choices, const ItemDialogKind<Choices>& kind>
bool runItemDialogOf(HWND owner, Choices& choices) {
    return runItemDialog(owner, kind.resourceName, itemDialogProcedure<Choices, kind>, &choices);
}
