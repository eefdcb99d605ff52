// Fast pixel access to 24- and 32-bit bitmaps and the blends of the skin
// painting. Every blend works in integers and divides by 256 with a final
// shift; results are clamped to 0..255.
#pragma once

#include <cstdint>

#include "skin/core/colors.h"
#include "skin/core/geometry.h"
#include "skin/core/pixels.h"

namespace skin {

// A 24-bit (3 bytes a pixel) or 32-bit (4) bitmap attached for pixel reads.
template <int Bytes>
class TacFastPixels {
public:
    // Only bitmaps of that depth and at least 2 x 2 pixels attach; otherwise Width is 0.
    bool Attach(const TPixels& bmp) {
        if (bmp.Empty() || bmp.Width < 2 || bmp.Height < 2 || bmp.BytesPerPixel != Bytes) {
            Width = 0;
            return false;
        }
        pixels_ = bmp;
        Width = bmp.Width;
        Height = bmp.Height;
        return true;
    }
    TColor GetPixel(int x, int y) const { return PixelColor(pixels_.At(x, y)); }
    int Width = 0;
    int Height = 0;

private:
    TPixels pixels_;
};
using TacFast24 = TacFastPixels<3>;
using TacFast32 = TacFastPixels<4>;

// Two attached bitmaps blended byte by byte:
// dst := (src * (255 - A) + dst * A + 127) shr 8.
class TacFastSum24 {
public:
    // Both must be at least 2 x 2; the common size is the smaller one.
    bool Attach(const TPixels& src, const TPixels& dst);
    // Blends SrcRect of the source onto the destination at DstX, DstY; the
    // rectangles must already lie inside both bitmaps.
    void BlendBuffers();

    uint8_t A = 0;
    int DstX = 0;
    int DstY = 0;
    TRect SrcRect;
    int Width = 0;
    int Height = 0;

private:
    TPixels src_;
    TPixels dst_;
};

// SrcRect of Src blended onto Dst at DstPoint with A (255 keeps the
// destination, 0 takes the source); clipped to both bitmaps.
void BlendBitmapRect(const TPixels& dst, const TPixels& src, int a, TPoint dstPoint, TRect srcRect);

// Each channel := round(c * P + colour * (1 - P)), P = (percent and 255) / 100.
void BlendRectWithColor(const TPixels& bmp, TRect rect, int percent, TColor color);

// dst := src - (src - dst) * k at (x, y) for the pixels of SrcRect; source
// pixels of the key colour are skipped unless the key's top byte is 255.
void BlendTransparent(const TPixels& dst, const TPixels& src, int x, int y, TColor key, double k, TRect srcRect);

// For two bitmaps of one size: dst := ((dst - colour) * mask + colour * 256) shr 8.
void BlendWithMaskBitmap(const TPixels& dst, const TPixels& mask, TColor color);

// Per channel ((a - b) * share + b * 256) shr 8 between two pictures of one
// size (share 256 is all a, 0 all b); with a mask bitmap the share of each
// channel is scaled by the mask's channel / 255.
void BlendThroughMask(const TPixels& dst, const TPixels& a, const TPixels& b, int share, const TPixels* mask = nullptr);

// Fades Rect toward Color by Percent through a rounded mask: Radius rounds
// the corners, EdgeWidth rings soften the edge. (60, 0, 0) is a plain 60 % fade.
void BlendRoundRect(const TPixels& bmp, TRect rect, int percent, int radius, int edgeWidth, TColor color);

// Every pixel's channels := their average.
void GrayscaleBitmap(const TPixels& bmp);

}  // namespace skin
