// A skin of flat colours for the skinned frame's tests: the frame, the
// title (inactive and active), the caption text and each state of the
// close button have colours of their own, so that a pixel tells what was
// painted there. The frame's corners are cut three pixels deep.
#pragma once
#include "vcl/vcl.h"

#include <memory>
#include <string>

#include "skin/core/win32/skinmanager.h"

namespace skintest {

constexpr skin::TColor kFrameOff = 0x303060;     // the border of an inactive form
constexpr skin::TColor kFrameOn = 0x306030;      // ... of an active one
constexpr skin::TColor kFormBack = 0xC0C8D0;     // "FORM": the client area
constexpr skin::TColor kTitleOff = 0x707070;     // "FORMTITLE", inactive
constexpr skin::TColor kTitleOn = 0xA06020;      // ... active
constexpr skin::TColor kTitleTextOff = 0x202020;
constexpr skin::TColor kTitleTextOn = 0xFFFFFF;
constexpr skin::TColor kCloseNormal = 0x2020C0;  // the close button's three states
constexpr skin::TColor kCloseHot = 0x4040FF;
constexpr skin::TColor kClosePressed = 0x000080;
constexpr skin::TColor kMaxColor = 0x20A0A0;
constexpr skin::TColor kMinColor = 0xA020A0;
constexpr skin::TColor kNormColor = 0xA0A020;
constexpr int kCornerCut = 3;   // x + y < 3 is cut away in each corner
constexpr int kButtonW = 16, kButtonH = 14;

namespace framedetail {

inline void Put(const skin::TPixels& p, int x, int y, skin::TColor c) {
    uint8_t* px = p.At(x, y);
    px[0] = static_cast<uint8_t>((c >> 16) & 0xFF);
    px[1] = static_cast<uint8_t>((c >> 8) & 0xFF);
    px[2] = static_cast<uint8_t>(c & 0xFF);
}

inline skin::TsGeneralData Section(const std::string& name, skin::TColor color, skin::TColor hot) {
    skin::TsGeneralData gd;
    gd.SectionName = name;
    gd.Color = color;
    gd.HotColor = hot;
    return gd;
}

// Frames of W x H side by side at (x, y) of the master picture, each filled by Paint(frame, fx, fy).
template <class Paint>
skin::TsMaskData Mask(skin::TsSkinContent& skin, const std::string& section, const std::string& key, int x, int y,
                      int w, int h, int frames, const Paint& paint) {
    const skin::TPixels p = skin.MasterBitmap->Pixels();
    for (int f = 0; f < frames; ++f)
        for (int fy = 0; fy < h; ++fy)
            for (int fx = 0; fx < w; ++fx) Put(p, x + f * w + fx, y + fy, paint(f, fx, fy));
    skin::TsMaskData m;
    m.SectionName = section;
    m.PropertyName = key;
    m.SourceRect = skin::TRect{x, y, x + frames * w, y + h};
    m.ImageCount = frames;
    m.Manager = &skin;
    return m;
}

}  // namespace framedetail

// Loads the flat frame skin into the manager and sends it to every form.
inline void LoadFrameSkin(skin::TsSkinManager* manager) {
    using namespace framedetail;
    skin::TsSkinContent& s = manager->Skin();
    s.Clear();
    s.SkinData.BISpace = 2;
    s.MasterBitmap = std::make_unique<skin::TPixelBitmap>(200, 40);
    skin::TsGeneralData title = Section("FORMTITLE", kTitleOff, kTitleOn);
    title.FontColor[0] = kTitleTextOff;
    title.HotFontColor[0] = kTitleTextOn;
    s.Sections = {Section("GLOBALINFO", kFormBack, kFormBack), Section("FORM", kFormBack, kFormBack), title};

    // The border: four pixels of the state's colour round a see-through middle, the corners cut.
    const int n = 12, b = 4;
    skin::TsMaskData frame = Mask(s, "FORM", "BORDERSMASK", 0, 0, n, n, 2, [&](int f, int x, int y) {
        const int cx = std::min(x, n - 1 - x), cy = std::min(y, n - 1 - y);
        if (cx + cy < kCornerCut) return skin::clFuchsia;
        if (cx >= b && cy >= b) return skin::clFuchsia;
        return f == 0 ? kFrameOff : kFrameOn;
    });
    frame.WL = frame.WT = frame.WR = frame.WB = b;
    s.Masks.push_back(std::move(frame));
    const skin::TColor close[3] = {kCloseNormal, kCloseHot, kClosePressed};
    s.Masks.push_back(Mask(s, "GLOBALINFO", "BICONCLOSE", 0, 12, kButtonW, kButtonH, 3,
                           [&](int f, int, int) { return close[f]; }));
    s.Masks.push_back(Mask(s, "GLOBALINFO", "BICONMAX", 48, 12, kButtonW, kButtonH, 3, [](int, int, int) { return kMaxColor; }));
    s.Masks.push_back(Mask(s, "GLOBALINFO", "BICONMIN", 96, 12, kButtonW, kButtonH, 3, [](int, int, int) { return kMinColor; }));
    s.Masks.push_back(Mask(s, "GLOBALINFO", "BICONNORM", 144, 12, kButtonW, kButtonH, 3, [](int, int, int) { return kNormColor; }));
    manager->SendNewSkin();
}

}  // namespace skintest
