// The markup scanner. It is deliberately lenient: it knows no nesting and no
// entities, and every field it fills is bounded, whatever the file holds.
#include "TagScanner.h"

#include <cstring>

#include "Text.h"

namespace {

constexpr int kBlank = ' ';
constexpr int kFieldChars = kFieldSize - 1;
constexpr int kAttributeRead = 1;
constexpr int kTagEnds = 0;
constexpr int kAttributeFailed = -1;
constexpr uint32_t kNowhere = UINT32_MAX;
constexpr int kNoNameByte = 0x7F;

// The bytes of one tag read at once; the end of the file or of the room
// reads as -1, as the end of the file does for the character reader.
struct TagBytes {
    const char* bytes;
    uint32_t length;
    uint32_t at;

    int next() { return at < length ? uint8_t(bytes[at++]) : -1; }
    void back() { --at; }
    int skipBlanks();
};

// Names and values go one after the other into the scanner's store.
struct AttributeStore {
    char* text;
    uint32_t used;

    bool add(int c);
    bool end() { return add('\0'); }
};

// Appends c to a field of kFieldSize bytes; text beyond it is dropped.
void appendBounded(char* field, int& length, int c);
uint32_t endOfTag(TagScanner& scanner, FileHandle file, uint32_t from, bool comment);
uint32_t searchEndOfTag(FileHandle file, uint32_t from, bool comment);
int readAttribute(TagBytes& tag, AttributeStore& store);
int readComment(TagScanner& scanner, FileHandle file);

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
            // A NUL would end the text early.
            if (c != '\r' && c != '\n' && c != 0) out[stored++] = static_cast<char>(c);
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

TagScanner::TagScanner()
    : tagName{},
      attributeText{},
      attrCount(0),
      rawText{},
      rawLength(0),
      isComment(false),
      failure(TagFailure::none),
      searchedFile(0),
      bracketSearchFrom(kNowhere),
      bracketAt(kNowhere),
      commentSearchFrom(kNowhere),
      commentEndAt(kNowhere) {}

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
    attributeText[0] = '\0';
    attrCount = 0;
    rawText[0] = '\0';
    rawLength = 0;
    isComment = false;
    failure = TagFailure::none;
    uint32_t tagStart = getFilePosition(file);

    // Look at the first two bytes behind any leading blanks, then step back
    // over exactly what was read, so the name starts at the first non-blank.
    int first = readCharSkipping(file, kBlank);
    int second = first == -1 ? -1 : readChar(file);
    if (second != -1) unreadChar(file);
    if (first != -1) unreadChar(file);
    if (first == '!' && second == '-') return readComment(*this, file);

    uint32_t close = endOfTag(*this, file, tagStart, false);
    if (close == kNowhere) {
        failure = TagFailure::unclosed;
        setFilePosition(file, getFileLength(file));
        return -1;
    }
    if (close - tagStart >= kRawTextBytes) {
        failure = TagFailure::tooLong;
        return -1;
    }
    // The whole tag, and what follows it within the room, in one read:
    // a quoted value may hold a ">" and run on behind the first one.
    uint32_t length = getFileLength(file) - tagStart;
    if (length > kRawTextBytes) length = kRawTextBytes;
    setFilePosition(file, tagStart);
    if (!readBytes(file, rawText + 1, length)) {
        failure = TagFailure::unclosed;
        return -1;
    }
    TagBytes tag{rawText + 1, length, 0};
    while (tag.at < length && tag.bytes[tag.at] == kBlank) ++tag.at;

    uint32_t nameStart = tag.at;
    int nameLength = 0;
    int c;
    for (;;) {
        c = tag.next();
        // Any blank, tab or line end ends the name: pretty-printed tags
        // put their attributes on lines of their own.
        if (c == '>' || c == -1 || isMarkupBlank(c)) break;
        // A NUL would end the name early and make it another's.
        appendBounded(tagName, nameLength, c == 0 ? kNoNameByte : upperAscii(static_cast<char>(c)));
    }
    setFilePosition(file, close + 1);
    if (c == '>') {
        // The name whole, in capitals, however long.
        uint32_t whole = close - tagStart - nameStart;
        std::memmove(rawText + 1, rawText + 1 + nameStart, whole);
        for (uint32_t i = 1; i <= whole; ++i) rawText[i] = upperAscii(rawText[i]);
        rawText[1 + whole] = '>';
        rawText[2 + whole] = '\0';
        rawText[0] = '<';
        rawLength = static_cast<int32_t>(whole + 2);
        return static_cast<int>(tagStart) - 1;
    }

    AttributeStore store{attributeText, 0};
    for (;;) {
        uint32_t mark = store.used;
        int result = readAttribute(tag, store);
        if (result == kTagEnds) break;
        // A value the tag's room or the file cuts short is no value; the
        // attributes before it stand, and the tag ends at its ">" all the same.
        if (result == kAttributeFailed) {
            store.used = mark;
            break;
        }
        ++attrCount;
    }
    attributeText[store.used] = '\0';
    rawText[0] = '<';
    rawText[1 + close - tagStart] = '>';
    rawText[2 + close - tagStart] = '\0';
    rawLength = static_cast<int32_t>(close - tagStart + 2);
    return 0;
}

bool TagScanner::isTag(const char* name) const {
    return equalsNoCase(tagName, name);
}

