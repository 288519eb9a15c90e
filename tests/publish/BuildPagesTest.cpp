#include <gtest/gtest.h>

#include <string>

#include "MergeTestSupport.h"
#include "model/Files.h"
#include "publish/BuildPages.h"

namespace {

const std::string kPageStart = "<html>\n<body bgcolor=#FFCC99><center>";
const std::string kPageEnd = "</center></body></html>";

class BuildPagesTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::unique_ptr<Publication> pub = publicationIn(tmp, "novel.opf");
    std::unique_ptr<BuildContext> context = std::make_unique<BuildContext>(pub.get());

    void SetUp() override {
        pub->addMetadata("dc:Title", "The <Voyage>");
        pub->addMetadata("dc:Creator", "A. Writer");
    }
    std::string firstChapter() {
        writeFirstChapter(*context);
        return tmp.read("novel_firstchapter.htm");
    }
};

TEST_F(BuildPagesTest, TheMetadataPageLabelsFilledEntriesInTableOrder) {
    pub->addMetadata("dc:Date", "");
    pub->addMetadata("dc:Publisher", "Small Press");
    pub->addMetadata("dc:Rights", "Free");
    pub->addMetadata("dc:Date", "2001");
    pub->addMetadata("dc:Subject", "Sea");
    pub->deleteMetadata(&pub->metadata[6]);
    pub->addMetadata("x", "short");
    copyText(context->intermediatePath, tmp.file("merged.tmp").c_str());
    context->intermediateFile = openFile(context->intermediatePath, OpenMode::readWrite);
    EXPECT_TRUE(writeMetadataPage(*context));
    closeFile(context->intermediateFile);
    context->intermediateFile = kInvalidFileHandle;
    EXPECT_EQ(tmp.read("merged.tmp"),
              "<h1 align=\"center\">eBook Info</H1><BR>"
              "<B>Book Title:</B></BR><BLOCKQUOTE>The &lt;Voyage&gt;</BLOCKQUOTE><BR>"
              "<B>Author:</B></BR><BLOCKQUOTE>A. Writer</BLOCKQUOTE><BR>"
              "<B>Publisher:</B></BR><BLOCKQUOTE>Small Press</BLOCKQUOTE><BR>"
              "<B>Copyright and License:</B></BR><BLOCKQUOTE>Free</BLOCKQUOTE><BR>"
              "<B>Publication Date:</B></BR><BLOCKQUOTE>2001</BLOCKQUOTE><BR>"
              "<B>x:</B></BR><BLOCKQUOTE>short</BLOCKQUOTE><BR>");
    EXPECT_FALSE(tmp.exists("xyz_metadata.htm"));
}

TEST_F(BuildPagesTest, TheFirstChapterIsTheFirstSpineItemThatIsNeitherCoverNorContents) {
    addDocument(*pub, "cover", "cover.htm");
    addDocument(*pub, "toc", "toc.htm");
    addDocument(*pub, "chap1", "chap1.htm");
    tmp.write("cover.htm", "<body>cover");
    tmp.write("toc.htm", "<body>toc");
    tmp.write("chap1.htm",
              "<head><p>not this</p></head><body><P>Short.</P><font face=\"Arial\">x</FONT></body>\n</HTML>");
    char path[kPathSize];
    firstChapterPath(*pub, path);
    EXPECT_EQ(std::string(path), tmp.file("novel_firstchapter.htm"));
    std::string page = firstChapter();
    EXPECT_EQ(page.substr(0, kPageStart.size()), kPageStart);
    // The heading names the book and its author; paragraphs are justified and
    // the chapter's own end tags are copied, but for those of its body and
    // page: the page's end closes them once.
    const std::string heading = "<b>The &lt;Voyage&gt;</b>,&nbsp;A. Writer</center>";
    ASSERT_NE(page.find(heading), std::string::npos);
    EXPECT_NE(
        page.find("<FONT face=\"Times New Roman\"><p align=justify>Short.<p align=justify>x</FONT>\n" + kPageEnd),
        std::string::npos);
    EXPECT_EQ(page.find("not this"), std::string::npos);
}

TEST_F(BuildPagesTest, ALongChapterEndsAfterItsFourthPageBreak) {
    addDocument(*pub, "c1", "c1.htm");
    std::string text;
    while (text.size() < 10000) text += "Words go on.";
    tmp.write("c1.htm", "<body>" + text);
    std::string page = firstChapter();
    // Breaks fall at the first full stop at or after each 1024th character;
    // each page's text stands whole before its footer.
    size_t copied = 0, at = 0;
    for (int p = 1; p <= 4; ++p) {
        SCOPED_TRACE("page " + std::to_string(p));
        size_t stop = text.find('.', size_t(1024 * p) - 1);
        const std::string pageText = text.substr(copied, stop + 1 - copied);
        copied = stop + 1;
        at = page.find(pageText + "</FONT><BR><P><FONT NAME=\"Times New Roman\"><CENTER> - Page " +
                           std::to_string(p) + " - </CENTER>",
                       at);
        ASSERT_NE(at, std::string::npos);
        at = page.find("<br><br><A NAME=#" + std::to_string(p) + "></A>", at);
        ASSERT_NE(at, std::string::npos);
    }
    // The three later pages repeat the title alone; nothing follows the fourth.
    int repeats = 0;
    for (size_t r = page.find("<center>The &lt;Voyage&gt;</center>"); r != std::string::npos;
         r = page.find("<center>The &lt;Voyage&gt;</center>", r + 1))
        ++repeats;
    EXPECT_EQ(repeats, 3);
    EXPECT_EQ(page.substr(page.size() - kPageEnd.size() - 7), "#4></A>" + kPageEnd);
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
