#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "SpecialFiles.h"
#include "model/NativePaths.h"

SmallDisk::SmallDisk(const std::string& folder, uint32_t kilobytes, uint32_t files) {
    std::string path;
    if (!programPathToNative(folder.c_str(), &path)) return;
    std::string options = "size=" + std::to_string(kilobytes) + "k,nr_inodes=" + std::to_string(files);
    if (::mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0) native = path;
}

SmallDisk::~SmallDisk() {
    if (mounted()) ::umount2(native.c_str(), MNT_DETACH);
}

bool makeFifo(const std::string& path) {
    std::string native;
    return programPathToNative(path.c_str(), &native) && ::mkfifo(native.c_str(), 0666) == 0;
}

bool makeSparseFile(const std::string& path, uint64_t size) {
    std::string native;
    if (!programPathToNative(path.c_str(), &native)) return false;
    FILE* file = std::fopen(native.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = ::ftruncate(fileno(file), off_t(size)) == 0;
    return std::fclose(file) == 0 && ok;
}
