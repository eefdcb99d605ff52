// Colours of the skin engine: a TColor is 0x00BBGGRR; pixels hold the same
// three channels in the order blue, green, red.
#pragma once

#include <cstdint>

#include "skin/core/pixels.h"

namespace skin {

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

struct TTriple {
    uint8_t B = 0;
    uint8_t G = 0;
    uint8_t R = 0;
};

constexpr int RedOf(TColor c) { return c & 0xFF; }
constexpr int GreenOf(TColor c) { return (c >> 8) & 0xFF; }
constexpr int BlueOf(TColor c) { return (c >> 16) & 0xFF; }
constexpr TColor MakeColor(int r, int g, int b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }

inline void ColorToTriple(TColor color, TTriple& triple) {
    triple.R = static_cast<uint8_t>(RedOf(color));
    triple.G = static_cast<uint8_t>(GreenOf(color));
    triple.B = static_cast<uint8_t>(BlueOf(color));
}

// The colour unchanged; the four bytes as a record of channels.
struct TColorRecord {
    uint8_t R, G, B, A;
};
inline TColorRecord ColorAsRecord(TColor color) {
    return TColorRecord{static_cast<uint8_t>(RedOf(color)), static_cast<uint8_t>(GreenOf(color)),
                        static_cast<uint8_t>(BlueOf(color)), static_cast<uint8_t>((color >> 24) & 0xFF)};
}

constexpr int ClampToByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Nearest integer, halves to even.
int RoundHalfEven(double v);

// Pixel access: the first three bytes of a pixel are blue, green, red.
inline TColor PixelColor(const uint8_t* p) { return p[2] | (p[1] << 8) | (p[0] << 16); }
inline void SetPixelColor(uint8_t* p, TColor c) {
    p[0] = static_cast<uint8_t>(BlueOf(c));
    p[1] = static_cast<uint8_t>(GreenOf(c));
    p[2] = static_cast<uint8_t>(RedOf(c));
}
inline bool IsKeyPixel(const uint8_t* p, TColor key) {
    return p[0] == BlueOf(key) && p[1] == GreenOf(key) && p[2] == RedOf(key);
}

// Per channel round((c1 - c2) * k + c2): k = 1 gives c1, k = 0 gives c2.
TColor BlendColors(TColor c1, TColor c2, double k);

// Rotates the hue by `degrees` (any integer, taken modulo 360) keeping
// saturation and value; greys stay as they are.
TColor ShiftColorHue(TColor color, int degrees);

// Moves every channel by `delta` percent of its distance to the grey
// average (R + G + B) / 3: positive toward grey, negative away from it.
TColor ShiftColorSaturation(TColor color, int delta);

}  // namespace skin
