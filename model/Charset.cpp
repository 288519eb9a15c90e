#include "Charset.h"

#include "Text.h"

namespace {

bool isUtf8Name(const char* name);

}  // namespace

bool declaresUtf8(const TagScanner& tag) {
    char value[kFieldSize];
    if (tag.isTag("?xml")) return tag.getAttribute("ENCODING", value) && isUtf8Name(value);
    if (!tag.isTag("META")) return false;
    if (tag.getAttribute("CHARSET", value)) return isUtf8Name(value);
    if (!tag.getAttribute("CONTENT", value)) return false;
    for (char* c = value; *c != '\0'; ++c) {
        if (startsWithNoCase(c, "charset=")) return isUtf8Name(c + 8);
    }
    return false;
}

bool declaresCharset(const TagScanner& tag) {
    char value[kFieldSize];
    if (tag.isTag("?xml")) return tag.getAttribute("ENCODING", value);
    if (!tag.isTag("META")) return false;
    if (tag.getAttribute("CHARSET", value)) return true;
    if (!tag.getAttribute("CONTENT", value)) return false;
    for (char* c = value; *c != '\0'; ++c)
        if (startsWithNoCase(c, "charset=")) return true;
    return false;
}

bool skipByteOrderMark(FileHandle file) {
    setFilePosition(file, 0);
    if (readChar(file) == 0xEF && readChar(file) == 0xBB && readChar(file) == 0xBF) return true;
    setFilePosition(file, 0);
    return false;
}

bool isUtf8File(FileHandle file) {
    uint32_t start = getFilePosition(file);
    uint32_t length = getFileLength(file);
    Utf8Check check;
    uint8_t block[4096];
    for (uint32_t at = start; at < length && check.valid;) {
        uint32_t n = length - at < sizeof block ? length - at : uint32_t(sizeof block);
        if (!readBytes(file, block, n)) {
            check.valid = false;
            break;
        }
        for (uint32_t i = 0; i < n; ++i) check.feed(block[i]);
        at += n;
    }
    setFilePosition(file, start);
    return check.isUtf8();
}

namespace {

bool isUtf8Name(const char* name) {
    return equalsNoCase(name, "utf-8") || equalsNoCase(name, "utf8");
}

}  // namespace
