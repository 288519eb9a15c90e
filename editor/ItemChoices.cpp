#include "editor/ItemChoices.h"

#include "model/Text.h"
#include "resources/ResourceIds.h"

const char* const kManifestTypes[3] = {"text/x-oeb1-document", "text/image", "text/html"};

const char* const kMetadataNames[15] = {
    "dc:Identifier", "dc:Title",   "dc:Creator", "dc:Contributor", "dc:Description",
    "dc:Publisher",  "dc:Subject", "dc:Source",  "dc:Language",    "dc:Relation",
    "dc:Coverage",   "dc:Date",    "dc:Type",    "dc:Format",      "dc:Rights",
};

const char* const kGuideTypes[16] = {
    "cover",        "title-page", "toc",
    "index",        "glossary",   "acknowledgements",
    "bibliography", "colophon",   "copyright-page",
    "dedication",   "epigraph",   "foreword",
    "loi",          "lot",        "notes",
    "preface",
};

int32_t availableSpineIds(const EditorDocument& document, const char** out, int32_t capacity) {
    int32_t found = 0;
    for (int32_t i = 0; i < document.manifestCount && found < capacity; ++i) {
        const ManifestItem& item = document.manifest[i];
        if (isLive(item.state) && isReadingDocument(item.href, item.mediaType) &&
            document.isSpineIdrefUnique(item.id))
            out[found++] = item.id;
    }
    return found;
}

int32_t listIndexOf(const char* const* list, int32_t count, const char* text) {
    for (int32_t i = 0; i < count; ++i) {
        if (equalsNoCase(list[i], text)) return i;
    }
    return -1;
}

bool loadManifestItem(ManifestItemChoices& choices, int32_t index) {
    EditorDocument& document = *choices.document;
    const ManifestItem* item = liveEntryAt(document.manifest, document.manifestCount, index);
    if (item == nullptr) return false;
    choices.editedEntry = index;
    copyText(choices.id, item->id);
    copyText(choices.href, item->href);
    copyText(choices.mediaType, item->mediaType);
    return true;
}

bool loadMetadataItem(MetadataItemChoices& choices, int32_t index) {
    EditorDocument& document = *choices.document;
    const MetadataEntry* entry = liveEntryAt(document.metadata, document.metadataCount, index);
    if (entry == nullptr) return false;
    choices.editedEntry = index;
    copyText(choices.name, entry->name);
    copyText(choices.value, entry->value);
    return true;
}

bool loadGuideItem(GuideItemChoices& choices, int32_t index) {
    EditorDocument& document = *choices.document;
    const GuideReference* reference = liveEntryAt(document.guide, document.guideCount, index);
    if (reference == nullptr) return false;
    choices.editedEntry = index;
    copyText(choices.title, reference->title);
    copyText(choices.href, reference->href);
    copyText(choices.type, reference->type);
    return true;
}

bool loadTourItem(TourItemChoices& choices, int32_t index) {
    EditorDocument& document = *choices.document;
    const Tour* tour = liveEntryAt(document.tours, document.tourCount, index);
    if (tour == nullptr) return false;
    choices.editedEntry = index;
    copyText(choices.id, tour->id);
    copyText(choices.title, tour->title);
    return true;
}

bool loadSiteItem(SiteItemChoices& choices, int32_t tourIndex, int32_t siteIndex) {
    EditorDocument& document = *choices.document;
    Tour* tour = liveEntryAt(document.tours, document.tourCount, tourIndex);
    const TourSite* site = tour != nullptr ? liveEntryAt(tour->sites, tour->siteCount, siteIndex) : nullptr;
    if (site == nullptr) return false;
    choices.editedTour = tourIndex;
    choices.editedSite = siteIndex;
    copyText(choices.title, site->title);
    copyText(choices.href, site->href);
    return true;
}

