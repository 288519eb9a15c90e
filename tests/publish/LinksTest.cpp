#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MergeTestSupport.h"
#include "model/Files.h"
#include "model/TagScanner.h"
#include "publish/BuildContext.h"

namespace {

// A context with an open intermediate file that already holds some text,
// and tags offered to it one at a time as the merge would.
class LinksTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::unique_ptr<Publication> pub = publicationIn(tmp);
    std::unique_ptr<BuildContext> context = std::make_unique<BuildContext>(pub.get());
    std::string document = tmp.file("ch1.htm");

    void SetUp() override {
        copyText(context->intermediatePath, tmp.file("merged.tmp").c_str());
        context->intermediateFile = openFile(context->intermediatePath, OpenMode::readWrite);
        ASSERT_NE(context->intermediateFile, kInvalidFileHandle);
    }

    void text(const std::string& bytes) { context->emit(bytes.c_str()); }

    // Offers the tag; when the merge would copy it itself, does so.
    bool offer(const std::string& tagText) {
        tmp.write("tag.htm", tagText);
        FileHandle file = openFile(tmp.file("tag.htm").c_str(), OpenMode::read);
        TagScanner scanner;
        EXPECT_NE(scanner.nextTag(file), -1);
        closeFile(file);
        bool taken = context->processTag(scanner, document.c_str());
        if (!taken) text(scanner.rawText);
        return taken;
    }

    std::string finish() {
        context->matchLinks();
        context->writeLinks();
        closeFile(context->intermediateFile);
        context->intermediateFile = kInvalidFileHandle;
        return tmp.read("merged.tmp");
    }
};

TEST_F(LinksTest, AnchorsBehindShortTagsPointAtTheTag) {
    text("<p>");
    EXPECT_TRUE(offer("<a name=\"close\">"));
    text("</a><p id=\"x\">  ");
    EXPECT_TRUE(offer("<A NAME=spaced>"));
    text("<p class=\"long one\">");
    EXPECT_TRUE(offer("<a name=far>"));
    text("words ");
    EXPECT_TRUE(offer("<a name=plain>"));
    ASSERT_EQ(context->anchorCount, 4);
    std::string written = finish();
    const size_t expected[] = {0, written.find("<p id=\"x\">"), written.find("<a name=far>"),
                               written.find("<a name=plain>")};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(context->anchors[i].position, int32_t(expected[i])) << i;
}

TEST_F(LinksTest, ALinkTakesTheFirstAnchorOfItsSpellingElseTheFirstInAnyCase) {
    // Anchors named in order, then the link's address: the anchor it lands on.
    const struct {
        std::vector<const char*> names;
        const char* href;
        int anchor;  // -1: unresolved
    } cases[] = {
        {{"Notes", "notes"}, "CH1.HTM#notes", 1},
        {{"intro", "Intro"}, "#Intro", 1},
        {{"Notes", "notes"}, "#NOTES", 0},
        {{"a", "a"}, "#a", 0},
        {{"n"}, "missing.htm#n", -1},
    };
    for (const auto& c : cases) {
        context->anchorCount = context->linkCount = 0;
        for (const char* name : c.names) {
            offer("<a name=\"" + std::string(name) + "\">");
            text("..");
        }
        offer("<a href=\"" + std::string(c.href) + "\">");
        context->matchLinks();
        ASSERT_EQ(context->linkCount, 1);
        EXPECT_EQ(context->links[0].anchor, c.anchor < 0 ? nullptr : &context->anchors[c.anchor]) << c.href;
    }
}

TEST_F(LinksTest, TagsWithAnIdAreAnchorsAtTheirOwnTag) {
    text("<p>");
    EXPECT_FALSE(offer("<h2 class=\"t\" id=\"Intro\">"));
    EXPECT_TRUE(offer("<a href=\"#back\" id=\"back\">"));
    text("<p>");
    // A name on the same tag wins over the id.
    EXPECT_TRUE(offer("<a id=\"n\" name=\"n\">"));
    EXPECT_TRUE(offer("<a href=\"#intro\">"));
    EXPECT_TRUE(offer("<a href=\"#n\">"));
    std::string written = finish();
    const std::string h2 = "<p><h2 class=\"t\" id=\"Intro\">", back = "<a href=\"#back\" id=\"back\"";
    EXPECT_EQ(written, h2 + back + " filepos=\"" + tenDigits(h2.size()) + "\"><p><a id=\"n\" name=\"n\">" +
                           "<a href=\"#intro\" filepos=\"0000000003\">" + "<a href=\"#n\" filepos=\"" +
                           tenDigits(written.rfind("<p>")) + "\">");
}

