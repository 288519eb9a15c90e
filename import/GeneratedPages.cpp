#include "GeneratedPages.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

#include "HtmlImport.h"
#include "model/CommandLinePath.h"
#include "model/Paths.h"
#include "model/ShortDate.h"
#include "model/Text.h"

namespace {

constexpr const char* kCoverPage =
    "<?xml version=\"1.0\"?>\n<html>\n<head>\n</head>\n<body>Insert here the coverpage image</body>\n</html>";
constexpr const char* kBiographyPage =
    "<?xml version=\"1.0\"?>\n<html>\n<head>\n</head>\n<body><h1 "
    "align=\"center\">Biography</h1></body>\n</html>";
constexpr const char* kContentHead = "<html>\n<head></head>\n<body>";
// The pages of a UTF-8 source hold its characters converted: they say so.
constexpr const char* kCharsetMeta =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">";
constexpr const char* kLineEnd = "\r\n";
constexpr const char* kBiographyTitle = "Biography";
constexpr const char* kTocTitle = "Table Of Contents";
constexpr size_t kLabelPieceLength = 50;

bool buildPagePaths(ImportJob& job);
bool buildPath(char* out, const ImportJob& job, const char* suffix);
template <typename Matches>
bool findPage(const ImportJob& job, char* out, Matches matches);
bool contentFilePath(const ImportJob& job, int32_t n, char* out);
OpenMode pageMode(const ImportJob& job);
bool writeWholePage(ImportJob& job, const char* path, const char* text);
void recordFileError(ImportJob& job, const char* message, const char* path);
bool openContentFile(ImportJob& job);
bool openTableOfContents(ImportJob& job);
void writeRightsSection(ImportJob& job);
void cutLabel(const char* label, char* out);
void recordError(ImportJob& job, const char* message, const char* path);
void writeLink(OutputBuffer& out, const char* fileName, const char* fragment);
bool hrefOf(ImportJob& job, const char* path, char* out);

}  // namespace

bool startPages(ImportJob& job) {
    job.contentFileCount = 0;
    job.failed = false;
    if (!namePages(job)) return false;
    char existing[kPathSize];
    if (pageWouldReplaceSource(job, existing)) {
        recordError(job, "The import would overwrite its own source : ", existing);
        return false;
    }
    if (!job.replaceExisting && findExistingPage(job, existing)) {
        recordError(job, kPageExistsMessage, existing);
        return false;
    }
    bool started = true;
    if (job.addBiography && !writeWholePage(job, job.biographyPath, kBiographyPage)) {
        recordFileError(job, "Unable to create the biography file : ", job.biographyPath);
        started = false;
    }
    if (started && !writeWholePage(job, job.coverPath, kCoverPage)) {
        recordFileError(job, "Unable to create the coverpage file : ", job.coverPath);
        started = false;
    }
    if (started) started = openContentFile(job);
    if (started && !openTableOfContents(job)) {
        job.contentWriter.abandon();
        job.contentWriterOpen = false;
        started = false;
    }
    if (!started) job.created.removeAll();
    return started;
}

bool namePages(ImportJob& job) {
    if (!checkBaseName(job)) return false;
    char firstContent[kPathSize];
    if (!buildPagePaths(job) || !contentFilePath(job, 1, firstContent)) {
        recordError(job, "The file name is too long : ", job.coverPath);
        return false;
    }
    return true;
}

bool pageWouldReplaceSource(const ImportJob& job, char* out) {
    return findPage(job, out, [&](const char* path) { return equalsNoCase(path, job.sourcePath); });
}

bool findExistingPage(const ImportJob& job, char* out) {
    return findPage(job, out, [](const char* path) { return fileExists(path); });
}

bool checkBaseName(ImportJob& job) {
    if (job.baseName[0] != '\0') return true;
    recordError(job, "The source file name gives no page name : ", job.sourcePath);
    return false;
}

void writeTocEntry(ImportJob& job, const char* headingText, const char* label) {
    char piece[kLabelPieceLength + 1];
    cutLabel(label, piece);
    OutputBuffer& toc = job.tocWriter;
    writeLink(toc, job.contentFiles[job.contentFileCount], piece);
    toc.writeString(headingText);
    toc.writeString("</a><br>");
    toc.writeString(kLineEnd);
}

