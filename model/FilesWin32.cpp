// The operating system's side of the file layer on Windows.
#include <windows.h>

#include <climits>

#include "NativeFiles.h"
#include "Text.h"

namespace {

HANDLE toHandle(NativeHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

bool seekTo(HANDLE handle, uint32_t offset) {
    LONG high = 0;
    DWORD low = SetFilePointer(handle, static_cast<LONG>(offset), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

}  // namespace

bool nativeOpen(const char* path, OpenMode mode, NativeHandle* out) {
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    if (mode == OpenMode::create) {
        access = GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
    } else if (mode == OpenMode::readWrite) {
        access = GENERIC_READ | GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
    }
    HANDLE handle = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    *out = reinterpret_cast<NativeHandle>(handle);
    return true;
}

void nativeClose(NativeHandle handle) {
    CloseHandle(toHandle(handle));
}

int64_t nativeReadAt(NativeHandle handle, uint32_t offset, void* buffer, uint32_t n) {
    if (!seekTo(toHandle(handle), offset)) return -1;
    DWORD got = 0;
    if (!ReadFile(toHandle(handle), buffer, n, &got, nullptr)) return -1;
    return got;
}

bool nativeWriteAt(NativeHandle handle, uint32_t offset, const void* bytes, uint32_t n) {
    if (!seekTo(toHandle(handle), offset)) return false;
    DWORD put = 0;
    return WriteFile(toHandle(handle), bytes, n, &put, nullptr) && put == n;
}

uint32_t nativeLength(NativeHandle handle) {
    DWORD size = GetFileSize(toHandle(handle), nullptr);
    return size == INVALID_FILE_SIZE ? 0 : size;
}

bool fileExists(const char* path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

uint32_t fileSize(const char* path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    FindClose(search);
    return found.nFileSizeLow;
}

bool deleteFile(const char* path) {
    return DeleteFileA(path) != 0;
}

bool replaceFile(const char* source, const char* target) {
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING) != 0;
}

bool currentFolder(char* out, uint32_t capacity) {
    DWORD length = GetCurrentDirectoryA(capacity, out);
    return length > 0 && length < capacity;
}
