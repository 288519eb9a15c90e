// The operating system's side of the file layer on POSIX systems. Program
// paths have the Windows form; they reach the system the way Wine maps them:
// the drive Z: is the root "/", backslashes become slashes, and a name that
// differs only in letter case is accepted when the exact name is missing.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "NativeFiles.h"
#include "NativePaths.h"
#include "Text.h"

namespace {

std::string resolveCase(const std::string& native);
void noteSystemError();
bool hasWildcard(const char* text);
bool matchesWildcard(const char* pattern, const char* name);

}  // namespace

bool nativeOpen(const char* path, OpenMode mode, NativeHandle* out) {
    std::string native;
    if (!programPathToNative(path, &native)) {
        noteFileError("the path names no file on this system");
        return false;
    }
    native = resolveCase(native);
    int flags = O_RDONLY;
    if (mode == OpenMode::create) flags = O_WRONLY | O_CREAT | O_TRUNC;
    if (mode == OpenMode::readWrite) flags = O_RDWR | O_CREAT | O_TRUNC;
    if (mode == OpenMode::createNew) flags = O_RDWR | O_CREAT | O_EXCL;
    // Without waiting: a FIFO would otherwise block until its other end opens.
    int fd = ::open(native.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        noteSystemError();
        return false;
    }
    struct stat info {};
    const char* refusal = nullptr;
    if (::fstat(fd, &info) != 0) {
        refusal = std::strerror(errno);
    } else if (S_ISDIR(info.st_mode)) {
        // Folders open on POSIX but never on Windows; refuse them alike.
        refusal = std::strerror(EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        refusal = "not a regular file";
    } else if (uint64_t(info.st_size) > UINT32_MAX) {
        refusal = std::strerror(EFBIG);
    } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        refusal = std::strerror(errno);
    }
    if (refusal != nullptr) {
        noteFileError(refusal);
        ::close(fd);
        return false;
    }
    *out = fd;
    return true;
}

void nativeClose(NativeHandle handle) {
    ::close(static_cast<int>(handle));
}

int64_t nativeReadAt(NativeHandle handle, uint32_t offset, void* buffer, uint32_t n) {
    auto* out = static_cast<char*>(buffer);
    uint32_t done = 0;
    while (done < n) {
        ssize_t got = ::pread(static_cast<int>(handle), out + done, n - done, off_t(offset) + done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            noteSystemError();
            return -1;
        }
        if (got == 0) break;
        done += static_cast<uint32_t>(got);
    }
    return done;
}

bool nativeWriteAt(NativeHandle handle, uint32_t offset, const void* bytes, uint32_t n) {
    const auto* in = static_cast<const char*>(bytes);
    uint32_t done = 0;
    while (done < n) {
        ssize_t put = ::pwrite(static_cast<int>(handle), in + done, n - done, off_t(offset) + done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            noteSystemError();
            return false;
        }
        done += static_cast<uint32_t>(put);
    }
    return true;
}

uint64_t nativeLength(NativeHandle handle) {
    struct stat info {};
    if (::fstat(static_cast<int>(handle), &info) != 0) return 0;
    return static_cast<uint64_t>(info.st_size);
}

bool fileExists(const char* path) {
    std::string native;
    if (!programPathToNative(path, &native)) return false;
    if (!hasWildcard(path)) {
        struct stat info {};
        return ::stat(resolveCase(native).c_str(), &info) == 0;
    }
    std::string::size_type slash = native.rfind('/');
    std::string folder = slash == std::string::npos ? "." : native.substr(0, slash + 1);
    std::string pattern = slash == std::string::npos ? native : native.substr(slash + 1);
    if (hasWildcard(folder.c_str())) return false;  // as a directory search: last component only
    DIR* dir = ::opendir(resolveCase(folder).c_str());
    if (dir == nullptr) return false;
    bool found = false;
    while (!found) {
        dirent* entry = ::readdir(dir);
        if (entry == nullptr) break;
        found = matchesWildcard(pattern.c_str(), entry->d_name);
    }
    ::closedir(dir);
    return found;
}

uint64_t fileSize(const char* path) {
    std::string native;
    if (!programPathToNative(path, &native)) return 0;
    struct stat info {};
    if (::stat(resolveCase(native).c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return 0;
    return static_cast<uint64_t>(info.st_size);
}

bool deleteFile(const char* path) {
    std::string native;
    if (!programPathToNative(path, &native)) return false;
    if (::unlink(resolveCase(native).c_str()) == 0) return true;
    noteSystemError();
    return false;
}

bool nativeReplace(const char* source, const char* target) {
    std::string from;
    std::string to;
    if (!programPathToNative(source, &from) || !programPathToNative(target, &to)) return false;
    if (::rename(resolveCase(from).c_str(), resolveCase(to).c_str()) == 0) return true;
    noteSystemError();
    return false;
}

bool currentFolder(char* out, uint32_t capacity) {
    char native[PATH_MAX];
    if (::getcwd(native, sizeof native) == nullptr) return false;
    return nativePathToProgram(native, out, capacity);
}

namespace {

// Walks the path from its start; where a component is missing under its
// exact name, the first entry of that folder equal to it ignoring case takes
// its place. Components after one that matches nothing stay as written.
std::string resolveCase(const std::string& native) {
    struct stat info {};
    if (native.empty() || ::lstat(native.c_str(), &info) == 0) return native;
    std::string result = native[0] == '/' ? "/" : "";
    std::string::size_type start = native[0] == '/' ? 1 : 0;
    bool matching = true;
    while (start <= native.size()) {
        std::string::size_type end = native.find('/', start);
        if (end == std::string::npos) end = native.size();
        std::string component = native.substr(start, end - start);
        bool last = end == native.size();
        if (!component.empty()) {
            std::string candidate = result + component;
            if (matching && ::lstat(candidate.c_str(), &info) != 0) {
                matching = false;
                DIR* dir = ::opendir(result.empty() ? "." : result.c_str());
                if (dir != nullptr) {
                    while (dirent* entry = ::readdir(dir)) {
                        if (equalsNoCase(entry->d_name, component.c_str())) {
                            component = entry->d_name;
                            matching = true;
                            break;
                        }
                    }
                    ::closedir(dir);
                }
            }
            result += component;
        }
        if (last) break;
        if (!result.empty() && result.back() != '/') result += '/';
        start = end + 1;
    }
    return result;
}

void noteSystemError() {
    noteFileError(std::strerror(errno));
}

bool hasWildcard(const char* text) {
    return std::strpbrk(text, "*?") != nullptr;
}

// Directory-search matching: "*" any run, "?" one character, letters
// without regard to case.
bool matchesWildcard(const char* pattern, const char* name) {
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name != '\0') {
        char p = *pattern;
        char n = *name;
        bool same = p == '?' || upperAscii(p) == upperAscii(n);
        if (p == '*') {
            starPattern = pattern++;
            starName = name;
        } else if (p != '\0' && same) {
            ++pattern;
            ++name;
        } else if (starPattern != nullptr) {
            pattern = starPattern + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

}  // namespace
