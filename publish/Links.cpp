// Links, anchors and pictures of the merged text. Links and pictures get
// placeholders as wide as their final values, so that writing the values
// afterwards moves no offset.
#include <cstdio>
#include <cstring>

#include "BuildContext.h"
#include "GifConverter.h"
#include "Url.h"
#include "model/CommandLinePath.h"
#include "model/Paths.h"
#include "model/Text.h"

namespace {

constexpr char kLinkPlaceholder[] = " filepos=\"XXXXXXXXXX\">";
// From the first "X" of a link placeholder to the end of the tag.
constexpr uint32_t kLinkValueFromEnd = 12;
// From the quotation mark that opens the picture's name to the end of the
// rewritten tag, less the name.
constexpr uint32_t kPictureTailLength = 20;
// How far before a ">" the start of a short tag is looked for.
constexpr uint32_t kShortTagReach = 11;

bool isLinkTag(const TagScanner& tag, char* href);
bool writeLinkTag(BuildContext& context, const TagScanner& tag, const char* documentPath, const char* href);
void writePictureTag(BuildContext& context, const char* documentPath, const char* src);
int32_t anchorOffset(FileHandle file);
bool isRefusedPicture(const char* path);

}  // namespace

bool BuildContext::processTag(const TagScanner& tag, const char* documentPath) {
    char value[kFieldSize];
    // Any tag with an id is a target at its own "<". A name on the same tag
    // goes first, so that the name, matched first, wins.
    char id[kFieldSize];
    bool hasId = tag.getAttribute("ID", id) && id[0] != '\0';
    if (hasId) decodeEntities(id);
    int32_t tagStart = static_cast<int32_t>(getFileLength(intermediateFile));
    auto addIdAnchor = [&] {
        if (hasId) addAnchor(documentPath, id, tagStart);
    };
    // Values are addresses and names with their entities decoded, as a
    // reader sees them; the tags themselves are copied as written.
    if (isLinkTag(tag, value)) {
        if (linkCount < kBuildTableLimit) {
            addIdAnchor();
            decodeEntities(value);
            return writeLinkTag(*this, tag, documentPath, value);
        }
        reportFull(linksFullReported, "links");
    }
    if (!(tag.isTag("A") && tag.getAttribute("NAME", value))) addIdAnchor();
    // Pictures drawn in SVG (a cover, most often) have no form in the e-book.
    if (tag.isTag("IMAGE") && (tag.getAttribute("XLINK:HREF", value) || tag.getAttribute("HREF", value))) {
        char message[kBuildMessageSize];
        std::snprintf(message, sizeof message, "The SVG picture %s of %s is left out", value,
                      programPathForDisplay(documentPath).c_str());
        reportBuildMessage(message, kBuildWarningLevel);
        ++picturesLeftOut;
    }
    if (tag.isTag("IMG") && tag.getAttribute("SRC", value)) {
        writePictureTag(*this, documentPath, value);
        return true;
    }
    if (tag.isTag("A") && tag.getAttribute("NAME", value)) {
        decodeEntities(value);
        bool added = addAnchor(documentPath, value, anchorOffset(intermediateFile));
        addIdAnchor();
        if (!added) return false;
        emitBytes(tag.rawText, uint32_t(tag.rawLength));
        return true;
    }
    return false;
}

bool BuildContext::addAnchor(const char* file, const char* name, int32_t position) {
    if (anchorCount >= kBuildTableLimit) {
        reportFull(anchorsFullReported, "anchors");
        return false;
    }
    AnchorRecord& anchor = anchors[anchorCount++];
    anchor.file = keep(file);
    anchor.name = keep(name);
    anchor.position = position;
    return true;
}

