#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "publish/GifConverter.h"
#include "tests/support/TempFolder.h"

namespace {

uint32_t little32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

// The pixels and colours of the pattern fixtures (data/pattern-*.gif,
// data/interlaced-*.gif): 3 colour bits, rows top to bottom.
uint8_t pattern(uint32_t x, uint32_t y) {
    return uint8_t(((x / 3) * 7 + y * 5 + (x * y) % 11) % 8);
}
std::vector<uint8_t> patternPixels(uint32_t width, uint32_t height) {
    std::vector<uint8_t> pixels;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) pixels.push_back(pattern(x, y));
    return pixels;
}
const uint8_t kPatternBackground = 3;
// Offset of the image descriptor in the pattern fixtures: header, 8 colours.
const size_t kDescriptorAt = 13 + 24;

struct Bitmap {
    std::string bytes;
    uint32_t width = 0, height = 0, stride = 0;

    // Colour index of the pixel in row y from the top.
    uint8_t at(uint32_t x, uint32_t y) const {
        return uint8_t(bytes[1078 + size_t(height - 1 - y) * stride + x]);
    }
    uint8_t palette(int entry, int component) const { return uint8_t(bytes[54 + 4 * entry + component]); }
    // Red (0), green (1) or blue (2) of the pixel in row y from the top.
    uint8_t rgb(uint32_t x, uint32_t y, int component) const { return palette(at(x, y), 2 - component); }
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

