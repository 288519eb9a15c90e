// The build writes pages of its own under fixed names beside the package and
// deletes them again. A user's file of such a name is moved aside meanwhile
// and put back afterwards, so that no build destroys a user's page.
#pragma once

constexpr int kSetAsidePathSize = 256;

struct SetAsideFile {
    char original[kSetAsidePathSize];
    char aside[kSetAsidePathSize];
    bool moved = false;
};

// False when a file of that name exists and cannot be moved aside; the
// build's page must then not be written.
bool setAsideExistingFile(const char* path, SetAsideFile& slot);
// Puts the user's file back over whatever stands at its name.
bool putBackSetAsideFile(SetAsideFile& slot);
