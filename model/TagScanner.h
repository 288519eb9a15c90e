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
// Text up to the tag whose name equals tagText ignoring case, other tags,
// line ends and NUL bytes left out: 1 with the position behind that tag; 0 at the end of
// the file or when a 256th byte would be stored. out: 256 bytes.
int readTextUntilTag(FileHandle file, const char* tagText, char* out);

// A tag's bytes from its "<" to its ">" (excluded); a longer one is no tag.
constexpr int kRawTextBytes = 5120;
// Names and values of every attribute a tag of kRawTextBytes can hold, each
// with its terminator: an attribute takes at least two bytes of the tag and
// at most three of the store.
constexpr int kAttributeTextBytes = kRawTextBytes / 2 * 3 + 8;

// Why readTag gave -1.
enum class TagFailure : uint8_t {
    none,
    unclosed,  // no ">" (for a comment no "->") follows in the file
    tooLong,   // the tag runs past kRawTextBytes before its ">"
};

struct TagScanner {
    char tagName[kFieldSize];
    // Every attribute of the tag, in order: its name in upper case and its
    // value as written, each terminated ("NAME\0value\0...").
    char attributeText[kAttributeTextBytes];
    int32_t attrCount;
    char rawText[kRawTextBytes + 2];
    // Bytes of rawText before its terminator; a NUL in a tag is one of them.
    int32_t rawLength;
    bool isComment;
    TagFailure failure;

    TagScanner();

    // Skips to the next "<" and reads that tag; -1 at the end of the file.
    int nextTag(FileHandle file);
    // Reads a tag whose "<" was just consumed; -1 (failure says why) when
    // none could be read, the position then being anywhere behind the "<".
    int readTag(FileHandle file);
    bool isTag(const char* name) const;
    // False (out empty) when the tag has no such attribute or its value is
    // longer than 255 bytes. out: 256 bytes.
    bool getAttribute(const char* name, char* out) const;
    // The whole value, or null when the tag has no such attribute.
    const char* attributeValue(const char* name) const;

    // Where the file was last searched for a tag's end: from searchFrom on
    // the first ">" (for a comment "->") ends at the position noted, or at
    // none. Callers that step back over a "<" that is no tag so find out
    // at once for every later "<", and a run of them costs no more than
    // one.
    uint64_t searchedFile;
    uint32_t bracketSearchFrom;
    uint32_t bracketAt;
    uint32_t commentSearchFrom;
    uint32_t commentEndAt;
};
