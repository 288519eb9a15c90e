#include "HtmlImport.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "GeneratedPages.h"
#include "model/CommandLinePath.h"
#include "model/Paths.h"
#include "model/TagScanner.h"
#include "model/Text.h"

namespace {

// Longer names are no heading's: the tag is text.
constexpr int kMaxTagText = 21;

bool skipToBody(ImportJob& job);
int plainLessThan(ImportJob& job, uint32_t afterLessThan, char* out);
int pendingByte(ImportJob& job, char* out);
int readOtherTag(ImportJob& job, const char* tagText, uint32_t afterLessThan, char* out);
void notePicture(ImportJob& job, const char* src);
bool pointAtContentFile(ImportJob& job, const TagScanner& tag, const char* href);
bool pathInsideSource(const char* address, char* out);
bool inFolder(const char* folder, const char* path, char* out);
bool copyPicture(ImportJob& job, int32_t i, const char* from, const char* to);
bool sameBytes(const char* first, const char* second);
void writeAnchor(ImportJob& job, const char* name);
int hexValue(char c);
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
    if (job.pendingAt < job.pendingLength) return pendingByte(job, out);
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
        // A NUL makes the tag no heading and no end of the body.
        if (next <= 0 || length == kMaxTagText) return plainLessThan(job, afterLessThan, out);
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
    if (!isHeadingTag(job, tagText, &entry)) {
        if (isMarkupBlank(next)) return readOtherTag(job, tagText, afterLessThan, out);
        return plainLessThan(job, afterLessThan, out);
    }
    if (next != '>' && !skipToTagEnd(job.source)) return plainLessThan(job, afterLessThan, out);
    // Behind a ">" every search for the end tag reads the same tags, so one
    // that ran to the end of the source answers for every later start tag.
    uint32_t textStart = getFilePosition(job.source);
    uint32_t& missingFrom = job.headingEndMissingFrom[entry];
    if (textStart >= missingFrom) return plainLessThan(job, afterLessThan, out);
    char endTag[kHeadingTagSize + 1] = "/";
    appendText(endTag, job.headingTags.tags[entry]);
    if (readTextUntilTag(job.source, endTag, out) != 1) {
        if (getFilePosition(job.source) >= getFileLength(job.source)) missingFrom = textStart;
        return plainLessThan(job, afterLessThan, out);
    }
    job.headingFrom = afterLessThan - 1;
    job.headingTo = getFilePosition(job.source);
    return 1;
}

void writeAuthorAnchors(ImportJob& job) {
    if (job.headingTo <= job.headingFrom) return;
    uint32_t saved = getFilePosition(job.source);
    setFilePosition(job.source, job.headingFrom);
    TagScanner& tag = job.tagScanner;
    for (int c = readChar(job.source); c >= 0 && getFilePosition(job.source) <= job.headingTo;
         c = readChar(job.source)) {
        if (c != '<') continue;
        uint32_t behind = getFilePosition(job.source);
        if (tag.readTag(job.source) == -1) {
            setFilePosition(job.source, behind);
            continue;
        }
        const char* name = tag.isTag("A") ? tag.attributeValue("NAME") : nullptr;
        const char* id = tag.attributeValue("ID");
        if (name != nullptr) writeAnchor(job, name);
        if (id != nullptr && (name == nullptr || std::strcmp(id, name) != 0)) writeAnchor(job, id);
    }
    setFilePosition(job.source, saved);
}

bool copySourcePictures(ImportJob& job) {
    char sourceFolder[kPathSize];
    folderOfPath(job.sourcePath, sourceFolder);
    for (int32_t i = 0; i < job.pictureCount; ++i) {
        char from[kPathSize];
        char to[kPathSize];
        if (!inFolder(sourceFolder, job.pictures[i], from) || !inFolder(job.destinationFolder, job.pictures[i], to)) {
            setLastError(job, {"The picture path is too long : ", job.pictures[i]});
            job.failed = true;
            return false;
        }
        if (equalsNoCase(from, to)) continue;
        if (!copyPicture(job, i, from, to)) return false;
    }
    return true;
}

const char* pictureMediaType(const char* path) {
    const std::pair<const char*, const char*> types[] = {{".gif", "image/gif"}, {".jpg", "image/jpeg"},
                                                         {".jpeg", "image/jpeg"}, {".png", "image/png"},
                                                         {".svg", "image/svg+xml"}};
    for (const auto& [suffix, type] : types)
        if (endsWithNoCase(path, suffix)) return type;
    return "application/octet-stream";
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
        if (scanner.isTag("BODY")) return true;
    }
}

int pendingByte(ImportJob& job, char* out) {
    out[0] = job.pendingText[job.pendingAt++];
    out[1] = '\0';
    return 0;
}

