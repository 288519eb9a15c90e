// Arbitrary bytes as the body of one spine document: the merge must copy it,
// record its links, anchors and pictures within the tables, write
// placeholders only where it recorded them, and lose none of its text: every
// run of text between tags, as the scanner splits them, comes out in order.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FuzzScratch.h"
#include "model/Files.h"
#include "model/Publication.h"
#include "model/TagScanner.h"
#include "model/Text.h"
#include "publish/BuildContext.h"

namespace {

// A 13 x 7 GIF the converter takes.
const std::string kPicture(
    "GIF89a\x0d\x00\x07\x00\xf1\x00\x00\xd0\x00\x2f\x2b\x00\xd4\x80\x00\x80\x00\x00\x00\x21\xf9\x04\x00"
    "\x00\x00\x00\x00\x2c\x00\x00\x00\x00\x0d\x00\x07\x00\x00\x02\x13\x84\x8f\xa9\x0b\x22\xe8\x8c\x9b\x94"
    "\x06\x11\xae\xce\x38\xfb\x0f\x86\x62\x01\x00\x3b",
    66);

std::vector<std::string> textRuns(const std::string& body);
bool holdsInOrder(const std::string& merged, const std::vector<std::string>& runs);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string document = fuzzScratchPath("merge", "-doc.htm");
    static const std::string merged = fuzzScratchPath("merge", "-merged.tmp");
    static const std::string picture = fuzzScratchPath("merge", "-pic.gif");
    static std::unique_ptr<Publication> publication = [] {
        auto pub = std::make_unique<Publication>();
        copyText(pub->path, fuzzScratchPath("merge", "-book.opf").c_str());
        FileHandle gif = openFile(picture.c_str(), OpenMode::create);
        writeBytes(gif, kPicture.data(), uint32_t(kPicture.size()));
        closeFile(gif);
        return pub;
    }();
    const std::string body(reinterpret_cast<const char*>(data), size);
    const std::string head = "<html><body>";
    FileHandle file = openFile(document.c_str(), OpenMode::create);
    if (file == kInvalidFileHandle) return 0;
    writeText(file, head.c_str());
    writeBytes(file, data, static_cast<uint32_t>(size));
    closeFile(file);

    auto context = std::make_unique<BuildContext>(publication.get());
    copyText(context->intermediatePath, merged.c_str());
    context->intermediateFile = openFile(merged.c_str(), OpenMode::readWrite);
    context->mergeDocument(document.c_str());
    context->matchLinks();
    context->writeLinks();
    uint32_t length = getFileLength(context->intermediateFile);
    if (context->linkCount > kBuildTableLimit || context->anchorCount > kBuildTableLimit ||
        context->imageCount > kBuildTableLimit || context->distinctImageCount > context->imageCount)
        __builtin_trap();
    for (int32_t i = 0; i < context->linkCount; ++i) {
        const LinkRecord& link = context->links[i];
        if (link.position < 0 || uint32_t(link.position) + 10 > length) __builtin_trap();
        if (link.anchor != nullptr && (link.anchor->position < 0 || uint32_t(link.anchor->position) > length))
            __builtin_trap();
    }
    for (int32_t i = 0; i < context->imageCount; ++i) {
        const PictureRecord& image = context->images[i];
        if (image.position < 0 || uint32_t(image.position) + image.nameLength + 20 > length) __builtin_trap();
    }
    std::string out(length, '\0');
    setFilePosition(context->intermediateFile, 0);
    if (!readBytes(context->intermediateFile, out.data(), length)) __builtin_trap();
    if (!holdsInOrder(out, textRuns(body))) __builtin_trap();
    return 0;
}

namespace {

// The text between the tags the merge reads: a "<" that opens no tag is
// text, written "&lt;" when no ">" follows at all; the body's end tag ends it.
std::vector<std::string> textRuns(const std::string& body) {
    std::vector<std::string> runs(1);
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] != '<') {
            runs.back() += body[i];
            continue;
        }
        size_t name = body.find_first_not_of(' ', i + 1);
        bool comment = name != std::string::npos && body.compare(name, 2, "!-") == 0;
        size_t end = comment ? body.find("->", name) : body.find('>', i + 1);
        if (comment && end != std::string::npos) ++end;
        if (end == std::string::npos) {
            runs.back() += "&lt;";
            continue;
        }
        if (!comment && end - (i + 1) >= size_t(kRawTextBytes)) {
            runs.back() += '<';
            continue;
        }
        std::string tagName;
        for (size_t c = name; !comment && c < end && !isMarkupBlank(body[c]); ++c) tagName += upperAscii(body[c]);
        if (tagName == "/BODY") break;
        runs.emplace_back();
        i = end;
    }
    return runs;
}

bool holdsInOrder(const std::string& merged, const std::vector<std::string>& runs) {
    size_t at = 0;
    for (const std::string& run : runs) {
        if (run.empty()) continue;
        at = merged.find(run, at);
        if (at == std::string::npos) return false;
        at += run.size();
    }
    return true;
}

}  // namespace
