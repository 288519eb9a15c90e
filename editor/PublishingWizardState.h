// What the Publishing Wizard keeps while it runs, the check of the e-book
// name and the build it starts; the windows are in PublishingWizardWin32.
#pragma once

#include <cstdint>

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
};

// 0 and the target path (kPathSize) when the name is usable: not empty, no
// path separator, ".prc" appended unless it holds ".prc" already, and the
// whole path fitting its field. Otherwise the string id of the warning.
int32_t checkEbookName(const char* name, const char* folder, char* targetPath);

// The wizard's build: progress at 3, the e-book, and the HTML first chapter
// when asked for and the build was not stopped. On failure message (1024
// bytes) holds the build's own text naming what went wrong.
bool runWizardBuild(Publication& publication, const char* targetPath, bool compress, bool firstChapter,
                    BuildReporter& reporter, char* message, bool allowOutsideFiles = false);
