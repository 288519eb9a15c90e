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
#include "tests/support/TempFolder.h"

namespace {

// A path as messages show it.
std::string shown(const std::string& path) {
    return programPathForDisplay(path.c_str());
}

const std::string kContentHead = "<html>\n<head></head>\n<body>";
const std::string kContentTail = "</body>\n</html>";

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

    // Every heading the matcher finds, from the start of the source.
    std::string headings(const std::string& text, const char* search) {
        prepare(text, search);
        EXPECT_TRUE(openSource(*job));
        std::string found;
        char out[256];
        for (int r; (r = matchHeading(*job, out)) >= 0;) {
            if (r == 1) found += std::string("[") + out + "]";
        }
        return found;
    }

    std::string importedBody(const std::string& text, const char* search = "") {
        prepare(text, search);
        EXPECT_EQ(runImport(*job, ImportRunControl{}), ImportOutcome::done) << job->lastError;
        std::string content = tmp.read("book_1.htm");
        EXPECT_EQ(content.substr(0, kContentHead.size()), kContentHead);
        EXPECT_EQ(content.substr(content.size() - kContentTail.size()), kContentTail);
        return content.substr(kContentHead.size(),
                              content.size() - kContentHead.size() - kContentTail.size());
    }
};

TEST_F(TextImportTest, NumberWildcardTakesDigitsRomanCapitalsAndBlanks) {
    EXPECT_EQ(headings("Chapter 12\r\ntext\r\nChapter XIV\r\nChapter 1 2\r\n", "Chapter \\1\\n"),
              "[Chapter 12\r\n][Chapter XIV\r\n][Chapter 1 2\r\n]");
    EXPECT_EQ(headings("Chapter iv\r\nChapter D\r\n", "Chapter \\1\\n"), "");
    // The first character of the number is tested against the set.
    EXPECT_EQ(headings("Chapter \r\n", "Chapter\\1\\n"), "[Chapter \r\n]");
    EXPECT_EQ(headings("Chapter\r\n", "Chapter\\1\\n"), "");
}

TEST_F(TextImportTest, LastPatternByteIsNeverCompared) {
    EXPECT_EQ(headings("Chaptex", "Chapter"), "[Chaptex]");
    // The line feed of a trailing \n is taken whatever it is.
    EXPECT_EQ(headings("Part 3\rX", "Part \\1\\n"), "[Part 3\rX]");
}

TEST_F(TextImportTest, LfOnlyLineEndsNeverMatchACarriageReturn) {
    EXPECT_EQ(headings("Chapter 1\nChapter 2\n", "Chapter \\1\\n"), "");
}

TEST_F(TextImportTest, AnyOneAndOneMarkWildcards) {
    EXPECT_EQ(headings("a1b a-b", "a\\*b"), "[a1b][a-b]");
    EXPECT_EQ(headings("x#A#x#a#x#\x01#x#.#x", "#\\$#"), "[#A#][#.#]");
    // 13 is the last byte refused, 14 the first one taken.
    EXPECT_EQ(headings("#\r#\x0e#", "#\\$#"), "[#\x0e#]");
}

TEST_F(TextImportTest, SkipWildcardsStopAtTheHundredthCharacter) {
    std::string ninetyNine(99, 'k');
    std::string hundred(100, 'k');
    EXPECT_EQ(headings("<" + ninetyNine + ">!", "<\\x>!"), "[<" + ninetyNine + ">!]");
    EXPECT_EQ(headings("<" + hundred + ">!", "<\\x>!"), "");
    EXPECT_EQ(headings("<AB C>!", "<\\X>!"), "[<AB C>!]");
    EXPECT_EQ(headings("<AbC>!", "<\\X>!"), "");
    EXPECT_EQ(headings("<>!", "<\\x>!"), "[<>!]");
}

TEST_F(TextImportTest, FailedCandidateRestartsOneByteAfterItsFirstByte) {
    // The second "a" starts the real match inside the first candidate.
    EXPECT_EQ(headings("aabZ", "ab!"), "[abZ]");
    EXPECT_EQ(headings("xxabZ", "\\*ab!"), "[xabZ]");
}

