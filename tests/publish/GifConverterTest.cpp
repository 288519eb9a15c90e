#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/NativePaths.h"
#include "publish/GifConverter.h"
#include "tests/publish/GifEncoderForTests.h"
#include "tests/support/TempFolder.h"

namespace {

uint32_t little32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
uint32_t little16(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8;
}

struct Bitmap {
    std::string bytes;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t stride = 0;

    // Colour index of the pixel in row y from the top.
    uint8_t at(uint32_t x, uint32_t y) const {
        return uint8_t(bytes[1078 + size_t(height - 1 - y) * stride + x]);
    }
    uint8_t palette(int entry, int component) const { return uint8_t(bytes[54 + 4 * entry + component]); }
};

class GifConverterTest : public ::testing::Test {
protected:
    TempFolder tmp;

    // Converts the bytes as a GIF file; the bitmap is what writeBitmap writes either way.
    bool convertBytes(const std::string& gif, Bitmap* bitmap, GifConverter* used = nullptr) {
        tmp.write("in.gif", gif);
        return convertFile(tmp.file("in.gif"), bitmap, used);
    }

    bool convertFile(const std::string& path, Bitmap* bitmap, GifConverter* used = nullptr) {
        GifConverter local;
        GifConverter& converter = used ? *used : local;
        converter.prepare(220, 280);
        bool converted = converter.convert(path.c_str());
        FileHandle out = openFile(tmp.file("out.bmp").c_str(), OpenMode::create);
        EXPECT_NE(out, kInvalidFileHandle);
        EXPECT_TRUE(converter.writeBitmap(out));
        EXPECT_TRUE(closeFile(out));
        bitmap->bytes = tmp.read("out.bmp");
        checkLayout(bitmap);
        return converted;
    }

