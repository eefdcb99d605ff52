// Our own skins: the generator makes exactly the committed files, every
// skin loads to the same data from a folder, a packed file and the copy
// stored in the program, and each has what the program's windows draw;
// the program's icon is made by the same generator.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "skin/core/blend.h"
#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/skinload.h"
#include "skin/core/texture.h"
#include "support/skin_support.h"

using namespace skin;
namespace fs = std::filesystem;

namespace {

std::string SourceDir() {
    const char* dir = std::getenv("NORVIX_SOURCE_DIR");
    return dir ? dir : ".";
}

std::string ReadRaw(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The generator, built beside the tests, into a scratch folder.
fs::path Generate(const std::string& mode) {
    const fs::path out = fs::temp_directory_path() / ("norvix_skingen_" + mode.substr(2) + std::to_string(::getpid()));
    fs::remove_all(out);
    const std::string command = "./skingen " + mode + " \"" + out.string() + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return out;
}

bool SamePixels(const TPixels& a, const TPixels& b) {
    if (a.Width != b.Width || a.Height != b.Height) return false;
    for (int y = 0; y < a.Height; ++y)
        if (!std::equal(a.ScanLine(y), a.ScanLine(y) + a.Width * 3, b.ScanLine(y))) return false;
    return true;
}

// Everything a load fills in, but the folder it came from.
void ExpectSameSkin(const TsSkinContent& a, const TsSkinContent& b, const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(a.SkinData.Version, b.SkinData.Version);
    EXPECT_EQ(a.SkinData.Author, b.SkinData.Author);
    EXPECT_EQ(a.SkinData.Description, b.SkinData.Description);
    EXPECT_EQ(a.SkinData.BorderColor, b.SkinData.BorderColor);
    EXPECT_EQ(a.SkinData.BISpace, b.SkinData.BISpace);
    EXPECT_EQ(a.Sections, b.Sections);
    EXPECT_TRUE(SamePixels(a.MasterPixels(), b.MasterPixels()));
    ASSERT_EQ(a.Masks.size(), b.Masks.size());
    for (size_t i = 0; i < a.Masks.size(); ++i) {
        const TsMaskData &x = a.Masks[i], &y = b.Masks[i];
        EXPECT_EQ(std::tie(x.SectionName, x.PropertyName, x.SourceRect, x.ImageCount, x.MaskType, x.DrawMode, x.ImgType),
                  std::tie(y.SectionName, y.PropertyName, y.SourceRect, y.ImageCount, y.MaskType, y.DrawMode, y.ImgType));
        EXPECT_EQ(std::tie(x.WL, x.WT, x.WR, x.WB, x.BorderWidth), std::tie(y.WL, y.WT, y.WR, y.WB, y.BorderWidth));
        EXPECT_EQ(bool(x.Image), bool(y.Image));
        if (x.Image && y.Image) {
            EXPECT_TRUE(SamePixels(x.Image->Pixels(), y.Image->Pixels())) << x.PropertyName;
        }
    }
    ASSERT_EQ(a.Patterns.size(), b.Patterns.size());
    for (size_t i = 0; i < a.Patterns.size(); ++i) {
        EXPECT_EQ(a.Patterns[i].PropertyName, b.Patterns[i].PropertyName);
        EXPECT_TRUE(SamePixels(a.Patterns[i].Image->Pixels(), b.Patterns[i].Image->Pixels()));
    }
}

// ---- a picture of a window drawn from a skin, to look at ---------------------

void Background(const TPixels& bmp, TRect r, const TsSkinContent& c, const std::string& section, bool hot) {
    const int s = c.GetSkinIndex(section);
    if (s < 0) return;
    const TsGeneralData& gd = c.Sections[s];
    const TColor colour = hot ? gd.HotColor : gd.Color;
    const int ip = hot ? gd.HotImagePercent : gd.ImagePercent, gp = hot ? gd.HotGradientPercent : gd.GradientPercent;
    FillRect(bmp, r, colour);
    const std::string key = hot ? "HOTPATTERN" : "PATTERN";
    if (ip > 0) {
        if (int p = c.GetPatternIndex(s, section, key); p >= 0) {
            TileGraphic(bmp, r, c.Patterns[p].Image->Pixels());
        } else if (int t = c.GetTextureIndex(s, section, key); t >= 0) {
            TRect left = r;
            PlaceTexture(bmp, left, c.Masks[t].DrawMode, c.Masks[t]);
        }
    }
    if (gp > 0) {
        TPixelBitmap g(r.Width(), r.Height());
        PaintGradient(g.Pixels(), {0, 0, r.Width(), r.Height()}, hot ? gd.HotGradientArray : gd.GradientArray);
        BlendBitmapRect(bmp, g.Pixels(), ip > 0 ? ip * 255 / 100 : 0, {r.Left, r.Top}, {0, 0, r.Width(), r.Height()});
    }
}

void Border(const TPixels& bmp, TRect r, const TsSkinContent& c, const std::string& section, const std::string& key,
            int state) {
    const int m = c.GetMaskIndex(c.GetSkinIndex(section), section, key);
    if (m >= 0) DrawSkinRect(bmp, r, true, TParentCacheInfo{}, c.Masks[m], state, false);
}

void Glyph(const TPixels& bmp, TPoint p, const TsSkinContent& c, const std::string& section, const std::string& key,
           int state) {
    const int m = c.GetMaskIndex(c.GetSkinIndex(section), section, key);
    if (m >= 0) DrawSkinGlyph(bmp, p, state, c.Masks[m], 1);
}

TPixelBitmap Preview(const TsSkinContent& c) {
    const int W = 380, H = 250;
    TPixelBitmap picture(W, H);
    const TPixels& p = picture.Pixels();
    Background(p, {0, 0, W, H}, c, "FORM", true);
    Background(p, {0, 0, W, 27}, c, "FORMTITLE", true);
    Border(p, {0, 0, W, 27}, c, "FORMTITLE", "BORDERSMASK", 1);
    Glyph(p, {W - 83, 4}, c, "GLOBALINFO", "BICONMIN", 0);
    Glyph(p, {W - 58, 4}, c, "GLOBALINFO", "BICONMAX", 1);
    Glyph(p, {W - 32, 4}, c, "GLOBALINFO", "BICONCLOSE", 0);
    Background(p, {4, 27, W - 4, 46}, c, "MENULINE", true);
    Border(p, {0, 0, W, H}, c, "FORM", "BORDERSMASK", 1);

    Background(p, {12, 56, 196, 236}, c, "PANEL_LOW", false);
    Border(p, {12, 56, 196, 236}, c, "PANEL_LOW", "BORDERSMASK", 0);
    const char* marks[] = {"BOXUNCHECKED", "BOXCHECKED", "RADIOUNCHECKED", "RADIOCHECKED"};
    for (int i = 0; i < 4; ++i) Glyph(p, {24, 68 + i * 24}, c, "GLOBALINFO", marks[i], i == 1 ? 1 : 0);
    Background(p, {24, 168, 160, 184}, c, "GAUGE", false);
    Background(p, {25, 169, 110, 183}, c, "PROGRESSH", false);
    Border(p, {25, 169, 110, 183}, c, "PROGRESSH", "BORDERSMASK", 0);
    Border(p, {24, 168, 160, 184}, c, "GAUGE", "BORDERSMASK", 0);
    Background(p, {24, 196, 160, 218}, c, "EDIT", false);
    Border(p, {24, 196, 160, 218}, c, "EDIT", "BORDERSMASK", 1);
    // A vertical scroll bar at the panel's right.
    const int sx = 176, sy = 60, sh = 172;
    Background(p, {sx, sy, sx + 16, sy + sh}, c, "SCROLLBAR1V", false);
    Background(p, {sx, sy, sx + 16, sy + 16}, c, "SCROLLBTNTOP", false);
    Border(p, {sx, sy, sx + 16, sy + 16}, c, "SCROLLBTNTOP", "BORDERSMASK", 0);
    Glyph(p, {sx + 4, sy + 4}, c, "SCROLLBTNTOP", "GLYPHMASK", 0);
    Border(p, {sx, sy + 40, sx + 16, sy + 90}, c, "SCROLLSLIDERV", "BORDERSMASK", 1);
    Glyph(p, {sx + 4, sy + 61}, c, "SCROLLSLIDERV", "GLYPHMASK", 1);
    Border(p, {sx, sy + sh - 16, sx + 16, sy + sh}, c, "SCROLLBTNBOTTOM", "BORDERSMASK", 1);
    Glyph(p, {sx + 4, sy + sh - 12}, c, "SCROLLBTNBOTTOM", "GLYPHMASK", 1);

    for (int s = 0; s < 3; ++s) {
        const TRect b{212, 60 + s * 34, 364, 86 + s * 34};
        Background(p, b, c, "BUTTON", s > 0);
        Border(p, b, c, "BUTTON", "BORDERSMASK", s);
    }
    Background(p, {212, 170, 364, 236}, c, "GROUPBOX", false);
    Border(p, {212, 170, 364, 236}, c, "GROUPBOX", "BORDERSMASK", 0);
    Background(p, {222, 190, 354, 208}, c, "COMBOBOX", false);
    Border(p, {222, 190, 354, 208}, c, "COMBOBOX", "BORDERSMASK", 0);
    Glyph(p, {340, 196}, c, "COMBOBOX", "GLYPHMASK", 0);
    return picture;
}

}  // namespace

TEST(OwnSkins, TheGeneratorMakesTheCommittedFiles) {
    const fs::path out = Generate("--repo");
    size_t compared = 0;
    for (const char* folder : {"data/skins", "src/skin/core/stored", "src/windows/res"})
        for (const auto& entry : fs::recursive_directory_iterator(out / folder)) {
            if (!entry.is_regular_file()) continue;
            const fs::path relative = fs::relative(entry.path(), out);
            EXPECT_EQ(ReadRaw(entry.path()), ReadRaw(SourceDir() / relative))
                << relative << " differs from what tools/skingen makes; run it (skingen --repo .) and commit";
            ++compared;
        }
    EXPECT_EQ(compared, 9u);  // the three stored skins, Pulsar.asz, Cold's four files and the program's icon
    fs::remove_all(out);
}

TEST(OwnSkins, EverySkinLoadsEquallyFromFolderPackedFileAndStoredCopy) {
    TsStoredSkins stored;
    AddOwnStoredSkins(stored);
    ASSERT_EQ(stored.Count(), 3);
    EXPECT_EQ(stored.Items(0).Name, "Pulsar (internal)");
    EXPECT_EQ(stored.Items(1).Name, "Office2007 Black (internal)");
    EXPECT_EQ(stored.Items(2).Name, "Cold (internal)");
    const fs::path all = Generate("--all");
    const char* stems[] = {"pulsar", "office2007black", "cold"};
    for (int i = 0; i < 3; ++i) {
        TsSkinContent fromStored, fromFolder, fromPacked;
        TSkinLoadResult r = LoadStoredSkin(fromStored, stored.Items(i), {});
        ASSERT_EQ(r.Status, TSkinLoadStatus::Loaded) << r.Message;
        EXPECT_TRUE(fromStored.IsPacked);
        EXPECT_TRUE(fromStored.SkinData.SkinPath.empty());
        r = LoadSkinFromDir(fromFolder, all.string(), stems[i], TsStoredSkins{}, {});
        ASSERT_EQ(r.Status, TSkinLoadStatus::Loaded) << r.Message;
        EXPECT_FALSE(fromFolder.IsPacked);
        r = LoadSkinFromPacked(fromPacked, all.string(), stems[i], all.string(), {});
        ASSERT_EQ(r.Status, TSkinLoadStatus::Loaded) << r.Message;
        ExpectSameSkin(fromStored, fromFolder, std::string(stems[i]) + " from its folder");
        ExpectSameSkin(fromStored, fromPacked, std::string(stems[i]) + " from its packed file");
    }
    // The installation's skin folder holds Cold as a folder and Pulsar packed.
    const std::string shipped = SourceDir() + "/data/skins";
    TsSkinContent cold, pulsar, coldStored, pulsarStored;
    ASSERT_EQ(LoadSkinFromDir(cold, shipped, "Cold", TsStoredSkins{}, {}).Status, TSkinLoadStatus::Loaded);
    ASSERT_EQ(LoadSkinFromPacked(pulsar, shipped, "Pulsar", shipped, {}).Status, TSkinLoadStatus::Loaded);
    LoadStoredSkin(coldStored, stored.Items(2), {});
    LoadStoredSkin(pulsarStored, stored.Items(0), {});
    ExpectSameSkin(coldStored, cold, "the shipped Cold folder");
    ExpectSameSkin(pulsarStored, pulsar, "the shipped Pulsar.asz");
    fs::remove_all(all);
}

TEST(OwnSkins, EachHasWhatTheProgramsWindowsDraw) {
    TsStoredSkins stored;
    AddOwnStoredSkins(stored);
    for (int i = 0; i < stored.Count(); ++i) {
        TsSkinContent c;
        ASSERT_EQ(LoadStoredSkin(c, stored.Items(i), {}).Status, TSkinLoadStatus::Loaded);
        SCOPED_TRACE(stored.Items(i).Name);
        auto mask = [&c](const std::string& section, const std::string& key) {
            return c.GetMaskIndex(c.GetSkinIndex(section), section, key);
        };
        for (const char* s : {"FORM", "FORMTITLE", "DIALOG", "BUTTON", "EDIT", "GROUPBOX", "PANEL", "PANEL_LOW",
                              "GAUGE", "PROGRESSH", "PROGRESSV", "SCROLLSLIDERH", "SCROLLSLIDERV", "SCROLLBTNLEFT",
                              "SCROLLBTNRIGHT", "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "MAINMENU", "MENUITEM", "COMBOBOX",
                              "COMBOBTN", "BAR", "TOOLBAR", "STATUSBAR", "DIVIDERV"})
            EXPECT_GE(mask(s, "BORDERSMASK"), 0) << s;
        for (const char* s : {"CHECKBOX", "RADIOBUTTON", "SCROLLBAR1H", "SCROLLBAR2H", "SCROLLBAR1V", "SCROLLBAR2V",
                              "MENULINE", "ICOLINE", "EXTRALINE", "HINT", "MDIAREA", "TRACKBAR"})
            EXPECT_GE(c.GetSkinIndex(s), 0) << s;
        for (const char* g : {"BOXCHECKED", "BOXUNCHECKED", "BOXGRAYED", "RADIOCHECKED", "RADIOUNCHECKED",
                              "RADIOGRAYED", "SMALLCHECKED", "SMALLUNCHECKED", "SMALLGRAYED", "BICONCLOSE", "BICONMAX",
                              "BICONMIN", "BICONNORM", "BICONHELP", "SICONCLOSE", "TITLEBUTTON", "GRIPIMAGE"})
            EXPECT_GE(mask("GLOBALINFO", g), 0) << g;
        for (const char* s : {"SCROLLSLIDERH", "SCROLLBTNLEFT", "SCROLLBTNBOTTOM", "COMBOBOX"})
            EXPECT_GE(mask(s, "GLYPHMASK"), 0) << s;
        // The key colour in a border's corners is only what lies outside the
        // window: a clear pixel inside the frame's lines would be cut out of
        // a skinned window's corner, or shown in another control's colour.
        for (const TsMaskData& m : c.Masks) {
            if (m.PropertyName != "BORDERSMASK" || m.ImageCount <= 0) continue;
            const TPixels pic = m.Picture();
            for (int f = 0; f < m.ImageCount; ++f) {
                const int x = m.SourceRect.Left + f * m.FrameWidth(), y = m.SourceRect.Top, fw = m.FrameWidth(), fh = m.FrameHeight();
                // A title's frame goes on below it: its bottom edge is no outer edge.
                const int bottom = m.SectionName == "FORMTITLE" ? 0 : kOuterBottom;
                for (const auto& [area, edges] : {std::pair{TRect{x, y, x + m.WL, y + m.WT}, kOuterLeft | kOuterTop},
                                                  std::pair{TRect{x + fw - m.WR, y, x + fw, y + m.WT}, kOuterRight | kOuterTop},
                                                  std::pair{TRect{x, y + fh - m.WB, x + m.WL, y + fh}, kOuterLeft | bottom},
                                                  std::pair{TRect{x + fw - m.WR, y + fh - m.WB, x + fw, y + fh}, kOuterRight | bottom}}) {
                    const std::vector<char> outside = KeyPixelsOutside(pic, area, edges);
                    int enclosed = 0;
                    for (int j = 0; j < area.Height(); ++j)
                        for (int k = 0; k < area.Width(); ++k)
                            enclosed += IsKeyPixel(pic.At(area.Left + k, area.Top + j), clFuchsia) &&
                                        !outside[static_cast<size_t>(j) * area.Width() + k];
                    EXPECT_EQ(enclosed, 0) << m.SectionName << " frame " << f << " corner " << edges;
                }
            }
        }
        const int grip = mask("GLOBALINFO", "GRIPIMAGE");
        ASSERT_GE(grip, 0);
        EXPECT_TRUE(c.Masks[grip].Image);  // a picture of its own
        const TsGeneralData& button = c.Sections[c.GetSkinIndex("BUTTON")];
        EXPECT_NE(button.FontColor[0], button.Color);
        EXPECT_EQ(button.GradientArray.size(), 2u);
        const std::string path = skintest::SavePicture(Preview(c).Pixels(), "skin_preview_" + std::to_string(i) + ".bmp");
        std::cout << "preview: " << path << "\n";
    }
    // Pulsar's starfield stays a picture of its own; Cold's small frost becomes a texture.
    TsSkinContent pulsar, cold;
    LoadStoredSkin(pulsar, stored.Items(0), {});
    LoadStoredSkin(cold, stored.Items(2), {});
    EXPECT_GE(pulsar.GetPatternIndex(pulsar.GetSkinIndex("FORM"), "FORM", "PATTERN"), 0);
    EXPECT_GE(cold.GetTextureIndex(cold.GetSkinIndex("FORM"), "FORM", "PATTERN"), 0);
    EXPECT_EQ(cold.GetPatternIndex(cold.GetSkinIndex("FORM"), "FORM", "PATTERN"), -1);
}
