// The EPUB build reads the spine's documents twice: first without writing,
// to learn every id a link may name and every heading, then into the
// container. Everything the book holds sits flat in one folder under names
// of the build's own, so that links between documents are rewritten
// through one table whatever folders and names the package used.
#include "EpubBuild.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <random>

#include "BuildContext.h"
#include "EpubNavigation.h"
#include "TextPool.h"
#include "Url.h"
#include "XhtmlConverter.h"
#include "BuildDriver.h"
#include "ZipWriter.h"
#include "model/CommandLinePath.h"
#include "model/Paths.h"
#include "model/TagScanner.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

constexpr int32_t kEpubFileSlots = 1024;
constexpr int32_t kFileBuckets = 2048;
constexpr int32_t kLinksListed = 5;
constexpr int kTextBytes = 4 * kValueSize;
constexpr const char* kFolder = "OEBPS/";
constexpr const char* kPlaceholder = "Insert here the coverpage image";
// Names the build writes itself.
constexpr const char* kReservedNames[] = {"content.opf", "nav.xhtml", "toc.ncx", "cover-page.xhtml"};

enum class FileKind : uint8_t { document, text, picture, styleSheet, refused };

struct EpubFile {
    char source[kPathSize];  // composed path, as addresses resolve to it
    char name[kPathSize];    // inside the book's folder
    const char* mediaType;
    FileKind kind;
    bool coverImage;
    int32_t next;  // the next file of its bucket
};

// Where the converter's bytes go: the open entry of the archive.
class ZipSink : public ByteSink {
public:
    explicit ZipSink(ZipWriter& zip) : zip_(zip) {}
    void put(const char* bytes, size_t n) override { zip_.write(bytes, static_cast<uint32_t>(n)); }

private:
    ZipWriter& zip_;
};

class DiscardingSink : public ByteSink {
public:
    void put(const char*, size_t) override {}
};

struct EpubBuild;

// What one document's conversion asks of the book.
class BookContext : public XhtmlContext {
public:
    BookContext(EpubBuild& build, int32_t document, bool writing)
        : build_(build), document_(document), writing_(writing) {}
    bool mapAddress(XhtmlAddress kind, const char* address, char* out, size_t capacity) override;
    void noteId(const char* id) override;
    void noteHeading(int level, const char* id, const char* text) override;

private:
    EpubBuild& build_;
    int32_t document_;
    bool writing_;
};

struct EpubBuild {
    Publication& publication;
    const EpubOptions& options;
    BuildReporter& reporter;
    char message[kBuildMessageSize] = "";

    EpubFile files[kEpubFileSlots];
    int32_t fileCount = 0;
    int32_t buckets[kFileBuckets];
    // Documents in reading order, by file.
    int32_t spine[kSpineSlots];
    int32_t spineCount = 0;
    int32_t coverFile = -1;
    bool coverPage = false;
    TextPool ids;
    bool idsFull = false;
    Navigation headings;
    Navigation navigation;
    XhtmlConverter converter;

    char identifier[kTextBytes] = "";
    char title[kTextBytes] = "";
    char language[64] = "en";
    char modified[32] = "";
    char navigationTitle[kTextBytes] = "Contents";
    int date[6] = {};

    int32_t unresolvedLinks = 0;
    int32_t picturesLeftOut = 0;
    int32_t spineEntriesLeftOut = 0;
    char unresolvedListed[kLinksListed][kBuildMessageSize];

    // The book is written beside its target and takes its place only whole.
    SafeFile output;
    ZipWriter* zip = nullptr;

    EpubBuild(Publication& p, const EpubOptions& o, BuildReporter& r) : publication(p), options(o), reporter(r) {
        for (int32_t& bucket : buckets) bucket = -1;
    }
    ~EpubBuild() { delete zip; }

    bool run();

    // Messages.
    bool fail(const char* text);
    bool failAbout(const char* format, const char* path);
    void note(const char* format, const char* path);
    void reportSummary();

    // The book's description.
    bool chooseIdentity();
    void chooseLanguage();
    void stampTime();

    // Files.
    int32_t findFile(const char* source) const;
    int32_t addFile(const char* source, FileKind kind, const char* mediaType);
    bool mayRead(const char* path);
    bool collectSpine();
    void collectResources();
    int32_t pictureFile(const char* path, bool counting);
    void chooseCover();

    // The two passes and the navigation.
    bool readDocuments();
    bool stopped();
    void chooseNavigation();
    bool navigationFromDocument(const char* path);
    void resolveNavigation(const char* base);
    bool writeBook();
    bool writeDocuments();
    bool copyFile(const EpubFile& file);
    void writeCoverPage();
    void writeNavDocument();
    void writeNcx();
    void writePackage();
    void removePartial();

    bool idKnown(int32_t file, const char* id) const;
    void xml(const char* text);
};

bool isPlaceholderPage(const char* path);
// The first picture a page shows, resolved; false when none.
bool firstPictureOf(const char* page, char* out);
const char* pictureType(const char* path);
bool isW3cDate(const char* text);
void appendUrlEscaped(char* out, size_t capacity, const char* text, bool keepPercent);
void makeName(const char* source, FileKind kind, const char* mediaType, char* out);
const char* mediaTypeOf(const EpubFile& file);
bool isDocumentPath(const char* path);

}  // namespace

