// The Publishing Wizard: a Wizard 97 property sheet of three pages (welcome,
// options with the build's progress, final) owned by the main window.
#pragma once

#include "win32/DialogFunctionsWin32.h"
#include "editor/PublishingWizardState.h"

// Returns when the wizard has closed; the build thread has ended by then.
// state.targetPath keeps the last validated target.
void runPublishingWizard(HWND owner, PublishingWizardState& state);
