// Copies, fills, stretches and frames on 24- and 32-bit pixels: the parts of
// skin painting that would otherwise go through a device context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "skin/core/colors.h"
#include "skin/core/geometry.h"
#include "skin/core/parentcache.h"
#include "skin/core/pixels.h"

namespace skin {

// Solid fill of the part of Rect inside the bitmap.
void FillRect(const TPixels& bmp, TRect rect, TColor color);

// SrcRect of Src copied to (x, y) of Dst, clipped to both bitmaps.
void CopyRect(const TPixels& dst, int x, int y, const TPixels& src, TRect srcRect);

// Where Dst at (x, y) no longer shows Picture, in Picture's coordinates:
// one rectangle per run of differing pixels in a row, or, past MaxRuns
// runs, the one rectangle round them all; all of Picture when it does not
// fit there. Empty when nothing differs.
std::vector<TRect> ChangedRuns(const TPixels& dst, int x, int y, const TPixels& picture, size_t maxRuns);

// SrcRect of Src stretched over DstRect of Dst: each target pixel gets the
// average of the source area it covers (a halftone stretch).
void StretchRect(const TPixels& dst, TRect dstRect, const TPixels& src, TRect srcRect);

// Copies SrcRect to (x, y), comparing each source pixel's three bytes with
// the key colour: key pixels are not copied.
void CopyKeyedRect(const TPixels& dst, int x, int y, const TPixels& src, TRect srcRect, TColor key);

// The whole source at (x, y), key pixels skipped.
void CopyTransparentBmp(const TPixels& dst, const TPixels& src, int x, int y, TColor key);

// SrcRect at (x, y); key pixels skipped, or, with UseParentCache and a ready
// parent cache, taken from the parent's picture behind them.
void CopyTransparentRect(const TPixels& dst, const TPixels& src, int x, int y, bool useParentCache,
                         const TParentCacheInfo& parentCache, TColor key, TRect srcRect);

// The ring of Rect, Width pixels wide, copied from Src to the same place of Dst.
void CopyFrameRect(const TPixels& dst, const TPixels& src, TRect rect, int width);

// Width rings shrinking by one: the top and left edges in C1, the bottom and
// right edges in C2.
void DrawFrame3D(const TPixels& bmp, TRect rect, TColor c1, TColor c2, int width);

// A black pixel every 3 pixels along the edges, each with a white pixel one
// up and one to the left.
void DrawDottedFrame(const TPixels& bmp, TRect rect);

// The picture repeated from Rect's top-left corner, clipped to Rect.
void TileGraphic(const TPixels& bmp, TRect rect, const TPixels& picture);

}  // namespace skin
