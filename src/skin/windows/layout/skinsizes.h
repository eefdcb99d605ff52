// Sizes taken from a skin's masks by the frame, button and menu layouts: one
// state frame of a button picture, a third of a title bar, a grip. Masks
// with a picture of their own keep the older fixed grid of frames.
#pragma once

#include "skin/core/geometry.h"
#include "skin/core/maskdata.h"
#include "skin/core/skincontent.h"

namespace skin {

// The mask at the index, or nullptr when there is no skin or the index is no mask.
const TsMaskData* MaskAt(const TsSkinContent* skin, int maskIndex);

// Width of one state frame of a title button's mask; 21 without a mask.
int TitleButtonWidth(const TsSkinContent* skin, int maskIndex);
// Height of one frame: an own picture holds two rows; 21 without a mask.
int TitleButtonHeight(const TsSkinContent* skin, int maskIndex);
// One frame of a picture laid out as three states by two rows when it is
// its own bitmap (grips, small MDI buttons, check marks); else one frame
// of the source rectangle. (0, 0) without a mask.
TPoint ThreeStateFrame(const TsSkinContent* skin, int maskIndex);
// A third of one frame of a "TITLEBAR" mask; 0 without one.
int TitleBarThird(const TsSkinContent* skin, int maskIndex);

}  // namespace skin
