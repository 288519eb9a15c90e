#include "win32/CommandTableWin32.h"

#include "win32/ExternalPrograms.h"
#include "win32/NewPublicationDialogWin32.h"
#include "win32/SectionCommandsWin32.h"
#include "win32/SectionViewsWin32.h"
#include "win32/ImportWizardWin32.h"
#include "win32/PublishingWizardWin32.h"

namespace {

void exitCommand(MainWindow& main, int);
void newCommand(MainWindow& main, int);
void openCommand(MainWindow& main, int) {
    main.document.openCommand();
}
void saveCommand(MainWindow& main, int) {
    main.document.saveCommand();
}
void saveAsCommand(MainWindow& main, int) {
    main.document.saveAsCommand();
}
void closeCommand(MainWindow& main, int) {
    main.document.closeCommand();
}
void palmOsEmulatorCommand(MainWindow& main, int) {
    startPalmOsEmulator(main.window, main.document.tools);
}
void wapEmulatorCommand(MainWindow& main, int) {
    startWapEmulator(main.window, main.document.tools);
}
void viewMenuCommand(MainWindow& main, int command) {
    switchToViewOfCommand(main, command);
}
void webCommand(MainWindow& main, int command);
void aboutCommand(MainWindow& main, int) {
    showAboutBox(main.window);
}
void optionsCommand(MainWindow& main, int) {
    runOptionsSheet(main.window, main.document.tools);
}
void publishCommand(MainWindow& main, int);
void importCommand(MainWindow& main, int);
void noAction(MainWindow&, int) {}
void toolbarMenuCommand(MainWindow& main, int command) {
    showToolbarMenu(main, command);
}
// A section operation, which needs only the window state.
template <void (*operation)(MainWindow&)>
void run(MainWindow& main, int) {
    operation(main);
}

constexpr bool kNeedsPackage = true;
constexpr bool kAlways = false;

const CommandRow commandTable[] = {
    {ID_FILE_EXIT, exitCommand, kAlways},
    {IDCANCEL, exitCommand, kAlways},  // the Esc key and the close box
    {ID_FILE_NEW, newCommand, kAlways},
    {ID_FILE_OPEN, openCommand, kAlways},
    {ID_FILE_SAVE, saveCommand, kNeedsPackage},
    {ID_FILE_SAVE_AS, saveAsCommand, kNeedsPackage},
    {ID_FILE_CLOSE, closeCommand, kNeedsPackage},
    {ID_TOOLS_PALMOS_EMULATOR, palmOsEmulatorCommand, kAlways},
    {ID_TOOLS_WAP_EMULATOR, wapEmulatorCommand, kAlways},
    {ID_EDIT_ADD, run<addToVisibleSection>, kAlways},
    {ID_EDIT_DELETE, run<deleteInVisibleSection>, kAlways},
    {ID_EDIT_PROPERTIES, run<propertiesOfVisibleSection>, kAlways},
    {ID_VIEW_MANIFEST, viewMenuCommand, kAlways},
    {ID_VIEW_METADATA, viewMenuCommand, kAlways},
    {ID_VIEW_SPINE, viewMenuCommand, kAlways},
    {ID_VIEW_TOURS, viewMenuCommand, kAlways},
    {ID_VIEW_GUIDE, viewMenuCommand, kAlways},
    {ID_HELP_CONTENTS, webCommand, kAlways},
    {ID_HELP_WEB_HOME, webCommand, kAlways},
    {ID_HELP_WEB_DOWNLOADS, webCommand, kAlways},
    {ID_HELP_WEB_SUPPORT, webCommand, kAlways},
    {ID_HELP_WEB_FAQ, webCommand, kAlways},
    {ID_HELP_ABOUT, aboutCommand, kAlways},
    {ID_TOOLS_OPTIONS, optionsCommand, kAlways},
    {ID_PUBLISH_PRC, publishCommand, kNeedsPackage},
    {ID_PUBLISH_EPUB, publishCommand, kNeedsPackage},
    {ID_MANIFEST_EDIT_HTML, run<editSelectedManifestFile>, kAlways},
    {ID_MANIFEST_PREVIEW, run<previewSelectedManifestFile>, kAlways},
    {ID_MANIFEST_ADD, run<addManifestItemCommand>, kAlways},
    {ID_MANIFEST_DELETE, run<deleteSelectedManifestItem>, kAlways},
    {ID_MANIFEST_PROPERTIES, run<editSelectedManifestItem>, kAlways},
    {ID_METADATA_EDIT, run<editSelectedMetadataEntry>, kAlways},
    {ID_METADATA_ADD, run<addMetadataEntryCommand>, kAlways},
    {ID_METADATA_DELETE, run<deleteSelectedMetadataEntry>, kAlways},
    {ID_SPINE_MOVE_UP, run<moveSelectedSpineItemUp>, kAlways},
    {ID_SPINE_MOVE_DOWN, run<moveSelectedSpineItemDown>, kAlways},
    {ID_SPINE_ADD, run<addSpineItemCommand>, kAlways},
    {ID_SPINE_DELETE, run<deleteSelectedSpineItem>, kAlways},
    {ID_GUIDE_EDIT_HTML, run<editSelectedGuideFile>, kAlways},
    {ID_GUIDE_ADD, run<addGuideReferenceCommand>, kAlways},
    {ID_GUIDE_DELETE, run<deleteSelectedGuideReference>, kAlways},
    {ID_GUIDE_PREVIEW, run<previewSelectedGuideFile>, kAlways},
    {ID_GUIDE_PROPERTIES, run<editSelectedGuideReference>, kAlways},
    {ID_TOURS_MOVE_UP, noAction, kAlways},
    {ID_TOURS_MOVE_DOWN, noAction, kAlways},
    {ID_TOURS_ADD, run<addTourOrSiteCommand>, kAlways},
    {ID_TOURS_ADD_SITE, run<addSiteToSelectedTour>, kAlways},
    {ID_TOURS_DELETE, run<deleteSelectedTourOrSite>, kAlways},
    {ID_TOURS_EDIT_HTML, run<editSelectedSiteFile>, kAlways},
    {ID_TOURS_PROPERTIES, run<editSelectedTourOrSite>, kAlways},
    {ID_IMPORT_TEXT, importCommand, kAlways},
    {ID_IMPORT_HTML, importCommand, kAlways},
    {ID_IMPORT_PRC_DOC, importCommand, kAlways},
    {ID_TOOLBAR_IMPORT, toolbarMenuCommand, kAlways},
    {ID_TOOLBAR_PUBLISH, toolbarMenuCommand, kNeedsPackage},
};

}  // namespace