void writeAnchoredHeading(ImportJob& job, const char* tagName, const char* headingText, const char* label) {
    char piece[kLabelPieceLength + 1];
    cutLabel(label, piece);
    OutputBuffer& content = job.contentWriter;
    content.writeString(kLineEnd);
    content.writeString("<");
    content.writeString(tagName);
    content.writeString("><a name=\"");
    content.writeString(piece);
    content.writeString("\"></A>");
    // Links of the source to its own anchors keep their targets.
    writeAuthorAnchors(job);
    content.writeString(headingText);
    content.writeString("</");
    content.writeString(tagName);
    content.writeString(">");
    content.writeString(kLineEnd);
}

void chapterLabel(ImportJob& job, char* out) {
    std::snprintf(out, kLabelSize, "Chap.%d", ++job.chapterCounter);
}

void addChapter(ImportJob& job, char* headingText) {
    char* kept = headingText;
    for (const char* c = headingText; *c != '\0'; ++c) {
        if (*c != '\r' && *c != '\n') *kept++ = *c;
    }
    *kept = '\0';
    char label[kLabelSize];
    chapterLabel(job, label);
    writeTocEntry(job, headingText, label);
    writeAnchoredHeading(job, "H1", headingText, label);
    job.headingFrom = job.headingTo = 0;
}

bool canOpenAnotherContentFile(const ImportJob& job) {
    return job.contentFileCount < kMaxContentFiles;
}

bool openNextContentFile(ImportJob& job) {
    if (!canOpenAnotherContentFile(job)) return false;
    return openContentFile(job);
}

void closeContentFile(ImportJob& job) {
    if (!job.contentWriterOpen) return;
    job.contentWriter.writeString(kContentTail);
    job.contentWriterOpen = false;
    if (job.contentWriter.close()) {
        // A page is the import's own to remove once it is in place.
        job.created.add(job.contentFiles[job.contentFileCount], job.destinationFolder);
    } else {
        char path[kPathSize];
        copyText(path, job.destinationFolder);
        appendText(path, job.contentFiles[job.contentFileCount]);
        recordFileError(job, "Unable to write the content file : ", path);
    }
}

void closeTableOfContents(ImportJob& job) {
    if (!job.tocWriterOpen) return;
    OutputBuffer& toc = job.tocWriter;
    toc.writeString("</blockquote>");
    if (job.addBiography) {
        char name[kPathSize];
        fileNameOfPath(job.biographyPath, name);
        toc.writeString("<br>\n");
        writeLink(toc, name, nullptr);
        toc.writeString(kBiographyTitle);
        toc.writeString("</a>");
    }
    toc.writeString("</body>\n</html>");
    job.tocWriterOpen = false;
    if (toc.close())
        job.created.add(job.tocPath);
    else
        recordFileError(job, "Unable to write the TOC file : ", job.tocPath);
}

bool writePackageDocument(ImportJob& job) {
    Publication& publication = job.publication;
    char date[kValueSize];
    todayShortDate(date, sizeof date);
    publication.addMetadata("dc:Creator", job.authorName);
    publication.addMetadata("dc:Title", job.bookTitle);
    if (job.addRights) publication.addMetadata("dc:Rights", job.rightsText);
    publication.addMetadata("dc:Date", date);
    makeUniqueIdentifier(publication.uniqueIdentifier);

    char tocName[kPathSize];
    char coverName[kPathSize];
    char biographyName[kPathSize];
    if (!hrefOf(job, job.tocPath, tocName) || !hrefOf(job, job.coverPath, coverName) ||
        !hrefOf(job, job.biographyPath, biographyName))
        return false;
    publication.addGuideReference(kTocTitle, tocName, "toc");
    if (job.addBiography) publication.addGuideReference(kBiographyTitle, biographyName, "biography");

    publication.addManifestItem("cover", coverName, kDocumentMediaType);
    publication.addSpineItem("cover");
    publication.addManifestItem("toc", tocName, kDocumentMediaType);
    publication.addSpineItem("toc");
    for (int32_t n = 1; n <= job.contentFileCount; ++n) {
        char id[kFieldSize];
        std::snprintf(id, sizeof id, "ContentFile_%d", n);
        char href[kFieldSize];
        if (!hrefOf(job, job.contentFiles[n], href)) return false;
        publication.addManifestItem(id, href, kDocumentMediaType);
        publication.addSpineItem(id);
    }
    if (job.addBiography) {
        publication.addManifestItem("biography", biographyName, kDocumentMediaType);
        publication.addSpineItem("biography");
    }
    for (int32_t n = 1; n <= job.pictureCount; ++n) {
        char id[kFieldSize];
        std::snprintf(id, sizeof id, "Picture_%d", n);
        char href[kFieldSize] = "";
        if (!appendAddress(href, sizeof href, job.pictures[n - 1])) {
            recordError(job, "The file name is too long for the package : ", job.pictures[n - 1]);
            return false;
        }
        publication.addManifestItem(id, href, pictureMediaType(job.pictures[n - 1]));
    }

    if (const char* value = publication.valueTooLongToReadBack()) {
        setLastError(job,
                     {"A name is too long for the package once its markup characters are escaped : ", value});
        job.failed = true;
        return false;
    }
    SafeFile package;
    if (!openSafeFile(package, job.packagePath)) {
        recordFileError(job, "Unable to create the package file : ", job.packagePath);
        return false;
    }
    publication.writePackage(package.file);
    if (!commitSafeFile(package, job.replaceExisting)) {
        recordFileError(job, "Unable to write the package file : ", job.packagePath);
        return false;
    }
    job.created.add(job.packagePath);
    return true;
}

