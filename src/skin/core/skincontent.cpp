#include "skin/core/skincontent.h"

#include <algorithm>

namespace skin {

int TsSkinContent::GetSkinIndex(std::string_view section) const {
    for (size_t i = 0; i < Sections.size(); ++i)
        if (Sections[i].SectionName == section) return static_cast<int>(i);
    return -1;
}

int TsSkinContent::FindOwn(Kind kind, std::string_view section, std::string_view propertyName) const {
    if (kind == Kind::Pattern) {
        for (size_t i = 0; i < Patterns.size(); ++i)
            if (Patterns[i].SectionName == section && Patterns[i].PropertyName == propertyName) return static_cast<int>(i);
        return -1;
    }
    for (size_t i = 0; i < Masks.size(); ++i) {
        const TsMaskData& m = Masks[i];
        if (kind == Kind::Texture && m.ImgType != itisaTexture) continue;
        if (m.SectionName == section && m.PropertyName == propertyName) return static_cast<int>(i);
    }
    return -1;
}

int TsSkinContent::Lookup(Kind kind, int skinIndex, std::string_view section, std::string_view propertyName) const {
    // Each section is asked once: a chain of parents that comes round again ends the search.
    std::vector<bool> visited(Sections.size(), false);
    while (skinIndex >= 0 && !section.empty()) {
        if (int own = FindOwn(kind, section, propertyName); own >= 0) return own;
        if (!IsValidSkinIndex(skinIndex) || visited[skinIndex]) return -1;
        visited[skinIndex] = true;
        const std::string& parent = Sections[skinIndex].ParentClass;
        if (parent.empty() || parent == section) return -1;
        skinIndex = GetSkinIndex(parent);
        section = parent;
    }
    return -1;
}

int TsSkinContent::GetMaskIndex(int skinIndex, std::string_view section, std::string_view propertyName) const {
    return Lookup(Kind::AnyMask, skinIndex, section, propertyName);
}

int TsSkinContent::GetTextureIndex(int skinIndex, std::string_view section, std::string_view propertyName) const {
    if (Masks.empty()) return -1;
    return Lookup(Kind::Texture, skinIndex, section, propertyName);
}

int TsSkinContent::GetPatternIndex(int skinIndex, std::string_view section, std::string_view propertyName) const {
    if (Patterns.empty()) return -1;
    return Lookup(Kind::Pattern, skinIndex, section, propertyName);
}

int TsSkinContent::FindMaskIndex(std::string_view section, std::string_view propertyName) const {
    if (section.empty()) return -1;
    return FindOwn(Kind::AnyMask, section, propertyName);
}

void TsSkinContent::FreeBitmaps() {
    while (!Masks.empty()) Masks.pop_back();
    MasterBitmap.reset();
}

void TsSkinContent::FreeJpegs() {
    while (!Patterns.empty()) Patterns.pop_back();
}

void TsSkinContent::Clear() {
    FreeBitmaps();
    FreeJpegs();
    Sections.clear();
    const std::string path = SkinData.SkinPath;
    SkinData = TsSkinData{};
    SkinData.SkinPath = path;
}

}  // namespace skin
