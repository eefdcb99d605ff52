#include "skin/core/gradient.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "skin/core/skinutils.h"

namespace skin {

void ParseGradientData(const std::string& text, TsGradArray& data) {
    data.clear();
    const int steps = CountWords(text, ";") / 5;
    TsGradArray parsed;
    parsed.reserve(steps);
    for (int i = 0; i < steps; ++i) {
        TsGradPart part;
        part.Color1 = SkinStrToInt(WordAt(i * 5 + 1, text, ";"));
        part.Color2 = SkinStrToInt(WordAt(i * 5 + 2, text, ";"));
        part.Percent = static_cast<uint8_t>(std::clamp(SkinStrToInt(WordAt(i * 5 + 3, text, ";")), 0, 100));
        part.Mode = SkinStrToInt(WordAt(i * 5 + 4, text, ";"));
        parsed.push_back(part);
    }
    data = std::move(parsed);
}

namespace {

// Channel of the colour `pos` steps of `count` from c1 toward c2.
uint8_t Between(int c1, int c2, int pos, int count) {
    if (count <= 1) return static_cast<uint8_t>(c1);
    return static_cast<uint8_t>(ClampToByte(RoundHalfEven(c1 + (c2 - c1) * static_cast<double>(pos) / (count - 1))));
}

void PaintLinear(const TPixels& bmp, const TRect& r, const TsGradArray& data, bool horizontal) {
    const int length = horizontal ? r.Width() : r.Height();
    int start = 0;
    for (size_t i = 0; i < data.size() && start < length; ++i) {
        const TsGradPart& part = data[i];
        // The last step runs to the end; bands that would pass the end are cut there.
        int band = i + 1 == data.size() ? length - start : part.Percent * length / 100;
        band = std::min(band, length - start);
        if (band < 1) continue;
        for (int k = 0; k < band; ++k) {
            uint8_t px[3] = {Between(BlueOf(part.Color1), BlueOf(part.Color2), k, band),
                             Between(GreenOf(part.Color1), GreenOf(part.Color2), k, band),
                             Between(RedOf(part.Color1), RedOf(part.Color2), k, band)};
            if (horizontal) {
                const int x = r.Left + start + k;
                for (int y = r.Top; y < r.Bottom; ++y) std::copy(px, px + 3, bmp.At(x, y));
            } else {
                uint8_t* p = bmp.At(r.Left, r.Top + start + k);
                for (int x = r.Left; x < r.Right; ++x, p += bmp.BytesPerPixel) std::copy(px, px + 3, p);
            }
        }
        start += band;
    }
}

// Four triangles meeting in the centre, colours interpolated inside each
// (top-left, centre, top-right, bottom-right, bottom-left vertices).
void PaintTriangles(const TPixels& bmp, const TRect& r, const TsGradArray& data) {
    std::array<TColor, 5> colour{};
    for (int v = 0; v < 5; ++v) {
        if (v < static_cast<int>(data.size()))
            colour[v] = data[v].Color1;
        else
            colour[v] = v == 0 ? clBlack : colour[v - 1];
    }
    struct Vertex {
        double X, Y;
    };
    const double w = r.Width(), h = r.Height();
    const Vertex vx[5] = {{0, 0}, {static_cast<double>(r.Width() / 2), static_cast<double>(r.Height() / 2)}, {w, 0}, {w, h}, {0, h}};
    const int tri[4][3] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
    for (int y = 0; y < r.Height(); ++y) {
        for (int x = 0; x < r.Width(); ++x) {
            const double px = x + 0.5, py = y + 0.5;
            double best = -1e9;
            double bw[3] = {1, 0, 0};
            const int* bt = tri[0];
            for (const auto& t : tri) {
                const Vertex &a = vx[t[0]], &b = vx[t[1]], &c = vx[t[2]];
                const double den = (b.Y - c.Y) * (a.X - c.X) + (c.X - b.X) * (a.Y - c.Y);
                if (std::fabs(den) < 1e-9) continue;
                const double l1 = ((b.Y - c.Y) * (px - c.X) + (c.X - b.X) * (py - c.Y)) / den;
                const double l2 = ((c.Y - a.Y) * (px - c.X) + (a.X - c.X) * (py - c.Y)) / den;
                const double l3 = 1 - l1 - l2;
                const double inside = std::min({l1, l2, l3});  // >= 0 inside the triangle
                if (inside > best) {
                    best = inside;
                    bw[0] = l1;
                    bw[1] = l2;
                    bw[2] = l3;
                    bt = t;
                }
            }
            auto channel = [&](auto pick) {
                double v = 0;
                for (int k = 0; k < 3; ++k) v += std::clamp(bw[k], 0.0, 1.0) * pick(colour[bt[k]]);
                double sum = std::clamp(bw[0], 0.0, 1.0) + std::clamp(bw[1], 0.0, 1.0) + std::clamp(bw[2], 0.0, 1.0);
                return static_cast<uint8_t>(ClampToByte(RoundHalfEven(v / sum)));
            };
            uint8_t* p = bmp.At(r.Left + x, r.Top + y);
            p[0] = channel([](TColor c) { return BlueOf(c); });
            p[1] = channel([](TColor c) { return GreenOf(c); });
            p[2] = channel([](TColor c) { return RedOf(c); });
        }
    }
}

}  // namespace

void PaintGradient(const TPixels& bmp, TRect rect, const TsGradArray& data) {
    if (data.empty() || bmp.Empty()) return;
    const TRect r = IntersectRect(TRect{std::max(rect.Left, 0), std::max(rect.Top, 0), rect.Right, rect.Bottom},
                                  TRect{0, 0, bmp.Width, bmp.Height});
    if (r.IsEmpty()) return;
    switch (data[0].Mode) {
        case 0: PaintLinear(bmp, r, data, false); break;
        case 1: PaintLinear(bmp, r, data, true); break;
        case 2: PaintTriangles(bmp, r, data); break;
        default: break;  // no such gradient
    }
}

}  // namespace skin
