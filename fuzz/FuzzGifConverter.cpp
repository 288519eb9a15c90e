// Any file as a GIF: conversion succeeds or fails; after a success the record
// written is a complete bitmap of the size its header gives, after a
// failure nothing is written.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzScratch.h"
#include "model/Files.h"
#include "publish/GifConverter.h"

namespace {

uint32_t little32(const uint8_t* b) {
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string gifPath = fuzzScratchPath("gif", ".gif");
    static const std::string bitmapPath = fuzzScratchPath("gif", ".bmp");
    FileHandle in = openFile(gifPath.c_str(), OpenMode::create);
    if (!in || !writeBytes(in, data, uint32_t(size)) || !closeFile(in)) std::abort();

    GifConverter converter;
    converter.prepare(kPictureMaxWidth, kPictureMaxHeight);
    bool converted = converter.convert(gifPath.c_str());
    FileHandle out = openFile(bitmapPath.c_str(), OpenMode::create);
    if (!out || converter.writeBitmap(out) != converted || !closeFile(out)) std::abort();

    uint32_t length = fileSize(bitmapPath.c_str());
    if (!converted) {
        if (length != 0) std::abort();
        return 0;
    }
    if (length < 1078 + 4 || length > 14 + 1064 + 220 * 280) std::abort();
    FileHandle check = openFile(bitmapPath.c_str(), OpenMode::read);
    uint8_t head[54];
    if (!check || !readBytes(check, head, sizeof head)) std::abort();
    closeFile(check);
    uint32_t width = little32(head + 18), height = little32(head + 22);
    if (head[0] != 'B' || head[1] != 'M' || little32(head + 2) != length) std::abort();
    if (width < 1 || width > 220 || height < 1 || height > 280) std::abort();
    if (length != 1078 + height * ((width + 3) / 4 * 4)) std::abort();
    return 0;
}