bool buildEpub(Publication& publication, const EpubOptions& options, BuildReporter& reporter, char* message) {
    message[0] = '\0';
    std::unique_ptr<EpubBuild> build(new (std::nothrow) EpubBuild(publication, options, reporter));
    if (build == nullptr) {
        copyText(message, kBuildMessageSize, "Not enough memory for the EPUB build");
        reporter.reportMessage(message, kBuildErrorLevel);
        return false;
    }
    bool built = build->run();
    if (!built) copyText(message, kBuildMessageSize, build->message);
    return built;
}

bool epubTargetPath(const char* packagePath, char* out) {
    return batchTargetPath(packagePath, out, EbookFormat::epub);
}

namespace {

bool EpubBuild::run() {
    reporter.showStatus(IDS_BUILD_MERGING);
    if (!chooseIdentity() || !collectSpine()) return false;
    collectResources();
    chooseCover();
    if (!readDocuments()) return false;
    chooseNavigation();
    if (!writeBook()) {
        removePartial();
        return false;
    }
    reportSummary();
    return true;
}

bool EpubBuild::fail(const char* text) {
    copyText(message, text);
    reporter.reportMessage(text, kBuildErrorLevel);
    return false;
}

bool EpubBuild::failAbout(const char* format, const char* path) {
    char text[kBuildMessageSize];
    std::snprintf(text, sizeof text, format, programPathForDisplay(path).c_str());
    return fail(text);
}

void EpubBuild::note(const char* format, const char* path) {
    char text[kBuildMessageSize];
    std::snprintf(text, sizeof text, format, programPathForDisplay(path).c_str());
    reporter.reportMessage(text, kBuildWarningLevel);
}

void EpubBuild::reportSummary() {
    char text[kBuildMessageSize];
    if (unresolvedLinks > 0) {
        std::snprintf(text, sizeof text, "Publishing report: %d internal link%s unresolved",
                      static_cast<int>(unresolvedLinks), unresolvedLinks == 1 ? " is" : "s are");
        reporter.reportMessage(text, kBuildWarningLevel);
        for (int32_t i = 0; i < unresolvedLinks && i < kLinksListed; ++i)
            reporter.reportMessage(unresolvedListed[i], kBuildWarningLevel);
    }
    if (picturesLeftOut > 0) {
        std::snprintf(text, sizeof text, "Publishing report: %d picture reference%s not converted",
                      static_cast<int>(picturesLeftOut), picturesLeftOut == 1 ? " is" : "s are");
        reporter.reportMessage(text, kBuildWarningLevel);
    }
    if (spineEntriesLeftOut > 0) {
        std::snprintf(text, sizeof text, "Publishing report: %d spine entr%s skipped",
                      static_cast<int>(spineEntriesLeftOut), spineEntriesLeftOut == 1 ? "y is" : "ies are");
        reporter.reportMessage(text, kBuildWarningLevel);
    }
}

// The identifier, title and language the book is known by, and its time.
bool EpubBuild::chooseIdentity() {
    char value[kValueSize];
    if (publication.findMetadataValue("dc:Identifier", value) && value[0] != '\0')
        ansiToUtf8(value, identifier, sizeof identifier);
    else if (publication.uniqueIdentifier[0] != '\0')
        ansiToUtf8(publication.uniqueIdentifier, identifier, sizeof identifier);
    if (identifier[0] == '\0') {
        // A reader knows a book by its identifier: the next build must
        // give the same one, so it is kept in the package.
        std::random_device device;
        std::mt19937_64 random(uint64_t(device()) << 32 ^ uint64_t(device()) ^
                               uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
        uint64_t high = random(), low = random();
        high = (high & 0xFFFFFFFFFFFF0FFFull) | 0x4000;               // version 4
        low = (low & 0x3FFFFFFFFFFFFFFFull) | 0x8000000000000000ull;  // variant 1
        std::snprintf(identifier, sizeof identifier, "urn:uuid:%08x-%04x-%04x-%04x-%012llx",
                      unsigned(high >> 32), unsigned((high >> 16) & 0xFFFF), unsigned(high & 0xFFFF),
                      unsigned(low >> 48), static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
        copyText(publication.uniqueIdentifier, identifier);
        char package[kPathSize];
        copyText(package, publication.path);
        if (package[0] != '\0' && !publication.save(package))
            note("The identifier given to the book could not be kept in its package %s", package);
    }
    if (publication.findMetadataValue("dc:Title", value) && value[0] != '\0') {
        ansiToUtf8(value, title, sizeof title);
    } else {
        char base[kPathSize];
        baseNameOfPath(publication.path, base);
        ansiToUtf8(base[0] != '\0' ? base : "Untitled", title, sizeof title);
    }
    chooseLanguage();
    stampTime();
    return true;
}

void EpubBuild::chooseLanguage() {
    char value[kValueSize];
    if (publication.findMetadataValue("dc:Language", value) && isWellFormedLanguage(value))
        copyText(language, value);
}

void EpubBuild::stampTime() {
    using namespace std::chrono;
    auto now = floor<seconds>(system_clock::now());
    auto day = floor<days>(now);
    year_month_day ymd{day};
    hh_mm_ss<seconds> time{now - day};
    date[0] = int(ymd.year());
    date[1] = int(unsigned(ymd.month()));
    date[2] = int(unsigned(ymd.day()));
    date[3] = int(time.hours().count());
    date[4] = int(time.minutes().count());
    date[5] = int(time.seconds().count());
    std::snprintf(modified, sizeof modified, "%04d-%02d-%02dT%02d:%02d:%02dZ", date[0], date[1], date[2], date[3],
                  date[4], date[5]);
}

int32_t EpubBuild::findFile(const char* source) const {
    for (int32_t i = buckets[foldedHash(source) % kFileBuckets]; i >= 0; i = files[i].next)
        if (equalsNoCase(files[i].source, source)) return i;
    return -1;
}

int32_t EpubBuild::addFile(const char* source, FileKind kind, const char* mediaType) {
    if (fileCount >= kEpubFileSlots) return -1;
    EpubFile& file = files[fileCount];
    copyText(file.source, source);
    file.kind = kind;
    file.mediaType = mediaType;
    file.coverImage = false;
    file.name[0] = '\0';
    if (kind != FileKind::refused) {
        char name[kPathSize];
        makeName(source, kind, mediaType, name);
        // Unique without regard to case: the book may be unpacked on a
        // system that ignores it.
        char candidate[kPathSize];
        copyText(candidate, name);
        for (int n = 2;; ++n) {
            bool taken = false;
            for (const char* reserved : kReservedNames) taken = taken || equalsNoCase(candidate, reserved);
            for (int32_t i = 0; i < fileCount && !taken; ++i) taken = equalsNoCase(files[i].name, candidate);
            if (!taken) break;
            const char* dot = std::strrchr(name, '.');
            std::snprintf(candidate, sizeof candidate, "%.*s-%d%s", static_cast<int>(dot - name), name, n, dot);
        }
        copyText(file.name, candidate);
    }
    uint32_t bucket = foldedHash(source) % kFileBuckets;
    file.next = buckets[bucket];
    buckets[bucket] = fileCount;
    return fileCount++;
}

// Files outside the package's folder are read only when allowed.
bool EpubBuild::mayRead(const char* path) {
    char folder[kPathSize];
    folderOfPath(publication.path, folder);
    // The cover the user chose is read wherever it lies: the rule guards
    // against what a package names, not against the user's own choice.
    return options.allowOutsideFiles || std::strcmp(path, options.coverPicture) == 0 ||
           isInsideFolder(folder, path);
}

bool EpubBuild::collectSpine() {
    for (int32_t i = 0; i < publication.spineCount; ++i) {
        const SpineItem& item = publication.spine[i];
        if (!isLive(item.state)) continue;
        if (item.manifestItem == nullptr || !isLive(item.manifestItem->state)) {
            char text[kBuildMessageSize];
            std::snprintf(text, sizeof text, "The spine entry %s names no item of the manifest and is left out",
                          item.idref);
            reporter.reportMessage(text, kBuildWarningLevel);
            ++spineEntriesLeftOut;
            continue;
        }
        char path[kPathSize];
        if (!resolveAgainstPackage(publication, item.manifestItem->href, path)) {
            char text[kBuildMessageSize];
            std::snprintf(text, sizeof text, "The address %s in the package %s gives a path too deep or too long to use",
                          item.manifestItem->href, programPathForDisplay(publication.path).c_str());
            return fail(text);
        }
        bool plainText = endsWithNoCase(path, "txt");
        if (!isDocumentPath(path)) {
            char text[kBuildMessageSize];
            std::snprintf(text, sizeof text,
                          "The spine entry %s (%s) is left out: only HTML and text documents are read",
                          item.idref, item.manifestItem->href);
            reporter.reportMessage(text, kBuildWarningLevel);
            ++spineEntriesLeftOut;
            continue;
        }
        if (!mayRead(path)) {
            char text[kBuildMessageSize];
            std::snprintf(text, sizeof text, "The spine entry %s (%s) is left out: %s", item.idref,
                          item.manifestItem->href, kOutsideFolder);
            reporter.reportMessage(text, kBuildWarningLevel);
            ++spineEntriesLeftOut;
            continue;
        }
        FileHandle probe = openFile(path, OpenMode::read);
        if (probe == kInvalidFileHandle)
            return failAbout("The file %s, referenced in the Manifest is not available", path);
        closeFile(probe);
        // The import's empty cover page is no page of a book.
        if (isPlaceholderPage(path)) continue;
        if (findFile(path) >= 0) continue;
        int32_t index = addFile(path, plainText ? FileKind::text : FileKind::document, "application/xhtml+xml");
        if (index < 0) return fail("The book has more documents and pictures than an EPUB of it holds");
        spine[spineCount++] = index;
    }
    if (spineCount == 0) return fail("The book has no document to read: its spine names none");
    return true;
}

// The manifest's pictures and style sheets, whether a document shows them
// or not: they are the package's own.
void EpubBuild::collectResources() {
    for (int32_t i = 0; i < publication.manifestCount; ++i) {
        const ManifestItem& item = publication.manifest[i];
        if (!isLive(item.state)) continue;
        char path[kPathSize];
        if (!resolveAgainstPackage(publication, item.href, path) || findFile(path) >= 0) continue;
        if (endsWithNoCase(path, ".css") || equalsNoCase(item.mediaType, "text/css")) {
            if (!mayRead(path) || !fileExists(path)) continue;
            // A style sheet that loads other files would name files the
            // book does not hold.
            FileHandle sheet = openFile(path, OpenMode::read);
            char head[8192];
            uint32_t length = static_cast<uint32_t>(fileSize(path) < sizeof head - 1 ? fileSize(path) : 0);
            bool readable = sheet != kInvalidFileHandle && length > 0 && readBytes(sheet, head, length);
            closeFile(sheet);
            head[readable ? length : 0] = '\0';
            if (readable && std::strstr(head, "url(") == nullptr && std::strstr(head, "@import") == nullptr)
                addFile(path, FileKind::styleSheet, "text/css");
            continue;
        }
        if (pictureType(path) != nullptr && mayRead(path)) pictureFile(path, false);
    }
}

// The picture file of a path, added when first met; -1 when it cannot be
// one (counted as left out when counting).
int32_t EpubBuild::pictureFile(const char* path, bool counting) {
    int32_t index = findFile(path);
    if (index < 0) {
        const char* type = nullptr;
        if (!mayRead(path)) {
            char text[kBuildMessageSize];
            std::snprintf(text, sizeof text, "The picture %s is left out: %s",
                          programPathForDisplay(path).c_str(), kOutsideFolder);
            reporter.reportMessage(text, kBuildWarningLevel);
        } else if (!fileExists(path)) {
            note("The picture %s is not available and is left out", path);
        } else if ((type = pictureType(path)) == nullptr) {
            note("The picture %s is left out: only GIF, PNG, JPEG and SVG pictures are carried over", path);
        }
        index = addFile(path, type != nullptr ? FileKind::picture : FileKind::refused, type);
        if (index < 0) return -1;
    }
    if (files[index].kind == FileKind::picture) return index;
    if (counting) ++picturesLeftOut;
    return -1;
}

void EpubBuild::chooseCover() {
    char path[kPathSize] = "";
    bool shownBySpine = false;
    if (options.coverPicture[0] != '\0') {
        copyText(path, options.coverPicture);
        if (pictureType(path) == nullptr || !fileExists(path)) {
            note("The cover picture %s is not a GIF, PNG, JPEG or SVG picture and is left out", path);
            path[0] = '\0';
        }
    }
    for (int32_t i = 0; i < publication.guideCount && path[0] == '\0'; ++i) {
        const GuideReference& reference = publication.guide[i];
        char target[kPathSize];
        if (!isLive(reference.state) || !equalsNoCase(reference.type, "cover") ||
            !resolveAgainstPackage(publication, reference.href, target))
            continue;
        if (pictureType(target) != nullptr) {
            copyText(path, target);
        } else if (isDocumentPath(target) && mayRead(target) && firstPictureOf(target, path)) {
            int32_t page = findFile(target);
            shownBySpine = page >= 0 && files[page].kind == FileKind::document;
        }
    }
    if (path[0] == '\0') {
        InputEpubParts parts;
        if (readInputEpubParts(publication, parts) && parts.coverHref[0] != '\0')
            resolveAgainstPackage(publication, parts.coverHref, path);
    }
    if (path[0] == '\0') return;
    coverFile = pictureFile(path, false);
    if (coverFile < 0) return;
    files[coverFile].coverImage = true;
    coverPage = !shownBySpine;
}

bool EpubBuild::readDocuments() {
    reporter.startProgress(2 * spineCount + 2);
    DiscardingSink nowhere;
    XhtmlSettings settings;
    settings.quiet = true;
    for (int32_t i = 0; i < spineCount; ++i) {
        if (stopped()) return false;
        reporter.setProgress(i + 1);
        reporter.showStatusAndNumber(IDS_BUILD_MERGING, i + 1);
        EpubFile& file = files[spine[i]];
        if (file.kind == FileKind::text) continue;
        FileHandle document = openFile(file.source, OpenMode::read);
        if (document == kInvalidFileHandle)
            return failAbout("The file %s, referenced in the Manifest is not available", file.source);
        BookContext context(*this, spine[i], false);
        bool converted = converter.convert(document, settings, context, nowhere);
        closeFile(document);
        if (!converted) return fail("Not enough memory to read the documents");
    }
    return true;
}

bool EpubBuild::stopped() {
    if (!reporter.stopRequested()) return false;
    failAbout("The build of %s was stopped", options.targetPath);
    return true;
}

// From the guide's contents page, else from the navigation an EPUB came
// with, else from the headings; at the least the first document.
void EpubBuild::chooseNavigation() {
    for (int32_t i = 0; i < publication.guideCount && navigation.count == 0; ++i) {
        const GuideReference& reference = publication.guide[i];
        char path[kPathSize];
        if (!isLive(reference.state) || !equalsNoCase(reference.type, "toc") ||
            !resolveAgainstPackage(publication, reference.href, path) || !isDocumentPath(path) || !mayRead(path))
            continue;
        if (reference.title[0] != '\0') ansiToUtf8(reference.title, navigationTitle, sizeof navigationTitle);
        if (navigationFromDocument(path)) resolveNavigation(path);
    }
    InputEpubParts parts;
    if (navigation.count == 0 && readInputEpubParts(publication, parts)) {
        char path[kPathSize];
        if (parts.navHref[0] != '\0' && resolveAgainstPackage(publication, parts.navHref, path) && mayRead(path) &&
            navigationFromDocument(path))
            resolveNavigation(path);
        if (navigation.count == 0 && parts.ncxHref[0] != '\0' &&
            resolveAgainstPackage(publication, parts.ncxHref, path) && mayRead(path) && readNcx(path, navigation))
            resolveNavigation(path);
    }
    if (navigation.count == 0) {
        for (int32_t i = 0; i < headings.count; ++i)
            navigation.add(headings.entries[i].level, headings.label(i), headings.address(i), true);
    }
    if (navigation.count == 0) navigation.add(0, title, files[spine[0]].name, true);
    navigation.nestLevels();
}

bool EpubBuild::navigationFromDocument(const char* path) {
    navigation.count = 0;
    return readDocumentLinks(path, converter, navigation);
}

// Turns the entries' addresses, as written in the document at base, into
// addresses inside the book; entries that lead nowhere in it go.
void EpubBuild::resolveNavigation(const char* base) {
    int32_t kept = 0;
    for (int32_t i = 0; i < navigation.count; ++i) {
        const char* address = navigation.address(i);
        if (isWebAddress(address)) continue;
        Url url;
        url.setFromFile(base);
        url.set(address);
        char target[kPathSize];
        if (!url.toPath(target)) continue;
        int32_t file = findFile(target);
        if (file < 0 || (files[file].kind != FileKind::document && files[file].kind != FileKind::text)) continue;
        char resolved[kPathSize * 2];
        char fragment[kPathSize];
        copyText(resolved, files[file].name);
        cleanId(url.fragment, fragment, sizeof fragment);
        if (fragment[0] != '\0' && idKnown(file, fragment)) {
            appendText(resolved, "#");
            appendUrlEscaped(resolved, sizeof resolved, fragment, false);
        }
        NavigationEntry entry = navigation.entries[i];
        entry.address = navigation.texts.intern(resolved);
        if (entry.address >= 0) navigation.entries[kept++] = entry;
    }
    navigation.count = kept;
}

bool EpubBuild::writeBook() {
    if (!openSafeFile(output, options.targetPath)) {
        char text[kBuildMessageSize];
        std::snprintf(text, sizeof text, "The EPUB %s could not be created (%s)",
                      programPathForDisplay(options.targetPath).c_str(), lastFileError());
        return fail(text);
    }
    zip = new (std::nothrow) ZipWriter(output.file);
    if (zip == nullptr) return fail("Not enough memory for the EPUB writer");
    zip->setTime(date[0], date[1], date[2], date[3], date[4], date[5]);
    // The container's type first and stored, so that a reader finds it at
    // a fixed place.
    zip->beginEntry("mimetype", false);
    zip->write("application/epub+zip");
    zip->beginEntry("META-INF/container.xml", true);
    zip->write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
               "<rootfiles>\n<rootfile full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/>\n"
               "</rootfiles>\n</container>\n");
    if (!writeDocuments()) return false;
    reporter.showStatus(IDS_BUILD_ADDING_IMAGES);
    for (int32_t i = 0; i < fileCount; ++i) {
        if (files[i].kind != FileKind::picture && files[i].kind != FileKind::styleSheet) continue;
        if (stopped()) return false;
        if (!copyFile(files[i])) return false;
    }
    reporter.showStatus(IDS_BUILD_WRITING_LINKS);
    writeNavDocument();
    writeNcx();
    writePackage();
    if (!zip->finish()) {
        char text[kBuildMessageSize];
        std::snprintf(text, sizeof text, "Unable to write the EPUB %s (%s)",
                      programPathForDisplay(options.targetPath).c_str(), zip->problem());
        return fail(text);
    }
    if (!commitSafeFile(output, true)) {
        char text[kBuildMessageSize];
        std::snprintf(text, sizeof text,
                      output.flushed ? "The EPUB %s could not be replaced (%s)" : "Unable to write the EPUB %s (%s)",
                      programPathForDisplay(options.targetPath).c_str(), lastFileError());
        return fail(text);
    }
    reporter.setProgress(2 * spineCount + 2);
    return true;
}

bool EpubBuild::writeDocuments() {
    ZipSink sink(*zip);
    XhtmlSettings settings;
    settings.language = language;
    settings.title = title;
    char entry[kPathSize + 8];
    if (coverPage) writeCoverPage();
    for (int32_t i = 0; i < spineCount; ++i) {
        if (stopped()) return false;
        reporter.setProgress(spineCount + i + 1);
        reporter.showStatusAndNumber(IDS_BUILD_MERGING, i + 1);
        const EpubFile& file = files[spine[i]];
        FileHandle document = openFile(file.source, OpenMode::read);
        if (document == kInvalidFileHandle)
            return failAbout("The file %s, referenced in the Manifest is not available", file.source);
        copyText(entry, kFolder);
        appendText(entry, file.name);
        zip->beginEntry(entry, true);
        BookContext context(*this, spine[i], true);
        bool converted = file.kind == FileKind::text ? converter.convertText(document, settings, sink)
                                                      : converter.convert(document, settings, context, sink);
        closeFile(document);
        if (!converted) return fail("Not enough memory to write the documents");
        if (zip->failed()) break;
    }
    return true;
}

bool EpubBuild::copyFile(const EpubFile& file) {
    FileHandle source = openFile(file.source, OpenMode::read);
    if (source == kInvalidFileHandle)
        return failAbout("The file %s could not be read into the EPUB", file.source);
    char entry[kPathSize + 8];
    copyText(entry, kFolder);
    appendText(entry, file.name);
    // Pictures other than drawings are compressed already.
    zip->beginEntry(entry, file.kind == FileKind::styleSheet || std::strcmp(file.mediaType, "image/svg+xml") == 0);
    uint64_t left = fileSize(file.source);
    char block[64 * 1024];
    bool ok = true;
    while (left > 0 && ok) {
        uint32_t n = left < sizeof block ? uint32_t(left) : uint32_t(sizeof block);
        ok = readBytes(source, block, n) && zip->write(block, n);
        left -= n;
    }
    closeFile(source);
    if (!ok && !zip->failed()) return failAbout("The file %s could not be read into the EPUB", file.source);
    return true;
}

void EpubBuild::writeCoverPage() {
    zip->beginEntry("OEBPS/cover-page.xhtml", true);
    zip->write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
               "xmlns:epub=\"http://www.idpf.org/2007/ops\" xml:lang=\"");
    xml(language);
    zip->write("\" lang=\"");
    xml(language);
    zip->write("\">\n<head>\n<title>");
    xml(title);
    zip->write("</title>\n</head>\n<body epub:type=\"cover\">\n<div style=\"text-align:center\"><img src=\"");
    xml(files[coverFile].name);
    zip->write("\" alt=\"");
    xml(title);
    zip->write("\" style=\"max-width:100%;max-height:100%\"/></div>\n</body>\n</html>\n");
}

void EpubBuild::writeNavDocument() {
    zip->beginEntry("OEBPS/nav.xhtml", true);
    zip->write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" "
               "xmlns:epub=\"http://www.idpf.org/2007/ops\" xml:lang=\"");
    xml(language);
    zip->write("\" lang=\"");
    xml(language);
    zip->write("\">\n<head>\n<title>");
    xml(navigationTitle);
    zip->write("</title>\n</head>\n<body>\n<nav epub:type=\"toc\" id=\"toc\">\n<h1>");
    xml(navigationTitle);
    zip->write("</h1>\n<ol>\n");
    for (int32_t i = 0; i < navigation.count; ++i) {
        int32_t level = navigation.entries[i].level;
        zip->write("<li><a href=\"");
        xml(navigation.address(i));
        zip->write("\">");
        xml(navigation.label(i));
        zip->write("</a>");
        int32_t next = i + 1 < navigation.count ? navigation.entries[i + 1].level : 0;
        if (next > level) {
            zip->write("\n<ol>\n");
            continue;
        }
        zip->write("</li>\n");
        for (int32_t d = level; d > next; --d) zip->write("</ol>\n</li>\n");
    }
    zip->write("</ol>\n</nav>\n</body>\n</html>\n");
}

