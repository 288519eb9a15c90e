// Arbitrary bytes as one spine document: the merge must copy it, record its
// links, anchors and pictures within the tables, and write placeholders only
// where it recorded them.
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzScratch.h"
#include "model/Files.h"
#include "model/Publication.h"
#include "model/Text.h"
#include "publish/BuildContext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string document = fuzzScratchPath("merge", "-doc.htm");
    static const std::string merged = fuzzScratchPath("merge", "-merged.tmp");
    static const std::string picture = fuzzScratchPath("merge", "-pic.gif");
    static std::unique_ptr<Publication> publication = [] {
        auto pub = std::make_unique<Publication>();
        copyText(pub->path, fuzzScratchPath("merge", "-book.opf").c_str());
        FileHandle gif = openFile(picture.c_str(), OpenMode::create);
        writeText(gif, "GIF89a");
        closeFile(gif);
        return pub;
    }();
    FileHandle file = openFile(document.c_str(), OpenMode::create);
    if (file == kInvalidFileHandle) return 0;
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
    return 0;
}
