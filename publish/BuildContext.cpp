#include "BuildContext.h"

#include <cstdio>
#include <cstring>

#include "model/CommandLinePath.h"
#include "model/Paths.h"
#include "model/Text.h"

BuildContext::BuildContext(Publication* publication)
    : publication(publication),
      linkCount(0),
      anchorCount(0),
      imageCount(0),
      distinctImageCount(0),
      intermediateFile(kInvalidFileHandle),
      reporter(&silentBuildReporter()) {
    for (LinkRecord& link : links) {
        link.targetFile = link.targetAnchor = link.href = link.document = -1;
        link.position = -1;
        link.anchor = nullptr;
    }
    for (AnchorRecord& anchor : anchors) {
        anchor.file = anchor.name = -1;
        anchor.position = -1;
    }
    for (PictureRecord& image : images) {
        image.path = nullptr;
        image.recordIndex = -1;
        image.isNew = false;
        image.nameLength = 0;
        image.position = -1;
    }
    intermediatePath[0] = '\0';
    lastMessage[0] = '\0';
}

BuildContext::~BuildContext() {
    closeFile(intermediateFile);
}

bool BuildContext::openBuildFolder() {
    if (work.path[0] != '\0') return true;
    char folder[kPathSize];
    folderOfPath(publication->path, folder);
    return openWorkFolder(work, folder, kBuildFolderStem);
}

bool BuildContext::mayRead(const char* path) const {
    char folder[kPathSize];
    folderOfPath(publication->path, folder);
    // A web address names no file here; its reading fails on its own.
    return allowOutsideFiles || startsWithNoCase(path, "http://") || isInsideFolder(folder, path);
}

void BuildContext::reportBuildMessage(const char* text, int32_t level) {
    if (level == kBuildErrorLevel) copyText(lastMessage, text);
    reporter->reportMessage(text, level);
}

int32_t BuildContext::keep(const char* text) {
    int32_t id = texts.intern(text);
    if (id < 0 && !poolFullReported) {
        poolFullReported = true;
        reportBuildMessage(
            "The book names more addresses and anchors than a build holds (2 MB of text): "
            "the links and anchors beyond stay unresolved",
            kBuildWarningLevel);
    }
    return id;
}

void BuildContext::reportFull(bool& reported, const char* what) {
    if (reported) return;
    reported = true;
    char message[kBuildMessageSize];
    std::snprintf(message, sizeof message, "The book has more than %d %s: the rest are left out",
                  static_cast<int>(kBuildTableLimit), what);
    reportBuildMessage(message, kBuildWarningLevel);
}

void BuildContext::reportPathMessage(const char* format, const char* path, int32_t level) {
    char message[kBuildMessageSize];
    std::snprintf(message, sizeof message, format, programPathForDisplay(path).c_str());
    reportBuildMessage(message, level);
}

void BuildContext::reportFileFailure(const char* format, const char* path, int32_t level) {
    char message[kBuildMessageSize];
    int length = std::snprintf(message, sizeof message, format, programPathForDisplay(path).c_str());
    if (length >= 0 && size_t(length) < sizeof message && lastFileError()[0] != '\0')
        std::snprintf(message + length, sizeof message - size_t(length), " (%s)", lastFileError());
    reportBuildMessage(message, level);
}

void BuildContext::startProgress(int32_t n) {
    reporter->startProgress(n);
}

void BuildContext::setProgress(int32_t n) {
    reporter->setProgress(n);
}

void BuildContext::setStatus(int32_t stringId) {
    reporter->showStatus(stringId);
}

void BuildContext::setStatusAndNumber(int32_t stringId, int32_t n) {
    reporter->showStatusAndNumber(stringId, n);
}

void BuildContext::emit(const char* text) {
    emitBytes(text, static_cast<uint32_t>(std::strlen(text)));
}

void BuildContext::emitBytes(const void* bytes, uint32_t n) {
    if (!utf8) {
        if (!writeBytes(intermediateFile, bytes, n)) intermediateWriteFailed = true;
        return;
    }
    const auto* in = static_cast<const uint8_t*>(bytes);
    char out[kAnsiOutBytes];
    for (uint32_t i = 0; i < n; ++i) {
        int count = utf8Decoder.feed(in[i], out);
        if (count > 0 && !writeBytes(intermediateFile, out, uint32_t(count))) intermediateWriteFailed = true;
    }
}

FileHandle createBuildFile(const char* folder, const char* stem, int32_t* counter, char* path) {
    for (int32_t attempt = 0; attempt < kBuildFileAttempts; ++attempt) {
        ++*counter;
        char name[64];
        std::snprintf(name, sizeof name, "%s%d.tmp", stem, static_cast<int>(*counter));
        if (!copyText(path, kPathSize, folder) || !appendText(path, kPathSize, name)) {
            noteFileError("the path is longer than 255 characters");
            path[0] = '\0';
            return kInvalidFileHandle;
        }
        // Marked first, so that no stop finds it unmarked; only the build's
        // own files stand in its work folder.
        markForRemovalOnStop(path);
        FileHandle file = openFile(path, OpenMode::createNew);
        if (file != kInvalidFileHandle) return file;
        unmarkForRemovalOnStop(path);
        if (!fileExists(path)) break;
    }
    path[0] = '\0';
    return kInvalidFileHandle;
}
