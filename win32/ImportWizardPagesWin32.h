// The pages of the Import Wizard, a file each, and what they share. Every
// page keeps the wizard's state record, handed in through its PROPSHEETPAGE.
#pragma once

#include "win32/DialogFunctionsWin32.h"
#include "editor/ImportWizardState.h"

INT_PTR CALLBACK importWelcomePage(HWND page, UINT message, WPARAM first, LPARAM second);
INT_PTR CALLBACK importSourcePage(HWND page, UINT message, WPARAM first, LPARAM second);
INT_PTR CALLBACK importLineEndsPage(HWND page, UINT message, WPARAM first, LPARAM second);
INT_PTR CALLBACK importSearchStringPage(HWND page, UINT message, WPARAM first, LPARAM second);
INT_PTR CALLBACK importHeadingTagsPage(HWND page, UINT message, WPARAM first, LPARAM second);
INT_PTR CALLBACK importMetadataPage(HWND page, UINT message, WPARAM first, LPARAM second);
INT_PTR CALLBACK importFinalPage(HWND page, UINT message, WPARAM first, LPARAM second);

// Stays on the page with the focus on a control after a refused Next.
INT_PTR stayOnPage(HWND page, int controlId);
// The source in the system text editor, without waiting for it.
void viewSource(const ImportJob& job);
