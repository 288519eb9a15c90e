// The operating system's side of the file layer on POSIX systems. Program
// paths have the Windows form; they reach the system the way Wine maps them:
// the drive Z: is the root "/", backslashes become slashes, and a name that
// differs only in letter case is accepted when the exact name is missing.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "NativeFiles.h"
#include "NativePaths.h"
#include "Text.h"

namespace {

std::string resolveCase(const std::string& native);
bool resolvedPath(const char* path, std::string* out);
int renameWithoutReplacing(const char* from, const char* to);
void flushFolderOf(const std::string& native);
void unmarkNative(const std::string& native);
bool isMarked(const std::string& native);
void removeOwnFiles(const std::string& folder);
void removeMarkedAndExit(int signal);
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
    native = resolveCase(native);
    if (::unlink(native.c_str()) == 0) {
        unmarkNative(native);
        return true;
    }
    noteSystemError();
    return false;
}

bool makeFolder(const char* path) {
    std::string native;
    if (!programPathToNative(path, &native)) return false;
    native = resolveCase(native);
    struct stat info {};
    if (::mkdir(native.c_str(), 0777) == 0 || (::stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode)))
        return true;
    noteSystemError();
    return false;
}

bool nativeRename(const char* source, const char* target, bool replace) {
    std::string from;
    std::string to;
    if (!programPathToNative(source, &from) || !programPathToNative(target, &to)) {
        noteFileError("the path names no file on this system");
        return false;
    }
    from = resolveCase(from);
    to = resolveCase(to);
    int result = replace ? ::rename(from.c_str(), to.c_str()) : renameWithoutReplacing(from.c_str(), to.c_str());
    if (result != 0) {
        noteSystemError();
        return false;
    }
    flushFolderOf(to);
    return true;
}

bool nativeFlush(NativeHandle handle) {
    int result;
    do {
        result = ::fsync(static_cast<int>(handle));
    } while (result != 0 && errno == EINTR);
    // A file system that cannot flush files has nothing more to give.
    if (result == 0 || errno == EINVAL) return true;
    noteSystemError();
    return false;
}

bool isInsideFolder(const char* folder, const char* path) {
    std::string base;
    std::string resolved;
    if (!resolvedPath(folder[0] != '\0' ? folder : ".", &base) || !resolvedPath(path, &resolved)) return false;
    if (base.back() != '/') base += '/';
    return resolved.size() > base.size() && resolved.compare(0, base.size(), base) == 0;
}

bool currentFolder(char* out, uint32_t capacity) {
    char native[PATH_MAX];
    if (::getcwd(native, sizeof native) == nullptr) return false;
    return nativePathToProgram(native, out, capacity);
}

namespace {

constexpr int kMarkedSlots = 32;

// Read by the signal handler: a slot is filled before it is published.
struct MarkedFile {
    std::atomic<int> state{0};  // 0 free, 1 being filled, 2 marked
    bool folder = false;
    char native[1024] = "";
};
MarkedFile markedFiles[kMarkedSlots];

}  // namespace

void markForRemovalOnStop(const char* path, bool folder) {
    std::string native;
    if (!programPathToNative(path, &native)) return;
    native = resolveCase(native);
    if (native.size() >= sizeof markedFiles[0].native) return;
    for (MarkedFile& slot : markedFiles) {
        int expected = 0;
        if (!slot.state.compare_exchange_strong(expected, 1)) continue;
        std::memcpy(slot.native, native.c_str(), native.size() + 1);
        slot.folder = folder;
        slot.state.store(2);
        return;
    }
}

void unmarkForRemovalOnStop(const char* path) {
    std::string native;
    if (programPathToNative(path, &native)) unmarkNative(resolveCase(native));
}

void removeMarkedFilesOnStop() {
    struct sigaction action {};
    action.sa_handler = removeMarkedAndExit;
    sigemptyset(&action.sa_mask);
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    for (int signal : signals) sigaddset(&action.sa_mask, signal);
    for (int signal : signals) {
        struct sigaction before {};
        // A signal ignored by whoever started us (nohup, a background job) stays ignored.
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }
}

bool nativeMakeFolder(const char* path) {
    std::string native;
    if (!programPathToNative(path, &native)) {
        noteFileError("the path names no file on this system");
        return false;
    }
    if (::mkdir(resolveCase(native).c_str(), 0777) == 0) return true;
    noteSystemError();
    return false;
}

