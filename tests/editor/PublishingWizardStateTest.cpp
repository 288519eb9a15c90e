#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "editor/PublishingWizardState.h"
#include "model/Files.h"
#include "model/Text.h"
#include "publish/BuildContext.h"
#include "resources/ResourceIds.h"
#include "tests/publish/EpubArchive.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(PublishingWizardStateTest, TheNameIsCheckedAndGetsItsExtensionByTheRule) {
    const std::string folder = "C:\\books\\";
    // Room left in the 255-character path beside the folder.
    const size_t room = 255 - folder.size();
    constexpr EbookFormat epub = EbookFormat::epub;
    struct Case {
        std::string name;
        std::string target;  // empty: refused
        EbookFormat format = EbookFormat::prc;
    };
    const Case cases[] = {
        {"mybook", folder + "mybook.prc"},
        {"mybook.prc", folder + "mybook.prc"},
        {"mybook.PRC", folder + "mybook.PRC.prc"},
        {"my.prc.old", folder + "my.prc.old"},
        {"", ""},
        {"books\\mybook", ""},
        {"books/mybook", ""},
        {"\\", ""},
        {std::string(room - 4, 'n'), folder + std::string(room - 4, 'n') + ".prc"},
        {std::string(room - 3, 'n'), ""},
        {std::string(room - 4, 'n') + ".prc", folder + std::string(room - 4, 'n') + ".prc"},
        {std::string(room - 3, 'n') + ".prc", ""},
        {"mybook", folder + "mybook.epub", epub},
        {"mybook.epub", folder + "mybook.epub", epub},
        {"mybook.prc", folder + "mybook.prc.epub", epub},
        {"books\\mybook", "", epub},
        {std::string(room - 5, 'n'), folder + std::string(room - 5, 'n') + ".epub", epub},
        {std::string(room - 4, 'n'), "", epub},
    };
    for (const Case& c : cases) {
        char target[kPathSize] = "stale";
        int32_t result = checkEbookName(c.name.c_str(), folder.c_str(), target, c.format);
        EXPECT_EQ(result, c.target.empty() ? IDS_TARGET_NOT_VALID : 0) << c.name;
        EXPECT_EQ(std::string(target), c.target) << c.name;
    }
}

TEST(PublishingWizardStateTest, TheCoverIsAFileOfTheFolderOrOfItsOwnPath) {
    TempFolder tmp;
    tmp.makeFolder("art");
    tmp.write("art\\front.png", "not checked here");
    tmp.write("back.jpg", "x");
    const std::string folder = tmp.path();
    const std::string outside = tmp.file("art\\front.png");
    const struct {
        std::string typed;
        std::string path;  // empty: none, or refused when refused
        bool refused;
    } cases[] = {
        {"", "", false},
        {"back.jpg", folder + "back.jpg", false},
        {"art\\front.png", outside, false},
        {outside, outside, false},
        {"front.png", "", true},
        {"art\\*.png", "", true},
        {"art\\" + std::string(kPathSize, 'n'), "", true},
    };
    for (const auto& c : cases) {
        char path[kPathSize] = "stale";
        int32_t refused = checkCoverPicture(c.typed.c_str(), folder.c_str(), path);
        EXPECT_EQ(refused, c.refused ? IDS_COVER_NOT_FOUND : 0) << c.typed;
        EXPECT_EQ(std::string(path), c.path) << c.typed;
    }
}

// Asks to stop once this many text records have been reported.
class StoppingReporter : public BuildReporter {
public:
    explicit StoppingReporter(int32_t afterRecords) : afterRecords(afterRecords) {}
    void showStatusAndNumber(int32_t stringId, int32_t) override { records += stringId == IDS_BUILD_RECORDS; }
    bool stopRequested() override { return records >= afterRecords; }
    int32_t records = 0;

private:
    int32_t afterRecords;
};

// Cancel in the wizard: the build stops before the next record, and neither
// a half book, nor its files, nor the first chapter stay; an earlier book
// is replaced only by a whole one.
TEST(PublishingWizardStateTest, AStoppedBuildLeavesNothingOfItself) {
    TempFolder tmp;
    std::string chapter = "<html><body>";
    for (int i = 0; i < 600; ++i) chapter += "<p>Line " + std::to_string(i) + " of the tale.</p>\r\n";
    tmp.write("ch1.htm", chapter + "</body></html>");
    auto publication = std::make_unique<Publication>();
    copyText(publication->path, tmp.file("novel.opf").c_str());
    copyText(publication->folder, tmp.path().c_str());
    publication->addMetadata("dc:Title", "Tale");
    publication->addManifestItem("ch1", "ch1.htm", "text/html");
    publication->addSpineItem("ch1");
    publication->resolveSpine();
    for (int32_t after : {0, 2}) {
        tmp.write("novel.prc", "an earlier book");
        StoppingReporter reporter(after);
        char message[kBuildMessageSize];
        EXPECT_FALSE(
            runWizardBuild(*publication, tmp.file("novel.prc").c_str(), true, true, reporter, message));
        EXPECT_EQ(tmp.read("novel.prc"), "an earlier book") << after;
        EXPECT_FALSE(tmp.exists("novel_firstchapter.htm")) << after;
        EXPECT_FALSE(fileExists(tmp.file("PRC*").c_str())) << after;
        EXPECT_EQ(reporter.records, after) << "no record after the request";
    }
}

