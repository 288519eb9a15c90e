// File, Import as a user meets it: the wizard's pages typed in and pressed
// through, the heading preview, the checks' boxes, and the publication that
// ends up open in the editor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiHarness.h"
#include "win32/DialogFunctionsWin32.h"
#include "resources/ResourceIds.h"
#include "tests/support/TempFolder.h"

namespace {

using Rows = std::vector<std::string>;

constexpr const char* kNovel =
    "Chapter 1\r\nIt was a dark and stormy night; the rain fell in torrents.\r\n\r\n"
    "Chapter II\r\nThe wind swept up the streets.\r\n";

class ImportWizardTest : public ::testing::Test {
protected:
    TempFolder tmp;
    MainWindowRun run;

    // The wizard of an import command, moved on to its source page.
    HWND openWizard(int command) {
        run.post(command);
        HWND wizard = run.waitForDialogWith(kNextButton);
        if (wizard == nullptr) return nullptr;
        // The welcome page: only Next.
        EXPECT_TRUE(
            pollUntil(kWaitMilliseconds, [&] { return !IsWindowEnabled(GetDlgItem(wizard, kBackButton)); }));
        pressWizardButton(wizard, PSBTN_NEXT);
        return waitForPage(wizard, IDC_IMPORT_SOURCE) != nullptr ? wizard : nullptr;
    }
    // Types into the current page and presses Next; the next page, or null.
    HWND next(HWND wizard, int expectedControl) {
        pressWizardButton(wizard, PSBTN_NEXT);
        return waitForPage(wizard, expectedControl);
    }
    HWND back(HWND wizard, int expectedControl) {
        pressWizardButton(wizard, PSBTN_BACK);
        return waitForPage(wizard, expectedControl);
    }
    // The box a refused step shows; answered with the button given.
    std::string boxAfterNext(HWND wizard, int answer = IDOK) {
        pressWizardButton(wizard, PSBTN_NEXT);
        MessageBoxSeen box = run.waitForMessageBox();
        if (box.window == nullptr) return "(no box)";
        pressButton(box.window, answer);
        return box.caption + ": " + box.text;
    }
    // The source page filled; the folder is typed without its backslash.
    HWND fillSource(HWND wizard, const std::string& source) {
        HWND page = currentPage(wizard);
        typeInto(page, IDC_IMPORT_SOURCE, tmp.file(source));
        typeInto(page, IDC_IMPORT_DESTINATION, tmp.path().substr(0, tmp.path().size() - 1));
        return page;
    }
    // An HTML import through its source page and tag page to the metadata
    // page; the tag page, or null.
    HWND throughTags(HWND wizard, const std::string& source, const char* tags) {
        fillSource(wizard, source);
        HWND page = next(wizard, IDC_IMPORT_HEADING_TAGS);
        if (page == nullptr) return nullptr;
        typeInto(page, IDC_IMPORT_HEADING_TAGS, tags);
        return next(wizard, IDC_IMPORT_TITLE) != nullptr ? page : nullptr;
    }
    // From the metadata page through Finish to the editor.
    void finish(HWND wizard, const std::string& packageName) {
        ASSERT_NE(next(wizard, IDC_IMPORT_PROGRESS), nullptr);
        EXPECT_TRUE(
            pollUntil(kWaitMilliseconds, [&] { return IsWindowEnabled(GetDlgItem(wizard, kFinishButton)); }));
        pressWizardButton(wizard, PSBTN_FINISH);
        ASSERT_TRUE(isGone(wizard));
        EXPECT_TRUE(run.titleBecomes("Quirebound Publisher - " + packageName)) << run.title();
    }
};

TEST_F(ImportWizardTest, ATextImportRunsThroughItsPagesIntoTheEditor) {
    tmp.write("alice.txt", std::string(kNovel) + "An exam-\r\nple.\r\n");
    tmp.write("rights.txt", "(c) the heirs");
    HWND wizard = openWizard(ID_IMPORT_TEXT);
    ASSERT_NE(wizard, nullptr);
    // A source chosen by browsing brings its folder as the destination.
    HWND source = currentPage(wizard);
    click(source, IDC_IMPORT_SOURCE_BROWSE);
    HWND files = run.waitForFileDialog();
    ASSERT_NE(files, nullptr);
    answerFileDialog(files, tmp.file("alice.txt"));
    ASSERT_TRUE(pollUntil(kWaitMilliseconds, [&] {
        return controlText(source, IDC_IMPORT_DESTINATION) == tmp.path();
    })) << controlText(source, IDC_IMPORT_DESTINATION);
    EXPECT_EQ(controlText(source, IDC_IMPORT_SOURCE), tmp.file("alice.txt"));

    HWND options = next(wizard, IDC_IMPORT_IGNORE_SINGLE_RETURNS);
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(isTicked(options, IDC_IMPORT_KEEP_ALL_RETURNS));
    EXPECT_TRUE(isTicked(options, IDC_IMPORT_SUPPRESS_HYPHEN));
    EXPECT_EQ(controlText(options, IDC_IMPORT_LINE_END_EXPLANATION), loadString(IDS_IMPORT_KEEP_ALL_RETURNS));
    click(options, IDC_IMPORT_IGNORE_SINGLE_RETURNS);
    EXPECT_TRUE(pollUntil(kWaitMilliseconds, [&] {
        return controlText(options, IDC_IMPORT_LINE_END_EXPLANATION) ==
               loadString(IDS_IMPORT_IGNORE_SINGLE_RETURNS);
    }));
    EXPECT_FALSE(isTicked(options, IDC_IMPORT_KEEP_ALL_RETURNS));
    setTicked(options, IDC_IMPORT_SUPPRESS_HYPHEN, false);

    HWND search = next(wizard, IDC_IMPORT_SEARCH_STRING);
    ASSERT_NE(search, nullptr);
    typeInto(search, IDC_IMPORT_SEARCH_STRING, "Chapter \\1\\n");
    HWND metadata = next(wizard, IDC_IMPORT_TITLE);
    ASSERT_NE(metadata, nullptr);
    EXPECT_EQ(controlText(metadata, IDC_IMPORT_TITLE), "alice");
    // Back from the metadata page returns to the search string, as typed.
    ASSERT_EQ(back(wizard, IDC_IMPORT_SEARCH_STRING), search);
    EXPECT_EQ(controlText(search, IDC_IMPORT_SEARCH_STRING), "Chapter \\1\\n");
    ASSERT_EQ(next(wizard, IDC_IMPORT_TITLE), metadata);
    typeInto(metadata, IDC_IMPORT_TITLE, "Alice in the Rain");
    typeInto(metadata, IDC_IMPORT_AUTHOR, "L. Carroll");
    setTicked(metadata, IDC_IMPORT_ADD_BIOGRAPHY, true);
    setTicked(metadata, IDC_IMPORT_ADD_RIGHTS, true);
    click(metadata, IDC_IMPORT_RIGHTS_BROWSE);
    files = run.waitForFileDialog();
    ASSERT_NE(files, nullptr);
    answerFileDialog(files, tmp.file("rights.txt"));
    ASSERT_TRUE(isGone(files));
    finish(wizard, "alice.opf");

    EXPECT_EQ(run.rows(IDC_SPINE_VIEW), (Rows{"cover", "toc", "ContentFile_1", "biography"}));
    std::string contents = tmp.read("alice_TOC.htm");
    EXPECT_NE(contents.find("<title>Alice in the Rain</title>"), std::string::npos);
    EXPECT_NE(contents.find("<a href=\"alice_1.htm#Chap.1\">Chapter 1</a><br>\r\n"
                            "<a href=\"alice_1.htm#Chap.2\">Chapter II</a><br>\r\n"
                            "<a href=\"alice_1.htm#BookLicense\">Copyright</a>"),
              std::string::npos)
        << contents;
    // Single line ends ignored: a space, an empty line a paragraph mark; the
    // hyphen kept; the rights at the end.
    std::string text = tmp.read("alice_1.htm");
    EXPECT_NE(text.find("stormy night; the rain fell in torrents. <BR>\r\n\r\n<P>"), std::string::npos)
        << text;
    EXPECT_NE(text.find("An exam- ple. "), std::string::npos) << text;
    EXPECT_NE(text.find("<a name=\"BookLicense\"></A>Copyright</H1>\r\n(c) the heirs</body>"),
              std::string::npos)
        << text;
    EXPECT_NE(tmp.read("alice.opf").find("(c) the heirs"), std::string::npos);
    EXPECT_TRUE(tmp.exists("alice_bio.htm"));
}

TEST_F(ImportWizardTest, AnHtmlImportUsesTheTagPageAndBackFindsIt) {
    tmp.write("tales.htm",
              "<html><head><title>x</title></head><body><h2>Intro</h2><p>Once.</p><H1>Part <b>One</b></H1>"
              "</body></html>");
    HWND wizard = openWizard(ID_IMPORT_HTML);
    ASSERT_NE(wizard, nullptr);
    HWND tags = throughTags(wizard, "tales.htm", "H1,H2");
    ASSERT_NE(tags, nullptr);
    ASSERT_EQ(back(wizard, IDC_IMPORT_HEADING_TAGS), tags);
    ASSERT_NE(back(wizard, IDC_IMPORT_SOURCE), nullptr);
    ASSERT_EQ(next(wizard, IDC_IMPORT_HEADING_TAGS), tags);
    EXPECT_EQ(controlText(tags, IDC_IMPORT_HEADING_TAGS), "H1,H2");
    ASSERT_NE(next(wizard, IDC_IMPORT_TITLE), nullptr);
    finish(wizard, "tales.opf");

    EXPECT_EQ(run.rows(IDC_SPINE_VIEW), (Rows{"cover", "toc", "ContentFile_1"}));
    std::string contents = tmp.read("tales_TOC.htm");
    EXPECT_NE(contents.find(">Intro</a>"), std::string::npos) << contents;
    EXPECT_NE(contents.find(">Part One</a>"), std::string::npos) << contents;
}

TEST_F(ImportWizardTest, ThePreviewListsTheHeadingsAndCancelStopsIt) {
    // Enough text that the search is still running when Cancel is pressed.
    std::string longNovel;
    for (int chapter = 1; chapter <= 400; ++chapter)
        longNovel += "Chapter " + std::to_string(chapter) + "\r\n" + std::string(20000, 'x') + "\r\n";
    tmp.write("short.txt", kNovel);
    tmp.write("long.txt", longNovel);
    for (const char* source : {"short.txt", "long.txt"}) {
        HWND wizard = openWizard(ID_IMPORT_TEXT);
        ASSERT_NE(wizard, nullptr);
        fillSource(wizard, source);
        ASSERT_NE(next(wizard, IDC_IMPORT_IGNORE_SINGLE_RETURNS), nullptr);
        HWND search = next(wizard, IDC_IMPORT_SEARCH_STRING);
        ASSERT_NE(search, nullptr);
        typeInto(search, IDC_IMPORT_SEARCH_STRING, "Chapter \\1\\n");
        click(search, IDC_IMPORT_TEST_SEARCH_STRING);
        HWND preview = run.waitForDialog("Preview Search String");
        ASSERT_NE(preview, nullptr);
        if (std::string(source) == "short.txt") {
            ASSERT_TRUE(pollUntil(kWaitMilliseconds,
                                  [&] { return controlText(preview, IDC_PREVIEW_CLOSE) == "&Close"; }));
            EXPECT_EQ(listEntries(preview, IDC_PREVIEW_LIST), (Rows{"Chapter 1", "Chapter II"}));
            EXPECT_EQ(SendDlgItemMessageA(preview, IDC_PREVIEW_PROGRESS, PBM_GETPOS, 0, 0), 100);
        } else {
            ASSERT_TRUE(pollUntil(kWaitMilliseconds,
                                  [&] { return !listEntries(preview, IDC_PREVIEW_LIST).empty(); }));
            EXPECT_EQ(controlText(preview, IDC_PREVIEW_CLOSE), "&Cancel");
            click(preview, IDC_PREVIEW_CLOSE);
            ASSERT_TRUE(pollUntil(kWaitMilliseconds,
                                  [&] { return controlText(preview, IDC_PREVIEW_CLOSE) == "&Close"; }));
            Sleep(200);
            size_t stoppedAt = listEntries(preview, IDC_PREVIEW_LIST).size();
            Sleep(300);
            EXPECT_EQ(listEntries(preview, IDC_PREVIEW_LIST).size(), stoppedAt);
            EXPECT_LT(stoppedAt, 400u);
            click(preview, IDC_PREVIEW_CLOSE);
            ASSERT_TRUE(isGone(preview));
            // Closed by its close box while searching, then tested again: the
            // new search starts alone, from the first byte.
            click(search, IDC_IMPORT_TEST_SEARCH_STRING);
            preview = run.waitForDialog("Preview Search String");
            ASSERT_NE(preview, nullptr);
            ASSERT_TRUE(pollUntil(kWaitMilliseconds,
                                  [&] { return !listEntries(preview, IDC_PREVIEW_LIST).empty(); }));
            PostMessageA(preview, WM_CLOSE, 0, 0);
            ASSERT_TRUE(isGone(preview));
            click(search, IDC_IMPORT_TEST_SEARCH_STRING);
            preview = run.waitForDialog("Preview Search String");
            ASSERT_NE(preview, nullptr);
            ASSERT_TRUE(pollUntil(kWaitMilliseconds,
                                  [&] { return listEntries(preview, IDC_PREVIEW_LIST).size() >= 3; }));
            EXPECT_EQ(listEntries(preview, IDC_PREVIEW_LIST)[0], "Chapter 1");
            EXPECT_EQ(listEntries(preview, IDC_PREVIEW_LIST)[2], "Chapter 3");
        }
        click(preview, IDC_PREVIEW_CLOSE);
        if (std::string(source) == "long.txt") click(preview, IDC_PREVIEW_CLOSE);
        ASSERT_TRUE(isGone(preview));
        pressWizardButton(wizard, PSBTN_CANCEL);
        ASSERT_TRUE(isGone(wizard));
    }
    EXPECT_FALSE(tmp.exists("long.opf"));
    EXPECT_EQ(run.title(), "Quirebound Publisher");
}

TEST_F(ImportWizardTest, EachCheckShowsItsMessageAndStaysOnItsPage) {
    tmp.write("alice.txt", kNovel);
    tmp.write("notes.opf", "not a package of an import");
    HWND wizard = openWizard(ID_IMPORT_TEXT);
    ASSERT_NE(wizard, nullptr);
    HWND source = fillSource(wizard, "missing.txt");
    EXPECT_EQ(boxAfterNext(wizard), "Error: " + loadString(IDS_IMPORT_BAD_SOURCE));
    typeInto(source, IDC_IMPORT_SOURCE, tmp.file("alice.txt"));
    typeInto(source, IDC_IMPORT_DESTINATION, tmp.file("nowhere"));
    EXPECT_EQ(boxAfterNext(wizard), "Error: " + loadString(IDS_IMPORT_BAD_DESTINATION));
    // A package named like the source would be written over it.
    fillSource(wizard, "notes.opf");
    EXPECT_EQ(boxAfterNext(wizard), "Error: The publication would be written over its own source file " +
                                        tmp.file("notes.opf") +
                                        ". Please choose another destination directory.");
    EXPECT_EQ(currentPage(wizard), source);

    fillSource(wizard, "alice.txt");
    ASSERT_NE(next(wizard, IDC_IMPORT_IGNORE_SINGLE_RETURNS), nullptr);
    HWND search = next(wizard, IDC_IMPORT_SEARCH_STRING);
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(boxAfterNext(wizard, IDCANCEL), "Warning: " + loadString(IDS_IMPORT_NO_SEARCH_STRING));
    EXPECT_EQ(currentPage(wizard), search);
    EXPECT_EQ(boxAfterNext(wizard, IDOK), "Warning: " + loadString(IDS_IMPORT_NO_SEARCH_STRING));
    HWND metadata = waitForPage(wizard, IDC_IMPORT_TITLE);
    ASSERT_NE(metadata, nullptr);
    typeInto(metadata, IDC_IMPORT_TITLE, "");
    EXPECT_EQ(boxAfterNext(wizard), "Error: " + loadString(IDS_IMPORT_NO_TITLE));
    EXPECT_EQ(currentPage(wizard), metadata);
    pressWizardButton(wizard, PSBTN_CANCEL);
    EXPECT_TRUE(isGone(wizard));
    EXPECT_FALSE(tmp.exists("alice.opf"));
}

TEST_F(ImportWizardTest, ExistingFilesAreReplacedOnlyWhenTheUserSaysSo) {
    tmp.write("alice.txt", kNovel);
    tmp.write("alice_TOC.htm", "my own contents");
    HWND wizard = openWizard(ID_IMPORT_TEXT);
    ASSERT_NE(wizard, nullptr);
    fillSource(wizard, "alice.txt");
    for (int answer : {IDNO, IDYES}) {
        ASSERT_NE(next(wizard, IDC_IMPORT_IGNORE_SINGLE_RETURNS), nullptr);
        ASSERT_NE(next(wizard, IDC_IMPORT_SEARCH_STRING), nullptr);
        typeInto(currentPage(wizard), IDC_IMPORT_SEARCH_STRING, "Chapter \\1\\n");
        ASSERT_NE(next(wizard, IDC_IMPORT_TITLE), nullptr);
        ASSERT_NE(next(wizard, IDC_IMPORT_PROGRESS), nullptr);
        pressWizardButton(wizard, PSBTN_FINISH);
        MessageBoxSeen question = run.waitForMessageBox();
        ASSERT_NE(question.window, nullptr);
        EXPECT_EQ(question.text,
                  "The file " + tmp.file("alice_TOC.htm") +
                      " already exists. Do you want to replace it and the other files of the import?");
        pressButton(question.window, answer);
        if (answer == IDNO) {
            ASSERT_NE(waitForPage(wizard, IDC_IMPORT_SOURCE), nullptr);
            EXPECT_EQ(tmp.read("alice_TOC.htm"), "my own contents");
            EXPECT_FALSE(tmp.exists("alice.opf"));
        }
    }
    ASSERT_TRUE(isGone(wizard));
    EXPECT_TRUE(run.titleBecomes("Quirebound Publisher - alice.opf"));
    EXPECT_NE(tmp.read("alice_TOC.htm").find("Chapter II"), std::string::npos);
}

TEST_F(ImportWizardTest, AnImportThatCannotStartSaysWhyAndWritesNothing) {
    tmp.write("nobody.htm", "<html><head></head><p>no body tag</p></html>");
    HWND wizard = openWizard(ID_IMPORT_HTML);
    ASSERT_NE(wizard, nullptr);
    ASSERT_NE(throughTags(wizard, "nobody.htm", "H1"), nullptr);
    ASSERT_NE(next(wizard, IDC_IMPORT_PROGRESS), nullptr);
    pressWizardButton(wizard, PSBTN_FINISH);
    MessageBoxSeen box = run.waitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "Import Init Error\nError while importing the HTML file " + tmp.file("nobody.htm") +
                            " : could not find the BODY tag");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.icon, "error");
    pressButton(box.window, IDOK);
    EXPECT_TRUE(isGone(wizard));
    EXPECT_TRUE(run.staysWithoutBox(200));
    for (const char* name : {"nobody.opf", "nobody_TOC.htm", "nobody_cover.htm", "nobody_1.htm"})
        EXPECT_FALSE(tmp.exists(name)) << name;
    EXPECT_EQ(run.title(), "Quirebound Publisher");
}

}  // namespace
