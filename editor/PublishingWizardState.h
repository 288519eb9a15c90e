// What the Publishing Wizard keeps while it runs, the check of the e-book
// name and the build it starts; the windows are in PublishingWizardWin32.
#pragma once

#include <cstdint>

#include "publish/BuildDriver.h"
#include "publish/BuildReporter.h"
#include "model/Paths.h"
#include "model/Publication.h"

struct PublishingWizardState {
    // The publication open in the editor, saved and with its spine resolved.
    Publication* publication = nullptr;
    // As typed on the options page, without folder.
    char ebookName[kPathSize] = "";
    // The publication's folder followed by the validated name.
    char targetPath[kPathSize] = "";
    bool compress = false;
    bool firstChapter = false;
    // Set by Next while the build runs, cleared by the build's own press.
    bool buildStarted = false;
    // From the Options sheet: the build reads files outside the folder too.
    bool allowOutsideFiles = false;
    // The options page (a window handle), whose progress bar and status
    // text the build drives.
    void* optionsPage = nullptr;
    // The Publish command chose it; the EPUB has an options page of its own.
    EbookFormat format = EbookFormat::prc;
    // EPUB only: the cover picture as typed or browsed (empty: the package's
    // own), and the path its check made of it.
    char coverPicture[kPathSize] = "";
    char coverPath[kPathSize] = "";
};

// 0 and the target path (kPathSize) when the name is usable: not empty, no
// path separator, the format's extension (".prc", ".epub") appended unless
// it holds it already, and the whole path fitting its field. Otherwise the
// string id of the warning.
int32_t checkEbookName(const char* name, const char* folder, char* targetPath,
                       EbookFormat format = EbookFormat::prc);

// 0 and the cover's path (kPathSize; empty for none) when the typed cover is
// empty or names a file: a name without drive or leading backslash lies in
// the publication's folder. Whether it is a picture the build says, in its
// report. Otherwise the string id of the warning.
int32_t checkCoverPicture(const char* typed, const char* folder, char* coverPath);

// What a build said beside its progress, one line per message, for the
// final page: the same lines the batch build prints. Lines that no longer
// fit are counted and said to be left out.
struct PublishingReport {
    char text[16384] = "";
    int32_t length = 0;
    int32_t linesLeftOut = 0;

    void clear();
    void addLine(const char* line);
    // The text, closed with the count of the lines left out; out holds
    // sizeof text bytes.
    void compose(char* out) const;
};

// The wizard's build: progress at 3, the e-book, and the HTML first chapter
// when asked for and the build was not stopped; after a build that worked
// the reporter gets the publishing report the batch build prints. On
// failure message (1024 bytes) holds the build's own text naming what went
// wrong.
bool runWizardBuild(Publication& publication, const char* targetPath, bool compress, bool firstChapter,
                    BuildReporter& reporter, char* message, bool allowOutsideFiles = false);
// The build of the checked state in its format: the one above for a .prc,
// the EPUB build with the checked cover for an EPUB.
bool runWizardBuild(const PublishingWizardState& state, BuildReporter& reporter, char* message);
