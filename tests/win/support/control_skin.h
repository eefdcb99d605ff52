// A skin of flat, distinct colours for the control adapters' tests: the
// scroll bars' sections of the flat scroll skin, and the sections and
// pictures of edits, buttons, check boxes, group boxes and panels, each in
// a colour of its own, so that a pixel tells which part was painted there
// and in which state.
#pragma once
#include "support/flat_scroll_skin.h"

#include <memory>
#include <string>

#include "skin/core/win32/skinmanager.h"

namespace skintest {

constexpr skin::TColor kSkinParent = 0x30C030;      // the form behind the controls
constexpr skin::TColor kEditBorder = 0x2020B0;      // the EDIT border's ring
constexpr skin::TColor kEditFont = 0x10E0E0;        // EDIT's hot font colour (edits write in it)
constexpr skin::TColor kButtonColor = 0x806040;     // BUTTON in the normal state
constexpr skin::TColor kButtonHot = 0x40A0F0;       // BUTTON hot (and pressed)
constexpr skin::TColor kCheckBoxColor = 0xC0C0A0;   // CHECKBOX behind a check box's caption
constexpr skin::TColor kGroupColor = 0x6060E0;      // GROUPBOX below its caption strip
constexpr skin::TColor kPanelLow = 0xA0A0F0;        // PANEL_LOW: scroll boxes
constexpr skin::TColor kGlobalColor = 0x707020;     // GLOBALINFO: fixed cells of grids
constexpr skin::TColor kMarkUnchecked = 0x0000F0;   // frame 0 of every mark
constexpr skin::TColor kMarkFocused = 0x00F000;     // frame 1
constexpr skin::TColor kMarkPressed = 0xF00000;     // frame 2
constexpr skin::TColor kBoxChecked = 0xF000F0 - 0x10;  // a checked box's frame 0
constexpr skin::TColor kRadioUnchecked = 0x00F0F0;  // a radio button's circle, frame 0

// A picture of its own for the mask, filled by Fill(x, y).
template <class Fill>
skin::TsMaskData OwnMask(skin::TsSkinManager* m, const std::string& section, const std::string& key, int w, int h,
                         int imageCount, int maskType, Fill fill) {
    skin::TsMaskData mask;
    mask.SectionName = section;
    mask.PropertyName = key;
    mask.Image = std::make_unique<skin::TPixelBitmap>(w, h);
    const skin::TPixels px = mask.Image->Pixels();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) skin::SetPixelColor(px.At(x, y), fill(x, y));
    mask.SourceRect = skin::TRect{0, 0, w, h};
    mask.ImageCount = imageCount;
    mask.MaskType = maskType;
    mask.Manager = &m->Skin();
    return mask;
}

// A 13 x 13 mark in three frames over a black (opaque) mask row; frame 0 in First.
inline skin::TsMaskData Mark(skin::TsSkinManager* m, const std::string& key, skin::TColor first) {
    return OwnMask(m, "GLOBALINFO", key, 39, 26, 3, 1, [first](int x, int y) {
        if (y >= 13) return skin::TColor{0};
        return x < 13 ? first : x < 26 ? kMarkFocused : kMarkPressed;
    });
}

// Loads the skin into the manager and sends it to every form.
inline void LoadControlSkin(skin::TsSkinManager* manager) {
    using skin::TsGeneralData;
    auto section = [](const std::string& name, skin::TColor color, skin::TColor hot) {
        TsGeneralData gd = FlatSection(name, color);
        gd.HotColor = hot;
        return gd;
    };
    TsGeneralData global = section("GLOBALINFO", kGlobalColor, kGlobalColor);
    global.FontColor[0] = 0x101010;
    TsGeneralData edit = section("EDIT", kFlatWindow, kFlatWindow);
    edit.HotFontColor[0] = kEditFont;
    TsGeneralData checkBox = section("CHECKBOX", kCheckBoxColor, kCheckBoxColor);
    manager->Skin().Sections = {
        global,
        edit,
        section("BUTTON", kButtonColor, kButtonHot),
        checkBox,
        section("GROUPBOX", kGroupColor, kGroupColor),
        section("PANEL", kGroupColor, kGroupColor),
        section("COMBOBOX", kFlatWindow, kFlatWindow),
        section("PANEL_LOW", kPanelLow, kPanelLow),
        section("SPEEDBUTTON_SMALL", kButtonColor, kButtonHot),
        FlatSection("SCROLLBAR1H", kFlatTrack1),
        FlatSection("SCROLLBAR2H", kFlatTrack2),
        FlatSection("SCROLLBAR1V", kFlatTrack1),
        FlatSection("SCROLLBAR2V", kFlatTrack2),
        FlatSection("SCROLLBTNLEFT", kFlatArrow1),
        FlatSection("SCROLLBTNRIGHT", kFlatArrow2),
        FlatSection("SCROLLBTNTOP", kFlatArrow1),
        FlatSection("SCROLLBTNBOTTOM", kFlatArrow2),
        FlatSection("SCROLLSLIDERH", kFlatThumb),
        FlatSection("SCROLLSLIDERV", kFlatThumb),
    };
    auto& masks = manager->Skin().Masks;
    masks.clear();
    // The EDIT border: a 2-pixel ring whose corner pixel is clear.
    skin::TsMaskData border = OwnMask(manager, "EDIT", "BORDERSMASK", 9, 9, 1, 0, [](int x, int y) {
        const bool corner = (x == 0 || x == 8) && (y == 0 || y == 8);
        if (corner) return skin::clFuchsia;
        return x < 2 || y < 2 || x > 6 || y > 6 ? kEditBorder : kFlatWindow;
    });
    border.WL = border.WT = border.WR = border.WB = 3;
    masks.push_back(std::move(border));
    masks.push_back(Mark(manager, "BOXUNCHECKED", kMarkUnchecked));
    masks.push_back(Mark(manager, "BOXCHECKED", kBoxChecked));
    masks.push_back(Mark(manager, "BOXGRAYED", kMarkUnchecked));
    masks.push_back(Mark(manager, "RADIOUNCHECKED", kRadioUnchecked));
    masks.push_back(Mark(manager, "RADIOCHECKED", kRadioUnchecked));
    manager->SendNewSkin();
}

// A shown form of the parent colour whose manager (the default one) holds the skin.
struct ControlSkinScene {
    ControlSkinScene(int width, int height) {
        // Owned by the application: the skin's news reaches its controls.
        form = vcl::NewForm<vcl::TForm>(vcl::Application);
        form->SetBounds(40, 40, width, height);
        form->SetColor(kSkinParent);
        manager = new skin::TsSkinManager(form);
        manager->SetActive(false);
        form->Show();
        vcltest::Pump();
        LoadControlSkin(manager);
    }
    ~ControlSkinScene() { form->Free(); }
    ControlSkinScene(const ControlSkinScene&) = delete;
    ControlSkinScene& operator=(const ControlSkinScene&) = delete;

    vcl::TForm* form;
    skin::TsSkinManager* manager;
};

// The colour of a pixel of a window's client area.
inline skin::TColor ClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return static_cast<skin::TColor>(c);
}

}  // namespace skintest
