// Files that tests cannot make through the product's file layer: a small
// file system that fills up, a FIFO, a sparse file larger than 4 GiB.
#pragma once

#include <cstdint>
#include <string>

// A small file system mounted over an existing, empty folder (program form)
// for the object's lifetime; mounted() is false where the system or the
// user's rights allow none.
class SmallDisk {
public:
    SmallDisk(const std::string& folder, uint32_t kilobytes, uint32_t files);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return native.size() > 0; }

private:
    std::string native;
};

// False where the system has no FIFOs in its file system.
bool makeFifo(const std::string& path);

// While it lives, a reader that waits on the FIFO gets its end of file at
// once, so that code which should never open it cannot hang the test.
class FifoUnblocker {
public:
    explicit FifoUnblocker(const std::string& path);
    ~FifoUnblocker();
    FifoUnblocker(const FifoUnblocker&) = delete;
    FifoUnblocker& operator=(const FifoUnblocker&) = delete;

private:
    struct Watch;
    Watch* watch;
};
// A file of the size whose bytes take no room; false when none can be made.
bool makeSparseFile(const std::string& path, uint64_t size);
