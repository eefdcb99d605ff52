#include "skin/windows/scrollbaradapter.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "skin/core/blend.h"
#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/sectionpaint.h"
#include "skin/core/skincommands.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/windows/layout/skinsizes.h"

namespace skin {

using namespace vcl;

namespace {

TScrollEngineState g_engine;

TPoint PointOf(LPARAM lParam) { return TPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool Inside(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

TPoint CursorPoint() {
    POINT c{};
    GetCursorPos(&c);
    return TPoint{c.x, c.y};
}

TColor RGBOf(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

bool IsBarHit(WPARAM hit) { return hit == HTHSCROLL || hit == HTVSCROLL; }

bool IsPressPortion(int portion) { return (portion >= spLineUp && portion <= spPageDown) || portion == spThumb; }

// The skin's sections and glyphs of one bar, from the manager's table.
struct TBarSections {
    int Track1, Track2, Arrow1, Arrow2, Glyph1, Glyph2, Slider, SliderGlyph;
};

TBarSections SectionsOf(const TCachedIndexes& ci, bool vertical) {
    if (vertical)
        return {ci[ciScrollBar1H + 1],       ci[ciScrollBar1H + 3],       ci[ciScrollBtnTop],     ci[ciScrollBtnTop + 1],
                ci[ciScrollBtnGlyphs],       ci[ciScrollBtnGlyphs + 1],   ci[ciScrollSliderV],    ci[ciScrollSliderGlyphs]};
    return {ci[ciScrollBar1H],           ci[ciScrollBar1H + 2],       ci[ciScrollBtnTop + 2], ci[ciScrollBtnTop + 3],
            ci[ciScrollBtnGlyphs + 2],   ci[ciScrollBtnGlyphs + 3],   ci[ciScrollSliderV + 1], ci[ciScrollSliderGlyphs + 1]};
}

// The window's cached picture, as the window answers for it.
TParentCacheInfo WindowCache(HWND window) {
    ReplyCacheInfo = TParentCacheInfo{};
    SendSkinCommand(window, AC_QUERYCACHE);
    TParentCacheInfo cache = ReplyCacheInfo;
    ReplyCacheInfo = TParentCacheInfo{};
    if (cache.Bmp.Empty()) cache.Ready = false;
    return cache;
}

// A section item with its glyph centred on it, painted into Rect of Bmp
// through a picture of its own, over Behind (what lies under the item, at
// the item's top-left corner).
void PaintItem(const TsSkinContent& skin, const TPixels& bmp, const TRect& rect, int section, int state, int glyph,
               const TParentCacheInfo& behind) {
    if (!skin.IsValidSkinIndex(section) || rect.IsEmpty()) return;
    const int w = rect.Width(), h = rect.Height();
    TPixelBitmap picture(w, h);
    TSectionBackground a;
    a.SectionIndex = section;
    a.SectionName = skin.Sections[static_cast<size_t>(section)].SectionName;
    a.ParentCache = behind;
    a.State = state;
    a.Rect = TRect{0, 0, w, h};
    a.ColorToRGB = RGBOf;
    PaintSectionItem(skin, picture.Pixels(), a);
    if (skin.IsValidMaskIndex(glyph)) {
        const TsMaskData& g = skin.Masks[static_cast<size_t>(glyph)];
        const int gw = g.FrameWidth(), gh = g.FrameHeight();
        // The glyph's clear pixels keep the item's own face.
        if (gw > 0 && gh > 0) DrawSkinGlyph(picture.Pixels(), TPoint{(w - gw) / 2, (h - gh) / 2}, state, g, 1);
    }
    CopyRect(bmp, rect.Left, rect.Top, picture.Pixels(), TRect{0, 0, w, h});
}

// Messages after which the window may have drawn its own bars although
// its scroll state reads the same (EDIT refreshes a bar that cannot scroll
// on every update).
bool MayDrawOwnBars(UINT msg) {
    switch (msg) {
        case WM_SETTEXT: case WM_CHAR: case WM_KEYDOWN: case WM_PASTE: case WM_CUT: case WM_CLEAR: case WM_UNDO:
        case WM_SIZE: case WM_SETFONT: case WM_SETREDRAW: case WM_ENABLE: case WM_HSCROLL: case WM_VSCROLL:
        case WM_MOUSEWHEEL: case WM_STYLECHANGED: case WM_TIMER: case WM_LBUTTONDOWN: case WM_LBUTTONUP:
        case EM_SETSEL: case EM_SCROLL: case EM_LINESCROLL: case EM_SCROLLCARET: case EM_REPLACESEL: case EM_UNDO:
        case CM_FOCUSCHANGED: case CM_MOUSEWHEEL:
            return true;
        default:
            return false;
    }
}

// Messages after which the scroll state is read back: the window's own
// messages (its list and edit messages among them) and the layer's focus
// and wheel notifications; not the frequent ones that never scroll, nor the
// questions a program asks of a list or an edit (a battle reads the names
// of its participants from the lists and its options from edits, and under
// Wine reading a bar back costs round trips to the window server).
bool MayScroll(UINT msg) {
    switch (msg) {
        case WM_NCHITTEST: case WM_SETCURSOR: case WM_GETTEXT: case WM_GETTEXTLENGTH: case WM_GETDLGCODE:
        case WM_PAINT: case WM_ERASEBKGND: case WM_NCPAINT: case WM_NCCALCSIZE: case WM_PRINT: case WM_PRINTCLIENT:
        case WM_GETOBJECT: case WM_GETFONT: case WM_NCMOUSEMOVE: case WM_MOUSELEAVE: case WM_NCMOUSELEAVE:
        case WM_WINDOWPOSCHANGING: case WM_MOUSEACTIVATE: case WM_QUERYUISTATE: case WM_NCACTIVATE:
        case LB_GETCOUNT: case LB_GETTEXT: case LB_GETTEXTLEN: case LB_GETCURSEL: case LB_GETSEL: case LB_GETSELCOUNT:
        case LB_GETITEMDATA: case LB_GETITEMRECT: case LB_GETITEMHEIGHT: case LB_GETTOPINDEX: case LB_GETCARETINDEX:
        case LB_FINDSTRING: case LB_FINDSTRINGEXACT:
        case CB_GETCOUNT: case CB_GETCURSEL: case CB_GETLBTEXT: case CB_GETLBTEXTLEN: case CB_GETITEMDATA:
        case CB_GETDROPPEDSTATE: case CB_FINDSTRING: case CB_FINDSTRINGEXACT:
        case EM_GETSEL: case EM_GETLINECOUNT: case EM_GETLINE: case EM_LINEINDEX: case EM_LINELENGTH:
        case EM_LINEFROMCHAR: case EM_GETFIRSTVISIBLELINE: case EM_GETMODIFY: case EM_GETRECT: case EM_POSFROMCHAR:
        case EM_CHARFROMPOS: case EM_GETLIMITTEXT: case EM_CANUNDO:
        case BM_GETCHECK: case BM_GETSTATE:
            return false;
        default:
            return msg < WM_USER || msg == CM_FOCUSCHANGED || msg == CM_MOUSEWHEEL;
    }
}

}  // namespace

TScrollEngineState& ScrollEngine() { return g_engine; }

int ScrollBtnSize() { return GetSystemMetrics(SM_CXHSCROLL); }

// ---- TacScrollWnd

TacScrollWnd::~TacScrollWnd() {
    Forget();
    ReleaseWindow();
}

void TacScrollWnd::TakeOver(bool repaint) { InitScrollWnd(CtrlHandle, repaint); }

void TacScrollWnd::InitScrollWnd(HWND window, bool repaint) {
    InScrollMessage = false;
    HorzBar = std::make_unique<TacScrollBar>(this, sbHorz);
    VertBar = std::make_unique<TacScrollBar>(this, sbVert);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    LeftScrollbar = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    HorzBar->ScrollFlags = (style & WS_HSCROLL) ? sfHasStyle : 0;
    VertBar->ScrollFlags = (style & WS_VSCROLL) ? sfHasStyle : 0;
    ReadBar(*HorzBar);
    ReadBar(*VertBar);
    PreventStyleChange = false;
    HookWndProc(window);
    SetMinThumbSize(window, SB_BOTH, 10);
    // The frame changes at once, so that the window's client area leaves room for our bars.
    if (repaint) RedrawNonClient(window, true);
}

void TacScrollWnd::ReadBar(TacScrollBar& bar) {
    const int which = bar.BarType == sbHorz ? SB_HORZ : SB_VERT;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    if (GetScrollInfo(CtrlHandle, which, &si))
        bar.ScrollInfo = TScrollInfo{si.nMin, si.nMax, si.nPage, si.nPos, si.nTrackPos};
    // The arrows' disabled bits and the bar's own state come from the system.
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof(sbi);
    bar.ScrollFlags &= static_cast<uint16_t>(~(sfDisableLtUp | sfDisableRtDn));
    if (GetScrollBarInfo(CtrlHandle, bar.BarType == sbHorz ? OBJID_HSCROLL : OBJID_VSCROLL, &sbi)) {
        bar.SystemState = sbi.rgstate[0];
        if (sbi.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) bar.ScrollFlags |= sfDisableLtUp;
        if (sbi.rgstate[5] & STATE_SYSTEM_UNAVAILABLE) bar.ScrollFlags |= sfDisableRtDn;
    } else {
        bar.SystemState = STATE_SYSTEM_UNAVAILABLE;
    }
}

bool TacScrollWnd::ReadScrollState() {
    if (!HorzBar || !VertBar) return false;
    auto snapshot = [](const TacScrollBar& b) {
        const TScrollInfo& s = b.ScrollInfo;
        return std::make_tuple(s.nMin, s.nMax, s.nPage, s.nPos, b.ScrollFlags, b.SystemState & STATE_SYSTEM_UNAVAILABLE);
    };
    const auto horz = snapshot(*HorzBar), vert = snapshot(*VertBar);
    ReadBar(*HorzBar);
    ReadBar(*VertBar);
    return horz != snapshot(*HorzBar) || vert != snapshot(*VertBar);
}

TScrollMetrics TacScrollWnd::Metrics() const {
    return TScrollMetrics{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL), ScrollBtnSize()};
}

const TsSkinContent* TacScrollWnd::GeometrySkin() const {
    TsSkinManager* manager = Manager();
    return manager ? &manager->Skin() : nullptr;
}

TScrollBarRects TacScrollWnd::BarRects() const {
    RECT wr{};
    GetWindowRect(CtrlHandle, &wr);
    return GetScrollBarRects(FromRECT(wr), Edges, *HorzBar, *VertBar, LeftScrollbar, Metrics(), GeometrySkin());
}

bool TacScrollWnd::BarActive(const TacScrollBar& bar) const {
    if (!IsScrollBarActive(bar, bar.SystemState)) return false;
    return !SkinData || !SkinData->OwnerControl || SkinData->OwnerControl->Enabled();
}

bool TacScrollWnd::GripApplies() const {
    const bool child = (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & WS_CHILD) != 0;
    HWND parent = child ? GetAncestor(CtrlHandle, GA_PARENT) : nullptr;
    RECT wr{}, client{};
    GetWindowRect(CtrlHandle, &wr);
    bool parentTopLevel = false;
    if (parent) {
        GetClientRect(parent, &client);
        MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&client), 2);
        parentTopLevel = (GetWindowLongPtrW(parent, GWL_STYLE) & WS_CHILD) == 0;
    }
    return skin::GripApplies(parent != nullptr, parentTopLevel, FromRECT(wr), FromRECT(client), LeftScrollbar);
}

void TacScrollWnd::PassWithoutScrollStyles(TMessage& message) {
    const LONG_PTR style = GetWindowLongPtrW(CtrlHandle, GWL_STYLE);
    const LONG_PTR bars = style & (WS_HSCROLL | WS_VSCROLL);
    if (!bars) {
        CallPrevWndProc(message);
        return;
    }
    PreventStyleChange = true;
    SetWindowLongPtrW(CtrlHandle, GWL_STYLE, style & ~bars);
    CallPrevWndProc(message);
    SetWindowLongPtrW(CtrlHandle, GWL_STYLE, GetWindowLongPtrW(CtrlHandle, GWL_STYLE) | bars);
    PreventStyleChange = false;
}

void TacScrollWnd::CalcSize(TMessage& message) {
    const LONG_PTR style = GetWindowLongPtrW(CtrlHandle, GWL_STYLE);
    RECT* r = message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0]
                             : reinterpret_cast<RECT*>(message.LParam);
    const RECT old = *r;
    PassWithoutScrollStyles(message);
    Edges.cxLeftEdge = r->left - old.left;
    Edges.cxRightEdge = old.right - r->right;
    Edges.cyTopEdge = r->top - old.top;
    Edges.cyBottomEdge = old.bottom - r->bottom;
    auto flag = [](TacScrollBar& bar, bool has) {
        bar.ScrollFlags = static_cast<uint16_t>((bar.ScrollFlags & ~sfHasStyle) | (has ? sfHasStyle : 0));
    };
    flag(*HorzBar, (style & WS_HSCROLL) != 0);
    flag(*VertBar, (style & WS_VSCROLL) != 0);
    TRect client = FromRECT(*r);
    ReserveScrollBars(client, *HorzBar, *VertBar, LeftScrollbar, Metrics(), GeometrySkin());
    *r = ToRECT(client);
}

