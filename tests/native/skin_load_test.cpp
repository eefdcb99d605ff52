// Loading skins from Options.dat: every mask notation at its columns,
// inheritance of keys and masks (a cycle ends), failures that leave no
// half-loaded skin, and hue and saturation.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "skin/core/bmpfile.h"
#include "skin/core/skinload.h"
#include "support/skin_support.h"

using namespace skin;
namespace fs = std::filesystem;

namespace {

class SkinLoad : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("norvix_skinload_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "Test");
        // A master bitmap of 40 x 20 in four colours by quarter, and a picture of its own.
        TPixelBitmap master = skintest::Solid(40, 20, MakeColor(200, 0, 0));
        skintest::Fill(master.Pixels(), 20, 0, 40, 20, MakeColor(0, 200, 0));
        Write("Test/Master.bmp", WriteBmp(master.Pixels()));
        Write("Test/frame.BMP", WriteBmp(skintest::Solid(18, 12, MakeColor(1, 2, 3)).Pixels()));
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Write(const std::string& name, const std::string& bytes) { std::ofstream(dir_ / name, std::ios::binary) << bytes; }
    TSkinLoadResult Load(const std::string& options, const TSkinLoadOptions& opts = {}) {
        Write("Test/Options.dat", options);
        return LoadSkinFromDir(content_, dir_.string(), "Test", stored_, opts);
    }
    const TsMaskData& Mask(const std::string& section, const std::string& key) {
        int i = content_.FindMaskIndex(section, key);
        EXPECT_GE(i, 0) << section << " " << key;
        static TsMaskData none;
        return i >= 0 ? content_.Masks[i] : none;
    }
    const TsGeneralData& Section(const std::string& name) {
        int i = content_.GetSkinIndex(name);
        EXPECT_GE(i, 0) << name;
        return content_.Sections.at(i < 0 ? 0 : i);
    }

    fs::path dir_;
    TsSkinContent content_;
    TsStoredSkins stored_;
};

}  // namespace

