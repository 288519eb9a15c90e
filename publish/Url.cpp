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

void parseAbsolute(Url& url, const char* address, bool impliedFileScheme);
void resolveRelative(Url& url, const char* address);
void addFolder(Url& url, const Token& token, int32_t limit);
bool hasAbsoluteScheme(const char* address);
bool isSeparator(char c);
// The next non-empty token at or after *cursor; false when none is left.
bool nextToken(const char** cursor, Token* token);
void copyToken(char* field, const Token& token);
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
}

void Url::setFrom(const char* address) {
    reset();
    set(address);
}

void Url::set(const char* address) {
    if (address == nullptr) address = "";
    if (hasAbsoluteScheme(address)) {
        parseAbsolute(*this, address, false);
    } else if (std::strstr(address, "javascript:") != nullptr) {
        // A script call names no file: the address stays that of the document.
    } else if ((address[0] != '\0' && address[1] == ':') || (address[0] == '\\' && address[1] == '\\')) {
        scheme = kSchemeFile;
        parseAbsolute(*this, address, true);
    } else {
        resolveRelative(*this, address);
    }
}

void Url::toPath(char* out) const {
    out[0] = '\0';
    const char* separator = "\\";
    if (scheme == kSchemeHttp) {
        separator = "/";
        appendText(out, kUrlFieldSize, "http://");
        appendText(out, kUrlFieldSize, host);
    } else if (host[0] != '\0' && host[1] == ':') {
        appendText(out, kUrlFieldSize, host);
    } else {
        appendText(out, kUrlFieldSize, "\\\\");
        appendText(out, kUrlFieldSize, host);
    }
    for (int32_t i = 0; i < folderCount; ++i) {
        appendText(out, kUrlFieldSize, separator);
        appendText(out, kUrlFieldSize, folders[i]);
    }
    if (fileName[0] != '\0') {
        appendText(out, kUrlFieldSize, separator);
        appendText(out, kUrlFieldSize, fileName);
    }
    if (scheme == kSchemeFile) {
        // Escapes become blanks, whatever they encode.
        char* write = out;
        for (const char* read = out; *read != '\0'; ++read) {
            if (*read == '%') {
                *write++ = ' ';
                for (int skipped = 0; skipped < 2 && read[1] != '\0'; ++skipped) ++read;
            } else {
                *write++ = *read;
            }
        }
        *write = '\0';
    }
}

bool Url::sameResource(const Url& other) const {
    char mine[kUrlFieldSize];
    char theirs[kUrlFieldSize];
    toPath(mine);
    other.toPath(theirs);
    return std::strcmp(mine, theirs) == 0;
}

namespace {

void parseAbsolute(Url& url, const char* address, bool impliedFileScheme) {
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
    copyToken(url.host, token);
    Token last;
    if (!nextToken(&cursor, &last)) return;
    while (nextToken(&cursor, &token)) {
        addFolder(url, last, kUrlFolderSlots);
        last = token;
    }
    const char* hash = findInToken(last, '#');
    Token beforeHash{last.start, hash != nullptr ? size_t(hash - last.start) : last.length};
    if (findInToken(beforeHash, '.') != nullptr || findInToken(beforeHash, '?') != nullptr) {
        copyToken(url.fileName, beforeHash);
        if (hash != nullptr) copyToken(url.fragment, Token{hash + 1, last.length - beforeHash.length - 1});
    } else if (beforeHash.length > 0) {
        addFolder(url, beforeHash, kUrlFolderSlots);
    }
}

void resolveRelative(Url& url, const char* address) {
    if (address[0] == '#') {
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
            addFolder(url, last, kUrlRelativeFolderLimit);
        }
        last = token;
    }
    const char* hash = findInToken(last, '#');
    if (hash == nullptr) {
        copyToken(url.fileName, last);
        return;
    }
    size_t beforeLength = size_t(hash - last.start);
    copyToken(url.fileName, Token{last.start, beforeLength});
    copyToken(url.fragment, Token{hash + 1, last.length - beforeLength - 1});
}

void addFolder(Url& url, const Token& token, int32_t limit) {
    if (url.folderCount >= limit) return;
    copyToken(url.folders[url.folderCount], token);
    ++url.folderCount;
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

void copyToken(char* field, const Token& token) {
    size_t n = token.length < size_t(kUrlFieldSize - 1) ? token.length : size_t(kUrlFieldSize - 1);
    if (n > 0) std::memcpy(field, token.start, n);
    field[n] = '\0';
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

void resolveAgainstPackage(const Publication& publication, const char* address, char* out) {
    Url url;
    url.setFrom(publication.path);
    url.set(address);
    url.toPath(out);
}
