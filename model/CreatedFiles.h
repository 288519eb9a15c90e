// The files an operation has created so far, removed again when it fails
// and kept once it has succeeded, and the user's files it replaces, put
// back when it fails. It holds where each created path is, not a copy: the
// owner keeps the paths as they were until the files are removed or kept.
// A file is named by its path, or by its name and its folder.
#pragma once

#include <cstdint>

#include "Paths.h"
#include "Publication.h"

class CreatedFiles {
public:
    // A file just created. Room for every file a publication lists and its
    // package; beyond that a file is not noted.
    void add(const char* path, const char* folder = nullptr);
    // Before a file is replaced: the one at path is renamed to a free name
    // beside it, so that the path is free to be written. False, with
    // nothing moved, when it is no file that can be read (a folder), could
    // not be renamed, or there is no room to note it (kAsideSlots): the
    // caller must not replace it then.
    bool setAside(const char* path);
    // Deletes every file noted and forgets them; the files set aside take
    // their names again.
    void removeAll();
    // Forgets them: they belong to the user from now on. The files they
    // replaced are deleted.
    void keepAll();

    static constexpr int32_t kAsideSlots = 8;

private:
    struct File {
        const char* folder;
        const char* name;
    };
    struct Aside {
        char original[kPathSize];
        char aside[kPathSize];
    };
    File files[kManifestSlots];
    int32_t count = 0;
    Aside asides[kAsideSlots];
    int32_t asideCount = 0;
};
