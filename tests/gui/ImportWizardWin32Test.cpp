// File, Import as only its windows show it: the wizard's page paths with
// their file dialogs and boxes, the heading preview on its thread, and the
// publication that ends up open in the editor. The pages' checks and the
// imports themselves are tested natively (ImportChecksTest, tests/import).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiHarness.h"
#include "tests/support/TempFolder.h"

namespace {

using Rows = std::vector<std::string>;

const std::string kNovel =
    "Chapter 1\r\nIt was a dark and stormy night; the rain fell in torrents.\r\n\r\n"
    "Chapter II\r\nThe wind swept up the streets.\r\n";

class ImportWizardTest : public ::testing::Test {
protected:
    TempFolder tmp;
    MainWindowRun run;

    // The wizard of an import command, moved on to its source page.
    HWND openWizard(int command) {
        run.post(command);
        HWND wizard = run.waitForDialog("Quirebound Publisher");
        // The welcome page: only Next.
        EXPECT_TRUE(
            pollUntil(kWaitMilliseconds, [&] { return !IsWindowEnabled(GetDlgItem(wizard, kBackButton)); }));
        return pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_SOURCE) != nullptr ? wizard : nullptr;
    }
    // The box a press shows, answered with the button given.
    std::string boxAfter(HWND wizard, int button, int answer = IDOK) {
        pressWizardButton(wizard, button);
        return run.answerBox(answer);
    }
    // The source page filled; the folder is typed without its backslash.
    void fillSource(HWND wizard, const std::string& source) {
        typeInto(currentPage(wizard), IDC_IMPORT_SOURCE, tmp.file(source));
        typeInto(currentPage(wizard), IDC_IMPORT_DESTINATION, tmp.path().substr(0, tmp.path().size() - 1));
    }
    // An HTML import through its tag page to its final page; the tag page.
    HWND throughTags(HWND wizard, const std::string& source, const char* tags) {
        fillSource(wizard, source);
        HWND page = pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_HEADING_TAGS);
        typeInto(page, IDC_IMPORT_HEADING_TAGS, tags);
        pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_TITLE);
        pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_PROGRESS);
        return page;
    }
};

