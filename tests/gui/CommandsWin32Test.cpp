// Each command opens its window, and what its OK takes reaches the document
// and the view that shows it; the dialogs' checks, lists and rules are tested
// natively (ItemChoicesTest, NewPublicationTest). Also what only these
// windows do: a warning that keeps a dialog or ends it, Cancel, and their
// file dialogs.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "GuiHarness.h"
#include "QuireboundVersion.h"
#include "model/Publication.h"
#include "tests/support/TempFolder.h"

namespace {

using Rows = std::vector<std::string>;
using Texts = std::vector<std::pair<int, std::string>>;

const Rows kManifest = {"c1", "  text/c1.htm#part2", "c2", "  c2.htm"};
const Rows kMetadata = {"dc:Title", "  Harbour Book", "dc:Creator", "  A. Writer"};
const Rows kTours = {"Walk", "  Start", "    c2.htm#s", "  End", "    text/c1.htm"};

Rows plus(Rows rows, const Rows& more) {
    rows.insert(rows.end(), more.begin(), more.end());
    return rows;
}

using CommandsTest = GuiTest;

TEST_F(CommandsTest, EachCommandOpensItsWindowAndItsOkReachesTheDocument) {
    struct Opened {
        int tab;
        const char* selected;  // the row chosen first, or null
        int command;           // 0: a double click on that row
        const char* caption;
        Texts shown;  // what the window shows when it opens
        Texts typed;
        Rows rows;               // the tab's view after OK; empty: nothing to show
        std::string saved = "";  // a text the package holds when saved; empty: not saved
        int button = IDOK;
    };
    const std::string version = "Quirebound Publisher, version " QB_VERSION;
    // clang-format off
    const Opened cases[] = {
        {0, nullptr, ID_EDIT_ADD, "Manifest Item", {{IDC_MANIFEST_ID, ""}},
            {{IDC_MANIFEST_ID, "c3"}, {IDC_MANIFEST_HREF, "c3.htm"}, {IDC_MANIFEST_TYPE, "text/html"}},
            plus(kManifest, {"c3", "  c3.htm"}), "<item id=\"c3\" href=\"c3.htm\" media-type=\"text/html\"/>"},
        // A picture's type follows its name.
        {0, nullptr, ID_EDIT_ADD, "Manifest Item", {}, {{IDC_MANIFEST_ID, "map"}, {IDC_MANIFEST_HREF, "map.gif"}},
            plus(kManifest, {"map", "  map.gif"}), "<item id=\"map\" href=\"map.gif\" media-type=\"image/gif\"/>"},
        {0, "c2.htm", ID_MANIFEST_PROPERTIES, "Manifest Item",
            {{IDC_MANIFEST_HREF, "c2.htm"}, {IDC_MANIFEST_TYPE, "text/x-oeb1-document"}},
            {{IDC_MANIFEST_ID, "second"}}, {"c1", "  text/c1.htm#part2", "second", "  c2.htm"}},
        {1, nullptr, ID_EDIT_ADD, "Spine Item", {}, {{IDC_SPINE_IDREF, "c2"}}, {"c1", "c2"}},
        {2, nullptr, ID_METADATA_ADD, "MetaData Item", {},
            {{IDC_METADATA_NAME, "dc:Publisher"}, {IDC_METADATA_VALUE, "Harbour Press"}},
            plus(kMetadata, {"dc:Publisher", "  Harbour Press"})},
        // The entry's name comes chosen in the list.
        {2, "A. Writer", 0, "MetaData Item", {{IDC_METADATA_NAME, "dc:Creator"}},
            {{IDC_METADATA_VALUE, "B. Writer"}}, {"dc:Title", "  Harbour Book", "dc:Creator", "  B. Writer"}},
        // A type typed by hand is kept.
        {4, nullptr, ID_EDIT_ADD, "Guide Item", {},
            {{IDC_GUIDE_TITLE, "Map"}, {IDC_GUIDE_HREF, "map.htm"}, {IDC_GUIDE_TYPE, "x-map"}},
            {"Contents", "  c2.htm", "Map", "  map.htm"}, "type=\"x-map\""},
        {4, "Contents", ID_EDIT_PROPERTIES, "Guide Item", {{IDC_GUIDE_TYPE, "toc"}}, {{IDC_GUIDE_TITLE, "Index"}},
            {"Index", "  c2.htm"}},
        {3, "Start", ID_TOURS_ADD, "Site Item", {{IDC_SITE_TITLE, ""}},
            {{IDC_SITE_TITLE, "Quay"}, {IDC_SITE_HREF, "c1.htm#quay"}}, plus(kTours, {"  Quay", "    c1.htm#quay"})},
        {3, "Walk", ID_TOURS_PROPERTIES, "Tour Item", {{IDC_TOUR_ID, "t1"}}, {{IDC_TOUR_TITLE, "Long Walk"}},
            {"Long Walk", "  Start", "    c2.htm#s", "  End", "    text/c1.htm"}},
        {3, "End", ID_EDIT_PROPERTIES, "Site Item", {{IDC_SITE_HREF, "text/c1.htm"}}, {{IDC_SITE_TITLE, "Finish"}},
            {"Walk", "  Start", "    c2.htm#s", "  Finish", "    text/c1.htm"}},
        // The package it creates, with the pages whose boxes are ticked, opens.
        {0, nullptr, ID_FILE_NEW, "New Open-eBook Publication...",
            {{IDC_NEW_NAME, ""}, {IDC_NEW_ADD_TOC, "[x]"}, {IDC_NEW_ADD_COVER, "[x]"}, {IDC_NEW_ADD_BIOGRAPHY, "[ ]"}},
            {{IDC_NEW_NAME, "Tide Tables"}, {IDC_NEW_AUTHOR, "M. Harbour"}, {IDC_NEW_TARGET, tmp.file("tides")},
             {IDC_NEW_ADD_TOC, "[ ]"}, {IDC_NEW_ADD_BIOGRAPHY, "[x]"}},
            {"cover", "  cover.htm", "bio", "  bio.htm"}},
        {0, nullptr, ID_HELP_ABOUT, "About Quirebound Publisher...", {{IDC_ABOUT_VERSION, version}}, {}, {}},
        {0, nullptr, ID_HELP_ABOUT, "About Quirebound Publisher...", {}, {}, {}, "", IDCANCEL},
    };
    // clang-format on
    for (const Opened& c : cases) {
        SCOPED_TRACE(c.caption);
        tmp.write("book.opf", kGuiBook);
        MainWindowRun run(book);
        int view = kViewOfTab[c.tab];
        ASSERT_TRUE(run.clickTab(c.tab));
        if (c.command == 0) {
            run.doubleClickRow(view, c.selected);
        } else {
            EXPECT_TRUE(c.selected == nullptr || run.selectRow(view, c.selected));
            run.post(c.command);
        }
        HWND dialog = run.waitForDialog(c.caption);
        for (const auto& [control, text] : c.shown) EXPECT_EQ(controlText(dialog, control), text) << control;
        for (const auto& [control, text] : c.typed) typeInto(dialog, control, text);
        pressButton(dialog, c.button);
        EXPECT_EQ(c.rows.empty() ? c.rows : run.rows(view), c.rows);
        EXPECT_TRUE(c.saved.empty() || run.command(ID_FILE_SAVE)) << c.saved;
        EXPECT_TRUE(c.saved.empty() || tmp.read("book.opf").find(c.saved) != std::string::npos) << c.saved;
    }
}

TEST_F(CommandsTest, AFailedCheckKeepsTheDialogAndAFullSectionEndsIt) {
    // The table keeps one slot spare: 49 tours fill it.
    std::string tours;
    for (int i = 0; i < kTourSlots - 1; ++i)
        tours += "<tour id=\"t" + std::to_string(i) + "\" title=\"T\"></tour>";
    std::string full = kGuiBook;
    size_t from = full.find("<tours>");
    tmp.write("book.opf",
              full.replace(from, full.find("</tours>") + 8 - from, "<tours>" + tours + "</tours>"));
    MainWindowRun run(book);
    size_t before = run.rows(IDC_TOURS_VIEW).size();
    run.post(ID_TOURS_ADD);
    HWND dialog = run.waitForDialog("Tour Item");
    click(dialog, IDOK);
    EXPECT_EQ(run.answerBox(IDOK), "Warning (warning): " + loadString(IDS_TOUR_NO_TITLE));
    EXPECT_TRUE(IsWindow(dialog));
    typeInto(dialog, IDC_TOUR_TITLE, "One too many");
    click(dialog, IDOK);
    EXPECT_EQ(run.answerBox(IDOK), "Warning (warning): " + loadString(IDS_TOURS_FULL));
    EXPECT_TRUE(isGone(dialog));
    EXPECT_EQ(run.rows(IDC_TOURS_VIEW).size(), before);
}

TEST_F(CommandsTest, BrowsingGivesAPathRelativeToThePackageOnlyBelowItsFolderAndCancelKeepsNothing) {
    tmp.makeFolder("text");
    tmp.write("text\\c1.htm", "<body>one</body>");
    TempFolder elsewhere;
    elsewhere.write("pic.gif", "GIF89a");
    MainWindowRun run(book);
    run.post(ID_MANIFEST_ADD);
    HWND dialog = run.waitForDialog("Manifest Item");
    for (auto [chosen, shown] : {std::pair{tmp.file("text\\c1.htm"), std::string("text\\c1.htm")},
                                 std::pair{elsewhere.file("pic.gif"), elsewhere.file("pic.gif")}}) {
        click(dialog, IDC_MANIFEST_BROWSE);
        answerFileDialog(run.waitForFileDialog(), chosen);
        EXPECT_EQ(controlText(dialog, IDC_MANIFEST_HREF), shown);
    }
    typeInto(dialog, IDC_MANIFEST_ID, "c3");
    pressButton(dialog, IDCANCEL);
    // Cancel changed nothing: leaving asks no question.
    run.post(ID_FILE_EXIT);
    EXPECT_TRUE(run.waitForEnd());
}

}  // namespace
