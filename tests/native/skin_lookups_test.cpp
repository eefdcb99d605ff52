// What the skin manager works out without a window: its table of indexes,
// the skin-wide colours and mask margins, default sections, the skin folder
// and the list of skin names, and the small arithmetic of the command
// message's answers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "skin/core/skincommands.h"
#include "skin/core/skinlookups.h"
#include "support/skin_support.h"

using namespace skin;

namespace {

TsGeneralData Section(const std::string& name, const std::string& parent = "") {
    TsGeneralData gd;
    gd.SectionName = name;
    gd.ParentClass = parent;
    return gd;
}

TsMaskData Mask(const TsSkinContent& c, const std::string& section, const std::string& property) {
    TsMaskData m = skintest::MaskIn(c, {0, 0, 6, 6}, 1, 0, 2, 2, 2, 2);
    m.SectionName = section;
    m.PropertyName = property;
    return m;
}

}  // namespace

TEST(SkinIndexes, TheTableFindsSectionsAndMasksThroughParentsAndIsEmptyWithoutASkin) {
    auto c = skintest::ContentWithMaster(8, 8);
    c->Sections = {Section("GLOBALINFO"), Section("BTNBASE"), Section("SCROLLBTNTOP", "BTNBASE"), Section("TABTOP"),
                   Section("SCROLLSLIDERH")};
    c->Sections[0].FontColor[0] = 0x123456;
    for (auto [section, property] : {std::pair{"GLOBALINFO", "BOXCHECKED"}, {"BTNBASE", "BORDERSMASK"},
                                     {"BTNBASE", "GLYPHMASK"}, {"TABTOP", "BORDERSMASK"}, {"SCROLLSLIDERH", "HOTPATTERN"},
                                     {"GLOBALINFO", "SMALLGRAYED"}})
        c->Masks.push_back(Mask(*c, section, property));
    const TCachedIndexes ci = InitConstantIndexes(*c);
    EXPECT_EQ(ci[ciGlobalInfo], 0);
    EXPECT_EQ(ci[ciCheckMasks], 0);
    EXPECT_EQ(ci[ciCheckMasks + 1], -1);
    EXPECT_EQ(ci[ciCheckMasks + 8], 5);  // the last of the nine check pictures
    EXPECT_EQ(ci[ciTabTop], 3);
    EXPECT_EQ(ci[ciTabBorders], 3);
    EXPECT_EQ(ci[ciTabTop + 1], -1);
    // A scroll button without masks of its own takes its parent's.
    EXPECT_EQ(ci[ciScrollBtnTop], 2);
    EXPECT_EQ(ci[ciScrollBtnBorders], 1);
    EXPECT_EQ(ci[ciScrollBtnGlyphs], 2);
    EXPECT_EQ(ci[ciScrollBtnTop + 1], -1);
    EXPECT_EQ(ci[ciScrollBtnGlyphs + 1], -1);
    EXPECT_EQ(ci[ciScrollSliderV + 1], 4);
    EXPECT_EQ(ci[ciScrollSliderHPattern + 1], 4);
    EXPECT_EQ(ci[ciScrollSliderVPattern + 1], -1);
    EXPECT_EQ(ci.ComboBtnIndex, -1);
    EXPECT_EQ(GlobalInfoFontColor(*c, ci, nullptr), 0x123456);

    // Each bar's slider takes the patterns of its own section, or of that section's parent.
    c->Sections.push_back(Section("SCROLLSLIDERV", "VBASE"));
    c->Sections.push_back(Section("VBASE"));
    for (auto [section, property] : {std::pair{"SCROLLSLIDERH", "PATTERN"}, {"VBASE", "PATTERN"},
                                     {"SCROLLSLIDERV", "HOTPATTERN"}})
        c->Masks.push_back(Mask(*c, section, property));
    const TCachedIndexes sliders = InitConstantIndexes(*c);
    for (auto [index, section, property] :
         {std::tuple{static_cast<int>(ciScrollSliderHPattern), "SCROLLSLIDERH", "PATTERN"}, {ciScrollSliderHPattern + 1, "SCROLLSLIDERH", "HOTPATTERN"},
          {ciScrollSliderVPattern, "VBASE", "PATTERN"}, {ciScrollSliderVPattern + 1, "SCROLLSLIDERV", "HOTPATTERN"}}) {
        ASSERT_GE(sliders[index], 0) << section << " " << property;
        const TsMaskData& m = c->Masks[static_cast<size_t>(sliders[index])];
        EXPECT_EQ(m.SectionName + " " + m.PropertyName, std::string(section) + " " + property);
    }

    // Normal and hot patterns apart, for the combo button, the scroll
    // buttons and the bars; the skin-wide hot colour is GLOBALINFO's own.
    c->Sections.push_back(Section("COMBOBTN"));
    c->Sections.push_back(Section("SCROLLBTNLEFT"));
    c->Sections.push_back(Section("SCROLLBAR2V"));
    for (const char* section : {"COMBOBTN", "SCROLLBTNLEFT", "SCROLLBAR2V"})
        for (const char* property : {"PATTERN", "HOTPATTERN"}) {
            c->Masks.push_back(Mask(*c, section, property));
            c->Masks.back().ImgType = itisaTexture;
        }
    const TCachedIndexes patterns = InitConstantIndexes(*c);
    const int combo = static_cast<int>(c->Masks.size()) - 6;
    EXPECT_EQ(patterns.ComboBtnPattern, combo);
    EXPECT_EQ(patterns.ComboBtnHotPattern, combo + 1);
    EXPECT_EQ(patterns[ciScrollBtnPatterns + 2], combo + 2);
    EXPECT_EQ(patterns[ciScrollBtnHotPatterns + 2], combo + 3);
    EXPECT_EQ(patterns[ciScrollBarPatterns + 3], combo + 4);
    EXPECT_EQ(patterns[ciScrollBarHotPatterns + 3], combo + 5);
    c->Sections[0].Color = 0x010101;
    c->Sections[0].HotColor = 0x020202;
    EXPECT_EQ(GlobalInfoColor(*c, patterns, nullptr, 0), 0x010101);
    EXPECT_EQ(GlobalInfoHotColor(*c, patterns, nullptr, 0), 0x020202);

    const TsSkinContent none;
    const TCachedIndexes empty = InitConstantIndexes(none);
    for (int i = 0; i < ciCount; ++i) EXPECT_EQ(empty[i], -1) << i;
    EXPECT_EQ(GlobalInfoFontColor(none, empty, nullptr), clFuchsia);
    // System colours come back as RGB.
    auto toRGB = [](TColor c) { return c < 0 ? 0x0A0B0C : c; };
    EXPECT_EQ(GlobalInfoColor(none, empty, toRGB, static_cast<TColor>(0xFF00000F)), 0x0A0B0C);
    EXPECT_EQ(GlobalInfoHotColor(none, empty, toRGB, 0x00FFFFFF), 0x00FFFFFF);
}