TEST_F(ImportWizardTest, ATextImportRunsThroughItsPagesAndBoxesIntoTheEditor) {
    tmp.write("alice.txt", kNovel + "An exam-\r\nple.\r\n");
    tmp.write("rights.txt", "(c) the heirs");
    tmp.write("alice_TOC.htm", "my own contents");
    HWND wizard = openWizard(ID_IMPORT_TEXT);
    ASSERT_NE(wizard, nullptr);
    HWND source = currentPage(wizard);
    fillSource(wizard, "missing.txt");
    EXPECT_EQ(boxAfter(wizard, PSBTN_NEXT), "Error (error): " + loadString(IDS_IMPORT_BAD_SOURCE));
    EXPECT_EQ(currentPage(wizard), source);
    // A source chosen by browsing brings its folder as the destination.
    click(source, IDC_IMPORT_SOURCE_BROWSE);
    answerFileDialog(run.waitForFileDialog(), tmp.file("alice.txt"));
    EXPECT_EQ(controlText(source, IDC_IMPORT_DESTINATION), tmp.path());

    HWND options = pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_IGNORE_SINGLE_RETURNS);
    EXPECT_EQ(controlText(options, IDC_IMPORT_KEEP_ALL_RETURNS), "[x]");
    EXPECT_EQ(controlText(options, IDC_IMPORT_LINE_END_EXPLANATION), loadString(IDS_IMPORT_KEEP_ALL_RETURNS));
    click(options, IDC_IMPORT_IGNORE_SINGLE_RETURNS);
    EXPECT_TRUE(pollUntil(kWaitMilliseconds, [&] {
        return controlText(options, IDC_IMPORT_LINE_END_EXPLANATION) ==
               loadString(IDS_IMPORT_IGNORE_SINGLE_RETURNS);
    }));
    EXPECT_EQ(controlText(options, IDC_IMPORT_KEEP_ALL_RETURNS), "[ ]");
    typeInto(options, IDC_IMPORT_SUPPRESS_HYPHEN, "[ ]");

    HWND search = pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_SEARCH_STRING);
    // An empty search string is only warned about: Cancel stays, OK goes on.
    EXPECT_EQ(boxAfter(wizard, PSBTN_NEXT, IDCANCEL),
              "Warning (warning): " + loadString(IDS_IMPORT_NO_SEARCH_STRING));
    EXPECT_EQ(currentPage(wizard), search);
    EXPECT_EQ(boxAfter(wizard, PSBTN_NEXT, IDOK),
              "Warning (warning): " + loadString(IDS_IMPORT_NO_SEARCH_STRING));
    HWND metadata = waitForPage(wizard, IDC_IMPORT_TITLE);
    EXPECT_EQ(controlText(metadata, IDC_IMPORT_TITLE), "alice");
    // Back from the metadata page returns to the search string.
    EXPECT_EQ(pressWizardButton(wizard, PSBTN_BACK, IDC_IMPORT_SEARCH_STRING), search);
    typeInto(search, IDC_IMPORT_SEARCH_STRING, "Chapter \\1\\n");
    EXPECT_EQ(pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_TITLE), metadata);
    typeInto(metadata, IDC_IMPORT_TITLE, "");
    EXPECT_EQ(boxAfter(wizard, PSBTN_NEXT), "Error (error): " + loadString(IDS_IMPORT_NO_TITLE));
    EXPECT_EQ(currentPage(wizard), metadata);
    typeInto(metadata, IDC_IMPORT_TITLE, "Alice in the Rain");
    typeInto(metadata, IDC_IMPORT_ADD_BIOGRAPHY, "[x]");
    typeInto(metadata, IDC_IMPORT_ADD_RIGHTS, "[x]");
    click(metadata, IDC_IMPORT_RIGHTS_BROWSE);
    answerFileDialog(run.waitForFileDialog(), tmp.file("rights.txt"));
    pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_PROGRESS);

    // A file in the way: No goes back to the source page, Yes replaces it.
    std::string question = boxAfter(wizard, PSBTN_FINISH, IDNO);
    EXPECT_NE(question.find(tmp.file("alice_TOC.htm")), std::string::npos) << question;
    ASSERT_EQ(waitForPage(wizard, IDC_IMPORT_SOURCE), source);
    EXPECT_EQ(tmp.read("alice_TOC.htm"), "my own contents");
    for (int page :
         {IDC_IMPORT_IGNORE_SINGLE_RETURNS, IDC_IMPORT_SEARCH_STRING, IDC_IMPORT_TITLE, IDC_IMPORT_PROGRESS})
        ASSERT_NE(pressWizardButton(wizard, PSBTN_NEXT, page), nullptr);
    EXPECT_EQ(boxAfter(wizard, PSBTN_FINISH, IDYES), question);
    EXPECT_TRUE(run.titleBecomes("Quirebound Publisher - alice.opf")) << run.title();

    // Every page's choice reached the import.
    EXPECT_EQ(run.rows(IDC_SPINE_VIEW), (Rows{"cover", "toc", "ContentFile_1", "biography"}));
    std::string contents = tmp.read("alice_TOC.htm");
    EXPECT_NE(contents.find("<title>Alice in the Rain</title>"), std::string::npos) << contents;
    EXPECT_NE(contents.find(">Chapter II</a>"), std::string::npos) << contents;
    // A single line end ignored, the hyphen kept, the rights at the end.
    std::string text = tmp.read("alice_1.htm");
    EXPECT_NE(text.find("An exam- ple. "), std::string::npos) << text;
    EXPECT_NE(text.find("(c) the heirs</body>"), std::string::npos) << text;
}

