// Any file as a PNG or JPEG picture: conversion succeeds with a complete
// bitmap that fits the screen, or fails saying why.
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
    static const std::string picturePath = fuzzScratchPath("picture", ".png");
    static const std::string bitmapPath = fuzzScratchPath("picture", ".bmp");
    FileHandle in = openFile(picturePath.c_str(), OpenMode::create);
    if (!in || !writeBytes(in, data, uint32_t(size)) || !closeFile(in)) std::abort();

    GifConverter converter;
    converter.prepare(kPictureMaxWidth, kPictureMaxHeight);
    if (!converter.convert(picturePath.c_str())) {
        if (converter.whyNot[0] == '\0') std::abort();
        return 0;
    }
    FileHandle out = openFile(bitmapPath.c_str(), OpenMode::create);
    if (!out || !converter.writeBitmap(out) || !closeFile(out)) std::abort();

    uint32_t length = fileSize(bitmapPath.c_str());
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
