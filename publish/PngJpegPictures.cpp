// PNG and JPEG pictures: stb_image decodes them, then they are shrunk by the
// GIF rule and given a palette, so they become the same 8-bit bitmap.
#include <cstring>
#include <new>
#include <utility>

#include "model/Paths.h"
#include "publish/GifConverter.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
// Files are read through the program's own file layer, which knows its paths.
#define STBI_NO_STDIO
#include <stb_image.h>

namespace {

// Decoded pixels take 3 or 4 bytes each, and a PNG about as much again while
// it is unpacked: a 24-megapixel camera picture fits, nothing much larger.
constexpr int64_t kMaxDecodedPixels = 25'000'000;
constexpr int kDistinctSlots = 1024;  // hash of the colours seen, at most 256 kept

struct Reading {
    FileHandle file;
    uint32_t length;
};

int readCallback(void* user, char* data, int size);
void skipCallback(void* user, int n);
int eofCallback(void* user);
const stbi_io_callbacks kCallbacks = {readCallback, skipCallback, eofCallback};

struct StbPixels {
    stbi_uc* data = nullptr;
    ~StbPixels() { stbi_image_free(data); }
};

int32_t lastSourceOf(int32_t target, int32_t percent, int32_t sourceLength);
bool readPngSize(FileHandle file, int32_t* width, int32_t* height);
bool pngChunksFit(FileHandle file, uint32_t length);
bool jpegTablesFit(FileHandle file);

}  // namespace

bool isPictureToConvert(const char* path) {
    return endsWithNoCase(path, "gif") || endsWithNoCase(path, "png") || endsWithNoCase(path, "jpg") ||
           endsWithNoCase(path, "jpeg");
}

bool GifConverter::convertPngOrJpeg(const char* path) {
    whyNot = "it cannot be read";
    FileHandle file = openFile(path, OpenMode::read);
    if (file == kInvalidFileHandle) return false;
    Reading reading{file, getFileLength(file)};
    // The size is read first, so that a picture too large is never allocated.
    // The decoder's own refusal of a PNG larger than 1 GB would not say why.
    int32_t pngWidth = 0, pngHeight = 0;
    if (readPngSize(file, &pngWidth, &pngHeight) && !choosePngOrJpegSize(pngWidth, pngHeight)) {
        closeFile(file);
        return false;
    }
    setFilePosition(file, 0);
    if (!pngChunksFit(file, reading.length) || !jpegTablesFit(file)) {
        whyNot = "its picture data is damaged";
        closeFile(file);
        return false;
    }
    setFilePosition(file, 0);
    int width = 0, height = 0, channels = 0;
    bool known = stbi_info_from_callbacks(&kCallbacks, &reading, &width, &height, &channels) != 0;
    whyNot = "it is no PNG or JPEG picture that can be decoded";
    if (!known || width <= 0 || height <= 0 || !choosePngOrJpegSize(width, height)) {
        closeFile(file);
        return false;
    }
    // Grey pictures come as colour; transparency is kept to be laid on white.
    int wanted = channels == 2 || channels == 4 ? 4 : 3;
    setFilePosition(file, 0);
    StbPixels decoded;
    int decodedWidth = 0, decodedHeight = 0, ignored = 0;
    decoded.data =
        stbi_load_from_callbacks(&kCallbacks, &reading, &decodedWidth, &decodedHeight, &ignored, wanted);
    closeFile(file);
    if (decoded.data == nullptr || decodedWidth != width || decodedHeight != height) {
        bool noMemory = decoded.data == nullptr && std::strcmp(stbi_failure_reason(), "outofmem") == 0;
        whyNot = noMemory ? "there is not enough memory to convert it" : "its picture data is damaged";
        return false;
    }

    // The last source pixel that falls on a target pixel wins, as for a GIF.
    std::unique_ptr<uint8_t[]> scaled(new (std::nothrow)
                                          uint8_t[size_t(bitmapWidth) * size_t(bitmapHeight) * 3]);
    pixels.reset(new (std::nothrow) uint8_t[size_t(bitmapHeight) * size_t(rowStride)]);
    if (!scaled || !pixels) {
        pixels.reset();
        whyNot = "there is not enough memory to convert it";
        return false;
    }
    std::memset(pixels.get(), 0, size_t(bitmapHeight) * size_t(rowStride));
    for (int32_t row = 0; row < bitmapHeight; ++row) {
        int32_t sourceRow = lastSourceOf(row, scalePercent, height);
        for (int32_t column = 0; column < bitmapWidth; ++column) {
            int32_t sourceColumn = lastSourceOf(column, scalePercent, width);
            const stbi_uc* p =
                decoded.data + (size_t(sourceRow) * size_t(width) + size_t(sourceColumn)) * wanted;
            // Laid on the page's white.
            uint32_t alpha = wanted == 4 ? p[3] : 255;
            auto onWhite = [alpha](uint8_t c) {
                return uint8_t((c * alpha + 255 * (255 - alpha) + 127) / 255);
            };
            uint8_t* rgb = &scaled[(size_t(row) * size_t(bitmapWidth) + size_t(column)) * 3];
            for (int k = 0; k < 3; ++k) rgb[k] = onWhite(p[k]);
        }
    }
    if (takeExactColours(scaled.get()) || ditherToFixedPalette(scaled.get())) return true;
    pixels.reset();
    whyNot = "there is not enough memory to convert it";
    return false;
}