// ---- painting

void TacScrollWnd::PaintScrollBars(HDC dc, int forcedThumbStart) {
    HWND window = CtrlHandle;
    if (Destroyed || !SkinData || !HorzBar || !IsWindow(window)) return;
    if (!dc && !IsWindowVisible(window)) return;
    TsSkinManager* manager = Manager();
    if (!manager || !SkinData->HasValidSkin()) return;
    SkinData->SetUpdateFlag(SkinData->IsSkinUpdating());
    if (SkinData->Updating) return;
    if (TControl* owner = SkinData->OwnerControl)
        if (owner->ComponentState() & (csLoading | csReading | csDestroying)) return;
    if (SkinData->BackgroundChanged) SendSkinCommand(window, AC_PREPARECACHE);

    RECT wr{};
    GetWindowRect(window, &wr);
    WndRect = FromRECT(wr);
    WndSize = SIZE{WndRect.Width(), WndRect.Height()};
    const TScrollBarRects rects = BarRects();
    HDC target = dc ? dc : GetWindowDC(window);
    if (!target) return;
    const TScrollEngineState& e = g_engine;
    auto pressedOn = [&](int bar) { return e.HotWnd == window && e.CurrentBar == bar ? e.PressedPortion : spNone; };
    auto forcedOn = [&](int bar) { return e.HotWnd == window && e.CurrentBar == bar ? forcedThumbStart : -1; };
    if (HorzBar->ScrollVisible) PaintBar(sbHorz, target, WndRect, rects.Horz, pressedOn(sbHorz), forcedOn(sbHorz));
    if (VertBar->ScrollVisible) PaintBar(sbVert, target, WndRect, rects.Vert, pressedOn(sbVert), forcedOn(sbVert));
    if (HorzBar->ScrollVisible && VertBar->ScrollVisible) PaintCorner(target, WndRect, rects.Corner);
    if (!dc) ReleaseDC(window, target);
}

