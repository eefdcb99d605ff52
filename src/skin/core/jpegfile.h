// JPEG textures of skins, decoded through libjpeg into 24-bit pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "skin/core/pixels.h"

namespace skin {

// On a damaged, unsupported or impossibly large picture `out` is left
// empty, the reason goes to `error` and the result is false; libjpeg's own
// errors never end the program.
bool ReadJpeg(const uint8_t* data, size_t size, TPixelBitmap& out, std::string& error);

}  // namespace skin
