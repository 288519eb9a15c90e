// Any file as a picture of the kind its name gives: conversion succeeds or
// fails saying why; after a success the record written is a complete bitmap
// of the size its header gives, one that fits the screen; after a failure
// nothing is written.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzScratch.h"
#include "model/Files.h"
#include "publish/GifConverter.h"

inline uint32_t fuzzLittle32(const uint8_t* b) {
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

inline void fuzzPictureConversion(const uint8_t* data, size_t size, const std::string& picturePath,
                                  const std::string& bitmapPath) {
    FileHandle in = openFile(picturePath.c_str(), OpenMode::create);
    if (!in || !writeBytes(in, data, uint32_t(size)) || !closeFile(in)) std::abort();

    GifConverter converter;
    converter.prepare(kPictureMaxWidth, kPictureMaxHeight);
    bool converted = converter.convert(picturePath.c_str());
    if (!converted && converter.whyNot[0] == '\0') std::abort();
    FileHandle out = openFile(bitmapPath.c_str(), OpenMode::create);
    if (!out || converter.writeBitmap(out) != converted || !closeFile(out)) std::abort();

    uint32_t length = fileSize(bitmapPath.c_str());
    if (!converted) {
        if (length != 0) std::abort();
        return;
    }
    FileHandle check = openFile(bitmapPath.c_str(), OpenMode::read);
    uint8_t head[54];
    if (!check || !readBytes(check, head, sizeof head)) std::abort();
    closeFile(check);
    uint32_t width = fuzzLittle32(head + 18), height = fuzzLittle32(head + 22);
    if (head[0] != 'B' || head[1] != 'M' || fuzzLittle32(head + 2) != length) std::abort();
    if (width < 1 || width > 220 || height < 1 || height > 280) std::abort();
    if (length != 1078 + height * ((width + 3) / 4 * 4)) std::abort();
}
