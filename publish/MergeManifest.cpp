// The manifest merge: the publication's head, its spine documents and the
// generated metadata page, copied into one intermediate file whose byte
// offsets are the e-book's text offsets.
#include <cstdio>
#include <cstring>

#include "BuildContext.h"
#include "BuildPages.h"
#include "EpubNavigation.h"
#include "Url.h"
#include "model/Charset.h"
#include "model/CommandLinePath.h"
#include "model/Paths.h"
#include "model/TagScanner.h"
#include "model/Text.h"

namespace {

// Builds in this run of the program; never reset, so two builds never
// share an intermediate file name.
int32_t intermediateFileCounter = 0;

bool createIntermediateFile(BuildContext& context);
bool checkManifestIds(BuildContext& context);
bool isMergedDocument(const char* path);
bool mergeGuideDocument(BuildContext& context);
void abandonIntermediateFile(BuildContext& context);
int32_t liveSpineCount(const Publication& publication);
bool copyTextDocument(BuildContext& context, FileHandle document);
void copyHtmlBody(BuildContext& context, FileHandle document, const char* path);
// Lines of a document up to countedTo.
struct LineCount {
    uint32_t countedTo = 0;
    int32_t line = 1;
};
int32_t lineAt(FileHandle document, LineCount& count, uint32_t position);
void reportAtLine(BuildContext& context, const char* path, int32_t line, const char* what);
const char* tooLongValue(const TagScanner& tag);
void stopConverting(BuildContext& context);

}  // namespace

int32_t intermediateFilesNamed() {
    return intermediateFileCounter;
}

bool BuildContext::mergeManifest() {
    Publication& pub = *publication;
    startProgress(liveSpineCount(pub));
    setProgress(1);
    setStatus(IDS_BUILD_MERGING);

    // The spine names items by id: with two of one id it cannot say which.
    if (!checkManifestIds(*this)) return false;
    // Every page of the build is linked by a path beside the package.
    char probe[kPathSize];
    if (!resolveAgainstPackage(pub, "xyz_metadata.htm", probe)) {
        reportPathMessage("The package path %s is too deep or too long for a build", pub.path);
        return false;
    }
    if (!createIntermediateFile(*this)) {
        char folder[kPathSize];
        folderOfPath(pub.path, folder);
        reportFileFailure("Error while creating the intermediate file in %s", folder);
        return false;
    }
    emit("<HTML><HEAD>");
    // The e-book's text is 8-bit: its characters are written as they are.
    pub.writeMetadataSection(intermediateFile, MarkupBytes::eightBit);
    if (!mergeGuideDocument(*this)) {
        abandonIntermediateFile(*this);
        return false;
    }
    emit("</HEAD><BODY>");

    int32_t position = 0;
    for (int32_t i = 0; i < pub.spineCount; ++i) {
        const SpineItem& item = pub.spine[i];
        if (!isLive(item.state)) continue;
        ++position;
        setProgress(position);
        setStatusAndNumber(IDS_BUILD_MERGING, position);
        if (item.manifestItem == nullptr || !isLive(item.manifestItem->state)) {
            char message[kBuildMessageSize];
            std::snprintf(message, sizeof message,
                          "The spine entry %s names no item of the manifest and is left out", item.idref);
            reportBuildMessage(message, kBuildWarningLevel);
            ++spineEntriesLeftOut;
            continue;
        }
        char documentPath[kPathSize];
        if (!resolveAgainstPackage(pub, item.manifestItem->href, documentPath)) {
            char message[kBuildMessageSize];
            std::snprintf(message, sizeof message,
                          "The address %s in the package %s gives a path too deep or too long to use",
                          item.manifestItem->href, programPathForDisplay(pub.path).c_str());
            reportBuildMessage(message, kBuildErrorLevel);
            closeFile(intermediateFile);
            intermediateFile = kInvalidFileHandle;
            return false;
        }
        const char* why = !isMergedDocument(documentPath) ? "only HTML and text documents are merged"
                          : !mayRead(documentPath)              ? kOutsideFolder
                                                                : nullptr;
        if (why != nullptr) {
            char message[kBuildMessageSize];
            std::snprintf(message, sizeof message, "The spine entry %s (%s) is left out: %s", item.idref,
                          item.manifestItem->href, why);
            reportBuildMessage(message, kBuildWarningLevel);
            ++spineEntriesLeftOut;
            continue;
        }
        if (!mergeDocument(documentPath)) {
            if (intermediateWriteFailed)
                reportFileFailure("Error while write to the intermediate file %s", intermediatePath);
            closeFile(intermediateFile);
            intermediateFile = kInvalidFileHandle;
            return false;
        }
    }

    // A package unpacked from an EPUB keeps the navigation it came with.
    if (!mergeInputContents(*this)) {
        abandonIntermediateFile(*this);
        return false;
    }
    if (!writeMetadataPage(*this)) {
        abandonIntermediateFile(*this);
        return false;
    }
    emit("</BODY></HTML>");
    if (intermediateWriteFailed) {
        reportFileFailure("Error while write to the intermediate file %s", intermediatePath);
        closeFile(intermediateFile);
        intermediateFile = kInvalidFileHandle;
        return false;
    }

    setStatus(IDS_BUILD_RESOLVING_LINKS);
    matchLinks();
    setStatus(IDS_BUILD_WRITING_LINKS);
    writeLinks();

    // The last buffered bytes reach the disk only now.
    bool closed = closeFile(intermediateFile);
    intermediateFile = kInvalidFileHandle;
    if (!closed || intermediateWriteFailed) {
        reportFileFailure("Error while write to the intermediate file %s", intermediatePath);
        return false;
    }
    return true;
}

