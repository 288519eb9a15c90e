#include "editor/SectionCommandsWin32.h"

#include "editor/EditorDocument.h"
#include "editor/ExternalPrograms.h"
#include "editor/SectionViewsWin32.h"
#include "model/Text.h"
#include "publish/Url.h"
#include "resources/ResourceIds.h"

// The add and properties operations open the item dialogs, which arrive
// with their own work; until then they leave the publication alone.

void editSelectedManifestFile(HWND mainWindow) {
    ManifestItem* item = selectedManifestItem(mainWindow);
    if (item == nullptr) return;
    char path[kFieldSize];
    resolveAgainstPackage(editorDocument, item->href, path);
    editWithHtmlEditor(path);
}

void previewSelectedManifestFile(HWND mainWindow) {
    ManifestItem* item = selectedManifestItem(mainWindow);
    if (item == nullptr) return;
    char path[kFieldSize];
    resolveAgainstPackage(editorDocument, item->href, path);
    openWithShell(path);
}

void addManifestItemCommand(HWND) {}

void deleteSelectedManifestItem(HWND mainWindow) {
    ManifestItem* item = selectedManifestItem(mainWindow);
    if (item == nullptr || !isLive(item->state)) return;
    char id[kFieldSize];
    copyText(id, item->id);
    editorDocument.deleteManifestItem(item);
    deleteSelectedRow(mainWindow, IDC_MANIFEST_VIEW);
    editorDocument.deleteSpineItemsById(id);
    editorDocument.markModified();
}

void editSelectedManifestItem(HWND) {}

void addSpineItemCommand(HWND) {}

void deleteSelectedSpineItem(HWND mainWindow) {
    int32_t index = selectedSpineIndex(mainWindow);
    if (index < 0) return;
    editorDocument.removeSpineItemAt(index);
    // The later entries moved up one place: their rows' tags would name
    // their neighbours, so the view is filled anew.
    fillSpineView(mainWindow);
    editorDocument.markModified();
}

void moveSelectedSpineItemUp(HWND mainWindow) {
    int32_t index = selectedSpineIndex(mainWindow);
    if (index < 1) return;
    editorDocument.moveSpineItemUp(index);
    fillSpineView(mainWindow);
    editorDocument.markModified();
}

void moveSelectedSpineItemDown(HWND mainWindow) {
    int32_t index = selectedSpineIndex(mainWindow);
    if (index < 0 || index >= editorDocument.spineCount - 1) return;
    editorDocument.moveSpineItemDown(index);
    fillSpineView(mainWindow);
    editorDocument.markModified();
}

void editSelectedMetadataEntry(HWND) {}

void addMetadataEntryCommand(HWND) {}

void deleteSelectedMetadataEntry(HWND mainWindow) {
    MetadataEntry* entry = selectedMetadataEntry(mainWindow);
    if (entry == nullptr || !isLive(entry->state)) return;
    editorDocument.deleteMetadata(entry);
    deleteSelectedRow(mainWindow, IDC_METADATA_VIEW);
    editorDocument.markModified();
}

void editSelectedGuideFile(HWND mainWindow) {
    GuideReference* reference = selectedGuideReference(mainWindow);
    if (reference == nullptr) return;
    char path[kFieldSize];
    resolveAgainstPackage(editorDocument, reference->href, path);
    editWithHtmlEditor(path);
}

void previewSelectedGuideFile(HWND mainWindow) {
    GuideReference* reference = selectedGuideReference(mainWindow);
    if (reference == nullptr) return;
    char path[kFieldSize];
    resolveAgainstPackage(editorDocument, reference->href, path);
    openWithShell(path);
}

void addGuideReferenceCommand(HWND) {}

void deleteSelectedGuideReference(HWND mainWindow) {
    GuideReference* reference = selectedGuideReference(mainWindow);
    if (reference == nullptr || !isLive(reference->state)) return;
    editorDocument.deleteGuideReference(reference);
    deleteSelectedRow(mainWindow, IDC_GUIDE_VIEW);
    editorDocument.markModified();
}

void editSelectedGuideReference(HWND) {}

void editSelectedSiteFile(HWND mainWindow) {
    Tour* tour = nullptr;
    TourSite* site = nullptr;
    selectedTourAndSite(mainWindow, &tour, &site);
    // Tour sites keep their href as written.
    if (site != nullptr) editWithHtmlEditor(site->href);
}

void addTourOrSiteCommand(HWND) {}

void deleteSelectedTourOrSite(HWND mainWindow) {
    Tour* tour = nullptr;
    TourSite* site = nullptr;
    selectedTourAndSite(mainWindow, &tour, &site);
    if (site != nullptr) {
        editorDocument.deleteTourSite(site);
    } else if (tour != nullptr) {
        editorDocument.deleteTour(tour);
    } else {
        return;
    }
    deleteSelectedRow(mainWindow, IDC_TOURS_VIEW);
    editorDocument.markModified();
}

void editSelectedTourOrSite(HWND) {}

void addToVisibleSection(HWND mainWindow) {
    switch (currentSectionView) {
        case IDC_MANIFEST_VIEW:
            addManifestItemCommand(mainWindow);
            break;
        case IDC_SPINE_VIEW:
            addSpineItemCommand(mainWindow);
            break;
        case IDC_TOURS_VIEW:
            addTourOrSiteCommand(mainWindow);
            break;
        case IDC_GUIDE_VIEW:
            addGuideReferenceCommand(mainWindow);
            break;
        case IDC_METADATA_VIEW:
            addMetadataEntryCommand(mainWindow);
            break;
        default:
            break;
    }
}

void deleteInVisibleSection(HWND mainWindow) {
    switch (currentSectionView) {
        case IDC_MANIFEST_VIEW:
            deleteSelectedManifestItem(mainWindow);
            break;
        case IDC_SPINE_VIEW:
            deleteSelectedSpineItem(mainWindow);
            break;
        case IDC_TOURS_VIEW:
            deleteSelectedTourOrSite(mainWindow);
            break;
        case IDC_GUIDE_VIEW:
            deleteSelectedGuideReference(mainWindow);
            break;
        case IDC_METADATA_VIEW:
            deleteSelectedMetadataEntry(mainWindow);
            break;
        default:
            break;
    }
}

void propertiesOfVisibleSection(HWND mainWindow) {
    switch (currentSectionView) {
        case IDC_MANIFEST_VIEW:
            editSelectedManifestItem(mainWindow);
            break;
        case IDC_TOURS_VIEW:
            editSelectedTourOrSite(mainWindow);
            break;
        case IDC_GUIDE_VIEW:
            editSelectedGuideReference(mainWindow);
            break;
        case IDC_METADATA_VIEW:
            editSelectedMetadataEntry(mainWindow);
            break;
        default:
            // The spine has no properties.
            break;
    }
}
