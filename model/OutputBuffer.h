// Buffered writer for pages written one byte at a time.
#pragma once

#include <cstdint>

#include "Files.h"

constexpr uint32_t kOutputBufferSize = 8192;

struct OutputBuffer {
    uint8_t buffer[kOutputBufferSize];
    uint32_t used = 0;
    FileHandle file = 0;
    // A file opened by open() takes its name only when closed whole.
    SafeFile safe;
    bool replace = true;

    OutputBuffer() = default;
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // Starts the file anew beside path (openSafeFile); close puts it in
    // place, replacing an existing file (create) or refusing to (createNew).
    // False when it cannot be created.
    bool open(const char* path, OpenMode mode = OpenMode::create);
    // False when a write to the file was short.
    bool write(const void* bytes, uint32_t n);
    bool writeString(const char* text);
    // Text shown as text in a page: its markup characters as entities.
    bool writeEscaped(const char* text);
    // Writes what waits and closes, putting a file from open() in place;
    // false when anything written through this buffer failed to reach the
    // file, or the file its place.
    bool close();
    // Closes without keeping anything of a file from open().
    void abandon();
};
