#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/NewPublicationFiles.h"
#include "model/Publication.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kXmlHead = "<?xml version=\"1.0\"?>\n<html>\n<head>\n</head>\r\n";

TEST(NewPublicationFilesTest, WritesTheChosenPagesAndThePackage) {
    TempFolder tmp;
    tmp.write("toc.htm", "old");
    std::string target = tmp.file("new");
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
    auto read = std::make_unique<Publication>();
    ASSERT_TRUE(read->open(packagePath));
    ASSERT_EQ(read->manifestCount, 3);
    EXPECT_STREQ(read->manifest[0].id, "cover");
    EXPECT_STREQ(read->manifest[1].id, "toc");
    EXPECT_STREQ(read->manifest[2].id, "bio");
    EXPECT_STREQ(read->manifest[2].mediaType, "text/x-oeb1-document");
    ASSERT_EQ(read->spineCount, 3);
    EXPECT_STREQ(read->spine[0].idref, "cover");
    ASSERT_EQ(read->metadataCount, 3);
    EXPECT_STREQ(read->metadata[0].value, "A<&");
    EXPECT_STREQ(read->metadata[1].value, "Ann");
    ASSERT_EQ(read->guideCount, 2);
    EXPECT_STREQ(read->guide[0].title, "Table Of Contents");
    EXPECT_STREQ(read->guide[1].type, "bio");
    EXPECT_STREQ(read->uniqueIdentifier, "");
}

TEST(NewPublicationFilesTest, NothingChosenGivesOnlyMetadata) {
    TempFolder tmp;
    std::string target = tmp.file("b.opf");
    NewPublicationChoices choices{"B", "C", target.c_str(), false, false, false};
    char packagePath[256];
    ASSERT_TRUE(writeNewPublication(choices, packagePath));
    EXPECT_FALSE(tmp.exists("toc.htm"));
    EXPECT_FALSE(tmp.exists("cover.htm"));
    auto read = std::make_unique<Publication>();
    ASSERT_TRUE(read->open(packagePath));
    EXPECT_EQ(read->metadataCount, 3);
    EXPECT_EQ(read->manifestCount, 0);
    EXPECT_EQ(read->spineCount, 0);
    EXPECT_EQ(read->guideCount, 0);
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
    EXPECT_FALSE(canCreateTarget(""));
    EXPECT_FALSE(tmp.exists("~qbprobe0.tmp"));
}

}  // namespace
