// Builds under hostile and unlucky conditions: other builds and user files
// beside the package, failing steps, special files and cut paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BuildDriverRecords.h"
#include "MergeTestSupport.h"
#include "model/Files.h"
#include "publish/BuildDriver.h"

namespace {

class BuildSafetyTest : public ::testing::Test {
protected:
    TempFolder tmp;
    RecordingDialogs dialogs;

    // A package of one chapter per href; ids are d0, d1, ...
    void writePackage(const std::string& name, const std::vector<std::string>& hrefs,
                      const std::string& extraManifest = "", const std::string& extraSpine = "") {
        std::string manifest = extraManifest, spine = extraSpine;
        for (size_t i = 0; i < hrefs.size(); ++i) {
            std::string id = "d" + std::to_string(i);
            manifest += "<item id=\"" + id + "\" href=\"" + hrefs[i] + "\" media-type=\"text/html\"/>\r\n";
            spine += "<itemref idref=\"" + id + "\"/>\r\n";
        }
        tmp.write(name,
                  "<?xml version=\"1.0\"?>\r\n<package unique-identifier=\"id\">\r\n<metadata>\r\n"
                  "<dc:Title>T</dc:Title>\r\n</metadata>\r\n<manifest>\r\n" +
                      manifest + "</manifest>\r\n<spine>\r\n" + spine +
                      "</spine>\r\n<guide>\r\n</guide>\r\n</package>\r\n");
    }
    int batch(const std::string& name) { return batchBuild(tmp.file(name).c_str(), true, dialogs); }
    std::string bookText(const std::string& name) { return decodedText(recordsOf(tmp.read(name))); }
};

TEST_F(BuildSafetyTest, UserFilesNamedLikeTheBuildsOwnFilesAreLeftWhole) {
    int32_t next = intermediateFilesNamed() + 1;
    const std::vector<std::string> userFiles = {"PRCtemp_" + std::to_string(next) + ".tmp",
                                                "PRCtemp_" + std::to_string(next + 1) + ".tmp",
                                                "PRCguide_1.tmp", "PRCmeta_1.tmp", "PRCbook_1.tmp"};
    for (const std::string& name : userFiles) tmp.write(name, "user's " + name);
    tmp.write("ch.htm", "<body>Chapter text</body>");
    writePackage("book.opf", {"ch.htm"});

    ASSERT_EQ(batch("book.opf"), 0);
    for (const std::string& name : userFiles) EXPECT_EQ(tmp.read(name), "user's " + name);
    std::string text = bookText("book.prc");
    EXPECT_NE(text.find("Chapter text"), std::string::npos);
    EXPECT_EQ(text.find("user's"), std::string::npos);
    // The build's own files are gone again.
    for (const char* left : {"PRCguide_2.tmp", "PRCmeta_2.tmp", "PRCbook_2.tmp"})
        EXPECT_FALSE(tmp.exists(left));
    EXPECT_FALSE(tmp.exists("PRCtemp_" + std::to_string(next + 2) + ".tmp"));
}

TEST_F(BuildSafetyTest, BuildsRunningAtOnceKeepToTheirOwnIntermediateFiles) {
    tmp.write("a.htm", "<body>Text of A</body>");
    tmp.write("b.htm", "<body>Text of B</body>");
    writePackage("a.opf", {"a.htm"});
    writePackage("b.opf", {"b.htm"});
    // Two unfinished builds of the same package hold their intermediate files.
    auto pub = std::make_unique<Publication>();
    ASSERT_TRUE(pub->open(tmp.file("a.opf").c_str()));
    auto first = std::make_unique<BuildContext>(pub.get());
    auto second = std::make_unique<BuildContext>(pub.get());
    ASSERT_TRUE(first->mergeManifest());
    ASSERT_TRUE(second->mergeManifest());
    ASSERT_STRNE(first->intermediatePath, second->intermediatePath);
    std::string firstText = readWholeFile(first->intermediatePath);

    ASSERT_EQ(batch("b.opf"), 0);
    EXPECT_NE(bookText("b.prc").find("Text of B"), std::string::npos);
    EXPECT_EQ(bookText("b.prc").find("Text of A"), std::string::npos);
    EXPECT_EQ(readWholeFile(first->intermediatePath), firstText);
    EXPECT_EQ(readWholeFile(second->intermediatePath), firstText);
    deleteFile(first->intermediatePath);
    deleteFile(second->intermediatePath);
}

}  // namespace
