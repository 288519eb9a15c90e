#include <cstring>

#include "editor/ExternalCommands.h"
#include "model/Text.h"

bool composeHtmlEditorCommand(const char* editor, const char* path, char* out, size_t capacity) {
    if (capacity == 0) return false;
    out[0] = '\0';
    // The fragment names a place in the file, which an editor cannot take.
    size_t pathLength = std::strcspn(path, "#");
    if (pathLength == 0) return false;
    copyText(out, capacity, editor);
    appendText(out, capacity, " ");
    size_t used = std::strlen(out);
    size_t room = capacity - 1 - used;
    size_t kept = pathLength < room ? pathLength : room;
    std::memcpy(out + used, path, kept);
    out[used + kept] = '\0';
    return true;
}
