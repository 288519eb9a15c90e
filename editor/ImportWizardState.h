// What the Import Wizard keeps while it runs and the checks of its pages;
// the windows are in the ImportWizard...Win32 files.
#pragma once

#include <cstdint>

#include "import/ImportJob.h"
#include "import/ImportRun.h"

struct ImportWizardState {
    // Reset by the import command, filled page by page.
    ImportJob* job = nullptr;
    // The last page (a window handle), whose progress bar the import drives.
    void* finalPage = nullptr;
    // Set while the import runs; the import stops when it is cleared.
    bool importRunning = false;
    // How Finish ended; only a done import has a package to open.
    ImportOutcome outcome = ImportOutcome::stopped;
};

// The source page's Next: stores both fields (the destination with its
// backslash) and returns 0, or the string id of the first failed check. A
// message about the import's own source names it in fileName (kPathSize).
int32_t checkSourcePage(ImportJob& job, const char* source, const char* destination, char* fileName);
// The tag page's text into the job: 0, or the string id of its warning.
int32_t checkHeadingTags(ImportJob& job, const char* typed);
// The metadata page's Next: 0, or the string id of its warning.
int32_t checkMetadataPage(const char* title);
// Before Finish writes anything: true, with fileName (kPathSize), when a
// file of a page the import writes exists already.
bool findFileToReplace(ImportJob& job, char* fileName);