TEST_F(SkinLoad, EveryMaskNotationAtItsColumns) {
    const std::string text =
        "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\nAUTHOR=Team #1 (of 2)\r\nDESCRIPTION=see frame.bmp\r\n"
        "[Button]\r\n"
        "BORDERSMASK=^0000,0000,0018,0012,0002,0003,0004,0001,3,1,5,0\r\n"
        "THIRDS=^0000,0000,0018,0012,0000,0000,0000,0000,3,1,0,0\r\n"
        "EVEN=^0000,0000,0018,0012,0000,0000,0000,0000,3,1,0,2\r\n"
        "ONLYLEFT=^0000,0000,0018,0012,0003,0000,0000,0000,3,1,0,0\r\n"
        "ONLYBOTTOM=^0000,0000,0018,0012,0000,0000,0000,0001,3,1,0,0\r\n"
        "GLYPHMASK=@0020,0000,0040,0010,2,0\r\n"
        "PATTERN=~0001,0002,0011,0012,10,1\r\n"
        "SHORT=~0001,0002,0011,0012,07\r\n"
        "OWN=!frame.BMP!3!1!2!1!2!3!4\r\n"
        "OWNTHIRDS=!frame.BMP!2!0!0\r\n"
        "OLD=x#(0,0,20,10)(0,-1,2)\r\n"
        "HOTPATTERN=x#(0,0,20,10)(1)\r\n"
        "BARE=frame.bmp\r\n"
        "OUTSIDE=^0030,0000,0050,0010,0001,0001,0001,0001,1,0,0,0\r\n"
        "BELOW=^0000,0015,0010,0025,0001,0001,0001,0001,1,0,0,0\r\n"
        "EMPTYRECT=@0005,0005,0005,0009,1,0\r\n"
        "ZEROCOUNT=@0000,0000,0010,0010,0,0\r\n"
        "NOPICTURE=!missing.bmp!1!0!0\r\n";
    // A picture named with its drive is taken from there, not from the skin's folder.
    Write("elsewhere.bmp", WriteBmp(skintest::Solid(5, 4, MakeColor(4, 5, 6)).Pixels()));
    ASSERT_EQ(Load(text + "FAR=!Z:" + (dir_ / "elsewhere.bmp").string() + "!1!0!0\r\n").Status, TSkinLoadStatus::Loaded);
    ASSERT_TRUE(Mask("Button", "FAR").Image);
    EXPECT_EQ(Mask("Button", "FAR").Image->Width(), 5);

    const TsMaskData& b = Mask("Button", "BORDERSMASK");
    EXPECT_EQ(b.SourceRect, (TRect{0, 0, 18, 12}));
    EXPECT_EQ(std::tie(b.WL, b.WT, b.WR, b.WB), std::make_tuple(2, 3, 4, 1));
    EXPECT_EQ(std::tie(b.ImageCount, b.MaskType, b.DrawMode, b.ImgType), std::make_tuple(3, 1, 5, itisaBorder));
    EXPECT_EQ(b.Manager, &content_);
    const TsMaskData& thirds = Mask("Button", "THIRDS");  // width 18 / (3 x 3), height 12 / (2 x 3)
    EXPECT_EQ(std::tie(thirds.WL, thirds.WT, thirds.WR, thirds.WB), std::make_tuple(2, 2, 2, 2));
    const TsMaskData& even = Mask("Button", "EVEN");
    EXPECT_EQ(std::tie(even.WL, even.WT, even.WR, even.WB), std::make_tuple(2, 2, 2, 2));
    // Corners given on one side only are taken as given, the others 0.
    const TsMaskData& left = Mask("Button", "ONLYLEFT");
    EXPECT_EQ(std::tie(left.WL, left.WT, left.WR, left.WB), std::make_tuple(3, 0, 0, 0));
    const TsMaskData& bottom = Mask("Button", "ONLYBOTTOM");
    EXPECT_EQ(std::tie(bottom.WL, bottom.WT, bottom.WR, bottom.WB), std::make_tuple(0, 0, 0, 1));
    const TsMaskData& g = Mask("Button", "GLYPHMASK");
    EXPECT_EQ(std::tie(g.ImageCount, g.MaskType, g.ImgType), std::make_tuple(2, 0, itisaGlyph));
    const TsMaskData& p = Mask("Button", "PATTERN");
    EXPECT_EQ(p.SourceRect, (TRect{1, 2, 11, 12}));
    EXPECT_EQ(std::tie(p.DrawMode, p.MaskType, p.ImageCount, p.ImgType), std::make_tuple(10, 1, 1, itisaTexture));
    EXPECT_EQ(Mask("Button", "SHORT").MaskType, 0);
    const TsMaskData& own = Mask("Button", "OWN");
    ASSERT_TRUE(own.Image);
    EXPECT_EQ(own.Image->Width(), 18);
    EXPECT_EQ(own.SourceRect, (TRect{0, 0, 18, 12}));
    EXPECT_EQ(std::tie(own.ImageCount, own.MaskType, own.ImgType, own.DrawMode), std::make_tuple(3, 1, itisaGlyph, 4));
    EXPECT_EQ(std::tie(own.WL, own.WT, own.WR, own.WB), std::make_tuple(1, 2, 3, 4));
    const TsMaskData& ownThirds = Mask("Button", "OWNTHIRDS");
    EXPECT_EQ(std::tie(ownThirds.WL, ownThirds.WT), std::make_tuple(3, 4));
    // The older notation and bare file names are stored upper-cased.
    const TsMaskData& old = Mask("BUTTON", "OLD");
    EXPECT_EQ(old.SourceRect, (TRect{0, 0, 20, 10}));
    EXPECT_EQ(std::tie(old.ImageCount, old.MaskType, old.BorderWidth, old.DrawMode), std::make_tuple(1, 0, 2, 1));
    EXPECT_EQ(std::tie(old.WL, old.WT, old.WR, old.WB), std::make_tuple(2, 2, 2, 2));
    const TsMaskData& hot = Mask("BUTTON", "HOTPATTERN");  // a texture, never stretched
    EXPECT_EQ(std::tie(hot.ImgType, hot.DrawMode), std::make_tuple(itisaTexture, 0));
    const TsMaskData& bare = Mask("BUTTON", "BARE");
    EXPECT_EQ(std::tie(bare.ImageCount, bare.MaskType, bare.WL, bare.WT), std::make_tuple(3, 1, 2, 2));
    // Rectangles outside the master bitmap or empty are dropped; counts below 1 are 1.
    EXPECT_EQ(content_.FindMaskIndex("Button", "OUTSIDE"), -1);
    EXPECT_EQ(content_.FindMaskIndex("Button", "BELOW"), -1);
    EXPECT_EQ(content_.FindMaskIndex("Button", "EMPTYRECT"), -1);
    EXPECT_EQ(content_.FindMaskIndex("Button", "NOPICTURE"), -1);
    EXPECT_EQ(Mask("Button", "ZEROCOUNT").ImageCount, 1);
    // Words of the skin's description are never read as pictures.
    EXPECT_EQ(content_.FindMaskIndex("GLOBALINFO", "AUTHOR"), -1);
    EXPECT_EQ(content_.FindMaskIndex("GLOBALINFO", "DESCRIPTION"), -1);
    EXPECT_EQ(content_.SkinData.Author, "Team #1 (of 2)");
    EXPECT_EQ(content_.MasterPixels().Width, 40);
    EXPECT_EQ(content_.SkinData.Shadow1Blur, -1);  // not given: no blur of the skin's own
}

