#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/NewPublicationFiles.h"
#include "editor/NewPublicationForm.h"
#include "model/Files.h"
#include "model/Publication.h"
#include "model/ShortDate.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"
#include "tests/support/TempFolder.h"

namespace {

// The manifest, spine and guide of a package, one line a record, in table order.
std::string describe(const Publication& read) {
    std::string text;
    for (int i = 0; i < read.manifestCount; ++i)
        text += std::string("item ") + read.manifest[i].id + " " + read.manifest[i].href + " " +
                read.manifest[i].mediaType + "\n";
    for (int i = 0; i < read.spineCount; ++i) text += std::string("itemref ") + read.spine[i].idref + "\n";
    for (int i = 0; i < read.guideCount; ++i)
        text += std::string("reference ") + read.guide[i].type + " " + read.guide[i].title + " " +
                read.guide[i].href + "\n";
    return text;
}

std::string today() {
    char date[1024];
    EXPECT_TRUE(todayShortDate(date, sizeof date));
    return date;
}

TEST(NewPublicationTest, WritesTheChosenPagesAndAPackageListingThem) {
    struct Case {
        bool toc, cover, bio;
        const char* records;
    } const cases[] = {
        {true, true, true,
         "item cover cover.htm text/x-oeb1-document\nitem toc toc.htm text/x-oeb1-document\n"
         "item bio bio.htm text/x-oeb1-document\nitemref cover\nitemref toc\nitemref bio\n"
         "reference toc Table Of Contents toc.htm\nreference bio Biography bio.htm\n"},
        {false, false, false, ""},
        // The cover alone is listed and read, but has no guide reference.
        {false, true, false, "item cover cover.htm text/x-oeb1-document\nitemref cover\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.records);
        TempFolder tmp;
        tmp.write("toc.htm", "old");
        std::string target = tmp.file("new");
        // The name is text in the pages and the package: both escape it.
        NewPublicationChoices choices{"A<&", "Ann", target.c_str(), c.toc, c.cover, c.bio};
        char packagePath[256];
        ASSERT_TRUE(writeNewPublication(choices, packagePath));
        EXPECT_EQ(std::string(packagePath), tmp.file("new.opf"));
        auto read = std::make_unique<Publication>();
        ASSERT_TRUE(read->open(packagePath));
        EXPECT_EQ(describe(*read), c.records);
        EXPECT_NE(tmp.read("new.opf").find(
                      "<metadata>\r\n<dc:Title>A&lt;&amp;</dc:Title>\r\n<dc:Creator>Ann</dc:Creator>\r\n"
                      "<dc:Date>" +
                      today() + "</dc:Date>\r\n</metadata>"),
                  std::string::npos);
        EXPECT_EQ(tmp.read("toc.htm").find("Table Of Contents") != std::string::npos, c.toc);
        EXPECT_EQ(tmp.exists("cover.htm"), c.cover);
        EXPECT_EQ(tmp.exists("bio.htm"), c.bio);
        EXPECT_TRUE(!c.cover ||
                    tmp.read("cover.htm").find("<h1 align=\"center\">A&lt;&amp;</h1>") != std::string::npos);
        EXPECT_TRUE(!c.bio || tmp.read("bio.htm").find("<h2 align=\"center\">Ann</h2>") != std::string::npos);
    }
}

NewPublicationForm form(const std::string& name, const std::string& author, const std::string& target) {
    NewPublicationForm f{};
    copyText(f.name, name.c_str());
    copyText(f.author, author.c_str());
    copyText(f.target, target.c_str());
    f.tableOfContents = true;
    f.cover = true;
    f.biography = true;
    return f;
}

TEST(NewPublicationTest, ChecksRunInTheirOrder) {
    TempFolder tmp;
    std::string folder = tmp.path();
    // Room for "x.opf" and "toc.htm" beside it but not for "cover.htm".
    std::string deep = folder + std::string(255 - folder.size() - 8, 'd');
    tmp.makeFolder(deep.substr(folder.size()));
    tmp.makeFolder("sub");
    tmp.write("old.opf", "keep me");
    struct Case {
        std::string name, author, target;
        int32_t expected;
        std::string packagePath;
    };
    const Case cases[] = {
        {"", "", "", IDS_NEW_NO_NAME, ""},
        {"Book", "", tmp.file("b"), IDS_NEW_NO_AUTHOR, ""},
        {"Book", "Ann", "", IDS_TARGET_NOT_VALID, ""},
        // A missing folder is offered for making; a file is no folder.
        {"Book", "Ann", tmp.file("missing\\deeper\\b"), IDS_ASK_CREATE_FOLDER, ""},
        {"Book", "Ann", tmp.file("old.opf\\b"), IDS_TARGET_NOT_VALID, ""},
        {"Book", "Ann", tmp.file("sub"), IDS_TARGET_NOT_VALID, ""},
        {"Book", "Ann", tmp.file("a*.opf"), IDS_TARGET_NOT_VALID, ""},
        // An existing file may be replaced, but the test leaves it as it was.
        {"Book", "Ann", tmp.file("old.opf"), 0, tmp.file("old.opf")},
        // ".opf" would not fit: refused rather than cut.
        {"Book", "Ann", folder + std::string(252 - folder.size(), 'n'), IDS_TARGET_NOT_VALID, ""},
        {"Book", "Ann", deep + "\\x.opf", IDS_TARGET_NOT_VALID, ""},
        {"Book", "Ann", tmp.file("b"), 0, tmp.file("b.opf")},
        {"Book", "Ann", tmp.file("b.opf.old"), 0, tmp.file("b.opf.old")},
        {"Book", "Ann", tmp.file("b.OPF"), 0, tmp.file("b.OPF.opf")},
    };
    for (const Case& c : cases) {
        NewPublicationForm f = form(c.name, c.author, c.target);
        EXPECT_EQ(checkNewPublicationForm(f), c.expected) << c.target;
        EXPECT_EQ(std::string(f.newPackagePath), c.packagePath) << c.target;
    }
    EXPECT_EQ(tmp.read("old.opf"), "keep me");
    // Once the folder named is made, every level of it, the target passes.
    NewPublicationForm missing = form("Book", "Ann", tmp.file("missing\\deeper\\b"));
    ASSERT_EQ(checkNewPublicationForm(missing), IDS_ASK_CREATE_FOLDER);
    EXPECT_EQ(std::string(missing.missingFolder), tmp.file("missing\\deeper\\"));
    ASSERT_TRUE(makeFolderPath(missing.missingFolder));
    EXPECT_EQ(checkNewPublicationForm(missing), 0);
    // Neither the probe nor a tested name stays behind.
    EXPECT_FALSE(fileExists(tmp.file("*.tmp").c_str()));
    EXPECT_FALSE(tmp.exists("b"));
    // Without the cover page the same deep target fits.
    NewPublicationForm f = form("Book", "Ann", deep + "\\x.opf");
    f.cover = false;
    EXPECT_EQ(checkNewPublicationForm(f), 0);
}

TEST(NewPublicationTest, FirstExistingFileIsThePackageThenTheChosenPages) {
    TempFolder tmp;
    NewPublicationForm f = form("Book", "Ann", tmp.file("b"));
    ASSERT_EQ(checkNewPublicationForm(f), 0);
    char existing[kPathSize];
    EXPECT_FALSE(firstExistingNewFile(f, existing));
    for (const char* name : {"bio.htm", "cover.htm", "b.opf"}) {
        tmp.write(name, "mine");
        ASSERT_TRUE(firstExistingNewFile(f, existing));
        EXPECT_EQ(std::string(existing), tmp.file(name));
    }
    // A page that is not chosen is no concern.
    TempFolder other;
    other.write("bio.htm", "mine");
    f = form("Book", "Ann", other.file("b"));
    f.biography = false;
    ASSERT_EQ(checkNewPublicationForm(f), 0);
    EXPECT_FALSE(firstExistingNewFile(f, existing));
}

// The user's cover page, replaced before the failing file, comes back.
TEST(NewPublicationTest, AFileThatCannotBeWrittenIsNamedAndNothingIsLeft) {
    struct Case {
        const char* blocked;  // a folder in the way of this file
        const char* failed;
        uint64_t flushes = ~uint64_t(0);  // that reach the disk
    };
    for (Case c : {Case{"toc.htm", "toc.htm"}, Case{"bio.htm", "bio.htm"}, Case{"b.opf", "b.opf"},
                   Case{"", "cover.htm", 1}}) {
        TempFolder tmp;
        tmp.makeFolder(c.blocked);
        tmp.write("cover.htm", "mine");
        ScopedFileFault fault(FileFault::flush, c.flushes, "Input/output error");
        NewPublicationForm f = form("Book", "Ann", tmp.file("b"));
        copyText(f.newPackagePath, tmp.file("b.opf").c_str());
        char failed[kPathSize] = "";
        EXPECT_FALSE(createNewPublication(f, failed)) << c.blocked;
        EXPECT_EQ(std::string(failed), tmp.file(c.failed));
        for (const char* name : {"toc.htm", "bio.htm", "b.opf"}) {
            if (std::string(name) != c.blocked) {
                EXPECT_FALSE(tmp.exists(name)) << c.blocked << ": " << name;
            }
        }
        EXPECT_EQ(tmp.read("cover.htm"), "mine") << c.blocked;
        EXPECT_FALSE(fileExists(tmp.file("*.~qb*").c_str()));
    }
}

}  // namespace
