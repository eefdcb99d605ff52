#include "skin/core/pixelcopy.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace skin {

namespace {

TRect Bounds(const TPixels& p) { return TRect{0, 0, p.Width, p.Height}; }

// Clips a copy of SrcRect to (x, y) against both bitmaps; false when nothing is left.
bool ClipCopy(const TPixels& dst, int& x, int& y, const TPixels& src, TRect& sr) {
    if (dst.Empty() || src.Empty()) return false;
    if (sr.Left < 0) { x -= sr.Left; sr.Left = 0; }
    if (sr.Top < 0) { y -= sr.Top; sr.Top = 0; }
    if (x < 0) { sr.Left -= x; x = 0; }
    if (y < 0) { sr.Top -= y; y = 0; }
    sr.Right = std::min({sr.Right, src.Width, sr.Left + dst.Width - x});
    sr.Bottom = std::min({sr.Bottom, src.Height, sr.Top + dst.Height - y});
    return !sr.IsEmpty();
}

void CopyPixel(uint8_t* d, const uint8_t* s) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
}

// One axis of a halftone stretch: for every target position shown (Count
// of them from Start on), the source positions it covers with their
// weights (in 1/65536 of the target pixel).
struct Coverage {
    int First;
    std::vector<int> Weights;
};

std::vector<Coverage> Coverages(int srcLen, int dstLen, int start, int count) {
    std::vector<Coverage> out(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int d = start + i;
        // The target pixel covers [d * srcLen / dstLen, (d + 1) * srcLen / dstLen) of the source.
        int64_t from = static_cast<int64_t>(d) * srcLen, to = static_cast<int64_t>(d + 1) * srcLen;  // in 1/dstLen
        int first = static_cast<int>(from / dstLen);
        int last = static_cast<int>((to - 1) / dstLen);
        out[i].First = first;
        int64_t total = to - from, given = 0;
        for (int s = first; s <= last; ++s) {
            int64_t a = std::max<int64_t>(from, static_cast<int64_t>(s) * dstLen);
            int64_t b = std::min<int64_t>(to, static_cast<int64_t>(s + 1) * dstLen);
            int w = static_cast<int>((b - a) * 65536 / total);
            given += w;
            out[i].Weights.push_back(w);
        }
        out[i].Weights.back() += static_cast<int>(65536 - given);  // rounding rest
    }
    return out;
}

}  // namespace

void FillRect(const TPixels& bmp, TRect rect, TColor color) {
    if (bmp.Empty()) return;
    TRect r = IntersectRect(rect, Bounds(bmp));
    if (r.IsEmpty()) return;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) SetPixelColor(bmp.At(x, y), color);
}

void CopyRect(const TPixels& dst, int x, int y, const TPixels& src, TRect srcRect) {
    TRect sr = srcRect;
    if (!ClipCopy(dst, x, y, src, sr)) return;
    const int w = sr.Width();
    if (src.BytesPerPixel == dst.BytesPerPixel) {
        const size_t bytes = static_cast<size_t>(w) * src.BytesPerPixel;
        for (int r = 0; r < sr.Height(); ++r) std::memmove(dst.At(x, y + r), src.At(sr.Left, sr.Top + r), bytes);
        return;
    }
    for (int r = 0; r < sr.Height(); ++r)
        for (int c = 0; c < w; ++c) CopyPixel(dst.At(x + c, y + r), src.At(sr.Left + c, sr.Top + r));
}

