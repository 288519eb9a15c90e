// Whole builds, as the batch build runs them: what the e-book holds, and
// builds under hostile and unlucky conditions (user files beside the package,
// failing steps, cut paths, markup in names).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "BuildDriverRecords.h"
#include "EpubArchive.h"
#include "MergeTestSupport.h"
#include "model/CommandLinePath.h"
#include "model/Files.h"
#include "publish/BuildDriver.h"
#include "tests/support/RunProgram.h"
#include "tests/support/SpecialFiles.h"

namespace {

class BuildDriverTest : public ::testing::Test {
protected:
    TempFolder tmp;
    RecordingReporter reporter;

    // A package of one chapter per href; ids are d0, d1, ...
    void writePackage(const std::string& name, const std::vector<std::string>& hrefs,
                      const char* title = "T") {
        auto pub = publicationIn(tmp, name.c_str());
        if (*title) pub->addMetadata("dc:Title", title);
        for (size_t i = 0; i < hrefs.size(); ++i)
            addDocument(*pub, ("d" + std::to_string(i)).c_str(), hrefs[i].c_str());
        ASSERT_TRUE(pub->save(tmp.file(name).c_str()));
    }
    int batch(const std::string& name) { return batchBuild(tmp.file(name).c_str(), {}, reporter); }
    // The status and what the build wrote to standard error.
    std::pair<int, std::string> batchWithErrors(const std::string& name) {
        testing::internal::CaptureStderr();
        int status = batch(name);
        return {status, testing::internal::GetCapturedStderr()};
    }
    // The intermediate text of the package, made by a merge of its own.
    std::string mergedText(const std::string& name) {
        auto pub = std::make_unique<Publication>();
        EXPECT_TRUE(pub->open(tmp.file(name).c_str()));
        auto context = std::make_unique<BuildContext>(pub.get());
        EXPECT_TRUE(context->mergeManifest());
        std::string text = readWholeFile(context->intermediatePath);
        deleteFile(context->intermediatePath);
        return text;
    }
    std::string bookText(const std::string& name) { return decodedText(recordsOf(tmp.read(name))); }
    bool leftOver() { return tmp.exists("PRC*.tmp"); }
    std::string shown(const std::string& name) { return programPathForDisplay(tmp.file(name).c_str()); }
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

TEST_F(BuildDriverTest, ABatchBuildWritesTheMergedTextAsCompressedRecords) {
    std::string chapter = "<body>";
    for (int i = 0; i < 300; ++i)
        chapter += "<p>Paragraph " + std::to_string(i) + " of the long chapter.</p>\r\n";
    tmp.write("ch1.htm", chapter + "<a href=\"ch2.htm\">next</a></body>");
    tmp.write("ch2.htm", "<body><h2>Two</h2><img src=\"pic.gif\"></body>");
    tmp.write("pic.gif", tinyGif());
    writePackage("novel.opf", {"ch1.htm", "ch2.htm"}, "The Voyage");
    std::string expected = mergedText("novel.opf");

    ASSERT_EQ(batch("novel.opf"), 0);
    std::string file = tmp.read("novel.prc");
    EXPECT_EQ(file.substr(0, 11), std::string("The Voyage\0", 11));
    std::vector<std::string> records = recordsOf(file);
    ASSERT_GE(records.size(), size_t(3));
    EXPECT_EQ(big16(records[0], 0), 2u);  // compressed
    uint32_t textRecords = big16(records[0], 8);
    EXPECT_EQ(textRecords, (expected.size() + kTextRecordSize - 1) / kTextRecordSize);
    EXPECT_GT(textRecords, 1u);
    // One picture record follows the text.
    EXPECT_EQ(records.size(), size_t(1 + textRecords + 1));
    EXPECT_FALSE(records.back().empty());
    EXPECT_EQ(decodedText(records), expected);
    EXPECT_NE(expected.find("recindex=\"00001\""), std::string::npos);
    EXPECT_FALSE(leftOver());

    // The status line counts the records, then turns to the pictures.
    const std::pair<int32_t, int32_t> first = {IDS_BUILD_RECORDS, 1};
    auto at = std::find(reporter.statusLines.begin(), reporter.statusLines.end(), first);
    ASSERT_NE(at, reporter.statusLines.end());
    EXPECT_EQ(*(at + 1), std::make_pair(IDS_BUILD_RECORDS, 2));
    EXPECT_EQ(reporter.statusLines.back(), std::make_pair(IDS_BUILD_ADDING_IMAGES, -1));
}

TEST_F(BuildDriverTest, TheTargetTakesPrcForTheNamesExtensionInThePackagesFolder) {
    const std::string longName = "C:\\" + std::string(250, 'n');
    const std::pair<std::string, const char*> cases[] = {
        {"C:\\b\\x.opf", "C:\\b\\x.prc"},
        {"C:\\b\\x.html", "C:\\b\\x.prc"},
        {"a.opf", "a.prc"},
        {"C:\\b\\my.book.opf", "C:\\b\\my.book.prc"},
        // Without an extension nothing is cut, least of all from the folder.
        {"C:\\dir\\abc", "C:\\dir\\abc.prc"},
        {"abcd", "abcd.prc"},
        {"C:\\b\\mypackage", "C:\\b\\mypackage.prc"},
        {"C:\\my.books/opf", "C:\\my.books/opf.prc"},
        {"C:\\b\\.opf", "C:\\b\\.opf.prc"},
        {"", nullptr},
        {"C:\\b\\", nullptr},
        {longName + ".opf", nullptr},
        {longName + "n.opf", nullptr},
    };
    for (const auto& [package, expected] : cases) {
        char target[kPathSize] = "";
        bool named = batchTargetPath(package.c_str(), target);
        EXPECT_EQ(named ? target : "(none)", std::string(expected != nullptr ? expected : "(none)"));
    }
}

TEST_F(BuildDriverTest, ABookWithoutTitleHasAnEmptyName) {
    tmp.write("a.htm", "<body>x</body>");
    writePackage("untitled.opf", {"a.htm"}, "");
    ASSERT_EQ(batch("untitled.opf"), 0);
    EXPECT_EQ(tmp.read("untitled.prc").substr(0, 32), std::string(32, '\0'));
}

TEST_F(BuildDriverTest, UserFilesNamedLikeTheBuildsOwnFilesAreLeftWhole) {
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

TEST_F(BuildDriverTest, AFailureAtAnyStepKeepsTheEarlierBookWholeAndLeavesNothing) {
    // The short book is written at its close, the long one as it goes.
    tmp.write("ch.htm", "<body>" + noisyText(60000) + "<img src=\"pic.gif\"></body>");
    tmp.write("long.htm", "<body>" + noisyText(150000) + "</body>");
    tmp.write("pic.gif", tinyGif());
    writePackage("book.opf", {"ch.htm"});
    writePackage("long.opf", {"long.htm"});
    writePackage("gone.opf", {"ch.htm", "missing.htm"});
    tmp.write("broken.opf", "not a package");
    tmp.write("self.prc", "<?xml version=\"1.0\"?>");
    tmp.write("twins.opf", "<package unique-identifier=\"x\"><manifest><item id=\"c\" href=\"a.htm\" media-type=\"t\"/>"
                           "<item id=\"C\" href=\"b.htm\" media-type=\"t\"/></manifest></package>");
    std::string tours;
    for (int i = 0; i < 50; ++i) tours += "<tour id=\"t" + std::to_string(i) + "\" title=\"T\"></tour>";
    tmp.write("tours.opf", "<package unique-identifier=\"x\"><tours>" + tours + "</tours></package>");
    // Sizes are 64-bit: a source above 4 GiB is not taken for a small one.
    for (uint64_t size : {(uint64_t(1) << 32) + 300, kLargestEbookText + 1}) {
        std::string name = "huge" + std::to_string(size % 2);
        ASSERT_TRUE(makeSparseFile(tmp.file(name + ".htm"), size));
        writePackage(name + ".opf", {name + ".htm"});
    }
    // A document that fits alone, behind another: the book is too large.
    ASSERT_TRUE(makeSparseFile(tmp.file("huge2.htm"), kLargestEbookText - 100));
    writePackage("huge2.opf", {"ch.htm", "huge2.htm"});
    const std::string folder = shown("");
    const std::string book = shown("book.prc");
    struct Case {
        const char* package;
        FileFault fault;
        uint64_t after;  // calls or bytes that still succeed
        std::string message;
        const char* earlier = "earlier e-book";  // empty: none
    } cases[] = {
        {"broken.opf", FileFault::none, 0, "The package " + shown("broken.opf") + " could not be read"},
        {"nowhere.opf", FileFault::none, 0, "The package " + shown("nowhere.opf") + " could not be read ("},
        {"tours.opf", FileFault::none, 0, "could not be read: the tours table is full"},
        {"self.prc", FileFault::none, 0, "would be overwritten by its own eBook", "<?xml version=\"1.0\"?>"},
        {"huge0.opf", FileFault::none, 0, "huge0.htm is too large for an eBook"},
        {"huge1.opf", FileFault::none, 0, "huge1.htm is too large for an eBook"},
        {"huge2.opf", FileFault::none, 0, "The eBook of " + shown("huge2.opf") + " is too large"},
        {"twins.opf", FileFault::none, 0, "The manifest id C is given to two items, a.htm and b.htm"},
        {"gone.opf", FileFault::none, 0,
         "The file " + shown("missing.htm") + ", referenced in the Manifest is not available ("},
        {"book.opf", FileFault::create, 0, "Error while creating the intermediate file in " + folder},
        {"book.opf", FileFault::create, 1, "The guide page could not be created in " + folder},
        {"book.opf", FileFault::create, 2, "The metadata page could not be created in " + folder},
        {"book.opf", FileFault::create, 3, "The eBook " + book + " could not be created"},
        {"book.opf", FileFault::write, 0,
         "The guide page " + shown("PRCbuild_1.tmp\\PRCguide_1.tmp") + " could not be written"},
        {"long.opf", FileFault::write, 1000, "Error while write to the intermediate file " + folder},
        {"long.opf", FileFault::write, 180000,
         "Error while writing the text records of " + shown("long.prc")},
        {"book.opf", FileFault::write, 80000, "Unable to write the PRC target file : " + book},
        {"book.opf", FileFault::write, 80000, "Unable to write the PRC target file : " + book, ""},
        {"book.opf", FileFault::flush, 0, "Unable to write the PRC target file : " + book},
        {"book.opf", FileFault::rename, 0, "The eBook " + book + " could not be replaced"},
    };
    for (const Case& c : cases) {
        std::string target = std::string(c.package, std::strlen(c.package) - 4) + ".prc";
        deleteFile(tmp.file(target).c_str());
        if (*c.earlier) tmp.write(target, c.earlier);
        std::pair<int, std::string> result;
        {
            ScopedFileFault fault(c.fault, c.after, "No space left on device");
            result = batchWithErrors(c.package);
        }
        const std::string& err = result.second;
        EXPECT_NE(result.first, 0) << c.message;
        // The message ends with the system's reason.
        size_t at = err.find(c.message);
        EXPECT_NE(at, std::string::npos) << c.message << "\n" << err;
        bool reason = err.find(" (No space left on device)", at) < err.find('\n', at);
        EXPECT_TRUE(c.fault == FileFault::none || reason) << err;
        // Paths are named as the system shows them, not in the program's form.
        EXPECT_TRUE(folder == tmp.path() || err.find(tmp.path()) == std::string::npos) << err;
        EXPECT_EQ(tmp.exists(target) ? tmp.read(target) : "", c.earlier) << c.message;
        EXPECT_FALSE(leftOver()) << c.message;
    }
    // The same builds without faults replace the books.
    ASSERT_EQ(batch("book.opf"), 0);
    EXPECT_EQ(recordsOf(tmp.read("book.prc")).size(), size_t(1 + 15 + 1));
    ASSERT_EQ(batch("long.opf"), 0);
    EXPECT_FALSE(leftOver());
}

TEST_F(BuildDriverTest, PathsAreUsedWholeOrRefusedWithTheirName) {
    std::string deep;
    for (int i = 1; i <= 12; ++i) deep += "f" + std::to_string(i) + "\\";
    // The package and the build's files fit their fields; the chapter does not.
    std::string longFolder = std::string(220 - tmp.path().size(), 'L') + "\\";
    std::string longHref = std::string(41, 'c') + ".htm";
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
        for (const char* folder : {"My Books\\", "100 \\", "", "f1\\f2\\f3\\f4\\f5\\f6\\f7\\f8\\"})
            EXPECT_FALSE(tmp.exists(std::string(folder) + "PRC*.tmp")) << folder;
    }
}

TEST_F(BuildDriverTest, FilesOutsideThePackagesFolderAreLeftOutByNameUnlessAllowed) {
    tmp.makeFolder("book");
    tmp.write("secret.htm", "<body>SECRET</body>");
    tmp.write("secret.gif", readWholeFile(sourceFile("tests/publish/data/pattern-30x10.gif")));
    tmp.write("book\\ch.htm", "<body>inside<img src=\"../secret.gif\"></body>");
    std::string secret = tmp.file("secret.htm");
    bool linked = makeSymlink(secret, tmp.file("book\\link.htm"));
    const std::vector<std::string> hrefs = {"../secret.htm",         "none/../../secret.htm", secret,
                                            commandLinePath(secret), "file://" + secret,       "link.htm"};
    for (const std::string& href : hrefs) {
        for (auto [allowed, format] : {std::pair(false, EbookFormat::prc), std::pair(true, EbookFormat::prc),
                                       std::pair(false, EbookFormat::epub), std::pair(true, EbookFormat::epub)}) {
            if (href == "link.htm" && !linked) continue;
            writePackage("book\\book.opf", {"ch.htm", href});
            reporter.messages.clear();
            BatchOptions options;
            options.allowOutsideFiles = allowed;
            options.format = format;
            ASSERT_EQ(batchBuild(tmp.file("book\\book.opf").c_str(), options, reporter), 0) << href;
            std::string text, said, problem;
            bool picture = false;
            if (format == EbookFormat::prc) {
                text = bookText("book\\book.prc");
                picture = text.find("recindex=\"00001\"") != std::string::npos;
            }
            for (const ArchiveEntry& entry : format == EbookFormat::epub
                                                 ? archiveEntries(tmp.read("book\\book.epub"), &problem)
                                                 : std::vector<ArchiveEntry>()) {
                text += entry.bytes;
                picture = picture || entry.name.ends_with(".gif");
            }
            for (const std::string& message : reporter.messages) said += message + "\n";
            EXPECT_NE(text.find("inside"), std::string::npos) << problem;
            EXPECT_EQ(text.find("SECRET") != std::string::npos, allowed) << href;
            EXPECT_EQ(picture, allowed) << href;
            EXPECT_EQ(said.find("(" + href + ") is left out: it lies outside") != std::string::npos, !allowed)
                << said;
            const char* pictureNote = format == EbookFormat::prc ? "picture ../secret.gif of"
                                                                 : "secret.gif is left out: it lies outside";
            EXPECT_EQ(said.find(pictureNote) != std::string::npos, !allowed) << said;
        }
    }
}

TEST_F(BuildDriverTest, MarkupCharactersInTitlesAndHrefsReachTheBook) {
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

}  // namespace