void EpubBuild::writeNcx() {
    zip->beginEntry("OEBPS/toc.ncx", true);
    int32_t deepest = 0;
    for (int32_t i = 0; i < navigation.count; ++i)
        if (navigation.entries[i].level > deepest) deepest = navigation.entries[i].level;
    char number[32];
    zip->write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\" "
               "version=\"2005-1\">\n<head>\n<meta name=\"dtb:uid\" content=\"");
    xml(identifier);
    std::snprintf(number, sizeof number, "%d", static_cast<int>(deepest + 1));
    zip->write("\"/>\n<meta name=\"dtb:depth\" content=\"");
    zip->write(number);
    zip->write("\"/>\n<meta name=\"dtb:totalPageCount\" content=\"0\"/>\n<meta name=\"dtb:maxPageNumber\" "
               "content=\"0\"/>\n</head>\n<docTitle><text>");
    xml(title);
    zip->write("</text></docTitle>\n<navMap>\n");
    // One play order for each place the book is read from.
    TextPool* order = new (std::nothrow) TextPool;
    for (int32_t i = 0; i < navigation.count; ++i) {
        int32_t level = navigation.entries[i].level;
        int32_t play = order != nullptr ? order->intern(navigation.address(i)) + 1 : i + 1;
        std::snprintf(number, sizeof number, "%d", static_cast<int>(i + 1));
        zip->write("<navPoint id=\"point-");
        zip->write(number);
        std::snprintf(number, sizeof number, "%d", static_cast<int>(play > 0 ? play : i + 1));
        zip->write("\" playOrder=\"");
        zip->write(number);
        zip->write("\"><navLabel><text>");
        xml(navigation.label(i));
        zip->write("</text></navLabel><content src=\"");
        xml(navigation.address(i));
        zip->write("\"/>");
        int32_t next = i + 1 < navigation.count ? navigation.entries[i + 1].level : 0;
        if (next > level) {
            zip->write("\n");
            continue;
        }
        zip->write("</navPoint>\n");
        for (int32_t d = level; d > next; --d) zip->write("</navPoint>\n");
    }
    delete order;
    zip->write("</navMap>\n</ncx>\n");
}

