#include <windows.h>

#include "SpecialFiles.h"

bool makeFifo(const std::string&) {
    return false;
}

struct FifoUnblocker::Watch {};

FifoUnblocker::FifoUnblocker(const std::string&) : watch(nullptr) {}

FifoUnblocker::~FifoUnblocker() = default;

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
