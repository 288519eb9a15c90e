// The programs the editor starts, as the user named them in the Options
// sheet; kept in the registry between runs.
#pragma once

constexpr int kToolPathSize = 256;

struct ToolSettings {
    char htmlEditorPath[kToolPathSize] = "";
    char wapEmulatorPath[kToolPathSize] = "";
    char palmOsEmulatorPath[kToolPathSize] = "";
};
