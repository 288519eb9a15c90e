// The section operations that menus, context menus and double clicks run on
// the selected row of a view.
#pragma once

#include <windows.h>

// Manifest
void editSelectedManifestFile(HWND mainWindow);
void previewSelectedManifestFile(HWND mainWindow);
void addManifestItemCommand(HWND mainWindow);
void deleteSelectedManifestItem(HWND mainWindow);
void editSelectedManifestItem(HWND mainWindow);
// Spine
void addSpineItemCommand(HWND mainWindow);
void deleteSelectedSpineItem(HWND mainWindow);
void moveSelectedSpineItemUp(HWND mainWindow);
void moveSelectedSpineItemDown(HWND mainWindow);
// MetaData
void editSelectedMetadataEntry(HWND mainWindow);
void addMetadataEntryCommand(HWND mainWindow);
void deleteSelectedMetadataEntry(HWND mainWindow);
// Guide
void editSelectedGuideFile(HWND mainWindow);
void previewSelectedGuideFile(HWND mainWindow);
void addGuideReferenceCommand(HWND mainWindow);
void deleteSelectedGuideReference(HWND mainWindow);
void editSelectedGuideReference(HWND mainWindow);
// Tours
void editSelectedSiteFile(HWND mainWindow);
void addTourOrSiteCommand(HWND mainWindow);
void deleteSelectedTourOrSite(HWND mainWindow);
void editSelectedTourOrSite(HWND mainWindow);

// The Edit menu: the operation of the visible section.
void addToVisibleSection(HWND mainWindow);
void deleteInVisibleSection(HWND mainWindow);
void propertiesOfVisibleSection(HWND mainWindow);
