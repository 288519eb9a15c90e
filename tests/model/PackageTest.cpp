#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/OutputBuffer.h"
#include "model/Publication.h"
#include "model/Text.h"
#include "tests/model/PublicationText.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kHead =
    "<?xml version=\"1.0\"?>\r\n"
    "<!DOCTYPE package PUBLIC \"+//ISBN 0-9673008-1-9//DTD OEB 1.0 Package//EN\" \"oebpkg1.dtd\">\r\n";

std::string sections(const std::string& metadata, const std::string& manifest, const std::string& spine,
                     const std::string& tours, const std::string& guide) {
    return "<metadata>\r\n" + metadata + "</metadata>\r\n<manifest>\r\n" + manifest +
           "</manifest>\r\n<spine>\r\n" + spine + "</spine>\r\n<tours>\r\n" + tours +
           "</tours>\r\n<guide>\r\n" + guide + "</guide>\r\n";
}

class PackageTest : public ::testing::Test {
protected:
    bool openText(const std::string& text) {
        tmp.write("book.opf", text);
        return read->open(tmp.file("book.opf").c_str());
    }
    std::string saved(Publication& publication) {
        EXPECT_TRUE(publication.save(tmp.file("out.opf").c_str()));
        return tmp.read("out.opf");
    }
    TempFolder tmp;
    std::unique_ptr<Publication> book = std::make_unique<Publication>();
    std::unique_ptr<Publication> read = std::make_unique<Publication>();
};

TEST_F(PackageTest, EveryRecordIsOneLineInTableOrderAndMarkupCharactersAreEscaped) {
    copyText(book->uniqueIdentifier, "BookId");
    book->addMetadata("dc:Title", "Tom & \"Jerry\" Part <2>");
    book->addMetadata("dc:Creator", "Ann");
    book->addManifestItem("c1", "ch1.htm", "text/x-oeb1-document");
    book->addManifestItem("pic", "images\\a.gif", "image/gif");
    book->addSpineItem("c1");
    book->addTour("t1", "Walk");
    book->addTourSite(&book->tours[0], "Start", "ch1.htm#s");
    book->addTour("t2", "Empty");
    book->addGuideReference("Contents", "toc.htm", "toc");
    const std::string text = saved(*book);
    EXPECT_EQ(text,
              kHead + "<package unique-identifier=\"BookId\">\r\n" +
                  sections("<dc:Title>Tom &amp; \"Jerry\" Part "
                           "&lt;2&gt;</dc:Title>\r\n<dc:Creator>Ann</dc:Creator>\r\n",
                           "<item id=\"c1\" href=\"ch1.htm\" media-type=\"text/x-oeb1-document\"/>\r\n"
                           "<item id=\"pic\" href=\"images\\a.gif\" media-type=\"image/gif\"/>\r\n",
                           "<itemref idref=\"c1\"/>\r\n",
                           "<tour id=\"t1\" title=\"Walk\">\r\n<site title=\"Start\" href=\"ch1.htm#s\"/>\r\n"
                           "</tour>\r\n<tour id=\"t2\" title=\"Empty\">\r\n</tour>\r\n",
                           "<reference type=\"toc\" title=\"Contents\" href=\"toc.htm\"/>\r\n") +
                  "</package>\r\n");
    // What was read saves to the same bytes: every record came back whole.
    ASSERT_TRUE(read->open(tmp.file("out.opf").c_str()));
    EXPECT_EQ(read->spine[0].manifestItem, &read->manifest[0]);
    EXPECT_EQ(saved(*read), text);
}

TEST_F(PackageTest, DeletedRecordsLeaveNoLineButTheirSpineReferencesStay) {
    book->addManifestItem("a", "a.htm", "t");
    book->addManifestItem("b", "b.htm", "t");
    book->addSpineItem("a");
    book->addSpineItem("b");
    book->deleteManifestItem(&book->manifest[0]);
    book->spine[1].state = kDeleted;
    book->addMetadata("dc:Title", "x");
    book->deleteMetadata(&book->metadata[0]);
    std::string text = saved(*book);
    EXPECT_EQ(text.find("id=\"a\""), std::string::npos);
    EXPECT_NE(text.find("<itemref idref=\"a\"/>"), std::string::npos);
    EXPECT_EQ(text.find("idref=\"b\""), std::string::npos);
    EXPECT_EQ(text.find("dc:Title"), std::string::npos);
}

