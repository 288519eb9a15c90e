#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/NewPublicationFiles.h"
#include "model/Files.h"
#include "model/Publication.h"
#include "model/ShortDate.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kXmlHead = "<?xml version=\"1.0\"?>\n<html>\n<head>\n</head>\r\n";
const std::string kPackageHead =
    "<?xml version=\"1.0\"?>\r\n"
    "<!DOCTYPE package PUBLIC \"+//ISBN 0-9673008-1-9//DTD OEB 1.0 Package//EN\" \"oebpkg1.dtd\">\r\n"
    "<package unique-identifier=\"\">\r\n";

std::string today() {
    char date[1024];
    EXPECT_TRUE(todayShortDate(date, sizeof date));
    return date;
}

std::string metadata(const std::string& title, const std::string& author) {
    return "<metadata>\r\n<dc:Title>" + title + "</dc:Title>\r\n<dc:Creator>" + author +
           "</dc:Creator>\r\n<dc:Date>" + today() + "</dc:Date>\r\n</metadata>\r\n";
}

TEST(NewPublicationFilesTest, AllThreePagesAndTheirPackageByteForByte) {
    TempFolder tmp;
    tmp.write("toc.htm", "old");
    std::string target = tmp.file("new");
    // The name goes into the pages as typed; the package escapes it.
    NewPublicationChoices choices{"A<&", "Ann", target.c_str(), true, true, true};
    char packagePath[256];
    ASSERT_TRUE(writeNewPublication(choices, packagePath));
    EXPECT_EQ(std::string(packagePath), tmp.file("new.opf"));
    EXPECT_EQ(tmp.read("toc.htm"),
              "<html>\r\n<head>\r\n</head>\r\n<body>\r\n<h1 align=\"center\">Table Of Contents</h1>\r\n"
              "<i>Add links below to the contents files</i>\r\n</body>\r\n</html>");
    EXPECT_EQ(tmp.read("cover.htm"),
              kXmlHead +
                  "<body>\r\n<h1 align=\"center\">A<&</h1><br>\r\n<h2 align=\"center\">Ann</h2><br>\r\n"
                  "<i>Add here an image for your cover page</i>\r\n</body>\r\n</html>");
    EXPECT_EQ(tmp.read("bio.htm"),
              kXmlHead +
                  "<body>\r\n<h1 align=\"center\">Biography</h1><br>\r\n<h2 align=\"center\">Ann</h2><br>\r\n"
                  "<i>Add here a biography</i>\r\n</body>\r\n</html>");
    EXPECT_EQ(tmp.read("new.opf"),
              kPackageHead + metadata("A&lt;&amp;", "Ann") +
                  "<manifest>\r\n"
                  "<item id=\"cover\" href=\"cover.htm\" media-type=\"text/x-oeb1-document\"/>\r\n"
                  "<item id=\"toc\" href=\"toc.htm\" media-type=\"text/x-oeb1-document\"/>\r\n"
                  "<item id=\"bio\" href=\"bio.htm\" media-type=\"text/x-oeb1-document\"/>\r\n"
                  "</manifest>\r\n<spine>\r\n<itemref idref=\"cover\"/>\r\n<itemref idref=\"toc\"/>\r\n"
                  "<itemref idref=\"bio\"/>\r\n</spine>\r\n<tours>\r\n</tours>\r\n<guide>\r\n"
                  "<reference type=\"toc\" title=\"Table Of Contents\" href=\"toc.htm\"/>\r\n"
                  "<reference type=\"bio\" title=\"Biography\" href=\"bio.htm\"/>\r\n"
                  "</guide>\r\n</package>\r\n");
}

TEST(NewPublicationFilesTest, OnlyTheChosenPagesAreWrittenAndListed) {
    TempFolder tmp;
    std::string target = tmp.file("b.opf");
    NewPublicationChoices none{"B", "C", target.c_str(), false, false, false};
    char packagePath[256];
    ASSERT_TRUE(writeNewPublication(none, packagePath));
    EXPECT_EQ(std::string(packagePath), target);
    EXPECT_FALSE(tmp.exists("toc.htm"));
    EXPECT_FALSE(tmp.exists("cover.htm"));
    EXPECT_FALSE(tmp.exists("bio.htm"));
    EXPECT_EQ(tmp.read("b.opf"),
              kPackageHead + metadata("B", "C") +
                  "<manifest>\r\n</manifest>\r\n<spine>\r\n</spine>\r\n<tours>\r\n</tours>\r\n"
                  "<guide>\r\n</guide>\r\n</package>\r\n");

    // The cover alone: listed and read, but no guide reference.
    NewPublicationChoices cover{"B", "C", target.c_str(), false, true, false};
    ASSERT_TRUE(writeNewPublication(cover, packagePath));
    EXPECT_TRUE(tmp.exists("cover.htm"));
    EXPECT_FALSE(tmp.exists("toc.htm"));
    auto read = std::make_unique<Publication>();
    ASSERT_TRUE(read->open(packagePath));
    ASSERT_EQ(read->manifestCount, 1);
    EXPECT_STREQ(read->manifest[0].id, "cover");
    ASSERT_EQ(read->spineCount, 1);
    EXPECT_STREQ(read->spine[0].idref, "cover");
    EXPECT_EQ(read->guideCount, 0);
}

TEST(NewPublicationFilesTest, PackageThatCannotBeCreatedIsReported) {
    TempFolder tmp;
    std::string target = tmp.file("missing\\new");
    NewPublicationChoices choices{"N", "A", target.c_str(), true, false, false};
    char packagePath[256];
    EXPECT_FALSE(writeNewPublication(choices, packagePath));
    EXPECT_FALSE(tmp.exists("missing"));
}

TEST(NewPublicationFilesTest, TargetTestLeavesNoFileAndKeepsAnExistingOne) {
    TempFolder tmp;
    EXPECT_TRUE(canCreateTarget(tmp.file("fresh").c_str()));
    EXPECT_FALSE(tmp.exists("fresh"));
    tmp.write("old.opf", "keep me");
    EXPECT_TRUE(canCreateTarget(tmp.file("old.opf").c_str()));
    EXPECT_EQ(tmp.read("old.opf"), "keep me");
    EXPECT_FALSE(canCreateTarget(tmp.file("missing\\x.opf").c_str()));
    tmp.makeFolder("sub");
    EXPECT_FALSE(canCreateTarget(tmp.file("sub").c_str()));
    EXPECT_FALSE(canCreateTarget(tmp.file("a*.opf").c_str()));
    EXPECT_FALSE(canCreateTarget(""));
    // Neither the probe nor the tested name stays behind.
    EXPECT_FALSE(fileExists(tmp.file("*.tmp").c_str()));
    EXPECT_FALSE(tmp.exists("fresh"));
}

}  // namespace
