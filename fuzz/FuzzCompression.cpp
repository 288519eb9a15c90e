// Any record: the production compressor equals the step-by-step reference,
// stays within its output bound and decodes back to the record.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/ReferenceCompressor.h"
#include "publish/Compression.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint32_t length = uint32_t(size > 4096 ? 4096 : size);
    // Exact-size heap copies, so a read or write past either end is caught.
    std::vector<uint8_t> input(data, data + length);
    std::vector<uint8_t> packed(compressedCapacity(length) + (length == 0 ? 1 : 0));
    uint32_t packedLength = compressRecord(input.data(), length, packed.data());
    if (packedLength > compressedCapacity(length)) std::abort();
    packed.resize(packedLength);
    if (packed != referenceCompress(input.data(), length)) std::abort();
    std::vector<uint8_t> decoded(length + 1);
    int32_t n = decompressRecord(packed.data(), packedLength, decoded.data(), length + 1);
    if (n != int32_t(length)) std::abort();
    if (length > 0 && std::memcmp(decoded.data(), input.data(), length) != 0) std::abort();
    return 0;
}