std::vector<TRect> ChangedRuns(const TPixels& dst, int x, int y, const TPixels& picture, size_t maxRuns) {
    if (picture.Empty()) return {};
    const TRect whole{0, 0, picture.Width, picture.Height};
    if (dst.Empty() || dst.BytesPerPixel != picture.BytesPerPixel || x < 0 || y < 0 || x + picture.Width > dst.Width ||
        y + picture.Height > dst.Height)
        return {whole};
    const int bpp = picture.BytesPerPixel;
    const size_t rowBytes = static_cast<size_t>(picture.Width) * bpp;
    std::vector<TRect> runs;
    TRect round{picture.Width, picture.Height, 0, 0};
    for (int r = 0; r < picture.Height; ++r) {
        const uint8_t* now = dst.At(x, y + r);
        const uint8_t* was = picture.ScanLine(r);
        if (std::memcmp(now, was, rowBytes) == 0) continue;  // most rows: one comparison
        for (int c = 0; c < picture.Width;) {
            if (std::memcmp(now + c * bpp, was + c * bpp, 3) == 0) {
                ++c;
                continue;
            }
            const int start = c;
            while (c < picture.Width && std::memcmp(now + c * bpp, was + c * bpp, 3) != 0) ++c;
            runs.push_back(TRect{start, r, c, r + 1});
            round = TRect{std::min(round.Left, start), std::min(round.Top, r), std::max(round.Right, c), r + 1};
        }
    }
    if (runs.size() > maxRuns) return {round};
    return runs;
}

void StretchRect(const TPixels& dst, TRect dstRect, const TPixels& src, TRect srcRect) {
    if (dst.Empty() || src.Empty() || dstRect.IsEmpty()) return;
    TRect sr = IntersectRect(srcRect, Bounds(src));
    if (sr.IsEmpty()) return;
    if (sr.Width() == dstRect.Width() && sr.Height() == dstRect.Height()) {
        CopyRect(dst, dstRect.Left, dstRect.Top, src, sr);
        return;
    }
    const TRect visible = IntersectRect(dstRect, Bounds(dst));
    if (visible.IsEmpty()) return;
    // Only the shown part of the target is weighed, however large the whole.
    const std::vector<Coverage> cols =
        Coverages(sr.Width(), dstRect.Width(), visible.Left - dstRect.Left, visible.Width());
    const std::vector<Coverage> rows =
        Coverages(sr.Height(), dstRect.Height(), visible.Top - dstRect.Top, visible.Height());
    std::vector<int64_t> acc(static_cast<size_t>(visible.Width()) * 3);
    for (int y = visible.Top; y < visible.Bottom; ++y) {
        const Coverage& row = rows[y - visible.Top];
        std::fill(acc.begin(), acc.end(), 0);
        for (size_t k = 0; k < row.Weights.size(); ++k) {
            const int wy = row.Weights[k];
            const int sy = sr.Top + row.First + static_cast<int>(k);
            for (int x = visible.Left; x < visible.Right; ++x) {
                const Coverage& col = cols[x - visible.Left];
                int64_t* a = &acc[static_cast<size_t>(x - visible.Left) * 3];
                for (size_t j = 0; j < col.Weights.size(); ++j) {
                    const uint8_t* s = src.At(sr.Left + col.First + static_cast<int>(j), sy);
                    const int64_t w = static_cast<int64_t>(col.Weights[j]) * wy;
                    a[0] += s[0] * w;
                    a[1] += s[1] * w;
                    a[2] += s[2] * w;
                }
            }
        }
        for (int x = visible.Left; x < visible.Right; ++x) {
            const int64_t* a = &acc[static_cast<size_t>(x - visible.Left) * 3];
            uint8_t* d = dst.At(x, y);
            const int64_t half = int64_t(1) << 31;
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(ClampToByte(static_cast<int>((a[c] + half) >> 32)));
        }
    }
}

void CopyKeyedRect(const TPixels& dst, int x, int y, const TPixels& src, TRect srcRect, TColor key) {
    TRect sr = srcRect;
    if (!ClipCopy(dst, x, y, src, sr)) return;
    for (int r = 0; r < sr.Height(); ++r) {
        for (int c = 0; c < sr.Width(); ++c) {
            const uint8_t* s = src.At(sr.Left + c, sr.Top + r);
            if (!IsKeyPixel(s, key)) CopyPixel(dst.At(x + c, y + r), s);
        }
    }
}

void CopyTransparentBmp(const TPixels& dst, const TPixels& src, int x, int y, TColor key) {
    CopyKeyedRect(dst, x, y, src, Bounds(src), key);
}

