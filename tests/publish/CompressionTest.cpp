#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "publish/Compression.h"
#include "tests/support/TempFolder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes compressed(const Bytes& input) {
    Bytes out(compressedCapacity(uint32_t(input.size())) + 1);
    uint32_t length = compressRecord(input.data(), uint32_t(input.size()), out.data());
    EXPECT_LE(length, compressedCapacity(uint32_t(input.size())));
    out.resize(length);
    return out;
}

// Decodes into a buffer one byte larger than the original, so too much
// output shows as a wrong length rather than a refusal.
Bytes decompressed(const Bytes& packed, uint32_t capacity) {
    Bytes out(capacity);
    int32_t length = decompressRecord(packed.data(), uint32_t(packed.size()), out.data(), capacity);
    if (length < 0) return Bytes{0xDE, 0xAD};
    out.resize(size_t(length));
    return out;
}

Bytes randomBytes(std::mt19937& random, size_t n, int alphabet) {
    Bytes out(n);
    for (uint8_t& b : out) b = uint8_t(random() % uint32_t(alphabet));
    return out;
}

// The distances of the copies in a compressed record.
std::vector<uint32_t> copyDistances(const Bytes& packed) {
    std::vector<uint32_t> distances;
    for (size_t i = 0; i < packed.size(); ++i) {
        if (packed[i] >= 1 && packed[i] <= 8) {
            i += packed[i];
        } else if (packed[i] >= 0x80 && packed[i] <= 0xBF) {
            distances.push_back((uint32_t(packed[i]) << 8 | packed[i + 1]) >> 3 & 0x7FF);
            ++i;
        }
    }
    return distances;
}

TEST(CompressionTest, KnownRecordsComeOutByteForByte) {
    struct Case {
        Bytes input;
        Bytes expected;
    };
    Bytes allEscapes;
    for (int b = 0x80; b <= 0x88; ++b) allEscapes.push_back(uint8_t(b));
    const Case cases[] = {
        // Literal, overlapping copy of 10, copy of 8 from the leftmost x, and
        // the last byte as a literal because no match takes it in.
        {Bytes(20, 'x'), {0x78, 0x80, 0x0F, 0x80, 0x5D, 0x78}},
        {bytesOf("a b"), {0x61, 0xE2}},
        {bytesOf("a  b"), {0x61, 0x20, 0x20, 0x62}},
        {bytesOf("x 1"), {0x78, 0x20, 0x31}},
        {bytesOf("a "), {0x61, 0x20}},
        {bytesOf(" "), {0x20}},
        {bytesOf("   "), {0x20, 0x20, 0x20}},
        {bytesOf(" \x81"), {0x20, 0x01, 0x81}},
        {allEscapes, {0x08, 0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x01, 0x88}},
        // Escapes either side of a plain byte stay separate runs.
        {Bytes{0x01, 0x02, 'a', 0xFF}, {0x02, 0x01, 0x02, 'a', 0x01, 0xFF}},
        {Bytes{0x00, 0x09, 0x7F}, {0x00, 0x09, 0x7F}},
        {bytesOf("abc"), bytesOf("abc")},
        {bytesOf("abcabc"), bytesOf("abcabc")},
        {bytesOf("abcabcx"), {'a', 'b', 'c', 0x80, 0x18, 'x'}},
        // A longer match further on wins over the leftmost shorter one.
        {bytesOf("abcdXabcdeYabcde!"), {'a', 'b', 'c', 'd', 'X', 0x80, 0x29, 'e', 'Y', 0x80, 0x32, '!'}},
        // A pending space goes out before a copy; the copy does not take it in.
        {bytesOf("abcd abcd!"), {'a', 'b', 'c', 'd', 0x20, 0x80, 0x29, '!'}},
        {Bytes{}, Bytes{}},
    };
    for (const Case& c : cases) {
        std::string shown(c.input.begin(), c.input.end());
        EXPECT_EQ(compressed(c.input), c.expected) << shown;
        EXPECT_EQ(decompressed(c.expected, uint32_t(c.input.size()) + 1), c.input) << shown;
    }
}

