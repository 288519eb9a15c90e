// The section operations that menus, context menus and double clicks run on
// the selected row of a view.
#pragma once

#include "win32/MainWindowWin32.h"

// Manifest
void editSelectedManifestFile(MainWindow& main);
void previewSelectedManifestFile(MainWindow& main);
void addManifestItemCommand(MainWindow& main);
void deleteSelectedManifestItem(MainWindow& main);
void editSelectedManifestItem(MainWindow& main);
// Spine
void addSpineItemCommand(MainWindow& main);
void deleteSelectedSpineItem(MainWindow& main);
void moveSelectedSpineItemUp(MainWindow& main);
void moveSelectedSpineItemDown(MainWindow& main);
// MetaData
void editSelectedMetadataEntry(MainWindow& main);
void addMetadataEntryCommand(MainWindow& main);
void deleteSelectedMetadataEntry(MainWindow& main);
// Guide
void editSelectedGuideFile(MainWindow& main);
void previewSelectedGuideFile(MainWindow& main);
void addGuideReferenceCommand(MainWindow& main);
void deleteSelectedGuideReference(MainWindow& main);
void editSelectedGuideReference(MainWindow& main);
// Tours
void editSelectedSiteFile(MainWindow& main);
void addTourOrSiteCommand(MainWindow& main);
// A site for the selected tour, also one that has none yet.
void addSiteToSelectedTour(MainWindow& main);
void deleteSelectedTourOrSite(MainWindow& main);
void editSelectedTourOrSite(MainWindow& main);

// The Edit menu: the operation of the visible section, and which of its
// entries act there, set as the menu opens.
void updateEditMenu(MainWindow& main, HMENU editMenu);
void addToVisibleSection(MainWindow& main);
void deleteInVisibleSection(MainWindow& main);
void propertiesOfVisibleSection(MainWindow& main);
