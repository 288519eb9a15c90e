// Importing a PalmDOC e-book: damaged databases are refused by record, and
// what the publisher wrote comes back as a publication that publishes to
// the same book.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "import/GifEncoder.h"
#include "import/ImportJob.h"
#include "import/ImportRun.h"
#include "model/CommandLinePath.h"
#include "model/PalmDocLayout.h"
#include "model/Publication.h"
#include "tests/publish/BuildDriverRecords.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"

namespace {

using Records = std::vector<std::string>;

std::string big(uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += char(value >> (8 * i));
    return out;
}

std::string little(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += char(value >> (8 * i));
    return out;
}

// A database of these records, laid out one after the other.
std::string database(const Records& records, const std::string& typeAndCreator = "TEXtREAd") {
    std::string file = std::string("Damaged") + std::string(25, '\0') + std::string(28, '\0') + typeAndCreator +
                       std::string(8, '\0') + big(uint32_t(records.size()), 2);
    uint32_t offset = recordEntryOffset(uint32_t(records.size())) + 2;
    for (size_t i = 0; i < records.size(); ++i) {
        file += big(offset, 4) + big(0x406F8000u + uint32_t(i), 4);
        offset += uint32_t(records[i].size());
    }
    file += std::string(2, '\0');
    for (const std::string& record : records) file += record;
    return file;
}

std::string recordZero(uint32_t compression, uint32_t textRecords) {
    return big(compression, 2) + big(0, 2) + big(100, 4) + big(textRecords, 2) + big(4096, 2) + big(0, 4);
}

// An 8-bit bitmap as the publisher writes it, of any announced size.
std::string bitmap(uint32_t width, uint32_t height, uint32_t pixelBytes) {
    return "BM" + little(1078 + pixelBytes, 4) + little(0, 4) + little(1078, 4) + little(40, 4) + little(width, 4) +
           little(height, 4) + little(1, 2) + little(8, 2) + little(0, 4) + little(pixelBytes, 4) +
           std::string(16 + 1024 + pixelBytes, '\0');
}

// Writes the bytes as book.prc and imports them; the outcome and message.
ImportOutcome import(TempFolder& tmp, const std::string& bytes, std::string& error) {
    tmp.write("book.prc", bytes);
    auto job = std::make_unique<ImportJob>();
    setSourcePath(*job, tmp.file("book.prc").c_str());
    setDestinationFolder(*job, tmp.path().c_str());
    job->sourceKind = SourceKind::palmDoc;
    ImportOutcome outcome = runImport(*job);
    error = job->lastError;
    return outcome;
}

TEST(PalmDocImportTest, DamagedDatabasesAreRefusedNamingTheFileAndTheRecord) {
    const std::string text = "<html><body><p>Text <img src=\"BMP\" recindex=\"00001\"></p></body></html>";
    const std::string stored = recordZero(kStoredText, 1);
    // One literal and copies of 10 bytes: 5,001 bytes from 1,001.
    std::string expanding = "a";
    for (int i = 0; i < 500; ++i) expanding += "\x80\x0F";
    std::string lyingOffset = database({stored, text, bitmap(4, 4, 16)});
    lyingOffset.replace(recordEntryOffset(2), 4, big(uint32_t(lyingOffset.size()) + 1, 4));
    std::string overlapping = database({stored, text, bitmap(4, 4, 16)});
    overlapping.replace(recordEntryOffset(2), 4, big(recordEntryOffset(3) + 2 + 15, 4));
    std::string intoHeader = database({stored, text});
    intoHeader.replace(recordEntryOffset(1), 4, big(12, 4));
    std::string listPastEnd = database({stored, text}).substr(0, recordEntryOffset(1) + 4);
    // 65,535 records, all but record 0 empty.
    Records empties(kMaxRecords, "");
    empties[0] = recordZero(kStoredText, kMaxRecords - 1);
    // A title longer than a package holds, in stored records of 4,096 bytes.
    std::string longHead = "<html><head><metadata><dc:Title>" + std::string(kValueSize, 'x') +
                           "</dc:Title></metadata></head><body>t</body></html>";
    Records longTitle = {recordZero(kStoredText, uint32_t(longHead.size() + 4095) / 4096)};
    for (size_t at = 0; at < longHead.size(); at += 4096) longTitle.push_back(longHead.substr(at, 4096));
    struct Case {
        std::string bytes;
        std::string message;
    } cases[] = {
        {database({stored, text}, "BOOKMOBI"), "The file is no PalmDOC e-book (type TEXt, creator REAd)"},
        {"TEXtREAd", "The file is no PalmDOC e-book"},
        {database({}), "The e-book holds no records"},
        {listPastEnd, "The record list runs past the end of the file"},
        {lyingOffset, "Record 2 starts past the end of the file"},
        {overlapping, "Record 2 starts inside the record before it"},
        {intoHeader, "Record 1 starts inside the header or the record list"},
        {database({"\x00\x02", text}), "Record 0 is too short to describe the text"},
        {database({recordZero(17480, 1), text}), "Record 0 names a compression this import does not read"},
        {database({recordZero(kCompressedText, 2), text}), "Record 0 announces more text records than the file holds"},
        {database({recordZero(kStoredText, 0), text}), "The e-book holds no text"},
        {database({recordZero(kCompressedText, 1), expanding}), "Record 1 does not decode into at most 4096 bytes"},
        {database({recordZero(kCompressedText, 1), "ab\x80\x40"}), "Record 1 does not decode"},
        {database({stored, std::string(4097, 'x')}), "Record 1 does not decode into at most 4096 bytes"},
        {database(empties), "Record 1 holds no text"},
        {database({stored, text, bitmap(60000, 60000, 16)}), "Record 2 holds a picture of impossible size"},
        {database({stored, text, bitmap(0, 4, 16)}), "Record 2 holds a picture of impossible size"},
        {database({stored, text, "GIF89a" + std::string(2000, '\0')}), "Record 2 is no 8-bit bitmap picture"},
        {database({stored, text}), "Record 2 is shown as a picture but the file has no such record"},
        {database(longTitle), "The e-book's metadata does not fit a package (dc:Title)"},
    };
    for (const Case& c : cases) {
        TempFolder tmp;
        std::string error;
        EXPECT_EQ(import(tmp, c.bytes, error), ImportOutcome::startFailed) << c.message;
        EXPECT_EQ(error.find(c.message), 0u) << error;
        EXPECT_NE(error.find(" : " + tmp.file("book.prc")), std::string::npos) << error;
        EXPECT_FALSE(tmp.exists("book.opf")) << c.message;
        EXPECT_FALSE(tmp.exists("book_1.htm")) << c.message;
    }
    // The same book whole imports.
    TempFolder tmp;
    std::string error;
    ASSERT_EQ(import(tmp, database({stored, text, bitmap(4, 4, 16)}), error), ImportOutcome::done) << error;
    EXPECT_NE(tmp.read("book_1.htm").find("<p>Text <img src=\"book_1.gif\"></p>"), std::string::npos);
    EXPECT_NE(tmp.read("book.opf").find("<dc:Title>Damaged</dc:Title>"), std::string::npos);
}

// What a reader sees: the text without tags, blanks as one space.
std::string visibleText(const std::string& text) {
    return std::regex_replace(std::regex_replace(text, std::regex("<[^>]*>"), ""), std::regex("\\s+"), " ");
}

// For every link in the text, resolved or not, the first words where it
// lands ("-" when unresolved): a landing inside a tag counts from its end.
std::vector<std::string> landings(const std::string& text) {
    std::vector<std::string> words;
    std::regex filepos("filepos=\"([0-9X]{10})\"");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), filepos); it != std::sregex_iterator(); ++it) {
        std::string value = (*it)[1];
        if (value[0] == 'X') {
            words.push_back("-");
            continue;
        }
        std::string from = text.substr(std::stoul(value), 400);
        size_t close = from.find('>');
        if (close != std::string::npos && close < from.find('<')) from.erase(0, close + 1);
        std::string seen = visibleText(from);
        size_t cut = 0;
        for (int n = 0; n < 5 && cut != std::string::npos; ++n) cut = seen.find(' ', cut + 1);
        words.push_back(seen.substr(0, cut));
    }
    return words;
}

