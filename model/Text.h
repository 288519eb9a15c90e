// Byte-string helpers shared by every subsystem. Text is 8-bit; only the
// ASCII letters have a case.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// What separates a tag's name and its attributes.
constexpr bool isMarkupBlank(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool equalsNoCase(const char* a, const char* b);
// True when the first n bytes agree ignoring case (a shorter text differs).
bool startsWithNoCase(const char* text, const char* prefix);
void toUpperInPlace(char* text);

// Bounded copies into fixed fields: at most capacity - 1 bytes are stored and
// the field is always terminated. They return false when text was cut.
bool copyText(char* field, size_t capacity, const char* text);
bool appendText(char* field, size_t capacity, const char* text);

// Decodes in place the five named entities of XML and the numeric character
// references of bytes 1 to 255 (&#38; and &#x26;); any other "&" stays.
void decodeEntities(char* text);
// Appends text with "&", "<" and ">" written as entities, or in an attribute
// value "&" and the quotation mark; false when it did not fit.
bool appendEscaped(char* field, size_t capacity, const char* text, bool attribute);

template <size_t N>
bool copyText(char (&field)[N], const char* text) {
    return copyText(field, N, text);
}
template <size_t N>
bool appendText(char (&field)[N], const char* text) {
    return appendText(field, N, text);
}

// Streams UTF-8 into the e-book's 8-bit text (Windows-1252). A character
// outside it becomes a numeric character reference; bytes that are not
// UTF-8 pass unchanged, so text in the 8-bit code page survives.
constexpr int kAnsiOutBytes = 16;
struct Utf8ToAnsi {
    uint8_t held[4] = {};
    int heldCount = 0;
    int needed = 0;
    uint32_t code = 0;

    // Writes at most kAnsiOutBytes bytes to out; their count.
    int feed(uint8_t byte, char* out);
    // The bytes of a sequence cut short, unchanged.
    int finish(char* out);
};
// A whole text; false when the result did not fit (out is then cut).
bool utf8ToAnsi(const char* text, char* out, size_t capacity);

// text followed directly by n in decimal, cut to capacity bytes.
void composeTextAndNumber(const char* text, int32_t n, char* out, size_t capacity);
