// How a build shows where it stands and what went wrong. The batch build
// prints its messages on standard error and shows no progress bar; the
// Publishing Wizard drives its page's progress bar and status text.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr int32_t kBuildErrorLevel = 1;
// Something left out of the e-book; the build still succeeds.
constexpr int32_t kBuildWarningLevel = 2;

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
    // Where the e-book writer prints its line per record; null for none.
    virtual std::FILE* progressOutput() { return nullptr; }
};

// Prints every message on standard error and counts the notes among them;
// the writer's progress line goes there too, when it is a terminal.
class StandardErrorBuildReporter : public BuildReporter {
public:
    int32_t notes = 0;
    // Printed on a line of its own before the first message (which package
    // of several the messages are about); none when null.
    const char* heading = nullptr;
    void reportMessage(const char* text, int32_t level) override;
    std::FILE* progressOutput() override;
};

// Shows nothing.
BuildReporter& silentBuildReporter();
// One StandardErrorBuildReporter for the whole run.
BuildReporter& standardErrorBuildReporter();
