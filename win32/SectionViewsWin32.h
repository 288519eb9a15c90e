// The five section views of the main window and the tab set that chooses
// among them: their pictures, their rows, the switch between them and what
// their clicks do.
#pragma once

#include "win32/MainWindowWin32.h"
#include "editor/RowTag.h"

void giveViewsTheirImages(MainWindow& main);
void fillSectionTabs(MainWindow& main);

void fillManifestView(MainWindow& main);
void fillSpineView(MainWindow& main);
void fillMetadataView(MainWindow& main);
void fillGuideView(MainWindow& main);
void fillToursView(MainWindow& main);
void refreshSectionViews(MainWindow& main);

// The tab control's selection changed to this tab.
void switchToTab(MainWindow& main, int tabIndex);
// A View menu command: checks its entry, selects its tab and switches.
void switchToViewOfCommand(MainWindow& main, int command);

// A tree view's notification; the result is the dialog's answer to it.
LRESULT handleViewNotification(MainWindow& main, const NMHDR& header);

// The selected row of a view, or false when none is selected.
bool selectedRowTag(MainWindow& main, int viewId, RowTag* tag);
// Selections as indexes into the document's tables; -1 for none. An index
// not below its table's count selects none.
int32_t selectedManifestIndex(MainWindow& main);
int32_t selectedSpineIndex(MainWindow& main);
int32_t selectedMetadataIndex(MainWindow& main);
int32_t selectedGuideIndex(MainWindow& main);
// A tour row selects its tour and site -1; a site row or its address row
// selects its tour and that site; no selection gives -1 for both.
void selectedTourAndSite(MainWindow& main, int32_t* tour, int32_t* site);
// Removes the selected row of a view.
void deleteSelectedRow(MainWindow& main, int viewId);
