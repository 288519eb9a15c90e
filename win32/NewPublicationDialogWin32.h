// The New publication dialog "DLG_NEW".
#pragma once

#include "win32/DialogFunctionsWin32.h"
#include "editor/NewPublicationForm.h"

// Runs the modal dialog on the form (emptied first). True when a package
// was created; its path is then in form.newPackagePath.
bool runNewPublicationDialog(HWND owner, NewPublicationForm& form);
