#include "Paths.h"

#include <cstring>

#include "Text.h"

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

void folderWithPrefix(const char* path, char* out, bool keepNetworkPrefix);
const char* lastComponent(const char* path, size_t* length);

}  // namespace

void folderOfPath(const char* path, char* out) {
    folderWithPrefix(path, out, true);
}

void plainFolderOfPath(const char* path, char* out) {
    folderWithPrefix(path, out, false);
}

void fileNameOfPath(const char* path, char* out) {
    size_t length = 0;
    const char* last = lastComponent(path, &length);
    if (last == nullptr) {
        copyText(out, kPathSize, path);
        return;
    }
    if (length > kPathSize - 1) length = kPathSize - 1;
    std::memmove(out, last, length);
    out[length] = '\0';
}

void baseNameOfPath(const char* path, char* out) {
    size_t length = 0;
    const char* last = lastComponent(path, &length);
    if (last == nullptr) {
        out[0] = '\0';
        return;
    }
    size_t start = 0;
    while (start < length && last[start] == '.') ++start;
    size_t end = start;
    while (end < length && last[end] != '.') ++end;
    size_t count = end - start;
    if (count > kPathSize - 1) count = kPathSize - 1;
    std::memmove(out, last + start, count);
    out[count] = '\0';
}

bool endsWithNoCase(const char* path, const char* suffix) {
    size_t pathLength = std::strlen(path);
    size_t suffixLength = std::strlen(suffix);
    if (suffixLength > pathLength) return false;
    return equalsNoCase(path + pathLength - suffixLength, suffix);
}

void appendIfMissing(char* text, const char* suffix) {
    if (std::strstr(text, suffix) == nullptr) appendText(text, kPathSize, suffix);
}

bool makeRelativePath(const char* baseFolder, const char* path, char* out) {
    if (!startsWithNoCase(path, baseFolder)) return false;
    copyText(out, kPathSize, path + std::strlen(baseFolder));
    return true;
}

namespace {

void folderWithPrefix(const char* path, char* out, bool keepNetworkPrefix) {
    char result[kPathSize] = "";
    if (keepNetworkPrefix && path[0] == '\\' && path[1] == '\\') copyText(result, "\\\\");
    size_t lastLength = 0;
    const char* last = lastComponent(path, &lastLength);
    const char* p = path;
    while (last != nullptr && p < last) {
        while (isSeparator(*p)) ++p;
        if (p >= last) break;
        const char* end = p;
        while (*end != '\0' && !isSeparator(*end)) ++end;
        size_t used = std::strlen(result);
        size_t length = static_cast<size_t>(end - p);
        if (used + length + 1 < kPathSize) {
            std::memcpy(result + used, p, length);
            result[used + length] = '\\';
            result[used + length + 1] = '\0';
        }
        p = end;
    }
    copyText(out, kPathSize, result);
}

// The last non-empty component and its length, or null when there is none.
const char* lastComponent(const char* path, size_t* length) {
    const char* end = path + std::strlen(path);
    while (end > path && isSeparator(end[-1])) --end;
    if (end == path) return nullptr;
    const char* start = end;
    while (start > path && !isSeparator(start[-1])) --start;
    *length = static_cast<size_t>(end - start);
    return start;
}

}  // namespace
