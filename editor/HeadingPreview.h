// The heading search tried on the source before an import: every heading
// the search string (text) or the tag list (HTML) finds, from the source's
// first byte on, as the import would find it.
#pragma once

#include "import/ImportJob.h"

constexpr int kPreviewCallsPerRound = 20480;

// How the preview shows what it finds and learns that it must stop; its
// calls come from the thread that runs the preview.
class HeadingPreviewReporter {
public:
    virtual ~HeadingPreviewReporter() = default;
    // The heading's text as found, line-end bytes and all.
    virtual void headingFound(const char* text) = 0;
    // After every round, the share of the source read, 0 to 100.
    virtual void setProgress(int percent) = 0;
    // Asked before every call of the search.
    virtual bool stopRequested() = 0;
};

enum class PreviewOutcome {
    finished,    // the whole source was searched
    stopped,     // stopRequested said so
    cannotOpen,  // the source could not be opened; the last error says why
};

// Uses the job's source handle, which is closed again at the end.
PreviewOutcome previewHeadings(ImportJob& job, HeadingPreviewReporter& reporter);