bool TagScanner::getAttribute(const char* name, char* out) const {
    out[0] = '\0';
    const char* value = attributeValue(name);
    if (value == nullptr || std::strlen(value) > size_t(kFieldChars)) return false;
    copyText(out, kFieldSize, value);
    return true;
}

const char* TagScanner::attributeValue(const char* name) const {
    const char* at = attributeText;
    for (int32_t i = 0; i < attrCount; ++i) {
        const char* value = at + std::strlen(at) + 1;
        if (equalsNoCase(at, name)) return value;
        at = value + std::strlen(value) + 1;
    }
    return nullptr;
}

namespace {

int TagBytes::skipBlanks() {
    int c;
    do {
        c = next();
    } while (c != -1 && isMarkupBlank(c));
    return c;
}

bool AttributeStore::add(int c) {
    if (used + 1 >= uint32_t(kAttributeTextBytes)) return false;
    text[used++] = static_cast<char>(c);
    return true;
}

void appendBounded(char* field, int& length, int c) {
    if (length < kFieldChars) field[length++] = static_cast<char>(c);
    field[length] = '\0';
}

// The position of the ">" that ends a tag (for a comment: that follows a
// hyphen) starting at from, or kNowhere. One search serves every later
// start up to the end it found.
uint32_t endOfTag(TagScanner& scanner, FileHandle file, uint32_t from, bool comment) {
    if (scanner.searchedFile != fileSerial(file)) {
        scanner.searchedFile = fileSerial(file);
        scanner.bracketSearchFrom = scanner.commentSearchFrom = kNowhere;
    }
    uint32_t& searchFrom = comment ? scanner.commentSearchFrom : scanner.bracketSearchFrom;
    uint32_t& endAt = comment ? scanner.commentEndAt : scanner.bracketAt;
    // A comment's hyphen must lie at or behind its start.
    bool known = searchFrom != kNowhere && from >= searchFrom &&
                 (endAt == kNowhere || from + (comment ? 1 : 0) <= endAt);
    if (!known) {
        searchFrom = from;
        endAt = searchEndOfTag(file, from, comment);
    }
    return endAt;
}

uint32_t searchEndOfTag(FileHandle file, uint32_t from, bool comment) {
    uint32_t saved = getFilePosition(file);
    uint32_t length = getFileLength(file);
    uint32_t found = kNowhere;
    int previous = -1;
    uint8_t block[4096];
    setFilePosition(file, from);
    for (uint32_t at = from; at < length && found == kNowhere;) {
        uint32_t n = length - at < sizeof block ? length - at : uint32_t(sizeof block);
        if (!readBytes(file, block, n)) break;
        for (uint32_t i = 0; i < n; ++i) {
            if (block[i] == '>' && (!comment || previous == '-')) {
                found = at + i;
                break;
            }
            previous = block[i];
        }
        at += n;
    }
    setFilePosition(file, saved);
    return found;
}

int readAttribute(TagBytes& tag, AttributeStore& store) {
    int c = tag.skipBlanks();
    for (;;) {
        if (c == -1) return kAttributeFailed;
        if (c == '>') return kTagEnds;
        if (c == '=') break;
        if (isMarkupBlank(c)) {
            int next = tag.skipBlanks();
            if (next == '=') break;
            // A name without a value: the byte behind the blanks starts the
            // next attribute (or ends the tag).
            if (next != -1) tag.back();
            return store.end() && store.end() ? kAttributeRead : kAttributeFailed;
        }
        if (!store.add(upperAscii(static_cast<char>(c)))) return kAttributeFailed;
        c = tag.next();
    }
    if (!store.end()) return kAttributeFailed;

    uint32_t valueStart = store.used;
    c = tag.skipBlanks();
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
        if (!store.add(c)) return kAttributeFailed;
    }
    for (;;) {
        c = tag.next();
        if (c == -1) return kAttributeFailed;
        if (unquoted) {
            if (isMarkupBlank(c)) break;
            if (c == '>') {
                tag.back();
                break;
            }
        } else if (c == closing || c == otherClosing) {
            break;
        }
        if (!store.add(c)) return kAttributeFailed;
    }
    while (store.used > valueStart && store.text[store.used - 1] == kBlank) --store.used;
    return store.end() ? kAttributeRead : kAttributeFailed;
}

// A comment runs to the first "->"; its first 255 bytes are kept, upper-cased
// as the name and unchanged in rawText.
int readComment(TagScanner& scanner, FileHandle file) {
    uint32_t from = getFilePosition(file);
    uint32_t end = endOfTag(scanner, file, from, true);
    if (end == kNowhere) {
        scanner.failure = TagFailure::unclosed;
        setFilePosition(file, getFileLength(file));
        return -1;
    }
    uint32_t kept = end - from < uint32_t(kFieldChars) ? end - from : uint32_t(kFieldChars);
    if (!readBytes(file, scanner.rawText + 1, kept)) kept = 0;
    scanner.rawText[0] = '<';
    scanner.rawText[1 + kept] = '\0';
    copyText(scanner.tagName, scanner.rawText + 1);
    toUpperInPlace(scanner.tagName);
    scanner.rawText[1 + kept] = '>';
    scanner.rawText[2 + kept] = '\0';
    scanner.rawLength = static_cast<int32_t>(kept + 2);
    scanner.isComment = true;
    setFilePosition(file, end + 1);
    return static_cast<int>(kept);
}

}  // namespace
