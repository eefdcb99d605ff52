#include "skin/core/texture.h"

#include <algorithm>
#include <utility>

#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"

namespace skin {

namespace {

TRect Handed(const TRect& r) { return r.IsEmpty() ? kNoRect : r; }

// The first and the end position of the tiles of size `tile`, laid from
// `from` up to `to`, that reach into [shownFrom, shownTo): however large
// the area, only the tiles the picture shows are visited.
std::pair<int, int> ShownTiles(int from, int to, int tile, int shownFrom, int shownTo) {
    const int first = shownFrom > from ? from + (shownFrom - from) / tile * tile : from;
    return {first, std::min(to, shownTo)};
}

// Tiles `tile` of the picture over Area from its top-left, cutting the last
// column and row.
void Tile(const TPixels& bmp, const TPixels& pic, TRect tile, TRect area) {
    const int tw = tile.Width(), th = tile.Height();
    if (tw <= 0 || th <= 0) return;
    const auto [x0, x1] = ShownTiles(area.Left, area.Right, tw, 0, bmp.Width);
    const auto [y0, y1] = ShownTiles(area.Top, area.Bottom, th, 0, bmp.Height);
    for (int y = y0; y < y1; y += th)
        for (int x = x0; x < x1; x += tw)
            CopyRect(bmp, x, y, pic,
                     TRect{tile.Left, tile.Top, tile.Left + std::min(tw, area.Right - x), tile.Top + std::min(th, area.Bottom - y)});
}

}  // namespace

void PlaceTexture(const TPixels& bmp, TRect& rect, int mode, const TsMaskData& mask) {
    if (mask.Image && !mask.Image->Pixels().Empty()) {
        TileGraphic(bmp, rect, mask.Image->Pixels());
        rect = kNoRect;
        return;
    }
    const TPixels pic = mask.Picture();
    const TRect src = IntersectRect(mask.SourceRect, TRect{0, 0, pic.Width, pic.Height});
    if (mask.Manager == nullptr || pic.Empty() || src.IsEmpty() || rect.IsEmpty()) return;
    const int w = src.Width(), h = src.Height();
    const TRect r = rect;
    switch (mode) {
        case 0:
        case 10:  // whole tiles, the strips at the right and the bottom cut
            Tile(bmp, pic, src, r);
            rect = kNoRect;
            break;
        case 1:
            StretchRect(bmp, r, pic, src);
            rect = kNoRect;
            break;
        case 2:
            Tile(bmp, pic, src, TRect{r.Left, r.Top, r.Right, std::min(r.Bottom, r.Top + h)});
            rect = Handed(TRect{r.Left, r.Top + h, r.Right, r.Bottom});
            break;
        case 3:
            Tile(bmp, pic, src, TRect{r.Left, r.Top, std::min(r.Right, r.Left + w), r.Bottom});
            rect = Handed(TRect{r.Left + w, r.Top, r.Right, r.Bottom});
            break;
        case 4:
            StretchRect(bmp, TRect{r.Left, r.Top, r.Right, r.Top + h}, pic, src);
            rect = Handed(TRect{r.Left, r.Top + h, r.Right, r.Bottom});
            break;
        case 5:
            StretchRect(bmp, TRect{r.Left, r.Top, r.Left + w, r.Bottom}, pic, src);
            rect = Handed(TRect{r.Left + w, r.Top, r.Right, r.Bottom});
            break;
        case 6: {
            const int top = std::max(r.Top, r.Bottom - h);
            Tile(bmp, pic, src, TRect{r.Left, top, r.Right, r.Bottom});
            rect = Handed(TRect{r.Left, r.Top, r.Right, top});
            break;
        }
        case 7: {
            const int left = std::max(r.Left, r.Right - w);
            Tile(bmp, pic, src, TRect{left, r.Top, r.Right, r.Bottom});
            rect = Handed(TRect{r.Left, r.Top, left, r.Bottom});
            break;
        }
        case 8:
        case 9:
        case 11:
        case 12:
        case 13:
        case 14:
            Tile(bmp, pic, src, r);
            rect = Handed(TRect{std::max(r.Left, r.Right - w), r.Top, r.Right, r.Bottom});
            break;
        default:  // no such placement: everything gets the base colour
            break;
    }
}

void PlaceMaskedTexture(const TPixels& bmp, TRect& rect, const TParentCacheInfo& parentCache, int mode,
                        const TsMaskData& mask, TColor parentColor) {
    if (mask.Manager == nullptr && !mask.Image) return;
    if (mode != 0 && mode != 10) return;
    const int tw = mask.FrameWidth(), th = mask.SourceRect.Height() / 2;
    if (tw <= 0 || th <= 0 || rect.IsEmpty()) return;
    const TRect r = rect;
    const TRect tile{mask.SourceRect.Left, mask.SourceRect.Top, mask.SourceRect.Left + tw, mask.SourceRect.Top + th};
    auto draw = [&](int x, int y, int w, int h) {
        DrawMaskRect(TRect{tile.Left, tile.Top, tile.Left + w, tile.Top + h}, TRect{x, y, x + w, y + h}, bmp, mask,
                     parentCache);
    };
    rect = kNoRect;
    const auto [x0, x1] = ShownTiles(r.Left, r.Right, tw, 0, bmp.Width);
    const auto [y0, y1] = ShownTiles(r.Top, r.Bottom, th, 0, bmp.Height);
    if (mode == 0) {
        for (int y = y0; y < y1; y += th)
            for (int x = x0; x < x1; x += tw) draw(x, y, std::min(tw, r.Right - x), std::min(th, r.Bottom - y));
        return;
    }
    // Mode 10: whole tiles only; what is left shows what lies behind.
    const int cols = r.Width() / tw, rows = r.Height() / th;
    for (int y = y0; y < std::min(y1, r.Top + rows * th); y += th)
        for (int x = x0; x < std::min(x1, r.Left + cols * tw); x += tw) draw(x, y, tw, th);
    auto behind = [&](TRect strip) {
        if (strip.IsEmpty()) return;
        if (parentCache.Ready) {
            CopyRect(bmp, strip.Left, strip.Top, parentCache.Bmp,
                     OffsetRect(strip, parentCache.X, parentCache.Y));
        } else if (parentColor != clFuchsia) {
            FillRect(bmp, strip, parentColor);
        }
    };
    behind(TRect{r.Left + cols * tw, r.Top, r.Right, r.Bottom});
    behind(TRect{r.Left, r.Top + rows * th, r.Left + cols * tw, r.Bottom});
}

}  // namespace skin
