#include <gtest/gtest.h>

#include <string>

#include "publish/Url.h"

namespace {

std::string pathOf(const Url& url) {
    char path[kPathSize];
    url.toPath(path);
    return path;
}

struct Resolution {
    const char* base;
    const char* address;  // nullptr: the base alone
    const char* path;
    const char* fragment;
};

TEST(Url, ResolvesAddressesAgainstTheirBase) {
    const char* book = "C:\\books\\novel\\book.opf";
    const Resolution cases[] = {
        {book, "chapter2.htm#part3", "C:\\books\\novel\\chapter2.htm", "part3"},
        {book, "../images/cover.gif", "C:\\books\\images\\cover.gif", ""},
        {book, "./a/./b.htm", "C:\\books\\novel\\a\\b.htm", ""},
        {book, "a//b.htm", "C:\\books\\novel\\a\\b.htm", ""},
        // Only a slash goes to the top of the drive.
        {book, "/root.htm", "C:\\root.htm", ""},
        {book, "\\root.htm", "C:\\books\\novel\\root.htm", ""},
        // Every last token of a relative address is a file, dot or not.
        {book, "sub/README", "C:\\books\\novel\\sub\\README", ""},
        // Fragments alone stay in the document.
        {"C:\\books\\novel\\ch1.htm", "#notes", "C:\\books\\novel\\ch1.htm", "notes"},
        {"C:\\books\\novel\\ch1.htm", "#a#b", "C:\\books\\novel\\ch1.htm", "a"},
        {"C:\\books\\novel\\ch1.htm", "#", "C:\\books\\novel\\ch1.htm", ""},
        // An empty address names a file that never exists.
        {"C:\\books\\book.opf", "", "C:\\books\\error.xxx", ""},
        {"C:\\books\\book.opf", "//", "C:\\error.xxx", ""},
        // A query counts as a file; an http base takes relative addresses too.
        {"http://server/cgi/run?x=1", "../top.htm", "http://server/top.htm", ""},
        {"http://server/dir/page.htm#x", nullptr, "http://server/dir/page.htm", "x"},
        {"http://server/dir", nullptr, "http://server/dir", ""},
        // Capital schemes are the small-letter ones.
        {"http://server/a.htm", "FILE://C:/x/y.htm", "C:\\x\\y.htm", ""},
        {"C:\\a.htm", "HTTP://Server/Page.htm", "http://Server/Page.htm", ""},
        // Script calls leave the document as it was.
        {"C:\\books\\ch1.htm", "javascript:go()", "C:\\books\\ch1.htm", ""},
        {"C:\\books\\ch1.htm", "x.htm?javascript:go()", "C:\\books\\ch1.htm", ""},
        // Local paths decode escapes to their bytes, but never to a separator
        // or a dot folder; a "%" that escapes nothing stays. Web addresses keep theirs.
        {"C:\\My%20Books\\a.htm", nullptr, "C:\\My Books\\a.htm", ""},
        {"file:///C:/x%41y/a.htm", nullptr, "C:\\xAy\\a.htm", ""},
        {"C:\\a\\b%2", nullptr, "C:\\a\\b%2", ""},
        {book, "my%23book%25.htm#x", "C:\\books\\novel\\my#book%.htm", "x"},
        {book, "%2E%2E/a%2Fb%5C%00c.htm", "C:\\books\\novel\\%2E%2E\\a%2Fb%5C%00c.htm", ""},
        {"http://h/a%20b.htm", nullptr, "http://h/a%20b.htm", ""},
        {"\\\\server\\share\\a.htm", nullptr, "\\\\server\\share\\a.htm", ""},
        // Ten folders at most; ".." above the top stays at the top.
        {"C:\\1\\2\\3\\4\\5\\6\\7\\8\\9\\10\\11\\12\\f.htm", nullptr,
         "C:\\1\\2\\3\\4\\5\\6\\7\\8\\9\\10\\f.htm", ""},
        {"C:\\x.opf", "a/b/c/d/e/f/g/h/i/j/k.htm", "C:\\a\\b\\c\\d\\e\\f\\g\\h\\i\\k.htm", ""},
        {"C:\\a\\x.opf", "../../../b.htm", "C:\\b.htm", ""},
        {"\\\\server\\share\\a.htm", "../../b.htm", "\\\\server\\b.htm", ""},
        {"C:\\a\\x.opf", "../../../b/../c/d.htm", "C:\\c\\d.htm", ""},
    };
    for (const Resolution& c : cases) {
        SCOPED_TRACE(std::string(c.base) + " + " + (c.address ? c.address : "(none)"));
        Url url;
        url.setFrom(c.base);
        if (c.address) url.set(c.address);
        EXPECT_EQ(pathOf(url), c.path);
        EXPECT_STREQ(url.fragment, c.fragment);
    }
}

TEST(Url, CutsLongPartsToTheirFields) {
    std::string longName(400, 'n');
    Url url;
    url.setFrom(("C:\\" + longName + "\\" + longName + ".htm#" + longName).c_str());
    EXPECT_EQ(std::string(url.folders[0]).size(), size_t(kPathSize - 1));
    EXPECT_EQ(std::string(url.fileName).size(), size_t(kPathSize - 1));
    EXPECT_EQ(pathOf(url).size(), size_t(kPathSize - 1));
}

TEST(Url, KnowsTwoSpellingsOfOneFileAsTheSameResource) {
    Url relative, absolute, otherCase;
    relative.setFrom("C:\\books\\novel\\x.htm");
    relative.set("..\\novel\\ch1.htm");
    absolute.setFrom("C:/books/novel/ch1.htm");
    otherCase.setFrom("C:/books/novel/CH1.htm");
    EXPECT_TRUE(relative.sameResource(absolute));
    EXPECT_FALSE(relative.sameResource(otherCase));
}

}  // namespace
