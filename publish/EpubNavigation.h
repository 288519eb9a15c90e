// Navigation a book brings with it: the links of a contents page, the table
// of contents of an EPUB's navigation document or its NCX, and what else a
// package that came from an EPUB says beyond an OEB package's tables.
#pragma once

#include <cstdint>

#include "BuildContext.h"
#include "TextPool.h"
#include "XhtmlConverter.h"
#include "model/Paths.h"
#include "model/Publication.h"

// The parts of a package unpacked from an EPUB, as hrefs of its package
// (entities decoded); empty where it names none.
struct InputEpubParts {
    char navHref[kPathSize] = "";
    char ncxHref[kPathSize] = "";
    char coverHref[kPathSize] = "";
};

// Reads them from the package file (the reader of the tables passes them
// over). False when the package names none of them.
bool readInputEpubParts(const Publication& publication, InputEpubParts& parts);

constexpr int32_t kNavigationEntries = 20000;

struct NavigationEntry {
    int32_t level;    // how deep it stands, as its source nests it
    int32_t label;    // UTF-8, in texts
    int32_t address;  // as written, relative to its document, in texts
    bool inToc;       // a table of contents' nav element holds it
};

// Large (about 3 MB): keep it off the call stack.
struct Navigation {
    NavigationEntry entries[kNavigationEntries];
    int32_t count = 0;
    // Entries that found no room.
    int32_t leftOut = 0;
    TextPool texts;

    void add(int32_t level, const char* label, const char* address, bool inToc);
    const char* label(int32_t i) const { return texts.text(entries[i].label); }
    const char* address(int32_t i) const { return texts.text(entries[i].address); }
    // The depth of each entry in a well-nested list, from the levels.
    void nestLevels();
};

// The links of an HTML document (program path), each with its text; when
// a table of contents' nav element holds some, those alone. False when the
// document cannot be read.
bool readDocumentLinks(const char* path, XhtmlConverter& converter, Navigation& navigation);
// The navigation points of an NCX, nested as it nests them.
bool readNcx(const char* path, Navigation& navigation);

// A package from an EPUB whose navigation document (or NCX) is not among
// the spine's documents gets a contents page of its entries at the end of
// the e-book's text, linked where the guide links the navigation. False
// only when the build must stop.
bool mergeInputContents(BuildContext& context);
