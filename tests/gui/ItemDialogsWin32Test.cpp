// The item dialogs as a user meets them: opened from the Edit menu, the
// context menus and a double click, filled in, refused with their warnings,
// and the package that Save then writes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GuiHarness.h"
#include "win32/DialogFunctionsWin32.h"
#include "model/Publication.h"
#include "resources/ResourceIds.h"
#include "tests/support/TempFolder.h"

namespace {

using Rows = std::vector<std::string>;

const char kBook[] =
    "<?xml version=\"1.0\"?>\n"
    "<package unique-identifier=\"bid\">\n"
    "<metadata><dc:Title>Harbour Book</dc:Title><dc:Creator>A. Writer</dc:Creator></metadata>\n"
    "<manifest>\n"
    "<item id=\"c1\" href=\"text/c1.htm\" media-type=\"text/x-oeb1-document\"/>\n"
    "<item id=\"c2\" href=\"c2.htm\" media-type=\"text/x-oeb1-document\"/>\n"
    "</manifest>\n"
    "<spine><itemref idref=\"c1\"/><itemref idref=\"c2\"/></spine>\n"
    "<tours><tour id=\"t1\" title=\"Walk\"><site title=\"Start\" href=\"c2.htm#s\"/></tour></tours>\n"
    "<guide><reference type=\"toc\" title=\"Contents\" href=\"c2.htm\"/></guide>\n"
    "</package>\n";

class ItemDialogsTest : public ::testing::Test {
protected:
    TempFolder tmp;
    std::string book = tmp.file("book.opf");

    void SetUp() override { tmp.write("book.opf", kBook); }

    // OK is pressed and the warning of this string comes, caption and icon
    // included; it is closed and the dialog is still there.
    static void expectWarningOnOk(MainWindowRun& run, HWND dialog, int stringId) {
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        MessageBoxSeen box = run.waitForMessageBox();
        ASSERT_NE(box.window, nullptr) << stringId;
        EXPECT_EQ(box.text, loadString(stringId));
        EXPECT_EQ(box.caption, "Warning");
        EXPECT_EQ(box.icon, "warning");
        pressButton(box.window, IDOK);
        EXPECT_TRUE(IsWindow(dialog));
    }

    // Saves through File, Save and reads the package back.
    std::unique_ptr<Publication> saved(MainWindowRun& run) {
        EXPECT_TRUE(run.command(ID_FILE_SAVE));
        auto publication = std::make_unique<Publication>();
        EXPECT_TRUE(publication->open(book.c_str()));
        return publication;
    }

    static std::string spineOf(const Publication& publication) {
        std::string ids;
        for (int32_t i = 0; i < publication.spineCount; ++i)
            ids += std::string(publication.spine[i].idref) + " ";
        return ids;
    }
};

TEST_F(ItemDialogsTest, AManifestItemIsAddedAfterEachCheckHasSpoken) {
    MainWindowRun run(book);
    run.post(ID_EDIT_ADD);
    HWND dialog = run.waitForDialog("Manifest Item");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(listEntries(dialog, IDC_MANIFEST_TYPE),
              (Rows{"text/x-oeb1-document", "text/image", "text/html"}));
    // The checks see the open package; their order is tested natively.
    typeInto(dialog, IDC_MANIFEST_ID, "C2");
    expectWarningOnOk(run, dialog, IDS_MANIFEST_ID_EXISTS);
    typeInto(dialog, IDC_MANIFEST_ID, "c3");
    typeInto(dialog, IDC_MANIFEST_HREF, "c3.htm");
    ASSERT_TRUE(chooseInList(dialog, IDC_MANIFEST_TYPE, "text/html"));
    pressButton(dialog, IDOK);
    EXPECT_EQ(run.rows(IDC_MANIFEST_VIEW), (Rows{"c1", "  text/c1.htm", "c2", "  c2.htm", "c3", "  c3.htm"}));
    ASSERT_TRUE(run.clickTab(1));
    EXPECT_EQ(run.rows(IDC_SPINE_VIEW), (Rows{"c1", "c2", "c3"}));

    auto written = saved(run);
    ASSERT_EQ(written->manifestCount, 3);
    EXPECT_STREQ(written->manifest[2].href, "c3.htm");
    EXPECT_STREQ(written->manifest[2].mediaType, "text/html");
    EXPECT_EQ(spineOf(*written), "c1 c2 c3 ");
}

TEST_F(ItemDialogsTest, RenamingAManifestItemKeepsItInTheReadingOrder) {
    MainWindowRun run(book);
    ASSERT_TRUE(run.selectRow(IDC_MANIFEST_VIEW, "c2.htm"));
    run.post(ID_MANIFEST_PROPERTIES);
    HWND dialog = run.waitForDialog("Manifest Item");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(controlText(dialog, IDC_MANIFEST_ID), "c2");
    EXPECT_EQ(controlText(dialog, IDC_MANIFEST_HREF), "c2.htm");
    EXPECT_EQ(controlText(dialog, IDC_MANIFEST_TYPE), "text/x-oeb1-document");
    typeInto(dialog, IDC_MANIFEST_ID, "second");
    pressButton(dialog, IDOK);
    auto written = saved(run);
    EXPECT_STREQ(written->manifest[1].id, "second");
    EXPECT_EQ(spineOf(*written), "c1 second ");
}

TEST_F(ItemDialogsTest, BrowsingGivesAPathRelativeToThePackageOnlyBelowItsFolder) {
    tmp.makeFolder("text");
    tmp.write("text\\c1.htm", "<body>one</body>");
    MainWindowRun run(book);
    run.post(ID_MANIFEST_ADD);
    HWND dialog = run.waitForDialog("Manifest Item");
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_COMMAND, IDC_MANIFEST_BROWSE, 0);
    HWND files = run.waitForFileDialog();
    ASSERT_NE(files, nullptr);
    answerFileDialog(files, tmp.file("text\\c1.htm"));
    EXPECT_EQ(controlText(dialog, IDC_MANIFEST_HREF), "text\\c1.htm");
    TempFolder elsewhere;
    elsewhere.write("pic.gif", "GIF89a");
    PostMessageA(dialog, WM_COMMAND, IDC_MANIFEST_BROWSE, 0);
    files = run.waitForFileDialog();
    ASSERT_NE(files, nullptr);
    answerFileDialog(files, elsewhere.file("pic.gif"));
    EXPECT_EQ(controlText(dialog, IDC_MANIFEST_HREF), elsewhere.file("pic.gif"));
    pressButton(dialog, IDCANCEL);
    // Cancel changed nothing: leaving asks no question.
    EXPECT_EQ(run.rows(IDC_MANIFEST_VIEW).size(), 4u);
    run.post(ID_FILE_EXIT);
    EXPECT_TRUE(run.waitForEnd());
}

