#include "ImportWizardState.h"

#include "import/GeneratedPages.h"

bool findFileToReplace(ImportJob& job, char* fileName) {
    return namePages(job) && findExistingPage(job, fileName);
}
