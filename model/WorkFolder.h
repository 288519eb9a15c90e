// A folder of the program's own for the temporary files of one operation
// (a build), made beside the files that the operation writes. Its lock file
// is held for as long as the operation runs, and is let go by the system
// however the program ends, so a later operation in the same place can tell
// the folders of one that died (kill -9, a power cut) from those of one
// that runs: it removes them, and touches nothing else there.
#pragma once

#include <cstdint>

#include "Paths.h"

struct WorkFolder {
    // Ends with a backslash; empty while none is open.
    char path[kPathSize] = "";
    intptr_t lock = -1;

    WorkFolder() = default;
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
};

// Removes the dead work folders stem + number + ".tmp" in parent (which ends
// with a separator), then makes one of its own there. A stop by a signal
// removes it (markForRemovalOnStop). False when the parent takes none.
bool openWorkFolder(WorkFolder& work, const char* parent, const char* stem);
// Removes the folder with the work files left in it; nothing when none is open.
void closeWorkFolder(WorkFolder& work);
