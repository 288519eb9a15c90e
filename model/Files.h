// Files and their handles. Above this layer every path has the Windows form
// (drive letter or network path, backslashes); the platform file decides how
// such a path reaches the operating system.
#pragma once

#include <cstdint>

#include "Paths.h"

struct File;

// A handle of 0 (null) means "no file"; a failed open returns
// kInvalidFileHandle. Both are null here, so closing either is harmless.
using FileHandle = File*;
inline constexpr FileHandle kInvalidFileHandle = nullptr;

enum class OpenMode : int {
    read = 1,       // an existing file, for reading
    create = 2,     // created anew for writing, replacing an existing file
    readWrite = 3,  // created anew for reading and writing, replacing one
    // Created for reading and writing only when nothing of that name exists,
    // so that whoever opens it owns it.
    createNew = 4,
};

// Every mode lets other programs read and write the file meanwhile. Only
// regular files below 4 GiB open; anything else is refused at once.
FileHandle openFile(const char* path, OpenMode mode);
// Why the latest failed file operation of this thread failed, in the
// system's words (such as "No space left on device").
const char* lastFileError();
// Records a reason of the caller's own as the latest failure.
void noteFileError(const char* reason);
// A number that no other handle opened in this run has (0 for none): a
// handle's address may come again once it is closed, its number never.
uint64_t fileSerial(FileHandle file);
// Closes the handle unless it is 0. False when buffered bytes could not be
// written or an earlier write through this handle failed; callers that must
// not lose data (the package save) check it.
bool closeFile(FileHandle file);

// True when exactly n bytes were read or written.
bool readBytes(FileHandle file, void* buffer, uint32_t n);
bool writeBytes(FileHandle file, const void* bytes, uint32_t n);
bool writeText(FileHandle file, const char* text);
bool writeLineEnd(FileHandle file);

// Reads one byte (0 to 255) and advances; -1 at the end of the file.
int readByte(FileHandle file);
// Steps back one byte and returns the byte now under the position, or -1
// (position unchanged) at the start of the file.
int unreadByte(FileHandle file);

uint32_t getFilePosition(FileHandle file);
void setFilePosition(FileHandle file, uint32_t position);
// Length of the file as seen through the handle, buffered writes included.
uint32_t getFileLength(FileHandle file);

// True when a directory search for the path finds a file or a folder;
// "*" and "?" in the last component match as in such a search.
bool fileExists(const char* path);
// Size of the file the path names; 0 when nothing is found.
uint64_t fileSize(const char* path);
bool deleteFile(const char* path);
// Creates the folder; true also when a folder of that name exists already.
bool makeFolder(const char* path);
// Makes the folder and every folder missing above it, as far as the drive
// or the network share; a trailing backslash is allowed. False when one
// could not be made: those made before it stay.
bool makeFolderPath(const char* folder);
// Replaces target by source in one step; a link at target is itself
// replaced, never the file it points to.
bool replaceFile(const char* source, const char* target);

// True when path, its "." and ".." and every link on the way resolved,
// names something inside folder (resolved alike) or in a folder below it.
// A path that does not exist is judged by the part of it that does.
bool isInsideFolder(const char* folder, const char* path);

// A file written so that its target is never seen half written: the bytes
// go to a new file beside the target (its name and ".saving"), which takes
// the target's place only once it is whole and on the disk.
struct SafeFile {
    FileHandle file = kInvalidFileHandle;
    char partial[kPathSize] = "";
    char target[kPathSize] = "";
    // After a failed commit: the bytes were on the disk, the rename failed.
    bool flushed = false;
};
// Opens the new file for reading and writing. Whatever file stands under
// its name is the leftover of a write that was stopped, and goes; a folder
// does not. A stop by a signal removes the new file (markForRemovalOnStop).
bool openSafeFile(SafeFile& safe, const char* target);
// Puts the written file in place: flushed to the disk, closed, renamed to
// the target (over an existing file with replace; otherwise only when the
// name is free), and the rename flushed too. False when a step fails: the
// new file is gone, the target as it was, lastFileError says why.
bool commitSafeFile(SafeFile& safe, bool replace);
// Closes and removes the new file; the target stays as it was.
void abandonSafeFile(SafeFile& safe);

// Files of this run that must not outlive it when a signal (SIGINT,
// SIGTERM, SIGHUP) stops the program: the build's temporary files, pages
// being written. Deleting or renaming such a file unmarks it. A folder is
// removed after the files. Without room to note one more (32 at a time)
// the file is only left for the next build's clean-up. No effect where the
// system has no such signals.
void markForRemovalOnStop(const char* path, bool folder = false);
void unmarkForRemovalOnStop(const char* path);
// From now on those signals remove the marked files and end the program
// with status 128 + the signal's number.
void removeMarkedFilesOnStop();
// The process's current folder in program form, ending without a separator
// (except for a drive root such as "Z:\"). False when it does not fit.
bool currentFolder(char* out, uint32_t capacity);

// Counts of the operating-system calls made through this layer, so tests can
// tell that a reader or writer does not go to the system once per byte.
struct FileCallCounts {
    uint64_t writeCalls = 0;  // calls of writeBytes, whatever they cost
    uint64_t systemReads = 0;
    uint64_t systemWrites = 0;
};
FileCallCounts fileCallCounts();

// A test seam: the disk fails on purpose, the same on every system. Once
// `after` more bytes have been written (write) or `after` more calls made
// (create, rename, close, flush to the disk), every later operation of that
// kind fails with the reason given, until cleared; a write that crosses the
// limit puts down the bytes that fit first, as a full disk does. Unarmed it costs one comparison
// per system call. Arm and clear it between file operations; the reason is
// kept, not copied.
enum class FileFault : int { none, write, create, rename, close, flush };
void injectFileFault(FileFault kind, uint64_t after, const char* reason);
void clearFileFault();

// A fault for the lifetime of the object.
class ScopedFileFault {
public:
    ScopedFileFault(FileFault kind, uint64_t after, const char* reason) {
        injectFileFault(kind, after, reason);
    }
    ~ScopedFileFault() { clearFileFault(); }
    ScopedFileFault(const ScopedFileFault&) = delete;
    ScopedFileFault& operator=(const ScopedFileFault&) = delete;
};
