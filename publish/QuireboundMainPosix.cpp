// quirebound: the batch build from the command line. The editor itself is
// the Windows program.
#include <cstdio>

#include "QuireboundVersion.h"
#include "model/Files.h"
#include "publish/CommandLine.h"

namespace {

constexpr const char* kShortUsage =
    "usage: quirebound -b [--format prc|epub] [-o EBOOK] [--cover PICTURE] [--strict] PACKAGE.opf...\n"
    "(publishes the e-books; the editor\n"
    "runs on Windows, also under Wine; see --help)\n";

constexpr const char* kUsage =
    "Usage: quirebound -b [options] PACKAGE.opf...\n"
    "Publishes each Open eBook publication as a PalmDOC e-book (PACKAGE.prc)\n"
    "or an EPUB 3 e-book (PACKAGE.epub), written beside PACKAGE.opf; the path\n"
    "of each e-book is printed, one line per e-book.\n"
    "The editor itself is the Windows program (it runs under Wine too).\n"
    "\n"
    "  -b              publish the packages named, one after the other\n"
    "  --format prc|epub\n"
    "                  the kind of e-book (default: prc, or what -o's\n"
    "                  extension names)\n"
    "  -o, --output EBOOK.prc|EBOOK.epub\n"
    "                  write the e-book of the one package named there\n"
    "  --cover PICTURE an EPUB's cover (GIF, PNG, JPEG or SVG), instead of\n"
    "                  the one the package names\n"
    "  --strict        fail when a publishing report names what to fix\n"
    "  --allow-outside-files\n"
    "                  also read files outside each package's folder; without\n"
    "                  it they are left out, and the report names them\n"
    "  -h, --help      show this text\n"
    "  --version       show the version\n"
    "  --              the arguments that follow are packages\n"
    "\n"
    "Exit status 0 when every e-book was written; 1 when one was not (the\n"
    "others are still published), with a message on standard error; 2 when\n"
    "the arguments make no sense. After a build that worked, standard error\n"
    "lists what the publication should still fix: unresolved links, pictures\n"
    "not converted, spine entries skipped; with --strict that also makes the\n"
    "status 1. Progress is shown on standard error when it is a terminal.\n"
    "Stopped by SIGINT, SIGTERM or SIGHUP, a build removes its temporary files\n"
    "and exits with 130, 143 or 129.\n";

}  // namespace

int main(int argc, char** argv) {
    BatchRequest request = readBatchArguments(argc, argv);
    if (request.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (request.version) {
        std::puts("quirebound " QB_VERSION);
        return 0;
    }
    if (!request.problem.empty() || !request.publish) {
        if (!request.problem.empty()) std::fprintf(stderr, "quirebound: %s\n", request.problem.c_str());
        std::fputs(kShortUsage, stderr);
        return 2;
    }
    // Stopped by Ctrl-C or a signal, a build leaves nothing behind.
    removeMarkedFilesOnStop();
    return runBatchRequest(request);
}
