// quirebound: the batch build from the command line. The editor itself is
// the Windows program.
#include <cstdio>
#include <cstring>
#include <string>

#include "QuireboundVersion.h"
#include "publish/CommandLine.h"

namespace {

constexpr const char* kShortUsage =
    "usage: quirebound -b PACKAGE.opf  (publishes the e-book; the editor runs on Windows, also under Wine)\n";

constexpr const char* kUsage =
    "Usage: quirebound -b PACKAGE.opf\n"
    "Publishes an Open eBook publication as a PalmDOC e-book: PACKAGE.prc is\n"
    "written beside PACKAGE.opf and its path is printed. The editor itself is\n"
    "the Windows program (it runs under Wine too).\n"
    "\n"
    "  -b PACKAGE.opf  publish the package; the rest of the line is its path,\n"
    "                  blanks included\n"
    "  --help          show this text\n"
    "  --version       show the version\n"
    "\n"
    "Exit status 0 when the e-book was written; otherwise a message on standard\n"
    "error. After a build that worked, standard error lists what the\n"
    "publication should still fix: unresolved links, pictures not converted,\n"
    "spine entries skipped.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("quirebound " QB_VERSION);
        return 0;
    }
    // The shell has split the line already; joined again, it follows the
    // same rules as the Windows program's command line.
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    StartChoice choice = chooseStart(line.c_str());
    if (choice.kind == StartKind::batchBuild) return runBatchBuild(choice.path);
    std::fputs(kShortUsage, stderr);
    return 2;
}
