// The editor's one document: the open publication with the editor's own
// fields, and its lifecycle (open, save, save as, close, exit). The window
// it talks to is behind DocumentWindow, so the lifecycle runs the same with
// the real main window and with a test's stand-in.
#pragma once

#include <cstdint>

#include "editor/DialogFunctions.h"
#include "model/Publication.h"

constexpr int kToolPathSize = 256;

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
    char htmlEditorPath[kToolPathSize];
    char wapEmulatorPath[kToolPathSize];
    char palmOsEmulatorPath[kToolPathSize];
    char currentPath[kFieldSize];
    uint8_t isOpen;
    WindowHandle mainWindow;
    char ebookPath[kFieldSize];
    // Set by every change to the publication, cleared by open and save.
    bool modified;
    DocumentWindow* window;

    EditorDocument();

    void initDocument(WindowHandle main, DocumentWindow& shownIn);
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

    // The File commands.
    void openCommand();
    void saveCommand();
    void saveAsCommand();
    void closeCommand();
    // Before a command that replaces the open package (Open, Import): offers
    // to save it, then closes it without writing.
    void offerSaveAndClose();
    // Whether the editor may end now: unsaved changes are offered for
    // saving first; a save that fails keeps the editor open.
    bool mayExit();
};

extern EditorDocument editorDocument;

// "Quirebound Publisher", or with " - " and the file name of the path.
void composeTitle(const char* packagePath, char* out, size_t capacity);
