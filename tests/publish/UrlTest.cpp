#include <gtest/gtest.h>

#include <string>

#include "publish/Url.h"

namespace {

struct Resolved {
    std::string path;
    std::string fragment;
};

Resolved resolve(std::initializer_list<const char*> addresses) {
    Url url;
    bool first = true;
    for (const char* address : addresses) {
        if (first)
            url.setFrom(address);
        else
            url.set(address);
        first = false;
    }
    char path[kUrlFieldSize];
    url.toPath(path);
    return {path, url.fragment};
}

std::string pathOf(std::initializer_list<const char*> addresses) {
    return resolve(addresses).path;
}

const char* kBase = "C:\\books\\novel\\book.opf";

TEST(Url, RelativeAddressesResolveAgainstTheBaseFolder) {
    Resolved r = resolve({kBase, "chapter2.htm#part3"});
    EXPECT_EQ(r.path, "C:\\books\\novel\\chapter2.htm");
    EXPECT_EQ(r.fragment, "part3");
    EXPECT_EQ(pathOf({kBase, "../images/cover.gif"}), "C:\\books\\images\\cover.gif");
    EXPECT_EQ(pathOf({kBase, "./a/./b.htm"}), "C:\\books\\novel\\a\\b.htm");
    EXPECT_EQ(pathOf({kBase, "a//b.htm"}), "C:\\books\\novel\\a\\b.htm");
    // Only a slash goes to the top of the drive.
    EXPECT_EQ(pathOf({kBase, "/root.htm"}), "C:\\root.htm");
    EXPECT_EQ(pathOf({kBase, "\\root.htm"}), "C:\\books\\novel\\root.htm");
    // Every last token of a relative address is a file, dot or not.
    EXPECT_EQ(pathOf({kBase, "sub/README"}), "C:\\books\\novel\\sub\\README");
}

TEST(Url, FragmentsAloneStayInTheDocument) {
    Resolved r = resolve({"C:\\books\\novel\\ch1.htm", "#notes"});
    EXPECT_EQ(r.path, "C:\\books\\novel\\ch1.htm");
    EXPECT_EQ(r.fragment, "notes");
    EXPECT_EQ(resolve({"C:\\books\\novel\\ch1.htm", "#a#b"}).fragment, "a");
    r = resolve({"C:\\books\\novel\\ch1.htm", "#"});
    EXPECT_EQ(r.path, "C:\\books\\novel\\ch1.htm");
    EXPECT_EQ(r.fragment, "");
}

TEST(Url, AnEmptyAddressNamesAFileThatNeverExists) {
    EXPECT_EQ(pathOf({"C:\\books\\book.opf", ""}), "C:\\books\\error.xxx");
    EXPECT_EQ(pathOf({"C:\\books\\book.opf", "//"}), "C:\\error.xxx");
}

TEST(Url, HttpAddressesSplitIntoHostFoldersFileAndFragment) {
    Url url;
    url.setFrom("http://server/dir/page.htm#x");
    EXPECT_EQ(url.scheme, kSchemeHttp);
    EXPECT_STREQ(url.host, "server");
    ASSERT_EQ(url.folderCount, 1);
    EXPECT_STREQ(url.folders[0], "dir");
    EXPECT_STREQ(url.fileName, "page.htm");
    EXPECT_STREQ(url.fragment, "x");
    char path[kUrlFieldSize];
    url.toPath(path);
    EXPECT_STREQ(path, "http://server/dir/page.htm");

    url.setFrom("http://server/dir");
    EXPECT_EQ(url.folderCount, 1);
    EXPECT_STREQ(url.fileName, "");
    url.toPath(path);
    EXPECT_STREQ(path, "http://server/dir");
    // A query counts as a file; an http base takes relative addresses too.
    EXPECT_EQ(pathOf({"http://server/cgi/run?x=1", "../top.htm"}), "http://server/top.htm");
}

TEST(Url, CapitalSchemesAreTheSmallLetterOnes) {
    Url url;
    url.setFrom("C:\\a.htm");
    url.set("HTTP://Server/Page.htm");
    EXPECT_EQ(url.scheme, kSchemeHttp);
    url.setFrom("http://server/a.htm");
    url.set("FILE://C:/x/y.htm");
    EXPECT_EQ(url.scheme, kSchemeFile);
    char path[kUrlFieldSize];
    url.toPath(path);
    EXPECT_STREQ(path, "C:\\x\\y.htm");
}

TEST(Url, ScriptCallsLeaveTheDocumentAsItWas) {
    EXPECT_EQ(pathOf({"C:\\books\\ch1.htm", "javascript:go()"}), "C:\\books\\ch1.htm");
    EXPECT_EQ(pathOf({"C:\\books\\ch1.htm", "x.htm?javascript:go()"}), "C:\\books\\ch1.htm");
}

TEST(Url, LocalPathsDecodeEveryEscapeAsABlank) {
    EXPECT_EQ(pathOf({"C:\\My%20Books\\a.htm"}), "C:\\My Books\\a.htm");
    EXPECT_EQ(pathOf({"file:///C:/x%41y/a.htm"}), "C:\\x y\\a.htm");
    // A trailing escape cut short takes what there is.
    EXPECT_EQ(pathOf({"C:\\a\\b%2"}), "C:\\a\\b ");
    // Web addresses keep theirs.
    EXPECT_EQ(pathOf({"http://h/a%20b.htm"}), "http://h/a%20b.htm");
}

TEST(Url, NetworkPathsKeepTheirServer) {
    Url url;
    url.setFrom("\\\\server\\share\\a.htm");
    EXPECT_STREQ(url.host, "server");
    ASSERT_EQ(url.folderCount, 1);
    EXPECT_STREQ(url.folders[0], "share");
    char path[kUrlFieldSize];
    url.toPath(path);
    EXPECT_STREQ(path, "\\\\server\\share\\a.htm");
}

TEST(Url, FolderCountsStayWithinTheTable) {
    EXPECT_EQ(pathOf({"C:\\x.opf", "a/b/c/d/e/f/g/h/i/j/k.htm"}), "C:\\a\\b\\c\\d\\e\\f\\g\\h\\i\\k.htm");
    // An absolute address keeps its first ten folders.
    Url url;
    url.setFrom("C:\\1\\2\\3\\4\\5\\6\\7\\8\\9\\10\\11\\12\\f.htm");
    EXPECT_EQ(url.folderCount, kUrlFolderSlots);
    EXPECT_STREQ(url.folders[9], "10");
    EXPECT_STREQ(url.fileName, "f.htm");
    // ".." above the top stays at the top.
    EXPECT_EQ(pathOf({"C:\\a\\x.opf", "../../../b.htm"}), "C:\\b.htm");
    EXPECT_EQ(pathOf({"C:\\a\\x.opf", "../../../b/../c/d.htm"}), "C:\\c\\d.htm");
}

TEST(Url, LongPartsAreCutToTheirFields) {
    std::string longName(400, 'n');
    std::string address = "C:\\" + longName + "\\" + longName + ".htm#" + longName;
    Url url;
    url.setFrom(address.c_str());
    EXPECT_EQ(std::string(url.folders[0]).size(), size_t(kUrlFieldSize - 1));
    EXPECT_EQ(std::string(url.fileName).size(), size_t(kUrlFieldSize - 1));
    char path[kUrlFieldSize];
    url.toPath(path);
    EXPECT_EQ(std::string(path).size(), size_t(kUrlFieldSize - 1));
}

TEST(Url, TwoSpellingsOfOneFileAreTheSameResource) {
    Url relative;
    relative.setFrom("C:\\books\\novel\\x.htm");
    relative.set("..\\novel\\ch1.htm");
    Url absolute;
    absolute.setFrom("C:/books/novel/ch1.htm");
    EXPECT_TRUE(relative.sameResource(absolute));
    Url otherCase;
    otherCase.setFrom("C:/books/novel/CH1.htm");
    EXPECT_FALSE(relative.sameResource(otherCase));
}

}  // namespace
