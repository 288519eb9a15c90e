/* Drives the editor for the screenshots from another process: finds its
   main window, sends it one command, and prints a window's rectangle on the
   desktop as "x y width height" into the file named second (it runs on the
   editor's virtual desktop, which has no console).
   helper COMMAND RECTFILE                    the main window after a command
   helper COMMAND RECTFILE CAPTION [ID=TEXT]  the dialog the command opens,
                                              its controls filled in ("#ID"
                                              chooses a list entry)
   helper 0 RECTFILE close:CAPTION            closes that dialog */
#include <stdlib.h>
#include <string.h>

#include "screenshot-windows.h"

static HWND waitForCaption(const char* caption) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND found = FindWindowA("#32770", caption);
        if (found != NULL && IsWindowVisible(found)) return found;
        Sleep(100);
    }
    return NULL;
}

static void fillControl(HWND dialog, const char* assignment) {
    int choose = assignment[0] == '#';
    const char* text = strchr(assignment, '=');
    if (text == NULL) return;
    HWND control = GetDlgItem(dialog, atoi(assignment + choose));
    if (choose)
        SendMessageA(control, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)(text + 1));
    else
        SendMessageA(control, WM_SETTEXT, 0, (LPARAM)(text + 1));
}

int main(int argc, char** argv) {
    HWND editor = waitForWindow(isEditor, 300);
    if (editor == NULL) {
        fprintf(stderr, "no editor window\n");
        return 1;
    }
    const char* rectFile = argc > 2 ? argv[2] : NULL;
    if (argc > 3 && strncmp(argv[3], "close:", 6) == 0) {
        HWND dialog = FindWindowA("#32770", argv[3] + 6);
        if (dialog != NULL) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return 0;
    }
    if (argc > 3 && strcmp(argv[3], "Site Item") == 0) {
        /* A site is added to the tour of the selected site: select the first. */
        HWND tours = GetDlgItem(editor, 1003);
        LRESULT tour = SendMessageA(tours, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        LRESULT site = SendMessageA(tours, TVM_GETNEXTITEM, TVGN_CHILD, tour);
        SendMessageA(tours, TVM_SELECTITEM, TVGN_CARET, site);
    }
    if (argc > 3 && strcmp(argv[3], "Spine Item") == 0) {
        /* Every document of the sample is in the spine: take the last out,
           so the dialog has one to offer. */
        HWND spine = GetDlgItem(editor, 1002);
        LRESULT last = SendMessageA(spine, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        for (LRESULT next = last; next != 0; next = SendMessageA(spine, TVM_GETNEXTITEM, TVGN_NEXT, next))
            last = next;
        SendMessageA(spine, TVM_SELECTITEM, TVGN_CARET, last);
        SendMessageA(editor, WM_COMMAND, 32805, 0);
    }
    if (argc > 3) {
        /* Posted: the dialog the command opens is modal. */
        PostMessageA(editor, WM_COMMAND, (WPARAM)atoi(argv[1]), 0);
        HWND dialog = waitForCaption(argv[3]);
        if (dialog == NULL) {
            fprintf(stderr, "no dialog %s\n", argv[3]);
            return 1;
        }
        for (int i = 4; i < argc; ++i) fillControl(dialog, argv[i]);
        return writeRect(dialog, rectFile);
    }
    if (argc > 1) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(editor, WM_COMMAND, (WPARAM)atoi(argv[1]), 0, SMTO_NORMAL, 5000, &ignored);
    }
    return writeRect(editor, rectFile);
}
