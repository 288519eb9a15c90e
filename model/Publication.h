// The in-memory package: fixed-capacity tables of fixed-size records. It is
// large (about two million bytes of text fields): hold it in static storage
// or on the heap, never on a call stack.
#pragma once

#include <cstdint>

#include "Files.h"
#include "Text.h"

constexpr int32_t kDeleted = -1;
constexpr int32_t kLive = 0;

// Room for a whole rights text of an import.
constexpr int kValueSize = 8192;
// A metadata value with every byte written as an entity or a character
// reference of up to seven bytes.
constexpr int kEscapedValueSize = 7 * kValueSize;

constexpr int kMetadataSlots = 50;
constexpr int kManifestSlots = 500;
constexpr int kSpineSlots = 500;
constexpr int kTourSlots = 50;
constexpr int kSiteSlots = 50;
constexpr int kGuideSlots = 100;

struct MetadataEntry {
    char name[kFieldSize];
    char value[kValueSize];
    int32_t state;
};

struct ManifestItem {
    char id[kFieldSize];
    char href[kFieldSize];
    char mediaType[kFieldSize];
    int32_t state;
};

struct SpineItem {
    char idref[kFieldSize];
    ManifestItem* manifestItem;
    int32_t state;
};

struct TourSite {
    char title[kFieldSize];
    char href[kFieldSize];
    int32_t state;
};

struct Tour {
    char id[kFieldSize];
    char title[kFieldSize];
    TourSite sites[kSiteSlots];
    int32_t siteCount;
    int32_t state;
};

struct GuideReference {
    char type[kFieldSize];
    char title[kFieldSize];
    char href[kFieldSize];
    int32_t state;
};

inline bool isLive(int32_t state) {
    return state != kDeleted;
}

struct Publication {
    char path[kFieldSize];
    char folder[kFieldSize];
    char uniqueIdentifier[kFieldSize];
    MetadataEntry metadata[kMetadataSlots];
    int32_t metadataCount;
    ManifestItem manifest[kManifestSlots];
    int32_t manifestCount;
    SpineItem spine[kSpineSlots];
    int32_t spineCount;
    Tour tours[kTourSlots];
    int32_t tourCount;
    GuideReference guide[kGuideSlots];
    int32_t guideCount;
    // Why open refused the package ("missing media-type on item 3", "no
    // </package>", a full table); empty when it did not, or when the file
    // could not be opened at all.
    char readFailure[kFieldSize];

    Publication();
    Publication(const Publication&) = delete;
    Publication& operator=(const Publication&) = delete;

    void clear();

    void addMetadata(const char* name, const char* value);
    bool findMetadataValue(const char* name, char* out) const;  // out: 1024 bytes
    void deleteMetadata(MetadataEntry* entry);

    void addManifestItem(const char* id, const char* href, const char* mediaType);
    ManifestItem* findManifestItem(const char* id);
    bool isManifestIdUnique(const char* id) const;
    void deleteManifestItem(ManifestItem* item);

    void addSpineItem(const char* idref);
    bool isSpineIdrefUnique(const char* idref) const;
    void removeSpineItemAt(int32_t index);
    void moveSpineItemUp(int32_t index);
    void moveSpineItemDown(int32_t index);
    void deleteSpineItemsById(const char* id);
    bool resolveSpine();

    void addTour(const char* id, const char* title);
    bool isTourIdUnique(const char* id) const;
    void deleteTour(Tour* tour);
    void addTourSite(Tour* tour, const char* title, const char* href);
    void deleteTourSite(TourSite* site);

    void addGuideReference(const char* title, const char* href, const char* type);
    void deleteGuideReference(GuideReference* reference);

    // Reading a package document.
    bool open(const char* packagePath);
    bool readDocument(FileHandle file);

    // Writing one. save writes into a new file beside the target and puts it
    // in place only when everything was written, so a failed save leaves the
    // old package as it was; the result tells whether it succeeded.
    bool save(const char* packagePath);
    // The package names no encoding, so its bytes beyond ASCII are written
    // as character references; the build writes the metadata and the guide
    // into the e-book's 8-bit text as they are.
    void writePackage(FileHandle file) const;
    void writeMetadataSection(FileHandle file, MarkupBytes bytes = MarkupBytes::references) const;
    void writeManifestSection(FileHandle file) const;
    void writeSpineSection(FileHandle file) const;
    void writeToursSection(FileHandle file) const;
    void writeGuideSection(FileHandle file, MarkupBytes bytes = MarkupBytes::references) const;
    // The first attribute value that, written with entities and references,
    // is longer than the reader takes (254 bytes), so that the package would not read back;
    // null when there is none.
    const char* valueTooLongToReadBack() const;
};

enum class TagForm { start, end, empty };

// One tag in the given form with a single file write.
void writeTag(FileHandle file, const char* tagText, TagForm form);
