// File, New and Publish as a user meets them: the New dialog typed in and
// created, and the Publishing Wizard driven through its pages, with the
// boxes they show and the files they leave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiHarness.h"
#include "win32/DialogFunctionsWin32.h"
#include "resources/ResourceIds.h"
#include "tests/publish/BuildDriverRecords.h"
#include "tests/support/TempFolder.h"

namespace {

using Rows = std::vector<std::string>;

bool gone(HWND dialog) {
    return isGone(dialog);
}

class NewPublicationTest : public ::testing::Test {
protected:
    TempFolder tmp;
    MainWindowRun run;

    HWND openNewDialog() {
        run.post(ID_FILE_NEW);
        return run.waitForDialogWith(IDC_NEW_NAME);
    }
    void fill(HWND dialog, const std::string& name, const std::string& author, const std::string& target) {
        typeInto(dialog, IDC_NEW_NAME, name);
        typeInto(dialog, IDC_NEW_AUTHOR, author);
        typeInto(dialog, IDC_NEW_TARGET, target);
    }
};

TEST_F(NewPublicationTest, CreateWritesTheBookAndTheEditorOpensIt) {
    HWND dialog = openNewDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(windowText(dialog), "New Open-eBook Publication...");
    for (int edit : {IDC_NEW_NAME, IDC_NEW_AUTHOR, IDC_NEW_TARGET}) EXPECT_EQ(controlText(dialog, edit), "");
    EXPECT_TRUE(isTicked(dialog, IDC_NEW_ADD_TOC));
    EXPECT_TRUE(isTicked(dialog, IDC_NEW_ADD_COVER));
    EXPECT_FALSE(isTicked(dialog, IDC_NEW_ADD_BIOGRAPHY));
    fill(dialog, "Tide Tables", "M. Harbour", tmp.file("tides"));
    setTicked(dialog, IDC_NEW_ADD_BIOGRAPHY, true);
    setTicked(dialog, IDC_NEW_ADD_TOC, false);
    click(dialog, IDOK);
    ASSERT_TRUE(gone(dialog));
    ASSERT_TRUE(run.titleBecomes("Quirebound Publisher - tides.opf"));
    EXPECT_EQ(run.rows(IDC_MANIFEST_VIEW), (Rows{"cover", "  cover.htm", "bio", "  bio.htm"}));
    EXPECT_EQ(run.rows(IDC_SPINE_VIEW), (Rows{"cover", "bio"}));
    EXPECT_EQ(run.rows(IDC_GUIDE_VIEW), (Rows{"Biography", "  bio.htm"}));
    EXPECT_NE(tmp.read("cover.htm").find("<h1 align=\"center\">Tide Tables</h1>"), std::string::npos);
    EXPECT_FALSE(tmp.exists("toc.htm"));
    EXPECT_EQ(run.menuState(ID_PUBLISH_PRC) & MF_GRAYED, 0u);
}

TEST_F(NewPublicationTest, BrowseProposesTheNameAndCancelWritesNothing) {
    HWND dialog = openNewDialog();
    ASSERT_NE(dialog, nullptr);
    fill(dialog, "Gulls", "A. Writer", "");
    click(dialog, IDC_NEW_BROWSE);
    HWND files = run.waitForFileDialog();
    ASSERT_NE(files, nullptr);
    EXPECT_TRUE(pollUntil(kWaitMilliseconds, [&] { return fileDialogName(files) == "Gulls"; }))
        << fileDialogName(files);
    answerFileDialog(files, tmp.file("chosen"));
    ASSERT_TRUE(pollUntil(kWaitMilliseconds, [&] {
        return controlText(dialog, IDC_NEW_TARGET) == tmp.file("chosen.opf");
    })) << controlText(dialog, IDC_NEW_TARGET);
    // A cancelled browse keeps the target.
    click(dialog, IDC_NEW_BROWSE);
    files = run.waitForFileDialog();
    ASSERT_NE(files, nullptr);
    cancelFileDialog(files);
    EXPECT_EQ(controlText(dialog, IDC_NEW_TARGET), tmp.file("chosen.opf"));
    click(dialog, IDCANCEL);
    ASSERT_TRUE(gone(dialog));
    EXPECT_TRUE(run.staysWithoutBox(300));
    for (const char* name : {"chosen.opf", "toc.htm", "cover.htm"}) EXPECT_FALSE(tmp.exists(name)) << name;
    EXPECT_EQ(run.title(), "Quirebound Publisher");
}

// The checks and their order are tested natively: one shows the wiring.
TEST_F(NewPublicationTest, ACheckWarnsAndKeepsWhatWasTyped) {
    HWND dialog = openNewDialog();
    ASSERT_NE(dialog, nullptr);
    fill(dialog, "Gulls", "", tmp.file("g"));
    click(dialog, IDOK);
    MessageBoxSeen box = run.waitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, loadString(IDS_NEW_NO_AUTHOR));
    EXPECT_EQ(box.caption, "Warning");
    pressButton(box.window, IDOK);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(controlText(dialog, IDC_NEW_NAME), "Gulls");
    EXPECT_EQ(controlText(dialog, IDC_NEW_TARGET), tmp.file("g"));
    for (const char* name : {"g.opf", "toc.htm", "cover.htm"}) EXPECT_FALSE(tmp.exists(name)) << name;
    click(dialog, IDCANCEL);
    EXPECT_TRUE(gone(dialog));
}

