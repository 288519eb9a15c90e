#include "GuiHarness.h"

#include <cstdio>
#include <cstring>

#include "win32/DialogFunctionsWin32.h"
#include "win32/MainWindowWin32.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

constexpr char kSettingsKey[] = "SOFTWARE\\Quirebound\\Publisher";
constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 0x14;
constexpr int kWineMessageIconId = 0x440;
constexpr int kFileNameEdit = 0x480;
constexpr int kFileNameCombo = 0x47c;

std::string className(HWND window);
std::string iconOfBox(HWND box);
HWND toolbarOf(HWND mainWindow);
void appendRows(HWND tree, HTREEITEM first, int depth, std::vector<std::string>& out);
HTREEITEM findRow(HWND tree, HTREEITEM first, const std::string& text);
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
    pollUntil(kWaitMilliseconds, [this] {
        mainWindow = nullptr;
        EnumThreadWindows(
            uiThreadId,
            [](HWND candidate, LPARAM found) -> BOOL {
                if (className(candidate) == "#32770" && GetDlgItem(candidate, IDC_SECTION_TABS) != nullptr) {
                    *reinterpret_cast<HWND*>(found) = candidate;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&mainWindow));
        // Visible means the initialisation, start-up package included, is
        // over; a box shown during it keeps the window hidden meanwhile.
        return mainWindow != nullptr && (IsWindowVisible(mainWindow) || findOwnedDialog(true) != nullptr);
    });
}

MainWindowRun::~MainWindowRun() {
    // A test that failed half-way may leave boxes open: answer No to
    // everything until the dialog ends.
    for (int attempt = 0; attempt < 20 && !hasEnded(); ++attempt) {
        HWND box = findOwnedDialog(true);
        if (box == nullptr) box = findOwnedDialog(false);
        if (box != nullptr) {
            pressButton(box, GetDlgItem(box, IDNO) != nullptr ? IDNO : IDCANCEL);
        } else if (mainWindow != nullptr) {
            PostMessageA(mainWindow, WM_COMMAND, IDCANCEL, 0);
        }
        WaitForSingleObject(ended, 500);
    }
    if (hasEnded()) {
        uiThread.join();
    } else {
        // Cannot join a thread stuck in a dialog: leave it to the process's end.
        uiThread.detach();
    }
    CloseHandle(ended);
}

bool MainWindowRun::hasEnded() {
    return WaitForSingleObject(ended, 0) == WAIT_OBJECT_0;
}

bool MainWindowRun::waitForEnd(DWORD milliseconds) {
    return WaitForSingleObject(ended, milliseconds) == WAIT_OBJECT_0;
}

bool MainWindowRun::command(int id) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(mainWindow, WM_COMMAND, WPARAM(id), 0, SMTO_NORMAL, kWaitMilliseconds,
                               &ignored) != 0;
}

void MainWindowRun::post(int id) {
    PostMessageA(mainWindow, WM_COMMAND, WPARAM(id), 0);
}

void MainWindowRun::postMessage(UINT message, WPARAM first, LPARAM second) {
    PostMessageA(mainWindow, message, first, second);
}

std::string MainWindowRun::title() const {
    return windowText(mainWindow);
}

bool MainWindowRun::titleBecomes(const std::string& expected) {
    return pollUntil(kWaitMilliseconds, [&] { return title() == expected; });
}

UINT MainWindowRun::menuState(int command) const {
    return GetMenuState(GetMenu(mainWindow), UINT(command), MF_BYCOMMAND);
}

int MainWindowRun::toolbarState(int command) const {
    HWND toolbar = toolbarOf(mainWindow);
    if (toolbar == nullptr) return -1;
    return int(SendMessageA(toolbar, TB_GETSTATE, WPARAM(command), 0));
}

