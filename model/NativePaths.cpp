#include "NativePaths.h"

#include "Text.h"

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

bool programPathToNative(const char* path, std::string* out) {
    if (path == nullptr || path[0] == '\0') return false;
    if (isSeparator(path[0]) && isSeparator(path[1])) return false;
    const char* rest = path;
    if (path[1] == ':') {
        if (upperAscii(path[0]) != 'Z') return false;
        rest = path + 2;
    }
    out->clear();
    if (rest != path) out->push_back('/');
    for (; *rest != '\0'; ++rest) {
        char c = isSeparator(*rest) ? '/' : *rest;
        if (c == '/' && !out->empty() && out->back() == '/') continue;
        out->push_back(c);
    }
    return true;
}

bool nativePathToProgram(const char* native, char* out, uint32_t capacity) {
    if (capacity == 0) return false;
    out[0] = '\0';
    if (native[0] == '/' && !appendText(out, capacity, "Z:")) return false;
    char one[2] = {0, 0};
    for (; *native != '\0'; ++native) {
        one[0] = *native == '/' ? '\\' : *native;
        if (!appendText(out, capacity, one)) return false;
    }
    return true;
}
