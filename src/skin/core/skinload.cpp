#include "skin/core/skinload.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <new>
#include <optional>
#include <stdexcept>
#include <type_traits>

#include "rtl/encoding.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"
#include "skin/core/bmpfile.h"
#include "skin/core/gradient.h"
#include "skin/core/jpegfile.h"
#include "skin/core/skinini.h"
#include "skin/core/skinutils.h"

namespace skin {

namespace {

using rtl::UpperCase1251;

constexpr const char* kGlobalInfo = "GLOBALINFO";
// JPEG textures smaller than this many pixels become bitmap textures.
constexpr int64_t kSmallJpegPixels = 90000;

// ---- the keys of a section -------------------------------------------------

struct GeneralKey {
    const char* Key;
    enum Type { Int, Color, Bool, Text, Bevel, Font } Kind;
    int Default = 0;
    const char* TextDefault = "";
    bool Inherited = true;
    int TsGeneralData::*IntField = nullptr;
    bool TsGeneralData::*BoolField = nullptr;
    std::string TsGeneralData::*TextField = nullptr;
    TsControlBevel TsGeneralData::*BevelField = nullptr;
    std::array<TColor, 5> TsGeneralData::*FontField = nullptr;
    int FontIndex = 0;
};

GeneralKey IntKey(const char* key, int TsGeneralData::*field, int def, bool inherited = true) {
    GeneralKey k{key, GeneralKey::Int, def};
    k.IntField = field;
    k.Inherited = inherited;
    return k;
}
GeneralKey BoolKey(const char* key, bool TsGeneralData::*field) {
    GeneralKey k{key, GeneralKey::Bool};
    k.BoolField = field;
    return k;
}
GeneralKey TextKey(const char* key, std::string TsGeneralData::*field, const char* def) {
    GeneralKey k{key, GeneralKey::Text, 0, def};
    k.TextField = field;
    return k;
}
GeneralKey BevelKey(const char* key, TsControlBevel TsGeneralData::*field) {
    GeneralKey k{key, GeneralKey::Bevel};
    k.BevelField = field;
    return k;
}
GeneralKey FontKey(const char* key, std::array<TColor, 5> TsGeneralData::*field, int index) {
    GeneralKey k{key, GeneralKey::Font, index == 0 ? 0 : -1};
    k.FontField = field;
    k.FontIndex = index;
    return k;
}

// In reading order; PARENTCLASS is read on its own.
const std::vector<GeneralKey>& GeneralKeys() {
    using G = TsGeneralData;
    static const std::vector<GeneralKey> keys = [] {
        std::vector<GeneralKey> k;
        GeneralKey color = IntKey("COLOR", &G::Color, 0xFFFFFF);
        color.Kind = GeneralKey::Color;
        k.push_back(color);
        k.push_back(BevelKey("BEVEL", &G::Bevel));
        k.push_back(IntKey("SHADOWBLUR", &G::ShadowBlur, 6));
        k.push_back(IntKey("SHADOWOFFSET", &G::ShadowOffset, 3));
        k.push_back(IntKey("SHADOWCOLOR", &G::ShadowColor, 0, false));
        k.push_back(IntKey("SHADOWTRANSPARENCY", &G::ShadowTransparency, 50));
        k.push_back(BoolKey("SHADOWENABLED", &G::ShadowEnabled));
        k.push_back(BoolKey("RESERVEDBOOLEAN", &G::ReservedBoolean));
        const char* font[] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
        const char* hotFont[] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
        for (int i = 0; i < 5; ++i) k.push_back(FontKey(font[i], &G::FontColor, i));
        for (int i = 0; i < 5; ++i) k.push_back(FontKey(hotFont[i], &G::HotFontColor, i));
        k.push_back(IntKey("TRANSPARENCY", &G::Transparency, 0));
        k.push_back(IntKey("GRADIENTPERCENT", &G::GradientPercent, 0));
        k.push_back(IntKey("IMAGEPERCENT", &G::ImagePercent, 0));
        k.push_back(TextKey("GRADIENTDATA", &G::GradientData, " "));
        k.push_back(BoolKey("SHOWFOCUS", &G::ShowFocus));
        k.push_back(BoolKey("FADINGENABLED", &G::FadingEnabled));
        k.push_back(IntKey("FADINGINTERVALIN", &G::FadingIntervalIn, 5));
        k.push_back(IntKey("FADINGINTERVALOUT", &G::FadingIntervalOut, 5));
        k.push_back(IntKey("FADINGITERATIONS", &G::FadingIterations, 5));
        k.push_back(IntKey("HOTCOLOR", &G::HotColor, 0xFFFFFF));
        k.push_back(IntKey("HOTTRANSPARENCY", &G::HotTransparency, 0));
        k.push_back(BevelKey("HOTBEVEL", &G::HotBevel));
        k.push_back(IntKey("HOTGRADIENTPERCENT", &G::HotGradientPercent, 0));
        k.push_back(TextKey("HOTGRADIENTDATA", &G::HotGradientData, ""));
        k.push_back(IntKey("HOTIMAGEPERCENT", &G::HotImagePercent, 0));
        k.push_back(IntKey("BORDERCOLOR1", &G::BorderColor1, 0));
        k.push_back(IntKey("BORDERCOLOR2", &G::BorderColor2, 0));
        return k;
    }();
    return keys;
}

// Keys whose values are numbers or words, never pictures.
bool IsDataKey(const std::string& section, const std::string& key) {
    static const char* const kGlobal[] = {"VERSION", "AUTHOR", "DESCRIPTION", "SHADOW1COLOR", "SHADOW1OFFSET",
                                          "SHADOW1BLUR", "SHADOW1TRANSPARENCY", "BISPACE", "BORDERCOLOR",
                                          "MASTERBITMAP"};
    const std::string k = UpperCase1251(key);
    if (k == "PARENTCLASS") return true;
    for (const GeneralKey& g : GeneralKeys())
        if (k == g.Key) return true;
    if (UpperCase1251(section) == kGlobalInfo)
        for (const char* g : kGlobal)
            if (k == g) return true;
    return false;
}

TsControlBevel ToBevel(int v) { return v >= cbNone && v <= cbLoweredHard ? static_cast<TsControlBevel>(v) : cbNone; }

// ---- files ------------------------------------------------------------------

// A host path (already mapped from the program's form).
bool ReadHostFile(const std::string& path, std::string& bytes) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// Copy(S, Start, Count) with 1-based positions; "" past the end.
std::string Columns(const std::string& s, size_t start, size_t count) {
    return start - 1 < s.size() ? s.substr(start - 1, count) : std::string();
}

int ColumnNumber(const std::string& s, size_t start, size_t count) { return SkinStrToInt(Columns(s, start, count)); }

class Loader {
public:
    Loader(TsSkinContent& content, const TSkinIni* ini, const TacSkinConvertor* unpacked, const TSkinLoadOptions& options)
        : c_(content), ini_(ini), unpacked_(unpacked), options_(options) {}

