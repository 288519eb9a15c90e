// What the Import Wizard keeps while it runs; its pages' checks are the
// import's own (import/ImportChecks.h), its windows the ImportWizard...Win32
// files.
#pragma once

#include <cstdint>

#include "import/ImportChecks.h"
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

// Before Finish writes anything: true, with fileName (kPathSize), when a
// file of a page the import writes exists already.
bool findFileToReplace(ImportJob& job, char* fileName);
