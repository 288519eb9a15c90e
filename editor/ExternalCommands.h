// The command lines the editor gives the programs it starts.
#pragma once

#include <cstddef>

// The HTML editor's command line: the editor, a blank and the path up to its
// first "#". False, and nothing to start, when that path part is empty.
bool composeHtmlEditorCommand(const char* editor, const char* path, char* out, size_t capacity);
