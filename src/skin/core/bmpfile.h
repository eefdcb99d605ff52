// BMP pictures of skins: read from the bytes of a file into 24-bit pixels,
// and written (24-bit, bottom-up) by our own tools.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "skin/core/pixels.h"

namespace skin {

// Reads 1-, 4-, 8-, 16-, 24- and 32-bit pictures, uncompressed, RLE or with
// bit fields. On a damaged or unsupported picture `out` is left empty, the
// reason goes to `error` and the result is false; nothing is ever read
// outside `data`.
bool ReadBmp(const uint8_t* data, size_t size, TPixelBitmap& out, std::string& error);

// The pixels as a 24-bit BMP file.
std::string WriteBmp(const TPixels& pixels);

}  // namespace skin