TEST_F(SkinLoad, KeysAndMasksComeFromParentsAndACycleEnds) {
    const std::string text =
        "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\nVERSION=5.75\r\nSHADOW1BLUR=4\r\n"
        "[PANEL]\r\nCOLOR=255\r\nTCLEFT=7\r\nSHADOWCOLOR=5\r\nSHADOWBLUR=2\r\nBORDERSMASK=^0000,0000,0018,0012,0002,0002,0002,0002,3,1,0,0\r\n"
        "GRADIENTDATA=1;2;100;0;0\r\nSHOWFOCUS=true\r\n"
        "[GROUPBOX]\r\nPARENTCLASS=PANEL\r\nCOLOR=-1\r\n"
        "[BUTTON]\r\nPARENTCLASS=GROUPBOX\r\nFONTCOLOR=65280\r\n"
        "[LOOPA]\r\nPARENTCLASS=LOOPB\r\n[LOOPB]\r\nPARENTCLASS=LOOPA\r\n"
        "[SELF]\r\nPARENTCLASS=SELF\r\n"
        "[SYS]\r\nCOLOR=$FF00000F\r\n"
        "[HEX]\r\nCOLOR=$00C08040\r\nHOTCOLOR=$FF00000F\r\nBORDERCOLOR1=0x7FFFFFFF\r\nBORDERCOLOR2=$123456789\r\n";
    ASSERT_EQ(Load(text).Status, TSkinLoadStatus::Loaded);
    // Colours written in hexadecimal with all eight digits, system colours
    // among them; a ninth digit is no colour, and the default stands.
    const TsGeneralData& hex = Section("HEX");
    EXPECT_EQ(hex.Color, 0x00C08040);
    EXPECT_EQ(hex.HotColor, static_cast<TColor>(0xFF00000F));
    EXPECT_EQ(hex.BorderColor1, 0x7FFFFFFF);
    EXPECT_EQ(hex.BorderColor2, 0);
    EXPECT_DOUBLE_EQ(content_.SkinData.Version, 5.75);
    EXPECT_EQ(content_.SkinData.Shadow1Blur, 4);
    const TsGeneralData& button = Section("BUTTON");
    EXPECT_EQ(button.Color, 255);              // through GROUPBOX, whose -1 means "ask the parent"
    EXPECT_EQ(button.FontColor[0], 65280);
    EXPECT_EQ(button.FontColor[1], 7);
    EXPECT_EQ(button.FontColor[2], -1);        // absent everywhere: no contour
    EXPECT_TRUE(button.ShowFocus);
    ASSERT_EQ(button.GradientArray.size(), 1u);
    EXPECT_EQ(button.ParentClass, "GROUPBOX");
    EXPECT_EQ(button.ShadowBlur, 2);
    EXPECT_EQ(button.ShadowColor, 0);  // the one key that is never inherited
    EXPECT_EQ(Section("PANEL").ShadowColor, 5);
    const TsGeneralData& loop = Section("LOOPA");
    EXPECT_EQ(loop.Color, 0xFFFFFF);           // the defaults, after the cycle
    EXPECT_EQ(loop.FontColor[0], 0);
    EXPECT_EQ(loop.GradientData, " ");

    const int b = content_.GetSkinIndex("BUTTON");
    const int panelMask = content_.FindMaskIndex("PANEL", "BORDERSMASK");
    EXPECT_EQ(content_.GetMaskIndex(b, "BUTTON", "BORDERSMASK"), panelMask);
    EXPECT_EQ(content_.FindMaskIndex("BUTTON", "BORDERSMASK"), -1);
    EXPECT_EQ(content_.GetTextureIndex(b, "BUTTON", "BORDERSMASK"), -1);  // not a texture
    EXPECT_EQ(content_.GetMaskIndex(content_.GetSkinIndex("LOOPA"), "LOOPA", "BORDERSMASK"), -1);
    EXPECT_EQ(content_.GetMaskIndex(content_.GetSkinIndex("SELF"), "SELF", "BORDERSMASK"), -1);
    EXPECT_EQ(content_.GetMaskIndex(-1, "PANEL", "BORDERSMASK"), -1);
    EXPECT_EQ(content_.GetSkinIndex("button"), -1);  // names are compared exactly

    // A section's colour naming a system colour is kept as written, or
    // turned into RGB when the loader is given the means.
    EXPECT_EQ(Section("SYS").Color, static_cast<TColor>(0xFF00000F));
    TSkinLoadOptions opts;
    opts.ColorToRGB = [](TColor c) { return c < 0 ? 0x0A0B0C : c; };
    ASSERT_EQ(Load(text, opts).Status, TSkinLoadStatus::Loaded);
    EXPECT_EQ(Section("SYS").Color, 0x0A0B0C);
    EXPECT_EQ(Section("HEX").Color, 0x00C08040);
}

