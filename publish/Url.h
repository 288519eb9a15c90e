// An address broken into parts, so that one file reached by different
// spellings composes to the same local path. A base is loaded with setFrom,
// further addresses are applied with set, and toPath composes the result.
#pragma once

#include <cstdint>

struct Publication;

constexpr int kUrlFieldSize = 256;
constexpr int kUrlFolderSlots = 10;
// A relative address adds folders only while fewer than this are held.
constexpr int kUrlRelativeFolderLimit = 9;

constexpr int32_t kSchemeNone = 0;
constexpr int32_t kSchemeFile = 1;
constexpr int32_t kSchemeHttp = 2;

struct Url {
    int32_t scheme;
    char host[kUrlFieldSize];
    char folders[kUrlFolderSlots][kUrlFieldSize];
    int32_t folderCount;
    char fileName[kUrlFieldSize];
    char fragment[kUrlFieldSize];

    Url();

    // Empties everything but the scheme.
    void reset();
    void set(const char* address);
    void setFrom(const char* address);
    // The composed path without fragment; out holds 256 bytes.
    void toPath(char* out) const;
    // Same composed path, byte for byte.
    bool sameResource(const Url& other) const;
};

// An address resolved against the package's own path, as a local path
// (256 bytes).
void resolveAgainstPackage(const Publication& publication, const char* address, char* out);
