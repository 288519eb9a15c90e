// Any file as a GIF picture.
#include "PictureConversion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string gifPath = fuzzScratchPath("gif", ".gif");
    static const std::string bitmapPath = fuzzScratchPath("gif", ".bmp");
    fuzzPictureConversion(data, size, gifPath, bitmapPath);
    return 0;
}
