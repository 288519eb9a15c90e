/* Drives the editor for the screenshots of its New dialog and Publishing
   Wizard from another process: closes a dialog left open by the previous
   shot, opens the one asked for (new, welcome, options, final, or the EPUB's
   options page: epub-options), and prints
   its rectangle on the desktop as "x y width height" into the file named
   second (it runs on the editor's virtual desktop, which has no console). */
#include <string.h>

#include "screenshot-windows.h"

#define NEW_NAME 1043
#define NEW_AUTHOR 1042
#define NEW_TARGET 1041
#define FINAL_LOCATION 1032
#define COMMAND_NEW 32772
#define COMMAND_PUBLISH 32773
#define COMMAND_PUBLISH_EPUB 32840
#define PUBLISH_COVER 1051

static int isNewDialog(HWND window, const char* title) {
    (void)title;
    return GetDlgItem(window, NEW_NAME) != NULL;
}

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "new";
    HWND editor = waitForWindow(isEditor, 300);
    if (editor == NULL) {
        fprintf(stderr, "no editor window\n");
        return 1;
    }
    HWND open = waitForWindow(isNewDialog, 1);
    if (open != NULL) PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    open = waitForWindow(isWizard, 1);
    if (open != NULL) PostMessageA(open, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    Sleep(500);

    HWND shown = NULL;
    if (strcmp(mode, "new") == 0) {
        PostMessageA(editor, WM_COMMAND, COMMAND_NEW, 0);
        shown = waitForWindow(isNewDialog, 100);
        if (shown != NULL) {
            SetDlgItemTextA(shown, NEW_NAME, "The Lantern on Gull Point");
            SetDlgItemTextA(shown, NEW_AUTHOR, "Quirebound Sample Writers");
            SetDlgItemTextA(shown, NEW_TARGET, "C:\\books\\lantern.opf");
        }
    } else {
        int epub = strcmp(mode, "epub-options") == 0;
        PostMessageA(editor, WM_COMMAND, epub ? COMMAND_PUBLISH_EPUB : COMMAND_PUBLISH, 0);
        shown = waitForWindow(isWizard, 100);
        int presses = strcmp(mode, "options") == 0 || epub ? 1 : strcmp(mode, "final") == 0 ? 2 : 0;
        for (int i = 0; shown != NULL && i < presses; ++i) {
            HWND before = currentPage(shown);
            PostMessageA(shown, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
            /* The second press starts the build, which moves on by itself. */
            for (int attempt = 0; attempt < 100 && currentPage(shown) == before; ++attempt) Sleep(100);
        }
        if (shown != NULL && epub) SetDlgItemTextA(currentPage(shown), PUBLISH_COVER, "images\\lantern.gif");
        if (shown != NULL && presses == 2 && GetDlgItem(currentPage(shown), FINAL_LOCATION) == NULL)
            shown = NULL;
    }
    if (shown == NULL) {
        fprintf(stderr, "no %s dialog\n", mode);
        return 1;
    }
    Sleep(300);
    return writeRect(shown, argc > 2 ? argv[2] : NULL);
}