bool finishImport(ImportJob& job) {
    if (!job.running) return !job.failed;
    if (job.addRights && job.rightsText[0] != '\0') writeRightsSection(job);
    closeContentFile(job);
    closeTableOfContents(job);
    closeSource(job);
    if (!job.failed && job.chapterRequired && job.chapterCounter == 0) {
        recordError(job, kNoChapterMessage, job.sourcePath);
    }
    if (!job.failed && job.sourceKind == SourceKind::html) copySourcePictures(job);
    // A package would list pages that are not whole.
    if (!job.failed) writePackageDocument(job);
    job.running = false;
    // Whole pages belong to the user from now on.
    if (job.failed)
        job.created.removeAll();
    else
        job.created.keepAll();
    return !job.failed;
}

void abandonImport(ImportJob& job) {
    if (job.contentWriterOpen) job.contentWriter.abandon();
    if (job.tocWriterOpen) job.tocWriter.abandon();
    job.contentWriterOpen = job.tocWriterOpen = false;
    closeSource(job);
    job.running = false;
    job.created.removeAll();
}

void failImport(ImportJob& job, const char* message, const char* path) {
    recordError(job, message, path);
    abandonImport(job);
}

void makeUniqueIdentifier(char* out) {
    static std::mt19937 random(
        static_cast<std::mt19937::result_type>(std::chrono::system_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<int> pick(0, ':' - ')');
    for (int i = 0; i < 10; ++i) out[i] = char(')' + pick(random));
    out[10] = '\0';
}

namespace {

// The cover page has the longest name; when it fits, every page does.
bool buildPagePaths(ImportJob& job) {
    bool fits = buildPath(job.coverPath, job, "_cover.htm");
    fits = buildPath(job.packagePath, job, ".opf") && fits;
    fits = buildPath(job.tocPath, job, "_TOC.htm") && fits;
    fits = buildPath(job.biographyPath, job, "_bio.htm") && fits;
    return fits;
}

bool buildPath(char* out, const ImportJob& job, const char* suffix) {
    bool fits = copyText(out, kPathSize, job.destinationFolder);
    fits = appendText(out, kPathSize, job.baseName) && fits;
    return appendText(out, kPathSize, suffix) && fits;
}

// Every page the import can write: the content files up to as many as the
// source's size can fill. out holds the first that matches.
template <typename Matches>
bool findPage(const ImportJob& job, char* out, Matches matches) {
    const char* pages[] = {job.packagePath, job.tocPath, job.coverPath,
                           job.addBiography ? job.biographyPath : nullptr};
    for (const char* path : pages) {
        if (path != nullptr && matches(path)) return copyText(out, kPathSize, path);
    }
    int64_t contentFiles = 1;
    if (job.sourceKind == SourceKind::text)
        contentFiles += int64_t(fileSize(job.sourcePath) / (uint64_t(kDefaultSplitSize) * 1024));
    if (contentFiles > kMaxContentFiles) contentFiles = kMaxContentFiles;
    for (int32_t n = 1; n <= contentFiles; ++n) {
        if (contentFilePath(job, n, out) && matches(out)) return true;
    }
    return false;
}

bool contentFilePath(const ImportJob& job, int32_t n, char* out) {
    char number[24];
    std::snprintf(number, sizeof number, "_%d.htm", int(n));
    return copyText(out, kPathSize, job.destinationFolder) && appendText(out, kPathSize, job.baseName) &&
           appendText(out, kPathSize, number);
}

OpenMode pageMode(const ImportJob& job) {
    return job.replaceExisting ? OpenMode::create : OpenMode::createNew;
}

bool writeWholePage(ImportJob& job, const char* path, const char* text) {
    OutputBuffer page;
    if (!page.open(path, pageMode(job))) return false;
    page.writeString(text);
    if (!page.close()) return false;
    job.created.add(path);
    return true;
}

bool openContentFile(ImportJob& job) {
    int32_t n = job.contentFileCount + 1;
    char path[kPathSize];
    bool fits = contentFilePath(job, n, path);
    fileNameOfPath(path, job.contentFiles[n]);
    job.contentFileCount = n;
    job.charactersInContentFile = 0;
    // The start checked every name the source can fill against the source.
    if (!fits) {
        recordError(job, "The file name is too long : ", path);
        return false;
    }
    if (!job.contentWriter.open(path, pageMode(job))) {
        recordFileError(job, "Unable to create the content file : ", path);
        return false;
    }
    job.contentWriterOpen = true;
    job.contentWriter.writeString(job.utf8Source ? kConvertedContentHead : kContentHead);
    return true;
}

bool openTableOfContents(ImportJob& job) {
    if (!job.tocWriter.open(job.tocPath, pageMode(job))) {
        recordFileError(job, "Unable to create the TOC file : ", job.tocPath);
        return false;
    }
    job.tocWriterOpen = true;
    OutputBuffer& toc = job.tocWriter;
    if (job.utf8Source) {
        toc.writeString("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<html>\n<head>\n");
        toc.writeString(kCharsetMeta);
        toc.writeString("\n<title>");
    } else {
        toc.writeString("<?xml version=\"1.0\"?>\n<html>\n<head>\n<title>");
    }
    toc.writeEscaped(job.bookTitle);
    toc.writeString("</title>\n</head>\n<body>");
    toc.writeString(kLineEnd);
    toc.writeString("<h1 align=\"center\">Table Of Contents</h1>");
    toc.writeString(kLineEnd);
    toc.writeString("<blockquote>");
    toc.writeString(kLineEnd);
    return true;
}

void writeRightsSection(ImportJob& job) {
    writeTocEntry(job, "Copyright", "BookLicense");
    writeAnchoredHeading(job, "H1", "Copyright", "BookLicense");
    job.contentWriter.writeEscaped(job.rightsText);
}

void cutLabel(const char* label, char* out) {
    size_t length = strnlen(label, kLabelPieceLength);
    std::memcpy(out, label, length);
    out[length] = '\0';
}

// "<a href=" and the file's address, with "#" and the fragment when there
// is one, up to the ">" of the tag.
void writeLink(OutputBuffer& out, const char* fileName, const char* fragment) {
    char address[3 * kPathSize] = "";
    char target[6 * 3 * kPathSize] = "";
    appendAddress(address, sizeof address, fileName);
    appendEscaped(target, sizeof target, address, MarkupPlace::attribute);
    out.writeString("<a href=\"");
    out.writeString(target);
    if (fragment != nullptr) {
        out.writeString("#");
        out.writeString(fragment);
    }
    out.writeString("\">");
}

// The address of the page at path, relative to the package beside it.
bool hrefOf(ImportJob& job, const char* path, char* out) {
    char name[kPathSize];
    fileNameOfPath(path, name);
    out[0] = '\0';
    if (appendAddress(out, kFieldSize, name)) return true;
    recordError(job, "The file name is too long for the package : ", path);
    return false;
}

// Paths are shown in the form users of this system know. The first failure
// is the one told: on a full disk the pages closed after it fail as well.
void recordError(ImportJob& job, const char* message, const char* path) {
    if (!job.failed) setLastError(job, {message, programPathForDisplay(path).c_str()});
    job.failed = true;
}

// The same with the system's reason for the latest file failure.
void recordFileError(ImportJob& job, const char* message, const char* path) {
    if (!job.failed) setLastError(job, {message, programPathForDisplay(path).c_str(), " (", lastFileError(), ")"});
    job.failed = true;
}

}  // namespace