void EpubBuild::writePackage() {
    zip->beginEntry("OEBPS/content.opf", true);
    zip->write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<package xmlns=\"http://www.idpf.org/2007/opf\" "
               "version=\"3.0\" unique-identifier=\"book-id\" xml:lang=\"");
    xml(language);
    zip->write("\">\n<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n<dc:identifier id=\"book-id\">");
    xml(identifier);
    zip->write("</dc:identifier>\n<dc:title>");
    xml(title);
    zip->write("</dc:title>\n<dc:language>");
    xml(language);
    zip->write("</dc:language>\n");
    // The rest of the Dublin Core the package holds, as EPUB names it.
    static constexpr const char* kCarried[] = {"dc:Creator", "dc:Contributor", "dc:Description", "dc:Publisher",
                                               "dc:Subject", "dc:Source",      "dc:Relation",    "dc:Coverage",
                                               "dc:Type",    "dc:Format",      "dc:Rights",      "dc:Date"};
    for (int32_t i = 0; i < publication.metadataCount; ++i) {
        const MetadataEntry& entry = publication.metadata[i];
        if (!isLive(entry.state) || entry.value[0] == '\0') continue;
        for (const char* name : kCarried) {
            if (!equalsNoCase(entry.name, name)) continue;
            if (std::strcmp(name, "dc:Date") == 0 && !isW3cDate(entry.value)) break;
            char element[32];
            copyText(element, name);
            for (char* p = element; *p != '\0'; ++p)
                if (*p >= 'A' && *p <= 'Z') *p = char(*p - 'A' + 'a');
            char value[kTextBytes];
            ansiToUtf8(entry.value, value, sizeof value);
            zip->write("<");
            zip->write(element);
            zip->write(">");
            xml(value);
            zip->write("</");
            zip->write(element);
            zip->write(">\n");
            break;
        }
    }
    zip->write("<meta property=\"dcterms:modified\">");
    zip->write(modified);
    zip->write("</meta>\n");
    char id[32];
    if (coverFile >= 0) {
        // Readers of EPUB 2 find the cover this way.
        std::snprintf(id, sizeof id, "file-%d", static_cast<int>(coverFile + 1));
        zip->write("<meta name=\"cover\" content=\"");
        zip->write(id);
        zip->write("\"/>\n");
    }
    zip->write("</metadata>\n<manifest>\n<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
               "properties=\"nav\"/>\n<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>\n");
    if (coverPage)
        zip->write("<item id=\"cover-page\" href=\"cover-page.xhtml\" media-type=\"application/xhtml+xml\"/>\n");
    for (int32_t i = 0; i < fileCount; ++i) {
        const EpubFile& file = files[i];
        if (file.kind == FileKind::refused) continue;
        std::snprintf(id, sizeof id, "file-%d", static_cast<int>(i + 1));
        zip->write("<item id=\"");
        zip->write(id);
        zip->write("\" href=\"");
        xml(file.name);
        zip->write("\" media-type=\"");
        zip->write(mediaTypeOf(file));
        zip->write(file.coverImage ? "\" properties=\"cover-image\"/>\n" : "\"/>\n");
    }
    zip->write("</manifest>\n<spine toc=\"ncx\">\n");
    if (coverPage) zip->write("<itemref idref=\"cover-page\"/>\n");
    for (int32_t i = 0; i < spineCount; ++i) {
        std::snprintf(id, sizeof id, "file-%d", static_cast<int>(spine[i] + 1));
        zip->write("<itemref idref=\"");
        zip->write(id);
        zip->write("\"/>\n");
    }
    zip->write("</spine>\n</package>\n");
}

