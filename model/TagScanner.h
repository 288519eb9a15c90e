// Markup read straight from an open file and its position. Callers mix their
// own reads and seeks with these calls on the same file, so every operation
// leaves the position exactly where its comment says.
#pragma once

#include <cstdint>

#include "Files.h"
#include "Text.h"

// One byte (0 to 255) and advance; -1 at the end of the file.
int readChar(FileHandle file);
// Back one byte; the byte now under the position, or -1.
int unreadChar(FileHandle file);
int readCharSkipping(FileHandle file, int c);
int unreadCharSkipping(FileHandle file, int c);
// Bytes up to the delimiter (left unread) into out, CR and LF dropped: 1.
// At the end of the file 0 and out is not terminated. out holds
// outCapacity bytes; bytes beyond it are read and dropped.
int readUntil(FileHandle file, char* out, int delimiter, int outCapacity = kFieldSize);
// Text up to the tag whose name equals tagText ignoring case, other tags and
// line ends left out: 1 with the position behind that tag; 0 at the end of
// the file or when a 256th byte would be stored. out: 256 bytes.
int readTextUntilTag(FileHandle file, const char* tagText, char* out);

constexpr int kAttributeSlots = 10;
constexpr int kMaxAttributes = 9;
constexpr int kRawTextBytes = 5120;

struct TagScanner {
    char tagName[kFieldSize];
    struct {
        char attrName[kFieldSize];
        char attrValue[kFieldSize];
    } attributes[kAttributeSlots];
    int32_t attrCount;
    char rawText[kRawTextBytes + 2];

    TagScanner();

    // Skips to the next "<" and reads that tag; -1 at the end of the file.
    int nextTag(FileHandle file);
    // Reads a tag whose "<" was just consumed; -1 when none could be read.
    int readTag(FileHandle file);
    bool isTag(const char* name) const;
    bool getAttribute(const char* name, char* out) const;  // out: 256 bytes
};