// Publishes the package with the batch build; the e-book's records.
Records publish(const std::string& package, const std::string& folder) {
    ProgramResult built =
        runProgramWithCommandLine(QB_QUIREBOUND_PROGRAM, "-b \"" + commandLinePath(package) + "\"", folder);
    std::string ebook = package.substr(0, package.size() - 4) + ".prc";
    Records records = recordsOf(readWholeFile(ebook));
    EXPECT_FALSE(records.empty()) << built.err;
    return records;
}

// Pixels that LZW cannot shorten, so that its table fills and starts anew.
std::string noise() {
    std::string pixels;
    for (uint32_t i = 0, x = 1; i < 200 * 250; ++i) pixels += char((x = x * 1103515245u + 12345u) >> 24);
    return pixels;
}

// 1,500 chapters in 30 documents, a contents page linking every one, each
// chapter linking the next, and a picture of noise in every document.
void writeLongBook(const TempFolder& tmp) {
    tmp.makeFolder("text");
    tmp.makeFolder("images");
    std::string pixels = noise();
    auto picture = std::make_unique<IndexedPicture>(
        IndexedPicture{200, 250, reinterpret_cast<const uint8_t*>(pixels.data()), 200, 8, {}, 0});
    for (int c = 0; c < kGifColours; ++c) picture->colours[c][0] = picture->colours[c][2] = uint8_t(c);
    std::vector<uint8_t> gif = encodeGif(*picture);
    tmp.write("images\\lantern.gif", std::string(gif.begin(), gif.end()));
    std::string manifest = "<item id=\"toc\" href=\"toc.htm\" media-type=\"text/x-oeb1-document\"/>";
    std::string spine = "<itemref idref=\"toc\"/>";
    std::string toc = "<html><body><h1>Contents</h1>\n";
    for (int d = 1; d <= 30; ++d) {
        std::string document = "<html><body><img src=\"../images/lantern.gif\">\n";
        for (int c = (d - 1) * 50 + 1; c <= d * 50; ++c) {
            std::string n = std::to_string(c);
            document += "<h2><a name=\"c" + n + "\">Chapter " + n + "</a></h2>\n<p>Words of chapter " + n +
                        " go on a while.</p><p>See <a href=\"part" + std::to_string(c / 50 + 1) + ".htm#c" +
                        std::to_string(c + 1) + "\">what follows</a>.</p>\n";
            toc += "<p><a href=\"text/part" + std::to_string(d) + ".htm#c" + n + "\">Chapter " + n + "</a></p>\n";
        }
        tmp.write("text\\part" + std::to_string(d) + ".htm", document + "</body></html>");
        manifest += "<item id=\"p" + std::to_string(d) + "\" href=\"text/part" + std::to_string(d) +
                    ".htm\" media-type=\"text/x-oeb1-document\"/>";
        spine += "<itemref idref=\"p" + std::to_string(d) + "\"/>";
    }
    tmp.write("toc.htm", toc + "</body></html>");
    tmp.write("long.opf", "<?xml version=\"1.0\"?><package unique-identifier=\"id\"><metadata><dc:Title>Fifteen "
                          "Hundred &amp; One</dc:Title></metadata><manifest>" + manifest +
                              "</manifest><spine>" + spine +
                              "</spine><guide><reference type=\"toc\" title=\"Contents\" href=\"toc.htm\"/></guide>"
                              "</package>");
}

