// Textures of skin sections laid into a rectangle by their placement mode.
// Each placement hands back in Rect the part it left uncovered (which then
// gets the section's base colour), or kNoRect when it covered everything.
#pragma once

#include "skin/core/colors.h"
#include "skin/core/geometry.h"
#include "skin/core/maskdata.h"
#include "skin/core/parentcache.h"
#include "skin/core/pixels.h"

namespace skin {

// A texture without a mask row. Its own picture is tiled over everything;
// a picture in the master bitmap is placed by mode:
//   0 tiled from the top-left; 1 stretched over the rectangle;
//   2 one row of tiles along the top;   3 one column of tiles along the left;
//   4 stretched across the top edge;    5 stretched down the left edge;
//   6 one row of tiles along the bottom; 7 one column along the right;
//   10 tiled in a grid; 8, 9, 11-14 tiled, with a strip one tile wide at the
//   right handed back; other modes draw nothing.
void PlaceTexture(const TPixels& bmp, TRect& rect, int mode, const TsMaskData& mask);

// A texture with a mask row, each tile drawn through its mask. Mode 0 tiles
// the whole rectangle; mode 10 lays whole tiles only and gives the strips
// right of and below them the parent's picture (or ParentColor when the
// parent has no cache); other modes draw nothing and hand everything back.
void PlaceMaskedTexture(const TPixels& bmp, TRect& rect, const TParentCacheInfo& parentCache, int mode,
                        const TsMaskData& mask, TColor parentColor = clFuchsia);

}  // namespace skin
