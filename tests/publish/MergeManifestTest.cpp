#include <gtest/gtest.h>

#include <string>

#include "MergeTestSupport.h"
#include "model/CommandLinePath.h"
#include "model/Files.h"
#include "publish/BuildContext.h"

namespace {

const std::string kHead = "<HTML><HEAD><metadata>\r\n<dc:Title>Tale</dc:Title>\r\n</metadata>\r\n";

class MergeManifestTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::unique_ptr<Publication> pub = publicationIn(tmp);
    std::unique_ptr<BuildContext> context;

    void SetUp() override { pub->addMetadata("dc:Title", "Tale"); }

    bool merge(BuildReporter* reporter = nullptr) {
        context = std::make_unique<BuildContext>(pub.get());
        if (reporter != nullptr) context->reporter = reporter;
        return context->mergeManifest();
    }
    std::string merged() { return readWholeFile(context->intermediatePath); }
};

TEST_F(MergeManifestTest, WritesTheHeadTheBodiesAndTheMetadataPageWithResolvedLinks) {
    pub->addGuideReference("Start", "ch1.htm", "text");
    addDocument(*pub, "ch1", "ch1.htm");
    addDocument(*pub, "ch2", "ch2.htm");
    addDocument(*pub, "pic", "pics/cover.gif", "image/gif");
    tmp.makeFolder("pics");
    tmp.write("pics\\cover.gif", tinyGif());
    tmp.write("ch1.htm",
              "<html><head><title>One</title></head><body bgcolor=white>\r\n"
              "<p>See <a href=\"ch2.htm#s1\">two</a>.</p><img src=\"pics/cover.gif\" width=5 alt=\"c\">"
              "<link href=\"style.css\">"
              "</body>not copied");
    tmp.write(
        "ch2.htm",
        "<BODY><h2> <a name=\"S1\">Two</a></h2><A HREF='#top' class=y>up</a><A NAME=top></A>"
        "<a href=\"http://example.org/\">web</a><img src=\"./pics/../pics/cover.gif\"><a href=ch1.htm>1</a>");
    RecordingReporter reporter;
    ASSERT_TRUE(merge(&reporter));

    // Offsets follow from the text itself: ten-character marks stand for the values.
    std::string guide =
        "<GUIDE>\r\n<reference type=\"text\" title=\"Start\" href=\"ch1.htm\" filepos=\"@1@@@@@@@@\">\r\n"
        "</GUIDE>\r\n<metadata href=\"xyz_metadata.htm\"  filepos=\"@4@@@@@@@@\">";
    std::string picture = std::string("<img src=\"BMP\" recindex=\"00001\">") + std::string(6, ' ');
    std::string ch1 = "\r\n<P>See <a href=\"ch2.htm#s1\" filepos=\"@2@@@@@@@@\">two</A>.</P>" + picture +
                      "<link href=\"style.css\">";
    std::string ch2 =
        "<H2> <a name=\"S1\">Two</A></H2><A HREF='#top' class=y filepos=\"@3@@@@@@@@\">up</A><A NAME=top></A>"
        "<a href=\"http://example.org/\" filepos=\"XXXXXXXXXX\">web</A>" +
        picture + "<a href=ch1.htm filepos=\"@1@@@@@@@@\">1</A>";
    std::string expected =
        kHead + guide + "</HEAD><BODY>" + ch1 + ch2 + mergedMetadataPage("Tale") + "</BODY></HTML>";
    size_t ch1Start = (kHead + guide + "</HEAD><BODY>").size();
    size_t ch2Start = ch1Start + ch1.size();
    size_t s1 = ch2Start;  // the anchor moves back onto the heading tag
    size_t top = ch2Start + ch2.find("</A><A NAME=top>");
    size_t metadataStart = ch2Start + ch2.size();
    auto fill = [&](const std::string& mark, size_t value) {
        for (size_t at = expected.find(mark); at != std::string::npos; at = expected.find(mark))
            expected.replace(at, mark.size(), tenDigits(value));
    };
    fill("@1@@@@@@@@", ch1Start);
    fill("@2@@@@@@@@", s1);
    fill("@3@@@@@@@@", top);
    fill("@4@@@@@@@@", metadataStart);
    EXPECT_EQ(merged(), expected);

    EXPECT_EQ(context->distinctImageCount, 1);
    ASSERT_EQ(context->imageCount, 2);
    EXPECT_TRUE(context->images[0].isNew);
    EXPECT_FALSE(context->images[1].isNew);
    EXPECT_EQ(context->images[1].recordIndex, 1);
    EXPECT_FALSE(tmp.exists("guide.htm"));
    EXPECT_FALSE(tmp.exists("xyz_metadata.htm"));
    // Progress goes by spine position.
    const std::vector<std::pair<int32_t, int32_t>> lines = {
        {IDS_BUILD_MERGING, -1}, {IDS_BUILD_MERGING, 1},          {IDS_BUILD_MERGING, 2},
        {IDS_BUILD_MERGING, 3},  {IDS_BUILD_RESOLVING_LINKS, -1}, {IDS_BUILD_WRITING_LINKS, -1}};
    EXPECT_EQ(reporter.statusLines, lines);
    EXPECT_EQ(reporter.progressRanges, std::vector<int32_t>{3});
    EXPECT_EQ(reporter.progressPositions, (std::vector<int32_t>{1, 1, 2, 3}));
}

