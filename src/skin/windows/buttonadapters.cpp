#include "skin/windows/buttonadapters.h"

#include <windowsx.h>

#include <algorithm>

#include "rtl/encoding.h"
#include "skin/core/blend.h"
#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/skincommands.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/core/win32/skinpaint.h"
#include "skin/windows/editadapters.h"
#include "skin/windows/layout/adapterrules.h"
#include "skin/windows/layout/skinsizes.h"
#include "skin/windows/layout/winvalues.h"
#include "vcl/forms.h"

namespace skin {

using namespace vcl;

namespace {


bool Destroying(const TControl* c) { return c && (c->ComponentState() & csDestroying); }

UINT ButtonState(HWND window) { return static_cast<UINT>(SendMessageW(window, BM_GETSTATE, 0, 0)); }

// The font a painted window writes with: its control's font, else the
// font the window was given, else the dialog font.
void SelectCaptionFont(TCanvas* canvas, HWND window, TControl* owner) {
    if (owner) {
        canvas->Font()->Assign(*owner->Font());
        return;
    }
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf{};
    if (GetObjectW(font, sizeof(lf), &lf)) canvas->Font()->AssignLogFont(lf);
}

// Keeps the parent's part of a disabled control: the control keeps 40 %.
void BlendDisabled(const TPixels& cache, const TParentCacheInfo& parent, int w, int h) {
    if (!parent.Ready || parent.Bmp.Empty()) return;
    BlendTransparent(cache, parent.Bmp, 0, 0, static_cast<TColor>(0xFF000000), 0.4,
                     TRect{parent.X, parent.Y, parent.X + w, parent.Y + h});
}

// One state frame of a mark (check boxes' boxes and circles); an
// ImageCount of 0 counts, and is kept, as one frame.
TPoint MarkFrame(TsSkinManager* m, int maskIndex) {
    if (!m->IsValidMaskIndex(maskIndex)) return {};
    TsMaskData& mask = m->Skin().Masks[static_cast<size_t>(maskIndex)];
    if (mask.ImageCount == 0) mask.ImageCount = 1;
    return ThreeStateFrame(&m->Skin(), maskIndex);
}

}  // namespace

// ---- TacPaintedWnd

TacPaintedWnd::~TacPaintedWnd() { ReleaseWindow(); }

void TacPaintedWnd::TakeOver(bool repaint) {
    if (SkinData && SkinData->SectionIndex < 0) SkinData->RefreshSkinIndexes();
    TacMainWnd::TakeOver(repaint);
    if (repaint && IsWindowVisible(CtrlHandle)) InvalidateRect(CtrlHandle, nullptr, TRUE);
}

void TacPaintedWnd::RestoreCtrlParams() {
    ParamsChanged = false;
    TControl* owner = SkinData ? SkinData->OwnerControl : nullptr;
    if (!Destroying(owner) && IsWindow(CtrlHandle)) InvalidateRect(CtrlHandle, nullptr, TRUE);
}

bool TacPaintedWnd::Skinned() const {
    TsSkinManager* m = Manager();
    return SkinData && m && (m->SkinActive() || SkinSending) && SkinData->HasValidSkin(false);
}

TBitmap* TacPaintedWnd::SizeCache(TParentCacheInfo& parent) {
    const TWindowPlace place = GetWindowOffsets(this);
    wndPos_ = place.WndPos;
    if (!SkinData->CacheBitmap) SkinData->CacheBitmap = std::make_unique<TBitmap>();
    TBitmap* cache = SkinData->CacheBitmap.get();
    cache->SetPixelFormat(pf24bit);
    if (cache->Width() != WndSize.cx || cache->Height() != WndSize.cy) cache->SetSize(WndSize.cx, WndSize.cy);
    parent = TParentCacheInfo{};
    if (place.ParentWnd) TsCommonData::GetParentCacheHwnd(CtrlHandle, parent);
    ReplyCacheInfo = TParentCacheInfo{};
    if (parent.Bmp.Empty()) parent.Ready = false;
    return cache;
}

void TacPaintedWnd::Repaint() {
    if (Destroyed || !IsWindowVisible(CtrlHandle)) return;
    HDC dc = GetDC(CtrlHandle);
    if (!dc) return;
    PaintInto(dc);
    ReleaseDC(CtrlHandle, dc);
    // What the system queued meanwhile is already on screen.
    ValidateRect(CtrlHandle, nullptr);
}

void TacPaintedWnd::PaintMessage(TMessage& message) {
    PAINTSTRUCT ps;
    HDC given = reinterpret_cast<HDC>(message.WParam);
    HDC dc = given ? given : BeginPaint(CtrlHandle, &ps);
    PaintInto(dc);
    if (!given) EndPaint(CtrlHandle, &ps);
}

void TacPaintedWnd::PassWithoutRedraw(TMessage& message) {
    HWND window = CtrlHandle;
    const bool visible = IsWindowVisible(window) != FALSE;
    if (visible) SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    TacMainWnd::AdapterWndProc(message);
    if (Destroyed || !IsWindow(window)) return;
    if (visible) SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    SkinData->BackgroundChanged = true;
    Repaint();
}

void TacPaintedWnd::NoteSkinRemoved(const TMessage& message) {
    if (message.Msg != SM_SKINCMD || SkinCommandOf(message.WParam) != AC_SKINREMOVED || Destroyed || !SkinData) return;
    if (message.LParam != 0 && reinterpret_cast<TsSkinManager*>(message.LParam) == SkinData->SkinManager())
        RestoreCtrlParams();
}

void TacPaintedWnd::TrackHot(const TMessage& message) {
    if (!DefaultManager || (DefaultManager->ComponentState() & csDesigning)) return;
    HWND window = CtrlHandle;
    if (message.Msg == WM_MOUSELEAVE || message.Msg == CM_MOUSELEAVE) {
        if (DefaultManager->HotWindow == window) DefaultManager->SetHotWindow(nullptr);
        return;
    }
    if (message.Msg != WM_MOUSEMOVE || !IsWindowEnabled(window)) return;
    POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    RECT client{};
    GetClientRect(window, &client);
    if (PtInRect(&client, p)) {
        if (DefaultManager->HotWindow != window) {
            DefaultManager->SetHotWindow(window);
            // The system tells the window when the mouse has gone.
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
            TrackMouseEvent(&track);
        }
    } else if (DefaultManager->HotWindow == window) {
        DefaultManager->SetHotWindow(nullptr);
    }
}

// ---- statics

bool TacStaticWnd::PaintsKind(unsigned s) const {
    switch (s & style::StaticTypeMask) {
        case SS_LEFT: case SS_CENTER: case SS_RIGHT: case SS_SIMPLE: case SS_LEFTNOWORDWRAP:
            return true;
        default:
            return false;
    }
}

bool TacIconWnd::PaintsKind(unsigned s) const {
    const unsigned kind = s & style::StaticTypeMask;
    return kind == SS_ICON || kind == SS_BITMAP;
}

void TacStaticWnd::PaintContent(TCanvas* canvas, int width, int height) {
    const std::string text = ShownText();
    if (text.empty()) return;
    canvas->Brush()->SetStyle(bsClear);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        canvas->Font()->AssignLogFont(metrics.lfMessageFont);
    const unsigned styleBits = static_cast<unsigned>(GetWindowLongPtrW(CtrlHandle, GWL_STYLE));
    const unsigned kind = styleBits & style::StaticTypeMask;
    const UINT align = kind == SS_CENTER ? DT_CENTER : kind == SS_RIGHT ? DT_RIGHT : DT_LEFT;
    // A message box's text is shown as written: an "&" in it (an address
    // with a query, say) is no accelerator.
    const UINT prefix = styleBits & SS_NOPREFIX ? DT_NOPREFIX : 0;
    DrawSkinText(canvas, text, IsWindowEnabled(CtrlHandle) != FALSE, Manager(), false, SkinData->SectionIndex,
                 DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP | align | prefix, RECT{0, 0, width + 4, height});
}

void TacIconWnd::PaintContent(TCanvas* canvas, int, int) {
    HDC dc = canvas->Handle();
    if (HICON icon = reinterpret_cast<HICON>(SendMessageW(CtrlHandle, STM_GETICON, 0, 0))) {
        DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
        return;
    }
    // A picture static shows its bitmap, not an empty patch.
    if (HBITMAP bmp = reinterpret_cast<HBITMAP>(SendMessageW(CtrlHandle, STM_GETIMAGE, IMAGE_BITMAP, 0))) {
        BITMAP info{};
        if (!GetObjectW(bmp, sizeof(info), &info)) return;
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, bmp);
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }
}