TEST_F(ImportWizardTest, AnHtmlImportUsesTheTagPageAndOneThatCannotStartSaysWhy) {
    tmp.write("nobody.htm", "<html><head></head><p>no body tag</p></html>");
    HWND wizard = openWizard(ID_IMPORT_HTML);
    ASSERT_NE(wizard, nullptr);
    throughTags(wizard, "nobody.htm", "H1");
    std::string box = boxAfter(wizard, PSBTN_FINISH);
    EXPECT_EQ(box.find("Error (error): " + loadString(IDS_IMPORT_INIT_ERROR)), 0u) << box;
    EXPECT_NE(box.find(tmp.file("nobody.htm")), std::string::npos) << box;
    EXPECT_TRUE(isGone(wizard));
    EXPECT_TRUE(run.staysAlone(200));
    EXPECT_FALSE(tmp.exists("nobody_*") || tmp.exists("nobody.opf"));
    EXPECT_EQ(run.title(), "Quirebound Publisher");

    tmp.write("tales.htm", "<html><body><h2>Intro</h2><p>Once.</p><H1>Part <b>One</b></H1></body></html>");
    wizard = openWizard(ID_IMPORT_HTML);
    ASSERT_NE(wizard, nullptr);
    HWND tags = throughTags(wizard, "tales.htm", "H1,H2");
    // Back from the metadata page finds the tag page, and from it the source.
    for (int page : {IDC_IMPORT_TITLE, IDC_IMPORT_HEADING_TAGS, IDC_IMPORT_SOURCE})
        ASSERT_NE(pressWizardButton(wizard, PSBTN_BACK, page), nullptr);
    // The folder dialog's OK puts the folder it selects in the box, with
    // its backslash (Wine's dialog may stop above the folder typed); one
    // not there yet is made on Yes.
    HWND source = currentPage(wizard);
    click(source, IDC_IMPORT_DESTINATION_BROWSE);
    HWND folders = run.waitForDialog("Browse for Folder");
    HWND tree = FindWindowExA(folders, nullptr, WC_TREEVIEWA, nullptr);
    char shown[MAX_PATH] = {};
    EXPECT_TRUE(pollUntil(kWaitMilliseconds, [&] {
        TVITEMA row{TVIF_TEXT, TreeView_GetSelection(tree), 0, 0, shown, sizeof shown, 0, 0, 0, 0};
        return row.hItem != nullptr && TreeView_GetItem(tree, &row) && shown[0] != '\0';
    }));
    pressButton(folders, IDOK);
    std::string chosen = controlText(source, IDC_IMPORT_DESTINATION);
    EXPECT_TRUE(chosen.ends_with("\\" + std::string(shown) + "\\")) << chosen;
    typeInto(source, IDC_IMPORT_DESTINATION, tmp.file("shelf\\tales"));
    std::string question = boxAfter(wizard, PSBTN_NEXT, IDYES);
    EXPECT_NE(question.find(tmp.file("shelf\\tales\\")), std::string::npos) << question;
    EXPECT_EQ(waitForPage(wizard, IDC_IMPORT_HEADING_TAGS), tags);
    EXPECT_EQ(controlText(tags, IDC_IMPORT_HEADING_TAGS), "H1,H2");
    pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_TITLE);
    pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_PROGRESS);
    // The last page gives Finish the focus, so Enter finishes.
    EXPECT_TRUE(pollUntil(kWaitMilliseconds, [&] { return run.focus() == GetDlgItem(wizard, kFinishButton); }));
    run.pressKey(VK_RETURN);
    EXPECT_TRUE(run.titleBecomes("Quirebound Publisher - tales.opf")) << run.title();
    EXPECT_EQ(run.rows(IDC_SPINE_VIEW), (Rows{"cover", "toc", "ContentFile_1"}));
    std::string contents = tmp.read("shelf\\tales\\tales_TOC.htm");
    EXPECT_NE(contents.find(">Intro</a>"), std::string::npos) << contents;
    EXPECT_NE(contents.find(">Part One</a>"), std::string::npos) << contents;
}

// A stored PalmDOC database of one text record.
std::string ebook(const std::string& text) {
    auto big = [](uint32_t value, int bytes) {
        std::string out;
        for (int i = bytes - 1; i >= 0; --i) out += char(value >> (8 * i));
        return out;
    };
    std::string zero = big(1, 2) + big(0, 2) + big(uint32_t(text.size()), 4) + big(1, 2) + big(4096, 2) + big(0, 4);
    return "Rain Book" + std::string(51, '\0') + "TEXtREAd" + std::string(8, '\0') + big(2, 2) + big(96, 4) +
           big(0x406F8000, 4) + big(96 + uint32_t(zero.size()), 4) + big(0x406F8001, 4) + std::string(2, '\0') +
           zero + text;
}

TEST_F(ImportWizardTest, AnEbookGoesFromItsSourcePageToFinishAndOpensInTheEditor) {
    // The contents page at 100, where the body begins; its link to 156.
    std::string text =
        "<HTML><HEAD><GUIDE><reference type=\"toc\" title=\"Contents\" filepos=\"0000000100\"></GUIDE></HEAD>"
        "<BODY><h2>Contents</h2><p><a filepos=\"0000000156\">Rain</a></p><h1>Rain</h1><p>It rained.</p></BODY>";
    tmp.write("rain.pdb", ebook(text));
    tmp.write("rain.opf", "an older package");
    HWND wizard = openWizard(ID_IMPORT_PRC_DOC);
    ASSERT_NE(wizard, nullptr);
    HWND source = currentPage(wizard);
    click(source, IDC_IMPORT_SOURCE_BROWSE);
    answerFileDialog(run.waitForFileDialog(), tmp.file("rain.pdb"));
    EXPECT_EQ(controlText(source, IDC_IMPORT_DESTINATION), tmp.path());
    // Nothing to ask between the source and Finish, either way.
    ASSERT_NE(pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_PROGRESS), nullptr);
    EXPECT_EQ(pressWizardButton(wizard, PSBTN_BACK, IDC_IMPORT_SOURCE), source);
    ASSERT_NE(pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_PROGRESS), nullptr);
    std::string question = boxAfter(wizard, PSBTN_FINISH, IDYES);
    EXPECT_NE(question.find(tmp.file("rain.opf")), std::string::npos) << question;
    EXPECT_TRUE(run.titleBecomes("Quirebound Publisher - rain.opf")) << run.title();
    EXPECT_EQ(run.rows(IDC_SPINE_VIEW), (Rows{"part1", "part2"}));
    EXPECT_EQ(run.rows(IDC_METADATA_VIEW), (Rows{"dc:Title", "  Rain Book"}));
    EXPECT_NE(tmp.read("rain_1.htm").find("<a href=\"rain_2.htm\">Rain</a>"), std::string::npos);
    EXPECT_NE(tmp.read("rain_2.htm").find("<body><h1>Rain</h1><p>It rained.</p></body>"), std::string::npos);
}

