#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fuzz/WellFormed.h"
#include "model/Files.h"
#include "publish/XhtmlConverter.h"
#include "tests/support/TempFolder.h"

namespace {

// Links to ch2.htm and the picture p.gif are part of the book; nothing else.
class BookOfTwo : public XhtmlContext {
public:
    bool mapAddress(XhtmlAddress kind, const char* address, char* out, size_t capacity) override {
        const char* mapped = kind == XhtmlAddress::picture && std::strcmp(address, "p.gif") == 0 ? "p.gif"
                             : kind == XhtmlAddress::link && std::strcmp(address, "ch2.htm#s1") == 0 ? "ch2.xhtml#s1"
                                                                                                 : nullptr;
        if (mapped == nullptr) return false;
        std::strncpy(out, mapped, capacity);
        return true;
    }
    void noteHeading(int level, const char* id, const char* text) override {
        headings += std::to_string(level) + " " + id + " " + text + ";";
    }
    std::string headings;
};

class StringSink : public ByteSink {
public:
    std::string bytes;
    void put(const char* data, size_t n) override { bytes.append(data, n); }
};

std::string convert(const TempFolder& tmp, const std::string& html, BookOfTwo& book) {
    tmp.write("doc.htm", html);
    FileHandle file = openFile(tmp.file("doc.htm").c_str(), OpenMode::read);
    XhtmlConverter converter;
    StringSink sink;
    XhtmlSettings settings;
    settings.title = "Fallback <title>";
    converter.convert(file, settings, book, sink);
    closeFile(file);
    return sink.bytes;
}

std::string bodyOf(const std::string& xhtml) {
    size_t start = xhtml.find("<body>\n");
    size_t end = xhtml.rfind("</body>");
    if (start == std::string::npos || end == std::string::npos) return "no body in: " + xhtml;
    return xhtml.substr(start + 7, end - start - 7);
}

TEST(XhtmlConverter, WritesHtmlOfEveryEraAsWellFormedXhtml) {
    TempFolder tmp;
    struct Case {
        const char* html;
        const char* body;
    } cases[] = {
        {"<p>one<p>two", "<p>one</p><p>two</p>"},
        {"<P ALIGN=center CLASS=x>a</P>", "<p class=\"x\" style=\"text-align:center\">a</p>"},
        {"caf&eacute; &amp; &#233; &#x41; &#150; &bogus; AT&T", "café &amp; é A – &amp;bogus; AT&amp;T"},
        {"\x93quoted\x94 \x80 caf\xe9", "“quoted” € café"},
        {"<meta charset=\"utf-8\"><body>caf\xc3\xa9 \xe2\x80\x94", "café —"},
        {"<meta http-equiv=Content-Type content=\"text/html; charset=windows-1252\"><body>\xc3\xa9", "Ã©"},
        {"<a filepos=0000001234>x</a><mbp:pagebreak/><img recindex=\"00001\" src=p.gif>",
         "<a>x</a><img src=\"p.gif\" alt=\"\"/>"},
        {"<a href=\"ch2.htm#s1\">n</a> <a href=\"gone.htm\">g</a> <img src=gone.gif alt=\"Gone & lost\">",
         "<a href=\"ch2.xhtml#s1\">n</a> <a>g</a> Gone &amp; lost"},
        {"<b>bold<p>para</p>", "<b>bold</b><p><b>para</b></p>"},
        {"<center><font face=\"Arial\" color=red>x</font></center>",
         "<div style=\"text-align:center\"><span style=\"font-family:Arial;color:red\">x</span></div>"},
        {"<ul><li>a<li>b</ul><li>loose", "<ul><li>a</li><li>b</li></ul><ul><li>loose</li></ul>"},
        {"<ul><ul><li>x</ul></ul>", "<ul><li><ul><li>x</li></ul></li></ul>"},
        {"<table bgcolor=#fff><td>c<tr><td nowrap width=40%>d</table>",
         "<table style=\"background-color:#fff\"><tr><td>c</td></tr><tr><td style=\"white-space:nowrap;width:40%\">d"
         "</td></tr></table>"},
        {"<dl><dt>t<dd>d</dl>", "<dl><dt>t</dt><dd>d</dd></dl>"},
        {"<h2><a name=\"s1\"></a>Title</h2><h1>a<p>b</h1>",
         "<h2 id=\"qb-heading-1\"><a id=\"s1\"></a>Title</h2><h1 id=\"qb-heading-2\">a</h1><p>b</p>"},
        {"<p id=x>1</p><p id=x>2</p><a name=\"a b\"/>c", "<p id=\"x\">1</p><p>2</p><a id=\"a_b\"></a>c"},
        {"a<script>if (a<b) x();</script>b<style>p{}</style>c<title>t</title>d", "abcd"},
        {"1 < 2 and 3 <> 4 </ 5", "1 &lt; 2 and 3 &lt;&gt; 4 &lt;/ 5"},
        {"a\x01" "b\x0c" "c\r\nd\re", "abc\nd\ne"},
        {"<br><hr size=2><img src=p.gif width=50% height=20 align=left>",
         "<br/><hr/><img src=\"p.gif\" alt=\"\" height=\"20\" style=\"width:50%;float:left\"/>"},
        {"<ol start=3 type=i><li value=7>x</ol>", "<ol start=\"3\" type=\"i\"><li value=\"7\">x</li></ol>"},
        {"<a href=\"ch2.htm#s1\">one<a href=\"ch2.htm#s1\">two</a>",
         "<a href=\"ch2.xhtml#s1\">one</a><a href=\"ch2.xhtml#s1\">two</a>"},
        {"<p onclick=\"x()\" style=\"color:red\" bogus data-n=1 lang=fr>x", "<p data-n=\"1\" lang=\"fr\" style=\"color:red\">x</p>"},
        {"<html><head><title>Old &amp; New</title></head><body><span>never closed<b>", "<span>never closed<b></b></span>"},
    };
    for (const Case& c : cases) {
        BookOfTwo book;
        std::string xhtml = convert(tmp, c.html, book);
        EXPECT_EQ(bodyOf(xhtml), c.body) << c.html;
        WellFormedResult checked = checkWellFormed(xhtml);
        EXPECT_TRUE(checked.ok) << checked.problem << "\n" << xhtml;
    }
}

TEST(XhtmlConverter, TitlesAndHeadingsReachTheBook) {
    TempFolder tmp;
    BookOfTwo book;
    std::string xhtml =
        convert(tmp, "<title>Old &amp; New</title><h1 id=top>Part   One</h1><h3>A\n<i>B</i></h3>", book);
    EXPECT_NE(xhtml.find("<title>Old &amp; New</title>"), std::string::npos) << xhtml;
    EXPECT_EQ(book.headings, "1 top Part One;3 qb-heading-1 A B;");
    xhtml = convert(tmp, "<p>no title", book);
    EXPECT_NE(xhtml.find("<title>Fallback &lt;title&gt;</title>"), std::string::npos) << xhtml;
}

}  // namespace
