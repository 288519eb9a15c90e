// Pictures of an e-book back into GIF files: the e-book keeps each picture
// as an 8-bit bitmap, whose colours and pixels a GIF holds unchanged.
#pragma once

#include <cstdint>
#include <vector>

constexpr int32_t kGifColours = 256;

struct IndexedPicture {
    int32_t width;
    int32_t height;
    // Row y of the picture (0 the top) begins at pixels + y * rowStep; a
    // negative step reads a bitmap stored bottom row first.
    const uint8_t* pixels;
    int64_t rowStep;
    // The colour table has 2^colourBits entries (1 to 8 bits), and every
    // pixel is below that.
    int32_t colourBits;
    uint8_t colours[kGifColours][3];  // red, green, blue
    uint8_t background;
};

// A whole GIF file: screen, colour table, one image whose pixels are
// LZW-coded. Width and height lie between 1 and 65535.
std::vector<uint8_t> encodeGif(const IndexedPicture& picture);
