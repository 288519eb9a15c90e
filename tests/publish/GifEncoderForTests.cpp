#include "tests/publish/GifEncoderForTests.h"

#include <algorithm>

namespace {

struct BitWriter {
    std::string bytes;
    uint32_t pending = 0;
    int pendingBits = 0;

    void put(uint32_t code, int width) {
        pending |= code << pendingBits;
        pendingBits += width;
        while (pendingBits >= 8) {
            bytes.push_back(char(pending & 0xFF));
            pending >>= 8;
            pendingBits -= 8;
        }
    }
    void flush() {
        if (pendingBits > 0) bytes.push_back(char(pending & 0xFF));
        pending = 0;
        pendingBits = 0;
    }
};

void putLittle16(std::string& out, uint32_t value) {
    out.push_back(char(value & 0xFF));
    out.push_back(char((value >> 8) & 0xFF));
}

std::vector<uint8_t> inFileOrder(const GifPicture& picture) {
    if (!picture.interlaced) return picture.pixels;
    std::vector<uint8_t> ordered;
    const int starts[4] = {0, 4, 2, 1};
    const int steps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int row = starts[pass]; row < picture.height; row += steps[pass]) {
            auto begin = picture.pixels.begin() + long(row) * picture.width;
            ordered.insert(ordered.end(), begin, begin + picture.width);
        }
    }
    return ordered;
}

std::string lzwCodes(const GifPicture& picture, int minimumCodeSize) {
    const uint32_t clear = 1u << minimumCodeSize;
    BitWriter writer;
    // Code of (string code, next pixel), 0 when absent.
    std::vector<uint16_t> table(size_t(4096) * 256, 0);
    uint32_t nextCode = clear + 2;
    int width = minimumCodeSize + 1;
    writer.put(clear, width);
    std::vector<uint8_t> pixels = inFileOrder(picture);
    int64_t current = -1;
    for (uint8_t pixel : pixels) {
        if (current < 0) {
            current = pixel;
            continue;
        }
        uint16_t& entry = table[size_t(current) * 256 + pixel];
        if (entry != 0) {
            current = entry;
            continue;
        }
        writer.put(uint32_t(current), width);
        if (nextCode < 4096) {
            entry = uint16_t(nextCode++);
            // The reader adds its entries one code later, so it widens one code later too.
            if (nextCode > (1u << width) && width < 12) ++width;
        }
        if (nextCode == 4096 && picture.clearWhenFull) {
            writer.put(clear, width);
            std::fill(table.begin(), table.end(), uint16_t(0));
            nextCode = clear + 2;
            width = minimumCodeSize + 1;
        }
        current = pixel;
    }
    if (current >= 0) writer.put(uint32_t(current), width);
    writer.put(clear + 1, width);
    writer.flush();
    return writer.bytes;
}

}  // namespace

std::string encodeGif(const GifPicture& picture) {
    std::string out = "GIF89a";
    putLittle16(out, picture.width);
    putLittle16(out, picture.height);
    out.push_back(char(0x80 | 0x70 | (picture.colourBits - 1)));
    out.push_back(char(picture.background));
    out.push_back(0);  // aspect
    for (int i = 0; i < (1 << picture.colourBits); ++i) {
        std::array<uint8_t, 3> rgb =
            i < int(picture.colours.size()) ? picture.colours[size_t(i)] : std::array<uint8_t, 3>{0, 0, 0};
        for (uint8_t c : rgb) out.push_back(char(c));
    }
    out += picture.beforeImage;
    out.push_back(',');
    putLittle16(out, 0);  // left
    putLittle16(out, 0);  // top
    putLittle16(out, picture.width);
    putLittle16(out, picture.height);
    uint8_t flags = uint8_t((picture.interlaced ? 0x40 : 0) | (picture.localColourTable ? 0x80 : 0));
    if (picture.localColourTable) flags |= uint8_t(picture.colourBits - 1);
    out.push_back(char(flags));
    if (picture.localColourTable) {
        for (int i = 0; i < (1 << picture.colourBits); ++i) out += std::string(3, char(0x40));
    }
    int minimumCodeSize = picture.colourBits < 2 ? 2 : picture.colourBits;
    out.push_back(char(minimumCodeSize));
    std::string codes = lzwCodes(picture, minimumCodeSize);
    for (size_t at = 0; at < codes.size(); at += picture.subBlockSize) {
        std::string block = codes.substr(at, picture.subBlockSize);
        out.push_back(char(block.size()));
        out += block;
    }
    out.push_back(0);
    out.push_back(';');
    return out;
}

GifPicture patternPicture(uint16_t width, uint16_t height, int colourBits) {
    GifPicture picture;
    picture.width = width;
    picture.height = height;
    picture.colourBits = colourBits;
    picture.colours.clear();
    for (int i = 0; i < (1 << colourBits); ++i) {
        picture.colours.push_back({uint8_t(i * 37), uint8_t(255 - i * 11), uint8_t(i * 91)});
    }
    picture.pixels.resize(size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.pixels[size_t(y) * width + size_t(x)] =
                uint8_t(((x / 3) * 7 + y * 5 + (x * y) % 11) % (1 << colourBits));
        }
    }
    return picture;
}
