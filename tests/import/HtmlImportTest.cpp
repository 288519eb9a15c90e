#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "import/ImportJob.h"
#include "import/ImportRun.h"
#include "model/Files.h"
#include "model/Publication.h"
#include "model/Text.h"
#include "tests/model/PublicationText.h"
#include "tests/support/SpecialFiles.h"
#include "tests/support/TempFolder.h"

namespace {

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
        return runImport(*job);
    }

    // After "[1252]" when the head declares that charset.
    std::string body() {
        std::string content = tmp.read("page_1.htm");
        size_t start = content.find("</head>\n<body>") + 14;
        std::string declared = content.find("charset=windows-1252") < start ? "[1252]" : "";
        return declared + content.substr(start, content.size() - start - kContentTail.size());
    }
};

TEST_F(HtmlImportTest, TheBodyIsCopiedAsTheTableSays) {
    const std::string longText(300, 'x');
    struct Case {
        std::string html;
        const char* tags;
        std::string body;
    } const table[] = {
        // Headings of the list become level-one anchors; those in the head are passed over.
        {"<html><head><h1>Head</h1></head><body>a<h2>Intro</h2>b<H1>Part <b>One</b></H1>c</body>x", "H1,H2",
         "a\r\n<H1><a name=\"Chap.1\"></A>Intro</H1>\r\nb\r\n<H1><a name=\"Chap.2\"></A>Part One</H1>\r\nc"},
        // A heading matches by its name, whatever its attributes and blanks; other names are text.
        {"<body><h2 class=\"x>\">A</h2><h2\n title='t'\r\n>B</h2\n><h2x>C</h2x>< / body >z</body>after", "h2",
         "\r\n<H1><a name=\"Chap.1\"></A>A</H1>\r\n\r\n<H1><a name=\"Chap.2\"></A>B</H1>\r\n"
         "<h2x>C</h2x>< / body >z"},
        // The body's end tag ends in either case, but not with a blank before the bracket.
        {"<body bgcolor=\"white\">a</body >b< /BoDy>c", "", "a</body >b"},
        {"<BODY>a</BODY>b", "", "a"},
        // A body tag with a long attribute starts the body behind it; a
        // value left open in the head does not hide the body.
        {"<html><body onload=\"" + longText + "\" class=a>text</body>", "", "text"},
        {"<html><head><meta content=\"x></head><body>text</body>", "", "text"},
        // A heading too long to read whole stays as written; an end tag of
        // another heading tag does not close one.
        {"<body><h1>" + longText + "</h1><h1>a</h2>b</h1 >", "h1,h2",
         "<h1>" + longText + "</h1>\r\n<H1><a name=\"Chap.1\"></A>ab</H1>\r\n"},
        // Long tag text is plain; the end of the source keeps its text.
        {"<body><abcdefghijklmnopqrstuv>x<h1>never closed", "h1",
         "<abcdefghijklmnopqrstuv>x<h1>never closed"},
        {"<body><ABCDEFGHI>t</ABCDEFGHI></BODY>", "ABCDEFGHI", "\r\n<H1><a name=\"Chap.1\"></A>t</H1>\r\n"},
        // A UTF-8 source (a byte-order mark, a charset in either form) is converted and declared.
        {"\xEF\xBB\xBF<body>Caf\xC3\xA9<h1>\xCE\xA9</h1>", "h1",
         "[1252]Caf\xE9\r\n<H1><a name=\"Chap.1\"></A>&#937;</H1>\r\n"},
        {"<head><meta charset=\"utf-8\"></head><body>\xE2\x80\x94", "", "[1252]\x97"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><body>\xC3", "",
         "[1252]\xC3"},
        // The author's anchors in a heading stay beside the generated one.
        {"<body><h1 id=\"top\">A <a name=p\"2 id=p3>B</a></h1>", "h1",
         "\r\n<H1><a name=\"Chap.1\"></A><a name=\"top\"></a><a name=\"p&quot;2\"></a><a name=\"p3\"></a>A "
         "B</H1>\r\n"},
        // Links to the source itself lead into the content file now.
        {"<body><a href=\"page.htm#p2\">x</a><A class=l HREF = './PAGE.htm'>y</A><a href=\"other.htm#p\">z</a>", "",
         "<a href=\"page_1.htm#p2\">x</a><A class=l HREF = 'page_1.htm'>y</A><a href=\"other.htm#p\">z</a>"},
    };
    for (const Case& c : table) {
        job->reset();
        ASSERT_EQ(import(c.html, c.tags), ImportOutcome::done) << c.html;
        EXPECT_EQ(body(), c.body) << c.html;
    }
}