    void LoadAllMasks();
    void LoadAllPatterns();
    void LoadAllGeneralData();
    void LoadCollections(const TsStoredSkin& stored);

private:
    TColor ToRGB(TColor color) const { return options_.ColorToRGB ? options_.ColorToRGB(color) : color; }
    std::optional<std::string> ImageFile(const std::string& name, bool unpackedToo) const;
    std::unique_ptr<TPixelBitmap> LoadPicture(const std::string& name, bool unpackedToo, bool jpeg) const;
    std::unique_ptr<TPixelBitmap> LoadBitmap(const std::string& name, bool unpackedToo) const {
        return LoadPicture(name, unpackedToo, false);
    }
    std::unique_ptr<TPixelBitmap> LoadJpeg(const std::string& name, bool unpackedToo) const {
        return LoadPicture(name, unpackedToo, true);
    }
    void AddMask(TsMaskData mask);
    void ComputeCorners(TsMaskData& m) const;
    void ReadMaskValue(const std::string& section, const std::string& key, const std::string& value);
    void ReadOlderNotation(TsMaskData m, const std::string& value);
    template <class T, class Read>
    T Inherited(const std::string& section, const std::string& key, const T& missing, const T& fallback,
                const Read& read) const;
    int ReadSkinInteger(const std::string& section, const std::string& key, int fallback) const;
    std::string ReadSkinString(const std::string& section, const std::string& key, const std::string& fallback) const;
    void ReadSection(const std::string& name, TsGeneralData& gd) const;
    void ReadCommonSections();

