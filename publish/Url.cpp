#include "Url.h"

#include <cstring>

#include "model/Publication.h"
#include "model/Text.h"

namespace {

// One run of characters between separators, inside the address it came from.
struct Token {
    const char* start = nullptr;
    size_t length = 0;
};

void apply(Url& url, const char* address, bool plain);
void parseAbsolute(Url& url, const char* address, bool impliedFileScheme, bool plain);
void resolveRelative(Url& url, const char* address, bool plain);
void addFolder(Url& url, const Token& token, int32_t limit, bool plain);
bool appendPart(char* out, const char* part, const char* separator, bool decode);
int escapedByte(const char* digits);
bool hasAbsoluteScheme(const char* address);
bool isSeparator(char c);
// The next non-empty token at or after *cursor; false when none is left.
bool nextToken(const char** cursor, Token* token);
// False when the token is longer than the field.
bool copyToken(char* field, const Token& token);
bool tokenIs(const Token& token, const char* text);
bool tokenIsNoCase(const Token& token, const char* text);
const char* findInToken(const Token& token, char c);

}  // namespace

Url::Url() : scheme(kSchemeNone) {
    reset();
}

void Url::reset() {
    host[0] = '\0';
    for (auto& folder : folders) folder[0] = '\0';
    folderCount = 0;
    fileName[0] = '\0';
    fragment[0] = '\0';
    hostIsPlain = false;
    for (bool& plain : folderIsPlain) plain = false;
    fileNameIsPlain = false;
    cut = false;
}

void Url::setFrom(const char* address) {
    reset();
    set(address);
}

void Url::set(const char* address) {
    apply(*this, address, false);
}

void Url::setFile(const char* path) {
    apply(*this, path, true);
}

void Url::setFromFile(const char* path) {
    reset();
    setFile(path);
}

bool Url::toPath(char* out) const {
    out[0] = '\0';
    const char* separator = "\\";
    bool fits = true;
    // Escapes in the parts of local addresses stand for their bytes.
    bool decode = scheme == kSchemeFile;
    if (scheme == kSchemeHttp) {
        separator = "/";
        fits = appendText(out, kPathSize, "http://") && appendPart(out, host, "", false);
    } else if (host[0] != '\0' && host[1] == ':') {
        fits = appendPart(out, host, "", decode && !hostIsPlain);
    } else {
        fits = appendText(out, kPathSize, "\\\\") && appendPart(out, host, "", decode && !hostIsPlain);
    }
    for (int32_t i = 0; i < folderCount; ++i)
        fits = appendPart(out, folders[i], separator, decode && !folderIsPlain[i]) && fits;
    if (fileName[0] != '\0') fits = appendPart(out, fileName, separator, decode && !fileNameIsPlain) && fits;
    return fits && !cut;
}

bool Url::sameResource(const Url& other) const {
    char mine[kPathSize];
    char theirs[kPathSize];
    toPath(mine);
    other.toPath(theirs);
    return std::strcmp(mine, theirs) == 0;
}

