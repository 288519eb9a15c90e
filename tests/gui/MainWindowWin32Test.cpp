// The main window as a user meets it: started empty or with a package,
// opening, switching sections, closing and leaving, and that the boxes and
// file dialogs the document asks for reach the user. What each File command
// decides is tested natively (EditorDocumentTest).
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "GuiHarness.h"
#include "model/Files.h"
#include "tests/support/TempFolder.h"

namespace {

using Rows = std::vector<std::string>;

constexpr char kEmptyTitle[] = "Quirebound Publisher";
constexpr int kViewCommandOfTab[] = {ID_VIEW_MANIFEST, ID_VIEW_SPINE, ID_VIEW_METADATA, ID_VIEW_TOURS,
                                     ID_VIEW_GUIDE};

// Exactly the view of this tab is visible, its tab chosen, its View entry
// alone checked.
void expectShowing(MainWindowRun& run, int tab) {
    EXPECT_EQ(SendDlgItemMessageA(run.window(), IDC_SECTION_TABS, TCM_GETCURSEL, 0, 0), tab);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(IsWindowVisible(GetDlgItem(run.window(), kViewOfTab[i])) != FALSE, i == tab) << i;
        UINT entry = GetMenuState(GetMenu(run.window()), kViewCommandOfTab[i], MF_BYCOMMAND);
        EXPECT_EQ((entry & MF_CHECKED) != 0, i == tab) << "View entry " << i;
    }
}

// The package's commands follow whether one is open; its sections show it.
void expectPackageShown(MainWindowRun& run, bool shown) {
    for (int command :
         {ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_PUBLISH_PRC, ID_PUBLISH_EPUB, ID_FILE_OPEN}) {
        UINT entry = GetMenuState(GetMenu(run.window()), command, MF_BYCOMMAND);
        EXPECT_EQ((entry & MF_GRAYED) != 0, !shown && command != ID_FILE_OPEN) << "menu entry " << command;
    }
    HWND toolbar = GetDlgItem(GetDlgItem(run.window(), IDC_REBAR), IDC_TOOLBAR);
    for (int button : {ID_FILE_SAVE, ID_TOOLBAR_PUBLISH}) {
        LRESULT state = SendMessageA(toolbar, TB_GETSTATE, WPARAM(button), 0);
        EXPECT_EQ(state & (TBSTATE_INDETERMINATE | TBSTATE_ENABLED),
                  shown ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE)
            << "toolbar button " << button;
    }
    const Rows views[] = {
        {"c1", "  text/c1.htm#part2", "c2", "  c2.htm"},
        {"c1"},
        {"dc:Title", "  Harbour Book", "dc:Creator", "  A. Writer"},
        {"Walk", "  Start", "    c2.htm#s", "  End", "    text/c1.htm"},
        {"Contents", "  c2.htm"},
    };
    for (int i = 0; i < 5; ++i) EXPECT_EQ(run.rows(kViewOfTab[i]), shown ? views[i] : Rows{}) << "tab " << i;
}

using MainWindowTest = GuiTest;

