#include "publish/GifConverter.h"

#include <cstring>
#include <new>

#include "model/Paths.h"

namespace {

constexpr int kMaxCodeWidth = 12;
constexpr int kSeparatorSearchLimit = 99;
constexpr int32_t kEndOfFile = -1;
constexpr int32_t kEndOfData = -2;  // a zero-length sub-block before the end code

uint16_t readLittle16(const uint8_t* bytes);
void putLittle16(uint8_t* at, uint32_t value);
void putLittle32(uint8_t* at, uint32_t value);
template <typename T>
std::unique_ptr<T[]> allocate(size_t count);

}  // namespace

const PaletteColour fixedPalette[256] = {
    {0xFF, 0xFF, 0xFF}, {0xFF, 0xCC, 0xFF}, {0xFF, 0x99, 0xFF}, {0xFF, 0x66, 0xFF}, {0xFF, 0x33, 0xFF},
    {0xFF, 0x00, 0xFF}, {0xFF, 0xFF, 0xCC}, {0xFF, 0xCC, 0xCC}, {0xFF, 0x99, 0xCC}, {0xFF, 0x66, 0xCC},
    {0xFF, 0x33, 0xCC}, {0xFF, 0x00, 0xCC}, {0xFF, 0xFF, 0x99}, {0xFF, 0xCC, 0x99}, {0xFF, 0x99, 0x99},
    {0xFF, 0x66, 0x99}, {0xFF, 0x33, 0x99}, {0xFF, 0x00, 0x99}, {0xCC, 0xFF, 0xFF}, {0xCC, 0xCC, 0xFF},
    {0xCC, 0x99, 0xFF}, {0xCC, 0x66, 0xFF}, {0xCC, 0x33, 0xFF}, {0xCC, 0x00, 0xFF}, {0xCC, 0xFF, 0xCC},
    {0xCC, 0xCC, 0xCC}, {0xCC, 0x99, 0xCC}, {0xCC, 0x66, 0xCC}, {0xCC, 0x33, 0xCC}, {0xCC, 0x00, 0xCC},
    {0xCC, 0xFF, 0x99}, {0xCC, 0xCC, 0x99}, {0xCC, 0x99, 0x99}, {0xCC, 0x66, 0x99}, {0xCC, 0x33, 0x99},
    {0xCC, 0x00, 0x99}, {0x99, 0xFF, 0xFF}, {0x99, 0xCC, 0xFF}, {0x99, 0x99, 0xFF}, {0x99, 0x66, 0xFF},
    {0x99, 0x33, 0xFF}, {0x99, 0x00, 0xFF}, {0x99, 0xFF, 0xCC}, {0x99, 0xCC, 0xCC}, {0x99, 0x99, 0xCC},
    {0x99, 0x66, 0xCC}, {0x99, 0x33, 0xCC}, {0x99, 0x00, 0xCC}, {0x99, 0xFF, 0x99}, {0x99, 0xCC, 0x99},
    {0x99, 0x99, 0x99}, {0x99, 0x66, 0x99}, {0x99, 0x33, 0x99}, {0x99, 0x00, 0x99}, {0x66, 0xFF, 0xFF},
    {0x66, 0xCC, 0xFF}, {0x66, 0x99, 0xFF}, {0x66, 0x66, 0xFF}, {0x66, 0x33, 0xFF}, {0x66, 0x00, 0xFF},
    {0x66, 0xFF, 0xCC}, {0x66, 0xCC, 0xCC}, {0x66, 0x99, 0xCC}, {0x66, 0x66, 0xCC}, {0x66, 0x33, 0xCC},
    {0x66, 0x00, 0xCC}, {0x66, 0xFF, 0x99}, {0x66, 0xCC, 0x99}, {0x66, 0x99, 0x99}, {0x66, 0x66, 0x99},
    {0x66, 0x33, 0x99}, {0x66, 0x00, 0x99}, {0x33, 0xFF, 0xFF}, {0x33, 0xCC, 0xFF}, {0x33, 0x99, 0xFF},
    {0x33, 0x66, 0xFF}, {0x33, 0x33, 0xFF}, {0x33, 0x00, 0xFF}, {0x33, 0xFF, 0xCC}, {0x33, 0xCC, 0xCC},
    {0x33, 0x99, 0xCC}, {0x33, 0x66, 0xCC}, {0x33, 0x33, 0xCC}, {0x33, 0x00, 0xCC}, {0x33, 0xFF, 0x99},
    {0x33, 0xCC, 0x99}, {0x33, 0x99, 0x99}, {0x33, 0x66, 0x99}, {0x33, 0x33, 0x99}, {0x33, 0x00, 0x99},
    {0x00, 0xFF, 0xFF}, {0x00, 0xCC, 0xFF}, {0x00, 0x99, 0xFF}, {0x00, 0x66, 0xFF}, {0x00, 0x33, 0xFF},
    {0x00, 0x00, 0xFF}, {0x00, 0xFF, 0xCC}, {0x00, 0xCC, 0xCC}, {0x00, 0x99, 0xCC}, {0x00, 0x66, 0xCC},
    {0x00, 0x33, 0xCC}, {0x00, 0x00, 0xCC}, {0x00, 0xFF, 0x99}, {0x00, 0xCC, 0x99}, {0x00, 0x99, 0x99},
    {0x00, 0x66, 0x99}, {0x00, 0x33, 0x99}, {0x00, 0x00, 0x99}, {0xFF, 0xFF, 0x66}, {0xFF, 0xCC, 0x66},
    {0xFF, 0x99, 0x66}, {0xFF, 0x66, 0x66}, {0xFF, 0x33, 0x66}, {0xFF, 0x00, 0x66}, {0xFF, 0xFF, 0x33},
    {0xFF, 0xCC, 0x33}, {0xFF, 0x99, 0x33}, {0xFF, 0x66, 0x33}, {0xFF, 0x33, 0x33}, {0xFF, 0x00, 0x33},
    {0xFF, 0xFF, 0x00}, {0xFF, 0xCC, 0x00}, {0xFF, 0x99, 0x00}, {0xFF, 0x66, 0x00}, {0xFF, 0x33, 0x00},
    {0xFF, 0x00, 0x00}, {0xCC, 0xFF, 0x66}, {0xCC, 0xCC, 0x66}, {0xCC, 0x99, 0x66}, {0xCC, 0x66, 0x66},
    {0xCC, 0x33, 0x66}, {0xCC, 0x00, 0x66}, {0xCC, 0xFF, 0x33}, {0xCC, 0xCC, 0x33}, {0xCC, 0x99, 0x33},
    {0xCC, 0x66, 0x33}, {0xCC, 0x33, 0x33}, {0xCC, 0x00, 0x33}, {0xCC, 0xFF, 0x00}, {0xCC, 0xCC, 0x00},
    {0xCC, 0x99, 0x00}, {0xCC, 0x66, 0x00}, {0xCC, 0x33, 0x00}, {0xCC, 0x00, 0x00}, {0x99, 0xFF, 0x66},
    {0x99, 0xCC, 0x66}, {0x99, 0x99, 0x66}, {0x99, 0x66, 0x66}, {0x99, 0x33, 0x66}, {0x99, 0x00, 0x66},
    {0x99, 0xFF, 0x33}, {0x99, 0xCC, 0x33}, {0x99, 0x99, 0x33}, {0x99, 0x66, 0x33}, {0x99, 0x33, 0x33},
    {0x99, 0x00, 0x33}, {0x99, 0xFF, 0x00}, {0x99, 0xCC, 0x00}, {0x99, 0x99, 0x00}, {0x99, 0x66, 0x00},
    {0x99, 0x33, 0x00}, {0x99, 0x00, 0x00}, {0x66, 0xFF, 0x66}, {0x66, 0xCC, 0x66}, {0x66, 0x99, 0x66},
    {0x66, 0x66, 0x66}, {0x66, 0x33, 0x66}, {0x66, 0x00, 0x66}, {0x66, 0xFF, 0x33}, {0x66, 0xCC, 0x33},
    {0x66, 0x99, 0x33}, {0x66, 0x66, 0x33}, {0x66, 0x33, 0x33}, {0x66, 0x00, 0x33}, {0x66, 0xFF, 0x00},
    {0x66, 0xCC, 0x00}, {0x66, 0x99, 0x00}, {0x66, 0x66, 0x00}, {0x66, 0x33, 0x00}, {0x66, 0x00, 0x00},
    {0x33, 0xFF, 0x66}, {0x33, 0xCC, 0x66}, {0x33, 0x99, 0x66}, {0x33, 0x66, 0x66}, {0x33, 0x33, 0x66},
    {0x33, 0x00, 0x66}, {0x33, 0xFF, 0x33}, {0x33, 0xCC, 0x33}, {0x33, 0x99, 0x33}, {0x33, 0x66, 0x33},
    {0x33, 0x33, 0x33}, {0x33, 0x00, 0x33}, {0x33, 0xFF, 0x00}, {0x33, 0xCC, 0x00}, {0x33, 0x99, 0x00},
    {0x33, 0x66, 0x00}, {0x33, 0x33, 0x00}, {0x33, 0x00, 0x00}, {0x00, 0xFF, 0x66}, {0x00, 0xCC, 0x66},
    {0x00, 0x99, 0x66}, {0x00, 0x66, 0x66}, {0x00, 0x33, 0x66}, {0x00, 0x00, 0x66}, {0x00, 0xFF, 0x33},
    {0x00, 0xCC, 0x33}, {0x00, 0x99, 0x33}, {0x00, 0x66, 0x33}, {0x00, 0x33, 0x33}, {0x00, 0x00, 0x33},
    {0x00, 0xFF, 0x00}, {0x00, 0xCC, 0x00}, {0x00, 0x99, 0x00}, {0x00, 0x66, 0x00}, {0x00, 0x33, 0x00},
    {0x11, 0xFF, 0x11}, {0x22, 0x22, 0x22}, {0x44, 0x22, 0x44}, {0x55, 0x55, 0x55}, {0x77, 0x77, 0x77},
    {0x88, 0x88, 0x88}, {0xAA, 0xAA, 0xAA}, {0xBB, 0xBB, 0xBB}, {0xDD, 0xDD, 0xDD}, {0xEE, 0xEE, 0xEE},
    {0xC0, 0xC0, 0xC0}, {0x80, 0x00, 0x00}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x00}, {0x00, 0x80, 0x80},
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00},
};