TEST_F(LinksTest, PicturesKeepTheirTagLengthAndRepeatsShareARecord) {
    tmp.makeFolder("pics");
    tmp.write("pics\\cover.gif", tinyGif());
    tmp.write("pics\\a.gif", tinyGif());
    tmp.write("pics\\photo.jpg", "jpeg");
    EXPECT_TRUE(offer("<IMG SRC=\"pics/cover.gif\" width=\"40\" alt=\"The cover\">"));
    EXPECT_TRUE(offer("<img src=\"pics\\photo.jpg\">"));
    EXPECT_TRUE(offer("<img src=\"pics/a.gif\">"));
    EXPECT_TRUE(offer("<img src=\"pics/*.gif\">"));
    EXPECT_TRUE(offer("<img src=\"missing.gif\">"));
    EXPECT_TRUE(offer("<img src=\"C:/elsewhere/../" + std::string("x/../") + "cover.gif\">"));
    EXPECT_TRUE(offer("<img src=\"./pics/../pics/cover.gif\">"));
    // A GIF that cannot be decoded is left out like any other, each time.
    tmp.write("pics\\bad.gif", "GIF89a");
    EXPECT_TRUE(offer("<img src=\"pics/bad.gif\">"));
    EXPECT_TRUE(offer("<img src=\"pics/bad.gif\">"));
    EXPECT_EQ(context->picturesLeftOut, 7);
    EXPECT_EQ(finish(),
              "<img src=\"BMP\" recindex=\"00001\">      "
              "<img src=\"photo.jpg\" recindex=\"XXXXX\">"
              "<img src=\"a.gif\" recindex=\"XXXXX\">"
              "<img src=\"*.gif\" recindex=\"XXXXX\">"
              "<img src=\"missing.gif\" recindex=\"XXXXX\">"
              "<img src=\"cover.gif\" recindex=\"XXXXX\">"
              "<img src=\"BMP\" recindex=\"00001\">      "
              "<img src=\"bad.gif\" recindex=\"XXXXX\"><img src=\"bad.gif\" recindex=\"XXXXX\">");
    EXPECT_EQ(std::string(context->images[0].path), tmp.file("pics\\cover.gif"));
}

TEST_F(LinksTest, TablesHoldTwentyThousandEachAndReportWhatIsLeftOut) {
    RecordingReporter reporter;
    context->reporter = &reporter;
    tmp.write("pp.gif", tinyGif());
    std::string body = "<body>";
    for (int i = 0; i < kBuildTableLimit + 5; ++i) body += "<a href=\"#n" + std::to_string(i) + "\">";
    for (int i = 0; i < kBuildTableLimit + 5; ++i) body += "<a name=\"n" + std::to_string(i) + "\">";
    for (int i = 0; i < kBuildTableLimit + 5; ++i) body += "<img src=\"pp.gif\">";
    tmp.write("ch1.htm", body);
    ASSERT_TRUE(context->mergeDocument(document.c_str()));
    // The body's own anchor is the first, so the name n19999 is one too many.
    EXPECT_EQ(context->linkCount, kBuildTableLimit);
    EXPECT_EQ(context->anchorCount, kBuildTableLimit);
    EXPECT_EQ(context->imageCount, kBuildTableLimit);
    EXPECT_EQ(context->distinctImageCount, 1);
    std::string written = finish();
    // Beyond the tables tags are copied as they stand; every held link resolves.
    EXPECT_NE(written.find("<a href=\"#n20004\"><a name=\"n0\">"), std::string::npos);
    EXPECT_NE(written.find("<a name=\"n19999\"><a name=\"n20000\">"), std::string::npos);
    EXPECT_NE(written.find("<img src=\"pp.gif\" recindex=\"XXXXX\">"), std::string::npos);
    EXPECT_EQ(written.find("filepos=\"XXXXXXXXXX\""), written.find("<a href=\"#n19999\"") + 18);
    EXPECT_EQ(written.rfind("filepos=\"XXXXXXXXXX\""), written.find("filepos=\"XXXXXXXXXX\""));
    EXPECT_NE(written.find("#n19998\" filepos=\"" + tenDigits(written.find("<a name=\"n19998\"")) + "\""),
              std::string::npos);
    EXPECT_EQ(reporter.messages.size(), size_t(3));
}

}  // namespace
