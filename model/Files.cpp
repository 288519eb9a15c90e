// The buffered half of the file layer, shared by both platforms. One window
// of the file is cached per handle: reads, backward steps and small writes
// are served from it, so byte-at-a-time readers and writers cost one system
// call per window, while the position seen by callers stays exact.
#include "Files.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "NativeFiles.h"
#include "Text.h"
#include "Paths.h"

namespace {

constexpr uint32_t kWindowSize = 64 * 1024;

FileCallCounts callCounts;
// Handles opened so far by every thread; each takes the next number.
std::atomic<uint64_t> openedFiles{0};
// Each build thread reports its own failures.
thread_local char lastErrorText[256] = "";

struct InjectedFault {
    FileFault kind = FileFault::none;
    uint64_t left = 0;  // bytes or calls that still succeed
    const char* reason = "";
};
InjectedFault injected;

}  // namespace

struct File {
    NativeHandle native = 0;
    bool readable = false;
    bool failed = false;  // a write through this handle went wrong
    uint32_t position = 0;
    uint32_t length = 0;
    uint64_t serial = 0;
    // The cached window [windowStart, windowStart + windowLength); bytes in
    // [dirtyFrom, dirtyTo) are newer than the file.
    uint32_t windowStart = 0;
    uint32_t windowLength = 0;
    uint32_t dirtyFrom = 0;
    uint32_t dirtyTo = 0;
    uint8_t window[kWindowSize];
};

namespace {

bool flush(File* file);
bool flushToDisk(File* file);
bool loadWindow(File* file, uint32_t start);
bool inWindow(const File* file, uint32_t position);
int64_t systemRead(File* file, uint32_t offset, void* buffer, uint32_t n);
bool systemWrite(File* file, uint32_t offset, const void* bytes, uint32_t n);
bool faultStrikes(FileFault kind);

}  // namespace

FileHandle openFile(const char* path, OpenMode mode) {
    NativeHandle native = 0;
    if (path == nullptr) return kInvalidFileHandle;
    if (mode != OpenMode::read && faultStrikes(FileFault::create)) return kInvalidFileHandle;
    if (!nativeOpen(path, mode, &native)) return kInvalidFileHandle;
    File* file = new File;
    file->native = native;
    file->readable = mode != OpenMode::create;
    file->length = mode == OpenMode::read ? static_cast<uint32_t>(nativeLength(native)) : 0;
    file->serial = ++openedFiles;
    return file;
}

uint64_t fileSerial(FileHandle file) {
    return file == nullptr ? 0 : file->serial;
}

bool closeFile(FileHandle file) {
    if (file == nullptr) return true;
    bool ok = flush(file) && !file->failed;
    nativeClose(file->native);
    delete file;
    return !faultStrikes(FileFault::close) && ok;
}

bool replaceFile(const char* source, const char* target) {
    if (faultStrikes(FileFault::rename) || !nativeRename(source, target, true)) return false;
    unmarkForRemovalOnStop(source);
    return true;
}

bool openSafeFile(SafeFile& safe, const char* target) {
    safe.file = kInvalidFileHandle;
    safe.flushed = false;
    if (!copyText(safe.target, target) || !copyText(safe.partial, target) || !appendText(safe.partial, ".saving")) {
        noteFileError("the path is longer than 255 characters");
        return false;
    }
    // Never opened as it stands: it may be a link to a file elsewhere.
    safe.file = openFile(safe.partial, OpenMode::createNew);
    if (safe.file == kInvalidFileHandle && fileExists(safe.partial) && deleteFile(safe.partial))
        safe.file = openFile(safe.partial, OpenMode::createNew);
    if (safe.file == kInvalidFileHandle) return false;
    markForRemovalOnStop(safe.partial);
    return true;
}

