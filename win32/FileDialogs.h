// The open and save file dialogs and their filters. The open dialog starts
// in the folder of the last file chosen in any open dialog ("LastOpenDir")
// and records the new one.
#pragma once

#include "editor/WindowHandle.h"

// Filters: pairs of description and pattern, each ending with a zero, the
// list with a second zero.
extern const char kPackageFilter[];
extern const char kContentFilter[];
extern const char kProgramFilter[];
extern const char kPictureFilter[];

// out holds 256 bytes; emptied on cancel.
bool askOpenFileName(WindowHandle owner, const char* filter, char* out);
// inOut holds 256 bytes: the dialog starts with its text; emptied on cancel.
bool askSaveFileName(WindowHandle owner, const char* filter, char* inOut);
// The system's folder dialog, with a string-table text above its folders.
// inOut holds 256 bytes: the dialog starts at its folder when there is one;
// on OK it holds the chosen folder with a trailing backslash, and on
// cancel it is left as it was.
bool askFolderName(WindowHandle owner, int titleId, char* inOut);
