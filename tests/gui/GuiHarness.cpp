#include "GuiHarness.h"

#include <gtest/gtest.h>

#include <utility>

#include "win32/DialogFunctionsWin32.h"
#include "win32/MainWindowWin32.h"

namespace {

constexpr char kSettingsKey[] = "SOFTWARE\\Quirebound\\Publisher";
constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconIds[] = {0x14, 0x440};  // the icon, on Windows and on Wine
constexpr int kFileNameIds[] = {0x480, 0x47c};    // an edit, or a combo box

std::string className(HWND window);
bool isCheckable(HWND control);
std::string windowText(HWND window);
// The editor's own dialogs label with the same id as a box's text: only a
// box has an icon beside it too.
bool isMessageBox(HWND dialog);
bool isFileDialog(HWND dialog);
std::string iconOfBox(HWND box);
HTREEITEM treeRow(HWND tree, HTREEITEM first, const std::string& text, int depth,
                  std::vector<std::string>* rows);
// Null, and a failure of the test, when it did not come.
HWND found(HWND window, const std::string& what);
// The mouse moved to the middle of a rectangle of the window and pressed.
void clickAt(HWND window, RECT area, DWORD down, DWORD up);

}  // namespace

MainWindowRun::MainWindowRun(const std::string& startupPath) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_COOL_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    uiThread = std::thread([this, started, startupPath] {
        uiThreadId = GetCurrentThreadId();
        SetEvent(started);
        runMainWindow(startupPath.c_str());
        SetEvent(ended);
    });
    WaitForSingleObject(started, kWaitMilliseconds);
    CloseHandle(started);
    // Visible means the initialisation, start-up package included, is over;
    // a box shown during it keeps the window hidden meanwhile.
    mainWindow = found(find(kWaitMilliseconds,
                            [this](HWND candidate) {
                                return GetDlgItem(candidate, IDC_SECTION_TABS) != nullptr &&
                                       (IsWindowVisible(candidate) || find(0, isMessageBox) != nullptr);
                            }),
                       "main window");
}

MainWindowRun::~MainWindowRun() {
    // A test that failed half-way may leave boxes open: answer No or Cancel
    // to everything until the dialog ends.
    for (int attempt = 0; attempt < 20 && !waitForEnd(0); ++attempt) {
        HWND box = find(0, [](HWND dialog) { return isMessageBox(dialog) || isFileDialog(dialog); });
        if (box != nullptr) {
            click(box, GetDlgItem(box, IDNO) != nullptr ? IDNO : IDCANCEL);
        } else {
            post(IDCANCEL);
        }
        waitForEnd(500);
    }
    if (waitForEnd(0)) {
        uiThread.join();
    } else {
        // Cannot join a thread stuck in a dialog: leave it to the process's end.
        uiThread.detach();
    }
    CloseHandle(ended);
}

bool MainWindowRun::waitForEnd(DWORD milliseconds) {
    return WaitForSingleObject(ended, milliseconds) == WAIT_OBJECT_0;
}

bool MainWindowRun::command(int id) {
    return send(WM_COMMAND, WPARAM(id), 0);
}

void MainWindowRun::post(int id, UINT message) {
    PostMessageA(mainWindow, message, WPARAM(id), 0);
}

std::string MainWindowRun::title() const {
    return windowText(mainWindow);
}

bool MainWindowRun::titleBecomes(const std::string& expected) {
    return pollUntil(kWaitMilliseconds, [&] { return title() == expected; });
}

bool MainWindowRun::clickTab(int index) {
    HWND tabs = GetDlgItem(mainWindow, IDC_SECTION_TABS);
    SendMessageA(tabs, TCM_SETCURSEL, WPARAM(index), 0);
    // The tab control tells its parent as a click would.
    NMHDR change{tabs, UINT_PTR(IDC_SECTION_TABS), UINT(TCN_SELCHANGE)};
    return send(WM_NOTIFY, WPARAM(IDC_SECTION_TABS), reinterpret_cast<LPARAM>(&change));
}