std::string TacLinkWnd::ShownText() const {
    std::string text = Caption;
    // "<a ...>" and "</a>" in any case go; the link's words stay.
    for (size_t at = 0; (at = text.find('<', at)) != std::string::npos;) {
        const size_t end = text.find('>', at);
        if (end == std::string::npos) break;
        const std::string tag = rtl::LowerCase1251(text.substr(at, end - at + 1));
        if (tag == "</a>" || tag.rfind("<a>", 0) == 0 || tag.rfind("<a ", 0) == 0)
            text.erase(at, end - at + 1);
        else
            ++at;
    }
    return text;
}

void TacStaticWnd::PaintInto(HDC dc) {
    TParentCacheInfo parent;
    TBitmap* cache = SizeCache(parent);
    const int w = WndSize.cx, h = WndSize.cy;
    if (w <= 0 || h <= 0) return;
    SkinData->BackgroundChanged = true;
    SendSkinCommand(CtrlHandle, AC_PREPARECACHE);
    if (SkinData->BackgroundChanged) {
        // No section picture to start from: what lies behind the window.
        if (parent.Ready)
            CopyRect(cache->Pixels(), 0, 0, parent.Bmp, TRect{parent.X + wndPos_.X, parent.Y + wndPos_.Y,
                                                              parent.X + wndPos_.X + w, parent.Y + wndPos_.Y + h});
        else
            FillRect(cache->Pixels(), TRect{0, 0, w, h}, ParentBackgroundColor(CtrlHandle));
        SkinData->BackgroundChanged = false;
    }
    PaintContent(cache->Canvas(), w, h);
    DrawPixels(dc, 0, 0, cache->Pixels(), TRect{0, 0, w, h});
}