namespace {

void apply(Url& url, const char* address, bool plain) {
    if (address == nullptr) address = "";
    if (hasAbsoluteScheme(address)) {
        parseAbsolute(url, address, false, plain);
    } else if (std::strstr(address, "javascript:") != nullptr) {
        // A script call names no file: the address stays that of the document.
    } else if ((address[0] != '\0' && address[1] == ':') || (address[0] == '\\' && address[1] == '\\')) {
        url.scheme = kSchemeFile;
        parseAbsolute(url, address, true, plain);
    } else {
        resolveRelative(url, address, plain);
    }
}

void parseAbsolute(Url& url, const char* address, bool impliedFileScheme, bool plain) {
    url.reset();
    const char* cursor = address;
    Token token;
    if (!impliedFileScheme) {
        if (!nextToken(&cursor, &token)) return;
        // Capitals name the same scheme as small letters.
        if (tokenIsNoCase(token, "http:")) url.scheme = kSchemeHttp;
        if (tokenIsNoCase(token, "file:")) url.scheme = kSchemeFile;
    }
    if (!nextToken(&cursor, &token)) return;
    if (!copyToken(url.host, token)) url.cut = true;
    url.hostIsPlain = plain;
    Token last;
    if (!nextToken(&cursor, &last)) return;
    while (nextToken(&cursor, &token)) {
        addFolder(url, last, kUrlFolderSlots, plain);
        last = token;
    }
    const char* hash = plain ? nullptr : findInToken(last, '#');
    Token beforeHash{last.start, hash != nullptr ? size_t(hash - last.start) : last.length};
    if (findInToken(beforeHash, '.') != nullptr || findInToken(beforeHash, '?') != nullptr) {
        if (!copyToken(url.fileName, beforeHash)) url.cut = true;
        url.fileNameIsPlain = plain;
        if (hash != nullptr) copyToken(url.fragment, Token{hash + 1, last.length - beforeHash.length - 1});
    } else if (beforeHash.length > 0) {
        addFolder(url, beforeHash, kUrlFolderSlots, plain);
    }
}

void resolveRelative(Url& url, const char* address, bool plain) {
    if (address[0] == '#' && !plain) {
        if (address[1] == '\0') return;
        const char* end = std::strchr(address + 1, '#');
        size_t length = end != nullptr ? size_t(end - address - 1) : std::strlen(address + 1);
        copyToken(url.fragment, Token{address + 1, length});
        return;
    }
    url.fileName[0] = '\0';
    if (address[0] == '/') url.folderCount = 0;
    const char* cursor = address;
    Token last;
    if (!nextToken(&cursor, &last)) {
        // Names a file that never exists, so links to it stay unresolved.
        copyText(url.fileName, "error.xxx");
        return;
    }
    Token token;
    while (nextToken(&cursor, &token)) {
        if (tokenIs(last, "..")) {
            if (url.folderCount > 0) url.folders[--url.folderCount][0] = '\0';
        } else if (!tokenIs(last, ".")) {
            addFolder(url, last, kUrlRelativeFolderLimit, plain);
        }
        last = token;
    }
    url.fileNameIsPlain = plain;
    const char* hash = plain ? nullptr : findInToken(last, '#');
    if (hash == nullptr) {
        if (!copyToken(url.fileName, last)) url.cut = true;
        return;
    }
    size_t beforeLength = size_t(hash - last.start);
    if (!copyToken(url.fileName, Token{last.start, beforeLength})) url.cut = true;
    copyToken(url.fragment, Token{hash + 1, last.length - beforeLength - 1});
}

void addFolder(Url& url, const Token& token, int32_t limit, bool plain) {
    if (url.folderCount >= limit) {
        url.cut = true;
        return;
    }
    if (!copyToken(url.folders[url.folderCount], token)) url.cut = true;
    url.folderIsPlain[url.folderCount] = plain;
    ++url.folderCount;
}

bool appendPart(char* out, const char* part, const char* separator, bool decode) {
    if (!appendText(out, kPathSize, separator)) return false;
    if (!decode) return appendText(out, kPathSize, part);
    char decoded[kPathSize];
    char* write = decoded;
    for (const char* read = part; *read != '\0'; ++read) {
        int byte = *read == '%' ? escapedByte(read + 1) : -1;
        if (byte < 0) {
            *write++ = *read;
        } else {
            *write++ = char(byte);
            read += 2;
        }
    }
    *write = '\0';
    // Escaped dots name no folder: the part stays as it was written.
    if (std::strcmp(decoded, ".") == 0 || std::strcmp(decoded, "..") == 0)
        return appendText(out, kPathSize, part);
    return appendText(out, kPathSize, decoded);
}

// The byte of "%XX" behind its "%"; -1 when XX are not two hex digits or
// stand for a separator or a control character, which no part may hold.
int escapedByte(const char* digits) {
    auto value = [](char c) {
        char upper = upperAscii(c);
        if (c >= '0' && c <= '9') return c - '0';
        if (upper >= 'A' && upper <= 'F') return upper - 'A' + 10;
        return -1;
    };
    int high = value(digits[0]);
    int low = high < 0 ? -1 : value(digits[1]);
    if (low < 0) return -1;
    int byte = high * 16 + low;
    return byte < 0x20 || byte == '/' || byte == '\\' ? -1 : byte;
}

bool hasAbsoluteScheme(const char* address) {
    return startsWithNoCase(address, "http://") || startsWithNoCase(address, "file://");
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool nextToken(const char** cursor, Token* token) {
    const char* c = *cursor;
    while (*c != '\0' && isSeparator(*c)) ++c;
    *cursor = c;
    if (*c == '\0') return false;
    const char* start = c;
    while (*c != '\0' && !isSeparator(*c)) ++c;
    token->start = start;
    token->length = size_t(c - start);
    *cursor = c;
    return true;
}

bool copyToken(char* field, const Token& token) {
    size_t n = token.length < size_t(kPathSize - 1) ? token.length : size_t(kPathSize - 1);
    if (n > 0) std::memcpy(field, token.start, n);
    field[n] = '\0';
    return n == token.length;
}

bool tokenIs(const Token& token, const char* text) {
    return token.length == std::strlen(text) && std::memcmp(token.start, text, token.length) == 0;
}

bool tokenIsNoCase(const Token& token, const char* text) {
    if (token.length != std::strlen(text)) return false;
    for (size_t i = 0; i < token.length; ++i)
        if (upperAscii(token.start[i]) != upperAscii(text[i])) return false;
    return true;
}

const char* findInToken(const Token& token, char c) {
    if (token.length == 0) return nullptr;
    return static_cast<const char*>(std::memchr(token.start, c, token.length));
}

}  // namespace

bool resolveAgainstPackage(const Publication& publication, const char* address, char* out) {
    Url url;
    url.setFromFile(publication.path);
    url.set(address);
    return url.toPath(out);
}

bool isWebAddress(const char* href) {
    auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    auto isSchemeChar = [&](char c) {
        return isLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '.' || c == '-';
    };
    if (!isLetter(href[0])) return false;
    int length = 1;
    while (isSchemeChar(href[length])) ++length;
    return length >= 2 && href[length] == ':' && !startsWithNoCase(href, "file:");
}
