// The two pages a build writes itself: the metadata page merged at the end
// of the e-book's text, and the optional stand-alone HTML first chapter.
#pragma once

#include "BuildContext.h"

// Writes the metadata page beside the package under a name of its own,
// merges it as "xyz_metadata.htm" and deletes it. False when the page could
// not be written or merged, which fails the build.
bool writeMetadataPage(BuildContext& context);

// Writes the first chapter beside the package. False when no chapter could
// be copied (the page is then only its start and end) or the file could
// not be created.
bool writeFirstChapter(BuildContext& context);
// out: 256 bytes. False when the path would be longer than 255 characters.
bool firstChapterPath(const Publication& publication, char* out);
