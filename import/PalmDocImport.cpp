#include "PalmDocImport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "GeneratedPages.h"
#include "GifEncoder.h"
#include "model/Decompression.h"
#include "model/Files.h"
#include "model/PalmDocLayout.h"
#include "model/Text.h"

namespace {

// Far beyond what 65,535 records of text and pictures can need.
constexpr uint64_t kLargestDatabase = uint64_t(1) << 30;
// The contents page ends where the first chapter it links to begins, or
// where no link follows the last one within this many bytes.
constexpr uint32_t kContentsGap = 4096;
// A book with neither contents nor headings is cut about this often.
constexpr uint32_t kPlainSplitSize = 64 * 1024;
constexpr const char* kPictureType = "image/gif";
constexpr const char* kAnchorPrefix = "fp";
// The bitmap of a picture record: file header, info header, 256 colours.
constexpr uint32_t kBitmapPixelOffset = 14 + 40 + 4 * 256;

struct Database {
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> start;  // of each record
    std::vector<uint32_t> end;
    uint32_t textRecords = 0;
    char name[kDatabaseNameSize + 1] = "";
};

struct Tag {
    uint32_t start;
    uint32_t end;  // behind the ">"
};

struct Attribute {
    std::string name;  // lower case
    std::string raw;   // as written, name and value
    std::string value;
};

struct Reference {
    std::string type, title, href;
    int64_t target;
};

struct Book {
    std::string text;
    bool markup = false;
    std::vector<Tag> tags;
    uint32_t bodyStart = 0;
    uint32_t contentEnd = 0;
    std::vector<Reference> guide;
    std::vector<uint32_t> fileStarts;
    std::vector<uint32_t> anchors;   // inserted where a link lands inside a file
    std::vector<uint32_t> pictures;  // picture numbers, in order of first use
    std::vector<int32_t> pictureOf;  // a picture number's place there, or -1
    std::vector<std::string> fileNames;
    std::vector<std::string> addresses;
    std::vector<std::string> pictureNames;
    std::vector<std::string> pictureAddresses;
};

bool readDatabase(ImportJob& job, Database& db);
bool decodeText(ImportJob& job, const Database& db, ImportReporter& reporter, std::string& text);
bool damaged(ImportJob& job, const char* what, int64_t record = -1);
void findTags(Book& book);
bool readHead(ImportJob& job, Book& book);
void chooseFiles(Book& book, uint32_t capacity);
void findAnchorsAndPictures(Book& book);
bool nameFiles(ImportJob& job, Book& book);
bool checkPictures(ImportJob& job, const Database& db, const Book& book);
bool writePictures(ImportJob& job, const Database& db, const Book& book);
bool writeContentFiles(ImportJob& job, const Book& book);
bool writePackage(ImportJob& job, Book& book, const Database& db);
bool writeWholeFile(ImportJob& job, const std::string& name, const void* bytes, size_t length);

int32_t colourBitsOf(const IndexedPicture& picture, const uint8_t* palette);
std::string tagName(const Book& book, const Tag& tag);
std::vector<Attribute> attributesOf(const Book& book, const Tag& tag);
const Attribute* findAttribute(const std::vector<Attribute>& attributes, const char* name);
int64_t targetOf(const Book& book, const std::string& filepos);
int64_t numberOf(const std::string& digits);
uint32_t outsideTags(const Book& book, uint32_t position);
std::string hrefOf(const Book& book, uint32_t target);
bool isBlank(const std::string& text, uint32_t from, uint32_t to);
std::string decoded(const std::string& text);

}  // namespace

bool isPalmDocFile(const char* path) {
    FileHandle file = openFile(path, OpenMode::read);
    if (file == kInvalidFileHandle) return false;
    uint8_t header[kDatabaseHeaderSize];
    bool read = readBytes(file, header, sizeof header);
    closeFile(file);
    return read && std::memcmp(header + kTypeOffset, kPalmDocType, 4) == 0 &&
           std::memcmp(header + kCreatorOffset, kPalmDocCreator, 4) == 0;
}

