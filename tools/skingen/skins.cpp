#include "skins.h"

#include <cmath>
#include <cstdint>
#include <tuple>

#include "painter.h"
#include "skin/core/bmpfile.h"
#include "skinbuilder.h"

namespace skingen {

std::string WriteJpeg(const skin::TPixels& pixels, int quality);

namespace {

using skin::MakeColor;

TColor Hex(uint32_t rgb) { return MakeColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

struct Palette {
    std::string Name, FileStem, Description;
    TColor Window, Text, TextDim;
    TColor TitleTop, TitleMid, TitleBottom, TitleText;              // active title
    TColor TitleOffTop, TitleOffBottom, TitleOffText;               // inactive title
    TColor FrameOuter, FrameInner, FrameOff;
    TColor Accent, AccentGlow;
    TColor ButtonTop, ButtonBottom, ButtonBorder, ButtonText;
    TColor HotTop, HotBottom, HotText;
    TColor PressedTop, PressedBottom;
    TColor EditBack, EditBorder, EditText;
    TColor PanelTop, PanelBottom, PanelLow, PanelLight, PanelDark;
    TColor Track, ThumbTop, ThumbBottom, ThumbBorder, Arrow;
    TColor MenuLineTop, MenuLineBottom, MenuLineText;
    TColor MenuBack, MenuText, IcoLine, MenuHotTop, MenuHotBottom, MenuHotBorder, MenuHotText;
    TColor ProgressTop, ProgressBottom;
    TColor CloseHot;
    TColor TitleGlyph;
    int Background;  // 0 plain, 1 a starfield picture, 2 a frost texture under the gradient
};

Palette Pulsar() {
    Palette p;
    p.Name = "Pulsar (internal)", p.FileStem = "pulsar";
    p.Description = "A dark skin of deep space with cyan light";
    p.Window = Hex(0x1B1F2E), p.Text = Hex(0xD8E2F0), p.TextDim = Hex(0x6A7488);
    p.TitleTop = Hex(0x4B3A9A), p.TitleMid = Hex(0x2E2368), p.TitleBottom = Hex(0x1A1540), p.TitleText = Hex(0xF2F6FF);
    p.TitleOffTop = Hex(0x2C3042), p.TitleOffBottom = Hex(0x1E2130), p.TitleOffText = Hex(0x8890A4);
    p.FrameOuter = Hex(0x07080D), p.FrameInner = Hex(0x5A4CB0), p.FrameOff = Hex(0x3A3F52);
    p.Accent = Hex(0x19D3FF), p.AccentGlow = Hex(0x7FE8FF);
    p.ButtonTop = Hex(0x3B4366), p.ButtonBottom = Hex(0x262B45), p.ButtonBorder = Hex(0x0C0E18), p.ButtonText = Hex(0xE4ECF8);
    p.HotTop = Hex(0x3D5F9A), p.HotBottom = Hex(0x263E70), p.HotText = Hex(0xFFFFFF);
    p.PressedTop = Hex(0x1A2038), p.PressedBottom = Hex(0x2A3558);
    p.EditBack = Hex(0x10131D), p.EditBorder = Hex(0x3C4360), p.EditText = Hex(0xE0E8F4);
    p.PanelTop = Hex(0x252A3C), p.PanelBottom = Hex(0x1E2232), p.PanelLow = Hex(0x171A27);
    p.PanelLight = Hex(0x3A405A), p.PanelDark = Hex(0x0B0D15);
    p.Track = Hex(0x141724), p.ThumbTop = Hex(0x46507A), p.ThumbBottom = Hex(0x333B5E), p.ThumbBorder = Hex(0x0C0E18);
    p.Arrow = Hex(0xA8BCE0);
    p.MenuLineTop = Hex(0x23283A), p.MenuLineBottom = Hex(0x1B1F2E), p.MenuLineText = Hex(0xD8E2F0);
    p.MenuBack = Hex(0x1E2233), p.MenuText = Hex(0xD8E2F0), p.IcoLine = Hex(0x161925);
    p.MenuHotTop = Hex(0x3C3388), p.MenuHotBottom = Hex(0x2A2466), p.MenuHotBorder = Hex(0x19D3FF), p.MenuHotText = Hex(0xFFFFFF);
    p.ProgressTop = Hex(0x5FE3FF), p.ProgressBottom = Hex(0x0077C8);
    p.CloseHot = Hex(0xD8324A);
    p.TitleGlyph = Hex(0xE8EEFF);
    p.Background = 1;
    return p;
}

Palette Office2007Black() {
    Palette p;
    p.Name = "Office2007 Black (internal)", p.FileStem = "office2007black";
    p.Description = "Black glass title and menu over silver windows, amber light";
    p.Window = Hex(0xDDE1E6), p.Text = Hex(0x1C1E22), p.TextDim = Hex(0x8A9099);
    p.TitleTop = Hex(0x5E636C), p.TitleMid = Hex(0x2A2D33), p.TitleBottom = Hex(0x16181C), p.TitleText = Hex(0xFFFFFF);
    p.TitleOffTop = Hex(0x8C9199), p.TitleOffBottom = Hex(0x696E77), p.TitleOffText = Hex(0xDADDE2);
    p.FrameOuter = Hex(0x0B0C0E), p.FrameInner = Hex(0x6B7079), p.FrameOff = Hex(0x9AA0A8);
    p.Accent = Hex(0xF5A623), p.AccentGlow = Hex(0xFFD580);
    p.ButtonTop = Hex(0xFBFCFD), p.ButtonBottom = Hex(0xD9DDE3), p.ButtonBorder = Hex(0x8B939D), p.ButtonText = Hex(0x1C1E22);
    p.HotTop = Hex(0xFFF4CF), p.HotBottom = Hex(0xFFD77A), p.HotText = Hex(0x1C1E22);
    p.PressedTop = Hex(0xF7B65A), p.PressedBottom = Hex(0xFBD38C);
    p.EditBack = Hex(0xFFFFFF), p.EditBorder = Hex(0xA3ABB6), p.EditText = Hex(0x1C1E22);
    p.PanelTop = Hex(0xE8EBEF), p.PanelBottom = Hex(0xD6DAE0), p.PanelLow = Hex(0xD2D6DC);
    p.PanelLight = Hex(0xFFFFFF), p.PanelDark = Hex(0x9AA1AB);
    p.Track = Hex(0xE9EBEE), p.ThumbTop = Hex(0xF7F8FA), p.ThumbBottom = Hex(0xCDD2D9), p.ThumbBorder = Hex(0x8B939D);
    p.Arrow = Hex(0x3C4048);
    p.MenuLineTop = Hex(0x42464D), p.MenuLineBottom = Hex(0x25282D), p.MenuLineText = Hex(0xFFFFFF);
    p.MenuBack = Hex(0xF8F9FA), p.MenuText = Hex(0x1C1E22), p.IcoLine = Hex(0xE3E6EA);
    p.MenuHotTop = Hex(0xFFF2C6), p.MenuHotBottom = Hex(0xFFD97E), p.MenuHotBorder = Hex(0xE0A030), p.MenuHotText = Hex(0x1C1E22);
    p.ProgressTop = Hex(0x9BE06A), p.ProgressBottom = Hex(0x3C9A1C);
    p.CloseHot = Hex(0xD9412B);
    p.TitleGlyph = Hex(0xFFFFFF);
    p.Background = 0;
    return p;
}

Palette Cold() {
    Palette p;
    p.Name = "Cold (internal)", p.FileStem = "cold";
    p.Description = "Ice blue and frost white";
    p.Window = Hex(0xE6EFF8), p.Text = Hex(0x12304C), p.TextDim = Hex(0x8CA0B4);
    p.TitleTop = Hex(0x8ACDF4), p.TitleMid = Hex(0x3E95DA), p.TitleBottom = Hex(0x2A74BC), p.TitleText = Hex(0xFFFFFF);
    p.TitleOffTop = Hex(0xD2E0EE), p.TitleOffBottom = Hex(0xB2C6DA), p.TitleOffText = Hex(0x5A6E84);
    p.FrameOuter = Hex(0x24527E), p.FrameInner = Hex(0xCFE8FF), p.FrameOff = Hex(0x8FA8C0);
    p.Accent = Hex(0x3AA4EE), p.AccentGlow = Hex(0xA8DCFF);
    p.ButtonTop = Hex(0xFFFFFF), p.ButtonBottom = Hex(0xD8E8F6), p.ButtonBorder = Hex(0x7FA5C8), p.ButtonText = Hex(0x12304C);
    p.HotTop = Hex(0xF2FBFF), p.HotBottom = Hex(0xC2E4FA), p.HotText = Hex(0x0A2640);
    p.PressedTop = Hex(0xAED3F0), p.PressedBottom = Hex(0xCBE5F8);
    p.EditBack = Hex(0xFFFFFF), p.EditBorder = Hex(0x9CB8D2), p.EditText = Hex(0x12304C);
    p.PanelTop = Hex(0xF0F6FC), p.PanelBottom = Hex(0xDCE8F4), p.PanelLow = Hex(0xE1EBF5);
    p.PanelLight = Hex(0xFFFFFF), p.PanelDark = Hex(0x9FBAD3);
    p.Track = Hex(0xE2ECF6), p.ThumbTop = Hex(0xF7FBFF), p.ThumbBottom = Hex(0xC3DAEF), p.ThumbBorder = Hex(0x86A9CA);
    p.Arrow = Hex(0x355E86);
    p.MenuLineTop = Hex(0xE4EFF9), p.MenuLineBottom = Hex(0xCCDDEE), p.MenuLineText = Hex(0x12304C);
    p.MenuBack = Hex(0xF6FAFD), p.MenuText = Hex(0x12304C), p.IcoLine = Hex(0xE1EDF8);
    p.MenuHotTop = Hex(0xE2F3FF), p.MenuHotBottom = Hex(0xBCE0FA), p.MenuHotBorder = Hex(0x6AB4EA), p.MenuHotText = Hex(0x0A2640);
    p.ProgressTop = Hex(0x8CDCFF), p.ProgressBottom = Hex(0x1F8CDC);
    p.CloseHot = Hex(0xE04848);
    p.TitleGlyph = Hex(0xFFFFFF);
    p.Background = 2;
    return p;
}

// ---- pieces -----------------------------------------------------------------

using Frames = std::vector<Layer>;

// A button face with its edge: rounded, with a light inner line on top.
Layer ButtonFrame(int w, int h, float r, TColor border, TColor top, TColor bottom, bool face, bool pressed) {
    Layer l(w, h);
    if (face) l.RoundRect(0, 0, float(w), float(h), r, Vertical(top, bottom, 0, float(h)));
    l.RoundRing(0, 0, float(w), float(h), r, 1, Solid(border));
    if (pressed)
        l.RoundRing(1, 1, float(w - 1), float(h - 1), r - 1, 1.5f, Vertical(skin::clBlack, skin::clBlack, 0, float(h), 0.18f));
    else
        l.RoundRing(1, 1, float(w - 1), float(h - 1), r - 1, 1, Vertical(skin::clWhite, skin::clWhite, 0, float(h), 0.35f));
    return l;
}

// The three states of a push button's edge over a face painted by its section.
Frames ButtonEdges(const Palette& p, int size, float r) {
    return {ButtonFrame(size, size, r, p.ButtonBorder, 0, 0, false, false),
            ButtonFrame(size, size, r, skingen::Mix(p.ButtonBorder, p.Accent, 0.7), 0, 0, false, false),
            ButtonFrame(size, size, r, skingen::Darker(p.ButtonBorder, 0.2), 0, 0, false, true)};
}

// Title-bar buttons: a plate only when hot or pressed, the sign always.
template <class Sign>
Frames TitleButton(const Palette& p, int w, int h, TColor hotPlate, const Sign& sign) {
    Frames frames;
    for (int state = 0; state < 3; ++state) {
        Layer l(w, h);
        if (state == 1) l.RoundRect(1, 1, float(w - 1), float(h - 1), 3, Vertical(Lighter(hotPlate, 0.25), hotPlate, 1, float(h - 1), 0.9f));
        if (state == 2) l.RoundRect(1, 1, float(w - 1), float(h - 1), 3, Vertical(Darker(hotPlate, 0.35), Darker(hotPlate, 0.15), 1, float(h - 1)));
        if (state > 0) l.RoundRing(1, 1, float(w - 1), float(h - 1), 3, 1, Solid(skin::clBlack, 0.35f));
        const float cy = float(h) / 2 + (state == 2 ? 0.5f : 0.0f);
        sign(l, float(w) / 2, cy + 1, Solid(skin::clBlack, 0.3f));  // a soft shadow keeps it readable on light titles
        sign(l, float(w) / 2, cy, Solid(p.TitleGlyph));
        frames.push_back(std::move(l));
    }
    return frames;
}

void CloseSign(Layer& l, float cx, float cy, const Paint& ink) {
    l.Line(cx - 4, cy - 4, cx + 4, cy + 4, 1.8f, ink);
    l.Line(cx - 4, cy + 4, cx + 4, cy - 4, 1.8f, ink);
}
void MinSign(Layer& l, float cx, float cy, const Paint& ink) { l.RoundRect(cx - 4.5f, cy + 2, cx + 4.5f, cy + 4, 0.5f, ink); }
void MaxSign(Layer& l, float cx, float cy, const Paint& ink) {
    l.RoundRing(cx - 4.5f, cy - 4.5f, cx + 4.5f, cy + 4.5f, 0.5f, 1.2f, ink);
    l.RoundRect(cx - 4.5f, cy - 4.5f, cx + 4.5f, cy - 2.5f, 0.5f, ink);
}
void NormSign(Layer& l, float cx, float cy, const Paint& ink) {
    l.RoundRing(cx - 2, cy - 5, cx + 5, cy + 2, 0.5f, 1.2f, ink);
    l.RoundRing(cx - 5, cy - 2, cx + 2, cy + 5, 0.5f, 1.2f, ink);
}
void HelpSign(Layer& l, float cx, float cy, const Paint& ink) {
    l.Line(cx - 3, cy - 2.5f, cx - 1.5f, cy - 4.5f, 1.6f, ink);
    l.Line(cx - 1.5f, cy - 4.5f, cx + 1.5f, cy - 4.5f, 1.6f, ink);
    l.Line(cx + 1.5f, cy - 4.5f, cx + 3, cy - 2.5f, 1.6f, ink);
    l.Line(cx + 3, cy - 2.5f, cx, cy + 0.5f, 1.6f, ink);
    l.Line(cx, cy + 0.5f, cx, cy + 1.5f, 1.6f, ink);
    l.Disc(cx, cy + 4, 1.1f, ink);
}

// Check boxes and radio buttons: normal, hot and pressed frames.
Frames CheckFrames(const Palette& p, int size, bool radio, int mark) {
    Frames frames;
    const float s = float(size);
    for (int state = 0; state < 3; ++state) {
        Layer l(size, size);
        const TColor border = state == 0 ? p.EditBorder : (state == 1 ? p.Accent : Darker(p.Accent, 0.2));
        const TColor top = state == 2 ? Mix(p.EditBack, p.Accent, 0.25) : p.EditBack;
        const TColor bottom = state == 0 ? Mix(p.EditBack, p.EditBorder, 0.25) : Mix(p.EditBack, p.Accent, 0.2);
        const Paint ink = Solid(Mix(p.EditText, p.Accent, 0.35));
        if (radio) {
            l.Disc(s / 2, s / 2, s / 2 - 0.5f, Vertical(top, bottom, 0, s));
            l.Ring(s / 2, s / 2, s / 2 - 0.5f, 1, Solid(border));
            if (mark == 1) l.Disc(s / 2, s / 2, s / 5, ink);
            if (mark == 2) l.Disc(s / 2, s / 2, s / 5, Solid(p.TextDim));
        } else {
            l.RoundRect(0.5f, 0.5f, s - 0.5f, s - 0.5f, 2, Vertical(top, bottom, 0, s));
            l.RoundRing(0.5f, 0.5f, s - 0.5f, s - 0.5f, 2, 1, Solid(border));
            if (mark == 1) {
                l.Line(s * 0.25f, s * 0.52f, s * 0.43f, s * 0.72f, s / 8, ink);
                l.Line(s * 0.43f, s * 0.72f, s * 0.76f, s * 0.3f, s / 8, ink);
            }
            if (mark == 2) l.RoundRect(s * 0.3f, s * 0.3f, s * 0.7f, s * 0.7f, 1, Solid(p.TextDim));
        }
        frames.push_back(std::move(l));
    }
    return frames;
}

// An arrow glyph pointing 0 left, 1 right, 2 up, 3 down; three states.
Frames ArrowFrames(const Palette& p, int size, int direction) {
    Frames frames;
    for (int state = 0; state < 3; ++state) {
        Layer l(size, size);
        const TColor ink = state == 0 ? p.Arrow : (state == 1 ? Mix(p.Arrow, p.Accent, 0.6) : Darker(p.Arrow, 0.15));
        const float c = size / 2.0f, a = size * 0.22f, b = size * 0.36f;
        std::vector<std::pair<float, float>> tri;
        switch (direction) {
            case 0: tri = {{c - a, c}, {c + a, c - b}, {c + a, c + b}}; break;
            case 1: tri = {{c + a, c}, {c - a, c - b}, {c - a, c + b}}; break;
            case 2: tri = {{c, c - a}, {c - b, c + a}, {c + b, c + a}}; break;
            default: tri = {{c, c + a}, {c - b, c - a}, {c + b, c - a}}; break;
        }
        l.Polygon(tri, Solid(ink));
        frames.push_back(std::move(l));
    }
    return frames;
}

// Scroll bar thumbs: a rounded bar across the track, with its face.
Frames ThumbFrames(const Palette& p, int w, int h, bool horizontal) {
    Frames frames;
    for (int state = 0; state < 3; ++state) {
        Layer l(w, h);
        const TColor top = state == 0 ? p.ThumbTop : (state == 1 ? Mix(p.ThumbTop, p.AccentGlow, 0.35) : Darker(p.ThumbBottom, 0.1));
        const TColor bottom = state == 0 ? p.ThumbBottom : (state == 1 ? Mix(p.ThumbBottom, p.Accent, 0.35) : Darker(p.ThumbBottom, 0.2));
        const Paint face = horizontal ? Vertical(top, bottom, 1, float(h - 1)) : Horizontal(top, bottom, 1, float(w - 1));
        l.RoundRect(1, 1, float(w - 1), float(h - 1), 3.5f, face);
        l.RoundRing(1, 1, float(w - 1), float(h - 1), 3.5f, 1, Solid(state == 1 ? Mix(p.ThumbBorder, p.Accent, 0.6) : p.ThumbBorder));
        frames.push_back(std::move(l));
    }
    return frames;
}

// Three short grip lines across a thumb.
Frames GripLines(const Palette& p, bool horizontal) {
    Frames frames;
    for (int state = 0; state < 3; ++state) {
        Layer l(8, 8);
        const Paint ink = Solid(state == 1 ? Darker(p.Accent, 0.2) : Darker(p.ThumbBorder, 0.1), 0.8f);
        for (int i = 0; i < 3; ++i) {
            const float at = 1.5f + i * 2.5f;
            if (horizontal)
                l.Line(at, 1.5f, at, 6.5f, 1, ink);
            else
                l.Line(1.5f, at, 6.5f, at, 1, ink);
        }
        frames.push_back(std::move(l));
    }
    return frames;
}

// A stored skin's starfield: faint nebula clouds and stars, tiling without seams.
std::string Starfield(const Palette& p, int w, int h) {
    skin::TPixelBitmap bmp(w, h);
    uint32_t seed = 20240611u;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / float(1 << 24);
    };
    struct Cloud {
        float X, Y, R;
        TColor C;
    };
    std::vector<Cloud> clouds;
    for (int i = 0; i < 7; ++i)
        clouds.push_back({next() * w, next() * h, 40 + next() * 90, i % 2 ? Hex(0x3A2A7A) : Hex(0x17456E)});
    std::vector<float> light(static_cast<size_t>(w) * h, 0);
    for (int i = 0; i < 260; ++i) {
        const int x = int(next() * w), y = int(next() * h);
        const float b = next();
        light[static_cast<size_t>(y) * w + x] = b * b;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            TColor c = p.Window;
            for (const Cloud& cl : clouds) {
                // The nearest copy of the cloud, so that the picture tiles.
                float dx = std::fabs(x - cl.X), dy = std::fabs(y - cl.Y);
                dx = std::min(dx, w - dx), dy = std::min(dy, h - dy);
                const float t = std::exp(-(dx * dx + dy * dy) / (2 * cl.R * cl.R)) * 0.22f;
                c = Mix(c, cl.C, t);
            }
            const float s = light[static_cast<size_t>(y) * w + x];
            if (s > 0) c = Mix(c, Hex(0xE8F4FF), 0.25 + 0.75 * s);
            skin::SetPixelColor(bmp.Pixels().At(x, y), c);
        }
    return WriteJpeg(bmp.Pixels(), 90);
}

// Frost for the cold skin: soft crossing streaks, tiling without seams.
std::string Frost(const Palette& p, int size) {
    skin::TPixelBitmap bmp(size, size);
    const float k = 2 * 3.14159265f / size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float v = 0.5f + 0.18f * std::sin(k * (3 * x + 2 * y)) + 0.16f * std::sin(k * (5 * x - 4 * y)) +
                            0.12f * std::sin(k * (7 * y + x)) + 0.08f * std::sin(k * (11 * x + 9 * y));
            skin::SetPixelColor(bmp.Pixels().At(x, y), Mix(Hex(0xBFD9F0), Hex(0xFFFFFF), std::clamp(v, 0.0f, 1.0f)));
        }
    (void)p;
    return WriteJpeg(bmp.Pixels(), 92);
}

// A picture of its own with a mask row below it: the size grip, three frames.
std::string GripPicture(const Palette& p) {
    const int f = 12;
    skin::TPixelBitmap bmp(3 * f, 2 * f);
    for (int s = 0; s < 3; ++s) {
        Layer l(f, f);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j <= i; ++j) {
                const float x = f - 2.5f - (i - j) * 3.5f, y = f - 2.5f - j * 3.5f;
                l.Disc(x + 0.7f, y + 0.7f, 1.1f, Solid(skin::clWhite, 0.6f));
                l.Disc(x, y, 1.1f, Solid(p.PanelDark));
            }
        EmitMasked(bmp.Pixels(), s * f, 0, l);
    }
    return skin::WriteBmp(bmp.Pixels());
}

