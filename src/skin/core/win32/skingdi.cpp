#include "skin/core/win32/skingdi.h"

#include <shellapi.h>

#include <algorithm>

#include "vcl/wintext.h"

namespace skin {

void FillRectSolid(HDC dc, const TRect& rect, TColor color) {
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(color & 0xFFFFFF));
    RECT r = ToRECT(rect);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void CopyFrameRect(HDC dst, HDC src, const TRect& rect, int width) {
    if (width <= 0 || rect.IsEmpty()) return;
    width = std::min({width, (rect.Width() + 1) / 2, (rect.Height() + 1) / 2});
    auto strip = [&](int l, int t, int r, int b) {
        if (r > l && b > t) BitBlt(dst, l, t, r - l, b - t, src, l, t, SRCCOPY);
    };
    strip(rect.Left, rect.Top, rect.Right, rect.Top + width);
    strip(rect.Left, rect.Bottom - width, rect.Right, rect.Bottom);
    strip(rect.Left, rect.Top + width, rect.Left + width, rect.Bottom - width);
    strip(rect.Right - width, rect.Top + width, rect.Right, rect.Bottom - width);
}

void DrawPixels(HDC dc, int x, int y, const TPixels& pixels, const TRect& srcRect) {
    if (pixels.Empty()) return;
    const TRect sr = IntersectRect(srcRect, TRect{0, 0, pixels.Width, pixels.Height});
    if (sr.IsEmpty()) return;
    // Only the rows of the rectangle are described, whole: the rows step
    // forward in memory (a top-down DIB) or backward (a bottom-up one).
    const bool topDown = pixels.Step > 0;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = pixels.Width;
    info.bmiHeader.biHeight = topDown ? -sr.Height() : sr.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(pixels.BytesPerPixel * 8);
    info.bmiHeader.biCompression = BI_RGB;
    const uint8_t* first = pixels.ScanLine(topDown ? sr.Top : sr.Bottom - 1);
    SetDIBitsToDevice(dc, x, y, sr.Width(), sr.Height(), sr.Left, 0, 0, sr.Height(), first, &info, DIB_RGB_COLORS);
}

bool HasWindowRegion(HWND window, HRGN region) {
    HRGN current = CreateRectRgn(0, 0, 0, 0);
    const bool same = GetWindowRgn(window, current) != ERROR && EqualRgn(current, region);
    DeleteObject(current);
    return same;
}

HRGN RegionOfRects(const std::vector<TRect>& rects) {
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(rects.size());
    header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    RECT bounds{0, 0, 0, 0};
    auto* out = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
    for (size_t i = 0; i < rects.size(); ++i) {
        out[i] = ToRECT(rects[i]);
        UnionRect(&bounds, &bounds, &out[i]);
    }
    header->rcBound = bounds;
    HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
    return region ? region : CreateRectRgn(0, 0, 0, 0);
}

int CaptionFontHeight() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = 340;  // the structure as it was before the padded border was added
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0)) return 0;
    return metrics.lfCaptionFont.lfHeight;
}

std::string AppPath() {
    WCHAR buffer[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    std::string path = vcl::FromWide(buffer, static_cast<int>(length));
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

HICON GetFileIcon(const std::string& fileName, bool large) {
    SHFILEINFOW info{};
    UINT flags = SHGFI_ICON | (large ? SHGFI_LARGEICON : SHGFI_SMALLICON);
    if (!SHGetFileInfoW(vcl::WideText(fileName), 0, &info, sizeof(info), flags)) return nullptr;
    return info.hIcon;
}

}  // namespace skin

namespace skin {

namespace {

HMODULE UxTheme() {
    static HMODULE library = LoadLibraryW(L"uxtheme.dll");
    return library;
}

}  // namespace

bool ThemesEnabled() {
    using IsAppThemedProc = BOOL(WINAPI*)();
    static auto isThemed = reinterpret_cast<IsAppThemedProc>(
        UxTheme() ? reinterpret_cast<void*>(GetProcAddress(UxTheme(), "IsAppThemed")) : nullptr);
    return isThemed && isThemed();
}

void SetWindowThemeOf(HWND window, LPCWSTR subAppName, LPCWSTR subIdList) {
    using SetWindowThemeProc = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static auto setTheme = reinterpret_cast<SetWindowThemeProc>(
        UxTheme() ? reinterpret_cast<void*>(GetProcAddress(UxTheme(), "SetWindowTheme")) : nullptr);
    if (setTheme && window) setTheme(window, subAppName, subIdList);
}

}  // namespace skin
