#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/Publication.h"

namespace {

class PublicationTest : public ::testing::Test {
protected:
    std::unique_ptr<Publication> book = std::make_unique<Publication>();
};

TEST_F(PublicationTest, EveryTableKeepsOneSlotSpare) {
    for (int i = 0; i < 520; ++i) {
        std::string id = "m" + std::to_string(i);
        book->addMetadata("dc:Subject", "s");
        book->addManifestItem(id.c_str(), "a.htm", "text/html");
        book->addSpineItem(id.c_str());
        book->addTour(id.c_str(), "T");
        book->addTourSite(&book->tours[0], "s", "a.htm");
        book->addGuideReference("t", "a.htm", "toc");
    }
    EXPECT_EQ(book->metadataCount, 49);
    EXPECT_EQ(book->manifestCount, 499);
    EXPECT_EQ(book->spineCount, 499);
    EXPECT_EQ(book->tourCount, 49);
    EXPECT_EQ(book->tours[0].siteCount, 49);
    EXPECT_EQ(book->guideCount, 99);
}

TEST_F(PublicationTest, SpineRefusesALiveDuplicateIgnoringCaseButDeletesByIdWithCase) {
    book->addSpineItem("A");
    book->addSpineItem("a");
    EXPECT_EQ(book->spineCount, 1);
    book->deleteSpineItemsById("a");
    EXPECT_TRUE(isLive(book->spine[0].state));
    book->deleteSpineItemsById("A");
    EXPECT_FALSE(isLive(book->spine[0].state));
    book->addSpineItem("a");
    EXPECT_EQ(book->spineCount, 2);
}

TEST_F(PublicationTest, SpineMovesAndRemovalsStayInRange) {
    for (const char* id : {"a", "b", "c"}) book->addSpineItem(id);
    book->moveSpineItemUp(0);
    book->moveSpineItemDown(2);
    book->moveSpineItemUp(7);
    book->moveSpineItemDown(-1);
    EXPECT_STREQ(book->spine[0].idref, "a");
    EXPECT_STREQ(book->spine[2].idref, "c");
    book->spine[2].state = kDeleted;
    book->moveSpineItemUp(2);
    EXPECT_STREQ(book->spine[1].idref, "c");
    EXPECT_EQ(book->spine[1].state, kDeleted);  // the mark travels with its item
    book->moveSpineItemDown(0);
    EXPECT_STREQ(book->spine[0].idref, "c");
    book->removeSpineItemAt(2);
    book->removeSpineItemAt(0);
    book->removeSpineItemAt(1);
    book->removeSpineItemAt(-1);
    ASSERT_EQ(book->spineCount, 1);
    EXPECT_STREQ(book->spine[0].idref, "a");
}

TEST_F(PublicationTest, ResolveSpineLinksLiveItemsIgnoringCase) {
    book->addManifestItem("ch1", "old.htm", "text/html");
    book->addManifestItem("CH1", "new.htm", "text/html");
    book->addManifestItem("ch2", "two.htm", "text/html");
    book->addSpineItem("Ch1");
    book->addSpineItem("ch2");
    book->addSpineItem("gone");
    book->deleteManifestItem(&book->manifest[0]);
    book->deleteManifestItem(&book->manifest[2]);
    EXPECT_TRUE(book->resolveSpine());
    ASSERT_NE(book->spine[0].manifestItem, nullptr);
    EXPECT_STREQ(book->spine[0].manifestItem->href, "new.htm");
    EXPECT_EQ(book->spine[1].manifestItem, nullptr);
    EXPECT_EQ(book->spine[2].manifestItem, nullptr);
}

TEST_F(PublicationTest, FindMetadataValueSkipsDeletedEntries) {
    char value[kValueSize] = "untouched";
    EXPECT_FALSE(book->findMetadataValue("dc:Title", value));
    EXPECT_STREQ(value, "untouched");
    book->addMetadata("dc:Title", "Old");
    book->deleteMetadata(&book->metadata[0]);
    book->addMetadata("dc:Title", "New");
    ASSERT_TRUE(book->findMetadataValue("DC:TITLE", value));
    EXPECT_STREQ(value, "New");
}

TEST_F(PublicationTest, ClearMakesEverySlotLiveAgain) {
    book->addTour("t1", "Tour");
    book->addTourSite(&book->tours[0], "s", "a.htm");
    book->addManifestItem("x", "x.htm", "text/html");
    book->deleteManifestItem(&book->manifest[0]);
    book->deleteTourSite(&book->tours[0].sites[0]);
    book->clear();
    EXPECT_EQ(book->tours[0].siteCount, 0);
    book->addManifestItem("y", "y.htm", "text/html");
    EXPECT_TRUE(isLive(book->manifest[0].state));
    book->addTour("t2", "Tour");
    book->addTourSite(&book->tours[0], "s", "b.htm");
    EXPECT_TRUE(isLive(book->tours[0].sites[0].state));
    EXPECT_FALSE(book->isTourIdUnique("T2"));
}

TEST_F(PublicationTest, LongTextsAreCutToTheirFields) {
    std::string longText(kValueSize + 100, 'v');
    book->addMetadata(longText.c_str(), longText.c_str());
    EXPECT_EQ(std::string(book->metadata[0].name).size(), size_t(kFieldSize - 1));
    EXPECT_EQ(std::string(book->metadata[0].value).size(), size_t(kValueSize - 1));
    book->addGuideReference(longText.c_str(), "h", "t");
    EXPECT_EQ(std::string(book->guide[0].title).size(), size_t(kFieldSize - 1));
    EXPECT_STREQ(book->guide[0].type, "t");
}

}  // namespace
