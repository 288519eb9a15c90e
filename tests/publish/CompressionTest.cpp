#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "publish/Compression.h"
#include "tests/publish/ReferenceCompressor.h"

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

Bytes reference(const Bytes& input) {
    return referenceCompress(input.data(), uint32_t(input.size()));
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

// Equal to the oracle and decodes back to the input.
void expectSoundAndEqual(const Bytes& input, const char* what) {
    Bytes packed = compressed(input);
    ASSERT_EQ(packed, reference(input)) << what << ", " << input.size() << " bytes";
    ASSERT_EQ(decompressed(packed, uint32_t(input.size()) + 1), input) << what;
}

struct Token {
    enum Kind { literal, escapes, copy, spaced } kind;
    uint32_t distance = 0;
    uint32_t length = 0;
};

std::vector<Token> tokensOf(const Bytes& packed) {
    std::vector<Token> tokens;
    for (size_t i = 0; i < packed.size();) {
        uint8_t b = packed[i];
        if (b >= 1 && b <= 8) {
            tokens.push_back({Token::escapes, 0, b});
            i += 1 + b;
        } else if (b >= 0x80 && b <= 0xBF) {
            uint32_t v = uint32_t(b) << 8 | packed[i + 1];
            tokens.push_back({Token::copy, (v >> 3) & 0x7FF, (v & 7) + 3});
            i += 2;
        } else {
            tokens.push_back({b >= 0xC0 ? Token::spaced : Token::literal, 0, 1});
            ++i;
        }
    }
    return tokens;
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
        // A pending space goes out before a copy; the copy does not take it in.
        {bytesOf("abcd abcd!"), {'a', 'b', 'c', 'd', 0x20, 0x80, 0x29, '!'}},
        {Bytes{}, Bytes{}},
    };
    for (const Case& c : cases) {
        std::string shown(c.input.begin(), c.input.end());
        EXPECT_EQ(compressed(c.input), c.expected) << shown;
        EXPECT_EQ(reference(c.input), c.expected) << shown;
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
        ASSERT_EQ(packed, reference(input));
        uint32_t distance = gap + 4;
        bool copied = false;
        for (const Token& t : tokensOf(packed))
            copied = copied || (t.kind == Token::copy && t.distance == distance);
        EXPECT_EQ(copied, distance <= 2047) << "distance " << distance;
        EXPECT_EQ(decompressed(packed, uint32_t(input.size()) + 1), input);
    }
}

TEST(CompressionTest, CopiesStayWithinTheirLimitsOnEveryKindOfInput) {
    std::mt19937 random(11);
    std::vector<Bytes> inputs = {Bytes(4096, 'a'),
                                 Bytes(4096, ' '),
                                 Bytes(4096, 0x80),
                                 bytesOf(englishLikeText(4096, 3)),
                                 randomBytes(random, 4096, 4),
                                 randomBytes(random, 4096, 256)};
    for (const Bytes& input : inputs) {
        Bytes packed = compressed(input);
        int copies = 0;
        for (const Token& t : tokensOf(packed)) {
            if (t.kind == Token::copy) {
                ++copies;
                EXPECT_GE(t.distance, 1u);
                EXPECT_LE(t.distance, 2047u);
                EXPECT_GE(t.length, 3u);
                EXPECT_LE(t.length, 10u);
            } else if (t.kind == Token::escapes) {
                EXPECT_LE(t.length, 8u);
            }
        }
        if (input[0] == input[1]) {
            EXPECT_GT(copies, 400);
        }
        EXPECT_EQ(decompressed(packed, 4097), input);
    }
}

TEST(CompressionTest, ProductionEqualsReferenceOnShapedInputs) {
    std::mt19937 random(1234);
    Bytes everyValue;
    for (int round = 0; round < 4; ++round) {
        for (int b = 0; b < 256; ++b) everyValue.push_back(uint8_t(round % 2 ? 255 - b : b));
    }
    expectSoundAndEqual(everyValue, "all byte values");
    for (uint32_t n : {1u, 2u, 3u, 4u, 5u, 10u, 11u, 12u, 13u, 21u, 22u, 2047u, 2048u, 2049u, 4095u, 4096u}) {
        expectSoundAndEqual(Bytes(n, 'q'), "run");
        expectSoundAndEqual(Bytes(n, ' '), "run of spaces");
        expectSoundAndEqual(Bytes(n, 0xE9), "run of escapes");
    }
    // Runs of one byte between other material, and a period just above the window.
    Bytes runs;
    while (runs.size() < 4096) {
        runs.insert(runs.end(), 1 + random() % 40, uint8_t("ab \x90"[random() % 4]));
    }
    runs.resize(4096);
    expectSoundAndEqual(runs, "mixed runs");
    Bytes periodic = randomBytes(random, 2050, 256);
    periodic.insert(periodic.end(), periodic.begin(), periodic.begin() + 2046);
    expectSoundAndEqual(periodic, "period 2050");
    // Many near-misses: long matches everywhere that differ in the tenth byte.
    Bytes nearMisses;
    while (nearMisses.size() < 4096) {
        std::string stem = "abcdefghi";
        for (char c : stem) nearMisses.push_back(uint8_t(c));
        nearMisses.push_back(uint8_t('0' + random() % 10));
    }
    nearMisses.resize(4096);
    expectSoundAndEqual(nearMisses, "near misses");
}

TEST(CompressionTest, ProductionEqualsReferenceOnRandomRecords) {
    std::mt19937 random(99);
    const int alphabets[] = {2, 3, 5, 16, 64, 256};
    for (int i = 0; i < 60; ++i) {
        uint32_t n = i < 30 ? random() % 300 : random() % 4097;
        expectSoundAndEqual(randomBytes(random, n, alphabets[i % 6]), "random bytes");
    }
    // Text of a few repeated words, with spaces, digits and escapes among them.
    const char* const words[] = {"ab", "abc",  "abcd", "the",        " ", "  ",
                                 "1",  "\x80", "\x05", "qrstuvwxyz", "\n"};
    for (int i = 0; i < 30; ++i) {
        std::string text;
        uint32_t n = random() % 4097;
        while (text.size() < n) text += words[random() % 11];
        text.resize(n);
        expectSoundAndEqual(bytesOf(text), "repeated words");
    }
}

TEST(CompressionTest, ProductionEqualsReferenceOnRecordsOfALongText) {
    const std::string text = englishLikeText(3 << 20, 42);
    for (size_t record = 0; record < text.size() / 4096; record += 37) {
        Bytes input(text.begin() + long(record * 4096), text.begin() + long(record * 4096 + 4096));
        expectSoundAndEqual(input, "text record");
    }
    Bytes tail(text.end() - 1234, text.end());
    expectSoundAndEqual(tail, "short last record");
}

TEST(CompressionTest, EveryLengthUpToARecordRoundTrips) {
    std::mt19937 random(5);
    std::string text = englishLikeText(4096, 8);
    Bytes source(text.begin(), text.end());
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
