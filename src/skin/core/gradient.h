// Gradients of skin sections: the text form of the skin file parsed once at
// load into steps, and painted into a bitmap rectangle on every render.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/core/colors.h"
#include "skin/core/geometry.h"
#include "skin/core/pixels.h"

namespace skin {

struct TsGradPart {
    TColor Color1 = 0;  // at the step's start
    TColor Color2 = 0;  // at the step's end
    uint8_t Percent = 0;  // share of the rectangle, at most 100
    int Mode = 0;         // 0 top to bottom, 1 left to right, 2 four triangles; the first step's decides
    bool operator==(const TsGradPart&) const = default;
};
using TsGradArray = std::vector<TsGradPart>;

// "Color1;Color2;Percent;Mode;unused;..." five words a step, words apart by
// ";"; an incomplete last step is ignored. A word that is no integer throws
// EConvertError; Data is then empty.
void ParseGradientData(const std::string& text, TsGradArray& data);

// Paints the gradient into Rect (clipped to the bitmap); an empty array
// paints nothing.
void PaintGradient(const TPixels& bmp, TRect rect, const TsGradArray& data);

}  // namespace skin