TEST_F(NewPublicationTest, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo) {
    tmp.write("toc.htm", "my own contents");
    HWND dialog = openNewDialog();
    ASSERT_NE(dialog, nullptr);
    fill(dialog, "Gulls", "Ann", tmp.file("gulls.opf"));
    for (int answer : {IDNO, IDYES}) {
        click(dialog, IDOK);
        MessageBoxSeen question = run.waitForMessageBox();
        ASSERT_NE(question.window, nullptr);
        EXPECT_EQ(question.text, "The file " + tmp.file("toc.htm") +
                                     " already exists. Do you want to replace it and the other files of the "
                                     "new publication?");
        pressButton(question.window, answer);
        if (answer == IDNO) {
            EXPECT_TRUE(run.staysWithoutBox(200));
            EXPECT_TRUE(IsWindow(dialog));
            EXPECT_EQ(controlText(dialog, IDC_NEW_NAME), "Gulls");
            EXPECT_EQ(tmp.read("toc.htm"), "my own contents");
            EXPECT_FALSE(tmp.exists("gulls.opf"));
            EXPECT_FALSE(tmp.exists("cover.htm"));
        }
    }
    ASSERT_TRUE(gone(dialog));
    ASSERT_TRUE(run.titleBecomes("Quirebound Publisher - gulls.opf"));
    EXPECT_NE(tmp.read("toc.htm").find("Table Of Contents"), std::string::npos);
}

TEST_F(NewPublicationTest, AFileThatCannotBeWrittenIsNamedAndNothingIsKept) {
    // A folder where the cover page should go.
    tmp.makeFolder("cover.htm");
    HWND dialog = openNewDialog();
    ASSERT_NE(dialog, nullptr);
    fill(dialog, "Gulls", "Ann", tmp.file("gulls"));
    click(dialog, IDOK);
    MessageBoxSeen question = run.waitForMessageBox();
    ASSERT_NE(question.window, nullptr);
    pressButton(question.window, IDYES);
    MessageBoxSeen error = run.waitForMessageBox();
    ASSERT_NE(error.window, nullptr);
    EXPECT_EQ(error.text, "The file " + tmp.file("cover.htm") +
                              " could not be written. Nothing of the new publication was kept.");
    EXPECT_EQ(error.caption, "Error");
    pressButton(error.window, IDOK);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(run.title(), "Quirebound Publisher");
    click(dialog, IDCANCEL);
    EXPECT_TRUE(gone(dialog));
}

// ---- Publishing Wizard ----------------------------------------------------

class PublishingWizardTest : public ::testing::Test {
protected:
    TempFolder tmp;

    void SetUp() override { tmp.copySample(); }

