#include "skin/core/skinlookups.h"

#include <dirent.h>

#include <algorithm>

#include "rtl/encoding.h"
#include "rtl/textfile.h"
#include "skin/core/skinload.h"
#include "skin/core/skinutils.h"

namespace skin {

TCachedIndexes InitConstantIndexes(const TsSkinContent& skin) {
    TCachedIndexes ci;
    auto set = [&ci](int at, int value) { ci.Index[static_cast<size_t>(at)] = static_cast<int16_t>(value); };
    auto section = [&skin](const char* name) { return skin.GetSkinIndex(name); };
    auto mask = [&skin](int index, const char* name, const char* property) {
        return skin.GetMaskIndex(index, name, property);
    };

    const int global = section("GLOBALINFO");
    set(ciGlobalInfo, global);
    static const char* const kChecks[] = {"BOXCHECKED",   "BOXUNCHECKED",   "BOXGRAYED",
                                          "RADIOCHECKED", "RADIOUNCHECKED", "RADIOGRAYED",
                                          "SMALLCHECKED", "SMALLUNCHECKED", "SMALLGRAYED"};
    for (int i = 0; i < 9; ++i) set(ciCheckMasks + i, global >= 0 ? mask(global, "GLOBALINFO", kChecks[i]) : -1);

    ci.ComboBtnIndex = section("COMBOBTN");
    ci.ComboBtnBorder = skin.FindMaskIndex("COMBOBTN", "BORDERSMASK");
    ci.ComboBtnPattern = skin.GetTextureIndex(ci.ComboBtnIndex, "COMBOBTN", "PATTERN");
    ci.ComboBtnHotPattern = skin.GetTextureIndex(ci.ComboBtnIndex, "COMBOBTN", "HOTPATTERN");
    ci.ComboBoxGlyph = skin.FindMaskIndex("COMBOBOX", "GLYPHMASK");

    static const char* const kTabs[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
    for (int i = 0; i < 4; ++i) {
        const int s = section(kTabs[i]);
        set(ciTabTop + i, s);
        set(ciTabBorders + i, mask(s, kTabs[i], "BORDERSMASK"));
    }

    static const char* const kButtons[] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
    for (int i = 0; i < 4; ++i) {
        const int s = section(kButtons[i]);
        set(ciScrollBtnTop + i, s);
        set(ciScrollBtnBorders + i, mask(s, kButtons[i], "BORDERSMASK"));
        set(ciScrollBtnPatterns + i, mask(s, kButtons[i], "PATTERN"));
        set(ciScrollBtnHotPatterns + i, mask(s, kButtons[i], "HOTPATTERN"));
        set(ciScrollBtnGlyphs + i, s >= 0 ? mask(s, kButtons[i], "GLYPHMASK") : -1);
    }

    static const char* const kSliders[] = {"SCROLLSLIDERV", "SCROLLSLIDERH"};
    int slider[2];
    for (int i = 0; i < 2; ++i) {
        slider[i] = section(kSliders[i]);
        set(ciScrollSliderV + i, slider[i]);
        set(ciScrollSliderBorders + i, mask(slider[i], kSliders[i], "BORDERSMASK"));
        set(ciScrollSliderGlyphs + i, slider[i] >= 0 ? mask(slider[i], kSliders[i], "GLYPHMASK") : -1);
    }
    set(ciScrollSliderHPattern, mask(slider[1], "SCROLLSLIDERH", "PATTERN"));
    set(ciScrollSliderHPattern + 1, mask(slider[1], "SCROLLSLIDERH", "HOTPATTERN"));
    set(ciScrollSliderVPattern, mask(slider[0], "SCROLLSLIDERV", "PATTERN"));
    set(ciScrollSliderVPattern + 1, mask(slider[0], "SCROLLSLIDERV", "HOTPATTERN"));

    static const char* const kBars[] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
    for (int i = 0; i < 4; ++i) {
        const int s = section(kBars[i]);
        set(ciScrollBar1H + i, s);
        set(ciScrollBarBorders + i, mask(s, kBars[i], "BORDERSMASK"));
        set(ciScrollBarPatterns + i, mask(s, kBars[i], "PATTERN"));
        set(ciScrollBarHotPatterns + i, mask(s, kBars[i], "HOTPATTERN"));
    }
    return ci;
}

namespace {

const TsGeneralData* GlobalInfo(const TsSkinContent& skin, const TCachedIndexes& ci) {
    const int i = ci[ciGlobalInfo];
    return skin.IsValidSkinIndex(i) ? &skin.Sections[static_cast<size_t>(i)] : nullptr;
}

TColor ToRGB(const TColorToRGB& toRGB, TColor c) { return toRGB ? toRGB(c) : c; }

}  // namespace

TColor GlobalInfoColor(const TsSkinContent& skin, const TCachedIndexes& ci, const TColorToRGB& toRGB, TColor btnFace) {
    const TsGeneralData* g = GlobalInfo(skin, ci);
    return ToRGB(toRGB, g ? g->Color : btnFace);
}

TColor GlobalInfoFontColor(const TsSkinContent& skin, const TCachedIndexes& ci, const TColorToRGB& toRGB) {
    const TsGeneralData* g = GlobalInfo(skin, ci);
    return g ? ToRGB(toRGB, g->FontColor[0]) : clFuchsia;
}

TColor GlobalInfoHotColor(const TsSkinContent& skin, const TCachedIndexes& ci, const TColorToRGB& toRGB, TColor window) {
    const TsGeneralData* g = GlobalInfo(skin, ci);
    return ToRGB(toRGB, g ? g->HotColor : window);
}

namespace {

const TsMaskData* MaskAt(const TsSkinContent& skin, int index) {
    return skin.IsValidMaskIndex(index) ? &skin.Masks[static_cast<size_t>(index)] : nullptr;
}

int SideMargin(const TsSkinContent& skin, int index, int TsMaskData::*side) {
    const TsMaskData* m = MaskAt(skin, index);
    if (!m) return 0;
    if (m->*side > 0) return m->*side;
    if (m->BorderWidth >= 1) return m->BorderWidth;
    return m->SourceRect.Width() / (std::max(m->ImageCount, 1) * 3);
}

int TopBottomMargin(const TsSkinContent& skin, int index, int TsMaskData::*end) {
    const TsMaskData* m = MaskAt(skin, index);
    if (!m) return 0;
    if (m->*end > 0) return m->*end;
    if (m->BorderWidth >= 1) return m->BorderWidth;
    return m->SourceRect.Height() / ((std::max(m->MaskType, 0) + 1) * 3);
}

}  // namespace

int MaskMarginLeft(const TsSkinContent& skin, int maskIndex) { return SideMargin(skin, maskIndex, &TsMaskData::WL); }
int MaskMarginRight(const TsSkinContent& skin, int maskIndex) { return SideMargin(skin, maskIndex, &TsMaskData::WR); }
int MaskMarginTop(const TsSkinContent& skin, int maskIndex) { return TopBottomMargin(skin, maskIndex, &TsMaskData::WT); }
int MaskMarginBottom(const TsSkinContent& skin, int maskIndex) { return TopBottomMargin(skin, maskIndex, &TsMaskData::WB); }

std::string DefaultSectionName(int code) {
    struct Range {
        int From, To;
        const char* Section;
    };
    static const Range kTable[] = {
        {2, 8, "EDIT"},        {10, 10, "EDIT"},       {41, 41, "EDIT"},         {76, 76, "EDIT"},
        {78, 78, "EDIT"},      {83, 84, "EDIT"},       {96, 97, "EDIT"},         {131, 131, "EDIT"},
        {140, 140, "EDIT"},    {227, 227, "EDIT"},     {11, 18, "COMBOBOX"},     {81, 82, "COMBOBOX"},
        {19, 19, "BAR"},       {20, 20, "BARTITLE"},   {32, 32, "CHECKBOX"},     {152, 152, "CHECKBOX"},
        {33, 33, "RADIOBUTTON"}, {51, 51, "PANEL"},    {59, 59, "PANEL"},        {68, 68, "PANEL"},
        {73, 73, "PANEL"},     {52, 52, "PANEL_LOW"},  {58, 58, "PANEL_LOW"},    {53, 54, "TOOLBAR"},
        {60, 60, "TOOLBAR"},   {56, 56, "DRAGBAR"},    {57, 57, "TABSHEET"},     {74, 74, "GROUPBOX"},
        {226, 226, "GROUPBOX"}, {75, 75, "SPLITTER"},  {92, 92, "SPEEDBUTTON"},  {95, 95, "SPEEDBUTTON"},
        {93, 94, "BUTTON"},    {98, 98, "TOOLBUTTON"}, {141, 141, "PAGECONTROL"}, {143, 143, "PAGECONTROL"},
        {151, 151, "STATUSBAR"}, {161, 161, "GAUGE"},  {165, 165, "TRACKBAR"},
    };
    for (const Range& r : kTable)
        if (code >= r.From && code <= r.To) return r.Section;
    return {};
}

bool IsNoHoverCode(int code) {
    return (code >= 51 && code <= 74) || code == 110 || (code >= 141 && code <= 161);
}

std::string FullSkinDirectory(const std::string& dir, const std::string& appPath) {
    if (dir.compare(0, 2, "..") == 0) {
        std::string parent = appPath;
        if (!parent.empty()) parent.pop_back();
        while (!parent.empty() && parent.back() != '\\' && parent.back() != '/') parent.pop_back();
        return parent + (dir.size() > 3 ? dir.substr(3) : std::string());
    }
    if (dir.compare(0, 2, ".\\") == 0 || dir.compare(0, 2, "./") == 0) return appPath + dir.substr(2);
    if (dir.find(':') == std::string::npos && dir.find("\\\\") == std::string::npos) return appPath + dir;
    return dir;
}

std::vector<std::string> CleanCommonSections(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (const std::string& line : lines)
        out.push_back(line.empty() || line[0] == ';' ? line : RemoveChar(line, ' '));
    return out;
}

std::vector<std::string> ListSkinNames(const TsStoredSkins& stored, const std::string& dir, TSkinListKind kind,
                                       std::string& firstName) {
    firstName.clear();
    std::vector<std::string> names;
    for (int i = 0; i < stored.Count(); ++i) {
        names.push_back(stored.Items(i).Name);
        if (i == 0) firstName = stored.Items(i).Name;
    }
    if (DIR* folder = opendir(rtl::HostPath(dir).c_str())) {
        while (dirent* entry = readdir(folder)) {
            const std::string name = rtl::Utf8ToCp1251(entry->d_name);
            if (name.empty() || name[0] == '.') continue;
            std::string found;
            std::string options;
            if (kind != slPacked && rtl::DirectoryExists(dir + "\\" + name) &&
                ReadSkinFile(dir + "\\" + name + "\\Options.dat", options)) {
                found = name;
            } else if (kind != slFolders && rtl::FileExists(dir + "\\" + name)) {
                const size_t dot = name.rfind('.');
                if (dot != std::string::npos && name.substr(dot) == ".asz") found = name.substr(0, name.find('.'));
            }
            if (found.empty()) continue;
            names.push_back(found);
            if (firstName.empty()) firstName = found;
        }
        closedir(folder);
    }
    // A sorted list that takes every name once, whatever its case.
    auto less = [](const std::string& a, const std::string& b) {
        return rtl::UpperCase1251(a) < rtl::UpperCase1251(b);
    };
    std::stable_sort(names.begin(), names.end(), less);
    names.erase(std::unique(names.begin(), names.end(),
                            [](const std::string& a, const std::string& b) { return rtl::SameText1251(a, b); }),
                names.end());
    return names;
}

}  // namespace skin