bool nativeLockFolder(const char* folder, NativeHandle* lock) {
    std::string native;
    if (!programPathToNative(folder, &native)) return false;
    std::string path = resolveCase(native) + "/" + kWorkLockName;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        noteSystemError();
        return false;
    }
    // Locked before it says whose it is: a clean-up that finds it empty
    // leaves it alone.
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    if (!nativeWriteAt(fd, 0, kWorkLockText, sizeof kWorkLockText - 1)) {
        ::close(fd);
        ::unlink(path.c_str());
        return false;
    }
    *lock = fd;
    return true;
}

void nativeRemoveFolder(const char* folder, NativeHandle lock) {
    std::string native;
    if (programPathToNative(folder, &native)) {
        native = resolveCase(native);
        removeOwnFiles(native);
        if (::rmdir(native.c_str()) == 0) unmarkNative(native);
    }
    if (lock >= 0) ::close(static_cast<int>(lock));
}

void nativeRemoveDeadFolders(const char* parent, const char* stem) {
    std::string native;
    if (!programPathToNative(parent, &native)) return;
    native = resolveCase(native);
    if (native.back() != '/') native += '/';
    DIR* dir = ::opendir(native.c_str());
    if (dir == nullptr) return;
    std::vector<std::string> candidates;
    while (dirent* entry = ::readdir(dir)) {
        if (isWorkFolderName(entry->d_name, stem)) candidates.push_back(native + entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& folder : candidates) {
        struct stat info {};
        if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || isMarked(folder + "/")) continue;
        int fd = ::open((folder + "/" + kWorkLockName).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) continue;
        char text[sizeof kWorkLockText] = "";
        // Held by a running program, or not one of ours: left alone.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::pread(fd, text, sizeof text - 1, 0) == ssize_t(sizeof text - 1) &&
            std::strcmp(text, kWorkLockText) == 0) {
            removeOwnFiles(folder);
            ::rmdir(folder.c_str());
        }
        ::close(fd);
    }
}

namespace {

// The path with "." and ".." and every link resolved as far as it exists;
// the components behind that are taken as written.
bool resolvedPath(const char* path, std::string* out) {
    std::string head;
    if (!programPathToNative(path, &head)) return false;
    head = resolveCase(head);
    std::string rest;
    char real[PATH_MAX];
    while (::realpath(head.c_str(), real) == nullptr) {
        std::string::size_type slash = head.find_last_of('/');
        if (slash == std::string::npos) {
            rest = "/" + head + rest;
            head = ".";
            continue;
        }
        rest = head.substr(slash) + rest;
        head = slash == 0 ? "/" : head.substr(0, slash);
    }
    *out = real;
    for (std::string::size_type start = 0; start < rest.size();) {
        std::string::size_type end = rest.find('/', start + 1);
        if (end == std::string::npos) end = rest.size();
        std::string component = rest.substr(start + 1, end - start - 1);
        start = end;
        if (component.empty() || component == ".") continue;
        if (component == "..") {
            out->erase(std::max<std::string::size_type>(out->find_last_of('/'), 1));
            continue;
        }
        if (out->back() != '/') *out += '/';
        *out += component;
    }
    return true;
}

// Only where the name is free, atomically where the file system can.
int renameWithoutReplacing(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return -1;
    if (::link(from, to) == 0) return ::unlink(from);
    if (errno == EEXIST) return -1;
    struct stat info {};
    if (::lstat(to, &info) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from, to);
}

// A rename is durable only once its folder is on the disk.
void flushFolderOf(const std::string& native) {
    std::string::size_type slash = native.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : native.substr(0, slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void unmarkNative(const std::string& native) {
    for (MarkedFile& slot : markedFiles) {
        if (slot.state.load() == 2 && native == slot.native) slot.state.store(0);
    }
}

bool isMarked(const std::string& native) {
    for (const MarkedFile& slot : markedFiles) {
        if (slot.state.load() == 2 && native == slot.native) return true;
    }
    return false;
}

// The files a work folder can hold: its lock and temporary files. Links
// are removed themselves, never followed.
void removeOwnFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    std::vector<std::string> names;
    while (dirent* entry = ::readdir(dir)) {
        if (isWorkFileName(entry->d_name)) names.push_back(folder + "/" + entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& path : names) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) continue;
        if (::unlink(path.c_str()) == 0) unmarkNative(path);
    }
}

// Runs as a signal handler: only calls that are safe there.
void removeMarkedAndExit(int signal) {
    for (bool folders : {false, true}) {
        for (MarkedFile& slot : markedFiles) {
            if (slot.state.load() != 2 || slot.folder != folders) continue;
            if (folders)
                ::rmdir(slot.native);
            else
                ::unlink(slot.native);
        }
    }
    ::_exit(128 + signal);
}

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