void BuildContext::addPicture(const char* path, int32_t position) {
    if (imageCount >= kBuildTableLimit) {
        reportFull(picturesFullReported, "pictures");
        return;
    }
    int32_t id = keep(path);
    if (id < 0) return;
    const char* kept = textOf(id);
    // A repeat names the same path byte for byte, so the same kept text.
    int32_t repeatOf = -1;
    for (int32_t i = 0; i < imageCount; ++i) {
        if (images[i].path == kept) {
            repeatOf = i;
            break;
        }
    }
    if (isRefusedPicture(path)) {
        ++picturesLeftOut;
        // A picture of another format is there but cannot be carried over.
        if (fileExists(path) && !isPictureToConvert(path))
            reportPathMessage("The picture %s is left out: only GIF, PNG and JPEG pictures can be converted",
                              path, kBuildWarningLevel);
        return;
    }
    if (repeatOf < 0) {
        // Only regular files are read: a FIFO or device would stall the build.
        FileHandle probe = openFile(path, OpenMode::read);
        if (probe == kInvalidFileHandle) {
            reportFileFailure("The picture %s is left out", path, kBuildWarningLevel);
            ++picturesLeftOut;
            return;
        }
        closeFile(probe);
        // Converted once now, so that a picture that cannot be gets no record
        // and its tag keeps its name, as for any picture left out.
        GifConverter converter;
        converter.prepare(kPictureMaxWidth, kPictureMaxHeight);
        if (!converter.convert(path)) {
            char message[kBuildMessageSize];
            std::snprintf(message, sizeof message, "The picture %s is left out: %s",
                          programPathForDisplay(path).c_str(), converter.whyNot);
            reportBuildMessage(message, kBuildWarningLevel);
            ++picturesLeftOut;
            // Kept without a record, so that its repeats are known at once.
            images[imageCount].path = kept;
            images[imageCount].position = position;
            images[imageCount].isNew = 0;
            images[imageCount++].recordIndex = -1;
            return;
        }
    } else if (images[repeatOf].recordIndex < 0) {
        ++picturesLeftOut;
        return;
    }
    PictureRecord& image = images[imageCount];
    image.path = kept;
    image.position = position;
    if (repeatOf >= 0) {
        image.isNew = false;
        image.recordIndex = images[repeatOf].recordIndex;
    } else {
        image.isNew = true;
        image.recordIndex = ++distinctImageCount;
    }
    ++imageCount;
}

void BuildContext::matchLinks() {
    constexpr uint32_t kHeads = 2 * kBuildTableSlots;
    auto hashOf = [&](int32_t file, int32_t name) {
        return foldedHash(textOf(name), foldedHash(textOf(file))) % kHeads;
    };
    for (int32_t& head : anchorHeads) head = -1;
    // Later anchors stand first in their chain.
    for (int32_t j = 0; j < anchorCount; ++j) {
        if (anchors[j].file < 0 || anchors[j].name < 0) continue;
        uint32_t h = hashOf(anchors[j].file, anchors[j].name);
        anchorChains[j] = anchorHeads[h];
        anchorHeads[h] = j;
    }
    for (int32_t i = 0; i < linkCount; ++i) {
        LinkRecord& link = links[i];
        if (link.targetFile < 0 || link.targetAnchor < 0) continue;
        // A name spelled as the link spells it wins over one in another
        // case, and of equals the first in the book wins, as in a browser.
        AnchorRecord* exact = nullptr;
        AnchorRecord* caseBlind = nullptr;
        for (int32_t j = anchorHeads[hashOf(link.targetFile, link.targetAnchor)]; j >= 0;
             j = anchorChains[j]) {
            const AnchorRecord& anchor = anchors[j];
            if (!equalsNoCase(textOf(link.targetFile), textOf(anchor.file)) ||
                !equalsNoCase(textOf(link.targetAnchor), textOf(anchor.name)))
                continue;
            caseBlind = &anchors[j];
            if (std::strcmp(textOf(link.targetAnchor), textOf(anchor.name)) == 0) exact = &anchors[j];
        }
        link.anchor = exact != nullptr ? exact : caseBlind;
    }
}

void BuildContext::writeLinks() {
    uint32_t end = getFileLength(intermediateFile);
    char text[64];
    for (int32_t i = 0; i < linkCount; ++i) {
        const LinkRecord& link = links[i];
        if (link.anchor == nullptr || link.position < 0) continue;
        std::snprintf(text, sizeof text, "%010d", static_cast<int>(link.anchor->position));
        setFilePosition(intermediateFile, static_cast<uint32_t>(link.position));
        emitBytes(text, 10);
    }
    for (int32_t i = 0; i < imageCount; ++i) {
        const PictureRecord& image = images[i];
        // A name shorter than "BMP" would leave no room.
        if (image.recordIndex < 0 || image.position < 0 || image.nameLength < 3) continue;
        std::snprintf(text, sizeof text, "\"BMP\" recindex=\"%05d\">", static_cast<int>(image.recordIndex));
        setFilePosition(intermediateFile, static_cast<uint32_t>(image.position));
        emit(text);
        for (uint32_t s = 3; s < image.nameLength; ++s) emit(" ");
    }
    setFilePosition(intermediateFile, end);
}

