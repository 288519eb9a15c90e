// File, New and Publish as only their windows show them: New's file
// dialog and the boxes that keep it open, and the Publishing Wizard's pages
// with the build on its own thread, its progress, its failure and Cancel.
// Creating a book (CommandsTest), the checks and the build's output are
// tested elsewhere.
#include <gtest/gtest.h>

#include <string>

#include "GuiHarness.h"
#include "model/Files.h"
#include "tests/publish/EpubArchive.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(NewPublicationWindowTest, ItsBoxesKeepWhatWasTypedAndCancelWritesNothing) {
    TempFolder tmp;
    tmp.write("toc.htm", "my own contents");
    // A folder where the cover page should go.
    tmp.makeFolder("cover.htm");
    MainWindowRun run;
    run.post(ID_FILE_NEW);
    HWND dialog = run.waitForDialog("New Open-eBook Publication...");
    typeInto(dialog, IDC_NEW_NAME, "Gulls");
    // Browse proposes the book's name; the extension is added.
    click(dialog, IDC_NEW_BROWSE);
    HWND files = run.waitForFileDialog();
    EXPECT_TRUE(pollUntil(kWaitMilliseconds, [&] { return fileDialogName(files) == "Gulls"; }))
        << fileDialogName(files);
    answerFileDialog(files, tmp.file("gulls"));
    EXPECT_EQ(controlText(dialog, IDC_NEW_TARGET), tmp.file("gulls.opf"));

    // No author; No to making a folder; No to replacing toc.htm; Yes, and
    // the cover cannot be written: toc.htm is the user's again.
    const struct {
        const char* author;
        std::string target;
        bool create;  // false: the box follows the one before
        std::string shown;
        int answer;
    } boxes[] = {{"", tmp.file("gulls.opf"), true, loadString(IDS_NEW_NO_AUTHOR), IDOK},
                 {"Ann", tmp.file("shelf\\gulls"), true, tmp.file("shelf\\"), IDNO},
                 {"Ann", tmp.file("gulls.opf"), true, tmp.file("toc.htm"), IDNO},
                 {"Ann", tmp.file("gulls.opf"), true, tmp.file("toc.htm"), IDYES},
                 {"Ann", tmp.file("gulls.opf"), false, tmp.file("cover.htm"), IDOK}};
    for (const auto& box : boxes) {
        typeInto(dialog, IDC_NEW_AUTHOR, box.author);
        typeInto(dialog, IDC_NEW_TARGET, box.target);
        if (box.create) click(dialog, IDOK);
        std::string seen = run.answerBox(box.answer);
        EXPECT_NE(seen.find(box.shown), std::string::npos) << seen;
        EXPECT_EQ(seen.find(box.create ? "Warning (warning): " : "Error (error): "), 0u) << seen;
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ(controlText(dialog, IDC_NEW_NAME), "Gulls");
        EXPECT_FALSE(tmp.exists("gulls.opf") || tmp.exists("shelf"));
        EXPECT_EQ(tmp.read("toc.htm"), "my own contents");
    }
    click(dialog, IDCANCEL);
    EXPECT_TRUE(isGone(dialog));
    EXPECT_TRUE(run.staysAlone(200));
    EXPECT_EQ(run.title(), "Quirebound Publisher");
}

class PublishingWizardTest : public ::testing::Test {
protected:
    TempFolder tmp;

    void SetUp() override { tmp.copySample(); }

    // The wizard of a publish command as the Publish menu sends it, moved on
    // to its options page.
    HWND openOptions(MainWindowRun& run, HWND* options, int command = ID_PUBLISH_PRC) {
        run.post(command);
        HWND wizard = run.waitForDialog("Quirebound Publisher");
        // The welcome page: only Next.
        // The page's buttons are set when it becomes active, a moment after it exists.
        EXPECT_TRUE(pollUntil(kWaitMilliseconds, [&] {
            return currentPage(wizard) != nullptr && !IsWindowEnabled(GetDlgItem(wizard, kBackButton));
        }));
        *options = pressWizardButton(wizard, PSBTN_NEXT, IDC_PUBLISH_EBOOK_NAME);
        return *options != nullptr ? wizard : nullptr;
    }
    bool leftOverIntermediate() { return fileExists(tmp.file("PRC*.tmp").c_str()); }
};

uint32_t big(const std::string& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | uint8_t(bytes.at(at + i));
    return value;
}

