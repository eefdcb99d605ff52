#include "skin/windows/editadapters.h"

#include <commctrl.h>
#include <windowsx.h>
// windowsx.h names a macro as the layer names its subclassing.
#undef SubclassWindow

#include "rtl/encoding.h"
#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/skincommands.h"
#include "skin/core/win32/deferredfree.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/core/win32/skinpaint.h"
#include "skin/windows/layout/skinsizes.h"
#include "vcl/forms.h"
#include "vcl/wintext.h"

namespace skin {

using namespace vcl;

namespace {

// The list's own track messages of a combo's drop-down list.
constexpr UINT kListStartTrack = 0x1AE;
constexpr UINT kListEndTrack = 0x1AF;

TColor RGBOf(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

bool Destroying(const TControl* c) { return c && (c->ComponentState() & csDestroying); }

bool OursFor(const TMessage& m, TsCommonData* data) {
    return data && m.LParam != 0 && reinterpret_cast<TsSkinManager*>(m.LParam) == data->SkinManager();
}

// The window's font as a canvas font.
void SelectWindowFont(TCanvas* canvas, HWND window) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf{};
    if (GetObjectW(font, sizeof(lf), &lf)) canvas->Font()->AssignLogFont(lf);
}

}  // namespace

TWindowPlace GetWindowOffsets(TacMainWnd* adapter) {
    TWindowPlace place;
    HWND window = adapter->CtrlHandle;
    RECT wr{};
    GetWindowRect(window, &wr);
    adapter->WndRect = FromRECT(wr);
    adapter->WndSize = SIZE{wr.right - wr.left, wr.bottom - wr.top};
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) place.ParentWnd = GetAncestor(window, GA_PARENT);
    POINT at{wr.left, wr.top};
    if (place.ParentWnd) {
        ScreenToClient(place.ParentWnd, &at);
        RECT client{};
        GetClientRect(place.ParentWnd, &client);
        MapWindowPoints(place.ParentWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
        place.ParentRect = FromRECT(client);
    }
    place.WndPos = TPoint{at.x, at.y};
    return place;
}

TColor ParentBackgroundColor(HWND window) {
    HWND parent = (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) ? GetAncestor(window, GA_PARENT) : nullptr;
    if (!parent) return RGBOf(clBtnFace);
    ReplyBgColor = clFuchsia;
    SendSkinCommand(parent, AC_QUERYBGCOLOR);
    const TColor answer = ReplyBgColor;
    ReplyBgColor = clFuchsia;
    if (answer != clFuchsia) return answer;
    if (TWinControl* control = TWinControl::FromHandle(parent)) return RGBOf(control->Color());
    return RGBOf(clBtnFace);
}

void PaintBorderFast(TsCommonData* data, HWND window, int state) {
    if (!data || !window || !data->CacheBitmap || data->CacheBitmap->Empty()) return;
    TsSkinManager* m = data->SkinManager();
    if (!m || !m->IsValidMaskIndex(data->BorderMaskIndex)) return;
    const int w = data->CacheBitmap->Width(), h = data->CacheBitmap->Height();
    if (w < 2 || h < 2) return;
    const TsMaskData& mask = m->Skin().Masks[static_cast<size_t>(data->BorderMaskIndex)];
    TParentCacheInfo parent;
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) TsCommonData::GetParentCacheHwnd(window, parent);
    ReplyCacheInfo = TParentCacheInfo{};
    const TPixels pixels = data->CacheBitmap->Pixels();
    if (parent.Ready && !parent.Bmp.Empty()) {
        RECT wr{};
        GetWindowRect(window, &wr);
        POINT at{wr.left, wr.top};
        ScreenToClient(GetAncestor(window, GA_PARENT), &at);
        parent.X += at.x;
        parent.Y += at.y;
        PaintBorderCorners(pixels, mask, state, w, h, clFuchsia, parent);
    } else {
        PaintBorderCorners(pixels, mask, state, w, h, ParentBackgroundColor(window), TParentCacheInfo{});
    }
}

// ---- TacBaseWnd

bool TacBaseWnd::Skinned() const {
    TsSkinManager* m = Manager();
    return SkinData && m && (m->SkinActive() || SkinSending) && SkinData->HasValidSkin(false);
}

void TacBaseWnd::BaseHandling(TMessage& message) { TacScrollWnd::AdapterWndProc(message); }

