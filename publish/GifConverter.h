// One GIF picture turned into an 8-bit Windows bitmap that fits the reader's
// screen, decoded and shrunk in one pass. PNG and JPEG pictures become the
// same bitmap (PngJpegPictures.cpp).
#pragma once

#include <cstdint>
#include <memory>

#include "model/Files.h"

constexpr int32_t kPictureMaxWidth = 220;
constexpr int32_t kPictureMaxHeight = 280;
constexpr uint32_t kBitmapFileHeaderSize = 14;
constexpr uint32_t kBitmapInfoHeaderSize = 1064;  // 40 bytes and 256 palette entries
constexpr int kLzwTableSize = 4096;
// Longest string the LZW table can hold, with one more character for a code
// that is about to be added.
constexpr int kLzwStackSize = kLzwTableSize + 1;

struct PaletteColour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// The reader's own colours; each picture colour is tagged with the number of
// the nearest one.
extern const PaletteColour fixedPalette[256];
// First entry at the smallest squared distance (an exact match stops the search).
uint16_t nearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue);

// Names the build records as pictures: those ending in "gif", "png", "jpg"
// or "jpeg" (any case). Any name not ending in "gif" is read as a PNG or JPEG.
bool isPictureToConvert(const char* path);

struct GifColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint16_t paletteIndex = 0;
};

class GifConverter {
public:
    void prepare(int32_t maxWidth, int32_t maxHeight);
    // Decodes the file into pixels. False for a file that cannot be read or
    // is not a picture this converter accepts; whyNot then says which.
    bool convert(const char* gifPath);
    // Writes file header, info header with palette and pixel rows, and frees
    // the buffers. False, with nothing written, after a failed convert, and
    // when the file did not take every byte.
    bool writeBitmap(FileHandle file);
    // Why the last convert failed, as the end of a sentence about the picture.
    const char* whyNot = "";

    int32_t maxWidth = kPictureMaxWidth;
    int32_t maxHeight = kPictureMaxHeight;
    uint16_t scalePercent = 100;
    uint16_t screenWidth = 0;
    uint16_t screenHeight = 0;
    uint8_t screenFlags = 0;
    uint8_t backgroundIndex = 0;
    uint8_t aspectByte = 0;
    uint16_t colourBits = 1;
    GifColour colourTable[256];
    uint16_t imageLeft = 0;
    uint16_t imageTop = 0;
    uint16_t imageWidth = 0;
    uint16_t imageHeight = 0;
    uint8_t imageFlags = 0;
    bool interlaced = false;
    uint16_t pass = 1;
    // Wider than the GIF's 16 bits so that left + width cannot wrap.
    int32_t x = 0;
    int32_t y = 0;
    int32_t xEnd = 0;
    int32_t yEnd = 0;

    // Bit reader over the data sub-blocks.
    uint8_t currentByte = 0;
    uint8_t bitIndex = 8;
    uint32_t bytesInBlock = 0;
    uint32_t blockLength = 0;  // length of the current sub-block + 1

    std::unique_ptr<uint16_t[]> prefix;
    std::unique_ptr<uint16_t[]> suffix;
    std::unique_ptr<uint16_t[]> stack;
    std::unique_ptr<uint8_t[]> pixels;
    int32_t bitmapWidth = 0;
    int32_t bitmapHeight = 0;
    int32_t rowStride = 0;
    bool converted = false;
    uint8_t fileHeader[kBitmapFileHeaderSize] = {};
    uint8_t infoHeader[kBitmapInfoHeaderSize] = {};

private:
    bool readPicture(FileHandle file);
    bool decode(FileHandle file);
    int32_t readCode(FileHandle file, int width);
    bool readColourTable(FileHandle file);
    bool findImage(FileHandle file);
    bool isComplete() const;
    void placePixel(uint8_t colour);
    void buildHeaders();
    bool convertPngOrJpeg(const char* path);
    bool choosePngOrJpegSize(int32_t width, int32_t height);
    // Pictures are only ever shrunk, by whole percents, at least 1 %: sets
    // scalePercent, or whyNot and false.
    bool chooseScalePercent(int64_t width, int64_t height);
    bool takeExactColours(const uint8_t* scaled);
    bool ditherToFixedPalette(const uint8_t* scaled);
};