    // Converts the bytes as a GIF file; the bitmap is what writeBitmap writes.
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
        EXPECT_EQ(converter.writeBitmap(out), converted);
        EXPECT_TRUE(closeFile(out));
        bitmap->bytes = tmp.read("out.bmp");
        if (converted) checkLayout(bitmap);
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

std::string fixture(const char* name) {
    return sourceFile(std::string("tests/publish/data/") + name);
}

TEST_F(GifConverterTest, AFittingPictureIsKeptWholeBottomUpWithItsColoursAndBackgroundPadding) {
    Bitmap bitmap;
    ASSERT_TRUE(convertFile(fixture("pattern-30x10.gif"), &bitmap));
    ASSERT_EQ(bitmap.width, 30u);
    ASSERT_EQ(bitmap.stride, 32u);
    // The GIF's first pixel is the first byte of the last row of pixel data.
    EXPECT_EQ(uint8_t(bitmap.bytes[1078 + 9 * 32]), pattern(0, 0));
    bitmap.expectPixels(patternPixels(30, 10));
    for (uint32_t y = 0; y < 10; ++y) EXPECT_EQ(bitmap.at(30, y) | bitmap.at(31, y) << 8, 0x0303);
    // The palette lists the GIF's colours as blue, green, red and the nearest
    // fixed colour; the entries the GIF does not have are zero.
    for (int i = 0; i < 8; ++i) {
        const uint8_t rgb[3] = {uint8_t(i * 37), uint8_t(255 - i * 11), uint8_t(i * 91)};
        EXPECT_EQ(bitmap.palette(i, 0), rgb[2]);
        EXPECT_EQ(bitmap.palette(i, 1), rgb[1]);
        EXPECT_EQ(bitmap.palette(i, 2), rgb[0]);
        EXPECT_EQ(bitmap.palette(i, 3), nearestPaletteIndex(rgb[0], rgb[1], rgb[2]));
    }
    EXPECT_EQ(bitmap.bytes.substr(54 + 32, 1024 - 32), std::string(1024 - 32, '\0'));
    // A stream that ends early (end code after 45 pixels, sent in sub-blocks
    // of one byte) leaves the rest as background.
    ASSERT_TRUE(convertFile(fixture("pattern-30x10-ends-early.gif"), &bitmap));
    EXPECT_EQ(bitmap.at(14, 1), pattern(14, 1));
    EXPECT_EQ(bitmap.at(15, 1), kPatternBackground);
    EXPECT_EQ(bitmap.at(0, 9), kPatternBackground);
}

TEST_F(GifConverterTest, LargePicturesShrinkByWholePercentsAndTheLastSourcePixelWins) {
    // The 300 pixels of the pattern fixture under a larger size: they fill
    // the first rows, the rest is background.
    struct Case {
        uint16_t width, height, percent;
        uint32_t scaledWidth, scaledHeight, stride;
    };
    const Case cases[] = {{440, 100, 50, 220, 50, 220},
                          {300, 600, 46, 138, 276, 140},
                          {221, 10, 99, 218, 9, 220},
                          {220, 280, 100, 220, 280, 220}};
    const std::string gif = readWholeFile(fixture("pattern-30x10.gif"));
    const std::vector<uint8_t> pixels = patternPixels(30, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        std::string resized = gif;
        for (size_t at : {size_t(6), kDescriptorAt + 5}) {
            resized.replace(
                at, 4,
                {char(c.width & 0xFF), char(c.width >> 8), char(c.height & 0xFF), char(c.height >> 8)});
        }
        Bitmap bitmap;
        GifConverter converter;
        ASSERT_TRUE(convertBytes(resized, &bitmap, &converter));
        EXPECT_EQ(converter.scalePercent, c.percent);
        ASSERT_EQ(bitmap.height, c.scaledHeight);
        ASSERT_EQ(bitmap.width, c.scaledWidth);
        ASSERT_EQ(bitmap.stride, c.stride);
        std::vector<uint8_t> expected(size_t(c.scaledWidth) * c.scaledHeight, kPatternBackground);
        for (uint32_t i = 0; i < pixels.size(); ++i) {
            uint32_t x = i % c.width, y = i / c.width;
            expected[y * c.percent / 100 * c.scaledWidth + x * c.percent / 100] = pixels[i];
        }
        bitmap.expectPixels(expected);
    }
}

TEST_F(GifConverterTest, PicturesOfEveryShapeOfStreamDecodeToTheirPixels) {
    // Interlaced with empty passes (2 rows) and with all four (13 rows).
    Bitmap bitmap;
    for (uint32_t height : {2u, 13u}) {
        ASSERT_TRUE(
            convertFile(fixture(("interlaced-9x" + std::to_string(height) + ".gif").c_str()), &bitmap));
        bitmap.expectPixels(patternPixels(9, height));
    }
    // One colour over a large area makes LZW strings far longer than 1025.
    ASSERT_TRUE(convertFile(fixture("uniform-1200x1100.gif"), &bitmap));
    EXPECT_EQ(bitmap.width, 216u);  // 18 %
    EXPECT_EQ(bitmap.height, 198u);
    bitmap.expectPixels(std::vector<uint8_t>(216 * 198, 1));
    // Noise fills the 4096-entry table, which stays full for 999 codes
    // until a clear code empties it.
    std::mt19937 random(3);
    std::vector<uint8_t> noise(80 * 80);
    for (uint8_t& p : noise) p = uint8_t(random());
    ASSERT_TRUE(convertFile(fixture("noise-80x80.gif"), &bitmap));
    bitmap.expectPixels(noise);
}

// A picture another program wrote as "P6\n<w> <h>\n255\n" and red, green,
// blue per pixel, the row from the top first.
struct Ppm {
    unsigned width = 0, height = 0;
    std::string rgb;
    uint8_t at(uint32_t x, uint32_t y, int component) const {
        return uint8_t(rgb[(y * width + x) * 3 + component]);
    }
};
Ppm readPpm(const char* name) {
    Ppm ppm;
    std::string bytes = readWholeFile(fixture(name));
    unsigned maximum = 0;
    int header = 0;
    EXPECT_EQ(std::sscanf(bytes.c_str(), "P6 %u %u %u%n", &ppm.width, &ppm.height, &maximum, &header), 3);
    ppm.rgb = bytes.substr(size_t(header) + 1);
    EXPECT_EQ(ppm.rgb.size(), 3u * ppm.width * ppm.height);
    return ppm;
}

TEST_F(GifConverterTest, PicturesMadeByAnotherEncoderShowTheirOwnColours) {
    // A PNG of up to 256 colours keeps them exactly.
    const std::pair<const char*, const char*> fixtures[] = {
        {"magick-plasma.gif", "magick-plasma.ppm"},
        {"magick-plasma-interlaced.gif", "magick-plasma.ppm"},
        {"magick-gradient.gif", "magick-gradient.ppm"},
        {"magick-plasma.png", "magick-plasma.ppm"}};
    for (const auto& [picture, ppmName] : fixtures) {
        SCOPED_TRACE(picture);
        Bitmap bitmap;
        ASSERT_TRUE(convertFile(fixture(picture), &bitmap));
        Ppm ppm = readPpm(ppmName);
        ASSERT_EQ(bitmap.width, ppm.width);
        ASSERT_EQ(bitmap.height, ppm.height);
        for (uint32_t y = 0; y < ppm.height; ++y)
            for (uint32_t x = 0; x < ppm.width; ++x)
                for (int c = 0; c < 3; ++c) ASSERT_EQ(bitmap.rgb(x, y, c), ppm.at(x, y, c)) << x << "," << y;
    }
}

TEST_F(GifConverterTest, UnacceptablePicturesAreRefusedAndWriteNothing) {
    const std::string good = readWholeFile(fixture("pattern-30x10.gif"));
    auto withBytes = [&](const std::string& gif, size_t at, const std::string& bytes) {
        return gif.substr(0, at) + bytes + gif.substr(at + bytes.size());
    };
    auto beforeImage = [&](const std::string& bytes) {
        return good.substr(0, kDescriptorAt) + bytes + good.substr(kDescriptorAt);
    };
    std::vector<std::pair<std::string, std::string>> refused = {
        {"zero width", withBytes(good, kDescriptorAt + 5, std::string(2, '\0'))},
        {"zero height", withBytes(good, kDescriptorAt + 7, std::string(2, '\0'))},
        {"too wide for 1 %", withBytes(good, kDescriptorAt + 5, "\x30\x75")},  // 30000
        // The separator as the 100th byte is past the search limit.
        {"separator too late", beforeImage(std::string(99, 'x'))},
    };
    std::string head = good.substr(0, kDescriptorAt + 10);
    // Codes of 4 bits for m = 3, each stream ended by the end code 9: clear,
    // 0, then 11 where 10 is the next free code; clear, then the table code
    // 10 with nothing to build it from.
    refused.push_back({"code past the table", head + std::string("\x03\x02\x08\x9B\x00;", 6)});
    refused.push_back({"table code after clear", head + std::string("\x03\x02\xA8\x09\x00;", 6)});
    refused.push_back({"code size 0", head + std::string("\x00\x01\x00\x00;", 5)});
    refused.push_back({"code size 9", head + std::string("\x09\x01\x00\x00;", 5)});
    // Every cut before the picture is whole.
    for (size_t cut = 0; cut + 3 < good.size(); ++cut)
        refused.push_back({"cut at " + std::to_string(cut), good.substr(0, cut)});
    refused.push_back({"missing file", ""});

    Bitmap bitmap;
    for (const auto& [why, gif] : refused) {
        bool converted = why == "missing file" ? convertFile(tmp.file("missing.gif"), &bitmap)
                                               : convertBytes(gif, &bitmap);
        ASSERT_FALSE(converted) << why;
        EXPECT_EQ(bitmap.bytes, "") << why;
    }

    // Whatever stands around the picture, it decodes whole in its own
    // colours, and one converter serves the next picture afresh.
    GifConverter converter;
    EXPECT_FALSE(convertBytes(refused[0].second, &bitmap, &converter));
    const std::string local =
        good.substr(0, kDescriptorAt + 9) + "\x82" + std::string(24, '\x40') + good.substr(kDescriptorAt + 10);
    const std::string localOnly = good.substr(0, 10) + char(good[10] & 0x7F) + good.substr(11, 2) + local.substr(37);
    const std::string extensions = "\x21\xFE\x78" + std::string(120, ',') + std::string("\0\x21\xF9\x04\x01,\0\0\0", 9);
    // Three rows announced, ten in the stream, cut before its end.
    const std::string runsOn = withBytes(good, kDescriptorAt + 7, "\x03").substr(0, good.size() - 4);
    const struct {
        const char* what;
        std::string gif;
        uint32_t rows;
        uint8_t red;  // of colour 0
    } accepted[] = {
        {"plain", good, 10, 0},
        {"aspect byte", withBytes(good, 12, "\x31"), 10, 0},
        {"local colour table", local, 10, 0x40},
        {"local table only", localOnly, 10, 0x40},
        {"extension blocks", beforeImage(extensions), 10, 0},
        {"98 bytes before the image", beforeImage(std::string(98, 'x')), 10, 0},
        {"stream past the picture", runsOn, 3, 0},
    };
    for (const auto& a : accepted) {
        ASSERT_TRUE(convertBytes(a.gif, &bitmap, &converter)) << a.what;
        bitmap.expectPixels(patternPixels(30, a.rows));
        EXPECT_EQ(bitmap.palette(0, 2), a.red) << a.what;
    }
}

TEST_F(GifConverterTest, PngAndJpegPicturesShrinkAsGifsDoAndLieOnWhite) {
    // The pattern in the pattern GIFs' colours, 221 x 10, colour 7 transparent
    // and colour 6 half so (made with ImageMagick from a PAM file).
    Bitmap bitmap;
    GifConverter converter;
    ASSERT_TRUE(convertFile(fixture("pattern-221x10-alpha.png"), &bitmap, &converter));
    EXPECT_EQ(converter.scalePercent, 99);
    ASSERT_EQ(bitmap.width, 218u);
    ASSERT_EQ(bitmap.height, 9u);
    std::vector<uint8_t> expected(218 * 9);
    for (uint32_t y = 0; y < 10; ++y)
        for (uint32_t x = 0; x < 221; ++x)
            if (y * 99 / 100 < 9 && x * 99 / 100 < 218)
                expected[y * 99 / 100 * 218 + x * 99 / 100] = pattern(x, y);
    for (uint32_t y = 0; y < 9; ++y) {
        for (uint32_t x = 0; x < 218; ++x) {
            uint8_t p = expected[y * 218 + x];
            const int rgb[3] = {p * 37 % 256, 255 - p * 11, p * 91 % 256};
            int alpha = p == 7 ? 0 : p == 6 ? 128 : 255;
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(bitmap.rgb(x, y, c), (rgb[c] * alpha + 255 * (255 - alpha)) / 255.0, 1.0)
                    << x << "," << y;
        }
    }
}

TEST_F(GifConverterTest, PicturesOfManyColoursAreDitheredToTheReadersPaletteAndKeepTheirShades) {
    // A 64 x 48 plasma of 3,063 colours, as PNG and as JPEG. Each 8 x 8 block
    // keeps its average colour within 4; taking the nearest fixed colour of
    // each pixel alone misses by more than 8 in some block.
    const Ppm ppm = readPpm("magick-photo.ppm");
    for (const char* picture : {"magick-photo.png", "magick-photo.jpg"}) {
        SCOPED_TRACE(picture);
        Bitmap bitmap;
        ASSERT_TRUE(convertFile(fixture(picture), &bitmap));
        ASSERT_EQ(bitmap.width, 64u);
        ASSERT_EQ(bitmap.height, 48u);
        for (int i = 0; i < 256; ++i) {
            const PaletteColour& fixed = fixedPalette[i];
            EXPECT_EQ(bitmap.palette(i, 0) | bitmap.palette(i, 1) << 8 | bitmap.palette(i, 2) << 16,
                      fixed.blue | fixed.green << 8 | fixed.red << 16);
            EXPECT_EQ(bitmap.palette(i, 3), nearestPaletteIndex(fixed.red, fixed.green, fixed.blue));
        }
        double worst = 0;
        for (uint32_t block = 0; block < 8 * 6; ++block) {
            for (int c = 0; c < 3; ++c) {
                double difference = 0;
                for (uint32_t y = block / 8 * 8; y < block / 8 * 8 + 8; ++y)
                    for (uint32_t x = block % 8 * 8; x < block % 8 * 8 + 8; ++x)
                        difference += bitmap.rgb(x, y, c) - ppm.at(x, y, c);
                worst = std::max(worst, std::abs(difference / 64));
            }
        }
        EXPECT_LE(worst, 4.0);
    }
}

TEST_F(GifConverterTest, PngAndJpegPicturesThatCannotBeDecodedAreRefusedWithTheirReason) {
    auto pngHead = [](uint32_t width, uint32_t height) {
        std::string ihdr = "\x89PNG\r\n\x1A\n" + std::string("\0\0\0\x0DIHDR", 8);
        for (uint32_t value : {width, height})
            for (int shift = 24; shift >= 0; shift -= 8) ihdr += char(value >> shift);
        return ihdr + std::string("\x08\x02\0\0\0", 5) + "CRC!";
    };
    // A baseline frame of 30000 x 10: start of image, then the frame header.
    const std::string wideJpeg("\xFF\xD8\xFF\xC0\0\x11\x08\0\x0A\x75\x30\x03\x01\x11\0\x02\x11\0\x03\x11\0",
                               21);
    // A Huffman table of 257 codes (255 of one bit, 2 of two), more than the decoder holds.
    const std::string hugeTable =
        "\xFF\xD8\xFF\xC4\x01\x14" + std::string("\0\xFF\x02", 3) + std::string(14 + 257, '\0');
    const std::string photo = readWholeFile(fixture("magick-photo.png"));
    const struct {
        const char* name;
        std::string bytes;
        const char* whyNot;
    } refused[] = {
        {"huge.png", pngHead(60000, 60000), "it is too large to fit the screen at 1 %"},
        {"large.png", pngHead(5001, 5000), "it has more than 25 million pixels to decode"},
        {"wide.jpg", wideJpeg, "it is too large to fit the screen at 1 %"},
        {"cut.png", photo.substr(0, photo.size() / 2), "its picture data is damaged"},
        {"empty.png", pngHead(2, 2) + std::string("\0\0\0\0IDATCRC!\0\0\0\0IENDCRC!", 24),
         "its picture data is damaged"},
        {"table.jpg", hugeTable, "its picture data is damaged"},
        {"text.jpeg", "a JPEG, said the file's name", "it is no PNG or JPEG picture that can be decoded"},
        {"gif.png", readWholeFile(fixture("pattern-30x10.gif")),
         "it is no PNG or JPEG picture that can be decoded"},
        {"missing.png", "", "it cannot be read"},
    };
    for (const auto& r : refused) {
        if (r.bytes != "") tmp.write(r.name, r.bytes);
        GifConverter converter;
        converter.prepare(220, 280);
        EXPECT_FALSE(converter.convert(tmp.file(r.name).c_str())) << r.name;
        EXPECT_STREQ(converter.whyNot, r.whyNot) << r.name;
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
