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
bool nativeReplace(const char* source, const char* target);
