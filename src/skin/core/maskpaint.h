// Nine-part painting of skin masks: the four corners kept, the sides and the
// centre tiled or stretched between them; single state frames (glyphs); the
// transparent corners of a control's border; the disabled look.
#pragma once

#include <vector>

#include "skin/core/colors.h"
#include "skin/core/geometry.h"
#include "skin/core/maskdata.h"
#include "skin/core/parentcache.h"
#include "skin/core/pixels.h"

namespace skin {

// SrcRect of Src (the picture row) drawn at (x, y) through the mask row
// `maskOffset` rows below it. Key pixels of the picture are skipped, or taken
// from `parent` when one is given and ready; for the others each channel is
// ((dst - pic) * m + pic * 256) shr 8, m the mask's channel (mode 1) or
// min(mask + 100, 255) (any other mode: a ghost).
void CopyThroughMask(const TPixels& dst, int x, int y, const TPixels& src, TRect srcRect, int maskOffset, int mode,
                     const TParentCacheInfo* parent = nullptr);

// Nine-part painting of state `state` of the mask into R of Bmp. Corner key
// pixels take the parent's picture when the cache is ready (masked masks)
// or when UseParentCache is set (masks without a mask row).
void DrawSkinRect(const TPixels& bmp, TRect r, bool fillCentre, const TParentCacheInfo& parentCache,
                  const TsMaskData& mask, int state, bool useParentCache);

// One whole state frame at P; mode 1 normal, any other a half-transparent ghost.
void DrawSkinGlyph(const TPixels& bmp, TPoint p, int state, const TsMaskData& mask, int mode,
                   const TParentCacheInfo& parentCache = TParentCacheInfo{});

// SrcRect of the mask's picture (picture coordinates) into DstRect of Bmp,
// through the mask row when the mask has one; clipped to both pictures.
void DrawMaskRect(TRect srcRect, TRect dstRect, const TPixels& bmp, const TsMaskData& mask,
                  const TParentCacheInfo& parentCache);

// The four corners of a border mask over a control's cache of W x H: only
// the pixels where the picture holds the key colour are written, with
// FillColor, or, when FillColor is clFuchsia, with the parent's picture
// behind them (ParentCache's offset is the control's place in it).
void PaintBorderCorners(const TPixels& cache, const TsMaskData& mask, int state, int width, int height,
                        TColor fillColor, const TParentCacheInfo& parentCache);

// Flag 2: grey; flag 1: blended with the parent's picture, the control
// keeping 40 %, or, without a parent cache, 50 % toward ParentColor.
void PaintDisabledLook(const TPixels& bmp, int flags, const TParentCacheInfo& parentCache, TColor parentColor);

// The key pixels of a frame's corner area (row by row) that lie outside the
// frame: those joined to one of the area's outer edges (kOuter... flags)
// through key pixels; the others are enclosed by the frame's lines.
constexpr int kOuterLeft = 1, kOuterRight = 2, kOuterTop = 4, kOuterBottom = 8;
std::vector<char> KeyPixelsOutside(const TPixels& pic, TRect area, int outerEdges);

// The runs of key pixels in the corners of frame 0 of the mask that lie
// outside the frame (reached from the corner's outer edges), as one-row
// rectangles: the left corner at x 0, the right one ending at Width; the top
// corners (WT rows) or, with Bottom, the bottom ones (WB rows), placed at row Y.
void GetMaskRegionRects(std::vector<TRect>& rects, int width, const TsMaskData& mask, bool bottom, int y);

}  // namespace skin
