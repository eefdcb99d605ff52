// A skin of flat, distinct colours for the scroll-bar adapters' tests: each
// part of a bar (tracks, arrows, thumb) and the window's own section has a
// colour of its own and a hot colour of its own, so that a pixel tells
// which part was painted there and in which state.
#pragma once
#include "vcl/vcl.h"

#include <string>

#include "skin/core/win32/skinmanager.h"
#include "support/vcl_test_support.h"

namespace skintest {

constexpr skin::TColor kFlatWindow = 0x405060;   // "EDIT": the window, its cache and the corner
constexpr skin::TColor kFlatTrack1 = 0x10A010;   // before the thumb's middle
constexpr skin::TColor kFlatTrack2 = 0x1010A0;   // after it
constexpr skin::TColor kFlatArrow1 = 0xA01010;   // left or up
constexpr skin::TColor kFlatArrow2 = 0xA0A010;   // right or down
constexpr skin::TColor kFlatThumb = 0x10A0A0;
constexpr skin::TColor kFlatHot = 0xF0F0F0;      // every part's hot (and pressed) colour

inline skin::TsGeneralData FlatSection(const std::string& name, skin::TColor color) {
    skin::TsGeneralData gd;
    gd.SectionName = name;
    gd.Color = color;
    gd.HotColor = kFlatHot;
    return gd;
}

// Loads the flat skin into the manager and sends it to every form.
inline void LoadFlatScrollSkin(skin::TsSkinManager* manager) {
    manager->Skin().Sections = {
        FlatSection("GLOBALINFO", 0x808080),      FlatSection("EDIT", kFlatWindow),
        FlatSection("SCROLLBAR1H", kFlatTrack1),  FlatSection("SCROLLBAR2H", kFlatTrack2),
        FlatSection("SCROLLBAR1V", kFlatTrack1),  FlatSection("SCROLLBAR2V", kFlatTrack2),
        FlatSection("SCROLLBTNLEFT", kFlatArrow1), FlatSection("SCROLLBTNRIGHT", kFlatArrow2),
        FlatSection("SCROLLBTNTOP", kFlatArrow1),  FlatSection("SCROLLBTNBOTTOM", kFlatArrow2),
        FlatSection("SCROLLSLIDERH", kFlatThumb), FlatSection("SCROLLSLIDERV", kFlatThumb),
    };
    manager->SendNewSkin();
}

// A shown form whose manager (the default one) holds the flat skin.
struct FlatSkinScene {
    FlatSkinScene(int left, int top, int width, int height) {
        form = vcl::NewForm<vcl::TForm>(nullptr);
        form->SetBounds(left, top, width, height);
        manager = new skin::TsSkinManager(form);
        manager->SetActive(false);
        form->Show();
        vcltest::Pump();
        LoadFlatScrollSkin(manager);
    }
    ~FlatSkinScene() { form->Free(); }
    FlatSkinScene(const FlatSkinScene&) = delete;
    FlatSkinScene& operator=(const FlatSkinScene&) = delete;

    vcl::TForm* form;
    skin::TsSkinManager* manager;
};

// The colour of a pixel of the window's frame (window coordinates).
inline skin::TColor FramePixel(HWND window, int x, int y) {
    HDC dc = GetWindowDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return static_cast<skin::TColor>(c);
}

}  // namespace skintest