void TacBaseWnd::AdapterWndProc(TMessage& message) {
    if (Destroyed || !Skinned()) {
        TacScrollWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    if (message.Msg == SM_SKINCMD) {
        switch (SkinCommandOf(message.WParam)) {
            case AC_SKINREFRESH:
                if (!OursFor(message, SkinData)) break;
                TacScrollWnd::AdapterWndProc(message);
                if (IsWindowVisible(window)) SendMessageW(window, WM_NCPAINT, 1, 0);
                return;
            case AC_PREPARECACHE:
                PrepareParentCache(SkinData, window, false);
                TacScrollWnd::AdapterWndProc(message);
                return;
            default:
                break;
        }
    }
    switch (message.Msg) {
        case WM_SIZE:
            SkinData->BackgroundChanged = true;
            break;
        case WM_SETCURSOR:
            CallPrevWndProc(message);
            return;
        case 0x2100:  // a reflected notification no window of ours answers
            return;
        default:
            break;
    }
    TacScrollWnd::AdapterWndProc(message);
    if (Destroyed) return;
    switch (message.Msg) {
        case WM_SIZE:
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (!InScrollMessage) UpdateScrollInfo(this, true);
            break;
        case WM_ENABLE:
        case CM_ENABLEDCHANGED:
            if (IsWindowVisible(window)) SendMessageW(window, WM_NCPAINT, 1, 0);
            break;
        default:
            break;
    }
}

// ---- TacEditWnd

TacEditWnd::TacEditWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager, const std::string& section,
                       bool repaint)
    : TacBaseWnd(window, skinData, skinManager, section, repaint) {}

TacEditWnd::~TacEditWnd() {
    ReleaseWindow();
    if (brush_) DeleteObject(brush_);
}

void TacEditWnd::TakeOver(bool repaint) {
    // A section named before the skin came has no index yet.
    if (SkinData && SkinData->SectionIndex < 0) SkinData->RefreshSkinIndexes();
    TacBaseWnd::TakeOver(repaint);
}

HBRUSH TacEditWnd::PlainBrush() {
    const TColor color = RGBOf(PlainColor);
    if (!brush_ || brushColor_ != color) {
        if (brush_) DeleteObject(brush_);
        brush_ = CreateSolidBrush(color);
        brushColor_ = color;
    }
    return brush_;
}

void TacEditWnd::SaveCtrlParams() {
    if (TControl* owner = SkinData ? SkinData->OwnerControl : nullptr) {
        SavedColor = owner->Color();
        SavedFontColor = owner->Font()->Color();
        SavedParams = true;
    }
}

void TacEditWnd::RestoreCtrlParams() {
    TControl* owner = SkinData ? SkinData->OwnerControl : nullptr;
    if (!dying_ && !Destroying(owner) && IsWindow(CtrlHandle))
        SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    // Exactly the colours the control had before the skin came.
    if (owner && SavedParams && ParamsChanged && !Destroying(owner)) {
        owner->SetColor(SavedColor);
        owner->Font()->SetColor(SavedFontColor);
    }
    ParamsChanged = false;
}

void TacEditWnd::SetSkinParams() {
    const TsGeneralData* gd = SkinData ? SkinData->Section() : nullptr;
    PreventStyleChange = true;
    ParamsChanged = true;
    if (TControl* owner = SkinData ? SkinData->OwnerControl : nullptr) {
        if (gd && !SkinData->CustomColor()) {
            TColor color = gd->Color;
            if (gd->Transparency > 0) {
                // A see-through section: the colour behind the control.
                ReplyBgColor = clFuchsia;
                TWinControl* parent = owner->Parent();
                if (parent && parent->HandleAllocated()) SendSkinCommand(parent->Handle(), AC_QUERYBGCOLOR);
                color = ReplyBgColor != clFuchsia ? ReplyBgColor : (parent ? parent->Color() : gd->Color);
                ReplyBgColor = clFuchsia;
            }
            if (owner->Color() != color) owner->SetColor(color);
        }
        if (gd && !SkinData->CustomFont() && owner->Font()->Color() != gd->HotFontColor[0])
            owner->Font()->SetColor(gd->HotFontColor[0]);
    } else {
        PlainColor = gd ? gd->Color : clWindow;
    }
    if (SkinData) SkinData->BackgroundChanged = true;
    PreventStyleChange = false;
}

void TacEditWnd::PrepareFrame() {
    if (!SkinData->BackgroundChanged) return;
    if (!ParamsChanged) SetSkinParams();
    PrepareParentCache(SkinData, CtrlHandle, false);
    PaintBorderFast(SkinData, CtrlHandle, 0);
}