TEST_F(SkinLoad, TheApplicationsOwnSectionsFillWhatTheSkinLacks) {
    TSkinLoadOptions opts;
    opts.CommonSections = {"[PANEL]", "COLOR=1", "[MYPANEL]", "PARENTCLASS=panel", "FONTCOLOR=0x10",
                           "MARK=#(0,0,20,10)(2,1)", "PICTURE=frame.bmp", "[GLOBALINFO]", "GLOBALMARK=#(0,0,8,8)(1)",
                           "[MYZERO]", "PARENTCLASS=PANEL", "COLOR=0", "SHADOWBLUR=0"};
    const std::string text = "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n"
                             "[PANEL]\r\nCOLOR=255\r\nSHADOWBLUR=9\r\nGRADIENTDATA=1;2;100;1;0\r\n";
    ASSERT_EQ(Load(text, opts).Status, TSkinLoadStatus::Loaded);
    EXPECT_EQ(Section("PANEL").Color, 255);  // the skin's own section is left as it is
    const TsGeneralData& mine = Section("MYPANEL");
    EXPECT_EQ(mine.ParentClass, "PANEL");
    EXPECT_EQ(mine.FontColor[0], 16);
    EXPECT_EQ(mine.Color, 255);      // missing keys take the parent's values
    EXPECT_EQ(mine.ShadowBlur, 9);
    EXPECT_EQ(mine.GradientArray.size(), 1u);
    EXPECT_EQ(mine.FontColor[3], -1);
    // A 0 of its own is a value like any other, not a missing key.
    const TsGeneralData& zero = Section("MYZERO");
    EXPECT_EQ(std::tie(zero.Color, zero.ShadowBlur), std::make_tuple(0, 0));
    const TsMaskData& mark = Mask("MYPANEL", "MARK");
    EXPECT_EQ(std::tie(mark.ImageCount, mark.MaskType, mark.DrawMode), std::make_tuple(2, 1, 1));
    EXPECT_TRUE(Mask("MYPANEL", "PICTURE").Image);
    EXPECT_EQ(content_.FindMaskIndex("GLOBALINFO", "GLOBALMARK"), -1);
}

