// The checks of an import's choices, page by page as the Import Wizard makes
// them when Next is pressed; quirebound-import runs the same ones in the
// same order. Each returns 0, or the string id of what it refuses.
#pragma once

#include <cstdint>

#include "ImportJob.h"

// The source page: stores both fields (the destination with its backslash)
// and checks them. A message about the import's own source names it in
// fileName (kPathSize). A destination where nothing exists yet gives
// IDS_ASK_CREATE_FOLDER and names it: the wizard offers to make it.
int32_t checkSourcePage(ImportJob& job, const char* source, const char* destination, char* fileName);
// The tag page's text into the job.
int32_t checkHeadingTags(ImportJob& job, const char* typed);
// The metadata page: the title the book gets.
int32_t checkMetadataPage(const char* title);