TEST(PalmDocImportTest, PublishedImportedAndPublishedAgainGivesTheSameBook) {
    struct Case {
        const char* name;
        void (*write)(const TempFolder&);
        size_t contentFiles;  // at most, as the package can list them
    } cases[] = {
        {"lantern", [](const TempFolder& tmp) { tmp.copySample(); }, 6},
        {"long", writeLongBook, 499},
    };
    for (const Case& c : cases) {
        TempFolder book;
        c.write(book);
        Records first = publish(book.file(std::string(c.name) + ".opf"), book.path());
        TempFolder again;
        // Named .pdb: the header, not the name, says what it is.
        writeWholeFile(again.file("copy.pdb"), book.read(std::string(c.name) + ".prc"));
        ProgramResult imported = runProgram(QB_IMPORT_PROGRAM, {commandLinePath(again.file("copy.pdb"))}, again.path());
        ASSERT_EQ(imported.exitCode, 0) << imported.err;
        EXPECT_NE(imported.out.find(commandLinePath(again.file("copy.opf"))), std::string::npos);
        EXPECT_TRUE(again.exists("copy_1.gif"));
        EXPECT_FALSE(again.exists("copy_" + std::to_string(c.contentFiles + 1) + ".htm")) << c.name;
        Records second = publish(again.file("copy.opf"), again.path());
        ASSERT_FALSE(first.empty() || second.empty());

        std::string before = decodedText(first);
        std::string after = decodedText(second);
        EXPECT_EQ(visibleText(after), visibleText(before)) << c.name;
        std::vector<std::string> landedBefore = landings(before);
        EXPECT_EQ(landings(after), landedBefore) << c.name;
        uint32_t textRecords[2] = {big16(first[0], 8), big16(second[0], 8)};
        ASSERT_EQ(first.size() - textRecords[0], second.size() - textRecords[1]) << c.name;
        // The first picture of the long book is the noise, its rows bottom first.
        std::string rows;
        for (int y = 249; y >= 0; --y) rows += noise().substr(size_t(y) * 200, 200);
        EXPECT_TRUE(c.contentFiles != 499 || first[textRecords[0] + 1].substr(1078) == rows);
        for (size_t k = 1; k < first.size() - textRecords[0]; ++k)
            EXPECT_TRUE(second[textRecords[1] + k] == first[textRecords[0] + k]) << c.name << " picture " << k;
    }
}

