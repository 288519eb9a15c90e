#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/NewPublicationFiles.h"
#include "model/Files.h"
#include "model/Publication.h"
#include "model/ShortDate.h"
#include "tests/support/TempFolder.h"

namespace {

// The manifest, spine and guide of a package, one line a record, in table order.
std::string describe(const Publication& read) {
    std::string text;
    for (int i = 0; i < read.manifestCount; ++i)
        text += std::string("item ") + read.manifest[i].id + " " + read.manifest[i].href + " " +
                read.manifest[i].mediaType + "\n";
    for (int i = 0; i < read.spineCount; ++i) text += std::string("itemref ") + read.spine[i].idref + "\n";
    for (int i = 0; i < read.guideCount; ++i)
        text += std::string("reference ") + read.guide[i].type + " " + read.guide[i].title + " " +
                read.guide[i].href + "\n";
    return text;
}

std::string today() {
    char date[1024];
    EXPECT_TRUE(todayShortDate(date, sizeof date));
    return date;
}

TEST(NewPublicationFilesTest, WritesTheChosenPagesAndAPackageListingThem) {
    struct Case {
        bool toc, cover, bio;
        const char* records;
    } const cases[] = {
        {true, true, true,
         "item cover cover.htm text/x-oeb1-document\nitem toc toc.htm text/x-oeb1-document\n"
         "item bio bio.htm text/x-oeb1-document\nitemref cover\nitemref toc\nitemref bio\n"
         "reference toc Table Of Contents toc.htm\nreference bio Biography bio.htm\n"},
        {false, false, false, ""},
        // The cover alone is listed and read, but has no guide reference.
        {false, true, false, "item cover cover.htm text/x-oeb1-document\nitemref cover\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.records);
        TempFolder tmp;
        tmp.write("toc.htm", "old");
        std::string target = tmp.file("new");
        // The name is text in the pages and the package: both escape it.
        NewPublicationChoices choices{"A<&", "Ann", target.c_str(), c.toc, c.cover, c.bio};
        char packagePath[256];
        ASSERT_TRUE(writeNewPublication(choices, packagePath));
        EXPECT_EQ(std::string(packagePath), tmp.file("new.opf"));
        auto read = std::make_unique<Publication>();
        ASSERT_TRUE(read->open(packagePath));
        EXPECT_EQ(describe(*read), c.records);
        EXPECT_NE(tmp.read("new.opf").find(
                      "<metadata>\r\n<dc:Title>A&lt;&amp;</dc:Title>\r\n<dc:Creator>Ann</dc:Creator>\r\n"
                      "<dc:Date>" +
                      today() + "</dc:Date>\r\n</metadata>"),
                  std::string::npos);
        EXPECT_EQ(tmp.read("toc.htm").find("Table Of Contents") != std::string::npos, c.toc);
        EXPECT_EQ(tmp.exists("cover.htm"), c.cover);
        EXPECT_EQ(tmp.exists("bio.htm"), c.bio);
        EXPECT_TRUE(!c.cover ||
                    tmp.read("cover.htm").find("<h1 align=\"center\">A&lt;&amp;</h1>") != std::string::npos);
        EXPECT_TRUE(!c.bio || tmp.read("bio.htm").find("<h2 align=\"center\">Ann</h2>") != std::string::npos);
    }
}

TEST(NewPublicationFilesTest, TargetTestLeavesNoFileAndKeepsAnExistingOne) {
    TempFolder tmp;
    EXPECT_TRUE(canCreateTarget(tmp.file("fresh").c_str()));
    EXPECT_FALSE(tmp.exists("fresh"));
    tmp.write("old.opf", "keep me");
    EXPECT_TRUE(canCreateTarget(tmp.file("old.opf").c_str()));
    EXPECT_EQ(tmp.read("old.opf"), "keep me");
    tmp.makeFolder("sub");
    for (const std::string& name :
         {tmp.file("missing\\x.opf"), tmp.file("sub"), tmp.file("a*.opf"), std::string()})
        EXPECT_FALSE(canCreateTarget(name.c_str())) << name;
    // Neither the probe nor the tested name stays behind.
    EXPECT_FALSE(fileExists(tmp.file("*.tmp").c_str()));
    EXPECT_FALSE(tmp.exists("fresh"));
}

}  // namespace