bool commitSafeFile(SafeFile& safe, bool replace) {
    File* file = safe.file;
    safe.file = kInvalidFileHandle;
    safe.flushed = file != nullptr && flushToDisk(file);
    bool closed = closeFile(file);
    bool placed = safe.flushed && closed && !faultStrikes(FileFault::rename) &&
                  nativeRename(safe.partial, safe.target, replace);
    if (placed) {
        unmarkForRemovalOnStop(safe.partial);
        return true;
    }
    // Removing the new file must not hide why it could not be put in place.
    char reason[256];
    copyText(reason, lastFileError());
    deleteFile(safe.partial);
    noteFileError(reason);
    return false;
}

void abandonSafeFile(SafeFile& safe) {
    if (safe.file == kInvalidFileHandle) return;
    closeFile(safe.file);
    safe.file = kInvalidFileHandle;
    deleteFile(safe.partial);
}

bool makeFolderPath(const char* folder) {
    char path[kPathSize];
    size_t length = std::strlen(folder);
    if (length >= sizeof path) return false;
    std::memcpy(path, folder, length + 1);
    // The root is never made: "C:\", or a network path's "\\server\share\".
    size_t from = 0;
    if (length >= 2 && path[1] == ':') {
        from = 3;
    } else if (path[0] == '\\' && path[1] == '\\') {
        int separators = 0;
        for (from = 2; from < length && separators < 2; ++from) separators += path[from] == '\\' ? 1 : 0;
    }
    for (size_t end = from; end <= length; ++end) {
        bool separator = end == length || path[end] == '\\' || path[end] == '/';
        if (!separator || end == 0 || path[end - 1] == '\\' || path[end - 1] == '/') continue;
        char kept = path[end];
        path[end] = '\0';
        bool made = makeFolder(path);
        path[end] = kept;
        if (!made) return false;
    }
    return true;
}

bool readBytes(FileHandle file, void* buffer, uint32_t n) {
    if (file == nullptr || !file->readable) return false;
    auto* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < n) {
        if (inWindow(file, file->position)) {
            uint32_t offset = file->position - file->windowStart;
            uint32_t count = std::min(n - done, file->windowLength - offset);
            std::memcpy(out + done, file->window + offset, count);
            done += count;
            file->position += count;
            continue;
        }
        if (n - done >= kWindowSize) {
            if (!flush(file)) return false;
            int64_t got = systemRead(file, file->position, out + done, n - done);
            if (got <= 0) break;
            done += static_cast<uint32_t>(got);
            file->position += static_cast<uint32_t>(got);
            continue;
        }
        if (!loadWindow(file, file->position) || !inWindow(file, file->position)) break;
    }
    return done == n;
}

bool writeBytes(FileHandle file, const void* bytes, uint32_t n) {
    ++callCounts.writeCalls;
    if (file == nullptr) return false;
    if (n == 0) return true;
    uint32_t position = file->position;
    uint32_t windowEnd = file->windowStart + file->windowLength;
    bool fits = position >= file->windowStart && position <= windowEnd &&
                position - file->windowStart + n <= kWindowSize;
    if (!fits) {
        if (!flush(file)) return false;
        if (n >= kWindowSize) {
            if (!systemWrite(file, position, bytes, n)) return false;
            file->windowLength = 0;  // it may have held bytes just replaced
            file->position += n;
            file->length = std::max(file->length, file->position);
            return true;
        }
        // Cache what lies under the write so that reads of the rest of the
        // window stay correct.
        if (!loadWindow(file, position)) return false;
    }
    uint32_t offset = position - file->windowStart;
    std::memcpy(file->window + offset, bytes, n);
    if (file->dirtyFrom == file->dirtyTo) {
        file->dirtyFrom = position;
        file->dirtyTo = position + n;
    } else {
        file->dirtyFrom = std::min(file->dirtyFrom, position);
        file->dirtyTo = std::max(file->dirtyTo, position + n);
    }
    file->windowLength = std::max(file->windowLength, offset + n);
    file->position += n;
    file->length = std::max(file->length, file->position);
    return true;
}

bool writeText(FileHandle file, const char* text) {
    return writeBytes(file, text, static_cast<uint32_t>(std::strlen(text)));
}

bool writeLineEnd(FileHandle file) {
    return writeBytes(file, "\r\n", 2);
}