TEST_F(TextImportTest, UnknownEscapesAndOverlongMatchesFail) {
    EXPECT_EQ(headings("aqb", "a\\qb!"), "");
    std::string longLine = "C" + std::string(300, 'X') + "\r\n";
    EXPECT_EQ(headings(longLine, "C\\1\\n"), "");
}

TEST_F(TextImportTest, CandidateCutShortByTheEndIsKeptAsText) {
    EXPECT_EQ(importedBody("xChapt", "Chapter \\1\\n"), "xChapt");
}

TEST_F(TextImportTest, LineEndsInBothModes) {
    job->lineEndMode = LineEndMode::ignoreSingleReturns;
    EXPECT_EQ(importedBody("a\r\nb\r\n\r\nc\r\n\r\nd\r\n\r\ne"),
              "a b <BR>\r\n\r\n<P>c <BR>\r\n</P>\r\nd <BR>\r\n\r\n<P>e");
    job->reset();
    job->lineEndMode = LineEndMode::allCarriageReturns;
    EXPECT_EQ(importedBody("a\r\nb\r\n\r\nc"), "a <BR>\r\nb <BR>\r\n<BR>\r\n\r\n<P>c");
    job->reset();
    job->lineEndMode = LineEndMode::ignoreSingleReturns;
    EXPECT_EQ(importedBody("a\n\nb"), "a b");
}

TEST_F(TextImportTest, HyphenJoiningFollowsTheOption) {
    job->lineEndMode = LineEndMode::ignoreSingleReturns;
    EXPECT_EQ(importedBody("exam-\r\nple - x"), "example - x");
    job->reset();
    job->lineEndMode = LineEndMode::ignoreSingleReturns;
    job->suppressHyphen = 0;
    EXPECT_EQ(importedBody("exam-\r\nple"), "exam- ple");
    job->reset();
    job->lineEndMode = LineEndMode::ignoreSingleReturns;
    // Bare CR line ends keep the next line's first letter.
    EXPECT_EQ(importedBody("exam-\rple"), "example");
}

TEST_F(TextImportTest, MarkupIsCopiedUnchanged) {
    EXPECT_EQ(importedBody("a<b>&c"), "a<b>&c");
}

TEST_F(TextImportTest, HeadingsBecomeAnchorsAndTocEntries) {
    job->lineEndMode = LineEndMode::ignoreSingleReturns;
    EXPECT_EQ(importedBody("Chapter 1\r\nx\r\nChapter 2\r\n", "Chapter \\1\\n"),
              "\r\n<H1><a name=\"Chap.1\"></A>Chapter 1</H1>\r\nx \r\n<H1><a name=\"Chap.2\"></A>Chapter "
              "2</H1>\r\n");
    EXPECT_EQ(tmp.read("book_TOC.htm"),
              "<?xml version=\"1.0\"?>\n<html>\n<head>\n<title>Book</title>\n</head>\n<body>\r\n"
              "<h1 align=\"center\">Table Of Contents</h1>\r\n<blockquote>\r\n"
              "<a href=\"book_1.htm#Chap.1\">Chapter 1</a><br>\r\n"
              "<a href=\"book_1.htm#Chap.2\">Chapter 2</a><br>\r\n"
              "</blockquote></body>\n</html>");
}

TEST_F(TextImportTest, AHeadingDoesNotResetTheLineEndRun) {
    job->lineEndMode = LineEndMode::ignoreSingleReturns;
    // The heading's own CR LF is taken by the match; the run of the line
    // end before it goes on, so the empty line after it is a paragraph.
    EXPECT_EQ(importedBody("a\r\nChapter 1\r\n\r\nb", "Chapter \\1\\n"),
              "a \r\n<H1><a name=\"Chap.1\"></A>Chapter 1</H1>\r\n<BR>\r\n\r\n<P>b");
}

