#include "ImportChecks.h"

#include "GeneratedPages.h"
#include "resources/ResourceIds.h"

int32_t checkSourcePage(ImportJob& job, const char* source, const char* destination, char* fileName) {
    setSourcePath(job, source);
    bool destinationFits = setDestinationFolder(job, destination);
    if (!isReadableFile(source)) return IDS_IMPORT_BAD_SOURCE;
    if (!destinationFits) return IDS_IMPORT_BAD_DESTINATION;
    if (!destinationIsFolder(job)) {
        if (!destinationIsMissing(job)) return IDS_IMPORT_BAD_DESTINATION;
        copyText(fileName, kPathSize, job.destinationFolder);
        return IDS_ASK_CREATE_FOLDER;
    }
    // A source without a name for the pages is refused when the import starts.
    if (!namePages(job)) return 0;
    if (pageWouldReplaceSource(job, fileName)) return IDS_IMPORT_OVER_SOURCE;
    return 0;
}

int32_t checkHeadingTags(ImportJob& job, const char* typed) {
    return parseHeadingTags(job, typed) ? 0 : IDS_IMPORT_BAD_TAGS;
}

int32_t checkMetadataPage(const char* title) {
    return title[0] == '\0' ? IDS_IMPORT_NO_TITLE : 0;
}
