// A section's background rendered into a control's picture: colour,
// gradient and texture by their shares, transparency over the parent's
// picture or its plain colour, an own colour, textures by placement, and the
// passes of skinned text.
#include <gtest/gtest.h>

#include "skin/core/sectionpaint.h"
#include "support/skin_support.h"

using namespace skin;
using skintest::AllOf;
using skintest::At;
using skintest::Solid;

namespace {

constexpr TColor kOwn = 0x204060;      // the section's colour
constexpr TColor kParent = 0xC08040;   // the parent's picture
constexpr TColor kPlain = 0x10F010;    // the parent's plain colour
constexpr TColor kGradient = 0x0000F0;
constexpr TColor kTexture = 0x30C030;

struct Scene {
    std::unique_ptr<TsSkinContent> skin = skintest::ContentWithMaster(16, 16, kTexture);
    TPixelBitmap parent = Solid(40, 30, kParent);
    TPixelBitmap bmp = Solid(20, 10, 0);

    TsGeneralData& Add(const std::string& name) {
        TsGeneralData gd;
        gd.SectionName = name;
        gd.Color = kOwn;
        gd.HotColor = kOwn;
        skin->Sections.push_back(gd);
        return skin->Sections.back();
    }
    TSectionBackground Args(bool withParent) const {
        TSectionBackground a;
        a.SectionIndex = static_cast<int>(skin->Sections.size()) - 1;
        a.SectionName = skin->Sections.back().SectionName;
        a.Rect = {0, 0, 20, 10};
        if (withParent) a.ParentCache = MakeParentCacheInfo(parent.Pixels(), 5, 7);
        return a;
    }
    // A texture of the section, lying in the master bitmap.
    void AddTexture(const std::string& section, const std::string& property, TRect source, int maskType, int mode) {
        TsMaskData texture = skintest::MaskIn(*skin, source, 1, maskType, 0, 0, 0, 0, mode);
        texture.ImgType = itisaTexture;
        texture.SectionName = section;
        texture.PropertyName = property;
        skin->Masks.push_back(std::move(texture));
    }
    void Paint(const TSectionBackground& a) { PaintSectionBackground(*skin, bmp.Pixels(), a); }
    TColor Pixel(int x = 3, int y = 3) const { return At(bmp.Pixels(), x, y); }
};

TColor Channelwise(TColor a, TColor b, int (*f)(int, int)) {
    return MakeColor(f(RedOf(a), RedOf(b)), f(GreenOf(a), GreenOf(b)), f(BlueOf(a), BlueOf(b)));
}

TsGradArray Flat(TColor c) { return {TsGradPart{c, c, 100, 0}}; }

}  // namespace

TEST(SectionBackground, ColourGradientAndTheirSharesWithoutTransparency) {
    Scene s;
    s.Add("PANEL");
    s.Paint(s.Args(true));
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 0, 20, 10, kOwn));

    // 60 % gradient, 40 % colour.
    TsGeneralData& g = s.skin->Sections.back();
    g.GradientPercent = 60;
    g.GradientArray = Flat(kGradient);
    s.Paint(s.Args(true));
    EXPECT_EQ(s.Pixel(), Channelwise(kGradient, kOwn, [](int gr, int own) {
                  return RoundHalfEven(gr * 0.6 + own * 0.4);
              }));
    // Every share up to the whole is blended with the colour; the whole shows the gradient alone.
    for (int share : {1, 99, 100}) {
        g.GradientPercent = share;
        s.Paint(s.Args(true));
        EXPECT_EQ(s.Pixel(), MakeColor(RoundHalfEven(RedOf(kGradient) * share / 100.0 + RedOf(kOwn) * (100 - share) / 100.0),
                                       RoundHalfEven(GreenOf(kGradient) * share / 100.0 + GreenOf(kOwn) * (100 - share) / 100.0),
                                       RoundHalfEven(BlueOf(kGradient) * share / 100.0 + BlueOf(kOwn) * (100 - share) / 100.0)))
            << share;
    }
    g.GradientPercent = 60;

    // An own colour: no gradient, no transparency, whatever the section says.
    g.Transparency = 50;
    TSectionBackground a = s.Args(true);
    a.CustomColor = 0x0102F3;
    s.Paint(a);
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 0, 20, 10, 0x0102F3));

    // Nothing for a section that is not there.
    a.SectionIndex = 5;
    a.CustomColor = 0x777777;
    s.Paint(a);
    EXPECT_EQ(s.Pixel(), 0x0102F3);
}