TEST_F(TextImportTest, ThreeSplitsGiveFourFilesAndLinksToTheFileOfEachHeading) {
    // 102,399 plain characters, then the CR that reaches 102,400.
    std::string block(102399, 'a');
    std::string text;
    for (int n = 1; n <= 3; ++n) text += "Chapter " + std::to_string(n) + "\r\n" + block + "\r\n";
    text += "Chapter 4\r\nend";
    prepare(text, "Chapter \\1\\n");
    job->lineEndMode = LineEndMode::ignoreSingleReturns;
    ASSERT_EQ(runImport(*job, ImportRunControl{}), ImportOutcome::done) << job->lastError;
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
    std::string toc = tmp.read("book_TOC.htm");
    for (int n = 1; n <= 4; ++n) {
        std::string link = "<a href=\"book_" + std::to_string(n) + ".htm#Chap." + std::to_string(n) +
                           "\">Chapter " + std::to_string(n) + "</a><br>\r\n";
        EXPECT_NE(toc.find(link), std::string::npos) << link;
    }
    auto read = std::make_unique<Publication>();
    ASSERT_TRUE(read->open(tmp.file("book.opf").c_str()));
    ASSERT_EQ(read->spineCount, 6);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(std::string(read->spine[n + 1].idref), "ContentFile_" + std::to_string(n));
        EXPECT_EQ(std::string(read->manifest[n + 1].href), "book_" + std::to_string(n) + ".htm");
    }
}

TEST_F(TextImportTest, PackageWithoutBiographyByteForByte) {
    copyText(job->authorName, "Ann");
    importedBody("x");
    EXPECT_FALSE(tmp.exists("book_bio.htm"));
    EXPECT_EQ(tmp.read("book_TOC.htm"),
              "<?xml version=\"1.0\"?>\n<html>\n<head>\n<title>Book</title>\n</head>\n<body>\r\n"
              "<h1 align=\"center\">Table Of Contents</h1>\r\n<blockquote>\r\n</blockquote></body>\n</html>");
    std::string package = tmp.read("book.opf");
    const std::string idAttribute = "unique-identifier=\"";
    size_t at = package.find(idAttribute);
    ASSERT_NE(at, std::string::npos);
    std::string id = package.substr(at + idAttribute.size(), 10);
    for (char c : id) {
        EXPECT_GE(c, ')');
        EXPECT_LE(c, ':');
    }
    char date[1024];
    ASSERT_TRUE(todayShortDate(date, sizeof date));
    EXPECT_EQ(
        package,
        "<?xml version=\"1.0\"?>\r\n"
        "<!DOCTYPE package PUBLIC \"+//ISBN 0-9673008-1-9//DTD OEB 1.0 Package//EN\" \"oebpkg1.dtd\">\r\n"
        "<package unique-identifier=\"" +
            id +
            "\">\r\n<metadata>\r\n<dc:Creator>Ann</dc:Creator>\r\n<dc:Title>Book</dc:Title>\r\n"
            "<dc:Date>" +
            date +
            "</dc:Date>\r\n</metadata>\r\n<manifest>\r\n"
            "<item id=\"cover\" href=\"book_cover.htm\" media-type=\"text/oeb-document\"/>\r\n"
            "<item id=\"toc\" href=\"book_TOC.htm\" media-type=\"text/oeb-document\"/>\r\n"
            "<item id=\"ContentFile_1\" href=\"book_1.htm\" media-type=\"text/oeb-document\"/>\r\n"
            "</manifest>\r\n<spine>\r\n<itemref idref=\"cover\"/>\r\n<itemref idref=\"toc\"/>\r\n"
            "<itemref idref=\"ContentFile_1\"/>\r\n</spine>\r\n<tours>\r\n</tours>\r\n<guide>\r\n"
            "<reference type=\"toc\" title=\"Table Of Contents\" href=\"book_TOC.htm\"/>\r\n"
            "</guide>\r\n</package>\r\n");
}

TEST_F(TextImportTest, SplitsAtTheFirstCarriageReturnAfterTheSplitSize) {
    std::string first(102399, 'a');
    // The CR at 102,400 plain characters starts file 2; its LF is a space.
    prepare(first + "\r\nb\r\nc", "");
    job->lineEndMode = LineEndMode::ignoreSingleReturns;
    ASSERT_EQ(runImport(*job, ImportRunControl{}), ImportOutcome::done);
    EXPECT_EQ(tmp.read("book_1.htm"), kContentHead + first + kContentTail);
    EXPECT_EQ(tmp.read("book_2.htm"), kContentHead + " b c" + kContentTail);
    EXPECT_FALSE(tmp.exists("book_3.htm"));
}

