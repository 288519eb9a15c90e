#include <windows.h>

#include "SpecialFiles.h"

bool makeFifo(const std::string&) {
    return false;
}

struct FifoUnblocker::Watch {};

FifoUnblocker::FifoUnblocker(const std::string&) : watch(nullptr) {}

FifoUnblocker::~FifoUnblocker() = default;

bool makeSymlink(const std::string& target, const std::string& link) {
    DWORD attributes = GetFileAttributesA(target.c_str());
    bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    DWORD flags = folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    // Wine answers success and makes nothing.
    return CreateSymbolicLinkA(link.c_str(), target.c_str(), flags | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
           GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool makeSparseFile(const std::string& path, uint64_t size) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = LONGLONG(size);
    bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    return CloseHandle(file) && ok;
}
