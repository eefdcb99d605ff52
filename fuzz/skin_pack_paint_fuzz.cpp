// A packed skin as a disk or a form may hold it, loaded and then painted:
// every section it loaded as an item (both states, over a parent's picture
// and over none, in rectangles from one pixel to larger than its masks),
// with its border mask and text colours, and every mask in every state as
// a frame, a glyph at the picture's edges, border corners and region runs.
// Whatever the skin says, nothing is read or written outside a picture.
// seeds: data/skins/*.asz src/skin/core/stored/*.asz
#include <algorithm>
#include <vector>

#include "skin/core/maskpaint.h"
#include "skin/core/sectionpaint.h"
#include "skin_checks.h"

using namespace skin;

namespace {

constexpr int kWidth = 53, kHeight = 37;  // odd, so that halves and centres round

// The parent's picture: a pattern rather than one colour.
TPixelBitmap ParentPicture() {
    TPixelBitmap parent(kWidth + 9, kHeight + 7);
    const TPixels px = parent.Pixels();
    for (int y = 0; y < px.Height; ++y)
        for (int x = 0; x < px.Width; ++x) {
            uint8_t* p = px.At(x, y);
            p[0] = static_cast<uint8_t>(x * 7);
            p[1] = static_cast<uint8_t>(y * 5);
            p[2] = static_cast<uint8_t>(x ^ y);
        }
    return parent;
}

void PaintSections(const TsSkinContent& content, const TPixels& target, const TParentCacheInfo& parent) {
    const TRect rects[] = {{0, 0, kWidth, kHeight}, {0, 0, 1, 1}, {kWidth - 3, kHeight - 2, kWidth, kHeight},
                           {5, 4, 30, 11}};
    for (int i = 0; i < static_cast<int>(content.Sections.size()); ++i) {
        const std::string& name = content.Sections[static_cast<size_t>(i)].SectionName;
        for (int state = 0; state <= 1; ++state) {
            for (const TRect& r : rects) {
                for (const TParentCacheInfo& cache : {TParentCacheInfo{}, parent}) {
                    TSectionBackground args;
                    args.SectionIndex = i;
                    args.SectionName = name;
                    args.ParentCache = cache;
                    args.State = state;
                    args.Rect = r;
                    args.Offset = TPoint{2, 1};
                    args.ReplyBgColor = 0x203040;
                    PaintSectionItem(content, target, args);
                }
            }
            TSectionBackground args;
            args.SectionIndex = i;
            args.SectionName = name;
            args.ParentCache = parent;
            args.Rect = rects[0];
            PaintSectionWithMask(content, target, args, state == 1, content.GetMaskIndex(i, name, "BORDERSMASK"));
            SkinTextPasses(content, i, state == 1, state == 0);
        }
    }
}

void PaintMasks(const TsSkinContent& content, const TPixels& target, const TParentCacheInfo& parent) {
    std::vector<TRect> runs;
    for (const TsMaskData& mask : content.Masks) {
        if (mask.Manager == nullptr) continue;
        const int states = std::min(mask.ImageCount, 6);
        for (int state = 0; state < states; ++state) {
            DrawSkinRect(target, TRect{0, 0, kWidth, kHeight}, true, parent, mask, state, false);
            DrawSkinRect(target, TRect{3, 2, 5, 4}, true, TParentCacheInfo{}, mask, state, true);
            for (TPoint p : {TPoint{0, 0}, TPoint{-mask.FrameWidth() / 2, -3}, TPoint{kWidth - 2, kHeight - 1}}) {
                DrawSkinGlyph(target, p, state, mask, 1, parent);
                DrawSkinGlyph(target, p, state, mask, 0);
            }
            PaintBorderCorners(target, mask, state, kWidth, kHeight, clFuchsia, parent);
            PaintBorderCorners(target, mask, state, 4, 3, 0x102030, TParentCacheInfo{});
        }
        DrawMaskRect(mask.SourceRect, TRect{-4, -4, kWidth + 4, kHeight / 2}, target, mask, parent);
        for (bool bottom : {false, true}) GetMaskRegionRects(runs, kWidth, mask, bottom, 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TsStoredSkin stored;
    stored.Data.assign(reinterpret_cast<const char*>(data), size);
    TsSkinContent content;
    const TSkinLoadResult result = LoadStoredSkin(content, stored, {});
    fuzz::CheckLoadedSkin(content, result);
    if (result.Status != TSkinLoadStatus::Loaded) return 0;
    ApplyHueOffset(content, 200);
    ApplySaturation(content, -40);
    static const TPixelBitmap parentPicture = ParentPicture();
    const TParentCacheInfo parent = MakeParentCacheInfo(parentPicture.Pixels(), 3, 2);
    for (int bytesPerPixel : {3, 4}) {
        TPixelBitmap target(kWidth, kHeight, bytesPerPixel);
        PaintSections(content, target.Pixels(), parent);
        PaintMasks(content, target.Pixels(), parent);
    }
    return 0;
}
