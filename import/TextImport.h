// The plain-text engine: chapter headings found by the compiled search
// string, line ends turned into spaces, breaks and paragraph marks.
#pragma once

#include "ImportJob.h"

// -1: the source is exhausted and closed. 0: no heading here; out[0] holds
// the one plain byte consumed. 1: out holds the matched text, terminated.
// out: 256 bytes.
int matchHeading(ImportJob& job, char* out);

// One plain byte of the source into the content file: line ends become
// spaces, breaks and paragraph marks, a hyphen before a line end joins the
// word, and a line end after the split size opens the next content file.
// False when that file could not be opened (the import is abandoned).
bool importPlainTextByte(ImportJob& job, int c);