TEST(CompressionTest, TheWindowReaches2047BytesBackAndNoFurther) {
    std::mt19937 random(7);
    for (uint32_t gap : {2040u, 2043u, 2044u, 2045u}) {
        // "wxyz" again after gap filler bytes that never contain it.
        Bytes input = bytesOf("wxyz");
        Bytes filler = randomBytes(random, gap, 16);
        for (uint8_t& b : filler) b = uint8_t('a' + b);
        input.insert(input.end(), filler.begin(), filler.end());
        for (char c : std::string("wxyzQ")) input.push_back(uint8_t(c));
        Bytes packed = compressed(input);
        uint32_t distance = gap + 4;
        std::vector<uint32_t> distances = copyDistances(packed);
        bool copied = std::find(distances.begin(), distances.end(), distance) != distances.end();
        EXPECT_EQ(copied, distance <= 2047) << "distance " << distance;
        EXPECT_EQ(decompressed(packed, uint32_t(input.size()) + 1), input);
    }
}

TEST(CompressionTest, EveryLengthUpToARecordRoundTrips) {
    std::mt19937 random(5);
    std::string text;
    for (const char* chapter : {"ch1", "ch2", "ch3", "ch1"})
        text += readWholeFile(sourceFile(std::string("samples/lantern/text/") + chapter + ".htm"));
    Bytes source(text.begin(), text.begin() + 4096);
    // Binary stretches among the text bring escapes and spaces before them.
    for (int i = 0; i < 40; ++i) source[random() % 4096] = uint8_t(0x80 + random() % 128);
    for (int i = 0; i < 40; ++i) source[random() % 4096] = uint8_t(1 + random() % 8);
    Bytes packed(compressedCapacity(4096));
    Bytes out(4097);
    for (uint32_t n = 0; n <= 4096; ++n) {
        uint32_t length = compressRecord(source.data(), n, packed.data());
        ASSERT_LE(length, compressedCapacity(n));
        int32_t decoded = decompressRecord(packed.data(), length, out.data(), 4097);
        ASSERT_EQ(decoded, int32_t(n));
        ASSERT_EQ(std::memcmp(out.data(), source.data(), n), 0) << n;
    }
}

TEST(CompressionTest, TheDecoderRefusesCorruptStreams) {
    uint8_t out[16];
    struct Case {
        Bytes stream;
        uint32_t capacity;
        const char* why;
    };
    const Case refused[] = {
        {{0x80, 0x08}, 16, "copy from before the start"},
        {{'a', 0x80, 0x10}, 16, "copy reaching one byte too far back"},
        {{'a', 0x80, 0x00}, 16, "distance 0"},
        {{'a', 0x80}, 16, "copy cut off"},
        {{0x03, 'a', 'b'}, 16, "escape run cut off"},
        {{'a', 'b', 'c'}, 2, "more output than fits"},
        {{'a', 0x80, 0x0F}, 10, "copy overflowing the output"},
        {{0xE2}, 1, "space pair overflowing the output"},
        {{0x02, 0x80, 0x81}, 1, "escape run overflowing the output"},
    };
    for (const Case& c : refused) {
        EXPECT_EQ(decompressRecord(c.stream.data(), uint32_t(c.stream.size()), out, c.capacity), -1) << c.why;
    }
    // The limits themselves are fine: overlapping copies repeat what they write.
    const Bytes overlapping = {'a', 'b', 0x80, 0x17};  // distance 2, length 10
    ASSERT_EQ(decompressRecord(overlapping.data(), 4, out, 12), 12);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 12), "abababababab");
    const Bytes farthest = {'a', 0x80, 0x08};
    EXPECT_EQ(decompressRecord(farthest.data(), 3, out, 4), 4);
    EXPECT_EQ(decompressRecord(nullptr, 0, out, 0), 0);
}

}  // namespace
