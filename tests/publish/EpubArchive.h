// Reading an EPUB back in tests: its entries in archive order, inflated
// and checked against their checksums.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct ArchiveEntry {
    std::string name;
    uint16_t method;
    std::string bytes;
};

// Empty, with the problem, when the archive or an entry is damaged.
inline std::vector<ArchiveEntry> archiveEntries(const std::string& zip, std::string* problem) {
    auto u16 = [&](size_t at) { return uint32_t(uint8_t(zip[at])) | uint32_t(uint8_t(zip[at + 1])) << 8; };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    std::vector<ArchiveEntry> entries;
    if (zip.size() < 22 || u32(zip.size() - 22) != 0x06054b50) return *problem = "no end record", entries;
    size_t at = u32(zip.size() - 6);
    for (uint32_t n = u16(zip.size() - 12); n > 0; --n) {
        if (at + 46 > zip.size() || u32(at) != 0x02014b50) return *problem = "a bad central header", std::vector<ArchiveEntry>();
        ArchiveEntry entry{zip.substr(at + 46, u16(at + 28)), uint16_t(u16(at + 10)), ""};
        uint32_t crc = u32(at + 16), packed = u32(at + 20), size = u32(at + 24), local = u32(at + 42);
        at += 46 + u16(at + 28) + u16(at + 30) + u16(at + 32);
        size_t data = local + 30 + u16(local + 26) + u16(local + 28);
        if (u32(local) != 0x04034b50 || u32(local + 14) != crc || data + packed > zip.size())
            return *problem = entry.name + ": a bad local header", std::vector<ArchiveEntry>();
        entry.bytes.resize(size);
        if (entry.method == 0) {
            entry.bytes = zip.substr(data, packed);
        } else {
            z_stream z{};
            inflateInit2(&z, -MAX_WBITS);
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
            z.avail_in = packed;
            z.next_out = reinterpret_cast<Bytef*>(entry.bytes.data());
            z.avail_out = size;
            int result = inflate(&z, Z_FINISH);
            inflateEnd(&z);
            if (result != Z_STREAM_END || z.avail_out != 0) return *problem = entry.name + ": does not inflate", std::vector<ArchiveEntry>();
        }
        if (crc32(0, reinterpret_cast<const Bytef*>(entry.bytes.data()), uInt(entry.bytes.size())) != crc)
            return *problem = entry.name + ": a wrong checksum", std::vector<ArchiveEntry>();
        entries.push_back(entry);
    }
    return entries;
}