    TsSkinContent& c_;
    const TSkinIni* ini_;
    const TacSkinConvertor* unpacked_;
    const TSkinLoadOptions& options_;
};

std::optional<std::string> Loader::ImageFile(const std::string& name, bool unpackedToo) const {
    if (name.empty()) return std::nullopt;
    if (unpackedToo && c_.IsPacked && unpacked_ != nullptr) {
        if (const TacImageItem* item = unpacked_->FindFile(UpperCase1251(name))) return item->Data;
    }
    std::string bytes;
    const std::string path = name.find(':') != std::string::npos ? name : c_.SkinData.SkinPath + name;
    if (ReadSkinFile(path, bytes)) return bytes;
    return std::nullopt;
}

std::unique_ptr<TPixelBitmap> Loader::LoadPicture(const std::string& name, bool unpackedToo, bool jpeg) const {
    std::optional<std::string> bytes = ImageFile(name, unpackedToo);
    if (!bytes) return nullptr;
    auto picture = std::make_unique<TPixelBitmap>();
    std::string error;
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes->data());
    // A damaged picture counts as a missing one.
    const bool read = jpeg ? ReadJpeg(data, bytes->size(), *picture, error) : ReadBmp(data, bytes->size(), *picture, error);
    return read ? std::move(picture) : nullptr;
}

void Loader::ComputeCorners(TsMaskData& m) const {
    if (m.WL + m.WT + m.WR + m.WB != 0) return;
    if (m.BorderWidth != 0) {
        m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
        return;
    }
    const int w = m.Image ? m.Image->Width() : m.SourceRect.Width();
    const int h = m.Image ? m.Image->Height() : m.SourceRect.Height();
    m.WL = m.WR = w / (std::max(m.ImageCount, 1) * 3);
    m.WT = m.WB = h / ((std::max(m.MaskType, 0) + 1) * 3);
}

void Loader::AddMask(TsMaskData m) {
    m.ImageCount = std::max(m.ImageCount, 1);
    m.MaskType = std::max(m.MaskType, 0);
    m.WL = std::max(m.WL, 0), m.WT = std::max(m.WT, 0), m.WR = std::max(m.WR, 0), m.WB = std::max(m.WB, 0);
    if (!m.Image) {
        // A rectangle of the master bitmap must lie inside it.
        const TPixels master = c_.MasterPixels();
        const TRect& r = m.SourceRect;
        if (r.IsEmpty() || r.Left < 0 || r.Top < 0 || r.Right > master.Width || r.Bottom > master.Height) return;
    } else if (m.Image->Width() == 0) {
        return;
    }
    m.Manager = &c_;
    c_.Masks.push_back(std::move(m));
}

void Loader::ReadOlderNotation(TsMaskData m, const std::string& value) {
    const std::string rect = WordAt(2, value, " ()"), numbers = WordAt(3, value, " ()");
    auto number = [](const std::string& group, int n, int fallback) {
        const std::string w = WordAt(n, group, " ,");
        return w.empty() ? fallback : SkinStrToInt(w);
    };
    m.SourceRect = TRect{number(rect, 1, 0), number(rect, 2, 0), number(rect, 3, 0), number(rect, 4, 0)};
    m.ImageCount = std::max(number(numbers, 1, 1), 1);
    m.MaskType = std::max(number(numbers, 2, 0), 0);
    m.BorderWidth = std::max(number(numbers, 3, 0), 0);
    if (m.PropertyName == "PATTERN" || m.PropertyName == "HOTPATTERN") {
        m.ImgType = itisaTexture;
        m.DrawMode = 0;
    } else {
        m.ImgType = itisaBorder;
        m.DrawMode = number(numbers, 4, 1);
    }
    if (m.BorderWidth != 0)
        m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
    else
        ComputeCorners(m);
    AddMask(std::move(m));
}

void Loader::ReadMaskValue(const std::string& section, const std::string& key, const std::string& v) {
    TsMaskData m;
    m.SectionName = section;
    m.PropertyName = key;
    auto sourceRect = [&v] {
        return TRect{ColumnNumber(v, 2, 4), ColumnNumber(v, 7, 4), ColumnNumber(v, 12, 4), ColumnNumber(v, 17, 4)};
    };
    switch (v[0]) {
        case '~':
            m.ImgType = itisaTexture;
            m.SourceRect = sourceRect();
            m.ImageCount = 1;
            m.DrawMode = ColumnNumber(v, 22, 2);
            m.MaskType = v.size() > 24 ? ColumnNumber(v, 25, 1) : 0;
            AddMask(std::move(m));
            return;
        case '@':
            m.ImgType = itisaGlyph;
            m.SourceRect = sourceRect();
            m.ImageCount = ColumnNumber(v, 22, 1);
            m.MaskType = ColumnNumber(v, 24, 1);
            AddMask(std::move(m));
            return;
        case '^':
            m.ImgType = itisaBorder;
            m.SourceRect = sourceRect();
            m.WL = ColumnNumber(v, 22, 4);
            m.WT = ColumnNumber(v, 27, 4);
            m.WR = ColumnNumber(v, 32, 4);
            m.WB = ColumnNumber(v, 37, 4);
            m.ImageCount = std::max(ColumnNumber(v, 42, 1), 1);
            m.MaskType = std::max(ColumnNumber(v, 44, 1), 0);
            m.DrawMode = ColumnNumber(v, 46, 1);
            m.BorderWidth = ColumnNumber(v, 48, 1);
            ComputeCorners(m);
            AddMask(std::move(m));
            return;
        case '!': {
            const std::string file = WordAt(1, v, "!");
            // A ".bmp" written in small letters names a bitmap just as well.
            if (UpperCase1251(file).find(".BMP") == std::string::npos) return;
            m.Image = LoadBitmap(file, true);
            if (!m.Image || m.Image->Width() == 0) return;
            m.ImageCount = std::max(SkinStrToInt(WordAt(2, v, "!")), 1);
            m.MaskType = std::max(SkinStrToInt(WordAt(3, v, "!")), 0);
            const int type = SkinStrToInt(WordAt(4, v, "!"));
            m.ImgType = type >= itisaBorder && type <= itisaGlyph ? static_cast<TacImgType>(type) : itisaBorder;
            m.DrawMode = 4;
            m.SourceRect = TRect{0, 0, m.Image->Width(), m.Image->Height()};
            if (CountWords(v, "!") > 4) {
                m.WL = SkinStrToInt(WordAt(5, v, "!"));
                m.WT = SkinStrToInt(WordAt(6, v, "!"));
                m.WR = SkinStrToInt(WordAt(7, v, "!"));
                m.WB = SkinStrToInt(WordAt(8, v, "!"));
            }
            ComputeCorners(m);
            AddMask(std::move(m));
            return;
        }
        default:
            break;
    }
    m.SectionName = UpperCase1251(section);
    m.PropertyName = UpperCase1251(key);
    if (v.find('#') != std::string::npos) {
        if (v != "#") ReadOlderNotation(std::move(m), v);
        return;
    }
    if (UpperCase1251(v).find(".BMP") == std::string::npos) return;
    m.Image = LoadBitmap(v, true);
    if (!m.Image || m.Image->Width() == 0) return;
    m.ImgType = itisaBorder;
    m.ImageCount = 3;
    m.MaskType = 1;
    m.DrawMode = 0;
    m.SourceRect = TRect{0, 0, m.Image->Width(), m.Image->Height()};
    m.WL = m.WR = m.Image->Width() / 9;
    m.WT = m.WB = m.Image->Height() / 6;
    AddMask(std::move(m));
}

void Loader::LoadAllMasks() {
    c_.FreeBitmaps();
    const std::string masterName = ini_->ReadString(kGlobalInfo, "MASTERBITMAP", "");
    c_.MasterBitmap = LoadBitmap(masterName, true);
    if (!c_.MasterBitmap) c_.MasterBitmap = std::make_unique<TPixelBitmap>();
    for (const std::string& section : ini_->ReadSections()) {
        const bool global = UpperCase1251(section) == kGlobalInfo;
        for (const std::string& key : ini_->ReadSection(section)) {
            if (global && UpperCase1251(key) == "MASTERBITMAP") continue;
            if (IsDataKey(section, key)) continue;
            const std::string value = ini_->ReadString(section, key, "");
            if (!value.empty()) ReadMaskValue(section, key, value);
        }
    }
    if (options_.CommonSections.empty()) return;
    // The application's own sections: older-notation rectangles of the
    // master bitmap, or pictures beside the skin (never from a packed skin).
    std::string text;
    for (const std::string& line : options_.CommonSections) text += line + "\n";
    const TSkinIni common(text);
    for (const std::string& section : common.ReadSections()) {
        if (UpperCase1251(section) == kGlobalInfo) continue;
        for (const std::string& key : common.ReadSection(section)) {
            if (IsDataKey(section, key)) continue;
            const std::string v = common.ReadString(section, key, "-");
            TsMaskData m;
            m.SectionName = UpperCase1251(section);
            m.PropertyName = UpperCase1251(key);
            if (v.find('#') != std::string::npos && c_.MasterBitmap->Width() > 0) {
                ReadOlderNotation(std::move(m), v);
            } else if (UpperCase1251(v).find(".BMP") != std::string::npos) {
                m.Image = LoadBitmap(v, false);
                if (!m.Image || m.Image->Width() == 0) continue;
                // A bare picture: painting takes it as three states over a mask row.
                m.Manager = &c_;
                c_.Masks.push_back(std::move(m));
            }
        }
    }
}

void Loader::LoadAllPatterns() {
    c_.FreeJpegs();
    auto isJpeg = [](const std::string& upper) {
        return upper.find(".JPG") != std::string::npos || upper.find(".JPEG") != std::string::npos;
    };
    for (const std::string& section : ini_->ReadSections()) {
        for (const std::string& key : ini_->ReadSection(section)) {
            if (IsDataKey(section, key)) continue;
            const std::string v = UpperCase1251(ini_->ReadString(section, key, "-"));
            if (!isJpeg(v)) continue;
            std::unique_ptr<TPixelBitmap> picture = LoadJpeg(v, true);
            if (!picture || picture->Width() == 0) continue;
            if (static_cast<int64_t>(picture->Width()) * picture->Height() < kSmallJpegPixels) {
                // Small pictures are tiled as bitmap textures.
                TsMaskData m;
                m.Image = std::move(picture);
                m.SectionName = UpperCase1251(section);
                m.PropertyName = UpperCase1251(key);
                m.ImgType = itisaTexture;
                m.ImageCount = 1;
                m.Manager = &c_;
                c_.Masks.push_back(std::move(m));
            } else {
                c_.Patterns.push_back(TsPatternData{std::move(picture), UpperCase1251(section), UpperCase1251(key)});
            }
        }
    }
    if (options_.CommonSections.empty()) return;
    std::string text;
    for (const std::string& line : options_.CommonSections) text += line + "\n";
    const TSkinIni common(text);
    for (const std::string& section : common.ReadSections()) {
        for (const std::string& key : common.ReadSection(section)) {
            const std::string v = UpperCase1251(common.ReadString(section, key, "-"));
            if (!isJpeg(v)) continue;
            std::unique_ptr<TPixelBitmap> picture = LoadJpeg(v, false);
            if (picture && picture->Width() > 0)
                c_.Patterns.push_back(TsPatternData{std::move(picture), UpperCase1251(section), UpperCase1251(key)});
        }
    }
}

// The value of the key in the section, else in its parent, its parent's
// parent and so on; `missing` marks a value that counts as absent. A chain
// of parents that comes round again ends at the default.
template <class T, class Read>
T Loader::Inherited(const std::string& section, const std::string& key, const T& missing, const T& fallback,
                    const Read& read) const {
    std::vector<std::string> visited;
    std::string current = section;
    for (;;) {
        T v = read(current, key, missing);
        if (v != missing) return v;
        visited.push_back(UpperCase1251(current));
        const std::string parent = ini_->ReadString(current, "PARENTCLASS", "?");
        if (parent.empty() || parent == "?" || parent == current ||
            std::find(visited.begin(), visited.end(), UpperCase1251(parent)) != visited.end())
            return fallback;
        current = parent;
    }
}

int Loader::ReadSkinInteger(const std::string& section, const std::string& key, int fallback) const {
    return Inherited<int>(section, key, -1, fallback,
                          [this](const std::string& s, const std::string& k, int m) { return ini_->ReadInteger(s, k, m); });
}

std::string Loader::ReadSkinString(const std::string& section, const std::string& key, const std::string& fallback) const {
    return Inherited<std::string>(section, key, "?", fallback, [this](const std::string& s, const std::string& k,
                                                                      const std::string& m) { return ini_->ReadString(s, k, m); });
}

void Loader::ReadSection(const std::string& name, TsGeneralData& gd) const {
    gd.SectionName = name;
    gd.ParentClass = ini_->ReadString(name, "PARENTCLASS", "");
    for (const GeneralKey& k : GeneralKeys()) {
        auto integer = [&](int def) {
            return k.Inherited ? ReadSkinInteger(name, k.Key, def) : ini_->ReadInteger(name, k.Key, def);
        };
        switch (k.Kind) {
            case GeneralKey::Int: gd.*k.IntField = integer(k.Default); break;
            case GeneralKey::Color: gd.*k.IntField = ToRGB(integer(k.Default)); break;
            case GeneralKey::Bevel: gd.*k.BevelField = ToBevel(integer(0)); break;
            case GeneralKey::Font: (gd.*k.FontField)[k.FontIndex] = integer(k.Default); break;
            case GeneralKey::Bool: gd.*k.BoolField = UpperCase1251(ReadSkinString(name, k.Key, "FALSE")) == "TRUE"; break;
            case GeneralKey::Text: gd.*k.TextField = ReadSkinString(name, k.Key, k.TextDefault); break;
        }
    }
    if (gd.GradientData != " ") ParseGradientData(gd.GradientData, gd.GradientArray);
    if (gd.HotGradientData != " ") ParseGradientData(gd.HotGradientData, gd.HotGradientArray);
}

void Loader::ReadCommonSections() {
    std::string text;
    for (const std::string& line : options_.CommonSections) text += line + "\n";
    for (const TIniSection& section : ReadIniSections(text)) {
        if (c_.GetSkinIndex(section.Name) >= 0) continue;
        const TIniSections one{section};
        TsGeneralData gd;
        gd.SectionName = section.Name;
        gd.ParentClass = UpperCase1251(ReadIniString(one, section.Name, "PARENTCLASS", "-1"));
        const TsGeneralData* parent = nullptr;
        for (const TsGeneralData& s : c_.Sections)
            if (UpperCase1251(s.SectionName) == gd.ParentClass) {
                parent = &s;
                break;
            }
        const TsGeneralData defaults;
        const TsGeneralData& base = parent ? *parent : defaults;
        for (const GeneralKey& k : GeneralKeys()) {
            const int v = ReadIniInteger(one, section.Name, k.Key, -1);
            const std::string s = ReadIniString(one, section.Name, k.Key, "?");
            switch (k.Kind) {
                case GeneralKey::Int: gd.*k.IntField = v != -1 ? v : base.*k.IntField; break;
                case GeneralKey::Color: gd.*k.IntField = v != -1 ? ToRGB(v) : base.*k.IntField; break;
                case GeneralKey::Bevel: gd.*k.BevelField = v != -1 ? ToBevel(v) : base.*k.BevelField; break;
                case GeneralKey::Font:
                    (gd.*k.FontField)[k.FontIndex] = v != -1 ? v : (base.*k.FontField)[k.FontIndex];
                    break;
                case GeneralKey::Bool: gd.*k.BoolField = s != "?" ? UpperCase1251(s) == "TRUE" : base.*k.BoolField; break;
                case GeneralKey::Text: gd.*k.TextField = s != "?" ? s : (parent ? base.*k.TextField : std::string()); break;
            }
        }
        if (!gd.GradientData.empty() && gd.GradientData != " ") ParseGradientData(gd.GradientData, gd.GradientArray);
        if (!gd.HotGradientData.empty() && gd.HotGradientData != " ")
            ParseGradientData(gd.HotGradientData, gd.HotGradientArray);
        c_.Sections.push_back(std::move(gd));
    }
}

void Loader::LoadAllGeneralData() {
    TsSkinData& d = c_.SkinData;
    d.Version = ini_->ReadFloat(kGlobalInfo, "VERSION", 0);
    d.Author = ini_->ReadString(kGlobalInfo, "AUTHOR", "");
    d.Description = ini_->ReadString(kGlobalInfo, "DESCRIPTION", "");
    d.Shadow1Color = ini_->ReadInteger(kGlobalInfo, "SHADOW1COLOR", 0);
    d.Shadow1Offset = SkinStrToInt(ini_->ReadString(kGlobalInfo, "SHADOW1OFFSET", "0"));
    d.Shadow1Blur = SkinStrToInt(ini_->ReadString(kGlobalInfo, "SHADOW1BLUR", "-1"));
    d.Shadow1Transparency = SkinStrToInt(ini_->ReadString(kGlobalInfo, "SHADOW1TRANSPARENCY", "0"));
    d.BISpace = ini_->ReadInteger(kGlobalInfo, "BISPACE", 0);
    d.BorderColor = ini_->ReadInteger(kGlobalInfo, "BORDERCOLOR", 0);

    c_.Sections.clear();
    for (const std::string& name : ini_->ReadSections()) {
        TsGeneralData gd;
        ReadSection(name, gd);
        c_.Sections.push_back(std::move(gd));
    }
    if (!options_.CommonSections.empty()) ReadCommonSections();
    ApplyHueOffset(c_, options_.HueOffset);
    ApplySaturation(c_, options_.Saturation);
}

// Five colours apart by blanks, exactly; false otherwise.
bool FiveColors(const std::string& text, std::array<TColor, 5>& out) {
    if (CountWords(text, " ") != 5) return false;
    std::array<TColor, 5> v;
    for (int i = 0; i < 5; ++i)
        if (!TrySkinStrToInt(WordAt(i + 1, text, " "), v[i])) return false;
    out = v;
    return true;
}

void Loader::LoadCollections(const TsStoredSkin& stored) {
    c_.FreeBitmaps();
    c_.MasterBitmap = std::make_unique<TPixelBitmap>(stored.MasterBitmap);
    for (const TsSkinImage& item : stored.Images) {
        TsMaskData m;
        if (item.Image.Width() == 0 || item.Name.empty()) {
            m.SourceRect = TRect{item.Left, item.Top, item.Right, item.Bottom};
        } else {
            m.Image = std::make_unique<TPixelBitmap>(item.Image);
            m.SourceRect = TRect{0, 0, item.Image.Width(), item.Image.Height()};
        }
        m.SectionName = UpperCase1251(item.SectionName);
        m.PropertyName = UpperCase1251(item.PropertyName);
        m.ImageCount = item.ImageCount;
        m.MaskType = item.MaskType;
        if (m.ImageCount == 0) {
            m.ImageCount = 3;
            m.MaskType = 1;
        }
        m.BorderWidth = item.BorderWidth;
        if (m.PropertyName == "PATTERN" || m.PropertyName == "HOTPATTERN") {
            m.DrawMode = item.ImgType == itisaTexture ? item.StretchMode : 0;
            m.ImgType = itisaTexture;
        } else {
            m.ImgType = item.ImgType;
            m.DrawMode = item.StretchMode;
        }
        m.WL = item.WL, m.WT = item.WT, m.WR = item.WR, m.WB = item.WB;
        ComputeCorners(m);
        AddMask(std::move(m));
    }
    c_.FreeJpegs();
    for (const TsSkinPattern& item : stored.Patterns) {
        const TPixelBitmap* picture = item.Image.Width() > 0 ? &item.Image : nullptr;
        for (const TsSkinPattern& other : stored.Patterns)
            if (!picture && &other != &item && other.Name == item.Name && other.Image.Width() > 0) picture = &other.Image;
        if (picture)
            c_.Patterns.push_back(TsPatternData{std::make_unique<TPixelBitmap>(*picture), UpperCase1251(item.SectionName),
                                                UpperCase1251(item.PropertyName)});
    }
    TsSkinData& d = c_.SkinData;
    d.Version = stored.Version;
    d.Author = stored.Author;
    d.Description = stored.Description;
    d.Shadow1Color = stored.Shadow1Color;
    d.Shadow1Offset = stored.Shadow1Offset;
    d.Shadow1Blur = stored.Shadow1Blur;
    d.Shadow1Transparency = stored.Shadow1Transparency;
    d.BorderColor = stored.BorderColor;
    c_.Sections.clear();
    for (const TsSkinGeneral& g : stored.GeneralData) {
        TsGeneralData gd;
        gd.SectionName = g.SectionName;
        gd.ParentClass = g.ParentClass;
        gd.Color = g.Color;
        gd.Bevel = g.Bevel;
        gd.ShadowBlur = g.ShadowBlur;
        gd.ShadowColor = g.ShadowColor;
        gd.ShadowEnabled = g.ShadowEnabled;
        gd.ReservedBoolean = g.ReservedBoolean;
        gd.ShadowOffset = g.ShadowOffset;
        gd.ShadowTransparency = g.ShadowTransparency;
        FiveColors(g.FontColor, gd.FontColor);
        FiveColors(g.HotFontColor, gd.HotFontColor);
        gd.Transparency = g.Transparency;
        gd.GradientPercent = g.GradientPercent;
        gd.GradientData = g.GradientData;
        gd.ImagePercent = g.ImagePercent;
        gd.ShowFocus = g.ShowFocus;
        gd.FadingEnabled = g.FadingEnabled;
        gd.FadingIntervalIn = g.FadingIntervalIn;
        gd.FadingIntervalOut = g.FadingIntervalOut;
        gd.FadingIterations = g.FadingIterations;
        gd.HotColor = g.HotColor;
        gd.HotTransparency = g.HotTransparency;
        gd.HotBevel = g.HotBevel;
        gd.HotGradientPercent = g.HotGradientPercent;
        gd.HotGradientData = g.HotGradientData;
        gd.HotImagePercent = g.HotImagePercent;
        gd.BorderColor1 = g.BorderColor1;
        gd.BorderColor2 = g.BorderColor2;
        if (gd.GradientData != " ") ParseGradientData(gd.GradientData, gd.GradientArray);
        if (gd.HotGradientData != " ") ParseGradientData(gd.HotGradientData, gd.HotGradientArray);
        c_.Sections.push_back(std::move(gd));
    }
    ApplyHueOffset(c_, options_.HueOffset);
    ApplySaturation(c_, options_.Saturation);
}

// Runs one load (a body that gives its own result, or `result` when it
// gives none): whatever breaks it off leaves no skin and one message.
template <class Body>
TSkinLoadResult Guarded(TsSkinContent& content, TSkinLoadResult result, const Body& body) {
    try {
        if constexpr (std::is_void_v<decltype(body())>) {
            body();
            return result;
        } else {
            return body();
        }
    } catch (const rtl::ERuntimeError& e) {
        result.Message = std::string("The skin cannot be loaded: ") + e.what();
    } catch (const std::bad_alloc&) {
        result.Message = "The skin cannot be loaded: it is too large";
    } catch (const std::length_error&) {
        result.Message = "The skin cannot be loaded: it is too large";
    }
    content.Clear();
    content.IsPacked = false;
    result.Status = TSkinLoadStatus::Failed;
    return result;
}

TSkinLoadResult Unreadable(TsSkinContent& content, TSkinLoadResult result, const std::string& message) {
    content.Clear();
    content.MasterBitmap = std::make_unique<TPixelBitmap>();
    result.Status = TSkinLoadStatus::Unreadable;
    result.Message = message;
    return result;
}

// Packed bytes: unpacked, then their Options.dat read.
TSkinLoadResult LoadPacked(TsSkinContent& content, TSkinLoadResult result, const TUnpackResult& unpack,
                           const TacSkinConvertor& convertor, const TSkinLoadOptions& options) {
    if (!unpack.Ok) return Unreadable(content, result, unpack.Message);
    if (!convertor.Options) return Unreadable(content, result, "The packed skin has no Options.dat");
    content.IsPacked = true;
    TSkinLoadResult loaded = LoadSkinFromText(content, *convertor.Options, &convertor, options);
    loaded.SkinName = result.SkinName;
    return loaded;
}

}  // namespace

