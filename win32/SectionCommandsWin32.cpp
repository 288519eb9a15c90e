#include "win32/SectionCommandsWin32.h"

#include "win32/ExternalPrograms.h"
#include "win32/ItemDialogsWin32.h"
#include "win32/SectionViewsWin32.h"
#include "publish/Url.h"

// The operations change the document (directly or through an item
// dialog) and then show the change in their view.

namespace {

// Resolved against the package's file, the fragment dropped.
void editResolvedFile(MainWindow& main, const char* href);
void previewResolvedFile(MainWindow& main, const char* href);

}  // namespace

void editSelectedManifestFile(MainWindow& main) {
    int32_t index = selectedManifestIndex(main);
    if (index >= 0) editResolvedFile(main, main.document.manifest[index].href);
}

void previewSelectedManifestFile(MainWindow& main) {
    int32_t index = selectedManifestIndex(main);
    if (index >= 0) previewResolvedFile(main, main.document.manifest[index].href);
}

void addManifestItemCommand(MainWindow& main) {
    ManifestItemChoices choices;
    choices.document = &main.document;
    if (runManifestItemDialog(main.window, choices)) fillManifestView(main);
}

void deleteSelectedManifestItem(MainWindow& main) {
    // The item's id row stays until the view is next filled; the spine
    // shows the cascade at the next section switch.
    if (main.document.deleteManifestEntry(selectedManifestIndex(main)))
        deleteSelectedRow(main, IDC_MANIFEST_VIEW);
}

void editSelectedManifestItem(MainWindow& main) {
    ManifestItemChoices choices;
    choices.document = &main.document;
    if (!loadManifestItem(choices, selectedManifestIndex(main))) return;
    if (runManifestItemDialog(main.window, choices)) fillManifestView(main);
}

void addSpineItemCommand(MainWindow& main) {
    SpineItemChoices choices;
    choices.document = &main.document;
    if (runSpineItemDialog(main.window, choices)) fillSpineView(main);
}

void deleteSelectedSpineItem(MainWindow& main) {
    // The later entries moved up one place: their rows' tags would name
    // their neighbours, so the view is filled anew.
    if (main.document.deleteSpineEntry(selectedSpineIndex(main))) fillSpineView(main);
}

void moveSelectedSpineItemUp(MainWindow& main) {
    if (main.document.moveSpineEntryUp(selectedSpineIndex(main))) fillSpineView(main);
}

void moveSelectedSpineItemDown(MainWindow& main) {
    if (main.document.moveSpineEntryDown(selectedSpineIndex(main))) fillSpineView(main);
}

void editSelectedMetadataEntry(MainWindow& main) {
    MetadataItemChoices choices;
    choices.document = &main.document;
    if (!loadMetadataItem(choices, selectedMetadataIndex(main))) return;
    if (runMetadataItemDialog(main.window, choices)) fillMetadataView(main);
}

void addMetadataEntryCommand(MainWindow& main) {
    MetadataItemChoices choices;
    choices.document = &main.document;
    if (runMetadataItemDialog(main.window, choices)) fillMetadataView(main);
}

void deleteSelectedMetadataEntry(MainWindow& main) {
    if (main.document.deleteMetadataEntry(selectedMetadataIndex(main)))
        deleteSelectedRow(main, IDC_METADATA_VIEW);
}

void editSelectedGuideFile(MainWindow& main) {
    int32_t index = selectedGuideIndex(main);
    if (index >= 0) editResolvedFile(main, main.document.guide[index].href);
}

void previewSelectedGuideFile(MainWindow& main) {
    int32_t index = selectedGuideIndex(main);
    if (index >= 0) previewResolvedFile(main, main.document.guide[index].href);
}

void addGuideReferenceCommand(MainWindow& main) {
    GuideItemChoices choices;
    choices.document = &main.document;
    if (runGuideItemDialog(main.window, choices)) fillGuideView(main);
}

void deleteSelectedGuideReference(MainWindow& main) {
    if (main.document.deleteGuideEntry(selectedGuideIndex(main))) deleteSelectedRow(main, IDC_GUIDE_VIEW);
}

void editSelectedGuideReference(MainWindow& main) {
    GuideItemChoices choices;
    choices.document = &main.document;
    if (!loadGuideItem(choices, selectedGuideIndex(main))) return;
    if (runGuideItemDialog(main.window, choices)) fillGuideView(main);
}

void editSelectedSiteFile(MainWindow& main) {
    int32_t tour = -1;
    int32_t site = -1;
    selectedTourAndSite(main, &tour, &site);
    // Resolved as the Manifest's and Guide's are: as written it would name
    // a file relative to whatever the current folder happens to be.
    if (site >= 0) editResolvedFile(main, main.document.tours[tour].sites[site].href);
}

