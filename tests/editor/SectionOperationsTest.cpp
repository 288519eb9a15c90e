#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/EditorDocument.h"
#include "resources/ResourceIds.h"

namespace {

// A document with two chapters in manifest and spine, one title, one guide
// reference and one tour of one site, nothing modified yet.
std::unique_ptr<EditorDocument> startingDocument() {
    auto doc = std::make_unique<EditorDocument>();
    doc->addManifestItem("ch1", "ch1.htm", "text/x-oeb1-document");
    doc->addManifestItem("ch2", "ch2.htm", "text/x-oeb1-document");
    doc->addSpineItem("ch1");
    doc->addSpineItem("ch2");
    doc->addMetadata("dc:Title", "Book");
    doc->addGuideReference("Contents", "toc.htm", "toc");
    doc->addTour("t1", "Walk");
    doc->addTourSite(&doc->tours[0], "Start", "ch1.htm");
    doc->modified = false;
    return doc;
}

std::string spineOrder(const EditorDocument& doc) {
    std::string order;
    for (int32_t i = 0; i < doc.spineCount; ++i) {
        if (isLive(doc.spine[i].state)) order += std::string(doc.spine[i].idref) + " ";
    }
    return order;
}

// A call on the document, as the table's operation.
#define OPERATION(...) [](EditorDocument& d) { return d.__VA_ARGS__; }

const std::string kLong(kFieldSize, 'x');
const std::string kLongestValue(kValueSize - 1, 'v');
const std::string kLongValue(kValueSize, 'v');

// What each operation does to the book: whether it changed (and so marked
// it modified), and the reading order it leaves.
TEST(SectionOperationsTest, EachOperationChangesTheBookAsTheTableSays) {
    struct Case {
        const char* name;
        bool (*operation)(EditorDocument&);
        bool changes;
        const char* spine = "ch1 ch2 ";  // the order the operation leaves
    } const cases[] = {
        // The new item joins the reading order once, at its end.
        {"add manifest item", OPERATION(addManifestEntry("ch3", "ch3.htm", "text/html")), true,
         "ch1 ch2 ch3 "},
        {"add manifest item the spine lists",
         OPERATION(addSpineItem("ch3"), d.addManifestEntry("CH3", "ch3.htm", "")), true, "ch1 ch2 ch3 "},
        // The reading order follows a renamed item.
        {"rename manifest item", OPERATION(editManifestEntry(1, "c2", "c2.htm", "text/html")), true,
         "ch1 c2 "},
        {"rename to another item's id", OPERATION(editManifestEntry(1, "CH1", "x.htm", "")), false},
        {"edit manifest item too long", OPERATION(editManifestEntry(1, kLong.c_str(), "a", "")), false},
        {"delete manifest item", OPERATION(deleteManifestEntry(0)), true, "ch2 "},
        {"delete a deleted manifest item",
         OPERATION(deleteManifestItem(&d.manifest[0]), d.deleteManifestEntry(0)), false},
        {"delete manifest item out of range", OPERATION(deleteManifestEntry(2)), false},
        // A deleted item's id is free again and comes back at the end.
        {"delete and add again",
         OPERATION(deleteManifestEntry(0) && d.addManifestEntry("ch1", "again.htm", "")), true, "ch2 ch1 "},
        // Pictures and stylesheets stay out of the reading order.
        {"add a picture by its name", OPERATION(addManifestEntry("map", "art/map.GIF#x", "text/html")), true},
        {"add a picture by its type", OPERATION(addManifestEntry("map", "map", "image/png")), true},
        {"add a stylesheet", OPERATION(addManifestEntry("css", "s.css", "text/x-oeb1-css")), true},
        {"add a page without a type", OPERATION(addManifestEntry("ch3", "ch3.XHTML", "")), true,
         "ch1 ch2 ch3 "},
        {"add spine entry already listed", OPERATION(addSpineEntry("CH1")), false},
        {"delete spine entry", OPERATION(deleteSpineEntry(0)), true, "ch2 "},
        {"move first spine entry up", OPERATION(moveSpineEntryUp(0)), false},
        {"move last spine entry down", OPERATION(moveSpineEntryDown(1)), false},
        {"move spine entry down", OPERATION(moveSpineEntryDown(0)), true, "ch2 ch1 "},
        {"move spine entry up", OPERATION(moveSpineEntryUp(1)), true, "ch2 ch1 "},
        {"add metadata without a name", OPERATION(addMetadataEntry("", "x")), true},
        {"edit metadata to the longest value",
         OPERATION(editMetadataEntry(0, "dc:Title", kLongestValue.c_str())), true},
        {"add metadata too long", OPERATION(addMetadataEntry("dc:X", kLongValue.c_str())), false},
        {"delete metadata", OPERATION(deleteMetadataEntry(0)), true},
        {"add guide reference", OPERATION(addGuideEntry("Cover", "c.htm", "mine")), true},
        {"edit guide reference", OPERATION(editGuideEntry(0, "T", "t.htm", "")), true},
        {"delete guide reference", OPERATION(deleteGuideEntry(0)), true},
        {"add tour", OPERATION(addTourEntry("", "Second")), true},
        {"edit tour", OPERATION(editTourEntry(0, "t1", "Renamed")), true},
        {"add site", OPERATION(addSiteEntry(0, "Next", "ch2.htm")), true},
        {"add site too long", OPERATION(addSiteEntry(0, "Next", kLong.c_str())), false},
        {"add site to no tour", OPERATION(addSiteEntry(-1, "Next", "ch2.htm")), false},
        {"edit site", OPERATION(editSiteEntry(0, 0, "S", "s.htm")), true},
        {"delete site", OPERATION(deleteTourOrSite(0, 0)), true},
        {"delete tour", OPERATION(deleteTourOrSite(0, -1)), true},
        {"delete nothing selected", OPERATION(deleteTourOrSite(-1, -1)), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = startingDocument();
        EXPECT_EQ(c.operation(*doc), c.changes);
        EXPECT_EQ(doc->modified, c.changes);
        EXPECT_EQ(spineOrder(*doc), c.spine);
    }
    // A text is refused, not cut: the longest value went in whole.
    auto doc = startingDocument();
    ASSERT_TRUE(doc->editMetadataEntry(0, "dc:Title", kLongestValue.c_str()));
    EXPECT_EQ(std::string(doc->metadata[0].value), kLongestValue);
    ASSERT_TRUE(doc->editManifestEntry(1, "c2", "c2.htm", ""));
    doc->resolveSpine();
    EXPECT_EQ(doc->spine[1].manifestItem, &doc->manifest[1]);
}

// The Edit menu's Properties and Add site, by the visible view and the tour
// selected in the Tours view.
TEST(SectionOperationsTest, TheEditMenuOffersWhatTheVisibleSectionCanDo) {
    auto doc = startingDocument();
    doc->addTour("t2", "Gone");
    doc->deleteTourOrSite(1, -1);
    const struct {
        int view;
        int32_t tour;
        bool properties, addSite;
    } cases[] = {
        {IDC_SPINE_VIEW, -1, false, false}, {IDC_MANIFEST_VIEW, 0, true, false},
        {IDC_TOURS_VIEW, 0, true, true},    {IDC_TOURS_VIEW, -1, true, false},
        {IDC_TOURS_VIEW, 1, true, false},   {IDC_TOURS_VIEW, 2, true, false},
    };
    for (const auto& c : cases) {
        EditMenuEntries entries = editMenuEntries(*doc, c.view, c.tour);
        EXPECT_EQ(entries.properties, c.properties) << c.view << " " << c.tour;
        EXPECT_EQ(entries.addSite, c.addSite) << c.view << " " << c.tour;
    }
}

}  // namespace
