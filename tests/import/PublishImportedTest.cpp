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

TEST(PublishImportedTest, TheContentsLinksLeadToTheHeadingsAcrossContentFiles) {
    // 60,000 characters a chapter: files split after chapters 2 and 4.
    std::string novel;
    for (int k = 1; k <= 4; ++k)
        novel += "Chapter " + std::to_string(k) + "\r\n" + std::string(60000, 'w') + "\r\n";
    struct Case {
        SourceKind kind;
        std::string base;
        std::string source;
        std::string address;  // the base as the contents page links it
        int chapters;
        int chaptersPerFile;
    } cases[] = {
        {SourceKind::text, "novel", novel, "novel", 4, 2},
        // A name with "#" and "%" is written as an address; UTF-8 arrives converted.
        {SourceKind::html, "my#page 100%",
         "<html><head><meta charset=\"utf-8\"></head><body><h1>One</h1><p>Caf\xC3\xA9</p><h2>Two</h2>more",
         "my%23page 100%25", 2, 2},
    };
    for (const Case& c : cases) {
        TempFolder tmp;
        auto job = std::make_unique<ImportJob>();
        bool html = c.kind == SourceKind::html;
        std::string source = tmp.file(c.base + (html ? ".htm" : ".txt"));
        writeWholeFile(source, c.source);
        setSourcePath(*job, source.c_str());
        setDestinationFolder(*job, tmp.path().c_str());
        copyText(job->bookTitle, "Book");
        job->sourceKind = c.kind;
        job->lineEndMode = LineEndMode::ignoreSingleReturns;
        compileSearchString(*job, "Chapter \\1\\n");
        ASSERT_TRUE(parseHeadingTags(*job, "h1,h2"));
        ASSERT_EQ(runImport(*job), ImportOutcome::done) << job->lastError;

        ProgramResult built = runProgramWithCommandLine(
            QB_QUIREBOUND_PROGRAM, "-b \"" + commandLinePath(tmp.file(c.base + ".opf")) + "\"", tmp.path());
        std::vector<std::string> records = recordsOf(tmp.read(c.base + ".prc"));
        ASSERT_FALSE(records.empty()) << built.err;
        std::string text = decodedText(records);
        for (int k = 1; k <= c.chapters; ++k) {
            std::string label = "Chap." + std::to_string(k);
            std::string link = "<a href=\"" + c.address + "_" +
                               std::to_string((k - 1) / c.chaptersPerFile + 1) + ".htm#" + label +
                               "\" filepos=\"";
            size_t at = text.find(link);
            ASSERT_NE(at, std::string::npos) << link;
            std::string digits = text.substr(at + link.size(), 10);
            ASSERT_EQ(digits.find_first_not_of("0123456789"), std::string::npos) << link << digits;
            std::string heading = "<H1><a name=\"" + label + "\">";
            EXPECT_EQ(text.compare(std::stoul(digits), heading.size(), heading), 0) << label;
        }
        if (html) {
            EXPECT_NE(text.find("<P>Caf\xE9</P>"), std::string::npos);
            EXPECT_NE(tmp.read(c.base + "_TOC.htm").find("charset=windows-1252"), std::string::npos);
        }
    }
}

}  // namespace
