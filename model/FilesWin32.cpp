// The operating system's side of the file layer on Windows.
#include <windows.h>

#include <climits>
#include <cstdint>

#include "NativeFiles.h"
#include "Text.h"

namespace {

void noteSystemError() {
    char text[256];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  GetLastError(), 0, text, sizeof text, nullptr);
    // The system's text ends with a full stop and a line end.
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.'))
        --length;
    text[length] = '\0';
    noteFileError(length > 0 ? text : "unknown system error");
}

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
    } else if (mode == OpenMode::createNew) {
        access = GENERIC_READ | GENERIC_WRITE;
        disposition = CREATE_NEW;
    }
    HANDLE handle = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        noteSystemError();
        return false;
    }
    LARGE_INTEGER size{};
    const char* refusal = nullptr;
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        refusal = "not a regular file";
    } else if (!GetFileSizeEx(handle, &size)) {
        refusal = "the size cannot be read";
    } else if (uint64_t(size.QuadPart) > UINT32_MAX) {
        refusal = "File too large";
    }
    if (refusal != nullptr) {
        noteFileError(refusal);
        CloseHandle(handle);
        return false;
    }
    *out = reinterpret_cast<NativeHandle>(handle);
    return true;
}

void nativeClose(NativeHandle handle) {
    CloseHandle(toHandle(handle));
}

int64_t nativeReadAt(NativeHandle handle, uint32_t offset, void* buffer, uint32_t n) {
    if (!seekTo(toHandle(handle), offset)) return -1;
    DWORD got = 0;
    if (!ReadFile(toHandle(handle), buffer, n, &got, nullptr)) {
        noteSystemError();
        return -1;
    }
    return got;
}

bool nativeWriteAt(NativeHandle handle, uint32_t offset, const void* bytes, uint32_t n) {
    if (!seekTo(toHandle(handle), offset)) return false;
    DWORD put = 0;
    if (WriteFile(toHandle(handle), bytes, n, &put, nullptr) && put == n) return true;
    noteSystemError();
    return false;
}

uint64_t nativeLength(NativeHandle handle) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(toHandle(handle), &size) ? uint64_t(size.QuadPart) : 0;
}

bool fileExists(const char* path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

uint64_t fileSize(const char* path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    FindClose(search);
    return (uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

bool deleteFile(const char* path) {
    if (DeleteFileA(path)) return true;
    noteSystemError();
    return false;
}

bool nativeReplace(const char* source, const char* target) {
    if (MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING)) return true;
    noteSystemError();
    return false;
}

bool currentFolder(char* out, uint32_t capacity) {
    DWORD length = GetCurrentDirectoryA(capacity, out);
    return length > 0 && length < capacity;
}