ImportOutcome importPalmDoc(ImportJob& job, ImportReporter& reporter) {
    job.failed = false;
    job.lastError[0] = '\0';
    job.publication.clear();
    if (!checkBaseName(job)) return ImportOutcome::startFailed;
    Database db;
    Book book;
    if (!readDatabase(job, db)) return ImportOutcome::startFailed;
    if (!decodeText(job, db, reporter, book.text)) {
        return job.lastError[0] == '\0' ? ImportOutcome::stopped : ImportOutcome::startFailed;
    }
    findTags(book);
    if (!readHead(job, book)) return ImportOutcome::startFailed;
    findAnchorsAndPictures(book);
    uint32_t pictureCount = uint32_t(book.pictures.size());
    if (pictureCount + 1 >= uint32_t(kManifestSlots - 1)) {
        setLastError(job, {"The e-book has more pictures than a package can list : ", job.sourcePath});
        return ImportOutcome::startFailed;
    }
    chooseFiles(book, uint32_t(kManifestSlots - 1) - pictureCount);
    findAnchorsAndPictures(book);
    if (!checkPictures(job, db, book) || !nameFiles(job, book)) return ImportOutcome::startFailed;

    bool written = writePictures(job, db, book) && writeContentFiles(job, book) && writePackage(job, book, db);
    if (!written) {
        job.failed = true;
        job.created.removeAll();
        return ImportOutcome::failed;
    }
    job.created.keepAll();
    reporter.setProgress(100);
    return ImportOutcome::done;
}

namespace {

// The whole file, and the record list checked against it: every record
// lies behind the list, inside the file, and after the one before it.
bool readDatabase(ImportJob& job, Database& db) {
    uint64_t size = fileSize(job.sourcePath);
    if (size > kLargestDatabase) return damaged(job, "The file is too large for an e-book");
    FileHandle file = openFile(job.sourcePath, OpenMode::read);
    if (file == kInvalidFileHandle) {
        setLastError(job, {"Unable to open the source file : ", job.sourcePath});
        return false;
    }
    db.bytes.resize(size_t(size));
    bool read = size == 0 || readBytes(file, db.bytes.data(), uint32_t(size));
    closeFile(file);
    if (!read) {
        setLastError(job, {"Unable to read the source file : ", job.sourcePath});
        return false;
    }
    const uint8_t* bytes = db.bytes.data();
    if (size < kDatabaseHeaderSize || std::memcmp(bytes + kTypeOffset, kPalmDocType, 4) != 0 ||
        std::memcmp(bytes + kCreatorOffset, kPalmDocCreator, 4) != 0)
        return damaged(job, "The file is no PalmDOC e-book (type TEXt, creator REAd)");
    std::memcpy(db.name, bytes, kDatabaseNameSize);
    db.name[kDatabaseNameSize] = '\0';
    uint32_t count = big16(bytes + kRecordCountOffset);
    if (count == 0) return damaged(job, "The e-book holds no records");
    uint32_t listEnd = recordEntryOffset(count);
    if (listEnd > size) return damaged(job, "The record list runs past the end of the file");
    db.start.resize(count);
    db.end.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t start = big32(bytes + recordEntryOffset(i));
        if (start < listEnd) return damaged(job, "starts inside the header or the record list", i);
        if (start > size) return damaged(job, "starts past the end of the file", i);
        if (i > 0 && start < db.start[i - 1]) return damaged(job, "starts inside the record before it", i);
        db.start[i] = start;
        if (i > 0) db.end[i - 1] = start;
    }
    db.end[count - 1] = uint32_t(size);
    uint32_t zeroLength = db.end[0] - db.start[0];
    if (zeroLength < kRecordZeroHead) return damaged(job, "is too short to describe the text", 0);
    const uint8_t* zero = bytes + db.start[0];
    uint32_t compression = big16(zero);
    if (compression != kStoredText && compression != kCompressedText)
        return damaged(job, "names a compression this import does not read", 0);
    db.textRecords = big16(zero + kTextRecordCountOffset);
    if (db.textRecords >= count) return damaged(job, "announces more text records than the file holds", 0);
    if (db.textRecords == 0) return damaged(job, "The e-book holds no text");
    return true;
}

