#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BuildDriverRecords.h"
#include "MergeTestSupport.h"
#include "model/CommandLinePath.h"
#include "model/Files.h"
#include "publish/BuildDriver.h"

namespace {

class BuildDriverTest : public ::testing::Test {
protected:
    TempFolder tmp;
    RecordingReporter reporter;

    void writePackage(const std::string& name, const char* title, const std::vector<const char*>& hrefs) {
        auto pub = publicationIn(tmp, name.c_str());
        if (title) pub->addMetadata("dc:Title", title);
        for (const char* href : hrefs) addDocument(*pub, href, href);
        ASSERT_TRUE(pub->save(tmp.file(name).c_str()));
    }
    int batch(const std::string& name) { return batchBuild(tmp.file(name).c_str(), true, reporter); }
    // The intermediate text of the package, made by a merge of its own.
    std::string mergedText(const std::string& name) {
        auto pub = std::make_unique<Publication>();
        EXPECT_TRUE(pub->open(tmp.file(name).c_str()));
        auto context = std::make_unique<BuildContext>(pub.get());
        EXPECT_TRUE(context->mergeManifest());
        std::string text = readWholeFile(context->intermediatePath);
        deleteFile(context->intermediatePath);
        return text;
    }
    bool leftOverIntermediate() { return fileExists(tmp.file("PRCtemp_*.tmp").c_str()); }
    std::string shown(const std::string& name) { return programPathForDisplay(tmp.file(name).c_str()); }
};

TEST_F(BuildDriverTest, ABatchBuildWritesTheMergedTextAsCompressedRecords) {
    std::string chapter = "<body>";
    for (int i = 0; i < 300; ++i)
        chapter += "<p>Paragraph " + std::to_string(i) + " of the long chapter.</p>\r\n";
    tmp.write("ch1.htm", chapter + "<a href=\"ch2.htm\">next</a></body>");
    tmp.write("ch2.htm", "<body><h2>Two</h2><img src=\"pic.gif\"></body>");
    tmp.write("pic.gif", "GIF89a");
    writePackage("novel.opf", "The Voyage", {"ch1.htm", "ch2.htm"});
    std::string expected = mergedText("novel.opf");

    ASSERT_EQ(batch("novel.opf"), 0);
    std::string file = tmp.read("novel.prc");
    EXPECT_EQ(file.substr(0, 11), std::string("The Voyage\0", 11));
    std::vector<std::string> records = recordsOf(file);
    ASSERT_GE(records.size(), size_t(3));
    EXPECT_EQ(big16(records[0], 0), 2u);  // compressed
    uint32_t textRecords = big16(records[0], 8);
    EXPECT_EQ(textRecords, (expected.size() + kTextRecordSize - 1) / kTextRecordSize);
    EXPECT_GT(textRecords, 1u);
    // One picture record follows the text.
    EXPECT_EQ(records.size(), size_t(1 + textRecords + 1));
    EXPECT_FALSE(records.back().empty());
    EXPECT_EQ(decodedText(records), expected);
    EXPECT_NE(expected.find("recindex=\"00001\""), std::string::npos);
    EXPECT_FALSE(leftOverIntermediate());

    // The status line counts the records, then turns to the pictures.
    const std::pair<int32_t, int32_t> first = {IDS_BUILD_RECORDS, 1};
    auto at = std::find(reporter.statusLines.begin(), reporter.statusLines.end(), first);
    ASSERT_NE(at, reporter.statusLines.end());
    EXPECT_EQ(*(at + 1), std::make_pair(IDS_BUILD_RECORDS, 2));
    EXPECT_EQ(reporter.statusLines.back(), std::make_pair(IDS_BUILD_ADDING_IMAGES, -1));
}

TEST_F(BuildDriverTest, TheTargetReplacesTheLastFourCharactersOfThePackagePath) {
    char target[kBuildFieldSize];
    ASSERT_TRUE(batchTargetPath("C:\\b\\x.opf", target));
    EXPECT_STREQ(target, "C:\\b\\x.prc");
    ASSERT_TRUE(batchTargetPath("C:\\b\\x.htm", target));
    EXPECT_STREQ(target, "C:\\b\\x.prc");
    ASSERT_TRUE(batchTargetPath("a.opf", target));
    EXPECT_STREQ(target, "a.prc");
    EXPECT_FALSE(batchTargetPath(".opf", target));
    EXPECT_FALSE(batchTargetPath("", target));
    EXPECT_FALSE(batchTargetPath(("C:\\" + std::string(300, 'n') + ".opf").c_str(), target));
}

TEST_F(BuildDriverTest, ABookWithoutTitleHasAnEmptyName) {
    tmp.write("a.htm", "<body>x</body>");
    writePackage("untitled.opf", nullptr, {"a.htm"});
    ASSERT_EQ(batch("untitled.opf"), 0);
    EXPECT_EQ(tmp.read("untitled.prc").substr(0, 32), std::string(32, '\0'));
}

TEST_F(BuildDriverTest, FailedBatchBuildsSayWhyAndLeaveNothingBehind) {
    tmp.write("broken.opf", "not a package");
    tmp.write("self.prc", "<?xml version=\"1.0\"?>");
    std::string tours;
    for (int i = 0; i < 50; ++i) tours += "<tour id=\"t" + std::to_string(i) + "\" title=\"T\"></tour>";
    tmp.write("tours.opf", "<package unique-identifier=\"x\"><tours>" + tours + "</tours></package>");
    struct Case {
        std::string package;
        std::string message;
    } cases[] = {
        {"broken.opf", "The package " + shown("broken.opf") + " could not be read"},
        {"nowhere.opf", "The package " + shown("nowhere.opf") + " could not be read ("},
        {"tours.opf", "could not be read: the tours table is full"},
        {"self.prc", "would be overwritten by its own eBook"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        int status = batch(c.package);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(status, 0) << c.package;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        std::string target = c.package.substr(0, c.package.size() - 4) + ".prc";
        if (c.package != "self.prc") {
            EXPECT_FALSE(tmp.exists(target)) << target;
        }
    }
    EXPECT_EQ(tmp.read("self.prc"), "<?xml version=\"1.0\"?>");
    EXPECT_FALSE(leftOverIntermediate());
}

}  // namespace