void EpubBuild::removePartial() {
    if (output.file != kInvalidFileHandle) abandonSafeFile(output);
}

bool EpubBuild::idKnown(int32_t file, const char* id) const {
    if (idsFull) return true;  // what cannot be checked is trusted
    char key[kPathSize + 16];
    std::snprintf(key, sizeof key, "%d\x1f%s", static_cast<int>(file), id);
    return ids.find(key) >= 0;
}

void EpubBuild::xml(const char* text) {
    const char* run = text;
    for (const char* p = text;; ++p) {
        const char* entity = *p == '&' ? "&amp;" : *p == '<' ? "&lt;" : *p == '>' ? "&gt;" : *p == '"' ? "&quot;" : nullptr;
        if (entity == nullptr && *p != '\0') continue;
        zip->write(run, static_cast<uint32_t>(p - run));
        if (*p == '\0') return;
        zip->write(entity);
        run = p + 1;
    }
}

bool BookContext::mapAddress(XhtmlAddress kind, const char* address, char* out, size_t capacity) {
    const EpubFile& document = build_.files[document_];
    if (kind == XhtmlAddress::picture) {
        Url url;
        url.setFromFile(build_.publication.path);
        url.setFile(document.source);
        url.set(address);
        char path[kPathSize];
        int32_t picture = url.toPath(path) ? build_.pictureFile(path, writing_) : -1;
        if (picture < 0) return false;
        return copyText(out, capacity, build_.files[picture].name);
    }
    if (kind == XhtmlAddress::link && isWebAddress(address)) {
        if (startsWithNoCase(address, "javascript:")) return false;
        out[0] = '\0';
        appendUrlEscaped(out, capacity, address, true);
        return true;
    }
    Url url;
    url.setFromFile(document.source);
    url.set(address);
    char path[kPathSize];
    int32_t target = url.toPath(path) ? build_.findFile(path) : -1;
    if (kind == XhtmlAddress::styleSheet) {
        return target >= 0 && build_.files[target].kind == FileKind::styleSheet &&
               copyText(out, capacity, build_.files[target].name);
    }
    bool isDocument = target >= 0 && (build_.files[target].kind == FileKind::document ||
                                      build_.files[target].kind == FileKind::text);
    char fragment[kPathSize];
    cleanId(url.fragment, fragment, sizeof fragment);
    bool landed = isDocument && (fragment[0] == '\0' || build_.idKnown(target, fragment));
    if (writing_ && !landed) {
        int32_t n = build_.unresolvedLinks++;
        if (n < kLinksListed)
            std::snprintf(build_.unresolvedListed[n], kBuildMessageSize, "  %s in %s", address,
                          programPathForDisplay(document.source).c_str());
    }
    if (!isDocument) return false;
    copyText(out, capacity, build_.files[target].name);
    if (landed && fragment[0] != '\0') {
        appendText(out, capacity, "#");
        appendUrlEscaped(out, capacity, fragment, false);
    }
    return true;
}

