// The publishing report of a batch build: what a publisher must fix before
// the e-book ships, though the e-book was written.
#include <cstdio>

#include "BuildContext.h"
#include "model/CommandLinePath.h"

namespace {

constexpr int32_t kLinksListed = 5;

}  // namespace

void BuildContext::reportSummary() {
    char message[kBuildMessageSize];
    int32_t unresolved = 0;
    for (int32_t i = 0; i < linkCount; ++i)
        if (links[i].anchor == nullptr && links[i].href >= 0) ++unresolved;
    if (unresolved > 0) {
        std::snprintf(message, sizeof message, "Publishing report: %d internal link%s unresolved",
                      static_cast<int>(unresolved), unresolved == 1 ? " is" : "s are");
        reportBuildMessage(message, kBuildWarningLevel);
        int32_t listed = 0;
        for (int32_t i = 0; i < linkCount && listed < kLinksListed; ++i) {
            const LinkRecord& link = links[i];
            if (link.anchor != nullptr || link.href < 0) continue;
            ++listed;
            std::snprintf(message, sizeof message, "  %s in %s", textOf(link.href),
                          programPathForDisplay(textOf(link.document)).c_str());
            reportBuildMessage(message, kBuildWarningLevel);
        }
    }
    if (picturesLeftOut > 0) {
        std::snprintf(message, sizeof message, "Publishing report: %d picture reference%s not converted",
                      static_cast<int>(picturesLeftOut), picturesLeftOut == 1 ? " is" : "s are");
        reportBuildMessage(message, kBuildWarningLevel);
    }
    if (spineEntriesLeftOut > 0) {
        std::snprintf(message, sizeof message, "Publishing report: %d spine entr%s skipped",
                      static_cast<int>(spineEntriesLeftOut), spineEntriesLeftOut == 1 ? "y is" : "ies are");
        reportBuildMessage(message, kBuildWarningLevel);
    }
}
