// Drawing for the skin generator: shapes with soft edges into a layer of
// colours with coverage, written into a master bitmap as a picture row over
// a mask row (or as a picture with key-colour holes).
#pragma once

#include <functional>
#include <vector>

#include "skin/core/colors.h"
#include "skin/core/pixels.h"

namespace skingen {

using skin::TColor;

struct RGBA {
    float R = 0, G = 0, B = 0, A = 0;
};

RGBA Rgba(TColor c, float alpha = 1);
// Linear mix of two colours, t = 0 gives a.
TColor Mix(TColor a, TColor b, double t);
TColor Lighter(TColor c, double t);
TColor Darker(TColor c, double t);

// A colour for every point of a shape (its position in the layer).
using Paint = std::function<RGBA(float x, float y)>;
Paint Solid(TColor c, float alpha = 1);
// From `top` at y0 to `bottom` at y1 (vertical) or from x0 to x1 (horizontal).
Paint Vertical(TColor top, TColor bottom, float y0, float y1, float alpha = 1);
Paint Horizontal(TColor left, TColor right, float x0, float x1, float alpha = 1);

class Layer {
public:
    Layer(int width, int height) : w_(width), h_(height), px_(static_cast<size_t>(width) * height) {}
    int Width() const { return w_; }
    int Height() const { return h_; }
    const RGBA& At(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }

    // A shape given by `inside`, sampled 5 x 5 times a pixel for soft edges.
    void Fill(const std::function<bool(float, float)>& inside, const Paint& paint);
    void RoundRect(float x0, float y0, float x1, float y1, float radius, const Paint& paint);
    // A ring `width` wide just inside the rounded rectangle's edge.
    void RoundRing(float x0, float y0, float x1, float y1, float radius, float width, const Paint& paint);
    void Line(float ax, float ay, float bx, float by, float width, const Paint& paint);
    void Polygon(const std::vector<std::pair<float, float>>& points, const Paint& paint);
    void Disc(float cx, float cy, float r, const Paint& paint);
    void Ring(float cx, float cy, float r, float width, const Paint& paint);
    // Another layer laid over this one at (x, y).
    void Draw(const Layer& other, int x, int y);

private:
    void Blend(int x, int y, RGBA c, float coverage);
    int w_, h_;
    std::vector<RGBA> px_;
};

// The layer as a picture row at (x, y) over a mask row right below it
// (mask 0 keeps the picture, 255 what lies under it); fully clear pixels
// get the key colour.
void EmitMasked(const skin::TPixels& master, int x, int y, const Layer& layer);
// The layer as a picture without a mask row: pixels less than half covered
// become the key colour, the others are laid over `under`.
void EmitKeyed(const skin::TPixels& master, int x, int y, const Layer& layer, TColor under);
// The layer laid over a solid colour, everything kept.
void EmitOpaque(const skin::TPixels& master, int x, int y, const Layer& layer, TColor under);

}  // namespace skingen
