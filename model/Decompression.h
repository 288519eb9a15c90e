// Decoding one compressed PalmDOC text record: literals, escaped runs of up
// to 8 bytes, copies from up to 2047 bytes back, and a space folded into the
// letter after it. The publisher checks its records with it and the import
// reads e-books with it.
#pragma once

#include <cstdint>

// Decodes one record into output (capacity bytes). Returns the decoded length,
// or -1 when the stream is corrupt: a copy reaching before the start of the
// output, a code cut off by the end of the input, or more output than fits.
int32_t decompressRecord(const uint8_t* input, uint32_t length, uint8_t* output, uint32_t capacity);