TEST_F(TextImportTest, MissingSourceFailsTheStart) {
    setSourcePath(*job, tmp.file("none.txt").c_str());
    setDestinationFolder(*job, tmp.path().c_str());
    EXPECT_EQ(runImport(*job, ImportRunControl{}), ImportOutcome::startFailed);
    EXPECT_EQ(std::string(job->lastError),
              "Unable to open the file : " + shown(tmp.file("none.txt")) + " (" + lastFileError() + ")");
    EXPECT_FALSE(tmp.exists("none_cover.htm"));
}

TEST_F(TextImportTest, PageThatCannotBeCreatedStopsTheStart) {
    tmp.write("book.txt", "x");
    setSourcePath(*job, tmp.file("book.txt").c_str());
    setDestinationFolder(*job, tmp.file("missing").c_str());
    EXPECT_EQ(runImport(*job, ImportRunControl{}), ImportOutcome::startFailed);
    EXPECT_EQ(std::string(job->lastError)
                  .rfind("Unable to create the coverpage file : " +
                             shown(tmp.file("missing\\book_cover.htm")) + " (",
                         0),
              0u);
}

TEST_F(TextImportTest, ContentFileThatCannotBeCreatedStopsTheImport) {
    // A folder of that name stands where content file 2 would go.
    tmp.makeFolder("book_2.htm");
    prepare(std::string(102400, 'a') + "\r\nb", "");
    EXPECT_EQ(runImport(*job, ImportRunControl{}), ImportOutcome::failed);
    EXPECT_EQ(std::string(job->lastError)
                  .rfind("Unable to create the content file : " + shown(tmp.file("book_2.htm")) + " (", 0),
              0u);
    EXPECT_FALSE(tmp.exists("book.opf"));
    EXPECT_EQ(job->source, nullptr);
}

TEST_F(TextImportTest, ClearedRunningFlagStopsWithoutAPackage) {
    prepare(std::string(50000, 'a'), "");
    int running = 1;
    std::vector<int> seen;
    struct Context {
        int* running;
        std::vector<int>* seen;
    } context{&running, &seen};
    ImportRunControl control;
    control.context = &context;
    control.running = &running;
    control.progress = [](void* raw, int percent) {
        auto* c = static_cast<Context*>(raw);
        c->seen->push_back(percent);
        *c->running = 0;
    };
    EXPECT_EQ(runImport(*job, control), ImportOutcome::stopped);
    // One report after 20,480 steps: 20,480 of 50,000 bytes read.
    EXPECT_EQ(seen, std::vector<int>{40});
    EXPECT_FALSE(tmp.exists("book.opf"));
    EXPECT_EQ(job->source, nullptr);
}

TEST_F(TextImportTest, SourceNameWithoutABaseNameIsRefused) {
    setSourcePath(*job, tmp.file("....").c_str());
    setDestinationFolder(*job, tmp.path().c_str());
    EXPECT_EQ(runImport(*job, ImportRunControl{}), ImportOutcome::startFailed);
    EXPECT_EQ(std::string(job->lastError),
              "The source file name gives no page name : " + shown(tmp.file("....")));
    EXPECT_FALSE(fileExists(tmp.file("*.htm").c_str()));
    EXPECT_FALSE(fileExists(tmp.file("*.opf").c_str()));
    // Everything from the first dot on is cut.
    setSourcePath(*job, "C:\\books\\my.book.txt");
    EXPECT_STREQ(job->baseName, "my");
}

TEST(SearchStringTest, OnlyBackslashNIsTranslated) {
    auto job = std::make_unique<ImportJob>();
    compileSearchString(*job, "A\\nB\\1\\");
    EXPECT_EQ(std::string(job->searchPattern), "A\r\nB\\1\\");
    EXPECT_EQ(job->searchPatternLength, 7);
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

TEST(UniqueIdentifierTest, TenCharactersFromTheRange) {
    char id[11];
    makeUniqueIdentifier(id);
    ASSERT_EQ(std::string(id).size(), 10u);
    for (char c : std::string(id)) {
        EXPECT_GE(c, ')');
        EXPECT_LE(c, ':');
    }
}

}  // namespace
