// The command-line import: its options and messages, and hostile or unlucky
// inputs (files in its way, markup in names).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/CommandLinePath.h"
#include "model/Files.h"
#include "model/Publication.h"
#include "model/Text.h"
#include "tests/support/RunProgram.h"
#include "tests/support/SpecialFiles.h"
#include "tests/support/TempFolder.h"

namespace {

class ImportProgramTest : public ::testing::Test {
protected:
    TempFolder tmp;
    TempFolder scratch;

    ProgramResult run(const std::vector<std::string>& arguments) {
        return runProgram(QB_IMPORT_PROGRAM, arguments, scratch.path());
    }
    std::string path(const std::string& name) { return commandLinePath(tmp.file(name)); }
};

// The program's one line of output, without the line end of this system.
std::string outputLine(const ProgramResult& result) {
    std::string line = result.out;
    if (!line.empty() && line.back() == '\n') line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

const std::string kContentHead = "<html>\n<head></head>\n<body>";
const std::string kContentTail = "</body>\n</html>";

TEST_F(ImportProgramTest, ChoicesReachThePagesAsInTheWizard) {
    tmp.write("a.txt", "Chapter 1\r\nexam-\r\nple\r\n");
    tmp.write("rights.txt", "\xEF\xBB\xBF\xC2\xA9 Ann");
    // Defaults: every line end meaningful, hyphens joined, the base name as
    // title, no biography, no rights.
    ProgramResult plain = run({"--search", "Chapter \\1\\n", path("a.txt")});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_NE(tmp.read("a_1.htm").find("</H1>\r\nexample <BR>\r\n</body>"), std::string::npos);
    EXPECT_NE(tmp.read("a_TOC.htm").find("<title>a</title>"), std::string::npos);
    EXPECT_FALSE(tmp.exists("a_bio.htm"));
    EXPECT_EQ(tmp.read("a.opf").find("dc:Rights"), std::string::npos);

    // The chosen ones, and the package's path printed as the one line of output.
    tmp.makeFolder("out");
    ProgramResult chosen = run({"--dest", path("out"), "--search", "Chapter \\1\\n", "--keep-hyphens",
                                "--returns", "all", "--biography", "--rights", path("rights.txt"), "--title",
                                "Tale", "--author", "Ann", path("a.txt")});
    ASSERT_EQ(chosen.exitCode, 0) << chosen.err;
    EXPECT_EQ(outputLine(chosen), commandLinePath(tmp.file("out\\a.opf")));
    EXPECT_EQ(chosen.err, "");
    EXPECT_NE(
        tmp.read("out\\a_1.htm").find("</H1>\r\nexam- <BR>\r\nple <BR>\r\n\r\n<H1><a name=\"BookLicense\">"),
        std::string::npos);
    EXPECT_TRUE(tmp.exists("out\\a_bio.htm"));
    EXPECT_NE(tmp.read("out\\a.opf")
                  .find("<dc:Creator>Ann</dc:Creator>\r\n<dc:Title>Tale</dc:Title>\r\n"
                        "<dc:Rights>&#169; Ann</dc:Rights>"),
              std::string::npos);
}

TEST_F(ImportProgramTest, TheKindOptionOverridesTheExtension) {
    tmp.write("b.txt", "<body><h1>X</h1></body>");
    ProgramResult html = run({"--kind", "html", "--tags", "h1", path("b.txt")});
    ASSERT_EQ(html.exitCode, 0) << html.err;
    EXPECT_EQ(tmp.read("b_1.htm"), kContentHead + "\r\n<H1><a name=\"Chap.1\"></A>X</H1>\r\n" + kContentTail);
    tmp.write("c.htm", "<body>x</body>");
    ProgramResult text = run({"--kind", "text", path("c.htm")});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(tmp.read("c_1.htm"), kContentHead + "&lt;body&gt;x&lt;/body&gt;" + kContentTail);
    // Without the option the extension decides.
    tmp.write("page.html", "<body><h2>One</h2>text</body>");
    ProgramResult guessed = run({"--tags", "h2", path("page.html")});
    ASSERT_EQ(guessed.exitCode, 0) << guessed.err;
    EXPECT_NE(tmp.read("page_TOC.htm").find(">One</a>"), std::string::npos);
}

TEST_F(ImportProgramTest, LongSourceShowsProgressOnlyOnATerminal) {
    tmp.write("long.txt", std::string(50000, 'a'));
    ProgramResult result = run({path("long.txt")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(outputLine(result), commandLinePath(tmp.file("long.opf")));
    if (std::string(QB_IMPORT_PROGRAM).ends_with(".exe")) GTEST_SKIP() << "no terminal to lend under Wine";
    ProgramResult shown = runProgram(
        "script", {"-qec", std::string(QB_IMPORT_PROGRAM) + " --replace " + path("long.txt"), "/dev/null"},
        scratch.path());
    // After 20,480 and 40,960 of 50,000 bytes, then the line is ended.
    EXPECT_NE(shown.out.find("\rimporting:  40%\rimporting:  81%\r\n"), std::string::npos) << shown.out;
}

TEST_F(ImportProgramTest, FailuresExitWithAMessage) {
    tmp.write("page.htm", "<p>no body</p>");
    tmp.write("a.txt", "x");
    tmp.write("long.txt", std::string(kValueSize, 'r'));
    tmp.write("book.opf", "Chapter 1\r\n");
    tmp.write("c.htm", "<body><h1>X</h1></body>");
    // An e-book by its header whatever its name: its header alone.
    tmp.write("e.txt", std::string(60, '\0') + "TEXtREAd" + std::string(10, '\0'));
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{path("missing.txt")}, "no source file"},
        {{"--dest", path("nowhere"), path("a.txt")}, "no destination folder"},
        {{path("page.htm")}, "could not find the BODY tag"},
        {{"--tags", "h1,toolongtagname", path("page.htm")}, "bad tag list"},
        {{"--kind", "pdf", path("a.txt")}, "unknown kind"},
        {{}, "no source file given"},
        {{"--frob", path("a.txt")}, "unknown option: --frob"},
        {{path("a.txt"), "--dest"}, "missing value after --dest"},
        {{"--returns", "some", path("a.txt")}, "unknown carriage-return mode: some"},
        {{path("a.txt"), path("page.htm")}, "more than one source"},
        {{"--title", "", path("a.txt")}, "Please specify a book title."},
        {{"--rights", path("none.txt"), path("a.txt")}, "cannot read the rights file"},
        {{"--rights", path("long.txt"), path("a.txt")}, "longer than 8191 bytes"},
        {{"--search", std::string(256, 'x'), path("a.txt")}, "longer than 255 characters: --search"},
        {{"--replace", "--dest", path("blocked"), path("a.txt")}, "Unable to create the coverpage file : "},
        // A source named like the package is never replaced.
        {{"--kind", "text", path("book.opf")}, "would overwrite its own source"},
        {{"--replace", "--kind", "text", path("book.opf")}, "would overwrite its own source"},
        {{"--search", "Chapter \\1\\n", path("a.txt")}, "No chapter heading was found in the source : "},
        {{"--tags", "h2", path("c.htm")}, "No chapter heading was found in the source : "},
        {{"--search", "x", path("e.txt")}, "--tags and --search do not apply to an e-book"},
        {{path("e.txt")}, "The e-book holds no records : "},
    };
    // A folder where the cover page would go.
    tmp.makeFolder("blocked");
    tmp.makeFolder("blocked\\a_cover.htm");
    for (const Case& c : cases) {
        ProgramResult result = run(c.arguments);
        EXPECT_NE(result.exitCode, 0) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    for (const char* name : {"page_cover.htm", "a_cover.htm", "c_cover.htm"}) EXPECT_FALSE(tmp.exists(name));
    EXPECT_FALSE(tmp.exists("blocked\\a.opf"));
    EXPECT_EQ(tmp.read("book.opf"), "Chapter 1\r\n");
    EXPECT_FALSE(tmp.exists("book_*.htm"));
}

TEST_F(ImportProgramTest, HelpExitsWithSuccess) {
    for (const char* option : {"--help", "-h"}) {
        ProgramResult result = run({option});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_NE(result.out.find("Usage: quirebound-import"), std::string::npos) << option;
    }
}

TEST_F(ImportProgramTest, AnExistingFileStopsTheImportBeforeItWritesUnlessReplaceIsGiven) {
    // Three content files' worth of text, so that a later one can be in the way.
    std::string text = "Chapter 1\r\n";
    while (text.size() < 250 * 1024) text += "a line of the long text\r\n";
    const std::vector<std::string> names = {"novel.opf",     "novel_TOC.htm", "novel_cover.htm",
                                            "novel_bio.htm", "novel_1.htm",   "novel_2.htm"};
    for (const std::string& existing : names) {
        std::string folder = existing.substr(0, existing.find('.')) + "-case\\";
        tmp.makeFolder(folder);
        tmp.write(folder + "novel.txt", text);
        // Behind a link where the system has them: --replace replaces the
        // link, never the file it points to.
        tmp.write(folder + "own", "the user's own file");
        if (!makeSymlink(tmp.file(folder + "own"), tmp.file(folder + existing)))
            tmp.write(folder + existing, "the user's own file");
        ProgramResult refused = run({"--biography", path(folder + "novel.txt")});
        EXPECT_EQ(refused.exitCode, 1) << existing;
        EXPECT_NE(refused.err.find("The file exists already : " +
                                   programPathForDisplay(tmp.file(folder + existing).c_str())),
                  std::string::npos)
            << refused.err;
        EXPECT_EQ(tmp.read(folder + existing), "the user's own file");
        for (const std::string& other : names) {
            if (other == existing) continue;
            EXPECT_FALSE(tmp.exists(folder + other)) << existing << ": " << other;
        }

        ProgramResult replaced = run({"--replace", "--biography", path(folder + "novel.txt")});
        EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
        EXPECT_NE(tmp.read(folder + existing), "the user's own file");
        EXPECT_EQ(tmp.read(folder + "own"), "the user's own file");
    }
}

TEST_F(ImportProgramTest, MarkupCharactersInTheTitleAndTheSourceNameReadBackWhole) {
    // Windows allows no quotation mark in a file name; an ampersand serves.
    std::string base = "say \"when\" & go";
    FileHandle probe = openFile(tmp.file(base + ".txt").c_str(), OpenMode::create);
    if (probe == kInvalidFileHandle) base = "say & go";
    closeFile(probe);
    tmp.write(base + ".txt", "Chapter 1\r\ntext\r\n");
    ProgramResult result =
        run({"--search", "Chapter \\1\\n", "--title", "Salt & Iron <Vol. 2>", path(base + ".txt")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto book = std::make_unique<Publication>();
    ASSERT_TRUE(book->open(tmp.file(base + ".opf").c_str()));
    char title[kValueSize];
    ASSERT_TRUE(book->findMetadataValue("dc:Title", title));
    EXPECT_STREQ(title, "Salt & Iron <Vol. 2>");
    ASSERT_EQ(book->manifestCount, 3);
    for (int32_t i = 0; i < book->manifestCount; ++i) EXPECT_TRUE(tmp.exists(book->manifest[i].href));
    EXPECT_NE(tmp.read(base + "_TOC.htm").find("&amp; go_1.htm#Chap.1"), std::string::npos);
}

}  // namespace
