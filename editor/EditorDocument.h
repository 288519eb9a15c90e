// The editor's one document: the open publication with the editor's own
// fields, its lifecycle (open, save, save as, close, exit) and the section
// operations that change it. The window it talks to is behind
// DocumentWindow, so all of it runs the same with the real main window and
// with a test's stand-in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "editor/ToolSettings.h"
#include "model/Publication.h"

// What the document needs from the window that shows it.
class DocumentWindow {
public:
    virtual ~DocumentWindow() = default;

    virtual void showTitle(const char* title) = 0;
    virtual void enableDocumentCommands(bool enabled) = 0;
    // Refills the five section views from the publication.
    virtual void refreshAllViews() = 0;
    // The Yes/No question of a string, information icon, empty caption.
    virtual bool askYesNo(int32_t stringId) = 0;
    // A message whose string holds one %s, filled with the path.
    virtual void showErrorAboutFile(int32_t stringId, const char* path) = 0;
    virtual void showWarningAboutFile(int32_t stringId, const char* path) = 0;
    // The file dialogs with the package filter; buffers of kFieldSize.
    virtual bool askOpenPackageName(char* out) = 0;
    virtual bool askSavePackageName(char* inOut) = 0;
};

struct EditorDocument : Publication {
    ToolSettings tools;
    // A package is open; the Publication's path names its file.
    bool isOpen;
    // Set by every change to the publication, cleared by open and save.
    bool modified;
    DocumentWindow* window;

    EditorDocument();

    void initDocument(DocumentWindow& shownIn);
    // Reads the package and makes it the open one; reports nothing.
    bool openPackage(const char* packagePath);
    // As openPackage, and a failure is shown with a warning naming the file.
    bool openPackageOrWarn(const char* packagePath);
    // These return whether the package reached its file; a failure has been
    // shown, naming the file, and the old file is as it was.
    bool savePackage();
    bool savePackageAs();
    // False when writing first was asked for and failed: then nothing closed.
    bool closePackage(bool writeFirst);
    void updateTitle(const char* packagePath);
    void enableDocumentCommands(bool enabled);
    void refreshAllViews();
    void markModified() { modified = true; }

    // Section operations on entries by their index in their table. Each
    // returns whether the publication changed, and marks it modified when
    // it did; an index that names no live entry changes nothing. Adds
    // return false when the table is full, edits when a text does not fit
    // its field (nothing is cut).
    // A reading document (isReadingDocument) also joins the spine.
    bool addManifestEntry(const char* id, const char* href, const char* mediaType);
    // An id another live item holds is refused; the spine entries that
    // referred to the item follow it to its new id.
    bool editManifestEntry(int32_t index, const char* id, const char* href, const char* mediaType);
    // Also removes the spine entries that refer to the item.
    bool deleteManifestEntry(int32_t index);
    bool addSpineEntry(const char* idref);
    bool deleteSpineEntry(int32_t index);
    bool moveSpineEntryUp(int32_t index);
    bool moveSpineEntryDown(int32_t index);
    bool addMetadataEntry(const char* name, const char* value);
    bool editMetadataEntry(int32_t index, const char* name, const char* value);
    bool deleteMetadataEntry(int32_t index);
    bool addGuideEntry(const char* title, const char* href, const char* type);
    bool editGuideEntry(int32_t index, const char* title, const char* href, const char* type);
    bool deleteGuideEntry(int32_t index);
    bool addTourEntry(const char* id, const char* title);
    bool editTourEntry(int32_t index, const char* id, const char* title);
    bool addSiteEntry(int32_t tour, const char* title, const char* href);
    bool editSiteEntry(int32_t tour, int32_t site, const char* title, const char* href);
    // A site, or with site -1 the whole tour.
    bool deleteTourOrSite(int32_t tour, int32_t site);

    // Before the Publishing Wizard: the package reaches its file (when one
    // is open) and the spine refers to the manifest anew. False when the
    // write failed; the wizard must then not run on an old file.
    bool prepareForPublishing();

    // The File commands. Open asks for the file first: a cancelled dialog
    // leaves the open package as it was.
    void openCommand();
    void saveCommand();
    void saveAsCommand();
    void closeCommand();
    // Unsaved changes are offered for saving (Yes/No). False when the save
    // failed: the command that asked must then keep the package open.
    // Exit asks it; Open and Import ask it before they replace the package.
    bool offerToSave();
    // Before the package is replaced by another (Open, Import): offers to
    // save it, then closes it without writing; false, and nothing closed,
    // when the save failed.
    bool offerSaveAndClose();
};

// The entry at index of a table, or null when the index names no live one.
template <typename Entry>
Entry* liveEntryAt(Entry* table, int32_t count, int32_t index) {
    if (index < 0 || index >= count || !isLive(table[index].state)) return nullptr;
    return &table[index];
}

// "Quirebound Publisher", or with " - " and the file name of the path.
void composeTitle(const char* packagePath, char* out, size_t capacity);

// The media type of the picture an href names by its extension (".gif",
// ".png", ".jpg", ".jpeg", in any case; a fragment aside), or null.
const char* pictureTypeOfHref(const char* href);
// Whether a manifest item belongs in the reading order: a document by its
// media type or, without one, by the extensions a build merges; never a
// picture, by its type or its href.
bool isReadingDocument(const char* href, const char* mediaType);

// Which entries of the Edit menu act in the visible section view: the
// spine has no properties; a site is added to a live tour selected in the
// Tours view (selectedTour, -1 for none).
struct EditMenuEntries {
    bool properties;
    bool addSite;
};
EditMenuEntries editMenuEntries(const EditorDocument& document, int visibleView, int32_t selectedTour);
