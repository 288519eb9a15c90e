/* Drives the editor for the screenshots of its New dialog and Publishing
   Wizard from another process: closes a dialog left open by the previous
   shot, opens the one asked for (new, welcome, options or final), and prints
   its rectangle on the desktop as "x y width height" into the file named
   second (it runs on the editor's virtual desktop, which has no console). */
#include <stdio.h>
#include <string.h>
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
// clang-format on

#define NEXT_BUTTON 0x3024
#define NEW_NAME 1043
#define NEW_AUTHOR 1042
#define NEW_TARGET 1041
#define FINAL_LOCATION 1032
#define COMMAND_NEW 32772
#define COMMAND_PUBLISH 32773

struct Search {
    int kind; /* 0 editor, 1 New dialog, 2 wizard */
    HWND found;
};

static BOOL CALLBACK findWindow(HWND window, LPARAM argument) {
    struct Search* search = (struct Search*)argument;
    char title[256] = {0};
    if (!IsWindowVisible(window)) return TRUE;
    GetWindowTextA(window, title, sizeof title);
    if ((search->kind == 0 && strncmp(title, "Quirebound Publisher", 20) == 0 &&
         GetDlgItem(window, NEXT_BUTTON) == NULL) ||
        (search->kind == 1 && GetDlgItem(window, NEW_NAME) != NULL) ||
        (search->kind == 2 && GetDlgItem(window, NEXT_BUTTON) != NULL)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND waitFor(int kind, int attempts) {
    struct Search search = {kind, NULL};
    for (int attempt = 0; attempt < attempts && search.found == NULL; ++attempt) {
        EnumWindows(findWindow, (LPARAM)&search);
        if (search.found == NULL) Sleep(100);
    }
    return search.found;
}

static HWND currentPage(HWND wizard) {
    return (HWND)SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0);
}

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "new";
    HWND editor = waitFor(0, 300);
    if (editor == NULL) {
        fprintf(stderr, "no editor window\n");
        return 1;
    }
    HWND open = waitFor(1, 1);
    if (open != NULL) PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    open = waitFor(2, 1);
    if (open != NULL) PostMessageA(open, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    Sleep(500);

    HWND shown = NULL;
    if (strcmp(mode, "new") == 0) {
        PostMessageA(editor, WM_COMMAND, COMMAND_NEW, 0);
        shown = waitFor(1, 100);
        if (shown != NULL) {
            SetDlgItemTextA(shown, NEW_NAME, "The Lantern on Gull Point");
            SetDlgItemTextA(shown, NEW_AUTHOR, "Quirebound Sample Writers");
            SetDlgItemTextA(shown, NEW_TARGET, "C:\\books\\lantern.opf");
        }
    } else {
        PostMessageA(editor, WM_COMMAND, COMMAND_PUBLISH, 0);
        shown = waitFor(2, 100);
        int presses = strcmp(mode, "options") == 0 ? 1 : strcmp(mode, "final") == 0 ? 2 : 0;
        for (int i = 0; shown != NULL && i < presses; ++i) {
            HWND before = currentPage(shown);
            PostMessageA(shown, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
            /* The second press starts the build, which moves on by itself. */
            for (int attempt = 0; attempt < 100 && currentPage(shown) == before; ++attempt) Sleep(100);
        }
        if (shown != NULL && presses == 2 && GetDlgItem(currentPage(shown), FINAL_LOCATION) == NULL)
            shown = NULL;
    }
    if (shown == NULL) {
        fprintf(stderr, "no %s dialog\n", mode);
        return 1;
    }
    Sleep(300);
    SetForegroundWindow(shown);
    RedrawWindow(shown, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetWindowRect(shown, &r);
    FILE* out = argc > 2 ? fopen(argv[2], "w") : stdout;
    if (out == NULL) return 1;
    fprintf(out, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (out != stdout) fclose(out);
    return 0;
}
