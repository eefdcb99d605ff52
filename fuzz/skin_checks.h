// What every loaded skin must hold, whatever its files said: the painting
// routines rely on it. Shared by the skin fuzz targets.
#pragma once
#include <cstdlib>

#include "skin/core/skinload.h"

namespace fuzz {

inline void CheckLoadedSkin(const skin::TsSkinContent& content, const skin::TSkinLoadResult& result) {
    auto check = [](bool condition) {
        if (!condition) std::abort();
    };
    if (result.Status != skin::TSkinLoadStatus::Loaded) {
        // Nothing half-loaded stays behind, and the player is told why.
        check(content.Sections.empty() && content.Masks.empty() && content.Patterns.empty());
        check(result.Status == skin::TSkinLoadStatus::NotFound || !result.Message.empty());
        return;
    }
    for (const skin::TsMaskData& m : content.Masks) {
        if (m.Manager == nullptr) continue;
        const skin::TPixels picture = m.Picture();
        const skin::TRect& r = m.SourceRect;
        check(!picture.Empty());
        // A small JPEG texture keeps its own picture and no rectangle: all of it is used.
        if (m.Image && r == skin::TRect{}) continue;
        check(!r.IsEmpty() && r.Left >= 0 && r.Top >= 0 && r.Right <= picture.Width && r.Bottom <= picture.Height);
        check(m.ImageCount >= 1 && m.MaskType >= 0 && m.WL >= 0 && m.WT >= 0 && m.WR >= 0 && m.WB >= 0);
    }
    for (const skin::TsPatternData& p : content.Patterns) check(p.Image != nullptr);
}

}  // namespace fuzz
