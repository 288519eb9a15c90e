// The markup scanner. It is deliberately lenient: it knows no nesting and no
// entities, and every field it fills is bounded, whatever the file holds.
#include "TagScanner.h"

#include "Text.h"

namespace {

constexpr int kBlank = ' ';
constexpr int kFieldChars = kFieldSize - 1;
constexpr int kAttributeRead = 1;
constexpr int kTagEnds = 0;
constexpr int kAttributeFailed = -1;

// Appends c to a field of kFieldSize bytes; text beyond it is dropped.
void appendBounded(char* field, int& length, int c);
int readAttribute(FileHandle file, char* name, char* value);
int readBlanks(FileHandle file);
int readComment(TagScanner& scanner, FileHandle file);
int copyRawText(TagScanner& scanner, FileHandle file, uint32_t tagStart);
void keepPartialRawText(TagScanner& scanner, FileHandle file, uint32_t tagStart);

}  // namespace

int readChar(FileHandle file) {
    return readByte(file);
}

int unreadChar(FileHandle file) {
    return unreadByte(file);
}

int readCharSkipping(FileHandle file, int c) {
    int read;
    do {
        read = readChar(file);
    } while (read == c && read != -1);
    return read;
}

int unreadCharSkipping(FileHandle file, int c) {
    int read;
    do {
        read = unreadChar(file);
    } while (read == c && read != -1);
    return read;
}

int readUntil(FileHandle file, char* out, int delimiter, int outCapacity) {
    int length = 0;
    for (;;) {
        int c = readChar(file);
        if (c == -1) return 0;
        if (c == delimiter) {
            unreadChar(file);
            out[length] = '\0';
            return 1;
        }
        if (c == '\r' || c == '\n') continue;
        if (length < outCapacity - 1) out[length++] = static_cast<char>(c);
    }
}

int readTextUntilTag(FileHandle file, const char* tagText, char* out) {
    int stored = 0;
    char tag[kFieldSize];
    for (;;) {
        int c = readChar(file);
        if (c == -1) return 0;
        if (c != '<') {
            if (stored == kFieldChars) return 0;
            if (c != '\r' && c != '\n') out[stored++] = static_cast<char>(c);
            continue;
        }
        if (readUntil(file, tag, '>', kFieldSize) == 0) return 0;
        readChar(file);
        // The name decides, whatever follows it.
        for (char* end = tag; *end != '\0'; ++end) {
            if (isMarkupBlank(*end)) {
                *end = '\0';
                break;
            }
        }
        if (equalsNoCase(tag, tagText)) {
            out[stored] = '\0';
            return 1;
        }
    }
}

TagScanner::TagScanner() : tagName{}, attributes{}, attrCount(0), rawText{} {}

int TagScanner::nextTag(FileHandle file) {
    int c;
    do {
        c = readChar(file);
    } while (c != '<' && c != -1);
    if (c == -1) return -1;
    return readTag(file);
}

int TagScanner::readTag(FileHandle file) {
    tagName[0] = '\0';
    attrCount = 0;
    uint32_t tagStart = getFilePosition(file);

    // Look at the first two bytes behind any leading blanks, then step back
    // over exactly what was read, so the name starts at the first non-blank.
    int first = readCharSkipping(file, kBlank);
    int second = first == -1 ? -1 : readChar(file);
    if (second != -1) unreadChar(file);
    if (first != -1) unreadChar(file);
    if (first == '!' && second == '-') return readComment(*this, file);

    int nameLength = 0;
    int c;
    for (;;) {
        c = readChar(file);
        if (c == -1) return -1;
        // Any blank, tab or line end ends the name: pretty-printed tags
        // put their attributes on lines of their own.
        if (c == '>' || isMarkupBlank(c)) break;
        appendBounded(tagName, nameLength, upperAscii(static_cast<char>(c)));
    }
    if (c == '>') {
        rawText[0] = '<';
        rawText[1] = '\0';
        appendText(rawText, tagName);
        appendText(rawText, ">");
        return static_cast<int>(tagStart) - 1;
    }

    for (;;) {
        int slot = attrCount;
        int result = readAttribute(file, attributes[slot].attrName, attributes[slot].attrValue);
        if (result == kTagEnds) break;
        if (result == kAttributeFailed) {
            keepPartialRawText(*this, file, tagStart);
            return 0;
        }
        if (attrCount < kMaxAttributes) ++attrCount;
    }
    return copyRawText(*this, file, tagStart);
}

bool TagScanner::isTag(const char* name) const {
    return equalsNoCase(tagName, name);
}

