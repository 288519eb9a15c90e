#include "ImportJob.h"

#include <cstring>

#include "model/Charset.h"
#include "model/CommandLinePath.h"
#include "model/Paths.h"
#include "model/Text.h"

namespace {

bool isTagSeparator(char c);
bool sourceIsUtf8(ImportJob& job);
void keepUtf8AsAnsi(char* text, size_t capacity);
// The destination without its trailing backslash; a drive root keeps it.
void bareDestination(const ImportJob& job, char* out);

}  // namespace

ImportJob::ImportJob() {
    std::memset(sourcePath, 0, sizeof sourcePath);
    source = 0;
    contentWriterOpen = tocWriterOpen = false;
    running = false;
    replaceExisting = false;
    chapterRequired = false;
    reset();
}

void ImportJob::reset() {
    closeSource(*this);
    if (contentWriterOpen) contentWriter.abandon();
    if (tocWriterOpen) tocWriter.abandon();
    contentWriterOpen = tocWriterOpen = false;
    destinationFolder[0] = '\0';
    lineEndMode = LineEndMode::ignoreSingleReturns;
    suppressHyphen = true;
    searchPattern[0] = '\0';
    searchPatternLength = 0;
    sourceKind = SourceKind::text;
    bookTitle[0] = authorName[0] = rightsText[0] = '\0';
    addRights = false;
    addBiography = false;
    replaceExisting = false;
    chapterRequired = false;
    splitSize = kDefaultSplitSize;
    lastError[0] = '\0';
    packagePath[0] = tocPath[0] = coverPath[0] = biographyPath[0] = '\0';
    for (auto& name : contentFiles) name[0] = '\0';
    contentFileCount = 0;
    publication.clear();
    charactersInContentFile = 0;
    deriveBaseName(*this);
    lineEndRun = 0;
    paragraphOpen = false;
    chapterCounter = 0;
    headingTags.count = 0;
    heading[0] = '\0';
    utf8Source = false;
    plainCharacter = 0;
    htmlDecoder = Utf8ToAnsi();
    headingFrom = headingTo = 0;
    pictureCount = 0;
    pendingAt = pendingLength = 0;
    running = false;
    failed = false;
}

void compileSearchString(ImportJob& job, const char* typed) {
    int length = 0;
    for (const char* c = typed; *c != '\0' && length < kSearchPatternSize - 2; ++c) {
        if (c[0] == '\\' && c[1] == 'n') {
            job.searchPattern[length++] = '\r';
            job.searchPattern[length++] = '\n';
            ++c;
        } else {
            job.searchPattern[length++] = *c;
        }
    }
    job.searchPattern[length] = '\0';
    job.searchPatternLength = length;
}

bool parseHeadingTags(ImportJob& job, const char* typed) {
    HeadingTagList& list = job.headingTags;
    list.count = 0;
    const char* c = typed;
    while (*c != '\0') {
        while (*c != '\0' && isTagSeparator(*c)) ++c;
        const char* start = c;
        while (*c != '\0' && !isTagSeparator(*c)) ++c;
        size_t length = size_t(c - start);
        if (length == 0) continue;
        if (list.count == kHeadingTagSlots || length > kHeadingTagSize - 1) {
            list.count = 0;
            return false;
        }
        char* tag = list.tags[list.count++];
        for (size_t i = 0; i < length; ++i) tag[i] = upperAscii(start[i]);
        tag[length] = '\0';
    }
    return true;
}

void setSourcePath(ImportJob& job, const char* path) {
    copyText(job.sourcePath, path);
    deriveBaseName(job);
}

bool setDestinationFolder(ImportJob& job, const char* folder) {
    bool fits = copyText(job.destinationFolder, folder);
    size_t length = std::strlen(job.destinationFolder);
    if (length == 0 ||
        (job.destinationFolder[length - 1] != '\\' && job.destinationFolder[length - 1] != '/'))
        fits = appendText(job.destinationFolder, "\\") && fits;
    return fits;
}

