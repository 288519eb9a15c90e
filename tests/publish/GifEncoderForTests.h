// A small GIF writer for the tests, so every test picture is made here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct GifPicture {
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<uint8_t> pixels;  // colour indexes, rows top to bottom
    // The global table, padded with black to 2^colourBits entries.
    std::vector<std::array<uint8_t, 3>> colours = {{0, 0, 0}, {255, 255, 255}};
    int colourBits = 1;
    bool interlaced = false;
    bool localColourTable = false;
    uint8_t background = 0;
    std::string beforeImage;    // extension blocks or other bytes before ','
    bool clearWhenFull = true;  // false: the table stays full, no clear code
    uint32_t subBlockSize = 255;
};

std::string encodeGif(const GifPicture& picture);

// A picture whose pixel at (x, y) is pattern(x, y) modulo the colour count.
GifPicture patternPicture(uint16_t width, uint16_t height, int colourBits);
