// Importing a PalmDOC e-book (type TEXt, creator REAd, compressed or not):
// its text is cut into content files at its chapters, its links and
// pictures become addresses and GIF files again, and its guide and
// metadata become the package's.
#pragma once

#include "ImportJob.h"
#include "ImportRun.h"

// The file begins with a database header of the PalmDOC type and creator,
// whatever its name.
bool isPalmDocFile(const char* path);

// Reads job.sourcePath and writes the publication into the destination
// folder under the job's base name: base_1.htm upward, base_1.gif upward
// for the pictures, base.opf. A title in job.bookTitle replaces the book's
// own. A damaged database writes nothing: the last error names the file
// and, where one is to blame, the record.
ImportOutcome importPalmDoc(ImportJob& job, ImportReporter& reporter);
