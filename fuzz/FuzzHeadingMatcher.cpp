// Arbitrary bytes as a search string (up to the first NUL) and a text: the
// heading matcher must end, consume the text, and keep every heading within
// its field.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "FuzzScratch.h"
#include "import/ImportJob.h"
#include "import/TextImport.h"
#include "model/Files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzzScratchPath("heading", ".txt");
    static std::unique_ptr<ImportJob> job = std::make_unique<ImportJob>();
    const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    size_t searchLength = nul != nullptr ? size_t(nul - data) : 0;
    if (searchLength > 255) return 0;
    std::string search(reinterpret_cast<const char*>(data), searchLength);
    size_t textStart = nul != nullptr ? searchLength + 1 : 0;

    FileHandle file = openFile(path.c_str(), OpenMode::create);
    if (file == kInvalidFileHandle) return 0;
    writeBytes(file, data + textStart, static_cast<uint32_t>(size - textStart));
    closeFile(file);

    job->reset();
    setSourcePath(*job, path.c_str());
    compileSearchString(*job, search.c_str());
    if (!openSource(*job)) return 0;
    char out[256];
    // Every call consumes at least one byte of the text, so the text's
    // length bounds the calls.
    size_t calls = 0;
    for (int found; (found = matchHeading(*job, out)) >= 0;) {
        if (++calls > size + 2) __builtin_trap();
        if (found == 1 && strnlen(out, sizeof out) == sizeof out) __builtin_trap();
    }
    closeSource(*job);
    return 0;
}