bool TagScanner::getAttribute(const char* name, char* out) const {
    out[0] = '\0';
    for (int i = 0; i < attrCount && i < kMaxAttributes; ++i) {
        if (equalsNoCase(attributes[i].attrName, name)) {
            copyText(out, kFieldSize, attributes[i].attrValue);
            return true;
        }
    }
    return false;
}

namespace {

void appendBounded(char* field, int& length, int c) {
    if (length < kFieldChars) field[length++] = static_cast<char>(c);
    field[length] = '\0';
}

// The first byte that is not a blank, tab or line end, or -1.
int readBlanks(FileHandle file) {
    int c;
    do {
        c = readChar(file);
    } while (c != -1 && isMarkupBlank(c));
    return c;
}

int readAttribute(FileHandle file, char* name, char* value) {
    name[0] = '\0';
    value[0] = '\0';
    int nameLength = 0;
    int c = readBlanks(file);
    for (;;) {
        if (c == -1) return kAttributeFailed;
        if (c == '>') return kTagEnds;
        if (c == '=') break;
        if (isMarkupBlank(c)) {
            int next = readBlanks(file);
            if (next == '=') break;
            // A name without a value: the byte behind the blanks starts the
            // next attribute (or ends the tag).
            if (next != -1) unreadChar(file);
            return kAttributeRead;
        }
        appendBounded(name, nameLength, upperAscii(static_cast<char>(c)));
        c = readChar(file);
    }

    int length = 0;
    c = readBlanks(file);
    if (c == -1) return kAttributeFailed;
    int closing = -1;
    int otherClosing = -1;
    bool unquoted = false;
    if (c == '"') {
        closing = '"';
    } else if (c == '\'') {
        closing = '\'';
        otherClosing = '"';
    } else {
        // Whatever stands first is the value's first byte, even a ">".
        unquoted = true;
        value[length++] = static_cast<char>(c);
    }
    for (;;) {
        c = readChar(file);
        if (c == -1) return kAttributeFailed;
        if (unquoted) {
            if (isMarkupBlank(c)) break;
            if (c == '>') {
                unreadChar(file);
                break;
            }
        } else if (c == closing || c == otherClosing) {
            break;
        }
        // A value may not reach the field's last byte.
        if (length == kFieldChars - 1) return kAttributeFailed;
        value[length++] = static_cast<char>(c);
    }
    while (length > 0 && value[length - 1] == kBlank) --length;
    value[length] = '\0';
    return kAttributeRead;
}

// A comment runs to the first "->"; its first 255 bytes are kept, upper-cased
// as the name and unchanged in rawText.
int readComment(TagScanner& scanner, FileHandle file) {
    int kept = 0;
    int previous = -1;
    scanner.rawText[0] = '<';
    for (;;) {
        int c = readChar(file);
        if (c == -1) return -1;
        if (c == '>' && previous == '-') break;
        if (kept < kFieldChars) scanner.rawText[1 + kept] = static_cast<char>(c);
        appendBounded(scanner.tagName, kept, upperAscii(static_cast<char>(c)));
        previous = c;
    }
    scanner.rawText[1 + kept] = '>';
    scanner.rawText[2 + kept] = '\0';
    return kept;
}

int copyRawText(TagScanner& scanner, FileHandle file, uint32_t tagStart) {
    setFilePosition(file, tagStart);
    int copied = 0;
    scanner.rawText[copied++] = '<';
    for (;;) {
        int c = readChar(file);
        if (c == -1) return -1;
        if (c == '>') break;
        if (copied == kRawTextBytes) return -1;
        scanner.rawText[copied++] = static_cast<char>(c);
    }
    scanner.rawText[copied++] = '>';
    scanner.rawText[copied] = '\0';
    return 0;
}

// After a failed attribute the tag's bytes read so far stand in rawText,
// without a ">", so a caller that copies rawText and then the text behind
// the position reproduces the tag unchanged.
void keepPartialRawText(TagScanner& scanner, FileHandle file, uint32_t tagStart) {
    uint32_t failedAt = getFilePosition(file);
    setFilePosition(file, tagStart);
    int copied = 0;
    scanner.rawText[copied++] = '<';
    while (getFilePosition(file) < failedAt && copied < kRawTextBytes) {
        int c = readChar(file);
        if (c == -1) break;
        scanner.rawText[copied++] = static_cast<char>(c);
    }
    scanner.rawText[copied] = '\0';
    setFilePosition(file, failedAt);
}

}  // namespace
