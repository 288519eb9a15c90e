#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "publish/Compression.h"
#include "publish/PalmDocDatabase.h"
#include "tests/publish/BuildDriverRecords.h"
#include "tests/support/TempFolder.h"

namespace {

class PalmDocDatabaseTest : public ::testing::Test {
protected:
    TempFolder tmp;
    // Where build() has the writer print its progress.
    std::FILE* progress = nullptr;

    void configure(PalmDocDatabase& db, const std::string& source, bool compress, const char* name = "Book") {
        tmp.write("source.htm", source);
        db.setDatabaseName(name);
        db.setSourcePath(tmp.file("source.htm").c_str());
        db.setTargetPath(tmp.file("book.prc").c_str());
        db.setCompression(compress);
    }

    // Runs a whole build the way the build driver does; the file's records.
    std::vector<std::string> build(const std::string& source, bool compress,
                                   const std::vector<std::string>& images = {}, const char* name = "Book") {
        PalmDocDatabase db;
        configure(db, source, compress, name);
        db.progressOutput = progress;
        EXPECT_TRUE(db.begin(uint32_t(images.size()))) << db.errorText;
        uint32_t written = 0;
        while (db.writeNextTextRecord()) ++written;
        EXPECT_EQ(written, db.textRecordCount);
        for (const std::string& image : images) EXPECT_TRUE(db.writeNextImageRecord(tmp.file(image).c_str()));
        db.close();
        EXPECT_FALSE(db.writeFailed);
        return recordsOf(tmp.read("book.prc"));
    }
};

// The sample book's chapters over and over, cut to n bytes.
std::string sampleText(size_t n) {
    std::string text;
    while (text.size() < n) {
        for (const char* chapter : {"ch1", "ch2", "ch3"})
            text += readWholeFile(sourceFile(std::string("samples/lantern/text/") + chapter + ".htm"));
    }
    text.resize(n);
    // A few bytes that need escapes, and a NUL.
    for (size_t i = 100; i < n; i += 997) text[i] = char(0x80 + i % 100);
    if (n > 50) text[50] = '\0';
    return text;
}

TEST_F(PalmDocDatabaseTest, TheHeaderAndRecordZeroAreLaidOutByteForByte) {
    const std::string text = sampleText(5000);
    std::vector<std::string> records = build(text, true, {}, "A Title Far Longer Than Thirty-One Characters");
    // Name, attributes, version, the fixed dates, backup date to sort info,
    // type and creator, seed, next list, three records.
    const std::string header = std::string("A Title Far Longer Than Thirty-\0\0\0\0\0", 36) +
                               "\x06\xD1\x44\xAE\x06\xD1\x44\xAE" + std::string(16, '\0') + "TEXtREAd" +
                               std::string(8, '\0') + std::string("\0\x03", 2);
    EXPECT_EQ(tmp.read("book.prc").substr(0, 78), header);
    ASSERT_EQ(records.size(), 3u);
    // Compressed, the text's length, two records of 4096, the filler.
    const std::string zero =
        std::string("\0\x02\0\0\0\0\x13\x88\0\x02\x10\0\0\0", 14) + std::string(199, '\x0E');
    EXPECT_EQ(records[0], zero + '\0');

    records = build(text, false, {}, "ab");
    EXPECT_EQ(tmp.read("book.prc").substr(0, 32), "ab" + std::string(30, '\0'));
    EXPECT_EQ(big16(records[0], 0), 1u);
}

TEST_F(PalmDocDatabaseTest, TextIsCutIntoRecordsOf4096Bytes) {
    for (size_t length : {size_t(0), size_t(1), size_t(4095), size_t(4096), size_t(4097), size_t(3 * 4096),
                          size_t(3 * 4096 + 1)}) {
        const std::string text = sampleText(length);
        for (bool compress : {false, true}) {
            std::vector<std::string> records = build(text, compress);
            const size_t expectedRecords = (length + 4095) / 4096;
            ASSERT_EQ(records.size(), expectedRecords + 1) << length;
            EXPECT_EQ(big32(records[0], 4), length);
            EXPECT_EQ(big16(records[0], 8), expectedRecords);
            for (size_t k = 0; k < expectedRecords; ++k) {
                std::string piece = text.substr(k * 4096, 4096);
                const std::string& record = records[k + 1];
                if (!compress) {
                    EXPECT_EQ(record, piece) << length << " record " << k;
                    continue;
                }
                // Each record is compressed by itself, so it decodes alone.
                EXPECT_TRUE(piece.size() < 100 || record.size() < piece.size()) << length << " record " << k;
                EXPECT_EQ(decodedText({records[0], record}), piece) << length << " record " << k;
            }
        }
    }
}

TEST_F(PalmDocDatabaseTest, PicturesFollowTheTextAsBitmapRecords) {
    tmp.write("a.gif", readWholeFile(sourceFile("tests/publish/data/pattern-30x10.gif")));
    progress = stdout;
    testing::internal::CaptureStdout();
    std::vector<std::string> records = build(sampleText(4097), true, {"a.gif", "a.gif"});
    progress = nullptr;
    // Each record prints one progress line; closing ends it.
    std::string lines;
    for (int i = 1; i <= 4; ++i) lines += "\rconverting record " + std::to_string(i) + " of 4";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), lines + "\n");
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(big16(records[0], 8), 2u);
    const std::string picture = records[3];
    EXPECT_EQ(picture.substr(0, 2), "BM");
    EXPECT_EQ(picture.size(), 14u + 1064u + 10u * 32u);
    EXPECT_EQ(records[4], picture);
    // A picture that cannot be converted makes no record: its build fails.
    PalmDocDatabase failing;
    configure(failing, "", false, "Book");
    ASSERT_TRUE(failing.begin(1));
    EXPECT_FALSE(failing.writeNextImageRecord(tmp.file("missing.gif").c_str()));
    failing.close();
    // An empty text: no text records, the pictures right behind record 0.
    records = build("", false, {"a.gif"});
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].substr(4, 6), std::string(6, '\0'));
    EXPECT_EQ(records[1], picture);
}

