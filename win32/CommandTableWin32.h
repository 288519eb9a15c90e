// Every command of the menus, the toolbar and the context menus goes
// through one table of rows: the command, its handler and whether it needs
// an open package (such commands are grayed while none is open).
#pragma once

#include "win32/MainWindowWin32.h"

using CommandHandler = void (*)(MainWindow& main, int command);

struct CommandRow {
    int command;
    CommandHandler handler;
    bool needsOpenPackage;
};

// The first row that holds the command, or null.
const CommandRow* findCommandRow(int command);
// Runs the first row that holds the command; an unknown command does nothing.
void dispatchCommand(MainWindow& main, int command);
// Enables or grays, in the menu bar, every command that needs an open package.
void enablePackageCommands(HMENU menu, bool enabled);
