#include "ImportRun.h"

#include "GeneratedPages.h"
#include "HtmlImport.h"
#include "TextImport.h"

ImportOutcome runImport(ImportJob& job) {
    ImportReporter silent;
    return runImport(job, silent);
}

ImportOutcome runImport(ImportJob& job, ImportReporter& reporter) {
    uint64_t sourceSize = fileSize(job.sourcePath);
    job.splitSize = kDefaultSplitSize;
    if (!startImport(job)) return ImportOutcome::startFailed;
    for (int steps = 1;; ++steps) {
        if (reporter.stopRequested()) {
            abandonImport(job);
            return ImportOutcome::stopped;
        }
        if (!importStep(job)) break;
        if (steps == kStepsPerProgress) {
            steps = 0;
            if (sourceSize > 0) {
                uint64_t position = getFilePosition(job.source);
                uint64_t percent = position * 100 / sourceSize;
                reporter.setProgress(int(percent > 100 ? 100 : percent));
            }
        }
    }
    return job.failed ? ImportOutcome::failed : ImportOutcome::done;
}

bool startImport(ImportJob& job) {
    return job.sourceKind == SourceKind::html ? startHtmlImport(job) : startTextImport(job);
}

bool importStep(ImportJob& job) {
    return job.sourceKind == SourceKind::html ? importHtmlStep(job) : importTextStep(job);
}
