// Reading back what the screen shows of a skinned window and comparing it
// with the skin: a plain backdrop behind the window shows what is cut away,
// the frame's outline comes from the skin's border pictures, the title
// buttons are found by their pictures, and the caption by drawing the title
// with and without it.
#pragma once
#include "vcl/win.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <fstream>
#include <string>
#include <vector>

#include "skin/core/bmpfile.h"
#include "skin/core/geometry.h"
#include "skin/core/maskdata.h"
#include "skin/core/pixels.h"
#include "skin/core/skincontent.h"
#include "support/vcl_test_support.h"

namespace screentest {

using skin::TPixelBitmap;
using skin::TPixels;

// What shows through a window's cut-away pixels: a colour no skin of ours
// paints; and what stands for the desktop there in the saved pictures.
constexpr COLORREF kBackdrop = RGB(0x12, 0xE4, 0x36);
constexpr COLORREF kDesktop = RGB(0x3A, 0x4A, 0x5A);

inline bool IsColor(const uint8_t* p, COLORREF c) {
    return p[2] == GetRValue(c) && p[1] == GetGValue(c) && p[0] == GetBValue(c);
}

// A plain window kept right behind the window looked at.
class Backdrop {
public:
    Backdrop() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = CreateSolidBrush(kBackdrop);
        wc.lpszClassName = L"NorvixBackdrop";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"NorvixBackdrop", L"", WS_POPUP, 0, 0, 1, 1,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~Backdrop() { DestroyWindow(window_); }
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

