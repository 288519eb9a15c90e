// Any bytes as a PalmDOC e-book: the import either refuses them with a
// message and leaves nothing behind, or writes a package that reads back
// with every file it lists.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>

#include "FuzzScratch.h"
#include "import/ImportJob.h"
#include "import/ImportRun.h"
#include "model/Files.h"
#include "model/Publication.h"

namespace {

std::string scratchFolder() {
    mkdir(("/tmp/qb-fuzz-palmdoc-" + std::to_string(getpid())).c_str(), 0700);
    return fuzzScratchPath("palmdoc", "/");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = scratchFolder();
    static const std::string source = folder + "book.prc";
    static std::unique_ptr<ImportJob> job = std::make_unique<ImportJob>();
    static std::unique_ptr<Publication> written = std::make_unique<Publication>();
    FileHandle file = openFile(source.c_str(), OpenMode::create);
    if (file == kInvalidFileHandle) return 0;
    writeBytes(file, data, static_cast<uint32_t>(size));
    closeFile(file);

    job->reset();
    setSourcePath(*job, source.c_str());
    setDestinationFolder(*job, folder.c_str());
    job->replaceExisting = true;
    job->sourceKind = SourceKind::palmDoc;
    ImportOutcome outcome = runImport(*job);
    std::string package = folder + "book.opf";
    if (outcome != ImportOutcome::done) {
        if (job->lastError[0] == '\0' || fileExists(package.c_str())) __builtin_trap();
        return 0;
    }
    written->clear();
    if (!written->open(package.c_str())) __builtin_trap();
    for (int32_t i = 0; i < written->manifestCount; ++i) {
        std::string path = folder + written->manifest[i].href;
        if (!fileExists(path.c_str())) __builtin_trap();
        deleteFile(path.c_str());
    }
    deleteFile(package.c_str());
    return 0;
}
