#include "editor/NewPublicationForm.h"

#include <cstring>

#include "editor/NewPublicationFiles.h"
#include "model/Files.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"

namespace {

// The chosen pages' paths and their count; fits becomes false when one
// does not fit its field.
int chosenPagePaths(const NewPublicationForm& form, char (*paths)[kPathSize], bool* fits);
// True when the target names a file in a folder that does not exist; the
// folder goes to out (kPathSize), empty otherwise.
bool folderIsMissing(const char* target, char* out);

}  // namespace

int32_t checkNewPublicationForm(NewPublicationForm& form) {
    form.newPackagePath[0] = '\0';
    if (form.name[0] == '\0') return IDS_NEW_NO_NAME;
    if (form.author[0] == '\0') return IDS_NEW_NO_AUTHOR;
    if (folderIsMissing(form.target, form.missingFolder)) return IDS_ASK_CREATE_FOLDER;
    if (!canCreateTarget(form.target)) return IDS_TARGET_NOT_VALID;
    char package[kPathSize];
    copyText(package, form.target);
    // A cut extension would name another file.
    if (std::strstr(package, ".opf") == nullptr && !appendText(package, ".opf")) return IDS_TARGET_NOT_VALID;
    copyText(form.newPackagePath, package);
    char paths[3][kPathSize];
    bool fits = true;
    chosenPagePaths(form, paths, &fits);
    if (!fits) {
        form.newPackagePath[0] = '\0';
        return IDS_TARGET_NOT_VALID;
    }
    return 0;
}

bool firstExistingNewFile(const NewPublicationForm& form, char* out) {
    char paths[4][kPathSize];
    copyText(paths[0], form.newPackagePath);
    bool fits = true;
    int count = 1 + chosenPagePaths(form, paths + 1, &fits);
    for (int i = 0; i < count; ++i) {
        if (!fileExists(paths[i])) continue;
        copyText(out, kPathSize, paths[i]);
        return true;
    }
    return false;
}

bool createNewPublication(const NewPublicationForm& form, char* failedPath) {
    NewPublicationChoices choices{form.name,  form.author,   form.newPackagePath, form.tableOfContents,
                                  form.cover, form.biography};
    char packagePath[kPathSize];
    return writeNewPublication(choices, packagePath, failedPath);
}

namespace {

int chosenPagePaths(const NewPublicationForm& form, char (*paths)[kPathSize], bool* fits) {
    char folder[kPathSize];
    folderOfPath(form.newPackagePath, folder);
    struct Page {
        bool chosen;
        const char* name;
    };
    const Page pages[] = {
        {form.tableOfContents, "toc.htm"}, {form.cover, "cover.htm"}, {form.biography, "bio.htm"}};
    int count = 0;
    for (const Page& page : pages) {
        if (!page.chosen) continue;
        copyText(paths[count], kPathSize, folder);
        if (!appendText(paths[count], kPathSize, page.name)) *fits = false;
        ++count;
    }
    return count;
}

bool folderIsMissing(const char* target, char* out) {
    out[0] = '\0';
    // What no folder could make valid is left to the target's own check.
    if (target[0] == '\0' || std::strpbrk(target, "*?") != nullptr) return false;
    char folder[kPathSize];
    folderOfPath(target, folder);
    char bare[kPathSize];
    copyText(bare, folder);
    size_t length = std::strlen(bare);
    // Without its backslash, except a drive's root.
    if (length > 1 && bare[length - 2] != ':') bare[length - 1] = '\0';
    if (length == 0 || fileExists(bare)) return false;
    copyText(out, kPathSize, folder);
    return true;
}

}  // namespace
