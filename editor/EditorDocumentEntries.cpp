// The section operations of the document: what adding, changing, deleting
// and moving an entry does to the publication, apart from any window.
#include <cstring>
#include <initializer_list>

#include "editor/EditorDocument.h"
#include "model/Paths.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

// The edit controls hand over at most 255 characters, but a text from
// elsewhere might not fit: it is refused, not cut.
bool fitsField(const char* text, size_t capacity = kFieldSize) {
    return std::strlen(text) < capacity;
}

// The file an href names: the text before its fragment.
void fileOfHref(const char* href, char* file) {
    copyText(file, kFieldSize, href);
    if (char* fragment = std::strchr(file, '#')) *fragment = '\0';
}

bool allFit(std::initializer_list<const char*> texts) {
    for (const char* text : texts) {
        if (!fitsField(text)) return false;
    }
    return true;
}

}  // namespace

bool EditorDocument::addManifestEntry(const char* id, const char* href, const char* mediaType) {
    if (!allFit({id, href, mediaType})) return false;
    int32_t before = manifestCount;
    addManifestItem(id, href, mediaType);
    if (manifestCount == before) return false;
    // Unchanged when the spine already lists the id or is full. A picture
    // in the reading order would only be left out by every build.
    if (isReadingDocument(href, mediaType)) addSpineItem(id);
    markModified();
    return true;
}

bool EditorDocument::editManifestEntry(int32_t index, const char* id, const char* href,
                                       const char* mediaType) {
    ManifestItem* item = liveEntryAt(manifest, manifestCount, index);
    if (item == nullptr || !allFit({id, href, mediaType})) return false;
    for (int32_t i = 0; i < manifestCount; ++i) {
        // Two items of one id would leave the spine naming either.
        if (i != index && isLive(manifest[i].state) && equalsNoCase(manifest[i].id, id)) return false;
    }
    // The reading order follows the item to its new id.
    for (int32_t i = 0; i < spineCount; ++i) {
        if (isLive(spine[i].state) && equalsNoCase(spine[i].idref, item->id)) copyText(spine[i].idref, id);
    }
    copyText(item->id, id);
    copyText(item->href, href);
    copyText(item->mediaType, mediaType);
    markModified();
    return true;
}

bool EditorDocument::deleteManifestEntry(int32_t index) {
    ManifestItem* item = liveEntryAt(manifest, manifestCount, index);
    if (item == nullptr) return false;
    deleteManifestItem(item);
    deleteSpineItemsById(item->id);
    markModified();
    return true;
}

bool EditorDocument::addSpineEntry(const char* idref) {
    if (!fitsField(idref)) return false;
    int32_t before = spineCount;
    addSpineItem(idref);
    if (spineCount == before) return false;
    markModified();
    return true;
}

bool EditorDocument::deleteSpineEntry(int32_t index) {
    if (liveEntryAt(spine, spineCount, index) == nullptr) return false;
    removeSpineItemAt(index);
    markModified();
    return true;
}

bool EditorDocument::moveSpineEntryUp(int32_t index) {
    if (index < 1 || index >= spineCount) return false;
    moveSpineItemUp(index);
    markModified();
    return true;
}

bool EditorDocument::moveSpineEntryDown(int32_t index) {
    if (index < 0 || index >= spineCount - 1) return false;
    moveSpineItemDown(index);
    markModified();
    return true;
}

bool EditorDocument::addMetadataEntry(const char* name, const char* value) {
    if (!fitsField(name) || !fitsField(value, kValueSize)) return false;
    int32_t before = metadataCount;
    addMetadata(name, value);
    if (metadataCount == before) return false;
    markModified();
    return true;
}

bool EditorDocument::editMetadataEntry(int32_t index, const char* name, const char* value) {
    MetadataEntry* entry = liveEntryAt(metadata, metadataCount, index);
    if (entry == nullptr || !fitsField(name) || !fitsField(value, kValueSize)) return false;
    copyText(entry->name, name);
    copyText(entry->value, value);
    markModified();
    return true;
}

bool EditorDocument::deleteMetadataEntry(int32_t index) {
    MetadataEntry* entry = liveEntryAt(metadata, metadataCount, index);
    if (entry == nullptr) return false;
    deleteMetadata(entry);
    markModified();
    return true;
}