bool MainWindowRun::send(UINT message, WPARAM first, LPARAM second) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(mainWindow, message, first, second, SMTO_NORMAL, kWaitMilliseconds,
                               &ignored) != 0;
}

std::vector<std::string> MainWindowRun::rows(int viewId) const {
    std::vector<std::string> out;
    HWND tree = GetDlgItem(mainWindow, viewId);
    treeRow(tree, TreeView_GetRoot(tree), "", 0, &out);
    return out;
}

bool MainWindowRun::selectRow(int viewId, const std::string& text) {
    HWND tree = GetDlgItem(mainWindow, viewId);
    HTREEITEM row = treeRow(tree, TreeView_GetRoot(tree), text, 0, nullptr);
    return row != nullptr && TreeView_SelectItem(tree, row);
}

void MainWindowRun::doubleClickRow(int viewId, const std::string& text) {
    EXPECT_TRUE(selectRow(viewId, text)) << text;
    // Posted, so a dialog it opens does not hold up the test.
    static NMHDR click;
    click = NMHDR{GetDlgItem(mainWindow, viewId), UINT_PTR(viewId), UINT(NM_DBLCLK)};
    PostMessageA(mainWindow, WM_NOTIFY, WPARAM(viewId), reinterpret_cast<LPARAM>(&click));
}

