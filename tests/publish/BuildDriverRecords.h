// Reading an e-book back in tests: its records and its decoded text.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "publish/Compression.h"
#include "publish/PalmDocDatabase.h"

inline uint32_t big16(const std::string& bytes, size_t at) {
    return uint32_t(uint8_t(bytes[at])) << 8 | uint8_t(bytes[at + 1]);
}

inline uint32_t big32(const std::string& bytes, size_t at) {
    return big16(bytes, at) << 16 | big16(bytes, at + 2);
}

// The records of a database file, record 0 first; empty when the record
// list does not fit the file. Checks what every file must hold: records one
// after another from behind the list and its two zero bytes, with unique ids.
inline std::vector<std::string> recordsOf(const std::string& file) {
    std::vector<std::string> records;
    uint32_t count = file.size() >= 78 ? big16(file, 76) : 0;
    if (count == 0 || file.size() < 80 + 8 * size_t(count)) return records;
    EXPECT_EQ(big32(file, 78), 80 + 8 * count);
    EXPECT_EQ(big16(file, 78 + 8 * count), 0u);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t start = big32(file, 78 + 8 * i);
        uint32_t end = i + 1 < count ? big32(file, 78 + 8 * (i + 1)) : uint32_t(file.size());
        EXPECT_EQ(big32(file, 78 + 8 * i + 4), 0x406F8000u + i) << i;
        if (start > end || end > file.size()) return {};
        records.push_back(file.substr(start, end - start));
    }
    return records;
}

// The text of a compressed e-book, decoded record by record.
inline std::string decodedText(const std::vector<std::string>& records) {
    std::string text;
    if (records.empty()) return text;
    uint32_t textRecords = big16(records[0], 8);
    for (uint32_t i = 1; i <= textRecords && i < records.size(); ++i) {
        uint8_t out[kTextRecordSize];
        int32_t n = decompressRecord(reinterpret_cast<const uint8_t*>(records[i].data()),
                                     uint32_t(records[i].size()), out, sizeof out);
        EXPECT_GE(n, 0) << "record " << i;
        if (n > 0) text.append(reinterpret_cast<const char*>(out), size_t(n));
    }
    return text;
}
