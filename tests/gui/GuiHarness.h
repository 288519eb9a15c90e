// Runs the real main window on a thread of its own and drives it from the
// test's thread as a user would: commands as menus, buttons and keys send
// them, and what the window shows read back through window messages.
// Every wait has a deadline, so a window that never comes fails a test
// instead of hanging the run; a wait for a window that does not come adds
// the failure itself and answers null, which every other call takes as
// nothing to do.
#pragma once

// The system headers, in the order they need.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "resources/ResourceIds.h"
#include "tests/support/TempFolder.h"
#include "win32/DialogFunctionsWin32.h"

constexpr DWORD kWaitMilliseconds = 10000;

// The package most window tests open, written by hand so that a rewrite by
// the editor changes its bytes.
constexpr char kGuiBook[] =
    "<?xml version=\"1.0\"?>\n<package unique-identifier=\"bid\">\n"
    "<metadata><dc:Title>Harbour Book</dc:Title><dc:Creator>A. Writer</dc:Creator></metadata>\n<manifest>\n"
    "<item id=\"c1\" href=\"text/c1.htm#part2\" media-type=\"text/x-oeb1-document\"/>\n"
    "<item id=\"c2\" href=\"c2.htm\" media-type=\"text/x-oeb1-document\"/>\n</manifest>\n"
    "<spine><itemref idref=\"c1\"/></spine>\n<tours><tour id=\"t1\" title=\"Walk\">"
    "<site title=\"Start\" href=\"c2.htm#s\"/><site title=\"End\" href=\"text/c1.htm\"/></tour></tours>\n"
    "<guide><reference type=\"toc\" title=\"Contents\" href=\"c2.htm\"/></guide>\n</package>\n";

// The section views by tab index.
constexpr int kViewOfTab[] = {IDC_MANIFEST_VIEW, IDC_SPINE_VIEW, IDC_METADATA_VIEW, IDC_TOURS_VIEW,
                              IDC_GUIDE_VIEW};

// Polls until found() is true or the time is up.
template <typename Found>
bool pollUntil(DWORD milliseconds, Found found) {
    DWORD start = GetTickCount();
    for (;;) {
        if (found()) return true;
        if (GetTickCount() - start >= milliseconds) return false;
        Sleep(20);
    }
}

class MainWindowRun {
public:
    // Starts the editor as the command line would, with this package path
    // (empty: no package).
    explicit MainWindowRun(const std::string& startupPath = "");
    ~MainWindowRun();
    MainWindowRun(const MainWindowRun&) = delete;
    MainWindowRun& operator=(const MainWindowRun&) = delete;

    HWND window() const { return mainWindow; }
    // Waits until the dialog has ended; false on timeout.
    bool waitForEnd(DWORD milliseconds = kWaitMilliseconds);

    // A command that returns without a modal box: waits until it is done.
    bool command(int id);
    // A command that opens a modal box: returns at once.
    void post(int id, UINT message = WM_COMMAND);

    std::string title() const;
    // Waits until the title reads this; false on timeout.
    bool titleBecomes(const std::string& expected);
    // The tab control's selection changes as a click on the tab changes it.
    bool clickTab(int index);
    // Rows of a tree, depth first, each indented by two blanks per level.
    std::vector<std::string> rows(int viewId) const;
    // Selects the first row with this text; false when there is none.
    bool selectRow(int viewId, const std::string& text);
    // Selects the row and double-clicks it as the tree tells its parent.
    void doubleClickRow(int viewId, const std::string& text);
    // The mouse, as the system moves and presses it: a right click on a
    // row, a left click on a toolbar button.
    void rightClickRow(int viewId, const std::string& text);
    void clickToolbarButton(int command);
    // The control with the editor's focus, and a key pressed and released
    // there, through the windows' own message loop.
    HWND focus();
    void pressKey(int virtualKey);
    // The pop-up menu once it shows, and an entry chosen with the arrow keys
    // and Enter.
    HWND waitForMenu();
    void chooseMenuEntry(HWND menu, int command);

    // The next message box as "Caption (icon): text", the icon one of
    // information, warning, error, question, none; the button given then
    // closes it. "(no box)" when none comes.
    std::string answerBox(int button);
    // Dialogs of the editor's thread once visible: a file dialog, one whose
    // caption begins with this text (a wizard's, "Quirebound Publisher").
    HWND waitForFileDialog();
    HWND waitForDialog(const std::string& caption);
    // True when no box or dialog shows up within the time.
    bool staysAlone(DWORD milliseconds);

private:
    // Sent to the main window; false when it did not answer in time.
    bool send(UINT message, WPARAM first, LPARAM second);
    template <typename Test>
    HWND find(DWORD milliseconds, Test test);

    std::thread uiThread;
    DWORD uiThreadId = 0;
    HANDLE ended = nullptr;
    HWND mainWindow = nullptr;
};

// The fixture of most window tests: a scratch folder holding kGuiBook as
// book.opf.
class GuiTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::string book = tmp.file("book.opf");

    void SetUp() override { tmp.write("book.opf", kGuiBook); }
};

// Wizard sheets: their buttons, the page shown, and a press of a button.
constexpr int kBackButton = 0x3023;
constexpr int kFinishButton = 0x3025;
HWND currentPage(HWND wizard);
// Waits until the current page holds the control; null when it does not.
HWND waitForPage(HWND wizard, int controlId);
// Presses a button (PSBTN_...), and waits for the page that holds the
// control when one is given.
HWND pressWizardButton(HWND wizard, int button, int controlOfPage = 0);
// Waits until the window has gone.
bool isGone(HWND window);

// Presses a button of a dialog (IDOK, IDCANCEL) and waits until it has gone.
void pressButton(HWND dialog, int buttonId);
// A click that returns at once: the dialog may stay open.
void click(HWND dialog, int buttonId);
// A string of the program's resources.
std::string loadString(int id);
// A dialog's control as a user fills it: typing replaces an edit's text (a
// drop-down combo's too), a choice-only list picks the entry of that text,
// and a check box or radio button, which reads "[x]" or "[ ]", is clicked
// when it is not as asked. A property sheet's controls are on its page.
void typeInto(HWND dialog, int controlId, const std::string& text);
std::string controlText(HWND dialog, int controlId);
// The lines of a list box.
std::vector<std::string> listEntries(HWND dialog, int controlId);
// Types a full file name into a file dialog and presses OK.
void answerFileDialog(HWND dialog, const std::string& fileName);
std::string fileDialogName(HWND dialog);

// The editor's registry values under the current user.
std::string readSetting(const char* name);  // "(none)" when missing
void deleteSetting(const char* name);
