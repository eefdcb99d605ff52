// JPEG textures of skins: any bytes give a picture or a refusal with a
// reason; libjpeg's errors never end the program.
// seeds: data/skins/*/*.jpg
#include "skin/core/jpegfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    skin::TPixelBitmap picture;
    std::string error;
    if (!skin::ReadJpeg(data, size, picture, error) && (error.empty() || picture.Width() != 0)) __builtin_trap();
    return 0;
}