    // The wizard of a publish command on its welcome page.
    HWND openWizard(MainWindowRun& run) {
        run.post(ID_PUBLISH_PRC);
        return run.waitForDialogWith(kNextButton);
    }
    static void press(HWND wizard, int button) { pressWizardButton(wizard, button); }
    // From the welcome page to the options page.
    static HWND toOptions(HWND wizard) {
        press(wizard, PSBTN_NEXT);
        return waitForPage(wizard, IDC_PUBLISH_EBOOK_NAME);
    }
    bool leftOverIntermediate() { return fileExists(tmp.file("PRCtemp_*.tmp").c_str()); }
};

TEST_F(PublishingWizardTest, TheSampleIsPublishedThroughTheThreePages) {
    MainWindowRun run(tmp.file("lantern.opf"));
    HWND wizard = openWizard(run);
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(windowText(wizard).find("Quirebound Publisher"), 0u) << windowText(wizard);
    // The welcome page: only Next.
    ASSERT_TRUE(pollUntil(kWaitMilliseconds, [&] { return currentPage(wizard) != nullptr; }));
    EXPECT_EQ(GetDlgItem(currentPage(wizard), IDC_PUBLISH_EBOOK_NAME), nullptr);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard, kBackButton)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wizard, kNextButton)));
    HWND options = toOptions(wizard);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(controlText(options, IDC_PUBLISH_EBOOK_NAME), "lantern");
    EXPECT_TRUE(isTicked(options, IDC_PUBLISH_COMPRESS));
    EXPECT_TRUE(isTicked(options, IDC_PUBLISH_FIRST_CHAPTER));
    EXPECT_EQ(controlText(options, IDC_PUBLISH_STATUS), "");
    // Back and Next again keep the typed name.
    typeInto(options, IDC_PUBLISH_EBOOK_NAME, "mybook");
    press(wizard, PSBTN_BACK);
    ASSERT_TRUE(pollUntil(kWaitMilliseconds, [&] { return currentPage(wizard) != options; }));
    ASSERT_EQ(toOptions(wizard), options);
    EXPECT_EQ(controlText(options, IDC_PUBLISH_EBOOK_NAME), "mybook");

    press(wizard, PSBTN_NEXT);
    HWND final = waitForPage(wizard, IDC_PUBLISH_LOCATION);
    ASSERT_NE(final, nullptr);
    std::string target = tmp.file("mybook.prc");
    EXPECT_EQ(controlText(final, IDC_PUBLISH_LOCATION), target);
    std::string book = tmp.read("mybook.prc");
    EXPECT_EQ(controlText(final, IDC_PUBLISH_SIZE), std::to_string(book.size() / 1024));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wizard, kFinishButton)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(final, IDC_PUBLISH_PREVIEW)));
    // The build's last step and its progress at the end.
    EXPECT_EQ(controlText(options, IDC_PUBLISH_STATUS), "Adding images...");
    HWND bar = GetDlgItem(options, IDC_PUBLISH_PROGRESS);
    std::vector<std::string> records = recordsOf(book);
    ASSERT_GE(records.size(), 3u);
    uint32_t textRecords = big16(records[0], 8);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), LRESULT(records.size() - 1));
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), LRESULT(textRecords));

    // The e-book holds the sample as the batch build makes it.
    std::string text = decodedText(records);
    EXPECT_EQ(text.size(), big32(records[0], 4));
    EXPECT_EQ(text.substr(0, 12), "<HTML><HEAD>");
    EXPECT_NE(text.find("Odile Brann kept the lantern"), std::string::npos);
    EXPECT_EQ(book.substr(0, 26), "The Lantern on Gull Point" + std::string(1, '\0'));
    EXPECT_TRUE(tmp.exists("lantern_firstchapter.htm"));
    EXPECT_FALSE(leftOverIntermediate());

    press(wizard, PSBTN_FINISH);
    EXPECT_TRUE(gone(wizard));
    EXPECT_TRUE(run.staysWithoutBox(200));
}

