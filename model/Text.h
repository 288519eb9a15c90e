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

// A text field: a name, an id, a title or an address of 255 characters and
// its terminator, as every record of the model holds them.
constexpr int kFieldSize = 256;

// Bounded copies into fixed fields: at most capacity - 1 bytes are stored and
// the field is always terminated. They return false when text was cut.
bool copyText(char* field, size_t capacity, const char* text);
bool appendText(char* field, size_t capacity, const char* text);

// Decodes in place the five named entities of XML and the numeric character
// references of bytes 1 to 255 (&#38; and &#x26;) and of the characters of
// Windows-1252 above them (&#8364; is byte 128). A reference to a character
// the 8-bit text cannot hold stays as written: it is how the program keeps
// such a character. Any other "&" stays.
void decodeEntities(char* text);

// Where escaped text goes: element content, or an attribute value in double
// quotes (where the quotation mark is escaped too).
enum class MarkupPlace { text, attribute };
// Bytes from 128 up stay the 8-bit text they are (pages, the e-book), or
// become numeric character references (the package, whose XML declaration
// names no encoding).
enum class MarkupBytes { eightBit, references };

// Appends text as markup: "&", "<" and ">" (and in an attribute the
// quotation mark) become entities, except the "&" of a reference to a
// character the 8-bit text cannot hold, which is already markup. False
// when it did not fit; the field then ends with whole pieces only.
bool appendEscaped(char* field, size_t capacity, const char* text, MarkupPlace place,
                   MarkupBytes bytes = MarkupBytes::eightBit);
size_t escapedLength(const char* text, MarkupPlace place, MarkupBytes bytes = MarkupBytes::eightBit);
// The markup of the text at *text, one byte or one kept reference, into
// piece (kMarkupPieceSize bytes); advances *text and returns the length.
constexpr int kMarkupPieceSize = 16;
int nextMarkupPiece(const char** text, MarkupPlace place, MarkupBytes bytes, char* piece);

// Appends a file name as a relative address: "%" and "#" become %25 and
// %23, so that the address names the file whole. False when it did not fit.
bool appendAddress(char* field, size_t capacity, const char* name);

// A character decoded from UTF-8 as the 8-bit text holds it, as
// utf8ToAnsi writes it: its Windows-1252 byte, or kReferencedCharacter
// plus its code when a numeric character reference must stand for it.
constexpr int32_t kReferencedCharacter = 0x1000000;
int32_t ansiCharacterOf(uint32_t code);

// Fed byte by byte: whether the bytes are UTF-8 with at least one character
// beyond ASCII, as a text in the 8-bit code page almost never is.
struct Utf8Check {
    int needed = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    bool valid = true;
    bool beyondAscii = false;

    void feed(uint8_t byte);
    bool isUtf8() const { return valid && needed == 0 && beyondAscii; }
};

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

// The character a Windows-1252 byte stands for; the five bytes it leaves
// undefined stand for themselves.
uint32_t unicodeOfAnsi(uint8_t byte);
// The program's 8-bit text as UTF-8: its Windows-1252 bytes and the
// references it keeps for characters beyond them. False when the result
// did not fit (out then ends with whole characters).
bool ansiToUtf8(const char* text, char* out, size_t capacity);
// The character (at most 0x10FFFF) as UTF-8 into out (4 bytes); its length.
int encodeUtf8(uint32_t code, char* out);

// text followed directly by n in decimal, cut to capacity bytes.
void composeTextAndNumber(const char* text, int32_t n, char* out, size_t capacity);