bool ReadSkinFile(const std::string& programPath, std::string& bytes) {
    const std::string host = rtl::HostPath(programPath);
    if (ReadHostFile(host, bytes)) return true;
    // As the system would, find the name in its folder whatever its case.
    const size_t slash = host.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : host.substr(0, slash == 0 ? 1 : slash);
    const std::string wanted = UpperCase1251(slash == std::string::npos ? host : host.substr(slash + 1));
    DIR* folder = opendir(dir.c_str());
    if (folder == nullptr) return false;
    std::string found;
    while (dirent* entry = readdir(folder)) {
        if (UpperCase1251(entry->d_name) == wanted) {
            found = dir + "/" + entry->d_name;
            break;
        }
    }
    closedir(folder);
    return !found.empty() && ReadHostFile(found, bytes);
}

TSkinLoadResult LoadSkinFromText(TsSkinContent& content, const std::string& optionsText,
                                 const TacSkinConvertor* unpacked, const TSkinLoadOptions& options) {
    return Guarded(content, TSkinLoadResult{}, [&] {
        const TSkinIni ini(optionsText);
        Loader loader(content, &ini, unpacked, options);
        loader.LoadAllMasks();
        loader.LoadAllPatterns();
        loader.LoadAllGeneralData();
    });
}

TSkinLoadResult LoadStoredSkin(TsSkinContent& content, const TsStoredSkin& stored, const TSkinLoadOptions& options) {
    TSkinLoadResult result;
    result.SkinName = stored.Name;
    content.Clear();
    content.SkinData.SkinPath.clear();
    if (!stored.Data.empty()) {
        return Guarded(content, result, [&] {
            // The stored bytes are only read: they stay the stored skin's own.
            TacSkinConvertor convertor;
            const TUnpackResult unpack =
                UnpackSkinData(reinterpret_cast<const uint8_t*>(stored.Data.data()), stored.Data.size(), convertor);
            return LoadPacked(content, result, unpack, convertor, options);
        });
    }
    content.IsPacked = false;
    return Guarded(content, result, [&] {
        Loader loader(content, nullptr, nullptr, options);
        loader.LoadCollections(stored);
    });
}