// Same rule as the GIF's: shrunk only, by whole percents, at least 1 %.
bool GifConverter::choosePngOrJpegSize(int32_t width, int32_t height) {
    if (maxWidth <= 0 || maxHeight <= 0) {
        whyNot = "its picture has no width or no height";
        return false;
    }
    if (!chooseScalePercent(width, height)) return false;
    if (int64_t(width) * height > kMaxDecodedPixels) {
        whyNot = "it has more than 25 million pixels to decode";
        return false;
    }
    bitmapWidth = int32_t(int64_t(width) * scalePercent / 100);
    bitmapHeight = int32_t(int64_t(height) * scalePercent / 100);
    if (bitmapWidth < 1) bitmapWidth = 1;
    if (bitmapHeight < 1) bitmapHeight = 1;
    rowStride = (bitmapWidth + 3) & ~3;
    return true;
}

// A picture of at most 256 colours keeps them exactly, numbered in the order
// they first appear from the top row down.
bool GifConverter::takeExactColours(const uint8_t* scaled) {
    int16_t slots[kDistinctSlots];
    for (int16_t& slot : slots) slot = -1;
    int colours = 0;
    for (int32_t row = 0; row < bitmapHeight; ++row) {
        uint8_t* out = pixels.get() + size_t(bitmapHeight - 1 - row) * size_t(rowStride);
        for (int32_t column = 0; column < bitmapWidth; ++column) {
            const uint8_t* c = &scaled[(size_t(row) * size_t(bitmapWidth) + size_t(column)) * 3];
            uint32_t key = uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
            uint32_t slot = (key * 2654435761u) >> 22;
            while (slots[slot] >= 0) {
                const GifColour& known = colourTable[slots[slot]];
                if (known.red == c[0] && known.green == c[1] && known.blue == c[2]) break;
                slot = (slot + 1) % kDistinctSlots;
            }
            if (slots[slot] < 0) {
                if (colours == 256) return false;
                colourTable[colours] = GifColour{c[0], c[1], c[2], nearestPaletteIndex(c[0], c[1], c[2])};
                slots[slot] = int16_t(colours++);
            }
            out[column] = uint8_t(slots[slot]);
        }
    }
    return true;
}

