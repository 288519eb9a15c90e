#include "Publication.h"

#include <cstring>

#include "Text.h"

namespace {

// Every add keeps one slot spare.
template <typename Record, int N>
bool hasRoom(const Record (&)[N], int32_t count) {
    return count < N - 1;
}

template <typename Record>
void swapRecords(Record& a, Record& b) {
    Record held = a;
    a = b;
    b = held;
}

}  // namespace

Publication::Publication() {
    std::memset(static_cast<void*>(this), 0, sizeof *this);
    for (auto& entry : metadata) entry.state = kLive;
    for (auto& item : manifest) item.state = kLive;
    for (auto& item : spine) item.state = kLive;
    for (auto& tour : tours) {
        tour.state = kLive;
        for (auto& site : tour.sites) site.state = kLive;
    }
    for (auto& reference : guide) reference.state = kLive;
    clear();
}

void Publication::clear() {
    path[0] = folder[0] = uniqueIdentifier[0] = '\0';
    metadataCount = manifestCount = spineCount = tourCount = guideCount = 0;
    for (auto& tour : tours) tour.siteCount = 0;
    readFailure[0] = '\0';
}

void Publication::addMetadata(const char* name, const char* value) {
    if (!hasRoom(metadata, metadataCount)) return;
    MetadataEntry& entry = metadata[metadataCount++];
    copyText(entry.name, name);
    copyText(entry.value, value);
    entry.state = kLive;
}

bool Publication::findMetadataValue(const char* name, char* out) const {
    for (int32_t i = 0; i < metadataCount; ++i) {
        const MetadataEntry& entry = metadata[i];
        if (isLive(entry.state) && equalsNoCase(entry.name, name)) {
            copyText(out, kValueSize, entry.value);
            return true;
        }
    }
    return false;
}

void Publication::deleteMetadata(MetadataEntry* entry) {
    if (entry != nullptr) entry->state = kDeleted;
}

void Publication::addManifestItem(const char* id, const char* href, const char* mediaType) {
    if (!hasRoom(manifest, manifestCount)) return;
    ManifestItem& item = manifest[manifestCount++];
    copyText(item.id, id);
    copyText(item.href, href);
    copyText(item.mediaType, mediaType);
    item.state = kLive;
}

ManifestItem* Publication::findManifestItem(const char* id) {
    for (int32_t i = 0; i < manifestCount; ++i) {
        if (isLive(manifest[i].state) && equalsNoCase(manifest[i].id, id)) return &manifest[i];
    }
    return nullptr;
}

bool Publication::isManifestIdUnique(const char* id) const {
    for (int32_t i = 0; i < manifestCount; ++i) {
        if (isLive(manifest[i].state) && equalsNoCase(manifest[i].id, id)) return false;
    }
    return true;
}

void Publication::deleteManifestItem(ManifestItem* item) {
    if (item != nullptr) item->state = kDeleted;
}

void Publication::addSpineItem(const char* idref) {
    if (!isSpineIdrefUnique(idref) || !hasRoom(spine, spineCount)) return;
    SpineItem& item = spine[spineCount++];
    copyText(item.idref, idref);
    item.manifestItem = nullptr;
    item.state = kLive;
}

bool Publication::isSpineIdrefUnique(const char* idref) const {
    for (int32_t i = 0; i < spineCount; ++i) {
        if (isLive(spine[i].state) && equalsNoCase(spine[i].idref, idref)) return false;
    }
    return true;
}

void Publication::removeSpineItemAt(int32_t index) {
    if (index < 0 || index >= spineCount) return;
    for (int32_t i = index; i + 1 < spineCount; ++i) spine[i] = spine[i + 1];
    --spineCount;
}

void Publication::moveSpineItemUp(int32_t index) {
    if (index < 1 || index >= spineCount) return;
    swapRecords(spine[index - 1], spine[index]);
}

void Publication::moveSpineItemDown(int32_t index) {
    if (index < 0 || index >= spineCount - 1) return;
    swapRecords(spine[index], spine[index + 1]);
}

void Publication::deleteSpineItemsById(const char* id) {
    // Exact comparison, unlike every other lookup of the model.
    for (int32_t i = 0; i < spineCount; ++i) {
        if (std::strcmp(spine[i].idref, id) == 0) spine[i].state = kDeleted;
    }
}

bool Publication::resolveSpine() {
    for (int32_t i = 0; i < spineCount; ++i) spine[i].manifestItem = findManifestItem(spine[i].idref);
    return true;
}

void Publication::addTour(const char* id, const char* title) {
    if (!hasRoom(tours, tourCount)) return;
    Tour& tour = tours[tourCount++];
    copyText(tour.id, id);
    copyText(tour.title, title);
    tour.siteCount = 0;
    tour.state = kLive;
}

bool Publication::isTourIdUnique(const char* id) const {
    for (int32_t i = 0; i < tourCount; ++i) {
        if (isLive(tours[i].state) && equalsNoCase(tours[i].id, id)) return false;
    }
    return true;
}

void Publication::deleteTour(Tour* tour) {
    if (tour != nullptr) tour->state = kDeleted;
}

void Publication::addTourSite(Tour* tour, const char* title, const char* href) {
    if (tour == nullptr || !hasRoom(tour->sites, tour->siteCount)) return;
    TourSite& site = tour->sites[tour->siteCount++];
    copyText(site.title, title);
    copyText(site.href, href);
    site.state = kLive;
}

void Publication::deleteTourSite(TourSite* site) {
    if (site != nullptr) site->state = kDeleted;
}

void Publication::addGuideReference(const char* title, const char* href, const char* type) {
    if (!hasRoom(guide, guideCount)) return;
    GuideReference& reference = guide[guideCount++];
    copyText(reference.type, type);
    copyText(reference.title, title);
    copyText(reference.href, href);
    reference.state = kLive;
}

void Publication::deleteGuideReference(GuideReference* reference) {
    if (reference != nullptr) reference->state = kDeleted;
}
