// Runs the real main window on a thread of its own and drives it from the
// test's thread as a user would: commands as menus, buttons and keys send
// them, and what the window shows read back through window messages.
// Every wait has a deadline, so a window that never comes fails a test
// instead of hanging the run.
#pragma once

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

constexpr DWORD kWaitMilliseconds = 10000;

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

// A message box of the process as the user sees it.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::string text;
    std::string caption;
    // "information", "warning", "error", "question" or "none".
    std::string icon;
};

class MainWindowRun {
public:
    // Starts the editor as the command line would, with this package path
    // (empty: no package).
    explicit MainWindowRun(const std::string& startupPath = "");
    ~MainWindowRun();
    MainWindowRun(const MainWindowRun&) = delete;
    MainWindowRun& operator=(const MainWindowRun&) = delete;

    // Null when the window did not come up in time.
    HWND window() const { return mainWindow; }
    bool hasEnded();
    // Waits until the dialog has ended; false on timeout.
    bool waitForEnd(DWORD milliseconds = kWaitMilliseconds);

    // A command that returns without a modal box: waits until it is done.
    bool command(int id);
    // A command that opens a modal box: returns at once.
    void post(int id);
    void postMessage(UINT message, WPARAM first, LPARAM second);

    std::string title() const;
    // Waits until the title reads this; false on timeout.
    bool titleBecomes(const std::string& expected);
    // MF_GRAYED / MF_CHECKED etc. of a menu entry of the menu bar.
    UINT menuState(int command) const;
    // TB_GETSTATE of a toolbar button.
    int toolbarState(int command) const;
    bool isVisible(int controlId) const;
    int selectedTab() const;
    // The tab control's selection changes as a click on the tab changes it.
    bool clickTab(int index);
    // Rows of a tree, depth first, each indented by two blanks per level.
    std::vector<std::string> rows(int viewId) const;
    // Selects the first row with this text; false when there is none.
    bool selectRow(int viewId, const std::string& text);
    // Selects the row and double-clicks it as the tree tells its parent.
    void doubleClickRow(int viewId, const std::string& text);

    // Message boxes and file dialogs of the editor's thread.
    MessageBoxSeen waitForMessageBox(DWORD milliseconds = kWaitMilliseconds);
    HWND waitForFileDialog(DWORD milliseconds = kWaitMilliseconds);
    // A dialog of the editor's thread with this caption, once visible.
    HWND waitForDialog(const std::string& caption, DWORD milliseconds = kWaitMilliseconds);
    // A dialog of the editor's thread that holds this control, once visible.
    HWND waitForDialogWith(int controlId, DWORD milliseconds = kWaitMilliseconds);
    // True when no box or file dialog shows up within the time.
    bool staysWithoutBox(DWORD milliseconds);

private:
    HWND findOwnedDialog(bool wantMessageBox) const;
    template <typename Test>
    HWND waitForVisible(DWORD milliseconds, Test test);

    std::thread uiThread;
    DWORD uiThreadId = 0;
    HANDLE ended = nullptr;
    HWND mainWindow = nullptr;
};

// Wizard sheets: their buttons, the page shown, and a press of a button.
constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;
HWND currentPage(HWND wizard);
// Waits until the current page holds this control; null on timeout.
HWND waitForPage(HWND wizard, int controlId);
void pressWizardButton(HWND wizard, int button /* PSBTN_... */);
bool isGone(HWND window);

// Presses a button of a message box (IDYES, IDNO, IDOK, IDCANCEL) and
// waits until the box has gone.
void pressButton(HWND box, int buttonId);
// A click that returns at once: the dialog may stay open.
void click(HWND dialog, int buttonId);
// A box is ticked or cleared by a click on it, when it is not as asked.
void setTicked(HWND dialog, int controlId, bool ticked);
bool isTicked(HWND dialog, int controlId);
std::string windowText(HWND window);
// A string of the program's resources.
std::string loadString(int id);
// A dialog's controls as a user fills them: typing replaces an edit's text
// (a drop-down combo's too), choosing picks a list entry by its text. The
// entries are a combo box's or a list box's.
void typeInto(HWND dialog, int controlId, const std::string& text);
bool chooseInList(HWND dialog, int controlId, const std::string& text);
std::string controlText(HWND dialog, int controlId);
std::vector<std::string> listEntries(HWND dialog, int controlId);
// Types a full file name into a file dialog and presses OK, or Cancel.
void answerFileDialog(HWND dialog, const std::string& fileName);
std::string fileDialogName(HWND dialog);
void cancelFileDialog(HWND dialog);

// The editor's registry values under the current user.
bool readSetting(const char* name, std::string* value);
void writeSetting(const char* name, const std::string& value);
void deleteSetting(const char* name);
// Makes the stand-in program, which writes its command line to this file,
// the HTML editor of the settings; returns the path the setting holds.
std::string useRecorderAsHtmlEditor(const std::string& outFile);
