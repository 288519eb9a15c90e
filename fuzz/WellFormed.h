// A strict little reader of the XHTML the EPUB build writes: whether it is
// well-formed XML in UTF-8 (one root, every element closed in order,
// attributes quoted and unique, only the five entities and character
// references), and the text of its body with references decoded. The fuzz
// target and the tests judge the conversion by it.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct WellFormedResult {
    bool ok = true;
    std::string problem;
    std::string bodyText;  // UTF-8
};

inline WellFormedResult checkWellFormed(const std::string& xml) {
    WellFormedResult result;
    auto fail = [&](const std::string& why, size_t at) {
        if (result.ok) result.problem = why + " at byte " + std::to_string(at);
        result.ok = false;
    };
    auto nameChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
               c == '_' || c == ':' || c == '.';
    };
    auto appendUtf8 = [](std::string& out, uint32_t code) {
        if (code < 0x80) {
            out += char(code);
        } else if (code < 0x800) {
            out += char(0xC0 | (code >> 6));
            out += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += char(0xE0 | (code >> 12));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        } else {
            out += char(0xF0 | (code >> 18));
            out += char(0x80 | ((code >> 12) & 0x3F));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        }
    };
    // Character data up to end, references decoded; false on a bad "&" or "<".
    auto characters = [&](size_t from, size_t end, std::string* out, bool attribute) {
        for (size_t i = from; i < end; ++i) {
            char c = xml[i];
            if (c == '<' || (attribute && c == '"')) return fail("a bare markup character", i), false;
            if (c != '&') {
                if (out != nullptr) *out += c;
                continue;
            }
            size_t semicolon = xml.find(';', i);
            if (semicolon == std::string::npos || semicolon >= end) return fail("an unfinished reference", i), false;
            std::string name = xml.substr(i + 1, semicolon - i - 1);
            uint32_t code = 0;
            if (name == "amp") code = '&';
            else if (name == "lt") code = '<';
            else if (name == "gt") code = '>';
            else if (name == "quot") code = '"';
            else if (name == "apos") code = '\'';
            else if (name.size() > 1 && name[0] == '#') {
                bool hex = name[1] == 'x';
                for (size_t k = hex ? 2 : 1; k < name.size(); ++k) {
                    char d = name[k];
                    int digit = d >= '0' && d <= '9' ? d - '0' : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10 : -1;
                    if (digit < 0 || code > 0x10FFFF) return fail("a bad character reference", i), false;
                    code = code * (hex ? 16 : 10) + uint32_t(digit);
                }
            }
            if (code == 0 || code > 0x10FFFF) return fail("an unknown entity &" + name + ";", i), false;
            if (out != nullptr) appendUtf8(*out, code);
            i = semicolon;
        }
        return true;
    };
    // UTF-8 and XML's characters throughout.
    for (size_t i = 0; i < xml.size();) {
        auto b = uint8_t(xml[i]);
        int n = b < 0x80 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 ? 1 : -1;
        if (n < 0 || i + size_t(n) >= xml.size() + (n == 0 ? 1 : 0)) return fail("bytes that are not UTF-8", i), result;
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') return fail("a control character", i), result;
        for (int k = 1; k <= n; ++k)
            if ((uint8_t(xml[i + size_t(k)]) & 0xC0) != 0x80) return fail("bytes that are not UTF-8", i), result;
        i += size_t(n) + 1;
    }
    std::vector<std::string> open;
    bool rootSeen = false;
    bool inBody = false;
    size_t i = 0;
    while (i < xml.size() && result.ok) {
        size_t lt = xml.find('<', i);
        size_t end = lt == std::string::npos ? xml.size() : lt;
        std::string text;
        if (!characters(i, end, &text, false)) break;
        if (open.empty() && text.find_first_not_of(" \n\r\t") != std::string::npos) fail("text outside the root", i);
        if (inBody) result.bodyText += text;
        if (lt == std::string::npos) break;
        if (xml.compare(lt, 4, "<!--") == 0 || xml.compare(lt, 2, "<?") == 0 || xml.compare(lt, 2, "<!") == 0) {
            const char* close = xml.compare(lt, 4, "<!--") == 0 ? "-->" : ">";
            size_t stop = xml.find(close, lt);
            if (stop == std::string::npos) fail("an unfinished declaration", lt);
            i = stop + std::string(close).size();
            continue;
        }
        bool closing = xml[lt + 1] == '/';
        size_t at = lt + (closing ? 2 : 1);
        size_t nameStart = at;
        while (at < xml.size() && nameChar(xml[at])) ++at;
        std::string name = xml.substr(nameStart, at - nameStart);
        if (name.empty()) {
            fail("a tag without a name", lt);
            break;
        }
        std::set<std::string> attributes;
        bool empty = false;
        for (;;) {
            size_t blank = at;
            while (at < xml.size() && (xml[at] == ' ' || xml[at] == '\n')) ++at;
            if (at >= xml.size()) return fail("an unfinished tag", lt), result;
            if (xml[at] == '>') break;
            if (xml.compare(at, 2, "/>") == 0 && !closing) {
                empty = true;
                ++at;
                break;
            }
            size_t attributeStart = at;
            while (at < xml.size() && nameChar(xml[at])) ++at;
            std::string attribute = xml.substr(attributeStart, at - attributeStart);
            if (closing || attribute.empty() || at == blank || xml.compare(at, 2, "=\"") != 0)
                return fail("a bad attribute", at), result;
            if (!attributes.insert(attribute).second) return fail("a repeated attribute " + attribute, at), result;
            size_t quote = xml.find('"', at + 2);
            if (quote == std::string::npos || !characters(at + 2, quote, nullptr, true)) return result;
            at = quote + 1;
        }
        i = at + 1;
        if (closing) {
            if (open.empty() || open.back() != name) return fail("</" + name + "> closes nothing open", lt), result;
            open.pop_back();
            if (name == "body") inBody = false;
        } else {
            if (open.empty() && rootSeen) return fail("a second root", lt), result;
            rootSeen = true;
            if (!empty) open.push_back(name);
            if (name == "body" && !empty) inBody = true;
        }
    }
    if (result.ok && !open.empty()) fail("<" + open.back() + "> is never closed", xml.size());
    if (result.ok && !rootSeen) fail("no root element", 0);
    return result;
}
