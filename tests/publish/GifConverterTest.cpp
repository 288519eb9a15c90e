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

struct Bitmap {
    std::string bytes;
    uint32_t width = 0, height = 0, stride = 0;

    // Colour index of the pixel in row y from the top.
    uint8_t at(uint32_t x, uint32_t y) const {
        return uint8_t(bytes[1078 + size_t(height - 1 - y) * stride + x]);
    }
    uint8_t palette(int entry, int component) const { return uint8_t(bytes[54 + 4 * entry + component]); }
    // Every pixel against the expected indexes, row by row from the top.
    void expectPixels(const std::vector<uint8_t>& expected) const {
        ASSERT_EQ(size_t(width) * height, expected.size());
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x)
                ASSERT_EQ(at(x, y), expected[y * width + x]) << x << "," << y;
        }
    }
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
        bitmap->width = little32(b, 18);
        bitmap->height = little32(b, 22);
        bitmap->stride = (bitmap->width + 3) / 4 * 4;
        EXPECT_EQ(b.substr(0, 2), "BM");
        EXPECT_EQ(little32(b, 2), b.size());
        EXPECT_EQ(little32(b, 10), 1078u);
        EXPECT_EQ(little32(b, 14), 40u);
        EXPECT_EQ(little32(b, 26), 1u | 8u << 16);  // one plane, eight bits
        EXPECT_EQ(little32(b, 34), bitmap->height * bitmap->stride);
        EXPECT_EQ(b.substr(6, 4) + b.substr(30, 4) + b.substr(38, 16), std::string(24, '\0'));
        EXPECT_EQ(b.size(), 1078u + bitmap->height * bitmap->stride);
    }
};

std::string programPathOfFixture(const char* name) {
    std::string native = std::string(QB_SOURCE_DIR) + "/tests/publish/data/" + name;
    char path[1024];
    EXPECT_TRUE(nativePathToProgram(native.c_str(), path, sizeof path));
    return path;
}

TEST_F(GifConverterTest, AFittingPictureIsKeptWholeBottomUpWithItsColoursAndBackgroundPadding) {
    GifPicture picture = patternPicture(30, 10, 3);
    picture.background = 3;
    Bitmap bitmap;
    ASSERT_TRUE(convertBytes(encodeGif(picture), &bitmap));
    ASSERT_EQ(bitmap.width, 30u);
    ASSERT_EQ(bitmap.stride, 32u);
    // The GIF's first pixel is the first byte of the last row of pixel data.
    EXPECT_EQ(uint8_t(bitmap.bytes[1078 + 9 * 32]), picture.pixels[0]);
    bitmap.expectPixels(picture.pixels);
    for (uint32_t y = 0; y < 10; ++y) EXPECT_EQ(bitmap.at(30, y) | bitmap.at(31, y) << 8, 3 | 3 << 8);
    // The palette lists the GIF's colours as blue, green, red and the nearest
    // fixed colour; the entries the GIF does not have are zero.
    for (int i = 0; i < 8; ++i) {
        const auto& rgb = picture.colours[size_t(i)];
        EXPECT_EQ(bitmap.palette(i, 0), rgb[2]);
        EXPECT_EQ(bitmap.palette(i, 1), rgb[1]);
        EXPECT_EQ(bitmap.palette(i, 2), rgb[0]);
        EXPECT_EQ(bitmap.palette(i, 3), nearestPaletteIndex(rgb[0], rgb[1], rgb[2]));
    }
    EXPECT_EQ(bitmap.bytes.substr(54 + 32, 1024 - 32), std::string(1024 - 32, '\0'));
    // A stream that ends early (end code after a few pixels) leaves the rest as background.
    picture.pixels.resize(45);
    ASSERT_TRUE(convertBytes(encodeGif(picture), &bitmap));
    EXPECT_EQ(bitmap.at(14, 1), picture.pixels[44]);
    EXPECT_EQ(bitmap.at(15, 1), 3);
    EXPECT_EQ(bitmap.at(0, 9), 3);
}

