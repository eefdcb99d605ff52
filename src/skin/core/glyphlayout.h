// Where a button's glyph and caption go: the glyph beside, above or below
// the caption, both placed by margin and spacing inside the button.
#pragma once

#include "skin/core/geometry.h"

namespace skin {

enum TButtonLayout { blGlyphLeft = 0, blGlyphRight, blGlyphTop, blGlyphBottom };

struct TGlyphLayout {
    TPoint GlyphPos;  // top-left corner of the glyph
    TRect TextBounds;
};

// Margin (edge to the nearer item) and Spacing (between glyph and caption)
// of -1 mean centred and evenly spread: a third of the free space each.
// Alignment 0 left, 1 right, 2 centre places a centred block sideways;
// bit value 2 of BiDiMode (right-to-left reading) swaps left and right.
TGlyphLayout CalcGlyphLayout(const TRect& client, TPoint glyphSize, TPoint textSize, TButtonLayout layout, int margin,
                             int spacing, int alignment, int biDiMode);

}  // namespace skin