void TacScrollWnd::RepaintBar(int barIndex, int forcedThumbStart) {
    // Both bars share one picture of the window's background; painting the
    // pair costs little and keeps the corner right.
    (void)barIndex;
    PaintScrollBars(nullptr, forcedThumbStart);
}

void TacScrollWnd::PaintBar(int barIndex, HDC dc, const TRect& windowRect, const TRect& barRect, int pressed,
                            int forcedThumbStart) {
    TacScrollBar& bar = *Bar(barIndex);
    const TScrollEngineState& e = g_engine;
    HWND window = CtrlHandle;
    const bool tracked = ThumbTracking && e.HotWnd == window && e.CurrentBar == barIndex;
    if (tracked && forcedThumbStart == -1) return;  // the drag paints this bar itself
    TsSkinManager* manager = Manager();
    const TsSkinContent& skin = manager->Skin();
    const TBarSections s = SectionsOf(manager->CachedIndexes, barIndex == sbVert);
    const int length = barIndex == sbHorz ? barRect.Width() : barRect.Height();
    if (!bar.ScrollVisible || !skin.IsValidSkinIndex(s.Track1) || length < 2 || barRect.IsEmpty()) return;
    if (!tracked) ReadBar(bar);
    const bool active = BarActive(bar);

    const int w = barRect.Width(), h = barRect.Height();
    TPixelBitmap picture(w, h);
    const TPixels px = picture.Pixels();
    const TParentCacheInfo cache = WindowCache(window);
    const TPoint place{barRect.Left - windowRect.Left, barRect.Top - windowRect.Top};
    const TBarParts parts = GetBarParts(bar, barRect, Metrics(), GeometrySkin(), forcedThumbStart);
    const bool hovered = e.HoverWnd == window && e.MouseOverBar == barIndex;
    auto arrowState = [&](int portion) {
        if (pressed == portion) return 2;
        return active && hovered && e.MouseOverPortion == portion ? 1 : 0;
    };
    // The track lies over the window's picture; the arrows and the thumb lie
    // over the track, so their rounded corners show the track.
    auto track = [&](const TRect& r, int section, int state) {
        TParentCacheInfo behind = cache;
        behind.X += place.X + r.Left;
        behind.Y += place.Y + r.Top;
        PaintItem(skin, px, r, section, state, -1, behind);
    };
    auto overTrack = [&](const TRect& r, int section, int state, int glyph) {
        PaintItem(skin, px, r, section, state, glyph, MakeParentCacheInfo(px, r.Left, r.Top));
    };
    if (parts.Short) {
        track(parts.Track1, s.Track1, 0);
        track(parts.Track2, s.Track2, 0);
    } else {
        track(parts.Track1, s.Track1, pressed == spPageUp ? 2 : 0);
        track(parts.Track2, s.Track2, pressed == spPageDown ? 2 : 0);
    }
    overTrack(parts.Arrow1, s.Arrow1, arrowState(spLineUp), s.Glyph1);
    overTrack(parts.Arrow2, s.Arrow2, arrowState(spLineDown), s.Glyph2);
    if (!parts.Short && active && parts.ThumbVisible) {
        const int state = tracked ? 2 : (hovered && e.MouseOverPortion == spThumb ? 1 : 0);
        overTrack(parts.Thumb, s.Slider, state, s.SliderGlyph);
    }
    if (!active) {
        // Dimmed: the window's background shows through, or a fade toward the track's colour.
        if (cache.Ready)
            BlendTransparent(px, cache.Bmp, 0, 0, static_cast<TColor>(0xFF000000), 0.4,
                             TRect{cache.X + place.X, cache.Y + place.Y, cache.X + place.X + w, cache.Y + place.Y + h});
        else
            BlendRoundRect(px, TRect{0, 0, w, h}, 60, 0, 0, RGBOf(skin.Sections[static_cast<size_t>(s.Track1)].Color));
    }
    DrawPixels(dc, place.X, place.Y, px, TRect{0, 0, w, h});
}

