// Builds under hostile and unlucky conditions: other builds and user files
// beside the package, failing steps, special files and cut paths.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "BuildDriverRecords.h"
#include "MergeTestSupport.h"
#include "model/CommandLinePath.h"
#include "model/Files.h"
#include "publish/BuildDriver.h"
#include "tests/support/SpecialFiles.h"

namespace {

class BuildSafetyTest : public ::testing::Test {
protected:
    TempFolder tmp;
    RecordingReporter reporter;

    // A package of one chapter per href; ids are d0, d1, ...
    void writePackage(const std::string& name, const std::vector<std::string>& hrefs,
                      const std::vector<const char*>& extraSpine = {}) {
        auto pub = publicationIn(tmp, name.c_str());
        pub->addMetadata("dc:Title", "T");
        for (size_t i = 0; i < hrefs.size(); ++i)
            addDocument(*pub, ("d" + std::to_string(i)).c_str(), hrefs[i].c_str());
        for (const char* id : extraSpine) pub->addSpineItem(id);
        ASSERT_TRUE(pub->save(tmp.file(name).c_str()));
    }
    int batch(const std::string& name) { return batchBuild(tmp.file(name).c_str(), true, reporter); }
    // The status and what the build wrote to standard error.
    std::pair<int, std::string> batchWithErrors(const std::string& name) {
        testing::internal::CaptureStderr();
        int status = batch(name);
        return {status, testing::internal::GetCapturedStderr()};
    }
    std::string bookText(const std::string& name) { return decodedText(recordsOf(tmp.read(name))); }
    bool leftOver() { return tmp.exists("PRC*.tmp"); }
};

// Text of many short words that the compressor cannot shrink much.
std::string noisyText(size_t size) {
    std::string text;
    uint32_t state = 12345;
    while (text.size() < size) {
        state = state * 1103515245u + 12345u;
        text += char('a' + (state >> 16) % 26);
        if ((state >> 8) % 7 == 0) text += ' ';
    }
    return text;
}

// Fails on the text record or picture record given, as a full disk or a
// killed process would.
class FailingDatabase : public PalmDocDatabase {
public:
    uint32_t failingText = UINT32_MAX;
    bool failingPicture = false;
    bool writeTextRecord(const uint8_t* data, uint32_t length, uint32_t index) override {
        return index != failingText && PalmDocDatabase::writeTextRecord(data, length, index);
    }
    bool writeImageRecord(const char* path, uint32_t index) override {
        return !failingPicture && PalmDocDatabase::writeImageRecord(path, index);
    }
};

TEST_F(BuildSafetyTest, UserFilesNamedLikeTheBuildsOwnFilesAreLeftWhole) {
    int32_t next = intermediateFilesNamed() + 1;
    const std::vector<std::string> userFiles = {"PRCtemp_" + std::to_string(next) + ".tmp",
                                                "PRCtemp_" + std::to_string(next + 1) + ".tmp",
                                                "PRCguide_1.tmp", "PRCmeta_1.tmp", "PRCbook_1.tmp"};
    for (const std::string& name : userFiles) tmp.write(name, "user's " + name);
    tmp.write("ch.htm", "<body>Chapter text</body>");
    writePackage("book.opf", {"ch.htm"});

    ASSERT_EQ(batch("book.opf"), 0);
    for (const std::string& name : userFiles) EXPECT_EQ(tmp.read(name), "user's " + name);
    std::string text = bookText("book.prc");
    EXPECT_NE(text.find("Chapter text"), std::string::npos);
    EXPECT_EQ(text.find("user's"), std::string::npos);
    // The build's own files are gone again.
    for (const char* left : {"PRCguide_2.tmp", "PRCmeta_2.tmp", "PRCbook_2.tmp"})
        EXPECT_FALSE(tmp.exists(left));
    EXPECT_FALSE(tmp.exists("PRCtemp_" + std::to_string(next + 2) + ".tmp"));
}

TEST_F(BuildSafetyTest, AFailedRebuildKeepsTheEarlierBookWholeAndLeavesNothing) {
    tmp.write("ch.htm", "<body>" + noisyText(9000) + "<img src=\"pic.gif\"></body>");
    tmp.write("pic.gif", "GIF89a");
    writePackage("book.opf", {"ch.htm"});
    writePackage("gone.opf", {"ch.htm", "missing.htm"});
    struct Case {
        const char* what;
        const char* package;
        uint32_t failingText;
        bool failingPicture;
        const char* earlier;  // the book before the build; empty: none
    } cases[] = {
        {"first text record", "book.opf", 0, false, "earlier e-book"},
        {"last text record", "book.opf", 2, false, "earlier e-book"},
        {"second text record, no earlier book", "book.opf", 1, false, ""},
        {"picture", "book.opf", UINT32_MAX, true, "earlier e-book"},
        {"merge", "gone.opf", UINT32_MAX, false, "earlier e-book"},
    };
    for (const Case& c : cases) {
        deleteFile(tmp.file("book.prc").c_str());
        if (*c.earlier) tmp.write("book.prc", c.earlier);
        auto pub = std::make_unique<Publication>();
        ASSERT_TRUE(pub->open(tmp.file(c.package).c_str()));
        auto context = std::make_unique<BuildContext>(pub.get());
        FailingDatabase database;
        database.failingText = c.failingText;
        database.failingPicture = c.failingPicture;
        EXPECT_FALSE(buildEbook(*context, tmp.file("book.prc").c_str(), true, database)) << c.what;
        EXPECT_EQ(tmp.exists("book.prc") ? tmp.read("book.prc") : "", c.earlier) << c.what;
        EXPECT_FALSE(leftOver()) << c.what;
        EXPECT_NE(context->lastMessage[0], '\0') << c.what;
    }
    // The same build without failures replaces the book.
    ASSERT_EQ(batch("book.opf"), 0);
    EXPECT_EQ(recordsOf(tmp.read("book.prc")).size(), size_t(1 + 3 + 1));
    EXPECT_FALSE(leftOver());
}

TEST_F(BuildSafetyTest, ARebuildOnAFullDiskKeepsTheEarlierBook) {
    tmp.makeFolder("disk");
    SmallDisk disk(tmp.file("disk"), 88, 64);
    if (!disk.mounted()) GTEST_SKIP() << "no small file system can be mounted here (needs root on Linux)";
    std::string chapter = "<body>" + noisyText(24000) + "</body>";
    std::string earlier = noisyText(24000);
    tmp.write("disk\\ch.htm", chapter);
    tmp.write("disk\\book.prc", earlier);
    writePackage("disk\\book.opf", {"ch.htm"});

    auto [status, err] = batchWithErrors("disk\\book.opf");
    EXPECT_NE(status, 0) << err;
    EXPECT_NE(
        err.find(programPathForDisplay(tmp.file("disk\\book.prc").c_str()) + " (No space left on device)"),
        std::string::npos)
        << err;
    EXPECT_EQ(tmp.read("disk\\book.prc"), earlier);
    EXPECT_FALSE(tmp.exists("disk\\PRC*.tmp"));
}

TEST_F(BuildSafetyTest, PathsAreUsedWholeOrRefusedWithTheirName) {
    std::string deep;
    for (int i = 1; i <= 12; ++i) deep += "f" + std::to_string(i) + "\\";
    // The package and the build's pages fit their fields; the chapter does not.
    std::string longFolder = std::string(235 - tmp.path().size(), 'L') + "\\";
    std::string longHref = std::string(26, 'c') + ".htm";
    struct Case {
        std::string folder;
        std::string href;
        std::string message;  // empty: the build succeeds
    } cases[] = {
        {deep, "ch.htm", "too deep or too long for a build"},
        {"My%41Books\\", "ch.htm", ""},
        {"100%\\", "ch.htm", ""},
        {"a#b\\", "ch.htm", ""},
        {longFolder, longHref, longHref},
    };
    for (const Case& c : cases) {
        std::string folder;
        size_t start = 0;
        for (size_t end; (end = c.folder.find('\\', start)) != std::string::npos; start = end + 1) {
            folder += c.folder.substr(start, end - start + 1);
            tmp.makeFolder(folder);
            // A decoy in every ancestor that a cut or decoded path could reach.
            if (tmp.file(folder + c.href).size() < 250) tmp.write(folder + c.href, "<body>decoy</body>");
        }
        if (c.message.empty()) tmp.write(c.folder + c.href, "<body>the real chapter</body>");
        writePackage(c.folder + "book.opf", {c.href});
        tmp.makeFolder("My Books");
        tmp.makeFolder("100 ");

        auto [status, err] = batchWithErrors(c.folder + "book.opf");
        if (c.message.empty()) {
            EXPECT_EQ(status, 0) << c.folder << err;
            EXPECT_NE(bookText(c.folder + "book.prc").find("the real chapter"), std::string::npos)
                << c.folder;
        } else {
            EXPECT_NE(status, 0) << c.folder;
            EXPECT_NE(err.find(c.message), std::string::npos) << err;
            EXPECT_FALSE(tmp.exists(c.folder + "book.prc"));
        }
        EXPECT_FALSE(tmp.exists("My Books\\PRC*.tmp"));
        EXPECT_FALSE(tmp.exists("100 \\PRC*.tmp"));
        EXPECT_FALSE(tmp.exists("PRC*.tmp"));
        EXPECT_FALSE(tmp.exists("f1\\f2\\f3\\f4\\f5\\f6\\f7\\f8\\PRC*.tmp"));
    }
}

TEST_F(BuildSafetyTest, AGuideOrMetadataPageThatCannotBeWrittenFailsTheBuild) {
    tmp.write("ch.htm", "<body>text</body>");
    writePackage("book.opf", {"ch.htm"});
    struct Case {
        const char* stem;
        const char* message;
    } cases[] = {{"PRCguide_", "The guide page could not be created"},
                 {"PRCmeta_", "The metadata page could not be created"}};
    for (const Case& c : cases) {
        // Every name the page could take is held by someone else.
        for (int32_t n = 1; n <= kBuildFileAttempts; ++n)
            tmp.write(std::string(c.stem) + std::to_string(n) + ".tmp", "");
        tmp.write("book.prc", "earlier e-book");
        auto [status, err] = batchWithErrors("book.opf");
        EXPECT_NE(status, 0) << c.stem;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_EQ(tmp.read("book.prc"), "earlier e-book");
        EXPECT_FALSE(tmp.exists("PRCtemp_*.tmp"));
        EXPECT_FALSE(tmp.exists("PRCbook_*.tmp"));
        for (int32_t n = 1; n <= kBuildFileAttempts; ++n)
            deleteFile(tmp.file(std::string(c.stem) + std::to_string(n) + ".tmp").c_str());
    }
}

TEST_F(BuildSafetyTest, SpineEntriesWithoutManifestItemsAreNamedOnStandardError) {
    tmp.write("ch.htm", "<body>kept chapter</body>");
    writePackage("book.opf", {"ch.htm"}, {"ghost", "lost-2"});
    auto [status, err] = batchWithErrors("book.opf");
    EXPECT_EQ(status, 0);
    for (const char* id : {"ghost", "lost-2"})
        EXPECT_NE(err.find(std::string("The spine entry ") + id + " names no item of the manifest"),
                  std::string::npos)
            << err;
    EXPECT_NE(bookText("book.prc").find("kept chapter"), std::string::npos);
}

TEST_F(BuildSafetyTest, AFifoAsDocumentOrPictureIsRefusedAtOnce) {
    if (!makeFifo(tmp.file("pipe.htm")) || !makeFifo(tmp.file("pipe.gif")))
        GTEST_SKIP() << "this system has no FIFOs";
    FifoUnblocker documentEnd(tmp.file("pipe.htm"));
    FifoUnblocker pictureEnd(tmp.file("pipe.gif"));
    tmp.write("ch.htm", "<body>text <img src=\"pipe.gif\"></body>");
    writePackage("doc.opf", {"pipe.htm"});
    writePackage("pic.opf", {"ch.htm"});
    // A document is needed, so the build fails; a picture is left out.
    for (const char* package : {"doc.opf", "pic.opf"}) {
        auto [status, err] = batchWithErrors(package);
        EXPECT_EQ(status != 0, package == std::string("doc.opf")) << package;
        EXPECT_NE(err.find("pipe."), std::string::npos) << err;
        EXPECT_NE(err.find("(not a regular file)"), std::string::npos) << err;
        EXPECT_FALSE(leftOver());
    }
}

TEST_F(BuildSafetyTest, SizesAre64BitAndTooLargeSourcesAreRefused) {
    const uint64_t sizes[] = {(uint64_t(1) << 32) + 300, kLargestEbookText + 1};
    for (uint64_t size : sizes) {
        if (!makeSparseFile(tmp.file("huge.htm"), size)) GTEST_SKIP() << "no sparse file can be made here";
        EXPECT_EQ(fileSize(tmp.file("huge.htm").c_str()), size);
        writePackage("huge.opf", {"huge.htm"});
        auto [status, err] = batchWithErrors("huge.opf");
        EXPECT_NE(status, 0) << size;
        EXPECT_NE(err.find("huge.htm is too large for an eBook"), std::string::npos) << err;
        EXPECT_FALSE(leftOver());
        EXPECT_FALSE(tmp.exists("huge.prc"));
    }
    // The file layer's positions are 32-bit: it opens nothing larger.
    ASSERT_TRUE(makeSparseFile(tmp.file("huge.htm"), (uint64_t(1) << 32) + 300));
    EXPECT_EQ(openFile(tmp.file("huge.htm").c_str(), OpenMode::read), kInvalidFileHandle);
    EXPECT_NE(std::string(lastFileError()), "");
}

TEST_F(BuildSafetyTest, MarkupCharactersInTitlesAndHrefsReachTheBook) {
    auto pub = std::make_unique<Publication>();
    pub->addMetadata("dc:Title", "Salt & Iron <Vol. 2>");
    pub->addManifestItem("c\"1", "Tom & Jerry.htm", "text/html");
    pub->addSpineItem("c\"1");
    pub->addGuideReference("Start & <go>", "Tom & Jerry.htm#top", "text");
    ASSERT_TRUE(pub->save(tmp.file("book.opf").c_str()));
    tmp.write("Tom & Jerry.htm", "<body><a name=\"top\">the chapter</a></body>");

    ASSERT_EQ(batch("book.opf"), 0);
    std::string book = tmp.read("book.prc");
    EXPECT_EQ(book.substr(0, 21), std::string("Salt & Iron <Vol. 2>\0", 21));
    std::string text = decodedText(recordsOf(book));
    EXPECT_NE(text.find("the chapter"), std::string::npos) << text;
    EXPECT_NE(text.find("Salt &amp; Iron &lt;Vol. 2&gt;</BLOCKQUOTE>"), std::string::npos) << text;
    // The guide's reference found its anchor in the chapter.
    EXPECT_EQ(text.find("XXXXXXXXXX"), std::string::npos) << text;
}

TEST_F(BuildSafetyTest, APackageWithMoreToursThanTheTableHoldsIsRefusedByName) {
    std::string tours;
    for (int i = 0; i < 50; ++i) tours += "<tour id=\"t" + std::to_string(i) + "\" title=\"T\"></tour>";
    tmp.write("book.opf", "<?xml version=\"1.0\"?><package unique-identifier=\"x\"><tours>" + tours +
                              "</tours></package>");
    auto [status, err] = batchWithErrors("book.opf");
    EXPECT_NE(status, 0);
    EXPECT_NE(err.find("the tours table is full"), std::string::npos) << err;
    EXPECT_FALSE(tmp.exists("book.prc"));
}

TEST_F(BuildSafetyTest, MessagesNameFilesAsTheSystemShowsThemAndSayWhy) {
    tmp.write("ch.htm", "<body>text</body>");
    writePackage("gone.opf", {"ch.htm", "gone.htm"});
    writePackage("book.opf", {"ch.htm"});
    struct Case {
        std::string file;  // the file the message must name
        std::function<std::string()> build;
    } cases[] = {
        {"gone.htm", [&] { return batchWithErrors("gone.opf").second; }},
        {"nowhere.opf", [&] { return batchWithErrors("nowhere.opf").second; }},
        {"no folder\\book.prc",
         [&] {
             auto pub = std::make_unique<Publication>();
             EXPECT_TRUE(pub->open(tmp.file("book.opf").c_str()));
             auto context = std::make_unique<BuildContext>(pub.get());
             EXPECT_FALSE(buildEbook(*context, tmp.file("no folder\\book.prc").c_str(), true));
             return std::string(context->lastMessage);
         }},
    };
    for (const Case& c : cases) {
        std::string message = c.build();
        std::string shown = programPathForDisplay(tmp.file(c.file).c_str());
        size_t at = message.find(shown);
        ASSERT_NE(at, std::string::npos) << message;
        // A reason in the system's words follows the path.
        size_t reason = message.find(" (", at + shown.size());
        ASSERT_NE(reason, std::string::npos) << message;
        EXPECT_GT(message.find(')', reason), reason + 2) << message;
        bool nativeDiffers = shown != tmp.file(c.file);
        EXPECT_TRUE(!nativeDiffers || message.find(tmp.file(c.file)) == std::string::npos) << message;
        EXPECT_FALSE(leftOver()) << c.file;
    }
}

}  // namespace
