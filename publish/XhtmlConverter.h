// HTML of any era, as authors write it, read with the tag scanner and
// written as well-formed XHTML in UTF-8: elements closed and nested as
// XHTML allows, attributes quoted, entities and Windows-1252 bytes turned
// into characters, presentation attributes turned into styles, and markup
// that only a handheld reader knew left out.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/Files.h"

class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void put(const char* bytes, size_t n) = 0;
};

enum class XhtmlAddress { link, picture, styleSheet };

// What the conversion asks of the book it belongs to, and tells it.
class XhtmlContext {
public:
    virtual ~XhtmlContext() = default;
    // The address to write (UTF-8, escaped as an address) for an address
    // of the document, given as written with its entities decoded (UTF-8);
    // false leaves the attribute out (a picture: the element, whose text
    // alternative then stands as text). out: capacity bytes.
    virtual bool mapAddress(XhtmlAddress kind, const char* address, char* out, size_t capacity) = 0;
    // Every id the document is written with, in order.
    virtual void noteId(const char*) {}
    // A heading (level 1 to 6) with its id and its text.
    virtual void noteHeading(int, const char*, const char*) {}
    // A link with its address as written and its text; depth counts the
    // lists it stands in, inTocNav whether a table of contents' nav holds it.
    virtual void noteLink(const char*, const char*, int, bool) {}
};

struct XhtmlSettings {
    // The title when the document has none, and its language (UTF-8).
    const char* title = "";
    const char* language = "en";
    // Write nothing; only what the context is told counts (a first pass).
    bool quiet = false;
};

// Labels (heading and link texts) are kept up to this many bytes.
constexpr int kLabelBytes = 512;

struct XhtmlState;

class XhtmlConverter {
public:
    XhtmlConverter();
    ~XhtmlConverter();
    XhtmlConverter(const XhtmlConverter&) = delete;
    XhtmlConverter& operator=(const XhtmlConverter&) = delete;

    // The HTML document in file, from its start, into sink. False only when
    // the converter has no memory for its work.
    bool convert(FileHandle file, const XhtmlSettings& settings, XhtmlContext& context, ByteSink& sink);
    // A plain text document, its line breaks and blanks kept.
    bool convertText(FileHandle file, const XhtmlSettings& settings, ByteSink& sink);
    // Ids the last document could not keep because the table was full.
    int32_t idsLeftOut() const;

private:
    XhtmlState* state_;
};

// Whether the file's characters are UTF-8: a byte-order mark, a declared
// charset, or bytes that are UTF-8 with a character beyond ASCII; otherwise
// they are Windows-1252. Leaves the position at the start.
bool documentIsUtf8(FileHandle file, bool markup);
// Markup text (an attribute value, an NCX label) as UTF-8: entities and
// references decoded, the bytes read as UTF-8 or Windows-1252, line breaks
// and tabs turned into blanks. Cut at a character to fit capacity bytes.
void decodeMarkupText(const char* raw, bool utf8, char* out, size_t capacity);
// A language tag as BCP 47 writes one ("en", "en-GB", "zh-Hant-TW").
bool isWellFormedLanguage(const char* tag);
// An id as the conversion writes it: blanks, which no id holds, become "_".
// Links name ids the same way. Cut to fit capacity bytes.
void cleanId(const char* raw, char* out, size_t capacity);
// A character reference or HTML entity name (without "&" and ";"): its
// character, or 0 when there is none.
uint32_t htmlEntityCharacter(const char* name);
