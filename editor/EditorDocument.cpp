#include "editor/EditorDocument.h"

#include <cstring>

#include "model/Paths.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

constexpr char kProgramTitle[] = "Quirebound Publisher";
constexpr char kPackageExtension[] = ".opf";

// A publication saved under a new name points at it even when the save
// failed; this puts the old name back.
void restorePackagePath(Publication& publication, const char* packagePath);

}  // namespace

EditorDocument::EditorDocument()
    : tools{}, isOpen(false), modified(false), window(nullptr) {}

void EditorDocument::initDocument(DocumentWindow& shownIn) {
    window = &shownIn;
    enableDocumentCommands(false);
    clear();
    isOpen = false;
    modified = false;
    updateTitle("");
}

bool EditorDocument::openPackage(const char* packagePath) {
    if (!open(packagePath)) {
        isOpen = false;
        return false;
    }
    isOpen = true;
    modified = false;
    enableDocumentCommands(true);
    updateTitle(packagePath);
    return true;
}

bool EditorDocument::openPackageOrWarn(const char* packagePath) {
    if (openPackage(packagePath)) return true;
    if (window != nullptr) window->showWarningAboutFile(IDS_OPEN_FAILED, packagePath);
    return false;
}

bool EditorDocument::savePackage() {
    // Saving records the path it writes to: hand it a copy of its own.
    char packagePath[kPathSize];
    copyText(packagePath, path);
    if (save(packagePath)) {
        modified = false;
        return true;
    }
    if (window != nullptr) window->showErrorAboutFile(IDS_SAVE_FAILED, packagePath);
    return false;
}

bool EditorDocument::savePackageAs() {
    char chosen[kPathSize];
    copyText(chosen, path);
    if (window == nullptr || !window->askSavePackageName(chosen)) return false;
    appendIfMissing(chosen, kPackageExtension);
    char previous[kPathSize];
    copyText(previous, path);
    if (!save(chosen)) {
        restorePackagePath(*this, previous);
        window->showErrorAboutFile(IDS_SAVE_FAILED, chosen);
        return false;
    }
    modified = false;
    updateTitle(path);
    return true;
}

bool EditorDocument::closePackage(bool writeFirst) {
    if (writeFirst && isOpen && !savePackage()) return false;
    isOpen = false;
    enableDocumentCommands(false);
    clear();
    modified = false;
    refreshAllViews();
    updateTitle("");
    return true;
}

void EditorDocument::updateTitle(const char* packagePath) {
    char title[kFieldSize + sizeof kProgramTitle + 3];
    composeTitle(packagePath, title, sizeof title);
    if (window != nullptr) window->showTitle(title);
}

void EditorDocument::enableDocumentCommands(bool enabled) {
    if (window != nullptr) window->enableDocumentCommands(enabled);
}

void EditorDocument::refreshAllViews() {
    if (window != nullptr) window->refreshAllViews();
}

bool EditorDocument::prepareForPublishing() {
    if (isOpen && !savePackage()) return false;
    resolveSpine();
    return true;
}

void EditorDocument::openCommand() {
    // Cancelling the file dialog leaves the open package as it was.
    char chosen[kFieldSize];
    if (window == nullptr || !window->askOpenPackageName(chosen)) return;
    if (!offerSaveAndClose()) return;
    if (openPackageOrWarn(chosen)) refreshAllViews();
}

void EditorDocument::saveCommand() {
    // Without an open package there is no file to write to.
    if (isOpen) savePackage();
}

void EditorDocument::saveAsCommand() {
    savePackageAs();
}

void EditorDocument::closeCommand() {
    closePackage(true);
}

bool EditorDocument::offerToSave() {
    if (!isOpen || !modified || window == nullptr) return true;
    if (!window->askYesNo(IDS_ASK_SAVE_PACKAGE)) return true;
    return savePackage();
}

bool EditorDocument::offerSaveAndClose() {
    return offerToSave() && closePackage(false);
}

void composeTitle(const char* packagePath, char* out, size_t capacity) {
    copyText(out, capacity, kProgramTitle);
    if (packagePath[0] == '\0') return;
    // Only a backslash ends a folder here, as the window has always shown it.
    const char* lastBackslash = std::strrchr(packagePath, '\\');
    appendText(out, capacity, " - ");
    appendText(out, capacity, lastBackslash != nullptr ? lastBackslash + 1 : packagePath);
}

namespace {

void restorePackagePath(Publication& publication, const char* packagePath) {
    copyText(publication.path, packagePath);
    folderOfPath(packagePath, publication.folder);
}

}  // namespace