void TacScrollWnd::PaintCorner(HDC dc, const TRect& windowRect, const TRect& corner) {
    const int w = corner.Width(), h = corner.Height();
    if (w <= 0 || h <= 0) return;
    TsSkinManager* manager = Manager();
    TPixelBitmap picture(w, h);
    const TPixels px = picture.Pixels();
    const TPoint place{corner.Left - windowRect.Left, corner.Top - windowRect.Top};
    const TParentCacheInfo cache = WindowCache(CtrlHandle);
    if (cache.Ready)
        CopyRect(px, 0, 0, cache.Bmp, TRect{cache.X + place.X, cache.Y + place.Y, cache.X + place.X + w, cache.Y + place.Y + h});
    else
        FillRect(px, TRect{0, 0, w, h}, manager->GetGlobalInfoHotColor());
    // The corner carries on the vertical bar's track: the window's own
    // picture there is its client's colour (an edit's white square).
    TParentCacheInfo behind = cache;
    behind.X += place.X;
    behind.Y += place.Y;
    PaintItem(manager->Skin(), px, TRect{0, 0, w, h}, SectionsOf(manager->CachedIndexes, true).Track2, 0, -1,
              cache.Ready ? behind : MakeParentCacheInfo(px, 0, 0));
    const int global = manager->CachedIndexes[ciGlobalInfo];
    const int grip = global >= 0 ? manager->GetMaskIndex(global, "GLOBALINFO", "GRIPIMAGE") : -1;
    if (manager->IsValidMaskIndex(grip) && GripApplies()) {
        const TPoint frame = ThreeStateFrame(&manager->Skin(), grip);
        DrawSkinGlyph(px, TPoint{w - frame.X, h - frame.Y}, 0, manager->Skin().Masks[static_cast<size_t>(grip)], 1, behind);
    }
    DrawPixels(dc, place.X, place.Y, px, TRect{0, 0, w, h});
}