bool EditorDocument::addGuideEntry(const char* title, const char* href, const char* type) {
    if (!allFit({title, href, type})) return false;
    int32_t before = guideCount;
    addGuideReference(title, href, type);
    if (guideCount == before) return false;
    markModified();
    return true;
}

bool EditorDocument::editGuideEntry(int32_t index, const char* title, const char* href, const char* type) {
    GuideReference* reference = liveEntryAt(guide, guideCount, index);
    if (reference == nullptr || !allFit({title, href, type})) return false;
    copyText(reference->title, title);
    copyText(reference->href, href);
    copyText(reference->type, type);
    markModified();
    return true;
}

bool EditorDocument::deleteGuideEntry(int32_t index) {
    GuideReference* reference = liveEntryAt(guide, guideCount, index);
    if (reference == nullptr) return false;
    deleteGuideReference(reference);
    markModified();
    return true;
}

bool EditorDocument::addTourEntry(const char* id, const char* title) {
    if (!allFit({id, title})) return false;
    int32_t before = tourCount;
    addTour(id, title);
    if (tourCount == before) return false;
    markModified();
    return true;
}

bool EditorDocument::editTourEntry(int32_t index, const char* id, const char* title) {
    Tour* tour = liveEntryAt(tours, tourCount, index);
    if (tour == nullptr || !allFit({id, title})) return false;
    copyText(tour->id, id);
    copyText(tour->title, title);
    markModified();
    return true;
}

bool EditorDocument::addSiteEntry(int32_t tourIndex, const char* title, const char* href) {
    Tour* tour = liveEntryAt(tours, tourCount, tourIndex);
    if (tour == nullptr || !allFit({title, href})) return false;
    int32_t before = tour->siteCount;
    addTourSite(tour, title, href);
    if (tour->siteCount == before) return false;
    markModified();
    return true;
}

bool EditorDocument::editSiteEntry(int32_t tourIndex, int32_t siteIndex, const char* title,
                                   const char* href) {
    Tour* tour = liveEntryAt(tours, tourCount, tourIndex);
    TourSite* site = tour != nullptr ? liveEntryAt(tour->sites, tour->siteCount, siteIndex) : nullptr;
    if (site == nullptr || !allFit({title, href})) return false;
    copyText(site->title, title);
    copyText(site->href, href);
    markModified();
    return true;
}

bool EditorDocument::deleteTourOrSite(int32_t tourIndex, int32_t siteIndex) {
    Tour* tour = liveEntryAt(tours, tourCount, tourIndex);
    if (tour == nullptr) return false;
    if (siteIndex < 0) {
        deleteTour(tour);
    } else {
        TourSite* site = liveEntryAt(tour->sites, tour->siteCount, siteIndex);
        if (site == nullptr) return false;
        deleteTourSite(site);
    }
    markModified();
    return true;
}

const char* pictureTypeOfHref(const char* href) {
    struct Picture {
        const char* extension;
        const char* mediaType;
    };
    static constexpr Picture kPictures[] = {
        {".gif", "image/gif"}, {".png", "image/png"}, {".jpg", "image/jpeg"}, {".jpeg", "image/jpeg"}};
    char file[kFieldSize];
    fileOfHref(href, file);
    for (const Picture& picture : kPictures) {
        if (endsWithNoCase(file, picture.extension)) return picture.mediaType;
    }
    return nullptr;
}

bool isReadingDocument(const char* href, const char* mediaType) {
    if (pictureTypeOfHref(href) != nullptr) return false;
    if (mediaType[0] == '\0') {
        char file[kFieldSize];
        fileOfHref(href, file);
        for (const char* extension : {".htm", ".html", ".xhtml", ".txt"}) {
            if (endsWithNoCase(file, extension)) return true;
        }
        return false;
    }
    for (const char* document : {"text/x-oeb1-document", "text/html", "application/xhtml+xml", "text/plain"}) {
        if (equalsNoCase(mediaType, document)) return true;
    }
    return false;
}

EditMenuEntries editMenuEntries(const EditorDocument& document, int visibleView, int32_t selectedTour) {
    bool tourSelected = liveEntryAt(document.tours, document.tourCount, selectedTour) != nullptr;
    return EditMenuEntries{visibleView != IDC_SPINE_VIEW, visibleView == IDC_TOURS_VIEW && tourSelected};
}