const CommandRow* findCommandRow(int command) {
    for (const CommandRow& row : commandTable) {
        if (row.command == command) return &row;
    }
    return nullptr;
}

void dispatchCommand(MainWindow& main, int command) {
    const CommandRow* row = findCommandRow(command);
    if (row != nullptr) row->handler(main, command);
}

void enablePackageCommands(HMENU menu, bool enabled) {
    UINT state = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    for (const CommandRow& row : commandTable) {
        if (row.needsOpenPackage) EnableMenuItem(menu, UINT(row.command), state);
    }
}

namespace {

void exitCommand(MainWindow& main, int) {
    if (!main.document.offerToSave()) return;
    saveToolSettings(main.document.tools);
    EndDialog(main.window, 0);
}

void newCommand(MainWindow& main, int) {
    // A package whose write failed stays open rather than being dropped.
    if (!main.document.closePackage(true)) return;
    NewPublicationForm form;
    if (runNewPublicationDialog(main.window, form) && main.document.openPackageOrWarn(form.newPackagePath))
        main.document.refreshAllViews();
}

void webCommand(MainWindow&, int command) {
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
        if (page.command != command) continue;
        char address[kFieldSize];
        loadString(page.stringId, address, sizeof address);
        if (address[0] != '\0') openWithShell(address);
        return;
    }
}

void publishCommand(MainWindow& main, int command) {
    // The toolbar's pop-up menu offers it whatever is open.
    if (!main.document.isOpen || !main.document.prepareForPublishing()) return;
    PublishingWizardState state;
    state.publication = &main.document;
    state.allowOutsideFiles = main.document.tools.allowOutsideFiles;
    state.format = command == ID_PUBLISH_EPUB ? EbookFormat::epub : EbookFormat::prc;
    runPublishingWizard(main.window, state);
}

// The package stays open until the import has made one to replace it; its
// changes are offered for saving first, since the import may write beside it.
void importCommand(MainWindow& main, int command) {
    if (!main.document.offerToSave()) return;
    ImportJob& job = main.importJob;
    job.reset();
    job.sourceKind = command == ID_IMPORT_HTML      ? SourceKind::html
                     : command == ID_IMPORT_PRC_DOC ? SourceKind::palmDoc
                                                    : SourceKind::text;
    ImportWizardState state;
    state.job = &job;
    runImportWizard(main.window, state);
    if (state.outcome != ImportOutcome::done) return;
    main.document.closePackage(false);
    if (main.document.openPackageOrWarn(job.packagePath)) main.document.refreshAllViews();
}

}  // namespace
