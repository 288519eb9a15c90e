// The main window as a user meets it: started empty or with a package,
// opening, switching sections, saving, closing and leaving, and the boxes it
// shows on the way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiHarness.h"
#include "win32/DialogFunctionsWin32.h"
#include "resources/ResourceIds.h"
#include "tests/support/TempFolder.h"

namespace {

using Rows = std::vector<std::string>;

constexpr char kEmptyTitle[] = "Quirebound Publisher";

// Written by hand, so a rewrite by the editor changes the bytes.
const char kBook[] =
    "<?xml version=\"1.0\"?>\n"
    "<package unique-identifier=\"bid\">\n"
    "<metadata><dc:Title>Harbour Book</dc:Title><dc:Creator>A. Writer</dc:Creator></metadata>\n"
    "<manifest>\n"
    "<item id=\"c1\" href=\"text/c1.htm#part2\" media-type=\"text/x-oeb1-document\"/>\n"
    "<item id=\"c2\" href=\"c2.htm\" media-type=\"text/x-oeb1-document\"/>\n"
    "</manifest>\n"
    "<spine><itemref idref=\"c1\"/><itemref idref=\"c2\"/></spine>\n"
    "<tours><tour id=\"t1\" title=\"Walk\"><site title=\"Start\" href=\"c2.htm#s\"/>"
    "<site title=\"End\" href=\"text/c1.htm\"/></tour></tours>\n"
    "<guide><reference type=\"toc\" title=\"Contents\" href=\"c2.htm\"/></guide>\n"
    "</package>\n";

const Rows kManifestRows = {"c1", "  text/c1.htm#part2", "c2", "  c2.htm"};
const Rows kSpineRows = {"c1", "c2"};
const Rows kMetadataRows = {"dc:Title", "  Harbour Book", "dc:Creator", "  A. Writer"};
const Rows kGuideRows = {"Contents", "  c2.htm"};
const Rows kTourRows = {"Walk", "  Start", "    c2.htm#s", "  End", "    text/c1.htm"};

struct Section {
    int tab;
    int view;
    int viewCommand;
};
const Section kSections[] = {
    {0, IDC_MANIFEST_VIEW, ID_VIEW_MANIFEST}, {1, IDC_SPINE_VIEW, ID_VIEW_SPINE},
    {2, IDC_METADATA_VIEW, ID_VIEW_METADATA}, {3, IDC_TOURS_VIEW, ID_VIEW_TOURS},
    {4, IDC_GUIDE_VIEW, ID_VIEW_GUIDE},
};

bool isGrayed(UINT state) {
    return state != UINT(-1) && (state & MF_GRAYED) != 0;
}

// Exactly the view of this section is visible, its tab chosen, its View
// entry alone checked.
void expectShowing(MainWindowRun& run, const Section& shown) {
    EXPECT_EQ(run.selectedTab(), shown.tab);
    for (const Section& section : kSections) {
        bool isShown = section.view == shown.view;
        EXPECT_EQ(run.isVisible(section.view), isShown) << "view " << section.view;
        EXPECT_EQ((run.menuState(section.viewCommand) & MF_CHECKED) != 0, isShown)
            << "View entry " << section.viewCommand;
    }
}

void expectDocumentCommandsEnabled(MainWindowRun& run, bool enabled) {
    for (int command : {ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_PUBLISH_PRC}) {
        EXPECT_EQ(isGrayed(run.menuState(command)), !enabled) << "menu entry " << command;
    }
    for (int button : {ID_FILE_SAVE, ID_TOOLBAR_PUBLISH}) {
        int state = run.toolbarState(button);
        ASSERT_NE(state, -1) << "toolbar button " << button;
        EXPECT_EQ((state & TBSTATE_INDETERMINATE) != 0, !enabled) << "toolbar button " << button;
        EXPECT_EQ((state & TBSTATE_ENABLED) != 0, enabled) << "toolbar button " << button;
    }
    // Never tied to a package.
    EXPECT_FALSE(isGrayed(run.menuState(ID_FILE_OPEN)));
    EXPECT_FALSE(isGrayed(run.menuState(ID_FILE_NEW)));
}

class MainWindowTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::string book = tmp.file("book.opf");

    void SetUp() override { tmp.write("book.opf", kBook); }
};

