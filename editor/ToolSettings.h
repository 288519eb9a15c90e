// The programs the editor starts, as the user named them in the Options
// sheet, and what builds may read; kept in the registry between runs.
#pragma once

#include "model/Paths.h"


struct ToolSettings {
    char htmlEditorPath[kPathSize] = "";
    char wapEmulatorPath[kPathSize] = "";
    char palmOsEmulatorPath[kPathSize] = "";
    // Builds read files outside the publication's folder (registry value
    // "AllowOutsideFiles", "1" or "0"; off unless the user ticks it).
    bool allowOutsideFiles = false;
};