namespace {

bool isLinkTag(const TagScanner& tag, char* href) {
    return (tag.isTag("A") || tag.isTag("REFERENCE") || tag.isTag("METADATA")) &&
           tag.getAttribute("HREF", href);
}

bool writeLinkTag(BuildContext& context, const TagScanner& tag, const char* documentPath, const char* href) {
    LinkRecord& link = context.links[context.linkCount];
    Url url;
    url.setFromFile(documentPath);
    url.set(href);
    // A cut path could match another document's anchor: it matches none.
    char target[kPathSize];
    link.targetFile = url.toPath(target) ? context.keep(target) : -1;
    link.targetAnchor = context.keep(url.fragment);
    link.href = isWebAddress(href) ? -1 : context.keep(href);
    link.document = context.keep(documentPath);

    // The tag as written, NUL bytes and all, without its ">" and a "/" before it.
    size_t length = size_t(tag.rawLength);
    if (length > 0 && tag.rawText[length - 1] == '>') --length;
    if (length > 0 && tag.rawText[length - 1] == '/') --length;
    context.emitBytes(tag.rawText, uint32_t(length));
    context.emit(kLinkPlaceholder);
    link.position = static_cast<int32_t>(getFileLength(context.intermediateFile) - kLinkValueFromEnd);
    link.anchor = nullptr;
    ++context.linkCount;
    return true;
}

void writePictureTag(BuildContext& context, const char* documentPath, const char* src) {
    char name[kPathSize];
    fileNameOfPath(src, name);
    context.emit("<img src=\"");
    // Measured as written: a UTF-8 name is shorter once converted.
    uint32_t nameStart = getFileLength(context.intermediateFile);
    context.emit(name);
    uint32_t nameLength = getFileLength(context.intermediateFile) - nameStart;
    context.emit("\" recindex=\"XXXXX\">");
    if (context.imageCount < kBuildTableSlots) context.images[context.imageCount].nameLength = nameLength;

    Url url;
    char address[kFieldSize];
    copyText(address, src);
    decodeEntities(address);
    url.setFromFile(context.publication->path);
    url.setFile(documentPath);
    url.set(address);
    char path[kPathSize];
    if (!url.toPath(path)) {
        char message[kBuildMessageSize];
        std::snprintf(message, sizeof message,
                      "The picture %s of %s is left out: its path is too deep or too long", src,
                      programPathForDisplay(documentPath).c_str());
        ++context.picturesLeftOut;
        context.reportBuildMessage(message, kBuildWarningLevel);
        return;
    }
    if (!context.mayRead(path)) {
        char message[kBuildMessageSize];
        std::snprintf(message, sizeof message, "The picture %s of %s is left out: %s", src,
                      programPathForDisplay(documentPath).c_str(), kOutsideFolder);
        ++context.picturesLeftOut;
        context.reportBuildMessage(message, kBuildWarningLevel);
        return;
    }
    uint32_t end = getFileLength(context.intermediateFile);
    context.addPicture(path, static_cast<int32_t>(end - kPictureTailLength - nameLength));
}

// An anchor right behind a short start tag (a paragraph, a heading) points
// at that tag, so that a reader jumping there shows the tag's formatting.
int32_t anchorOffset(FileHandle file) {
    uint32_t end = getFileLength(file);
    uint32_t offset = end;
    setFilePosition(file, end);
    int c = unreadByte(file);
    while (c == ' ') c = unreadByte(file);
    if (c == '>') {
        uint32_t bracket = getFilePosition(file);
        for (uint32_t back = 1; back <= kShortTagReach && back <= bracket; ++back) {
            setFilePosition(file, bracket - back);
            if (readByte(file) == '<') {
                offset = bracket - back;
                break;
            }
        }
    }
    setFilePosition(file, end);
    return static_cast<int32_t>(offset);
}

// One-letter names such as "a.gif" are refused, as are names that a
// directory search would take as wildcards: the converter opens the path
// itself and would not find what the search found.
bool isRefusedPicture(const char* path) {
    char name[kPathSize];
    fileNameOfPath(path, name);
    char first = upperAscii(name[0]);
    if (first >= 'A' && first <= 'Z' && name[1] == '.') return true;
    if (std::strpbrk(path, "*?") != nullptr) return true;
    return !fileExists(path) || !isPictureToConvert(path);
}

}  // namespace
