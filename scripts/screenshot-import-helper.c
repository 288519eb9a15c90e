/* Drives the editor for the screenshots of its Import Wizard from another
   process: cancels a wizard left open by the previous shot, starts a text
   or HTML import, fills the pages up to the one asked for (welcome, source,
   lineends, search, preview, tags, metadata or final; for an e-book import
   ebook-source, ebook-final, or ebook-opened: the editor after Finish) and
   prints the
   rectangle of that page's wizard (or of the preview) on the desktop as
   "x y width height" into the file named second. The third argument is the
   source to import. It runs on the editor's virtual desktop, which has no
   console. */
#include <string.h>

#include "screenshot-windows.h"

#define COMMAND_IMPORT_TEXT 32794
#define COMMAND_IMPORT_HTML 32816
#define COMMAND_IMPORT_PRC_DOC 32817
#define SOURCE_EDIT 1004
#define DESTINATION_EDIT 1005
#define SEARCH_EDIT 1008
#define SEARCH_TEST 1009
#define TAGS_EDIT 1043
#define TITLE_EDIT 1014
#define AUTHOR_EDIT 1015
#define PREVIEW_CLOSE 1020

static int isQuestion(HWND window, const char* title) {
    (void)title;
    return GetDlgItem(window, IDNO) != NULL;
}
static int isPreview(HWND window, const char* title) {
    (void)window;
    return strcmp(title, "Preview Search String") == 0;
}

static void next(HWND wizard) {
    HWND before = currentPage(wizard);
    PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    for (int attempt = 0; attempt < 100 && currentPage(wizard) == before; ++attempt) Sleep(100);
}

static void fillSource(HWND page, const char* source) {
    char folder[MAX_PATH];
    strcpy(folder, source);
    char* last = strrchr(folder, '\\');
    if (last != NULL) last[1] = '\0';
    SetDlgItemTextA(page, SOURCE_EDIT, source);
    SetDlgItemTextA(page, DESTINATION_EDIT, folder);
}

/* The e-book import: its source page, Finish, and the editor after it. */
static HWND ebookImport(HWND editor, HWND wizard, const char* mode, const char* source) {
    next(wizard);
    fillSource(currentPage(wizard), source);
    if (strcmp(mode, "ebook-source") == 0) return wizard;
    next(wizard);
    if (strcmp(mode, "ebook-final") == 0) return wizard;
    PostMessageA(wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    HWND question = waitForWindow(isQuestion, 20);
    if (question != NULL) PostMessageA(question, WM_COMMAND, IDYES, 0);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char title[256] = {0};
        GetWindowTextA(editor, title, sizeof title);
        if (strstr(title, "gull-point.opf") != NULL) return editor;
        Sleep(100);
    }
    return NULL;
}

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "welcome";
    const char* source = argc > 3 ? argv[3] : "";
    HWND editor = waitForWindow(isEditor, 300);
    if (editor == NULL) return 1;
    HWND open = waitForWindow(isPreview, 1);
    if (open != NULL) PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    Sleep(300);
    open = waitForWindow(isWizard, 1);
    if (open != NULL) PostMessageA(open, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    Sleep(500);

    int html = strcmp(mode, "tags") == 0;
    int ebook = strncmp(mode, "ebook", 5) == 0;
    PostMessageA(editor, WM_COMMAND,
                 ebook ? COMMAND_IMPORT_PRC_DOC : html ? COMMAND_IMPORT_HTML : COMMAND_IMPORT_TEXT, 0);
    /* The open sample is closed first, unsaved. */
    HWND question = waitForWindow(isQuestion, 10);
    if (question != NULL) PostMessageA(question, WM_COMMAND, IDNO, 0);
    HWND wizard = waitForWindow(isWizard, 100);
    if (wizard == NULL) return 1;
    HWND shown = wizard;
    if (ebook) {
        shown = ebookImport(editor, wizard, mode, source);
        if (shown == NULL) return 1;
        Sleep(300);
        return writeRect(shown, argc > 2 ? argv[2] : NULL);
    }
    const char* stops[] = {"welcome", "source", "lineends", "search", "metadata", "final"};
    for (int step = 0; step < 6; ++step) {
        HWND page = currentPage(wizard);
        if (step == 1) fillSource(page, source);
        if (step == 3) SetDlgItemTextA(page, html ? TAGS_EDIT : SEARCH_EDIT, html ? "H1,H2" : "Chapter \\1\\n");
        if (step == 4) SetDlgItemTextA(page, AUTHOR_EDIT, "Quirebound Sample Writers");
        if (strcmp(mode, stops[step]) == 0 || (html && step == 3)) break;
        if (step == 3 && strcmp(mode, "preview") == 0) {
            PostMessageA(page, WM_COMMAND, SEARCH_TEST, 0);
            shown = waitForWindow(isPreview, 100);
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
    return writeRect(shown, argc > 2 ? argv[2] : NULL);
}
