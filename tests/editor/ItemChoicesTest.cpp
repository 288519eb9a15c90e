#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/ItemChoices.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

class ItemChoicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc->addManifestItem("ch1", "ch1.htm", "text/html");
        doc->addManifestItem("ch2", "ch2.htm", "text/html");
        doc->addManifestItem("pic", "p.gif", "text/image");
        doc->addSpineItem("CH1");
        doc->addTour("walk", "Walk");
    }

    ManifestItemChoices manifestChoices(const char* id, const char* href, int32_t edited = -1) {
        ManifestItemChoices choices;
        choices.document = doc.get();
        choices.editedEntry = edited;
        copyText(choices.id, id);
        copyText(choices.href, href);
        return choices;
    }

    std::unique_ptr<EditorDocument> doc = std::make_unique<EditorDocument>();
};

TEST_F(ItemChoicesTest, ManifestChecksComeInTheirOrder) {
    doc->deleteManifestEntry(2);
    struct Case {
        const char* id;
        const char* href;
        int32_t edited;
        int32_t expected;
    } cases[] = {
        {"", "", -1, IDS_MANIFEST_ID_EMPTY},
        {"CH2", "", -1, IDS_MANIFEST_ID_EXISTS},  // ids differ only in case
        {"new", "", -1, IDS_NO_FILE_NAME},
        {"pic", "again.gif", -1, 0},  // a deleted item's id is free again
        {"ch2", "ch2.htm", 1, 0},     // an edited item keeps its own id
        {"ch1", "ch2.htm", 1, IDS_MANIFEST_ID_EXISTS},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(checkManifestItem(manifestChoices(c.id, c.href, c.edited)), c.expected)
            << c.id << " " << c.edited;
    }
}

TEST_F(ItemChoicesTest, TheSpineOffersLiveDocumentsNotYetInItInManifestOrder) {
    const char* ids[kManifestSlots];
    // Not the picture.
    int32_t offered = availableSpineIds(*doc, ids, kManifestSlots);
    ASSERT_EQ(offered, 1);
    EXPECT_STREQ(ids[0], "ch2");
    doc->deleteManifestEntry(2);
    doc->deleteSpineEntry(0);
    offered = availableSpineIds(*doc, ids, kManifestSlots);
    ASSERT_EQ(offered, 2);
    EXPECT_STREQ(ids[0], "ch1");
    SpineItemChoices none;
    none.document = doc.get();
    EXPECT_EQ(checkSpineItem(none), IDS_SPINE_NO_ID_CHOSEN);
}

TEST_F(ItemChoicesTest, TourGuideAndSiteChecksComeInTheirOrder) {
    TourItemChoices tour;
    tour.document = doc.get();
    copyText(tour.id, "WALK");
    EXPECT_EQ(checkTourItem(tour), IDS_TOUR_NO_TITLE);
    copyText(tour.title, "Again");
    EXPECT_EQ(checkTourItem(tour), IDS_TOUR_ID_EXISTS);
    ASSERT_TRUE(loadTourItem(tour, 0));
    EXPECT_EQ(checkTourItem(tour), 0);

    GuideItemChoices guide;
    guide.document = doc.get();
    EXPECT_EQ(checkGuideItem(guide), IDS_GUIDE_NO_TITLE);
    copyText(guide.title, "Cover");
    EXPECT_EQ(checkGuideItem(guide), IDS_NO_FILE_NAME);

    SiteItemChoices site;
    site.document = doc.get();
    EXPECT_EQ(checkSiteItem(site), IDS_SITE_NO_TITLE);
    copyText(site.title, "Start");
    EXPECT_EQ(checkSiteItem(site), IDS_SITE_NO_HREF);
}

TEST_F(ItemChoicesTest, AnAddIntoAFullSectionSaysSoAndChangesNothing) {
    while (doc->addTourEntry("", "more")) {
    }
    doc->modified = false;
    TourItemChoices tour;
    tour.document = doc.get();
    copyText(tour.title, "One too many");
    EXPECT_EQ(applyTourItem(tour), IDS_TOURS_FULL);
    EXPECT_FALSE(doc->modified);
}

TEST_F(ItemChoicesTest, AMetadataEntryKeepsANameTheListDoesNotOfferUnlessAnotherIsChosen) {
    doc->addMetadata("x-shelf", "3");
    MetadataItemChoices choices;
    choices.document = doc.get();
    ASSERT_TRUE(loadMetadataItem(choices, 0));
    EXPECT_EQ(listIndexOf(kMetadataNames, 15, choices.name), -1);
    choices.name[0] = '\0';  // what the list reads back with nothing chosen
    copyText(choices.value, "4");
    ASSERT_EQ(applyMetadataItem(choices), 0);
    EXPECT_STREQ(doc->metadata[0].name, "x-shelf");
    EXPECT_STREQ(doc->metadata[0].value, "4");
}

TEST(PictureTypeTest, APictureTypeFollowsTheExtensionOfTheFile) {
    const struct {
        const char* href;
        const char* type;  // null: not a picture
    } cases[] = {{"art/map.GIF", "image/gif"}, {"p.png#top", "image/png"}, {"p.jpg", "image/jpeg"},
                 {"p.JPEG", "image/jpeg"},     {"p.gif.htm", nullptr},     {"gif", nullptr}};
    for (const auto& c : cases) {
        const char* type = pictureTypeOfHref(c.href);
        EXPECT_EQ(type == nullptr ? "(none)" : std::string(type), c.type == nullptr ? "(none)" : c.type)
            << c.href;
    }
}

}  // namespace
