// The programs the editor starts, as the user named them in the Options
// sheet; kept in the registry between runs.
#pragma once

#include "model/Paths.h"


struct ToolSettings {
    char htmlEditorPath[kPathSize] = "";
    char wapEmulatorPath[kPathSize] = "";
    char palmOsEmulatorPath[kPathSize] = "";
};
