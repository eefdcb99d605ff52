// The skin engine's pixels: the shared pixel buffer (see pixels/pixelbuffer.h),
// which the component layer's bitmaps hand out as well, under the engine's
// own names, and the colour values of skin pictures.
#pragma once

#include <cstdint>

#include "pixels/pixelbuffer.h"

namespace skin {

using pixels::DibRowBytes;
using pixels::TPixelBitmap;
using pixels::TPixels;

// A colour as the component layer keeps it: 0x00BBGGRR.
using TColor = int32_t;
constexpr TColor clFuchsia = 0xFF00FF;  // the transparent key colour of skin pictures

}  // namespace skin
