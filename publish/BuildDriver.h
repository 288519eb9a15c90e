// One build from publication to e-book, and the batch build of a package
// named on the command line.
#pragma once

#include <cstdint>

#include "BuildContext.h"
#include "PalmDocDatabase.h"

// Merges, writes the e-book beside targetPath and renames it over the
// target only when it is whole, and deletes the intermediate file. On
// failure an earlier e-book stays as it was, nothing of the build is left
// behind, and context.lastMessage says what went wrong.
bool buildEbook(BuildContext& context, const char* targetPath, bool compress);
// The same with the given writer.
bool buildEbook(BuildContext& context, const char* targetPath, bool compress, EbookDatabase& database);

enum class EbookFormat { prc, epub };

// What a batch build is asked for beside its package.
struct BatchOptions {
    EbookFormat format = EbookFormat::prc;
    bool compress = true;
    // The e-book's path (program form, absolute); empty: batchTargetPath's.
    const char* ebookPath = "";
    // Files outside the package's folder tree are read too.
    bool allowOutsideFiles = false;
    // EPUB only: a picture for the cover (program form, absolute), or empty.
    const char* coverPath = "";
};

// Builds the package at packagePath (program form, absolute) into the
// e-book the options name. Every failure message goes to the reporter,
// which by default prints it on standard error. Result: 0 when the e-book
// was written, otherwise 1.
int batchBuild(const char* packagePath, const BatchOptions& options = {},
               BuildReporter& reporter = standardErrorBuildReporter());

// The e-book path a batch build writes: in the package's folder, the
// package's name with ".prc" (or ".epub") in place of its extension (the
// last dot in the name, unless the name begins with it), or behind a name
// without one. False when the path names no file or the e-book's would be
// too long.
bool batchTargetPath(const char* packagePath, char* out /* 256 bytes */,
                     EbookFormat format = EbookFormat::prc);