// More colours than a palette holds: the reader's own palette, with
// Floyd-Steinberg error diffusion (left to right, top down) so that areas
// keep their average colour.
bool GifConverter::ditherToFixedPalette(const uint8_t* scaled) {
    for (int i = 0; i < 256; ++i) {
        const PaletteColour& c = fixedPalette[i];
        colourTable[i] = GifColour{c.red, c.green, c.blue, nearestPaletteIndex(c.red, c.green, c.blue)};
    }
    // Errors in sixteenths, for this row and the next, with a column of room on each side.
    size_t span = size_t(bitmapWidth + 2) * 3;
    std::unique_ptr<int32_t[]> errors(new (std::nothrow) int32_t[2 * span]());
    if (!errors) return false;
    int32_t* here = errors.get();
    int32_t* below = here + span;
    for (int32_t row = 0; row < bitmapHeight; ++row) {
        uint8_t* out = pixels.get() + size_t(bitmapHeight - 1 - row) * size_t(rowStride);
        for (int32_t column = 0; column < bitmapWidth; ++column) {
            const uint8_t* wanted = &scaled[(size_t(row) * size_t(bitmapWidth) + size_t(column)) * 3];
            int32_t value[3];
            for (int k = 0; k < 3; ++k) {
                int32_t v = wanted[k] + here[size_t(column + 1) * 3 + k] / 16;
                value[k] = v < 0 ? 0 : v > 255 ? 255 : v;
            }
            uint16_t index = nearestPaletteIndex(uint8_t(value[0]), uint8_t(value[1]), uint8_t(value[2]));
            out[column] = uint8_t(index);
            const uint8_t shown[3] = {fixedPalette[index].red, fixedPalette[index].green,
                                      fixedPalette[index].blue};
            for (int k = 0; k < 3; ++k) {
                int32_t error = value[k] - shown[k];
                here[size_t(column + 2) * 3 + k] += error * 7;
                below[size_t(column) * 3 + k] += error * 3;
                below[size_t(column + 1) * 3 + k] += error * 5;
                below[size_t(column + 2) * 3 + k] += error;
            }
        }
        std::swap(here, below);
        std::memset(below, 0, span * sizeof(int32_t));
    }
    return true;
}