TEST(SectionBackground, TransparencyShowsTheParentsPictureOrItsPlainColour) {
    Scene s;
    TsGeneralData& g = s.Add("CHECKBOX");
    g.Transparency = 100;
    // Over a parent picture: copied from the parent at the child's offset.
    TPixels parent = s.parent.Pixels();
    skintest::Put(parent, 5 + 2, 7 + 1, 0x010203);
    s.Paint(s.Args(true));
    EXPECT_EQ(s.Pixel(2, 1), 0x010203);
    EXPECT_EQ(s.Pixel(3, 3), kParent);
    // An offset moves the place read in the parent's picture along with it.
    TSectionBackground shifted = s.Args(true);
    shifted.Offset = {-2, -1};
    s.Paint(shifted);
    EXPECT_EQ(s.Pixel(4, 2), 0x010203);
    EXPECT_EQ(s.Pixel(2, 1), kParent);
    // Without one: its own colour, or the parent's plain colour when known.
    s.Paint(s.Args(false));
    EXPECT_EQ(s.Pixel(), kOwn);
    TSectionBackground a = s.Args(false);
    a.ReplyBgColor = kPlain;
    s.Paint(a);
    EXPECT_EQ(s.Pixel(), kPlain);
    // Painting into the parent's own picture leaves it as it is.
    a = s.Args(true);
    PaintSectionBackground(*s.skin, s.parent.Pixels(), a);
    EXPECT_EQ(At(s.parent.Pixels(), 3, 3), kParent);

    // Half transparent: A = 127, each byte (own x 128 + parent x 127 + 127) shr 8.
    g.Transparency = 50;
    s.Paint(s.Args(true));
    EXPECT_EQ(s.Pixel(), Channelwise(kOwn, kParent, [](int own, int p) { return (own * 128 + p * 127 + 127) >> 8; }));
}

TEST(SectionBackground, ASemiTransparentPlainSectionKeepsItsColourOverAParentsPlainColour) {
    Scene s;
    TsGeneralData& g = s.Add("PANEL");
    g.Transparency = 30;
    TSectionBackground a = s.Args(true);
    a.ReplyBgColor = kPlain;
    s.Paint(a);
    // A = 30 x 255 div 100 = 76 of the parent's colour, the rest the section's own.
    EXPECT_EQ(s.Pixel(), Channelwise(kOwn, kPlain, [](int own, int p) { return (own * 179 + p * 76 + 127) >> 8; }));
    EXPECT_NE(s.Pixel(), kPlain);
}

TEST(SectionBackground, SystemColoursBecomeRGBBeforeTheyBecomePixels) {
    Scene s;
    TsGeneralData& g = s.Add("PANEL");
    g.Color = static_cast<TColor>(0xFF00000F);
    g.HotColor = static_cast<TColor>(0xFF000005);
    TSectionBackground a = s.Args(false);
    a.ColorToRGB = [](TColor c) { return c == static_cast<TColor>(0xFF00000F) ? 0xC8D0D4 : (c < 0 ? 0xFFFFFF : c); };
    s.Paint(a);
    EXPECT_EQ(s.Pixel(), 0xC8D0D4);
    a.State = 1;
    s.Paint(a);
    EXPECT_EQ(s.Pixel(), 0xFFFFFF);
}

TEST(SectionBackground, TexturesByPlacementAndAGradientOverATexture) {
    Scene s;
    TsGeneralData& g = s.Add("BUTTON");
    TsMaskData texture = skintest::MaskIn(*s.skin, {0, 0, 4, 3}, 1, 0, 0, 0, 0, 0, 2);
    texture.ImgType = itisaTexture;
    texture.SectionName = "BUTTON";
    texture.PropertyName = "PATTERN";
    s.skin->Masks.push_back(std::move(texture));
    // Mode 2 on a rectangle three tiles high: one row of tiles on top, the base colour below.
    g.ImagePercent = 100;
    TSectionBackground a = s.Args(false);
    a.Rect = {0, 0, 20, 9};
    s.Paint(a);
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 0, 20, 3, kTexture));
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 3, 20, 9, kOwn));

    // 70 % texture under 50 % gradient (120 in all): the gradient blended over
    // the texture keeping 70 % of it, the whole width, no colour blend after.
    s.skin->Masks.back().DrawMode = 0;
    g.ImagePercent = 70;
    g.GradientPercent = 50;
    g.GradientArray = Flat(kGradient);
    s.Paint(a);
    const TColor mixed =
        Channelwise(kGradient, kTexture, [](int gr, int tex) { return (gr * (255 - 178) + tex * 178 + 127) >> 8; });
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 0, 20, 9, mixed));

    // A texture share with no texture to show: the gradient and colour fill it.
    s.skin->Masks.clear();
    g.GradientPercent = 0;
    s.Paint(a);
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 0, 20, 9, kOwn));

    // A corner image of the section sits flush in its corner.
    TsMaskData corner = skintest::MaskIn(*s.skin, {0, 0, 4, 3}, 1, 0, 0, 0, 0, 0);
    corner.SectionName = "BUTTON";
    corner.PropertyName = "IMGTOPRIGHT";
    s.skin->Masks.push_back(std::move(corner));
    PaintSectionItem(*s.skin, s.bmp.Pixels(), a);
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 16, 0, 20, 3, kTexture));
    EXPECT_EQ(s.Pixel(15, 0), kOwn);
    EXPECT_EQ(s.Pixel(19, 3), kOwn);
}