// Record by record; each must hold text and decode into one record's size.
bool decodeText(ImportJob& job, const Database& db, ImportReporter& reporter, std::string& text) {
    bool compressed = big16(db.bytes.data() + db.start[0]) == kCompressedText;
    uint8_t piece[kTextRecordSize];
    text.reserve(size_t(db.textRecords) * kTextRecordSize);
    for (uint32_t i = 1; i <= db.textRecords; ++i) {
        if (reporter.stopRequested()) return false;
        const uint8_t* record = db.bytes.data() + db.start[i];
        uint32_t length = db.end[i] - db.start[i];
        if (length == 0) return damaged(job, "holds no text", i);
        int32_t decodedLength = compressed ? decompressRecord(record, length, piece, kTextRecordSize)
                                           : length <= kTextRecordSize ? int32_t(length) : -1;
        if (decodedLength < 0) return damaged(job, "does not decode into at most 4096 bytes of text", i);
        text.append(reinterpret_cast<const char*>(compressed ? piece : record), size_t(decodedLength));
        if (i % 64 == 0) reporter.setProgress(int(uint64_t(i) * 90 / db.textRecords));
    }
    return true;
}

// "Record 7 holds no text : book.prc", or a sentence of its own.
bool damaged(ImportJob& job, const char* what, int64_t record) {
    if (record < 0) {
        setLastError(job, {what, " : ", job.sourcePath});
        return false;
    }
    char number[32];
    std::snprintf(number, sizeof number, "Record %lld ", static_cast<long long>(record));
    setLastError(job, {number, what, " : ", job.sourcePath});
    return false;
}

// Every tag of the text, and whether the text is markup at all: text from
// other tools is often plain, where "<" is just a character.
void findTags(Book& book) {
    const std::string& text = book.text;
    size_t at = 0;
    while ((at = text.find('<', at)) != std::string::npos) {
        char next = at + 1 < text.size() ? text[at + 1] : '\0';
        if (!std::isalpha(static_cast<unsigned char>(next)) && next != '/' && next != '!') {
            ++at;
            continue;
        }
        size_t close = text.find('>', at);
        // No ">" behind this "<" means none behind any later one either.
        if (close == std::string::npos) break;
        book.tags.push_back({uint32_t(at), uint32_t(close + 1)});
        at = close + 1;
    }
    static const char* const kMarkupNames[] = {"html", "body", "p", "br", "a", "img", "h1", "h2", "h3"};
    for (const Tag& tag : book.tags) {
        std::string name = tagName(book, tag);
        for (const char* known : kMarkupNames) book.markup = book.markup || name == known;
        if (book.markup) break;
    }
    book.contentEnd = uint32_t(text.size());
    if (!book.markup) {
        book.tags.clear();
        return;
    }
    for (const Tag& tag : book.tags) {
        std::string name = tagName(book, tag);
        if (name == "body" || (name == "/head" && book.bodyStart == 0)) book.bodyStart = tag.end;
        if (name == "body") break;
    }
    for (auto tag = book.tags.rbegin(); tag != book.tags.rend() && tag->start >= book.bodyStart; ++tag) {
        if (tagName(book, *tag) == "/body") {
            book.contentEnd = tag->start;
            break;
        }
    }
}

// The head as the publisher merges it: the metadata section, the guide's
// references, and the link to the metadata page at the end of the body,
// which the next publishing makes anew. False, said, when its metadata
// does not fit a package: nothing of it is cut.
bool readHead(ImportJob& job, Book& book) {
    Publication& publication = job.publication;
    bool inMetadata = false;
    uint32_t metadataPage = book.contentEnd;
    for (size_t i = 0; i < book.tags.size() && book.tags[i].start < book.bodyStart; ++i) {
        const Tag& tag = book.tags[i];
        std::string name = tagName(book, tag);
        std::vector<Attribute> attributes = attributesOf(book, tag);
        const Attribute* filepos = findAttribute(attributes, "filepos");
        if (name == "metadata" && filepos == nullptr) inMetadata = true;
        if (name == "/metadata") inMetadata = false;
        if (name == "metadata" && filepos != nullptr) {
            int64_t target = targetOf(book, filepos->value);
            if (target >= 0) metadataPage = uint32_t(target);
        }
        if (inMetadata && name != "metadata" && name[0] != '/' && i + 1 < book.tags.size() &&
            tagName(book, book.tags[i + 1]) == "/" + name) {
            size_t nameLength = name.size();
            std::string written = book.text.substr(tag.start + 1, nameLength);
            std::string value = decoded(book.text.substr(tag.end, book.tags[i + 1].start - tag.end));
            if (written.size() >= kFieldSize || value.size() >= kValueSize ||
                publication.metadataCount == kMetadataSlots) {
                setLastError(job, {"The e-book's metadata does not fit a package (", written.c_str(),
                                   ") : ", job.sourcePath});
                return false;
            }
            publication.addMetadata(written.c_str(), value.c_str());
        }
        if (name == "reference") {
            Reference reference;
            for (const Attribute& a : attributes) {
                if (a.name == "type") reference.type = decoded(a.value);
                if (a.name == "title") reference.title = decoded(a.value);
                if (a.name == "href") reference.href = decoded(a.value);
            }
            reference.target = filepos != nullptr ? targetOf(book, filepos->value) : -1;
            book.guide.push_back(reference);
        }
    }
    if (metadataPage > book.bodyStart && metadataPage < book.contentEnd) book.contentEnd = metadataPage;
    for (Reference& reference : book.guide) {
        if (reference.target >= book.contentEnd) reference.target = -1;
    }
    return true;
}

