#include "GifEncoder.h"

#include <memory>

namespace {

constexpr uint32_t kWidestCode = 12;
// The table starts anew before a reader's table could hold 4096 strings.
constexpr uint32_t kLastFreeCode = 4094;
constexpr uint32_t kHashSlots = 8192;  // a power of two, twice the codes
constexpr uint32_t kEmpty = 0xFFFFFFFFu;

// Codes go out least significant bit first, in sub-blocks of up to 255 bytes.
class CodeWriter {
public:
    explicit CodeWriter(std::vector<uint8_t>& out) : out(out) {}
    void put(uint32_t code, uint32_t width);
    void finish();

private:
    void byte(uint8_t value);
    void flushBlock();

    std::vector<uint8_t>& out;
    uint8_t block[255];
    uint32_t blockUsed = 0;
    uint32_t bits = 0;
    uint32_t bitCount = 0;
};

// The strings of the table, each a known string's code and one more pixel.
class StringTable {
public:
    StringTable() { clear(); }
    void clear();
    uint32_t find(uint32_t prefix, uint8_t pixel) const;
    void add(uint32_t prefix, uint8_t pixel, uint32_t code);

private:
    uint32_t slotOf(uint32_t key) const;
    uint32_t keys[kHashSlots];
    uint32_t codes[kHashSlots];
};

void putLittle16(std::vector<uint8_t>& out, uint32_t value);
void encodePixels(const IndexedPicture& picture, std::vector<uint8_t>& out);

}  // namespace

std::vector<uint8_t> encodeGif(const IndexedPicture& picture) {
    std::vector<uint8_t> out;
    for (char c : {'G', 'I', 'F', '8', '7', 'a'}) out.push_back(uint8_t(c));
    putLittle16(out, uint32_t(picture.width));
    putLittle16(out, uint32_t(picture.height));
    uint32_t bits = uint32_t(picture.colourBits);
    // A global table, colours of 8 bits each.
    out.push_back(uint8_t(0x80 | (bits - 1) << 4 | (bits - 1)));
    out.push_back(picture.background);
    out.push_back(0);  // no aspect ratio
    for (uint32_t c = 0; c < 1u << bits; ++c) out.insert(out.end(), picture.colours[c], picture.colours[c] + 3);
    out.push_back(',');
    putLittle16(out, 0);
    putLittle16(out, 0);
    putLittle16(out, uint32_t(picture.width));
    putLittle16(out, uint32_t(picture.height));
    out.push_back(0);  // no local table, not interlaced
    // Codes start one bit wider than a pixel, and never narrower than 3 bits.
    out.push_back(uint8_t(bits < 2 ? 2 : bits));
    encodePixels(picture, out);
    out.push_back(';');
    return out;
}

namespace {

// A reader adds a string for every code but the first after a clear code,
// one code behind the writer, and widens its codes when its next free code
// reaches a power of two: the writer widens one string later.
void encodePixels(const IndexedPicture& picture, std::vector<uint8_t>& out) {
    const uint32_t codeSize = picture.colourBits < 2 ? 2 : uint32_t(picture.colourBits);
    const uint32_t clearCode = 1u << codeSize;
    const uint32_t endCode = clearCode + 1;
    const uint32_t firstFreeCode = clearCode + 2;
    CodeWriter writer(out);
    auto table = std::make_unique<StringTable>();
    uint32_t width = codeSize + 1;
    uint32_t next = firstFreeCode;
    writer.put(clearCode, width);
    uint32_t prefix = kEmpty;
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.pixels + y * picture.rowStep;
        for (int32_t x = 0; x < picture.width; ++x) {
            uint8_t pixel = row[x];
            if (prefix == kEmpty) {
                prefix = pixel;
                continue;
            }
            uint32_t known = table->find(prefix, pixel);
            if (known != kEmpty) {
                prefix = known;
                continue;
            }
            writer.put(prefix, width);
            if (next < kLastFreeCode) {
                table->add(prefix, pixel, next++);
                if (next - 1 == 1u << width && width < kWidestCode) ++width;
            } else {
                writer.put(clearCode, width);
                table->clear();
                width = codeSize + 1;
                next = firstFreeCode;
            }
            prefix = pixel;
        }
    }
    writer.put(prefix, width);
    // The reader adds a string for that last code too before the end code.
    if (next == 1u << width && width < kWidestCode) ++width;
    writer.put(endCode, width);
    writer.finish();
}

void CodeWriter::put(uint32_t code, uint32_t width) {
    bits |= code << bitCount;
    bitCount += width;
    while (bitCount >= 8) {
        byte(uint8_t(bits & 0xFF));
        bits >>= 8;
        bitCount -= 8;
    }
}

void CodeWriter::finish() {
    if (bitCount > 0) byte(uint8_t(bits & 0xFF));
    bits = 0;
    bitCount = 0;
    flushBlock();
    out.push_back(0);  // the empty block that ends the image data
}

void CodeWriter::byte(uint8_t value) {
    block[blockUsed++] = value;
    if (blockUsed == sizeof block) flushBlock();
}

void CodeWriter::flushBlock() {
    if (blockUsed == 0) return;
    out.push_back(uint8_t(blockUsed));
    out.insert(out.end(), block, block + blockUsed);
    blockUsed = 0;
}

void StringTable::clear() {
    for (uint32_t i = 0; i < kHashSlots; ++i) keys[i] = kEmpty;
}

uint32_t StringTable::find(uint32_t prefix, uint8_t pixel) const {
    uint32_t key = prefix << 8 | pixel;
    uint32_t slot = slotOf(key);
    return keys[slot] == key ? codes[slot] : kEmpty;
}

void StringTable::add(uint32_t prefix, uint8_t pixel, uint32_t code) {
    uint32_t key = prefix << 8 | pixel;
    uint32_t slot = slotOf(key);
    keys[slot] = key;
    codes[slot] = code;
}

// Open addressing: the key's slot, or the empty one where it would go. The
// table never holds more than half its slots.
uint32_t StringTable::slotOf(uint32_t key) const {
    uint32_t slot = (key * 2654435761u) >> 19 & (kHashSlots - 1);
    while (keys[slot] != kEmpty && keys[slot] != key) slot = (slot + 1) & (kHashSlots - 1);
    return slot;
}

void putLittle16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

}  // namespace