TEST(SectionBackground, AMaskedTextureTiledWholeShowsTheParentInTheStripsLeft) {
    Scene s;
    TsGeneralData& g = s.Add("FORM");
    g.ImagePercent = 100;
    // One 8 x 4 tile over its mask row (black: the picture shows whole).
    skintest::Fill(s.skin->MasterPixels(), 0, 4, 8, 8, 0);
    TsMaskData texture = skintest::MaskIn(*s.skin, {0, 0, 8, 8}, 1, 1, 0, 0, 0, 0, 10);
    texture.ImgType = itisaTexture;
    s.skin->Masks.push_back(std::move(texture));
    TSectionBackground a = s.Args(true);
    a.TextureIndex = 0;
    a.Rect = {0, 0, 20, 10};  // 2.5 tiles wide, 2.5 high
    s.Paint(a);
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 0, 16, 8, kTexture));
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 16, 0, 20, 10, kParent));
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 8, 16, 10, kParent));
    // Tiled from the corner (mode 0) it is no overlay: without a share of
    // its own the section shows its colour.
    s.skin->Masks[0].DrawMode = 0;
    g.ImagePercent = 0;
    s.Paint(a);
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 0, 20, 10, kOwn));
    // Tiled whole it goes over the colour even without a share, in the state
    // whose texture it is: the normal one here, so the hot state shows the colour.
    s.skin->Masks[0].DrawMode = 10;
    s.Paint(a);
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 0, 16, 8, kTexture));
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 16, 0, 20, 10, kParent));
    a.State = 1;
    s.Paint(a);
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 0, 20, 10, kOwn));
}

// Half transparent is the opaque look blended over what lies behind, pixel
// by pixel, also for a masked texture whose strips show the parent's picture
// and for a rectangle away from the picture's corner.
TEST(SectionBackground, ASemiTransparentSectionIsItsOpaqueLookOverWhatLiesBehind) {
    Scene s;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) skintest::Put(s.parent.Pixels(), x, y, MakeColor(x * 6, y * 8, 100));
    TsGeneralData& g = s.Add("FORM");
    g.ImagePercent = 100;
    skintest::Fill(s.skin->MasterPixels(), 0, 4, 8, 8, 0);
    s.AddTexture("FORM", "PATTERN", {0, 0, 8, 8}, 1, 10);
    TSectionBackground a = s.Args(true);
    a.Rect = {4, 0, 20, 10};  // two tiles across, two and a half down
    auto paint = [&](int transparency) {
        g.Transparency = transparency;
        s.bmp = Solid(20, 10, 0);
        s.Paint(a);
        return s.bmp;
    };
    const TPixelBitmap opaque = paint(0), behind = paint(100), half = paint(50);
    EXPECT_NE(At(opaque.Pixels(), 6, 8), At(behind.Pixels(), 6, 8));
    for (int y = 0; y < 10; ++y)
        for (int x = 4; x < 20; ++x)
            ASSERT_EQ(At(half.Pixels(), x, y),
                      Channelwise(At(opaque.Pixels(), x, y), At(behind.Pixels(), x, y),
                                  [](int own, int p) { return (own * 128 + p * 127 + 127) >> 8; }))
                << x << "," << y;
}

// The hot state looks its texture up under HOTPATTERN, the normal one under PATTERN.
TEST(SectionBackground, EachStateTakesItsOwnTexture) {
    Scene s;
    TsGeneralData& g = s.Add("BUTTON");
    g.ImagePercent = 100;
    g.HotImagePercent = 100;
    skintest::Fill(s.skin->MasterPixels(), 4, 0, 8, 4, kGradient);
    s.AddTexture("BUTTON", "PATTERN", {0, 0, 4, 4}, 0, 0);
    s.AddTexture("BUTTON", "HOTPATTERN", {4, 0, 8, 4}, 0, 0);
    TSectionBackground a = s.Args(false);
    s.Paint(a);
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 0, 20, 10, kTexture));
    a.State = 1;
    s.Paint(a);
    EXPECT_TRUE(AllOf(s.bmp.Pixels(), 0, 0, 20, 10, kGradient));
}

