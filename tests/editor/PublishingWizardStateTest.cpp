#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/publish/MergeTestSupport.h"
#include "model/CommandLinePath.h"
#include "model/Files.h"
#include "editor/PublishingWizardState.h"

namespace {

TEST(PublishingWizardStateTest, TheNameIsCheckedAndGetsItsExtensionByTheRule) {
    const std::string folder = "C:\\books\\";
    // Room left in the 255-character path beside the folder.
    const size_t room = 255 - folder.size();
    struct Case {
        std::string name;
        std::string target;  // empty: refused
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
    };
    for (const Case& c : cases) {
        char target[kPathSize] = "stale";
        int32_t result = checkEbookName(c.name.c_str(), folder.c_str(), target);
        EXPECT_EQ(result, c.target.empty() ? IDS_TARGET_NOT_VALID : 0) << c.name;
        EXPECT_EQ(std::string(target), c.target) << c.name;
    }
}

// Asks to stop once this many text records have been reported.
class StoppingReporter : public RecordingReporter {
public:
    explicit StoppingReporter(int32_t afterRecords) : afterRecords(afterRecords) {}
    void showStatusAndNumber(int32_t stringId, int32_t n) override {
        RecordingReporter::showStatusAndNumber(stringId, n);
        if (stringId == IDS_BUILD_RECORDS) ++records;
    }
    bool stopRequested() override { return records >= afterRecords; }
    int32_t records = 0;

private:
    int32_t afterRecords;
};

class WizardBuildTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::unique_ptr<Publication> publication;

    void SetUp() override {
        std::string chapter = "<html><body>";
        for (int i = 0; i < 600; ++i) chapter += "<p>Line " + std::to_string(i) + " of the tale.</p>\r\n";
        tmp.write("cover.htm", "<html><body><h1>Cover</h1></body></html>");
        tmp.write("ch1.htm", chapter + "</body></html>");
        publication = publicationIn(tmp, "novel.opf");
        publication->addMetadata("dc:Title", "Tale");
        addDocument(*publication, "cover", "cover.htm");
        addDocument(*publication, "ch1", "ch1.htm");
    }
    bool build(bool firstChapter, BuildReporter& reporter, char* message) {
        return runWizardBuild(*publication, tmp.file("novel.prc").c_str(), true, firstChapter, reporter,
                              message);
    }
    bool leftOverIntermediate() { return fileExists(tmp.file("PRCtemp_*.tmp").c_str()); }
};

TEST_F(WizardBuildTest, AFailureNamesTheMissingFile) {
    deleteFile(tmp.file("ch1.htm").c_str());
    RecordingReporter reporter;
    char message[kBuildMessageSize];
    EXPECT_FALSE(build(true, reporter, message));
    EXPECT_NE(std::string(message).find(programPathForDisplay(tmp.file("ch1.htm").c_str())),
              std::string::npos)
        << message;
    EXPECT_FALSE(tmp.exists("novel.prc"));
    EXPECT_FALSE(tmp.exists("novel_firstchapter.htm"));
    EXPECT_FALSE(leftOverIntermediate());
}

TEST_F(WizardBuildTest, AStoppedBuildLeavesNothingOfItself) {
    for (int32_t after : {0, 2}) {
        tmp.write("novel.prc", "an earlier book");
        StoppingReporter reporter(after);
        char message[kBuildMessageSize];
        EXPECT_FALSE(build(true, reporter, message)) << after;
        EXPECT_FALSE(leftOverIntermediate()) << after;
        EXPECT_FALSE(tmp.exists("novel_firstchapter.htm")) << after;
        // The new e-book replaces the earlier one only when whole.
        EXPECT_EQ(tmp.read("novel.prc"), "an earlier book") << after;
        EXPECT_FALSE(fileExists(tmp.file("PRCbook_*").c_str())) << after;
        if (after > 0) {
            EXPECT_EQ(reporter.records, after) << "no record after the request";
        }
    }
}

}  // namespace
