// The content of a loaded skin and its lookups by section, key and image
// name. The skin manager owns one; painting reads the records by index.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "skin/core/maskdata.h"
#include "skin/core/pixels.h"

namespace skin {

class TsSkinContent {
public:
    TsSkinContent() = default;
    // Masks point back at their content: it stays where it was made.
    TsSkinContent(const TsSkinContent&) = delete;
    TsSkinContent& operator=(const TsSkinContent&) = delete;

    TsSkinData SkinData;
    TsGeneralDataArray Sections;
    TsMaskArray Masks;
    TsPatternArray Patterns;
    std::unique_ptr<TPixelBitmap> MasterBitmap;
    bool IsPacked = false;  // image files come from the unpacked skin, not the disk

    // The master bitmap's pixels; empty when there is none.
    TPixels MasterPixels() const { return MasterBitmap ? MasterBitmap->Pixels() : TPixels{}; }
};

}  // namespace skin
