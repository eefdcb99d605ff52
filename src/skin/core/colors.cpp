#include "skin/core/colors.h"

#include <algorithm>
#include <cmath>

namespace skin {

int RoundHalfEven(double v) {
    double r = std::nearbyint(v);  // the default rounding mode: to nearest, halves to even
    if (r > 2147483647.0) return 2147483647;
    if (r < -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(r);
}

TColor BlendColors(TColor c1, TColor c2, double k) {
    auto mix = [k](int a, int b) { return ClampToByte(RoundHalfEven((a - b) * k + b)); };
    return MakeColor(mix(RedOf(c1), RedOf(c2)), mix(GreenOf(c1), GreenOf(c2)), mix(BlueOf(c1), BlueOf(c2)));
}

TColor ShiftColorHue(TColor color, int degrees) {
    int r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
    int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    int shift = degrees % 360;
    if (shift < 0) shift += 360;
    if (mx == mn || shift == 0) return color & 0xFFFFFF;

    double delta = mx - mn;
    double h;
    if (mx == r)
        h = 60.0 * (g - b) / delta;
    else if (mx == g)
        h = 60.0 * (b - r) / delta + 120.0;
    else
        h = 60.0 * (r - g) / delta + 240.0;
    h = std::fmod(h + shift + 720.0, 360.0);

    // Back from hue, with the value (mx) and the lowest channel (mn) kept.
    double sector = h / 60.0;
    int i = static_cast<int>(sector) % 6;
    double f = sector - std::floor(sector);
    double up = mn + delta * f, down = mx - delta * f;
    double rr, gg, bb;
    switch (i) {
        case 0: rr = mx; gg = up; bb = mn; break;
        case 1: rr = down; gg = mx; bb = mn; break;
        case 2: rr = mn; gg = mx; bb = up; break;
        case 3: rr = mn; gg = down; bb = mx; break;
        case 4: rr = up; gg = mn; bb = mx; break;
        default: rr = mx; gg = mn; bb = down; break;
    }
    return MakeColor(ClampToByte(RoundHalfEven(rr)), ClampToByte(RoundHalfEven(gg)), ClampToByte(RoundHalfEven(bb)));
}

TColor ShiftColorSaturation(TColor color, int delta) {
    int r = RedOf(color), g = GreenOf(color), b = BlueOf(color);
    if (delta == 0 || (r == g && g == b)) return color & 0xFFFFFF;
    double grey = (r + g + b) / 3.0;
    auto move = [&](int c) { return ClampToByte(RoundHalfEven(c + (grey - c) * delta / 100.0)); };
    return MakeColor(move(r), move(g), move(b));
}

}  // namespace skin
