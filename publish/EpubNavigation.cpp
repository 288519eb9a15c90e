#include "EpubNavigation.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "Url.h"
#include "model/TagScanner.h"
#include "model/Text.h"

namespace {

constexpr const char* kNcxMediaType = "application/x-dtbncx+xml";

bool hasWord(const char* list, const char* word);
// An attribute's value with its entities decoded; empty when missing.
void attributeOf(const TagScanner& tag, const char* name, char* out);

// Gathers the links a document is read with.
class LinkGatherer : public XhtmlContext {
public:
    explicit LinkGatherer(Navigation& navigation) : navigation_(navigation) {}
    bool mapAddress(XhtmlAddress, const char*, char*, size_t) override { return false; }
    void noteLink(const char* address, const char* text, int depth, bool inTocNav) override {
        if (text[0] != '\0') navigation_.add(depth, text, address, inTocNav);
    }

private:
    Navigation& navigation_;
};

class DiscardingSink : public ByteSink {
public:
    void put(const char*, size_t) override {}
};

bool writeContentsPage(BuildContext& context, const Navigation& navigation, FileHandle page);

}  // namespace

bool readInputEpubParts(const Publication& publication, InputEpubParts& parts) {
    parts = InputEpubParts();
    FileHandle file = openFile(publication.path, OpenMode::read);
    if (file == kInvalidFileHandle) return false;
    auto scanner = std::make_unique<TagScanner>();
    char coverId[kFieldSize] = "";
    char value[kFieldSize];
    // The cover's meta names an item that may come before it or after it.
    for (int pass = 0; pass < 2; ++pass) {
        setFilePosition(file, 0);
        while (scanner->nextTag(file) != -1) {
            if (pass == 0 && scanner->isTag("META")) {
                attributeOf(*scanner, "NAME", value);
                if (equalsNoCase(value, "cover")) attributeOf(*scanner, "CONTENT", coverId);
                continue;
            }
            if (pass == 0 || !scanner->isTag("ITEM")) continue;
            char id[kFieldSize], href[kFieldSize], type[kFieldSize], properties[kFieldSize];
            attributeOf(*scanner, "ID", id);
            attributeOf(*scanner, "HREF", href);
            attributeOf(*scanner, "MEDIA-TYPE", type);
            attributeOf(*scanner, "PROPERTIES", properties);
            if (href[0] == '\0') continue;
            if (hasWord(properties, "nav") && parts.navHref[0] == '\0') copyText(parts.navHref, href);
            if (equalsNoCase(type, kNcxMediaType) && parts.ncxHref[0] == '\0') copyText(parts.ncxHref, href);
            bool cover = hasWord(properties, "cover-image") || (coverId[0] != '\0' && std::strcmp(id, coverId) == 0);
            if (cover && parts.coverHref[0] == '\0') copyText(parts.coverHref, href);
        }
    }
    closeFile(file);
    return parts.navHref[0] != '\0' || parts.ncxHref[0] != '\0' || parts.coverHref[0] != '\0';
}

void Navigation::add(int32_t level, const char* label, const char* address, bool inToc) {
    int32_t labelId = texts.intern(label);
    int32_t addressId = texts.intern(address);
    if (count >= kNavigationEntries || labelId < 0 || addressId < 0) {
        ++leftOut;
        return;
    }
    entries[count++] = {level, labelId, addressId, inToc};
}

void Navigation::nestLevels() {
    // The levels still open above the entry; an entry nests under the
    // nearest one of a lower level, whatever numbers its source uses.
    int32_t open[64];
    int32_t depth = 0;
    for (int32_t i = 0; i < count; ++i) {
        int32_t level = entries[i].level;
        while (depth > 0 && open[depth - 1] >= level) --depth;
        entries[i].level = depth;
        if (depth < 64) open[depth++] = level;
    }
}

bool readDocumentLinks(const char* path, XhtmlConverter& converter, Navigation& navigation) {
    FileHandle file = openFile(path, OpenMode::read);
    if (file == kInvalidFileHandle) return false;
    int32_t first = navigation.count;
    LinkGatherer gatherer(navigation);
    DiscardingSink nowhere;
    XhtmlSettings settings;
    settings.quiet = true;
    bool read = converter.convert(file, settings, gatherer, nowhere);
    closeFile(file);
    bool anyInToc = false;
    for (int32_t i = first; i < navigation.count; ++i) anyInToc = anyInToc || navigation.entries[i].inToc;
    if (anyInToc) {
        int32_t kept = first;
        for (int32_t i = first; i < navigation.count; ++i)
            if (navigation.entries[i].inToc) navigation.entries[kept++] = navigation.entries[i];
        navigation.count = kept;
    }
    return read;
}

bool readNcx(const char* path, Navigation& navigation) {
    FileHandle file = openFile(path, OpenMode::read);
    if (file == kInvalidFileHandle) return false;
    auto scanner = std::make_unique<TagScanner>();
    // An NCX is XML and so UTF-8; stray bytes are read as Windows-1252.
    const bool utf8 = true;
    int32_t depth = 0;
    bool inLabel = false;
    bool inMap = false;
    char raw[kLabelBytes];
    char label[kLabelBytes] = "";
    char address[kFieldSize];
    while (scanner->nextTag(file) != -1) {
        if (scanner->isTag("NAVMAP")) inMap = true;
        if (scanner->isTag("/NAVMAP")) break;
        if (!inMap) continue;
        if (scanner->isTag("NAVPOINT")) {
            ++depth;
            label[0] = '\0';
        } else if (scanner->isTag("/NAVPOINT")) {
            --depth;
        } else if (scanner->isTag("NAVLABEL")) {
            inLabel = true;
        } else if (scanner->isTag("/NAVLABEL")) {
            inLabel = false;
        } else if (scanner->isTag("TEXT") && inLabel) {
            if (readUntil(file, raw, '<', sizeof raw) == 1) decodeMarkupText(raw, utf8, label, sizeof label);
        } else if (scanner->isTag("CONTENT") || scanner->isTag("CONTENT/")) {
            char value[kFieldSize];
            scanner->getAttribute("SRC", value);
            decodeMarkupText(value, utf8, address, sizeof address);
            if (label[0] != '\0' && address[0] != '\0') navigation.add(depth, label, address, true);
        }
    }
    closeFile(file);
    return true;
}

