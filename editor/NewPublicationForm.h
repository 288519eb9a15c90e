// What the New dialog shows and returns, and its checks on Create.
#pragma once

#include <cstdint>

#include "model/Paths.h"

struct NewPublicationForm {
    char name[kPathSize];
    char author[kPathSize];
    char target[kPathSize];  // as typed
    bool tableOfContents = true;
    bool cover = true;
    bool biography = false;
    // The package path, ".opf" appended; valid once the checks passed.
    char newPackagePath[kPathSize];
    // The target's folder when it does not exist yet.
    char missingFolder[kPathSize];
};

// The string id of the first failed check of Create (name, author, the
// target's folder, a creatable target whose package and page paths fit
// their fields), or 0; on 0 newPackagePath holds the package's path. A
// folder that does not exist yet gives IDS_ASK_CREATE_FOLDER, with the
// folder in missingFolder: the dialog offers to make it and checks again.
int32_t checkNewPublicationForm(NewPublicationForm& form);
// The first of the package and the chosen pages that already exists, in
// the order package, toc, cover, biography; false when none does.
bool firstExistingNewFile(const NewPublicationForm& form, char* out /* kPathSize */);
// Writes the pages and the package. On failure nothing this call wrote is
// left, the files it was to replace are as they were, and failedPath
// (kPathSize) names the file that could not be written.
bool createNewPublication(const NewPublicationForm& form, char* failedPath);