void deriveBaseName(ImportJob& job) {
    baseNameOfPath(job.sourcePath, job.baseName);
}

bool destinationIsFolder(const ImportJob& job) {
    char bare[kPathSize];
    bareDestination(job, bare);
    return fileExists(bare) && !isReadableFile(bare);
}

bool destinationIsMissing(const ImportJob& job) {
    char bare[kPathSize];
    bareDestination(job, bare);
    return bare[0] != '\0' && !fileExists(bare);
}

bool isReadableFile(const char* path) {
    FileHandle file = openFile(path, OpenMode::read);
    if (file == kInvalidFileHandle) return false;
    closeFile(file);
    return true;
}

bool loadRightsText(ImportJob& job, const char* path) {
    job.rightsText[0] = '\0';
    FileHandle file = openFile(path, OpenMode::read);
    if (file == kInvalidFileHandle) return false;
    uint32_t length = getFileLength(file);
    bool ok = length <= kRightsTextSize - 1 && readBytes(file, job.rightsText, length);
    closeFile(file);
    job.rightsText[ok ? length : 0] = '\0';
    if (ok) keepUtf8AsAnsi(job.rightsText, sizeof job.rightsText);
    return ok;
}

bool openSource(ImportJob& job) {
    closeSource(job);
    for (uint32_t& from : job.headingEndMissingFrom) from = UINT32_MAX;
    job.pendingAt = job.pendingLength = 0;
    job.source = openFile(job.sourcePath, OpenMode::read);
    if (job.source != kInvalidFileHandle) {
        job.utf8Source = sourceIsUtf8(job);
        job.htmlDecoder = Utf8ToAnsi();
        return true;
    }
    job.source = 0;
    setLastError(job, {"Unable to open the file : ", programPathForDisplay(job.sourcePath).c_str(), " (",
                       lastFileError(), ")"});
    return false;
}

void setLastError(ImportJob& job, std::initializer_list<const char*> pieces) {
    job.lastError[0] = '\0';
    for (const char* piece : pieces) appendText(job.lastError, piece);
}

void closeSource(ImportJob& job) {
    closeFile(job.source);
    job.source = 0;
}

namespace {

bool isTagSeparator(char c) {
    return c == ';' || c == ',' || c == ' ';
}

// A byte-order mark is passed over. Without one, an HTML source says so
// before its body, as the build reads it; a text must be UTF-8 throughout.
bool sourceIsUtf8(ImportJob& job) {
    if (skipByteOrderMark(job.source)) return true;
    if (job.sourceKind == SourceKind::text) return isUtf8File(job.source);
    TagScanner scanner;
    bool declared = false;
    for (;;) {
        // A tag too long to read is passed over, as on the way to the body.
        if (scanner.nextTag(job.source) == -1) {
            if (getFilePosition(job.source) >= getFileLength(job.source)) break;
            continue;
        }
        if (scanner.isTag("BODY")) break;
        declared = declaresUtf8(scanner);
        if (declared) break;
    }
    setFilePosition(job.source, 0);
    return declared;
}

// A text in UTF-8 (a byte-order mark, or UTF-8 but for a sequence cut at
// its end) is kept in the 8-bit text, as a UTF-8 source's characters are.
void keepUtf8AsAnsi(char* text, size_t capacity) {
    bool mark = std::strncmp(text, "\xEF\xBB\xBF", 3) == 0;
    Utf8Check check;
    for (const char* c = text; *c != '\0'; ++c) check.feed(uint8_t(*c));
    if (!mark && !(check.valid && check.beyondAscii)) return;
    char converted[kRightsTextSize];
    utf8ToAnsi(text + (mark ? 3 : 0), converted, sizeof converted);
    copyText(text, capacity, converted);
}

void bareDestination(const ImportJob& job, char* out) {
    copyText(out, kPathSize, job.destinationFolder);
    size_t length = std::strlen(out);
    if (length > 1 && out[length - 1] == '\\' && out[length - 2] != ':') out[length - 1] = '\0';
}

}  // namespace
