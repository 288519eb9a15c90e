// Paths typed on the command line, in and out of program form.
#pragma once

#include <string>

// Absolute program-form path of an argument, against the current folder.
bool argumentToProgramPath(const char* argument, char* out /* 256 bytes */);
// How the path is shown to the user on this system.
std::string programPathForDisplay(const char* path);
// A text argument (a title, a name) in the program's 8-bit text; false when
// it does not fit in capacity bytes.
bool argumentToProgramText(const char* argument, char* out, size_t capacity);
// Whether standard error is a terminal a user watches (progress is shown
// only there).
bool standardErrorIsTerminal();
