#include "editor/CommandTableWin32.h"

#include "editor/EditorDocument.h"
#include "editor/ExternalPrograms.h"
#include "editor/SectionCommandsWin32.h"
#include "editor/SectionViewsWin32.h"
#include "resources/ResourceIds.h"

namespace {

void exitCommand(HWND window, WPARAM, LPARAM, int);
void newCommand(HWND window, WPARAM, LPARAM, int);
void openCommand(HWND, WPARAM, LPARAM, int) {
    editorDocument.openCommand();
}
void saveCommand(HWND, WPARAM, LPARAM, int) {
    editorDocument.saveCommand();
}
void saveAsCommand(HWND, WPARAM, LPARAM, int) {
    editorDocument.saveAsCommand();
}
void closeCommand(HWND, WPARAM, LPARAM, int) {
    editorDocument.closeCommand();
}
void palmOsEmulatorCommand(HWND, WPARAM, LPARAM, int) {
    startPalmOsEmulator();
}
void wapEmulatorCommand(HWND, WPARAM, LPARAM, int) {
    startWapEmulator();
}
void viewMenuCommand(HWND window, WPARAM first, LPARAM, int) {
    switchToViewOfCommand(window, LOWORD(first));
}
void webCommand(HWND, WPARAM first, LPARAM, int);
void aboutCommand(HWND window, WPARAM, LPARAM, int) {
    showAboutBox(window);
}
void optionsCommand(HWND window, WPARAM, LPARAM, int) {
    runOptionsSheet(window);
}
void publishCommand(HWND window, WPARAM, LPARAM, int);
void noAction(HWND, WPARAM, LPARAM, int) {}
// A section operation, which needs only the window.
template <void (*operation)(HWND)>
void run(HWND window, WPARAM, LPARAM, int) {
    operation(window);
}
void importCommand(HWND window, WPARAM first, LPARAM, int);

}  // namespace

const CommandRow commandTable[] = {
    {ID_FILE_EXIT, exitCommand},
    {IDCANCEL, exitCommand},  // the Esc key and the close box
    {ID_FILE_NEW, newCommand},
    {ID_FILE_OPEN, openCommand},
    {ID_FILE_SAVE, saveCommand},
    {ID_FILE_SAVE_AS, saveAsCommand},
    {ID_FILE_CLOSE, closeCommand},
    {ID_TOOLS_PALMOS_EMULATOR, palmOsEmulatorCommand},
    {ID_TOOLS_WAP_EMULATOR, wapEmulatorCommand},
    {ID_EDIT_ADD, run<addToVisibleSection>},
    {ID_EDIT_DELETE, run<deleteInVisibleSection>},
    {ID_EDIT_PROPERTIES, run<propertiesOfVisibleSection>},
    {ID_VIEW_MANIFEST, viewMenuCommand},
    {ID_VIEW_METADATA, viewMenuCommand},
    {ID_VIEW_SPINE, viewMenuCommand},
    {ID_VIEW_TOURS, viewMenuCommand},
    {ID_VIEW_GUIDE, viewMenuCommand},
    {ID_HELP_CONTENTS, webCommand},
    {ID_HELP_WEB_HOME, webCommand},
    {ID_HELP_WEB_DOWNLOADS, webCommand},
    {ID_HELP_WEB_SUPPORT, webCommand},
    {ID_HELP_WEB_FAQ, webCommand},
    {ID_HELP_ABOUT, aboutCommand},
    {ID_TOOLS_OPTIONS, optionsCommand},
    {ID_PUBLISH_PRC, publishCommand},
    {ID_MANIFEST_EDIT_HTML, run<editSelectedManifestFile>},
    {ID_MANIFEST_PREVIEW, run<previewSelectedManifestFile>},
    {ID_MANIFEST_ADD, run<addManifestItemCommand>},
    {ID_MANIFEST_DELETE, run<deleteSelectedManifestItem>},
    {ID_MANIFEST_PROPERTIES, run<editSelectedManifestItem>},
    {ID_METADATA_EDIT, run<editSelectedMetadataEntry>},
    {ID_METADATA_ADD, run<addMetadataEntryCommand>},
    {ID_METADATA_DELETE, run<deleteSelectedMetadataEntry>},
    {ID_SPINE_MOVE_UP, run<moveSelectedSpineItemUp>},
    {ID_SPINE_MOVE_DOWN, run<moveSelectedSpineItemDown>},
    {ID_SPINE_ADD, run<addSpineItemCommand>},
    {ID_SPINE_DELETE, run<deleteSelectedSpineItem>},
    {ID_GUIDE_EDIT_HTML, run<editSelectedGuideFile>},
    {ID_GUIDE_ADD, run<addGuideReferenceCommand>},
    {ID_GUIDE_DELETE, run<deleteSelectedGuideReference>},
    {ID_GUIDE_PREVIEW, run<previewSelectedGuideFile>},
    {ID_GUIDE_PROPERTIES, run<editSelectedGuideReference>},
    {ID_TOURS_MOVE_UP, noAction},
    {ID_TOURS_MOVE_DOWN, noAction},
    {ID_TOURS_ADD, run<addTourOrSiteCommand>},
    {ID_TOURS_DELETE, run<deleteSelectedTourOrSite>},
    {ID_TOURS_EDIT_HTML, run<editSelectedSiteFile>},
    {ID_TOURS_PROPERTIES, run<editSelectedTourOrSite>},
    {ID_IMPORT_TEXT, importCommand},
    {ID_IMPORT_HTML, importCommand},
};
const int commandTableSize = sizeof commandTable / sizeof commandTable[0];
static_assert(sizeof commandTable / sizeof commandTable[0] == 50);