int32_t checkManifestItem(const ManifestItemChoices& choices) {
    if (choices.id[0] == '\0') return IDS_MANIFEST_ID_EMPTY;
    // An edited item may keep its own id, but not take another item's.
    const EditorDocument& document = *choices.document;
    for (int32_t i = 0; i < document.manifestCount; ++i) {
        if (i != choices.editedEntry && isLive(document.manifest[i].state) &&
            equalsNoCase(document.manifest[i].id, choices.id))
            return IDS_MANIFEST_ID_EXISTS;
    }
    if (choices.href[0] == '\0') return IDS_NO_FILE_NAME;
    return 0;
}

int32_t checkSpineItem(const SpineItemChoices& choices) {
    return choices.idref[0] == '\0' ? IDS_SPINE_NO_ID_CHOSEN : 0;
}

int32_t checkGuideItem(const GuideItemChoices& choices) {
    if (choices.title[0] == '\0') return IDS_GUIDE_NO_TITLE;
    if (choices.href[0] == '\0') return IDS_NO_FILE_NAME;
    return 0;
}

int32_t checkTourItem(const TourItemChoices& choices) {
    if (choices.title[0] == '\0') return IDS_TOUR_NO_TITLE;
    if (choices.editedEntry < 0 && !choices.document->isTourIdUnique(choices.id)) return IDS_TOUR_ID_EXISTS;
    return 0;
}

int32_t checkSiteItem(const SiteItemChoices& choices) {
    if (choices.title[0] == '\0') return IDS_SITE_NO_TITLE;
    if (choices.href[0] == '\0') return IDS_SITE_NO_HREF;
    return 0;
}

int32_t applyManifestItem(const ManifestItemChoices& choices) {
    EditorDocument& document = *choices.document;
    if (choices.editedEntry >= 0) {
        document.editManifestEntry(choices.editedEntry, choices.id, choices.href, choices.mediaType);
        return 0;
    }
    return document.addManifestEntry(choices.id, choices.href, choices.mediaType) ? 0 : IDS_MANIFEST_FULL;
}

int32_t applySpineItem(const SpineItemChoices& choices) {
    return choices.document->addSpineEntry(choices.idref) ? 0 : IDS_SPINE_FULL;
}

int32_t applyMetadataItem(const MetadataItemChoices& choices) {
    EditorDocument& document = *choices.document;
    if (choices.editedEntry >= 0) {
        // A name the list does not offer is kept unless another is chosen:
        // storing it empty would lose the entry when the package is read.
        const char* name =
            choices.name[0] != '\0' ? choices.name : document.metadata[choices.editedEntry].name;
        char kept[kFieldSize];
        copyText(kept, name);
        document.editMetadataEntry(choices.editedEntry, kept, choices.value);
        return 0;
    }
    return document.addMetadataEntry(choices.name, choices.value) ? 0 : IDS_METADATA_FULL;
}

int32_t applyGuideItem(const GuideItemChoices& choices) {
    EditorDocument& document = *choices.document;
    if (choices.editedEntry >= 0) {
        document.editGuideEntry(choices.editedEntry, choices.title, choices.href, choices.type);
        return 0;
    }
    return document.addGuideEntry(choices.title, choices.href, choices.type) ? 0 : IDS_GUIDE_FULL;
}

int32_t applyTourItem(const TourItemChoices& choices) {
    EditorDocument& document = *choices.document;
    if (choices.editedEntry >= 0) {
        document.editTourEntry(choices.editedEntry, choices.id, choices.title);
        return 0;
    }
    return document.addTourEntry(choices.id, choices.title) ? 0 : IDS_TOURS_FULL;
}

int32_t applySiteItem(const SiteItemChoices& choices) {
    EditorDocument& document = *choices.document;
    if (choices.editedSite >= 0) {
        document.editSiteEntry(choices.editedTour, choices.editedSite, choices.title, choices.href);
        return 0;
    }
    return document.addSiteEntry(choices.editedTour, choices.title, choices.href) ? 0 : IDS_SITES_FULL;
}
