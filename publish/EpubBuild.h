// The EPUB 3 build: a publication becomes one .epub container with
// well-formed XHTML in UTF-8, its pictures, a navigation document and an
// NCX for older readers. Called like the .prc build: by the batch program
// and by the Publishing Wizard's build thread.
#pragma once

#include "BuildReporter.h"
#include "model/Publication.h"

struct EpubOptions {
    // The EPUB's path (program form, absolute).
    const char* targetPath = "";
    // A picture chosen as the cover (program form, absolute), which wins
    // over the package's own and is read wherever it lies; empty for none.
    const char* coverPicture = "";
    // Files outside the package's folder may be read into the book.
    bool allowOutsideFiles = false;
};

// Builds the publication into options.targetPath: written beside it and put
// in place only when whole, so a failed or stopped build leaves an earlier
// book as it was and nothing of its own behind. Progress, status and every
// message go to the reporter; what the book lacks (links, pictures, spine
// entries left out) is reported as notes. A publication without any
// identifier is given a generated "urn:uuid:" one, which is saved into its
// package so that the next build keeps it. On failure message
// (kBuildMessageSize bytes) says what went wrong.
bool buildEpub(Publication& publication, const EpubOptions& options, BuildReporter& reporter, char* message);

// The EPUB a batch build writes for a package: its path with ".epub" in
// place of the extension. out: 256 bytes; false when it does not fit.
bool epubTargetPath(const char* packagePath, char* out);
