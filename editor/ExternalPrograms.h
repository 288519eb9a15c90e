// The tool settings in the registry, the Options sheet, the programs the
// editor starts (HTML editor, emulators, text editor, the shell's default
// handler) and the About box.
#pragma once

#include <cstddef>

#include "editor/DialogFunctions.h"

struct EditorDocument;

// The three program settings of the document, from and to the registry.
void loadToolSettings(EditorDocument& document);
void saveToolSettings(const EditorDocument& document);
// "LastOpenDir": out holds 256 bytes; false (and out empty) when missing.
bool readLastOpenDir(char* out);
void writeLastOpenDir(const char* folder);

void runOptionsSheet(WindowHandle owner);
void showAboutBox(WindowHandle owner);

void editWithHtmlEditor(const char* path);
void openWithShell(const char* pathOrAddress);
void viewInNotepad(const char* path);
void startPalmOsEmulator();
void startWapEmulator();

// The HTML editor's command line: the editor, a blank and the path up to its
// first "#". False, and nothing to start, when that path part is empty.
bool composeHtmlEditorCommand(const char* editor, const char* path, char* out, size_t capacity);