void MainWindowRun::rightClickRow(int viewId, const std::string& text) {
    HWND tree = GetDlgItem(mainWindow, viewId);
    HTREEITEM row = treeRow(tree, TreeView_GetRoot(tree), text, 0, nullptr);
    RECT shown{};
    EXPECT_TRUE(row != nullptr && TreeView_GetItemRect(tree, row, &shown, TRUE)) << text;
    clickAt(tree, shown, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
}

void MainWindowRun::clickToolbarButton(int command) {
    HWND toolbar = GetDlgItem(GetDlgItem(mainWindow, IDC_REBAR), IDC_TOOLBAR);
    RECT button{};
    SendMessageA(toolbar, TB_GETRECT, WPARAM(command), reinterpret_cast<LPARAM>(&button));
    // Left of the middle: on the button, not on its arrow.
    button.right = (button.left + button.right) / 2;
    clickAt(toolbar, button, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

HWND MainWindowRun::focus() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(uiThreadId, &info);
    return info.hwndFocus;
}

void MainWindowRun::pressKey(int virtualKey) {
    HWND focused = focus();
    EXPECT_NE(focused, nullptr) << "no control has the focus for key " << virtualKey;
    PostMessageA(focused, WM_KEYDOWN, WPARAM(virtualKey), 1);
    PostMessageA(focused, WM_KEYUP, WPARAM(virtualKey), LPARAM(0xC0000001));
}

HWND MainWindowRun::waitForMenu() {
    HWND menu = nullptr;
    pollUntil(kWaitMilliseconds, [&] {
        menu = FindWindowA("#32768", nullptr);
        return menu != nullptr && IsWindowVisible(menu);
    });
    return found(menu != nullptr && IsWindowVisible(menu) ? menu : nullptr, "menu");
}

void MainWindowRun::chooseMenuEntry(HWND menu, int command) {
    auto entries = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
    // Down goes from the highlighted entry, or from none to the first; it
    // passes over separators, not over grey entries.
    int count = GetMenuItemCount(entries);
    int position = 0;
    int downs = 0;
    for (; position < count && GetMenuItemID(entries, position) != UINT(command); ++position) {
        if ((GetMenuState(entries, UINT(position), MF_BYPOSITION) & MF_HILITE) != 0) downs = 0;
        else if (GetMenuItemID(entries, position) != 0) ++downs;
    }
    EXPECT_LT(position, count) << "no entry " << command;
    if ((GetMenuState(entries, UINT(position), MF_BYPOSITION) & MF_HILITE) == 0) ++downs;
    for (; downs > 0; --downs) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 1);
}

template <typename Test>
HWND MainWindowRun::find(DWORD milliseconds, Test test) {
    struct Search {
        HWND main;
        Test* test;
        HWND found;
    } search{mainWindow, &test, nullptr};
    pollUntil(milliseconds, [&] {
        EnumThreadWindows(
            uiThreadId,
            [](HWND candidate, LPARAM argument) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(argument);
                if (candidate == s.main || className(candidate) != "#32770" || !(*s.test)(candidate))
                    return TRUE;
                s.found = candidate;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

std::string MainWindowRun::answerBox(int button) {
    // Visible means its text, caption and icon are in place.
    HWND box =
        find(kWaitMilliseconds, [](HWND dialog) { return isMessageBox(dialog) && IsWindowVisible(dialog); });
    if (box == nullptr) return "(no box)";
    std::string seen = windowText(box) + " (" + iconOfBox(box) + "): " + controlText(box, kMessageTextId);
    pressButton(box, button);
    return seen;
}

HWND MainWindowRun::waitForFileDialog() {
    return found(
        find(kWaitMilliseconds, [](HWND dialog) { return isFileDialog(dialog) && IsWindowVisible(dialog); }),
        "file dialog");
}

HWND MainWindowRun::waitForDialog(const std::string& caption) {
    auto shown = [&caption](HWND dialog) {
        return IsWindowVisible(dialog) && windowText(dialog).starts_with(caption);
    };
    return found(find(kWaitMilliseconds, shown), caption);
}

bool MainWindowRun::staysAlone(DWORD milliseconds) {
    return find(milliseconds, [](HWND dialog) { return IsWindowVisible(dialog) != FALSE; }) == nullptr;
}

HWND currentPage(HWND wizard) {
    return reinterpret_cast<HWND>(SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND waitForPage(HWND wizard, int controlId) {
    HWND page = nullptr;
    pollUntil(kWaitMilliseconds, [&] {
        page = IsWindow(wizard) ? currentPage(wizard) : nullptr;
        return GetDlgItem(page, controlId) != nullptr;
    });
    return found(GetDlgItem(page, controlId) != nullptr ? page : nullptr,
                 "page with control " + std::to_string(controlId));
}

HWND pressWizardButton(HWND wizard, int button, int controlOfPage) {
    PostMessageA(wizard, PSM_PRESSBUTTON, WPARAM(button), 0);
    return controlOfPage != 0 ? waitForPage(wizard, controlOfPage) : nullptr;
}

bool isGone(HWND window) {
    return pollUntil(kWaitMilliseconds, [&] { return !IsWindow(window); });
}

void click(HWND dialog, int buttonId) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void pressButton(HWND dialog, int buttonId) {
    click(dialog, buttonId);
    // Returns once it has gone, so the next look finds the next window.
    EXPECT_TRUE(isGone(dialog)) << "still there after button " << buttonId;
}

std::string loadString(int id) {
    char text[1024] = {};
    LoadStringA(GetModuleHandleA(nullptr), UINT(id), text, sizeof text);
    return text;
}

void typeInto(HWND dialog, int controlId, const std::string& text) {
    HWND control = GetDlgItem(dialog, controlId);
    if (control == nullptr)
        control = GetDlgItem(FindWindowExA(dialog, nullptr, "#32770", nullptr), controlId);
    if (isCheckable(control)) {
        // A click, as the mouse gives it: the box toggles and tells its dialog.
        if (controlText(GetParent(control), controlId) != text) SendMessageA(control, BM_CLICK, 0, 0);
        return;
    }
    if (className(control) == "ComboBox" && (GetWindowLongA(control, GWL_STYLE) & 3) == CBS_DROPDOWNLIST) {
        LRESULT index =
            SendMessageA(control, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
        EXPECT_NE(SendMessageA(control, CB_SETCURSEL, WPARAM(index), 0), CB_ERR) << text;
        return;
    }
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string controlText(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!isCheckable(control)) return windowText(control);
    return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "[x]" : "[ ]";
}

std::vector<std::string> listEntries(HWND dialog, int controlId) {
    std::vector<std::string> entries;
    HWND list = GetDlgItem(dialog, controlId);
    for (LRESULT i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
        char text[1024] = {};
        SendMessageA(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

// The file name box is an edit or a combo box, by system.
static HWND fileNameBox(HWND dialog) {
    HWND combo = GetDlgItem(dialog, kFileNameIds[1]);
    HWND edit = GetDlgItem(dialog, kFileNameIds[0]);
    if (edit == nullptr) edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
    return edit != nullptr ? edit : combo;
}

void answerFileDialog(HWND dialog, const std::string& fileName) {
    SendMessageA(fileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName.c_str()));
    pressButton(dialog, IDOK);
}

std::string fileDialogName(HWND dialog) {
    return windowText(fileNameBox(dialog));
}

std::string readSetting(const char* name) {
    char value[1024] = {};
    DWORD size = sizeof value - 1;
    LONG result = RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, value, &size);
    return result == ERROR_SUCCESS ? value : "(none)";
}

void deleteSetting(const char* name) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name);
}

namespace {

std::string windowText(HWND window) {
    char text[2048] = {};
    if (window != nullptr) GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool isCheckable(HWND control) {
    LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    return className(control) == "Button" && type >= BS_CHECKBOX && type <= BS_AUTORADIOBUTTON &&
           type != BS_GROUPBOX && type != BS_USERBUTTON;
}

bool isMessageBox(HWND dialog) {
    return GetDlgItem(dialog, kMessageTextId) != nullptr &&
           (GetDlgItem(dialog, kMessageIconIds[0]) != nullptr ||
            GetDlgItem(dialog, kMessageIconIds[1]) != nullptr);
}

bool isFileDialog(HWND dialog) {
    return GetDlgItem(dialog, kFileNameIds[0]) != nullptr || GetDlgItem(dialog, kFileNameIds[1]) != nullptr;
}

std::string iconOfBox(HWND box) {
    HWND picture = GetDlgItem(box, kMessageIconIds[0]);
    if (picture == nullptr) picture = GetDlgItem(box, kMessageIconIds[1]);
    auto shown = HICON(SendMessageA(picture, STM_GETICON, 0, 0));
    for (auto [id, name] : {std::pair{IDI_INFORMATION, "information"}, std::pair{IDI_WARNING, "warning"},
                            std::pair{IDI_ERROR, "error"}, std::pair{IDI_QUESTION, "question"}}) {
        if (shown != nullptr && LoadIconA(nullptr, id) == shown) return name;
    }
    return "none";
}

// Walks the rows depth first: appends each to rows, when given, and returns
// the first whose text is text.
HTREEITEM treeRow(HWND tree, HTREEITEM first, const std::string& text, int depth,
                  std::vector<std::string>* rows) {
    for (HTREEITEM row = first; row != nullptr; row = TreeView_GetNextSibling(tree, row)) {
        char shown[1100] = {};
        TVITEMA item{TVIF_TEXT | TVIF_HANDLE, row, 0, 0, shown, sizeof shown, 0, 0, 0, 0};
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (rows != nullptr) rows->push_back(std::string(size_t(depth) * 2, ' ') + shown);
        if (rows == nullptr && text == shown) return row;
        if (HTREEITEM below = treeRow(tree, TreeView_GetChild(tree, row), text, depth + 1, rows))
            return below;
    }
    return nullptr;
}

void clickAt(HWND window, RECT area, DWORD down, DWORD up) {
    POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    ClientToScreen(window, &middle);
    // The move goes in the same batch as the presses, so they cannot come
    // where the mouse was before.
    INPUT presses[3] = {};
    presses[0].type = presses[1].type = presses[2].type = INPUT_MOUSE;
    presses[0].mi.dx = middle.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    presses[0].mi.dy = middle.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    presses[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    presses[1].mi.dwFlags = down;
    presses[2].mi.dwFlags = up;
    SendInput(3, presses, sizeof presses[0]);
}

HWND found(HWND window, const std::string& what) {
    EXPECT_NE(window, nullptr) << what << " did not come";
    return window;
}

}  // namespace
