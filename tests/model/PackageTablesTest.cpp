// A package with more records than a table holds is refused, never cut, so
// that saving it again cannot write records away.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "model/Publication.h"
#include "tests/support/TempFolder.h"

namespace {

std::string repeated(int count, const std::function<std::string(int)>& record) {
    std::string text;
    for (int i = 0; i < count; ++i) text += record(i);
    return text;
}

std::string package(const std::string& body) {
    return "<?xml version=\"1.0\"?>\r\n<package unique-identifier=\"x\">\r\n" + body + "</package>\r\n";
}

TEST(PackageTablesTest, AFullTableRefusesTheOpenAndSaysWhichTable) {
    auto tour = [](int i) { return "<tour id=\"t" + std::to_string(i) + "\" title=\"T\">\r\n</tour>\r\n"; };
    auto site = [](int i) { return "<site title=\"s" + std::to_string(i) + "\" href=\"a.htm\"/>\r\n"; };
    auto item = [](int i) {
        return "<item id=\"i" + std::to_string(i) + "\" href=\"a.htm\" media-type=\"text/html\"/>\r\n";
    };
    auto reference = [](int i) {
        return "<reference type=\"t\" title=\"r" + std::to_string(i) + "\" href=\"a.htm\"/>\r\n";
    };
    auto subject = [](int) { return std::string("<dc:Subject>s</dc:Subject>\r\n"); };
    auto itemref = [](int i) { return "<itemref idref=\"i" + std::to_string(i) + "\"/>\r\n"; };
    struct Case {
        const char* table;
        int held;
        std::function<std::string(int)> body;
        std::function<int32_t(const Publication&)> count;
    } cases[] = {
        {"tours", 49, [&](int n) { return "<tours>\r\n" + repeated(n, tour) + "</tours>\r\n"; },
         [](const Publication& p) { return p.tourCount; }},
        {"sites", 49,
         [&](int n) {
             return "<tours>\r\n<tour id=\"t\" title=\"T\">\r\n" + repeated(n, site) +
                    "</tour>\r\n</tours>\r\n";
         },
         [](const Publication& p) { return p.tourCount == 1 ? p.tours[0].siteCount : -1; }},
        {"manifest", 499, [&](int n) { return "<manifest>\r\n" + repeated(n, item) + "</manifest>\r\n"; },
         [](const Publication& p) { return p.manifestCount; }},
        {"metadata", 49, [&](int n) { return "<metadata>\r\n" + repeated(n, subject) + "</metadata>\r\n"; },
         [](const Publication& p) { return p.metadataCount; }},
        {"spine", 499, [&](int n) { return "<spine>\r\n" + repeated(n, itemref) + "</spine>\r\n"; },
         [](const Publication& p) { return p.spineCount; }},
        {"guide", 99, [&](int n) { return "<guide>\r\n" + repeated(n, reference) + "</guide>\r\n"; },
         [](const Publication& p) { return p.guideCount; }},
    };
    TempFolder tmp;
    for (const Case& c : cases) {
        auto read = std::make_unique<Publication>();
        tmp.write("full.opf", package(c.body(c.held)));
        ASSERT_TRUE(read->open(tmp.file("full.opf").c_str())) << c.table;
        EXPECT_STREQ(read->readFailure, "");
        // What a full table holds is saved and read back whole.
        ASSERT_TRUE(read->save(tmp.file("again.opf").c_str()));
        auto again = std::make_unique<Publication>();
        ASSERT_TRUE(again->open(tmp.file("again.opf").c_str())) << c.table;
        EXPECT_EQ(c.count(*read), c.held) << c.table;
        EXPECT_EQ(c.count(*again), c.held) << c.table;

        tmp.write("over.opf", package(c.body(c.held + 1)));
        auto over = std::make_unique<Publication>();
        EXPECT_FALSE(over->open(tmp.file("over.opf").c_str())) << c.table;
        EXPECT_NE(std::string(over->readFailure).find(std::string("the ") + c.table + " table"),
                  std::string::npos)
            << over->readFailure;
    }
}

}  // namespace
