// The state of one build: the publication being built, the anchors, links
// and pictures met while merging, and the intermediate file that becomes the
// e-book's text. Large (about 4 MB): keep it off the call stack.
#pragma once

#include <cstdint>

#include "BuildReporter.h"
#include "TextPool.h"
#include "model/Files.h"
#include "model/Paths.h"
#include "model/Publication.h"
#include "model/TagScanner.h"
#include "model/Text.h"
#include "model/WorkFolder.h"
#include "resources/ResourceIds.h"

constexpr int32_t kBuildTableSlots = 20001;
// A record is taken only while fewer than this are in use.
constexpr int32_t kBuildTableLimit = 20000;

constexpr int32_t kBuildMessageSize = 1024;
// The e-book's text records are counted in 16 bits.
constexpr uint64_t kLargestEbookText = uint64_t(65535) * 4096;

// Texts are ids in the build's text pool.
struct AnchorRecord {
    int32_t file;
    int32_t name;
    int32_t position;
};

struct LinkRecord {
    int32_t targetFile;
    int32_t targetAnchor;
    int32_t position;
    AnchorRecord* anchor;
    // For the report: the address as written, -1 for a web address, and
    // the document that holds the link.
    int32_t href;
    int32_t document;
};

struct PictureRecord {
    // In the text pool: one pointer for one path.
    const char* path;
    int32_t recordIndex;
    bool isNew;
    uint32_t nameLength;
    int32_t position;
};

struct BuildContext {
    Publication* publication;
    LinkRecord links[kBuildTableSlots];
    int32_t linkCount;
    AnchorRecord anchors[kBuildTableSlots];
    int32_t anchorCount;
    PictureRecord images[kBuildTableSlots];
    int32_t imageCount;
    int32_t distinctImageCount;
    TextPool texts;
    // Anchors by their file and name, for matching; chains of equal hashes.
    int32_t anchorHeads[2 * kBuildTableSlots];
    int32_t anchorChains[kBuildTableSlots];
    char intermediatePath[kPathSize];
    FileHandle intermediateFile;
    // The build's own folder beside the package: its temporary files live
    // there, and a later build removes it when this one dies.
    WorkFolder work;
    // Files outside the package's folder tree are read only when the user
    // allows it; otherwise they are left out with a message.
    bool allowOutsideFiles = false;

    // Where progress, status and messages go; never null.
    BuildReporter* reporter;
    // The latest failure message, for the caller that reports the outcome.
    char lastMessage[kBuildMessageSize];

    explicit BuildContext(Publication* publication);
    ~BuildContext();
    BuildContext(const BuildContext&) = delete;
    BuildContext& operator=(const BuildContext&) = delete;

    // Opens the work folder unless it is open; false (with the system's
    // reason noted) when the package's folder takes none.
    bool openBuildFolder();
    // Whether the build may read the file at path: inside the package's
    // folder tree, or anywhere when the user allows it.
    bool mayRead(const char* path) const;

    // The manifest merge.
    bool mergeManifest();
    bool mergeDocument(const char* path);
    // Merges the file at filePath as if it stood at documentPath: the build's
    // own pages are written under names of their own but linked by the names
    // the e-book has always used.
    bool mergeDocumentAs(const char* filePath, const char* documentPath);
    // A build page just written (written: whether its close succeeded),
    // merged as linkedName beside the package, then deleted; a page not
    // written is reported with failureFormat.
    bool mergeBuildPage(bool written, const char* pagePath, const char* linkedName,
                        const char* failureFormat);
    void reportBuildMessage(const char* text, int32_t level);
    // A message about the file at path: format holds one %s, which gets the
    // path in the form users of this system know.
    void reportPathMessage(const char* format, const char* path, int32_t level = kBuildErrorLevel);
    // The same for a failure of that file, followed by the system's reason
    // for the latest file failure.
    void reportFileFailure(const char* format, const char* path, int32_t level = kBuildErrorLevel);

    // Links, anchors and pictures.
    const char* textOf(int32_t id) const { return texts.text(id); }
    // The id of text; -1 (reported once) when the pool is full.
    int32_t keep(const char* text);
    // Reports once per table that it is full.
    void reportFull(bool& reported, const char* what);
    bool poolFullReported = false;
    bool linksFullReported = false;
    bool anchorsFullReported = false;
    bool picturesFullReported = false;
    // What the publishing report counts beside the unresolved links.
    int32_t picturesLeftOut = 0;
    int32_t spineEntriesLeftOut = 0;
    // Lists on the reporter what a publisher must fix: unresolved links,
    // pictures left out, spine entries skipped. Nothing for a clean book.
    void reportSummary();
    bool processTag(const TagScanner& tag, const char* documentPath);
    void addPicture(const char* path, int32_t position);
    // False when the table is full.
    bool addAnchor(const char* file, const char* name, int32_t position);
    void matchLinks();
    void writeLinks();

    // Progress and status, through the reporter.
    void startProgress(int32_t n);
    void setProgress(int32_t n);
    void setStatus(int32_t stringId);
    void setStatusAndNumber(int32_t stringId, int32_t n);

    // Appends to the intermediate file; a failed write is remembered.
    // While utf8 is set, the bytes are UTF-8 and are written converted.
    void emit(const char* text);
    void emitBytes(const void* bytes, uint32_t n);
    bool intermediateWriteFailed = false;
    bool utf8 = false;
    Utf8ToAnsi utf8Decoder;
};

// Builds so far in this run of the program; each takes the next number for
// its intermediate file.
int32_t intermediateFilesNamed();

// Creates a file of the build in its work folder (with the trailing
// separator) under the first name stem + n + ".tmp", n counting on from
// *counter, that nothing holds yet, so that a build never opens, replaces or
// deletes a file it did not create; a stop by a signal removes it. path: 256
// bytes. The invalid handle when the folder takes no new file or the name
// does not fit.
FileHandle createBuildFile(const char* folder, const char* stem, int32_t* counter, char* path);
// Names held by others that createBuildFile passes over before it gives up.
constexpr int32_t kBuildFileAttempts = 1000;
// Why a file is left out when the build may not read it.
constexpr const char* kOutsideFolder =
    "it lies outside the publication's folder, whose files alone are read unless others are allowed";
// The build's work folders are this stem, a number and ".tmp".
constexpr const char* kBuildFolderStem = "PRCbuild_";
