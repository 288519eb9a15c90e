#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fuzz/WellFormed.h"
#include "model/Publication.h"
#include "publish/BuildDriver.h"
#include "publish/EpubBuild.h"
#include "tests/publish/BuildDriverRecords.h"
#include "tests/publish/EpubArchive.h"
#include "tests/publish/MergeTestSupport.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"

namespace {

struct Book {
    bool built = false;
    std::string message;
    std::vector<ArchiveEntry> entries;
    std::string notes;  // the reporter's messages, one per line

    std::string entry(const std::string& name) const {
        for (const ArchiveEntry& e : entries)
            if (e.name == "OEBPS/" + name || e.name == name) return e.bytes;
        return "";
    }
};

// Values of an attribute in order, as the build writes them (double quotes).
std::vector<std::string> valuesOf(const std::string& text, const std::string& key) {
    std::vector<std::string> values;
    for (size_t at = text.find(key + "=\""); at != std::string::npos; at = text.find(key + "=\"", at + 1)) {
        size_t start = at + key.size() + 2;
        values.push_back(text.substr(start, text.find('"', start) - start));
    }
    return values;
}

// The navigation's labels, each behind one ">" per level it is nested.
std::string navLabels(const std::string& nav) {
    std::string labels;
    int depth = 0;
    for (size_t at = 0; at < nav.size(); ++at) {
        if (nav.compare(at, 4, "<ol>") == 0) ++depth;
        if (nav.compare(at, 5, "</ol>") == 0) --depth;
        if (nav.compare(at, 9, "<a href=\"") != 0) continue;
        size_t start = nav.find('>', at) + 1;
        labels += (labels.empty() ? "" : "|") + std::string(size_t(depth - 1), '>') +
                  nav.substr(start, nav.find("</a>", start) - start);
    }
    return labels;
}

// The spine's files in reading order.
std::string spineNames(const std::string& opf) {
    std::vector<std::string> ids = valuesOf(opf, " id"), hrefs = valuesOf(opf, "href");
    std::string spine;
    for (const std::string& idref : valuesOf(opf, "idref")) {
        for (size_t i = 0; i + 1 < ids.size(); ++i)  // the first id is the book's identifier's
            if (ids[i + 1] == idref) spine += (spine.empty() ? "" : " ") + hrefs[i];
    }
    return spine;
}

std::string coverImage(const std::string& opf) {
    size_t at = opf.find("properties=\"cover-image\"");
    if (at == std::string::npos) return "";
    size_t item = opf.rfind("<item ", at);
    return valuesOf(opf.substr(item, at - item), "href").front();
}

Book publish(const TempFolder& tmp, const std::string& package, const std::string& cover = "") {
    auto publication = std::make_unique<Publication>();
    Book book;
    if (!publication->open(tmp.file(package).c_str())) return book.message = "unreadable package", book;
    RecordingReporter reporter;
    EpubOptions options;
    std::string target = tmp.file("book.epub");
    options.targetPath = target.c_str();
    options.coverPicture = cover.c_str();
    char message[kBuildMessageSize];
    book.built = buildEpub(*publication, options, reporter, message);
    book.message = message;
    for (const std::string& line : reporter.messages) book.notes += line + "\n";
    if (!book.built) return book;
    std::string problem;
    book.entries = archiveEntries(tmp.read("book.epub"), &problem);
    EXPECT_EQ(problem, "");
    return book;
}

// A package whose documents are files written beside it.
std::string packageOf(const std::string& head, const std::string& manifest, const std::string& spine,
                      const std::string& guide) {
    return "<?xml version=\"1.0\"?>\n<package unique-identifier=\"" + head + "\">\n<metadata>\n" +
           "<dc:Title>T &amp; U</dc:Title>\n</metadata>\n<manifest>\n" + manifest + "</manifest>\n<spine>\n" + spine +
           "</spine>\n<guide>\n" + guide + "</guide>\n</package>\n";
}

std::string item(const std::string& id, const std::string& href, const std::string& type = "text/x-oeb1-document") {
    return "<item id=\"" + id + "\" href=\"" + href + "\" media-type=\"" + type + "\"/>\n";
}

TEST(EpubBuild, EveryKindOfPackageBecomesAValidEpub) {
    struct Case {
        const char* name;
        std::string nav;
        std::string spine;
        std::string cover;
        std::string note;  // in the report; "" for a clean book
    } cases[] = {
        {"sample", "1. The Keeper's Log|2. The Night of the Storm|3. Morning on the Point|Afterword",
         "cover.xhtml toc.xhtml ch1.xhtml ch2.xhtml ch3.xhtml", "lantern.gif", ""},
        {"imported", "Chapter 1|Chapter 2", "cover-page.xhtml story_TOC.xhtml story_1.xhtml", "cover.png", ""},
        {"pandoc", "The Harbour|>At the Pier|The Storm|>After the Storm|Morning",
         "cover.xhtml title_page.xhtml ch001.xhtml ch002.xhtml ch003.xhtml", "cover.png", ""},
        {"headings", "One|>One one|>>Deep|>>One two|Two", "a.xhtml notes.xhtml b.xhtml", "",
         "1 internal link is unresolved\n  b.htm#nowhere in "},
        {"outside", "Inside", "in.xhtml", "", "1 picture reference is not converted"},
        {"other tool", "Two Rooms", "cover.xhtml one.xhtml two.xhtml", "", "2 spine entries are skipped"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder tmp;
        std::string package = "book.opf", cover;
        std::string name = c.name;
        if (name == "sample") {
            tmp.copySample();
            package = "lantern.opf";
        } else if (name == "imported") {
            // As the text import writes it, chapters in Windows-1252.
            tmp.write("story_cover.htm", "<?xml version=\"1.0\"?>\n<html>\n<head>\n</head>\n<body>Insert here the "
                                         "coverpage image</body>\n</html>");
            tmp.write("story_TOC.htm", "<html><body><a href=\"story_1.htm#Chap.1\">Chapter 1</a><br>\r\n"
                                       "<a href=\"story_1.htm#Chap.2\">Chapter 2</a><br></body></html>");
            tmp.write("story_1.htm", "<html><body>\r\n<H1><a name=\"Chap.1\"></A>Chapter 1</H1>\r\nCaf\xe9<BR>\r\n"
                                     "<H1><a name=\"Chap.2\"></A>Chapter 2</H1>\r\n\x93Quoted\x94<BR></body></html>");
            tmp.copyFrom("tests/publish/data/from-pandoc/media", {"cover.png"});
            cover = tmp.file("cover.png");
            tmp.write(package, packageOf("0(4:8)9*1(", item("cover", "story_cover.htm") + item("toc", "story_TOC.htm") +
                                              item("ContentFile_1", "story_1.htm"),
                                          "<itemref idref=\"cover\"/><itemref idref=\"toc\"/><itemref idref=\"ContentFile_1\"/>",
                                          "<reference type=\"toc\" title=\"Table Of Contents\" href=\"story_TOC.htm\"/>"));
        } else if (name == "pandoc") {
            for (const char* folder : {"text", "media", "styles"}) tmp.makeFolder(folder);
            tmp.copyFrom("tests/publish/data/from-pandoc",
                         {"content.opf", "nav.xhtml", "toc.ncx", "text\\cover.xhtml", "text\\title_page.xhtml",
                          "text\\ch001.xhtml", "text\\ch002.xhtml", "text\\ch003.xhtml", "media\\cover.png",
                          "media\\file0.jpg", "styles\\stylesheet1.css"});
            package = "content.opf";
        } else if (name == "headings") {
            // No guide, no identifier: the headings lead, and an identifier is made.
            tmp.copyFrom("tests/publish/data/from-pandoc/media", {"file0.jpg"});
            tmp.write("a.htm", "<h1>One</h1><p><img src=file0.jpg><h2>One one</h2><h4>Deep</h4><h3>One two</h3>"
                               "<a href=\"b.htm#nowhere\">x</a> <a href=\"b.htm#two\">y</a>");
            tmp.write("notes.txt", "Plain <text> & more\r\n");
            tmp.write("b.htm", "<body><h1 id=two>Two</h1></body>");
            tmp.write(package, packageOf("", item("a", "a.htm") + item("n", "notes.txt", "text/plain") +
                                                 item("b", "b.htm") + item("p", "file0.jpg", "image/jpeg"),
                                         "<itemref idref=\"a\"/><itemref idref=\"n\"/><itemref idref=\"b\"/>", ""));
        } else if (name == "other tool") {
            // Pictures that are no pictures, a spine entry that names nothing.
            tmp.copyFrom("tests/publish/data/other-tool",
                         {"book.opf", "cover.xhtml", "one.xhtml", "two.xhtml", "cover.jpg", "art.svg"});
        } else {
            // A picture beside the package's folder, not in it.
            tmp.makeFolder("book");
            tmp.copyFrom("tests/publish/data/from-pandoc/media", {"file0.jpg"});
            tmp.write("book\\in.htm", "<h1>Inside</h1><img src=\"../file0.jpg\" alt=\"Out\">");
            tmp.write("book\\book.opf", packageOf("u", item("in", "in.htm"), "<itemref idref=\"in\"/>", ""));
            package = "book\\book.opf";
        }
        Book book = publish(tmp, package, cover);
        ASSERT_TRUE(book.built) << book.message;
        ASSERT_GE(book.entries.size(), size_t(2));
        EXPECT_EQ(book.entries[0].name, "mimetype");
        EXPECT_EQ(book.entries[0].method, 0);
        EXPECT_EQ(book.entries[0].bytes, "application/epub+zip");
        std::string opf = book.entry("content.opf");
        EXPECT_EQ(navLabels(book.entry("nav.xhtml")), c.nav);
        EXPECT_EQ(spineNames(opf), c.spine);
        EXPECT_EQ(coverImage(opf), c.cover);
        if (c.note.empty()) {
            EXPECT_EQ(book.notes, "");
        } else {
            EXPECT_NE(book.notes.find(c.note), std::string::npos) << book.notes;
        }
        for (const ArchiveEntry& e : book.entries) {
            bool xml = e.name.ends_with(".xhtml") || e.name.ends_with(".opf") || e.name.ends_with(".ncx");
            WellFormedResult checked = xml ? checkWellFormed(e.bytes) : WellFormedResult();
            EXPECT_TRUE(checked.ok) << e.name << ": " << checked.problem;
            EXPECT_EQ(e.bytes.find("Insert here the coverpage image"), std::string::npos) << e.name;
        }
        std::string findings = "not run";
        if (!epubcheckFindings(tmp.file("book.epub"), tmp.path(), &findings)) findings = "";
        EXPECT_EQ(findings, "");
    }
}

TEST(EpubBuild, ABookWithoutAnIdentifierKeepsTheOneItIsGiven) {
    TempFolder tmp;
    tmp.write("a.htm", "<p>a</p>");
    tmp.write("book.opf", packageOf("", item("a", "a.htm"), "<itemref idref=\"a\"/>", ""));
    std::string first = valuesOf(publish(tmp, "book.opf").entry("toc.ncx"), "content").front();
    std::string second = valuesOf(publish(tmp, "book.opf").entry("toc.ncx"), "content").front();
    EXPECT_TRUE(first.starts_with("urn:uuid:")) << first;
    EXPECT_EQ(first.size(), size_t(45));
    EXPECT_EQ(second, first);
}

TEST(EpubBuild, AFailedOrStoppedBuildLeavesTheEarlierBookAsItWas) {
    class Stopping : public RecordingReporter {
    public:
        bool stopRequested() override { return true; }
    };
    struct Case {
        const char* spineHref;
        bool stop;
        const char* target;
        const char* message;
        FileFault fault = FileFault::none;
        uint64_t after = 0;  // bytes or calls the fault lets through
    } cases[] = {
        {"gone.htm", false, "book.epub", "gone.htm, referenced in the Manifest is not available"},
        {"a.htm", true, "book.epub", "was stopped"},
        {"a.htm", false, "missing\\book.epub", "could not be created"},
        {"a.htm", false, "book.epub", "Unable to write the EPUB", FileFault::write, 100},
        {"a.htm", false, "book.epub", "could not be replaced", FileFault::rename},
    };
    for (const Case& c : cases) {
        TempFolder tmp;
        tmp.write("a.htm", "<p>a</p>");
        tmp.write("book.epub", "earlier");
        tmp.write("book.opf", packageOf("u", item("a", c.spineHref), "<itemref idref=\"a\"/>", ""));
        auto publication = std::make_unique<Publication>();
        ASSERT_TRUE(publication->open(tmp.file("book.opf").c_str()));
        Stopping stopping;
        RecordingReporter going;
        EpubOptions options;
        std::string target = tmp.file(c.target);
        options.targetPath = target.c_str();
        char message[kBuildMessageSize];
        ScopedFileFault fault(c.fault, c.after, "No space left on device");
        EXPECT_FALSE(buildEpub(*publication, options, c.stop ? stopping : going, message));
        EXPECT_NE(std::string(message).find(c.message), std::string::npos) << message;
        EXPECT_EQ(tmp.read("book.epub").substr(0, 7), "earlier") << c.message;
        EXPECT_FALSE(tmp.exists("book.epub.saving"));
    }
}

// A package unpacked from an EPUB keeps its contents in the .prc too.
TEST(EpubBuild, APrcOfAnUnpackedEpubHasItsContentsLinkedFromTheGuide) {
    TempFolder tmp;
    for (const char* folder : {"text", "media", "styles"}) tmp.makeFolder(folder);
    tmp.copyFrom("tests/publish/data/from-pandoc",
                 {"content.opf", "nav.xhtml", "text\\cover.xhtml", "text\\title_page.xhtml", "text\\ch001.xhtml",
                  "text\\ch002.xhtml", "text\\ch003.xhtml"});
    // A navigation document outside the package's folder is left out.
    TempFolder elsewhere;
    elsewhere.copyFrom("tests/publish/data/from-pandoc", {"nav.xhtml"});
    std::string package = tmp.read("content.opf"), outside = package;
    for (size_t at; (at = outside.find("\"nav.xhtml\"")) != std::string::npos;)
        outside.replace(at + 1, 9, elsewhere.file("nav.xhtml"));
    tmp.write("content.opf", outside);
    RecordingReporter left;
    ASSERT_EQ(batchBuild(tmp.file("content.opf").c_str(), {}, left), 0);
    EXPECT_EQ(decodedText(recordsOf(tmp.read("content.prc"))).find("Salt &amp; Iron</H2>"), std::string::npos);
    std::string said;
    for (const std::string& message : left.messages) said += message;
    EXPECT_NE(said.find("nav.xhtml is left out: it lies outside"), std::string::npos) << said;

    tmp.write("content.opf", package);
    RecordingReporter reporter;
    ASSERT_EQ(batchBuild(tmp.file("content.opf").c_str(), {}, reporter), 0);
    for (const std::string& message : reporter.messages) EXPECT_EQ(message.find("unresolved"), std::string::npos);
    std::string text = decodedText(recordsOf(tmp.read("content.prc")));
    size_t contents = text.find("<H2>Salt &amp; Iron</H2>");
    ASSERT_NE(contents, std::string::npos) << text;
    // The guide's reference leads to the page (its body begins with a line
    // feed), and every entry is there, its link resolved (nothing reported).
    EXPECT_EQ(std::stoul(valuesOf(text, "filepos").at(0)), contents - 1);
    for (const char* label : {"The Harbour", "At the Pier", "The Storm", "After the Storm", "Morning"})
        EXPECT_NE(text.find(std::string(">") + label + "</A>", contents), std::string::npos) << label;
}

}  // namespace
