#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "model/Files.h"
#include "tests/publish/BuildDriverRecords.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"

namespace {

std::vector<std::string> valuesOf(const std::string& text, const std::string& attribute, size_t width) {
    std::vector<std::string> values;
    std::string key = attribute + "=\"";
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1))
        values.push_back(text.substr(at + key.size(), width));
    return values;
}

bool isWindowsProgram() {
    std::string program = QB_QUIREBOUND_PROGRAM;
    return program.size() > 4 && program.substr(program.size() - 4) == ".exe";
}

class BatchProgramTest : public ::testing::Test {
protected:
    TempFolder tmp;
    TempFolder scratch;

    ProgramResult run(const std::string& commandLine) {
        return runProgramWithCommandLine(QB_QUIREBOUND_PROGRAM, commandLine, scratch.path());
    }
};

TEST_F(BatchProgramTest, PublishesTheSampleWithResolvedLinksAndPictures) {
    tmp.copySample();
    ProgramResult result = run("-b " + commandLinePath(tmp.file("lantern.opf")));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_FALSE(tmp.exists("PRCtemp_*.tmp"));
    std::vector<std::string> records = recordsOf(tmp.read("lantern.prc"));
    ASSERT_GE(records.size(), size_t(3));
    std::string text = decodedText(records);
    EXPECT_EQ(text.size(), big32(records[0], 4));
    // Only the web link stays unresolved; both pictures name the one bitmap
    // record that follows the text.
    std::vector<std::string> positions = valuesOf(text, "filepos", 10);
    EXPECT_GE(positions.size(), size_t(12));
    EXPECT_EQ(std::count(positions.begin(), positions.end(), "XXXXXXXXXX"), 1);
    EXPECT_EQ(valuesOf(text, "recindex", 5), (std::vector<std::string>{"00001", "00001"}));
    EXPECT_EQ(records.size(), size_t(1 + big16(records[0], 8) + 1));
}

TEST_F(BatchProgramTest, APackageOfAnotherToolPublishesAndNamesWhatItLeavesOut) {
    // Pretty-printed with LF line ends, no XML declaration, a guide
    // reference without a title, XHTML documents, JPEG and SVG pictures, a
    // spine entry that names nothing.
    tmp.copyFrom("tests/publish/data/other-tool",
                 {"book.opf", "cover.xhtml", "one.xhtml", "two.xhtml", "cover.jpg", "art.svg"});
    ProgramResult result = run("-b " + commandLinePath(tmp.file("book.opf")));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string text = decodedText(recordsOf(tmp.read("book.prc")));
    std::vector<std::string> positions = valuesOf(text, "filepos", 10);
    ASSERT_EQ(positions.size(), size_t(5)) << text;  // the guide, its metadata page and three links
    size_t target = std::stoul(positions[2]);
    EXPECT_EQ(text.substr(target, 14), "<p\n  id=\"end\">") << text;
    EXPECT_LT(text.find("First"), target);
    // Windows writes its line ends as CR LF.
    std::erase(result.err, '\r');
    for (const char* named :
         {"cover.jpg is left out: only GIF", "SVG picture cover.jpg", "art (art.svg) is left out",
          "report: 1 internal link is unresolved\n  two.xhtml#gone in ",
          "report: 2 picture references are not converted", "The spine entry ghost names no item",
          "report: 2 spine entries are skipped"})
        EXPECT_NE(result.err.find(named), std::string::npos) << result.err;
}

TEST_F(BatchProgramTest, ARelativePackagePathIsTakenFromTheCurrentFolder) {
    tmp.copySample();
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(commandLinePath(tmp.path()));
    ProgramResult result = run("-b lantern.opf");
    std::filesystem::current_path(before);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(tmp.exists("lantern.prc"));
}

TEST_F(BatchProgramTest, AFailedBuildExitsWithItsMessageAndWritesNothing) {
    tmp.write("broken.opf", "<?xml version=\"1.0\"?><package>");
    struct Case {
        std::string commandLine;
        std::string message;
    } cases[] = {
        {"-b " + commandLinePath(tmp.file("broken.opf")), "could not be read"},
        {"-b", "too short"},
    };
    for (const Case& c : cases) {
        ProgramResult result = run(c.commandLine);
        EXPECT_NE(result.exitCode, 0) << c.commandLine;
        // The windowed program has no console, but writes to a standard error
        // handed to it.
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    EXPECT_FALSE(tmp.exists("broken.prc"));
    EXPECT_FALSE(tmp.exists("PRCtemp_*.tmp"));
}

TEST_F(BatchProgramTest, WithoutBatchSwitchTheConsoleProgramOnlyExplainsItself) {
    // On Windows this opens the editor, which the window tests drive.
    if (isWindowsProgram()) GTEST_SKIP() << "the Windows program opens its editor here";
    ProgramResult result = run("-B " + commandLinePath(tmp.file("x.opf")));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("usage: quirebound -b"), std::string::npos) << result.err;
    EXPECT_FALSE(tmp.exists("x.prc"));
}

}  // namespace
