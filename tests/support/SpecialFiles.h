// Files that tests cannot make through the product's file layer: a FIFO, a
// sparse file larger than 4 GiB.
#pragma once

#include <cstdint>
#include <string>

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
// A symbolic link at link to target (both program paths); false where the
// system or the user's rights allow none.
bool makeSymlink(const std::string& target, const std::string& link);