TSkinLoadResult LoadSkinFromDir(TsSkinContent& content, const std::string& dir, const std::string& skinName,
                                const TsStoredSkins& storedSkins, const TSkinLoadOptions& options) {
    const std::string folder = dir + "\\" + skinName + "\\";
    std::string text;
    if (!skinName.empty() && ReadSkinFile(folder + "Options.dat", text)) {
        content.Clear();
        content.IsPacked = false;
        content.SkinData.SkinPath = folder;
        TSkinLoadResult result = LoadSkinFromText(content, text, nullptr, options);
        result.SkinName = skinName;
        return result;
    }
    int index = storedSkins.IndexOf(skinName);
    if (index < 0) {
        if (storedSkins.Count() == 0) {
            content.Clear();
            TSkinLoadResult none;
            none.Status = TSkinLoadStatus::NotFound;
            none.SkinName = skinName;
            return none;
        }
        index = 0;
    }
    return LoadStoredSkin(content, storedSkins.Items(index), options);
}

TSkinLoadResult LoadSkinFromPacked(TsSkinContent& content, const std::string& skinDirectory,
                                   const std::string& skinName, const std::string& fullSkinDirectory,
                                   const TSkinLoadOptions& options) {
    TSkinLoadResult result;
    result.SkinName = skinName;
    content.Clear();
    content.SkinData.SkinPath = fullSkinDirectory + "\\";
    return Guarded(content, result, [&] {
        TacSkinConvertor convertor;
        const TUnpackResult unpack = ExtractPackedData(NormalDir(skinDirectory) + skinName + ".asz", convertor);
        return LoadPacked(content, result, unpack, convertor, options);
    });
}

