// Writing a package document: one tag or one metadata element per line, text
// written as stored but for the markup characters, which become entities, and
// the bytes beyond ASCII, which become character references.
#include <initializer_list>
#include <utility>

#include "Paths.h"
#include "Publication.h"
#include "Text.h"

namespace {

// Room for the longest tag text a section writer builds: three fields of a
// record, every byte of them an entity or reference of seven bytes, and
// their names.
constexpr size_t kTagTextSize = 24 * kFieldSize;

struct TagText {
    char text[kTagTextSize];
};

TagText tagWithAttributes(const char* name, std::initializer_list<std::pair<const char*, const char*>> pairs,
                          MarkupBytes bytes = MarkupBytes::references);
void writeTagLine(FileHandle file, const char* tagText, TagForm form);
size_t packageLength(const char* value);

}  // namespace

bool Publication::save(const char* packagePath) {
    copyText(path, packagePath);
    folderOfPath(packagePath, folder);
    if (valueTooLongToReadBack() != nullptr) {
        noteFileError("a value is too long for the package once its markup characters are escaped");
        return false;
    }
    // Written beside the package first, so a failure leaves the old file whole.
    SafeFile safe;
    if (!openSafeFile(safe, packagePath)) return false;
    writePackage(safe.file);
    return commitSafeFile(safe, true);
}

void Publication::writePackage(FileHandle file) const {
    writeTagLine(file, "?xml version=\"1.0\"?", TagForm::start);
    writeTagLine(file,
                 "!DOCTYPE package PUBLIC \"+//ISBN 0-9673008-1-9//DTD OEB 1.0 Package//EN\" \"oebpkg1.dtd\"",
                 TagForm::start);
    writeTagLine(file, tagWithAttributes("package", {{"unique-identifier", uniqueIdentifier}}).text,
                 TagForm::start);
    writeMetadataSection(file);
    writeManifestSection(file);
    writeSpineSection(file);
    writeToursSection(file);
    writeGuideSection(file);
    writeTagLine(file, "package", TagForm::end);
}

void Publication::writeMetadataSection(FileHandle file, MarkupBytes bytes) const {
    writeTagLine(file, "metadata", TagForm::start);
    for (int32_t i = 0; i < metadataCount; ++i) {
        const MetadataEntry& entry = metadata[i];
        if (!isLive(entry.state)) continue;
        writeTag(file, entry.name, TagForm::start);
        char value[kEscapedValueSize];
        value[0] = '\0';
        appendEscaped(value, sizeof value, entry.value, MarkupPlace::text, bytes);
        writeText(file, value);
        writeTagLine(file, entry.name, TagForm::end);
    }
    writeTagLine(file, "metadata", TagForm::end);
}

void Publication::writeManifestSection(FileHandle file) const {
    writeTagLine(file, "manifest", TagForm::start);
    for (int32_t i = 0; i < manifestCount; ++i) {
        const ManifestItem& item = manifest[i];
        if (!isLive(item.state)) continue;
        TagText tag =
            tagWithAttributes("item", {{"id", item.id}, {"href", item.href}, {"media-type", item.mediaType}});
        writeTagLine(file, tag.text, TagForm::empty);
    }
    writeTagLine(file, "manifest", TagForm::end);
}

void Publication::writeSpineSection(FileHandle file) const {
    writeTagLine(file, "spine", TagForm::start);
    for (int32_t i = 0; i < spineCount; ++i) {
        const SpineItem& item = spine[i];
        if (!isLive(item.state)) continue;
        writeTagLine(file, tagWithAttributes("itemref", {{"idref", item.idref}}).text, TagForm::empty);
    }
    writeTagLine(file, "spine", TagForm::end);
}

