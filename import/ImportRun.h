// One whole import as the wizard's Finish and the command line run it:
// start, steps until the end, the finishing sequence, progress between.
#pragma once

#include "ImportJob.h"

constexpr int kStepsPerProgress = 20480;

enum class ImportOutcome {
    done,         // the package document was written
    startFailed,  // nothing could start; the last error says why
    failed,       // a page could not be written; the last error says which
    stopped,      // the running flag was cleared; no package was written
};

struct ImportRunControl {
    // Called every kStepsPerProgress steps with the share of the source
    // read so far, 0 to 100.
    void (*progress)(void* context, int percent) = nullptr;
    void* context = nullptr;
    // The import stops when this becomes 0; null runs to the end.
    const int* running = nullptr;
};

// Uses the job's source kind; sets the split size to its default first.
ImportOutcome runImport(ImportJob& job, const ImportRunControl& control);

bool startImport(ImportJob& job);
bool importStep(ImportJob& job);
