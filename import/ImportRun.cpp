#include "ImportRun.h"

#include "GeneratedPages.h"
#include "HtmlImport.h"
#include "PalmDocImport.h"
#include "TextImport.h"
#include "model/Text.h"

namespace {

void writeHtmlBytes(ImportJob& job, const char* bytes, int n);

}  // namespace

ImportOutcome runImport(ImportJob& job) {
    ImportReporter silent;
    return runImport(job, silent);
}

ImportOutcome runImport(ImportJob& job, ImportReporter& reporter) {
    if (job.sourceKind == SourceKind::palmDoc) return importPalmDoc(job, reporter);
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
    job.paragraphOpen = false;
    job.pictureCount = 0;
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

// And the step: a heading, the end, or one plain character, which only the
// text import interprets. Headings and text reach the pages as markup in the
// 8-bit text.
bool importStep(ImportJob& job) {
    if (!job.running) return false;
    bool html = job.sourceKind == SourceKind::html;
    int unit = html ? readHtmlUnit(job, job.heading) : matchHeading(job, job.heading);
    if (unit < 0) {
        if (html) writeHtmlBytes(job, nullptr, 0);
        finishImport(job);
        return false;
    }
    if (unit > 0) {
        char markup[kHeadingMarkupSize];
        if (!html)
            headingAsMarkup(job, job.heading, markup, sizeof markup);
        else if (job.utf8Source)
            utf8ToAnsi(job.heading, markup, sizeof markup);
        else
            copyText(markup, job.heading);
        if (html) writeHtmlBytes(job, nullptr, 0);
        addChapter(job, markup);
        return true;
    }
    if (html) {
        writeHtmlBytes(job, job.heading, 1);
        return true;
    }
    return importPlainCharacter(job, job.plainCharacter);
}

namespace {

// Bytes of the body as they are, or converted from UTF-8; none (n = 0)
// writes what a sequence cut short by the end holds.
void writeHtmlBytes(ImportJob& job, const char* bytes, int n) {
    if (!job.utf8Source) {
        for (int i = 0; i < n; ++i) writeContentByte(job, bytes[i]);
        return;
    }
    char converted[kAnsiOutBytes];
    int length = n == 0 ? job.htmlDecoder.finish(converted) : 0;
    for (int i = 0; i < n; ++i) length += job.htmlDecoder.feed(uint8_t(bytes[i]), converted + length);
    for (int i = 0; i < length; ++i) writeContentByte(job, converted[i]);
}

}  // namespace
