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
        char value[kFieldSize];
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

// One tag scanned from the markup; nullptr and -2 leave a field unchecked.
// The attributes are "name=value" pairs apart by "|".
struct ScanCase {
    std::string markup;
    int position;
    const char* tagName;
    const char* rawText;
    int attrCount;
    std::string attributes;
    const char* rest;
};

TEST_F(TagScannerTest, ReadsOneTagAsTheTableSays) {
    const ScanCase cases[] = {
        // The question mark of the declaration is dropped.
        {"<?xml version=\"1.0\"?>\r\n<p>", 0, "?XML", "<?xml version=\"1.0\"?>", 1, "version=1.0", "\r\n<p>"},
        // Apostrophes, bare values and double quotes; the slash is no attribute.
        {"<item id='c1' href=ch1.htm media-type=\"text/html\"/>after", 0, "ITEM", nullptr, 3,
         "ID=c1|href=ch1.htm|Media-Type=text/html", "after"},
        {"<td nowrap width=5>", 0, nullptr, nullptr, 2, "nowrap=|width=5", nullptr},
        {"<a title='say \"hi' x=1>", 0, nullptr, nullptr, -2, "title=say", nullptr},
        // An empty element keeps its slash in the name or in a bare value.
        {"<br/>", 0, "BR/", "<BR/>", 0, "", nullptr},
        {"<img src=a.gif/>", 0, nullptr, nullptr, -2, "src=a.gif/", nullptr},
        // Raw text without attributes is in capitals, otherwise as written.
        {"</p>", 0, nullptr, "</P>", 0, "", nullptr},
        {"<p align=\"center\">", 0, nullptr, "<p align=\"center\">", 1, "", nullptr},
        {"some text <b>bold</b>", 10, "B", nullptr, 0, "", "bold</b>"},
        // Blanks, tabs and line ends all separate the name and the attributes.
        {"<item\r\n\tid=\"a\"\nhref\t=\r\nb\ttype=c\r\n/>", 0, "ITEM", nullptr, 3, "id=a|href=b|type=c",
         nullptr},
        {"<a\thref='x'>", 0, "A", nullptr, 1, "href=x", nullptr},
        // Every attribute is seen, however many the tag has.
        {"<t a1=1 a2=2 a3=3 a4=4 a5=5 a6=6 a7=7 a8=8 a9=9 a10=10 a11=11>", 0, nullptr, nullptr, 11,
         "a9=9|a10=10|a11=11", nullptr},
        // A ">" inside a quoted value ends the raw text and the position.
        {"<a title=\"x>y\">z", 0, nullptr, "<a title=\"x>", -2, "title=x>y", "y\">z"},
        // A value never closed is no value; the tag still ends at its ">".
        {"<a href=x title=\"y>and the rest", 0, nullptr, "<a href=x title=\"y>", 1, "href=x|title=<missing>",
         "and the rest"},
        // A comment runs to the first "->" and keeps its text as the name.
        {"<!-- a -> b -->rest", 7, "!-- A -", "<!-- a ->", -2, "", " b -->rest"},
        {std::string("a\xff<b\xff>"), 2, "B\xff", nullptr, -2, "", nullptr},
        // A NUL cannot end a name early and make it another's.
        {std::string("</body\0x>", 9), 0, "/BODY\x7FX", nullptr, 0, "", nullptr},
        {"<a href=\"" + std::string(254, 'v') + "\">", 0, nullptr, nullptr, 1,
         "href=" + std::string(254, 'v'), nullptr},
        {"<a title=\"two words  \" x = 'y' >", 0, nullptr, nullptr, 2, "title=two words|x=y", nullptr},
        {"<  b>", 0, "B", nullptr, 0, "", nullptr},
        // The end of the file inside a name or a comment.
        {"text only", -1, nullptr, nullptr, -2, "", nullptr},
        {"<unfinished", -1, nullptr, nullptr, -2, "", nullptr},
        {"<!-- never closed", -1, nullptr, nullptr, -2, "", nullptr},
        {"<", -1, nullptr, nullptr, -2, "", nullptr},
        // 5,120 tag bytes and the ">" fit the raw text; one more does not.
        {"<a " + std::string(6000, 'b') + ">", -1, nullptr, nullptr, -2, "", nullptr},
        {"<a x=1" + std::string(5115, ' ') + ">", -1, nullptr, nullptr, -2, "", nullptr},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.markup.substr(0, 60));
        load(c.markup);
        EXPECT_EQ(scanner.nextTag(file), c.position);
        if (c.tagName) {
            EXPECT_STREQ(scanner.tagName, c.tagName);
        }
        if (c.rawText) {
            EXPECT_STREQ(scanner.rawText, c.rawText);
        }
        if (c.attrCount != -2) {
            EXPECT_EQ(scanner.attrCount, c.attrCount);
        }
        for (size_t at = 0; at < c.attributes.size();) {
            size_t end = std::min(c.attributes.find('|', at), c.attributes.size());
            std::string pair = c.attributes.substr(at, end - at);
            std::string name = pair.substr(0, pair.find('='));
            EXPECT_EQ(attribute(name.c_str()), pair.substr(name.size() + 1)) << name;
            at = end + 1;
        }
        if (c.rest) {
            EXPECT_EQ(rest(), c.rest);
        }
    }
}

