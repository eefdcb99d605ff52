#include "skin/windows/paneladapters.h"

#include <commctrl.h>
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
#include "skin/windows/layout/controlparts.h"
#include "skin/windows/skinmenus.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"
#include "vcl/wintext.h"

namespace skin {

using namespace vcl;

namespace {

TColor RGBOf(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

bool OursFor(const TMessage& m, TsCommonData* data) {
    return data && m.LParam != 0 && reinterpret_cast<TsSkinManager*>(m.LParam) == data->SkinManager();
}

// The parent's picture moved to a point of the window.
TParentCacheInfo Behind(TParentCacheInfo parent, TPoint windowPos, int x = 0, int y = 0) {
    parent.X += windowPos.X + x;
    parent.Y += windowPos.Y + y;
    return parent;
}

// One frame of a glyph mask centred in Rect of the picture, in a state.
void DrawCentredGlyph(TsSkinManager* m, const TPixels& bmp, const TRect& rect, int glyph, int state) {
    if (!m->IsValidMaskIndex(glyph)) return;
    const TsMaskData& g = m->Skin().Masks[static_cast<size_t>(glyph)];
    const int gw = g.FrameWidth(), gh = g.FrameHeight();
    if (gw <= 0 || gh <= 0) return;
    DrawSkinGlyph(bmp, TPoint{rect.Left + (rect.Width() - gw) / 2, rect.Top + (rect.Height() - gh) / 2}, state, g, 1);
}

TPanelBevelKind BevelKind(TBevelCut cut) {
    switch (cut) {
        case bvLowered: return TPanelBevelKind::bvLowered;
        case bvRaised: return TPanelBevelKind::bvRaised;
        default: return TPanelBevelKind::bvNone;
    }
}

}  // namespace

// ---- up-down arrows

void TacSpinWnd::PaintInto(HDC dc) {
    if (SkinData->IsSkinUpdating()) {
        SkinData->Updating = true;
        return;
    }
    TParentCacheInfo parent;
    TBitmap* cache = SizeCache(parent);
    const int w = WndSize.cx, h = WndSize.cy;
    if (w <= 0 || h <= 0) return;
    // The half under the mouse is hot, or pressed while the button is down.
    POINT cursor{};
    GetCursorPos(&cursor);
    const TSpinHalves halves = SpinHalves(w, h, LeftMargin);
    UpState = DownState = 0;
    if (cursor.x >= WndRect.Left && cursor.x < WndRect.Right && cursor.y >= WndRect.Top && cursor.y < WndRect.Bottom &&
        IsWindowEnabled(CtrlHandle)) {
        const bool upper = cursor.y < WndRect.Bottom - h / 2;
        (upper ? UpState : DownState) = Pressed ? 2 : 1;
    }
    TsSkinManager* m = Manager();
    HDC cdc = cache->Canvas()->Handle();
    if (!parent.Ready) FillRect(cache->Pixels(), TRect{0, 0, w, h}, ParentBackgroundColor(CtrlHandle));
    auto half = [&](const TRect& r, int state, int glyph) {
        PaintSectionItemToDC(cdc, r, SkinData->SectionIndex, state, m, Behind(parent, wndPos_, r.Left, r.Top));
        TBitmap piece(r.Width(), r.Height());
        CopyRect(piece.Pixels(), 0, 0, cache->Pixels(), r);
        DrawCentredGlyph(m, piece.Pixels(), TRect{0, 0, r.Width(), r.Height()}, glyph, state);
        CopyRect(cache->Pixels(), r.Left, r.Top, piece.Pixels(), TRect{0, 0, r.Width(), r.Height()});
    };
    half(halves.Up, UpState, m->CachedIndexes[ciScrollBtnGlyphs]);
    half(halves.Down, DownState, m->CachedIndexes[ciScrollBtnGlyphs + 1]);
    SkinData->BackgroundChanged = false;
    DrawPixels(dc, LeftMargin, 0, cache->Pixels(), TRect{LeftMargin, 0, w, h});
}

void TacSpinWnd::AdapterWndProc(TMessage& message) {
    NoteSkinRemoved(message);
    if (Destroyed || !Skinned()) {
        TacMainWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    switch (message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            Pressed = message.Msg == WM_LBUTTONDOWN;
            TacMainWnd::AdapterWndProc(message);
            Repaint();
            return;
        case WM_PAINT: {
            PaintMessage(message);
            return;
        }
        case WM_ERASEBKGND:
            message.Result = 0;
            return;
        case WM_NCPAINT:
            return;
        case SM_SKINCMD:
            if (SkinCommandOf(message.WParam) == AC_HOTENTER || SkinCommandOf(message.WParam) == AC_HOTLEAVE) {
                Repaint();
                return;
            }
            break;
        default:
            break;
    }
    TacMainWnd::AdapterWndProc(message);
    if (Destroyed) return;
    if (message.Msg == WM_MOUSEMOVE && DefaultManager && DefaultManager->HotWindow == window) Repaint();
    TrackHot(message);
}

// ---- size grips

void TacSizerWnd::PaintInto(HDC dc) {
    TParentCacheInfo parent;
    TBitmap* cache = SizeCache(parent);
    if (WndSize.cx <= 0 || WndSize.cy <= 0) return;
    SkinData->BackgroundChanged = true;
    PrepareParentCache(SkinData, CtrlHandle, false);
    if (!parent.Ready && !SkinData->HasValidSkin())
        FillRect(cache->Pixels(), TRect{0, 0, WndSize.cx, WndSize.cy}, ParentBackgroundColor(CtrlHandle));
    DrawPixels(dc, 0, 0, cache->Pixels(), TRect{0, 0, WndSize.cx, WndSize.cy});
}

void TacSizerWnd::AdapterWndProc(TMessage& message) {
    NoteSkinRemoved(message);
    if (Destroyed || !Skinned()) {
        TacMainWnd::AdapterWndProc(message);
        return;
    }
    switch (message.Msg) {
        case WM_PAINT: {
            PaintMessage(message);
            return;
        }
        case WM_ERASEBKGND:
        case WM_NCPAINT:
            message.Result = 1;
            return;
        case WM_NCHITTEST:
            message.Result = HTBOTTOMRIGHT;
            if (IsWindowEnabled(CtrlHandle) && DefaultManager) DefaultManager->SetHotWindow(nullptr);
            return;
        default:
            break;
    }
    TacMainWnd::AdapterWndProc(message);
}

// ---- tool bars

void TacToolBarWnd::UpdateCache() {
    if (!SkinData->BackgroundChanged && SkinData->CacheBitmap && !SkinData->CacheBitmap->Empty()) return;
    GetWindowOffsets(this);
    RECT client{};
    GetClientRect(CtrlHandle, &client);
    FrameWidth = std::max(0, static_cast<int>(WndSize.cy - client.bottom) / 2);
    PrepareParentCache(SkinData, CtrlHandle, false);
    if (SkinData->CacheBitmap && !SkinData->HasValidSkin())
        FillRect(SkinData->CacheBitmap->Pixels(), TRect{0, 0, WndSize.cx, WndSize.cy}, ParentBackgroundColor(CtrlHandle));
    PaintBorderFast(SkinData, CtrlHandle, 0);
    SkinData->BackgroundChanged = false;
}

void TacToolBarWnd::PaintButton(TBitmap* target, int index) {
    HWND window = CtrlHandle;
    TBBUTTON button{};
    if (!SendMessageW(window, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))) return;
    if (button.fsStyle & TBSTYLE_SEP) return;
    RECT r{};
    if (!SendMessageW(window, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) return;
    OffsetRect(&r, FrameWidth, FrameWidth);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    TsSkinManager* m = Manager();
    TBitmap* cache = SkinData->CacheBitmap.get();
    const bool enabled = (button.fsState & TBSTATE_ENABLED) != 0;
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    RECT hit = r;
    OffsetRect(&hit, -FrameWidth, -FrameWidth);
    // The checked state looks like the normal one.
    const int state = enabled && (button.fsState & TBSTATE_PRESSED) ? 2 : enabled && PtInRect(&hit, cursor) ? 1 : 0;
    const int s = state == 2 ? 1 : 0;
    TBitmap picture(w, h);
    CopyRect(picture.Pixels(), 0, 0, cache->Pixels(), FromRECT(r));
    PaintSectionItemToDC(picture.Canvas()->Handle(), TRect{0, 0, w, h}, m->GetSkinIndex("TOOLBUTTON"), state, m,
                         MakeParentCacheInfo(cache->Pixels(), r.left, r.top));
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(window, TB_GETIMAGELIST, 0, 0));
    int iw = 0, ih = 0;
    if (images) ImageList_GetIconSize(images, &iw, &ih);
    int gw = 0, gh = 0;
    const int glyph = m->CachedIndexes[ciScrollBtnGlyphs + 1];
    const bool dropDown = (button.fsStyle & BTNS_WHOLEDROPDOWN) != 0;
    if (dropDown && m->IsValidMaskIndex(glyph)) {
        const TsMaskData& g = m->Skin().Masks[static_cast<size_t>(glyph)];
        gw = g.FrameWidth();
        gh = g.FrameHeight();
        DrawSkinGlyph(picture.Pixels(), TPoint{w - 2 - gw + s, (h - gh) / 2 + s}, state, g, 1);
    }
    if (images && button.iBitmap != 0) {
        ImageList_SetBkColor(images, CLR_NONE);
        ImageList_Draw(images, button.iBitmap, picture.Canvas()->Handle(), (w - iw - gw) / 2 + s, 4 + s, ILD_NORMAL);
    }
    WCHAR text[260] = {};
    const int length = static_cast<int>(
        SendMessageW(window, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(text)));
    if (length > 0 && length < 260) {
        TCanvas* c = picture.Canvas();
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
        LOGFONTW lf{};
        if (font && GetObjectW(font, sizeof(lf), &lf)) c->Font()->AssignLogFont(lf);
        c->Brush()->SetStyle(bsClear);
        const std::string caption = FromWide(text, length);
        RECT t{s + 2, s + 2 + (ih ? ih + 2 : 0), w - 2 + s, h - 2 + s};
        const int section = state == 0 ? SkinData->SectionIndex : m->GetSkinIndex("TOOLBUTTON");
        auto draw = [&](const std::string& line, RECT rect, UINT flags) {
            DrawSkinText(c, line, enabled, m, state != 0, section, flags, rect);
        };
        const TToolBarCaption split = SplitToolBarCaption(caption);
        if (!split.TwoLines) {
            draw(split.Line1, t, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_END_ELLIPSIS);
        } else {
            const int lineHeight = c->TextHeight("Wg");
            draw(split.Line1, RECT{t.left, t.top, t.right, t.top + lineHeight}, DT_CENTER);
            draw(split.Line2, RECT{t.left, t.top + lineHeight, t.right, t.bottom}, DT_CENTER | DT_END_ELLIPSIS);
        }
    }
    if (!enabled)
        BlendTransparent(picture.Pixels(), cache->Pixels(), 0, 0, static_cast<TColor>(0xFF000000), 0.4, FromRECT(r));
    CopyRect(target->Pixels(), r.left, r.top, picture.Pixels(), TRect{0, 0, w, h});
}

void TacToolBarWnd::PaintInto(HDC dc) {
    HWND window = CtrlHandle;
    const bool parentUpdating = SkinCommandAnswered(GetAncestor(window, GA_PARENT), AC_QUERYUPDATING);
    if (parentUpdating || SkinData->IsSkinUpdating()) {
        SkinData->Updating = true;
        return;
    }
    UpdateCache();
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (!cache || cache->Empty()) return;
    TBitmap picture(cache->Width(), cache->Height());
    CopyRect(picture.Pixels(), 0, 0, cache->Pixels(), TRect{0, 0, cache->Width(), cache->Height()});
    const int count = static_cast<int>(SendMessageW(window, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) PaintButton(&picture, i);
    const int fw = FrameWidth;
    DrawPixels(dc, 0, 0, picture.Pixels(), TRect{fw, fw, cache->Width() - fw, cache->Height() - fw});
}

void TacToolBarWnd::AdapterWndProc(TMessage& message) {
    NoteSkinRemoved(message);
    if (Destroyed || !Skinned()) {
        TacMainWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    switch (message.Msg) {
        case WM_PAINT: {
            PaintMessage(message);
            return;
        }
        case WM_ERASEBKGND:
            message.Result = 1;
            return;
        case WM_NCPAINT:
            if (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
                UpdateCache();
                HDC wdc = GetWindowDC(window);
                TBitmap* cache = SkinData->CacheBitmap.get();
                if (wdc && cache && !cache->Empty())
                    CopyFrameRect(wdc, cache->Canvas()->Handle(), TRect{0, 0, cache->Width(), cache->Height()},
                                  FrameWidth);
                if (wdc) ReleaseDC(window, wdc);
            }
            return;
        case SM_SKINCMD:
            if (SkinCommandOf(message.WParam) == AC_REDRAWBG) {
                if (SkinData->Updating) {
                    SkinData->Updating = false;
                    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
                }
                return;
            }
            break;
        case WM_SIZE:
        case WM_WINDOWPOSCHANGED:
            SkinData->BackgroundChanged = true;
            TacMainWnd::AdapterWndProc(message);
            if (!Destroyed) SendMessageW(window, WM_NCPAINT, 1, 0);
            return;
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
            TacMainWnd::AdapterWndProc(message);
            // The button under the mouse follows it.
            if (!Destroyed) InvalidateRect(window, nullptr, FALSE);
            TrackHot(message);
            return;
        default:
            break;
    }
    TacMainWnd::AdapterWndProc(message);
}

// ---- see-through dialog pages

void TacTransPanelWnd::PaintInto(HDC dc) {
    TParentCacheInfo parent;
    TBitmap* cache = SizeCache(parent);
    const int w = WndSize.cx, h = WndSize.cy;
    if (w <= 0 || h <= 0) return;
    if (parent.Ready)
        CopyRect(cache->Pixels(), 0, 0, parent.Bmp,
                 TRect{parent.X + wndPos_.X, parent.Y + wndPos_.Y, parent.X + wndPos_.X + w, parent.Y + wndPos_.Y + h});
    else
        FillRect(cache->Pixels(), TRect{0, 0, w, h}, ParentBackgroundColor(CtrlHandle));
    SkinData->BackgroundChanged = false;
    PaintCacheExcludeWindows(dc, CtrlHandle, SkinData, TRect{0, 0, w, h});
}

void TacTransPanelWnd::AdapterWndProc(TMessage& message) {
    NoteSkinRemoved(message);
    if (!Destroyed && Skinned() && message.Msg == WM_ERASEBKGND) {
        PaintInto(reinterpret_cast<HDC>(message.WParam));
        message.Result = 1;
        return;
    }
    TacMainWnd::AdapterWndProc(message);
}

// ---- panels

TacPanelWnd::TacPanelWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager, const std::string& section,
                         bool repaint)
    : TacPaintedWnd(window, skinData, skinManager, section, repaint) {
    // The section follows the panel's bevels.
    if (auto* panel = dynamic_cast<TPanel*>(SkinData->OwnerControl))
        SkinData->SetSkinSection(PanelSection(BevelKind(panel->BevelOuter()), BevelKind(panel->BevelInner()),
                                              panel->BorderStyle() == bsSingle));
}

TacPanelWnd::~TacPanelWnd() { ReleaseWindow(); }

void TacPanelWnd::RestoreCtrlParams() {
    if (TControl* owner = SkinData ? SkinData->OwnerControl : nullptr)
        owner->SetControlStyle(owner->ControlStyle() & ~static_cast<unsigned>(csOpaque));
    TacPaintedWnd::RestoreCtrlParams();
    if (IsWindow(CtrlHandle))
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TacPanelWnd::RenderCache() {
    TParentCacheInfo parent;
    TBitmap* cache = SizeCache(parent);
    const int w = WndSize.cx, h = WndSize.cy;
    if (w <= 0 || h <= 0) return;
    if (!parent.Ready) FillRect(cache->Pixels(), TRect{0, 0, w, h}, ParentBackgroundColor(CtrlHandle));
    PaintControlSection(SkinData, parent, cache, wndPos_, TRect{0, 0, w, h}, 0);
    // A panel's caption stays on it.
    if (auto* panel = dynamic_cast<TPanel*>(SkinData->OwnerControl)) {
        const std::string caption = panel->Caption();
        if (!caption.empty()) {
            TCanvas* c = cache->Canvas();
            c->Font()->Assign(*panel->Font());
            c->Brush()->SetStyle(bsClear);
            RECT client{};
            GetClientRect(CtrlHandle, &client);
            const int edge = (w - client.right) / 2;
            OffsetRect(&client, edge, edge);
            const UINT align = panel->Alignment() == taCenter       ? DT_CENTER
                               : panel->Alignment() == taRightJustify ? DT_RIGHT
                                                                      : DT_LEFT;
            DrawSkinDataText(SkinData, c, caption, client, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, false);
        }
    }
    SkinData->BackgroundChanged = false;
}

void TacPanelWnd::PaintFrame(HDC windowDC) {
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (!cache || cache->Empty()) return;
    RECT client{};
    GetClientRect(CtrlHandle, &client);
    const int ring = (cache->Width() - client.right) / 2;
    if (ring <= 0) return;
    HDC dc = windowDC ? windowDC : GetWindowDC(CtrlHandle);
    if (!dc) return;
    CopyFrameRect(dc, cache->Canvas()->Handle(), TRect{0, 0, cache->Width(), cache->Height()}, ring);
    if (!windowDC) ReleaseDC(CtrlHandle, dc);
}

void TacPanelWnd::PaintInto(HDC dc) {
    if (SkinData->IsSkinUpdating()) {
        SkinData->Updating = true;
        return;
    }
    const bool wasChanged = SkinData->BackgroundChanged || !SkinData->CacheBitmap || SkinData->CacheBitmap->Empty();
    RenderCache();
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (!cache || cache->Empty()) return;
    RECT client{};
    GetClientRect(CtrlHandle, &client);
    const int ring = (cache->Width() - client.right) / 2;
    // The client part of the cache, the child windows clipped out; windowless children over it.
    const int saved = SaveDC(dc);
    for (HWND child = GetWindow(CtrlHandle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, CtrlHandle, reinterpret_cast<POINT*>(&r), 2);
        ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    DrawPixels(dc, 0, 0, cache->Pixels(), TRect{ring, ring, ring + client.right, ring + client.bottom});
    RestoreDC(dc, saved);
    if (auto* owner = dynamic_cast<TWinControl*>(SkinData->OwnerControl)) PaintGraphicControls(dc, owner, POINT{0, 0});
    if (wasChanged) RepaintChildWindows(CtrlHandle);
}

void TacPanelWnd::AdapterWndProc(TMessage& message) {
    TControl* owner = SkinData ? SkinData->OwnerControl : nullptr;
    if (owner && !(owner->ControlStyle() & csAcceptsControls)) {
        TacMainWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    if (message.Msg == SM_SKINCMD && !Destroyed) {
        if (AnswerSkinnedQuery(message)) return;
        switch (SkinCommandOf(message.WParam)) {
            case AC_SKINLOADED:
            case AC_SKINREFRESH:
            case AC_SKINREMOVED: {
                const unsigned command = SkinCommandOf(message.WParam);
                // The controls on the panel hear it first.
                if (auto* windowed = dynamic_cast<TWinControl*>(owner)) {
                    TMessage copy = message;
                    BroadcastToChildren(windowed, copy);
                }
                if (command == AC_SKINREMOVED) {
                    if (OursFor(message, SkinData)) {
                        SkinData->SectionIndex = -1;
                        RestoreCtrlParams();
                    }
                    CallPrevWndProc(message);
                    return;
                }
                TacMainWnd::AdapterWndProc(message);
                if (command == AC_SKINREFRESH && IsWindowVisible(window))
                    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
                return;
            }
            default:
                break;
        }
    }
    if (Destroyed || !Skinned()) {
        TacMainWnd::AdapterWndProc(message);
        return;
    }
    switch (message.Msg) {
        case WM_PAINT: {
            PaintMessage(message);
            return;
        }
        case WM_ERASEBKGND:
        case WM_NCPAINT:
            if (SkinData->BackgroundChanged || !SkinData->CacheBitmap || SkinData->CacheBitmap->Empty()) RenderCache();
            PaintFrame(nullptr);
            message.Result = 1;
            return;
        case WM_PRINT: {
            HDC dc = reinterpret_cast<HDC>(message.WParam);
            SkinData->BackgroundChanged = true;
            RenderCache();
            TBitmap* cache = SkinData->CacheBitmap.get();
            if (cache && !cache->Empty()) {
                if (message.LParam & PRF_NONCLIENT) PaintFrame(dc);
                RECT client{};
                GetClientRect(window, &client);
                const int ring = (cache->Width() - client.right) / 2;
                const int saved = SaveDC(dc);
                OffsetViewportOrgEx(dc, ring, ring, nullptr);
                PaintInto(dc);
                if (message.LParam & PRF_CHILDREN) PrintChildWindows(window, dc, static_cast<UINT>(message.LParam));
                RestoreDC(dc, saved);
            }
            return;
        }
        case WM_SETTEXT:
            if (IsWindowVisible(window)) {
                SkinData->BackgroundChanged = true;
                PassWithoutRedraw(message);
                return;
            }
            break;
        case WM_UPDATEUISTATE:
            message.Result = 1;
            return;
        case WM_PARENTNOTIFY:
            TacMainWnd::AdapterWndProc(message);
            if (LOWORD(message.WParam) == WM_CREATE)
                if (auto* windowed = dynamic_cast<TWinControl*>(owner)) AddToFormAdapter(windowed);
            return;
        default:
            break;
    }
    TacMainWnd::AdapterWndProc(message);
    if (!Destroyed && message.Msg == WM_WINDOWPOSCHANGING) SendMessageW(window, WM_NCPAINT, 1, 0);
}

TacDlgPanelWnd::TacDlgPanelWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager,
                               const std::string& section, bool repaint)
    : TacPanelWnd(window, skinData, skinManager, section, repaint) {
    Control = FindWinControlByHandle(Application ? Application->MainForm() : nullptr, window);
    if (!Control) Control = TWinControl::FromHandle(window);
    if (dynamic_cast<TPanel*>(Control)) {
        if (TsSkinManager* m = Manager()) Control->SetColor(m->GetGlobalInfoColor());
        SkinData->SetSkinSection("CHECKBOX");
    } else {
        SkinData->SetSkinSection("GROUPBOX");
    }
}

void TacDlgPanelWnd::AdapterWndProc(TMessage& message) {
    if (Destroyed || !Skinned() || message.Msg == SM_SKINCMD) {
        TacPanelWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    switch (message.Msg) {
        case WM_NCPAINT:
            if (SkinData->BackgroundChanged || !SkinData->CacheBitmap || SkinData->CacheBitmap->Empty()) RenderCache();
            PaintFrame(nullptr);
            message.Result = 1;
            return;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(window, &ps);
            EndPaint(window, &ps);
            return;
        }
        case WM_ERASEBKGND: {
            // The skinned background, then what the panel paints itself, inside its edge.
            HDC dc = reinterpret_cast<HDC>(message.WParam);
            RenderCache();
            TBitmap* cache = SkinData->CacheBitmap.get();
            if (cache && !cache->Empty()) DrawPixels(dc, 0, 0, cache->Pixels(), TRect{0, 0, cache->Width(), cache->Height()});
            RECT client{};
            GetClientRect(window, &client);
            const int saved = SaveDC(dc);
            IntersectClipRect(dc, 6, 6, client.right - 6, client.bottom - 6);
            LPARAM none = 0;
            CallPrevWndProc(WM_PAINT, reinterpret_cast<WPARAM>(dc), none);
            RestoreDC(dc, saved);
            message.Result = 1;
            return;
        }
        case WM_SETTEXT:
            if (IsWindowVisible(window)) SkinData->BackgroundChanged = true;
            TacMainWnd::AdapterWndProc(message);
            return;
        default:
            break;
    }
    TacPanelWnd::AdapterWndProc(message);
}

// ---- popup menus

namespace {
int g_menuAdapters = 0;
}

bool TacMnuWnd::SkinnedMenus = false;

int TacMnuWnd::LiveCount() { return g_menuAdapters; }

TacMnuWnd::TacMnuWnd(HWND window, TsSkinManager* skinManager) : TacScrollWnd(window, nullptr, skinManager, "MAINMENU", false) {
    ++g_menuAdapters;
}

TacMnuWnd::~TacMnuWnd() {
    --g_menuAdapters;
    ReleaseWindow();
}

TacMnuWnd* CreateMenuAdapter(HWND window, TsSkinManager* manager) {
    if (!window || GetScrollWnd(window)) return nullptr;
    // Owned by itself: it goes with its window. No frame change now, the
    // window is still being made.
    TacMnuWnd* adapter = new TacMnuWnd(window, manager);
    adapter->Start();
    return adapter;
}

void TacMnuWnd::RenderFrame() {
    GetWindowOffsets(this);
    SkinData->BackgroundChanged = true;
    if (SkinData->SectionIndex < 0) SkinData->RefreshSkinIndexes();
    PrepareParentCache(SkinData, CtrlHandle, false);
    TBitmap* cache = SkinData->CacheBitmap.get();
    TsSkinManager* m = Manager();
    if (!cache || cache->Empty() || !m) return;
    // A popup has no parent picture: its section over its own colour.
    if (!(GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & WS_CHILD)) {
        const TsGeneralData* gd = SkinData->Section();
        FillRect(cache->Pixels(), TRect{0, 0, cache->Width(), cache->Height()}, RGBOf(gd ? gd->Color : clMenu));
        PaintControlSection(SkinData, TParentCacheInfo{}, cache, TPoint{}, TRect{0, 0, cache->Width(), cache->Height()}, 0);
    }
    PaintBorderFast(SkinData, CtrlHandle, 0);
}

void TacMnuWnd::AdapterWndProc(TMessage& message) {
    HWND window = CtrlHandle;
    if (message.Msg == SM_SKINCMD) {
        switch (SkinCommandOf(message.WParam)) {
            case AC_QUERYSKINNED:
                message.LParam = message.Result = 1;
                return;
            case AC_SETUPDATEFLAG:
                message.LParam = Painting ? 1 : 0;
                return;
            case AC_POPUPREGIONSET:
                if (IsWindowVisible(window)) Painting = true;
                return;
            case AC_QUERYAPPLICATION:
                message.Result = reinterpret_cast<LRESULT>(Application);
                return;
            default:
                return;
        }
    }
    if (message.Msg == WM_DESTROY || message.Msg == WM_NCDESTROY) {
        Painting = false;
        CallPrevWndProc(message);
        const bool hooked = !Destroyed && Takeover() != TAdapterTakeover::None;
        ResetMenuCache();
        SkinnedMenus = false;
        if (hooked) {
            // The procedure goes back first; the adapter goes when this message has returned.
            UnhookWndProc(window, false);
            FreeAfterMessages(std::unique_ptr<TacMnuWnd>(this));
        }
        return;
    }
    const bool skinned = SkinData && SkinData->HasValidSkin(false) && Manager() && Manager()->SkinActive();
    if (Destroyed || !SkinnedMenus || !skinned) {
        TacScrollWnd::AdapterWndProc(message);
        return;
    }
    switch (message.Msg) {
        case WM_ERASEBKGND: {
            RenderFrame();
            TBitmap* cache = SkinData->CacheBitmap.get();
            if (cache && !cache->Empty())
                DrawPixels(reinterpret_cast<HDC>(message.WParam), 0, 0, cache->Pixels(),
                           TRect{3, 3, cache->Width(), cache->Height()});
            Painting = false;
            message.Result = 1;
            return;
        }
        case WM_NCPAINT: {
            RenderFrame();
            TBitmap* cache = SkinData->CacheBitmap.get();
            HDC dc = GetWindowDC(window);
            if (dc && cache && !cache->Empty())
                CopyFrameRect(dc, cache->Canvas()->Handle(), TRect{0, 0, cache->Width(), cache->Height()}, 3);
            if (dc) ReleaseDC(window, dc);
            return;
        }
        default:
            break;
    }
    TacScrollWnd::AdapterWndProc(message);
}

}  // namespace skin
