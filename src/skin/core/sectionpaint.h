// A skin section's background rendered into a picture: its colour, its
// gradient and its texture mixed by their shares, over the parent's cached
// picture when the section is transparent; the corner images and border of
// a section item; and the colours of skinned text.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "skin/core/colors.h"
#include "skin/core/geometry.h"
#include "skin/core/parentcache.h"
#include "skin/core/pixels.h"
#include "skin/core/skincontent.h"

namespace skin {

struct TSectionBackground {
    int SectionIndex = -1;
    std::string SectionName;     // the name textures are looked up by
    TParentCacheInfo ParentCache;
    int State = 0;               // 0 the normal set of values, any other the hot set
    TRect Rect;                  // where to paint in the target
    TPoint Offset;               // added to the parent cache's offset where its picture is read
    int TextureIndex = -1;       // masks of the textures; -1: looked up by name
    int HotTextureIndex = -1;
    TColor CustomColor = clFuchsia;  // an own colour: no texture, gradient or transparency
    // The parent's plain colour where the parent has no picture to show
    // through (clFuchsia: none). A fully transparent section shows it.
    TColor ReplyBgColor = clFuchsia;
    // The colour of a parent without a cache, for the strips a masked
    // texture leaves (clFuchsia: none).
    TColor ParentColor = clFuchsia;
    // Turns colours that name a system colour into RGB before they become
    // pixels; without one colours are taken as they are.
    std::function<TColor(TColor)> ColorToRGB;
};

// Renders the background into Rect of Bmp. Nothing for an invalid section.
void PaintSectionBackground(const TsSkinContent& skin, const TPixels& bmp, const TSectionBackground& args);

// The background in the form that masked items use (Hot instead of a
// state; only the given texture indexes; the parent's picture, never its
// plain colour), then the mask over it when the mask index is valid.
void PaintSectionWithMask(const TsSkinContent& skin, const TPixels& bmp, const TSectionBackground& args, bool hot,
                          int maskIndex);

// The background, then the section's corner images and its border. Only
// for a rectangle that is not empty and lies inside the picture.
void PaintSectionItem(const TsSkinContent& skin, const TPixels& bmp, const TSectionBackground& args);

// The corner images of a section (IMGTOPLEFT, IMGTOPRIGHT, IMGBTMLEFT,
// IMGBTMRIGHT) placed in the corners of Rect.
void PaintSectionCorners(const TsSkinContent& skin, const TPixels& bmp, int sectionIndex, TRect rect, int state,
                         const TParentCacheInfo& parentCache);

// One pass of skinned text: drawn at (DX, DY) from its place in Color.
struct TTextPass {
    int DX = 0;
    int DY = 0;
    TColor Color = 0;
    bool operator==(const TTextPass&) const = default;
};
// The passes that draw a section's text: the contours that the section
// has (left, top, right, bottom), then the text; disabled text once, dimmed
// toward the section's colour. Empty for an invalid section.
std::vector<TTextPass> SkinTextPasses(const TsSkinContent& skin, int sectionIndex, bool hot, bool enabled,
                                      const std::function<TColor(TColor)>& colorToRGB = nullptr);

}  // namespace skin
