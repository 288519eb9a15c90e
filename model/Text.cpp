#include "Text.h"

#include <cstdio>
#include <cstring>

namespace {

// The byte a reference behind "&" stands for and its length; 0 for none.
size_t entityAt(const char* text, char* byte);
// The length of a numeric reference at text ("&#...;") to a character the
// 8-bit text cannot hold; 0 for anything else.
size_t keptReferenceLength(const char* text);
// The code of a numeric reference behind "&", its length in *length; -1
// when there is none.
int64_t referenceAt(const char* text, size_t* length);
// Appends piece only when all of it fits.
bool appendWhole(char* field, size_t capacity, const char* piece);
// The Windows-1252 byte of a character; -1 when it has none.
int ansiByteOf(uint32_t code);
int encodeAnsi(uint32_t code, char* out);

}  // namespace

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

bool appendEscaped(char* field, size_t capacity, const char* text, MarkupPlace place, MarkupBytes bytes) {
    char piece[kMarkupPieceSize];
    while (*text != '\0') {
        nextMarkupPiece(&text, place, bytes, piece);
        if (!appendWhole(field, capacity, piece)) return false;
    }
    return true;
}

size_t escapedLength(const char* text, MarkupPlace place, MarkupBytes bytes) {
    char piece[kMarkupPieceSize];
    size_t length = 0;
    while (*text != '\0') length += size_t(nextMarkupPiece(&text, place, bytes, piece));
    return length;
}

int nextMarkupPiece(const char** text, MarkupPlace place, MarkupBytes bytes, char* piece) {
    const char* at = *text;
    size_t kept = *at == '&' ? keptReferenceLength(at) : 0;
    if (kept > 0) {
        std::memcpy(piece, at, kept);
        piece[kept] = '\0';
        *text = at + kept;
        return int(kept);
    }
    *text = at + 1;
    auto uc = static_cast<uint8_t>(*at);
    const char* entity = nullptr;
    if (uc == '&') entity = "&amp;";
    if (uc == '<') entity = "&lt;";
    if (uc == '>') entity = "&gt;";
    if (uc == '"' && place == MarkupPlace::attribute) entity = "&quot;";
    if (entity != nullptr) return std::snprintf(piece, kMarkupPieceSize, "%s", entity);
    if (uc >= 0x80 && bytes == MarkupBytes::references)
        return std::snprintf(piece, kMarkupPieceSize, "&#%u;", static_cast<unsigned>(unicodeOfAnsi(uc)));
    piece[0] = char(uc);
    piece[1] = '\0';
    return 1;
}

bool appendAddress(char* field, size_t capacity, const char* name) {
    for (; *name != '\0'; ++name) {
        const char* piece = *name == '%' ? "%25" : *name == '#' ? "%23" : nullptr;
        char one[2] = {*name, '\0'};
        if (!appendWhole(field, capacity, piece != nullptr ? piece : one)) return false;
    }
    return true;
}

int32_t ansiCharacterOf(uint32_t code) {
    int byte = ansiByteOf(code);
    return byte >= 0x80 ? byte : kReferencedCharacter + int32_t(code);
}

void Utf8Check::feed(uint8_t byte) {
    if (needed > 0) {
        if (byte < low || byte > high) valid = false;
        low = 0x80;
        high = 0xBF;
        --needed;
        return;
    }
    if (byte < 0x80) return;
    beyondAscii = true;
    // The second byte's range excludes long forms, surrogates and codes
    // beyond U+10FFFF.
    if (byte >= 0xC2 && byte <= 0xDF) {
        needed = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        needed = 2;
        if (byte == 0xE0) low = 0xA0;
        if (byte == 0xED) high = 0x9F;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        needed = 3;
        if (byte == 0xF0) low = 0x90;
        if (byte == 0xF4) high = 0x8F;
    } else {
        valid = false;
    }
}

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

