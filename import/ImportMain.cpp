// quirebound-import: the import wizard's engines from the command line.
// The same start, steps and finishing sequence as the wizard's Finish, so
// the same choices write the same publication.
#include <cstdio>
#include <cstring>
#include <memory>

#include "CommandLinePath.h"
#include "ImportJob.h"
#include "ImportRun.h"
#include "model/Files.h"
#include "model/Paths.h"
#include "model/Text.h"

namespace {

constexpr const char* kUsage =
    "Usage: quirebound-import [options] SOURCE\n"
    "Imports a text or HTML file into a new Open eBook publication and prints\n"
    "the path of the package document written.\n"
    "\n"
    "  --kind text|html      kind of source (default: from the extension)\n"
    "  --dest FOLDER         destination folder (default: the source's folder)\n"
    "  --returns all|ignore-single\n"
    "                        every line end is meaningful (default), or single\n"
    "                        line ends are ignored (text)\n"
    "  --keep-hyphens        keep a hyphen before a line end (text)\n"
    "  --search STRING       chapter search string (text): \\n carriage return,\n"
    "                        \\1 number, \\* any one char, \\$ one mark,\n"
    "                        \\x n chars, \\X n upper-case chars\n"
    "  --tags LIST           heading tags (HTML), for example H1,H2\n"
    "  --title TEXT          book title (default: the source's base name)\n"
    "  --author TEXT         author name\n"
    "  --rights FILE         copyright and licence text file to add\n"
    "  --biography           add a biography page\n"
    "  --help                show this text\n";

int fail(const char* message, const char* detail = nullptr);
bool isHtmlName(const char* path);
void showProgress(void* context, int percent);

}  // namespace

int main(int argc, char** argv) {
    auto job = std::make_unique<ImportJob>();
    const char* source = nullptr;
    const char* kind = nullptr;
    const char* destination = nullptr;
    const char* title = nullptr;
    const char* rights = nullptr;
    const char* tags = "";
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        bool hasValue = i + 1 < argc;
        auto value = [&]() { return argv[++i]; };
        if (std::strcmp(option, "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (std::strcmp(option, "--keep-hyphens") == 0) {
            job->suppressHyphen = 0;
        } else if (std::strcmp(option, "--biography") == 0) {
            job->addBiography = 1;
        } else if (option[0] == '-' && option[1] == '-' && !hasValue) {
            return fail("missing value after", option);
        } else if (std::strcmp(option, "--kind") == 0) {
            kind = value();
        } else if (std::strcmp(option, "--dest") == 0) {
            destination = value();
        } else if (std::strcmp(option, "--returns") == 0) {
            const char* mode = value();
            if (std::strcmp(mode, "all") == 0) {
                job->lineEndMode = LineEndMode::allCarriageReturns;
            } else if (std::strcmp(mode, "ignore-single") == 0) {
                job->lineEndMode = LineEndMode::ignoreSingleReturns;
            } else {
                return fail("unknown carriage-return mode:", mode);
            }
            continue;
        } else if (std::strcmp(option, "--search") == 0) {
            const char* typed = value();
            if (std::strlen(typed) > 255) return fail("the search string is longer than 255 characters");
            compileSearchString(*job, typed);
        } else if (std::strcmp(option, "--tags") == 0) {
            tags = value();
        } else if (std::strcmp(option, "--title") == 0) {
            title = value();
        } else if (std::strcmp(option, "--author") == 0) {
            copyText(job->authorName, value());
        } else if (std::strcmp(option, "--rights") == 0) {
            rights = value();
        } else if (option[0] == '-' && option[1] == '-') {
            return fail("unknown option:", option);
        } else if (source == nullptr) {
            source = option;
        } else {
            return fail("more than one source:", option);
        }
    }
    // The wizard starts in the mode "all carriage returns".
    bool modeGiven = false;
    for (int i = 1; i < argc; ++i) modeGiven = modeGiven || std::strcmp(argv[i], "--returns") == 0;
    if (!modeGiven) job->lineEndMode = LineEndMode::allCarriageReturns;

    if (source == nullptr) return fail("no source file given (see --help)");
    char path[kPathSize];
    if (!argumentToProgramPath(source, path)) return fail("the source path is too long:", source);
    if (!fileExists(path)) return fail("no source file at", source);
    setSourcePath(*job, path);

    if (kind == nullptr) {
        job->sourceKind = isHtmlName(path) ? SourceKind::html : SourceKind::text;
    } else if (std::strcmp(kind, "text") == 0) {
        job->sourceKind = SourceKind::text;
    } else if (std::strcmp(kind, "html") == 0) {
        job->sourceKind = SourceKind::html;
    } else {
        return fail("unknown kind (text or html):", kind);
    }

    char folder[kPathSize];
    if (destination == nullptr) {
        folderOfPath(path, folder);
    } else if (!argumentToProgramPath(destination, folder)) {
        return fail("the destination path is too long:", destination);
    }
    if (!setDestinationFolder(*job, folder)) return fail("the destination path is too long:", destination);
    char bare[kPathSize];
    copyText(bare, job->destinationFolder);
    size_t length = std::strlen(bare);
    if (length > 1 && bare[length - 1] == '\\' && bare[length - 2] != ':') bare[length - 1] = '\0';
    if (!fileExists(bare) || openFile(bare, OpenMode::read) != kInvalidFileHandle)
        return fail("no destination folder at", destination == nullptr ? bare : destination);

    if (!parseHeadingTags(*job, tags))
        return fail("bad tag list (at most 10 tags of at most 9 characters):", tags);

    copyText(job->bookTitle, title == nullptr ? job->baseName : title);
    if (job->bookTitle[0] == '\0') return fail("Please specify a book title.");

    if (rights != nullptr) {
        char rightsPath[kPathSize];
        if (!argumentToProgramPath(rights, rightsPath) || !loadRightsText(*job, rightsPath))
            return fail("cannot read the rights file", rights);
        job->addRights = 1;
    }

    bool progressShown = false;
    ImportRunControl control;
    control.progress = showProgress;
    control.context = &progressShown;
    ImportOutcome outcome = runImport(*job, control);
    if (progressShown) std::fputc('\n', stderr);
    if (outcome != ImportOutcome::done)
        return fail(job->lastError[0] != '\0' ? job->lastError : "Import Init Error");
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

bool isHtmlName(const char* path) {
    return endsWithNoCase(path, ".htm") || endsWithNoCase(path, ".html");
}

void showProgress(void* context, int percent) {
    *static_cast<bool*>(context) = true;
    std::fprintf(stderr, "\rimporting: %3d%%", percent);
    std::fflush(stderr);
}

}  // namespace