TEST_F(PublishingWizardTest, TheBookIsBuiltOnItsThreadWithTheOptionsChosen) {
    for (bool ticked : {true, false}) {
        SCOPED_TRACE(ticked);
        if (!ticked) {
            // A link that leads nowhere, which the final page names.
            std::string chapter = tmp.read("text\\ch1.htm");
            tmp.write("text\\ch1.htm", chapter.insert(chapter.find("</body>"), "<a href=\"gone.htm\">gone</a>"));
        }
        MainWindowRun run(tmp.file("lantern.opf"));
        HWND options = nullptr;
        HWND wizard = openOptions(run, &options);
        ASSERT_NE(wizard, nullptr);
        EXPECT_EQ(controlText(options, IDC_PUBLISH_EBOOK_NAME), "lantern");
        EXPECT_EQ(
            controlText(options, IDC_PUBLISH_COMPRESS) + controlText(options, IDC_PUBLISH_FIRST_CHAPTER),
            "[x][x]");
        std::string name = "lantern";
        if (ticked) {
            // A refused name keeps the page; a name typed survives Back.
            typeInto(options, IDC_PUBLISH_EBOOK_NAME, "books\\mybook");
            pressWizardButton(wizard, PSBTN_NEXT);
            EXPECT_EQ(run.answerBox(IDOK), "Warning (warning): " + loadString(IDS_TARGET_NOT_VALID));
            EXPECT_EQ(currentPage(wizard), options);
            name = "mybook";
            typeInto(options, IDC_PUBLISH_EBOOK_NAME, name);
            pressWizardButton(wizard, PSBTN_BACK);
            ASSERT_TRUE(pollUntil(kWaitMilliseconds, [&] { return currentPage(wizard) != options; }));
            ASSERT_EQ(pressWizardButton(wizard, PSBTN_NEXT, IDC_PUBLISH_EBOOK_NAME), options);
            EXPECT_EQ(controlText(options, IDC_PUBLISH_EBOOK_NAME), name);
        }
        typeInto(options, IDC_PUBLISH_COMPRESS, ticked ? "[x]" : "[ ]");
        typeInto(options, IDC_PUBLISH_FIRST_CHAPTER, ticked ? "[x]" : "[ ]");
        HWND final = pressWizardButton(wizard, PSBTN_NEXT, IDC_PUBLISH_LOCATION);
        const std::string book = tmp.read(name + ".prc");
        EXPECT_EQ(controlText(final, IDC_PUBLISH_LOCATION), tmp.file(name + ".prc"));
        EXPECT_EQ(controlText(final, IDC_PUBLISH_SIZE), std::to_string(book.size() / 1024));
        // Set when the page becomes active, a moment after it shows.
        EXPECT_TRUE(
            pollUntil(kWaitMilliseconds, [&] { return IsWindowEnabled(GetDlgItem(wizard, kFinishButton)); }));
        EXPECT_EQ(controlText(final, IDC_PUBLISH_REPORT),
                  ticked ? loadString(IDS_PUBLISH_REPORT_CLEAN)
                         : "Publishing report: 1 internal link is unresolved\r\n  gone.htm in " +
                               tmp.file("text\\ch1.htm") + "\r\n");
        // The build's last step and its range of records, reported from its thread.
        EXPECT_EQ(controlText(options, IDC_PUBLISH_STATUS), "Adding images...");
        EXPECT_EQ(SendDlgItemMessageA(options, IDC_PUBLISH_PROGRESS, PBM_GETRANGE, FALSE, 0),
                  LRESULT(big(book, 76, 2) - 1));
        // Record 0 says whether the text records are compressed (2) or not (1).
        EXPECT_EQ(big(book, big(book, 78, 4), 2), ticked ? 2u : 1u);
        EXPECT_EQ(tmp.exists("lantern_firstchapter.htm"), ticked);
        EXPECT_FALSE(leftOverIntermediate());
        pressWizardButton(wizard, PSBTN_FINISH);
        EXPECT_TRUE(isGone(wizard));
        EXPECT_TRUE(run.staysAlone(200));
        deleteFile(tmp.file("lantern_firstchapter.htm").c_str());
    }
}

