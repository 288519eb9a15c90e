// Small packages built in memory over files in a scratch folder, and the
// fixed texts the merge writes around them.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/Publication.h"
#include "model/Text.h"
#include "publish/BuildContext.h"
#include "tests/support/TempFolder.h"

inline std::unique_ptr<Publication> publicationIn(const TempFolder& tmp,
                                                  const char* packageName = "book.opf") {
    auto publication = std::make_unique<Publication>();
    copyText(publication->path, (tmp.path() + packageName).c_str());
    copyText(publication->folder, tmp.path().c_str());
    return publication;
}

// A manifest item and its spine entry in one step.
inline void addDocument(Publication& publication, const char* id, const char* href,
                        const char* mediaType = "text/html") {
    publication.addManifestItem(id, href, mediaType);
    publication.addSpineItem(id);
    publication.resolveSpine();
}

// A GIF the converter takes.
inline std::string tinyGif() {
    return readWholeFile(sourceFile("tests/publish/data/magick-gradient.gif"));
}

inline std::string tenDigits(size_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "%010zu", n);
    return text;
}

inline std::string intermediateName(const BuildContext& context) {
    std::string path = context.intermediatePath;
    return path.substr(path.find_last_of('\\') + 1);
}

// The metadata page's body as the merge copies it, for one title entry.
inline std::string mergedMetadataPage(const std::string& title) {
    std::string page = "<h1 align=\"center\">eBook Info</H1><BR>";
    if (!title.empty()) page += "<B>Book Title:</B></BR><BLOCKQUOTE>" + title + "</BLOCKQUOTE><BR>";
    return page;
}

// Records what the build shows, as a wizard page would show it: each status
// as its string id and number (-1 for none).
class RecordingReporter : public BuildReporter {
public:
    std::vector<std::pair<int32_t, int32_t>> statusLines;
    std::vector<int32_t> progressRanges;
    std::vector<int32_t> progressPositions;
    std::vector<std::string> messages;

    void showStatus(int32_t stringId) override { statusLines.push_back({stringId, -1}); }
    void showStatusAndNumber(int32_t stringId, int32_t n) override { statusLines.push_back({stringId, n}); }
    void startProgress(int32_t n) override { progressRanges.push_back(n); }
    void setProgress(int32_t position) override { progressPositions.push_back(position); }
    // Messages go where the batch build's go.
    void reportMessage(const char* text, int32_t level) override {
        messages.push_back(text);
        standardErrorBuildReporter().reportMessage(text, level);
    }
};
