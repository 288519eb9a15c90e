// quirebound-import: the import wizard's engines from the command line.
// The same start, steps and finishing sequence as the wizard's Finish, so
// the same choices write the same publication.
#include <cstdio>
#include <cstring>
#include <memory>

#include "GeneratedPages.h"
#include "ImportChecks.h"
#include "ImportJob.h"
#include "ImportRun.h"
#include "PalmDocImport.h"
#include "QuireboundVersion.h"
#include "model/CommandLinePath.h"
#include "model/Files.h"
#include "model/Paths.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

constexpr const char* kUsage =
    "Usage: quirebound-import [options] SOURCE\n"
    "Imports a text or HTML file, or a PalmDOC e-book (.prc, .pdb), into a new\n"
    "Open eBook publication and prints the path of the package document written.\n"
    "\n"
    "  --kind text|html|prc  kind of source (default: an e-book when the file\n"
    "                        starts with a PalmDOC header, else from the extension)\n"
    "  --dest FOLDER         destination folder (default: the source's folder)\n"
    "  --returns all|ignore-single\n"
    "                        every line end is meaningful (default), or single\n"
    "                        line ends are ignored (text)\n"
    "  --keep-hyphens        keep a hyphen before a line end (text)\n"
    "  --search STRING       chapter search string (text), as typed in the wizard:\n"
    "                        \\n a line end (CR LF), \\1 a number (digits, I V X C L\n"
    "                        and blanks), \\* any one character, \\$ one character\n"
    "                        that is no control and no small letter, \\x up to 99\n"
    "                        characters, \\X up to 99 characters without small\n"
    "                        letters; the last character is never compared\n"
    "  --tags LIST           heading tags (HTML), for example H1,H2\n"
    "  --title TEXT          book title (default: the source's base name; for an\n"
    "                        e-book its own title, else its database name)\n"
    "  --author TEXT         author name\n"
    "  --rights FILE         copyright and licence text file to add (at most\n"
    "                        8191 bytes)\n"
    "  --biography           add a biography page\n"
    "  --replace             replace files of the names the import writes\n"
    "                        (without it, an existing one stops the import)\n"
    "  -h, --help            show this text\n"
    "  --version             show the version\n"
    "\n"
    "Standard output holds only the path of the package written. Exit status 0\n"
    "when it was written; 1 with a message on standard error otherwise, also\n"
    "when a search string or tag list was given and found no chapter (nothing\n"
    "is then left behind). Long sources show their progress on standard error\n"
    "when it is a terminal.\n";

int fail(const char* message, const char* detail = nullptr);
// Where an option that is simply stored keeps its value; null for others.
const char** valueSlot(const char* option, const char** kind, const char** destination, const char** title,
                       const char** rights, const char** tags);
// Options whose value the loop itself interprets.
bool takesValue(const char* option);
bool isHtmlName(const char* path);
// Long sources show how far they are on standard error, when someone
// watches it.
class StandardErrorProgress final : public ImportReporter {
public:
    bool shown = false;
    void setProgress(int percent) override {
        if (!standardErrorIsTerminal()) return;
        shown = true;
        std::fprintf(stderr, "\rimporting: %3d%%", percent);
        std::fflush(stderr);
    }
};

}  // namespace

