// Arbitrary bytes as a package document: the reader must answer with a
// result, never overrun a field or hang; and whatever it read, written and
// read again, gives the same records.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "FuzzScratch.h"
#include "model/Files.h"
#include "model/Publication.h"

namespace {

Publication publication;
Publication again;

// The reader drops trailing blanks of attribute values and line ends in
// metadata values, as it always has: those may differ.
std::string attribute(const char* value) {
    std::string text = value;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string element(const char* value) {
    std::string text;
    for (const char* c = value; *c != '\0'; ++c)
        if (*c != '\r' && *c != '\n') text += *c;
    return text;
}

void expectSame(const std::string& a, const std::string& b) {
    if (a != b) __builtin_trap();
}

void expectSameRecords(const Publication& a, const Publication& b) {
    if (a.metadataCount != b.metadataCount || a.manifestCount != b.manifestCount ||
        a.spineCount != b.spineCount || a.tourCount != b.tourCount || a.guideCount != b.guideCount)
        __builtin_trap();
    expectSame(attribute(a.uniqueIdentifier), attribute(b.uniqueIdentifier));
    for (int32_t i = 0; i < a.metadataCount; ++i) {
        expectSame(a.metadata[i].name, b.metadata[i].name);
        expectSame(element(a.metadata[i].value), element(b.metadata[i].value));
    }
    for (int32_t i = 0; i < a.manifestCount; ++i) {
        for (auto field : {&ManifestItem::id, &ManifestItem::href, &ManifestItem::mediaType})
            expectSame(attribute(a.manifest[i].*field), attribute(b.manifest[i].*field));
    }
    for (int32_t i = 0; i < a.spineCount; ++i)
        expectSame(attribute(a.spine[i].idref), attribute(b.spine[i].idref));
    for (int32_t i = 0; i < a.tourCount; ++i) {
        expectSame(attribute(a.tours[i].id), attribute(b.tours[i].id));
        expectSame(attribute(a.tours[i].title), attribute(b.tours[i].title));
        if (a.tours[i].siteCount != b.tours[i].siteCount) __builtin_trap();
        for (int32_t j = 0; j < a.tours[i].siteCount; ++j) {
            expectSame(attribute(a.tours[i].sites[j].title), attribute(b.tours[i].sites[j].title));
            expectSame(attribute(a.tours[i].sites[j].href), attribute(b.tours[i].sites[j].href));
        }
    }
    for (int32_t i = 0; i < a.guideCount; ++i) {
        for (auto field : {&GuideReference::type, &GuideReference::title, &GuideReference::href})
            expectSame(attribute(a.guide[i].*field), attribute(b.guide[i].*field));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzzScratchPath("package", ".opf");
    FileHandle file = openFile(path.c_str(), OpenMode::create);
    if (file == kInvalidFileHandle) return 0;
    writeBytes(file, data, static_cast<uint32_t>(size));
    closeFile(file);
    publication.clear();
    bool read = publication.open(path.c_str());
    // Whatever was read must write out within its fields.
    char copy[512];
    snprintf(copy, sizeof copy, "%s.out", path.c_str());
    FileHandle out = openFile(copy, OpenMode::create);
    publication.writePackage(out);
    closeFile(out);
    if (!read || publication.valueTooLongToReadBack() != nullptr) return 0;
    again.clear();
    if (!again.open(copy)) __builtin_trap();
    expectSameRecords(publication, again);
    return 0;
}