// Tags other than headings are copied as they stand, but a picture is noted
// for the package, and a link to the source itself is pointed at the
// content file that now holds the source's text.
int readOtherTag(ImportJob& job, const char* tagText, uint32_t afterLessThan, char* out) {
    bool picture = std::string_view(tagText) == "IMG";
    if (!picture && std::string_view(tagText) != "A") return plainLessThan(job, afterLessThan, out);
    setFilePosition(job.source, afterLessThan);
    TagScanner& tag = job.tagScanner;
    if (tag.readTag(job.source) == -1) return plainLessThan(job, afterLessThan, out);
    if (picture) {
        const char* src = tag.attributeValue("SRC");
        if (src != nullptr && job.running) notePicture(job, src);
        return plainLessThan(job, afterLessThan, out);
    }
    const char* href = tag.attributeValue("HREF");
    if (href == nullptr || !pointAtContentFile(job, tag, href)) return plainLessThan(job, afterLessThan, out);
    return pendingByte(job, out);
}

void notePicture(ImportJob& job, const char* src) {
    char path[kPathSize];
    char sourceFolder[kPathSize];
    char file[kPathSize];
    folderOfPath(job.sourcePath, sourceFolder);
    // Links are followed too: a picture that leads out of the source's folder is not copied.
    if (!pathInsideSource(src, path) || !inFolder(sourceFolder, path, file) || !isReadableFile(file) ||
        !isInsideFolder(sourceFolder, file))
        return;
    // The import's own pages are listed as what they are.
    char copy[kPathSize];
    char content[kPathSize];
    bool named = inFolder(job.destinationFolder, path, copy) &&
                 inFolder(job.destinationFolder, job.contentFiles[1], content);
    for (const char* page : {job.packagePath, job.tocPath, job.coverPath, job.biographyPath, content})
        if (!named || equalsNoCase(copy, page)) return;
    for (int32_t i = 0; i < job.pictureCount; ++i)
        if (equalsNoCase(job.pictures[i], path)) return;
    if (job.pictureCount == kMaxPictures) {
        // The package could not list it; nothing is left out unsaid.
        if (!job.failed)
            setLastError(job, {"The source uses more pictures than a package lists (495) : ", path});
        job.failed = true;
        return;
    }
    copyText(job.pictures[job.pictureCount++], path);
}

// The tag with its address's path replaced by the content file's name, as
// pending bytes; false when the address names another file.
bool pointAtContentFile(ImportJob& job, const TagScanner& tag, const char* href) {
    char path[kPathSize];
    char sourceName[kPathSize];
    fileNameOfPath(job.sourcePath, sourceName);
    if (!pathInsideSource(href, path) || !equalsNoCase(path, sourceName)) return false;
    size_t pathLength = std::strcspn(href, "#");
    const char* raw = tag.rawText;
    // The value as written stands behind the attribute's name and "=".
    for (const char* at = raw; (at = std::strpbrk(at + 1, "hH")) != nullptr;) {
        if (!startsWithNoCase(at, "href") || !isMarkupBlank(at[-1])) continue;
        const char* value = at + 4;
        while (isMarkupBlank(*value)) ++value;
        if (*value++ != '=') continue;
        while (isMarkupBlank(*value)) ++value;
        if (*value == '"' || *value == '\'') ++value;
        if (std::strncmp(value, href, pathLength) != 0) continue;
        char address[3 * kPathSize] = "";
        if (!appendAddress(address, sizeof address, job.contentFiles[1])) return false;
        std::string_view before(raw, size_t(value - raw));
        std::string_view name(address);
        std::string_view after(value + pathLength, size_t(tag.rawLength) - size_t(value + pathLength - raw));
        if (before.size() + name.size() + after.size() > sizeof job.pendingText) return false;
        char* out = job.pendingText;
        for (std::string_view piece : {before, name, after}) out = std::copy(piece.begin(), piece.end(), out);
        job.pendingLength = int32_t(out - job.pendingText);
        job.pendingAt = 0;
        return true;
    }
    return false;
}