TEST_F(PublishingWizardTest, WithoutTheFirstChapterBoxNoChapterFileIsWritten) {
    MainWindowRun run(tmp.file("lantern.opf"));
    HWND wizard = openWizard(run);
    ASSERT_NE(wizard, nullptr);
    HWND options = toOptions(wizard);
    ASSERT_NE(options, nullptr);
    setTicked(options, IDC_PUBLISH_FIRST_CHAPTER, false);
    setTicked(options, IDC_PUBLISH_COMPRESS, false);
    press(wizard, PSBTN_NEXT);
    ASSERT_NE(waitForPage(wizard, IDC_PUBLISH_LOCATION), nullptr);
    EXPECT_FALSE(tmp.exists("lantern_firstchapter.htm"));
    // Uncompressed: the first text record is the text itself.
    std::vector<std::string> records = recordsOf(tmp.read("lantern.prc"));
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(big16(records[0], 0), 1u);
    EXPECT_EQ(records[1].substr(0, 12), "<HTML><HEAD>");
    press(wizard, PSBTN_FINISH);
    EXPECT_TRUE(gone(wizard));
}

// The name rule is tested natively: one refused name shows the wiring.
TEST_F(PublishingWizardTest, ABadNameIsRefusedAndTheWizardStays) {
    MainWindowRun run(tmp.file("lantern.opf"));
    HWND wizard = openWizard(run);
    ASSERT_NE(wizard, nullptr);
    HWND options = toOptions(wizard);
    ASSERT_NE(options, nullptr);
    typeInto(options, IDC_PUBLISH_EBOOK_NAME, "books\\mybook");
    press(wizard, PSBTN_NEXT);
    MessageBoxSeen box = run.waitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "The tagret file you entered is not valid.");
    EXPECT_EQ(box.caption, "Warning");
    pressButton(box.window, IDOK);
    EXPECT_EQ(currentPage(wizard), options);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wizard, kNextButton)));
    EXPECT_FALSE(tmp.exists("*.prc"));
    press(wizard, PSBTN_CANCEL);
    EXPECT_TRUE(gone(wizard));
}

TEST_F(PublishingWizardTest, AFailedBuildNamesTheMissingFileAndCloses) {
    deleteFile(tmp.file("text\\ch2.htm").c_str());
    MainWindowRun run(tmp.file("lantern.opf"));
    HWND wizard = openWizard(run);
    ASSERT_NE(wizard, nullptr);
    ASSERT_NE(toOptions(wizard), nullptr);
    press(wizard, PSBTN_NEXT);
    MessageBoxSeen box = run.waitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "internal error while building the eBook.\nThe file " + tmp.file("text\\ch2.htm") +
                            ", referenced in the Manifest is not available (File not found)");
    EXPECT_EQ(box.caption, "Error");
    pressButton(box.window, IDOK);
    EXPECT_TRUE(gone(wizard));
    EXPECT_FALSE(tmp.exists("lantern.prc"));
    EXPECT_FALSE(leftOverIntermediate());
    EXPECT_FALSE(run.hasEnded());
}

TEST_F(PublishingWizardTest, WithoutAPackageThereIsNothingToPublish) {
    MainWindowRun run;
    run.post(ID_PUBLISH_PRC);
    EXPECT_TRUE(run.staysWithoutBox(500));
    EXPECT_EQ(run.waitForDialogWith(kNextButton, 0), nullptr);
}

TEST_F(PublishingWizardTest, CancelDuringTheBuildStopsItAndKeepsAnEarlierBook) {
    tmp.write("lantern.prc", "an earlier book");
    MainWindowRun run(tmp.file("lantern.opf"));
    HWND wizard = openWizard(run);
    ASSERT_NE(wizard, nullptr);
    HWND options = toOptions(wizard);
    ASSERT_NE(options, nullptr);
    // Cancel right behind Next: the build has begun and is asked to stop.
    press(wizard, PSBTN_NEXT);
    press(wizard, PSBTN_CANCEL);
    EXPECT_TRUE(gone(wizard));
    EXPECT_TRUE(run.staysWithoutBox(300));
    EXPECT_EQ(tmp.read("lantern.prc"), "an earlier book");
    EXPECT_FALSE(tmp.exists("lantern_firstchapter.htm"));
    EXPECT_FALSE(leftOverIntermediate());
}

}  // namespace
