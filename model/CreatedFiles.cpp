#include "CreatedFiles.h"

#include "Files.h"
#include "Paths.h"
#include "Text.h"

void CreatedFiles::add(const char* path, const char* folder) {
    if (count < kManifestSlots) files[count++] = File{folder, path};
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
}