void TacEditWnd::PaintFrame(HDC windowDC) {
    HWND window = CtrlHandle;
    GetWindowOffsets(this);
    if (SkinData->IsSkinUpdating()) {
        SkinData->Updating = true;
        return;
    }
    SkinData->Updating = false;
    PrepareFrame();
    HDC dc = windowDC ? windowDC : GetWindowDC(window);
    if (!dc) return;
    const int ring = Edges.cxLeftEdge;
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (ring > 0 && cache && !cache->Empty())
        CopyFrameRect(dc, cache->Canvas()->Handle(), TRect{0, 0, cache->Width(), cache->Height()}, ring);
    PaintScrollBars(dc);
    if (!windowDC) ReleaseDC(window, dc);
}

void TacEditWnd::PrintWindow(HDC dc, UINT flags) {
    HWND window = CtrlHandle;
    if (flags & PRF_NONCLIENT) PaintFrame(dc);
    RECT wr{}, client{};
    GetWindowRect(window, &wr);
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, origin.x - wr.left, origin.y - wr.top, nullptr);
    // The client part only: never over the frame or the bars.
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    if (flags & PRF_ERASEBKGND) SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (flags & PRF_CLIENT)
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_OWNED);
    if (flags & PRF_CHILDREN) PrintChildWindows(window, dc, flags);
    RestoreDC(dc, saved);
}

void TacEditWnd::AfterEditMessage(UINT msg) {
    if (Destroyed || !IsWindow(CtrlHandle)) return;
    switch (msg) {
        // Every change of the items or the text may change the range: the
        // bars are read again (a list emptied or a memo cleared included).
        case LB_SETCURSEL: case LB_SETTOPINDEX: case LB_ADDSTRING: case LB_INSERTSTRING: case LB_DELETESTRING:
        case LB_RESETCONTENT: case EM_REPLACESEL: case EM_SETSEL: case WM_SETTEXT:
            UpdateScrollInfo(this, true);
            break;
        case WM_KEYDOWN: case WM_KEYUP: case WM_LBUTTONDOWN: case CN_KEYDOWN: case CN_KEYUP:
            if (!InScrollMessage) UpdateScrollInfo(this, true);
            break;
        case WM_SIZE:
            if (IsWindowVisible(CtrlHandle)) SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
            break;
        default:
            break;
    }
}