TEST_F(PackageTest, SaveSetsPathAndFolderAndAFailureAtAnyStepLeavesTheOldFileWhole) {
    tmp.write("out.opf", "old package");
    book->addMetadata("dc:Title", "New");
    const std::pair<FileFault, const char*> faults[] = {{FileFault::create, "out.opf"},
                                                        {FileFault::write, "out.opf"},
                                                        {FileFault::close, "out.opf"},
                                                        {FileFault::flush, "out.opf"},
                                                        {FileFault::rename, "out.opf"},
                                                        {FileFault::none, "missing\\out.opf"}};
    for (const auto& [kind, name] : faults) {
        ScopedFileFault fault(kind, 0, "Input/output error");
        EXPECT_FALSE(book->save(tmp.file(name).c_str())) << name;
        EXPECT_EQ(tmp.read("out.opf"), "old package");
        // Nothing is left beside a package that could not be written.
        EXPECT_FALSE(tmp.exists("out.opf.saving"));
    }
    ASSERT_TRUE(book->save(tmp.file("out.opf").c_str()));
    EXPECT_EQ(std::string(book->path), tmp.file("out.opf"));
    EXPECT_EQ(std::string(book->folder), tmp.path());
    EXPECT_NE(tmp.read("out.opf").find("<dc:Title>New</dc:Title>"), std::string::npos);
}

TEST_F(PackageTest, MalformedOrOverfullPackagesAreRefused) {
    const std::string open = kHead + "<package unique-identifier=\"x\">";
    const std::string longValue(300, 'v');
    // The package, and why it is refused ("" when it opens).
    const std::pair<std::string, std::string> cases[] = {
        {"junk before " + open + "\r\n</package>", ""},
        // The XML declaration is optional.
        {"<!-- c -->" + open + "</package>", ""},
        {"<package unique-identifier=\"x\"></package>", ""},
        // The package needs its identifier and its end tag.
        {kHead + "<package></package>", "missing unique-identifier on package 1"},
        {open + sections("", "", "", "", ""), "no </package>"},
        {open + "<manifest></package>", "no </manifest>"},
        {open + "<manifest><item id=a " + std::string(6000, 'x') + "/></manifest></package>",
         "a tag in <manifest> is longer than 5120 bytes"},
        // Required attributes, whole.
        {open + "<manifest><item id=\"a\" href=\"a\"/></manifest></package>", "missing media-type on item 1"},
        {open + "<manifest><item id=a href=a media-type=t/><item id=\"b\" href=\"" + longValue +
             "\" media-type=\"t\"/></manifest>",
         "the href of item 2 is longer than 255 characters"},
        {open + "<spine><itemref id=\"a\"/></spine></package>", "missing idref on itemref 1"},
        {open + "<guide><reference title=\"a\" href=\"b\"/></guide></package>", "missing type on reference 1"},
        {open + "<guide><reference type=t title=\"" + longValue + "\" href=b/></guide></package>",
         "the title of reference 1 is longer than 255 characters"},
        {open + "<tours><tour id=\"a\"></tour></tours></package>", "missing title on tour 1"},
        {open + "<metadata><dc:Rights>" + std::string(kValueSize, 'r') + "</dc:Rights></metadata></package>",
         "the value of dc:Rights is longer than 8191 characters"},
    };
    for (const auto& [text, why] : cases) {
        read->clear();
        EXPECT_EQ(openText(text), why.empty()) << text.substr(0, 200);
        EXPECT_EQ(std::string(read->readFailure).substr(0, why.size()), why) << text.substr(0, 200);
    }
    EXPECT_FALSE(read->open(tmp.file("none.opf").c_str()));
    EXPECT_EQ(std::string(read->folder), tmp.path());
}

