#include "publish/Compression.h"

namespace {

constexpr uint32_t kWindow = 2047;
constexpr uint32_t kShortestCopy = 3;
constexpr uint32_t kLongestCopy = 10;

// Earlier positions of the record, grouped by a hash of their first three
// bytes; each group is a queue in ascending order, so walking it from the
// front meets the leftmost occurrence first. Positions enter as the cursor
// passes them and leave from the front as the window moves on.
constexpr uint32_t kHashBits = 12;
constexpr uint32_t kBuckets = 1u << kHashBits;
constexpr uint32_t kRingSize = 4096;  // more than the window, a power of two
constexpr uint32_t kNone = 0xFFFFFFFFu;

struct PositionIndex {
    uint32_t head[kBuckets];
    uint32_t tail[kBuckets];
    uint32_t next[kRingSize];
};

// Writes tokens and merges consecutive escaped bytes into runs of up to 8 as
// it goes, which is what a second pass over the tokens would do.
struct TokenWriter {
    uint8_t* out;
    uint32_t used = 0;
    int64_t runStart = -1;  // count byte of the open escape run, or -1
    bool spacePending = false;

    void literal(uint8_t byte);
    void copy(uint32_t distance, uint32_t length);
    void finish();
    void plain(uint8_t byte);
    void single(uint8_t byte);
    void escaped(uint8_t byte);
};

uint32_t hashAt(const uint8_t* bytes);
void clearIndex(PositionIndex& index);
void addPosition(PositionIndex& index, const uint8_t* input, uint32_t position);
void dropOldest(PositionIndex& index, const uint8_t* input, uint32_t position);
uint32_t matchLength(const uint8_t* a, const uint8_t* b, uint32_t limit);

}  // namespace

uint32_t compressRecord(const uint8_t* input, uint32_t length, uint8_t* output) {
    PositionIndex index;
    clearIndex(index);
    TokenWriter writer{output};
    uint32_t added = 0;
    uint32_t dropped = 0;
    uint32_t cursor = 0;
    while (cursor < length) {
        for (; added < cursor; ++added) {
            if (added + 2 < length) addPosition(index, input, added);
        }
        uint32_t windowStart = cursor > kWindow ? cursor - kWindow : 0;
        for (; dropped < windowStart; ++dropped) {
            if (dropped + 2 < length) dropOldest(index, input, dropped);
        }
        // A match never takes in the record's last byte.
        uint32_t limit = length - cursor - 1;
        if (limit > kLongestCopy) limit = kLongestCopy;
        uint32_t bestLength = 0;
        uint32_t bestPosition = 0;
        if (limit >= kShortestCopy) {
            const uint8_t* here = input + cursor;
            for (uint32_t p = index.head[hashAt(here)]; p != kNone; p = index.next[p & (kRingSize - 1)]) {
                // Only a longer match replaces the best, and a longer one must
                // agree at the byte just past the best.
                if (input[p + bestLength] != here[bestLength]) continue;
                uint32_t found = matchLength(input + p, here, limit);
                if (found > bestLength) {
                    bestLength = found;
                    bestPosition = p;
                    if (found == limit) break;
                }
            }
        }
        if (bestLength >= kShortestCopy) {
            writer.copy(cursor - bestPosition, bestLength);
            cursor += bestLength;
        } else {
            writer.literal(input[cursor]);
            ++cursor;
        }
    }
    writer.finish();
    return writer.used;
}

namespace {

void TokenWriter::literal(uint8_t byte) {
    if (!spacePending) {
        if (byte == ' ') {
            spacePending = true;
            return;
        }
        plain(byte);
        return;
    }
    spacePending = false;
    if (byte >= 0x40 && byte <= 0x7F) {
        single(uint8_t(byte ^ 0x80));
        return;
    }
    single(' ');
    plain(byte);
}

void TokenWriter::copy(uint32_t distance, uint32_t length) {
    if (spacePending) {
        spacePending = false;
        single(' ');
    }
    uint32_t value = (distance << 3) + (length - kShortestCopy);
    single(uint8_t(0x80 + (value >> 8)));
    single(uint8_t(value & 0xFF));
}

void TokenWriter::finish() {
    if (spacePending) single(' ');
    spacePending = false;
}

void TokenWriter::plain(uint8_t byte) {
    if (byte == 0x00 || (byte >= 0x09 && byte <= 0x7F)) {
        single(byte);
    } else {
        escaped(byte);
    }
}

void TokenWriter::single(uint8_t byte) {
    out[used++] = byte;
    runStart = -1;
}

void TokenWriter::escaped(uint8_t byte) {
    if (runStart >= 0 && out[runStart] < 8) {
        ++out[runStart];
    } else {
        runStart = used;
        out[used++] = 1;
    }
    out[used++] = byte;
}

uint32_t hashAt(const uint8_t* bytes) {
    uint32_t key = uint32_t(bytes[0]) << 16 | uint32_t(bytes[1]) << 8 | bytes[2];
    return (key * 2654435761u) >> (32 - kHashBits);
}

void clearIndex(PositionIndex& index) {
    for (uint32_t i = 0; i < kBuckets; ++i) index.head[i] = kNone;
}

void addPosition(PositionIndex& index, const uint8_t* input, uint32_t position) {
    uint32_t bucket = hashAt(input + position);
    index.next[position & (kRingSize - 1)] = kNone;
    if (index.head[bucket] == kNone) {
        index.head[bucket] = position;
    } else {
        index.next[index.tail[bucket] & (kRingSize - 1)] = position;
    }
    index.tail[bucket] = position;
}

// Positions leave in ascending order, so the one leaving heads its group.
void dropOldest(PositionIndex& index, const uint8_t* input, uint32_t position) {
    uint32_t bucket = hashAt(input + position);
    index.head[bucket] = index.next[position & (kRingSize - 1)];
}

uint32_t matchLength(const uint8_t* a, const uint8_t* b, uint32_t limit) {
    uint32_t n = 0;
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

}  // namespace