void BookContext::noteId(const char* id) {
    if (writing_ || build_.idsFull) return;
    char key[kPathSize + 16];
    std::snprintf(key, sizeof key, "%d\x1f%s", static_cast<int>(document_), id);
    if (build_.ids.intern(key) < 0) build_.idsFull = true;
}

void BookContext::noteHeading(int level, const char* id, const char* text) {
    if (writing_ || id[0] == '\0') return;
    char address[kPathSize * 2];
    copyText(address, build_.files[document_].name);
    appendText(address, "#");
    appendUrlEscaped(address, sizeof address, id, false);
    build_.headings.add(level, text, address, true);
}

bool isDocumentPath(const char* path) {
    return endsWithNoCase(path, "txt") || endsWithNoCase(path, "htm") || endsWithNoCase(path, "html");
}

bool isPlaceholderPage(const char* path) {
    uint64_t size = fileSize(path);
    if (size > 1024) return false;
    char page[1025];
    FileHandle file = openFile(path, OpenMode::read);
    bool read = file != kInvalidFileHandle && readBytes(file, page, uint32_t(size));
    closeFile(file);
    if (!read) return false;
    page[size] = '\0';
    // Its text, tags and blanks left out, is the placeholder alone.
    char text[1025];
    size_t used = 0;
    bool inTag = false;
    for (const char* p = page; *p != '\0'; ++p) {
        if (*p == '<') inTag = true;
        if (!inTag && !isMarkupBlank(*p)) text[used++] = *p;
        if (*p == '>') inTag = false;
    }
    text[used] = '\0';
    char expected[64];
    size_t n = 0;
    for (const char* p = kPlaceholder; *p != '\0'; ++p)
        if (*p != ' ') expected[n++] = *p;
    expected[n] = '\0';
    return std::strcmp(text, expected) == 0;
}

