// The files of a new publication: the chosen starter pages and the package,
// written from what the New dialog gathered.
#pragma once

struct NewPublicationChoices {
    const char* name;
    const char* author;
    const char* target;  // the package path as typed; ".opf" is added
    bool tableOfContents;
    bool cover;
    bool biography;
};

// True when a file of this name can be created; leaves no file behind and
// does not touch an existing file of that name.
bool canCreateTarget(const char* target);
// Writes the pages and the package; packagePath (256 bytes) receives the
// package's path. False when a file could not be written: failedPath (256
// bytes, may be null) then names it, nothing this call wrote is left and
// every file it was to replace is as it was.
bool writeNewPublication(const NewPublicationChoices& choices, char* packagePath, char* failedPath = nullptr);
