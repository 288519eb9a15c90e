// The command-line import with hostile and unlucky inputs: special and huge
// sources, files already in its way, failures half way, markup in names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/CommandLinePath.h"
#include "model/Files.h"
#include "model/Publication.h"
#include "model/Text.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"

namespace {

class ImportSafetyTest : public ::testing::Test {
protected:
    TempFolder tmp;
    TempFolder scratch;

    ProgramResult run(std::vector<std::string> arguments) {
        return runProgram(QB_IMPORT_PROGRAM, arguments, scratch.path());
    }
    std::string path(const std::string& name) { return commandLinePath(tmp.file(name)); }
};

TEST_F(ImportSafetyTest, AnExistingFileStopsTheImportBeforeItWritesUnlessReplaceIsGiven) {
    // Three content files' worth of text, so that a later one can be in the way.
    std::string text = "Chapter 1\r\n";
    while (text.size() < 250 * 1024) text += "a line of the long text\r\n";
    const std::vector<std::string> names = {"novel.opf",   "novel_TOC.htm", "novel_cover.htm", "novel_bio.htm",
                                            "novel_1.htm", "novel_2.htm"};
    for (const std::string& existing : names) {
        std::string folder = existing.substr(0, existing.find('.')) + "-case\\";
        tmp.makeFolder(folder);
        tmp.write(folder + "novel.txt", text);
        tmp.write(folder + existing, "the user's own file");
        ProgramResult refused = run({"--biography", path(folder + "novel.txt")});
        EXPECT_EQ(refused.exitCode, 1) << existing;
        EXPECT_NE(refused.err.find("The file exists already : " + programPathForDisplay(tmp.file(folder + existing).c_str())),
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
    }
}

TEST_F(ImportSafetyTest, MarkupCharactersInTheTitleAndTheSourceNameReadBackWhole) {
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