TEST_F(PalmDocDatabaseTest, BeginReportsFilesItCannotOpenAndWritesNothing) {
    PalmDocDatabase db;
    db.setSourcePath(tmp.file("missing.htm").c_str());
    db.setTargetPath(tmp.file("book.prc").c_str());
    EXPECT_FALSE(db.begin(0));
    EXPECT_EQ(std::string(db.errorText), "Unable to open the source file : " + tmp.file("missing.htm"));
    EXPECT_FALSE(tmp.exists("book.prc"));

    tmp.write("source.htm", "text");
    const std::string target = tmp.file("no folder\\book.prc");
    db.setSourcePath(tmp.file("source.htm").c_str());
    db.setTargetPath(target.c_str());
    EXPECT_FALSE(db.begin(0));
    EXPECT_EQ(std::string(db.errorText), "Unable to create the PRC target  file : " + target);
    EXPECT_EQ(db.sourceHandle, nullptr);
    EXPECT_EQ(db.targetHandle, nullptr);
    EXPECT_FALSE(db.writeNextTextRecord());

    // More records than the 16-bit record count can number.
    db.setTargetPath(tmp.file("book.prc").c_str());
    EXPECT_FALSE(db.begin(65534));
    EXPECT_FALSE(tmp.exists("book.prc"));
    EXPECT_TRUE(db.begin(65533));
    db.close();
}

TEST_F(PalmDocDatabaseTest, RecordsBeyondTheAnnouncedOnesAreRefusedUntouched) {
    tmp.write("a.gif", readWholeFile(sourceFile("tests/publish/data/pattern-30x10.gif")));
    PalmDocDatabase db;
    configure(db, sampleText(100), false);
    ASSERT_TRUE(db.begin(1));
    EXPECT_TRUE(db.writeNextTextRecord());
    EXPECT_FALSE(db.writeNextTextRecord());
    EXPECT_TRUE(db.writeNextImageRecord(tmp.file("a.gif").c_str()));
    // Its list entry would fall on record 0.
    EXPECT_FALSE(db.writeNextImageRecord(tmp.file("a.gif").c_str()));
    db.close();
    EXPECT_FALSE(db.writeNextImageRecord(tmp.file("a.gif").c_str()));
    std::vector<std::string> records = recordsOf(tmp.read("book.prc"));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].size(), 214u);
    EXPECT_EQ(records[1], sampleText(100));
    EXPECT_EQ(records[2].size(), 1078u + 10u * 32u);
}

TEST_F(PalmDocDatabaseTest, ASourceThatShrinksEndsTheTextAndClosesBothFiles) {
    PalmDocDatabase db;
    configure(db, std::string(3 * 4096, 'z'), false);
    ASSERT_TRUE(db.begin(0));
    EXPECT_EQ(db.textRecordCount, 3u);
    tmp.write("source.htm", "");
    EXPECT_FALSE(db.writeNextTextRecord());
    EXPECT_EQ(db.sourceHandle, nullptr);
    EXPECT_EQ(db.targetHandle, nullptr);
    EXPECT_FALSE(db.writeNextTextRecord());
}

}  // namespace
