#include "WorkFolder.h"

#include <cstdio>
#include <cstring>

#include "Files.h"
#include "NativeFiles.h"
#include "Text.h"

namespace {

// Names taken by others (live builds, a user's own) passed over before giving up.
constexpr int kFolderAttempts = 1000;

bool endsWithTmp(const char* name);

}  // namespace

WorkFolder::~WorkFolder() {
    closeWorkFolder(*this);
}

bool openWorkFolder(WorkFolder& work, const char* parent, const char* stem) {
    closeWorkFolder(work);
    nativeRemoveDeadFolders(parent, stem);
    for (int n = 1; n <= kFolderAttempts; ++n) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%d.tmp", stem, n);
        char folder[kPathSize];
        char lockPath[kPathSize];
        if (!copyText(folder, parent) || !appendText(folder, name) || !copyText(lockPath, folder) ||
            !appendText(lockPath, "\\") || !appendText(lockPath, kWorkLockName)) {
            noteFileError("the path is longer than 255 characters");
            return false;
        }
        if (!nativeMakeFolder(folder)) {
            if (fileExists(folder)) continue;
            return false;
        }
        appendText(folder, "\\");
        markForRemovalOnStop(folder, true);
        NativeHandle lock = -1;
        if (!nativeLockFolder(folder, &lock)) {
            nativeRemoveFolder(folder, -1);
            return false;
        }
        markForRemovalOnStop(lockPath);
        copyText(work.path, folder);
        work.lock = lock;
        return true;
    }
    noteFileError("every name for a work folder is taken");
    return false;
}

void closeWorkFolder(WorkFolder& work) {
    if (work.path[0] == '\0') return;
    nativeRemoveFolder(work.path, work.lock);
    work.path[0] = '\0';
    work.lock = -1;
}

bool isWorkFolderName(const char* name, const char* stem) {
    size_t stemLength = std::strlen(stem);
    if (std::strncmp(name, stem, stemLength) != 0) return false;
    const char* digits = name + stemLength;
    const char* end = digits;
    while (*end >= '0' && *end <= '9') ++end;
    return end > digits && std::strcmp(end, ".tmp") == 0;
}

bool isWorkFileName(const char* name) {
    return std::strcmp(name, kWorkLockName) == 0 || endsWithTmp(name);
}

namespace {

bool endsWithTmp(const char* name) {
    size_t length = std::strlen(name);
    return length > 4 && equalsNoCase(name + length - 4, ".tmp");
}

}  // namespace
