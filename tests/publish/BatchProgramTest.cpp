#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
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
    // Standard output holds the e-book's path alone; progress shows only on
    // a terminal.
    std::erase(result.out, '\r');
    EXPECT_EQ(result.out, commandLinePath(tmp.file("lantern.prc")) + "\n");
    EXPECT_EQ(result.err, "");
    EXPECT_FALSE(tmp.exists("PRC*.tmp"));
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
         {"cover.jpg is left out: it is no PNG or JPEG picture that can be decoded", "SVG picture cover.jpg",
          "art (art.svg) is left out",
          "report: 1 internal link is unresolved\n  two.xhtml#gone in ",
          "report: 2 picture references are not converted", "The spine entry ghost names no item",
          "report: 2 spine entries are skipped"})
        EXPECT_NE(result.err.find(named), std::string::npos) << result.err;
}

TEST_F(BatchProgramTest, PicturesOfEveryKindBecomeBitmapRecordsOrAreNamedInTheReport) {
    tmp.copyFrom("tests/publish/data/pictures",
                 {"pictures.opf", "cover.htm", "gallery.htm", "cover.jpg", "plasma.png", "pattern.gif"});
    const std::string photo = readWholeFile(sourceFile("tests/publish/data/magick-photo.png"));
    tmp.write("damaged.png", photo.substr(0, 3000));
    tmp.write("diagram.bmp", "BM");
    std::string gallery = tmp.read("gallery.htm");
    gallery.insert(gallery.find("</body>"), "<img src=\"damaged.png\"><img src=\"diagram.bmp\">");
    tmp.write("gallery.htm", gallery);
    ProgramResult result = run("-b " + commandLinePath(tmp.file("pictures.opf")));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> records = recordsOf(tmp.read("pictures.prc"));
    uint32_t textRecords = big16(records[0], 8);
    ASSERT_EQ(records.size(), 1 + textRecords + 3);
    // The JPEG (64 x 48), the PNG (40 x 30, shown twice) and the GIF (30 x 10, rows of 32).
    const uint32_t sizes[] = {64 * 48, 40 * 30, 32 * 10};
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(records[1 + textRecords + i].substr(0, 2), "BM");
        EXPECT_EQ(records[1 + textRecords + i].size(), 1078 + sizes[i]);
    }
    EXPECT_EQ(valuesOf(decodedText(records), "recindex", 5),
              (std::vector<std::string>{"00001", "00002", "00003", "00002", "XXXXX", "XXXXX"}));
    std::erase(result.err, '\r');
    for (const char* named : {"damaged.png is left out: its picture data is damaged",
                              "diagram.bmp is left out: only GIF, PNG and JPEG pictures can be converted",
                              "report: 2 picture references are not converted"})
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
        {"-b", isWindowsProgram() ? "too short" : "-b needs a package"},
    };
    for (const Case& c : cases) {
        ProgramResult result = run(c.commandLine);
        EXPECT_NE(result.exitCode, 0) << c.commandLine;
        // The windowed program has no console, but writes to a standard error
        // handed to it.
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    EXPECT_FALSE(tmp.exists("broken.prc"));
    EXPECT_FALSE(tmp.exists("PRC*.tmp"));
}