TEST_F(MergeManifestTest, BodiesFollowInSpineOrderAndOnlyHtmlAndTextDocumentsCount) {
    addDocument(*pub, "c", "c.HTML");
    addDocument(*pub, "notes", "notes.txt", "text/plain");
    addDocument(*pub, "a", "a.htm");
    addDocument(*pub, "pic", "p.jpg", "image/jpeg");
    pub->addSpineItem("nothing");  // refers to no manifest item
    pub->resolveSpine();
    tmp.write("c.HTML", "<body>C</body>");
    tmp.write("notes.txt", "<p>raw <a href=\"a.htm\">text</a>\r\n");
    tmp.write("a.htm", "<body>A<a href=\"notes.txt\">n</a>");  // no closing BODY
    ASSERT_TRUE(merge());
    std::string text = merged();
    std::string bodies =
        "C<p>raw <a href=\"a.htm\">text</a>\r\nA<a href=\"notes.txt\" filepos=\"XXXXXXXXXX\">n</A>";
    EXPECT_NE(text.find("</HEAD><BODY>" + bodies + "<h1 align"), std::string::npos) << text;
}

TEST_F(MergeManifestTest, ADocumentWithoutBodyStopsTheMergeWithItsMessage) {
    addDocument(*pub, "plain", "plain.htm");
    tmp.write("plain.htm", "<html><p>no body here</p></html>");
    ASSERT_FALSE(merge());
    EXPECT_EQ(std::string(context->lastMessage),
              "The file " + programPathForDisplay(tmp.file("plain.htm").c_str()) +
                  ", referenced in the Manifest is not a valid OEB Document : no tag <BODY> found");
    EXPECT_EQ(context->intermediateFile, kInvalidFileHandle);
}

TEST_F(MergeManifestTest, EachBuildOfARunTakesTheNextIntermediateName) {
    ASSERT_TRUE(merge());
    int32_t first = intermediateFilesNamed();
    EXPECT_EQ(intermediateName(*context), "PRCtemp_" + std::to_string(first) + ".tmp");
    // In the build's own folder, which a later build removes if this one dies.
    EXPECT_EQ(std::string(context->intermediatePath), tmp.file("PRCbuild_1.tmp\\" + intermediateName(*context)));
    ASSERT_TRUE(merge());
    EXPECT_EQ(intermediateName(*context), "PRCtemp_" + std::to_string(first + 1) + ".tmp");
}

TEST_F(MergeManifestTest, UserFilesAndFoldersNamedLikeItsPagesAreKeptAndNotMerged) {
    tmp.makeFolder("guide.htm");
    tmp.write("xyz_metadata.htm", "<body>old page</body>");
    // A file left aside by an interrupted build is never replaced.
    tmp.write("xyz_metadata.htm.kept", "<body>earlier page</body>");
    ASSERT_TRUE(merge());
    std::string text = merged();
    EXPECT_EQ(text.find("old"), std::string::npos);
    EXPECT_NE(text.find("eBook Info"), std::string::npos);
    EXPECT_EQ(text.find("XXXXXXXXXX"), std::string::npos);
    EXPECT_TRUE(tmp.exists("guide.htm"));
    EXPECT_EQ(tmp.read("xyz_metadata.htm"), "<body>old page</body>");
    EXPECT_EQ(tmp.read("xyz_metadata.htm.kept"), "<body>earlier page</body>");
    EXPECT_STREQ(context->lastMessage, "");
}

