// Where a fuzz target keeps the file it feeds the product: one per process,
// so parallel runs do not share it, in program form.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "model/NativePaths.h"

// "/tmp/qb-fuzz-" + kind + "-" + the process id + suffix.
inline std::string fuzzScratchPath(const char* kind, const std::string& suffix) {
    std::string native = std::string("/tmp/qb-fuzz-") + kind + "-" + std::to_string(getpid()) + suffix;
    char program[512];
    if (!nativePathToProgram(native.c_str(), program, sizeof program)) std::abort();
    return program;
}
