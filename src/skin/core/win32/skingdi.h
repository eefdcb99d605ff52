// The thin Win32 side of the skin core: device-context fills and copies,
// the window-free pixels put onto a device context, and the few system
// queries of the library's utilities.
#pragma once
#include "vcl/win.h"

#include <string>
#include <vector>

#include "skin/core/colors.h"
#include "skin/core/geometry.h"
#include "skin/core/pixels.h"

namespace skin {

inline RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
inline TRect FromRECT(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

// Solid fill with an RGB colour.
void FillRectSolid(HDC dc, const TRect& rect, TColor color);
// The ring of Rect, Width pixels wide, copied from one device context to the other.
void CopyFrameRect(HDC dst, HDC src, const TRect& rect, int width);
// SrcRect of the pixels put onto the device context at (x, y).
void DrawPixels(HDC dc, int x, int y, const TPixels& pixels, const TRect& srcRect);
// Whether the window's region is already this one (the same region set
// again would only repaint the frame once more).
bool HasWindowRegion(HWND window, HRGN region);
// The region made of the rectangles; the caller deletes it.
HRGN RegionOfRects(const std::vector<TRect>& rects);

// lfHeight of the system's caption font; 0 when the system does not say.
int CaptionFontHeight();
// The folder of the program file, with a final backslash.
std::string AppPath();
// The file's icon as the shell shows it; the caller destroys it. nullptr when none.
HICON GetFileIcon(const std::string& fileName, bool large);

}  // namespace skin

namespace skin {

// Whether the system draws controls with visual themes (uxtheme is asked
// at run time; false without it).
bool ThemesEnabled();
// SetWindowTheme of uxtheme, when the library is there.
void SetWindowThemeOf(HWND window, LPCWSTR subAppName, LPCWSTR subIdList);

}  // namespace skin
