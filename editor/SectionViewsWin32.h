// The five section views of the main window and the tab set that chooses
// among them: their pictures, their rows, the switch between them and what
// their clicks do.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "editor/RowTag.h"
#include "model/Publication.h"

// The control id of the visible view.
extern int currentSectionView;

void giveViewsTheirImages(HWND mainWindow);
void fillSectionTabs(HWND mainWindow);

void fillManifestView(HWND mainWindow);
void fillSpineView(HWND mainWindow);
void fillMetadataView(HWND mainWindow);
void fillGuideView(HWND mainWindow);
void fillToursView(HWND mainWindow);
void refreshSectionViews(HWND mainWindow);

// The tab control's selection changed to this tab.
void switchToTab(HWND mainWindow, int tabIndex);
// A View menu command: checks its entry, selects its tab and switches.
void switchToViewOfCommand(HWND mainWindow, int command);

// A tree view's notification; the result is the dialog's answer to it.
LRESULT handleViewNotification(HWND mainWindow, const NMHDR& header);

// The selected row of a view, or false when none is selected.
bool selectedRowTag(HWND mainWindow, int viewId, RowTag* tag);
// Selections as entries of the open publication; null or -1 for none.
ManifestItem* selectedManifestItem(HWND mainWindow);
int32_t selectedSpineIndex(HWND mainWindow);
MetadataEntry* selectedMetadataEntry(HWND mainWindow);
GuideReference* selectedGuideReference(HWND mainWindow);
void selectedTourAndSite(HWND mainWindow, Tour** tour, TourSite** site);
// Removes the selected row of a view.
void deleteSelectedRow(HWND mainWindow, int viewId);
