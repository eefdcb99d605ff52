// The content of a loaded skin and its lookups by section, key and image
// name. The skin manager owns one; painting reads the records by index.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

    // Lookups never throw; a miss is -1. Names are compared exactly.
    // The first section named so.
    int GetSkinIndex(std::string_view section) const;
    // The first mask of the section and key; else the one the section's
    // parent (its PARENTCLASS) finds, following parents until a section
    // comes round again. SkinIndex must be the index of Section itself.
    int GetMaskIndex(int skinIndex, std::string_view section, std::string_view propertyName) const;
    // The same over texture masks only.
    int GetTextureIndex(int skinIndex, std::string_view section, std::string_view propertyName) const;
    // The same over the JPEG patterns.
    int GetPatternIndex(int skinIndex, std::string_view section, std::string_view propertyName) const;
    // The section's own mask only, no parent.
    int FindMaskIndex(std::string_view section, std::string_view propertyName) const;
    bool IsValidSkinIndex(int index) const { return index >= 0 && index < static_cast<int>(Sections.size()); }
    bool IsValidMaskIndex(int index) const { return index >= 0 && index < static_cast<int>(Masks.size()); }
    bool IsValidPatternIndex(int index) const { return index >= 0 && index < static_cast<int>(Patterns.size()); }

    // Frees the mask images and the master bitmap, from the last mask down.
    void FreeBitmaps();
    void FreeJpegs();
    // No skin: every array empty, the skin-wide data reset (its path kept).
    void Clear();

private:
    enum class Kind { AnyMask, Texture, Pattern };
    int Lookup(Kind kind, int skinIndex, std::string_view section, std::string_view propertyName) const;
    int FindOwn(Kind kind, std::string_view section, std::string_view propertyName) const;
};

}  // namespace skin