TEST_F(SkinLoad, ABrokenLoadLeavesNothingAndSaysWhy) {
    ASSERT_EQ(Load("[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n[A]\r\nCOLOR=1\r\n").Status, TSkinLoadStatus::Loaded);
    EXPECT_GE(content_.GetSkinIndex("A"), 0);
    // A column that is no number breaks the load off: no half skin is left.
    for (const char* broken : {"[A]\r\nB=^0000,0000,0010,0010,0001\r\n",  // cut short
                               "[A]\r\nB=^00x0,0000,0010,0010,0001,0001,0001,0001,1,0,0,0\r\n",
                               "[GLOBALINFO]\r\nSHADOW1OFFSET=many\r\n",
                               "[A]\r\nGRADIENTDATA=1;2;3;zero;0\r\n"}) {
        const TSkinLoadResult r = Load(std::string("[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\n") + broken);
        EXPECT_EQ(r.Status, TSkinLoadStatus::Failed) << broken;
        EXPECT_NE(r.Message.find("The skin cannot be loaded"), std::string::npos);
        EXPECT_TRUE(content_.Sections.empty());
        EXPECT_TRUE(content_.Masks.empty());
        EXPECT_FALSE(content_.MasterBitmap);
    }
    // No folder and no stored skin; then a stored skin stands in, the first one.
    EXPECT_EQ(LoadSkinFromDir(content_, dir_.string(), "Nowhere", stored_, {}).Status, TSkinLoadStatus::NotFound);
    TsStoredSkin& bad = stored_.Add();
    bad.SetName("Broken");
    bad.Data = "ASzx and whatever follows";
    stored_.Add().SetName("Second");
    const TSkinLoadResult r = LoadSkinFromDir(content_, dir_.string(), "Nowhere", stored_, {});
    EXPECT_EQ(r.Status, TSkinLoadStatus::Unreadable);
    EXPECT_EQ(r.Message, "Loaded data is not a packed skin file");
    EXPECT_EQ(r.SkinName, "Broken");
    EXPECT_TRUE(content_.Sections.empty());
    EXPECT_EQ(bad.Data, "ASzx and whatever follows");  // the stored bytes stay the stored skin's
    // A stored skin of the older form without images gives no masks.
    const TSkinLoadResult second = LoadSkinFromDir(content_, dir_.string(), "Second", stored_, {});
    EXPECT_EQ(second.Status, TSkinLoadStatus::Loaded);
    EXPECT_TRUE(content_.Masks.empty());
}

TEST_F(SkinLoad, HueAndSaturationShiftOnceAndKeepGreyAndKey) {
    TPixelBitmap master = skintest::Solid(4, 1, MakeColor(255, 0, 0));
    skintest::Put(master.Pixels(), 1, 0, clFuchsia);
    skintest::Put(master.Pixels(), 2, 0, MakeColor(90, 90, 90));
    skintest::Put(master.Pixels(), 3, 0, MakeColor(255, 0, 230));  // stronger, it would be the key colour
    Write("Test/Master.bmp", WriteBmp(master.Pixels()));
    Write("Test/red.bmp", WriteBmp(skintest::Solid(3, 2, MakeColor(255, 0, 0)).Pixels()));
    const std::string text = "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\nSHADOW1COLOR=255\r\nBORDERCOLOR=255\r\n"
                             "[SYS]\r\nCOLOR=$FF00000F\r\n"
                             "[A]\r\nCOLOR=255\r\nTCLEFT=-1\r\nGRADIENTDATA=255;65280;100;0;0\r\n"
                             "HOTCOLOR=255\r\nHOTFONTCOLOR=255\r\nHOTGRADIENTDATA=65280;255;100;0;0\r\nOWN=!red.bmp!1!0!0\r\n";
    ASSERT_EQ(Load(text).Status, TSkinLoadStatus::Loaded);
    const std::vector<uint8_t> plain(content_.MasterPixels().Row0, content_.MasterPixels().Row0 + 12);
    TSkinLoadOptions opts;
    opts.HueOffset = 0;
    opts.Saturation = 0;
    ASSERT_EQ(Load(text, opts).Status, TSkinLoadStatus::Loaded);
    EXPECT_EQ(std::vector<uint8_t>(content_.MasterPixels().Row0, content_.MasterPixels().Row0 + 12), plain);

    opts.HueOffset = 120;
    for (int twice = 0; twice < 2; ++twice) {  // loading again does not shift again
        ASSERT_EQ(Load(text, opts).Status, TSkinLoadStatus::Loaded);
        const TPixels& px = content_.MasterPixels();
        EXPECT_EQ(skintest::At(px, 0, 0), MakeColor(0, 255, 0));
        EXPECT_EQ(skintest::At(px, 1, 0), clFuchsia);
        EXPECT_EQ(skintest::At(px, 2, 0), MakeColor(90, 90, 90));
        const TsGeneralData& a = Section("A");
        EXPECT_EQ(a.Color, MakeColor(0, 255, 0));
        EXPECT_EQ(a.FontColor[1], -1);
        EXPECT_EQ(a.GradientArray[0].Color2, MakeColor(0, 0, 255));
        EXPECT_EQ(a.HotColor, MakeColor(0, 255, 0));
        EXPECT_EQ(a.HotFontColor[0], MakeColor(0, 255, 0));
        EXPECT_EQ(a.HotGradientArray[0].Color1, MakeColor(0, 0, 255));
        EXPECT_EQ(skintest::At(Mask("A", "OWN").Image->Pixels(), 2, 1), MakeColor(0, 255, 0));  // own pictures too
        EXPECT_EQ(content_.SkinData.Shadow1Color, MakeColor(0, 255, 0));
        EXPECT_EQ(content_.SkinData.BorderColor, MakeColor(0, 255, 0));
        EXPECT_EQ(Section("SYS").Color, static_cast<TColor>(0xFF00000F));  // a system colour is left alone
    }
    // A stronger colour that would come out as the key colour stays a real pixel.
    opts.HueOffset = 0;
    opts.Saturation = 100;  // moves every channel as far again from grey
    ASSERT_EQ(Load(text, opts).Status, TSkinLoadStatus::Loaded);
    EXPECT_EQ(skintest::At(content_.MasterPixels(), 3, 0), MakeColor(255, 0, 254));
    EXPECT_EQ(skintest::At(content_.MasterPixels(), 1, 0), clFuchsia);
}

