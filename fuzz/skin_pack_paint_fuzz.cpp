// A packed skin as a disk or a form may hold it, loaded and then painted:
// every section it loaded as an item (both states, over a parent's picture
// and over none, in rectangles from one pixel to larger than its masks),
// with its border mask and text colours, and every mask in its first and
// last state as a frame, a glyph at the picture's edges, border corners and
// region runs.
// Whatever the skin says, nothing is read or written outside a picture.
// The packed entries are zlib streams, which a change of a byte breaks: the
// mutator mostly unpacks, changes Options.dat or one picture, and packs again.
// seeds: data/skins/*.asz src/skin/core/stored/*.asz
// options: -max_len=65536
#include <algorithm>
#include <cstring>
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
    const TRect rects[] = {{0, 0, kWidth, kHeight}, {0, 0, 1, 1}, {kWidth - 3, kHeight - 2, kWidth, kHeight}};
    for (int i = 0; i < static_cast<int>(content.Sections.size()); ++i) {
        TSectionBackground args;
        args.SectionIndex = i;
        args.SectionName = content.Sections[static_cast<size_t>(i)].SectionName;
        args.Offset = TPoint{2, 1};
        args.ReplyBgColor = 0x203040;
        for (int state = 0; state <= 1; ++state) {
            args.State = state;
            for (const TRect& r : rects) {
                args.Rect = r;
                args.ParentCache = r.Width() > 1 ? parent : TParentCacheInfo{};
                PaintSectionItem(content, target, args);
            }
            args.Rect = rects[0];
            PaintSectionWithMask(content, target, args, state == 1,
                                 content.GetMaskIndex(i, args.SectionName, "BORDERSMASK"));
            SkinTextPasses(content, i, state == 1, state == 0);
        }
    }
}

void PaintMasks(const TsSkinContent& content, const TPixels& target, const TParentCacheInfo& parent) {
    std::vector<TRect> runs;
    for (const TsMaskData& mask : content.Masks) {
        if (mask.Manager == nullptr) continue;
        // The first and the last frame: the last one ends at the picture's edge.
        for (int state : {0, mask.ImageCount - 1}) {
            DrawSkinRect(target, TRect{0, 0, kWidth, kHeight}, true, parent, mask, state, false);
            DrawSkinRect(target, TRect{3, 2, 5, 4}, true, TParentCacheInfo{}, mask, state, true);
            DrawSkinGlyph(target, TPoint{-mask.FrameWidth() / 2, -3}, state, mask, 1, parent);
            DrawSkinGlyph(target, TPoint{kWidth - 2, kHeight - 1}, state, mask, 0);
            PaintBorderCorners(target, mask, state, kWidth, kHeight, clFuchsia, parent);
            PaintBorderCorners(target, mask, state, 4, 3, 0x102030, TParentCacheInfo{});
        }
        DrawMaskRect(mask.SourceRect, TRect{-4, -4, kWidth + 4, kHeight / 2}, target, mask, parent);
        for (bool bottom : {false, true}) GetMaskRegionRects(runs, kWidth, mask, bottom, 0);
    }
}

}  // namespace

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
    TacSkinConvertor convertor;
    // Now and then the packed bytes themselves.
    if (seed % 8 == 0 || !UnpackSkinData(data, size, convertor).Ok) return LLVMFuzzerMutate(data, size, maxSize);
    std::vector<TPackEntry> entries;
    if (convertor.Options) entries.push_back({"Options.dat", *convertor.Options});
    for (const TacImageItem& item : convertor.Files) entries.push_back({item.FileName, item.Data});
    if (entries.empty()) return LLVMFuzzerMutate(data, size, maxSize);
    // Options.dat half of the time, else one of the pictures.
    const size_t which = (seed / 8) % 2 == 0 ? 0 : (seed / 16) % entries.size();
    std::string& bytes = entries[which].Data;
    const size_t before = bytes.size();
    bytes.resize(before * 2 + 64);
    bytes.resize(LLVMFuzzerMutate(reinterpret_cast<uint8_t*>(bytes.data()), before, bytes.size()));
    const std::string packed = PackSkinFiles(entries);
    if (packed.size() > maxSize) return LLVMFuzzerMutate(data, size, maxSize);
    std::memcpy(data, packed.data(), packed.size());
    return packed.size();
}

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
    // Caches are 24-bit; a 32-bit picture now and then.
    TPixelBitmap target(kWidth, kHeight, size % 4 == 0 ? 4 : 3);
    PaintSections(content, target.Pixels(), parent);
    PaintMasks(content, target.Pixels(), parent);
    return 0;
}