// Content files begin where the contents page's links land (and the
// guide's), else at the headings, else about every 64 KB at a paragraph;
// never more than the package can list.
void chooseFiles(Book& book, uint32_t capacity) {
    std::vector<uint32_t> starts;
    bool contents = false;
    for (const Reference& reference : book.guide) {
        if (reference.target < 0) continue;
        starts.push_back(uint32_t(reference.target));
        // The first contents page only: each is read to its end.
        if (contents || !equalsNoCase(reference.type.c_str(), "toc")) continue;
        uint32_t page = uint32_t(reference.target);
        uint32_t last = page;
        uint32_t pageEnd = book.contentEnd;
        auto first = std::lower_bound(book.tags.begin(), book.tags.end(), page,
                                      [](const Tag& tag, uint32_t p) { return tag.start < p; });
        for (auto it = first; it != book.tags.end(); ++it) {
            const Tag& tag = *it;
            if (tag.start >= pageEnd || tag.start - last > kContentsGap) break;
            if (tagName(book, tag) != "a") continue;
            std::vector<Attribute> attributes = attributesOf(book, tag);
            const Attribute* filepos = findAttribute(attributes, "filepos");
            if (filepos == nullptr) continue;
            last = tag.start;
            int64_t target = targetOf(book, filepos->value);
            if (target < 0) continue;
            starts.push_back(uint32_t(target));
            if (target > page) pageEnd = std::min(pageEnd, uint32_t(target));
            contents = true;
        }
    }
    if (!contents) {
        starts.clear();
        for (const Tag& tag : book.tags) {
            std::string name = tagName(book, tag);
            if (tag.start >= book.bodyStart && tag.start < book.contentEnd && (name == "h1" || name == "h2"))
                starts.push_back(tag.start);
        }
    }
    if (starts.empty()) {
        uint32_t last = book.bodyStart;
        if (book.markup) {
            for (const Tag& tag : book.tags) {
                if (tag.start >= last + kPlainSplitSize && tag.start < book.contentEnd && tagName(book, tag) == "p")
                    starts.push_back(last = tag.start);
            }
        } else {
            for (size_t at = kPlainSplitSize; (at = book.text.find('\n', at)) != std::string::npos;
                 at += kPlainSplitSize) {
                if (at + 1 < book.contentEnd) starts.push_back(uint32_t(at + 1));
            }
        }
    }
    for (uint32_t& start : starts) start = outsideTags(book, start);
    starts.push_back(book.bodyStart);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    // A file of blanks only says nothing: its blanks open the next one.
    std::vector<uint32_t> kept;
    for (uint32_t start : starts) {
        if (start < book.bodyStart || start >= book.contentEnd) continue;
        if (!kept.empty() && isBlank(book.text, kept.back(), start)) kept.back() = start;
        else kept.push_back(start);
    }
    if (kept.empty()) kept.push_back(book.bodyStart);
    kept.front() = book.bodyStart;
    size_t step = (kept.size() + capacity - 1) / capacity;
    book.fileStarts.clear();
    for (size_t i = 0; i < kept.size(); i += step) book.fileStarts.push_back(kept[i]);
}