TEST_F(ItemDialogsTest, TheSpineOffersOnlyWhatItLacks) {
    MainWindowRun run(book);
    ASSERT_TRUE(run.clickTab(1));
    run.post(ID_EDIT_ADD);
    HWND dialog = run.waitForDialog("Spine Item");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(listEntries(dialog, IDC_SPINE_IDREF).empty());
    expectWarningOnOk(run, dialog, IDS_SPINE_NO_ID_CHOSEN);
    pressButton(dialog, IDCANCEL);

    ASSERT_TRUE(run.selectRow(IDC_SPINE_VIEW, "c1"));
    ASSERT_TRUE(run.command(ID_SPINE_DELETE));
    run.post(ID_SPINE_ADD);
    dialog = run.waitForDialog("Spine Item");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(listEntries(dialog, IDC_SPINE_IDREF), Rows{"c1"});
    ASSERT_TRUE(chooseInList(dialog, IDC_SPINE_IDREF, "c1"));
    pressButton(dialog, IDOK);
    EXPECT_EQ(run.rows(IDC_SPINE_VIEW), (Rows{"c2", "c1"}));
    EXPECT_EQ(spineOf(*saved(run)), "c2 c1 ");
}

TEST_F(ItemDialogsTest, MetadataIsAddedFromTheMenuAndEditedByDoubleClick) {
    MainWindowRun run(book);
    run.post(ID_METADATA_ADD);
    HWND dialog = run.waitForDialog("MetaData Item");
    ASSERT_NE(dialog, nullptr);
    Rows names = listEntries(dialog, IDC_METADATA_NAME);
    ASSERT_EQ(names.size(), 15u);
    EXPECT_EQ(names.front(), "dc:Identifier");
    EXPECT_EQ(names.back(), "dc:Rights");
    ASSERT_TRUE(chooseInList(dialog, IDC_METADATA_NAME, "dc:Publisher"));
    typeInto(dialog, IDC_METADATA_VALUE, "Harbour Press");
    pressButton(dialog, IDOK);

    run.doubleClickRow(IDC_METADATA_VIEW, "A. Writer");
    dialog = run.waitForDialog("MetaData Item");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(controlText(dialog, IDC_METADATA_NAME), "dc:Creator");
    EXPECT_EQ(controlText(dialog, IDC_METADATA_VALUE), "A. Writer");
    typeInto(dialog, IDC_METADATA_VALUE, "B. Writer");
    pressButton(dialog, IDOK);
    EXPECT_EQ(run.rows(IDC_METADATA_VIEW), (Rows{"dc:Title", "  Harbour Book", "dc:Creator", "  B. Writer",
                                                 "dc:Publisher", "  Harbour Press"}));
    auto written = saved(run);
    ASSERT_EQ(written->metadataCount, 3);
    EXPECT_STREQ(written->metadata[1].value, "B. Writer");
    EXPECT_STREQ(written->metadata[2].name, "dc:Publisher");
}

