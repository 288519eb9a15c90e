/* What the screenshot helpers share: finding a window of the editor on the
   desktop, a wizard's current page, and writing a window's rectangle as
   "x y width height" into a file (the helpers have no console). */
#include <stdio.h>
#include <string.h>
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
// clang-format on

typedef int (*WindowTest)(HWND window, const char* title);

struct WindowSearch {
    WindowTest test;
    HWND found;
};

static inline BOOL CALLBACK testWindow(HWND window, LPARAM argument) {
    struct WindowSearch* search = (struct WindowSearch*)argument;
    char title[256] = {0};
    if (!IsWindowVisible(window)) return TRUE;
    GetWindowTextA(window, title, sizeof title);
    if (!search->test(window, title)) return TRUE;
    search->found = window;
    return FALSE;
}

/* The first visible top-level window that passes the test, tried every
   tenth of a second; null when none came. */
static inline HWND waitForWindow(WindowTest test, int attempts) {
    struct WindowSearch search = {test, NULL};
    for (int attempt = 0; attempt < attempts && search.found == NULL; ++attempt) {
        EnumWindows(testWindow, (LPARAM)&search);
        if (search.found == NULL) Sleep(100);
    }
    return search.found;
}

#define WIZARD_NEXT_BUTTON 0x3024

static inline int isEditor(HWND window, const char* title) {
    return strncmp(title, "Quirebound Publisher", 20) == 0 && GetDlgItem(window, WIZARD_NEXT_BUTTON) == NULL;
}

static inline int isWizard(HWND window, const char* title) {
    (void)title;
    return GetDlgItem(window, WIZARD_NEXT_BUTTON) != NULL;
}

static inline HWND currentPage(HWND wizard) {
    return (HWND)SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0);
}

/* Brings the window to the front, drawn, and writes its rectangle. */
static inline int writeRect(HWND window, const char* file) {
    SetForegroundWindow(window);
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetWindowRect(window, &r);
    FILE* out = file != NULL ? fopen(file, "w") : stdout;
    if (out == NULL) return 1;
    fprintf(out, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (out != stdout) fclose(out);
    return 0;
}
