#include "skin/core/blend.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace skin {

namespace {

bool AtLeast2x2(const TPixels& p) { return !p.Empty() && p.Width > 1 && p.Height > 1; }

TRect ClipToBitmap(TRect r, const TPixels& bmp) { return IntersectRect(r, TRect{0, 0, bmp.Width, bmp.Height}); }

}  // namespace

bool TacFastSum24::Attach(const TPixels& src, const TPixels& dst) {
    if (!AtLeast2x2(src) || !AtLeast2x2(dst)) {
        Width = 0;
        return false;
    }
    src_ = src;
    dst_ = dst;
    Width = std::min(src.Width, dst.Width);
    Height = std::min(src.Height, dst.Height);
    return true;
}

namespace {

// The bytes a bitmap's rows take, whichever way its rows run.
bool SharesMemory(const TPixels& a, const TPixels& b) {
    auto span = [](const TPixels& p) {
        const uint8_t* first = p.ScanLine(0);
        const uint8_t* last = p.ScanLine(p.Height - 1);
        if (last < first) std::swap(first, last);
        return std::pair<const uint8_t*, const uint8_t*>{first, last + static_cast<ptrdiff_t>(p.Width) * p.BytesPerPixel};
    };
    const auto [a0, a1] = span(a);
    const auto [b0, b1] = span(b);
    return a0 < b1 && b0 < a1;
}

// One row of two different bitmaps; with three bytes a pixel on both sides
// the row is one run of bytes, which the compiler blends many at a time.
void BlendRow(const uint8_t* __restrict s, int sBytes, uint8_t* __restrict d, int dBytes, int w, int a, int na) {
    if (sBytes == 3 && dBytes == 3) {
        for (int i = 0; i < w * 3; ++i) d[i] = static_cast<uint8_t>((s[i] * na + d[i] * a + 127) >> 8);
        return;
    }
    for (int x = 0; x < w; ++x, s += sBytes, d += dBytes)
        for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * na + d[c] * a + 127) >> 8);
}

}  // namespace

void TacFastSum24::BlendBuffers() {
    const int a = A, na = 255 - A;
    const int w = SrcRect.Width(), h = SrcRect.Height();
    if (!SharesMemory(src_, dst_)) {
        for (int y = 0; y < h; ++y)
            BlendRow(src_.At(SrcRect.Left, SrcRect.Top + y), src_.BytesPerPixel, dst_.At(DstX, DstY + y),
                     dst_.BytesPerPixel, w, a, na);
        return;
    }
    // From the bottom row up and from the right to the left, so that a
    // bitmap blended onto itself further down and right reads its pixels
    // before they change.
    for (int y = h - 1; y >= 0; --y) {
        const uint8_t* s = src_.ScanLine(SrcRect.Top + y);
        uint8_t* d = dst_.ScanLine(DstY + y);
        for (int x = w - 1; x >= 0; --x) {
            const uint8_t* sp = s + static_cast<ptrdiff_t>(SrcRect.Left + x) * src_.BytesPerPixel;
            uint8_t* dp = d + static_cast<ptrdiff_t>(DstX + x) * dst_.BytesPerPixel;
            for (int c = 2; c >= 0; --c) dp[c] = static_cast<uint8_t>((sp[c] * na + dp[c] * a + 127) >> 8);
        }
    }
}

void BlendBitmapRect(const TPixels& dst, const TPixels& src, int a, TPoint dstPoint, TRect srcRect) {
    TacFastSum24 sum;
    if (!sum.Attach(src, dst)) return;
    TRect sr = srcRect;
    int dx = dstPoint.X, dy = dstPoint.Y;
    // A negative coordinate on one side moves the other side along.
    if (sr.Left < 0) { dx -= sr.Left; sr.Left = 0; }
    if (sr.Top < 0) { dy -= sr.Top; sr.Top = 0; }
    if (dx < 0) { sr.Left -= dx; dx = 0; }
    if (dy < 0) { sr.Top -= dy; dy = 0; }
    sr.Right = std::min(sr.Right, src.Width);
    sr.Bottom = std::min(sr.Bottom, src.Height);
    sr.Right = std::min(sr.Right, sr.Left + (dst.Width - dx));
    sr.Bottom = std::min(sr.Bottom, sr.Top + (dst.Height - dy));
    if (sr.IsEmpty()) return;
    sum.A = static_cast<uint8_t>(std::clamp(a, 0, 255));
    sum.SrcRect = sr;
    sum.DstX = dx;
    sum.DstY = dy;
    sum.BlendBuffers();
}

void BlendRectWithColor(const TPixels& bmp, TRect rect, int percent, TColor color) {
    if (bmp.Empty()) return;
    TRect r = ClipToBitmap(rect, bmp);
    if (r.IsEmpty()) return;
    const double p = (percent & 255) / 100.0;
    const int cb = BlueOf(color), cg = GreenOf(color), cr = RedOf(color);
    for (int y = r.Top; y < r.Bottom; ++y) {
        for (int x = r.Left; x < r.Right; ++x) {
            uint8_t* px = bmp.At(x, y);
            px[0] = static_cast<uint8_t>(ClampToByte(RoundHalfEven(px[0] * p + cb * (1 - p))));
            px[1] = static_cast<uint8_t>(ClampToByte(RoundHalfEven(px[1] * p + cg * (1 - p))));
            px[2] = static_cast<uint8_t>(ClampToByte(RoundHalfEven(px[2] * p + cr * (1 - p))));
        }
    }
}

