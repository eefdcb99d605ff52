// Adapters of windows the adapter paints whole: push buttons, bitmap
// buttons, check boxes and radio buttons, group boxes, static texts, links
// and pictures. Each renders its window into the skin data's cache over the
// parent's picture and copies the cache to the window.
//
// The system's BUTTON paints straight onto its window when it is pressed,
// checked, focused, enabled or given a caption; the adapters switch
// redrawing off around those messages and paint the skinned look after
// them, so the plain look never shows.
#pragma once
#include "vcl/win.h"

#include <string>

#include "skin/windows/windowadapter.h"

namespace skin {

// The root of the adapters that paint their whole window into the cache:
// skinned now, its place, a repaint outside WM_PAINT and the hot-window
// bookkeeping every one of them shares.
class TacPaintedWnd : public TacMainWnd {
public:
    using TacMainWnd::TacMainWnd;
    ~TacPaintedWnd() override;
    const char* ClassName() const override { return "TacPaintedWnd"; }
    // The window shows its own look again.
    void RestoreCtrlParams() override;

protected:
    void TakeOver(bool repaint) override;
    bool Skinned() const;
    // The cache of the window's size; the parent's picture behind it (its
    // place in the parent added) into Parent.
    vcl::TBitmap* SizeCache(TParentCacheInfo& parent);
    // Paints the window now (not waiting for WM_PAINT).
    void Repaint();
    // WM_PAINT (or WM_PRINT): into the context given, else between BeginPaint and EndPaint.
    void PaintMessage(vcl::TMessage& message);
    // Into the device context (nullptr: the window's); descendants paint here.
    virtual void PaintInto(HDC dc) = 0;
    // The message passed on with redrawing off: the system's own painting
    // of it never reaches the screen; then the skinned look.
    void PassWithoutRedraw(vcl::TMessage& message);
    // The window becomes the hot window while the mouse is over it, and
    // stops being it when the mouse leaves.
    void TrackHot(const vcl::TMessage& message);
    // The skin gone (the root hears of it only while a skin is active):
    // the window's own look back.
    void NoteSkinRemoved(const vcl::TMessage& message);
    TPoint wndPos_;
};

class TacStaticWnd : public TacPaintedWnd {
public:
    using TacPaintedWnd::TacPaintedWnd;
    const char* ClassName() const override { return "TacStaticWnd"; }
    void AdapterWndProc(vcl::TMessage& message) override;
    // Text statics only: pictures of frames, rectangles and etched lines,
    // and owner-drawn statics keep their own look.
    virtual bool PaintsKind(unsigned style) const;
    virtual void PaintContent(vcl::TCanvas* canvas, int width, int height);

protected:
    void PaintInto(HDC dc) override;
    virtual std::string ShownText() const { return Caption; }

private:
    bool erased_ = false;
};

class TacIconWnd : public TacStaticWnd {
public:
    using TacStaticWnd::TacStaticWnd;
    const char* ClassName() const override { return "TacIconWnd"; }
    bool PaintsKind(unsigned style) const override;
    void PaintContent(vcl::TCanvas* canvas, int width, int height) override;
};

class TacLinkWnd : public TacStaticWnd {
public:
    using TacStaticWnd::TacStaticWnd;
    const char* ClassName() const override { return "TacLinkWnd"; }
    bool PaintsKind(unsigned) const override { return true; }

protected:
    // The caption without its link tags.
    std::string ShownText() const override;
};

class TacBtnWnd : public TacPaintedWnd {
public:
    using TacPaintedWnd::TacPaintedWnd;
    ~TacBtnWnd() override;
    const char* ClassName() const override { return "TacBtnWnd"; }

    // 2 pressed; 1 under the mouse, focused or the default button; 0.
    int CurrentState() const;
    void RestoreCtrlParams() override;
    void SetSkinParams() override;
    void AdapterWndProc(vcl::TMessage& message) override;

    virtual void DrawCaption(vcl::TCanvas* canvas);
    virtual void DrawGlyph(vcl::TCanvas*) {}
    virtual SIZE GlyphSize() const { return SIZE{0, 0}; }
    virtual void DrawBtnText(vcl::TCanvas* canvas, RECT rect, UINT flags);
    virtual RECT CaptionRect(vcl::TCanvas* canvas);
    // The width the caption may take.
    virtual int GlyphWidth() const;
    virtual SIZE TextSize(vcl::TCanvas* canvas);
    virtual void PrepareCache();

protected:
    void PaintInto(HDC dc) override;
};

// Buttons with a picture beside their caption (dialog buttons with
// BS_BITMAP pictures among them).
class TacBitBtnWnd : public TacBtnWnd {
public:
    using TacBtnWnd::TacBtnWnd;
    const char* ClassName() const override { return "TacBitBtnWnd"; }
    SIZE GlyphSize() const override;
    RECT CaptionRect(vcl::TCanvas* canvas) override;
};

class TacCheckBoxWnd : public TacPaintedWnd {
public:
    using TacPaintedWnd::TacPaintedWnd;
    const char* ClassName() const override { return "TacCheckBoxWnd"; }
    void AdapterWndProc(vcl::TMessage& message) override;

    // Where the last paint put the mark and the caption (window coordinates).
    TRect MarkRect;
    TRect TextRect;

protected:
    void PaintInto(HDC dc) override;
    void PaintCache(vcl::TBitmap* cache, const TParentCacheInfo& parent);
};

class TacGroupBoxWnd : public TacPaintedWnd {
public:
    using TacPaintedWnd::TacPaintedWnd;
    ~TacGroupBoxWnd() override;
    const char* ClassName() const override { return "TacGroupBoxWnd"; }
    void RestoreCtrlParams() override;
    void AdapterWndProc(vcl::TMessage& message) override;
    // The caption's strip, as the last paint measured it.
    TRect CaptionRect;

protected:
    void PaintInto(HDC dc) override;
    // Measures the caption's strip with the window's font.
    TRect MeasureCaption(vcl::TCanvas* canvas, int width);
};

}  // namespace skin
