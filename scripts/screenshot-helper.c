/* Drives the editor for the screenshots from another process: finds its
   main window, sends it one View menu command, and prints the window's
   rectangle on the desktop as "x y width height" into the file named second
   (it runs on the editor's virtual desktop, which has no console). */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static BOOL CALLBACK findEditor(HWND window, LPARAM found) {
    char title[256] = {0};
    GetWindowTextA(window, title, sizeof title);
    if (strncmp(title, "Quirebound Publisher", 20) == 0 && IsWindowVisible(window)) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

int main(int argc, char** argv) {
    HWND editor = NULL;
    for (int attempt = 0; attempt < 300 && editor == NULL; ++attempt) {
        EnumWindows(findEditor, (LPARAM)&editor);
        if (editor == NULL) Sleep(100);
    }
    if (editor == NULL) {
        fprintf(stderr, "no editor window\n");
        return 1;
    }
    if (argc > 1) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(editor, WM_COMMAND, (WPARAM)atoi(argv[1]), 0, SMTO_NORMAL, 5000, &ignored);
    }
    SetForegroundWindow(editor);
    RedrawWindow(editor, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetWindowRect(editor, &r);
    FILE* out = argc > 2 ? fopen(argv[2], "w") : stdout;
    if (out == NULL) return 1;
    fprintf(out, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (out != stdout) fclose(out);
    return 0;
}
