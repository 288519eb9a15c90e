// A zip archive written as it goes: each entry's bytes are compressed (or
// stored) straight into the file, its sizes and checksum written back into
// its local header afterwards, and the central directory comes last. Only
// one entry is open at a time, and only a few buffers are ever held.
#pragma once

#include <cstdint>

#include "model/Files.h"
#include "model/Paths.h"

constexpr int32_t kZipEntrySlots = 2048;

struct ZipEntry {
    char name[kPathSize];
    uint32_t crc;
    uint32_t compressedSize;
    uint32_t size;
    uint32_t headerOffset;
    uint16_t method;
    uint16_t flags;
};

struct ZipStream;

class ZipWriter {
public:
    // file: open for reading and writing, empty. Not owned.
    explicit ZipWriter(FileHandle file);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // The time every entry carries, as the archive's MS-DOS fields take it.
    void setTime(int year, int month, int day, int hour, int minute, int second);
    // A new entry (a name in UTF-8 with "/" between folders), deflated or
    // stored. False when the archive failed before or the table is full.
    bool beginEntry(const char* name, bool deflate);
    bool write(const void* bytes, uint32_t n);
    bool write(const char* text);
    bool endEntry();
    // The central directory and the end record. False when anything of the
    // archive failed; problem() says what.
    bool finish();

    bool failed() const { return problem_[0] != '\0'; }
    const char* problem() const { return problem_; }
    int32_t entryCount() const { return count_; }
    const ZipEntry& entry(int32_t i) const { return entries_[i]; }

private:
    FileHandle file_;
    ZipStream* stream_;
    ZipEntry entries_[kZipEntrySlots];
    int32_t count_ = 0;
    bool open_ = false;
    uint16_t dosTime_ = 0;
    uint16_t dosDate_ = (1 << 5) | 1;  // 1980-01-01
    char problem_[kPathSize] = "";

    bool fail(const char* what);
    bool feed(const uint8_t* bytes, uint32_t n, bool finishing);
    bool put(const void* bytes, uint32_t n);
    void writeHeader(const ZipEntry& entry, bool central);
};
