// The skin core inside the program: our stored skins are compiled in and
// load under Wine, and pictures painted by the window-free core reach a
// real window's device context unchanged, top-down or bottom-up.
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

#include <fstream>

#include "skin/core/bmpfile.h"
#include "skin/core/gradient.h"
#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/skinload.h"
#include "skin/core/win32/skingdi.h"
#include "vcl/wintext.h"

using namespace skin;

namespace {

const int kWidth = 300, kRow = 40;

// A title bar and a button in its three states, as each skin draws them.
void PaintSample(const TsSkinContent& c, const TPixels& p, int top) {
    const int title = c.GetSkinIndex("FORMTITLE"), button = c.GetSkinIndex("BUTTON");
    FillRect(p, {0, top, kWidth, top + kRow}, c.Sections[c.GetSkinIndex("FORM")].Color);
    PaintGradient(p, {0, top, kWidth, top + 14}, c.Sections[title].HotGradientArray);
    const int edge = c.GetMaskIndex(button, "BUTTON", "BORDERSMASK");
    for (int s = 0; s < 3; ++s) {
        const TRect r{8 + s * 96, top + 16, 96 + s * 96, top + 38};
        PaintGradient(p, r, s ? c.Sections[button].HotGradientArray : c.Sections[button].GradientArray);
        DrawSkinRect(p, r, true, TParentCacheInfo{}, c.Masks[edge], s, false);
    }
}

LRESULT CALLBACK SampleProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        auto* picture = reinterpret_cast<const TPixelBitmap*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (picture) DrawPixels(dc, 0, 0, picture->Pixels(), {0, 0, picture->Width(), picture->Height()});
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, msg, wp, lp);
}

}  // namespace

TEST(SkinOnScreen, StoredSkinsLoadAndTheirPixelsReachTheWindowUnchanged) {
    TsStoredSkins stored;
    AddOwnStoredSkins(stored);
    ASSERT_EQ(stored.Count(), 3);
    TPixelBitmap picture(kWidth, kRow * 3);
    for (int i = 0; i < 3; ++i) {
        TsSkinContent content;
        const TSkinLoadResult r = LoadStoredSkin(content, stored.Items(i), {});
        ASSERT_EQ(r.Status, TSkinLoadStatus::Loaded) << r.Message;
        PaintSample(content, picture.Pixels(), i * kRow);
    }

    WNDCLASSW cls{};
    cls.lpfnWndProc = SampleProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"NorvixSkinSample";
    RegisterClassW(&cls);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"NorvixSkinSample", L"", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kRow * 3,
                                  nullptr, nullptr, cls.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&picture));
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    vcltest::Pump();

    // The window's picture, read into a bottom-up section as a BMP file holds it.
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = kRow * 3;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, kWidth, kRow * 3, source, 0, 0, SRCCOPY);
    GdiFlush();
    const ptrdiff_t stride = DibRowBytes(kWidth, 3);
    TPixels seen{static_cast<uint8_t*>(bits) + stride * (kRow * 3 - 1), -stride, kWidth, kRow * 3, 3};
    int differing = 0;
    for (int y = 0; y < seen.Height; ++y)
        for (int x = 0; x < seen.Width; ++x)
            differing += PixelColor(seen.At(x, y)) != PixelColor(picture.Pixels().At(x, y));
    EXPECT_EQ(differing, 0);

    // And back: the bottom-up view put onto the window lands the right way up.
    FillRectSolid(source, {0, 0, kWidth, kRow * 3}, clBlack);
    DrawPixels(source, 10, 5, seen, {20, 30, 120, 90});
    BitBlt(memory, 0, 0, kWidth, kRow * 3, source, 0, 0, SRCCOPY);
    GdiFlush();
    EXPECT_EQ(PixelColor(seen.At(10 + 15, 5 + 22)), PixelColor(picture.Pixels().At(20 + 15, 30 + 22)));
    EXPECT_EQ(PixelColor(seen.At(5, 5)), clBlack);

    if (const char* dir = std::getenv("NORVIX_SCREENSHOT_DIR"))
        std::ofstream(std::string(dir) + "/skin_samples_on_screen.bmp", std::ios::binary) << WriteBmp(picture.Pixels());
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(window, source);
    DestroyWindow(window);
}

TEST(SkinLibrary, TheProgramFolderCaptionFontAndFileIcon) {
    const std::string folder = AppPath();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_NE(GetFileAttributesW(vcl::WideText(folder)), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(CaptionFontHeight(), 0);
    HICON icon = GetFileIcon(folder, true);  // a folder's icon, as the shell shows it
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(icon, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    EXPECT_EQ(GetFileIcon(folder + "no such file.xyz" + std::string(300, 'x'), false), nullptr);
}
