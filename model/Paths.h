// Path strings in program form. Results go into the caller's 256-byte
// buffer; both separators are accepted, every built path uses backslashes.
#pragma once

constexpr int kPathSize = 256;

// Folder part with a trailing backslash; a network path keeps its "\\".
void folderOfPath(const char* path, char* out);
// The same without the leading "\\" of a network path.
void plainFolderOfPath(const char* path, char* out);
void fileNameOfPath(const char* path, char* out);
// The last component up to its first dot; leading dots are passed over.
void baseNameOfPath(const char* path, char* out);
bool endsWithNoCase(const char* path, const char* suffix);
// Appends the suffix unless it occurs anywhere in the text (case counts).
// The text's buffer is 256 bytes; the suffix is cut rather than overrun it.
void appendIfMissing(char* text, const char* suffix);
// True and the path relative to the base folder when it lies inside it;
// otherwise false, out unchanged.
bool makeRelativePath(const char* baseFolder, const char* path, char* out);
