// The editor's main window, the modal dialog "DLG_MAIN".
#pragma once

#include <windows.h>

INT_PTR CALLBACK mainDialogProcedure(HWND window, UINT message, WPARAM first, LPARAM second);
// Runs the main dialog until Exit; the package in startupPackagePath, if
// any, is opened first.
void runMainWindow(HINSTANCE instance);
