// The files an operation has created so far, removed again when it fails
// and kept once it has succeeded. It holds where each path is, not a copy:
// the owner keeps the paths as they were until the files are removed or
// kept. A file is named by its path, or by its name and its folder.
#pragma once

#include <cstdint>

#include "Publication.h"

class CreatedFiles {
public:
    // A file just created. Room for every file a publication lists and its
    // package; beyond that a file is not noted.
    void add(const char* path, const char* folder = nullptr);
    // Deletes every file noted and forgets them.
    void removeAll();
    // Forgets them: they belong to the user from now on.
    void keepAll() { count = 0; }

private:
    struct File {
        const char* folder;
        const char* name;
    };
    File files[kManifestSlots];
    int32_t count = 0;
};
