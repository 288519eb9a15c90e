// The plain-text engine: chapter headings found by the compiled search
// string, line ends turned into spaces, breaks and paragraph marks.
#pragma once

#include "ImportJob.h"

// -1: the source is exhausted and closed. 0: no heading here; out holds the
// bytes of the one plain character consumed, job.plainCharacter its value.
// 1: out holds the matched text, terminated. Wildcards take characters, so
// in a UTF-8 source all bytes of one. out: 256 bytes.
int matchHeading(ImportJob& job, char* out);

// One plain character of the source into the content file: line ends
// become spaces, breaks and paragraph marks, a hyphen before a line end
// joins the word, a line end after the split size opens the next content
// file, and markup characters become entities. False when that file could
// not be opened (the import is abandoned).
bool importPlainCharacter(ImportJob& job, int32_t c);

// A heading as the source has it (text, in the source's characters) as
// markup for the pages, cut to capacity: 6 * 256 bytes take any heading.
constexpr int kHeadingMarkupSize = 6 * 256;
void headingAsMarkup(const ImportJob& job, const char* heading, char* out, size_t capacity);
