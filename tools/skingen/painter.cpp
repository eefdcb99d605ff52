#include "painter.h"

#include <algorithm>
#include <cmath>

namespace skingen {

using namespace skin;

RGBA Rgba(TColor c, float alpha) {
    return RGBA{RedOf(c) / 255.0f, GreenOf(c) / 255.0f, BlueOf(c) / 255.0f, alpha};
}

TColor Mix(TColor a, TColor b, double t) { return BlendColors(b, a, t); }
TColor Lighter(TColor c, double t) { return Mix(c, clWhite, t); }
TColor Darker(TColor c, double t) { return Mix(c, clBlack, t); }

Paint Solid(TColor c, float alpha) {
    const RGBA v = Rgba(c, alpha);
    return [v](float, float) { return v; };
}

Paint Vertical(TColor top, TColor bottom, float y0, float y1, float alpha) {
    return [=](float, float y) {
        const float t = std::clamp((y - y0) / std::max(y1 - y0, 1e-3f), 0.0f, 1.0f);
        return Rgba(Mix(top, bottom, t), alpha);
    };
}

Paint Horizontal(TColor left, TColor right, float x0, float x1, float alpha) {
    return [=](float x, float) {
        const float t = std::clamp((x - x0) / std::max(x1 - x0, 1e-3f), 0.0f, 1.0f);
        return Rgba(Mix(left, right, t), alpha);
    };
}

void Layer::Blend(int x, int y, RGBA c, float coverage) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || coverage <= 0) return;
    RGBA& d = px_[static_cast<size_t>(y) * w_ + x];
    const float a = c.A * coverage;
    const float out = a + d.A * (1 - a);
    if (out <= 0) return;
    d.R = (c.R * a + d.R * d.A * (1 - a)) / out;
    d.G = (c.G * a + d.G * d.A * (1 - a)) / out;
    d.B = (c.B * a + d.B * d.A * (1 - a)) / out;
    d.A = out;
}

void Layer::Fill(const std::function<bool(float, float)>& inside, const Paint& paint) {
    constexpr int kSamples = 5;
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    hits += inside(x + (sx + 0.5f) / kSamples, y + (sy + 0.5f) / kSamples);
            if (hits) Blend(x, y, paint(x + 0.5f, y + 0.5f), hits / float(kSamples * kSamples));
        }
    }
}

namespace {

// Signed distance to a rounded rectangle (negative inside).
float RoundRectDistance(float x, float y, float x0, float y0, float x1, float y1, float r) {
    const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

float SegmentDistance(float x, float y, float ax, float ay, float bx, float by) {
    const float vx = bx - ax, vy = by - ay;
    const float len2 = vx * vx + vy * vy;
    const float t = len2 > 0 ? std::clamp(((x - ax) * vx + (y - ay) * vy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(x - (ax + t * vx), y - (ay + t * vy));
}

}  // namespace

void Layer::RoundRect(float x0, float y0, float x1, float y1, float radius, const Paint& paint) {
    Fill([=](float x, float y) { return RoundRectDistance(x, y, x0, y0, x1, y1, radius) <= 0; }, paint);
}

void Layer::RoundRing(float x0, float y0, float x1, float y1, float radius, float width, const Paint& paint) {
    Fill([=](float x, float y) {
        const float d = RoundRectDistance(x, y, x0, y0, x1, y1, radius);
        return d <= 0 && d > -width;
    }, paint);
}

void Layer::Line(float ax, float ay, float bx, float by, float width, const Paint& paint) {
    Fill([=](float x, float y) { return SegmentDistance(x, y, ax, ay, bx, by) <= width / 2; }, paint);
}

void Layer::Polygon(const std::vector<std::pair<float, float>>& pts, const Paint& paint) {
    Fill([&pts](float x, float y) {
        bool in = false;
        for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            const auto [xi, yi] = pts[i];
            const auto [xj, yj] = pts[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
        }
        return in;
    }, paint);
}

void Layer::Disc(float cx, float cy, float r, const Paint& paint) {
    Fill([=](float x, float y) { return std::hypot(x - cx, y - cy) <= r; }, paint);
}

void Layer::Ring(float cx, float cy, float r, float width, const Paint& paint) {
    Fill([=](float x, float y) {
        const float d = std::hypot(x - cx, y - cy);
        return d <= r && d > r - width;
    }, paint);
}

void Layer::Draw(const Layer& other, int x, int y) {
    for (int j = 0; j < other.h_; ++j)
        for (int i = 0; i < other.w_; ++i) {
            const RGBA& c = other.At(i, j);
            if (c.A > 0) Blend(x + i, y + j, c, 1);
        }
}

namespace {

int Byte(float v) { return std::clamp(static_cast<int>(std::lround(v * 255)), 0, 255); }

TColor Over(const RGBA& c, TColor under) {
    const RGBA u = Rgba(under);
    return MakeColor(Byte(c.R * c.A + u.R * (1 - c.A)), Byte(c.G * c.A + u.G * (1 - c.A)), Byte(c.B * c.A + u.B * (1 - c.A)));
}

// Never the key colour by accident.
TColor NotKey(TColor c) { return c == clFuchsia ? MakeColor(255, 0, 254) : c; }

}  // namespace

void EmitMasked(const TPixels& master, int x, int y, const Layer& layer) {
    for (int j = 0; j < layer.Height(); ++j)
        for (int i = 0; i < layer.Width(); ++i) {
            const RGBA& c = layer.At(i, j);
            const int alpha = Byte(c.A);
            const TColor picture = alpha == 0 ? clFuchsia : NotKey(MakeColor(Byte(c.R), Byte(c.G), Byte(c.B)));
            const int keep = 255 - alpha;
            SetPixelColor(master.At(x + i, y + j), picture);
            SetPixelColor(master.At(x + i, y + layer.Height() + j), MakeColor(keep, keep, keep));
        }
}

void EmitKeyed(const TPixels& master, int x, int y, const Layer& layer, TColor under) {
    for (int j = 0; j < layer.Height(); ++j)
        for (int i = 0; i < layer.Width(); ++i) {
            const RGBA& c = layer.At(i, j);
            SetPixelColor(master.At(x + i, y + j), c.A < 0.5f ? clFuchsia : NotKey(Over(c, under)));
        }
}

void EmitOpaque(const TPixels& master, int x, int y, const Layer& layer, TColor under) {
    for (int j = 0; j < layer.Height(); ++j)
        for (int i = 0; i < layer.Width(); ++i) SetPixelColor(master.At(x + i, y + j), NotKey(Over(layer.At(i, j), under)));
}

}  // namespace skingen