int main(int argc, char** argv) {
    auto job = std::make_unique<ImportJob>();
    // The wizard's options page opens in the mode "all carriage returns".
    job->lineEndMode = LineEndMode::allCarriageReturns;
    const char* source = nullptr;
    const char* kind = nullptr;
    const char* destination = nullptr;
    const char* title = nullptr;
    const char* rights = nullptr;
    const char* tags = "";
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(option, "--version") == 0) {
            std::puts("quirebound-import " QB_VERSION);
            return 0;
        }
        if (std::strcmp(option, "--keep-hyphens") == 0) {
            job->suppressHyphen = false;
            continue;
        }
        if (std::strcmp(option, "--biography") == 0) {
            job->addBiography = true;
            continue;
        }
        if (std::strcmp(option, "--replace") == 0) {
            job->replaceExisting = true;
            continue;
        }
        if (option[0] != '-' || option[1] != '-') {
            if (source != nullptr) return fail("more than one source:", option);
            source = option;
            continue;
        }
        const char** slot = valueSlot(option, &kind, &destination, &title, &rights, &tags);
        if (slot == nullptr && !takesValue(option)) return fail("unknown option:", option);
        if (i + 1 == argc) return fail("missing value after", option);
        const char* value = argv[++i];
        // The wizard's fields hold 255 characters; nothing is cut silently.
        if (std::strlen(value) > 255) return fail("the value is longer than 255 characters:", option);
        if (slot != nullptr) {
            *slot = value;
        } else if (std::strcmp(option, "--returns") == 0) {
            if (std::strcmp(value, "all") == 0) {
                job->lineEndMode = LineEndMode::allCarriageReturns;
            } else if (std::strcmp(value, "ignore-single") == 0) {
                job->lineEndMode = LineEndMode::ignoreSingleReturns;
            } else {
                return fail("unknown carriage-return mode:", value);
            }
        } else if (std::strcmp(option, "--search") == 0) {
            compileSearchString(*job, value);
        } else {
            if (!argumentToProgramText(value, job->authorName, sizeof job->authorName))
                return fail("the value is longer than 255 characters:", option);
        }
    }

    if (source == nullptr) return fail("no source file given (see --help)");
    char path[kPathSize];
    if (!argumentToProgramPath(source, path)) return fail("the source path is too long:", source);

    if (kind == nullptr) {
        job->sourceKind = isPalmDocFile(path) ? SourceKind::palmDoc
                          : isHtmlName(path)  ? SourceKind::html
                                              : SourceKind::text;
    } else if (std::strcmp(kind, "text") == 0) {
        job->sourceKind = SourceKind::text;
    } else if (std::strcmp(kind, "html") == 0) {
        job->sourceKind = SourceKind::html;
    } else if (std::strcmp(kind, "prc") == 0) {
        job->sourceKind = SourceKind::palmDoc;
    } else {
        return fail("unknown kind (text, html or prc):", kind);
    }

    char folder[kPathSize];
    if (destination == nullptr) {
        folderOfPath(path, folder);
    } else if (!argumentToProgramPath(destination, folder)) {
        return fail("the destination path is too long:", destination);
    }

    // The wizard's checks, page by page.
    char named[kPathSize] = "";
    switch (checkSourcePage(*job, path, folder, named)) {
        case 0:
            break;
        case IDS_IMPORT_BAD_SOURCE:
            if (!fileExists(path)) return fail("no source file at", source);
            // There, but not to be read: the attempt says why.
            openSource(*job);
            return fail(job->lastError);
        case IDS_IMPORT_BAD_DESTINATION:
        case IDS_ASK_CREATE_FOLDER:
            return fail("no destination folder at",
                        destination == nullptr ? programPathForDisplay(folder).c_str() : destination);
        default:
            return fail("The import would overwrite its own source :", programPathForDisplay(named).c_str());
    }
    if (checkHeadingTags(*job, tags) != 0)
        return fail("bad tag list (at most 10 tags of at most 9 characters):", tags);
    bool ebook = job->sourceKind == SourceKind::palmDoc;
    if (ebook && (rights != nullptr || job->addBiography || tags[0] != '\0' || job->searchPatternLength > 0))
        return fail("--rights, --biography, --tags and --search do not apply to an e-book");
    // As on the wizard's metadata page: the base name unless a title is given.
    // An e-book brings its own.
    if (ebook && title == nullptr)
        job->bookTitle[0] = '\0';
    else if (title == nullptr)
        copyText(job->bookTitle, job->baseName);
    else if (!argumentToProgramText(title, job->bookTitle, sizeof job->bookTitle))
        return fail("the value is longer than 255 characters:", "--title");
    if (!ebook && checkMetadataPage(job->bookTitle) != 0) return fail("Please specify a book title.");

    if (rights != nullptr) {
        char rightsPath[kPathSize];
        if (!argumentToProgramPath(rights, rightsPath) || !loadRightsText(*job, rightsPath))
            return fail("cannot read the rights file, or it is longer than 8191 bytes:", rights);
        job->addRights = true;
    }

    // A search given on the command line must find a chapter.
    job->chapterRequired =
        job->sourceKind == SourceKind::text ? job->searchPatternLength > 0 : job->headingTags.count > 0;
    // Stopped by a signal, no half-written page stays behind.
    removeMarkedFilesOnStop();
    StandardErrorProgress progress;
    ImportOutcome outcome = runImport(*job, progress);
    if (progress.shown) std::fputc('\n', stderr);
    if (outcome != ImportOutcome::done) {
        if (startsWithNoCase(job->lastError, kPageExistsMessage))
            return fail(job->lastError, "(--replace replaces it)");
        return fail(job->lastError[0] != '\0' ? job->lastError : "Import Init Error");
    }
    std::printf("%s\n", programPathForDisplay(job->packagePath).c_str());
    return 0;
}

namespace {

int fail(const char* message, const char* detail) {
    if (detail != nullptr) {
        std::fprintf(stderr, "quirebound-import: %s %s\n", message, detail);
    } else {
        std::fprintf(stderr, "quirebound-import: %s\n", message);
    }
    return 1;
}

const char** valueSlot(const char* option, const char** kind, const char** destination, const char** title,
                       const char** rights, const char** tags) {
    if (std::strcmp(option, "--kind") == 0) return kind;
    if (std::strcmp(option, "--dest") == 0) return destination;
    if (std::strcmp(option, "--title") == 0) return title;
    if (std::strcmp(option, "--rights") == 0) return rights;
    if (std::strcmp(option, "--tags") == 0) return tags;
    return nullptr;
}

bool takesValue(const char* option) {
    return std::strcmp(option, "--returns") == 0 || std::strcmp(option, "--search") == 0 ||
           std::strcmp(option, "--author") == 0;
}

bool isHtmlName(const char* path) {
    return endsWithNoCase(path, ".htm") || endsWithNoCase(path, ".html");
}

}  // namespace