TEST_F(MergeManifestTest, DocumentsDeclaredUtf8AreConvertedAndLinkedByTheirConvertedOffsets) {
    // "Caf\u00e9 \u2014 \u03a9" in UTF-8, a link behind it to an anchor behind it.
    const std::string body =
        "<body>Caf\xC3\xA9 \xE2\x80\x94 \xCE\xA9<a href=\"#e\" title=\"\xC3\xA9\">l</a>x<a "
        "name=\"e\">\xC3\xA9";
    const std::string converted = "Caf\xE9 \x97 &#937;<a href=\"#e\" title=\"\xE9\" filepos=\"";
    const std::string heads[] = {
        "\xEF\xBB\xBF<html>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><html>",
        "<head><meta charset=\"utf-8\">",
        "<head><META http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"};
    addDocument(*pub, "a", "a.htm");
    for (const std::string& head : heads) {
        tmp.write("a.htm", head + body);
        ASSERT_TRUE(merge());
        std::string text = merged();
        size_t start = text.find("Caf");
        ASSERT_EQ(text.substr(start, converted.size()), converted) << head;
        size_t anchor = text.find("<a name=\"e\">\xE9<");
        EXPECT_EQ(text.substr(start + converted.size(), 10), tenDigits(anchor)) << head;
    }
    // Without a declaration the bytes are copied as they are.
    tmp.write("a.htm", "<head><meta charset=\"iso-8859-1\"></head>" + body);
    ASSERT_TRUE(merge());
    EXPECT_NE(merged().find(body.substr(6, 30)), std::string::npos);
}

TEST_F(MergeManifestTest, WhatTheScannerCannotHoldLosesNoTextAndIsNamedByLine) {
    tmp.write("pic.gif", tinyGif());
    addDocument(*pub, "a", "a.htm");
    const std::string line = "Line 3 of " + programPathForDisplay(tmp.file("a.htm").c_str()) + ": ";
    const std::string far(6000, 'w');
    const struct {
        std::string body;
        std::string kept;
        std::string message;
    } cases[] = {
        // With no ">" after it a "<" can open no tag: it is shown as text.
        {"1 < 2 and x <y", "<BODY>1 &lt; 2 and x &lt;y<h1", ""},
        {"a <" + far + " end", "a &lt;" + far + " end<h1", ""},
        {"\r\n\n<" + far + "><i>b</i>", "\r\n\n<" + far + "><I>b</I>", line + "a \"<\" whose \">\""},
        // Whatever the tag's attributes, its link or picture is found.
        {"<a title=\"" + std::string(300, 't') + "\" href=\"#e\">x</a><a name=e>", "t\" href=\"#e\" filepos=\"00000",
         ""},
        {"<img a1=1 a2=2 a3=3 a4=4 a5=5 a6=6 a7=7 a8=8 a9=9 src=\"pic.gif\">", "<img src=\"BMP\" recindex=\"00001\">",
         ""},
        {"\n\n<a href=\"" + std::string(300, 'h') + "\">", "<a href=\"hhh",
         line + "the HREF value of a <A> tag is longer than 255 characters"},
    };
    for (const auto& c : cases) {
        tmp.write("a.htm", "<body>" + c.body);
        RecordingReporter reporter;
        context = std::make_unique<BuildContext>(pub.get());
        context->reporter = &reporter;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(context->mergeManifest());
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(merged().find(c.kept), std::string::npos) << c.kept.substr(0, 40);
        EXPECT_EQ(merged().find("XXXXX"), std::string::npos) << c.kept.substr(0, 40);
        EXPECT_EQ(err.find(c.message.empty() ? "Line " : c.message) == std::string::npos, c.message.empty()) << err;
    }
}

}  // namespace
