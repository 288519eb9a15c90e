#include "PublishingWizardState.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "publish/BuildDriver.h"
#include "publish/BuildPages.h"
#include "publish/EpubBuild.h"
#include "model/Files.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

int32_t checkEbookName(const char* name, const char* folder, char* targetPath, EbookFormat format) {
    targetPath[0] = '\0';
    if (name[0] == '\0' || std::strpbrk(name, "\\/") != nullptr) return IDS_TARGET_NOT_VALID;
    const char* extension = format == EbookFormat::epub ? ".epub" : ".prc";
    char path[kPathSize];
    // A cut name would name another file: refused like a bad one.
    if (!copyText(path, folder) || !appendText(path, name)) return IDS_TARGET_NOT_VALID;
    if (std::strstr(name, extension) == nullptr && !appendText(path, extension)) return IDS_TARGET_NOT_VALID;
    copyText(targetPath, kPathSize, path);
    return 0;
}

int32_t checkCoverPicture(const char* typed, const char* folder, char* coverPath) {
    coverPath[0] = '\0';
    if (typed[0] == '\0') return 0;
    bool absolute = typed[0] == '\\' || typed[1] == ':';
    char path[kPathSize];
    bool fits = absolute ? copyText(path, typed) : copyText(path, folder) && appendText(path, typed);
    // A pattern would pick whichever file matches first.
    if (!fits || std::strpbrk(typed, "*?") != nullptr || !fileExists(path)) return IDS_COVER_NOT_FOUND;
    copyText(coverPath, kPathSize, path);
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

bool runWizardBuild(const PublishingWizardState& state, BuildReporter& reporter, char* message) {
    if (state.format == EbookFormat::prc)
        return runWizardBuild(*state.publication, state.targetPath, state.compress, state.firstChapter,
                              reporter, message, state.allowOutsideFiles);
    EpubOptions options;
    options.targetPath = state.targetPath;
    options.coverPicture = state.coverPath;
    options.allowOutsideFiles = state.allowOutsideFiles;
    return buildEpub(*state.publication, options, reporter, message);
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
