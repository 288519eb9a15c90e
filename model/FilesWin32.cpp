// The operating system's side of the file layer on Windows.
#include <windows.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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

// The path with "." and ".." and every link or junction resolved, as far as
// it exists; the components behind that are taken as written.
bool resolvedPath(const char* path, std::string* out) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return false;
    std::string head = full;
    std::string rest;
    for (;;) {
        HANDLE handle = CreateFileA(head.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            char real[MAX_PATH + 8];
            DWORD got = GetFinalPathNameByHandleA(handle, real, sizeof real, FILE_NAME_NORMALIZED);
            CloseHandle(handle);
            if (got == 0 || got >= sizeof real) return false;
            std::string resolved = real;
            if (resolved.rfind("\\\\?\\UNC\\", 0) == 0)
                resolved = "\\\\" + resolved.substr(8);
            else if (resolved.rfind("\\\\?\\", 0) == 0)
                resolved = resolved.substr(4);
            *out = resolved + rest;
            return true;
        }
        std::string::size_type separator = head.find_last_of('\\');
        // Only the root is left and even it cannot be opened: judge the name as written.
        if (separator == std::string::npos || separator + 1 == head.size()) {
            *out = full;
            return true;
        }
        rest = head.substr(separator) + rest;
        head = head.substr(0, separator);
        if (head.size() == 2 && head[1] == ':') head += '\\';
    }
}

// The files a work folder can hold, by their names; links are removed
// themselves, never followed.
void removeOwnFiles(const char* folder) {
    std::string pattern = std::string(folder) + "*";
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && isWorkFileName(found.cFileName))
            names.push_back(std::string(folder) + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& name : names) DeleteFileA(name.c_str());
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

bool makeFolder(const char* path) {
    if (CreateDirectoryA(path, nullptr)) return true;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    noteSystemError();
    return false;
}

bool nativeRename(const char* source, const char* target, bool replace) {
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (MoveFileExA(source, target, flags)) return true;
    noteSystemError();
    return false;
}

bool nativeFlush(NativeHandle handle) {
    if (FlushFileBuffers(toHandle(handle))) return true;
    noteSystemError();
    return false;
}

bool isInsideFolder(const char* folder, const char* path) {
    std::string base;
    std::string resolved;
    if (!resolvedPath(folder[0] != '\0' ? folder : ".", &base) || !resolvedPath(path, &resolved)) return false;
    if (base.back() != '\\') base += '\\';
    return resolved.size() > base.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, base.c_str(),
                                                           int(base.size()), resolved.c_str(),
                                                           int(base.size())) == CSTR_EQUAL;
}

// Signals that stop a program are a POSIX matter.
void markForRemovalOnStop(const char*, bool) {}
void unmarkForRemovalOnStop(const char*) {}
void removeMarkedFilesOnStop() {}

bool nativeMakeFolder(const char* path) {
    if (CreateDirectoryA(path, nullptr)) return true;
    noteSystemError();
    return false;
}

bool nativeLockFolder(const char* folder, NativeHandle* lock) {
    std::string path = std::string(folder) + kWorkLockName;
    // Shared with nobody: while it is open, no other program opens it.
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        noteSystemError();
        return false;
    }
    DWORD put = 0;
    if (!WriteFile(handle, kWorkLockText, sizeof kWorkLockText - 1, &put, nullptr) ||
        put != sizeof kWorkLockText - 1) {
        noteSystemError();
        CloseHandle(handle);
        DeleteFileA(path.c_str());
        return false;
    }
    *lock = reinterpret_cast<NativeHandle>(handle);
    return true;
}

void nativeRemoveFolder(const char* folder, NativeHandle lock) {
    if (lock != -1) CloseHandle(toHandle(lock));
    removeOwnFiles(folder);
    RemoveDirectoryA(folder);
}

void nativeRemoveDeadFolders(const char* parent, const char* stem) {
    std::string pattern = std::string(parent) + stem + "*.tmp";
    std::vector<std::string> candidates;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        // A link or junction named like ours leads elsewhere: never entered.
        bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                      (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
        if (folder && isWorkFolderName(found.cFileName, stem))
            candidates.push_back(std::string(parent) + found.cFileName + "\\");
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& folder : candidates) {
        std::string lockPath = folder + kWorkLockName;
        // Fails while the program that made it runs and holds it.
        HANDLE handle = CreateFileA(lockPath.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) continue;
        char text[sizeof kWorkLockText] = "";
        DWORD got = 0;
        bool ours = ReadFile(handle, text, sizeof text - 1, &got, nullptr) && got == sizeof text - 1 &&
                    std::strcmp(text, kWorkLockText) == 0;
        CloseHandle(handle);
        if (!ours) continue;
        removeOwnFiles(folder.c_str());
        RemoveDirectoryA(folder.c_str());
    }
}

bool currentFolder(char* out, uint32_t capacity) {
    DWORD length = GetCurrentDirectoryA(capacity, out);
    return length > 0 && length < capacity;
}
