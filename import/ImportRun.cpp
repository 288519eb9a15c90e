#include "ImportRun.h"

#include "GeneratedPages.h"
#include "HtmlImport.h"
#include "TextImport.h"

ImportOutcome runImport(ImportJob& job, const ImportRunControl& control) {
    uint64_t sourceSize = fileSize(job.sourcePath);
    job.splitSize = kDefaultSplitSize;
    if (!startImport(job)) return ImportOutcome::startFailed;
    for (int steps = 1;; ++steps) {
        if (control.running != nullptr && *control.running == 0) {
            abandonImport(job);
            return ImportOutcome::stopped;
        }
        if (!importStep(job)) break;
        if (steps == kStepsPerProgress) {
            steps = 0;
            if (control.progress != nullptr && sourceSize > 0) {
                uint64_t position = getFilePosition(job.source);
                uint64_t percent = position * 100 / sourceSize;
                control.progress(control.context, int(percent > 100 ? 100 : percent));
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
