// The HTML engine: the body of one HTML file copied into one content file,
// the elements of the heading tag list turned into anchored headings.
#pragma once

#include "ImportJob.h"

// Moves the open source behind its BODY tag; false with the last error set
// when there is none.
bool passOverHead(ImportJob& job);
// -1: the end of the source or the body's end tag (the source is closed).
// 0: out[0] holds one byte to copy. 1: out holds a heading's text.
// out: 256 bytes.
int readHtmlUnit(ImportJob& job, char* out);
