#include <gtest/gtest.h>

#include <string>

#include "editor/NewPublicationForm.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"
#include "tests/support/TempFolder.h"

namespace {

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

TEST(NewPublicationFormTest, ChecksRunInTheirOrder) {
    TempFolder tmp;
    std::string folder = tmp.path();
    // Room for "x.opf" and "toc.htm" beside it but not for "cover.htm".
    std::string deep = folder + std::string(255 - folder.size() - 8, 'd');
    tmp.makeFolder(deep.substr(folder.size()));
    struct Case {
        std::string name, author, target;
        int32_t expected;
        std::string packagePath;
    };
    const Case cases[] = {
        {"", "", "", IDS_NEW_NO_NAME, ""},
        {"Book", "", tmp.file("b"), IDS_NEW_NO_AUTHOR, ""},
        {"Book", "Ann", "", IDS_TARGET_NOT_VALID, ""},
        {"Book", "Ann", tmp.file("missing\\b"), IDS_TARGET_NOT_VALID, ""},
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
    // Without the cover page the same deep target fits.
    NewPublicationForm f = form("Book", "Ann", deep + "\\x.opf");
    f.cover = false;
    EXPECT_EQ(checkNewPublicationForm(f), 0);
}

TEST(NewPublicationFormTest, FirstExistingFileIsThePackageThenTheChosenPages) {
    TempFolder tmp;
    NewPublicationForm f = form("Book", "Ann", tmp.file("b"));
    ASSERT_EQ(checkNewPublicationForm(f), 0);
    char existing[kPathSize];
    EXPECT_FALSE(firstExistingNewFile(f, existing));
    tmp.write("bio.htm", "mine");
    ASSERT_TRUE(firstExistingNewFile(f, existing));
    EXPECT_EQ(std::string(existing), tmp.file("bio.htm"));
    tmp.write("cover.htm", "mine");
    ASSERT_TRUE(firstExistingNewFile(f, existing));
    EXPECT_EQ(std::string(existing), tmp.file("cover.htm"));
    tmp.write("b.opf", "mine");
    ASSERT_TRUE(firstExistingNewFile(f, existing));
    EXPECT_EQ(std::string(existing), tmp.file("b.opf"));
    // A page that is not chosen is no concern.
    TempFolder other;
    other.write("bio.htm", "mine");
    NewPublicationForm g = form("Book", "Ann", other.file("b"));
    g.biography = false;
    ASSERT_EQ(checkNewPublicationForm(g), 0);
    EXPECT_FALSE(firstExistingNewFile(g, existing));
}

TEST(NewPublicationFormTest, AFileThatCannotBeWrittenIsNamedAndNothingIsLeft) {
    struct Case {
        const char* blocked;  // a folder in the way of this file
        const char* failed;
    };
    for (Case c : {Case{"toc.htm", "toc.htm"}, Case{"bio.htm", "bio.htm"}, Case{"b.opf", "b.opf"}}) {
        TempFolder tmp;
        tmp.makeFolder(c.blocked);
        NewPublicationForm f = form("Book", "Ann", tmp.file("b"));
        copyText(f.newPackagePath, tmp.file("b.opf").c_str());
        char failed[kPathSize] = "";
        EXPECT_FALSE(createNewPublication(f, failed)) << c.blocked;
        EXPECT_EQ(std::string(failed), tmp.file(c.failed));
        for (const char* name : {"toc.htm", "cover.htm", "bio.htm", "b.opf"}) {
            if (std::string(name) != c.blocked) {
                EXPECT_FALSE(tmp.exists(name)) << c.blocked << ": " << name;
            }
        }
    }
    TempFolder tmp;
    NewPublicationForm f = form("Book", "Ann", tmp.file("b"));
    ASSERT_EQ(checkNewPublicationForm(f), 0);
    char failed[kPathSize] = "";
    EXPECT_TRUE(createNewPublication(f, failed));
    for (const char* name : {"toc.htm", "cover.htm", "bio.htm", "b.opf"})
        EXPECT_TRUE(tmp.exists(name)) << name;
}

}  // namespace