TEST_F(HtmlImportTest, PicturesInsideTheSourceFolderAreCopiedAndListed) {
    tmp.makeFolder("pics");
    tmp.makeFolder("book");
    tmp.write("pics\\a.gif", "GIF89a");
    tmp.write("b c.png", "png");
    tmp.write("outside.gif", "GIF89a");
    TempFolder elsewhere;
    elsewhere.write("secret.gif", "SECRET");
    bool linked = makeSymlink(elsewhere.file("secret.gif"), tmp.file("link.gif"));
    setDestinationFolder(*job, tmp.file("book").c_str());
    job->sourceKind = SourceKind::html;
    copyText(job->bookTitle, "T");
    tmp.write("page.htm",
              "<body><img src=\"pics/a.gif\"><img alt=x src='b%20c.png'><img src=\"./pics/../pics/a.gif\">"
              "<img src=\"link.gif\"><img src=\"../x.gif\"><img src=\"/outside.gif\"><img src=\"missing.gif\"><img "
              "src=\"http://h/outside.gif\">");
    setSourcePath(*job, tmp.file("page.htm").c_str());
    ASSERT_EQ(runImport(*job), ImportOutcome::done) << job->lastError;
    EXPECT_EQ(tmp.read("book\\pics\\a.gif"), "GIF89a");
    EXPECT_EQ(tmp.read("book\\b c.png"), "png");
    auto read = std::make_unique<Publication>();
    ASSERT_TRUE(read->open(tmp.file("book\\page.opf").c_str()));
    ASSERT_EQ(read->manifestCount, 5);
    EXPECT_STREQ(read->manifest[3].href, "pics/a.gif");
    EXPECT_STREQ(read->manifest[3].mediaType, "image/gif");
    EXPECT_STREQ(read->manifest[4].mediaType, "image/png");
    EXPECT_EQ(read->spineCount, 3);
    // Another file of a picture's name stops the import unless it may be replaced.
    tmp.makeFolder("again");
    tmp.makeFolder("again\\pics");
    tmp.write("again\\pics\\a.gif", "the user's own");
    setDestinationFolder(*job, tmp.file("again").c_str());
    ASSERT_EQ(runImport(*job), ImportOutcome::failed);
    EXPECT_NE(std::string(job->lastError).find("a.gif"), std::string::npos) << job->lastError;
    EXPECT_EQ(tmp.read("again\\pics\\a.gif"), "the user's own");
    EXPECT_FALSE(tmp.exists("again\\page*"));
    // Replacing takes the name's place: a link standing there is replaced, not written through.
    if (linked) {
        ASSERT_TRUE(deleteFile(tmp.file("again\\pics\\a.gif").c_str()));
        ASSERT_TRUE(makeSymlink(elsewhere.file("secret.gif"), tmp.file("again\\pics\\a.gif")));
        job->replaceExisting = true;
        ASSERT_EQ(runImport(*job), ImportOutcome::done) << job->lastError;
        EXPECT_EQ(tmp.read("again\\pics\\a.gif"), "GIF89a");
        EXPECT_EQ(elsewhere.read("secret.gif"), "SECRET");
    }
}

TEST_F(HtmlImportTest, RightsAndBiographyAreAddedOnlyWhenAsked) {
    copyText(job->rightsText, "(c) me");
    copyText(job->authorName, "Ann");
    ASSERT_EQ(import("<body>x</body>", ""), ImportOutcome::done);
    EXPECT_EQ(body(), "x");
    EXPECT_FALSE(tmp.exists("page_bio.htm"));
    EXPECT_EQ(tmp.read("page_TOC.htm").find("Copyright"), std::string::npos);

    job->addBiography = 1;
    job->addRights = 1;
    ASSERT_EQ(import("<body>x</body>", ""), ImportOutcome::done);
    EXPECT_EQ(body(), "x\r\n<H1><a name=\"BookLicense\"></A>Copyright</H1>\r\n(c) me");
    EXPECT_NE(tmp.read("page_bio.htm").find("Biography"), std::string::npos);
    EXPECT_NE(tmp.read("page_TOC.htm")
                  .find("<a href=\"page_1.htm#BookLicense\">Copyright</a><br>\r\n"
                        "</blockquote><br>\n<a href=\"page_bio.htm\">Biography</a>"),
              std::string::npos);
    auto read = std::make_unique<Publication>();
    ASSERT_TRUE(read->open(tmp.file("page.opf").c_str()));
    // The text import's listing (its own test), with the rights and the
    // biography page last.
    std::string listed = describe(*read);
    EXPECT_NE(listed.find(" M:dc:Creator=Ann M:dc:Title=T M:dc:Rights=(c) me M:dc:Date="), std::string::npos);
    EXPECT_EQ(
        listed.substr(listed.find(" I:biography")),
        " I:biography,page_bio.htm,text/x-oeb1-document S:cover>0 S:toc>1 S:ContentFile_1>2 S:biography>3 "
        "G:toc,Table Of Contents,page_TOC.htm G:biography,Biography,page_bio.htm");
}

}  // namespace
