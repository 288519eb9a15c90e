#include <windows.h>

#include "CommandLinePath.h"
#include "model/Files.h"
#include "model/Paths.h"
#include "model/Text.h"

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

bool argumentToProgramPath(const char* argument, char* out) {
    char current[kPathSize];
    out[0] = '\0';
    bool absolute = (argument[0] != '\0' && argument[1] == ':' && isSeparator(argument[2])) ||
                    (isSeparator(argument[0]) && isSeparator(argument[1]));
    if (!absolute) {
        if (!currentFolder(current, sizeof current)) return false;
        if (isSeparator(argument[0])) {
            current[2] = '\0';  // the drive of the current folder
        } else {
            size_t length = std::char_traits<char>::length(current);
            if (length > 0 && !isSeparator(current[length - 1]) && !appendText(current, "\\")) return false;
        }
        if (!copyText(out, kPathSize, current)) return false;
    }
    if (!appendText(out, kPathSize, argument)) return false;
    for (char* c = out; *c != '\0'; ++c) {
        if (*c == '/') *c = '\\';
    }
    return true;
}

std::string programPathForDisplay(const char* path) {
    return path;
}

// Arguments arrive in the ANSI code page already.
bool argumentToProgramText(const char* argument, char* out, size_t capacity) {
    return copyText(out, capacity, argument);
}

bool standardErrorIsTerminal() {
    // A windowed program started without a console has no handle at all.
    HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}