int readByte(FileHandle file) {
    if (file == nullptr || !file->readable) return -1;
    if (!inWindow(file, file->position)) {
        if (!loadWindow(file, file->position) || !inWindow(file, file->position)) return -1;
    }
    return file->window[file->position++ - file->windowStart];
}

int unreadByte(FileHandle file) {
    if (file == nullptr || file->position == 0) return -1;
    uint32_t target = --file->position;
    if (!file->readable) return -1;
    if (!inWindow(file, target)) {
        // Backward readers go on stepping back: centre the window behind us.
        uint32_t start = target + 1 >= kWindowSize ? target + 1 - kWindowSize : 0;
        if (!loadWindow(file, start) || !inWindow(file, target)) return -1;
    }
    return file->window[target - file->windowStart];
}

uint32_t getFilePosition(FileHandle file) {
    return file == nullptr ? 0 : file->position;
}

void setFilePosition(FileHandle file, uint32_t position) {
    if (file != nullptr) file->position = position;
}

uint32_t getFileLength(FileHandle file) {
    return file == nullptr ? 0 : file->length;
}

const char* lastFileError() {
    return lastErrorText;
}

void noteFileError(const char* reason) {
    size_t n = std::min(std::strlen(reason), sizeof lastErrorText - 1);
    std::memcpy(lastErrorText, reason, n);
    lastErrorText[n] = '\0';
}

FileCallCounts fileCallCounts() {
    return callCounts;
}

void injectFileFault(FileFault kind, uint64_t after, const char* reason) {
    injected.kind = kind;
    injected.left = after;
    injected.reason = reason;
}

void clearFileFault() {
    injected.kind = FileFault::none;
}

namespace {

bool flush(File* file) {
    if (file->dirtyFrom == file->dirtyTo) return true;
    uint32_t from = file->dirtyFrom;
    uint32_t count = file->dirtyTo - from;
    file->dirtyFrom = file->dirtyTo = 0;
    return systemWrite(file, from, file->window + (from - file->windowStart), count);
}

// Everything written through the handle, onto the disk itself.
bool flushToDisk(File* file) {
    if (!flush(file) || file->failed) return false;
    return !faultStrikes(FileFault::flush) && nativeFlush(file->native);
}

// Replaces the window by the file's bytes from start on. A write-only file
// gets an empty window there, to be filled by writes.
bool loadWindow(File* file, uint32_t start) {
    if (!flush(file)) return false;
    file->windowStart = start;
    file->windowLength = 0;
    if (!file->readable || start >= file->length) return true;
    uint32_t want = std::min<uint32_t>(kWindowSize, file->length - start);
    int64_t got = systemRead(file, start, file->window, want);
    if (got < 0) return false;
    file->windowLength = static_cast<uint32_t>(got);
    return true;
}

bool inWindow(const File* file, uint32_t position) {
    return position >= file->windowStart && position - file->windowStart < file->windowLength;
}

int64_t systemRead(File* file, uint32_t offset, void* buffer, uint32_t n) {
    ++callCounts.systemReads;
    return nativeReadAt(file->native, offset, buffer, n);
}

bool systemWrite(File* file, uint32_t offset, const void* bytes, uint32_t n) {
    ++callCounts.systemWrites;
    bool full = injected.kind == FileFault::write && injected.left < n;
    if (full) {
        // What still fits goes down before the disk is full.
        uint32_t fits = static_cast<uint32_t>(injected.left);
        injected.left = 0;
        if (fits > 0) nativeWriteAt(file->native, offset, bytes, fits);
        noteFileError(injected.reason);
    } else {
        if (injected.kind == FileFault::write) injected.left -= n;
        if (nativeWriteAt(file->native, offset, bytes, n)) return true;
    }
    file->failed = true;
    return false;
}

// Counts the call against an armed fault of its kind; true when it must fail.
bool faultStrikes(FileFault kind) {
    if (injected.kind != kind) return false;
    if (injected.left > 0) {
        --injected.left;
        return false;
    }
    noteFileError(injected.reason);
    return true;
}

}  // namespace