TEST(SkinIndexes, MaskMarginsComeFromCornersThenBorderWidthThenAThirdOfAFrame) {
    auto c = skintest::ContentWithMaster(60, 30);
    TsMaskData own = skintest::MaskIn(*c, {0, 0, 60, 30}, 2, 1, 4, 0, 0, 0);
    TsMaskData border = skintest::MaskIn(*c, {0, 0, 60, 30}, 2, 1, 0, 0, 0, 0);
    border.BorderWidth = 3;
    TsMaskData bare = skintest::MaskIn(*c, {0, 0, 60, 30}, 0, 1, 0, 0, 0, 0);
    c->Masks.push_back(std::move(own));
    c->Masks.push_back(std::move(border));
    c->Masks.push_back(std::move(bare));
    EXPECT_EQ(MaskMarginLeft(*c, 0), 4);
    EXPECT_EQ(MaskMarginRight(*c, 0), 60 / (2 * 3));
    EXPECT_EQ(MaskMarginBottom(*c, 1), 3);
    EXPECT_EQ(MaskMarginTop(*c, 1), 3);
    EXPECT_EQ(MaskMarginTop(*c, 0), 30 / (2 * 3));  // no top corner: a third of a frame, its mask row not counted
    EXPECT_EQ(MaskMarginLeft(*c, 2), 60 / 3);  // no frames counted as one
    EXPECT_EQ(MaskMarginBottom(*c, 2), 30 / 6);
    EXPECT_EQ(MaskMarginLeft(*c, 7), 0);
    // A border width of 1 is a border width like any other.
    c->Masks[1].BorderWidth = 1;
    EXPECT_EQ(std::make_tuple(MaskMarginLeft(*c, 1), MaskMarginTop(*c, 1), MaskMarginRight(*c, 1), MaskMarginBottom(*c, 1)),
              std::make_tuple(1, 1, 1, 1));
}

TEST(SkinIndexes, DefaultSectionsAndKindsThatNeverShowHot) {
    EXPECT_EQ(DefaultSectionName(97), "EDIT");
    EXPECT_EQ(DefaultSectionName(15), "COMBOBOX");
    EXPECT_EQ(DefaultSectionName(58), "PANEL_LOW");
    EXPECT_EQ(DefaultSectionName(161), "GAUGE");
    EXPECT_EQ(DefaultSectionName(226), "GROUPBOX");
    EXPECT_EQ(DefaultSectionName(19), "BAR");
    EXPECT_EQ(DefaultSectionName(20), "BARTITLE");
    EXPECT_EQ(DefaultSectionName(9), "");  // the owner's class name is used
    // Panels, labels and gauges (51 to 74, 110, 141 to 161) never show hot; their neighbours do.
    for (int code : {51, 74, 110, 141, 161}) EXPECT_TRUE(IsNoHoverCode(code)) << code;
    for (int code : {50, 75, 93, 109, 111, 140, 162, 51 + 256}) EXPECT_FALSE(IsNoHoverCode(code)) << code;
}

