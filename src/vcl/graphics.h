// Colours, fonts, pens and brushes; the canvas over a device context; the
// 24-bit bitmap over a DIB section whose pixels the skin core paints
// straight into; icons.
#pragma once
#include "vcl/win.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "pixels/pixelbuffer.h"
#include "vcl/classes.h"

namespace vcl {

// A colour is an RGB value (0x00BBGGRR) or, with the top byte 0xFF, one of
// the system colours by its COLOR_ index.
using TColor = int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
constexpr TColor SystemColor(int index) { return clSystemColor | index; }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;

constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SystemColor(COLOR_MENU);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);

// The RGB value of a colour, system colours resolved.
COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// A font description with its Win32 font made on demand. Height is in
// pixels; a negative height is the character height, as in LOGFONT. Fonts
// that describe the same face share one Win32 font.
class TFont : public TObject {
public:
    TFont();
    ~TFont() override;
    const char* ClassName() const override { return "TFont"; }
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    TColor Color() const { return color_; }
    void SetColor(TColor value);
    int Height() const { return height_; }
    void SetHeight(int value);
    // Points at the screen's 96 pixels per inch.
    int Size() const;
    void SetSize(int points);
    const std::string& Name() const { return name_; }
    void SetName(const std::string& value);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles value);

    int Charset() const { return charset_; }
    void SetCharset(int value);

    void Assign(const TFont& source);
    // Takes over the description of a Win32 font (its colour stays).
    void AssignLogFont(const LOGFONTW& font);
    bool SameAs(const TFont& other) const;
    HFONT Handle() const;

    // Called after every change.
    std::function<void()> OnChange;

private:
    void Changed();
    void ReleaseHandle() const;

    TColor color_;
    int height_;
    std::string name_;
    TFontStyles style_ = 0;
    int charset_ = DEFAULT_CHARSET;
    mutable HFONT handle_ = nullptr;
};

// A solid brush of the colour, made once and kept for the program's life:
// painting code takes its brushes here instead of making one per paint.
HBRUSH SolidBrush(TColor color);

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TObject {
public:
    TPen() = default;
    ~TPen() override;
    TPen(const TPen&) = delete;
    TPen& operator=(const TPen&) = delete;
    const char* ClassName() const override { return "TPen"; }

    TColor Color() const { return color_; }
    void SetColor(TColor value);
    int Width() const { return width_; }
    void SetWidth(int value);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle value);
    void Assign(const TPen& source);
    HPEN Handle() const;

    std::function<void()> OnChange;

private:
    void Changed();
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    mutable HPEN handle_ = nullptr;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TObject {
public:
    const char* ClassName() const override { return "TBrush"; }
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle value);
    void Assign(const TBrush& source);
    // Shared solid brushes (SolidBrush); the null brush for bsClear.
    HBRUSH Handle() const;

    std::function<void()> OnChange;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

class TBitmap;

// Drawing on a device context with a pen, a brush and a font. The tools are
// selected into the context before each drawing call and taken out again
// when the context is let go, so the context's own objects come back.
class TCanvas : public TObject {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    const char* ClassName() const override { return "TCanvas"; }

    // The device context; a canvas that makes its own context makes it now.
    HDC Handle();
    // Draws on another context from now on (nullptr lets it go).
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    TFont* Font() { return &font_; }
    // Raster operation of CopyRect and Draw (SRCCOPY by default).
    DWORD CopyMode() const { return copyMode_; }
    void SetCopyMode(DWORD value) { copyMode_ = value; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const POINT* points, int count);
    void Rectangle(const RECT& rect);
    void Ellipse(const RECT& rect);
    // Fills with the brush, no outline.
    void FillRect(const RECT& rect);
    // A one-pixel frame in the brush colour.
    void FrameRect(const RECT& rect);
    // Text at a point with the font; over the brush colour unless the brush is clear.
    void TextOut(int x, int y, const std::string& text);
    // The same, clipped to the rectangle.
    void TextRect(const RECT& rect, int x, int y, const std::string& text);
    // DrawText with the font, background as in TextOut; returns the text height.
    int DrawText(const std::string& text, RECT& rect, UINT format);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }

    // Copies a rectangle of another canvas, stretching when the sizes differ.
    void CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect);
    void Draw(int x, int y, TBitmap* bitmap);
    void StretchDraw(const RECT& dest, TBitmap* bitmap);

    // The bounds of the clipping region in logical coordinates.
    RECT ClipRect();
    void IntersectClip(const RECT& rect);

protected:
    // Made when Handle is asked for and no context is set.
    virtual void CreateHandle() {}
    void Prepare(bool pen, bool brush, bool font);

private:
    void Deselect();
    HDC dc_ = nullptr;
    HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr, oldFont_ = nullptr;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    DWORD copyMode_ = SRCCOPY;
};

enum TPixelFormat { pf24bit, pf32bit };

// A bitmap over a DIB section, top-down rows. ScanLine and Pixels point at
// the section's own bits: what the canvas draws is there to read at once,
// and what is written there is what the canvas copies out.
class TBitmap : public TObject {
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = pf24bit);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    const char* ClassName() const override { return "TBitmap"; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // A new size keeps what the old picture and the new one share (top left);
    // the rest is black. A size of 0 frees the pixels.
    void SetSize(int width, int height);
    void SetWidth(int value) { SetSize(value, height_); }
    void SetHeight(int value) { SetSize(width_, value); }
    TPixelFormat PixelFormat() const { return format_; }
    void SetPixelFormat(TPixelFormat value);
    bool Empty() const { return bits_ == nullptr; }

    HBITMAP Handle() const { return handle_; }
    // Row y of the pixels (GDI drawing finished first); nullptr outside the bitmap.
    uint8_t* ScanLine(int y);
    // A view of the pixels, as the window-free painting routines take them.
    pixels::TPixels Pixels();
    // A canvas over a memory context with the bitmap selected, made when first asked for.
    TCanvas* Canvas();

    // A copy of the other bitmap's size, format and pixels.
    void Assign(const TBitmap& source);
    // A copy of pixels in the shared layout (3 or 4 bytes per pixel).
    void Assign(const pixels::TPixels& source);

private:
    class TBitmapCanvas;
    void Recreate(int width, int height, TPixelFormat format, bool keep);
    int BytesPerPixel() const { return format_ == pf32bit ? 4 : 3; }

    int width_ = 0, height_ = 0;
    TPixelFormat format_ = pf24bit;
    HBITMAP handle_ = nullptr;
    uint8_t* bits_ = nullptr;
    ptrdiff_t step_ = 0;
    std::unique_ptr<TBitmapCanvas> canvas_;
};

// An icon handle with its owner's duty to destroy it.
class TIcon : public TObject {
public:
    TIcon() = default;
    ~TIcon() override;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;
    const char* ClassName() const override { return "TIcon"; }

    HICON Handle() const { return handle_; }
    // Takes the icon over (the old one is destroyed); nullptr empties.
    void SetHandle(HICON icon);
    // Gives the icon away: the caller destroys it.
    HICON ReleaseHandle();
    bool Empty() const { return handle_ == nullptr; }
    int Width() const;
    int Height() const;
    void Assign(const TIcon& source);
    void Draw(TCanvas* canvas, int x, int y);

    // After every change.
    std::function<void()> OnChange;

private:
    HICON handle_ = nullptr;
};

}  // namespace vcl
