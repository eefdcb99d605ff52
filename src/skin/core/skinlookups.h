// What the skin manager works out from a loaded skin without any window:
// the table of indexes that scroll bars, tabs and check boxes read on every
// paint, the skin-wide colours and the margins of masks, the default
// section of each kind of control, and where skins are found on disk.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/core/colors.h"
#include "skin/core/skincontent.h"
#include "skin/core/storedskins.h"

namespace skin {

// Indexes into the sections and masks of the skin; -1 where the skin has none.
enum TCachedIndex : int {
    ciGlobalInfo = 0,
    ciTabTop = 1,             // 1-4 TABTOP, TABBOTTOM, TABLEFT, TABRIGHT; 5-8 their BORDERSMASK
    ciTabBorders = 5,
    ciScrollBtnTop = 9,       // 9-12 SCROLLBTNTOP, -BOTTOM, -LEFT, -RIGHT
    ciScrollBtnBorders = 13,  // 13-16, then PATTERN 17-20, HOTPATTERN 21-24, GLYPHMASK 25-28
    ciScrollBtnPatterns = 17,
    ciScrollBtnHotPatterns = 21,
    ciScrollBtnGlyphs = 25,
    ciScrollSliderV = 29,     // 29-30 SCROLLSLIDERV, SCROLLSLIDERH
    ciScrollSliderBorders = 31,
    ciScrollSliderGlyphs = 33,
    ciScrollSliderHPattern = 35,  // 35-36 SCROLLSLIDERH PATTERN, HOTPATTERN
    ciScrollSliderVPattern = 37,  // 37-38 SCROLLSLIDERV PATTERN, HOTPATTERN
    ciScrollBar1H = 39,       // 39-42 SCROLLBAR1H, SCROLLBAR1V, SCROLLBAR2H, SCROLLBAR2V
    ciScrollBarBorders = 43,
    ciScrollBarPatterns = 47,
    ciScrollBarHotPatterns = 51,
    ciCheckMasks = 55,        // 55-63 BOXCHECKED ... SMALLGRAYED of GLOBALINFO
    ciCount = 64,
};

struct TCachedIndexes {
    std::array<int16_t, ciCount> Index;
    int ComboBtnIndex = -1;
    int ComboBtnBorder = -1;
    int ComboBtnPattern = -1;
    int ComboBtnHotPattern = -1;
    int ComboBoxGlyph = -1;

    TCachedIndexes() { Index.fill(-1); }
    int operator[](int i) const { return Index[static_cast<size_t>(i)]; }
};

// Every index looked up anew; an empty skin gives -1 everywhere.
TCachedIndexes InitConstantIndexes(const TsSkinContent& skin);

// Colours of GLOBALINFO, through ColorToRGB (system colours resolved).
using TColorToRGB = std::function<TColor(TColor)>;
TColor GlobalInfoColor(const TsSkinContent& skin, const TCachedIndexes& ci, const TColorToRGB& toRGB, TColor btnFace);
// clFuchsia, not converted, when there is no GLOBALINFO.
TColor GlobalInfoFontColor(const TsSkinContent& skin, const TCachedIndexes& ci, const TColorToRGB& toRGB);
TColor GlobalInfoHotColor(const TsSkinContent& skin, const TCachedIndexes& ci, const TColorToRGB& toRGB, TColor window);

// A mask's margins: its own corner size, else its border width, else a
// third of one frame. 0 for an index that names no mask.
int MaskMarginLeft(const TsSkinContent& skin, int maskIndex);
int MaskMarginRight(const TsSkinContent& skin, int maskIndex);
int MaskMarginTop(const TsSkinContent& skin, int maskIndex);
int MaskMarginBottom(const TsSkinContent& skin, int maskIndex);

// The skin section that paints a kind of control when it names none;
// empty for a kind outside the table (the control's class name is used).
std::string DefaultSectionName(int controlTypeCode);
// Kinds that never show themselves hot under the mouse.
bool IsNoHoverCode(int controlTypeCode);

// The skin folder as the manager resolves it: ".." against the program
// folder's parent, ".\" and a bare name against the program folder, an
// absolute or network path as written. No separator is appended.
std::string FullSkinDirectory(const std::string& skinDirectory, const std::string& appPath);

// Lines of the application's common sections as the manager keeps them:
// every line that is not empty and not a comment loses its blanks.
std::vector<std::string> CleanCommonSections(const std::vector<std::string>& lines);

enum TSkinListKind { slFolders = 0, slPacked = 1, slAll = 2 };
// The names of the stored skins, then (from the skin folder, a program
// path) of skin folders and/or packed files, sorted without regard to case
// and each once. FirstName: the first stored skin, else the first found.
std::vector<std::string> ListSkinNames(const TsStoredSkins& stored, const std::string& fullSkinDirectory,
                                       TSkinListKind kind, std::string& firstName);

// Frames of the skin-change fade for an animation time in milliseconds
// (8 ms a frame); 0: only the final picture is shown.
constexpr int AnimationSteps(int time) { return (time & 0xFFFF) >> 3; }

}  // namespace skin
