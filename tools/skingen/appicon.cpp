#include "appicon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace skingen {

using skin::MakeColor;

const std::vector<int>& ProgramIconSizes() {
    static const std::vector<int> sizes{16, 24, 32, 48};
    return sizes;
}

// A night sky in a rounded square, a ringed planet low on the left and a
// gold dart of a ship climbing past it to the upper right. At 16 pixels
// only the square, the planet and the ship are left: fine lines would blur.
Layer DrawProgramIcon(int size) {
    const float s = static_cast<float>(size);
    const bool small = size <= 16;
    Layer icon(size, size);
    const float edge = small ? 0.0f : s * 0.03f;
    const float radius = s * 0.2f;
    icon.RoundRect(edge, edge, s - edge, s - edge, radius, Vertical(MakeColor(0x24, 0x3A, 0x6E), MakeColor(0x0A, 0x10, 0x26), 0, s));
    icon.RoundRing(edge, edge, s - edge, s - edge, radius, std::max(1.0f, s / 32), Solid(MakeColor(0x6F, 0x92, 0xD8), 0.9f));
    if (!small) {
        const float stars[][3] = {{0.22f, 0.22f, 0.035f}, {0.45f, 0.14f, 0.025f}, {0.16f, 0.44f, 0.025f}, {0.82f, 0.70f, 0.03f}};
        for (const auto& star : stars) icon.Disc(star[0] * s, star[1] * s, std::max(0.6f, star[2] * s), Solid(MakeColor(0xE8, 0xF0, 0xFF)));
    }
    // The planet, lit from the upper right, with its ring across it.
    const float px = s * 0.36f, py = s * 0.64f, pr = s * (small ? 0.25f : 0.22f);
    icon.Disc(px, py, pr, Vertical(MakeColor(0x5F, 0xD4, 0xC8), MakeColor(0x12, 0x5E, 0x6A), py - pr, py + pr));
    icon.Fill(
        [=](float x, float y) {
            // An ellipse tilted a little, as thick as the size allows.
            const float dx = x - px, dy = y - py;
            const float c = std::cos(-0.35f), si = std::sin(-0.35f);
            const float u = (dx * c - dy * si) / (pr * 1.55f), v = (dx * si + dy * c) / (pr * 0.42f);
            const float d = u * u + v * v;
            const float thick = small ? 0.45f : 0.32f;
            const bool behind = v < 0 && dx * dx + dy * dy < pr * pr;
            return d <= 1 && d >= 1 - thick && !behind;
        },
        Solid(MakeColor(0xF2, 0xD0, 0x8A), 0.95f));
    // The ship: a dart whose point is at the upper right.
    const std::vector<std::pair<float, float>> dart{{0.86f * s, 0.14f * s}, {0.62f * s, 0.62f * s}, {0.60f * s, 0.42f * s},
                                                    {0.40f * s, 0.38f * s}};
    icon.Polygon(dart, Vertical(MakeColor(0xFF, 0xE2, 0x7A), MakeColor(0xE8, 0x6A, 0x1C), 0.14f * s, 0.62f * s));
    if (!small) icon.Line(0.60f * s, 0.42f * s, 0.86f * s, 0.14f * s, std::max(1.0f, s / 40), Solid(MakeColor(0xFF, 0xF6, 0xD8), 0.8f));
    return icon;
}

namespace {

void Put16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, unsigned v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

int Byte(float v) { return std::clamp(static_cast<int>(std::lround(v * 255)), 0, 255); }

// BITMAPINFOHEADER, the picture's rows bottom up in BGRA, then the mask
// (1 = clear) for readers that know no alpha.
std::string IconImage(const Layer& layer) {
    const int size = layer.Width();
    const int maskStride = ((size + 31) / 32) * 4;
    std::string out;
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(size));
    Put32(out, static_cast<unsigned>(size * 2));  // picture and mask
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);  // BI_RGB
    Put32(out, static_cast<unsigned>(size * size * 4 + maskStride * size));
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            const RGBA& c = layer.At(x, y);
            const int a = Byte(c.A);
            out += static_cast<char>(a ? Byte(c.B) : 0);
            out += static_cast<char>(a ? Byte(c.G) : 0);
            out += static_cast<char>(a ? Byte(c.R) : 0);
            out += static_cast<char>(a);
        }
    for (int y = size - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(maskStride), '\0');
        for (int x = 0; x < size; ++x)
            if (Byte(layer.At(x, y).A) == 0) row[static_cast<size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        out += row;
    }
    return out;
}

}  // namespace

std::string MakeProgramIconFile() {
    const std::vector<int>& sizes = ProgramIconSizes();
    std::vector<std::string> images;
    for (int size : sizes) images.push_back(IconImage(DrawProgramIcon(size)));
    std::string out;
    Put16(out, 0);
    Put16(out, 1);  // an icon
    Put16(out, static_cast<unsigned>(sizes.size()));
    unsigned offset = static_cast<unsigned>(6 + 16 * sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        out += static_cast<char>(sizes[i]);
        out += static_cast<char>(sizes[i]);
        out += '\0';  // no palette
        out += '\0';
        Put16(out, 1);   // planes
        Put16(out, 32);  // bits per pixel
        Put32(out, static_cast<unsigned>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const std::string& image : images) out += image;
    return out;
}

}  // namespace skingen
