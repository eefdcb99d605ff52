// Packed skins (.asz files and stored skins) as a disk or a form may hold
// them: any bytes unpack or are refused with a message; whatever unpacks
// loads as a skin or fails with one message, never a read of missing data;
// and what loaded paints as the controls and frames would paint it: every
// section's background, corners and border in both states over a parent's
// picture, every mask whole and nine-part, its border corners and region
// rectangles, and every section's text colours.
// seeds: data/skins/*.asz src/skin/core/stored/*.asz
#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/sectionpaint.h"
#include "skin/core/skinload.h"

namespace {

void PaintEverything(const skin::TsSkinContent& content) {
    using namespace skin;
    TPixelBitmap parent(48, 40);
    FillRect(parent.Pixels(), TRect{0, 0, 48, 40}, 0x406080);
    const TParentCacheInfo behind = MakeParentCacheInfo(parent.Pixels(), 3, 2);
    // A small control and a rectangle far larger than its picture (a
    // control that the layout made huge): only what is shown is painted.
    TPixelBitmap control(37, 23);
    const TRect rects[] = {TRect{0, 0, 37, 23}, TRect{2, 1, 30, 20}, TRect{0, 0, 1 << 20, 1 << 20}};
    for (int i = 0; i < static_cast<int>(content.Sections.size()); ++i) {
        for (const TRect& r : rects) {
            for (int state = 0; state < 2; ++state) {
                TSectionBackground a;
                a.SectionIndex = i;
                a.SectionName = content.Sections[static_cast<size_t>(i)].SectionName;
                a.ParentCache = behind;
                a.State = state;
                a.Rect = r;
                PaintSectionBackground(content, control.Pixels(), a);
                PaintSectionItem(content, control.Pixels(), a);
                PaintSectionWithMask(content, control.Pixels(), a, state != 0, -1);
            }
        }
        SkinTextPasses(content, i, false, true);
        SkinTextPasses(content, i, true, false);
    }
    std::vector<TRect> region;
    for (const TsMaskData& mask : content.Masks) {
        for (int state = 0; state < 3; ++state) {
            DrawSkinRect(control.Pixels(), TRect{0, 0, 37, 23}, true, behind, mask, state, true);
            DrawSkinGlyph(control.Pixels(), TPoint{1, 1}, state, mask, 1, behind);
            PaintBorderCorners(control.Pixels(), mask, state, 37, 23, clFuchsia, behind);
        }
        GetMaskRegionRects(region, 37, mask, false, 0);
        GetMaskRegionRects(region, 37, mask, true, 22);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    skin::TacSkinConvertor convertor;
    const skin::TUnpackResult unpacked = skin::UnpackSkinData(data, size, convertor);
    if (!unpacked.Ok && (unpacked.Message.empty() || convertor.Options || !convertor.Files.empty())) __builtin_trap();
    skin::TsStoredSkin stored;
    stored.Data.assign(reinterpret_cast<const char*>(data), size);
    skin::TsSkinContent content;
    const skin::TSkinLoadResult r = skin::LoadStoredSkin(content, stored, {});
    if (r.Status != skin::TSkinLoadStatus::Loaded && r.Message.empty()) __builtin_trap();
    if (r.Status != skin::TSkinLoadStatus::Loaded && (!content.Sections.empty() || !content.Masks.empty())) __builtin_trap();
    PaintEverything(content);
    return 0;
}
