#include "skin/windows/gauge.h"

#include <cmath>
#include <numbers>

#include "rtl/convert.h"
#include "rtl/encoding.h"
#include "skin/core/skincommands.h"
#include "skin/core/skinlookups.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/core/win32/skinpaint.h"
#include "vcl/forms.h"

namespace skin {

using namespace vcl;

namespace {

constexpr int kGaugeTypeCode = 161;  // the default section GAUGE
constexpr UINT kTextFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

COLORREF RGBOf(TColor c) { return ColorToRGB(c); }

// A point on the radial of `angle` (radians, counter-clockwise from the
// right, as on paper) from the centre, far enough out to name the direction.
POINT Radial(int cx, int cy, double angle, double rx, double ry) {
    return POINT{cx + static_cast<int>(std::lround(std::cos(angle) * rx)),
                 cy - static_cast<int>(std::lround(std::sin(angle) * ry))};
}

// The filled part of a bar, a pie or a needle in Color inside Rect; text
// kinds draw nothing.
void DrawFigure(HDC dc, const RECT& rect, TsGaugeKind kind, int percent, TColor color) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return;
    HBRUSH brush = SolidBrush(color);
    switch (kind) {
        case gkHorizontalBar: {
            const RECT done{rect.left, rect.top, rect.left + PartOf(percent, w), rect.bottom};
            ::FillRect(dc, &done, brush);
            return;
        }
        case gkVerticalBar: {
            const RECT done{rect.left, rect.bottom - PartOf(percent, h), rect.right, rect.bottom};
            ::FillRect(dc, &done, brush);
            return;
        }
        case gkPie:
        case gkNeedle:
            break;
        default:
            return;
    }
    HPEN pen = CreatePen(PS_SOLID, 1, RGBOf(color));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const int cx = rect.left + w / 2;
    if (kind == gkPie) {
        const int cy = rect.top + h / 2;
        Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
        SelectObject(dc, brush);
        if (percent >= 100) {
            Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
        } else if (percent > 0) {
            // From the top, counter-clockwise, to the moving edge. Equal
            // radials would draw the whole ellipse: 0 % draws none.
            const POINT start = Radial(cx, cy, std::numbers::pi / 2, w, h);
            const POINT end = Radial(cx, cy, (percent / 50.0 + 0.5) * std::numbers::pi, w, h);
            Pie(dc, rect.left, rect.top, rect.right, rect.bottom, start.x, start.y, end.x, end.y);
        }
    } else {
        // A dial over the bottom edge: the needle lies left at 0 % and
        // turns clockwise to the right at 100 %.
        const int cy = rect.bottom - 1;
        const int rx = std::max(w / 2 - 1, 1), ry = std::max(h - 2, 1);
        Arc(dc, cx - rx, cy - ry, cx + rx + 1, cy + ry + 1, cx + rx, cy, cx - rx, cy);
        const POINT tip = Radial(cx, cy, (1.0 - percent / 100.0) * std::numbers::pi, rx * 0.9, ry * 0.9);
        MoveToEx(dc, cx, cy, nullptr);
        LineTo(dc, tip.x, tip.y);
        const RECT hub{cx - 2, cy - 2, cx + 3, cy + 1};
        ::FillRect(dc, &hub, brush);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

}  // namespace

TsGauge::TsGauge(TComponent* owner) : TGraphicControl(owner), data_(this, false) {
    // It paints every pixel: nothing is erased beneath it.
    SetControlStyle(ControlStyle() | csOpaque);
    SetBounds(0, 0, 120, 30);
    data_.ControlTypeCode = kGaugeTypeCode;
    if (!Loading()) data_.SkinDataLoaded();
}

void TsGauge::OnLoaded() { data_.SkinDataLoaded(); }

bool TsGauge::Loading() const { return (ComponentState() & (csLoading | csReading)) != 0; }

void TsGauge::SetKind(TsGaugeKind value) {
    if (value == kind_) return;
    kind_ = value;
    Invalidate();
}

void TsGauge::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    Invalidate();
}

void TsGauge::SetBackColor(TColor value) {
    if (value == backColor_) return;
    backColor_ = value;
    Invalidate();
}

void TsGauge::SetForeColor(TColor value) {
    if (value == foreColor_) return;
    foreColor_ = value;
    Invalidate();
}

void TsGauge::SetShowText(bool value) {
    if (value == showText_) return;
    showText_ = value;
    Invalidate();
}

void TsGauge::SetSuffix(const std::string& value) {
    if (value == suffix_) return;
    suffix_ = value;
    data_.InvalidateOwner();
}

void TsGauge::SetProgressSkin(const std::string& value) {
    if (value == progressSkin_) return;
    progressSkin_ = value;
    data_.InvalidateOwner();
}

void TsGauge::Apply(const TGaugeChange& change) {
    if (!change.Error.empty()) throw EInvalidOperation(change.Error);
    if (change.Invalidate) Invalidate();
}

void TsGauge::SetMinValue(int value) { Apply(range_.SetMinValue(value, Loading())); }

void TsGauge::SetMaxValue(int value) { Apply(range_.SetMaxValue(value, Loading())); }

void TsGauge::SetProgress(int value) {
    const TGaugeChange change = range_.SetProgress(value);
    if (change.Invalidate) {
        // Controls that hear a new skin are painted once it has been sent.
        if (!SkinSending) data_.BackgroundChanged = true;
        Invalidate();
    }
    if (change.Changed && OnChange) OnChange(this);
}

std::string TsGauge::DisplayText() const {
    const bool skinned = data_.HasValidSkin();
    return rtl::IntToStr(PercentDone()) + (skinned ? suffix_ : std::string("%"));
}

// Asked again before the parent has painted, the rectangle is already waiting.
void TsGauge::Invalidate() { InvalidateOnce(paintPending_); }

void TsGauge::Paint(HDC dc) {
    paintPending_ = false;
    if (Width() < 1 || Height() < 1) return;
    if (!data_.HasValidSkin()) {
        PaintPlain(dc);
        return;
    }
    if (data_.IsSkinUpdating()) {
        // The parent or the skin is not ready: it paints this gauge again
        // (AC_REDRAWBG) when it is.
        data_.Updating = true;
        SetPixel(dc, 0, 0, RGBOf(clFuchsia));
        return;
    }
    PaintSkinned(dc);
}

void TsGauge::PaintPlain(HDC dc) {
    const int w = Width(), h = Height();
    TBitmap image(w, h);
    HDC off = image.Canvas()->Handle();
    RECT inner{0, 0, w, h};
    ::FillRect(off, &inner, SolidBrush(backColor_));
    if (borderStyle_ == bsSingle) {
        FrameRect(off, &inner, SolidBrush(clBlack));
        InflateRect(&inner, -1, -1);
    }
    DrawFigure(off, inner, kind_, PercentDone(), foreColor_);
    if (showText_) {
        // White text on black, XORed over the picture: it shows inverted
        // over the bar and over the background alike.
        TBitmap text(w, h);
        TCanvas* c = text.Canvas();
        const RECT all{0, 0, w, h};
        ::FillRect(c->Handle(), &all, SolidBrush(clBlack));
        c->Font()->Assign(*Font());
        c->Font()->SetColor(clWhite);
        c->Brush()->SetStyle(bsClear);
        RECT r = inner;
        c->DrawText(DisplayText(), r, kTextFlags);
        BitBlt(off, 0, 0, w, h, c->Handle(), 0, 0, SRCINVERT);
    }
    BitBlt(dc, 0, 0, w, h, off, 0, 0, SRCCOPY);
}

void TsGauge::PaintSkinned(HDC dc) {
    TsSkinManager* m = data_.SkinManager();
    const int w = Width(), h = Height();
    data_.InitCacheBitmap();
    TBitmap* cache = data_.CacheBitmap.get();
    TParentCacheInfo parent;
    data_.GetParentCache(parent);
    const TRect all{0, 0, w, h};
    PaintControlSection(&data_, parent, cache, TPoint{Left(), Top()}, all, 0);

    // The bar, the figure and the text keep inside the border.
    TRect inner = all;
    if (m->IsValidMaskIndex(data_.BorderMaskIndex)) {
        const TsSkinContent& skin = m->Skin();
        inner = TRect{MaskMarginLeft(skin, data_.BorderMaskIndex), MaskMarginTop(skin, data_.BorderMaskIndex),
                      w - MaskMarginRight(skin, data_.BorderMaskIndex), h - MaskMarginBottom(skin, data_.BorderMaskIndex)};
    }
    HDC off = cache->Canvas()->Handle();
    const int percent = PercentDone();
    if (!inner.IsEmpty()) {
        if (kind_ == gkHorizontalBar || kind_ == gkVerticalBar) {
            const std::string section = !progressSkin_.empty()       ? rtl::UpperCase1251(progressSkin_)
                                        : kind_ == gkHorizontalBar ? std::string("PROGRESSH")
                                                                   : std::string("PROGRESSV");
            TRect bar = inner;
            if (kind_ == gkHorizontalBar)
                bar.Right = bar.Left + PartOf(percent, inner.Width());
            else
                bar.Top = bar.Bottom - PartOf(percent, inner.Height());
            // Over the gauge's own picture: the item's clear corners show it.
            PaintSectionItemToDC(off, bar, m->GetSkinIndex(section), 0, m,
                                 MakeParentCacheInfo(cache->Pixels(), bar.Left, bar.Top));
        } else {
            DrawFigure(off, ToRECT(inner), kind_, percent, foreColor_);
        }
        if (showText_) {
            cache->Canvas()->Font()->Assign(*Font());
            DrawSkinDataText(&data_, cache->Canvas(), DisplayText(), ToRECT(inner), kTextFlags, false);
        }
    }
    data_.BackgroundChanged = false;
    DrawPixels(dc, 0, 0, cache->Pixels(), all);
    data_.CacheBitmap.reset();
}

bool TsGauge::OwnerFormSkinned() {
    TForm* form = GetOwnerForm(this);
    return form && AskSkinCommand(form, AC_QUERYSKINNED);
}

void TsGauge::WndProc(TMessage& message) {
    if (message.Msg == SM_SKINCMD) {
        if (AnswerSkinnedQuery(message)) return;
        switch (SkinCommandOf(message.WParam)) {
            case AC_SKINLOADED:
                data_.HandleSkinCommand(message);
                return;
            case AC_SKINREMOVED:
            case AC_SKINREFRESH:
                if (data_.HandleSkinCommand(message)) Repaint();
                return;
            case AC_REDRAWBG:
                if (data_.Updating) {
                    data_.Updating = false;
                    Repaint();
                }
                return;
            default:
                break;
        }
    }
    if (OwnerFormSkinned() && data_.HandleCommonMessage(message)) return;
    TGraphicControl::WndProc(message);
}

}  // namespace skin