void TacStaticWnd::AdapterWndProc(TMessage& message) {
    NoteSkinRemoved(message);
    HWND window = CtrlHandle;
    const unsigned s = static_cast<unsigned>(GetWindowLongPtrW(window, GWL_STYLE));
    const unsigned ex = static_cast<unsigned>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    if (Destroyed || !Skinned() || (s & 0x10000) || (ex & WS_EX_STATICEDGE) || !PaintsKind(s)) {
        TacMainWnd::AdapterWndProc(message);
        return;
    }
    switch (message.Msg) {
        case WM_ERASEBKGND:
            if (IsWindowVisible(window)) {
                PaintInto(reinterpret_cast<HDC>(message.WParam));
                erased_ = true;
            }
            message.Result = 1;
            return;
        case WM_PAINT: {
            // The picture comes with the erase; a paint without one draws it here.
            erased_ = false;
            PAINTSTRUCT ps;
            HDC given = reinterpret_cast<HDC>(message.WParam);
            HDC dc = given ? given : BeginPaint(window, &ps);
            if (!erased_ || given) PaintInto(dc);
            if (!given) EndPaint(window, &ps);
            return;
        }
        case WM_MOVE:
            SkinData->BackgroundChanged = true;
            CallPrevWndProc(message);
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            return;
        case WM_SETTEXT:
            SkinData->BackgroundChanged = true;
            PassWithoutRedraw(message);
            return;
        case WM_ENABLE:
            PassWithoutRedraw(message);
            return;
        case WM_NCPAINT:
            CallPrevWndProc(message);
            return;
        default:
            break;
    }
    TacMainWnd::AdapterWndProc(message);
}

// ---- push buttons

TacBtnWnd::~TacBtnWnd() { ReleaseWindow(); }

int TacBtnWnd::CurrentState() const {
    HWND window = CtrlHandle;
    if (ButtonState(window) & BST_PUSHED) return 2;
    if (SkinData->MouseAbove || GetFocus() == window) return 1;
    const unsigned kind = static_cast<unsigned>(GetWindowLongPtrW(window, GWL_STYLE)) & style::ButtonTypeMask;
    return kind == style::ButtonDefPush ? 1 : 0;
}

void TacBtnWnd::RestoreCtrlParams() {
    SkinData->MouseAbove = false;
    TacPaintedWnd::RestoreCtrlParams();
}

void TacBtnWnd::SetSkinParams() { ParamsChanged = true; }

SIZE TacBtnWnd::TextSize(TCanvas* canvas) {
    RECT r{0, 0, std::max(1, GlyphWidth()), 0};
    const bool multi = (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & BS_MULTILINE) != 0;
    canvas->DrawText(Caption, r, DT_CALCRECT | DT_EXPANDTABS | (multi ? DT_WORDBREAK : DT_SINGLELINE));
    return SIZE{r.right - r.left, r.bottom - r.top};
}

