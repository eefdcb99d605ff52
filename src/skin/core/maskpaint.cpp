#include "skin/core/maskpaint.h"

#include <algorithm>
#include <utility>

#include "skin/core/blend.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/skincontent.h"

namespace skin {

void CopyThroughMask(const TPixels& dst, int x, int y, const TPixels& src, TRect srcRect, int maskOffset, int mode,
                     const TParentCacheInfo* parent) {
    if (dst.Empty() || src.Empty()) return;
    // Both the picture and its mask row must lie inside the source.
    TRect sr = IntersectRect(srcRect, TRect{0, 0, src.Width, src.Height - maskOffset});
    if (sr.IsEmpty()) return;
    x += sr.Left - srcRect.Left;
    y += sr.Top - srcRect.Top;
    const bool ghost = mode != 1;
    for (int r = 0; r < sr.Height(); ++r) {
        const int dy = y + r;
        if (dy < 0 || dy >= dst.Height) continue;
        for (int c = 0; c < sr.Width(); ++c) {
            const int dx = x + c;
            if (dx < 0 || dx >= dst.Width) continue;
            const uint8_t* pic = src.At(sr.Left + c, sr.Top + r);
            uint8_t* d = dst.At(dx, dy);
            if (IsKeyPixel(pic, clFuchsia)) {
                if (parent)
                    if (const uint8_t* p = parent->PixelBehind(dx, dy)) std::copy(p, p + 3, d);
                continue;
            }
            const uint8_t* m = src.At(sr.Left + c, sr.Top + r + maskOffset);
            for (int k = 0; k < 3; ++k) {
                const int mk = ghost ? std::min(m[k] + 100, 255) : m[k];
                d[k] = static_cast<uint8_t>(ClampToByte(((d[k] - pic[k]) * mk + pic[k] * 256) >> 8));
            }
        }
    }
}

namespace {

// Shrinks two corner sizes that do not fit `length` so that they fill it
// exactly: each loses half the overflow, the far one the odd pixel.
void ShrinkCorners(int& nearSize, int& farSize, int length) {
    nearSize = std::max(nearSize, 0);
    farSize = std::max(farSize, 0);
    const int over = nearSize + farSize - length;
    if (over <= 0) return;
    nearSize -= over / 2;
    farSize -= over - over / 2;
    if (farSize < 0) { nearSize += farSize; farSize = 0; }
    if (nearSize < 0) { farSize += nearSize; nearSize = 0; }
}

// Paints the nine pieces of one frame; `corner` and `fill` copy one piece
// (source rectangle in the picture, target point), `stretch` one side or
// the centre over a target rectangle.
struct NinePart {
    TRect Target;
    int FX, FY, FW, FH;      // the frame in the picture
    int WL, WT, WR, WB;      // the mask's corner sizes
    int wl, wt, wr, wb;      // after shrinking
    int CW, CH;              // one side or centre tile
};

template <class Copy>
void TileAcross(const Copy& copy, int srcX, int srcY, int tile, int height, int from, int to, int y) {
    if (tile <= 0 || height <= 0) return;
    int x = from;
    for (; x + tile <= to; x += tile) copy(TRect{srcX, srcY, srcX + tile, srcY + height}, x, y);
    if (x < to) copy(TRect{srcX, srcY, srcX + (to - x), srcY + height}, x, y);
}

template <class Copy>
void TileDown(const Copy& copy, int srcX, int srcY, int width, int tile, int from, int to, int x) {
    if (tile <= 0 || width <= 0) return;
    int y = from;
    for (; y + tile <= to; y += tile) copy(TRect{srcX, srcY, srcX + width, srcY + tile}, x, y);
    if (y < to) copy(TRect{srcX, srcY, srcX + width, srcY + (to - y)}, x, y);
}

template <class Copy>
void TileBoth(const Copy& copy, int srcX, int srcY, int tw, int th, TRect area) {
    if (tw <= 0 || th <= 0 || area.IsEmpty()) return;
    int y = area.Top;
    for (; y < area.Bottom; y += th) TileAcross(copy, srcX, srcY, tw, std::min(th, area.Bottom - y), area.Left, area.Right, y);
}

}  // namespace

void DrawSkinRect(const TPixels& bmp, TRect r, bool fillCentre, const TParentCacheInfo& parentCache,
                  const TsMaskData& mask, int state, bool useParentCache) {
    if (state == 0 && (mask.DrawMode & 2)) return;
    if (bmp.Empty() || r.Width() < 2 || r.Height() < 2 || mask.Manager == nullptr) return;
    if (mask.ImageCount <= 0) return;  // no frames: nothing to cut a state from
    const TPixels pic = mask.Picture();
    if (pic.Empty()) return;

    NinePart n{};
    n.Target = r;
    n.FW = mask.FrameWidth();
    n.FH = mask.FrameHeight();
    if (n.FW <= 0 || n.FH <= 0) return;
    state = std::clamp(state, 0, mask.ImageCount - 1);
    n.FX = mask.SourceRect.Left + state * n.FW;
    n.FY = mask.SourceRect.Top;
    n.WL = std::max(mask.WL, 0);
    n.WT = std::max(mask.WT, 0);
    n.WR = std::max(mask.WR, 0);
    n.WB = std::max(mask.WB, 0);
    n.wl = n.WL, n.wr = n.WR, n.wt = n.WT, n.wb = n.WB;
    ShrinkCorners(n.wl, n.wr, r.Width());
    ShrinkCorners(n.wt, n.wb, r.Height());
    n.CW = std::max(0, n.FW - n.WL - n.WR);
    n.CH = std::max(0, n.FH - n.WT - n.WB);

    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    const bool masked = mask.MaskType >= 1;
    const bool centre = fillCentre && (mask.DrawMode & 4);

    // Corners: the outer edges of the picture's corners are kept when they shrink.
    const TParentCacheInfo* parent = parentCache.Ready ? &parentCache : nullptr;
    auto corner = [&](int sx, int sy, int w, int h, int dx, int dy) {
        if (w <= 0 || h <= 0) return;
        TRect src{sx, sy, sx + w, sy + h};
        if (masked)
            CopyThroughMask(bmp, dx, dy, pic, src, n.FH, 1, parent);
        else
            CopyTransparentRect(bmp, pic, dx, dy, useParentCache, parentCache, clFuchsia, src);
    };
    corner(n.FX, n.FY, n.wl, n.wt, L, T);
    corner(n.FX + n.FW - n.wr, n.FY, n.wr, n.wt, R - n.wr, T);
    corner(n.FX, n.FY + n.FH - n.wb, n.wl, n.wb, L, B - n.wb);
    corner(n.FX + n.FW - n.wr, n.FY + n.FH - n.wb, n.wr, n.wb, R - n.wr, B - n.wb);

    const int sideX = n.FX + n.WL, sideY = n.FY + n.WT;
    const TRect middle{L + n.wl, T + n.wt, R - n.wr, B - n.wb};

    if (!masked && (mask.DrawMode & 1)) {
        // Sides and centre stretched, one piece each.
        auto stretch = [&](TRect dst, TRect src) {
            if (!dst.IsEmpty() && !src.IsEmpty()) StretchRect(bmp, dst, pic, src);
        };
        stretch(TRect{middle.Left, T, middle.Right, T + n.wt}, TRect{sideX, n.FY, sideX + n.CW, n.FY + n.wt});
        stretch(TRect{middle.Left, B - n.wb, middle.Right, B},
                TRect{sideX, n.FY + n.FH - n.wb, sideX + n.CW, n.FY + n.FH});
        stretch(TRect{L, middle.Top, L + n.wl, middle.Bottom}, TRect{n.FX, sideY, n.FX + n.wl, sideY + n.CH});
        stretch(TRect{R - n.wr, middle.Top, R, middle.Bottom},
                TRect{n.FX + n.FW - n.wr, sideY, n.FX + n.FW, sideY + n.CH});
        if (centre) stretch(middle, TRect{sideX, sideY, sideX + n.CW, sideY + n.CH});
        return;
    }

    // Sides and centre tiled: whole tiles, then one cut tile.
    auto fill = [&](TRect src, int dx, int dy) {
        if (masked)
            CopyThroughMask(bmp, dx, dy, pic, src, n.FH, 1, nullptr);
        else
            CopyRect(bmp, dx, dy, pic, src);
    };
    TileAcross(fill, sideX, n.FY, n.CW, n.wt, middle.Left, middle.Right, T);
    TileAcross(fill, sideX, n.FY + n.FH - n.wb, n.CW, n.wb, middle.Left, middle.Right, B - n.wb);
    TileDown(fill, n.FX, sideY, n.wl, n.CH, middle.Top, middle.Bottom, L);
    TileDown(fill, n.FX + n.FW - n.wr, sideY, n.wr, n.CH, middle.Top, middle.Bottom, R - n.wr);
    if (centre) TileBoth(fill, sideX, sideY, n.CW, n.CH, middle);
}

void DrawSkinGlyph(const TPixels& bmp, TPoint p, int state, const TsMaskData& mask, int mode,
                   const TParentCacheInfo& parentCache) {
    if (bmp.Empty() || mask.ImageCount <= 0) return;
    if (!mask.Image && mask.Manager == nullptr) return;
    const TPixels pic = mask.Picture();
    const int fw = mask.FrameWidth(), fh = mask.FrameHeight();
    if (pic.Empty() || fw <= 0 || fh <= 0) return;
    state = std::clamp(state, 0, mask.ImageCount - 1);
    const TRect frame{mask.SourceRect.Left + state * fw, mask.SourceRect.Top, mask.SourceRect.Left + (state + 1) * fw,
                      mask.SourceRect.Top + fh};
    if (mask.MaskType >= 1) {
        CopyThroughMask(bmp, p.X, p.Y, pic, frame, fh, mode);
    } else if (mode == 1) {
        CopyTransparentRect(bmp, pic, p.X, p.Y, true, parentCache, clFuchsia, frame);
    } else {
        BlendTransparent(bmp, pic, p.X, p.Y, clFuchsia, 0.5, frame);
    }
}

void DrawMaskRect(TRect srcRect, TRect dstRect, const TPixels& bmp, const TsMaskData& mask,
                  const TParentCacheInfo& parentCache) {
    const TPixels pic = mask.Picture();
    if (pic.Empty() || bmp.Empty()) return;
    TRect src = srcRect;
    src.Right = src.Left + std::min(srcRect.Width(), dstRect.Width());
    src.Bottom = src.Top + std::min(srcRect.Height(), dstRect.Height());
    if (src.IsEmpty()) return;
    if (mask.MaskType >= 1)
        CopyThroughMask(bmp, dstRect.Left, dstRect.Top, pic, src, mask.FrameHeight(), 1,
                        parentCache.Ready ? &parentCache : nullptr);
    else
        CopyRect(bmp, dstRect.Left, dstRect.Top, pic, src);
}

void PaintBorderCorners(const TPixels& cache, const TsMaskData& mask, int state, int width, int height,
                        TColor fillColor, const TParentCacheInfo& parentCache) {
    if (cache.Empty() || width < 2 || height < 2) return;
    const TPixels pic = mask.Picture();
    if (pic.Empty()) return;
    int imageCount = mask.ImageCount, maskType = std::max(mask.MaskType, 0);
    TRect source = mask.SourceRect;
    if (mask.Image && imageCount == 0) {  // a bare border picture: three states over a mask row
        imageCount = 3;
        maskType = 1;
        source = TRect{0, 0, pic.Width, pic.Height};
    }
    if (imageCount <= 0) return;
    const bool fromParent = fillColor == clFuchsia;
    if (parentCache.Ready) {
        const TPixels& pb = parentCache.Bmp;
        if (pb.Empty() || pb.Width < 2 || pb.Height < 2) return;
    } else if (fromParent) {
        return;
    }
    const int s = std::clamp(state, 0, imageCount - 1);
    const int L = source.Left, T = source.Top;
    const int fx = source.Width() * s / imageCount;
    const int fh = source.Height() / (maskType + 1);
    const int cw = source.Width() / imageCount - mask.WL - mask.WR;
    const int W = width, H = height;

    auto piece = [&](int sx, int sy, int w, int h, int dx, int dy) {
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                const int px = sx + c, py = sy + r, cx = dx + c, cy = dy + r;
                if (!pic.Contains(px, py) || !cache.Contains(cx, cy)) continue;
                if (!IsKeyPixel(pic.At(px, py), clFuchsia)) continue;
                uint8_t* d = cache.At(cx, cy);
                if (!fromParent)
                    SetPixelColor(d, fillColor);
                else if (const uint8_t* p = parentCache.PixelBehind(cx, cy))
                    std::copy(p, p + 3, d);
            }
        }
    };
    piece(L + fx, T, mask.WL, mask.WT, 0, 0);
    piece(L + fx, T + fh - mask.WB, mask.WL, mask.WB, 0, H - mask.WB);
    piece(L + fx + mask.WL + cw, T + fh - mask.WB, mask.WR, mask.WB, W - mask.WR, H - mask.WB);
    piece(L + fx + mask.WL + cw, T, mask.WR, mask.WT, W - mask.WR, 0);
}