// ---- hue and saturation -----------------------------------------------------

namespace {

template <class Shift>
void ShiftPicture(const TPixels& px, const Shift& shift) {
    if (px.Empty()) return;
    for (int y = 0; y < px.Height; ++y) {
        for (int x = 0; x < px.Width; ++x) {
            uint8_t* p = px.At(x, y);
            if (IsKeyPixel(p, clFuchsia) || (p[0] == p[1] && p[1] == p[2])) continue;
            TColor c = shift(PixelColor(p));
            // A real pixel must never become a hole.
            if (c == clFuchsia) c = MakeColor(255, 0, 254);
            SetPixelColor(p, c);
        }
    }
}

template <class Shift>
void ShiftSkin(TsSkinContent& content, const Shift& shiftRGB) {
    // Colours that name a system colour are left as they are.
    auto shift = [&shiftRGB](TColor c) { return (c >> 24) != 0 ? c : shiftRGB(c); };
    ShiftPicture(content.MasterPixels(), shift);
    for (TsMaskData& m : content.Masks)
        if (m.Image) ShiftPicture(m.Image->Pixels(), shift);
    for (TsGeneralData& gd : content.Sections) {
        gd.Color = shift(gd.Color);
        gd.HotColor = shift(gd.HotColor);
        for (TColor& c : gd.FontColor)
            if (c != -1) c = shift(c);
        for (TColor& c : gd.HotFontColor)
            if (c != -1) c = shift(c);
        for (TsGradPart& part : gd.GradientArray) {
            part.Color1 = shift(part.Color1);
            part.Color2 = shift(part.Color2);
        }
        for (TsGradPart& part : gd.HotGradientArray) {
            part.Color1 = shift(part.Color1);
            part.Color2 = shift(part.Color2);
        }
    }
    content.SkinData.Shadow1Color = shift(content.SkinData.Shadow1Color);
    content.SkinData.BorderColor = shift(content.SkinData.BorderColor);
}

}  // namespace

void ApplyHueOffset(TsSkinContent& content, int degrees) {
    if (degrees == 0) return;
    ShiftSkin(content, [degrees](TColor c) { return ShiftColorHue(c, degrees); });
}

void ApplySaturation(TsSkinContent& content, int value) {
    if (value == 0) return;
    const int delta = (-value) % 101;
    ShiftSkin(content, [delta](TColor c) { return ShiftColorSaturation(c, delta); });
}

}  // namespace skin