void Publication::writeToursSection(FileHandle file) const {
    writeTagLine(file, "tours", TagForm::start);
    for (int32_t i = 0; i < tourCount; ++i) {
        const Tour& tour = tours[i];
        if (!isLive(tour.state)) continue;
        writeTagLine(file, tagWithAttributes("tour", {{"id", tour.id}, {"title", tour.title}}).text,
                     TagForm::start);
        for (int32_t j = 0; j < tour.siteCount; ++j) {
            const TourSite& site = tour.sites[j];
            if (!isLive(site.state)) continue;
            TagText tag = tagWithAttributes("site", {{"title", site.title}, {"href", site.href}});
            writeTagLine(file, tag.text, TagForm::empty);
        }
        writeTagLine(file, "tour", TagForm::end);
    }
    writeTagLine(file, "tours", TagForm::end);
}

void Publication::writeGuideSection(FileHandle file, MarkupBytes bytes) const {
    writeTagLine(file, "guide", TagForm::start);
    for (int32_t i = 0; i < guideCount; ++i) {
        const GuideReference& reference = guide[i];
        if (!isLive(reference.state)) continue;
        TagText tag = tagWithAttributes(
            "reference", {{"type", reference.type}, {"title", reference.title}, {"href", reference.href}},
            bytes);
        writeTagLine(file, tag.text, TagForm::empty);
    }
    writeTagLine(file, "guide", TagForm::end);
}

const char* Publication::valueTooLongToReadBack() const {
    // The reader takes attribute values of at most this many bytes.
    constexpr size_t kReadableValue = kFieldSize - 2;
    const char* fields[] = {uniqueIdentifier};
    for (const char* value : fields)
        if (packageLength(value) > kReadableValue) return value;
    for (int32_t i = 0; i < manifestCount; ++i) {
        const ManifestItem& item = manifest[i];
        if (!isLive(item.state)) continue;
        for (const char* value : {item.id, item.href, item.mediaType})
            if (packageLength(value) > kReadableValue) return value;
    }
    for (int32_t i = 0; i < spineCount; ++i) {
        if (isLive(spine[i].state) && packageLength(spine[i].idref) > kReadableValue) return spine[i].idref;
    }
    for (int32_t i = 0; i < tourCount; ++i) {
        const Tour& tour = tours[i];
        if (!isLive(tour.state)) continue;
        for (const char* value : {tour.id, tour.title})
            if (packageLength(value) > kReadableValue) return value;
        for (int32_t j = 0; j < tour.siteCount; ++j) {
            const TourSite& site = tour.sites[j];
            if (!isLive(site.state)) continue;
            for (const char* value : {site.title, site.href})
                if (packageLength(value) > kReadableValue) return value;
        }
    }
    for (int32_t i = 0; i < guideCount; ++i) {
        const GuideReference& reference = guide[i];
        if (!isLive(reference.state)) continue;
        for (const char* value : {reference.type, reference.title, reference.href})
            if (packageLength(value) > kReadableValue) return value;
    }
    return nullptr;
}

void writeTag(FileHandle file, const char* tagText, TagForm form) {
    char bytes[kTagTextSize + 4];
    copyText(bytes, form == TagForm::end ? "</" : "<");
    appendText(bytes, tagText);
    appendText(bytes, form == TagForm::empty ? "/>" : ">");
    writeText(file, bytes);
}

namespace {

TagText tagWithAttributes(const char* name, std::initializer_list<std::pair<const char*, const char*>> pairs,
                          MarkupBytes bytes) {
    TagText tag;
    copyText(tag.text, name);
    for (const auto& [attribute, value] : pairs) {
        appendText(tag.text, " ");
        appendText(tag.text, attribute);
        appendText(tag.text, "=\"");
        appendEscaped(tag.text, sizeof tag.text, value, MarkupPlace::attribute, bytes);
        appendText(tag.text, "\"");
    }
    return tag;
}

size_t packageLength(const char* value) {
    return escapedLength(value, MarkupPlace::attribute, MarkupBytes::references);
}

void writeTagLine(FileHandle file, const char* tagText, TagForm form) {
    writeTag(file, tagText, form);
    writeLineEnd(file);
}

}  // namespace
