#include <unistd.h>

#include "CommandLinePath.h"
#include "model/Files.h"
#include "model/NativePaths.h"
#include "model/Paths.h"
#include "model/Text.h"

bool argumentToProgramPath(const char* argument, char* out) {
    char converted[kPathSize];
    if (!nativePathToProgram(argument, converted, sizeof converted)) return false;
    if (argument[0] == '/') return copyText(out, kPathSize, converted);
    if (!currentFolder(out, kPathSize)) return false;
    size_t length = std::char_traits<char>::length(out);
    if (length == 0 || out[length - 1] != '\\') {
        if (!appendText(out, kPathSize, "\\")) return false;
    }
    return appendText(out, kPathSize, converted);
}

std::string programPathForDisplay(const char* path) {
    std::string native;
    if (!programPathToNative(path, &native)) return path;
    return native;
}

// Arguments arrive in the locale's UTF-8.
bool argumentToProgramText(const char* argument, char* out, size_t capacity) {
    return utf8ToAnsi(argument, out, capacity);
}

bool standardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}