bool BuildContext::mergeDocument(const char* path) {
    return mergeDocumentAs(path, path);
}

bool BuildContext::mergeBuildPage(bool written, const char* pagePath, const char* linkedName,
                                  const char* failureFormat) {
    char documentPath[kPathSize];
    resolveAgainstPackage(*publication, linkedName, documentPath);
    bool merged = false;
    if (!written)
        reportFileFailure(failureFormat, pagePath);
    else
        merged = mergeDocumentAs(pagePath, documentPath);
    deleteFile(pagePath);
    return merged;
}

bool BuildContext::mergeDocumentAs(const char* filePath, const char* path) {
    bool isText = endsWithNoCase(path, "txt");
    if (!isMergedDocument(path)) return true;
    // Checked before reading: positions in the intermediate file are 32-bit.
    uint64_t size = fileSize(filePath);
    if (size > kLargestEbookText) {
        reportPathMessage("The file %s is too large for an eBook (at most 65535 records of 4096 bytes)",
                          path);
        return false;
    }
    // The document would fit alone: it is the book that grows too large.
    if (getFileLength(intermediateFile) + size > kLargestEbookText) {
        char message[kBuildMessageSize];
        std::snprintf(message, sizeof message,
                      "The eBook of %s is too large (at most 65535 records of 4096 bytes): its text passes "
                      "that with %s",
                      programPathForDisplay(publication->path).c_str(), programPathForDisplay(path).c_str());
        reportBuildMessage(message, kBuildErrorLevel);
        return false;
    }
    FileHandle document = openFile(filePath, OpenMode::read);
    if (document == kInvalidFileHandle) {
        reportFileFailure("The file %s, referenced in the Manifest is not available", path);
        return false;
    }
    if (isText) {
        utf8 = skipByteOrderMark(document);
        bool copied = copyTextDocument(*this, document);
        stopConverting(*this);
        closeFile(document);
        return copied;
    }

    bool declaredUtf8 = skipByteOrderMark(document);
    TagScanner scanner;
    for (;;) {
        if (scanner.nextTag(document) == -1) {
            reportPathMessage(
                "The file %s, referenced in the Manifest is not a valid OEB Document : no tag "
                "<BODY> found",
                path);
            closeFile(document);
            return false;
        }
        if (scanner.isTag("BODY")) break;
        if (declaresUtf8(scanner)) declaredUtf8 = true;
    }
    addAnchor(path, "", static_cast<int32_t>(getFileLength(intermediateFile)));
    utf8 = declaredUtf8;
    copyHtmlBody(*this, document, path);
    stopConverting(*this);
    closeFile(document);
    return !intermediateWriteFailed;
}

