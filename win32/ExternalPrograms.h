// The tool settings in the registry, the Options sheet, the programs the
// editor starts (HTML editor, emulators, text editor, the shell's default
// handler) and the About box.
#pragma once

#include "editor/ExternalCommands.h"
#include "editor/ToolSettings.h"
#include "editor/WindowHandle.h"

// The three program settings, from and to the registry.
void loadToolSettings(ToolSettings& settings);
void saveToolSettings(const ToolSettings& settings);
// "LastOpenDir": out holds 256 bytes; false (and out empty) when missing.
bool readLastOpenDir(char* out);
void writeLastOpenDir(const char* folder);

// OK copies the typed texts into settings; Cancel leaves them.
void runOptionsSheet(WindowHandle owner, ToolSettings& settings);
void showAboutBox(WindowHandle owner);

// With no HTML editor set, first asks (owned by owner) whether to set one.
void editWithHtmlEditor(WindowHandle owner, ToolSettings& settings, const char* path);
void openWithShell(const char* pathOrAddress);
void viewInNotepad(const char* path);
// An emulator not set is explained in a box owned by owner.
void startPalmOsEmulator(WindowHandle owner, const ToolSettings& settings);
void startWapEmulator(WindowHandle owner, const ToolSettings& settings);
