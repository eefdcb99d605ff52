// The records of a loaded skin: the skin-wide data, one general-data record
// per section, one mask per image (borders, glyphs, bitmap textures) and one
// pattern per large JPEG texture. Index -1 means absent everywhere.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/geometry.h"
#include "skin/core/gradient.h"
#include "skin/core/pixels.h"

namespace skin {

class TsSkinContent;

enum TacImgType : uint8_t { itisaBorder = 0, itisaTexture = 1, itisaGlyph = 2 };
enum TsControlBevel : uint8_t { cbNone = 0, cbRaisedSoft, cbLoweredSoft, cbRaisedHard, cbLoweredHard };

struct TsMaskData {
    std::unique_ptr<TPixelBitmap> Image;  // own picture; null: the picture lies in the master bitmap
    std::string SectionName;
    std::string PropertyName;             // BORDERSMASK, GLYPHMASK, PATTERN, ...
    TRect SourceRect;                     // the picture, all frames, in Image or in the master bitmap
    int ImageCount = 0;                   // state frames side by side
    int MaskType = 0;                     // 0 no mask row; 1 or more: a mask row below the picture
    int BorderWidth = 0;                  // uniform corner size when >= 1
    int DrawMode = 0;                     // 1 stretch sides, 2 nothing for state 0, 4 draw the centre
    TacImgType ImgType = itisaBorder;
    const TsSkinContent* Manager = nullptr;  // null: never painted
    int WL = 0, WT = 0, WR = 0, WB = 0;      // corner sizes

    // The picture the mask's SourceRect lies in (empty when there is none).
    TPixels Picture() const;
    // One state frame: SourceRect width div ImageCount (0 without frames),
    // height div (MaskType + 1).
    int FrameWidth() const;
    int FrameHeight() const;
};
using TsMaskArray = std::vector<TsMaskData>;

struct TsPatternData {
    std::unique_ptr<TPixelBitmap> Image;  // the decoded JPEG
    std::string SectionName;
    std::string PropertyName;
};
using TsPatternArray = std::vector<TsPatternData>;

struct TsGeneralData {
    std::string ParentClass;  // the section missing keys, masks and textures come from
    std::string SectionName;  // as written in the file
    TColor Color = 0xFFFFFF;
    TsControlBevel Bevel = cbNone;
    std::array<TColor, 5> FontColor{0, -1, -1, -1, -1};     // text, then contours left, top, right, bottom (-1 none)
    std::array<TColor, 5> HotFontColor{0, -1, -1, -1, -1};
    bool ReservedBoolean = false;
    int ShadowBlur = 6;
    TColor ShadowColor = 0;
    bool ShadowEnabled = false;
    int ShadowOffset = 3;
    int ShadowTransparency = 50;
    int Transparency = 0;  // 0..100
    int GradientPercent = 0;
    std::string GradientData;
    TsGradArray GradientArray;
    int ImagePercent = 0;
    bool ShowFocus = false;
    bool FadingEnabled = false;
    int FadingIntervalIn = 5;
    int FadingIntervalOut = 5;
    int FadingIterations = 5;
    TColor HotColor = 0xFFFFFF;
    int HotTransparency = 0;
    TsControlBevel HotBevel = cbNone;
    int HotGradientPercent = 0;
    std::string HotGradientData;
    TsGradArray HotGradientArray;
    int HotImagePercent = 0;
    TColor BorderColor1 = 0;
    TColor BorderColor2 = 0;

    bool operator==(const TsGeneralData&) const = default;
};
using TsGeneralDataArray = std::vector<TsGeneralData>;

struct TsSkinData {
    std::string SkinPath;  // folder of the loaded skin with a final "\"; empty for a stored skin
    bool Active = false;   // a loaded skin has been sent to the forms
    double Version = 0;
    std::string Author;
    std::string Description;
    TColor Shadow1Color = 0;
    int Shadow1Offset = 0;
    int Shadow1Blur = -1;
    int Shadow1Transparency = 0;
    TColor BorderColor = 0;
    int BISpace = 0;
};

}  // namespace skin