void dispatchCommand(HWND window, WPARAM first, LPARAM second) {
    int command = LOWORD(first);
    for (int i = 0; i < commandTableSize; ++i) {
        if (commandTable[i].command == command) {
            commandTable[i].handler(window, first, second, HIWORD(first));
            return;
        }
    }
}

namespace {

void exitCommand(HWND window, WPARAM, LPARAM, int) {
    if (!editorDocument.mayExit()) return;
    saveToolSettings(editorDocument);
    EndDialog(window, 0);
}

void newCommand(HWND, WPARAM, LPARAM, int) {
    // A package whose write failed stays open rather than being dropped.
    if (!editorDocument.closePackage(true)) return;
    // The New dialog runs here and the package it creates is opened.
}

void webCommand(HWND, WPARAM first, LPARAM, int) {
    struct PageOfCommand {
        int command;
        int stringId;
    };
    static constexpr PageOfCommand kPages[] = {
        {ID_HELP_CONTENTS, IDS_HELP_PAGE},
        {ID_HELP_WEB_HOME, IDS_WEB_HOME},
        {ID_HELP_WEB_DOWNLOADS, IDS_WEB_DOWNLOADS},
        {ID_HELP_WEB_SUPPORT, IDS_WEB_SUPPORT},
        {ID_HELP_WEB_FAQ, IDS_WEB_FAQ},
    };
    for (const PageOfCommand& page : kPages) {
        if (page.command != LOWORD(first)) continue;
        char address[kFieldSize];
        if (LoadStringA(GetModuleHandleA(nullptr), UINT(page.stringId), address, sizeof address) > 0) {
            openWithShell(address);
        }
        return;
    }
}

void publishCommand(HWND, WPARAM, LPARAM, int) {
    // The wizard reads the package's files: it must not run on an old one.
    if (editorDocument.isOpen == 1 && !editorDocument.savePackage()) return;
    editorDocument.resolveSpine();
    // The Publishing Wizard runs here.
}

void importCommand(HWND, WPARAM, LPARAM, int) {
    editorDocument.offerSaveAndClose();
    // The Import Wizard runs here and the package it writes is opened.
}

}  // namespace