TEST_F(MainWindowTest, StartsEmptyWithDocumentCommandsOffAndTheManifestShown) {
    MainWindowRun run;
    ASSERT_NE(run.window(), nullptr);
    EXPECT_EQ(run.title(), kEmptyTitle);
    expectDocumentCommandsEnabled(run, false);
    expectShowing(run, kSections[0]);
    for (const Section& section : kSections) EXPECT_TRUE(run.rows(section.view).empty());
    ASSERT_TRUE(run.command(ID_FILE_EXIT));
    EXPECT_TRUE(run.waitForEnd());
}

TEST_F(MainWindowTest, PackageOnTheCommandLineShowsEverySection) {
    MainWindowRun run(book);
    ASSERT_NE(run.window(), nullptr);
    EXPECT_EQ(run.title(), "Quirebound Publisher - book.opf");
    expectDocumentCommandsEnabled(run, true);
    EXPECT_EQ(run.rows(IDC_MANIFEST_VIEW), kManifestRows);
    EXPECT_EQ(run.rows(IDC_SPINE_VIEW), kSpineRows);
    EXPECT_EQ(run.rows(IDC_METADATA_VIEW), kMetadataRows);
    EXPECT_EQ(run.rows(IDC_GUIDE_VIEW), kGuideRows);
    EXPECT_EQ(run.rows(IDC_TOURS_VIEW), kTourRows);
    expectShowing(run, kSections[0]);
}

TEST_F(MainWindowTest, AnUnreadablePackageShowsAWarningNamingIt) {
    tmp.write("broken.opf", "<package><manifest><item id=\"a\" href=\"a.htm\"");
    std::string broken = tmp.file("broken.opf");
    {
        MainWindowRun run(broken);
        MessageBoxSeen box = run.waitForMessageBox();
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, "Warning");
        EXPECT_EQ(box.icon, "warning");
        EXPECT_NE(box.text.find(broken), std::string::npos) << box.text;
        pressButton(box.window, IDOK);
        ASSERT_TRUE(run.titleBecomes(kEmptyTitle));
        expectDocumentCommandsEnabled(run, false);
    }
    // Through File, Open too, and the title stays as it was.
    MainWindowRun run;
    run.post(ID_FILE_OPEN);
    HWND dialog = run.waitForFileDialog();
    ASSERT_NE(dialog, nullptr);
    answerFileDialog(dialog, broken);
    MessageBoxSeen box = run.waitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "The publication file " + broken + " could not be read.");
    EXPECT_EQ(box.caption, "Warning");
    pressButton(box.window, IDOK);
    EXPECT_TRUE(run.staysWithoutBox(200));
    EXPECT_EQ(run.title(), kEmptyTitle);
    expectDocumentCommandsEnabled(run, false);
}

TEST_F(MainWindowTest, FileOpenThroughTheDialogRemembersTheFolder) {
    deleteSetting("LastOpenDir");
    MainWindowRun run;
    run.post(ID_FILE_OPEN);
    HWND dialog = run.waitForFileDialog();
    ASSERT_NE(dialog, nullptr);
    answerFileDialog(dialog, book);
    ASSERT_TRUE(run.titleBecomes("Quirebound Publisher - book.opf"));
    EXPECT_EQ(run.rows(IDC_MANIFEST_VIEW), kManifestRows);
    EXPECT_EQ(run.rows(IDC_TOURS_VIEW), kTourRows);
    expectDocumentCommandsEnabled(run, true);
    std::string lastOpen;
    ASSERT_TRUE(readSetting("LastOpenDir", &lastOpen));
    EXPECT_EQ(lastOpen, tmp.path());
}

// The answer reaches the document: No here, Yes when leaving below.
TEST_F(MainWindowTest, OpenWhileAPackageIsOpenOffersToSaveIt) {
    std::string before = tmp.read("book.opf");
    MainWindowRun run(book);
    run.post(ID_FILE_OPEN);
    MessageBoxSeen question = run.waitForMessageBox();
    ASSERT_NE(question.window, nullptr);
    EXPECT_EQ(question.text, "Do you want to save the current OPF file?");
    EXPECT_EQ(question.caption, "");
    EXPECT_EQ(question.icon, "information");
    pressButton(question.window, IDNO);
    HWND dialog = run.waitForFileDialog();
    ASSERT_NE(dialog, nullptr);
    cancelFileDialog(dialog);
    ASSERT_TRUE(run.titleBecomes(kEmptyTitle));
    EXPECT_TRUE(run.rows(IDC_MANIFEST_VIEW).empty());
    EXPECT_EQ(tmp.read("book.opf"), before);
}

