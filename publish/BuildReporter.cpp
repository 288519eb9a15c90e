#include "BuildReporter.h"

#include "model/CommandLinePath.h"

void StandardErrorBuildReporter::reportMessage(const char* text, int32_t level) {
    if (level != kBuildErrorLevel) ++notes;
    if (heading != nullptr) std::fprintf(stderr, "%s:\n", heading);
    heading = nullptr;
    std::fprintf(stderr, "%s\n", text);
}

// Piped or redirected, the line would only be noise among the messages.
std::FILE* StandardErrorBuildReporter::progressOutput() {
    return standardErrorIsTerminal() ? stderr : nullptr;
}

BuildReporter& silentBuildReporter() {
    static BuildReporter reporter;
    return reporter;
}

BuildReporter& standardErrorBuildReporter() {
    static StandardErrorBuildReporter reporter;
    return reporter;
}
