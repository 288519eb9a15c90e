// The tag each row of a section view carries: which entry of its table the
// row shows, for tours also which site, and whether it is the entry's
// address row (the child that shows an href or a value).
#pragma once

#include <cstdint>

struct RowTag {
    int32_t item = -1;  // index in the section's table; the tour for tours
    int32_t site = -1;  // the site's index within its tour, or -1
    bool isAddress = false;
};

// Every item and site index of the tables fits in 15 bits, so each row gets
// a tag of its own whatever the table sizes.
constexpr intptr_t encodeRowTag(RowTag tag) {
    return (intptr_t(tag.item) << 16) | (intptr_t(tag.site + 1) << 1) | (tag.isAddress ? 1 : 0);
}

constexpr RowTag decodeRowTag(intptr_t value) {
    RowTag tag;
    tag.item = int32_t(value >> 16);
    tag.site = int32_t((value >> 1) & 0x7FFF) - 1;
    tag.isAddress = (value & 1) != 0;
    return tag;
}
