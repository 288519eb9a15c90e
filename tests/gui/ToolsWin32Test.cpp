// The Options sheet, the About box and the HTML editor as a user meets
// them from the main window.
#include <gtest/gtest.h>

#include <string>

#include "GuiHarness.h"
#include "QuireboundVersion.h"
#include "win32/DialogFunctionsWin32.h"
#include "resources/ResourceIds.h"
#include "tests/support/TempFolder.h"

namespace {

const char kBook[] =
    "<?xml version=\"1.0\"?>\n<package unique-identifier=\"bid\">\n"
    "<manifest><item id=\"c1\" href=\"text/c1.htm\" media-type=\"text/x-oeb1-document\"/></manifest>\n"
    "<spine><itemref idref=\"c1\"/></spine>\n"
    "<tours><tour id=\"t1\" title=\"Walk\"><site title=\"Start\" href=\"text/c1.htm#s\"/></tour></tours>\n"
    "</package>\n";

// The sheet's one page, where its controls are.
HWND pageOf(HWND sheet) {
    return FindWindowExA(sheet, nullptr, "#32770", nullptr);
}

class ToolsTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::string book = tmp.file("book.opf");

    void SetUp() override {
        tmp.write("book.opf", kBook);
        deleteSetting("HTMLEditor");
    }
};

TEST_F(ToolsTest, OptionsKeepWhatOkTookAndForgetWhatCancelLeft) {
    MainWindowRun run;
    run.post(ID_TOOLS_OPTIONS);
    HWND sheet = run.waitForDialog("Options");
    ASSERT_NE(sheet, nullptr);
    typeInto(pageOf(sheet), IDC_OPTIONS_HTML_EDITOR, "cancelled.exe");
    pressButton(sheet, IDCANCEL);

    run.post(ID_TOOLS_OPTIONS);
    sheet = run.waitForDialog("Options");
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(controlText(pageOf(sheet), IDC_OPTIONS_HTML_EDITOR), "");
    typeInto(pageOf(sheet), IDC_OPTIONS_HTML_EDITOR, "kept.exe -n");
    pressButton(sheet, IDOK);
    run.post(ID_FILE_EXIT);
    ASSERT_TRUE(run.waitForEnd());
    std::string stored;
    ASSERT_TRUE(readSetting("HTMLEditor", &stored));
    EXPECT_EQ(stored, "kept.exe -n");
}

TEST_F(ToolsTest, BrowsingForAProgramFillsItsFieldAndRemembersItsFolder) {
    tmp.write("emulator.exe", "MZ");
    MainWindowRun run;
    run.post(ID_TOOLS_OPTIONS);
    HWND sheet = run.waitForDialog("Options");
    ASSERT_NE(sheet, nullptr);
    PostMessageA(pageOf(sheet), WM_COMMAND, IDC_OPTIONS_PALMOS_EMULATOR_BROWSE, 0);
    HWND files = run.waitForFileDialog();
    ASSERT_NE(files, nullptr);
    answerFileDialog(files, tmp.file("emulator.exe"));
    EXPECT_EQ(controlText(pageOf(sheet), IDC_OPTIONS_PALMOS_EMULATOR), tmp.file("emulator.exe"));
    std::string lastOpen;
    ASSERT_TRUE(readSetting("LastOpenDir", &lastOpen));
    EXPECT_EQ(lastOpen, tmp.path());
    pressButton(sheet, IDCANCEL);
}

TEST_F(ToolsTest, TheAboutBoxClosesWithOkAndWithEsc) {
    MainWindowRun run;
    for (int button : {IDOK, IDCANCEL}) {
        run.post(ID_HELP_ABOUT);
        HWND about = run.waitForDialog("About Quirebound Publisher...");
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(controlText(about, IDC_ABOUT_VERSION), "Quirebound Publisher, version " QB_VERSION);
        pressButton(about, button);
        EXPECT_FALSE(IsWindow(about));
    }
}

TEST_F(ToolsTest, NoToTheHtmlEditorQuestionStartsNothing) {
    MainWindowRun run(book);
    ASSERT_TRUE(run.selectRow(IDC_MANIFEST_VIEW, "text/c1.htm"));
    run.post(ID_MANIFEST_EDIT_HTML);
    MessageBoxSeen box = run.waitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "You didn't selected any HTML editor. Do you want to do it now?");
    pressButton(box.window, IDNO);
    EXPECT_EQ(run.waitForDialog("Options", 500), nullptr);
    EXPECT_TRUE(run.staysWithoutBox(200));
}

TEST_F(ToolsTest, ATourSitesFileIsResolvedAgainstThePackage) {
    std::string recorder = useRecorderAsHtmlEditor(tmp.file("command-line.txt"));
    MainWindowRun run(book);
    ASSERT_TRUE(run.clickTab(3));
    ASSERT_TRUE(run.selectRow(IDC_TOURS_VIEW, "Start"));
    ASSERT_TRUE(run.command(ID_TOURS_EDIT_HTML));
    ASSERT_TRUE(pollUntil(kWaitMilliseconds, [&] { return tmp.exists("command-line.txt"); }));
    EXPECT_EQ(tmp.read("command-line.txt"), recorder + " " + tmp.file("text\\c1.htm"));
}

}  // namespace