// ---- mouse and timers

void TacScrollWnd::StopHover() {
    TScrollEngineState& e = g_engine;
    HWND old = e.HoverWnd;
    if (!old) return;
    if (e.HoverTimerId && IsWindow(old)) KillTimer(old, kScrollHoverTimer);
    e.HoverTimerId = 0;
    e.HoverWnd = nullptr;
    e.MouseOverBar = e.MouseOverPortion = e.LastMouseOverPortion = -1;
    if (auto* adapter = dynamic_cast<TacScrollWnd*>(GetScrollWnd(old)); adapter && !adapter->Destroyed)
        adapter->PaintScrollBars();
}

void TacScrollWnd::HoverTick() {
    TScrollEngineState& e = g_engine;
    if (ThumbTracking || e.MouseOverBar < 0) return;
    const TPoint p = CursorPoint();
    if (Inside(e.HoverRect, p)) {
        const TScrollBarRects r = BarRects();
        e.MouseOverPortion = GetPortion(*Bar(e.MouseOverBar), e.MouseOverBar == sbHorz ? r.Horz : r.Vert, p, Metrics(),
                                        GeometrySkin());
        if (e.MouseOverPortion != e.LastMouseOverPortion) {
            e.LastMouseOverPortion = e.MouseOverPortion;
            RepaintBar(e.MouseOverBar);
        }
    } else {
        StopHover();
    }
}

void TacScrollWnd::StartPress(int barIndex, int portion) {
    TScrollEngineState& e = g_engine;
    e.PressedPortion = portion;
    RepaintBar(barIndex);
    SendScrollMessage(CtrlHandle, e.ScrollMsg, portion, 0);
    e.PressedPortion = portion;
    e.ScrollTimerId = SetTimer(CtrlHandle, kScrollPressTimer, 300, nullptr);
}

bool TacScrollWnd::HandleBarMouse(TMessage& message) {
    TScrollEngineState& e = g_engine;
    HWND window = CtrlHandle;
    const int barIndex = message.WParam == HTHSCROLL ? sbHorz : sbVert;
    TacScrollBar& bar = *Bar(barIndex);
    ReadBar(bar);
    const TPoint p = PointOf(message.LParam);
    const TScrollBarRects rects = BarRects();
    const TRect& rect = barIndex == sbHorz ? rects.Horz : rects.Vert;
    const int portion = GetPortion(bar, rect, p, Metrics(), GeometrySkin());
    e.HotWnd = window;
    if (portion == spNone) return false;
    message.Result = 0;
    // A disabled arrow, or a bar that takes no input: nothing scrolls, nothing is captured.
    if (!BarActive(bar)) return true;
    if ((portion == spLineUp && (bar.ScrollFlags & sfDisableLtUp)) ||
        (portion == spLineDown && (bar.ScrollFlags & sfDisableRtDn)))
        return true;
    e.ScrollMsg = barIndex == sbHorz ? WM_HSCROLL : WM_VSCROLL;
    e.CurrentBar = barIndex;
    e.CurrentPortion = portion;
    SetCapture(window);
    if (portion == spThumb) {
        const TThumbGeometry g = GetThumbGeometry(bar, rect, Metrics(), GeometrySkin());
        e.ThumbBounds = rect;
        e.ThumbSize = g.Size;
        e.ThumbPos0 = g.Start;
        ThumbTracking = true;
        bar.ScrollInfo.nTrackPos = bar.ScrollInfo.nPos;
        e.ThumbMouseOffset = AlongBar(bar, p) - g.Start;
        e.LastPos = bar.ScrollInfo.nPos;
        RepaintBar(barIndex, g.Start - (barIndex == sbHorz ? rect.Left : rect.Top));
    } else {
        StartPress(barIndex, portion);
    }
    return true;
}

