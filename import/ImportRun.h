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

// How a running import shows its progress and learns that it must stop.
// The command line prints the share read; the Import Wizard moves its bar.
class ImportReporter {
public:
    virtual ~ImportReporter() = default;
    // Every kStepsPerProgress steps, with the share of the source read so
    // far, 0 to 100.
    virtual void setProgress(int) {}
    // Asked before every step; true ends the import without a package.
    virtual bool stopRequested() { return false; }
};

// Uses the job's source kind; sets the split size to its default first.
ImportOutcome runImport(ImportJob& job, ImportReporter& reporter);
// The same without progress, to the end.
ImportOutcome runImport(ImportJob& job);

// Opens the source and writes the start pages; false with the last error
// set when either fails (nothing is then left open).
bool startImport(ImportJob& job);
// One unit of the source; false once the import has finished.
bool importStep(ImportJob& job);