int TacBtnWnd::GlyphWidth() const { return std::max(0, static_cast<int>(WndSize.cx) - 8); }

RECT TacBtnWnd::CaptionRect(TCanvas* canvas) {
    // Centred as tall as the text, as wide as the button allows: a rectangle
    // of the text's exact width would send its last letter to a next line.
    const SIZE t = TextSize(canvas);
    const int margin = std::clamp(static_cast<int>(WndSize.cx - t.cx) / 2, 0, 4);
    RECT r{margin, (WndSize.cy - t.cy) / 2, WndSize.cx - margin, 0};
    r.bottom = r.top + t.cy;
    if (CurrentState() == 2) OffsetRect(&r, 1, 1);
    return r;
}

void TacBtnWnd::DrawBtnText(TCanvas* canvas, RECT rect, UINT flags) {
    DrawSkinText(canvas, Caption, IsWindowEnabled(CtrlHandle) != FALSE, Manager(), CurrentState() != 0,
                 SkinData->SectionIndex, flags, rect);
}

void TacBtnWnd::DrawCaption(TCanvas* canvas) {
    SelectCaptionFont(canvas, CtrlHandle, nullptr);
    const RECT r = CaptionRect(canvas);
    const bool multi = (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & BS_MULTILINE) != 0;
    if (!Caption.empty()) DrawBtnText(canvas, r, multi ? DT_CENTER | DT_WORDBREAK : DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
    if (ButtonState(CtrlHandle) & BST_FOCUS) {
        RECT f{3, 3, WndSize.cx - 3, WndSize.cy - 3};
        if (f.right > f.left && f.bottom > f.top) {
            SetTextColor(canvas->Handle(), RGB(0, 0, 0));
            SetBkColor(canvas->Handle(), RGB(255, 255, 255));
            DrawFocusRect(canvas->Handle(), &f);
        }
    }
}

void TacBtnWnd::PrepareCache() {
    TParentCacheInfo parent;
    TBitmap* cache = SizeCache(parent);
    const int w = WndSize.cx, h = WndSize.cy;
    if (w <= 0 || h <= 0) return;
    const int state = CurrentState();
    if (!parent.Ready) FillRect(cache->Pixels(), TRect{0, 0, w, h}, ParentBackgroundColor(CtrlHandle));
    PaintControlSection(SkinData, parent, cache, wndPos_, TRect{0, 0, w, h}, state);
    PaintBorderFast(SkinData, CtrlHandle, state);
    DrawCaption(cache->Canvas());
    DrawGlyph(cache->Canvas());
    if (!IsWindowEnabled(CtrlHandle)) {
        parent.X += wndPos_.X;
        parent.Y += wndPos_.Y;
        BlendDisabled(cache->Pixels(), parent, w, h);
    }
    SkinData->BackgroundChanged = false;
}

void TacBtnWnd::PaintInto(HDC dc) {
    if (SkinData->IsSkinUpdating()) {
        SkinData->Updating = true;
        return;
    }
    PrepareCache();
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (cache && !cache->Empty()) DrawPixels(dc, 0, 0, cache->Pixels(), TRect{0, 0, cache->Width(), cache->Height()});
}

void TacBtnWnd::AdapterWndProc(TMessage& message) {
    NoteSkinRemoved(message);
    if (Destroyed || !Skinned()) {
        TacMainWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    if (message.Msg == SM_SKINCMD) {
        switch (SkinCommandOf(message.WParam)) {
            case AC_HOTENTER:
                if (!SkinData->MouseAbove) {
                    SkinData->MouseAbove = true;
                    SkinData->BackgroundChanged = true;
                    Repaint();
                }
                return;
            case AC_HOTLEAVE:
                if (SkinData->MouseAbove) {
                    SkinData->MouseAbove = false;
                    SkinData->BackgroundChanged = true;
                    Repaint();
                }
                return;
            default:
                break;
        }
    }
    switch (message.Msg) {
        case WM_PAINT:
        case WM_PRINT: {
            if (!ParamsChanged) SetSkinParams();
            PaintMessage(message);
            return;
        }
        case WM_ERASEBKGND:
        case WM_NCPAINT:
        case WM_UPDATEUISTATE:
            message.Result = 1;
            return;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (!IsWindowEnabled(window)) break;
            SkinData->Focused = message.Msg == WM_SETFOCUS;
            PassWithoutRedraw(message);
            return;
        case WM_ENABLE:
        case WM_SETTEXT:
        case BM_SETSTATE:
        case BM_SETSTYLE:
            if (!IsWindowVisible(window)) break;
            PassWithoutRedraw(message);
            return;
        case WM_MOVE:
            if (SkinData->IsSemiTransparent() || SkinData->ParentBgVaries()) {
                TacMainWnd::AdapterWndProc(message);
                SkinData->BackgroundChanged = true;
                Repaint();
                return;
            }
            break;
        default:
            break;
    }
    TacMainWnd::AdapterWndProc(message);
    if (!Destroyed) TrackHot(message);
}

SIZE TacBitBtnWnd::GlyphSize() const {
    // The picture the button was given (BM_SETIMAGE).
    HBITMAP bmp = reinterpret_cast<HBITMAP>(SendMessageW(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    if (bmp && GetObjectW(bmp, sizeof(info), &info)) return SIZE{info.bmWidth, info.bmHeight};
    return SIZE{0, 0};
}

RECT TacBitBtnWnd::CaptionRect(TCanvas* canvas) {
    RECT r = TacBtnWnd::CaptionRect(canvas);
    const SIZE g = GlyphSize();
    if (g.cx != 0) OffsetRect(&r, g.cx / 2 + 1, 0);
    return r;
}

// ---- check boxes and radio buttons

void TacCheckBoxWnd::PaintCache(TBitmap* cache, const TParentCacheInfo& parent) {
    HWND window = CtrlHandle;
    TsSkinManager* m = Manager();
    const int w = WndSize.cx, h = WndSize.cy;
    const TRect all{0, 0, w, h};
    const LONG_PTR s = GetWindowLongPtrW(window, GWL_STYLE);
    const UINT state = ButtonState(window);
    const int active = SkinData->ControlIsActive() ? 1 : 0;
    if (!parent.Ready) FillRect(cache->Pixels(), all, ParentBackgroundColor(window));
    PaintControlSection(SkinData, parent, cache, wndPos_, all, active);

    // The mark: a box or a circle by the style, its picture by the check state.
    const bool radio = IsRadioButtonStyle(static_cast<unsigned>(s));
    const int checkState = (state & BST_INDETERMINATE) ? 2 : (state & BST_CHECKED) ? 1 : 0;
    static const char* const kBox[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED"};
    static const char* const kRadio[] = {"RADIOUNCHECKED", "RADIOCHECKED", "BOXGRAYED"};
    const int global = m->GetSkinIndex("GLOBALINFO");
    const int mark = m->GetMaskIndex(global, "GLOBALINFO", radio ? kRadio[checkState] : kBox[checkState]);
    const int checked = m->GetMaskIndex(global, "GLOBALINFO", radio ? kRadio[1] : kBox[1]);
    const TPoint frame = MarkFrame(m, mark);
    const bool leftText = (s & BS_LEFTTEXT) != 0;
    MarkRect = TRect{leftText ? w - frame.X : 0, (h - frame.Y) / 2, 0, 0};
    MarkRect.Right = MarkRect.Left + frame.X;
    MarkRect.Bottom = MarkRect.Top + frame.Y;

    // The caption beside the mark, one pixel higher than centred.
    TextRect = TRect{};
    TCanvas* canvas = cache->Canvas();
    SelectCaptionFont(canvas, window, SkinData->OwnerControl);
    if (!Caption.empty()) {
        const TPoint checkedFrame = MarkFrame(m, checked);
        const int cw = m->IsValidMaskIndex(checked) ? checkedFrame.X : 16;
        const bool multi = (s & BS_MULTILINE) != 0;
        RECT r{0, 0, std::max(1, w - (cw + 2)), 0};
        canvas->DrawText(Caption, r, DT_CALCRECT | (multi ? DT_WORDBREAK : DT_SINGLELINE));
        const int tw = r.right - r.left, th = r.bottom - r.top;
        const int top = std::max((h - th) / 2, 0);
        RECT t = leftText ? RECT{2, top, tw + 2, h - top} : RECT{cw + 4, top, cw + 4 + tw, h - top};
        OffsetRect(&t, multi && !leftText ? -1 : 0, -1);
        DrawSkinDataText(SkinData, canvas, Caption, t, multi ? DT_CENTER | DT_WORDBREAK : DT_SINGLELINE, active != 0);
        TextRect = FromRECT(t);
        if (state & BST_FOCUS) DrawDottedFrame(cache->Pixels(), TRect{t.left - 1, t.top, t.right + 1, t.bottom});
    }
    if (m->IsValidMaskIndex(mark)) {
        const int frameIndex = (state & BST_PUSHED)                                      ? 2
                               : (state & BST_FOCUS) || (DefaultManager && DefaultManager->HotWindow == window) ? 1
                                                                                                             : 0;
        DrawSkinGlyph(cache->Pixels(), TPoint{MarkRect.Left, MarkRect.Top}, frameIndex,
                      m->Skin().Masks[static_cast<size_t>(mark)], 1);
    }
    if (!IsWindowEnabled(window) && parent.Ready) {
        TParentCacheInfo behind = parent;
        behind.X += wndPos_.X;
        behind.Y += wndPos_.Y;
        BlendDisabled(cache->Pixels(), behind, w, h);
    }
    SkinData->BackgroundChanged = false;
}

void TacCheckBoxWnd::PaintInto(HDC dc) {
    if (SkinData->IsSkinUpdating()) {
        SkinData->Updating = true;
        return;
    }
    TParentCacheInfo parent;
    TBitmap* cache = SizeCache(parent);
    if (WndSize.cx <= 0 || WndSize.cy <= 0) return;
    PaintCache(cache, parent);
    DrawPixels(dc, 0, 0, cache->Pixels(), TRect{0, 0, WndSize.cx, WndSize.cy});
}

void TacCheckBoxWnd::AdapterWndProc(TMessage& message) {
    NoteSkinRemoved(message);
    if (Destroyed || !Skinned()) {
        TacMainWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    if (message.Msg == SM_SKINCMD) {
        const unsigned command = SkinCommandOf(message.WParam);
        if (command == AC_HOTENTER || command == AC_HOTLEAVE) {
            SkinData->MouseAbove = command == AC_HOTENTER;
            SkinData->BackgroundChanged = true;
            Repaint();
        }
    }
    switch (message.Msg) {
        case WM_PAINT:
        case WM_PRINT: {
            if (!message.WParam && !IsWindowVisible(window)) break;
            PaintMessage(message);
            return;
        }
        case WM_ERASEBKGND:
            message.Result = 0;
            return;
        case WM_NCPAINT:
            return;
        // The system draws these states straight onto the window: with
        // redrawing off it never shows them; the skinned look comes after.
        case WM_ENABLE:
        case BM_SETCHECK:
        case BM_SETSTATE:
        case BM_SETSTYLE:
        case WM_SETTEXT:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (!IsWindowVisible(window)) break;
            PassWithoutRedraw(message);
            return;
        default:
            break;
    }
    TacMainWnd::AdapterWndProc(message);
    if (Destroyed) return;
    if (message.Msg == WM_KEYDOWN && message.WParam == VK_SPACE) Repaint();
    if (message.Msg == WM_NCHITTEST && IsWindowEnabled(window) && DefaultManager &&
        DefaultManager->HotWindow != window)
        DefaultManager->SetHotWindow(window);
    TrackHot(message);
}

// ---- group boxes

TacGroupBoxWnd::~TacGroupBoxWnd() { ReleaseWindow(); }

void TacGroupBoxWnd::RestoreCtrlParams() {
    if (TControl* owner = SkinData ? SkinData->OwnerControl : nullptr)
        owner->SetControlStyle(owner->ControlStyle() & ~static_cast<unsigned>(csOpaque));
    TacPaintedWnd::RestoreCtrlParams();
    if (IsWindow(CtrlHandle)) RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

TRect TacGroupBoxWnd::MeasureCaption(TCanvas* canvas, int width) {
    SelectCaptionFont(canvas, CtrlHandle, SkinData->OwnerControl);
    int tw = 0, th = 0;
    if (!Caption.empty()) {
        RECT r{0, 0, 0, 0};
        canvas->DrawText(Caption, r, DT_CALCRECT | DT_CENTER);
        tw = r.right - r.left;
        th = r.bottom - r.top;
    }
    TRect cr{6, 0, tw + 14, std::max(4, th) + 2};
    cr.Right = std::min(cr.Right, width - 1);
    return cr;
}

void TacGroupBoxWnd::PaintInto(HDC dc) {
    HWND window = CtrlHandle;
    TParentCacheInfo parent;
    TBitmap* cache = SizeCache(parent);
    const int w = WndSize.cx, h = WndSize.cy;
    if (w <= 0 || h <= 0) return;
    const bool wasChanged = SkinData->BackgroundChanged;
    TCanvas* canvas = cache->Canvas();
    CaptionRect = MeasureCaption(canvas, w);
    const TPixels pixels = cache->Pixels();
    const TColor behind = parent.Ready ? clFuchsia : ParentBackgroundColor(window);
    auto fillBehind = [&](const TRect& r) {
        if (parent.Ready)
            CopyRect(pixels, r.Left, r.Top, parent.Bmp,
                     TRect{parent.X + wndPos_.X + r.Left, parent.Y + wndPos_.Y + r.Top, parent.X + wndPos_.X + r.Right,
                           parent.Y + wndPos_.Y + r.Bottom});
        else
            FillRect(pixels, r, behind);
    };
    fillBehind(TRect{0, 0, w, CaptionRect.Bottom});
    // The frame's top edge runs through the middle of the caption.
    const int top = CaptionRect.Height() / 2;
    if (!parent.Ready) FillRect(pixels, TRect{0, top, w, h}, behind);
    PaintControlSection(SkinData, parent, cache, wndPos_, TRect{0, top, w, h}, 0);
    if (!Caption.empty()) {
        fillBehind(CaptionRect);
        canvas->Brush()->SetStyle(bsClear);
        DrawSkinDataText(SkinData, canvas, Caption, ToRECT(CaptionRect), DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                         false);
    }
    SkinData->BackgroundChanged = false;
    PaintCacheExcludeWindows(dc, window, SkinData, TRect{0, 0, w, h});
    if (auto* owner = dynamic_cast<TWinControl*>(SkinData->OwnerControl)) PaintGraphicControls(dc, owner, POINT{0, 0});
    // Children that found the box not ready waited for this picture.
    if (wasChanged) RepaintChildWindows(window);
}

void TacGroupBoxWnd::AdapterWndProc(TMessage& message) {
    if (message.Msg == SM_SKINCMD) {
        const unsigned command = SkinCommandOf(message.WParam);
        // The controls inside hear of the skin through the box.
        if (command == AC_SKINLOADED || command == AC_SKINREMOVED || command == AC_SKINREFRESH) {
            NoteSkinRemoved(message);
            TacMainWnd::AdapterWndProc(message);
            if (auto* owner = dynamic_cast<TWinControl*>(SkinData ? SkinData->OwnerControl : nullptr)) {
                TMessage copy = message;
                BroadcastToChildren(owner, copy);
            }
            if (command == AC_SKINREFRESH && !Destroyed) RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            return;
        }
    }
    if (Destroyed || !Skinned()) {
        TacMainWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    if (message.Msg == SM_SKINCMD && SkinCommandOf(message.WParam) == AC_QUERYCAPTIONHEIGHT) {
        TBitmap probe(1, 1);
        message.Result = MeasureCaption(probe.Canvas(), std::max(2, static_cast<int>(WndSize.cx))).Bottom;
        return;
    }
    switch (message.Msg) {
        case WM_ERASEBKGND:
            PaintInto(reinterpret_cast<HDC>(message.WParam));
            message.Result = 1;
            return;
        case WM_PAINT: {
            PaintMessage(message);
            return;
        }
        case WM_PRINT:
            SkinData->BackgroundChanged = true;
            PaintInto(reinterpret_cast<HDC>(message.WParam));
            if (message.LParam & PRF_CHILDREN) PrintChildWindows(window, reinterpret_cast<HDC>(message.WParam),
                                                                  static_cast<UINT>(message.LParam));
            return;
        case WM_SETTEXT:
        case WM_ENABLE:
            PassWithoutRedraw(message);
            return;
        case WM_MOVE:
        case WM_SIZE:
            SkinData->BackgroundChanged = true;
            break;
        case WM_PARENTNOTIFY:
            TacMainWnd::AdapterWndProc(message);
            if (LOWORD(message.WParam) == WM_CREATE)
                if (auto* owner = dynamic_cast<TWinControl*>(SkinData->OwnerControl)) AddToFormAdapter(owner);
            return;
        default:
            break;
    }
    TacMainWnd::AdapterWndProc(message);
}

}  // namespace skin
