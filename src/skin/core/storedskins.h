// What the skin manager keeps with the form it sits on: skins stored inside
// it (a packed skin, or in the older form the skin's content as
// collections), the class lists of other libraries' controls to skin as
// ours, and the switches of the library's animations.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/colors.h"
#include "skin/core/maskdata.h"
#include "skin/core/pixels.h"

namespace skin {

struct TsSkinGeneral {
    std::string SectionName, ParentClass;
    TColor Color = 0;
    TsControlBevel Bevel = cbNone;
    int ShadowBlur = 0;
    TColor ShadowColor = 0;
    bool ShadowDontUse = false, ShadowEnabled = false, ReservedBoolean = false;
    int ShadowOffset = 0, ShadowTransparency = 0;
    std::string FontColor, HotFontColor;  // five colours apart by blanks
    int Transparency = 0, GradientPercent = 0;
    std::string GradientData;
    int ImagePercent = 0;
    bool ShowFocus = false, FadingEnabled = false;
    int FadingIntervalIn = 0, FadingIntervalOut = 0, FadingIterations = 0;
    TColor HotColor = 0;
    int HotTransparency = 0;
    TsControlBevel HotBevel = cbNone;
    int HotGradientPercent = 0;
    std::string HotGradientData;
    int HotImagePercent = 0;
    TColor BorderColor1 = 0, BorderColor2 = 0;
    std::string Name;
};

struct TsSkinImage {
    std::string SectionName;
    TPixelBitmap Image;  // empty: the picture is the rectangle of the master bitmap
    std::string Name, PropertyName;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int ImageCount = 0, MaskType = 0, BorderWidth = 0, StretchMode = 0;
    TacImgType ImgType = itisaBorder;
    int WL = 0, WR = 0, WT = 0, WB = 0;
};

struct TsSkinPattern {
    std::string SectionName;
    TPixelBitmap Image;  // the decoded JPEG; empty when it has none
    std::string Name, PropertyName;
};

class TsStoredSkin {
public:
    std::string Name;
    std::vector<TsSkinGeneral> GeneralData;
    std::vector<TsSkinImage> Images;
    std::vector<TsSkinPattern> Patterns;
    TPixelBitmap MasterBitmap;
    TColor Shadow1Color = 0;
    int Shadow1Offset = 0;
    int Shadow1Blur = -1;
    int Shadow1Transparency = 0;
    TColor BorderColor = clFuchsia;
    double Version = 0;
    std::string Author, Description;
    // A packed skin (the packed-file format); when empty the collections hold the skin.
    std::string Data;

    void SetName(const std::string& value) {
        if (value != Name) Name = value;
    }
};

// Items change only through the collection itself: assigning another
// collection does nothing.
class TsStoredSkins {
public:
    TsStoredSkin& Add() { return *items_.emplace_back(std::make_unique<TsStoredSkin>()); }
    int Count() const { return static_cast<int>(items_.size()); }
    TsStoredSkin& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
    const TsStoredSkin& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
    void Delete(int index) { items_.erase(items_.begin() + index); }
    void Assign(const TsStoredSkins&) {}
    // The first item of exactly that name; -1 when none.
    int IndexOf(const std::string& name) const;

private:
    std::vector<std::unique_ptr<TsStoredSkin>> items_;
};

// The three skins of our own that the program keeps inside itself, in this
// order: "Pulsar (internal)", "Office2007 Black (internal)", "Cold (internal)".
void AddOwnStoredSkins(TsStoredSkins& skins);

// Class names that are skinned as one kind of our controls, a list per
// kind, each a text of names on lines of their own.
enum TThirdKind {
    tpEdits = 0, tpButtons, tpBitBtns, tpCheckBoxes, tpComboBoxes, tpGrids, tpGroupBoxes,
    tpListViews, tpPanels, tpTreeViews, tpWWEdits, tpGridEh, tpVirtualTrees, tpKindCount
};

struct ThirdPartyList {
    std::array<std::string, tpKindCount> Lists;
    static std::string DefaultList(int kind);
};

using TThirdLists = std::array<std::vector<std::string>, tpKindCount>;

// Brings lists written in the older order into the current one, fills the
// empty ones (or all, with Force) with the defaults, and splits them into
// the manager's lists.
void UpdateThirdNames(ThirdPartyList& third, TThirdLists& lists, bool force);
// Each text takes its list back.
void StoreThirdNames(ThirdPartyList& third, const TThirdLists& lists);

// The button events that start an effect: bit 0 mouse enter, 1 mouse leave,
// 2 mouse down, 3 mouse up. Set from the default manager's settings.
enum TacBtnEvent : unsigned { beMouseEnter = 1, beMouseLeave = 2, beMouseDown = 4, beMouseUp = 8 };
extern unsigned BtnEffectFlags;

class TacBtnEffects {
public:
    unsigned Events() const { return BtnEffectFlags; }
    // Stores a changed set; only the default manager's set reaches the effects.
    void SetEvents(unsigned events, bool ownerIsDefault) {
        if (events == events_) return;
        events_ = events;
        if (ownerIsDefault) BtnEffectFlags = events_;
    }

private:
    unsigned events_ = beMouseEnter | beMouseLeave | beMouseDown | beMouseUp;
};

struct TacFormAnimation {
    bool Active = true;
    uint16_t Time = 0;
};

struct TacAnimEffects {
    TacBtnEffects Buttons;
    TacFormAnimation DialogShow{true, 100};
    TacFormAnimation FormShow;
    TacFormAnimation PageChange;
    TacFormAnimation SkinChanging{true, 100};
};

}  // namespace skin
