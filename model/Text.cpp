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

namespace {

struct NamedEntity {
    const char* name;
    char byte;
};

constexpr NamedEntity kNamedEntities[] = {
    {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};

// The byte a reference behind "&" stands for and its length; 0 for none.
size_t entityAt(const char* text, char* byte) {
    for (const NamedEntity& entity : kNamedEntities) {
        size_t length = std::strlen(entity.name);
        if (std::strncmp(text, entity.name, length) == 0) {
            *byte = entity.byte;
            return length;
        }
    }
    if (text[0] != '#') return 0;
    bool hex = text[1] == 'x' || text[1] == 'X';
    size_t at = hex ? 2 : 1;
    unsigned value = 0;
    size_t digits = 0;
    for (; digits < 4; ++digits, ++at) {
        char c = text[at];
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = unsigned(c - '0');
        } else if (hex && upperAscii(c) >= 'A' && upperAscii(c) <= 'F') {
            digit = unsigned(upperAscii(c) - 'A' + 10);
        } else {
            break;
        }
        value = value * (hex ? 16 : 10) + digit;
    }
    if (digits == 0 || text[at] != ';' || value == 0 || value > 255) return 0;
    *byte = char(value);
    return at + 1;
}

}  // namespace

void decodeEntities(char* text) {
    char* write = text;
    for (const char* read = text; *read != '\0';) {
        char byte = 0;
        size_t length = *read == '&' ? entityAt(read + 1, &byte) : 0;
        if (length > 0) {
            *write++ = byte;
            read += 1 + length;
        } else {
            *write++ = *read++;
        }
    }
    *write = '\0';
}

bool appendEscaped(char* field, size_t capacity, const char* text, bool attribute) {
    char one[2] = {0, 0};
    for (; *text != '\0'; ++text) {
        const char* piece = nullptr;
        if (*text == '&') piece = "&amp;";
        if (!attribute && *text == '<') piece = "&lt;";
        if (!attribute && *text == '>') piece = "&gt;";
        if (attribute && *text == '"') piece = "&quot;";
        if (piece == nullptr) {
            one[0] = *text;
            piece = one;
        }
        if (!appendText(field, capacity, piece)) return false;
    }
    return true;
}