// The document's title, enabling, views, boxes and file dialogs reach the
// user: a package that cannot be read, one opened through the dialog, a
// save that fails, Save As, Close, and a change offered for saving on Exit.
TEST_F(MainWindowTest, TheDocumentsLifeReachesTheUser) {
    deleteSetting("LastOpenDir");
    tmp.write("broken.opf", "<package><manifest><item id=\"a\" href=\"a.htm\"");
    MainWindowRun run(tmp.file("broken.opf"));
    std::string box = run.answerBox(IDOK);
    EXPECT_EQ(box.find("Warning (warning): "), 0u) << box;
    EXPECT_NE(box.find(tmp.file("broken.opf")), std::string::npos) << box;
    EXPECT_TRUE(run.titleBecomes(kEmptyTitle));
    expectPackageShown(run, false);
    expectShowing(run, 0);
    // Enter has no command; Publish needs a package.
    run.post(IDOK);
    run.post(ID_PUBLISH_PRC);
    EXPECT_TRUE(run.staysAlone(300));
    EXPECT_FALSE(run.waitForEnd(0));

    run.post(ID_FILE_OPEN);
    answerFileDialog(run.waitForFileDialog(), book);
    ASSERT_TRUE(run.titleBecomes("Quirebound Publisher - book.opf"));
    expectPackageShown(run, true);
    EXPECT_EQ(readSetting("LastOpenDir"), tmp.path());
    // The Edit menu deletes in the visible section; the spine follows and
    // shows it when switched to.
    ASSERT_TRUE(run.selectRow(IDC_MANIFEST_VIEW, "c1"));
    ASSERT_TRUE(run.command(ID_EDIT_DELETE));
    EXPECT_EQ(run.rows(IDC_MANIFEST_VIEW), (Rows{"c2", "  c2.htm"}));
    ASSERT_TRUE(run.clickTab(1));
    EXPECT_TRUE(run.rows(IDC_SPINE_VIEW).empty());
    // Another program holds the file and shares it with nobody.
    HANDLE held = CreateFileA(book.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    run.post(ID_FILE_SAVE);
    box = run.answerBox(IDOK);
    CloseHandle(held);
    EXPECT_EQ(box.find("Error (error): "), 0u) << box;
    EXPECT_NE(box.find(book), std::string::npos) << box;
    EXPECT_EQ(tmp.read("book.opf"), kGuiBook);
    // Save As starts from the package's name.
    run.post(ID_FILE_SAVE_AS);
    HWND dialog = run.waitForFileDialog();
    EXPECT_NE(fileDialogName(dialog).find("book.opf"), std::string::npos);
    answerFileDialog(dialog, tmp.file("copy"));
    ASSERT_TRUE(run.titleBecomes("Quirebound Publisher - copy.opf")) << run.title();
    EXPECT_EQ(tmp.read("copy.opf").find("id=\"c1\""), std::string::npos);
    // Close writes without asking.
    ASSERT_TRUE(run.clickTab(0));
    ASSERT_TRUE(run.selectRow(IDC_MANIFEST_VIEW, "c2"));
    ASSERT_TRUE(run.command(ID_EDIT_DELETE));
    ASSERT_TRUE(run.command(ID_FILE_CLOSE));
    EXPECT_TRUE(run.staysAlone(200));
    EXPECT_EQ(tmp.read("copy.opf").find("id=\"c2\""), std::string::npos);
    EXPECT_EQ(run.title(), kEmptyTitle);
    expectPackageShown(run, false);
    // A change is offered for saving on the way out.
    run.post(ID_FILE_OPEN);
    answerFileDialog(run.waitForFileDialog(), book);
    ASSERT_TRUE(run.titleBecomes("Quirebound Publisher - book.opf"));
    ASSERT_TRUE(run.selectRow(IDC_MANIFEST_VIEW, "c1"));
    ASSERT_TRUE(run.command(ID_EDIT_DELETE));
    run.post(ID_FILE_EXIT);
    EXPECT_EQ(run.answerBox(IDYES), " (information): " + loadString(IDS_ASK_SAVE_PACKAGE));
    EXPECT_TRUE(run.waitForEnd());
    EXPECT_EQ(tmp.read("book.opf").find("id=\"c1\""), std::string::npos);
}

// The mouse and the keys act where they point: a right click on a row that
// is not selected, a new tour's first site, the Import button. Cancelling
// the Import Wizard or Open keeps the book.
TEST_F(MainWindowTest, TheMouseAndTheKeysActOnWhatTheyPointAt) {
    MainWindowRun run(book);
    ASSERT_TRUE(run.selectRow(IDC_MANIFEST_VIEW, "c1"));
    run.rightClickRow(IDC_MANIFEST_VIEW, "c2");
    run.chooseMenuEntry(run.waitForMenu(), ID_MANIFEST_PROPERTIES);
    HWND dialog = run.waitForDialog("Manifest Item");
    EXPECT_EQ(controlText(dialog, IDC_MANIFEST_ID), "c2");
    pressButton(dialog, IDCANCEL);
    run.rightClickRow(IDC_MANIFEST_VIEW, "c2");
    run.chooseMenuEntry(run.waitForMenu(), ID_MANIFEST_DELETE);
    EXPECT_TRUE(pollUntil(kWaitMilliseconds, [&] { return run.rows(IDC_MANIFEST_VIEW).size() == 2; }));
    EXPECT_EQ(run.rows(IDC_MANIFEST_VIEW), (Rows{"c1", "  text/c1.htm#part2"}));

    // A new tour gets its first site.
    ASSERT_TRUE(run.clickTab(3));
    run.post(ID_TOURS_ADD);
    dialog = run.waitForDialog("Tour Item");
    typeInto(dialog, IDC_TOUR_TITLE, "Harbour");
    pressButton(dialog, IDOK);
    run.rightClickRow(IDC_TOURS_VIEW, "Harbour");
    run.chooseMenuEntry(run.waitForMenu(), ID_TOURS_ADD_SITE);
    dialog = run.waitForDialog("Site Item");
    typeInto(dialog, IDC_SITE_TITLE, "Pier");
    typeInto(dialog, IDC_SITE_HREF, "pier.htm");
    pressButton(dialog, IDOK);
    Rows tours = run.rows(IDC_TOURS_VIEW);
    EXPECT_EQ(Rows(tours.end() - 3, tours.end()), (Rows{"Harbour", "  Pier", "    pier.htm"}));

    // The changed book is offered for saving before the wizard, but stays.
    run.clickToolbarButton(ID_TOOLBAR_IMPORT);
    run.chooseMenuEntry(run.waitForMenu(), ID_IMPORT_TEXT);
    EXPECT_EQ(run.answerBox(IDNO), " (information): " + loadString(IDS_ASK_SAVE_PACKAGE));
    HWND wizard = run.waitForDialog("Quirebound Publisher");
    pressWizardButton(wizard, PSBTN_CANCEL);
    ASSERT_TRUE(isGone(wizard));
    run.post(ID_FILE_OPEN);
    pressButton(run.waitForFileDialog(), IDCANCEL);
    EXPECT_TRUE(run.staysAlone(300));
    EXPECT_EQ(run.title(), "Quirebound Publisher - book.opf");
    EXPECT_EQ(run.rows(IDC_MANIFEST_VIEW).size(), 2u);
    EXPECT_EQ(tmp.read("book.opf"), kGuiBook);
}

TEST_F(MainWindowTest, TabsAndTheViewMenuSwitchSections) {
    MainWindowRun run(book);
    for (int tab : {1, 3, 2, 4, 0}) {
        ASSERT_TRUE(run.clickTab(tab));
        expectShowing(run, tab);
        ASSERT_TRUE(run.command(kViewCommandOfTab[(tab + 2) % 5]));
        expectShowing(run, (tab + 2) % 5);
    }
}

// Exit, Esc and the close box: each ends the editor without asking and
// without writing an unchanged package, and each writes the settings.
TEST_F(MainWindowTest, EveryWayOutWritesTheSettingsAndNotThePackage) {
    for (auto [message, first] : {std::pair{WM_COMMAND, ID_FILE_EXIT}, std::pair{WM_COMMAND, IDCANCEL},
                                  std::pair{WM_SYSCOMMAND, SC_CLOSE}}) {
        for (const char* name : {"HTMLEditor", "PalmOsEmul", "WapEmul"}) deleteSetting(name);
        MainWindowRun run(book);
        run.post(first, message);
        EXPECT_TRUE(run.waitForEnd()) << message << " " << first;
        for (const char* name : {"HTMLEditor", "PalmOsEmul", "WapEmul"})
            EXPECT_EQ(readSetting(name), "") << message << " " << first << ": " << name;
        EXPECT_EQ(tmp.read("book.opf"), kGuiBook);
    }
}

TEST_F(MainWindowTest, AnEmulatorWithoutASettingExplainsHowToSetOne) {
    deleteSetting("PalmOsEmul");
    deleteSetting("WapEmul");
    MainWindowRun run;
    run.post(ID_TOOLS_PALMOS_EMULATOR);
    EXPECT_EQ(run.answerBox(IDOK), "Information (information): " + loadString(IDS_NO_PALMOS_EMULATOR));
    run.post(ID_TOOLS_WAP_EMULATOR);
    EXPECT_EQ(run.answerBox(IDOK), "Information (information): " + loadString(IDS_NO_WAP_EMULATOR));
}

// Cancel in the Options sheet keeps nothing. Asked for the HTML editor, No
// starts nothing; Yes shows the sheet, whose OK gives the editor the program
// chosen there and lets builds read outside files, and Exit keeps both. Each href is resolved against the
// package's folder, its fragment dropped. The command interpreter stands in
// for the HTML editor: it writes the path it is given to a file.
TEST_F(MainWindowTest, TheHtmlEditorIsAskedForThenGetsTheFilesFullPath) {
    for (const char* name : {"HTMLEditor", "AllowOutsideFiles"}) deleteSetting(name);
    const std::string interpreter = "C:\\windows\\system32\\cmd.exe";
    const std::string editor = interpreter + " /c >" + tmp.file("command-line.txt") + " echo";
    MainWindowRun run(book);
    run.post(ID_TOOLS_OPTIONS);
    HWND sheet = run.waitForDialog("Options");
    typeInto(sheet, IDC_OPTIONS_HTML_EDITOR, "cancelled.exe");
    // The page never reports a change: Apply has nothing to do.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet, 0x3021)));
    pressButton(sheet, IDCANCEL);
    ASSERT_TRUE(run.selectRow(IDC_MANIFEST_VIEW, "text/c1.htm#part2"));
    for (int answer : {IDNO, IDYES}) {
        run.post(ID_MANIFEST_EDIT_HTML);
        EXPECT_EQ(run.answerBox(answer), " (information): " + loadString(IDS_ASK_SET_HTML_EDITOR));
    }
    sheet = run.waitForDialog("Options");
    HWND page = FindWindowExA(sheet, nullptr, "#32770", nullptr);
    for (int id : {IDC_OPTIONS_PALMOS_EMULATOR, IDC_OPTIONS_PALMOS_EMULATOR_BROWSE, IDC_OPTIONS_WAP_EMULATOR,
                   IDC_OPTIONS_WAP_EMULATOR_BROWSE})
        EXPECT_NE(GetDlgItem(page, id), nullptr) << id;
    EXPECT_EQ(controlText(page, IDC_OPTIONS_HTML_EDITOR), "");
    click(page, IDC_OPTIONS_HTML_EDITOR_BROWSE);
    answerFileDialog(run.waitForFileDialog(), interpreter);
    EXPECT_EQ(controlText(page, IDC_OPTIONS_HTML_EDITOR), interpreter);
    typeInto(page, IDC_OPTIONS_HTML_EDITOR, editor);
    EXPECT_EQ(controlText(page, IDC_OPTIONS_ALLOW_OUTSIDE_FILES), "[ ]");
    typeInto(page, IDC_OPTIONS_ALLOW_OUTSIDE_FILES, "[x]");
    pressButton(sheet, IDOK);
    const struct {
        int tab;
        const char* row;
        int command;  // 0: the one Yes went on with
        const char* file;
    } rows[] = {{0, "text/c1.htm#part2", 0, "text\\c1.htm"},
                {3, "Start", ID_TOURS_EDIT_HTML, "c2.htm"},
                {4, "Contents", ID_GUIDE_EDIT_HTML, "c2.htm"}};
    for (const auto& row : rows) {
        ASSERT_TRUE(run.clickTab(row.tab));
        ASSERT_TRUE(run.selectRow(kViewOfTab[row.tab], row.row));
        EXPECT_TRUE(row.command == 0 || run.command(row.command));
        const std::string expected = tmp.file(row.file) + "\r\n";
        EXPECT_TRUE(pollUntil(
            kWaitMilliseconds,
            [&] { return tmp.exists("command-line.txt") && tmp.read("command-line.txt") == expected; }))
            << row.row << ": " << (tmp.exists("command-line.txt") ? tmp.read("command-line.txt") : "");
        deleteFile(tmp.file("command-line.txt").c_str());
    }
    run.post(ID_FILE_EXIT);
    ASSERT_TRUE(run.waitForEnd());
    EXPECT_EQ(readSetting("HTMLEditor"), editor);
    EXPECT_EQ(readSetting("AllowOutsideFiles"), "1");
    EXPECT_EQ(readSetting("LastOpenDir"), "C:\\windows\\system32\\");
}

}  // namespace