TEST_F(TagScannerTest, CutsLongNamesValuesAndCommentsToTheirFields) {
    load("<!--" + std::string(400, 'x') + "--" + ">");
    EXPECT_EQ(scanner.nextTag(file), 255);
    EXPECT_EQ(std::string(scanner.tagName), "!--" + std::string(252, 'X'));
    EXPECT_EQ(std::string(scanner.rawText), "<!--" + std::string(252, 'x') + ">");
    load("<" + std::string(600, 'n') + " " + std::string(600, 'a') + "=1>");
    EXPECT_EQ(scanner.nextTag(file), 0);
    EXPECT_EQ(std::string(scanner.tagName).size(), 255u);
    EXPECT_EQ(attribute(std::string(600, 'a').c_str()), "1");
    load("<a x=1" + std::string(5114, ' ') + ">");
    EXPECT_EQ(scanner.nextTag(file), 0);
    EXPECT_EQ(std::string(scanner.rawText).size(), 5121u);
    // A value of 255 bytes or more is kept whole, but not for a 256-byte field.
    std::string tag = "<a name=x href=\"" + std::string(300, 'v') + "\" id=y>";
    load(tag + "tail");
    EXPECT_EQ(scanner.nextTag(file), 0);
    EXPECT_EQ(scanner.attrCount, 3);
    EXPECT_EQ(attribute("href"), "<missing>");
    EXPECT_EQ(std::string(scanner.attributeValue("href")), std::string(300, 'v'));
    EXPECT_EQ(attribute("id"), "y");
    EXPECT_EQ(std::string(scanner.rawText) + rest(), tag + "tail");
}

// A "<" that opens no tag, read as the merge reads a document: the byte is
// text and the copy goes on behind it.
TEST_F(TagScannerTest, AStrayLessThanIsNoTagAndSaysWhy) {
    const struct {
        std::string markup;
        const char* seen;
    } cases[] = {
        {"a<b<c", "unclosed unclosed "},
        {"<p>x<y", "P unclosed "},
        {"<!-- open <b>", "unclosed B "},
        {"<" + std::string(5120, 'x') + "><i>", "too-long I "},
    };
    for (const auto& c : cases) {
        load(c.markup);
        std::string seen;
        for (int byte = readChar(file); byte != -1; byte = readChar(file)) {
            if (byte != '<') continue;
            uint32_t behind = getFilePosition(file);
            if (scanner.readTag(file) != -1) {
                seen += std::string(scanner.tagName) + " ";
                continue;
            }
            seen += scanner.failure == TagFailure::unclosed ? "unclosed " : "too-long ";
            setFilePosition(file, behind);
        }
        EXPECT_EQ(seen, c.seen) << c.markup.substr(0, 20);
    }
}

class CharacterReaderTest : public TagScannerTest {};

TEST_F(CharacterReaderTest, StepsAndSkipsInBothDirections) {
    load("xx   y");
    EXPECT_EQ(unreadChar(file), -1);
    EXPECT_EQ(readChar(file), 'x');
    EXPECT_EQ(readChar(file), 'x');
    EXPECT_EQ(unreadChar(file), 'x');
    EXPECT_EQ(readCharSkipping(file, 'x'), ' ');
    EXPECT_EQ(readCharSkipping(file, ' '), 'y');
    EXPECT_EQ(readCharSkipping(file, 'y'), -1);
    setFilePosition(file, 5);
    EXPECT_EQ(unreadCharSkipping(file, ' '), 'x');
    EXPECT_EQ(getFilePosition(file), 1u);
}

TEST_F(CharacterReaderTest, ReadUntilDropsLineEndsCutsToItsRoomAndLeavesTheDelimiter) {
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
    load(std::string(2000, 'm') + "<");
    EXPECT_EQ(readUntil(file, out, '<'), 1);
    EXPECT_EQ(std::string(out), std::string(255, 'm'));
    EXPECT_EQ(readChar(file), '<');
}

TEST_F(CharacterReaderTest, TextUntilATagNamedSoLeavesOutTagsAndLineEndsAndFailsPastItsRoom) {
    load("Chapter <b>One</b>\r\n Begins</h1x></h1\t>after");
    char out[256];
    EXPECT_EQ(readTextUntilTag(file, "/h1", out), 1);
    EXPECT_STREQ(out, "Chapter One Begins");
    EXPECT_EQ(rest(), "after");
    load("no end tag <b>");
    EXPECT_EQ(readTextUntilTag(file, "/h1", out), 0);
    load(std::string(255, 't') + "</h1>");
    EXPECT_EQ(readTextUntilTag(file, "/h1", out), 1);
    EXPECT_EQ(std::string(out).size(), 255u);
    load(std::string(255, 't') + "\n</h1>");
    EXPECT_EQ(readTextUntilTag(file, "/h1", out), 0);
}

}  // namespace
