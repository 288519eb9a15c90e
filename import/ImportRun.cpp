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

// Text and HTML share the start: fresh counters and publication, the
// source open, (for HTML) the head passed over, then the start pages.
bool startImport(ImportJob& job) {
    abandonImport(job);
    job.contentFileCount = 0;
    job.chapterCounter = 0;
    job.lineEndRun = 0;
    job.paragraphOpen = 0;
    job.failed = false;
    job.publication.clear();
    if (!checkBaseName(job) || !openSource(job)) return false;
    if ((job.sourceKind == SourceKind::html && !passOverHead(job)) || !startPages(job)) {
        closeSource(job);
        return false;
    }
    job.running = true;
    return true;
}

// And the step: a heading, the end, or one plain byte, which only the text
// import interprets.
bool importStep(ImportJob& job) {
    if (!job.running) return false;
    bool html = job.sourceKind == SourceKind::html;
    int unit = html ? readHtmlUnit(job, job.heading) : matchHeading(job, job.heading);
    if (unit < 0) {
        finishImport(job);
        return false;
    }
    if (unit > 0) {
        addChapter(job, job.heading);
        return true;
    }
    if (html) {
        writeContentByte(job, job.heading[0]);
        return true;
    }
    return importPlainTextByte(job, uint8_t(job.heading[0]));
}