void PaintDisabledLook(const TPixels& bmp, int flags, const TParentCacheInfo& parentCache, TColor parentColor) {
    if (bmp.Empty()) return;
    if (flags & 2) GrayscaleBitmap(bmp);
    if (flags & 1) {
        if (parentCache.Ready && !parentCache.Bmp.Empty()) {
            // No key: every pixel of the parent's picture counts.
            BlendTransparent(bmp, parentCache.Bmp, 0, 0, static_cast<TColor>(0xFF000000), 0.4,
                             TRect{parentCache.X, parentCache.Y, parentCache.X + bmp.Width, parentCache.Y + bmp.Height});
        } else if (parentColor != clFuchsia) {
            BlendRectWithColor(bmp, TRect{0, 0, bmp.Width, bmp.Height}, 50, parentColor);
        }
    }
}

std::vector<char> KeyPixelsOutside(const TPixels& pic, TRect area, int outerEdges) {
    const int cols = std::max(area.Width(), 0), rows = std::max(area.Height(), 0);
    std::vector<char> outside(static_cast<size_t>(cols) * rows, 0);
    std::vector<std::pair<int, int>> todo;
    auto reach = [&](int c, int r) {
        if (c < 0 || r < 0 || c >= cols || r >= rows) return;
        char& seen = outside[static_cast<size_t>(r) * cols + c];
        const int x = area.Left + c, y = area.Top + r;
        if (seen || !pic.Contains(x, y) || !IsKeyPixel(pic.At(x, y), clFuchsia)) return;
        seen = 1;
        todo.emplace_back(c, r);
    };
    for (int r = 0; r < rows; ++r) {
        if (outerEdges & kOuterLeft) reach(0, r);
        if (outerEdges & kOuterRight) reach(cols - 1, r);
    }
    for (int c = 0; c < cols; ++c) {
        if (outerEdges & kOuterTop) reach(c, 0);
        if (outerEdges & kOuterBottom) reach(c, rows - 1);
    }
    while (!todo.empty()) {
        const auto [c, r] = todo.back();
        todo.pop_back();
        reach(c - 1, r), reach(c + 1, r), reach(c, r - 1), reach(c, r + 1);
    }
    return outside;
}