TEST_F(MainWindowTest, TabsAndTheViewMenuSwitchSections) {
    MainWindowRun run(book);
    ASSERT_NE(run.window(), nullptr);
    for (const Section& section : {kSections[1], kSections[3], kSections[2], kSections[4], kSections[0]}) {
        ASSERT_TRUE(run.clickTab(section.tab));
        expectShowing(run, section);
    }
    for (const Section& section : {kSections[4], kSections[2], kSections[1], kSections[3], kSections[0]}) {
        ASSERT_TRUE(run.command(section.viewCommand));
        expectShowing(run, section);
    }
}

TEST_F(MainWindowTest, ADeletedManifestItemLeavesTheViewsAndTheSavedFile) {
    MainWindowRun run(book);
    ASSERT_TRUE(run.selectRow(IDC_MANIFEST_VIEW, "c2"));
    ASSERT_TRUE(run.command(ID_EDIT_DELETE));
    EXPECT_EQ(run.rows(IDC_MANIFEST_VIEW), (Rows{"c1", "  text/c1.htm#part2"}));
    // The spine loses its entry too, shown when a section is switched to.
    ASSERT_TRUE(run.clickTab(1));
    EXPECT_EQ(run.rows(IDC_SPINE_VIEW), Rows{"c1"});
    ASSERT_TRUE(run.command(ID_FILE_SAVE));
    std::string saved = tmp.read("book.opf");
    EXPECT_EQ(saved.find("id=\"c2\""), std::string::npos) << saved;
    EXPECT_EQ(saved.find("idref=\"c2\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("id=\"c1\""), std::string::npos) << saved;
}

TEST_F(MainWindowTest, SaveWritesThePackageWithoutAsking) {
    std::string before = tmp.read("book.opf");
    MainWindowRun run(book);
    ASSERT_TRUE(run.command(ID_FILE_SAVE));
    EXPECT_TRUE(run.staysWithoutBox(200));
    std::string written = tmp.read("book.opf");
    EXPECT_NE(written, before);
    EXPECT_NE(written.find("href=\"text/c1.htm#part2\""), std::string::npos) << written;
    EXPECT_EQ(run.title(), "Quirebound Publisher - book.opf");
}

TEST_F(MainWindowTest, SaveAsWritesTheNameTheDocumentChoosesAndShowsIt) {
    MainWindowRun run(book);
    run.post(ID_FILE_SAVE_AS);
    HWND dialog = run.waitForFileDialog();
    ASSERT_NE(dialog, nullptr);
    answerFileDialog(dialog, tmp.file("copy"));
    ASSERT_TRUE(run.titleBecomes("Quirebound Publisher - copy.opf")) << run.title();
    EXPECT_NE(tmp.read("copy.opf").find("Harbour Book"), std::string::npos);
}

TEST_F(MainWindowTest, CloseWritesThePackageWithoutAskingAndEmptiesTheEditor) {
    std::string before = tmp.read("book.opf");
    MainWindowRun run(book);
    ASSERT_TRUE(run.command(ID_FILE_CLOSE));
    EXPECT_TRUE(run.staysWithoutBox(200));
    EXPECT_NE(tmp.read("book.opf"), before);
    EXPECT_EQ(run.title(), kEmptyTitle);
    expectDocumentCommandsEnabled(run, false);
    for (const Section& section : kSections) EXPECT_TRUE(run.rows(section.view).empty());
}

