#include "NewPublicationFiles.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "model/CreatedFiles.h"
#include "model/Files.h"
#include "model/Paths.h"
#include "model/Publication.h"
#include "model/ShortDate.h"
#include "model/Text.h"

namespace {

constexpr const char* kPageType = "text/x-oeb1-document";
constexpr const char* kBiography = "Biography";
constexpr const char* kXmlHead = "<?xml version=\"1.0\"?>\n<html>\n<head>\n</head>\r\n";

bool setAsideIfThere(const char* path, CreatedFiles& created);
bool writePage(const char* path, const char* const* pieces, CreatedFiles& created);
bool probeFolder(const char* target);

}  // namespace

bool canCreateTarget(const char* target) {
    if (target == nullptr || target[0] == '\0' || std::strpbrk(target, "*?") != nullptr) return false;
    if (fileExists(target)) return probeFolder(target);
    // Never through a link that points nowhere yet.
    FileHandle file = openFile(target, OpenMode::createNew);
    if (file == kInvalidFileHandle) return false;
    closeFile(file);
    deleteFile(target);
    return true;
}

bool writeNewPublication(const NewPublicationChoices& choices, char* packagePath, char* failedPath) {
    char ignored[kPathSize];
    if (failedPath == nullptr) failedPath = ignored;
    failedPath[0] = '\0';
    // A cut path would name another file: nothing is written then.
    if (!copyText(packagePath, kPathSize, choices.target) ||
        (std::strstr(packagePath, ".opf") == nullptr && !appendText(packagePath, kPathSize, ".opf"))) {
        copyText(failedPath, kPathSize, choices.target);
        return false;
    }
    auto publication = std::make_unique<Publication>();
    char folder[kPathSize];
    folderOfPath(packagePath, folder);
    char tocPath[kPathSize], coverPath[kPathSize], bioPath[kPathSize];
    copyText(tocPath, folder);
    bool tocFits = appendText(tocPath, "toc.htm");
    copyText(coverPath, folder);
    bool coverFits = appendText(coverPath, "cover.htm");
    copyText(bioPath, folder);
    bool bioFits = appendText(bioPath, "bio.htm");

    CreatedFiles created;
    struct Page {
        bool chosen;
        bool fits;
        const char* path;
        const char* const* pieces;
    };
    // The name and the author are text in the pages: their markup
    // characters are written as entities.
    char name[6 * kPathSize] = "";
    char author[6 * kPathSize] = "";
    appendEscaped(name, sizeof name, choices.name, MarkupPlace::text);
    appendEscaped(author, sizeof author, choices.author, MarkupPlace::text);
    const char* tocPieces[] = {
        "<html>\r\n<head>\r\n</head>\r\n<body>\r\n<h1 align=\"center\">Table Of Contents</h1>\r\n"
        "<i>Add links below to the contents files</i>\r\n</body>\r\n</html>",
        nullptr};
    const char* coverPieces[] = {
        kXmlHead, "<body>\r\n<h1 align=\"center\">",
        name,     "</h1><br>\r\n<h2 align=\"center\">",
        author,   "</h2><br>\r\n<i>Add here an image for your cover page</i>\r\n</body>\r\n</html>",
        nullptr};
    const char* bioPieces[] = {kXmlHead,   "<body>\r\n<h1 align=\"center\">",
                               kBiography, "</h1><br>\r\n<h2 align=\"center\">",
                               author,     "</h2><br>\r\n<i>Add here a biography</i>\r\n</body>\r\n</html>",
                               nullptr};
    const Page pages[] = {{choices.tableOfContents, tocFits, tocPath, tocPieces},
                          {choices.cover, coverFits, coverPath, coverPieces},
                          {choices.biography, bioFits, bioPath, bioPieces}};
    auto fail = [&](const char* path) {
        copyText(failedPath, kPathSize, path);
        created.removeAll();
        return false;
    };
    // The user's files that New replaces are moved aside first: they come
    // back whole when a later file fails.
    for (const Page& page : pages) {
        if (page.chosen && page.fits && !setAsideIfThere(page.path, created)) return fail(page.path);
    }
    if (!setAsideIfThere(packagePath, created)) return fail(packagePath);
    for (const Page& page : pages) {
        if (page.chosen && (!page.fits || !writePage(page.path, page.pieces, created))) return fail(page.path);
    }

    if (choices.cover) publication->addManifestItem("cover", "cover.htm", kPageType);
    if (choices.tableOfContents) publication->addManifestItem("toc", "toc.htm", kPageType);
    if (choices.biography) publication->addManifestItem("bio", "bio.htm", kPageType);
    if (choices.cover) publication->addSpineItem("cover");
    if (choices.tableOfContents) publication->addSpineItem("toc");
    if (choices.biography) publication->addSpineItem("bio");
    char date[kValueSize];
    todayShortDate(date, sizeof date);
    publication->addMetadata("dc:Title", choices.name);
    publication->addMetadata("dc:Creator", choices.author);
    publication->addMetadata("dc:Date", date);
    if (choices.tableOfContents) publication->addGuideReference("Table Of Contents", "toc.htm", "toc");
    if (choices.biography) publication->addGuideReference(kBiography, "bio.htm", "bio");

    SafeFile package;
    bool packageWritten = openSafeFile(package, packagePath);
    if (packageWritten) {
        publication->writePackage(package.file);
        packageWritten = commitSafeFile(package, true);
    }
    if (!packageWritten) return fail(packagePath);
    created.keepAll();
    return true;
}

namespace {

bool setAsideIfThere(const char* path, CreatedFiles& created) {
    return !fileExists(path) || created.setAside(path);
}

bool writePage(const char* path, const char* const* pieces, CreatedFiles& created) {
    SafeFile page;
    if (!openSafeFile(page, path)) return false;
    for (; *pieces != nullptr; ++pieces) writeText(page.file, *pieces);
    if (!commitSafeFile(page, true)) return false;
    created.add(path);
    return true;
}

// An existing file is left alone: a new file of another name in its folder
// tells whether the folder takes files.
bool probeFolder(const char* target) {
    char folder[kPathSize];
    folderOfPath(target, folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char probe[kPathSize];
        char name[32];
        std::snprintf(name, sizeof name, "~qbprobe%d.tmp", attempt);
        copyText(probe, folder);
        if (!appendText(probe, name)) return false;
        if (fileExists(probe)) continue;
        FileHandle file = openFile(probe, OpenMode::createNew);
        if (file == kInvalidFileHandle) return false;
        closeFile(file);
        deleteFile(probe);
        // A folder of that name cannot be replaced by a file.
        FileHandle existing = openFile(target, OpenMode::read);
        if (existing == kInvalidFileHandle) return false;
        closeFile(existing);
        return true;
    }
    return false;
}

}  // namespace
