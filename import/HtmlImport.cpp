#include "HtmlImport.h"

#include <string_view>

#include "GeneratedPages.h"
#include "model/CommandLinePath.h"
#include "model/TagScanner.h"
#include "model/Text.h"

namespace {

// Longer names are no heading's: the tag is text.
constexpr int kMaxTagText = 21;

bool skipToBody(ImportJob& job);
int plainLessThan(ImportJob& job, uint32_t afterLessThan, char* out);
bool isHeadingTag(const ImportJob& job, const char* tagText, int* entry);
bool skipToTagEnd(FileHandle file);

}  // namespace

bool passOverHead(ImportJob& job) {
    if (skipToBody(job)) return true;
    setLastError(job, {"Error while importing the HTML file ", programPathForDisplay(job.sourcePath).c_str(),
                       " : could not find the ", "BODY", " tag"});
    return false;
}

int readHtmlUnit(ImportJob& job, char* out) {
    int c = readChar(job.source);
    if (c < 0) {
        closeSource(job);
        return -1;
    }
    out[0] = char(c);
    out[1] = '\0';
    if (c != '<') return 0;
    uint32_t afterLessThan = getFilePosition(job.source);
    char tagText[kMaxTagText + 1];
    int length = 0;
    int next = readCharSkipping(job.source, ' ');
    for (; next != '>' && !isMarkupBlank(next); next = readChar(job.source)) {
        // A tag that the end of the source cuts short is copied as text.
        if (next < 0 || length == kMaxTagText) return plainLessThan(job, afterLessThan, out);
        tagText[length++] = char(next);
    }
    tagText[length] = '\0';
    toUpperInPlace(tagText);
    if (next == '>' && std::string_view(tagText) == "/BODY") {
        closeSource(job);
        return -1;
    }
    // A heading matches by its name, whatever its attributes.
    int entry = 0;
    if (!isHeadingTag(job, tagText, &entry)) return plainLessThan(job, afterLessThan, out);
    if (next != '>' && !skipToTagEnd(job.source)) return plainLessThan(job, afterLessThan, out);
    char endTag[kHeadingTagSize + 1] = "/";
    appendText(endTag, job.headingTags.tags[entry]);
    if (readTextUntilTag(job.source, endTag, out) != 1) return plainLessThan(job, afterLessThan, out);
    return 1;
}

namespace {

bool skipToBody(ImportJob& job) {
    setFilePosition(job.source, 0);
    TagScanner scanner;
    for (;;) {
        if (scanner.nextTag(job.source) < 0) {
            // A tag too long to read is passed over; only the end of the
            // source ends the search.
            if (getFilePosition(job.source) >= getFileLength(job.source)) return false;
            continue;
        }
        if (scanner.isTag("BODY")) {
            // An attribute the scanner could not read (a value of 255 bytes
            // or more) leaves the position inside the tag: the rest of the
            // tag is not body text.
            if (unreadChar(job.source) == '>') {
                readChar(job.source);
                return true;
            }
            readChar(job.source);
            for (int c = readChar(job.source); c != '>'; c = readChar(job.source)) {
                if (c < 0) return false;
            }
            return true;
        }
    }
}

int plainLessThan(ImportJob& job, uint32_t afterLessThan, char* out) {
    setFilePosition(job.source, afterLessThan);
    out[0] = '<';
    out[1] = '\0';
    return 0;
}

// Behind the ">" that ends the tag; one inside a quoted value does not.
bool skipToTagEnd(FileHandle file) {
    int quote = 0;
    for (int c = readChar(file); c >= 0; c = readChar(file)) {
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return true;
        }
    }
    return false;
}

bool isHeadingTag(const ImportJob& job, const char* tagText, int* entry) {
    for (int i = 0; i < job.headingTags.count; ++i) {
        if (std::string_view(tagText) == job.headingTags.tags[i]) {
            *entry = i;
            return true;
        }
    }
    return false;
}

}  // namespace
