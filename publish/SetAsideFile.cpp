#include "SetAsideFile.h"

#include "model/Files.h"
#include "model/Text.h"

namespace {

constexpr const char* kAsideSuffix = ".kept";

bool isReadableFile(const char* path);

}  // namespace

bool setAsideExistingFile(const char* path, SetAsideFile& slot) {
    slot.moved = false;
    // A folder of that name is left where it is; the page then cannot be
    // created and the build reports it.
    if (!isReadableFile(path)) return true;
    if (!copyText(slot.original, path) || !copyText(slot.aside, path) ||
        !appendText(slot.aside, kAsideSuffix))
        return false;
    // A file left aside by an interrupted build is the user's too: never
    // replace it.
    if (fileExists(slot.aside) || !replaceFile(slot.original, slot.aside)) return false;
    slot.moved = true;
    return true;
}

bool putBackSetAsideFile(SetAsideFile& slot) {
    if (!slot.moved) return true;
    slot.moved = false;
    return replaceFile(slot.aside, slot.original);
}

namespace {

bool isReadableFile(const char* path) {
    FileHandle file = openFile(path, OpenMode::read);
    if (file == kInvalidFileHandle) return false;
    closeFile(file);
    return true;
}

}  // namespace
