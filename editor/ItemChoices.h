// What the six item dialogs show and hand back, the lists they offer, the
// checks their OK makes and what OK then does to the document. In each
// record editedEntry (for sites editedTour and editedSite) is -1 in add
// mode and the index of the entry being edited otherwise.
#pragma once

#include <cstdint>

#include "editor/EditorDocument.h"

struct ManifestItemChoices {
    EditorDocument* document = nullptr;
    int32_t editedEntry = -1;
    char id[kFieldSize] = "";
    char href[kFieldSize] = "";
    char mediaType[kFieldSize] = "";
};

struct SpineItemChoices {
    EditorDocument* document = nullptr;
    char idref[kFieldSize] = "";  // empty: nothing chosen
};

struct MetadataItemChoices {
    EditorDocument* document = nullptr;
    int32_t editedEntry = -1;
    char name[kFieldSize] = "";  // empty: no list entry chosen
    char value[kValueSize] = "";
};

struct GuideItemChoices {
    EditorDocument* document = nullptr;
    int32_t editedEntry = -1;
    char title[kFieldSize] = "";
    char href[kFieldSize] = "";
    char type[kFieldSize] = "";
};

struct TourItemChoices {
    EditorDocument* document = nullptr;
    int32_t editedEntry = -1;
    char id[kFieldSize] = "";
    char title[kFieldSize] = "";
};

struct SiteItemChoices {
    EditorDocument* document = nullptr;
    int32_t editedTour = -1;  // in add mode, the tour the site joins
    int32_t editedSite = -1;
    char title[kFieldSize] = "";
    char href[kFieldSize] = "";
};

// The lists, in the order the dialogs show them.
extern const char* const kManifestTypes[3];
extern const char* const kMetadataNames[15];
extern const char* const kGuideTypes[16];
// The ids the Spine dialog offers: live reading documents of the manifest
// that no live spine entry refers to yet, in manifest order. Returns how many were stored.
int32_t availableSpineIds(const EditorDocument& document, const char** out, int32_t capacity);
// The index of the list entry equal to text without regard to case, or -1.
int32_t listIndexOf(const char* const* list, int32_t count, const char* text);

// Edit mode: the record filled from the entry; false when it names none.
bool loadManifestItem(ManifestItemChoices& choices, int32_t index);
bool loadMetadataItem(MetadataItemChoices& choices, int32_t index);
bool loadGuideItem(GuideItemChoices& choices, int32_t index);
bool loadTourItem(TourItemChoices& choices, int32_t index);
bool loadSiteItem(SiteItemChoices& choices, int32_t tour, int32_t site);

// The checks of OK in their order: the string id of the first that fails
// (the dialog shows it and stays open), or 0.
int32_t checkManifestItem(const ManifestItemChoices& choices);
int32_t checkSpineItem(const SpineItemChoices& choices);
int32_t checkGuideItem(const GuideItemChoices& choices);
int32_t checkTourItem(const TourItemChoices& choices);
int32_t checkSiteItem(const SiteItemChoices& choices);

// What OK does after the checks passed: 0, or the string id saying that
// the section is full (the dialog shows it and ends without a change).
int32_t applyManifestItem(const ManifestItemChoices& choices);
int32_t applySpineItem(const SpineItemChoices& choices);
int32_t applyMetadataItem(const MetadataItemChoices& choices);
int32_t applyGuideItem(const GuideItemChoices& choices);
int32_t applyTourItem(const TourItemChoices& choices);
int32_t applySiteItem(const SiteItemChoices& choices);