TEST_F(MainWindowTest, EnterDoesNothing) {
    MainWindowRun run(book);
    run.postMessage(WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(run.staysWithoutBox(300));
    EXPECT_FALSE(run.hasEnded());
    EXPECT_EQ(run.title(), "Quirebound Publisher - book.opf");
}

// Exit, Esc and the close box: each ends the editor without asking and
// without writing an unchanged package, and each writes the settings.
TEST_F(MainWindowTest, EveryWayOutWritesTheSettingsAndNotThePackage) {
    struct WayOut {
        const char* name;
        UINT message;
        WPARAM first;
    };
    const WayOut ways[] = {
        {"File, Exit", WM_COMMAND, ID_FILE_EXIT},
        {"Esc", WM_COMMAND, IDCANCEL},
        {"close box", WM_SYSCOMMAND, SC_CLOSE},
        {"close message", WM_CLOSE, 0},
    };
    std::string before = tmp.read("book.opf");
    for (const WayOut& way : ways) {
        for (const char* name : {"HTMLEditor", "PalmOsEmul", "WapEmul"}) deleteSetting(name);
        MainWindowRun run(book);
        ASSERT_NE(run.window(), nullptr) << way.name;
        run.postMessage(way.message, way.first, 0);
        EXPECT_TRUE(run.waitForEnd()) << way.name;
        std::string value;
        for (const char* name : {"HTMLEditor", "PalmOsEmul", "WapEmul"}) {
            EXPECT_TRUE(readSetting(name, &value)) << way.name << ": " << name;
        }
        EXPECT_EQ(tmp.read("book.opf"), before) << way.name;
    }
}

TEST_F(MainWindowTest, LeavingWithUnsavedChangesOffersToSaveThem) {
    MainWindowRun run(book);
    ASSERT_TRUE(run.selectRow(IDC_MANIFEST_VIEW, "c2"));
    ASSERT_TRUE(run.command(ID_MANIFEST_DELETE));
    run.post(ID_FILE_EXIT);
    MessageBoxSeen question = run.waitForMessageBox();
    ASSERT_NE(question.window, nullptr);
    EXPECT_EQ(question.text, "Do you want to save the current OPF file?");
    pressButton(question.window, IDYES);
    EXPECT_TRUE(run.waitForEnd());
    std::string after = tmp.read("book.opf");
    EXPECT_NE(after.find("id=\"c1\""), std::string::npos) << after;
    EXPECT_EQ(after.find("id=\"c2\""), std::string::npos) << after;
}

TEST_F(MainWindowTest, AFailingSaveSaysSoAndKeepsTheOldFile) {
    std::string before = tmp.read("book.opf");
    MainWindowRun run(book);
    ASSERT_TRUE(run.selectRow(IDC_MANIFEST_VIEW, "c2"));
    ASSERT_TRUE(run.command(ID_MANIFEST_DELETE));
    // Another program holds the file and shares it with nobody.
    HANDLE held = CreateFileA(book.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    run.post(ID_FILE_SAVE);
    MessageBoxSeen box = run.waitForMessageBox();
    CloseHandle(held);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "The publication could not be saved to " + book + ". The file was left as it was.");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.icon, "error");
    pressButton(box.window, IDOK);
    EXPECT_EQ(tmp.read("book.opf"), before);
}

TEST_F(MainWindowTest, AnEmulatorWithoutASettingExplainsHowToSetOne) {
    MainWindowRun run;
    deleteSetting("PalmOsEmul");
    struct Emulator {
        int command;
        int text;
    };
    for (Emulator emulator : {Emulator{ID_TOOLS_PALMOS_EMULATOR, IDS_NO_PALMOS_EMULATOR},
                              Emulator{ID_TOOLS_WAP_EMULATOR, IDS_NO_WAP_EMULATOR}}) {
        run.post(emulator.command);
        MessageBoxSeen box = run.waitForMessageBox();
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, loadString(emulator.text));
        EXPECT_EQ(box.caption, "Information");
        EXPECT_EQ(box.icon, "information");
        pressButton(box.window, IDOK);
        EXPECT_TRUE(run.staysWithoutBox(200));
    }
    EXPECT_NE(loadString(IDS_NO_PALMOS_EMULATOR).find("PalmOs Emulator"), std::string::npos);
}

TEST_F(MainWindowTest, TheHtmlEditorOfTheSettingGetsTheItemsFullPath) {
    std::string recorder = useRecorderAsHtmlEditor(tmp.file("command-line.txt"));
    MainWindowRun run(book);
    ASSERT_TRUE(run.selectRow(IDC_MANIFEST_VIEW, "text/c1.htm#part2"));
    ASSERT_TRUE(run.command(ID_MANIFEST_EDIT_HTML));
    ASSERT_TRUE(pollUntil(kWaitMilliseconds, [&] { return tmp.exists("command-line.txt"); }));
    // The href resolved against the package's folder, fragment dropped.
    EXPECT_EQ(tmp.read("command-line.txt"), recorder + " " + tmp.file("text\\c1.htm"));
    deleteSetting("HTMLEditor");
}

}  // namespace
