#include "BuildReporter.h"

#include <cstdio>

namespace {

class StandardErrorReporter final : public BuildReporter {
public:
    void reportMessage(const char* text, int32_t) override { std::fprintf(stderr, "%s\n", text); }
};

}  // namespace

BuildReporter& silentBuildReporter() {
    static BuildReporter reporter;
    return reporter;
}

BuildReporter& standardErrorBuildReporter() {
    static StandardErrorReporter reporter;
    return reporter;
}