    // Over the target's place, just below it. Wine stacks a window on the X
    // server only when it goes to the top: the backdrop goes there first,
    // then the target again.
    void Behind(HWND target) {
        RECT r;
        GetWindowRect(target, &r);
        InflateRect(&r, 16, 16);
        const HWND top = (GetWindowLongW(target, GWL_EXSTYLE) & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_TOP;
        SetWindowPos(window_, top, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        SetWindowPos(target, top, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    void Hide() {
        SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }

private:
    HWND window_;
};

// Lets every window paint and Wine hand its pictures on to the X server.
inline void Settle() {
    for (int i = 0; i < 2; ++i) {
        vcltest::Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// The pixels of a rectangle of a device context.
inline TPixelBitmap Grab(HDC source, int x, int y, int width, int height) {
    TPixelBitmap out(std::max(width, 1), std::max(height, 1));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = out.Width();
    info.bmiHeader.biHeight = -out.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, out.Width(), out.Height(), source, x, y, SRCCOPY);
    GdiFlush();
    const TPixels p = out.Pixels();
    const ptrdiff_t stride = skin::DibRowBytes(out.Width(), 3);
    for (int row = 0; row < out.Height(); ++row)
        std::memcpy(p.ScanLine(row), static_cast<uint8_t*>(bits) + stride * row, static_cast<size_t>(out.Width()) * 3);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return out;
}

inline bool Same(const TPixelBitmap& a, const TPixelBitmap& b) {
    const TPixels p = a.Pixels(), q = b.Pixels();
    if (p.Width != q.Width || p.Height != q.Height) return false;
    for (int y = 0; y < p.Height; ++y)
        if (std::memcmp(p.ScanLine(y), q.ScanLine(y), static_cast<size_t>(p.Width) * 3) != 0) return false;
    return true;
}

// What the screen shows over the window's rectangle, read until two readings agree.
inline TPixelBitmap ScreenOf(HWND window, bool settle = true) {
    RECT r;
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    auto read = [&] { return Grab(screen, r.left, r.top, r.right - r.left, r.bottom - r.top); };
    if (settle) Settle();
    TPixelBitmap shot = read();
    for (int i = 0; settle && i < 10; ++i) {
        Settle();
        TPixelBitmap again = read();
        if (Same(again, shot)) break;
        shot = std::move(again);
    }
    ReleaseDC(nullptr, screen);
    return shot;
}

// The window's own top rows, frame included (what it painted, whatever covers it).
inline TPixelBitmap TopRowsOf(HWND window, int rows) {
    RECT r;
    GetWindowRect(window, &r);
    HDC dc = GetWindowDC(window);
    TPixelBitmap band = Grab(dc, 0, 0, r.right - r.left, rows);
    ReleaseDC(window, dc);
    return band;
}

// Saves a screen reading with the backdrop's colour given back to the desktop.
inline bool SavePicture(const TPixelBitmap& shot, const std::string& path) {
    TPixelBitmap picture = shot;
    const TPixels p = picture.Pixels();
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x)
            if (IsColor(p.At(x, y), kBackdrop)) {
                uint8_t* px = p.At(x, y);
                px[0] = GetBValue(kDesktop), px[1] = GetGValue(kDesktop), px[2] = GetRValue(kDesktop);
            }
    std::ofstream out(path, std::ios::binary);
    out << skin::WriteBmp(p);
    return static_cast<bool>(out);
}

// One border picture of the skin laid over a rectangle of the window in
// nine parts: corners kept, sides tiled, the middle not drawn.
struct FrameLayer {
    const skin::TsMaskData* Mask;
    int State;
    skin::TRect Rect;
};

// The outline of a window's frame as the skin draws it. Each pixel's
// opacity is the highest of the pictures laid over it (255 where none lies:
// the section's own background); Clear marks pixels that every picture
// there leaves to the key colour. Outside is what lies beyond the frame's
// outer ring: reached from the window's edge through pixels less than half
// opaque.
struct FrameShape {
    int Width = 0, Height = 0;
    std::vector<int> Opacity;
    std::vector<uint8_t> Clear, Outside;
};

// Where a window pixel at `pos` of `size` takes its picture pixel from, in
// a frame `frame` long with `lead` and `trail` kept at its ends (-1: the middle).
inline int PictureOffset(int pos, int size, int lead, int trail, int frame) {
    if (pos < lead) return pos;
    if (pos >= size - trail) return frame - (size - pos);
    const int tile = frame - lead - trail;
    return tile > 0 ? lead + (pos - lead) % tile : -1;
}

inline FrameShape ShapeOf(int width, int height, const std::vector<FrameLayer>& layers) {
    FrameShape s;
    s.Width = width, s.Height = height;
    const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    s.Opacity.assign(n, -1);
    s.Clear.assign(n, 1);
    s.Outside.assign(n, 0);
    for (const FrameLayer& layer : layers) {
        const skin::TsMaskData& m = *layer.Mask;
        const TPixels pic = m.Picture();
        const int fw = m.FrameWidth(), fh = m.FrameHeight();
        const int frame = std::clamp(layer.State, 0, std::max(m.ImageCount - 1, 0));
        const int rw = layer.Rect.Width(), rh = layer.Rect.Height();
        for (int ly = 0; ly < rh; ++ly)
            for (int lx = 0; lx < rw; ++lx) {
                const int x = layer.Rect.Left + lx, y = layer.Rect.Top + ly;
                if (x < 0 || y < 0 || x >= width || y >= height) continue;
                if (lx >= m.WL && lx < rw - m.WR && ly >= m.WT && ly < rh - m.WB) continue;
                const int sx = PictureOffset(lx, rw, m.WL, m.WR, fw), sy = PictureOffset(ly, rh, m.WT, m.WB, fh);
                if (sx < 0 || sy < 0) continue;
                const int px = m.SourceRect.Left + frame * fw + sx, py = m.SourceRect.Top + sy;
                const uint8_t* p = pic.At(px, py);
                const bool key = IsColor(p, RGB(0xFF, 0x00, 0xFF));
                const int opacity = key ? 0 : m.MaskType > 0 ? 255 - pic.At(px, py + fh)[0] : 255;
                const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
                s.Opacity[i] = std::max(s.Opacity[i], opacity);
                s.Clear[i] = s.Clear[i] && key;
            }
    }
    std::deque<std::pair<int, int>> queue;
    auto reach = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
        if (s.Outside[i] || s.Opacity[i] < 0 || s.Opacity[i] >= 128) return;
        s.Outside[i] = 1;
        queue.emplace_back(x, y);
    };
    for (int x = 0; x < width; ++x) reach(x, 0), reach(x, height - 1);
    for (int y = 0; y < height; ++y) reach(0, y), reach(width - 1, y);
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        reach(x + 1, y), reach(x - 1, y), reach(x, y + 1), reach(x, y - 1);
    }
    for (size_t i = 0; i < n; ++i) {
        if (s.Opacity[i] < 0) s.Clear[i] = 0;
        s.Opacity[i] = s.Opacity[i] < 0 ? 255 : s.Opacity[i];
    }
    return s;
}

// Where the region and the screen disagree with the frame's outline.
struct FrameFaults {
    int CutInside = 0;      // within the outer ring, not in the window's region
    int SeenInside = 0;     // within it, the backdrop on the screen
    int KeptOutside = 0;    // a clear pixel beyond the ring still in the region
    int HiddenOutside = 0;  // ... the backdrop not seen there
    std::string First;      // the first fault's place
};

// The window's region as a map of its pixels (all in without a region).
inline std::vector<uint8_t> RegionMap(HWND window, int width, int height) {
    std::vector<uint8_t> in(static_cast<size_t>(width) * static_cast<size_t>(height), 1);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(window, region) != ERROR) {
        std::fill(in.begin(), in.end(), 0);
        std::vector<char> data(GetRegionData(region, 0, nullptr));
        auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
        if (!data.empty() && GetRegionData(region, static_cast<DWORD>(data.size()), rgn)) {
            const RECT* rects = reinterpret_cast<const RECT*>(rgn->Buffer);
            for (DWORD k = 0; k < rgn->rdh.nCount; ++k)
                for (int y = std::max<int>(rects[k].top, 0); y < std::min<int>(rects[k].bottom, height); ++y)
                    for (int x = std::max<int>(rects[k].left, 0); x < std::min<int>(rects[k].right, width); ++x)
                        in[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = 1;
        }
    }
    DeleteObject(region);
    return in;
}

// `screen` is what the screen showed over the window with the backdrop behind it.
inline FrameFaults CheckFrame(HWND window, const FrameShape& shape, const TPixels& screen) {
    FrameFaults f;
    const std::vector<uint8_t> region = RegionMap(window, shape.Width, shape.Height);
    auto note = [&](int& count, const char* what, int x, int y) {
        if (count++ == 0 && f.First.empty()) f.First = std::string(what) + " at " + std::to_string(x) + "," + std::to_string(y);
    };
    for (int y = 0; y < shape.Height; ++y)
        for (int x = 0; x < shape.Width; ++x) {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(shape.Width) + static_cast<size_t>(x);
            const bool seen = screen.Contains(x, y) && IsColor(screen.At(x, y), kBackdrop);
            if (!shape.Outside[i]) {
                if (!region[i]) note(f.CutInside, "cut inside the frame", x, y);
                if (seen) note(f.SeenInside, "seen through inside the frame", x, y);
            } else if (shape.Clear[i]) {
                if (region[i]) note(f.KeptOutside, "kept outside the frame", x, y);
                if (!seen && screen.Contains(x, y)) note(f.HiddenOutside, "not seen through outside the frame", x, y);
            }
        }
    return f;
}

// A title button's picture found on the title: which kind, where.
struct FoundButton {
    std::string Kind;
    skin::TRect Rect;
};

// Whether the first (normal) frame of a button picture, laid at (x, y),
// explains every pixel there: its opaque pixels exactly, the others as the
// picture blended over some background.
inline bool ButtonAt(const TPixels& shot, int x, int y, const skin::TsMaskData& m) {
    const TPixels pic = m.Picture();
    const int fw = m.FrameWidth(), fh = m.FrameHeight();
    if (pic.Empty() || x < 0 || y < 0 || x + fw > shot.Width || y + fh > shot.Height) return false;
    for (int j = 0; j < fh; ++j)
        for (int i = 0; i < fw; ++i) {
            const uint8_t* p = pic.At(m.SourceRect.Left + i, m.SourceRect.Top + j);
            if (IsColor(p, RGB(0xFF, 0x00, 0xFF))) continue;
            const uint8_t* keep = m.MaskType > 0 ? pic.At(m.SourceRect.Left + i, m.SourceRect.Top + fh + j) : nullptr;
            const uint8_t* s = shot.At(x + i, y + j);
            for (int c = 0; c < 3; ++c) {
                const int k = keep ? keep[c] : 0;
                const int dark = (-p[c] * k + p[c] * 256) >> 8, light = ((255 - p[c]) * k + p[c] * 256) >> 8;
                if (s[c] < dark - 2 || s[c] > light + 2) return false;
            }
        }
    return true;
}

// The title buttons on a title band, right to left: every place where one
// of the skin's button pictures (by kind) fits, one per place.
inline std::vector<FoundButton> FindButtons(const TPixels& band, const skin::TsSkinContent& skin) {
    static const std::pair<const char*, const char*> kPictures[] = {
        {"BICONCLOSE", "close"}, {"BICONMAX", "max"},   {"BICONNORM", "restore"}, {"BICONMIN", "min"},
        {"BICONHELP", "help"},   {"SICONCLOSE", "close"}, {"SICONMAX", "max"},   {"SICONNORM", "restore"},
        {"SICONMIN", "min"},     {"SICONHELP", "help"}};
    const int global = skin.GetSkinIndex("GLOBALINFO");
    std::vector<FoundButton> found;
    for (const auto& [name, kind] : kPictures) {
        const int index = skin.GetMaskIndex(global, "GLOBALINFO", name);
        if (!skin.IsValidMaskIndex(index)) continue;
        const skin::TsMaskData& m = skin.Masks[static_cast<size_t>(index)];
        for (int y = 0; y + m.FrameHeight() <= band.Height; ++y)
            for (int x = 0; x + m.FrameWidth() <= band.Width; ++x) {
                if (!ButtonAt(band, x, y, m)) continue;
                const skin::TRect r{x, y, x + m.FrameWidth(), y + m.FrameHeight()};
                // A big and a small picture of one kind fit the same sign: one button.
                bool known = false;
                for (FoundButton& b : found)
                    if (r.Left < b.Rect.Right && b.Rect.Left < r.Right) {
                        known = true;
                        if (b.Kind != kind) b.Kind += "|" + std::string(kind);
                    }
                if (!known) found.push_back(FoundButton{kind, r});
            }
    }
    std::sort(found.begin(), found.end(), [](const FoundButton& a, const FoundButton& b) { return a.Rect.Left > b.Rect.Left; });
    return found;
}

inline std::vector<std::string> Kinds(const std::vector<FoundButton>& buttons) {
    std::vector<std::string> kinds;
    for (const FoundButton& b : buttons) kinds.push_back(b.Kind);
    return kinds;
}

// Where two drawings of the same band differ (empty when they do not).
inline skin::TRect Difference(const TPixels& a, const TPixels& b) {
    skin::TRect box{a.Width, a.Height, -1, -1};
    for (int y = 0; y < std::min(a.Height, b.Height); ++y)
        for (int x = 0; x < std::min(a.Width, b.Width); ++x)
            if (std::memcmp(a.At(x, y), b.At(x, y), 3) != 0) {
                box.Left = std::min(box.Left, x), box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1), box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box.Right < 0 ? skin::TRect{} : box;
}

// The first column right of the frame's painted lines, in a row of the shape.
inline int InnerEdge(const FrameShape& shape, int row) {
    for (int x = 0; x < shape.Width / 2; ++x) {
        const size_t i = static_cast<size_t>(row) * static_cast<size_t>(shape.Width) + static_cast<size_t>(x);
        if (!shape.Outside[i] && shape.Opacity[i] < 128) return x;
    }
    return 0;
}

inline std::string PictureFolder() {
    const char* dir = std::getenv("NORVIX_SCREENSHOT_DIR");
    std::string base = dir && *dir ? dir : ".";
    // Made absolute: the program under test moves to a working folder of its own.
    char cwd[4096];
    if (base[0] != '/' && getcwd(cwd, sizeof cwd)) base = std::string(cwd) + "/" + base;
    const std::string folder = base + "/every_window";
    mkdir(base.c_str(), 0755);
    mkdir(folder.c_str(), 0755);
    return folder;
}

}  // namespace screentest