// Where links land inside a file (an anchor goes there), and which
// pictures the text shows.
void findAnchorsAndPictures(Book& book) {
    book.anchors.clear();
    book.pictures.clear();
    book.pictureOf.assign(kMaxRecords, -1);
    for (const Tag& tag : book.tags) {
        if (tag.start < book.bodyStart || tag.start >= book.contentEnd) continue;
        std::string name = tagName(book, tag);
        if (name != "a" && name != "img") continue;
        std::vector<Attribute> attributes = attributesOf(book, tag);
        if (const Attribute* filepos = findAttribute(attributes, "filepos"); name == "a" && filepos != nullptr) {
            int64_t target = targetOf(book, filepos->value);
            if (target < 0 || book.fileStarts.empty()) continue;
            uint32_t at = outsideTags(book, uint32_t(target));
            if (!std::binary_search(book.fileStarts.begin(), book.fileStarts.end(), at)) book.anchors.push_back(at);
        }
        const Attribute* recindex = findAttribute(attributes, "recindex");
        if (name == "img" && recindex != nullptr) {
            int64_t number = numberOf(recindex->value);
            if (number < 1 || number >= kMaxRecords) continue;
            if (book.pictureOf[size_t(number)] >= 0) continue;
            book.pictureOf[size_t(number)] = int32_t(book.pictures.size());
            book.pictures.push_back(uint32_t(number));
        }
    }
    for (const Reference& reference : book.guide) {
        if (reference.target < 0 || book.fileStarts.empty()) continue;
        uint32_t at = outsideTags(book, uint32_t(reference.target));
        if (!std::binary_search(book.fileStarts.begin(), book.fileStarts.end(), at)) book.anchors.push_back(at);
    }
    std::sort(book.anchors.begin(), book.anchors.end());
    book.anchors.erase(std::unique(book.anchors.begin(), book.anchors.end()), book.anchors.end());
}

// The names of every file the import writes, refused where one would
// replace the source or, without leave to replace, a file that exists.
bool nameFiles(ImportJob& job, Book& book) {
    auto add = [&](std::vector<std::string>& names, std::vector<std::string>& addresses, size_t n,
                   const char* extension) {
        std::string name = std::string(job.baseName) + "_" + std::to_string(n) + extension;
        char address[kFieldSize] = "";
        if (!appendAddress(address, sizeof address, name.c_str())) return false;
        names.push_back(name);
        addresses.push_back(address);
        return true;
    };
    for (size_t n = 1; n <= book.fileStarts.size(); ++n) {
        if (!add(book.fileNames, book.addresses, n, ".htm")) return damaged(job, "The file name is too long");
    }
    for (uint32_t number : book.pictures) {
        if (!add(book.pictureNames, book.pictureAddresses, number, ".gif"))
            return damaged(job, "The file name is too long");
    }
    std::string package = std::string(job.destinationFolder) + job.baseName + ".opf";
    if (!copyText(job.packagePath, package.c_str())) return damaged(job, "The file name is too long");
    std::vector<std::string> paths{package};
    for (const auto* names : {&book.fileNames, &book.pictureNames}) {
        for (const std::string& name : *names) paths.push_back(job.destinationFolder + name);
    }
    for (const std::string& path : paths) {
        if (path.size() >= size_t(kPathSize)) return damaged(job, "The file name is too long");
        if (equalsNoCase(path.c_str(), job.sourcePath)) {
            setLastError(job, {"The import would overwrite its own source : ", path.c_str()});
            return false;
        }
        if (!job.replaceExisting && fileExists(path.c_str())) {
            setLastError(job, {kPageExistsMessage, path.c_str()});
            return false;
        }
    }
    return true;
}