bool firstPictureOf(const char* page, char* out) {
    FileHandle file = openFile(page, OpenMode::read);
    if (file == kInvalidFileHandle) return false;
    auto scanner = std::make_unique<TagScanner>();
    char src[kFieldSize] = "";
    while (src[0] == '\0' && scanner->nextTag(file) != -1) {
        if (scanner->isTag("IMG"))
            scanner->getAttribute("SRC", src);
        else if (scanner->isTag("IMAGE") && !scanner->getAttribute("XLINK:HREF", src))
            scanner->getAttribute("HREF", src);
    }
    closeFile(file);
    if (src[0] == '\0') return false;
    decodeEntities(src);
    Url url;
    url.setFromFile(page);
    url.set(src);
    return url.toPath(out);
}

// The picture's media type by its first bytes; null for anything else.
const char* pictureType(const char* path) {
    char head[4096] = {};
    FileHandle file = openFile(path, OpenMode::read);
    uint64_t size = fileSize(path);
    uint32_t length = size < sizeof head - 1 ? uint32_t(size) : uint32_t(sizeof head - 1);
    bool read = file != kInvalidFileHandle && length >= 8 && readBytes(file, head, length);
    closeFile(file);
    if (!read) return nullptr;
    // A drawing readers take declares the SVG namespace.
    if (endsWithNoCase(path, ".svg"))
        return std::strstr(head, "http://www.w3.org/2000/svg") != nullptr ? "image/svg+xml" : nullptr;
    if (std::memcmp(head, "GIF8", 4) == 0) return "image/gif";
    if (std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0) return "image/png";
    if (uint8_t(head[0]) == 0xFF && uint8_t(head[1]) == 0xD8 && uint8_t(head[2]) == 0xFF) return "image/jpeg";
    return nullptr;
}

