#include "model/Decompression.h"

#include <cstring>

int32_t decompressRecord(const uint8_t* input, uint32_t length, uint8_t* output, uint32_t capacity) {
    uint32_t in = 0;
    uint32_t out = 0;
    while (in < length) {
        uint8_t code = input[in++];
        if (code >= 0x01 && code <= 0x08) {
            if (code > length - in || code > capacity - out) return -1;
            std::memcpy(output + out, input + in, code);
            in += code;
            out += code;
        } else if (code < 0x80) {
            if (out == capacity) return -1;
            output[out++] = code;
        } else if (code < 0xC0) {
            if (in == length) return -1;
            uint32_t value = uint32_t(code) << 8 | input[in++];
            uint32_t distance = (value >> 3) & 0x7FF;
            uint32_t count = (value & 7) + 3;
            if (distance == 0 || distance > out || count > capacity - out) return -1;
            // Byte by byte: a copy closer than its length repeats what it writes.
            for (uint32_t i = 0; i < count; ++i, ++out) output[out] = output[out - distance];
        } else {
            if (capacity - out < 2) return -1;
            output[out++] = ' ';
            output[out++] = uint8_t(code ^ 0x80);
        }
    }
    return int32_t(out);
}