void GetMaskRegionRects(std::vector<TRect>& rects, int width, const TsMaskData& mask, bool bottom, int y) {
    const TPixels pic = mask.Picture();
    const int fw = mask.FrameWidth(), fh = mask.FrameHeight();
    if (pic.Empty() || fw <= 0 || fh <= 0) return;
    const int rows = bottom ? mask.WB : mask.WT;
    const int firstRow = mask.SourceRect.Top + (bottom ? fh - mask.WB : 0);
    const int left = mask.SourceRect.Left;
    // One corner: `cols` picture columns from srcX, placed from dstX. A key
    // pixel enclosed by the frame's lines is painted over (what lies under
    // the frame shows there) and stays part of the window.
    auto corner = [&](int srcX, int cols, int dstX, int side) {
        if (cols <= 0 || rows <= 0) return;
        const std::vector<char> outside = KeyPixelsOutside(pic, TRect{srcX, firstRow, srcX + cols, firstRow + rows},
                                                           side | (bottom ? kOuterBottom : kOuterTop));
        for (int r = 0; r < rows; ++r) {
            int run = -1;
            for (int c = 0; c <= cols; ++c) {
                const bool hole = c < cols && outside[static_cast<size_t>(r) * cols + c];
                if (hole && run < 0) run = c;
                if (!hole && run >= 0) {
                    rects.push_back(TRect{dstX + run, y + r, dstX + c, y + r + 1});
                    run = -1;
                }
            }
        }
    };
    corner(left, mask.WL, 0, kOuterLeft);
    corner(left + fw - mask.WR, mask.WR, width - mask.WR, kOuterRight);
}

}  // namespace skin
