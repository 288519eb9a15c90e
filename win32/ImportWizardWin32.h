// The Import Wizard: a Wizard 97 sheet that fills the job page by page and
// runs the import on Finish.
#pragma once

#include "win32/DialogFunctionsWin32.h"
#include "editor/ImportWizardState.h"

// Returns when the wizard closes; state.outcome is done when a package was
// written to the job's package path.
void runImportWizard(HWND owner, ImportWizardState& state);
