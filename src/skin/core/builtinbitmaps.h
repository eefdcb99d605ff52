// Five small pictures built into the skin library, by name: "SF" (a frame),
// "SR" (an arrow right), "SD" (an arrow down), "SE" (an ellipsis) and "SC" (a
// check mark); black on the transparent key colour.
#pragma once

#include <string_view>

#include "skin/core/pixels.h"

namespace skin {

// nullptr for any other name. The pictures live for the whole run.
const TPixelBitmap* BuiltInBitmap(std::string_view name);

}  // namespace skin