// A failed build shows why and cancels the wizard; Cancel right behind Next
// asks the build to stop. Either way an earlier book stays.
TEST_F(PublishingWizardTest, ABuildThatFailsOrIsCancelledLeavesNothingOfItself) {
    tmp.write("lantern.prc", "an earlier book");
    for (bool fails : {false, true}) {
        if (fails) deleteFile(tmp.file("text\\ch2.htm").c_str());
        MainWindowRun run(tmp.file("lantern.opf"));
        HWND options = nullptr;
        HWND wizard = openOptions(run, &options);
        ASSERT_NE(wizard, nullptr);
        pressWizardButton(wizard, PSBTN_NEXT);
        if (fails) {
            std::string box = run.answerBox(IDOK);
            EXPECT_EQ(box.find("Error (error): " + loadString(IDS_BUILD_INTERNAL_ERROR)), 0u) << box;
            EXPECT_NE(box.find(tmp.file("text\\ch2.htm")), std::string::npos) << box;
        } else {
            pressWizardButton(wizard, PSBTN_CANCEL);
        }
        EXPECT_TRUE(isGone(wizard)) << fails;
        EXPECT_TRUE(run.staysAlone(300));
        EXPECT_EQ(tmp.read("lantern.prc"), "an earlier book");
        EXPECT_FALSE(tmp.exists("lantern_firstchapter.htm"));
        EXPECT_FALSE(leftOverIntermediate());
        EXPECT_FALSE(run.waitForEnd(0));
    }
}

// The EPUB e-book: its own page, a cover refused, browsed for or typed, and
// the book it writes beside the package.
TEST_F(PublishingWizardTest, TheEpubIsBuiltWithTheCoverChosen) {
    tmp.makeFolder("art");
    tmp.copyFrom("tests/publish/data", {"magick-plasma.png"});
    const std::string cover = tmp.read("magick-plasma.png");
    writeWholeFile(tmp.file("art\\front.png"), cover);
    MainWindowRun run(tmp.file("lantern.opf"));
    HWND options = nullptr;
    HWND wizard = openOptions(run, &options, ID_PUBLISH_EPUB);
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(controlText(options, IDC_PUBLISH_EBOOK_NAME) + "|" + controlText(options, IDC_PUBLISH_COVER),
              "lantern|");
    EXPECT_EQ(GetDlgItem(options, IDC_PUBLISH_COMPRESS), nullptr);
    typeInto(options, IDC_PUBLISH_COVER, "front.png");
    pressWizardButton(wizard, PSBTN_NEXT);
    EXPECT_EQ(run.answerBox(IDOK), "Warning (warning): " + loadString(IDS_COVER_NOT_FOUND));
    EXPECT_EQ(currentPage(wizard), options);
    // Browse: a cancelled dialog keeps what was typed, a chosen file replaces it.
    const struct {
        bool choose;
        std::string shown;
    } browses[] = {{false, "front.png"}, {true, tmp.file("art\\front.png")}};
    for (const auto& browse : browses) {
        click(options, IDC_PUBLISH_COVER_BROWSE);
        HWND files = run.waitForFileDialog();
        if (browse.choose)
            answerFileDialog(files, tmp.file("art\\front.png"));
        else
            pressButton(files, IDCANCEL);
        EXPECT_EQ(controlText(options, IDC_PUBLISH_COVER), browse.shown);
    }
    typeInto(options, IDC_PUBLISH_EBOOK_NAME, "gulls");
    HWND final = pressWizardButton(wizard, PSBTN_NEXT, IDC_PUBLISH_LOCATION);
    EXPECT_EQ(controlText(final, IDC_PUBLISH_LOCATION), tmp.file("gulls.epub"));
    const std::string book = tmp.read("gulls.epub");
    EXPECT_EQ(controlText(final, IDC_PUBLISH_SIZE), std::to_string(book.size() / 1024));
    EXPECT_FALSE(fileExists(tmp.file("*.saving").c_str()));
    pressWizardButton(wizard, PSBTN_FINISH);
    EXPECT_TRUE(isGone(wizard));

    std::string problem;
    std::vector<ArchiveEntry> entries = archiveEntries(book, &problem);
    ASSERT_FALSE(entries.empty()) << problem;
    EXPECT_EQ(entries[0].name + " " + std::to_string(entries[0].method) + " " + entries[0].bytes,
              "mimetype 0 application/epub+zip");
    // The chapters of the spine and the chosen picture, declared the cover.
    std::string names;
    std::string package;
    for (const ArchiveEntry& entry : entries) {
        names += entry.name + " ";
        if (entry.bytes == cover) names += "(cover) ";
        if (entry.name.find(".opf") != std::string::npos) package = entry.bytes;
    }
    for (const char* part : {"ch1.xhtml ", "ch2.xhtml ", "ch3.xhtml ", "front.png (cover) ", "nav.xhtml "})
        EXPECT_NE(names.find(part), std::string::npos) << part << " in " << names;
    EXPECT_NE(package.find("front.png\" media-type=\"image/png\" properties=\"cover-image\""),
              std::string::npos)
        << package;
}

}  // namespace
