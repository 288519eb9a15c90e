#include "HeadingPreview.h"

#include "import/HtmlImport.h"
#include "import/TextImport.h"
#include "model/Text.h"

PreviewOutcome previewHeadings(ImportJob& job, HeadingPreviewReporter& reporter) {
    if (!openSource(job)) return PreviewOutcome::cannotOpen;
    uint64_t size = getFileLength(job.source);
    bool html = job.sourceKind == SourceKind::html;
    char found[kFieldSize];
    for (;;) {
        for (int call = 0; call < kPreviewCallsPerRound; ++call) {
            if (reporter.stopRequested()) {
                closeSource(job);
                return PreviewOutcome::stopped;
            }
            int unit = html ? readHtmlUnit(job, found) : matchHeading(job, found);
            // The search closed the source at its end.
            if (unit < 0) {
                reporter.setProgress(100);
                return PreviewOutcome::finished;
            }
            if (unit > 0) {
                // Shown in the 8-bit text, as the pages will have it.
                char shown[kHeadingMarkupSize];
                if (!job.utf8Source || !utf8ToAnsi(found, shown, sizeof shown)) copyText(shown, found);
                reporter.headingFound(shown);
            }
        }
        reporter.setProgress(size > 0 ? int(uint64_t(getFilePosition(job.source)) * 100 / size) : 100);
    }
}
