// quirebound: the batch build from the command line. The editor itself is
// the Windows program.
#include <cstdio>
#include <string>

#include "editor/CommandLine.h"

int main(int argc, char** argv) {
    // The shell has split the line already; joined again, it follows the
    // same rules as the Windows program's command line.
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    StartChoice choice = chooseStart(line.c_str());
    if (choice.kind == StartKind::batchBuild) return runBatchBuild(choice.path);
    std::fprintf(stderr,
                 "usage: quirebound -b PACKAGE.opf  (publishes the e-book; the editor runs on Windows, "
                 "also under Wine)\n");
    return 2;
}