bool MainWindowRun::isVisible(int controlId) const {
    HWND control = GetDlgItem(mainWindow, controlId);
    return control != nullptr && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

int MainWindowRun::selectedTab() const {
    return int(SendDlgItemMessageA(mainWindow, IDC_SECTION_TABS, TCM_GETCURSEL, 0, 0));
}

bool MainWindowRun::clickTab(int index) {
    HWND tabs = GetDlgItem(mainWindow, IDC_SECTION_TABS);
    if (tabs == nullptr) return false;
    SendMessageA(tabs, TCM_SETCURSEL, WPARAM(index), 0);
    // The tab control tells its parent as a click would.
    NMHDR change{tabs, UINT_PTR(IDC_SECTION_TABS), UINT(TCN_SELCHANGE)};
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(mainWindow, WM_NOTIFY, WPARAM(IDC_SECTION_TABS),
                               reinterpret_cast<LPARAM>(&change), SMTO_NORMAL, kWaitMilliseconds,
                               &ignored) != 0;
}

std::vector<std::string> MainWindowRun::rows(int viewId) const {
    std::vector<std::string> out;
    HWND tree = GetDlgItem(mainWindow, viewId);
    if (tree == nullptr) return out;
    auto root = HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    appendRows(tree, root, 0, out);
    return out;
}

bool MainWindowRun::selectRow(int viewId, const std::string& text) {
    HWND tree = GetDlgItem(mainWindow, viewId);
    if (tree == nullptr) return false;
    HTREEITEM row = findRow(tree, HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), text);
    if (row == nullptr) return false;
    return SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(row)) != 0;
}

void MainWindowRun::doubleClickRow(int viewId, const std::string& text) {
    if (!selectRow(viewId, text)) return;
    NMHDR click{GetDlgItem(mainWindow, viewId), UINT_PTR(viewId), UINT(NM_DBLCLK)};
    // Posted: a dialog it opens must not hold up the test.
    static NMHDR posted;
    posted = click;
    PostMessageA(mainWindow, WM_NOTIFY, WPARAM(viewId), reinterpret_cast<LPARAM>(&posted));
}

