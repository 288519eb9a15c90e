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

// The anchors the author set in the heading just read (a name, an id),
// written into the content file; the source's position stays.
void writeAuthorAnchors(ImportJob& job);
// Copies the pictures the source uses into the destination, their folders
// made as the source has them; false with the last error set.
bool copySourcePictures(ImportJob& job);
// The media type a picture's name announces.
const char* pictureMediaType(const char* path);
