#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "import/GeneratedPages.h"
#include "import/ImportJob.h"
#include "import/ImportRun.h"
#include "import/TextImport.h"
#include "model/CommandLinePath.h"
#include "model/Files.h"
#include "model/Publication.h"
#include "model/ShortDate.h"
#include "model/Text.h"
#include "tests/model/PublicationText.h"
#include "tests/support/TempFolder.h"

namespace {

// A path as messages show it.
std::string shown(const std::string& path) {
    return programPathForDisplay(path.c_str());
}

std::string lineFeedsOnly(std::string text) {
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

const std::string kContentHead = "<html>\n<head></head>\n<body>";
const std::string kContentTail = "</body>\n</html>";
const std::string k1252Head =
    "<html>\n<head><meta http-equiv=\"Content-Type\" content=\"text/html; "
    "charset=windows-1252\"></head>\n<body>";

// The body of a content file, after "[1252]" when its head declares that charset.
std::string bodyOf(const std::string& content) {
    bool declared = content.rfind(k1252Head, 0) == 0;
    const std::string& head = declared ? k1252Head : kContentHead;
    EXPECT_EQ(content.substr(0, head.size()), head);
    EXPECT_EQ(content.substr(content.size() - kContentTail.size()), kContentTail);
    return (declared ? "[1252]" : "") +
           content.substr(head.size(), content.size() - head.size() - kContentTail.size());
}

class TextImportTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::unique_ptr<ImportJob> job = std::make_unique<ImportJob>();

    void prepare(const std::string& text, const char* search) {
        tmp.write("book.txt", text);
        setSourcePath(*job, tmp.file("book.txt").c_str());
        setDestinationFolder(*job, tmp.path().c_str());
        job->replaceExisting = true;
        copyText(job->bookTitle, "Book");
        compileSearchString(*job, search);
    }

    // Every heading the search finds, from the start of the source.
    std::string headings(const std::string& text, const char* search) {
        prepare(text, search);
        EXPECT_TRUE(openSource(*job));
        std::string found;
        char heading[kFieldSize];
        for (int unit; (unit = matchHeading(*job, heading)) >= 0;) {
            if (unit > 0) found += std::string("[") + heading + "]";
        }
        return found;
    }

    std::string importedBody(const std::string& text, const char* search = "") {
        prepare(text, search);
        EXPECT_EQ(runImport(*job), ImportOutcome::done) << job->lastError;
        return bodyOf(tmp.read("book_1.htm"));
    }
};

struct HeadingCase {
    std::string text;
    const char* search;
    std::string found;
};

TEST_F(TextImportTest, TheSearchStringFindsTheHeadingsTheTableSays) {
    std::string accents;
    for (int i = 0; i < 99; ++i) accents += "\xC3\xA9";
    const HeadingCase cases[] = {
        // \1 takes digits, Roman capitals and blanks, testing only the first character.
        {"Chapter 12\r\ntext\r\nChapter XIV\r\nChapter 1 2\r\n", "Chapter \\1\\n",
         "[Chapter 12\r\n][Chapter XIV\r\n][Chapter 1 2\r\n]"},
        {"Chapter iv\r\nChapter D\r\n", "Chapter \\1\\n", ""},
        {"Chapter \r\n", "Chapter\\1\\n", "[Chapter \r\n]"},
        {"Chapter\r\n", "Chapter\\1\\n", ""},
        // The last pattern byte is never compared, so a trailing \n takes any line feed.
        {"Chaptex", "Chapter", "[Chaptex]"},
        {"Part 3\rX", "Part \\1\\n", "[Part 3\rX]"},
        // A lone LF takes the place of the whole CR LF, wherever the pattern has one.
        {"Chapter 1\nChapter 2\n", "Chapter \\1\\n", "[Chapter 1\n][Chapter 2\n]"},
        {"x\n\nPart A\nB\n", "\\n\\nPart \\X\\nB", "[\n\nPart A\nB]"},
        {"Chapter\n", "Chapter\\1\\n", ""},
        // \* takes any one character, \$ one from 14 up.
        {"a1b a-b", "a\\*b", "[a1b][a-b]"},
        {"x#A#x#a#x#\x01#x#.#x", "#\\$#", "[#A#][#.#]"},
        {"#\r#\x0e#", "#\\$#", "[#\x0e#]"},
        // Skip wildcards stop at the hundredth character.
        {"<" + std::string(99, 'k') + ">!", "<\\x>!", "[<" + std::string(99, 'k') + ">!]"},
        {"<" + std::string(100, 'k') + ">!", "<\\x>!", ""},
        {"<AB C>!", "<\\X>!", "[<AB C>!]"},
        {"<AbC>!", "<\\X>!", ""},
        {"<>!", "<\\x>!", "[<>!]"},
        // A failed candidate restarts one byte after its first byte.
        {"aabZ", "ab!", "[abZ]"},
        {"xxabZ", "\\*ab!", "[xabZ]"},
        // Unknown escapes, NUL bytes and overlong matches fail.
        {"aqb", "a\\qb!", ""},
        {std::string("a\0b a1b", 7), "a\\*b", "[a1b]"},
        // In a UTF-8 source wildcards take characters; a no-break space is
        // one, and the byte typed for it in the search string matches it.
        {"Chapter\xC2\xA0"
         "1.\r\n",
         "Chapter\\*\\1.",
         "[Chapter\xC2\xA0"
         "1.]"},
        {"\xEF\xBB\xBF"
         "Chapter\xC2\xA0"
         "2.",
         "Chapter\xA0\\1.",
         "[Chapter\xC2\xA0"
         "2.]"},
        {"<" + accents + ">!", "<\\x>!", "[<" + accents + ">!]"},
        // Bytes that are not UTF-8 are the 8-bit code page's characters.
        {"Chapter\xA0"
         "3.",
         "Chapter\\*\\1.",
         "[Chapter\xA0"
         "3.]"},
        {"C" + std::string(300, 'X') + "\r\n", "C\\1\\n", ""},
    };
    for (const HeadingCase& c : cases) EXPECT_EQ(headings(c.text, c.search), c.found) << c.search;
}

struct BodyCase {
    LineEndMode mode;
    int suppressHyphen;
    std::string text;
    const char* search;
    std::string body;
};

TEST_F(TextImportTest, TheContentFileHoldsTheTextAsTheTableSays) {
    const LineEndMode single = LineEndMode::ignoreSingleReturns, all = LineEndMode::allCarriageReturns;
    const std::string chapter1 = "\r\n<H1><a name=\"Chap.1\"></A>Chapter 1</H1>\r\n";
    const BodyCase cases[] = {
        {single, 1, "xChapt", "Chapter \\1\\n", "xChapt"},  // a candidate cut short by the end
        {single, 1, "a\r\nb\r\n\r\nc\r\n\r\nd\r\n\r\ne", "",
         "a b <BR>\r\n\r\n<P>c <BR>\r\n</P>\r\nd <BR>\r\n\r\n<P>e"},
        {all, 1, "a\r\nb\r\n\r\nc", "", "a <BR>\r\nb <BR>\r\n<BR>\r\n\r\n<P>c"},
        {single, 1, "exam-\r\nple - x", "", "example - x"},
        {single, 0, "exam-\r\nple", "", "exam- ple"},
        {single, 1, "exam-\rple", "", "example"},  // bare CR line ends keep the next line's first letter
        // Plain text is text: markup characters and entities written in it are escaped.
        {all, 1, "Mail <ann@x.org> & &amp;", "", "Mail &lt;ann@x.org&gt; &amp; &amp;amp;"},
        {single, 1, "Part <1> & 2\r\nx", "Part \\x\\n",
         "\r\n<H1><a name=\"Chap.1\"></A>Part &lt;1&gt; &amp; 2</H1>\r\nx"},
        // UTF-8 (the mark dropped) is converted and declared; the 8-bit code page is not.
        {single, 1,
         "\xEF\xBB\xBF"
         "Caf\xC3\xA9 \xE2\x80\x94 &#937;",
         "", "[1252]Caf\xE9 \x97 &amp;#937;"},
        {single, 1, "\xCE\xA9 1\r\n<\xC3\xA9>", "\\* \\1\\n",
         "[1252]\r\n<H1><a name=\"Chap.1\"></A>&#937; 1</H1>\r\n&lt;\xE9&gt;"},
        {single, 1, "Caf\xE9", "", "Caf\xE9"},
        {single, 1, "Chapter 1\r\nx\r\nChapter 2\r\n", "Chapter \\1\\n",
         chapter1 + "x \r\n<H1><a name=\"Chap.2\"></A>Chapter 2</H1>\r\n"},
        // The heading's own CR LF is taken by the match; the run of the line end
        // before it goes on, so the empty line after it is a paragraph.
        {single, 1, "a\r\nChapter 1\r\n\r\nb", "Chapter \\1\\n", "a " + chapter1 + "<BR>\r\n\r\n<P>b"},
    };
    for (const BodyCase& c : cases) {
        // The same text with LF line ends alone imports the same.
        for (const std::string& text : {c.text, lineFeedsOnly(c.text)}) {
            job->reset();
            job->lineEndMode = c.mode;
            job->suppressHyphen = c.suppressHyphen;
            EXPECT_EQ(importedBody(text, c.search), c.body) << text;
        }
    }
    EXPECT_NE(tmp.read("book_TOC.htm").find("<a href=\"book_1.htm#Chap.1\">Chapter 1</a><br>\r\n"),
              std::string::npos);
}

TEST_F(TextImportTest, ThreeSplitsGiveFourFilesEachAtTheFirstLineEndPastTheSplitSize) {
    // 102,399 plain characters, then the CR that reaches 102,400.
    std::string block(102399, 'a');
    std::string text;
    for (int n = 1; n <= 3; ++n) text += "Chapter " + std::to_string(n) + "\r\n" + block + "\r\n";
    text += "Chapter 4\r\nend";
    for (const std::string& source : {text, lineFeedsOnly(text)}) {
        prepare(source, "Chapter \\1\\n");
        job->lineEndMode = LineEndMode::ignoreSingleReturns;
        ASSERT_EQ(runImport(*job), ImportOutcome::done) << job->lastError;
        auto heading = [](int n) {
            return "\r\n<H1><a name=\"Chap." + std::to_string(n) + "\"></A>Chapter " + std::to_string(n) +
                   "</H1>\r\n";
        };
        EXPECT_EQ(tmp.read("book_1.htm"), kContentHead + heading(1) + block + kContentTail);
        // Block 2 and 3 begin after a space, so their last "a" reaches the size
        // and the CR after it splits.
        EXPECT_EQ(tmp.read("book_2.htm"), kContentHead + " " + heading(2) + block + kContentTail);
        EXPECT_EQ(tmp.read("book_3.htm"), kContentHead + " " + heading(3) + block + kContentTail);
        EXPECT_EQ(tmp.read("book_4.htm"), kContentHead + " " + heading(4) + "end" + kContentTail);
        EXPECT_FALSE(tmp.exists("book_5.htm"));
    }
    // The links of the contents to each file are followed in the published import tests.
}

TEST_F(TextImportTest, PackageWithoutBiographyListsCoverContentsAndTextAndAFreshIdentifier) {
    copyText(job->authorName, "Ann");
    prepare("x", "");
    copyText(job->bookTitle, "A&B <2>");
    ASSERT_EQ(runImport(*job), ImportOutcome::done);
    EXPECT_NE(tmp.read("book_TOC.htm").find("<title>A&amp;B &lt;2&gt;</title>"), std::string::npos);
    EXPECT_FALSE(tmp.exists("book_bio.htm"));
    EXPECT_NE(tmp.read("book_TOC.htm").find("<blockquote>\r\n</blockquote></body>"), std::string::npos);
    auto read = std::make_unique<Publication>();
    ASSERT_TRUE(read->open(tmp.file("book.opf").c_str()));
    // The identifier: ten characters from the generator's range.
    std::string id = read->uniqueIdentifier;
    ASSERT_EQ(id.size(), 10u);
    for (char c : id) EXPECT_TRUE(c >= ')' && c <= ':') << id;
    char date[1024];
    ASSERT_TRUE(todayShortDate(date, sizeof date));
    const std::string type = ",text/x-oeb1-document";
    EXPECT_EQ(describe(*read),
              "uid=" + id + " M:dc:Creator=Ann M:dc:Title=A&B <2> M:dc:Date=" + date +
                  " I:cover,book_cover.htm" + type + " I:toc,book_TOC.htm" + type +
                  " I:ContentFile_1,book_1.htm" + type +
                  " S:cover>0 S:toc>1 S:ContentFile_1>2 G:toc,Table Of Contents,book_TOC.htm");
}

TEST_F(TextImportTest, AFailureAtTheStartOrHalfWayStopsTheImportAndRemovesWhatItWrote) {
    // A folder of that name stands where content file 2 would go.
    tmp.makeFolder("blocked");
    tmp.makeFolder("blocked\\book_2.htm");
    tmp.makeFolder("out");
    struct Case {
        const char* source;
        const char* folder;
        FileFault fault;
        uint64_t after;
        ImportOutcome outcome;
        std::string message;
    } cases[] = {
        {"none.txt", "out", FileFault::none, 0, ImportOutcome::startFailed,
         "Unable to open the file : " + shown(tmp.file("none.txt")) + " ("},
        {"book.txt", "missing", FileFault::none, 0, ImportOutcome::startFailed,
         "Unable to create the coverpage file : " + shown(tmp.file("missing\\book_cover.htm")) + " ("},
        {"....", "out", FileFault::none, 0, ImportOutcome::startFailed,
         "The source file name gives no page name : " + shown(tmp.file("...."))},
        {"book.txt", "blocked", FileFault::none, 0, ImportOutcome::failed,
         "Unable to write the content file : " + shown(tmp.file("blocked\\book_2.htm")) + " ("},
        {"book.txt", "out", FileFault::write, 0, ImportOutcome::startFailed,
         "Unable to create the coverpage file : " + shown(tmp.file("out\\book_cover.htm")) + " (No space"},
        {"book.txt", "out", FileFault::flush, 0, ImportOutcome::startFailed,
         "Unable to create the coverpage file : " + shown(tmp.file("out\\book_cover.htm")) + " (No space"},
        {"book.txt", "out", FileFault::write, 150000, ImportOutcome::failed,
         "Unable to write the content file : " + shown(tmp.file("out\\book_2.htm")) + " (No space"},
        // The file named is the one that filled the disk, not one closed after it.
        {"book.htm", "out", FileFault::write, 150000, ImportOutcome::failed,
         "Unable to write the content file : " + shown(tmp.file("out\\book_1.htm")) + " (No space"},
    };
    for (const Case& c : cases) {
        prepare(std::string(102400, 'a') + "\r\n" + std::string(102400, 'b') + "\r\nc", "");
        tmp.write("book.htm", "<body>" + tmp.read("book.txt"));
        job->sourceKind = std::string(c.source) == "book.htm" ? SourceKind::html : SourceKind::text;
        setSourcePath(*job, tmp.file(c.source).c_str());
        setDestinationFolder(*job, tmp.file(c.folder).c_str());
        ScopedFileFault fault(c.fault, c.after, "No space left on device");
        EXPECT_EQ(runImport(*job), c.outcome) << c.message;
        EXPECT_EQ(std::string(job->lastError).rfind(c.message, 0), 0u) << job->lastError;
        for (const char* name : {"book.opf", "book_TOC.htm", "book_cover.htm", "book_1.htm", "book_3.htm"})
            EXPECT_FALSE(tmp.exists(std::string(c.folder) + "\\" + name)) << c.message << name;
        EXPECT_EQ(job->source, nullptr);
    }
    EXPECT_FALSE(tmp.exists("out\\book*"));
}

TEST_F(TextImportTest, ClearedRunningFlagStopsWithoutAPackage) {
    prepare(std::string(50000, 'a'), "");
    // Stops at its first progress report.
    struct StopAtFirstReport : ImportReporter {
        std::vector<int> seen;
        void setProgress(int percent) override { seen.push_back(percent); }
        bool stopRequested() override { return !seen.empty(); }
    } reporter;
    EXPECT_EQ(runImport(*job, reporter), ImportOutcome::stopped);
    const std::vector<int>& seen = reporter.seen;
    // One report after 20,480 steps: 20,480 of 50,000 bytes read.
    EXPECT_EQ(seen, std::vector<int>{40});
    EXPECT_FALSE(tmp.exists("book.opf"));
    EXPECT_EQ(job->source, nullptr);
}

TEST(HeadingTagListTest, SplitsUpperCasesAndRefusesTooMuch) {
    auto job = std::make_unique<ImportJob>();
    ASSERT_TRUE(parseHeadingTags(*job, "h1, h2;H4"));
    ASSERT_EQ(job->headingTags.count, 3);
    EXPECT_STREQ(job->headingTags.tags[0], "H1");
    EXPECT_STREQ(job->headingTags.tags[2], "H4");
    EXPECT_FALSE(parseHeadingTags(*job, "h1,abcdefghij"));
    EXPECT_EQ(job->headingTags.count, 0);
    EXPECT_FALSE(parseHeadingTags(*job, "a,b,c,d,e,f,g,h,i,j,k"));
    EXPECT_TRUE(parseHeadingTags(*job, "a,b,c,d,e,f,g,h,i,j"));
}

}  // namespace