// A relative address that stays inside the source's folder, as a path with
// "/" between its parts: its entities and escapes decoded, its fragment and
// query left out.
bool pathInsideSource(const char* address, char* out) {
    char text[kFieldSize];
    if (!copyText(text, address)) return false;
    decodeEntities(text);
    text[std::strcspn(text, "#?")] = '\0';
    char* kept = text;
    for (const char* c = text; *c != '\0'; ++c) {
        int high = hexValue(c[1]);
        int low = high < 0 ? -1 : hexValue(c[2]);
        if (*c == '%' && low >= 0) {
            *kept++ = char(high * 16 + low);
            c += 2;
        } else {
            *kept++ = *c;
        }
    }
    *kept = '\0';
    if (text[0] == '\0' || text[0] == '/' || text[0] == '\\' || std::strchr(text, ':') != nullptr) return false;
    out[0] = '\0';
    int depth = 0;
    for (char* part = text; *part != '\0';) {
        size_t length = std::strcspn(part, "/\\");
        char* next = part[length] == '\0' ? part + length : part + length + 1;
        part[length] = '\0';
        if (std::strcmp(part, "..") == 0) {
            if (depth-- == 0) return false;
            char* slash = std::strrchr(out, '/');
            *(slash != nullptr ? slash : out) = '\0';
        } else if (length > 0 && std::strcmp(part, ".") != 0) {
            if ((depth++ > 0 && !appendText(out, kPathSize, "/")) || !appendText(out, kPathSize, part))
                return false;
        }
        part = next;
    }
    return depth > 0;
}

// The folder (with its trailing separator) followed by the path, its "/" as backslashes.
bool inFolder(const char* folder, const char* path, char* out) {
    if (!copyText(out, kPathSize, folder) || !appendText(out, kPathSize, path)) return false;
    for (char* c = out + std::strlen(folder); *c != '\0'; ++c)
        if (*c == '/') *c = '\\';
    return true;
}

bool copyPicture(ImportJob& job, int32_t i, const char* from, const char* to) {
    // The folders on the way, made as the source has them.
    for (char* c = std::strchr(job.pictures[i], '/'); c != nullptr; c = std::strchr(c + 1, '/')) {
        *c = '\0';
        char folder[kPathSize];
        bool made = inFolder(job.destinationFolder, job.pictures[i], folder) && makeFolder(folder);
        *c = '/';
        if (!made) {
            setLastError(job, {"Unable to create the folder : ", programPathForDisplay(folder).c_str(), " (",
                               lastFileError(), ")"});
            job.failed = true;
            return false;
        }
    }
    if (fileExists(to) && !job.replaceExisting) {
        if (sameBytes(from, to)) return true;
        setLastError(job, {kPageExistsMessage, programPathForDisplay(to).c_str()});
        job.failed = true;
        return false;
    }
    // Written beside and renamed, as every page: a link at the target is replaced, never followed.
    FileHandle source = openFile(from, OpenMode::read);
    SafeFile target;
    bool ok = source != kInvalidFileHandle && openSafeFile(target, to);
    char block[4096];
    for (uint32_t left = ok ? getFileLength(source) : 0; ok && left > 0;) {
        uint32_t n = left < sizeof block ? left : uint32_t(sizeof block);
        ok = readBytes(source, block, n) && writeBytes(target.file, block, n);
        left -= n;
    }
    closeFile(source);
    if (ok) {
        ok = commitSafeFile(target, job.replaceExisting);
    } else {
        abandonSafeFile(target);
    }
    if (ok) job.created.add(job.pictures[i], job.destinationFolder);
    if (!ok) {
        setLastError(job, {"Unable to write the picture file : ", programPathForDisplay(to).c_str(), " (",
                           lastFileError(), ")"});
        job.failed = true;
    }
    return ok;
}

bool sameBytes(const char* first, const char* second) {
    FileHandle a = openFile(first, OpenMode::read);
    FileHandle b = openFile(second, OpenMode::read);
    bool same = a != kInvalidFileHandle && b != kInvalidFileHandle && getFileLength(a) == getFileLength(b);
    char x[4096];
    char y[4096];
    for (uint32_t left = same ? getFileLength(a) : 0; same && left > 0;) {
        uint32_t n = left < sizeof x ? left : uint32_t(sizeof x);
        same = readBytes(a, x, n) && readBytes(b, y, n) && std::memcmp(x, y, n) == 0;
        left -= n;
    }
    closeFile(a);
    closeFile(b);
    return same;
}

void writeAnchor(ImportJob& job, const char* name) {
    // As the source's links to it reach the page: in the 8-bit text.
    char converted[4 * kFieldSize];
    if (job.utf8Source && utf8ToAnsi(name, converted, sizeof converted)) name = converted;
    OutputBuffer& content = job.contentWriter;
    content.writeString("<a name=\"");
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c == '"')
            content.writeString("&quot;");
        else
            content.write(c, 1);
    }
    content.writeString("\"></a>");
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    char upper = upperAscii(c);
    return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

int plainLessThan(ImportJob& job, uint32_t afterLessThan, char* out) {
    setFilePosition(job.source, afterLessThan);
    out[0] = '<';
    out[1] = '\0';
    return 0;
}

// Behind the ">" that ends the tag; one inside a quoted value does not. A
// tag longer than the scanner takes is none.
bool skipToTagEnd(FileHandle file) {
    int quote = 0;
    int read = 0;
    for (int c = readChar(file); c >= 0 && ++read < kRawTextBytes; c = readChar(file)) {
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
