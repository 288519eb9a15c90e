#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/HeadingPreview.h"
#include "import/HtmlImport.h"
#include "model/Files.h"
#include "tests/support/TempFolder.h"

namespace {

class HeadingPreviewTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::unique_ptr<ImportJob> job = std::make_unique<ImportJob>();
};

// The preview reads from the first byte: a heading in the head is listed
// though the import passes over it; the body's end tag ends both.
TEST_F(HeadingPreviewTest, ThePreviewListsFromTheFirstByteAndStopsWhenAsked) {
    struct Seen : HeadingPreviewReporter {
        std::string found;
        bool stopAtFirst = false;
        void headingFound(const char* text) override { found += std::string("[") + text + "]"; }
        void setProgress(int) override {}
        bool stopRequested() override { return stopAtFirst && !found.empty(); }
    };
    tmp.write("page.htm", "<html><head><h1>Head</h1></head><body><h2>Intro</h2></body><h1>After</h1>");
    setSourcePath(*job, tmp.file("page.htm").c_str());
    job->sourceKind = SourceKind::html;
    ASSERT_TRUE(parseHeadingTags(*job, "H1,H2"));
    Seen all;
    EXPECT_EQ(previewHeadings(*job, all), PreviewOutcome::finished);
    EXPECT_EQ(all.found, "[Head][Intro]");
    Seen first;
    first.stopAtFirst = true;
    EXPECT_EQ(previewHeadings(*job, first), PreviewOutcome::stopped);
    EXPECT_EQ(first.found, "[Head]");
    // The source is closed again: a second preview or the import may open it.
    EXPECT_EQ(job->source, FileHandle(0));
    deleteFile(tmp.file("page.htm").c_str());
    EXPECT_EQ(previewHeadings(*job, all), PreviewOutcome::cannotOpen);
}

}  // namespace
