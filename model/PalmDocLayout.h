// The PalmDOC e-book file as both the publisher and the import see it: a
// database header, a list of records, record 0 describing the text, the
// text records, then the pictures. Numbers in the file are big-endian.
#pragma once

#include <cstdint>

constexpr uint32_t kTextRecordSize = 4096;
constexpr uint32_t kDatabaseHeaderSize = 78;
constexpr uint32_t kRecordEntrySize = 8;
constexpr uint32_t kRecordZeroSize = 214;
constexpr uint32_t kDatabaseNameSize = 32;
constexpr uint32_t kMaxRecords = 0xFFFF;  // the record count is a 16-bit field
// Where the header keeps what it needs: the type and creator, the count.
constexpr uint32_t kTypeOffset = 60;
constexpr uint32_t kCreatorOffset = 64;
constexpr uint32_t kRecordCountOffset = 76;
constexpr const char* kPalmDocType = "TEXt";
constexpr const char* kPalmDocCreator = "REAd";
// Record 0: 1 for stored text records, 2 for compressed ones.
constexpr uint32_t kStoredText = 1;
constexpr uint32_t kCompressedText = 2;
constexpr uint32_t kTextLengthOffset = 4;
constexpr uint32_t kTextRecordCountOffset = 8;
constexpr uint32_t kRecordSizeOffset = 10;
// The part of record 0 a reader needs.
constexpr uint32_t kRecordZeroHead = 16;

inline void putBig16(uint8_t* at, uint32_t value) {
    at[0] = uint8_t(value >> 8);
    at[1] = uint8_t(value);
}

inline void putBig32(uint8_t* at, uint32_t value) {
    at[0] = uint8_t(value >> 24);
    at[1] = uint8_t(value >> 16);
    at[2] = uint8_t(value >> 8);
    at[3] = uint8_t(value);
}

inline uint32_t big16(const uint8_t* at) {
    return uint32_t(at[0]) << 8 | at[1];
}

inline uint32_t big32(const uint8_t* at) {
    return big16(at) << 16 | big16(at + 2);
}

// The position of record index's entry in the record list.
constexpr uint32_t recordEntryOffset(uint32_t index) {
    return kDatabaseHeaderSize + kRecordEntrySize * index;
}