void addTourOrSiteCommand(MainWindow& main) {
    int32_t tour = -1;
    int32_t site = -1;
    selectedTourAndSite(main, &tour, &site);
    bool added = false;
    if (site >= 0) {
        SiteItemChoices choices;
        choices.document = &main.document;
        choices.editedTour = tour;
        added = runSiteItemDialog(main.window, choices);
    } else {
        TourItemChoices choices;
        choices.document = &main.document;
        added = runTourItemDialog(main.window, choices);
    }
    if (added) fillToursView(main);
}

void addSiteToSelectedTour(MainWindow& main) {
    int32_t tour = -1;
    int32_t site = -1;
    selectedTourAndSite(main, &tour, &site);
    if (!editMenuEntries(main.document, IDC_TOURS_VIEW, tour).addSite) return;
    SiteItemChoices choices;
    choices.document = &main.document;
    choices.editedTour = tour;
    if (runSiteItemDialog(main.window, choices)) fillToursView(main);
}

void deleteSelectedTourOrSite(MainWindow& main) {
    int32_t tour = -1;
    int32_t site = -1;
    selectedTourAndSite(main, &tour, &site);
    if (main.document.deleteTourOrSite(tour, site)) deleteSelectedRow(main, IDC_TOURS_VIEW);
}

void editSelectedTourOrSite(MainWindow& main) {
    int32_t tour = -1;
    int32_t site = -1;
    selectedTourAndSite(main, &tour, &site);
    bool changed = false;
    if (site >= 0) {
        SiteItemChoices choices;
        choices.document = &main.document;
        changed = loadSiteItem(choices, tour, site) && runSiteItemDialog(main.window, choices);
    } else if (tour >= 0) {
        TourItemChoices choices;
        choices.document = &main.document;
        changed = loadTourItem(choices, tour) && runTourItemDialog(main.window, choices);
    }
    if (changed) fillToursView(main);
}

void updateEditMenu(MainWindow& main, HMENU editMenu) {
    int32_t tour = -1;
    int32_t site = -1;
    selectedTourAndSite(main, &tour, &site);
    EditMenuEntries entries = editMenuEntries(main.document, main.currentSectionView, tour);
    EnableMenuItem(editMenu, ID_EDIT_PROPERTIES, MF_BYCOMMAND | (entries.properties ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(editMenu, ID_TOURS_ADD_SITE, MF_BYCOMMAND | (entries.addSite ? MF_ENABLED : MF_GRAYED));
}

void addToVisibleSection(MainWindow& main) {
    switch (main.currentSectionView) {
        case IDC_MANIFEST_VIEW:
            addManifestItemCommand(main);
            break;
        case IDC_SPINE_VIEW:
            addSpineItemCommand(main);
            break;
        case IDC_TOURS_VIEW:
            addTourOrSiteCommand(main);
            break;
        case IDC_GUIDE_VIEW:
            addGuideReferenceCommand(main);
            break;
        case IDC_METADATA_VIEW:
            addMetadataEntryCommand(main);
            break;
        default:
            break;
    }
}

void deleteInVisibleSection(MainWindow& main) {
    switch (main.currentSectionView) {
        case IDC_MANIFEST_VIEW:
            deleteSelectedManifestItem(main);
            break;
        case IDC_SPINE_VIEW:
            deleteSelectedSpineItem(main);
            break;
        case IDC_TOURS_VIEW:
            deleteSelectedTourOrSite(main);
            break;
        case IDC_GUIDE_VIEW:
            deleteSelectedGuideReference(main);
            break;
        case IDC_METADATA_VIEW:
            deleteSelectedMetadataEntry(main);
            break;
        default:
            break;
    }
}

void propertiesOfVisibleSection(MainWindow& main) {
    switch (main.currentSectionView) {
        case IDC_MANIFEST_VIEW:
            editSelectedManifestItem(main);
            break;
        case IDC_TOURS_VIEW:
            editSelectedTourOrSite(main);
            break;
        case IDC_GUIDE_VIEW:
            editSelectedGuideReference(main);
            break;
        case IDC_METADATA_VIEW:
            editSelectedMetadataEntry(main);
            break;
        default:
            // The spine has no properties.
            break;
    }
}

namespace {

void editResolvedFile(MainWindow& main, const char* href) {
    char path[kFieldSize];
    resolveAgainstPackage(main.document, href, path);
    editWithHtmlEditor(main.window, main.document.tools, path);
}

void previewResolvedFile(MainWindow& main, const char* href) {
    char path[kFieldSize];
    resolveAgainstPackage(main.document, href, path);
    openWithShell(path);
}

}  // namespace