TEST_F(BatchProgramTest, TheShellsArgumentsPublishEachPackageAsTheOptionsSay) {
    // On Windows the rest of the line is one path, and without -b the editor opens.
    if (isWindowsProgram()) GTEST_SKIP() << "the Windows program takes one path, blanks included";
    tmp.copySample();
    tmp.write("broken.opf", "<package>");
    tmp.write("a.htm", "<html><body>A</body></html>");
    tmp.write("loose.opf",
              "<package unique-identifier=\"u\"><manifest><item id=\"a\" href=\"a.htm\" "
              "media-type=\"text/html\"/></manifest>"
              "<spine><itemref idref=\"a\"/><itemref idref=\"gone\"/></spine></package>");
    tmp.makeFolder("out");
    tmp.write("out\\up.opf", "<package unique-identifier=\"u\"><manifest><item id=\"a\" href=\"../a.htm\" "
                              "media-type=\"text/html\"/></manifest><spine><itemref idref=\"a\"/></spine></package>");
    std::string lantern = commandLinePath(tmp.file("lantern.opf")),
                loose = commandLinePath(tmp.file("loose.opf")), up = commandLinePath(tmp.file("out\\up.opf"));
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::vector<std::string> written;  // in the order printed
        std::string message;               // on standard error; for help, on standard output
    } cases[] = {
        {{"-b", lantern, commandLinePath(tmp.file("broken.opf")), loose},
         1,
         {"lantern.prc", "loose.prc"},
         "broken.opf:\nThe package "},
        {{"--strict", "-b", lantern}, 0, {"lantern.prc"}, ""},
        {{"-b", "--strict", loose}, 1, {"loose.prc"}, "loose.opf: the publishing report names what to fix"},
        {{"-b", "-o", commandLinePath(tmp.file("out\\mine.prc")), lantern}, 0, {"out\\mine.prc"}, ""},
        {{"-b", "--strict", up}, 1, {"out\\up.prc"}, "(../a.htm) is left out: it lies outside"},
        {{"-b", "--allow-outside-files", "--strict", up}, 0, {"out\\up.prc"}, ""},
        {{"-b", "--format", "epub", lantern}, 0, {"lantern.epub"}, ""},
        {{"-b", "-o", commandLinePath(tmp.file("out\\mine.epub")), "--cover",
          commandLinePath(tmp.file("images\\lantern.gif")), lantern},
         0,
         {"out\\mine.epub"},
         ""},
        {{"-b", "--format", "prc", "-o", "x.epub", lantern}, 2, {}, "names another format than --format prc"},
        {{"-b", "--format", "mobi", lantern}, 2, {}, "unknown format mobi"},
        {{"-b", "--cover", "c.png", lantern}, 2, {}, "--cover is for EPUB e-books"},
        {{"-b", "--format", "epub", up}, 1, {}, "(../a.htm) is left out: it lies outside"},
        {{"-b", "--format", "epub", "--allow-outside-files", up}, 0, {"out\\up.epub"}, ""},
        {{"-b", "--output", "x.prc", lantern, loose}, 2, {}, "-o names the eBook of one package only"},
        {{"-b", "--frob", lantern}, 2, {}, "unknown option: --frob"},
        {{"-b", lantern, "-o"}, 2, {}, "missing value after -o"},
        {{"-B", lantern}, 2, {}, "usage: quirebound -b"},
        {{"-h"}, 0, {}, "Usage: quirebound -b"},
    };
    for (const Case& c : cases) {
        for (const char* name : {"lantern.prc", "loose.prc", "out\\mine.prc", "out\\up.prc", "lantern.epub", "out\\mine.epub", "out\\up.epub"})
            deleteFile(tmp.file(name).c_str());
        ProgramResult result = runProgram(QB_QUIREBOUND_PROGRAM, c.arguments, scratch.path());
        std::string paths;
        for (const std::string& name : c.written) {
            EXPECT_TRUE(tmp.exists(name)) << name;
            paths += commandLinePath(tmp.file(name)) + "\n";
            std::string findings;
            if (name.ends_with(".epub") && !epubcheckFindings(tmp.file(name), scratch.path(), &findings))
                findings = "";
            EXPECT_EQ(findings, "") << name;
        }
        EXPECT_EQ(result.exitCode, c.exitCode) << c.message << result.err;
        bool help = c.exitCode == 0 && c.written.empty();
        EXPECT_NE((help ? result.out : result.err).find(c.message), std::string::npos) << result.err;
        if (!help) {
            EXPECT_EQ(result.out, paths) << c.message;
        }
    }
    // Progress on a terminal, its line ended before the path.
    ProgramResult shown =
        runProgram("script", {"-qec", std::string(QB_QUIREBOUND_PROGRAM) + " -b " + lantern, "/dev/null"},
                   scratch.path());
    EXPECT_NE(shown.out.find("\rconverting record 3 of 3\r\n"), std::string::npos) << shown.out;
}

TEST_F(BatchProgramTest, AStoppedBuildLeavesNothingAndAKilledOnesFilesGoWithTheNextBuild) {
    if (isWindowsProgram()) GTEST_SKIP() << "signals and kill -9 are tried on the native program only";
    std::string text = "<body>";
    for (int i = 0; text.size() < (16u << 20); ++i) text += "Paragraph " + std::to_string(i) + " of a long night. ";
    tmp.write("big.htm", text + "</body>");
    tmp.write("small.htm", "<body>small</body>");
    for (std::string name : {"big", "small"})
        tmp.write(name + ".opf", "<package unique-identifier=\"x\"><manifest><item id=\"a\" href=\"" + name +
                                                  ".htm\" media-type=\"text/html\"/></manifest><spine>"
                                                  "<itemref idref=\"a\"/></spine></package>");
    for (const char* own : {"PRCtemp_1.tmp", "PRCbuild_9.tmp"}) tmp.write(own, "user's");
    auto start = [&] {
        RunningProgram build = startProgram(QB_QUIREBOUND_PROGRAM, {"-b", commandLinePath(tmp.file("big.opf"))},
                                            scratch.path());
        // Caught writing the e-book, when its files are largest.
        for (int i = 0; i < 5000 && !tmp.exists("PRCbuild_1.tmp\\PRCbook_1.tmp"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return build;
    };
    // The files of a build that runs stay while another build passes by.
    RunningProgram paused = start();
    stopProgram(paused, Stop::pause);
    EXPECT_EQ(run("-b " + commandLinePath(tmp.file("small.opf"))).exitCode, 0);
    EXPECT_TRUE(tmp.exists("PRCbuild_1.tmp\\PRCbook_1.tmp"));
    stopProgram(paused, Stop::resume);
    EXPECT_EQ(waitForProgram(paused), 0);
    tmp.write("big.prc", "earlier");
    const std::pair<Stop, int> stops[] = {
        {Stop::interrupt, 130}, {Stop::terminate, 143}, {Stop::hangUp, 129}, {Stop::kill, 137}};
    for (const auto& [how, status] : stops) {
        RunningProgram build = start();
        stopProgram(build, how);
        EXPECT_EQ(waitForProgram(build), status);
        EXPECT_EQ(tmp.read("big.prc"), "earlier");
        EXPECT_EQ(tmp.exists("PRCbuild_1.tmp"), how == Stop::kill) << status;
    }
    // The next build in the folder removes what the killed one left, and
    // no file of the user's however it is named.
    EXPECT_EQ(run("-b " + commandLinePath(tmp.file("small.opf"))).exitCode, 0);
    EXPECT_FALSE(tmp.exists("PRCbuild_1.tmp"));
    for (const char* own : {"PRCtemp_1.tmp", "PRCbuild_9.tmp"}) EXPECT_EQ(tmp.read(own), "user's");
}

}  // namespace
