// The texts of one build's links, anchors and pictures, each kept once: a
// book's thousands of links name a few hundred documents and anchors.
#pragma once

#include <cstdint>

constexpr int32_t kTextPoolBytes = 2 * 1024 * 1024;
constexpr int32_t kTextPoolEntries = 65536;
// Twice the entries, a power of two, so that chains stay short.
constexpr int32_t kTextPoolSlots = 2 * kTextPoolEntries;

struct TextPool {
    char bytes[kTextPoolBytes];
    int32_t used;
    int32_t offsets[kTextPoolEntries];
    int32_t count;
    int32_t slots[kTextPoolSlots];

    TextPool();
    // The id of text, byte for byte; added when new. -1 when the pool is full.
    int32_t intern(const char* text);
    // The id of text when it is held; -1 otherwise.
    int32_t find(const char* text) const;
    // "" for -1.
    const char* text(int32_t id) const;
};

// A hash that ignores ASCII case, for texts compared without it.
uint32_t foldedHash(const char* text, uint32_t seed = 2166136261u);