// "2026", "2026-05" or "2026-05-17", optionally with a time behind a "T".
bool isW3cDate(const char* text) {
    auto digits = [&](int at, int n) {
        for (int i = 0; i < n; ++i)
            if (text[at + i] < '0' || text[at + i] > '9') return false;
        return true;
    };
    if (!digits(0, 4)) return false;
    if (text[4] == '\0') return true;
    if (text[4] != '-' || !digits(5, 2)) return false;
    if (text[7] == '\0') return true;
    if (text[7] != '-' || !digits(8, 2)) return false;
    return text[10] == '\0' || text[10] == 'T';
}

void appendUrlEscaped(char* out, size_t capacity, const char* text, bool keepPercent) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char* p = text; *p != '\0'; ++p) {
        auto c = static_cast<uint8_t>(*p);
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     std::strchr("-._~!$&'()*+,;=:@/?", c) != nullptr || (keepPercent && (c == '%' || c == '#'));
        char piece[4] = {static_cast<char>(c), '\0'};
        if (!plain) {
            piece[0] = '%';
            piece[1] = kHex[c >> 4];
            piece[2] = kHex[c & 15];
            piece[3] = '\0';
        }
        if (!appendText(out, capacity, piece)) return;
    }
}

// A plain name from the file's own: letters, digits, "-" and "_" only,
// with the extension its kind is written with.
void makeName(const char* source, FileKind kind, const char* mediaType, char* out) {
    char name[kPathSize];
    fileNameOfPath(source, name);
    char* dot = std::strrchr(name, '.');
    if (dot != nullptr && dot != name) *dot = '\0';
    size_t n = 0;
    for (const char* p = name; *p != '\0' && n < 64; ++p) {
        char c = *p;
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        out[n++] = plain ? c : '_';
    }
    if (n == 0) out[n++] = 'f';
    out[n] = '\0';
    const char* extension = ".xhtml";
    if (kind == FileKind::styleSheet) extension = ".css";
    if (kind == FileKind::picture) {
        extension = std::strcmp(mediaType, "image/gif") == 0    ? ".gif"
                    : std::strcmp(mediaType, "image/png") == 0  ? ".png"
                    : std::strcmp(mediaType, "image/jpeg") == 0 ? ".jpg"
                                                               : ".svg";
    }
    appendText(out, kPathSize, extension);
}

const char* mediaTypeOf(const EpubFile& file) {
    return file.kind == FileKind::text ? "application/xhtml+xml" : file.mediaType;
}

}  // namespace
