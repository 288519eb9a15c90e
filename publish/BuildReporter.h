// How a build shows where it stands and what went wrong. The batch build
// prints its messages on standard error and shows no progress; the
// Publishing Wizard drives its page's progress bar and status text.
#pragma once

#include <cstdint>

class BuildReporter {
public:
    virtual ~BuildReporter() = default;

    // The progress bar's range becomes 0 to total.
    virtual void startProgress(int32_t) {}
    virtual void setProgress(int32_t) {}
    // A status text by its string id; with a number, the number follows
    // the text directly ("Building eBook records...12").
    virtual void showStatus(int32_t) {}
    virtual void showStatusAndNumber(int32_t, int32_t) {}
    // A formatted failure text of the build (level 1) or a note.
    virtual void reportMessage(const char*, int32_t) {}
    // Asked between records; true ends the build as a failure that leaves
    // nothing behind (the wizard's Cancel).
    virtual bool stopRequested() { return false; }
};

// Shows nothing.
BuildReporter& silentBuildReporter();
// Prints every message on standard error; shows no progress.
BuildReporter& standardErrorBuildReporter();
