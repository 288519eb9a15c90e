// The state of one import: what the wizard (or the command line) chose, the
// open files and the publication being built. One job lives for the whole
// run; it is large (it holds a Publication), so keep it in static storage or
// on the heap.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "model/CreatedFiles.h"
#include "model/Files.h"
#include "model/OutputBuffer.h"
#include "model/Paths.h"
#include "model/Publication.h"
#include "model/Text.h"
#include "model/TagScanner.h"

constexpr int kSearchPatternSize = 258;
// As much text as the package's rights value holds, and the terminator.
constexpr int kRightsTextSize = kValueSize;
constexpr int kHeadingTagSlots = 10;
constexpr int kHeadingTagSize = 10;
// Cover, table of contents and biography take three manifest items; the
// manifest keeps at most 499.
constexpr int kMaxContentFiles = kManifestSlots - 1 - 3;
constexpr int32_t kDefaultSplitSize = 100;
// An HTML import writes one content file; its pictures take the rest.
constexpr int kMaxPictures = kManifestSlots - 1 - 4;

// A PalmDOC e-book is read whole (PalmDocImport.h), not step by step.
enum class SourceKind : uint8_t { text = 0, html = 1, palmDoc = 2 };

enum class LineEndMode : uint8_t {
    allCarriageReturns = 0,   // every line end is meaningful
    ignoreSingleReturns = 1,  // single line ends are only screen width
};

struct HeadingTagList {
    char tags[kHeadingTagSlots][kHeadingTagSize];
    int32_t count;
};

struct ImportJob {
    char sourcePath[kPathSize];
    char destinationFolder[kPathSize];  // always ends with a backslash
    LineEndMode lineEndMode;
    bool suppressHyphen;
    char searchPattern[kSearchPatternSize];
    int32_t searchPatternLength;
    SourceKind sourceKind;
    char bookTitle[kFieldSize];
    char authorName[kFieldSize];
    char rightsText[kRightsTextSize];
    bool addRights;
    bool addBiography;
    int32_t splitSize;  // kilobytes of plain text per content file
    char lastError[kFieldSize];
    char packagePath[kPathSize];
    char tocPath[kPathSize];
    char coverPath[kPathSize];
    char biographyPath[kPathSize];
    char contentFiles[kMaxContentFiles + 1][kPathSize];  // entry 1 upward
    int32_t contentFileCount;
    FileHandle source;
    OutputBuffer tocWriter;
    OutputBuffer contentWriter;
    Publication publication;
    int32_t charactersInContentFile;
    char baseName[kPathSize];
    int32_t lineEndRun;
    bool paragraphOpen;
    int32_t chapterCounter;
    HeadingTagList headingTags;
    // Per heading tag: from this position of the source on, no end tag of
    // it follows (a search ran to the end), so a later start tag of the
    // same name is text at once. Reset when the source is opened.
    uint32_t headingEndMissingFrom[kHeadingTagSlots];
    char heading[kFieldSize];
    // The source's characters are UTF-8 (a byte-order mark, a declaration,
    // or for text, bytes that are UTF-8 throughout): the pages get them in
    // the 8-bit text, Windows-1252 and references, and say so.
    bool utf8Source;
    // The character behind a plain unit of the text import: its byte, or
    // one that needs a reference (ansiCharacterOf).
    int32_t plainCharacter;
    // Converts the bytes the HTML import copies from a UTF-8 source.
    Utf8ToAnsi htmlDecoder;
    // Of an HTML heading just read: where its start tag's "<" and its end
    // tag's end lie, for the anchors the author set inside it.
    uint32_t headingFrom;
    uint32_t headingTo;
    // Pictures of an HTML source, paths inside its folder with "/" between
    // their parts, in the order first met; copied and listed at the end.
    char pictures[kMaxPictures][kPathSize];
    int32_t pictureCount;
    // A tag of the source rewritten, given out byte by byte.
    char pendingText[kRawTextBytes + 4 * kPathSize];
    int32_t pendingAt;
    int32_t pendingLength;
    TagScanner tagScanner;
    bool contentWriterOpen;
    bool tocWriterOpen;
    // Between a successful start and the end of the finishing sequence.
    bool running;
    // Set when a page could not be created or written after the start; the
    // last error says which.
    bool failed;
    // The user allows the import to replace files of the names it writes;
    // otherwise an existing one stops it before anything is written.
    bool replaceExisting;
    // A search that finds no chapter fails the import (the command line's
    // rule, where a mistyped search string would go unnoticed).
    bool chapterRequired;
    // What this import has created, removed again when it fails.
    CreatedFiles created;

    ImportJob();
    ImportJob(const ImportJob&) = delete;
    ImportJob& operator=(const ImportJob&) = delete;

    // The values before each wizard run; the source path of the previous
    // import is kept. Open files are closed.
    void reset();
};

// "\n" becomes CR LF; everything else is kept as typed.
void compileSearchString(ImportJob& job, const char* typed);
// Splits at ";", "," and blanks, upper case. False (and an empty list) when
// there are more than 10 tags or one is longer than 9 characters.
bool parseHeadingTags(ImportJob& job, const char* typed);
void setSourcePath(ImportJob& job, const char* path);
// Stores the folder with a trailing backslash; false when it does not fit.
bool setDestinationFolder(ImportJob& job, const char* folder);
void deriveBaseName(ImportJob& job);
// The destination names an existing folder (a file of that name does not).
bool destinationIsFolder(const ImportJob& job);
// Nothing at all exists where the destination points.
bool destinationIsMissing(const ImportJob& job);
// A file (not a folder) that can be opened for reading.
bool isReadableFile(const char* path);
// The whole file; false (and no text) when it cannot be read or holds more
// than kRightsTextSize - 1 bytes, which would not be kept whole.
bool loadRightsText(ImportJob& job, const char* path);

// The last error, the pieces one after the other, cut to the field.
void setLastError(ImportJob& job, std::initializer_list<const char*> pieces);

// Opens the source for reading and learns whether its characters are UTF-8
// (a byte-order mark is passed over); on failure the last error names it.
bool openSource(ImportJob& job);
void closeSource(ImportJob& job);
