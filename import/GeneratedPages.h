// The pages around the imported text: cover, biography, table of contents,
// content file heads and tails, anchored headings, and the package document.
// Every page is written through an OutputBuffer into the destination folder.
#pragma once

#include "ImportJob.h"

constexpr int kLabelSize = 64;
// The start of the last error when a file of a page's name exists.
constexpr const char* kPageExistsMessage = "The file exists already : ";
constexpr const char* kNoChapterMessage = "No chapter heading was found in the source : ";
// A content file whose text is converted to Windows-1252 says so in its head.
constexpr const char* kConvertedContentHead =
    "<html>\n<head><meta http-equiv=\"Content-Type\" content=\"text/html; "
    "charset=windows-1252\"></head>\n<body>";
constexpr const char* kContentTail = "</body>\n</html>";
constexpr const char* kDocumentMediaType = "text/x-oeb1-document";

// Biography (when asked), cover, content file 1 and the table of contents
// head. A page that cannot be created stops here: false, the last error
// names it, and whatever was opened is closed again.
bool startPages(ImportJob& job);
// The paths of the pages from the destination and the base name; false
// with the last error set when they do not fit or there is no base name.
bool namePages(ImportJob& job);
// After namePages: true, with out (kPathSize) naming the page, when a page
// of this import would be its source itself, or a file that exists.
bool pageWouldReplaceSource(const ImportJob& job, char* out);
bool findExistingPage(const ImportJob& job, char* out);
// Page names come from the base name alone; a source name that gives none
// (empty, or dots only) would make nameless pages such as ".opf". False
// with the last error set.
bool checkBaseName(ImportJob& job);

// One byte of the text into the content file, as OutputBuffer::write would
// store it, without a library copy per byte: the imports write most of
// their output this way.
inline void writeContentByte(ImportJob& job, char c) {
    OutputBuffer& out = job.contentWriter;
    if (out.used + 1 < kOutputBufferSize) {
        out.buffer[out.used++] = uint8_t(c);
        return;
    }
    out.write(&c, 1);
}

void writeTocEntry(ImportJob& job, const char* headingText, const char* label);
void writeAnchoredHeading(ImportJob& job, const char* tagName, const char* headingText, const char* label);
// The next label, "Chap." and the chapter counter after incrementing it.
void chapterLabel(ImportJob& job, char* out /* kLabelSize bytes */);
// Heading and table of contents entry of one chapter, as both imports write
// them: the heading is markup, and CR and LF are taken out of it first.
void addChapter(ImportJob& job, char* headingText);

// False when the content file table is full: the text then stays in the
// current file.
bool canOpenAnotherContentFile(const ImportJob& job);
bool openNextContentFile(ImportJob& job);
void closeContentFile(ImportJob& job);
void closeTableOfContents(ImportJob& job);
bool writePackageDocument(ImportJob& job);

// The finishing sequence: rights section, close content file, close table
// of contents, package document. False (and job.failed) when any of it
// could not be written.
bool finishImport(ImportJob& job);
// Closes every file of a started import without writing the package and
// removes every file it created.
void abandonImport(ImportJob& job);
// Records a failure after the start ("message" then the path) and ends
// the import.
void failImport(ImportJob& job, const char* message, const char* path);

// Fills out with 10 characters from ")" to ":" and a terminator.
void makeUniqueIdentifier(char* out /* 11 bytes */);
