#include <gtest/gtest.h>

#include <set>

#include "editor/RowTag.h"
#include "model/Publication.h"

namespace {

TEST(RowTagTest, EveryRowOfTheLargestTablesHasATagOfItsOwnThatDecodesWhole) {
    std::set<intptr_t> seen;
    for (int32_t tour = 0; tour < kTourSlots; ++tour) {
        for (int32_t site = -1; site < kSiteSlots; ++site) {
            for (bool isAddress : {false, true}) {
                intptr_t value = encodeRowTag(RowTag{tour, site, isAddress});
                EXPECT_TRUE(seen.insert(value).second) << tour << " " << site;
                RowTag back = decodeRowTag(value);
                EXPECT_EQ(back.item, tour);
                EXPECT_EQ(back.site, site);
                EXPECT_EQ(back.isAddress, isAddress);
            }
        }
    }
    // Item indexes of the largest table come back whole too.
    for (int32_t item : {255, 256, kManifestSlots - 1}) {
        RowTag back = decodeRowTag(encodeRowTag(RowTag{item, -1, true}));
        EXPECT_TRUE(back.item == item && back.site == -1 && back.isAddress) << item;
    }
}

}  // namespace