uint16_t nearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue) {
    uint16_t best = 0;
    int32_t bestDistance = 0x7FFFFFFF;
    for (int i = 0; i < 256; ++i) {
        int32_t dr = int32_t(red) - fixedPalette[i].red;
        int32_t dg = int32_t(green) - fixedPalette[i].green;
        int32_t db = int32_t(blue) - fixedPalette[i].blue;
        int32_t distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = uint16_t(i);
            if (distance == 0) break;
        }
    }
    return best;
}

void GifConverter::prepare(int32_t width, int32_t height) {
    maxWidth = width;
    maxHeight = height;
    scalePercent = 100;
    pass = 1;
    interlaced = false;
    currentByte = 0;
    bitIndex = 8;
    bytesInBlock = 0;
    blockLength = 0;
    // Entries the GIF does not fill stay zero rather than keep an earlier picture's colours.
    for (GifColour& colour : colourTable) colour = GifColour{};
    prefix.reset();
    suffix.reset();
    stack.reset();
    pixels.reset();
    bitmapWidth = bitmapHeight = rowStride = 0;
    converted = false;
}

bool GifConverter::convert(const char* gifPath) {
    converted = false;
    if (!endsWithNoCase(gifPath, "gif")) return converted = convertPngOrJpeg(gifPath);
    whyNot = "it cannot be read";
    FileHandle file = openFile(gifPath, OpenMode::read);
    if (file == kInvalidFileHandle) return false;
    bool ok = readPicture(file);
    closeFile(file);
    prefix.reset();
    suffix.reset();
    stack.reset();
    if (!ok) pixels.reset();
    converted = ok;
    return ok;
}

