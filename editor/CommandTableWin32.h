// Every command of the menus, the toolbar and the context menus goes
// through one table of (command id, handler) rows.
#pragma once

#include <windows.h>

using CommandHandler = void (*)(HWND window, WPARAM first, LPARAM second, int notificationCode);

struct CommandRow {
    int command;
    CommandHandler handler;
};

extern const CommandRow commandTable[];
extern const int commandTableSize;

// Runs the first row that holds the command; an unknown command does nothing.
void dispatchCommand(HWND window, WPARAM first, LPARAM second);