void TacScrollWnd::DragThumb(TPoint p) {
    TScrollEngineState& e = g_engine;
    TacScrollBar& bar = *Bar(e.CurrentBar);
    const TThumbDrag d = GetThumbDrag(bar, e.ThumbBounds, e.ThumbSize, AlongBar(bar, p), e.ThumbMouseOffset, Metrics(),
                                      GeometrySkin());
    if (d.Position != e.LastPos) {
        bar.ScrollInfo.nTrackPos = d.Position;
        InScrollMessage = true;
        SendScrollMessage(CtrlHandle, e.ScrollMsg, SB_THUMBTRACK, d.Position);
        InScrollMessage = false;
    }
    e.LastPos = d.Position;
    // After the window scrolled (and may have drawn its own bar): the thumb where the mouse holds it.
    const int origin = bar.BarType == sbHorz ? e.ThumbBounds.Left : e.ThumbBounds.Top;
    RepaintBar(e.CurrentBar, d.ThumbStart - origin);
}

bool TacScrollWnd::PressMouseMove(TPoint p) {
    TScrollEngineState& e = g_engine;
    if (e.HotWnd != CtrlHandle || e.CurrentPortion == spNone || e.CurrentBar < 0) return false;
    if (ThumbTracking) {
        DragThumb(p);
        return true;
    }
    if (!IsPressPortion(e.CurrentPortion)) return false;
    const TScrollBarRects rects = BarRects();
    const int under = GetPortion(*Bar(e.CurrentBar), e.CurrentBar == sbHorz ? rects.Horz : rects.Vert, p, Metrics(),
                                 GeometrySkin());
    const int pressed = under == e.CurrentPortion ? e.CurrentPortion : spNone;
    if (pressed != e.PressedPortion) {
        e.PressedPortion = pressed;
        RepaintBar(e.CurrentBar);
    }
    return true;
}

void TacScrollWnd::EndPress(bool releaseCapture, TMessage*) {
    TScrollEngineState& e = g_engine;
    HWND window = CtrlHandle;
    const int portion = e.CurrentPortion;
    const UINT msg = e.ScrollMsg;
    const bool tracking = ThumbTracking;
    const int last = e.LastPos;
    // No press any more before the capture goes, so that WM_CAPTURECHANGED finds none.
    e.CurrentPortion = spNone;
    if (releaseCapture && GetCapture() == window) ReleaseCapture();
    if (IsPressPortion(portion)) {
        KillTimer(window, kScrollPressTimer);
        KillTimer(window, kScrollRepeatTimer);
    }
    if (tracking) {
        SendScrollMessage(window, msg, SB_THUMBPOSITION, last);
        ThumbTracking = false;
    }
    if (msg) SendScrollMessage(window, msg, SB_ENDSCROLL, tracking ? last : 0);
    e.PressedPortion = spNone;
    e.CurrentBar = -1;
    e.ScrollTimerId = 0;
    e.ScrollMsg = 0;
    ReadScrollState();
    PaintScrollBars();
}

void TacScrollWnd::Forget() {
    TScrollEngineState& e = g_engine;
    HWND window = CtrlHandle;
    const bool alive = window && IsWindow(window);
    if (e.HoverWnd == window) {
        if (alive && e.HoverTimerId) KillTimer(window, kScrollHoverTimer);
        e.HoverTimerId = 0;
        e.HoverWnd = nullptr;
        e.MouseOverBar = e.MouseOverPortion = e.LastMouseOverPortion = -1;
    }
    if (e.HotWnd == window) {
        const bool pressed = e.CurrentPortion != spNone;
        if (alive && e.ScrollTimerId) {
            KillTimer(window, kScrollPressTimer);
            KillTimer(window, kScrollRepeatTimer);
        }
        e.ScrollTimerId = 0;
        e.CurrentBar = e.CurrentPortion = e.PressedPortion = -1;
        e.ScrollMsg = 0;
        e.HotWnd = nullptr;
        if (pressed && alive && GetCapture() == window) ReleaseCapture();
    }
    ThumbTracking = false;
}

void TacScrollWnd::AfterPassedOn(UINT msg) {
    if (Destroyed || InScrollMessage || !HorzBar || !IsWindow(CtrlHandle) || !MayScroll(msg)) return;
    const bool changed = ReadScrollState();
    if (changed || MayDrawOwnBars(msg)) PaintScrollBars();
}

// ---- the message handler

