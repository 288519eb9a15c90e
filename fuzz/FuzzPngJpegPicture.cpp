// Any file as a PNG or JPEG picture (the decoder tells them by their bytes).
#include "PictureConversion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string picturePath = fuzzScratchPath("picture", ".png");
    static const std::string bitmapPath = fuzzScratchPath("picture", ".bmp");
    fuzzPictureConversion(data, size, picturePath, bitmapPath);
    return 0;
}