// Each picture the text shows must be a record behind the text holding an
// 8-bit bitmap whose rows fit the record.
bool checkPictures(ImportJob& job, const Database& db, const Book& book) {
    for (uint32_t number : book.pictures) {
        uint32_t record = db.textRecords + number;
        if (record >= db.start.size()) return damaged(job, "is shown as a picture but the file has no such record", record);
        const uint8_t* bytes = db.bytes.data() + db.start[record];
        uint32_t length = db.end[record] - db.start[record];
        auto little16 = [&](uint32_t at) { return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8; };
        auto little32 = [&](uint32_t at) { return little16(at) | little16(at + 2) << 16; };
        if (length < kBitmapPixelOffset || bytes[0] != 'B' || bytes[1] != 'M' || little32(14) != 40 ||
            little16(26) != 1 || little16(28) != 8 || little32(30) != 0 || little32(10) < kBitmapPixelOffset)
            return damaged(job, "is no 8-bit bitmap picture", record);
        uint32_t width = little32(18);
        uint32_t height = little32(22);
        uint64_t stride = (uint64_t(width) + 3) / 4 * 4;
        if (width == 0 || height == 0 || width > 0xFFFF || height > 0xFFFF ||
            little32(10) + stride * height > length)
            return damaged(job, "holds a picture of impossible size", record);
    }
    return true;
}

bool writePictures(ImportJob& job, const Database& db, const Book& book) {
    for (size_t i = 0; i < book.pictures.size(); ++i) {
        const uint8_t* bytes = db.bytes.data() + db.start[db.textRecords + book.pictures[i]];
        auto little32 = [&](uint32_t at) {
            return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
                   uint32_t(bytes[at + 3]) << 24;
        };
        auto picture = std::make_unique<IndexedPicture>();
        picture->width = int32_t(little32(18));
        picture->height = int32_t(little32(22));
        int64_t stride = (int64_t(picture->width) + 3) / 4 * 4;
        // Rows run bottom to top; the padding of a row shows the background.
        const uint8_t* pixels = bytes + little32(10);
        picture->pixels = pixels + (picture->height - 1) * stride;
        picture->rowStep = -stride;
        picture->background = stride > picture->width ? pixels[picture->width] : 0;
        for (int c = 0; c < kGifColours; ++c) {
            const uint8_t* entry = bytes + 54 + 4 * c;
            picture->colours[c][0] = entry[2];
            picture->colours[c][1] = entry[1];
            picture->colours[c][2] = entry[0];
        }
        picture->colourBits = colourBitsOf(*picture, bytes + 54);
        std::vector<uint8_t> gif = encodeGif(*picture);
        if (!writeWholeFile(job, book.pictureNames[i], gif.data(), gif.size())) return false;
    }
    return true;
}

// Each file's text as it stands, with the links' positions turned into
// addresses, anchors where links land, and pictures named by file.
bool writeContentFiles(ImportJob& job, const Book& book) {
    const std::string& text = book.text;
    size_t tag = 0;
    size_t anchor = 0;
    for (size_t file = 0; file < book.fileStarts.size(); ++file) {
        uint32_t position = book.fileStarts[file];
        uint32_t end = file + 1 < book.fileStarts.size() ? book.fileStarts[file + 1] : book.contentEnd;
        std::string out = kConvertedContentHead;
        while (tag < book.tags.size() && book.tags[tag].start < position) ++tag;
        while (anchor < book.anchors.size() && book.anchors[anchor] <= position) ++anchor;
        while (position < end) {
            uint32_t nextTag = tag < book.tags.size() && book.tags[tag].start < end ? book.tags[tag].start : end;
            uint32_t nextAnchor = anchor < book.anchors.size() && book.anchors[anchor] < end ? book.anchors[anchor] : end;
            uint32_t stop = std::min(nextTag, nextAnchor);
            for (; position < stop; ++position) {
                char c = text[position];
                if (book.markup) out += c;
                else if (c == '&') out += "&amp;";
                else if (c == '<') out += "&lt;";
                else if (c == '>') out += "&gt;";
                else if (c == '\n') out += "<br>\r\n";
                else if (c != '\r') out += c;
                else if (position + 1 == text.size() || text[position + 1] != '\n') out += "<br>\r\n";
            }
            if (position == end) break;
            if (position == nextAnchor) {
                out += "<a name=\"" + std::string(kAnchorPrefix) + std::to_string(position) + "\"></a>";
                ++anchor;
                continue;
            }
            const Tag& current = book.tags[tag++];
            std::string name = tagName(book, current);
            std::vector<Attribute> attributes = attributesOf(book, current);
            const Attribute* filepos = findAttribute(attributes, "filepos");
            const Attribute* recindex = findAttribute(attributes, "recindex");
            int64_t picture = -1;
            if (name == "img" && recindex != nullptr) {
                int64_t number = numberOf(recindex->value);
                if (number > 0 && number < kMaxRecords) picture = book.pictureOf[size_t(number)];
            }
            if (name == "a" && filepos != nullptr) {
                int64_t target = targetOf(book, filepos->value);
                std::string rewritten = text.substr(current.start, 1 + name.size());
                for (const Attribute& a : attributes) {
                    if (a.name != "filepos" && (a.name != "href" || target < 0)) rewritten += " " + a.raw;
                }
                if (target >= 0) rewritten += " href=\"" + hrefOf(book, uint32_t(target)) + "\"";
                out += rewritten + ">";
            } else if (picture >= 0) {
                out += text.substr(current.start, 1 + name.size()) + " src=\"" +
                       book.pictureAddresses[size_t(picture)] + "\"";
                for (const Attribute& a : attributes) {
                    if (a.name != "src" && a.name != "recindex") out += " " + a.raw;
                }
                out += ">";
            } else {
                out.append(text, current.start, current.end - current.start);
            }
            position = current.end;
        }
        out += kContentTail;
        if (!writeWholeFile(job, book.fileNames[file], out.data(), out.size())) return false;
    }
    return true;
}