TEST(SkinFolders, TheSkinDirectoryResolvesAgainstTheProgramFolder) {
    const std::string app = "C:\\A\\B\\";
    EXPECT_EQ(FullSkinDirectory("..\\Skins", app), "C:\\A\\Skins");
    EXPECT_EQ(FullSkinDirectory(".\\Skins", app), "C:\\A\\B\\Skins");
    EXPECT_EQ(FullSkinDirectory("./Skins", app), "C:\\A\\B\\Skins");
    EXPECT_EQ(FullSkinDirectory("Skins", app), "C:\\A\\B\\Skins");
    EXPECT_EQ(FullSkinDirectory("D:\\S", app), "D:\\S");
    EXPECT_EQ(FullSkinDirectory("\\\\server\\skins", app), "\\\\server\\skins");
    EXPECT_EQ(CleanCommonSections({"[MY SECTION]", "COLOR = 5", ";a comment", ""}),
              (std::vector<std::string>{"[MYSECTION]", "COLOR=5", ";a comment", ""}));
}

TEST(SkinFolders, SkinNamesListStoredSkinsFoldersAndPackedFilesOnceEachSorted) {
    char name[] = "/tmp/norvix_skinnames_XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    const std::string dir = name;
    auto file = [](const std::string& path) { std::ofstream(path) << "x"; };
    mkdir((dir + "/Blue").c_str(), 0700);
    file(dir + "/Blue/Options.dat");
    mkdir((dir + "/Empty").c_str(), 0700);
    mkdir((dir + "/Green").c_str(), 0700);
    file(dir + "/Green/Options.dat");
    file(dir + "/alpha.asz");
    file(dir + "/a.b.asz");
    file(dir + "/Dark.ASZ");
    file(dir + "/notes.txt");
    TsStoredSkins stored;
    stored.Add().Name = "Zeta (internal)";
    stored.Add().Name = "blue";

    std::string first;
    EXPECT_EQ(ListSkinNames(stored, dir, slAll, first),
              (std::vector<std::string>{"a", "alpha", "blue", "Green", "Zeta (internal)"}));
    EXPECT_EQ(first, "Zeta (internal)");
    EXPECT_EQ(ListSkinNames(TsStoredSkins{}, dir, slFolders, first), (std::vector<std::string>{"Blue", "Green"}));
    EXPECT_TRUE(first == "Blue" || first == "Green") << first;  // the first the folder lists
    EXPECT_EQ(ListSkinNames(stored, dir, slPacked, first),
              (std::vector<std::string>{"a", "alpha", "blue", "Zeta (internal)"}));
    EXPECT_EQ(ListSkinNames(TsStoredSkins{}, dir + "/missing", slAll, first), std::vector<std::string>{});
    EXPECT_EQ(first, "");

    for (const char* f : {"/Blue/Options.dat", "/Green/Options.dat", "/alpha.asz", "/a.b.asz", "/Dark.ASZ", "/notes.txt"})
        unlink((dir + f).c_str());
    rmdir((dir + "/Blue").c_str());
    rmdir((dir + "/Green").c_str());
    rmdir((dir + "/Empty").c_str());
    rmdir(dir.c_str());
}

TEST(SkinCommandArithmetic, WordsOfTheMessageTheBackgroundBlendAndFadeSteps) {
    const uintptr_t w = SkinCommandWParam(AC_PARENTBGCHANGED, 1);
    EXPECT_EQ(w, 0x00140001u);
    EXPECT_EQ(SkinCommandOf(w), 20u);
    EXPECT_EQ(SkinCommandArgOf(w), 1u);
    // Weight T of 256: T 128 is halfway, 0 keeps the own colour.
    EXPECT_EQ(BlendBgColor(128, MakeColor(200, 100, 0), MakeColor(0, 100, 200)), MakeColor(100, 100, 100));
    EXPECT_EQ(BlendBgColor(0, MakeColor(200, 100, 0), MakeColor(1, 2, 3)), MakeColor(1, 2, 3));
    EXPECT_EQ(BlendBgColor(100, MakeColor(255, 0, 0), MakeColor(0, 0, 0)), MakeColor(99, 0, 0));
    EXPECT_EQ(AnimationSteps(0), 0);
    EXPECT_EQ(AnimationSteps(7), 0);
    EXPECT_EQ(AnimationSteps(80), 10);
    EXPECT_EQ(AnimationSteps(0x10008), 1);
}
