// The six item dialogs, each run with its choices record (editor/ItemChoices.h),
// and what they share. A dialog returns true when it ended with OK and
// changed the document.
#pragma once

#include "editor/DialogFunctionsWin32.h"
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

// OK after the dialog's fields were read: a failed check is shown and the
// dialog stays; otherwise the change is made, a full section is shown,
// and the dialog ends (with OK only when the document changed).
template <typename Choices>
void finishItemDialog(HWND dialog, const Choices& choices, int32_t (*check)(const Choices&),
                      int32_t (*apply)(const Choices&)) {
    int32_t failed = check != nullptr ? check(choices) : 0;
    if (failed != 0) {
        showWarning(dialog, failed);
        return;
    }
    int32_t full = apply(choices);
    if (full != 0) showWarning(dialog, full);
    EndDialog(dialog, full == 0 ? IDOK : IDCANCEL);
}