bool GifConverter::writeBitmap(FileHandle file) {
    if (!converted || !pixels) return false;
    buildHeaders();
    const uint8_t* rows = pixels.get();
    uint32_t rowBytes = uint32_t(bitmapHeight) * uint32_t(rowStride);
    bool ok = writeBytes(file, fileHeader, kBitmapFileHeaderSize);
    ok = writeBytes(file, infoHeader, kBitmapInfoHeaderSize) && ok;
    ok = writeBytes(file, rows, rowBytes) && ok;
    pixels.reset();
    converted = false;
    return ok;
}

bool GifConverter::readPicture(FileHandle file) {
    whyNot = "it is no GIF picture that can be decoded";
    uint8_t head[13];  // signature and logical screen descriptor
    if (!readBytes(file, head, sizeof head)) return false;
    screenWidth = readLittle16(head + 6);
    screenHeight = readLittle16(head + 8);
    screenFlags = head[10];
    backgroundIndex = head[11];
    // The shape of the screen's pixels; the reader's are square.
    aspectByte = head[12];

    colourBits = uint16_t((screenFlags & 7) + 1);
    if ((screenFlags & 0x80) && !readColourTable(file)) return false;

    if (!findImage(file)) return false;
    uint8_t descriptor[9];
    if (!readBytes(file, descriptor, sizeof descriptor)) return false;
    imageLeft = readLittle16(descriptor);
    imageTop = readLittle16(descriptor + 2);
    imageWidth = readLittle16(descriptor + 4);
    imageHeight = readLittle16(descriptor + 6);
    imageFlags = descriptor[8];
    if (imageWidth == 0 || imageHeight == 0 || maxWidth <= 0 || maxHeight <= 0) {
        whyNot = "its picture has no width or no height";
        return false;
    }

    if (!chooseScalePercent(imageWidth, imageHeight)) return false;

    // The picture's own colours stand in for the screen's.
    if (imageFlags & 0x80) {
        for (GifColour& colour : colourTable) colour = GifColour{};
        colourBits = uint16_t((imageFlags & 7) + 1);
        if (!readColourTable(file)) return false;
    }
    interlaced = (imageFlags & 0x40) != 0;

    // A very thin picture still keeps one pixel across.
    bitmapWidth = int32_t(int64_t(imageWidth) * scalePercent / 100);
    bitmapHeight = int32_t(int64_t(imageHeight) * scalePercent / 100);
    if (bitmapWidth < 1) bitmapWidth = 1;
    if (bitmapHeight < 1) bitmapHeight = 1;
    rowStride = (bitmapWidth + 3) & ~3;
    size_t pixelBytes = size_t(bitmapHeight) * size_t(rowStride);
    pixels = allocate<uint8_t>(pixelBytes);
    prefix = allocate<uint16_t>(kLzwTableSize);
    suffix = allocate<uint16_t>(kLzwTableSize);
    stack = allocate<uint16_t>(kLzwStackSize);
    if (!pixels || !prefix || !suffix || !stack) {
        whyNot = "there is not enough memory to convert it";
        return false;
    }
    std::memset(pixels.get(), backgroundIndex, pixelBytes);

    x = imageLeft;
    y = imageTop;
    xEnd = int32_t(imageLeft) + imageWidth - 1;
    yEnd = int32_t(imageTop) + imageHeight - 1;
    pass = 1;
    whyNot = "its picture data is damaged";
    return decode(file);
}

