// Buffered writer for pages written one byte at a time.
#pragma once

#include <cstdint>

#include "Files.h"

constexpr uint32_t kOutputBufferSize = 8192;

struct OutputBuffer {
    uint8_t buffer[kOutputBufferSize];
    uint32_t used = 0;
    FileHandle file = 0;

    OutputBuffer() = default;
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // Creates the file anew (create replaces an existing one, createNew
    // refuses it); false when it cannot be created.
    bool open(const char* path, OpenMode mode = OpenMode::create);
    // False when a write to the file was short.
    bool write(const void* bytes, uint32_t n);
    bool writeString(const char* text);
    // Text shown as text in a page: its markup characters as entities.
    bool writeEscaped(const char* text);
    // Writes what waits and closes; false when anything written through this
    // buffer failed to reach the file.
    bool close();
};
