// An imported publication published by the batch build: the table of
// contents links of the e-book lead to the chapter headings.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "import/ImportJob.h"
#include "import/ImportRun.h"
#include "model/Text.h"
#include "tests/publish/BuildDriverRecords.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"

namespace {

class PublishImportedTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::unique_ptr<ImportJob> job = std::make_unique<ImportJob>();
    std::string text;  // the e-book's

    void import(const std::string& name, const std::string& source, SourceKind kind) {
        tmp.write(name, source);
        setSourcePath(*job, tmp.file(name).c_str());
        setDestinationFolder(*job, tmp.path().c_str());
        copyText(job->bookTitle, "Book");
        job->sourceKind = kind;
        ASSERT_EQ(runImport(*job), ImportOutcome::done) << job->lastError;
    }

    // Publishes the package and checks that every chapter link of the table
    // of contents (to address + "_N.htm") points at the heading that carries its anchor.
    void expectLinksReachHeadings(const std::string& base, int chapters, int contentFileOf(int),
                                  const std::string& address) {
        ProgramResult built = runProgramWithCommandLine(
            QB_QUIREBOUND_PROGRAM, "-b " + commandLinePath(tmp.file(base + ".opf")), tmp.path());
        ASSERT_TRUE(tmp.exists(base + ".prc")) << built.err;
        std::vector<std::string> records = recordsOf(tmp.read(base + ".prc"));
        ASSERT_FALSE(records.empty());
        ASSERT_EQ(big16(records[0], 0), 2u);  // compressed
        text = decodedText(records);
        EXPECT_EQ(text.size(), big32(records[0], 4));
        for (int k = 1; k <= chapters; ++k) {
            std::string label = "Chap." + std::to_string(k);
            std::string link = "<a href=\"" + address + "_" + std::to_string(contentFileOf(k)) + ".htm#" +
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
    expectLinksReachHeadings(
        "novel", 4, [](int k) { return (k + 1) / 2; }, "novel");
}

// A name with "#" and "%" is written as an address; UTF-8 arrives converted.
TEST_F(PublishImportedTest, HtmlHeadings) {
    ASSERT_TRUE(parseHeadingTags(*job, "h1,h2"));
    import("my#page 100%.htm",
           "<html><head><meta "
           "charset=\"utf-8\"></head><body><h1>One</h1><p>Caf\xC3\xA9</p><h2>Two</h2>more</body>",
           SourceKind::html);
    expectLinksReachHeadings(
        "my#page 100%", 2, [](int) { return 1; }, "my%23page 100%25");
    EXPECT_NE(text.find("<P>Caf\xE9</P>"), std::string::npos);
    EXPECT_NE(tmp.read("my#page 100%_TOC.htm").find("charset=windows-1252"), std::string::npos);
}

}  // namespace
