// Reading a package document into the tables. The reader is as lenient as the
// scanner about markup, and strict only where a record would be incomplete.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Charset.h"
#include "Paths.h"
#include "Publication.h"
#include "TagScanner.h"
#include "Text.h"

namespace {

// Tried in this order; a name read in any case is stored as spelled here.
constexpr const char* kMetadataNames[] = {
    "dc:Identifier", "dc:Title",   "dc:Creator", "dc:Contributor", "dc:Description",
    "dc:Publisher",  "dc:Subject", "dc:Source",  "dc:Language",    "dc:Relation",
    "dc:Coverage",   "dc:Date",    "dc:Type",    "dc:Format",      "dc:Rights",
};

constexpr int32_t kManifestReadLimit = kManifestSlots - 1;
constexpr int32_t kSpineReadLimit = kSpineSlots - 1;
constexpr int32_t kGuideReadLimit = kGuideSlots - 1;
constexpr int32_t kToursKept = kTourSlots - 1;
constexpr int32_t kSitesKept = kSiteSlots - 1;
constexpr int32_t kMetadataReadLimit = kMetadataSlots - 1;

bool readMetadataSection(Publication& publication, FileHandle file, bool utf8);
bool readManifestSection(Publication& publication, FileHandle file);
bool readSpineSection(Publication& publication, FileHandle file);
bool readToursSection(Publication& publication, FileHandle file);
bool readTourSites(Publication& publication, Tour& tour, FileHandle file);
bool readGuideSection(Publication& publication, FileHandle file, bool utf8);
bool packageDeclaresUtf8(const TagScanner& scanner, FileHandle file);
const char* metadataNameOf(const TagScanner& scanner);

constexpr const char* kMetadataFull = "the metadata table is full (at most 49 entries)";
constexpr const char* kManifestFull = "the manifest table is full (at most 499 items)";
constexpr const char* kSpineFull = "the spine table is full (at most 499 entries)";
constexpr const char* kToursFull = "the tours table is full (at most 49 tours)";
constexpr const char* kSitesFull = "the sites table of a tour is full (at most 49 sites)";
constexpr const char* kGuideFull = "the guide table is full (at most 99 references)";

// Why the open fails, in the words of the format string. More records than
// a table holds fail the open rather than being dropped, and so does a
// value longer than its field, so that saving the package again cannot
// lose them.
__attribute__((format(printf, 2, 3))) bool refuse(Publication& publication, const char* format, ...) {
    va_list values;
    va_start(values, format);
    std::vsnprintf(publication.readFailure, sizeof publication.readFailure, format, values);
    va_end(values);
    return false;
}

// nextTag found no tag: the file ended before the element's end tag, or a
// tag ran past the scanner's room.
bool refuseAtEnd(Publication& publication, const TagScanner& scanner, const char* element) {
    if (scanner.failure == TagFailure::tooLong)
        return refuse(publication, "a tag in <%s> is longer than %d bytes", element, kRawTextBytes);
    return refuse(publication, "no </%s>", element);
}

// An attribute the element needs, or the reason it cannot be had.
bool takeAttribute(Publication& publication, const TagScanner& tag, const char* name, char* out,
                   const char* element, int32_t number) {
    if (tag.getAttribute(name, out)) return true;
    if (tag.attributeValue(name) == nullptr) return refuse(publication, "missing %s on %s %d", name, element, number);
    return refuse(publication, "the %s of %s %d is longer than %d characters", name, element, number, kFieldSize - 1);
}

// Values are stored as they read, entities decoded; false when the field
// cannot hold the whole text.
template <size_t N>
bool copyDecoded(char (&field)[N], char* text) {
    decodeEntities(text);
    return copyText(field, text);
}

// Texts of a package declared UTF-8 (those of other tools) are stored in the
// program's 8-bit text; addresses and ids stay byte for byte, as they name
// files and records.
template <size_t N>
bool copyDecodedText(char (&field)[N], char* text, bool utf8) {
    char converted[kEscapedValueSize];
    if (utf8) {
        if (!utf8ToAnsi(text, converted, sizeof converted)) return false;
        text = converted;
    }
    return copyDecoded(field, text);
}

}  // namespace

