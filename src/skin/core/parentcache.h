// A parent's cached picture as a child sees it: the bitmap and the child's
// offset in it. Ready is False when no parent answered with a picture.
#pragma once

#include "skin/core/pixels.h"

namespace skin {

struct TParentCacheInfo {
    TPixels Bmp;
    int X = 0;
    int Y = 0;
    bool Ready = false;

    // The parent's pixel behind the child's point (x, y); nullptr when the
    // cache is not ready or the point lies outside the parent's picture.
    const uint8_t* PixelBehind(int x, int y) const {
        if (!Ready || Bmp.Empty()) return nullptr;
        int px = X + x, py = Y + y;
        return Bmp.Contains(px, py) ? Bmp.At(px, py) : nullptr;
    }
};

inline TParentCacheInfo MakeParentCacheInfo(const TPixels& bmp, int x, int y) { return TParentCacheInfo{bmp, x, y, true}; }

}  // namespace skin
