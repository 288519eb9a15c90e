#include "Text.h"

#include <cstdio>
#include <cstring>

bool equalsNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (upperAscii(*a) != upperAscii(*b)) return false;
        if (*a == '\0') return true;
    }
}

bool startsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (upperAscii(*text) != upperAscii(*prefix)) return false;
    }
    return true;
}

void toUpperInPlace(char* text) {
    for (; *text != '\0'; ++text) *text = upperAscii(*text);
}

bool copyText(char* field, size_t capacity, const char* text) {
    if (capacity == 0) return false;
    field[0] = '\0';
    return appendText(field, capacity, text);
}

bool appendText(char* field, size_t capacity, const char* text) {
    if (capacity == 0) return false;
    size_t used = strnlen(field, capacity - 1);
    size_t length = std::strlen(text);
    size_t room = capacity - 1 - used;
    size_t count = length < room ? length : room;
    std::memcpy(field + used, text, count);
    field[used + count] = '\0';
    return count == length;
}

void composeTextAndNumber(const char* text, int32_t n, char* out, size_t capacity) {
    if (capacity == 0) return;
    char number[16];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(n));
    copyText(out, capacity, text);
    appendText(out, capacity, number);
}