// ---- one skin -----------------------------------------------------------------

OwnSkin Build(const Palette& p) {
    SkinBuilder b(Hex(0xFF00FF));
    const std::string G = "GLOBALINFO";
    b.Set(G, "VERSION", "6.00");
    b.Set(G, "AUTHOR", "NorvixSim");
    b.Set(G, "DESCRIPTION", p.Description);
    b.Set(G, "MASTERBITMAP", "Master.bmp");
    b.Set(G, "SHADOW1COLOR", 0);
    b.Set(G, "SHADOW1OFFSET", 0);
    b.Set(G, "SHADOW1BLUR", -1);
    b.Set(G, "SHADOW1TRANSPARENCY", 0);
    b.Set(G, "BORDERCOLOR", p.FrameOuter);
    b.Set(G, "BISPACE", 1);
    b.Set(G, "COLOR", p.Window);
    b.Set(G, "FONTCOLOR", p.Text);
    b.Set(G, "HOTCOLOR", p.HotBottom);
    b.Set(G, "HOTFONTCOLOR", p.HotText);

    // Window frame and title: inactive and active.
    auto frame = [&](TColor outer, TColor inner) {
        Layer l(24, 24);
        l.RoundRing(0, 0, 24, 24, 6, 1, Solid(outer));
        l.RoundRing(1, 1, 23, 23, 5, 1, Solid(inner, 0.8f));
        return l;
    };
    b.Set("FORM", "COLOR", p.Window);
    b.Set("FORM", "FONTCOLOR", p.Text);
    b.Set("FORM", "HOTCOLOR", p.Window);
    b.Set("FORM", "HOTFONTCOLOR", p.Text);
    b.Border("FORM", "BORDERSMASK", {frame(p.FrameOuter, p.FrameOff), frame(p.FrameOuter, p.FrameInner)}, 7, 7, 7, 7);
    if (p.Background == 1) {
        b.AddFile("Stars.jpg", Starfield(p, 320, 300));
        b.Set("FORM", "PATTERN", "Stars.jpg");
        b.Set("FORM", "HOTPATTERN", "Stars.jpg");
        b.Set("FORM", "IMAGEPERCENT", 100);
        b.Set("FORM", "HOTIMAGEPERCENT", 100);
    } else if (p.Background == 2) {
        b.AddFile("Frost.jpg", Frost(p, 128));
        b.Set("FORM", "PATTERN", "Frost.jpg");
        b.Set("FORM", "HOTPATTERN", "Frost.jpg");
        b.Set("FORM", "IMAGEPERCENT", 22);
        b.Set("FORM", "HOTIMAGEPERCENT", 22);
        b.Set("FORM", "GRADIENTPERCENT", 78);
        b.Set("FORM", "HOTGRADIENTPERCENT", 78);
        b.Gradient("FORM", "GRADIENTDATA", {{Lighter(p.Window, 0.5), p.Window, 100}}, 0);
        b.Gradient("FORM", "HOTGRADIENTDATA", {{Lighter(p.Window, 0.5), p.Window, 100}}, 0);
    }
    b.Set("DIALOG", "PARENTCLASS", "FORM");
    b.Set("MDIAREA", "COLOR", Darker(p.Window, 0.12));

    const std::string T = "FORMTITLE";
    b.Set(T, "COLOR", p.TitleOffBottom);
    b.Set(T, "HOTCOLOR", p.TitleBottom);
    b.Set(T, "FONTCOLOR", p.TitleOffText);
    b.Set(T, "HOTFONTCOLOR", p.TitleText);
    b.Set(T, "HOTTCBOTTOM", Darker(p.TitleBottom, 0.5));
    b.Set(T, "GRADIENTPERCENT", 100);
    b.Set(T, "HOTGRADIENTPERCENT", 100);
    b.Gradient(T, "GRADIENTDATA", {{p.TitleOffTop, p.TitleOffBottom, 100}}, 0);
    b.Gradient(T, "HOTGRADIENTDATA", {{Lighter(p.TitleTop, 0.15), p.TitleMid, 45}, {Darker(p.TitleMid, 0.25), p.TitleBottom, 55}}, 0);
    auto title = [&](TColor outer, TColor inner, TColor shine) {
        Layer l(24, 24);
        l.RoundRing(0, 0, 24, 40, 6, 1, Solid(outer));
        l.RoundRing(1, 1, 23, 40, 5, 1, Solid(inner, 0.6f));
        l.Line(7, 1.5f, 17, 1.5f, 1, Solid(shine, 0.5f));
        return l;
    };
    b.Border(T, "BORDERSMASK", {title(p.FrameOuter, p.FrameOff, p.TitleOffTop), title(p.FrameOuter, p.FrameInner, skin::clWhite)}, 7, 7, 7, 2, 0,
             true);

    // Title-bar buttons, big and small, and the plate of user buttons.
    b.Glyph(G, "BICONCLOSE", TitleButton(p, 27, 19, p.CloseHot, CloseSign));
    b.Glyph(G, "BICONMAX", TitleButton(p, 25, 19, p.Accent, MaxSign));
    b.Glyph(G, "BICONNORM", TitleButton(p, 25, 19, p.Accent, NormSign));
    b.Glyph(G, "BICONMIN", TitleButton(p, 25, 19, p.Accent, MinSign));
    b.Glyph(G, "BICONHELP", TitleButton(p, 25, 19, p.Accent, HelpSign));
    b.Glyph(G, "SICONCLOSE", TitleButton(p, 19, 15, p.CloseHot, CloseSign));
    b.Glyph(G, "SICONMAX", TitleButton(p, 19, 15, p.Accent, MaxSign));
    b.Glyph(G, "SICONNORM", TitleButton(p, 19, 15, p.Accent, NormSign));
    b.Glyph(G, "SICONMIN", TitleButton(p, 19, 15, p.Accent, MinSign));
    b.Glyph(G, "SICONHELP", TitleButton(p, 19, 15, p.Accent, HelpSign));
    b.Glyph(G, "TITLEBUTTON", TitleButton(p, 25, 19, p.Accent, [](Layer&, float, float, const Paint&) {}));
    b.AddFile("Grip.bmp", GripPicture(p));
    b.Set(G, "GRIPIMAGE", "!Grip.bmp!3!1!2");

    // Check boxes and radio buttons.
    const char* boxes[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED"};
    const char* radios[] = {"RADIOUNCHECKED", "RADIOCHECKED", "RADIOGRAYED"};
    const char* small[] = {"SMALLUNCHECKED", "SMALLCHECKED", "SMALLGRAYED"};
    for (int mark = 0; mark < 3; ++mark) {
        b.Glyph(G, boxes[mark], CheckFrames(p, 15, false, mark));
        b.Glyph(G, radios[mark], CheckFrames(p, 15, true, mark));
        b.Glyph(G, small[mark], CheckFrames(p, 11, false, mark));
    }
    b.Set("CHECKBOX", "TRANSPARENCY", 100);
    b.Set("CHECKBOX", "HOTTRANSPARENCY", 100);
    b.Set("CHECKBOX", "COLOR", p.Window);
    b.Set("CHECKBOX", "FONTCOLOR", p.Text);
    b.Set("CHECKBOX", "HOTFONTCOLOR", Mix(p.Text, p.Accent, 0.5));
    b.Set("RADIOBUTTON", "PARENTCLASS", "CHECKBOX");

    // Buttons: the face is the section's gradient, the mask its edge.
    const std::string B = "BUTTON";
    b.Set(B, "COLOR", p.ButtonBottom);
    b.Set(B, "HOTCOLOR", p.HotBottom);
    b.Set(B, "FONTCOLOR", p.ButtonText);
    b.Set(B, "HOTFONTCOLOR", p.HotText);
    b.Set(B, "GRADIENTPERCENT", 100);
    b.Set(B, "HOTGRADIENTPERCENT", 100);
    b.Gradient(B, "GRADIENTDATA", {{p.ButtonTop, Mix(p.ButtonTop, p.ButtonBottom, 0.4), 48}, {Mix(p.ButtonTop, p.ButtonBottom, 0.7), p.ButtonBottom, 52}}, 0);
    b.Gradient(B, "HOTGRADIENTDATA", {{p.HotTop, Mix(p.HotTop, p.HotBottom, 0.4), 48}, {Mix(p.HotTop, p.HotBottom, 0.7), p.HotBottom, 52}}, 0);
    b.Set(B, "SHOWFOCUS", "TRUE");
    b.Border(B, "BORDERSMASK", ButtonEdges(p, 12, 3), 4, 4, 4, 4);
    for (const char* child : {"SPEEDBUTTON", "SPEEDBUTTON_SMALL", "TOOLBUTTON", "COMBOBTN"}) b.Set(child, "PARENTCLASS", B);

    // Edits and combo boxes.
    const std::string E = "EDIT";
    b.Set(E, "COLOR", p.EditBack);
    b.Set(E, "HOTCOLOR", p.EditBack);
    b.Set(E, "FONTCOLOR", p.EditText);
    b.Set(E, "HOTFONTCOLOR", p.EditText);
    auto editEdge = [&](TColor border, bool glow) {
        Layer l(10, 10);
        if (glow) l.RoundRing(0, 0, 10, 10, 2.5f, 2, Solid(p.AccentGlow, 0.45f));
        l.RoundRing(0, 0, 10, 10, 2.5f, 1, Solid(border));
        return l;
    };
    b.Border(E, "BORDERSMASK", {editEdge(p.EditBorder, false), editEdge(p.Accent, true)}, 3, 3, 3, 3);
    b.Set("COMBOBOX", "PARENTCLASS", E);
    b.Glyph("COMBOBOX", "GLYPHMASK", ArrowFrames(p, 9, 3));
    b.Set("HINT", "COLOR", Lighter(p.EditBack, 0.02));
    b.Set("HINT", "FONTCOLOR", p.EditText);

    // Group boxes and panels.
    b.Set("GROUPBOX", "TRANSPARENCY", 100);
    b.Set("GROUPBOX", "COLOR", p.Window);
    b.Set("GROUPBOX", "FONTCOLOR", Mix(p.Text, p.Accent, 0.45));
    {
        Layer l(16, 16);
        l.RoundRing(0.5f, 0.5f, 16, 16, 4, 1, Solid(skin::clWhite, p.Background == 1 ? 0.1f : 0.8f));
        l.RoundRing(0, 0, 15.5f, 15.5f, 4, 1, Solid(p.PanelDark, 0.85f));
        b.Border("GROUPBOX", "BORDERSMASK", {l}, 5, 5, 5, 5);
    }
    b.Set("PANEL", "COLOR", p.PanelBottom);
    b.Set("PANEL", "FONTCOLOR", p.Text);
    b.Set("PANEL", "GRADIENTPERCENT", 100);
    b.Gradient("PANEL", "GRADIENTDATA", {{p.PanelTop, p.PanelBottom, 100}}, 0);
    auto panelEdge = [&](bool raised) {
        Layer l(12, 12);
        const TColor light = raised ? p.PanelLight : p.PanelDark, dark = raised ? p.PanelDark : p.PanelLight;
        l.Line(0.5f, 0.5f, 11.5f, 0.5f, 1, Solid(light, 0.9f));
        l.Line(0.5f, 0.5f, 0.5f, 11.5f, 1, Solid(light, 0.9f));
        l.Line(0.5f, 11.5f, 11.5f, 11.5f, 1, Solid(dark, 0.9f));
        l.Line(11.5f, 0.5f, 11.5f, 11.5f, 1, Solid(dark, 0.9f));
        return l;
    };
    b.Border("PANEL", "BORDERSMASK", {panelEdge(true)}, 2, 2, 2, 2);
    b.Set("PANEL_LOW", "COLOR", p.PanelLow);
    b.Set("PANEL_LOW", "FONTCOLOR", p.Text);
    b.Border("PANEL_LOW", "BORDERSMASK", {panelEdge(false)}, 2, 2, 2, 2);
    b.Set("BAR", "PARENTCLASS", "PANEL");
    b.Set("TOOLBAR", "PARENTCLASS", "BAR");
    b.Set("STATUSBAR", "PARENTCLASS", "PANEL");

    // Gauges.
    b.Set("GAUGE", "COLOR", p.EditBack);
    b.Set("GAUGE", "FONTCOLOR", p.EditText);
    b.Border("GAUGE", "BORDERSMASK", {editEdge(p.EditBorder, false)}, 3, 3, 3, 3);
    b.Set("PROGRESSH", "COLOR", p.ProgressBottom);
    b.Set("PROGRESSH", "GRADIENTPERCENT", 100);
    b.Gradient("PROGRESSH", "GRADIENTDATA", {{p.ProgressTop, Mix(p.ProgressTop, p.ProgressBottom, 0.45), 45}, {p.ProgressBottom, Mix(p.ProgressTop, p.ProgressBottom, 0.6), 55}}, 0);
    {
        Layer l(10, 10);
        l.RoundRing(0, 0, 10, 10, 2.5f, 1, Solid(Darker(p.ProgressBottom, 0.35)));
        l.Line(2, 1.5f, 8, 1.5f, 1, Solid(skin::clWhite, 0.5f));
        b.Border("PROGRESSH", "BORDERSMASK", {l}, 3, 3, 3, 3);
    }
    b.Set("PROGRESSV", "PARENTCLASS", "PROGRESSH");
    b.Gradient("PROGRESSV", "GRADIENTDATA", {{p.ProgressTop, Mix(p.ProgressTop, p.ProgressBottom, 0.45), 45}, {p.ProgressBottom, Mix(p.ProgressTop, p.ProgressBottom, 0.6), 55}}, 1);

    // Scroll bars: tracks, thumbs and arrow buttons; their sections carry the
    // track's colour, so that rounded corners sit on the track.
    for (const char* track : {"SCROLLBAR1H", "SCROLLBAR1V"}) {
        const bool h = track[10] == 'H';
        b.Set(track, "COLOR", p.Track);
        b.Set(track, "HOTCOLOR", Darker(p.Track, 0.08));
        b.Set(track, "GRADIENTPERCENT", 100);
        b.Set(track, "HOTGRADIENTPERCENT", 100);
        b.Gradient(track, "GRADIENTDATA", {{Darker(p.Track, 0.06), Lighter(p.Track, 0.04), 100}}, h ? 0 : 1);
        b.Gradient(track, "HOTGRADIENTDATA", {{Darker(p.Track, 0.14), Darker(p.Track, 0.04), 100}}, h ? 0 : 1);
    }
    b.Set("SCROLLBAR2H", "PARENTCLASS", "SCROLLBAR1H");
    b.Set("SCROLLBAR2V", "PARENTCLASS", "SCROLLBAR1V");
    for (const char* slider : {"SCROLLSLIDERH", "SCROLLSLIDERV"}) {
        const bool h = slider[12] == 'H';
        b.Set(slider, "COLOR", p.Track);
        b.Set(slider, "HOTCOLOR", p.Track);
        b.Border(slider, "BORDERSMASK", ThumbFrames(p, 16, 16, h), 5, 5, 5, 5, 4);
        b.Glyph(slider, "GLYPHMASK", GripLines(p, h));
    }
    const char* arrows[] = {"SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLBTNTOP", "SCROLLBTNBOTTOM"};
    for (int d = 0; d < 4; ++d) {
        b.Set(arrows[d], "COLOR", p.Track);
        b.Set(arrows[d], "HOTCOLOR", p.Track);
        Frames plates;
        for (int state = 0; state < 3; ++state) {
            Layer l(16, 16);
            if (state > 0) {
                const TColor face = state == 1 ? Mix(p.ThumbTop, p.AccentGlow, 0.3) : Darker(p.ThumbBottom, 0.12);
                l.RoundRect(1, 1, 15, 15, 3, Solid(face));
                l.RoundRing(1, 1, 15, 15, 3, 1, Solid(p.ThumbBorder, 0.8f));
            }
            plates.push_back(std::move(l));
        }
        b.Border(arrows[d], "BORDERSMASK", plates, 4, 4, 4, 4, 4);
        b.Glyph(arrows[d], "GLYPHMASK", ArrowFrames(p, 9, d));
    }
    b.Set("TRACKBAR", "COLOR", p.Window);
    {
        Layer l(12, 6);
        l.RoundRect(0, 1, 12, 5, 2, Solid(p.PanelDark));
        l.Line(2, 4.5f, 10, 4.5f, 1, Solid(p.PanelLight, 0.7f));
        b.Border("TRACKBAR", "SLIDERCHANNEL", {l}, 3, 2, 3, 2);
    }

    // Menus.
    const std::string M = "MENULINE";
    b.Set(M, "COLOR", p.MenuLineBottom);
    b.Set(M, "HOTCOLOR", p.MenuLineBottom);
    b.Set(M, "FONTCOLOR", p.MenuLineText);
    b.Set(M, "HOTFONTCOLOR", p.MenuLineText);
    b.Set(M, "GRADIENTPERCENT", 100);
    b.Set(M, "HOTGRADIENTPERCENT", 100);
    b.Gradient(M, "GRADIENTDATA", {{p.MenuLineTop, p.MenuLineBottom, 100}}, 0);
    b.Gradient(M, "HOTGRADIENTDATA", {{p.MenuLineTop, p.MenuLineBottom, 100}}, 0);
    b.Set("MAINMENU", "COLOR", p.MenuBack);
    b.Set("MAINMENU", "FONTCOLOR", p.MenuText);
    {
        Layer l(12, 12);
        l.RoundRect(0, 0, 12, 12, 3, Solid(p.MenuBack));
        l.RoundRing(0, 0, 12, 12, 3, 1, Solid(Darker(p.MenuBack, 0.35)));
        b.Border("MAINMENU", "BORDERSMASK", {l}, 3, 3, 3, 3);
    }
    const std::string I = "MENUITEM";
    b.Set(I, "COLOR", p.MenuBack);
    b.Set(I, "TRANSPARENCY", 100);
    b.Set(I, "FONTCOLOR", p.MenuText);
    b.Set(I, "HOTCOLOR", p.MenuHotBottom);
    b.Set(I, "HOTFONTCOLOR", p.MenuHotText);
    b.Set(I, "HOTGRADIENTPERCENT", 100);
    b.Gradient(I, "HOTGRADIENTDATA", {{p.MenuHotTop, p.MenuHotBottom, 100}}, 0);
    {
        Layer hot(12, 12);
        hot.RoundRing(0, 0, 12, 12, 3, 1, Solid(p.MenuHotBorder));
        hot.RoundRing(1, 1, 11, 11, 2, 1, Solid(skin::clWhite, 0.35f));
        b.Border(I, "BORDERSMASK", {Layer(12, 12), hot}, 3, 3, 3, 3);
    }
    b.Set("ICOLINE", "COLOR", p.IcoLine);
    b.Set("ICOLINE", "FONTCOLOR", p.MenuText);
    b.Set("EXTRALINE", "COLOR", p.TitleMid);
    b.Set("EXTRALINE", "FONTCOLOR", p.TitleText);
    b.Set("EXTRALINE", "GRADIENTPERCENT", 100);
    b.Gradient("EXTRALINE", "GRADIENTDATA", {{p.TitleBottom, p.TitleTop, 100}}, 0);
    {
        Layer l(8, 4);
        l.Line(0, 1.5f, 8, 1.5f, 1, Solid(Darker(p.MenuBack, 0.22)));
        l.Line(0, 2.5f, 8, 2.5f, 1, Solid(Lighter(p.MenuBack, 0.6), 0.8f));
        b.Border("DIVIDERV", "BORDERSMASK", {l}, 1, 1, 1, 1, 4);  // the lines are its centre
    }

    return OwnSkin{p.Name, p.FileStem, b.Files("Master.bmp")};
}

}  // namespace

std::vector<OwnSkin> MakeOwnSkins() { return {Build(Pulsar()), Build(Office2007Black()), Build(Cold())}; }

}  // namespace skingen
