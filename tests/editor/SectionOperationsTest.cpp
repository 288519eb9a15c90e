#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "editor/EditorDocument.h"

namespace {

// A document with two chapters in manifest and spine, one title, one guide
// reference and one tour of one site, nothing modified yet.
class SectionOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc->addManifestItem("ch1", "ch1.htm", "text/x-oeb1-document");
        doc->addManifestItem("ch2", "ch2.htm", "text/x-oeb1-document");
        doc->addSpineItem("ch1");
        doc->addSpineItem("ch2");
        doc->addMetadata("dc:Title", "Book");
        doc->addGuideReference("Contents", "toc.htm", "toc");
        doc->addTour("t1", "Walk");
        doc->addTourSite(&doc->tours[0], "Start", "ch1.htm");
        doc->modified = false;
    }

    std::string spineOrder() const {
        std::string order;
        for (int32_t i = 0; i < doc->spineCount; ++i) {
            if (isLive(doc->spine[i].state)) order += std::string(doc->spine[i].idref) + " ";
        }
        return order;
    }

    std::unique_ptr<EditorDocument> doc = std::make_unique<EditorDocument>();
};

TEST_F(SectionOperationsTest, EveryOperationThatChangesTheBookMarksItModified) {
    const std::string longText(kFieldSize, 'x');
    struct Case {
        const char* name;
        std::function<bool(EditorDocument&)> operation;
        bool changes;
    } cases[] = {
        {"add manifest item",
         [](EditorDocument& d) { return d.addManifestEntry("ch3", "ch3.htm", "text/html"); }, true},
        {"edit manifest item",
         [](EditorDocument& d) { return d.editManifestEntry(1, "c2", "c2.htm", "text/html"); }, true},
        {"edit manifest item too long",
         [&](EditorDocument& d) { return d.editManifestEntry(1, longText.c_str(), "a", "b"); }, false},
        {"delete manifest item", [](EditorDocument& d) { return d.deleteManifestEntry(0); }, true},
        {"delete manifest item out of range", [](EditorDocument& d) { return d.deleteManifestEntry(2); },
         false},
        {"add spine entry already listed", [](EditorDocument& d) { return d.addSpineEntry("CH1"); }, false},
        {"delete spine entry", [](EditorDocument& d) { return d.deleteSpineEntry(1); }, true},
        {"move first spine entry up", [](EditorDocument& d) { return d.moveSpineEntryUp(0); }, false},
        {"move last spine entry down", [](EditorDocument& d) { return d.moveSpineEntryDown(1); }, false},
        {"move spine entry down", [](EditorDocument& d) { return d.moveSpineEntryDown(0); }, true},
        {"add metadata without a name", [](EditorDocument& d) { return d.addMetadataEntry("", "x"); }, true},
        {"edit metadata", [](EditorDocument& d) { return d.editMetadataEntry(0, "dc:Title", "Other"); },
         true},
        {"delete metadata", [](EditorDocument& d) { return d.deleteMetadataEntry(0); }, true},
        {"add guide reference", [](EditorDocument& d) { return d.addGuideEntry("Cover", "c.htm", "mine"); },
         true},
        {"edit guide reference", [](EditorDocument& d) { return d.editGuideEntry(0, "T", "t.htm", ""); },
         true},
        {"delete guide reference", [](EditorDocument& d) { return d.deleteGuideEntry(0); }, true},
        {"add tour", [](EditorDocument& d) { return d.addTourEntry("", "Second"); }, true},
        {"edit tour", [](EditorDocument& d) { return d.editTourEntry(0, "t1", "Renamed"); }, true},
        {"add site", [](EditorDocument& d) { return d.addSiteEntry(0, "Next", "ch2.htm"); }, true},
        {"add site to no tour", [](EditorDocument& d) { return d.addSiteEntry(-1, "Next", "ch2.htm"); },
         false},
        {"edit site", [](EditorDocument& d) { return d.editSiteEntry(0, 0, "S", "s.htm"); }, true},
        {"delete site", [](EditorDocument& d) { return d.deleteTourOrSite(0, 0); }, true},
        {"delete tour", [](EditorDocument& d) { return d.deleteTourOrSite(0, -1); }, true},
        {"delete nothing selected", [](EditorDocument& d) { return d.deleteTourOrSite(-1, -1); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto fresh = std::make_unique<EditorDocument>();
        doc.swap(fresh);
        SetUp();
        EXPECT_EQ(c.operation(*doc), c.changes);
        EXPECT_EQ(doc->modified, c.changes);
    }
}

TEST_F(SectionOperationsTest, DeletingAManifestItemRemovesItsSpineEntries) {
    ASSERT_TRUE(doc->deleteManifestEntry(0));
    EXPECT_EQ(spineOrder(), "ch2 ");
    // A deleted entry is gone for good: deleting it again changes nothing.
    doc->modified = false;
    EXPECT_FALSE(doc->deleteManifestEntry(0));
    EXPECT_FALSE(doc->modified);
}

TEST_F(SectionOperationsTest, AddingAManifestItemAppendsItToTheSpineOnce) {
    ASSERT_TRUE(doc->addManifestEntry("ch3", "ch3.htm", "text/html"));
    EXPECT_EQ(spineOrder(), "ch1 ch2 ch3 ");
    // A deleted item's id can be used again and comes back at the end.
    ASSERT_TRUE(doc->deleteManifestEntry(0));
    ASSERT_TRUE(doc->addManifestEntry("ch1", "again.htm", "text/html"));
    EXPECT_EQ(spineOrder(), "ch2 ch3 ch1 ");
}

TEST_F(SectionOperationsTest, SpineEntriesMoveAndDeleteByPosition) {
    ASSERT_TRUE(doc->addSpineEntry("ch3"));
    ASSERT_TRUE(doc->moveSpineEntryUp(2));
    EXPECT_EQ(spineOrder(), "ch1 ch3 ch2 ");
    ASSERT_TRUE(doc->deleteSpineEntry(0));
    EXPECT_EQ(spineOrder(), "ch3 ch2 ");
}

TEST_F(SectionOperationsTest, AFullTableTakesNothingAndLeavesTheBookUnmodified) {
    while (doc->addGuideEntry("g", "g.htm", "")) {
    }
    int32_t full = doc->guideCount;
    doc->modified = false;
    EXPECT_FALSE(doc->addGuideEntry("one more", "m.htm", ""));
    EXPECT_EQ(doc->guideCount, full);
    EXPECT_FALSE(doc->modified);
}

TEST_F(SectionOperationsTest, TextsThatDoNotFitAreRefusedNotCut) {
    const std::string value(kValueSize - 1, 'v');
    EXPECT_TRUE(doc->editMetadataEntry(0, "dc:Description", value.c_str()));
    EXPECT_EQ(std::string(doc->metadata[0].value), value);
    const std::string tooLong(kValueSize, 'v');
    EXPECT_FALSE(doc->addMetadataEntry("dc:Description", tooLong.c_str()));
    EXPECT_FALSE(doc->addSiteEntry(0, "Site", std::string(kFieldSize, 'h').c_str()));
    EXPECT_EQ(doc->tours[0].siteCount, 1);
}

}  // namespace