void TacScrollWnd::AdapterWndProc(TMessage& message) {
    HWND window = CtrlHandle;
    TScrollEngineState& e = g_engine;
    switch (message.Msg) {
        case WM_DESTROY:
        case WM_NCDESTROY:
            Forget();
            TacMainWnd::AdapterWndProc(message);
            return;
        case WM_UPDATEUISTATE:
            return;
        case WM_STYLECHANGED:
            // Our own removal and return of the scroll styles: the window never hears of it.
            if (PreventStyleChange) {
                message.Result = 0;
                return;
            }
            if (message.WParam == static_cast<WPARAM>(GWL_EXSTYLE))
                LeftScrollbar = (reinterpret_cast<const STYLESTRUCT*>(message.LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
            break;
        case WM_SYSCOMMAND:
            // The system's own tracking of a bar (0xF077 vertical, 0xF086 horizontal).
            if (LOWORD(message.WParam) == SC_VSCROLL + HTVSCROLL || LOWORD(message.WParam) == SC_HSCROLL + HTHSCROLL) {
                message.Result = 0;
                return;
            }
            break;
        case CM_UIACTIVATE:
            CallPrevWndProc(message);
            if (WndSize.cx != 0) {
                RECT wr{};
                GetWindowRect(window, &wr);
                SetWindowPos(window, nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
            }
            return;
        case SM_SKINCMD: {
            const bool ours = message.LParam != 0 && SkinData &&
                              reinterpret_cast<TsSkinManager*>(message.LParam) == SkinData->SkinManager();
            switch (SkinCommandOf(message.WParam)) {
                case AC_SKINREFRESH:
                    if (ours) {
                        SkinData->RefreshSkinIndexes();
                        SkinData->BackgroundChanged = true;
                        SkinData->Updating = false;
                        if (IsWindowVisible(window)) RedrawNonClient(window, true);
                    }
                    CallPrevWndProc(message);
                    return;
                case AC_SKINREMOVED:
                    if (ours) {
                        RestoreCtrlParams();
                        Forget();
                        // The window measures its frame again, now with the system's bars.
                        if (IsWindowVisible(window)) RedrawNonClient(window, true);
                    }
                    CallPrevWndProc(message);
                    return;
                case AC_REDRAWBG:
                    if (SkinData && SkinData->IsSkinUpdating()) {
                        SkinData->SetUpdateFlag(false);
                        RedrawWindow(window, nullptr, nullptr,
                                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
                    }
                    return;
                default:
                    TacMainWnd::AdapterWndProc(message);
                    return;
            }
        }
    }

    if (!SkinData || !SkinData->HasValidSkin()) {
        TacMainWnd::AdapterWndProc(message);
        return;
    }

    switch (message.Msg) {
        case WM_NCCALCSIZE:
            CalcSize(message);
            return;
        case WM_NCPAINT:
            if (!IsWindowVisible(window)) break;
            SkinData->SetUpdateFlag(SkinData->IsSkinUpdating());
            PassWithoutScrollStyles(message);
            if (!SkinData->Updating && !InScrollMessage) PaintScrollBars();
            return;
        case WM_PRINT:
            if (message.LParam & PRF_NONCLIENT) {
                PassWithoutScrollStyles(message);
                PaintScrollBars(reinterpret_cast<HDC>(message.WParam));
            } else {
                CallPrevWndProc(message);
            }
            return;
        case WM_NCHITTEST: {
            ReadBar(*HorzBar);
            ReadBar(*VertBar);
            const std::optional<int> code = ScrollBarHitCode(PointOf(message.LParam), BarRects(), BarActive(*HorzBar),
                                                             BarActive(*VertBar), GripApplies());
            if (code) {
                message.Result = *code;
                return;
            }
            break;
        }
        case WM_NCMOUSEMOVE:
            // Not passed on: the system would light its own bar there.
            if (IsBarHit(message.WParam)) {
                const int barIndex = message.WParam == HTHSCROLL ? sbHorz : sbVert;
                e.HotWnd = window;
                if (e.HoverWnd != window || e.MouseOverBar != barIndex) {
                    StopHover();
                    const TScrollBarRects rects = BarRects();
                    e.HoverRect = barIndex == sbHorz ? rects.Horz : rects.Vert;
                    e.MouseOverBar = barIndex;
                    e.MouseOverPortion = e.LastMouseOverPortion = -1;
                    e.HoverWnd = window;
                    e.HoverTimerId = SetTimer(window, kScrollHoverTimer, 20, nullptr);
                    PaintScrollBars();
                }
                message.Result = 0;
                return;
            }
            break;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            if (IsBarHit(message.WParam)) {
                if (HandleBarMouse(message)) return;
                break;
            }
            // The grip of a child flush with its form's corner sizes the form.
            if (message.WParam == HTBOTTOMRIGHT && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) && GripApplies()) {
                SendMessageW(GetAncestor(window, GA_PARENT), WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, message.LParam);
                message.Result = 0;
                return;
            }
            break;
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONUP:
        case WM_NCMBUTTONDOWN:
        case WM_NCMBUTTONUP:
            if (IsBarHit(message.WParam)) {
                message.Result = 0;
                return;
            }
            break;
        case WM_TIMER: {
            // Ours only while our timer runs on this window; a timer of the
            // window's own with the same number goes on to it.
            const UINT_PTR id = message.WParam;
            if (id == kScrollHoverTimer && e.HoverTimerId && e.HoverWnd == window) {
                HoverTick();
                return;
            }
            if ((id == kScrollPressTimer || id == kScrollRepeatTimer) && e.ScrollTimerId && e.HotWnd == window) {
                if (id == kScrollPressTimer) {
                    KillTimer(window, kScrollPressTimer);
                    e.ScrollTimerId = SetTimer(window, kScrollRepeatTimer, 55, nullptr);
                    return;
                }
                PressMouseMove(CursorPoint());
                if (e.PressedPortion != spNone && e.ScrollMsg) {
                    InScrollMessage = true;
                    SendScrollMessage(window, e.ScrollMsg, e.PressedPortion, 0);
                    InScrollMessage = false;
                    ReadScrollState();
                    PaintScrollBars();
                }
                return;
            }
            CallPrevWndProc(message);
            if (!ThumbTracking) AfterPassedOn(WM_TIMER);
            return;
        }
        case WM_MOUSEMOVE: {
            POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
            ClientToScreen(window, &at);
            if (PressMouseMove(TPoint{at.x, at.y})) {
                message.Result = 0;
                return;
            }
            break;
        }
        case WM_LBUTTONUP:
            if (e.CurrentPortion != spNone && e.HotWnd == window) {
                EndPress(true, &message);
                CallPrevWndProc(message);
                return;
            }
            break;
        case WM_CAPTURECHANGED:
            // The capture taken away in the middle of a press ends it.
            if (e.CurrentPortion != spNone && e.HotWnd == window && reinterpret_cast<HWND>(message.LParam) != window)
                EndPress(false, nullptr);
            break;
    }
    TacMainWnd::AdapterWndProc(message);
    AfterPassedOn(message.Msg);
}

// ---- helpers of the family

void UpdateScrollInfo(TacScrollWnd* adapter, bool repaint) {
    if (!adapter || adapter->Destroyed) return;
    adapter->ReadScrollState();
    if (repaint) adapter->PaintScrollBars();
}

void PaintScrollBars(TacScrollWnd* adapter, HDC dc, int forcedThumbStart) {
    if (adapter) adapter->PaintScrollBars(dc, forcedThumbStart);
}

void SendScrollMessage(HWND window, UINT msg, int code, int pos) {
    SendSkinCommand(window, AC_BEFORESCROLL);
    if (code == SB_THUMBTRACK) SetScrollPos(window, msg == WM_HSCROLL ? SB_HORZ : SB_VERT, pos, FALSE);
    SendMessageW(window, msg, MAKEWPARAM(code, pos), 0);
    SendSkinCommand(window, AC_AFTERSCROLL, MAKELONG(code, msg));
}

TacScrollBar* GetScrollBar(HWND window, int bar) {
    auto* adapter = dynamic_cast<TacScrollWnd*>(GetScrollWnd(window));
    if (!adapter) return nullptr;
    if (bar == SB_HORZ) return adapter->HorzBar.get();
    if (bar == SB_VERT) return adapter->VertBar.get();
    return nullptr;
}

void SetMinThumbSize(HWND window, int bar, int size) {
    if (bar == SB_HORZ || bar == SB_BOTH)
        if (TacScrollBar* b = GetScrollBar(window, SB_HORZ)) b->MinThumbSize = size;
    if (bar == SB_VERT || bar == SB_BOTH)
        if (TacScrollBar* b = GetScrollBar(window, SB_VERT)) b->MinThumbSize = size;
}

void UpdateSkinnedScrolls(TsCommonData* skinData, std::unique_ptr<TacScrollWnd>& adapter) {
    auto* owner = skinData ? dynamic_cast<TWinControl*>(skinData->OwnerControl) : nullptr;
    if (!owner || !owner->HandleAllocated()) return;
    if (owner->ComponentState() & (csLoading | csReading | csDestroying | csDesigning)) return;
    HWND window = owner->Handle();
    if (skinData->HasValidSkin()) {
        UninitializeFlatSB(window);
        if (adapter && adapter->Destroyed) FreeAfterMessages(std::move(adapter));
        if (!adapter) adapter = CreateAdapter<TacScrollWnd>(window, skinData, skinData->SkinManager(), "", true);
    } else if (adapter) {
        RetireAdapter(std::move(adapter));
        InitializeFlatSB(window);
        // The window measures its frame again, with the system's bars.
        if (IsWindowVisible(window)) RedrawNonClient(window, true);
    } else {
        InitializeFlatSB(window);
    }
}

void UnhookScrollWnd(HWND window, bool freeAdapter, bool redrawMode, std::unique_ptr<TacScrollWnd>& adapter) {
    UnhookWndProc(window, freeAdapter, redrawMode, adapter);
}

}  // namespace skin