namespace {

// HTML, XHTML and text documents; anything else has no place in the text.
bool isMergedDocument(const char* path) {
    return endsWithNoCase(path, "txt") || endsWithNoCase(path, "htm") || endsWithNoCase(path, "html");
}

bool checkManifestIds(BuildContext& context) {
    const Publication& pub = *context.publication;
    for (int32_t i = 0; i < pub.manifestCount; ++i) {
        const ManifestItem& item = pub.manifest[i];
        if (!isLive(item.state)) continue;
        for (int32_t j = i + 1; j < pub.manifestCount; ++j) {
            const ManifestItem& other = pub.manifest[j];
            if (!isLive(other.state) || !equalsNoCase(item.id, other.id)) continue;
            char message[kBuildMessageSize];
            std::snprintf(message, sizeof message,
                          "The manifest id %s is given to two items, %s and %s: each item needs an id of its own",
                          other.id, item.href, other.href);
            context.reportBuildMessage(message, kBuildErrorLevel);
            return false;
        }
    }
    return true;
}

bool createIntermediateFile(BuildContext& context) {
    context.intermediateWriteFailed = false;
    if (!context.openBuildFolder()) return false;
    context.intermediateFile =
        createBuildFile(context.work.path, "PRCtemp_", &intermediateFileCounter, context.intermediatePath);
    return context.intermediateFile != kInvalidFileHandle;
}

// The guide goes through the same merge as any document, so that its
// references become links like any other.
bool mergeGuideDocument(BuildContext& context) {
    char folder[kPathSize];
    folderOfPath(context.publication->path, folder);
    char pagePath[kPathSize];
    int32_t counter = 0;
    FileHandle guide = context.openBuildFolder()
                           ? createBuildFile(context.work.path, "PRCguide_", &counter, pagePath)
                           : kInvalidFileHandle;
    if (guide == kInvalidFileHandle) {
        context.reportFileFailure("The guide page could not be created in %s", folder);
        return false;
    }
    writeText(guide, "<HTML><BODY>");
    context.publication->writeGuideSection(guide, MarkupBytes::eightBit);
    writeText(guide, "<metadata href=\"xyz_metadata.htm\" />");
    writeText(guide, "</BODY></HTML>");
    return context.mergeBuildPage(closeFile(guide), pagePath, "guide.htm",
                                  "The guide page %s could not be written");
}

void abandonIntermediateFile(BuildContext& context) {
    closeFile(context.intermediateFile);
    context.intermediateFile = kInvalidFileHandle;
}

int32_t liveSpineCount(const Publication& publication) {
    int32_t count = 0;
    for (int32_t i = 0; i < publication.spineCount; ++i)
        if (isLive(publication.spine[i].state)) ++count;
    return count;
}

bool copyTextDocument(BuildContext& context, FileHandle document) {
    uint8_t block[4096];
    uint32_t used = 0;
    for (int c = readChar(document); c != -1; c = readChar(document)) {
        block[used++] = static_cast<uint8_t>(c);
        if (used == sizeof block) {
            context.emitBytes(block, used);
            used = 0;
        }
    }
    context.emitBytes(block, used);
    return !context.intermediateWriteFailed;
}

void copyHtmlBody(BuildContext& context, FileHandle document, const char* path) {
    TagScanner scanner;
    LineCount lines;
    for (int c = readChar(document); c != -1; c = readChar(document)) {
        if (c != '<') {
            char byte = static_cast<char>(c);
            context.emitBytes(&byte, 1);
            continue;
        }
        uint32_t behindBracket = getFilePosition(document);
        if (scanner.readTag(document) == -1) {
            // No tag could be read here: the "<" is text, and the copy goes on
            // right behind it. With no ">" anywhere after it, it can be no
            // tag, and is written so that a reader shows it rather than
            // taking the rest of the book for one.
            setFilePosition(document, behindBracket);
            if (scanner.failure == TagFailure::unclosed) {
                context.emit("&lt;");
                continue;
            }
            reportAtLine(context, path, lineAt(document, lines, behindBracket),
                         "a \"<\" whose \">\" is more than 5120 bytes away is copied as text, and a link "
                         "or picture in it is not converted");
            context.emit("<");
            continue;
        }
        if (scanner.isTag("/BODY")) return;
        if (const char* name = tooLongValue(scanner)) {
            char what[kBuildMessageSize];
            std::snprintf(what, sizeof what,
                          "the %s value of a <%s> tag is longer than 255 characters, and the tag is copied "
                          "as it stands",
                          name, scanner.tagName);
            reportAtLine(context, path, lineAt(document, lines, behindBracket), what);
        }
        if (!context.processTag(scanner, path)) context.emitBytes(scanner.rawText, uint32_t(scanner.rawLength));
    }
}

// The attribute whose value the tag handling would need but cannot hold, or null.
const char* tooLongValue(const TagScanner& tag) {
    auto tooLong = [&](const char* name) {
        const char* value = tag.attributeValue(name);
        return value != nullptr && std::strlen(value) >= size_t(kFieldSize);
    };
    if (tooLong("ID")) return "ID";
    bool link = tag.isTag("A") || tag.isTag("REFERENCE") || tag.isTag("METADATA");
    if (link && tooLong("HREF")) return "HREF";
    if (tag.isTag("IMG") && tooLong("SRC")) return "SRC";
    if (tag.isTag("A") && tooLong("NAME")) return "NAME";
    return nullptr;
}

void reportAtLine(BuildContext& context, const char* path, int32_t line, const char* what) {
    char message[kBuildMessageSize];
    std::snprintf(message, sizeof message, "Line %d of %s: %.600s", static_cast<int>(line),
                  programPathForDisplay(path).c_str(), what);
    context.reportBuildMessage(message, kBuildWarningLevel);
}

// Counted forward from where the last count stopped, so that a document
// costs one pass however many of its lines are named.
int32_t lineAt(FileHandle document, LineCount& count, uint32_t position) {
    uint32_t saved = getFilePosition(document);
    setFilePosition(document, count.countedTo);
    char block[4096];
    while (count.countedTo < position) {
        uint32_t n = position - count.countedTo < sizeof block ? position - count.countedTo : uint32_t(sizeof block);
        if (!readBytes(document, block, n)) break;
        for (uint32_t i = 0; i < n; ++i)
            if (block[i] == '\n') ++count.line;
        count.countedTo += n;
    }
    setFilePosition(document, saved);
    return count.line;
}

// A sequence that the document's end cut short is written as it stands.
void stopConverting(BuildContext& context) {
    char rest[kAnsiOutBytes];
    int count = context.utf8Decoder.finish(rest);
    context.utf8 = false;
    context.emitBytes(rest, uint32_t(count));
}

}  // namespace