bool writePackage(ImportJob& job, Book& book, const Database& db) {
    Publication& publication = job.publication;
    char title[kValueSize];
    if (job.bookTitle[0] != '\0') {
        for (int32_t i = 0; i < publication.metadataCount; ++i) {
            if (equalsNoCase(publication.metadata[i].name, "dc:Title")) publication.deleteMetadata(&publication.metadata[i]);
        }
        publication.addMetadata("dc:Title", job.bookTitle);
    } else if (!publication.findMetadataValue("dc:Title", title) || title[0] == '\0') {
        publication.addMetadata("dc:Title", db.name);
    }
    makeUniqueIdentifier(publication.uniqueIdentifier);
    for (const Reference& reference : book.guide) {
        std::string href = reference.target >= 0 ? hrefOf(book, uint32_t(reference.target)) : reference.href;
        publication.addGuideReference(reference.title.c_str(), href.c_str(), reference.type.c_str());
    }
    for (size_t n = 0; n < book.fileNames.size(); ++n) {
        std::string id = "part" + std::to_string(n + 1);
        publication.addManifestItem(id.c_str(), book.addresses[n].c_str(), kDocumentMediaType);
        publication.addSpineItem(id.c_str());
    }
    for (size_t n = 0; n < book.pictures.size(); ++n) {
        std::string id = "picture" + std::to_string(book.pictures[n]);
        publication.addManifestItem(id.c_str(), book.pictureAddresses[n].c_str(), kPictureType);
    }
    if (const char* value = publication.valueTooLongToReadBack()) {
        setLastError(job, {"A name is too long for the package once its markup characters are escaped : ", value});
        return false;
    }
    SafeFile package;
    bool written = openSafeFile(package, job.packagePath);
    if (written) {
        publication.writePackage(package.file);
        written = commitSafeFile(package, job.replaceExisting);
    }
    if (!written) {
        setLastError(job, {"Unable to write the package file : ", job.packagePath});
        return false;
    }
    job.created.add(job.packagePath);
    return true;
}

// The name must stay where it is until the import has ended: the list of
// created files keeps it.
bool writeWholeFile(ImportJob& job, const std::string& name, const void* bytes, size_t length) {
    std::string path = job.destinationFolder + name;
    FileHandle file = openFile(path.c_str(), OpenMode::create);
    if (file == kInvalidFileHandle) {
        setLastError(job, {"Unable to create the file : ", path.c_str()});
        return false;
    }
    job.created.add(name.c_str(), job.destinationFolder);
    bool written = writeBytes(file, bytes, uint32_t(length));
    written = closeFile(file) && written;
    if (!written) setLastError(job, {"Unable to write the file : ", path.c_str()});
    return written;
}