    // The header fields every record has, whatever the picture.
    static void checkLayout(Bitmap* bitmap) {
        const std::string& b = bitmap->bytes;
        ASSERT_GE(b.size(), 1078u);
        EXPECT_EQ(b.substr(0, 2), "BM");
        EXPECT_EQ(little32(b, 2), b.size());
        EXPECT_EQ(little32(b, 6), 0u);
        EXPECT_EQ(little32(b, 10), 1078u);
        EXPECT_EQ(little32(b, 14), 40u);
        bitmap->width = little32(b, 18);
        bitmap->height = little32(b, 22);
        bitmap->stride = (bitmap->width + 3) / 4 * 4;
        EXPECT_EQ(little16(b, 26), 1u);
        EXPECT_EQ(little16(b, 28), 8u);
        EXPECT_EQ(little32(b, 30), 0u);
        EXPECT_EQ(little32(b, 34), bitmap->height * bitmap->stride);
        for (int i = 38; i < 54; ++i) EXPECT_EQ(b[size_t(i)], 0) << "offset " << i;
        EXPECT_EQ(b.size(), 1078u + bitmap->height * bitmap->stride);
    }
};

std::string programPathOfFixture(const char* name) {
    std::string native = std::string(QB_SOURCE_DIR) + "/tests/publish/data/" + name;
    char path[1024];
    EXPECT_TRUE(nativePathToProgram(native.c_str(), path, sizeof path));
    return path;
}

TEST_F(GifConverterTest, AFittingPictureIsKeptWholeWithItsTopRowLast) {
    GifPicture picture = patternPicture(100, 50, 3);
    Bitmap bitmap;
    ASSERT_TRUE(convertBytes(encodeGif(picture), &bitmap));
    EXPECT_EQ(bitmap.width, 100u);
    EXPECT_EQ(bitmap.height, 50u);
    EXPECT_EQ(bitmap.stride, 100u);
    // The GIF's first pixel is the first byte of the last row of pixel data.
    EXPECT_EQ(uint8_t(bitmap.bytes[1078 + 49 * 100]), picture.pixels[0]);
    for (uint32_t y = 0; y < 50; ++y) {
        for (uint32_t x = 0; x < 100; ++x)
            ASSERT_EQ(bitmap.at(x, y), picture.pixels[y * 100 + x]) << x << "," << y;
    }
    // The palette lists the GIF's colours as blue, green, red and the nearest
    // fixed colour; the entries the GIF does not have are zero.
    for (int i = 0; i < 8; ++i) {
        const auto& rgb = picture.colours[size_t(i)];
        EXPECT_EQ(bitmap.palette(i, 0), rgb[2]);
        EXPECT_EQ(bitmap.palette(i, 1), rgb[1]);
        EXPECT_EQ(bitmap.palette(i, 2), rgb[0]);
        EXPECT_EQ(bitmap.palette(i, 3), nearestPaletteIndex(rgb[0], rgb[1], rgb[2]));
    }
    for (int i = 8; i < 256; ++i) {
        for (int c = 0; c < 4; ++c) ASSERT_EQ(bitmap.palette(i, c), 0) << i;
    }
}

TEST_F(GifConverterTest, LargePicturesShrinkByWholePercentsAndTheLastSourcePixelWins) {
    struct Case {
        uint16_t width, height;
        uint16_t percent;
        uint32_t scaledWidth, scaledHeight, stride;
    };
    const Case cases[] = {
        {440, 100, 50, 220, 50, 220},
        {300, 600, 46, 138, 276, 140},
        {221, 10, 99, 218, 9, 220},
        {220, 280, 100, 220, 280, 220},
    };
    for (const Case& c : cases) {
        GifPicture picture = patternPicture(c.width, c.height, 4);
        Bitmap bitmap;
        GifConverter converter;
        ASSERT_TRUE(convertBytes(encodeGif(picture), &bitmap, &converter));
        EXPECT_EQ(converter.scalePercent, c.percent);
        ASSERT_EQ(bitmap.width, c.scaledWidth);
        ASSERT_EQ(bitmap.height, c.scaledHeight);
        ASSERT_EQ(bitmap.stride, c.stride);
        std::vector<int> expected(size_t(c.scaledWidth) * c.scaledHeight, -1);
        for (uint32_t y = 0; y < c.height; ++y) {
            for (uint32_t x = 0; x < c.width; ++x) {
                uint32_t tx = x * c.percent / 100, ty = y * c.percent / 100;
                expected[ty * c.scaledWidth + tx] = picture.pixels[y * c.width + x];
            }
        }
        for (uint32_t y = 0; y < c.scaledHeight; ++y) {
            for (uint32_t x = 0; x < c.scaledWidth; ++x) {
                ASSERT_EQ(bitmap.at(x, y), expected[y * c.scaledWidth + x]) << c.width << "x" << c.height;
            }
        }
    }
}

TEST_F(GifConverterTest, PaddingAndUncoveredPixelsHoldTheBackgroundIndex) {
    GifPicture picture = patternPicture(30, 10, 2);
    picture.background = 3;
    Bitmap bitmap;
    ASSERT_TRUE(convertBytes(encodeGif(picture), &bitmap));
    ASSERT_EQ(bitmap.stride, 32u);
    for (uint32_t y = 0; y < 10; ++y) {
        EXPECT_EQ(bitmap.at(30, y), 3);
        EXPECT_EQ(bitmap.at(31, y), 3);
        for (uint32_t x = 0; x < 30; ++x) ASSERT_EQ(bitmap.at(x, y), picture.pixels[y * 30 + x]);
    }
    // A stream that ends early (end code after a few pixels) leaves the rest as background.
    GifPicture shortStream = picture;
    shortStream.pixels.resize(45);
    std::string gif = encodeGif(shortStream);
    ASSERT_TRUE(convertBytes(gif, &bitmap));
    EXPECT_EQ(bitmap.at(14, 1), picture.pixels[44]);
    EXPECT_EQ(bitmap.at(15, 1), 3);
    EXPECT_EQ(bitmap.at(0, 9), 3);
}

TEST_F(GifConverterTest, AnInterlacedPictureEqualsItsPlainTwin) {
    for (uint16_t height : {1, 2, 3, 4, 5, 7, 8, 9, 13, 17, 50}) {
        GifPicture plain = patternPicture(uint16_t(7 + height), height, 5);
        GifPicture interlaced = plain;
        interlaced.interlaced = true;
        Bitmap a, b;
        ASSERT_TRUE(convertBytes(encodeGif(plain), &a));
        ASSERT_TRUE(convertBytes(encodeGif(interlaced), &b));
        EXPECT_EQ(a.bytes, b.bytes) << "height " << height;
        EXPECT_EQ(a.at(0, height - 1u), plain.pixels[size_t(height - 1) * plain.width]);
    }
}

TEST_F(GifConverterTest, PicturesMadeByAnotherEncoderShowTheirOwnColours) {
    struct Fixture {
        const char* gif;
        const char* ppm;
    };
    const Fixture fixtures[] = {{"magick-plasma.gif", "magick-plasma.ppm"},
                                {"magick-plasma-interlaced.gif", "magick-plasma.ppm"},
                                {"magick-gradient.gif", "magick-gradient.ppm"}};
    for (const Fixture& f : fixtures) {
        Bitmap bitmap;
        ASSERT_TRUE(convertFile(programPathOfFixture(f.gif), &bitmap)) << f.gif;
        std::string ppm = readWholeFile(programPathOfFixture(f.ppm));
        // "P6\n<w> <h>\n255\n" then red, green, blue per pixel.
        unsigned width = 0, height = 0, maximum = 0;
        int header = 0;
        ASSERT_EQ(std::sscanf(ppm.c_str(), "P6 %u %u %u%n", &width, &height, &maximum, &header), 3);
        ASSERT_EQ(bitmap.width, width);
        ASSERT_EQ(bitmap.height, height);
        const size_t pixelsAt = size_t(header) + 1;
        ASSERT_EQ(ppm.size(), pixelsAt + 3 * width * height);
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x) {
                uint8_t index = bitmap.at(x, y);
                size_t p = pixelsAt + 3 * (y * width + x);
                ASSERT_EQ(bitmap.palette(index, 2), uint8_t(ppm[p])) << f.gif << " " << x << "," << y;
                ASSERT_EQ(bitmap.palette(index, 1), uint8_t(ppm[p + 1]));
                ASSERT_EQ(bitmap.palette(index, 0), uint8_t(ppm[p + 2]));
            }
        }
    }
}