TEST_F(ImportWizardTest, ThePreviewListsTheHeadingsOnItsThreadAndCancelStopsIt) {
    // Enough text that the search is still running when Cancel is pressed.
    std::string longNovel;
    for (int chapter = 1; chapter <= 400; ++chapter)
        longNovel += "Chapter " + std::to_string(chapter) + "\r\n" + std::string(20000, 'x') + "\r\n";
    tmp.write("short.txt", kNovel);
    tmp.write("long.txt", longNovel);
    for (std::string source : {"short.txt", "long.txt"}) {
        HWND wizard = openWizard(ID_IMPORT_TEXT);
        ASSERT_NE(wizard, nullptr);
        fillSource(wizard, source);
        pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_IGNORE_SINGLE_RETURNS);
        HWND search = pressWizardButton(wizard, PSBTN_NEXT, IDC_IMPORT_SEARCH_STRING);
        typeInto(search, IDC_IMPORT_SEARCH_STRING, "Chapter \\1\\n");
        auto openPreview = [&] {
            click(search, IDC_IMPORT_TEST_SEARCH_STRING);
            return run.waitForDialog("Preview Search String");
        };
        auto closed = [](HWND preview) { return controlText(preview, IDC_PREVIEW_CLOSE) == "&Close"; };
        HWND preview = openPreview();
        if (source == "short.txt") {
            ASSERT_TRUE(pollUntil(kWaitMilliseconds, [&] { return closed(preview); }));
            EXPECT_EQ(listEntries(preview, IDC_PREVIEW_LIST), (Rows{"Chapter 1", "Chapter II"}));
            EXPECT_EQ(SendDlgItemMessageA(preview, IDC_PREVIEW_PROGRESS, PBM_GETPOS, 0, 0), 100);
        } else {
            ASSERT_TRUE(pollUntil(kWaitMilliseconds,
                                  [&] { return !listEntries(preview, IDC_PREVIEW_LIST).empty(); }));
            EXPECT_FALSE(closed(preview));
            click(preview, IDC_PREVIEW_CLOSE);
            ASSERT_TRUE(pollUntil(kWaitMilliseconds, [&] { return closed(preview); }));
            Sleep(200);
            size_t stoppedAt = listEntries(preview, IDC_PREVIEW_LIST).size();
            Sleep(300);
            EXPECT_EQ(listEntries(preview, IDC_PREVIEW_LIST).size(), stoppedAt);
            EXPECT_LT(stoppedAt, 400u);
            // Closed by its close box while searching, then tested again: the
            // new search starts alone, from the first byte.
            PostMessageA(preview, WM_CLOSE, 0, 0);
            ASSERT_TRUE(isGone(preview));
            preview = openPreview();
            ASSERT_TRUE(pollUntil(kWaitMilliseconds,
                                  [&] { return !listEntries(preview, IDC_PREVIEW_LIST).empty(); }));
            PostMessageA(preview, WM_CLOSE, 0, 0);
            ASSERT_TRUE(isGone(preview));
            preview = openPreview();
            ASSERT_TRUE(pollUntil(kWaitMilliseconds,
                                  [&] { return listEntries(preview, IDC_PREVIEW_LIST).size() >= 3; }));
            Rows found = listEntries(preview, IDC_PREVIEW_LIST);
            EXPECT_EQ(found[0] + "," + found[2], "Chapter 1,Chapter 3");
            click(preview, IDC_PREVIEW_CLOSE);
        }
        click(preview, IDC_PREVIEW_CLOSE);
        ASSERT_TRUE(isGone(preview));
        pressWizardButton(wizard, PSBTN_CANCEL);
        ASSERT_TRUE(isGone(wizard));
    }
    EXPECT_FALSE(tmp.exists("long.opf"));
    EXPECT_EQ(run.title(), "Quirebound Publisher");
}

}  // namespace
