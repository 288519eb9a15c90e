// Any bytes as a compressed record: the decoder either refuses them or stays
// inside its output, and what it produces survives a round trip.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "publish/Compression.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte picks the output capacity, small ones included.
    const uint32_t capacity = data[0] < 200 ? data[0] : 4096;
    std::vector<uint8_t> stream(data + 1, data + size);
    std::vector<uint8_t> out(capacity);
    int32_t n = decompressRecord(stream.data(), uint32_t(stream.size()), out.data(), capacity);
    if (n < -1 || n > int32_t(capacity)) std::abort();
    if (n <= 0) return 0;
    std::vector<uint8_t> packed(compressedCapacity(uint32_t(n)));
    uint32_t packedLength = compressRecord(out.data(), uint32_t(n), packed.data());
    std::vector<uint8_t> again(static_cast<size_t>(n));
    if (decompressRecord(packed.data(), packedLength, again.data(), uint32_t(n)) != n) std::abort();
    if (std::memcmp(again.data(), out.data(), size_t(n)) != 0) std::abort();
    return 0;
}
