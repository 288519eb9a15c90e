// An imported publication published by the batch build: the table of
// contents links of the e-book lead to the chapter headings.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "import/ImportJob.h"
#include "import/ImportRun.h"
#include "model/Text.h"
#include "publish/Compression.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"

namespace {

uint32_t bigEndian(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = 0; i < size; ++i) value = value << 8 | uint8_t(bytes.at(at + i));
    return value;
}

// The text of a PalmDOC e-book: its text records, each decoded by itself.
std::string ebookText(const std::string& file) {
    uint32_t records = bigEndian(file, 76, 2);
    std::vector<uint32_t> offsets;
    for (uint32_t i = 0; i < records; ++i) offsets.push_back(bigEndian(file, 78 + 8 * i, 4));
    offsets.push_back(uint32_t(file.size()));
    uint32_t compression = bigEndian(file, offsets[0], 2);
    uint32_t length = bigEndian(file, offsets[0] + 4, 4);
    uint32_t textRecords = bigEndian(file, offsets[0] + 8, 2);
    std::string text;
    for (uint32_t r = 1; r <= textRecords && r < records; ++r) {
        std::string record = file.substr(offsets[r], offsets[r + 1] - offsets[r]);
        if (compression == 1) {
            text += record;
            continue;
        }
        std::vector<uint8_t> decoded(4096);
        int32_t n = decompressRecord(reinterpret_cast<const uint8_t*>(record.data()), uint32_t(record.size()),
                                     decoded.data(), uint32_t(decoded.size()));
        EXPECT_GE(n, 0) << "record " << r;
        if (n < 0) return text;
        text.append(reinterpret_cast<const char*>(decoded.data()), size_t(n));
    }
    EXPECT_EQ(text.size(), length);
    return text;
}

class PublishImportedTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::unique_ptr<ImportJob> job = std::make_unique<ImportJob>();

    void import(const std::string& name, const std::string& source, SourceKind kind) {
        tmp.write(name, source);
        setSourcePath(*job, tmp.file(name).c_str());
        setDestinationFolder(*job, tmp.path().c_str());
        copyText(job->bookTitle, "Book");
        job->sourceKind = kind;
        ASSERT_EQ(runImport(*job), ImportOutcome::done) << job->lastError;
    }

    // Publishes the package and checks that every chapter link of the table
    // of contents points at the heading that carries its anchor.
    void expectLinksReachHeadings(const std::string& base, int chapters, int contentFileOf(int)) {
        ProgramResult built = runProgramWithCommandLine(
            QB_QUIREBOUND_PROGRAM, "-b " + commandLinePath(tmp.file(base + ".opf")), tmp.path());
        ASSERT_TRUE(tmp.exists(base + ".prc")) << built.err;
        std::string text = ebookText(tmp.read(base + ".prc"));
        for (int k = 1; k <= chapters; ++k) {
            std::string label = "Chap." + std::to_string(k);
            std::string link = "<a href=\"" + base + "_" + std::to_string(contentFileOf(k)) + ".htm#" +
                               label + "\" filepos=\"";
            size_t at = text.find(link);
            ASSERT_NE(at, std::string::npos) << link;
            std::string digits = text.substr(at + link.size(), 10);
            ASSERT_EQ(digits.find_first_not_of("0123456789"), std::string::npos) << link << digits;
            size_t target = std::stoul(digits);
            std::string heading = "<H1><a name=\"" + label + "\">";
            EXPECT_EQ(text.compare(target, heading.size(), heading), 0)
                << label << " leads to " << text.substr(target, 40);
        }
    }
};

TEST_F(PublishImportedTest, TextChaptersAcrossContentFiles) {
    std::string block(60000, 'w');
    std::string source;
    for (int k = 1; k <= 4; ++k) source += "Chapter " + std::to_string(k) + "\r\n" + block + "\r\n";
    job->lineEndMode = LineEndMode::ignoreSingleReturns;
    compileSearchString(*job, "Chapter \\1\\n");
    import("novel.txt", source, SourceKind::text);
    // 60,000 characters a chapter: files split after chapters 2 and 4.
    ASSERT_TRUE(tmp.exists("novel_2.htm"));
    expectLinksReachHeadings("novel", 4, [](int k) { return (k + 1) / 2; });
}

TEST_F(PublishImportedTest, HtmlHeadings) {
    ASSERT_TRUE(parseHeadingTags(*job, "h1,h2"));
    import("page.htm", "<html><body><h1>One</h1><p>text</p><h2>Two</h2>more</body></html>", SourceKind::html);
    expectLinksReachHeadings("page", 2, [](int) { return 1; });
}

}  // namespace