TEST_F(ItemDialogsTest, AGuideReferenceKeepsATypeTypedByHand) {
    MainWindowRun run(book);
    ASSERT_TRUE(run.clickTab(4));
    run.post(ID_EDIT_ADD);
    HWND dialog = run.waitForDialog("Guide Item");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(listEntries(dialog, IDC_GUIDE_TYPE).size(), 16u);
    expectWarningOnOk(run, dialog, IDS_GUIDE_NO_TITLE);
    typeInto(dialog, IDC_GUIDE_TITLE, "Map");
    typeInto(dialog, IDC_GUIDE_HREF, "map.htm");
    typeInto(dialog, IDC_GUIDE_TYPE, "x-map");
    pressButton(dialog, IDOK);

    ASSERT_TRUE(run.selectRow(IDC_GUIDE_VIEW, "Map"));
    run.post(ID_EDIT_PROPERTIES);
    dialog = run.waitForDialog("Guide Item");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(controlText(dialog, IDC_GUIDE_TYPE), "x-map");
    pressButton(dialog, IDOK);
    auto written = saved(run);
    ASSERT_EQ(written->guideCount, 2);
    EXPECT_STREQ(written->guide[1].type, "x-map");
    EXPECT_STREQ(written->guide[1].href, "map.htm");
}

TEST_F(ItemDialogsTest, ToursAndSitesAreAddedAndChangedFromTheirRows) {
    MainWindowRun run(book);
    ASSERT_TRUE(run.clickTab(3));
    // Nothing selected: a new tour.
    run.post(ID_TOURS_ADD);
    HWND dialog = run.waitForDialog("Tour Item");
    ASSERT_NE(dialog, nullptr);
    typeInto(dialog, IDC_TOUR_ID, "T1");
    typeInto(dialog, IDC_TOUR_TITLE, "Harbour");
    expectWarningOnOk(run, dialog, IDS_TOUR_ID_EXISTS);
    typeInto(dialog, IDC_TOUR_ID, "t2");
    pressButton(dialog, IDOK);

    // A site selected: a new site of its tour.
    ASSERT_TRUE(run.selectRow(IDC_TOURS_VIEW, "Start"));
    run.post(ID_TOURS_ADD);
    dialog = run.waitForDialog("Site Item");
    ASSERT_NE(dialog, nullptr);
    expectWarningOnOk(run, dialog, IDS_SITE_NO_TITLE);
    typeInto(dialog, IDC_SITE_TITLE, "Quay");
    typeInto(dialog, IDC_SITE_HREF, "c1.htm#quay");
    pressButton(dialog, IDOK);

    // A tour keeps its id when edited.
    ASSERT_TRUE(run.selectRow(IDC_TOURS_VIEW, "Walk"));
    run.post(ID_TOURS_PROPERTIES);
    dialog = run.waitForDialog("Tour Item");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(controlText(dialog, IDC_TOUR_ID), "t1");
    typeInto(dialog, IDC_TOUR_TITLE, "Long Walk");
    pressButton(dialog, IDOK);
    EXPECT_EQ(run.rows(IDC_TOURS_VIEW),
              (Rows{"Long Walk", "  Start", "    c2.htm#s", "  Quay", "    c1.htm#quay", "Harbour"}));
    auto written = saved(run);
    ASSERT_EQ(written->tourCount, 2);
    EXPECT_STREQ(written->tours[0].title, "Long Walk");
    ASSERT_EQ(written->tours[0].siteCount, 2);
    EXPECT_STREQ(written->tours[0].sites[1].href, "c1.htm#quay");
    EXPECT_STREQ(written->tours[1].id, "t2");
}

TEST_F(ItemDialogsTest, AnAddIntoAFullSectionSaysSoAndAddsNothing) {
    std::string tours;
    // The table keeps one slot spare: 49 tours fill it.
    for (int i = 0; i < kTourSlots - 1; ++i)
        tours += "<tour id=\"t" + std::to_string(i) + "\" title=\"T\"></tour>";
    std::string full = kBook;
    full.replace(full.find("<tours>"), full.find("</tours>") - full.find("<tours>") + 8,
                 "<tours>" + tours + "</tours>");
    tmp.write("book.opf", full);
    MainWindowRun run(book);
    size_t before = run.rows(IDC_TOURS_VIEW).size();
    run.post(ID_TOURS_ADD);
    HWND dialog = run.waitForDialog("Tour Item");
    ASSERT_NE(dialog, nullptr);
    typeInto(dialog, IDC_TOUR_TITLE, "One too many");
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    MessageBoxSeen box = run.waitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "The Tours section is full: no more tours can be added.");
    pressButton(box.window, IDOK);
    // The dialog ends right after the warning.
    EXPECT_TRUE(pollUntil(kWaitMilliseconds, [&] { return !IsWindow(dialog); }));
    EXPECT_EQ(run.rows(IDC_TOURS_VIEW).size(), before);
}

}  // namespace
