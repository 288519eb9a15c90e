#include "ImportWizardState.h"

#include "import/GeneratedPages.h"
#include "model/Files.h"
#include "model/Text.h"

bool findFileToReplace(ImportJob& job, char* fileName) {
    if (job.sourceKind != SourceKind::palmDoc) return namePages(job) && findExistingPage(job, fileName);
    // The e-book's files are known once it is read; its package and first
    // page are always among them.
    for (const char* suffix : {".opf", "_1.htm"}) {
        if (copyText(fileName, kPathSize, job.destinationFolder) && appendText(fileName, kPathSize, job.baseName) &&
            appendText(fileName, kPathSize, suffix) && fileExists(fileName))
            return true;
    }
    return false;
}
