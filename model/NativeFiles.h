// The operating system's side of the file layer, one implementation per
// platform. Only the file layer includes this header.
#pragma once

#include <cstdint>

#include "Files.h"

using NativeHandle = intptr_t;

bool nativeOpen(const char* path, OpenMode mode, NativeHandle* out);
void nativeClose(NativeHandle handle);
// Bytes read at offset (fewer at the end of the file), or -1 on failure.
int64_t nativeReadAt(NativeHandle handle, uint32_t offset, void* buffer, uint32_t n);
bool nativeWriteAt(NativeHandle handle, uint32_t offset, const void* bytes, uint32_t n);
uint64_t nativeLength(NativeHandle handle);
// Renames source to target, over an existing target only with replace, and
// makes the rename itself durable.
bool nativeRename(const char* source, const char* target, bool replace);
// Writes what the system holds of the file to the disk.
bool nativeFlush(NativeHandle handle);

// Work folders (WorkFolder.h). Each holds a lock file with this name and
// text for as long as its owner runs.
inline constexpr char kWorkLockName[] = "work.lock";
inline constexpr char kWorkLockText[] = "Quirebound: the files of a run that holds this lock\n";
// Makes the folder; false when anything of that name exists.
bool nativeMakeFolder(const char* path);
// Creates the folder's lock file and holds its lock until the handle is
// closed, or the process ends however it ends.
bool nativeLockFolder(const char* folder, NativeHandle* lock);
// Removes the work files in the folder, then the folder; closes the lock
// (-1: none).
void nativeRemoveFolder(const char* folder, NativeHandle lock);
// Removes the work folders stem + number + ".tmp" in parent whose lock
// nothing holds, and that say they are work folders.
void nativeRemoveDeadFolders(const char* parent, const char* stem);
// Names as this layer writes them, tested on every system alike.
bool isWorkFolderName(const char* name, const char* stem);
bool isWorkFileName(const char* name);
