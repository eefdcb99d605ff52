// BMP pictures of skins as a skin folder or a packed skin may hold them: any
// bytes give a picture or a refusal with a reason, never a read outside them.
// seeds: data/skins/*/*.bmp
#include "skin/core/bmpfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    skin::TPixelBitmap picture;
    std::string error;
    if (!skin::ReadBmp(data, size, picture, error) && (error.empty() || picture.Width() != 0)) __builtin_trap();
    return 0;
}
