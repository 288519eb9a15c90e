// Arbitrary bytes as an HTML source: the import must end, and whatever
// package it writes must open and list only pages that exist.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>

#include "FuzzScratch.h"
#include "import/GeneratedPages.h"
#include "import/ImportJob.h"
#include "import/ImportRun.h"
#include "model/Files.h"
#include "model/Publication.h"
#include "model/Text.h"

namespace {

std::string scratchFolder() {
    mkdir(("/tmp/qb-fuzz-html-" + std::to_string(getpid())).c_str(), 0700);
    return fuzzScratchPath("html", "/");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = scratchFolder();
    static const std::string source = folder + "page.htm";
    static std::unique_ptr<ImportJob> job = std::make_unique<ImportJob>();
    static std::unique_ptr<Publication> package = std::make_unique<Publication>();
    FileHandle file = openFile(source.c_str(), OpenMode::create);
    if (file == kInvalidFileHandle) return 0;
    writeBytes(file, data, static_cast<uint32_t>(size));
    closeFile(file);

    job->reset();
    setSourcePath(*job, source.c_str());
    setDestinationFolder(*job, folder.c_str());
    job->sourceKind = SourceKind::html;
    job->replaceExisting = true;
    parseHeadingTags(*job, "H1,H2,P");
    copyText(job->bookTitle, "T");
    ImportOutcome outcome = runImport(*job);
    if (outcome != ImportOutcome::done) return 0;
    package->clear();
    if (!package->open(job->packagePath)) __builtin_trap();
    for (int32_t i = 0; i < package->manifestCount; ++i) {
        std::string page = folder + package->manifest[i].href;
        if (!fileExists(page.c_str())) __builtin_trap();
    }
    return 0;
}
