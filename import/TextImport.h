// The plain-text engine: chapter headings found by the compiled search
// string, line ends turned into spaces, breaks and paragraph marks.
#pragma once

#include "ImportJob.h"

// -1: the source is exhausted and closed. 0: no heading here; out[0] holds
// the one plain byte consumed. 1: out holds the matched text, terminated.
// out: 256 bytes.
int matchHeading(ImportJob& job, char* out);

// Opens the source and writes the start pages; false with the last error
// set when either fails (nothing is then left open).
bool startTextImport(ImportJob& job);
// One unit of the source; false once the import has finished.
bool importTextStep(ImportJob& job);
