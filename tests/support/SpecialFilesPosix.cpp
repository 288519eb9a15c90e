#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "SpecialFiles.h"
#include "model/NativePaths.h"

bool makeFifo(const std::string& path) {
    std::string native;
    return programPathToNative(path.c_str(), &native) && ::mkfifo(native.c_str(), 0666) == 0;
}

bool makeSymlink(const std::string& target, const std::string& link) {
    std::string from;
    std::string to;
    return programPathToNative(target.c_str(), &to) && programPathToNative(link.c_str(), &from) &&
           ::symlink(to.c_str(), from.c_str()) == 0;
}

bool makeSparseFile(const std::string& path, uint64_t size) {
    std::string native;
    if (!programPathToNative(path.c_str(), &native)) return false;
    FILE* file = std::fopen(native.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = ::ftruncate(fileno(file), off_t(size)) == 0;
    return std::fclose(file) == 0 && ok;
}

struct FifoUnblocker::Watch {
    std::atomic<bool> stop{false};
    std::thread thread;
};

FifoUnblocker::FifoUnblocker(const std::string& path) : watch(new Watch) {
    std::string native;
    if (!programPathToNative(path.c_str(), &native)) return;
    watch->thread = std::thread([native, this] {
        while (!watch->stop) {
            // Opening the writing end succeeds only while a reader waits;
            // closing it again ends that reader's file.
            int fd = ::open(native.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
}

FifoUnblocker::~FifoUnblocker() {
    watch->stop = true;
    if (watch->thread.joinable()) watch->thread.join();
    delete watch;
}