// The older stored form: the skin's content as collections.
TEST_F(SkinLoad, AStoredSkinOfCollectionsGivesItsSectionsMasksAndPatterns) {
    TsStoredSkin& old = stored_.Add();
    old.SetName("Old");
    old.MasterBitmap = skintest::Solid(30, 20, MakeColor(9, 9, 9));
    old.Version = 4.5;
    TsSkinGeneral button;
    button.SectionName = "BUTTON";
    button.Color = 0x123456;
    button.FontColor = "1 2 3 4 5";
    button.HotFontColor = "7 -1 -1 -1";  // not five: left as it was
    button.GradientData = "1;2;100;1;0";
    button.HotGradientData = " ";
    old.GeneralData.push_back(button);
    TsSkinGeneral form;
    form.SectionName = "FORM";
    old.GeneralData.push_back(form);
    TsSkinImage border;  // a rectangle of the master bitmap, no count: three states over a mask row
    border.SectionName = "button";
    border.PropertyName = "bordersmask";
    border.Left = 0, border.Top = 0, border.Right = 18, border.Bottom = 12;
    border.StretchMode = 1;
    old.Images.push_back(border);
    TsSkinImage pattern;  // a picture of its own
    pattern.SectionName = "BUTTON";
    pattern.Name = "p.bmp";
    pattern.PropertyName = "PATTERN";
    pattern.Image = skintest::Solid(4, 4, MakeColor(1, 2, 3));
    pattern.ImageCount = 1;
    pattern.StretchMode = 1;
    old.Images.push_back(pattern);
    TsSkinPattern jpeg;  // a JPEG shared by name: the second names it without a picture
    jpeg.SectionName = "FORM";
    jpeg.PropertyName = "PATTERN";
    jpeg.Name = "back.jpg";
    jpeg.Image = skintest::Solid(8, 8, MakeColor(4, 5, 6));
    old.Patterns.push_back(jpeg);
    jpeg.SectionName = "PANEL";
    jpeg.Image = TPixelBitmap();
    old.Patterns.push_back(jpeg);

    ASSERT_EQ(LoadStoredSkin(content_, old, {}).Status, TSkinLoadStatus::Loaded);
    EXPECT_DOUBLE_EQ(content_.SkinData.Version, 4.5);
    const TsGeneralData& b = Section("BUTTON");
    EXPECT_EQ(b.Color, 0x123456);
    EXPECT_EQ(b.FontColor, (std::array<TColor, 5>{1, 2, 3, 4, 5}));
    EXPECT_EQ(b.HotFontColor, (std::array<TColor, 5>{0, -1, -1, -1, -1}));
    EXPECT_EQ(b.GradientArray.size(), 1u);
    EXPECT_TRUE(b.HotGradientArray.empty());
    const TsMaskData& m = Mask("BUTTON", "BORDERSMASK");
    EXPECT_EQ(std::tie(m.ImageCount, m.MaskType, m.DrawMode), std::make_tuple(3, 1, 1));
    EXPECT_EQ(std::tie(m.WL, m.WT), std::make_tuple(2, 2));  // a third of a frame: 18 / 9, 12 / 6
    EXPECT_EQ(m.FrameHeight(), 6);
    const TsMaskData& p = Mask("BUTTON", "PATTERN");
    ASSERT_TRUE(p.Image);
    EXPECT_EQ(std::tie(p.ImgType, p.DrawMode), std::make_tuple(itisaTexture, 0));  // stored as a border: not stretched
    ASSERT_EQ(content_.Patterns.size(), 2u);
    EXPECT_EQ(content_.Patterns[1].SectionName, "PANEL");
    EXPECT_EQ(skintest::At(content_.Patterns[1].Image->Pixels(), 0, 0), MakeColor(4, 5, 6));
    const int formIndex = content_.GetSkinIndex("FORM");
    EXPECT_EQ(content_.GetPatternIndex(formIndex, "FORM", "PATTERN"), 0);
    EXPECT_EQ(content_.GetPatternIndex(formIndex, "FORM", "HOTPATTERN"), -1);
    // A skin whose load breaks off leaves none of them behind.
    EXPECT_EQ(Load("[A]\r\nB=^00x0,0000,0010,0010,0001,0001,0001,0001,1,0,0,0\r\n").Status, TSkinLoadStatus::Failed);
    EXPECT_TRUE(content_.Patterns.empty());
}

