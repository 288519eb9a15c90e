// Arbitrary bytes as a package document: the reader must answer with a
// result, never overrun a field or hang.
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzScratch.h"
#include "model/Files.h"
#include "model/Publication.h"

namespace {

Publication publication;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzzScratchPath("package", ".opf");
    FileHandle file = openFile(path.c_str(), OpenMode::create);
    if (file == kInvalidFileHandle) return 0;
    writeBytes(file, data, static_cast<uint32_t>(size));
    closeFile(file);
    publication.clear();
    publication.open(path.c_str());
    // Whatever was read must write out within its fields.
    char copy[512];
    snprintf(copy, sizeof copy, "%s.out", path.c_str());
    FileHandle out = openFile(copy, OpenMode::create);
    publication.writePackage(out);
    closeFile(out);
    return 0;
}
