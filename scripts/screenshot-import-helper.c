/* Drives the editor for the screenshots of its Import Wizard from another
   process: cancels a wizard left open by the previous shot, starts a text
   or HTML import, fills the pages up to the one asked for (welcome, source,
   lineends, search, preview, tags, metadata or final) and prints the
   rectangle of that page's wizard (or of the preview) on the desktop as
   "x y width height" into the file named second. The third argument is the
   source to import. It runs on the editor's virtual desktop, which has no
   console. */
#include <stdio.h>
#include <string.h>
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
// clang-format on

#define NEXT_BUTTON 0x3024
#define COMMAND_IMPORT_TEXT 32794
#define COMMAND_IMPORT_HTML 32816
#define SOURCE_EDIT 1004
#define DESTINATION_EDIT 1005
#define SEARCH_EDIT 1008
#define SEARCH_TEST 1009
#define TAGS_EDIT 1043
#define TITLE_EDIT 1014
#define AUTHOR_EDIT 1015
#define PREVIEW_CLOSE 1020

struct Search {
    int kind; /* 0 editor, 1 wizard, 2 question box, 3 preview */
    HWND found;
};

static BOOL CALLBACK findWindow(HWND window, LPARAM argument) {
    struct Search* search = (struct Search*)argument;
    char title[256] = {0};
    if (!IsWindowVisible(window)) return TRUE;
    GetWindowTextA(window, title, sizeof title);
    if ((search->kind == 0 && strncmp(title, "Quirebound Publisher", 20) == 0 &&
         GetDlgItem(window, NEXT_BUTTON) == NULL) ||
        (search->kind == 1 && GetDlgItem(window, NEXT_BUTTON) != NULL) ||
        (search->kind == 2 && GetDlgItem(window, IDNO) != NULL) ||
        (search->kind == 3 && strcmp(title, "Preview Search String") == 0)) {
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

static void next(HWND wizard) {
    HWND before = currentPage(wizard);
    PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    for (int attempt = 0; attempt < 100 && currentPage(wizard) == before; ++attempt) Sleep(100);
}

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "welcome";
    const char* source = argc > 3 ? argv[3] : "";
    HWND editor = waitFor(0, 300);
    if (editor == NULL) return 1;
    HWND open = waitFor(3, 1);
    if (open != NULL) PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    Sleep(300);
    open = waitFor(1, 1);
    if (open != NULL) PostMessageA(open, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    Sleep(500);

    int html = strcmp(mode, "tags") == 0;
    PostMessageA(editor, WM_COMMAND, html ? COMMAND_IMPORT_HTML : COMMAND_IMPORT_TEXT, 0);
    /* The open sample is closed first, unsaved. */
    HWND question = waitFor(2, 10);
    if (question != NULL) PostMessageA(question, WM_COMMAND, IDNO, 0);
    HWND wizard = waitFor(1, 100);
    if (wizard == NULL) return 1;
    HWND shown = wizard;
    const char* stops[] = {"welcome", "source", "lineends", "search", "metadata", "final"};
    for (int step = 0; step < 6; ++step) {
        HWND page = currentPage(wizard);
        if (step == 1) {
            char folder[MAX_PATH];
            strcpy(folder, source);
            char* last = strrchr(folder, '\\');
            if (last != NULL) last[1] = '\0';
            SetDlgItemTextA(page, SOURCE_EDIT, source);
            SetDlgItemTextA(page, DESTINATION_EDIT, folder);
        }
        if (step == 3) SetDlgItemTextA(page, html ? TAGS_EDIT : SEARCH_EDIT, html ? "H1,H2" : "Chapter \\1\\n");
        if (step == 4) SetDlgItemTextA(page, AUTHOR_EDIT, "Quirebound Sample Writers");
        if (strcmp(mode, stops[step]) == 0 || (html && step == 3)) break;
        if (step == 3 && strcmp(mode, "preview") == 0) {
            PostMessageA(page, WM_COMMAND, SEARCH_TEST, 0);
            shown = waitFor(3, 100);
            for (int attempt = 0; shown != NULL && attempt < 100; ++attempt) {
                char text[32] = {0};
                GetDlgItemTextA(shown, PREVIEW_CLOSE, text, sizeof text);
                if (strcmp(text, "&Close") == 0) break;
                Sleep(100);
            }
            break;
        }
        next(wizard);
    }
    if (shown == NULL) return 1;
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