TEST_F(GifConverterTest, LargePicturesShrinkByWholePercentsAndTheLastSourcePixelWins) {
    struct Case {
        uint16_t width, height, percent;
        uint32_t scaledWidth, scaledHeight, stride;
    };
    const Case cases[] = {{440, 100, 50, 220, 50, 220},
                          {300, 600, 46, 138, 276, 140},
                          {221, 10, 99, 218, 9, 220},
                          {220, 280, 100, 220, 280, 220}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        GifPicture picture = patternPicture(c.width, c.height, 4);
        Bitmap bitmap;
        GifConverter converter;
        ASSERT_TRUE(convertBytes(encodeGif(picture), &bitmap, &converter));
        EXPECT_EQ(converter.scalePercent, c.percent);
        ASSERT_EQ(bitmap.height, c.scaledHeight);
        ASSERT_EQ(bitmap.width, c.scaledWidth);
        ASSERT_EQ(bitmap.stride, c.stride);
        std::vector<uint8_t> expected(size_t(c.scaledWidth) * c.scaledHeight, 0xEE);
        for (uint32_t y = 0; y < c.height; ++y) {
            for (uint32_t x = 0; x < c.width; ++x)
                expected[y * c.percent / 100 * c.scaledWidth + x * c.percent / 100] =
                    picture.pixels[y * c.width + x];
        }
        bitmap.expectPixels(expected);
    }
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
    const std::pair<const char*, const char*> fixtures[] = {
        {"magick-plasma.gif", "magick-plasma.ppm"},
        {"magick-plasma-interlaced.gif", "magick-plasma.ppm"},
        {"magick-gradient.gif", "magick-gradient.ppm"}};
    for (const auto& [gif, ppmName] : fixtures) {
        SCOPED_TRACE(gif);
        Bitmap bitmap;
        ASSERT_TRUE(convertFile(programPathOfFixture(gif), &bitmap));
        std::string ppm = readWholeFile(programPathOfFixture(ppmName));
        // "P6\n<w> <h>\n255\n" then red, green, blue per pixel.
        unsigned width = 0, height = 0, maximum = 0;
        int header = 0;
        ASSERT_EQ(std::sscanf(ppm.c_str(), "P6 %u %u %u%n", &width, &height, &maximum, &header), 3);
        ASSERT_EQ(bitmap.width, width);
        ASSERT_EQ(bitmap.height, height);
        const size_t pixelsAt = size_t(header) + 1;
        ASSERT_EQ(ppm.size(), pixelsAt + 3 * width * height);
        for (uint32_t p = 0; p < width * height; ++p) {
            uint8_t index = bitmap.at(p % width, p / width);
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(bitmap.palette(index, 2 - c), uint8_t(ppm[pixelsAt + 3 * p + c]))
                    << p % width << "," << p / width;
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
    bitmap.expectPixels(std::vector<uint8_t>(216 * 198, 1));
    // Noise fills the 4096-entry table; without a clear code it stays full.
    std::mt19937 random(3);
    GifPicture noise = patternPicture(200, 200, 8);
    for (uint8_t& p : noise.pixels) p = uint8_t(random() % 7 == 0 ? random() : p);
    for (bool clearWhenFull : {true, false}) {
        for (uint32_t subBlock : {255u, 1u}) {
            noise.clearWhenFull = clearWhenFull;
            noise.subBlockSize = subBlock;
            ASSERT_TRUE(convertBytes(encodeGif(noise), &bitmap));
            bitmap.expectPixels(noise.pixels);
        }
    }
}

TEST_F(GifConverterTest, UnacceptablePicturesAreRefusedAndLeaveOneWhitePixel) {
    GifPicture p = patternPicture(9, 6, 2);
    const std::string good = encodeGif(p);
    const size_t descriptorAt = 13 + 12;  // header, 4 colours
    std::vector<std::pair<std::string, std::string>> refused;
    auto withBytes = [&](size_t at, const std::string& bytes) {
        return good.substr(0, at) + bytes + good.substr(at + bytes.size());
    };
    refused.push_back({"zero width", withBytes(descriptorAt + 5, std::string(2, '\0'))});
    refused.push_back({"zero height", withBytes(descriptorAt + 7, std::string(2, '\0'))});
    refused.push_back({"too wide for 1 %", withBytes(descriptorAt + 5, "\x30\x75")});  // 30000
    refused.push_back({"aspect byte", withBytes(12, "\x31")});
    // The separator as the 100th byte is past the search limit.
    p.beforeImage = std::string(99, 'x');
    refused.push_back({"separator too late", encodeGif(p)});
    p.beforeImage.clear();
    p.localColourTable = true;
    refused.push_back({"local colour table", encodeGif(p)});
    std::string head = good.substr(0, descriptorAt + 10);
    // Codes for m = 2, 3 bits each: clear, 0, then 7 where 6 is the next free code.
    refused.push_back({"code past the table", head + std::string("\x02\x02\xC4\x01\x00;", 6)});
    // Clear, then the table code 6 with nothing to build it from.
    refused.push_back({"table code after clear", head + std::string("\x02\x01\x34\x00;", 5)});
    refused.push_back({"code size 0", head + std::string("\x00\x01\x00\x00;", 5)});
    refused.push_back({"code size 9", head + std::string("\x09\x01\x00\x00;", 5)});
    // Every cut before the end code is reached.
    for (size_t cut = 0; cut + 2 < good.size(); ++cut)
        refused.push_back({"cut at " + std::to_string(cut), good.substr(0, cut)});
    refused.push_back({"missing file", ""});

    Bitmap bitmap;
    for (const auto& [why, gif] : refused) {
        bool converted = why == "missing file" ? convertFile(tmp.file("missing.gif"), &bitmap)
                                               : convertBytes(gif, &bitmap);
        ASSERT_FALSE(converted) << why;
        ASSERT_EQ(bitmap.bytes.size(), 1082u) << why;
        EXPECT_EQ(bitmap.width * bitmap.height, 1u) << why;
        EXPECT_EQ(bitmap.bytes.substr(54, 3), "\xFF\xFF\xFF") << why;
        EXPECT_EQ(bitmap.at(0, 0), 0) << why;
        EXPECT_EQ(bitmap.bytes.substr(58, 1020), std::string(1020, '\0')) << why;
    }
    // One converter serves the next picture afresh; extension blocks and up to
    // 98 other bytes before the image are passed over.
    GifConverter converter;
    EXPECT_FALSE(convertBytes(refused[0].second, &bitmap, &converter));
    EXPECT_TRUE(convertBytes(good, &bitmap, &converter));
    EXPECT_EQ(bitmap.width, 9u);
    p.localColourTable = false;
    for (const std::string& before :
         {std::string("\x21\xF9\x04\x01\x00\x00\x00\x00", 8), std::string(98, 'x')}) {
        p.beforeImage = before;
        EXPECT_TRUE(convertBytes(encodeGif(p), &bitmap));
        EXPECT_EQ(bitmap.width, 9u);
    }
}

TEST(FixedPaletteTest, NearestColourPrefersTheEarlierOfEquallyNearEntries) {
    // Equally near 222222 (entry 216) and 000000 (entry 230): the earlier one.
    const std::pair<uint32_t, int> nearest[] = {{0xFF0000, 125}, {0x800000, 226}, {0x000000, 230},
                                                {0xFFFFE5, 6},   {0x12FE12, 215}, {0x111111, 216},
                                                {0x101010, 230}};
    for (const auto& [colour, index] : nearest)
        EXPECT_EQ(nearestPaletteIndex(uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)), index)
            << std::hex << colour;
}

}  // namespace
