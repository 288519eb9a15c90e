#include <windows.h>

#include <filesystem>

#include "TempFolder.h"

TempFolder::TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        std::string candidate = std::string(base) + "quirebound-test-" +
                                std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            folder = candidate + "\\";
            return;
        }
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void TempFolder::makeFolder(const std::string& name) const {
    CreateDirectoryA(file(name).c_str(), nullptr);
}