TEST_F(PackageTest, ReadingIsLenientWhereTheFormatAllowsIt) {
    const std::string open = kHead + "<package unique-identifier=\"x\">";
    const std::string utf8 =
        "<package unique-identifier=\"x\"><metadata><dc:title>Caf\xC3\xA9 \xCE\xA9</dc:title></metadata>"
        "<manifest><item id=\"\xC3\xA9\" href=\"\xC3\xA9.htm\" media-type=\"t\"/></manifest>"
        "<guide><reference type=\"t\" title=\"\xC3\xA9\" href=\"\xC3\xA9.htm\"/></guide></package>";
    const std::pair<std::string, std::string> cases[] = {
        // Metadata names are stored as spelled, values without line ends and
        // cut to their field; wrappers and unknown elements are passed over.
        {open +
             "<metadata><dc-metadata><DC:TITLE lang=\"en\">Two\r\nlines &amp; more</DC:TITLE><x-meta>skip"
             "</x-meta><dc:creator>Ann</dc:creator></dc-metadata></metadata><metadata><dc:Description>" +
             std::string(3000, 'd') + "</dc:Description></metadata></package>",
         "uid=x M:dc:Title=Twolines & more M:dc:Creator=Ann M:dc:Description=" + std::string(3000, 'd')},
        // Spine references in another case resolve and duplicates are kept;
        // sections come in any order and repeat.
        {open +
             "<spine><itemref idref=\"I0\"/><itemref idref=\"i0\"/></spine><manifest><item id=\"i0\" "
             "href=\"a\" media-type=\"t\"/></manifest><manifest><item id=\"i1\" href=\"b\" media-type=\"t\"/>"
             "</manifest></package>",
         "uid=x I:i0,a,t I:i1,b,t S:I0>0 S:i0>0"},
        // An empty element starts no section.
        {open + "<manifest/><item id=\"a\" href=\"b\" media-type=\"c\"/></package>", "uid=x"},
        // A tour whose site lacks an attribute is not kept.
        {open + "<tours><tour id=\"bad\" title=\"B\"><site title=\"s\"/></tour><tour id=\"good\" title=\"G\">"
                "<site title=\"s\" href=\"h\"/></tour></tours></package>",
         "uid=x T:good,G s:s,h"},
        // A package declared UTF-8 (by its declaration or a byte-order mark)
        // has its texts converted; addresses and ids stay as written.
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + utf8,
         "uid=x M:dc:Title=Caf\xE9 &#937; I:\xC3\xA9,\xC3\xA9.htm,t G:t,\xE9,\xC3\xA9.htm"},
        {"\xEF\xBB\xBF" + utf8,
         "uid=x M:dc:Title=Caf\xE9 &#937; I:\xC3\xA9,\xC3\xA9.htm,t G:t,\xE9,\xC3\xA9.htm"},
        {kHead + utf8,
         "uid=x M:dc:Title=Caf\xC3\xA9 \xCE\xA9 I:\xC3\xA9,\xC3\xA9.htm,t G:t,\xC3\xA9,\xC3\xA9.htm"},
    };
    for (const auto& [text, expected] : cases) {
        read->clear();
        ASSERT_TRUE(openText(text)) << text.substr(0, 200);
        EXPECT_EQ(describe(*read), expected);
    }
}

class OutputBufferTest : public ::testing::Test {
protected:
    TempFolder tmp;
    OutputBuffer out;
};

TEST_F(OutputBufferTest, SmallWritesWaitForAFullBufferAndLargeBlocksGoOutWhole) {
    ASSERT_TRUE(out.open(tmp.file("page.htm").c_str()));
    uint64_t before = fileCallCounts().writeCalls;
    for (int i = 0; i < 8191; ++i) ASSERT_TRUE(out.write("x", 1));
    EXPECT_EQ(fileCallCounts().writeCalls, before);
    EXPECT_TRUE(out.write("y", 1));
    EXPECT_EQ(fileCallCounts().writeCalls, before + 2);
    EXPECT_EQ(out.used, 0u);
    EXPECT_TRUE(out.writeString("head "));
    std::string block(10000, 'b');
    before = fileCallCounts().writeCalls;
    EXPECT_TRUE(out.write(block.data(), static_cast<uint32_t>(block.size())));
    EXPECT_EQ(fileCallCounts().writeCalls, before + 2);
    EXPECT_TRUE(out.writeString(" tail"));
    EXPECT_TRUE(out.close());
    EXPECT_EQ(tmp.read("page.htm"), std::string(8191, 'x') + "yhead " + block + " tail");
}

}  // namespace
