#include "PublishingWizardState.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "publish/BuildDriver.h"
#include "publish/BuildPages.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

int32_t checkEbookName(const char* name, const char* folder, char* targetPath) {
    targetPath[0] = '\0';
    if (name[0] == '\0' || std::strpbrk(name, "\\/") != nullptr) return IDS_TARGET_NOT_VALID;
    char path[kPathSize];
    // A cut name would name another file: refused like a bad one.
    if (!copyText(path, folder) || !appendText(path, name)) return IDS_TARGET_NOT_VALID;
    if (std::strstr(name, ".prc") == nullptr && !appendText(path, ".prc")) return IDS_TARGET_NOT_VALID;
    copyText(targetPath, kPathSize, path);
    return 0;
}

bool runWizardBuild(Publication& publication, const char* targetPath, bool compress, bool firstChapter,
                    BuildReporter& reporter, char* message, bool allowOutsideFiles) {
    message[0] = '\0';
    reporter.setProgress(3);
    // Far larger than the build thread's stack.
    BuildContext* context = new (std::nothrow) BuildContext(&publication);
    if (context == nullptr) {
        copyText(message, kBuildMessageSize, "Not enough memory for the build");
        return false;
    }
    context->reporter = &reporter;
    context->allowOutsideFiles = allowOutsideFiles;
    bool built = buildEbook(*context, targetPath, compress);
    if (built) context->reportSummary();
    if (built && firstChapter && !reporter.stopRequested()) writeFirstChapter(*context);
    if (!built) copyText(message, kBuildMessageSize, context->lastMessage);
    delete context;
    return built;
}

void PublishingReport::clear() {
    text[0] = '\0';
    length = 0;
    linesLeftOut = 0;
}

void PublishingReport::addLine(const char* line) {
    // Room is kept for the closing count.
    constexpr size_t kRoomForCount = 64;
    size_t needed = std::strlen(line) + 2;
    if (linesLeftOut > 0 || size_t(length) + needed + kRoomForCount >= sizeof text) {
        ++linesLeftOut;
        return;
    }
    std::memcpy(text + length, line, needed - 2);
    std::memcpy(text + length + needed - 2, "\r\n", 3);
    length += int32_t(needed);
}

void PublishingReport::compose(char* out) const {
    std::memcpy(out, text, size_t(length) + 1);
    if (linesLeftOut > 0)
        std::snprintf(out + length, sizeof text - size_t(length), "... and %d more lines", int(linesLeftOut));
}