bool Publication::open(const char* packagePath) {
    copyText(path, packagePath);
    folderOfPath(packagePath, folder);
    readFailure[0] = '\0';
    FileHandle file = openFile(packagePath, OpenMode::read);
    if (file == kInvalidFileHandle) return false;
    bool ok = readDocument(file);
    closeFile(file);
    return ok;
}

bool Publication::readDocument(FileHandle file) {
    readFailure[0] = '\0';
    TagScanner scanner;
    // The XML declaration is optional (packages of other tools omit it), so
    // it is passed over like any tag the reader does not know.
    bool utf8 = false;
    for (;;) {
        if (scanner.nextTag(file) == -1) return refuseAtEnd(*this, scanner, "package");
        bool ok = true;
        if (packageDeclaresUtf8(scanner, file)) utf8 = true;
        if (scanner.isTag("package")) {
            char identifier[kFieldSize];
            if (!takeAttribute(*this, scanner, "unique-identifier", identifier, "package", 1)) return false;
            copyDecoded(uniqueIdentifier, identifier);
        } else if (scanner.isTag("/package")) {
            break;
        } else if (scanner.isTag("metadata")) {
            ok = readMetadataSection(*this, file, utf8);
        } else if (scanner.isTag("manifest")) {
            ok = readManifestSection(*this, file);
        } else if (scanner.isTag("spine")) {
            ok = readSpineSection(*this, file);
        } else if (scanner.isTag("tours")) {
            ok = readToursSection(*this, file);
        } else if (scanner.isTag("guide")) {
            ok = readGuideSection(*this, file, utf8);
        }
        if (!ok) return false;
    }
    resolveSpine();
    return true;
}