bool mergeInputContents(BuildContext& context) {
    const Publication& publication = *context.publication;
    InputEpubParts parts;
    if (!readInputEpubParts(publication, parts)) return true;
    bool fromNav = parts.navHref[0] != '\0';
    const char* href = fromNav ? parts.navHref : parts.ncxHref;
    if (href[0] == '\0') return true;
    char source[kPathSize];
    if (!resolveAgainstPackage(publication, href, source)) return true;
    if (!context.mayRead(source)) {
        char message[kBuildMessageSize];
        std::snprintf(message, sizeof message, "The navigation %s is left out: %s", href, kOutsideFolder);
        context.reportBuildMessage(message, kBuildWarningLevel);
        return true;
    }
    // Merged already when the spine reads it.
    for (int32_t i = 0; i < publication.spineCount; ++i) {
        const SpineItem& item = publication.spine[i];
        char path[kPathSize];
        if (isLive(item.state) && item.manifestItem != nullptr && isLive(item.manifestItem->state) &&
            resolveAgainstPackage(publication, item.manifestItem->href, path) && equalsNoCase(path, source))
            return true;
    }
    auto navigation = std::unique_ptr<Navigation>(new (std::nothrow) Navigation);
    auto converter = std::unique_ptr<XhtmlConverter>(new (std::nothrow) XhtmlConverter);
    if (navigation == nullptr || converter == nullptr) return true;
    bool read = fromNav ? readDocumentLinks(source, *converter, *navigation) : readNcx(source, *navigation);
    if (!read) {
        context.reportFileFailure("The navigation %s is left out", source, kBuildWarningLevel);
        return true;
    }
    if (navigation->count == 0) return true;
    navigation->nestLevels();

    char folder[kPathSize];
    folderOfPath(publication.path, folder);
    char pagePath[kPathSize];
    int32_t counter = 0;
    FileHandle page = context.openBuildFolder() ? createBuildFile(context.work.path, "PRCcontents_", &counter, pagePath)
                                                : kInvalidFileHandle;
    if (page == kInvalidFileHandle) {
        context.reportFileFailure("The contents page could not be created in %s", folder);
        return false;
    }
    bool written = writeContentsPage(context, *navigation, page);
    written = closeFile(page) && written;
    char linked[kPathSize];
    copyText(linked, href);
    if (!fromNav) {
        // The NCX is no document: the page stands beside it under a name of
        // its own, and links to the NCX lead to it too.
        context.addAnchor(source, "", static_cast<int32_t>(getFileLength(context.intermediateFile)));
        if (!appendText(linked, ".htm")) return true;
    }
    return context.mergeBuildPage(written, pagePath, linked, "The contents page %s could not be written");
}

namespace {

bool hasWord(const char* list, const char* word) {
    size_t length = std::strlen(word);
    for (const char* p = list; *p != '\0';) {
        while (*p == ' ') ++p;
        const char* end = p;
        while (*end != '\0' && *end != ' ') ++end;
        if (size_t(end - p) == length && std::strncmp(p, word, length) == 0) return true;
        p = end;
    }
    return false;
}

void attributeOf(const TagScanner& tag, const char* name, char* out) {
    if (tag.getAttribute(name, out)) decodeEntities(out);
}

bool writeContentsPage(BuildContext& context, const Navigation& navigation, FileHandle page) {
    char title[kFieldSize] = "Contents";
    for (int32_t i = 0; i < context.publication->guideCount; ++i) {
        const GuideReference& reference = context.publication->guide[i];
        if (isLive(reference.state) && equalsNoCase(reference.type, "toc") && reference.title[0] != '\0')
            copyText(title, reference.title);
    }
    // The labels are UTF-8; the merge turns them into the e-book's text.
    bool ok = writeText(page, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html><head></head><body>\n<h2>");
    char escaped[4 * kLabelBytes + 64];
    char utf8Title[4 * kFieldSize];
    ansiToUtf8(title, utf8Title, sizeof utf8Title);
    escaped[0] = '\0';
    appendEscaped(escaped, sizeof escaped, utf8Title, MarkupPlace::text);
    ok = writeText(page, escaped) && writeText(page, "</h2>\n") && ok;
    for (int32_t i = 0; i < navigation.count; ++i) {
        std::string line = "<p>";
        for (int32_t d = 0; d < navigation.entries[i].level; ++d) line += "&nbsp;&nbsp;&nbsp;&nbsp;";
        escaped[0] = '\0';
        appendEscaped(escaped, sizeof escaped, navigation.address(i), MarkupPlace::attribute);
        line += "<a href=\"";
        line += escaped;
        line += "\">";
        escaped[0] = '\0';
        appendEscaped(escaped, sizeof escaped, navigation.label(i), MarkupPlace::text);
        line += escaped;
        line += "</a></p>\n";
        ok = writeText(page, line.c_str()) && ok;
    }
    return writeText(page, "</body></html>\n") && ok;
}

}  // namespace
