// Bytes as an HTML document converted to XHTML: the result is always
// well-formed, and when the bytes are read as text between tags of a
// fixed list, every character of that text reaches the body, in order.
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzScratch.h"
#include "WellFormed.h"
#include "model/Files.h"
#include "model/Text.h"
#include "publish/XhtmlConverter.h"

namespace {

// Tags that keep their content, in every era's spelling.
constexpr const char* kTags[] = {
    "<p>", "</p>", "<P align=center>", "<b>", "</b>", "<i>", "</I>", "<br>", "<br/>", "<hr>", "<h2>", "</h2>",
    "<h1 id=x>", "<ul>", "</ul>", "<li>", "<ol start=3>", "</ol>", "<dl>", "<dt>", "<dd>", "</dl>", "<table border=1>",
    "</table>", "<tr>", "<td nowrap>", "</td>", "<div>", "</div>", "<center>", "</center>", "<font face=Arial>",
    "</font>", "<a name=top>", "<a href=\"#top\">", "</a>", "<pre>", "</pre>", "<blockquote>", "<span>", "<tt>",
    "<a filepos=0000001234>", "<mbp:pagebreak/>", "<unknown x=1>", "</strong>", "<img src=gone.gif alt=\"\">",
};
constexpr size_t kTagCount = sizeof kTags / sizeof kTags[0];

class NoAddresses : public XhtmlContext {
public:
    bool mapAddress(XhtmlAddress, const char*, char*, size_t) override { return false; }
};

class StringSink : public ByteSink {
public:
    std::string bytes;
    void put(const char* data, size_t n) override { bytes.append(data, n); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzzScratchPath("xhtml", "-doc.htm");
    static auto converter = std::make_unique<XhtmlConverter>();
    if (size == 0) return 0;
    bool asText = data[0] % 2 == 0;
    std::string document;
    std::string expected;
    if (asText) {
        document = "<html><head><meta charset=windows-1252></head><body>";
        for (size_t i = 1; i < size; ++i) {
            uint8_t byte = data[i];
            if (byte < kTagCount && byte != '\t' && byte != '\n') {
                document += kTags[byte];
                continue;
            }
            if (byte == '<' || byte == '&' || byte == '\r') continue;
            document += char(byte);
            if (byte < 0x20 && byte != '\t' && byte != '\n') continue;  // no character of XML
            char utf8[4];
            expected.append(utf8, size_t(encodeUtf8(unicodeOfAnsi(byte), utf8)));
        }
        document += "</body></html>";
    } else {
        document.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    }
    FileHandle file = openFile(path.c_str(), OpenMode::create);
    if (file == kInvalidFileHandle) return 0;
    writeBytes(file, document.data(), uint32_t(document.size()));
    closeFile(file);

    file = openFile(path.c_str(), OpenMode::read);
    NoAddresses context;
    StringSink sink;
    XhtmlSettings settings;
    settings.title = "T";
    converter->convert(file, settings, context, sink);
    closeFile(file);
    WellFormedResult result = checkWellFormed(sink.bytes);
    if (!result.ok) {
        std::fprintf(stderr, "not well-formed: %s\n%s\n", result.problem.c_str(), sink.bytes.c_str());
        __builtin_trap();
    }
    // The body's start tag ends its line.
    if (result.bodyText.starts_with('\n')) result.bodyText.erase(0, 1);
    if (asText && result.bodyText != expected) {
        std::fprintf(stderr, "text lost:\n%s\n---\n%s\n", expected.c_str(), result.bodyText.c_str());
        __builtin_trap();
    }
    return 0;
}
