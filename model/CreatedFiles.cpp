#include "CreatedFiles.h"

#include <cstdio>

#include "Files.h"
#include "Paths.h"
#include "Text.h"

void CreatedFiles::add(const char* path, const char* folder) {
    if (count < kManifestSlots) files[count++] = File{folder, path};
}

bool CreatedFiles::setAside(const char* path) {
    if (asideCount == kAsideSlots) return false;
    // Only a file: a folder of that name is not the caller's to move.
    FileHandle file = openFile(path, OpenMode::read);
    if (file == kInvalidFileHandle) return false;
    closeFile(file);
    Aside& entry = asides[asideCount];
    if (!copyText(entry.original, sizeof entry.original, path)) return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".~qb%d", attempt);
        if (!copyText(entry.aside, sizeof entry.aside, path) ||
            !appendText(entry.aside, sizeof entry.aside, suffix))
            return false;
        if (fileExists(entry.aside)) continue;
        if (!replaceFile(path, entry.aside)) return false;
        ++asideCount;
        return true;
    }
    return false;
}

void CreatedFiles::removeAll() {
    for (int32_t i = 0; i < count; ++i) {
        const File& file = files[i];
        if (file.folder == nullptr) {
            deleteFile(file.name);
            continue;
        }
        char path[kPathSize];
        if (copyText(path, file.folder) && appendText(path, file.name)) deleteFile(path);
    }
    count = 0;
    while (asideCount > 0) {
        const Aside& entry = asides[--asideCount];
        replaceFile(entry.aside, entry.original);
    }
}

void CreatedFiles::keepAll() {
    count = 0;
    while (asideCount > 0) deleteFile(asides[--asideCount].aside);
}
