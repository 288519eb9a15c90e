// Markup characters in names and values survive a save and a read whole.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/Publication.h"
#include "model/Text.h"
#include "tests/model/PublicationText.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(PackageEscapingTest, EveryFieldReadsBackAsItWasSaved) {
    TempFolder tmp;
    const struct {
        const char* value;
        const char* written;
    } cases[] = {
        {"Salt & Iron <Vol. 2>", "Salt &amp; Iron &lt;Vol. 2&gt;"},
        {"say \"when\".htm", "say &quot;when&quot;.htm"},
        {"&amp; stays &amp;", "&amp;amp; stays &amp;amp;"},
        // Beyond ASCII, references; those the 8-bit text holds characters by stay.
        {"Caf\xE9 \x80\x81", "Caf&#233; &#8364;&#129;"},
        {"&#7992;&#x1F600; &#233;&#8364;&#55296;", "&#7992;&#x1F600; &amp;#233;&amp;#8364;&amp;#55296;"},
    };
    for (const auto& [value, written] : cases) {
        auto book = std::make_unique<Publication>();
        copyText(book->uniqueIdentifier, value);
        book->addMetadata("dc:Title", value);
        book->addManifestItem(value, value, value);
        book->addSpineItem(value);
        book->addTour(value, value);
        book->addTourSite(&book->tours[0], value, value);
        book->addGuideReference(value, value, value);
        book->resolveSpine();
        ASSERT_TRUE(book->save(tmp.file("book.opf").c_str()));
        EXPECT_NE(tmp.read("book.opf").find(std::string("<item id=\"") + written + "\""), std::string::npos);
        auto read = std::make_unique<Publication>();
        ASSERT_TRUE(read->open(tmp.file("book.opf").c_str())) << value;
        EXPECT_EQ(describe(*read), describe(*book));
    }
}

TEST(PackageEscapingTest, TheReaderDecodesNamedAndNumericReferencesOnly) {
    struct Case {
        const char* written;
        const char* read;
    } cases[] = {
        {"&lt;&gt;&amp;&quot;&apos;", "<>&\"'"},
        {"A&#38;B &#x3C;C&#X3e;", "A&B <C>"},
        {"&nbsp;&copy;", "&nbsp;&copy;"},
        {"&#0; &#256; &#x; &#38", "&#0; &#256; &#x; &#38"},
        {"fish & chips", "fish & chips"},
        {"&amp;lt;", "&lt;"},
        {"&#8364;&#x2014;&#7992;&#x1F600;", "\x80\x97&#7992;&#x1F600;"},
    };
    TempFolder tmp;
    for (const Case& c : cases) {
        tmp.write("book.opf", std::string("<?xml version=\"1.0\"?>\r\n<package unique-identifier=\"x\">\r\n"
                                          "<metadata>\r\n<dc:Title>") +
                                  c.written +
                                  "</dc:Title>\r\n</metadata>\r\n<guide>\r\n<reference type=\"t\" title=\"" +
                                  c.written + "\" href=\"a.htm\"/>\r\n</guide>\r\n</package>\r\n");
        auto read = std::make_unique<Publication>();
        ASSERT_TRUE(read->open(tmp.file("book.opf").c_str())) << c.written;
        EXPECT_STREQ(read->metadata[0].value, c.read);
        EXPECT_STREQ(read->guide[0].title, c.read);
    }
}

TEST(PackageEscapingTest, LongValuesReadBackWholeOrAreNotSaved) {
    TempFolder tmp;
    std::string title;
    for (int i = 0; i < 300; ++i) title += "a&<";
    auto book = std::make_unique<Publication>();
    book->addMetadata("dc:Title", title.c_str());
    book->addGuideReference(std::string(240, 't').c_str(), "a.htm", "toc");
    ASSERT_TRUE(book->save(tmp.file("book.opf").c_str()));
    auto read = std::make_unique<Publication>();
    ASSERT_TRUE(read->open(tmp.file("book.opf").c_str()));
    EXPECT_EQ(std::string(read->metadata[0].value), title);

    // Three quotation marks take the title past what the reader takes.
    copyText(book->guide[0].title, (std::string(240, 't') + "\"\"\"").c_str());
    EXPECT_EQ(book->valueTooLongToReadBack(), book->guide[0].title);
    EXPECT_FALSE(book->save(tmp.file("book.opf").c_str()));
    ASSERT_TRUE(read->open(tmp.file("book.opf").c_str()));
    EXPECT_EQ(std::string(read->guide[0].title), std::string(240, 't'));
}

}  // namespace
