#include <gtest/gtest.h>

#include <string>

#include "MergeTestSupport.h"
#include "model/Files.h"
#include "publish/BuildPages.h"

namespace {

const std::string kPageStart = "<html>\n<body bgcolor=#FFCC99><center>";
const std::string kFrameStart =
    "<TABLE border=0 borderColor=#ffffff cellSpacing=0><TBODY><TR vAlign=top><TD bgColor=#ffffff "
    "width=60>&nbsp;<TD align=right bgColor=#ffffff height=50>&nbsp;<TD align=right bgColor=#ffffff "
    "width=60>&nbsp;<TD align=middle width=20></TD><TR><TD bgColor=#ffffff>&nbsp;<TD align=justify "
    "bgColor=#ffffff width=355><center>";
const std::string kHeadingEnd =
    "</center><HR width=\"100%\" height=\"1\"><P align=justify><FONT face=\"Times New Roman\">";
const std::string kFooterStart = "</FONT><BR><P><FONT NAME=\"Times New Roman\"><CENTER>";
const std::string kFrameEnd =
    "</CENTER></FONT><TD bgColor=#ffffff>&nbsp; </TD><TR vAlign=bottom><TD align=middle "
    "bgColor=#ffffff>&nbsp;<TD bgColor=#ffffff height=50>&nbsp;<TD align=middle bgColor=#ffffff>&nbsp;<TD "
    "align=middle></TD></TR></TBODY></TABLE>";
const std::string kPageEnd = "</center></body></html>";

class BuildPagesTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::unique_ptr<Publication> pub = publicationIn(tmp, "novel.opf");
    std::unique_ptr<BuildContext> context = std::make_unique<BuildContext>(pub.get());

    std::string metadataPageAsMerged() {
        copyText(context->intermediatePath, tmp.file("merged.tmp").c_str());
        context->intermediateFile = openFile(context->intermediatePath, OpenMode::readWrite);
        EXPECT_TRUE(writeMetadataPage(*context));
        closeFile(context->intermediateFile);
        context->intermediateFile = kInvalidFileHandle;
        return tmp.read("merged.tmp");
    }
    std::string firstChapter() {
        writeFirstChapter(*context);
        return tmp.read("novel_firstchapter.htm");
    }
    std::string heading() { return kFrameStart + "<b>The Voyage</b>,&nbsp;A. Writer" + kHeadingEnd; }
};

TEST_F(BuildPagesTest, TheMetadataPageLabelsFilledEntriesInTableOrder) {
    pub->addMetadata("dc:Title", "The Voyage");
    pub->addMetadata("dc:Creator", "A. Writer");
    pub->addMetadata("dc:Date", "");
    pub->addMetadata("dc:Publisher", "Small Press");
    pub->addMetadata("dc:Rights", "Free");
    pub->addMetadata("dc:Date", "2001");
    pub->addMetadata("dc:Subject", "Sea");
    pub->deleteMetadata(&pub->metadata[6]);
    pub->addMetadata("x", "short");
    EXPECT_EQ(metadataPageAsMerged(),
              "<h1 align=\"center\">eBook Info</H1><BR>"
              "<B>Book Title:</B></BR><BLOCKQUOTE>The Voyage</BLOCKQUOTE><BR>"
              "<B>Author:</B></BR><BLOCKQUOTE>A. Writer</BLOCKQUOTE><BR>"
              "<B>Publisher:</B></BR><BLOCKQUOTE>Small Press</BLOCKQUOTE><BR>"
              "<B>Copyright and License:</B></BR><BLOCKQUOTE>Free</BLOCKQUOTE><BR>"
              "<B>Publication Date:</B></BR><BLOCKQUOTE>2001</BLOCKQUOTE><BR>"
              "<B>x:</B></BR><BLOCKQUOTE>short</BLOCKQUOTE><BR>");
    EXPECT_FALSE(tmp.exists("xyz_metadata.htm"));
    ASSERT_EQ(context->anchorCount, 1);
    EXPECT_EQ(std::string(context->anchors[0].file), tmp.file("xyz_metadata.htm"));
}

TEST_F(BuildPagesTest, TheFirstChapterIsTheFirstSpineItemThatIsNeitherCoverNorContents) {
    pub->addMetadata("dc:Title", "The Voyage");
    pub->addMetadata("dc:Creator", "A. Writer");
    addDocument(*pub, "cover", "cover.htm");
    addDocument(*pub, "toc", "toc.htm");
    addDocument(*pub, "chap1", "chap1.htm");
    tmp.write("cover.htm", "<body>cover");
    tmp.write("toc.htm", "<body>toc");
    tmp.write("chap1.htm",
              "<head><p>not this</p></head><body><P>Short.</P><font face=\"Arial\">x</FONT></body>");
    char path[kBuildFieldSize];
    firstChapterPath(*pub, path);
    EXPECT_EQ(std::string(path), tmp.file("novel_firstchapter.htm"));
    EXPECT_EQ(firstChapter(),
              kPageStart + heading() + "<p align=justify>Short.<p align=justify>x</FONT></BODY>" + kPageEnd);
}

TEST_F(BuildPagesTest, ALongChapterEndsAfterItsFourthPageBreak) {
    pub->addMetadata("dc:Title", "The Voyage");
    pub->addMetadata("dc:Creator", "A. Writer");
    addDocument(*pub, "c1", "c1.htm");
    std::string text;
    while (text.size() < 10000) text += "Words go on.";
    tmp.write("c1.htm", "<body>" + text);
    std::string page = firstChapter();

    std::string expected = kPageStart + heading();
    // Breaks fall at the first full stop at or after each 1024th character.
    size_t copied = 0;
    for (int p = 1; p <= 4; ++p) {
        size_t stop = text.find('.', size_t(1024 * p) - 1);
        expected += text.substr(copied, stop + 1 - copied);
        copied = stop + 1;
        expected += kFooterStart + " - Page " + std::to_string(p) + " - " + kFrameEnd + "<br><br><A NAME=#" +
                    std::to_string(p) + "></A>";
        if (p < 4) expected += kFrameStart + "The Voyage" + kHeadingEnd;
    }
    EXPECT_EQ(page, expected + kPageEnd);
}

TEST_F(BuildPagesTest, WithoutAChapterOrItsBodyThePageIsOnlyItsStartAndEnd) {
    addDocument(*pub, "toc", "toc.htm");
    tmp.write("toc.htm", "<body>toc");
    EXPECT_FALSE(writeFirstChapter(*context));
    EXPECT_EQ(tmp.read("novel_firstchapter.htm"), kPageStart + kPageEnd);

    addDocument(*pub, "c1", "c1.htm");
    tmp.write("c1.htm", "<p>no body at all.</p>");
    EXPECT_FALSE(writeFirstChapter(*context));
    EXPECT_EQ(tmp.read("novel_firstchapter.htm"), kPageStart + kPageEnd);
}

}  // namespace
