#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "model/TagScanner.h"
#include "tests/support/TempFolder.h"

namespace {

// Scans markup held in a scratch file, as every caller of the scanner does.
class TagScannerTest : public ::testing::Test {
protected:
    ~TagScannerTest() override { closeFile(file); }

    void load(const std::string& markup) {
        closeFile(file);
        tmp.write("page.htm", markup);
        file = openFile(tmp.file("page.htm").c_str(), OpenMode::read);
        ASSERT_NE(file, kInvalidFileHandle);
    }
    std::string attribute(const char* name) const {
        char value[kTagFieldSize];
        return scanner.getAttribute(name, value) ? std::string(value) : std::string("<missing>");
    }
    std::string rest() {
        std::string text;
        for (int c = readChar(file); c != -1; c = readChar(file)) text += static_cast<char>(c);
        return text;
    }

    TempFolder tmp;
    FileHandle file = kInvalidFileHandle;
    TagScanner scanner;
};

TEST_F(TagScannerTest, TheXmlDeclarationHasOneVersionAttributeAndTheQuestionMarkIsDropped) {
    load("<?xml version=\"1.0\"?>\r\n<package>");
    EXPECT_EQ(scanner.nextTag(file), 0);
    EXPECT_STREQ(scanner.tagName, "?XML");
    EXPECT_EQ(scanner.attrCount, 1);
    EXPECT_STREQ(scanner.attributes[0].attrName, "VERSION");
    EXPECT_EQ(attribute("version"), "1.0");
    EXPECT_STREQ(scanner.rawText, "<?xml version=\"1.0\"?>");
    EXPECT_EQ(rest(), "\r\n<package>");
}

TEST_F(TagScannerTest, ValuesInApostrophesBareAndDoubleQuotesLoseTheirQuotesAndTheSlashIsNoAttribute) {
    load("<item id='c1' href=ch1.htm media-type=\"text/html\"/>after");
    EXPECT_EQ(scanner.nextTag(file), 0);
    EXPECT_STREQ(scanner.tagName, "ITEM");
    EXPECT_EQ(scanner.attrCount, 3);
    EXPECT_EQ(attribute("ID"), "c1");
    EXPECT_EQ(attribute("href"), "ch1.htm");
    EXPECT_EQ(attribute("Media-Type"), "text/html");
    EXPECT_EQ(rest(), "after");
}

TEST_F(TagScannerTest, AValuelessAttributeIsFollowedByTheNextOne) {
    load("<td nowrap width=5>");
    scanner.nextTag(file);
    EXPECT_EQ(scanner.attrCount, 2);
    EXPECT_STREQ(scanner.attributes[0].attrName, "NOWRAP");
    EXPECT_EQ(attribute("nowrap"), "");
    EXPECT_EQ(attribute("width"), "5");
}

TEST_F(TagScannerTest, AValueInApostrophesEndsAtADoubleQuote) {
    load("<a title='say \"hi' x=1>");
    scanner.nextTag(file);
    EXPECT_EQ(attribute("title"), "say");
}

TEST_F(TagScannerTest, AnEmptyElementKeepsItsSlashInTheNameOrInABareValue) {
    load("<br/><img src=a.gif/>");
    EXPECT_NE(scanner.nextTag(file), -1);
    EXPECT_STREQ(scanner.tagName, "BR/");
    EXPECT_STREQ(scanner.rawText, "<BR/>");
    scanner.nextTag(file);
    EXPECT_EQ(attribute("src"), "a.gif/");
}

TEST_F(TagScannerTest, RawTextOfATagWithoutAttributesIsInCapitalsOtherwiseAsWritten) {
    load("</p><p align=\"center\">");
    EXPECT_EQ(scanner.nextTag(file), 0);  // the position of its "<"
    EXPECT_STREQ(scanner.rawText, "</P>");
    EXPECT_EQ(scanner.nextTag(file), 0);
    EXPECT_STREQ(scanner.rawText, "<p align=\"center\">");
}

TEST_F(TagScannerTest, ATagWithoutAttributesReturnsThePositionOfItsBracket) {
    load("some text <b>bold</b>");
    EXPECT_EQ(scanner.nextTag(file), 10);
    EXPECT_EQ(rest(), "bold</b>");
}

TEST_F(TagScannerTest, LineBreaksBetweenAttributesBecomePartOfTheNames) {
    load("<item\r\nid=\"a\"\nhref=\"b\">");
    scanner.nextTag(file);
    // The carriage return ends the name and its line feed is dropped.
    EXPECT_STREQ(scanner.tagName, "ITEM");
    EXPECT_EQ(attribute("id"), "a");
    EXPECT_EQ(attribute("href"), "<missing>");
    EXPECT_STREQ(scanner.attributes[1].attrName, "\nHREF");
}

TEST_F(TagScannerTest, OnlyNineAttributesCanBeLookedUpAndLaterOnesShareTheLastSlot) {
    load("<t a1=1 a2=2 a3=3 a4=4 a5=5 a6=6 a7=7 a8=8 a9=9 a10=10 a11=11>");
    scanner.nextTag(file);
    EXPECT_EQ(scanner.attrCount, 9);
    EXPECT_EQ(attribute("a9"), "9");
    EXPECT_EQ(attribute("a10"), "<missing>");
    EXPECT_EQ(attribute("a11"), "<missing>");
}

TEST_F(TagScannerTest, AGreaterThanInsideAQuotedValueEndsRawTextAndThePosition) {
    load("<a title=\"x>y\">z");
    EXPECT_EQ(scanner.nextTag(file), 0);
    EXPECT_EQ(attribute("title"), "x>y");
    EXPECT_STREQ(scanner.rawText, "<a title=\"x>");
    EXPECT_EQ(rest(), "y\">z");
}

TEST_F(TagScannerTest, ACommentRunsToTheFirstHyphenBracketAndKeepsItsTextAsName) {
    load("<!-- a -> b -->rest");
    EXPECT_EQ(scanner.nextTag(file), 7);
    EXPECT_STREQ(scanner.tagName, "!-- A -");
    EXPECT_STREQ(scanner.rawText, "<!-- a ->");
    EXPECT_EQ(rest(), " b -->rest");
}

TEST_F(TagScannerTest, ALongCommentKeepsItsFirst255Bytes) {
    std::string body = "!--" + std::string(400, 'x') + "--";
    load("<" + body + ">after");
    EXPECT_EQ(scanner.nextTag(file), 255);
    EXPECT_EQ(std::string(scanner.tagName), "!--" + std::string(252, 'X'));
    EXPECT_EQ(std::string(scanner.rawText), "<!--" + std::string(252, 'x') + ">");
    EXPECT_EQ(rest(), "after");
}

TEST_F(TagScannerTest, TheEndOfTheFileInsideANameOrCommentGivesMinusOne) {
    load("text only");
    EXPECT_EQ(scanner.nextTag(file), -1);
    load("<unfinished");
    EXPECT_EQ(scanner.nextTag(file), -1);
    load("<!-- never closed");
    EXPECT_EQ(scanner.nextTag(file), -1);
    load("<");
    EXPECT_EQ(scanner.nextTag(file), -1);
}

TEST_F(TagScannerTest, AByte255IsAnOrdinaryByte) {
    load(std::string("a\xff<b\xff>"));
    EXPECT_NE(scanner.nextTag(file), -1);
    EXPECT_STREQ(scanner.tagName, "B\xff");
}

TEST_F(TagScannerTest, AValueOf255BytesFailsTheAttributeAndKeepsTheTagBytesReadSoFar) {
    std::string tag = "<a name=x href=\"" + std::string(300, 'v') + "\" id=y>";
    load(tag + "tail");
    EXPECT_EQ(scanner.nextTag(file), 0);
    EXPECT_STREQ(scanner.tagName, "A");
    EXPECT_EQ(scanner.attrCount, 1);
    EXPECT_EQ(attribute("name"), "x");
    // rawText and the bytes behind the position together give the input back.
    EXPECT_EQ(std::string(scanner.rawText) + rest(), tag + "tail");
}

TEST_F(TagScannerTest, AValueOf254BytesStillReads) {
    load("<a href=\"" + std::string(254, 'v') + "\">");
    scanner.nextTag(file);
    EXPECT_EQ(attribute("href"), std::string(254, 'v'));
}

TEST_F(TagScannerTest, ATagLongerThanTheRawTextRoomGivesMinusOne) {
    load("<a " + std::string(6000, 'b') + ">");
    EXPECT_EQ(scanner.nextTag(file), -1);
    // 5,120 tag bytes and the ">" still fit; one more does not.
    load("<a x=1" + std::string(5114, ' ') + ">");
    EXPECT_EQ(scanner.nextTag(file), 0);
    EXPECT_EQ(std::string(scanner.rawText).size(), 5121u);
    load("<a x=1" + std::string(5115, ' ') + ">");
    EXPECT_EQ(scanner.nextTag(file), -1);
}

TEST_F(TagScannerTest, LongNamesAreCutToTheirFieldsWithoutOverrun) {
    load("<" + std::string(600, 'n') + " " + std::string(600, 'a') + "=1>");
    EXPECT_EQ(scanner.nextTag(file), 0);
    EXPECT_EQ(std::string(scanner.tagName).size(), 255u);
    EXPECT_EQ(std::string(scanner.attributes[0].attrName).size(), 255u);
}

TEST_F(TagScannerTest, TrailingBlanksOfAValueAreRemoved) {
    load("<a title=\"two words  \" x = 'y' >");
    scanner.nextTag(file);
    EXPECT_EQ(attribute("title"), "two words");
    EXPECT_EQ(attribute("x"), "y");
}

TEST_F(TagScannerTest, LeadingBlanksBehindTheBracketArePassedOver) {
    load("<  b>");
    scanner.nextTag(file);
    EXPECT_STREQ(scanner.tagName, "B");
}

TEST_F(TagScannerTest, AFreshScannerIsEmptyAndALookupClearsItsOutput) {
    TagScanner fresh;
    EXPECT_STREQ(fresh.tagName, "");
    EXPECT_STREQ(fresh.rawText, "");
    EXPECT_EQ(fresh.attrCount, 0);
    char out[kTagFieldSize] = "stale";
    EXPECT_FALSE(fresh.getAttribute("id", out));
    EXPECT_STREQ(out, "");
}

class CharacterReaderTest : public TagScannerTest {};

TEST_F(CharacterReaderTest, UnreadStepsBackOntoTheByteBefore) {
    load("abc");
    EXPECT_EQ(readChar(file), 'a');
    EXPECT_EQ(readChar(file), 'b');
    EXPECT_EQ(unreadChar(file), 'b');
    EXPECT_EQ(readChar(file), 'b');
    setFilePosition(file, 0);
    EXPECT_EQ(unreadChar(file), -1);
}

TEST_F(CharacterReaderTest, SkippingReadsPassOverRunsInBothDirections) {
    load("xx   y");
    EXPECT_EQ(readChar(file), 'x');
    EXPECT_EQ(readCharSkipping(file, 'x'), ' ');
    EXPECT_EQ(readCharSkipping(file, ' '), 'y');
    EXPECT_EQ(readCharSkipping(file, 'y'), -1);
    setFilePosition(file, 5);
    EXPECT_EQ(unreadCharSkipping(file, ' '), 'x');
    EXPECT_EQ(getFilePosition(file), 1u);
}

TEST_F(CharacterReaderTest, ReadUntilDropsLineEndsAndLeavesTheDelimiterUnread) {
    load("one\r\ntwo<rest");
    char out[256];
    EXPECT_EQ(readUntil(file, out, '<'), 1);
    EXPECT_STREQ(out, "onetwo");
    EXPECT_EQ(readChar(file), '<');
    char untouched[256];
    std::fill(std::begin(untouched), std::end(untouched), 'z');
    EXPECT_EQ(readUntil(file, untouched, '<'), 0);
    // The end of the file came first: the text is there, unterminated.
    EXPECT_EQ(std::string(untouched, 5), "restz");
}

TEST_F(CharacterReaderTest, ReadUntilCutsTextBeyondItsRoom) {
    load(std::string(2000, 'm') + "<");
    char out[256];
    EXPECT_EQ(readUntil(file, out, '<'), 1);
    EXPECT_EQ(std::string(out), std::string(255, 'm'));
    EXPECT_EQ(readChar(file), '<');
}

TEST_F(CharacterReaderTest, TextUntilATagLeavesOutOtherTagsAndLineEnds) {
    load("Chapter <b>One</b>\r\n Begins</h1 ></H1>after");
    char out[256];
    EXPECT_EQ(readTextUntilTag(file, "/h1", out), 1);
    EXPECT_STREQ(out, "Chapter One Begins");
    EXPECT_EQ(rest(), "after");
}

TEST_F(CharacterReaderTest, TextUntilATagFailsAtTheEndOfTheFileOrOnA256thByte) {
    load("no end tag <b>");
    char out[256];
    EXPECT_EQ(readTextUntilTag(file, "/h1", out), 0);
    load(std::string(255, 't') + "</h1>");
    EXPECT_EQ(readTextUntilTag(file, "/h1", out), 1);
    EXPECT_EQ(std::string(out).size(), 255u);
    load(std::string(255, 't') + "\n</h1>");
    EXPECT_EQ(readTextUntilTag(file, "/h1", out), 0);
}

}  // namespace
