#include <gtest/gtest.h>

#include <string>

#include "RunProgram.h"
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

TEST_F(ImportProgramTest, ImportsATextFileAndPrintsThePackage) {
    tmp.write("novel.txt", "Chapter 1\r\nIt was.\r\n");
    tmp.makeFolder("out");
    ProgramResult result = run({"--dest", path("out"), "--search", "Chapter \\1\\n", "--returns",
                                "ignore-single", "--title", "Novel", "--author", "Ann", path("novel.txt")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, commandLinePath(tmp.file("out\\novel.opf")) + "\n");
    EXPECT_EQ(tmp.read("out\\novel_1.htm"),
              "<html>\n<head></head>\n<body>\r\n<H1><a name=\"Chap.1\"></A>Chapter 1</H1>\r\nIt was. "
              "</body>\n</html>");
    EXPECT_TRUE(tmp.exists("out\\novel_TOC.htm"));
}

TEST_F(ImportProgramTest, HtmlIsGuessedFromTheExtension) {
    tmp.write("page.html", "<body><h2>One</h2>text</body>");
    ProgramResult result = run({"--tags", "h2", path("page.html")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(tmp.read("page_TOC.htm").find(">One</a>"), std::string::npos);
}

TEST_F(ImportProgramTest, FailuresExitWithAMessage) {
    tmp.write("page.htm", "<p>no body</p>");
    tmp.write("a.txt", "x");
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
    };
    for (const Case& c : cases) {
        ProgramResult result = run(c.arguments);
        EXPECT_NE(result.exitCode, 0) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(tmp.exists("page_cover.htm"));
}

TEST_F(ImportProgramTest, HelpExitsWithSuccess) {
    ProgramResult result = run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("Usage: quirebound-import"), std::string::npos);
}

}  // namespace