namespace {

int readCallback(void* user, char* data, int size) {
    Reading& reading = *static_cast<Reading*>(user);
    uint32_t position = getFilePosition(reading.file);
    uint32_t left = position < reading.length ? reading.length - position : 0;
    uint32_t n = size > 0 && uint32_t(size) < left ? uint32_t(size) : (size > 0 ? left : 0);
    return n > 0 && readBytes(reading.file, data, n) ? int(n) : 0;
}

void skipCallback(void* user, int n) {
    Reading& reading = *static_cast<Reading*>(user);
    uint32_t position = getFilePosition(reading.file);
    uint32_t left = position < reading.length ? reading.length - position : 0;
    uint32_t step = n > 0 ? (uint32_t(n) < left ? uint32_t(n) : left) : 0;
    setFilePosition(reading.file, position + step);
}

int eofCallback(void* user) {
    Reading& reading = *static_cast<Reading*>(user);
    return getFilePosition(reading.file) >= reading.length ? 1 : 0;
}

// Width and height from the header of a file with the PNG signature.
bool readPngSize(FileHandle file, int32_t* width, int32_t* height) {
    static const uint8_t kSignature[12] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
    uint8_t head[24];
    if (!readBytes(file, head, sizeof head) || std::memcmp(head, kSignature, sizeof kSignature) != 0 ||
        std::memcmp(head + 12, "IHDR", 4) != 0)
        return false;
    auto big31 = [](const uint8_t* b) { return int32_t(b[0] & 0x7F) << 24 | b[1] << 16 | b[2] << 8 | b[3]; };
    *width = big31(head + 16);
    *height = big31(head + 20);
    return *width > 0 && *height > 0;
}

// The decoder takes the memory for a PNG's picture data by the lengths its
// chunks claim before it reads them: each must fit within the file. An empty
// first data chunk is refused too, since the decoder would copy it into
// memory it has not taken yet. True for a file that is no PNG.
bool pngChunksFit(FileHandle file, uint32_t length) {
    uint8_t head[8];
    if (!readBytes(file, head, sizeof head) || std::memcmp(head, "\x89PNG\r\n\x1A\n", 8) != 0) {
        setFilePosition(file, 0);
        return true;
    }
    bool dataSeen = false;
    for (uint32_t at = 8; at + 8 <= length;) {
        uint8_t chunk[8];
        setFilePosition(file, at);
        if (!readBytes(file, chunk, sizeof chunk)) break;
        uint32_t size = uint32_t(chunk[0]) << 24 | chunk[1] << 16 | chunk[2] << 8 | chunk[3];
        if (size > length - at - 8 || length - at - 8 - size < 4) return false;  // data and CRC
        if (std::memcmp(chunk + 4, "IEND", 4) == 0) break;
        if (std::memcmp(chunk + 4, "IDAT", 4) == 0) {
            if (size == 0 && !dataSeen) return false;
            dataSeen = true;
        }
        at += 12 + size;
    }
    setFilePosition(file, 0);
    return true;
}

// The decoder trusts a JPEG's tables: a Huffman table of more than 256 codes
// overruns its arrays, and a scan that uses a Huffman or quantisation table
// never defined reads memory it never set. Every table the decoder could
// read is checked here first, in the order it would meet them: the walk
// takes each segment by its length, scans data for the next marker, and reads
// a table's bytes as the decoder does, even past its segment's end. True for
// a file that is no JPEG.
bool jpegTablesFit(FileHandle file) {
    // The decoder, as at every marker, steps over any number of 0xFF bytes.
    int start = readByte(file);
    if (start != 0xFF) return true;
    while (start == 0xFF) start = readByte(file);
    if (start != 0xD8) return true;
    bool huffman[2][4] = {}, quantisation[4] = {};
    int frameTables[4] = {}, frameComponents = 0;
    for (;;) {
        int byte = readByte(file);
        if (byte < 0) return true;
        if (byte != 0xFF) continue;  // scan data, or bytes the decoder steps over
        int marker = readByte(file);
        while (marker == 0xFF) marker = readByte(file);
        if (marker < 0 || marker == 0xD9) return true;
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;
        int high = readByte(file), low = readByte(file);
        if (low < 0) return true;
        int32_t left = (high << 8 | low) - 2;
        uint32_t end = getFilePosition(file) + uint32_t(left > 0 ? left : 0);
        if (marker == 0xC4 || marker == 0xDB) {
            // Tables one after the other, each with its class and number first.
            while (left > 0) {
                int which = readByte(file);
                if (which < 0) return true;
                int32_t values = 64 * ((which >> 4) + 1);  // of 8 or 16 bits
                if (marker == 0xC4) {
                    int32_t codes = 0;
                    for (int i = 0; i < 16; ++i) codes += readByte(file) & 0xFF;
                    if (codes > 256) return false;
                    if ((which >> 4) <= 1 && (which & 15) <= 3) huffman[which >> 4][which & 15] = true;
                    values = codes;
                    left -= 16;
                } else if ((which & 15) <= 3) {
                    quantisation[which & 15] = true;
                }
                setFilePosition(file, getFilePosition(file) + uint32_t(values));
                left -= 1 + values;
            }
            continue;
        }
        if (marker >= 0xC0 && marker <= 0xC2) {
            uint8_t frame[6];
            if (!readBytes(file, frame, sizeof frame)) return true;
            frameComponents = frame[5] <= 4 ? frame[5] : 0;
            for (int i = 0; i < frameComponents; ++i) {
                uint8_t component[3];
                if (!readBytes(file, component, sizeof component)) return true;
                frameTables[i] = component[2] & 3;
            }
        } else if (marker == 0xDA) {
            int count = readByte(file);
            uint8_t scan[4][2];
            if (count < 1 || count > 4 || !readBytes(file, scan, uint32_t(2 * count))) return true;
            int first = readByte(file), last = readByte(file);
            for (int i = 0; i < count; ++i) {
                if (first == 0 && !huffman[0][(scan[i][1] >> 4) & 3]) return false;
                if (last > 0 && !huffman[1][scan[i][1] & 3]) return false;
            }
            for (int i = 0; i < frameComponents; ++i)
                if (!quantisation[frameTables[i]]) return false;
        }
        setFilePosition(file, end);
    }
}

// The largest source position p with p * percent / 100 == target.
int32_t lastSourceOf(int32_t target, int32_t percent, int32_t sourceLength) {
    int32_t last = int32_t((int64_t(target + 1) * 100 - 1) / percent);
    return last < sourceLength ? last : sourceLength - 1;
}

}  // namespace
