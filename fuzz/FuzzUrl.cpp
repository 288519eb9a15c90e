// Arbitrary text as addresses: the first line is the base, the rest are
// applied one by one. Every field and the composed path must stay within
// their sizes, and composing twice must agree.
#include <cstdint>
#include <cstring>
#include <string>

#include "publish/Url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    Url url;
    size_t start = 0;
    bool first = true;
    while (start <= input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        std::string address = input.substr(start, end - start);
        if (first)
            url.setFrom(address.c_str());
        else
            url.set(address.c_str());
        first = false;
        start = end + 1;
        if (url.folderCount < 0 || url.folderCount > kUrlFolderSlots) __builtin_trap();
        char path[kPathSize];
        char again[kPathSize];
        url.toPath(path);
        url.toPath(again);
        if (std::strlen(path) >= kPathSize || std::strcmp(path, again) != 0) __builtin_trap();
        if (!url.sameResource(url)) __builtin_trap();
    }
    return 0;
}
