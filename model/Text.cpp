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

namespace {

// The characters at 0x80 to 0x9F of Windows-1252; 0 where it has none.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int encodeAnsi(uint32_t code, char* out) {
    if (code >= 0xA0 && code <= 0xFF) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    for (int i = 0; i < 32; ++i) {
        if (code >= 0x100 && kWindows1252High[i] == code) {
            out[0] = static_cast<char>(0x80 + i);
            return 1;
        }
    }
    return std::snprintf(out, kAnsiOutBytes, "&#%u;", static_cast<unsigned>(code));
}

}  // namespace

int Utf8ToAnsi::feed(uint8_t byte, char* out) {
    if (needed > 0) {
        if ((byte & 0xC0) == 0x80) {
            held[heldCount++] = byte;
            code = (code << 6) | (byte & 0x3Fu);
            if (--needed > 0) return 0;
            heldCount = 0;
            return encodeAnsi(code, out);
        }
        int flushed = finish(out);
        return flushed + feed(byte, out + flushed);
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
        needed = 1;
        code = byte & 0x1Fu;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        needed = 2;
        code = byte & 0x0Fu;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        needed = 3;
        code = byte & 0x07u;
    } else {
        out[0] = static_cast<char>(byte);
        return 1;
    }
    held[0] = byte;
    heldCount = 1;
    return 0;
}

int Utf8ToAnsi::finish(char* out) {
    int n = heldCount;
    for (int i = 0; i < n; ++i) out[i] = static_cast<char>(held[i]);
    heldCount = 0;
    needed = 0;
    return n;
}

bool utf8ToAnsi(const char* text, char* out, size_t capacity) {
    Utf8ToAnsi decoder;
    size_t used = 0;
    bool fits = true;
    char piece[kAnsiOutBytes];
    auto put = [&](int n) {
        if (used + size_t(n) >= capacity) fits = false;
        for (int i = 0; i < n && used + 1 < capacity; ++i) out[used++] = piece[i];
    };
    for (const char* c = text; *c != '\0'; ++c) put(decoder.feed(static_cast<uint8_t>(*c), piece));
    put(decoder.finish(piece));
    if (capacity > 0) out[used] = '\0';
    return fits;
}