TEST(PalmDocImportTest, AnotherToolsPlainDatabaseImportsWithItsWholeText) {
    if (std::string(QB_IMPORT_PROGRAM).ends_with(".exe") || !fileExists("Z:\\usr\\bin\\txt2pdbdoc"))
        GTEST_SKIP() << "no txt2pdbdoc here: the Linux tree has it once scripts/setup.sh has run";
    TempFolder tmp;
    std::string text;
    for (int line = 1; line <= 3000; ++line)
        text += "Line " + std::to_string(line) + " of a plain text, with <angles> & ampersands.\n";
    tmp.write("plain.txt", text);
    for (const char* compress : {"-c", ""}) {
        std::string options = std::string(compress) + " \"Plain Text\" \"" + commandLinePath(tmp.file("plain.txt")) +
                              "\" \"" + commandLinePath(tmp.file("plain.pdb")) + "\"";
        ProgramResult made = runProgramWithCommandLine("/usr/bin/txt2pdbdoc", options, tmp.path());
        ASSERT_EQ(made.exitCode, 0) << made.err;
        ProgramResult imported =
            runProgram(QB_IMPORT_PROGRAM, {"--replace", commandLinePath(tmp.file("plain.pdb"))}, tmp.path());
        ASSERT_EQ(imported.exitCode, 0) << imported.err;
        std::string pages;
        for (int n = 1; tmp.exists("plain_" + std::to_string(n) + ".htm"); ++n)
            pages += tmp.read("plain_" + std::to_string(n) + ".htm");
        pages = visibleText(pages);
        for (auto [entity, character] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
            pages = std::regex_replace(pages, std::regex(entity), character);
        EXPECT_EQ(pages, " " + std::regex_replace(text, std::regex("\\s+"), " ")) << compress;
        EXPECT_NE(tmp.read("plain.opf").find("<dc:Title>Plain Text</dc:Title>"), std::string::npos);
        EXPECT_TRUE(tmp.exists("plain_2.htm"));
    }
}

}  // namespace
