#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "import/ImportJob.h"
#include "import/ImportRun.h"
#include "model/CommandLinePath.h"
#include "model/Publication.h"
#include "model/Text.h"
#include "tests/support/TempFolder.h"

namespace {

// A path as messages show it.
std::string shown(const std::string& path) {
    return programPathForDisplay(path.c_str());
}

const std::string kContentHead = "<html>\n<head></head>\n<body>";
const std::string kContentTail = "</body>\n</html>";

class HtmlImportTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::unique_ptr<ImportJob> job = std::make_unique<ImportJob>();

    ImportOutcome import(const std::string& html, const char* tags) {
        tmp.write("page.htm", html);
        setSourcePath(*job, tmp.file("page.htm").c_str());
        setDestinationFolder(*job, tmp.path().c_str());
        job->replaceExisting = true;
        copyText(job->bookTitle, "T");
        job->sourceKind = SourceKind::html;
        EXPECT_TRUE(parseHeadingTags(*job, tags));
        return runImport(*job, ImportRunControl{});
    }

    std::string body() {
        std::string content = tmp.read("page_1.htm");
        return content.substr(kContentHead.size(),
                              content.size() - kContentHead.size() - kContentTail.size());
    }
};

TEST_F(HtmlImportTest, HeadingsOfTheListBecomeLevelOneAnchors) {
    ASSERT_EQ(
        import("<html><head><h1>Head</h1></head><body>a<h2>Intro</h2>b<H1>Part <b>One</b></H1>c</body>x",
               "H1,H2"),
        ImportOutcome::done);
    EXPECT_EQ(
        body(),
        "a\r\n<H1><a name=\"Chap.1\"></A>Intro</H1>\r\nb\r\n<H1><a name=\"Chap.2\"></A>Part One</H1>\r\nc");
    std::string toc = tmp.read("page_TOC.htm");
    EXPECT_NE(
        toc.find("<a href=\"page_1.htm#Chap.1\">Intro</a><br>\r\n<a href=\"page_1.htm#Chap.2\">Part One</a>"),
        std::string::npos);
}

TEST_F(HtmlImportTest, TagWithAttributesOrSpaceIsCopiedUnchanged) {
    ASSERT_EQ(import("<body><h2 class=\"x\">A</h2><h2 >B</h2>< / body >z</body>after", "h2"),
              ImportOutcome::done);
    EXPECT_EQ(body(), "<h2 class=\"x\">A</h2><h2 >B</h2>< / body >z");
}

TEST_F(HtmlImportTest, BodyEndTagEndsInEitherCaseButNotWithABlankBeforeTheBracket) {
    ASSERT_EQ(import("<body bgcolor=\"white\">a</body >b< /BoDy>c", ""), ImportOutcome::done);
    EXPECT_EQ(body(), "a</body >b");
    ASSERT_EQ(import("<BODY>a</BODY>b", ""), ImportOutcome::done);
    EXPECT_EQ(body(), "a");
}

TEST_F(HtmlImportTest, BodyTagWithAnUnreadableAttributeStartsTheBodyBehindIt) {
    ASSERT_EQ(import("<html><body onload=\"" + std::string(300, 'x') + "\" class=a>text</body>", ""),
              ImportOutcome::done);
    EXPECT_EQ(body(), "text");
}

TEST_F(HtmlImportTest, HeadingThatCannotBeReadWholeStaysAsWritten) {
    std::string longText(300, 'x');
    // Too long for the heading buffer; an end tag with a blank; nested
    // end tags of another heading tag do not close it.
    std::string html = "<body><h1>" + longText + "</h1><h1>a</h1 ></h2>b</h1>";
    ASSERT_EQ(import(html, "h1,h2"), ImportOutcome::done);
    EXPECT_EQ(body(), "<h1>" + longText + "</h1>\r\n<H1><a name=\"Chap.1\"></A>ab</H1>\r\n");
}

TEST_F(HtmlImportTest, LongTagTextIsPlainAndEndOfSourceKeepsText) {
    ASSERT_EQ(import("<body><abcdefghijklmnopqrstuv>x<h1>never closed", "h1"), ImportOutcome::done);
    EXPECT_EQ(body(), "<abcdefghijklmnopqrstuv>x<h1>never closed");
}