TEST_F(GifConverterTest, LongStringsAFullTableAndTinySubBlocksDecode) {
    // One colour over a large area makes LZW strings far longer than 1025.
    GifPicture uniform;
    uniform.width = 1200;
    uniform.height = 1100;
    uniform.pixels.assign(size_t(1200) * 1100, 1);
    Bitmap bitmap;
    ASSERT_TRUE(convertBytes(encodeGif(uniform), &bitmap));
    EXPECT_EQ(bitmap.width, 216u);  // 18 %
    EXPECT_EQ(bitmap.height, 198u);
    for (uint32_t y = 0; y < bitmap.height; ++y) {
        for (uint32_t x = 0; x < bitmap.width; ++x) ASSERT_EQ(bitmap.at(x, y), 1);
    }
    // Noise fills the 4096-entry table; without a clear code it stays full.
    std::mt19937 random(3);
    GifPicture noise = patternPicture(200, 200, 8);
    for (uint8_t& p : noise.pixels) p = uint8_t(random() % 7 == 0 ? random() : p);
    for (bool clearWhenFull : {true, false}) {
        for (uint32_t subBlock : {255u, 1u}) {
            noise.clearWhenFull = clearWhenFull;
            noise.subBlockSize = subBlock;
            ASSERT_TRUE(convertBytes(encodeGif(noise), &bitmap));
            for (uint32_t y = 0; y < 200; ++y) {
                for (uint32_t x = 0; x < 200; ++x) ASSERT_EQ(bitmap.at(x, y), noise.pixels[y * 200 + x]);
            }
        }
    }
}

TEST_F(GifConverterTest, BytesBeforeTheImageAreSkippedUpToTheSearchLimit) {
    GifPicture picture = patternPicture(5, 4, 1);
    Bitmap bitmap;
    picture.beforeImage = std::string("\x21\xF9\x04\x01\x00\x00\x00\x00", 8);
    EXPECT_TRUE(convertBytes(encodeGif(picture), &bitmap));
    EXPECT_EQ(bitmap.width, 5u);
    picture.beforeImage = std::string(98, 'x');  // the separator is the 99th byte
    EXPECT_TRUE(convertBytes(encodeGif(picture), &bitmap));
    picture.beforeImage = std::string(99, 'x');
    EXPECT_FALSE(convertBytes(encodeGif(picture), &bitmap));
}