// The background of a masked item (a check box's glyph, a scroll button):
// the hot set by the flag, the parent's picture and never its plain colour,
// then the mask over it.
TEST(SectionBackground, AMaskedItemTakesTheHotSetByItsFlagAndNeverThePlainColour) {
    Scene s;
    TsGeneralData& g = s.Add("SCROLLBTNTOP");
    g.HotColor = kGradient;
    TSectionBackground a = s.Args(true);
    a.State = 1;  // the state does not choose the set here
    PaintSectionWithMask(*s.skin, s.bmp.Pixels(), a, false, -1);
    EXPECT_EQ(s.Pixel(), kOwn);
    PaintSectionWithMask(*s.skin, s.bmp.Pixels(), a, true, -1);
    EXPECT_EQ(s.Pixel(), kGradient);
    g.Transparency = 100;
    a.ReplyBgColor = kPlain;
    PaintSectionWithMask(*s.skin, s.bmp.Pixels(), a, false, -1);
    EXPECT_EQ(s.Pixel(), kParent);
    // The mask goes over the background, its corner holes showing the parent.
    auto frame = skintest::ContentWithMaster(4, 4, kTexture);
    s.skin->MasterBitmap = std::move(frame->MasterBitmap);
    skintest::Put(s.skin->MasterPixels(), 0, 0, clFuchsia);
    s.skin->Masks.push_back(skintest::MaskIn(*s.skin, {0, 0, 4, 4}, 1, 0, 1, 1, 1, 1, 4));
    a.State = 0;
    PaintSectionWithMask(*s.skin, s.bmp.Pixels(), a, false, 0);
    EXPECT_EQ(s.Pixel(5, 5), kTexture);
    EXPECT_EQ(s.Pixel(0, 0), kParent);
    // Over an opaque background the hole still shows the parent, not the colour.
    g.Transparency = 0;
    PaintSectionWithMask(*s.skin, s.bmp.Pixels(), a, false, 0);
    EXPECT_EQ(s.Pixel(1, 0), kTexture);
    EXPECT_EQ(s.Pixel(0, 0), kParent);
}

TEST(SkinText, ContoursThatTheSectionHasThenTheTextDimmedWhenDisabled) {
    TsSkinContent skin;
    TsGeneralData gd;
    gd.SectionName = "LABEL";
    gd.Color = MakeColor(200, 200, 200);
    gd.FontColor = {MakeColor(0, 0, 0), -1, 0x111111, -1, 0x222222};
    gd.HotFontColor = {0x333333, 0x444444, -1, -1, -1};
    skin.Sections.push_back(gd);
    EXPECT_EQ(SkinTextPasses(skin, 0, false, true),
              (std::vector<TTextPass>{{0, -1, 0x111111}, {0, 1, 0x222222}, {0, 0, 0}}));
    EXPECT_EQ(SkinTextPasses(skin, 0, true, true), (std::vector<TTextPass>{{-1, 0, 0x444444}, {0, 0, 0x333333}}));
    EXPECT_EQ(SkinTextPasses(skin, 0, false, false), (std::vector<TTextPass>{{0, 0, MakeColor(120, 120, 120)}}));
    EXPECT_TRUE(SkinTextPasses(skin, 1, false, true).empty());
}

TEST(SectionBackground, AHugeRectangleIsPaintedOnlyWhereThePictureShowsIt) {
    // Half transparent, with a stretched texture under a gradient: both
    // temporary pictures of the painting are in play.
    Scene s;
    TsGeneralData& g = s.Add("PANEL");
    g.Transparency = 50;
    g.ImagePercent = 70;
    g.GradientPercent = 50;
    g.GradientArray = Flat(kGradient);
    TsMaskData texture = skintest::MaskIn(*s.skin, {0, 0, 4, 3}, 1, 0, 0, 0, 0, 0, 1);
    texture.ImgType = itisaTexture;
    texture.SectionName = "PANEL";
    texture.PropertyName = "PATTERN";
    s.skin->Masks.push_back(std::move(texture));
    s.Paint(s.Args(true));
    const TPixelBitmap expected = s.bmp;

    // A rectangle of millions of pixels each way over the 20 x 10 picture
    // (all of one colour, so stretched or not it looks the same): nothing is
    // made of the size of the rectangle, and the picture shows what it showed.
    s.bmp = Solid(20, 10, 0);
    TSectionBackground huge = s.Args(true);
    huge.Rect = {0, 0, 2000000, 2000000};
    ASSERT_NO_THROW(s.Paint(huge));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(s.Pixel(x, y), At(expected.Pixels(), x, y)) << x << "," << y;
    // Tiled, the texture is laid only where the picture shows it (not a
    // hundred billion tiles over the whole rectangle), from the same corner.
    s.skin->Masks.back().DrawMode = 0;
    s.bmp = Solid(20, 10, 0);
    s.Paint(s.Args(true));
    const TPixelBitmap tiled = s.bmp;
    s.bmp = Solid(20, 10, 0);
    s.Paint(huge);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(s.Pixel(x, y), At(tiled.Pixels(), x, y)) << x << "," << y;
}
