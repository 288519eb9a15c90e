// An address broken into parts, so that one file reached by different
// spellings composes to the same local path. A base is loaded with setFrom,
// further addresses are applied with set, and toPath composes the result.
#pragma once

#include <cstdint>

#include "model/Paths.h"

struct Publication;

constexpr int kUrlFolderSlots = 10;
// A relative address adds folders only while fewer than this are held.
constexpr int kUrlRelativeFolderLimit = 9;

constexpr int32_t kSchemeNone = 0;
constexpr int32_t kSchemeFile = 1;
constexpr int32_t kSchemeHttp = 2;

struct Url {
    int32_t scheme;
    char host[kPathSize];
    char folders[kUrlFolderSlots][kPathSize];
    int32_t folderCount;
    char fileName[kPathSize];
    char fragment[kPathSize];
    // Parts that came from a file path rather than an address: a "%" in
    // them is a plain character, never an escape.
    bool hostIsPlain;
    bool folderIsPlain[kUrlFolderSlots];
    bool fileNameIsPlain;
    // Set when a folder was dropped or a part cut to fit: the composed path
    // would name another file.
    bool cut;

    Url();

    // Empties everything but the scheme.
    void reset();
    void set(const char* address);
    void setFrom(const char* address);
    // The same for a file path, whose parts are taken as they are written.
    void setFile(const char* path);
    void setFromFile(const char* path);
    // The composed path without fragment; out holds 256 bytes. False when
    // the path was cut anywhere on its way, so that it must not be used.
    bool toPath(char* out) const;
    // Same composed path, byte for byte.
    bool sameResource(const Url& other) const;
};

// An address resolved against the package's own path, as a local path
// (256 bytes). False when the path had to be cut.
bool resolveAgainstPackage(const Publication& publication, const char* address, char* out);
// An address with a scheme of two or more characters before its ":" (one
// letter is a drive), other than "file:": it names nothing of the book.
bool isWebAddress(const char* href);
