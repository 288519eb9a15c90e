#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

#include "TempFolder.h"
#include "model/NativePaths.h"

TempFolder::TempFolder() {
    char native[] = "/tmp/quirebound-test-XXXXXX";
    if (mkdtemp(native) == nullptr) abort();
    char program[PATH_MAX];
    if (!nativePathToProgram(native, program, sizeof program)) abort();
    folder = std::string(program) + "\\";
}

TempFolder::~TempFolder() {
    std::string native;
    if (programPathToNative(folder.c_str(), &native)) {
        std::error_code ignored;
        std::filesystem::remove_all(native, ignored);
    }
}

void TempFolder::makeFolder(const std::string& name) const {
    std::string native;
    if (programPathToNative(file(name).c_str(), &native)) mkdir(native.c_str(), 0777);
}
