// The byte code of compressed text records: literals, escaped runs, copies
// from up to 2047 bytes back, and a space folded into the letter after it.
#pragma once

#include <cstdint>

#include "model/Decompression.h"

// The first pass may spend two bytes on an input byte before escaped bytes
// are merged into runs, so the output needs room for twice the input.
constexpr uint32_t compressedCapacity(uint32_t length) {
    return 2 * length;
}

// Compresses one record by itself into output, which must hold
// compressedCapacity(length) bytes. Returns the compressed length.
uint32_t compressRecord(const uint8_t* input, uint32_t length, uint8_t* output);
