// Mapping between program paths (Windows form) and POSIX paths, as Wine
// does it: the drive Z: is "/", backslashes are slashes. Pure string work,
// so it is tested on every platform.
#pragma once

#include <cstdint>
#include <string>

// False for paths with no POSIX counterpart: another drive, a network path.
// A relative path stays relative; a path starting with one separator starts
// at the root of drive Z:.
bool programPathToNative(const char* path, std::string* out);
// An absolute POSIX path becomes "Z:" followed by it with backslashes; a
// relative one is only given backslashes. False when it does not fit.
bool nativePathToProgram(const char* native, char* out, uint32_t capacity);