TEST_F(HtmlImportTest, NineCharacterTagIsAHeading) {
    ASSERT_EQ(import("<body><ABCDEFGHI>t</ABCDEFGHI></BODY>", "ABCDEFGHI"), ImportOutcome::done);
    EXPECT_EQ(body(), "\r\n<H1><a name=\"Chap.1\"></A>t</H1>\r\n");
}

TEST_F(HtmlImportTest, NoBodyIsRefusedBeforeAnyFile) {
    EXPECT_EQ(import("<html><p>text</p></html>", "h1"), ImportOutcome::startFailed);
    EXPECT_EQ(std::string(job->lastError), "Error while importing the HTML file " +
                                               shown(tmp.file("page.htm")) +
                                               " : could not find the BODY tag");
    EXPECT_FALSE(tmp.exists("page_cover.htm"));
    EXPECT_FALSE(tmp.exists("page_1.htm"));
}

TEST_F(HtmlImportTest, PagesAndPackageByteForByte) {
    job->addBiography = 1;
    job->addRights = 1;
    copyText(job->rightsText, "(c) me");
    copyText(job->authorName, "Ann");
    ASSERT_EQ(import("<body>x</body>", ""), ImportOutcome::done);
    EXPECT_EQ(tmp.read("page_cover.htm"),
              "<?xml version=\"1.0\"?>\n<html>\n<head>\n</head>\n<body>Insert here the coverpage "
              "image</body>\n</html>");
    EXPECT_EQ(tmp.read("page_bio.htm"),
              "<?xml version=\"1.0\"?>\n<html>\n<head>\n</head>\n<body><h1 "
              "align=\"center\">Biography</h1></body>\n</html>");
    EXPECT_EQ(body(), "x\r\n<H1><a name=\"BookLicense\"></A>Copyright</H1>\r\n(c) me");
    EXPECT_EQ(tmp.read("page_TOC.htm"),
              "<?xml version=\"1.0\"?>\n<html>\n<head>\n<title>T</title>\n</head>\n<body>\r\n"
              "<h1 align=\"center\">Table Of Contents</h1>\r\n<blockquote>\r\n"
              "<a href=\"page_1.htm#BookLicense\">Copyright</a><br>\r\n"
              "</blockquote><br>\n<a href=\"page_bio.htm\">Biography</a></body>\n</html>");

    auto read = std::make_unique<Publication>();
    ASSERT_TRUE(read->open(tmp.file("page.opf").c_str()));
    ASSERT_EQ(read->metadataCount, 4);
    EXPECT_STREQ(read->metadata[0].name, "dc:Creator");
    EXPECT_STREQ(read->metadata[0].value, "Ann");
    EXPECT_STREQ(read->metadata[1].value, "T");
    EXPECT_STREQ(read->metadata[2].name, "dc:Rights");
    EXPECT_STREQ(read->metadata[3].name, "dc:Date");
    EXPECT_EQ(std::string(read->uniqueIdentifier).size(), 10u);
    const char* ids[] = {"cover", "toc", "ContentFile_1", "biography"};
    const char* hrefs[] = {"page_cover.htm", "page_TOC.htm", "page_1.htm", "page_bio.htm"};
    ASSERT_EQ(read->manifestCount, 4);
    ASSERT_EQ(read->spineCount, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(read->manifest[i].id, ids[i]);
        EXPECT_STREQ(read->manifest[i].href, hrefs[i]);
        EXPECT_STREQ(read->manifest[i].mediaType, "text/oeb-document");
        EXPECT_STREQ(read->spine[i].idref, ids[i]);
    }
    ASSERT_EQ(read->guideCount, 2);
    EXPECT_STREQ(read->guide[0].type, "toc");
    EXPECT_STREQ(read->guide[0].href, "page_TOC.htm");
    EXPECT_STREQ(read->guide[1].type, "biography");
}

TEST_F(HtmlImportTest, RightsNeedTheFlag) {
    copyText(job->rightsText, "(c) me");
    ASSERT_EQ(import("<body>x</body>", ""), ImportOutcome::done);
    EXPECT_EQ(body(), "x");
    EXPECT_FALSE(tmp.exists("page_bio.htm"));
    EXPECT_EQ(tmp.read("page_TOC.htm").find("Copyright"), std::string::npos);
}

}  // namespace