void TacEditWnd::AdapterWndProc(TMessage& message) {
    if (message.Msg == WM_DESTROY || message.Msg == WM_NCDESTROY) dying_ = true;
    if (Destroyed || !Skinned()) {
        TacBaseWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    if (message.Msg == SM_SKINCMD) {
        if (AnswerSkinnedQuery(message)) return;
        switch (SkinCommandOf(message.WParam)) {
            case AC_REDRAWBG:
                if (SkinData->IsSkinUpdating() || SkinData->Updating) {
                    SkinData->SetUpdateFlag(false);
                    RedrawWindow(window, nullptr, nullptr,
                                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
                }
                return;
            case AC_SKINREFRESH:
                if (!OursFor(message, SkinData)) break;
                TacBaseWnd::AdapterWndProc(message);
                SetSkinParams();
                return;
            case AC_PREPARECACHE: {
                const bool changed = SkinData->BackgroundChanged;
                PrepareParentCache(SkinData, window, false);
                if (changed) PaintBorderFast(SkinData, window, 0);
                return;
            }
            case AC_RESETDISABLEDLOOK:
                message.Result = SkinData->SectionIndex + 1;
                return;
            default:
                break;
        }
    }
    switch (message.Msg) {
        case WM_PAINT:
            if (!IsWindowVisible(window)) break;
            if (SkinData->IsSkinUpdating()) {
                // The parent is not ready: it sends AC_REDRAWBG when it is.
                SkinData->Updating = true;
                PAINTSTRUCT ps;
                BeginPaint(window, &ps);
                EndPaint(window, &ps);
                return;
            }
            PaintScrollBars();
            if (!ParamsChanged) SetSkinParams();
            break;
        case WM_ERASEBKGND:
            if (SkinData->IsSkinUpdating()) {
                message.Result = 1;
                return;
            }
            if (!ParamsChanged) SetSkinParams();
            break;
        case WM_NCPAINT:
            if (IsWindowVisible(window)) PaintFrame(nullptr);
            message.Result = 0;
            return;
        case WM_PRINT:
            PrintWindow(reinterpret_cast<HDC>(message.WParam), static_cast<UINT>(message.LParam));
            return;
        default:
            break;
    }
    TacBaseWnd::AdapterWndProc(message);
    AfterEditMessage(message.Msg);
}

// ---- combo boxes

TacComboListWnd::TacComboListWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager,
                                 const std::string& section, bool repaint, TacComboBoxWnd* combo)
    : TacEditWnd(window, skinData, skinManager, section, repaint), Combo(combo) {
    // A list made before it has items keeps its visual style until it shows them.
    if (!repaint) SetWindowThemeOf(window, nullptr, nullptr);
}

void TacComboListWnd::AdapterWndProc(TMessage& message) {
    if (Destroyed || !Skinned()) {
        TacEditWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    TScrollEngineState& e = ScrollEngine();
    switch (message.Msg) {
        case kListStartTrack:
            Tracking = true;
            break;
        case kListEndTrack:
            Tracking = false;
            SkinData->BackgroundChanged = true;
            break;
        case WM_HSCROLL:
        case WM_VSCROLL:
            // Straight to the list: it scrolls itself.
            CallPrevWndProc(message);
            UpdateScrollInfo(this, true);
            return;
        case WM_LBUTTONUP:
            if (e.CurrentPortion != -1 && e.HotWnd == window) {
                // The end of a press on our bar; the list keeps the mouse
                // while it is dropped unless it may let go.
                HWND capture = GetCapture();
                TacEditWnd::AdapterWndProc(message);
                if (!ReleaseOnUp && capture == window && GetCapture() != window) SetCapture(window);
                return;
            }
            break;
        case WM_PRINT:
        case WM_PRINTCLIENT: {
            HDC dc = reinterpret_cast<HDC>(message.WParam);
            if (!dc) break;
            CallPrevWndProc(message);
            const bool pressed = e.CurrentPortion != -1 && e.HotWnd == window;
            if (SendMessageW(window, LB_GETCOUNT, 0, 0) > 0 && !pressed && !Tracking) {
                GetWindowOffsets(this);
                PrepareFrame();
                TBitmap* cache = SkinData->CacheBitmap.get();
                if (cache && !cache->Empty())
                    CopyFrameRect(dc, cache->Canvas()->Handle(), TRect{0, 0, cache->Width(), cache->Height()}, 3);
                PaintScrollBars(dc);
            }
            return;
        }
        default:
            break;
    }
    TacEditWnd::AdapterWndProc(message);
}

TacComboBoxWnd::~TacComboBoxWnd() {
    ListAdapter.reset();
    ReleaseWindow();
}

TRect TacComboBoxWnd::ButtonRect() {
    RECT wr{};
    GetWindowRect(CtrlHandle, &wr);
    const int width = wr.right - wr.left, height = wr.bottom - wr.top;
    const LONG_PTR style = GetWindowLongPtrW(CtrlHandle, GWL_STYLE);
    const int w = (style & CBS_DROPDOWN) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int margin = (GetWindowLongPtrW(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? 2 : 0;
    const int left = width - w - 2 - margin;
    return TRect{left, 2, left + w, height - 2};
}

TRect TacWWComboBoxWnd::ButtonRect() {
    TRect r = TacComboBoxWnd::ButtonRect();
    // A combo without its button shown (no drop-down style) has none.
    if (!(GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & CBS_DROPDOWN)) r.Left = r.Right;
    return r;
}

void TacComboBoxWnd::PaintButton(HDC dc) {
    TsSkinManager* m = Manager();
    const TRect r = ButtonRect();
    if (!m || r.IsEmpty()) return;
    const int section = m->CachedIndexes.ComboBtnIndex;
    TBitmap picture(r.Width(), r.Height());
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (cache && !cache->Empty())
        CopyRect(picture.Pixels(), 0, 0, cache->Pixels(), r);
    else
        FillRect(picture.Pixels(), TRect{0, 0, r.Width(), r.Height()}, RGBOf(PlainColor));
    const TParentCacheInfo behind =
        cache && !cache->Empty() ? MakeParentCacheInfo(cache->Pixels(), r.Left, r.Top) : TParentCacheInfo{};
    if (m->IsValidSkinIndex(section))
        PaintSectionItemToDC(picture.Canvas()->Handle(), TRect{0, 0, r.Width(), r.Height()}, section, ButtonState, m,
                             behind);
    // The arrow: the combo's glyph, else the one of the scroll bars' lower button.
    int glyph = m->GetMaskIndex(SkinData->SectionIndex, SkinData->SkinSection(), "GLYPHMASK");
    if (!m->IsValidMaskIndex(glyph)) glyph = m->CachedIndexes.ComboBoxGlyph;
    if (!m->IsValidMaskIndex(glyph)) glyph = m->CachedIndexes[ciScrollBtnGlyphs + 1];
    if (m->IsValidMaskIndex(glyph)) {
        const TsMaskData& g = m->Skin().Masks[static_cast<size_t>(glyph)];
        const int gw = g.FrameWidth(), gh = g.FrameHeight() > 0 ? g.FrameHeight() : 16;
        if (gw > 0)
            DrawSkinGlyph(picture.Pixels(), TPoint{(r.Width() - gw) / 2, (r.Height() - gh) / 2}, ButtonState, g, 1,
                          MakeParentCacheInfo(picture.Pixels(), 0, 0));
    }
    DrawPixels(dc, r.Left, r.Top, picture.Pixels(), TRect{0, 0, r.Width(), r.Height()});
}

void TacComboBoxWnd::PaintCombo(HDC dc) {
    HWND window = CtrlHandle;
    GetWindowOffsets(this);
    if (SkinData->IsSkinUpdating()) return;
    PrepareFrame();
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (!cache || cache->Empty()) return;
    // The combo draws its edge inside its client area: ours goes over it.
    CopyFrameRect(dc, cache->Canvas()->Handle(), TRect{0, 0, cache->Width(), cache->Height()}, 2);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if ((style & 3) == CBS_DROPDOWNLIST) {
        // The chosen item on the section's own colours.
        const TRect button = ButtonRect();
        RECT text{2, 2, button.Left, WndSize.cy - 2};
        TBitmap picture(std::max(1, static_cast<int>(text.right - text.left)), std::max(1, static_cast<int>(text.bottom - text.top)));
        CopyRect(picture.Pixels(), 0, 0, cache->Pixels(), FromRECT(text));
        TCanvas* c = picture.Canvas();
        SelectWindowFont(c, window);
        const int index = static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0));
        if (index >= 0) {
            const int length = static_cast<int>(SendMessageW(window, CB_GETLBTEXTLEN, index, 0));
            if (length > 0) {
                std::u16string wide(static_cast<size_t>(length) + 1, u'\0');
                SendMessageW(window, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide.data()));
                wide.resize(static_cast<size_t>(length));
                RECT r{2, 0, picture.Width() - 1, picture.Height()};
                DrawSkinDataText(SkinData, c, rtl::Utf16ToCp1251(wide), r,
                                 DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, false);
            }
        }
        if (GetFocus() == window) {
            RECT f{1, 1, picture.Width() - 1, picture.Height() - 1};
            DrawFocusRect(c->Handle(), &f);
        }
        DrawPixels(dc, text.left, text.top, picture.Pixels(), TRect{0, 0, picture.Width(), picture.Height()});
    }
    PaintButton(dc);
}

void TacComboBoxWnd::AdapterWndProc(TMessage& message) {
    if (Destroyed || !Skinned()) {
        TacEditWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    switch (message.Msg) {
        case WM_CTLCOLORLISTBOX: {
            HWND list = reinterpret_cast<HWND>(message.LParam);
            // The drop-down list, once: later messages find it adapted.
            if (list && list != window && IsWindow(list) && !ListAdapter && !GetScrollWnd(list)) {
                const bool repaint = SendMessageW(window, CB_GETCOUNT, 0, 0) > 0;
                ListAdapter = CreateAdapter<TacComboListWnd>(list, nullptr, Manager(), "EDIT", repaint, this);
                ListWindow = list;
            }
            if (ListAdapter && list == ListWindow && !ListAdapter->Destroyed) {
                if (!ListAdapter->ParamsChanged) ListAdapter->SetSkinParams();
                const TsGeneralData* gd = ListAdapter->SkinData->Section();
                HDC dc = reinterpret_cast<HDC>(message.WParam);
                SetBkColor(dc, RGBOf(ListAdapter->PlainColor));
                SetTextColor(dc, RGBOf(gd ? gd->FontColor[0] : clWindowText));
                message.Result = reinterpret_cast<LRESULT>(ListAdapter->PlainBrush());
                return;
            }
            break;
        }
        case WM_PAINT: {
            if (!IsWindowVisible(window)) break;
            HDC given = reinterpret_cast<HDC>(message.WParam);
            TacEditWnd::AdapterWndProc(message);
            HDC dc = given ? given : GetDC(window);
            PaintCombo(dc);
            if (!given) ReleaseDC(window, dc);
            return;
        }
        case WM_MOUSEMOVE: {
            const TRect b = ButtonRect();
            const TPoint p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
            const int state = (message.WParam & MK_LBUTTON) ? 2 : 1;
            const int now = p.X >= b.Left && p.X < b.Right && p.Y >= b.Top && p.Y < b.Bottom ? state : 0;
            if (now != ButtonState) {
                ButtonState = now;
                HDC dc = GetDC(window);
                PaintButton(dc);
                ReleaseDC(window, dc);
            }
            break;
        }
        case WM_MOUSELEAVE:
        case SM_SKINCMD:
            if (message.Msg == WM_MOUSELEAVE || SkinCommandOf(message.WParam) == AC_HOTLEAVE) {
                ButtonState = 0;
                if (IsWindowVisible(window)) InvalidateRect(window, nullptr, FALSE);
            }
            break;
        default:
            break;
    }
    TacEditWnd::AdapterWndProc(message);
}

// ---- list views

TacListViewWnd::TacListViewWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager,
                               const std::string& section, bool repaint)
    : TacEditWnd(window, skinData, skinManager, section, repaint) {
    Header = FindWindowExA(window, nullptr, "SysHeader32", nullptr);
    if (Header)
        headerToken_ = SubclassWindow(Header, [this](HWND w, UINT msg, WPARAM wp, LPARAM lp) {
            TSkinMessageScope scope;  // the adapter outlives this message
            return HeaderProc(w, msg, wp, lp);
        });
}

TacListViewWnd::~TacListViewWnd() {
    ReleaseHeader();
    ReleaseWindow();
}

void TacListViewWnd::ReleaseHeader() {
    if (Header && headerToken_ && IsWindow(Header)) RemoveSubclass(Header, headerToken_);
    Header = nullptr;
    headerToken_ = 0;
}

LRESULT TacListViewWnd::HeaderProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    const vcl::TWindowProcToken token = headerToken_;
    auto pass = [&] { return CallPreviousSubclass(window, token, msg, wParam, lParam); };
    if (msg == WM_NCDESTROY) {
        const LRESULT r = pass();
        Header = nullptr;
        headerToken_ = 0;
        return r;
    }
    const bool report = (GetWindowLongPtrW(CtrlHandle, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT ||
                        SendMessageW(CtrlHandle, LVM_GETVIEW, 0, 0) == LV_VIEW_DETAILS;
    if (Destroyed || !Skinned() || !report) return pass();
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC given = reinterpret_cast<HDC>(wParam);
            HDC dc = given ? given : BeginPaint(window, &ps);
            PaintHeader(dc);
            if (!given) EndPaint(window, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintHeader(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_WINDOWPOSCHANGING: {
            const LRESULT r = pass();
            if (IsWindowVisible(CtrlHandle)) SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
            return r;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP: {
            const LRESULT r = pass();
            if (GetWindowLongPtrW(window, GWL_STYLE) & HDS_HOTTRACK) {
                HDHITTESTINFO hit{};
                hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                const int item = static_cast<int>(SendMessageW(window, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
                // On a divider there is no item to light.
                const int under = (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? -1 : item;
                if (msg == WM_LBUTTONDOWN) PressedItem = under;
                if (msg == WM_LBUTTONUP) PressedItem = -1;
                if (under != HotItem || msg != WM_MOUSEMOVE) {
                    HotItem = under;
                    InvalidateRect(window, nullptr, FALSE);
                }
            }
            return r;
        }
        case WM_MOUSELEAVE:
            HotItem = -1;
            InvalidateRect(window, nullptr, FALSE);
            return pass();
        default:
            return pass();
    }
}

void TacListViewWnd::PaintHeader(HDC dc) {
    TsSkinManager* m = Manager();
    if (!dc || !Header || !m) return;
    RECT client{};
    GetClientRect(Header, &client);
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return;
    TBitmap picture(w, h);
    TCanvas* c = picture.Canvas();
    FillRect(picture.Pixels(), TRect{0, 0, w, h}, RGBOf(clBtnFace));
    SelectWindowFont(c, Header);
    const int count = static_cast<int>(SendMessageW(Header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> order(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
    if (count > 0 && (GetWindowLongPtrW(Header, GWL_STYLE) & HDS_DRAGDROP))
        SendMessageW(Header, HDM_GETORDERARRAY, count, reinterpret_cast<LPARAM>(order.data()));
    const int colHeader = m->GetSkinIndex("COLHEADER");
    const int button = m->GetSkinIndex("BUTTON");
    int right = 0;
    for (int index : order) {
        RECT r{};
        if (!SendMessageW(Header, HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) continue;
        right = std::max(right, static_cast<int>(r.right));
        const int state = index == PressedItem ? 2 : index == HotItem ? 1 : 0;
        const int section = m->IsValidSkinIndex(colHeader) ? colHeader : button;
        PaintSectionItemToDC(c->Handle(), FromRECT(r), section, state, m);
        WCHAR text[260] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_FORMAT;
        item.pszText = text;
        item.cchTextMax = 259;
        SendMessageW(Header, HDM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
        RECT t{r.left + 4, r.top, r.right - 4, r.bottom};
        const int sortGlyph = (item.fmt & HDF_SORTUP)     ? m->CachedIndexes[ciScrollBtnGlyphs]
                              : (item.fmt & HDF_SORTDOWN) ? m->CachedIndexes[ciScrollBtnGlyphs + 1]
                                                          : -1;
        if (m->IsValidMaskIndex(sortGlyph)) {
            const TsMaskData& g = m->Skin().Masks[static_cast<size_t>(sortGlyph)];
            const int gw = g.FrameWidth(), gh = g.FrameHeight();
            if (gw > 0 && gh > 0 && t.right - gw > t.left) {
                DrawSkinGlyph(picture.Pixels(), TPoint{static_cast<int>(t.right) - gw, (h - gh) / 2}, 0, g, 1,
                              MakeParentCacheInfo(picture.Pixels(), 0, 0));
                t.right -= gw + 2;
            }
        }
        UINT align = (item.fmt & HDF_RIGHT) ? DT_RIGHT : (item.fmt & HDF_CENTER) ? DT_CENTER : DT_LEFT;
        int length = 0;
        while (length < 259 && text[length]) ++length;
        DrawSkinText(c, FromWide(text, length), IsWindowEnabled(CtrlHandle) != FALSE, m, state != 0, section,
                     align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, t);
    }
    if (right < w) PaintSectionItemToDC(c->Handle(), TRect{right, 0, w, h}, button, 0, m);
    DrawPixels(dc, 0, 0, picture.Pixels(), TRect{0, 0, w, h});
}

void TacListViewWnd::AdapterWndProc(TMessage& message) {
    if (message.Msg == WM_NCDESTROY) ReleaseHeader();
    TacEditWnd::AdapterWndProc(message);
}

// ---- grids

namespace {

// The colours a grid may have, by name: those it has are skinned.
const char* const kGridSectionColors[] = {"FooterColor", "FooterCellColor", "TitleColor"};

}  // namespace

TacGridWnd::~TacGridWnd() { ReleaseWindow(); }

void TacGridWnd::SaveCtrlParams() {
    TacEditWnd::SaveCtrlParams();
    savedProps_.clear();
    TControl* owner = SkinData ? SkinData->OwnerControl : nullptr;
    if (!owner) return;
    auto keep = [&](const char* name) {
        int64_t value = 0;
        if (owner->GetOrdProp(name, value)) savedProps_.push_back({name, value});
    };
    keep("FixedColor");
    for (const char* name : kGridSectionColors) keep(name);
    keep("IndicatorIconColor");
    for (const char* name : {"TitleFont", "FixedFont"})
        if (auto* font = dynamic_cast<TFont*>(owner->GetObjectProp(name)))
            savedProps_.push_back({std::string(name) + ".Color", font->Color()});
}

void TacGridWnd::RestoreCtrlParams() {
    TControl* owner = SkinData ? SkinData->OwnerControl : nullptr;
    const bool changed = ParamsChanged;
    TacEditWnd::RestoreCtrlParams();
    if (!owner || !changed || Destroying(owner)) return;
    for (const SavedProp& p : savedProps_) {
        const size_t dot = p.Name.find('.');
        if (dot == std::string::npos) {
            owner->SetOrdProp(p.Name, p.Value);
        } else if (auto* font = dynamic_cast<TFont*>(owner->GetObjectProp(p.Name.substr(0, dot)))) {
            font->SetColor(static_cast<TColor>(p.Value));
        }
    }
}

void TacGridWnd::SetSkinParams() {
    TacEditWnd::SetSkinParams();
    TControl* owner = SkinData ? SkinData->OwnerControl : nullptr;
    TsSkinManager* m = Manager();
    const TsGeneralData* gd = SkinData ? SkinData->Section() : nullptr;
    if (!owner || !m || !gd) return;
    auto set = [owner](const std::string& name, TColor value) {
        int64_t now = 0;
        if (owner->GetOrdProp(name, now) && now != value) owner->SetOrdProp(name, value);
    };
    set("FixedColor", m->GetGlobalInfoColor());
    for (const char* name : kGridSectionColors) set(name, gd->Color);
    set("IndicatorIconColor", gd->FontColor[0]);
    const TColor globalFont = m->GetGlobalInfoFontColor();
    if (globalFont != clFuchsia) {
        if (auto* font = dynamic_cast<TFont*>(owner->GetObjectProp("TitleFont"))) font->SetColor(globalFont);
        if (std::string(owner->ClassName()) == "TDBAdvGrid")
            if (auto* font = dynamic_cast<TFont*>(owner->GetObjectProp("FixedFont"))) font->SetColor(globalFont);
    }
}

void TacGridWnd::AdapterWndProc(TMessage& message) {
    if (Destroyed || !Skinned()) {
        TacEditWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    switch (message.Msg) {
        case WM_ERASEBKGND:
            // The grid paints every pixel of its cells.
            message.Result = 1;
            return;
        case WM_NCPAINT:
            SkinData->Updating = false;
            break;
        case WM_VSCROLL: {
            // A grid that shows records scrolls by the bar's position.
            TControl* owner = SkinData->OwnerControl;
            const int code = LOWORD(message.WParam);
            if (owner && owner->GetObjectProp("DataSource") && (code == SB_THUMBPOSITION || code == SB_THUMBTRACK)) {
                SCROLLINFO si{};
                si.cbSize = sizeof(si);
                si.fMask = SIF_POS;
                si.nPos = HIWORD(message.WParam) + (code == SB_THUMBPOSITION ? 1 : 0);
                SetScrollInfo(window, SB_VERT, &si, FALSE);
            }
            break;
        }
        default:
            break;
    }
    TacEditWnd::AdapterWndProc(message);
    if (Destroyed) return;
    if (message.Msg == WM_PAINT) UpdateScrollInfo(this, true);
    if (message.Msg == WM_WINDOWPOSCHANGED && IsWindowVisible(window)) SendMessageW(window, WM_NCPAINT, 1, 0);
}

// ---- tree views

TacTreeViewWnd::~TacTreeViewWnd() { ReleaseWindow(); }

void TacTreeViewWnd::SaveCtrlParams() {
    TacEditWnd::SaveCtrlParams();
    if (!bkSaved_ && IsWindow(CtrlHandle)) {
        savedBkColor_ = static_cast<COLORREF>(SendMessageW(CtrlHandle, TVM_GETBKCOLOR, 0, 0));
        bkSaved_ = true;
    }
}

void TacTreeViewWnd::RestoreCtrlParams() {
    const bool changed = ParamsChanged;
    TacEditWnd::RestoreCtrlParams();
    // The tree's own background again (-1: the system's), as it was.
    if (changed && bkSaved_ && !dying_ && IsWindow(CtrlHandle))
        SendMessageW(CtrlHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(savedBkColor_));
}

void TacTreeViewWnd::SetSkinParams() {
    TacEditWnd::SetSkinParams();
    const TsGeneralData* gd = SkinData ? SkinData->Section() : nullptr;
    if (!gd || !IsWindow(CtrlHandle)) return;
    if (TControl* owner = SkinData->OwnerControl) {
        if (!SkinData->CustomFont() && owner->Font()->Color() != gd->HotFontColor[0])
            owner->Font()->SetColor(gd->HotFontColor[0]);
    } else {
        SendMessageW(CtrlHandle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(RGBOf(gd->HotFontColor[0])));
    }
    const COLORREF hot = RGBOf(gd->HotColor);
    if (static_cast<COLORREF>(SendMessageW(CtrlHandle, TVM_GETBKCOLOR, 0, 0)) != hot)
        SendMessageW(CtrlHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(hot));
}

void TacTreeViewWnd::AdapterWndProc(TMessage& message) {
    if (Destroyed || !Skinned()) {
        TacEditWnd::AdapterWndProc(message);
        return;
    }
    HWND window = CtrlHandle;
    switch (message.Msg) {
        case WM_ERASEBKGND: {
            if (SkinData->IsSkinUpdating()) break;
            if (SkinData->BackgroundChanged) PrepareFrame();
            const TsGeneralData* gd = SkinData->Section();
            RECT client{};
            GetClientRect(window, &client);
            FillRectSolid(reinterpret_cast<HDC>(message.WParam), FromRECT(client), RGBOf(gd ? gd->HotColor : clWindow));
            message.Result = 0;
            return;
        }
        case WM_LBUTTONUP:
            TacEditWnd::AdapterWndProc(message);
            if (GetCapture() == window) ReleaseCapture();
            return;
        default:
            break;
    }
    TacEditWnd::AdapterWndProc(message);
}

void TacVirtualTreeViewWnd::AdapterWndProc(TMessage& message) {
    if (Destroyed || !Skinned()) {
        TacEditWnd::AdapterWndProc(message);
        return;
    }
    switch (message.Msg) {
        case WM_VSCROLL:
            if (LOWORD(message.WParam) == SB_THUMBTRACK) {
                SCROLLINFO si{};
                si.cbSize = sizeof(si);
                si.fMask = SIF_POS;
                si.nPos = HIWORD(message.WParam);
                SetScrollInfo(CtrlHandle, SB_VERT, &si, FALSE);
            }
            break;
        case WM_ERASEBKGND:
            message.Result = 1;
            return;
        default:
            break;
    }
    TacEditWnd::AdapterWndProc(message);
}

}  // namespace skin