namespace {

bool readMetadataSection(Publication& publication, FileHandle file, bool utf8) {
    TagScanner scanner;
    for (;;) {
        if (scanner.nextTag(file) == -1) return refuseAtEnd(publication, scanner, "metadata");
        if (scanner.isTag("/metadata")) return true;
        const char* name = metadataNameOf(scanner);
        if (name == nullptr) continue;
        // Room for a whole value written with entities, decoded below.
        char value[kEscapedValueSize];
        if (readUntil(file, value, '<', kEscapedValueSize) == 0) continue;
        if (publication.metadataCount >= kMetadataReadLimit) return refuse(publication, "%s", kMetadataFull);
        MetadataEntry& entry = publication.metadata[publication.metadataCount];
        copyText(entry.name, name);
        if (std::strlen(value) == size_t(kEscapedValueSize - 1) || !copyDecodedText(entry.value, value, utf8))
            return refuse(publication, "the value of %s is longer than %d characters", name, kValueSize - 1);
        entry.state = kLive;
        ++publication.metadataCount;
    }
}

bool readManifestSection(Publication& publication, FileHandle file) {
    TagScanner scanner;
    for (;;) {
        if (scanner.nextTag(file) == -1) return refuseAtEnd(publication, scanner, "manifest");
        if (scanner.isTag("/manifest")) return true;
        if (!scanner.isTag("item")) continue;
        char id[kFieldSize];
        char href[kFieldSize];
        char mediaType[kFieldSize];
        int32_t number = publication.manifestCount + 1;
        if (!takeAttribute(publication, scanner, "id", id, "item", number) ||
            !takeAttribute(publication, scanner, "href", href, "item", number) ||
            !takeAttribute(publication, scanner, "media-type", mediaType, "item", number)) {
            return false;
        }
        if (publication.manifestCount >= kManifestReadLimit) return refuse(publication, "%s", kManifestFull);
        ManifestItem& item = publication.manifest[publication.manifestCount++];
        copyDecoded(item.id, id);
        copyDecoded(item.href, href);
        copyDecoded(item.mediaType, mediaType);
        item.state = kLive;
    }
}

// Duplicates are kept as written: the editor shows what the file says.
bool readSpineSection(Publication& publication, FileHandle file) {
    TagScanner scanner;
    for (;;) {
        if (scanner.nextTag(file) == -1) return refuseAtEnd(publication, scanner, "spine");
        if (scanner.isTag("/spine")) return true;
        if (!scanner.isTag("itemref")) continue;
        char idref[kFieldSize];
        if (!takeAttribute(publication, scanner, "idref", idref, "itemref", publication.spineCount + 1)) return false;
        if (publication.spineCount >= kSpineReadLimit) return refuse(publication, "%s", kSpineFull);
        SpineItem& item = publication.spine[publication.spineCount++];
        copyDecoded(item.idref, idref);
        item.manifestItem = nullptr;
        item.state = kLive;
    }
}

bool readToursSection(Publication& publication, FileHandle file) {
    TagScanner scanner;
    for (;;) {
        if (scanner.nextTag(file) == -1) return refuseAtEnd(publication, scanner, "tours");
        if (scanner.isTag("/tours")) return true;
        if (!scanner.isTag("tour")) continue;
        char id[kFieldSize];
        char title[kFieldSize];
        int32_t number = publication.tourCount + 1;
        if (!takeAttribute(publication, scanner, "id", id, "tour", number) ||
            !takeAttribute(publication, scanner, "title", title, "tour", number))
            return false;
        if (publication.tourCount >= kToursKept) return refuse(publication, "%s", kToursFull);
        Tour& tour = publication.tours[publication.tourCount];
        copyDecoded(tour.id, id);
        copyDecoded(tour.title, title);
        tour.siteCount = 0;
        tour.state = kLive;
        if (readTourSites(publication, tour, file)) {
            ++publication.tourCount;
        } else if (publication.readFailure[0] != '\0') {
            return false;
        }
    }
}

bool readTourSites(Publication& publication, Tour& tour, FileHandle file) {
    TagScanner scanner;
    for (;;) {
        if (scanner.nextTag(file) == -1) return refuseAtEnd(publication, scanner, "tour");
        if (scanner.isTag("/tour")) return true;
        if (!scanner.isTag("site")) continue;
        char title[kFieldSize];
        char href[kFieldSize];
        if (!scanner.getAttribute("title", title) || !scanner.getAttribute("href", href)) return false;
        if (tour.siteCount >= kSitesKept) return refuse(publication, "%s", kSitesFull);
        TourSite& site = tour.sites[tour.siteCount++];
        copyDecoded(site.title, title);
        copyDecoded(site.href, href);
        site.state = kLive;
    }
}

bool readGuideSection(Publication& publication, FileHandle file, bool utf8) {
    TagScanner scanner;
    for (;;) {
        if (scanner.nextTag(file) == -1) return refuseAtEnd(publication, scanner, "guide");
        if (scanner.isTag("/guide")) return true;
        if (!scanner.isTag("reference")) continue;
        char type[kFieldSize];
        char title[kFieldSize];
        char href[kFieldSize];
        int32_t number = publication.guideCount + 1;
        // Other tools leave the title out; it is then empty.
        if (!takeAttribute(publication, scanner, "title", title, "reference", number) &&
            scanner.attributeValue("title") != nullptr)
            return false;
        if (!takeAttribute(publication, scanner, "type", type, "reference", number) ||
            !takeAttribute(publication, scanner, "href", href, "reference", number))
            return false;
        if (publication.guideCount >= kGuideReadLimit) return refuse(publication, "%s", kGuideFull);
        GuideReference& reference = publication.guide[publication.guideCount++];
        copyDecoded(reference.type, type);
        if (!copyDecodedText(reference.title, title, utf8))
            return refuse(publication, "the title of reference %d is longer than %d characters", number,
                          kFieldSize - 1);
        copyDecoded(reference.href, href);
        reference.state = kLive;
    }
}

const char* metadataNameOf(const TagScanner& scanner) {
    for (const char* name : kMetadataNames) {
        if (scanner.isTag(name)) return name;
    }
    return nullptr;
}

// An XML declaration with a UTF-8 encoding, or a byte-order mark before the
// package's first tag.
bool packageDeclaresUtf8(const TagScanner& scanner, FileHandle file) {
    if (scanner.isTag("?xml")) return declaresUtf8(scanner);
    if (!scanner.isTag("package")) return false;
    uint32_t position = getFilePosition(file);
    setFilePosition(file, 0);
    bool mark = readChar(file) == 0xEF && readChar(file) == 0xBB && readChar(file) == 0xBF;
    setFilePosition(file, position);
    return mark;
}

}  // namespace