template <typename Test>
HWND MainWindowRun::waitForVisible(DWORD milliseconds, Test test) {
    struct Search {
        HWND main;
        Test* test;
        HWND found;
    } search{mainWindow, &test, nullptr};
    pollUntil(milliseconds, [&] {
        search.found = nullptr;
        EnumThreadWindows(
            uiThreadId,
            [](HWND candidate, LPARAM argument) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(argument);
                if (candidate == s.main || className(candidate) != "#32770" || !IsWindowVisible(candidate) ||
                    !(*s.test)(candidate))
                    return TRUE;
                s.found = candidate;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

HWND MainWindowRun::waitForDialog(const std::string& caption, DWORD milliseconds) {
    return waitForVisible(milliseconds, [&caption](HWND window) { return windowText(window) == caption; });
}

HWND MainWindowRun::waitForDialogWith(int controlId, DWORD milliseconds) {
    return waitForVisible(milliseconds,
                          [controlId](HWND window) { return GetDlgItem(window, controlId) != nullptr; });
}

MessageBoxSeen MainWindowRun::waitForMessageBox(DWORD milliseconds) {
    MessageBoxSeen seen;
    pollUntil(milliseconds, [&] {
        // Visible means its text, caption and icon are in place.
        seen.window = findOwnedDialog(true);
        return seen.window != nullptr && IsWindowVisible(seen.window);
    });
    if (seen.window == nullptr) return seen;
    seen.text = windowText(GetDlgItem(seen.window, kMessageTextId));
    seen.caption = windowText(seen.window);
    seen.icon = iconOfBox(seen.window);
    return seen;
}

HWND MainWindowRun::waitForFileDialog(DWORD milliseconds) {
    HWND dialog = nullptr;
    pollUntil(milliseconds, [&] {
        dialog = findOwnedDialog(false);
        return dialog != nullptr && IsWindowVisible(dialog);
    });
    return dialog;
}

bool MainWindowRun::staysWithoutBox(DWORD milliseconds) {
    return !pollUntil(milliseconds, [this] {
        for (bool messageBox : {true, false}) {
            HWND found = findOwnedDialog(messageBox);
            if (found != nullptr && IsWindowVisible(found)) return true;
        }
        return false;
    });
}

HWND MainWindowRun::findOwnedDialog(bool wantMessageBox) const {
    struct Search {
        HWND main;
        bool wantMessageBox;
        HWND found;
    } search{mainWindow, wantMessageBox, nullptr};
    EnumThreadWindows(
        uiThreadId,
        [](HWND candidate, LPARAM argument) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(argument);
            if (candidate == s.main || className(candidate) != "#32770") return TRUE;
            // The editor's own dialogs label with the same id as a box's
            // text: only a box has the icon beside it too.
            bool isMessageBox = GetDlgItem(candidate, kMessageTextId) != nullptr &&
                                (GetDlgItem(candidate, kMessageIconId) != nullptr ||
                                 GetDlgItem(candidate, kWineMessageIconId) != nullptr);
            bool isFileDialog = GetDlgItem(candidate, kFileNameEdit) != nullptr ||
                                GetDlgItem(candidate, kFileNameCombo) != nullptr;
            if ((s.wantMessageBox && isMessageBox) || (!s.wantMessageBox && isFileDialog)) {
                s.found = candidate;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void click(HWND dialog, int buttonId) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void pressButton(HWND box, int buttonId) {
    click(box, buttonId);
    // Returns once the box has gone, so the next look finds the next box.
    bool gone = pollUntil(kWaitMilliseconds, [box] { return !IsWindow(box); });
    if (!gone)
        std::fprintf(stderr, "box %p still there after button %d\n", static_cast<void*>(box), buttonId);
}

void setTicked(HWND dialog, int controlId, bool ticked) {
    // A click, as the mouse gives it: the box toggles and tells its dialog.
    if (isTicked(dialog, controlId) != ticked) SendDlgItemMessageA(dialog, controlId, BM_CLICK, 0, 0);
}

bool isTicked(HWND dialog, int controlId) {
    return SendDlgItemMessageA(dialog, controlId, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string windowText(HWND window) {
    char text[2048] = {};
    if (window != nullptr) GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string loadString(int id) {
    char text[1024] = {};
    LoadStringA(GetModuleHandleA(nullptr), UINT(id), text, sizeof text);
    return text;
}

void typeInto(HWND dialog, int controlId, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, controlId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool chooseInList(HWND dialog, int controlId, const std::string& text) {
    HWND list = GetDlgItem(dialog, controlId);
    LRESULT index =
        SendMessageA(list, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
    return index != CB_ERR && SendMessageA(list, CB_SETCURSEL, WPARAM(index), 0) == index;
}

std::string controlText(HWND dialog, int controlId) {
    return windowText(GetDlgItem(dialog, controlId));
}

std::vector<std::string> listEntries(HWND dialog, int controlId) {
    std::vector<std::string> entries;
    HWND list = GetDlgItem(dialog, controlId);
    char kind[16] = {};
    GetClassNameA(list, kind, sizeof kind);
    bool listBox = lstrcmpiA(kind, "ListBox") == 0;
    LRESULT count = SendMessageA(list, listBox ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[1024] = {};
        SendMessageA(list, listBox ? LB_GETTEXT : CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

// The file name box is an edit or a combo box, by system.
static HWND fileNameBox(HWND dialog) {
    HWND edit = GetDlgItem(dialog, kFileNameEdit);
    if (edit == nullptr) {
        HWND combo = GetDlgItem(dialog, kFileNameCombo);
        edit = combo != nullptr ? FindWindowExA(combo, nullptr, "Edit", nullptr) : nullptr;
        if (edit == nullptr) edit = combo;
    }
    return edit;
}

void answerFileDialog(HWND dialog, const std::string& fileName) {
    SendMessageA(fileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(fileName.c_str()));
    pressButton(dialog, IDOK);
}

std::string fileDialogName(HWND dialog) {
    return windowText(fileNameBox(dialog));
}

void cancelFileDialog(HWND dialog) {
    pressButton(dialog, IDCANCEL);
}

bool readSetting(const char* name, std::string* value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return false;
    *value = buffer;
    return true;
}

void writeSetting(const char* name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kSettingsKey, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD(value.size() + 1));
    RegCloseKey(key);
}

void deleteSetting(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

std::string useRecorderAsHtmlEditor(const std::string& outFile) {
    // The program's path as Wine's drive Z: shows the build folder.
    std::string path = QB_GUI_RECORDER;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    if (path.size() < 2 || path[1] != ':') path = "Z:" + path;
    SetEnvironmentVariableA("QB_RECORDER_OUT", outFile.c_str());
    writeSetting("HTMLEditor", path);
    return path;
}

namespace {

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string iconOfBox(HWND box) {
    // The icon's static has an id of its own on each system: look for the
    // static that shows an icon.
    HWND picture = GetDlgItem(box, kMessageIconId);
    if (picture == nullptr || (GetWindowLongA(picture, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
        picture = nullptr;
        EnumChildWindows(
            box,
            [](HWND child, LPARAM found) -> BOOL {
                if (className(child) == "Static" &&
                    (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                    *reinterpret_cast<HWND*>(found) = child;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&picture));
    }
    if (picture == nullptr) return "none";
    auto shown = HICON(SendMessageA(picture, STM_GETICON, 0, 0));
    if (shown == nullptr) return "none";
    struct Known {
        LPCSTR id;
        const char* name;
    };
    const Known known[] = {{IDI_INFORMATION, "information"},
                           {IDI_WARNING, "warning"},
                           {IDI_ERROR, "error"},
                           {IDI_QUESTION, "question"}};
    for (const Known& k : known) {
        if (LoadIconA(nullptr, k.id) == shown) return k.name;
    }
    return "unknown";
}

HWND toolbarOf(HWND mainWindow) {
    HWND rebar = GetDlgItem(mainWindow, IDC_REBAR);
    return rebar != nullptr ? GetDlgItem(rebar, IDC_TOOLBAR) : nullptr;
}

std::string rowText(HWND tree, HTREEITEM row) {
    char text[1100] = {};
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = row;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

void appendRows(HWND tree, HTREEITEM first, int depth, std::vector<std::string>& out) {
    for (HTREEITEM row = first; row != nullptr;
         row = HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(row)))) {
        out.push_back(std::string(size_t(depth) * 2, ' ') + rowText(tree, row));
        auto child =
            HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(row)));
        appendRows(tree, child, depth + 1, out);
    }
}

HTREEITEM findRow(HWND tree, HTREEITEM first, const std::string& text) {
    for (HTREEITEM row = first; row != nullptr;
         row = HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(row)))) {
        if (rowText(tree, row) == text) return row;
        auto child =
            HTREEITEM(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(row)));
        if (HTREEITEM found = findRow(tree, child, text)) return found;
    }
    return nullptr;
}

}  // namespace

HWND currentPage(HWND wizard) {
    return reinterpret_cast<HWND>(SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND waitForPage(HWND wizard, int controlId) {
    HWND page = nullptr;
    bool shown = pollUntil(kWaitMilliseconds, [&] {
        page = IsWindow(wizard) ? currentPage(wizard) : nullptr;
        return page != nullptr && GetDlgItem(page, controlId) != nullptr;
    });
    return shown ? page : nullptr;
}

void pressWizardButton(HWND wizard, int button) {
    PostMessageA(wizard, PSM_PRESSBUTTON, WPARAM(button), 0);
}

bool isGone(HWND window) {
    return pollUntil(kWaitMilliseconds, [&] { return !IsWindow(window); });
}