// The wizard's EPUB: the checked cover goes in as the cover picture; a build
// stopped at once leaves an earlier book and no file of its own.
TEST(PublishingWizardStateTest, TheEpubIsBuiltWithTheCoverChosen) {
    TempFolder tmp;
    tmp.copyFrom("tests/publish/data", {"magick-plasma.png"});
    tmp.write("ch1.htm", "<html><body><p>The tale.</p></body></html>");
    auto publication = std::make_unique<Publication>();
    copyText(publication->path, tmp.file("novel.opf").c_str());
    copyText(publication->folder, tmp.path().c_str());
    publication->addManifestItem("ch1", "ch1.htm", "text/html");
    publication->addSpineItem("ch1");
    publication->resolveSpine();
    PublishingWizardState state;
    state.publication = publication.get();
    state.format = EbookFormat::epub;
    ASSERT_EQ(checkEbookName("novel", tmp.path().c_str(), state.targetPath, state.format), 0);
    ASSERT_EQ(checkCoverPicture("magick-plasma.png", tmp.path().c_str(), state.coverPath), 0);
    for (int32_t stopAfter : {0, -1}) {
        tmp.write("novel.epub", "an earlier book");
        StoppingReporter reporter(stopAfter < 0 ? 1 << 30 : stopAfter);
        char message[kBuildMessageSize];
        EXPECT_EQ(runWizardBuild(state, reporter, message), stopAfter < 0) << message;
        EXPECT_FALSE(fileExists(tmp.file("*.saving").c_str()));
        if (stopAfter >= 0) {
            EXPECT_EQ(tmp.read("novel.epub"), "an earlier book");
            continue;
        }
        std::string problem;
        std::vector<ArchiveEntry> entries = archiveEntries(tmp.read("novel.epub"), &problem);
        ASSERT_FALSE(entries.empty()) << problem;
        std::string pictures;
        for (const ArchiveEntry& entry : entries)
            if (entry.bytes == tmp.read("magick-plasma.png")) pictures += entry.name;
        EXPECT_EQ(pictures, "OEBPS/magick-plasma.png");
        const std::string& package = entries.back().bytes;
        EXPECT_NE(package.find("magick-plasma.png\" media-type=\"image/png\" properties=\"cover-image\""),
                  std::string::npos)
            << package;
    }
}

// After a build that worked, the wizard's page gets the batch build's report;
// a report too long for the page says how much of it is left out.
TEST(PublishingWizardStateTest, ABuildThatWorkedReportsWhatTheBatchBuildPrints) {
    TempFolder tmp;
    tmp.write("ch1.htm", "<body><a href=\"gone.htm\">x</a><img src=\"bad.gif\">");
    tmp.write("bad.gif", "GIF89a");
    auto publication = std::make_unique<Publication>();
    copyText(publication->path, tmp.file("novel.opf").c_str());
    publication->addManifestItem("ch1", "ch1.htm", "text/html");
    publication->addSpineItem("ch1");
    publication->resolveSpine();
    struct Collecting : BuildReporter {
        PublishingReport report;
        void reportMessage(const char* text, int32_t) override { report.addLine(text); }
    } reporter;
    char message[kBuildMessageSize];
    ASSERT_TRUE(runWizardBuild(*publication, tmp.file("novel.prc").c_str(), true, false, reporter, message));
    char shown[sizeof reporter.report.text];
    reporter.report.compose(shown);
    const std::string text = shown;
    EXPECT_NE(text.find("Publishing report: 1 internal link is unresolved\r\n  gone.htm in "), std::string::npos)
        << text;
    EXPECT_NE(text.find("Publishing report: 1 picture reference is not converted\r\n"), std::string::npos) << text;
    for (int i = 0; i < 400; ++i) reporter.report.addLine(std::string(60, 'x').c_str());
    reporter.report.compose(shown);
    const std::string full = shown;
    EXPECT_EQ(full.rfind(text + std::string(60, 'x'), 0), 0u);
    int kept = 0;
    for (size_t at = full.find(std::string(60, 'x')); at != std::string::npos; at = full.find('x', at + 60)) ++kept;
    int leftOut = std::atoi(full.substr(full.rfind("... and ") + 8).c_str());
    EXPECT_GT(leftOut, 0);
    EXPECT_EQ(kept + leftOut, 400);
    EXPECT_EQ(full.substr(full.rfind(' ')), " lines");
}

}  // namespace