namespace {

struct NamedEntity {
    const char* name;
    char byte;
};

constexpr NamedEntity kNamedEntities[] = {
    {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};

// The characters at 0x80 to 0x9F of Windows-1252; 0 where it has none.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Seven digits reach every character, leading zeros aside.
constexpr size_t kMaxReferenceDigits = 7;
constexpr int64_t kLastCharacter = 0x10FFFF;

size_t entityAt(const char* text, char* byte) {
    for (const NamedEntity& entity : kNamedEntities) {
        size_t length = std::strlen(entity.name);
        if (std::strncmp(text, entity.name, length) == 0) {
            *byte = entity.byte;
            return length;
        }
    }
    size_t length = 0;
    int64_t code = referenceAt(text, &length);
    if (code <= 0) return 0;
    int decoded = code <= 0xFF ? int(code) : ansiByteOf(uint32_t(code));
    if (decoded <= 0) return 0;
    *byte = char(decoded);
    return length;
}

size_t keptReferenceLength(const char* text) {
    size_t length = 0;
    int64_t code = referenceAt(text + 1, &length);
    bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (code <= 0xFF || code > kLastCharacter || surrogate || ansiByteOf(uint32_t(code)) >= 0) return 0;
    return 1 + length;
}

int64_t referenceAt(const char* text, size_t* length) {
    if (text[0] != '#') return -1;
    bool hex = text[1] == 'x' || text[1] == 'X';
    size_t at = hex ? 2 : 1;
    int64_t value = 0;
    size_t digits = 0;
    for (; digits < kMaxReferenceDigits; ++digits, ++at) {
        char c = text[at];
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (hex && upperAscii(c) >= 'A' && upperAscii(c) <= 'F') {
            digit = upperAscii(c) - 'A' + 10;
        } else {
            break;
        }
        value = value * (hex ? 16 : 10) + digit;
    }
    if (digits == 0 || text[at] != ';') return -1;
    *length = at + 1;
    return value;
}

bool appendWhole(char* field, size_t capacity, const char* piece) {
    if (capacity == 0) return false;
    size_t used = strnlen(field, capacity - 1);
    if (used + std::strlen(piece) >= capacity) return false;
    return appendText(field, capacity, piece);
}

int ansiByteOf(uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return int(code);
    for (int i = 0; i < 32; ++i) {
        if (code >= 0x100 && kWindows1252High[i] == code) return 0x80 + i;
    }
    return -1;
}

int encodeAnsi(uint32_t code, char* out) {
    int byte = ansiByteOf(code);
    if (byte >= 0x80) {
        out[0] = static_cast<char>(byte);
        return 1;
    }
    return std::snprintf(out, kAnsiOutBytes, "&#%u;", static_cast<unsigned>(code));
}

}  // namespace

uint32_t unicodeOfAnsi(uint8_t byte) {
    if (byte < 0x80 || byte >= 0xA0 || kWindows1252High[byte - 0x80] == 0) return byte;
    return kWindows1252High[byte - 0x80];
}

int encodeUtf8(uint32_t code, char* out) {
    auto put = [&](int i, uint32_t bits) { out[i] = static_cast<char>(bits); };
    if (code < 0x80) {
        put(0, code);
        return 1;
    }
    if (code < 0x800) {
        put(0, 0xC0 | (code >> 6));
        put(1, 0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        put(0, 0xE0 | (code >> 12));
        put(1, 0x80 | ((code >> 6) & 0x3F));
        put(2, 0x80 | (code & 0x3F));
        return 3;
    }
    put(0, 0xF0 | (code >> 18));
    put(1, 0x80 | ((code >> 12) & 0x3F));
    put(2, 0x80 | ((code >> 6) & 0x3F));
    put(3, 0x80 | (code & 0x3F));
    return 4;
}

bool ansiToUtf8(const char* text, char* out, size_t capacity) {
    if (capacity == 0) return false;
    size_t used = 0;
    for (const char* p = text; *p != '\0';) {
        uint32_t code = unicodeOfAnsi(static_cast<uint8_t>(*p));
        size_t length = *p == '&' ? keptReferenceLength(p) : 0;
        if (length > 0) {
            size_t digitsLength = 0;
            code = uint32_t(referenceAt(p + 1, &digitsLength));
            p += length;
        } else {
            ++p;
        }
        char bytes[4];
        int n = encodeUtf8(code, bytes);
        if (used + size_t(n) >= capacity) {
            out[used] = '\0';
            return false;
        }
        std::memcpy(out + used, bytes, size_t(n));
        used += size_t(n);
    }
    out[used] = '\0';
    return true;
}