TEST_F(GifConverterTest, UnacceptablePicturesAreRefusedAndLeaveOneWhitePixel) {
    const std::string good = encodeGif(patternPicture(9, 6, 2));
    const size_t dataAt = 13 + 12 + 10;  // header, 4 colours, image descriptor
    std::vector<std::pair<std::string, std::string>> refused;
    GifPicture p = patternPicture(9, 6, 2);
    p.localColourTable = true;
    refused.push_back({"local colour table", encodeGif(p)});
    p = patternPicture(9, 6, 2);
    p.aspect = 49;
    refused.push_back({"aspect byte", encodeGif(p)});
    std::string zero = good;
    zero[dataAt - 10 + 5] = 0, zero[dataAt - 10 + 6] = 0;  // width 0
    refused.push_back({"zero width", zero});
    zero = good;
    zero[dataAt - 10 + 7] = 0, zero[dataAt - 10 + 8] = 0;
    refused.push_back({"zero height", zero});
    std::string huge = good;
    huge[dataAt - 10 + 5] = char(0x30), huge[dataAt - 10 + 6] = char(0x75);  // 30000 wide
    refused.push_back({"too wide for 1 %", huge});
    std::string head = good.substr(0, dataAt);
    // Codes for m = 2, 3 bits each: clear, 0, then 7 where 6 is the next free code.
    refused.push_back({"code past the table", head + std::string("\x02\x02\xC4\x01\x00;", 6)});
    // Clear, then the table code 6 with nothing to build it from.
    refused.push_back({"table code after clear", head + std::string("\x02\x01\x34\x00;", 5)});
    refused.push_back({"code size 0", head + std::string("\x00\x01\x00\x00;", 5)});
    refused.push_back({"code size 9", head + std::string("\x09\x01\x00\x00;", 5)});
    // Every cut before the end code is reached.
    for (size_t cut = 0; cut + 2 < good.size(); ++cut)
        refused.push_back({"cut at " + std::to_string(cut), good.substr(0, cut)});

    for (const auto& [why, gif] : refused) {
        Bitmap bitmap;
        ASSERT_FALSE(convertBytes(gif, &bitmap)) << why;
        ASSERT_EQ(bitmap.bytes.size(), 1082u) << why;
        EXPECT_EQ(bitmap.width, 1u);
        EXPECT_EQ(bitmap.height, 1u);
        EXPECT_EQ(bitmap.palette(0, 0), 0xFF);
        EXPECT_EQ(bitmap.palette(0, 1), 0xFF);
        EXPECT_EQ(bitmap.palette(0, 2), 0xFF);
        EXPECT_EQ(bitmap.at(0, 0), 0);
        for (int i = 1; i < 256; ++i) ASSERT_EQ(bitmap.palette(i, 1), 0) << why;
    }
    Bitmap bitmap;
    EXPECT_FALSE(convertFile(tmp.file("missing.gif"), &bitmap));
    EXPECT_EQ(bitmap.width, 1u);
    // The complete file still converts, and one converter serves the next picture afresh.
    GifConverter converter;
    EXPECT_FALSE(convertBytes(refused[0].second, &bitmap, &converter));
    EXPECT_TRUE(convertBytes(good, &bitmap, &converter));
    EXPECT_EQ(bitmap.width, 9u);
}

TEST(FixedPaletteTest, TheTableAndTheNearestColour) {
    auto rgb = [](int i) {
        return uint32_t(fixedPalette[i].red) << 16 | uint32_t(fixedPalette[i].green) << 8 |
               fixedPalette[i].blue;
    };
    EXPECT_EQ(rgb(0), 0xFFFFFFu);
    EXPECT_EQ(rgb(1), 0xFFCCFFu);
    EXPECT_EQ(rgb(5), 0xFF00FFu);
    EXPECT_EQ(rgb(6), 0xFFFFCCu);
    EXPECT_EQ(rgb(18), 0xCCFFFFu);
    EXPECT_EQ(rgb(107), 0x000099u);
    EXPECT_EQ(rgb(108), 0xFFFF66u);
    EXPECT_EQ(rgb(214), 0x003300u);
    const uint32_t tail[] = {0x11FF11, 0x222222, 0x442244, 0x555555, 0x777777, 0x888888, 0xAAAAAA, 0xBBBBBB,
                             0xDDDDDD, 0xEEEEEE, 0xC0C0C0, 0x800000, 0x800080, 0x008000, 0x008080};
    for (int i = 0; i < 15; ++i) EXPECT_EQ(rgb(215 + i), tail[i]) << 215 + i;
    for (int i = 230; i < 256; ++i) EXPECT_EQ(rgb(i), 0u);

    EXPECT_EQ(nearestPaletteIndex(0xFF, 0, 0), 125);
    EXPECT_EQ(nearestPaletteIndex(0x80, 0, 0), 226);
    EXPECT_EQ(nearestPaletteIndex(0, 0, 0), 230);  // the first of the black entries
    EXPECT_EQ(nearestPaletteIndex(0xFF, 0xFF, 0xE5), 6);
    EXPECT_EQ(nearestPaletteIndex(0x12, 0xFE, 0x12), 215);
    // Equally near 222222 (entry 216) and 000000 (entry 230): the earlier one.
    EXPECT_EQ(nearestPaletteIndex(0x11, 0x11, 0x11), 216);
    EXPECT_EQ(nearestPaletteIndex(0x10, 0x10, 0x10), 230);
}

}  // namespace