bool GifConverter::readColourTable(FileHandle file) {
    int colours = 1 << colourBits;
    for (int i = 0; i < colours; ++i) {
        uint8_t rgb[3];
        if (!readBytes(file, rgb, 3)) return false;
        colourTable[i] = GifColour{rgb[0], rgb[1], rgb[2], nearestPaletteIndex(rgb[0], rgb[1], rgb[2])};
    }
    return true;
}

// Behind the image separator. Extension blocks are passed over whole; other
// bytes are searched for the separator, at most 99 of them.
bool GifConverter::findImage(FileHandle file) {
    int searched = 0;
    for (;;) {
        int byte = readByte(file);
        if (byte < 0) return false;
        if (byte == ',') return true;
        if (byte == '!' && searched == 0) {
            if (readByte(file) < 0) return false;
            for (int length = readByte(file); length != 0; length = readByte(file)) {
                if (length < 0) return false;
                setFilePosition(file, getFilePosition(file) + uint32_t(length));
            }
            continue;
        }
        if (++searched == kSeparatorSearchLimit) return false;
    }
}

bool GifConverter::isComplete() const {
    return y > yEnd || pass > 4;
}

bool GifConverter::decode(FileHandle file) {
    int minimumCodeSize = readByte(file);
    if (minimumCodeSize < 2 || minimumCodeSize > 8) return false;
    const int32_t clearCode = 1 << minimumCodeSize;
    const int32_t endCode = clearCode + 1;
    const uint16_t colourMask = uint16_t((1 << colourBits) - 1);
    int width = minimumCodeSize + 1;
    int32_t widthLimit = 1 << width;
    int32_t nextFree = clearCode + 2;

    int length = readByte(file);
    if (length < 0) return false;
    if (length == 0) return true;
    blockLength = uint32_t(length) + 1;
    bytesInBlock = 0;
    bitIndex = 8;

    int32_t previous = -1;  // none right after a clear code
    uint16_t previousFirst = 0;
    for (;;) {
        int32_t code = readCode(file, width);
        if (code == kEndOfFile) return false;
        if (code == kEndOfData || code == endCode) return true;
        if (code == clearCode) {
            width = minimumCodeSize + 1;
            widthLimit = 1 << width;
            nextFree = clearCode + 2;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            // The table is empty: only a single colour can follow.
            if (code > clearCode) return false;
            previousFirst = uint16_t(code & colourMask);
            placePixel(uint8_t(previousFirst));
            if (isComplete()) return true;
            previous = code;
            continue;
        }
        if (code > nextFree) return false;  // would point outside the table

        int depth = 0;
        int32_t walk = code;
        if (code == nextFree) {
            stack[depth++] = previousFirst;
            walk = previous;
        }
        while (walk >= clearCode + 2) {
            if (depth >= kLzwStackSize - 1) return false;
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        uint16_t first = uint16_t(walk & colourMask);
        stack[depth++] = first;
        while (depth > 0) placePixel(uint8_t(stack[--depth]));
        // Whatever the stream holds behind a whole picture is not read.
        if (isComplete()) return true;

        // A full table stays as it is until the next clear code.
        if (nextFree < kLzwTableSize) {
            prefix[nextFree] = uint16_t(previous);
            suffix[nextFree] = first;
            ++nextFree;
            if (nextFree >= widthLimit && width < kMaxCodeWidth) {
                ++width;
                widthLimit <<= 1;
            }
        }
        previous = code;
        previousFirst = first;
    }
}

int32_t GifConverter::readCode(FileHandle file, int width) {
    int32_t code = 0;
    for (int bit = 0; bit < width; ++bit) {
        if (bitIndex == 8) {
            if (bytesInBlock + 1 == blockLength) {
                int length = readByte(file);
                if (length < 0) return kEndOfFile;
                if (length == 0) return kEndOfData;
                blockLength = uint32_t(length) + 1;
                bytesInBlock = 0;
            }
            int byte = readByte(file);
            if (byte < 0) return kEndOfFile;
            currentByte = uint8_t(byte);
            ++bytesInBlock;
            bitIndex = 0;
        }
        code |= int32_t((currentByte >> bitIndex) & 1) << bit;
        ++bitIndex;
    }
    return code;
}

void GifConverter::placePixel(uint8_t colour) {
    // Pixels past the last row (or the fourth pass) have nowhere to go.
    if (isComplete()) return;
    int32_t column = x * scalePercent / 100;
    int32_t row = y * scalePercent / 100;
    if (row < bitmapHeight && column < bitmapWidth) {
        pixels[size_t(bitmapHeight - 1 - row) * size_t(rowStride) + size_t(column)] = colour;
    }
    if (++x <= xEnd) return;
    x = imageLeft;
    if (!interlaced) {
        ++y;
        return;
    }
    y += pass <= 2 ? 8 : pass == 3 ? 4 : 2;
    while (y > yEnd && pass <= 4) {
        ++pass;
        y = imageTop + (pass == 2 ? 4 : pass == 3 ? 2 : 1);
    }
}

void GifConverter::buildHeaders() {
    uint32_t rowBytes = uint32_t(bitmapHeight) * uint32_t(rowStride);
    std::memset(fileHeader, 0, sizeof fileHeader);
    fileHeader[0] = 'B';
    fileHeader[1] = 'M';
    putLittle32(fileHeader + 2, kBitmapFileHeaderSize + kBitmapInfoHeaderSize + rowBytes);
    putLittle32(fileHeader + 10, kBitmapFileHeaderSize + kBitmapInfoHeaderSize);

    std::memset(infoHeader, 0, sizeof infoHeader);
    putLittle32(infoHeader, 40);
    putLittle32(infoHeader + 4, uint32_t(bitmapWidth));
    putLittle32(infoHeader + 8, uint32_t(bitmapHeight));
    putLittle16(infoHeader + 12, 1);
    putLittle16(infoHeader + 14, 8);
    putLittle32(infoHeader + 20, rowBytes);
    // The fourth byte of each entry carries the nearest colour of the reader's palette.
    for (int i = 0; i < 256; ++i) {
        uint8_t* entry = infoHeader + 40 + 4 * i;
        entry[0] = colourTable[i].blue;
        entry[1] = colourTable[i].green;
        entry[2] = colourTable[i].red;
        entry[3] = uint8_t(colourTable[i].paletteIndex);
    }
}

namespace {

uint16_t readLittle16(const uint8_t* bytes) {
    return uint16_t(bytes[0] | bytes[1] << 8);
}

void putLittle16(uint8_t* at, uint32_t value) {
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
}

void putLittle32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(value >> (8 * i));
}

template <typename T>
std::unique_ptr<T[]> allocate(size_t count) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]);
}

}  // namespace

bool GifConverter::chooseScalePercent(int64_t width, int64_t height) {
    int64_t byWidth = int64_t(maxWidth) * 100 / width;
    int64_t byHeight = int64_t(maxHeight) * 100 / height;
    int64_t percent = byWidth < byHeight ? byWidth : byHeight;
    if (percent > 100) percent = 100;
    if (percent < 1) {
        whyNot = "it is too large to fit the screen at 1 %";
        return false;
    }
    scalePercent = uint16_t(percent);
    return true;
}