// The publisher lists the colours a GIF's table held and leaves the rest of
// its 256 entries zero: a table of that many colours gives the same bitmap.
int32_t colourBitsOf(const IndexedPicture& picture, const uint8_t* palette) {
    int32_t used = 1;
    for (int32_t c = 0; c < kGifColours; ++c) {
        if (palette[4 * c] != 0 || palette[4 * c + 1] != 0 || palette[4 * c + 2] != 0 || palette[4 * c + 3] != 0)
            used = c + 1;
    }
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.pixels + y * picture.rowStep;
        for (int32_t x = 0; x < picture.width; ++x) used = std::max(used, int32_t(row[x]) + 1);
    }
    used = std::max(used, int32_t(picture.background) + 1);
    int32_t bits = 1;
    while (1 << bits < used) ++bits;
    return bits;
}

std::string tagName(const Book& book, const Tag& tag) {
    std::string name;
    for (uint32_t at = tag.start + 1; at < tag.end - 1; ++at) {
        char c = book.text[at];
        if (isMarkupBlank(c) || c == '>' || (c == '/' && at > tag.start + 1)) break;
        name += char(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

// name="value", name='value', name=value or a bare name, behind the tag's name.
std::vector<Attribute> attributesOf(const Book& book, const Tag& tag) {
    std::vector<Attribute> attributes;
    const std::string& text = book.text;
    uint32_t end = tag.end - 1;  // the ">"
    uint32_t at = tag.start + 1;
    while (at < end && !isMarkupBlank(text[at])) ++at;
    while (at < end) {
        while (at < end && (isMarkupBlank(text[at]) || text[at] == '/')) ++at;
        uint32_t start = at;
        while (at < end && !isMarkupBlank(text[at]) && text[at] != '=') ++at;
        if (at == start) break;
        Attribute attribute;
        for (uint32_t i = start; i < at; ++i) attribute.name += char(std::tolower(static_cast<unsigned char>(text[i])));
        if (at < end && text[at] == '=') {
            ++at;
            char quote = at < end && (text[at] == '"' || text[at] == '\'') ? text[at] : '\0';
            if (quote != '\0') ++at;
            uint32_t valueStart = at;
            while (at < end && (quote != '\0' ? text[at] != quote : !isMarkupBlank(text[at]))) ++at;
            attribute.value = text.substr(valueStart, at - valueStart);
            if (quote != '\0' && at < end) ++at;
        }
        attribute.raw = text.substr(start, at - start);
        attributes.push_back(attribute);
    }
    return attributes;
}

const Attribute* findAttribute(const std::vector<Attribute>& attributes, const char* name) {
    for (const Attribute& attribute : attributes) {
        if (attribute.name == name) return &attribute;
    }
    return nullptr;
}

// A position in the body's text, or -1 for the placeholder of a link that
// was never resolved, or anything else.
int64_t targetOf(const Book& book, const std::string& filepos) {
    int64_t target = numberOf(filepos);
    return target >= book.bodyStart && target < book.contentEnd ? target : -1;
}

// Up to ten digits; -1 for anything else, the placeholder "XXXXXXXXXX" too.
int64_t numberOf(const std::string& digits) {
    if (digits.empty() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::atoll(digits.c_str());
}

// A position inside a tag moves to the tag's start.
uint32_t outsideTags(const Book& book, uint32_t position) {
    auto after = std::upper_bound(book.tags.begin(), book.tags.end(), position,
                                  [](uint32_t p, const Tag& tag) { return p < tag.start; });
    if (after == book.tags.begin()) return position;
    const Tag& before = *(after - 1);
    return position < before.end ? before.start : position;
}

// The file that holds the target, and the anchor there unless it is the
// file's start.
std::string hrefOf(const Book& book, uint32_t target) {
    uint32_t at = outsideTags(book, target);
    auto file = std::upper_bound(book.fileStarts.begin(), book.fileStarts.end(), at) - 1;
    std::string href = book.addresses[size_t(file - book.fileStarts.begin())];
    if (*file != at) href += "#" + std::string(kAnchorPrefix) + std::to_string(at);
    return href;
}

bool isBlank(const std::string& text, uint32_t from, uint32_t to) {
    for (uint32_t at = from; at < to; ++at) {
        if (!isMarkupBlank(text[at])) return false;
    }
    return true;
}

std::string decoded(const std::string& text) {
    std::vector<char> field(text.begin(), text.end());
    field.push_back('\0');
    decodeEntities(field.data());
    return field.data();
}

}  // namespace
