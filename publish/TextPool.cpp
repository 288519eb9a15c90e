#include "TextPool.h"

#include <cstring>

#include "model/Text.h"

namespace {

uint32_t exactHash(const char* text) {
    uint32_t hash = 2166136261u;
    for (; *text != '\0'; ++text) hash = (hash ^ uint8_t(*text)) * 16777619u;
    return hash;
}

}  // namespace

TextPool::TextPool() : used(0), count(0) {
    bytes[0] = '\0';
    for (int32_t& slot : slots) slot = -1;
}

int32_t TextPool::intern(const char* text) {
    uint32_t mask = uint32_t(kTextPoolSlots) - 1;
    uint32_t at = exactHash(text) & mask;
    for (; slots[at] >= 0; at = (at + 1) & mask) {
        if (std::strcmp(bytes + offsets[slots[at]], text) == 0) return slots[at];
    }
    size_t length = std::strlen(text);
    if (count == kTextPoolEntries || size_t(used) + length + 1 > size_t(kTextPoolBytes)) return -1;
    std::memcpy(bytes + used, text, length + 1);
    offsets[count] = used;
    used += int32_t(length + 1);
    slots[at] = count;
    return count++;
}

int32_t TextPool::find(const char* text) const {
    uint32_t mask = uint32_t(kTextPoolSlots) - 1;
    for (uint32_t at = exactHash(text) & mask; slots[at] >= 0; at = (at + 1) & mask) {
        if (std::strcmp(bytes + offsets[slots[at]], text) == 0) return slots[at];
    }
    return -1;
}

const char* TextPool::text(int32_t id) const {
    return id < 0 || id >= count ? "" : bytes + offsets[id];
}

uint32_t foldedHash(const char* text, uint32_t seed) {
    uint32_t hash = seed;
    for (; *text != '\0'; ++text) hash = (hash ^ uint8_t(upperAscii(*text))) * 16777619u;
    return hash;
}