void BlendTransparent(const TPixels& dst, const TPixels& src, int x, int y, TColor key, double k, TRect srcRect) {
    if (dst.Empty() || src.Empty()) return;
    const bool useKey = ((key >> 24) & 0xFF) != 0xFF;
    TRect sr = ClipToBitmap(srcRect, src);
    for (int sy = sr.Top; sy < sr.Bottom; ++sy) {
        int dy = y + sy - srcRect.Top;
        if (dy < 0 || dy >= dst.Height) continue;
        for (int sx = sr.Left; sx < sr.Right; ++sx) {
            int dx = x + sx - srcRect.Left;
            if (dx < 0 || dx >= dst.Width) continue;
            const uint8_t* s = src.At(sx, sy);
            if (useKey && IsKeyPixel(s, key)) continue;
            uint8_t* d = dst.At(dx, dy);
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(ClampToByte(RoundHalfEven(s[c] - (s[c] - d[c]) * k)));
        }
    }
}

void BlendWithMaskBitmap(const TPixels& dst, const TPixels& mask, TColor color) {
    if (dst.Empty() || mask.Empty()) return;
    const int w = std::min(dst.Width, mask.Width), h = std::min(dst.Height, mask.Height);
    const int col[3] = {BlueOf(color), GreenOf(color), RedOf(color)};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* d = dst.At(x, y);
            const uint8_t* m = mask.At(x, y);
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(ClampToByte(((d[c] - col[c]) * m[c] + col[c] * 256) >> 8));
        }
    }
}

void BlendThroughMask(const TPixels& dst, const TPixels& a, const TPixels& b, int share, const TPixels* mask) {
    if (dst.Empty() || a.Empty() || b.Empty()) return;
    int w = std::min({dst.Width, a.Width, b.Width}), h = std::min({dst.Height, a.Height, b.Height});
    const bool masked = mask != nullptr && !mask->Empty();
    if (masked) {
        w = std::min(w, mask->Width);
        h = std::min(h, mask->Height);
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* pa = a.At(x, y);
            const uint8_t* pb = b.At(x, y);
            uint8_t* d = dst.At(x, y);
            const uint8_t* m = masked ? mask->At(x, y) : nullptr;
            for (int c = 0; c < 3; ++c) {
                int p = m ? share * m[c] / 255 : share;
                d[c] = static_cast<uint8_t>(ClampToByte(((pa[c] - pb[c]) * p + pb[c] * 256) >> 8));
            }
        }
    }
}

void BlendRoundRect(const TPixels& bmp, TRect rect, int percent, int radius, int edgeWidth, TColor color) {
    if (bmp.Empty() || rect.IsEmpty()) return;
    percent = std::clamp(percent, 0, 100);
    radius = std::max(0, std::min({radius, rect.Width() / 2, rect.Height() / 2}));
    edgeWidth = std::max(0, edgeWidth);
    const int col[3] = {BlueOf(color), GreenOf(color), RedOf(color)};
    const TRect clip = ClipToBitmap(rect, bmp);
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        for (int x = clip.Left; x < clip.Right; ++x) {
            // Distance inward from the rounded outline, in whole pixels.
            int lx = x - rect.Left, ly = y - rect.Top;
            int rx = rect.Right - 1 - x, ry = rect.Bottom - 1 - y;
            double inside = std::min(std::min(lx, rx), std::min(ly, ry));
            int cx = std::min(lx, rx), cy = std::min(ly, ry);
            if (cx < radius && cy < radius) {
                double ddx = radius - cx - 0.5, ddy = radius - cy - 0.5;
                inside = radius - std::sqrt(ddx * ddx + ddy * ddy) - 0.5;
                if (inside < 0) continue;  // cut off by the rounded corner
            }
            int weight = percent;
            if (edgeWidth > 0 && inside < edgeWidth)
                weight = percent * (static_cast<int>(inside) + 1) / (edgeWidth + 1);
            const int keep = (100 - weight) * 256 / 100;
            uint8_t* d = bmp.At(x, y);
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(ClampToByte(((d[c] - col[c]) * keep + col[c] * 256) >> 8));
        }
    }
}

void GrayscaleBitmap(const TPixels& bmp) {
    if (bmp.Empty()) return;
    for (int y = 0; y < bmp.Height; ++y) {
        for (int x = 0; x < bmp.Width; ++x) {
            uint8_t* p = bmp.At(x, y);
            uint8_t v = static_cast<uint8_t>((p[0] + p[1] + p[2]) / 3);
            p[0] = p[1] = p[2] = v;
        }
    }
}

}  // namespace skin