void CopyTransparentRect(const TPixels& dst, const TPixels& src, int x, int y, bool useParentCache,
                         const TParentCacheInfo& parentCache, TColor key, TRect srcRect) {
    TRect sr = srcRect;
    if (!ClipCopy(dst, x, y, src, sr)) return;
    const bool fromParent = useParentCache && parentCache.Ready;
    for (int r = 0; r < sr.Height(); ++r) {
        for (int c = 0; c < sr.Width(); ++c) {
            const uint8_t* s = src.At(sr.Left + c, sr.Top + r);
            if (!IsKeyPixel(s, key)) {
                CopyPixel(dst.At(x + c, y + r), s);
            } else if (fromParent) {
                if (const uint8_t* p = parentCache.PixelBehind(x + c, y + r)) CopyPixel(dst.At(x + c, y + r), p);
            }
        }
    }
}

void CopyFrameRect(const TPixels& dst, const TPixels& src, TRect rect, int width) {
    if (width <= 0 || rect.IsEmpty()) return;
    width = std::min({width, (rect.Width() + 1) / 2, (rect.Height() + 1) / 2});
    auto strip = [&](int l, int t, int r, int b) { CopyRect(dst, l, t, src, TRect{l, t, r, b}); };
    strip(rect.Left, rect.Top, rect.Right, rect.Top + width);
    strip(rect.Left, rect.Bottom - width, rect.Right, rect.Bottom);
    strip(rect.Left, rect.Top + width, rect.Left + width, rect.Bottom - width);
    strip(rect.Right - width, rect.Top + width, rect.Right, rect.Bottom - width);
}

void DrawFrame3D(const TPixels& bmp, TRect rect, TColor c1, TColor c2, int width) {
    if (bmp.Empty()) return;
    auto put = [&](int x, int y, TColor c) {
        if (bmp.Contains(x, y)) SetPixelColor(bmp.At(x, y), c);
    };
    TRect r = rect;
    for (int ring = 0; ring < width && r.Width() > 0 && r.Height() > 0; ++ring) {
        const int right = r.Right - 1, bottom = r.Bottom - 1;
        for (int y = r.Top; y <= bottom; ++y) put(r.Left, y, c1);
        for (int x = r.Left; x < right; ++x) put(x, r.Top, c1);
        for (int y = r.Top; y < bottom; ++y) put(right, y, c2);
        for (int x = r.Left; x <= right; ++x) put(x, bottom, c2);
        r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
}

void DrawDottedFrame(const TPixels& bmp, TRect rect) {
    if (bmp.Empty() || rect.IsEmpty()) return;
    auto dot = [&](int x, int y) {
        if (bmp.Contains(x - 1, y - 1)) SetPixelColor(bmp.At(x - 1, y - 1), clWhite);
        if (bmp.Contains(x, y)) SetPixelColor(bmp.At(x, y), clBlack);
    };
    for (int x = rect.Left; x < rect.Right; x += 3) {
        dot(x, rect.Top);
        dot(x, rect.Bottom - 1);
    }
    for (int y = rect.Top; y < rect.Bottom; y += 3) {
        dot(rect.Left, y);
        dot(rect.Right - 1, y);
    }
}

void TileGraphic(const TPixels& bmp, TRect rect, const TPixels& picture) {
    if (bmp.Empty() || picture.Empty()) return;
    const TRect clip = IntersectRect(rect, Bounds(bmp));
    if (clip.IsEmpty()) return;
    const int pw = picture.Width, ph = picture.Height;
    // Start with the first tile that reaches into the visible part.
    const int x0 = rect.Left + (clip.Left - rect.Left) / pw * pw;
    const int y0 = rect.Top + (clip.Top - rect.Top) / ph * ph;
    for (int y = y0; y < clip.Bottom; y += ph) {
        for (int x = x0; x < clip.Right; x += pw) {
            TRect piece{0, 0, std::min(pw, clip.Right - x), std::min(ph, clip.Bottom - y)};
            int dx = x, dy = y;
            if (dx < clip.Left) { piece.Left = clip.Left - dx; dx = clip.Left; }
            if (dy < clip.Top) { piece.Top = clip.Top - dy; dy = clip.Top; }
            CopyRect(bmp, dx, dy, picture, piece);
        }
    }
}

}  // namespace skin