TEST(SkinClassLists, OlderOrderMovesAndEmptyListsTakeDefaults) {
    ThirdPartyList third;
    third.Lists[tpEdits] = "TButton";
    third.Lists[tpPanels] = "TMyEdit";
    third.Lists[tpGrids] = "TMyGrid";
    third.Lists[tpVirtualTrees] = "TOldEh";
    TThirdLists lists;
    UpdateThirdNames(third, lists, false);
    EXPECT_EQ(third.Lists[tpButtons], "TButton");
    EXPECT_EQ(third.Lists[tpEdits], "TMyEdit");
    EXPECT_EQ(third.Lists[tpListViews], "TMyGrid");
    EXPECT_EQ(third.Lists[tpGridEh], "TOldEh");
    EXPECT_EQ(third.Lists[tpGrids], ThirdPartyList::DefaultList(tpGrids));
    ASSERT_EQ(lists[tpCheckBoxes].size(), 5u);
    EXPECT_EQ(lists[tpCheckBoxes][1], "TRadioButton");
    // Lists written in the older order are told by either of their first two.
    ThirdPartyList older;
    older.Lists[tpButtons] = "TBitBtn";
    older.Lists[tpEdits] = "TMyEdit";
    TThirdLists olderLists;
    UpdateThirdNames(older, olderLists, false);
    EXPECT_EQ(older.Lists[tpBitBtns], "TBitBtn");
    EXPECT_EQ(older.Lists[tpButtons], "TMyEdit");
    // The lists are stored back one name a line.
    lists[tpGridEh] = {"TOldEh", "TNewEh"};
    StoreThirdNames(third, lists);
    EXPECT_EQ(third.Lists[tpGridEh], "TOldEh\r\nTNewEh\r\n");
    // Forced, every list goes back to its defaults, own names and all.
    UpdateThirdNames(third, lists, true);
    EXPECT_EQ(third.Lists[tpEdits], ThirdPartyList::DefaultList(tpEdits));
    EXPECT_EQ(lists[tpGridEh], (std::vector<std::string>{"TDBGridEh"}));

    // Button effects: only the default manager's set reaches the effects.
    TacBtnEffects effects;
    const unsigned before = BtnEffectFlags;
    effects.SetEvents(beMouseDown, false);
    EXPECT_EQ(effects.Events(), before);
    effects.SetEvents(beMouseUp, true);
    EXPECT_EQ(effects.Events(), unsigned(beMouseUp));
    BtnEffectFlags = before;
}
