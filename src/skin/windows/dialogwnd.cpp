#include "skin/windows/dialogwnd.h"

#include <algorithm>

#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/sectionpaint.h"
#include "skin/core/skincommands.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/core/win32/skinpaint.h"
#include "skin/windows/layout/skinsizes.h"
#include "skin/windows/layout/winvalues.h"
#include "skin/windows/skinprovider.h"
#include "vcl/forms.h"
#include "vcl/wintext.h"

namespace skin {

using namespace vcl;

namespace {

// The dialog's children are looked over again (new ones appear).
constexpr unsigned kAdaptChildrenCommand = 28;
// A message the dialog gets when its pages change.
constexpr UINT kPagesChanged = 0x52E;
// Set while the dialog's region is being applied: the WM_NCPAINT that
// SetWindowRgn brings must not build the region again.
bool g_regionChanging = false;

TColor RGBOf(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

int ButtonSlot(int code) {
    switch (code) {
        case hit::Close: return 0;
        case hit::MaxButton: return 1;
        case hit::MinButton: return 2;
        case hit::Help: return 3;
        default: return -1;
    }
}

bool IsTitleButton(int code) { return ButtonSlot(code) >= 0; }

}  // namespace

// ---- TacSystemMenu

TacSystemMenu::TacSystemMenu(TacDialogWnd* dialog) : TPopupMenu(nullptr), Dialog(dialog) {
    miRestore = NewItem("Restore", "miRestore", SC_RESTORE);
    miMove = NewItem("Move", "miMove", SC_MOVE);
    miSize = NewItem("Size", "miSize", SC_SIZE);
    miMinimize = NewItem("Minimize", "miMinimize", SC_MINIMIZE);
    miMaximize = NewItem("Maximize", "miMaximize", SC_MAXIMIZE);
    auto* line = new TMenuItem(this);
    line->SetCaption("-");
    Items()->Add(line);
    miClose = NewItem("Close", "miClose", SC_CLOSE);
    miClose->SetShortCut(ShortCut(VK_F4, scAlt));
    UpdateItems();
}

TMenuItem* TacSystemMenu::NewItem(const std::string& caption, const std::string& name, WPARAM command) {
    auto* item = new TMenuItem(this);
    item->SetName(name);
    item->SetCaption(caption);
    item->OnClick = [this, command](TObject*) {
        if (Dialog && IsWindow(Dialog->CtrlHandle)) SendMessageW(Dialog->CtrlHandle, WM_SYSCOMMAND, command, 0);
        if (Dialog && !Dialog->Destroyed) UpdateItems();
    };
    Items()->Add(item);
    return item;
}

bool TacSystemMenu::HasCommand(WPARAM command) const {
    for (const vcl::TMenuItem* item : {miRestore, miMove, miSize, miMinimize, miMaximize, miClose})
        if (item && item->Command() == LOWORD(command)) return true;
    return false;
}

void TacSystemMenu::UpdateItems() {
    if (!Dialog) return;
    const TDialogMenuItems r = UpdateDialogMenuItems(Dialog->Frame());
    const std::pair<TMenuItem*, TSystemMenuItem> items[] = {{miRestore, r.miRestore},   {miMove, r.miMove},
                                                            {miSize, r.miSize},         {miMinimize, r.miMinimize},
                                                            {miMaximize, r.miMaximize}, {miClose, r.miClose}};
    for (const auto& [item, state] : items) {
        item->SetVisible(state.Visible);
        item->SetEnabled(state.Enabled);
    }
}

// ---- TacDialogWnd

TacDialogWnd::TacDialogWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager, const std::string& section,
                           bool repaint)
    : TacScrollWnd(window, skinData, skinManager, section, repaint) {
    BorderCode = 1;
    Active = true;
    FrameChanged = true;
    buttonsBack_ = std::make_unique<TBitmap>(0, 0, pf24bit);
    SystemMenu = std::make_unique<TacSystemMenu>(this);
    if (SkinData) SkinData->Updating = true;
    TsSkinManager* m = Manager();
    if (m && m == DefaultManager && m->SkinnedPopups() && ProviderCallPoints.HookMenu)
        ProviderCallPoints.HookMenu(SystemMenu.get(), true);
}

TacDialogWnd::~TacDialogWnd() {
    // Released here, while this class's own WindowReleased still runs.
    ReleaseWindow();
    if (ProviderCallPoints.HookMenu && SystemMenu) ProviderCallPoints.HookMenu(SystemMenu.get(), false);
    SystemMenu.reset();
    if (brush_) DeleteObject(brush_);
    brush_ = nullptr;
}

TFrameSystemMetrics TacDialogWnd::SystemMetrics() { return TsSkinProvider::SystemMetrics(); }

TDialogFrame TacDialogWnd::Frame() const {
    TDialogFrame d;
    HWND h = CtrlHandle;
    d.Style = FrameReady ? Style : static_cast<unsigned>(GetWindowLongW(h, GWL_STYLE));
    d.ExStyle = FrameReady ? ExStyle : static_cast<unsigned>(GetWindowLongW(h, GWL_EXSTYLE));
    d.ClassNoClose = (GetClassLongW(h, GCL_STYLE) & CS_NOCLOSE) != 0;
    d.Zoomed = IsZoomed(h) != 0;
    d.Iconic = IsIconic(h) != 0;
    d.HasIcon = icon_ != nullptr;
    RECT wr{}, cr{};
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    d.Width = wr.right - wr.left;
    d.Height = wr.bottom - wr.top;
    d.ClientHeight = cr.bottom;
    // Only a bar the window shows takes rows from above the client area.
    if ((GetWindowLongW(h, GWL_STYLE) & WS_HSCROLL) && HorzBar && BarActive(*HorzBar)) d.HorzScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
    return d;
}

TDialogSkinMasks TacDialogWnd::Masks() const {
    TsSkinManager* m = Manager();
    if (!m || m->Skin().Sections.empty()) return {};
    return GetDialogSkinMasks(m->Skin(), BorderCode);
}

bool TacDialogWnd::HasSysMenu() const { return FrameReady && (Style & WS_SYSMENU); }

void TacDialogWnd::InitDialogFrame() {
    HWND h = CtrlHandle;
    Style = static_cast<unsigned>(GetWindowLongW(h, GWL_STYLE));
    ExStyle = static_cast<unsigned>(GetWindowLongW(h, GWL_EXSTYLE));
    BorderCode = DialogBorderCode(Style, ExStyle);
    FrameReady = true;
    HICON icon = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_BIG, 0));
    icon_ = nullptr;
    if (icon) {
        icon_ = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_COPYFROMRESOURCE));
        if (!icon_) icon_ = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    }
    if (Style & WS_SYSMENU) {
        // The system draws no title buttons of its own over ours.
        SetWindowLongW(h, GWL_STYLE, static_cast<LONG>(Style & ~WS_SYSMENU));
        sysMenuTaken_ = true;
    }
    SkinData->Updating = false;
    SkinData->BackgroundChanged = true;
    FrameChanged = true;
    if (SystemMenu) SystemMenu->UpdateItems();
}

void TacDialogWnd::GiveBackStyle() {
    HWND h = CtrlHandle;
    if (!h || !IsWindow(h)) return;
    if (sysMenuTaken_) {
        SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) | WS_SYSMENU);
        sysMenuTaken_ = false;
    }
    if (regionSet_) {
        SetWindowRgn(h, nullptr, FALSE);
        regionSet_ = false;
    }
}

void TacDialogWnd::WindowReleased() {
    GiveBackStyle();
    // A live dialog measures and draws its own frame again, buttons and all.
    if (!dying_ && IsWindow(CtrlHandle) && IsWindowVisible(CtrlHandle)) {
        SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    if (icon_) {
        DestroyIcon(icon_);
        icon_ = nullptr;
    }
    TacScrollWnd::WindowReleased();
}

HBRUSH TacDialogWnd::DialogBrush() {
    TsSkinManager* m = Manager();
    const TColor color = m ? RGBOf(m->GetGlobalInfoColor()) : RGBOf(clBtnFace);
    if (!brush_ || color != brushColor_) {
        if (brush_) DeleteObject(brush_);
        brush_ = CreateSolidBrush(static_cast<COLORREF>(color));
        brushColor_ = color;
    }
    return brush_;
}

int& TacDialogWnd::StateOf(int code) {
    static int none = 0;
    const int slot = ButtonSlot(code);
    return slot >= 0 ? ButtonState[slot] : (none = 0);
}

void TacDialogWnd::UpdateRegion() {
    HWND h = CtrlHandle;
    TsSkinManager* m = Manager();
    const TDialogFrame d = Frame();
    if (!m || BorderCode == 2) return;
    if (SendMessageW(h, kKeepRectangularQuery, kKeepRectangularAnswer, 0) == static_cast<LRESULT>(kKeepRectangularAnswer))
        return;
    std::vector<TRect> holes;
    const int border = SkinData->BorderMaskIndex;
    if (m->IsValidMaskIndex(border)) {
        const TsMaskData& mask = m->Skin().Masks[static_cast<size_t>(border)];
        GetMaskRegionRects(holes, d.Width, mask, false, 0);
        GetMaskRegionRects(holes, d.Width, mask, true, d.Height - MaskMarginBottom(m->Skin(), border));
    }
    const int title = m->GetSkinIndex("FORMTITLE");
    const int titleMask = m->GetMaskIndex(title, "FORMTITLE", "BORDERSMASK");
    if (m->IsValidSkinIndex(title) && m->IsValidMaskIndex(titleMask) && DialogTitleHeight(d, SystemMetrics()) > 0)
        GetMaskRegionRects(holes, d.Width, m->Skin().Masks[static_cast<size_t>(titleMask)], false, 0);
    if (holes.empty() && !regionSet_) return;
    HRGN region = CreateRectRgn(0, 0, d.Width, d.Height);
    for (const TRect& r : holes) {
        HRGN hole = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
        CombineRgn(region, region, hole, RGN_DIFF);
        DeleteObject(hole);
    }
    if (HasWindowRegion(h, region)) {
        DeleteObject(region);
        return;
    }
    g_regionChanging = true;
    SetWindowRgn(h, region, TRUE);  // the window owns the region now
    regionSet_ = true;
}

void TacDialogWnd::RenderFrame() {
    TsSkinManager* m = Manager();
    if (!m || !SkinData) return;
    const TDialogFrame d = Frame();
    const TFrameSystemMetrics metrics = SystemMetrics();
    if (!SkinData->CacheBitmap) SkinData->CacheBitmap = std::make_unique<TBitmap>(0, 0, pf24bit);
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (!SkinData->BackgroundChanged && cache->Width() == d.Width && cache->Height() == d.Height) return;
    cache->SetPixelFormat(pf24bit);
    cache->SetSize(std::max(d.Width, 0), std::max(d.Height, 0));
    if (cache->Empty()) return;
    if (SkinData->SectionIndex < 0) SkinData->RefreshSkinIndexes();
    const int state = Active ? 1 : 0;
    const TPixels pixels = cache->Pixels();
    // 1. The section: background, border and corners.
    PaintControlSection(SkinData, TParentCacheInfo{}, cache, TPoint{0, 0}, TRect{0, 0, d.Width, d.Height}, state);
    const TDialogSkinMasks masks = Masks();
    // 2. The grip of a sizing dialog.
    if (DialogHasGrip(d) && m->IsValidMaskIndex(masks.Grip))
        DrawSkinGlyph(pixels, DialogGripPosition(d, metrics, masks), 0, m->Skin().Masks[static_cast<size_t>(masks.Grip)], 1);
    const int th = DialogTitleHeight(d, metrics), bv = DialogBorderHeight(d, metrics), bh = DialogBorderWidth(d, metrics);
    if (th > 0) {
        const int top = DialogTopNonClientHeight(d, metrics);
        // Behind the title lies the frame at the title's own place (not at the client's origin,
        // which put pieces of the client into the title's clear corners).
        const TParentCacheInfo ci = MakeParentCacheInfo(pixels, 0, 0);
        const int titleIndex = m->GetSkinIndex("FORMTITLE");
        if (m->IsValidSkinIndex(titleIndex)) {
            TSectionBackground a;
            a.SectionIndex = titleIndex;
            a.SectionName = "FORMTITLE";
            a.ParentCache = ci;
            a.State = state;
            a.Rect = TRect{0, 0, d.Width, d.Iconic ? d.Height : th + bv};
            a.ColorToRGB = RGBOf;
            PaintSectionItem(m->Skin(), pixels, a);
        }
        const TRect iconRect = DialogIconRect(d, metrics);
        if (icon_ && !iconRect.IsEmpty())
            DrawIconEx(cache->Canvas()->Handle(), iconRect.Left, iconRect.Top, icon_, iconRect.Width(), iconRect.Height(), 0,
                       nullptr, DI_NORMAL);
        const TDialogButtonsLayout layout = PlaceDialogTitleButtons(d, metrics, masks);
        if ((d.Style & WS_SYSMENU) && m->IsValidMaskIndex(masks.TitleBar)) {
            const int tb = TitleBarThird(&m->Skin(), masks.TitleBar);
            DrawSkinRect(pixels, TRect{d.Width - (2 * tb + layout.Width), 0, d.Width, th + bv}, true, ci,
                         m->Skin().Masks[static_cast<size_t>(masks.TitleBar)], state, false);
        }
        // What lies behind the buttons, for redrawing one of them alone.
        const int backWidth = layout.Width + bh, backX = d.Width - backWidth - 1;
        buttonsBack_->SetSize(std::max(backWidth, 0), std::max(top, 0));
        if (!buttonsBack_->Empty())
            CopyRect(buttonsBack_->Pixels(), 0, 0, pixels, TRect{backX, 0, backX + backWidth, top});
        for (const TPlacedTitleButton& b : layout.Buttons) {
            const int s = StateOf(b.Code);
            const int mode = !b.Enabled || (!Active && s == 0) ? 2 : 1;
            DrawSkinGlyph(pixels, TPoint{b.Rect.Left, b.Rect.Top}, b.Enabled ? s : 0,
                          m->Skin().Masks[static_cast<size_t>(b.MaskIndex)], mode);
        }
        const TRect r = DialogCaptionRect(d, metrics, layout);
        if (!Caption.empty() && r.Right > r.Left && r.Bottom > r.Top) {
            TCanvas* canvas = cache->Canvas();
            NONCLIENTMETRICSW ncm{};
            ncm.cbSize = sizeof(ncm);
            if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) canvas->Font()->AssignLogFont(ncm.lfCaptionFont);
            const std::string text = FitTextWithEllipsis(canvas, Caption, DialogCaptionFitWidth(d, metrics, layout));
            DrawSkinText(canvas, text, true, m, Active, titleIndex, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, ToRECT(r));
        }
    }
    SkinData->BackgroundChanged = false;
}

void TacDialogWnd::PaintFrame(HDC windowDC) {
    HWND h = CtrlHandle;
    if (!FrameReady || !IsWindowVisible(h)) return;
    const TDialogFrame d = Frame();
    if (FrameChanged) {
        FrameChanged = false;
        if (!(BorderCode == 2 && !(d.Style & WS_THICKFRAME)) && !g_regionChanging) UpdateRegion();
    }
    RenderFrame();
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (!cache || cache->Empty()) return;
    HDC dc = windowDC ? windowDC : GetWindowDC(h);
    const TDialogStrips s = GetDialogStrips(d, SystemMetrics());
    for (const TRect& r : {s.Title, s.Left, s.Bottom, s.Right})
        if (!r.IsEmpty()) DrawPixels(dc, r.Left, r.Top, cache->Pixels(), r);
    if (HorzBar || VertBar) PaintScrollBars(dc);
    if (!windowDC) ReleaseDC(h, dc);
}

void TacDialogWnd::EraseBackground(HDC dc) {
    RenderFrame();
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (!cache || cache->Empty()) return;
    const TDialogFrame d = Frame();
    const TFrameSystemMetrics metrics = SystemMetrics();
    RECT cr{};
    GetClientRect(CtrlHandle, &cr);
    const int x = DialogBorderWidth(d, metrics), y = DialogTopNonClientHeight(d, metrics);
    DrawPixels(dc, 0, 0, cache->Pixels(), TRect{x, y, x + cr.right, y + cr.bottom});
}

void TacDialogWnd::RepaintButton(int code) {
    TsSkinManager* m = Manager();
    TBitmap* cache = SkinData ? SkinData->CacheBitmap.get() : nullptr;
    if (!m || !cache || cache->Empty() || !FrameReady) return;
    const TDialogFrame d = Frame();
    const TFrameSystemMetrics metrics = SystemMetrics();
    const TDialogButtonsLayout layout = PlaceDialogTitleButtons(d, metrics, Masks());
    for (const TPlacedTitleButton& b : layout.Buttons) {
        if (b.Code != code) continue;
        const TRect r = b.Rect;
        if (r.Left <= metrics.cxSmIcon + DialogBorderHeight(d, metrics)) return;
        const int backX = d.Width - buttonsBack_->Width() - 1;
        if (!buttonsBack_->Empty())
            CopyRect(cache->Pixels(), r.Left, r.Top, buttonsBack_->Pixels(), TRect{r.Left - backX, r.Top, r.Right - backX, r.Bottom});
        const int s = StateOf(code);
        const int mode = !b.Enabled || (!Active && s == 0) ? 2 : 1;
        DrawSkinGlyph(cache->Pixels(), TPoint{r.Left, r.Top}, b.Enabled ? s : 0, m->Skin().Masks[static_cast<size_t>(b.MaskIndex)],
                      mode);
        HDC dc = GetWindowDC(CtrlHandle);
        DrawPixels(dc, r.Left, r.Top, cache->Pixels(), r);
        ReleaseDC(CtrlHandle, dc);
        return;
    }
}

void TacDialogWnd::ResetButtons(bool repaint) {
    for (int code : {hit::Close, hit::MaxButton, hit::MinButton, hit::Help}) {
        int& s = StateOf(code);
        if (s == 0) continue;
        s = 0;
        if (repaint) RepaintButton(code);
    }
    PressedCode = 0;
}

int TacDialogWnd::HitTest(POINT screen) const {
    RECT wr{};
    GetWindowRect(CtrlHandle, &wr);
    const TDialogFrame d = Frame();
    const TFrameSystemMetrics metrics = SystemMetrics();
    const TDialogSkinMasks masks = Masks();
    return DialogHitTest(d, metrics, masks, PlaceDialogTitleButtons(d, metrics, masks),
                         TPoint{screen.x - wr.left, screen.y - wr.top});
}

void TacDialogWnd::ShowSystemMenu(int x, int y) {
    if (!SystemMenu) return;
    SystemMenu->UpdateItems();
    TsSkinManager* m = Manager();
    if (m && m->SkinnedPopups() && ProviderCallPoints.HookMenu) ProviderCallPoints.HookMenu(SystemMenu.get(), true);
    SystemMenu->Popup(x, y);
}

void TacDialogWnd::ButtonUp(TMessage& message) {
    const int code = PressedCode;
    if (GetCapture() == CtrlHandle) ReleaseCapture();
    POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
    if (message.Msg == WM_LBUTTONUP) ClientToScreen(CtrlHandle, &p);
    const bool inside = HitTest(p) == code;
    ResetButtons(true);
    if (!inside) return;
    HWND h = CtrlHandle;
    switch (code) {
        case hit::MinButton:
            SendMessageW(h, WM_SYSCOMMAND, IsIconic(h) ? SC_RESTORE : SC_MINIMIZE, 0);
            break;
        case hit::MaxButton:
            SendMessageW(h, WM_SYSCOMMAND, IsZoomed(h) ? SC_RESTORE : SC_MAXIMIZE, 0);
            Application->ProcessMessages();
            if (!Destroyed && SystemMenu) SystemMenu->UpdateItems();
            break;
        case hit::Close:
            SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case hit::Help:
            SendMessageW(h, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
            if (!Destroyed && SystemMenu) SystemMenu->UpdateItems();
            if (!Destroyed) SendMessageW(h, WM_NCPAINT, 1, 0);
            break;
        default:
            break;
    }
}

void TacDialogWnd::AdapterWndProc(TMessage& message) {
    HWND h = CtrlHandle;
    TsSkinManager* m = Manager();
    const bool skinned = m && (m->SkinActive() || SkinSending) && SkinData && !Destroyed;
    if (message.Msg == WM_DESTROY || message.Msg == WM_NCDESTROY) dying_ = true;
    if (!skinned || dying_) {
        TacScrollWnd::AdapterWndProc(message);
        return;
    }
    switch (message.Msg) {
        case SM_SKINCMD: {
            const bool own = reinterpret_cast<TsSkinManager*>(message.LParam) == m;
            switch (SkinCommandOf(message.WParam)) {
                case AC_SKINLOADED:
                    if (own) {
                        SkinData->RefreshSkinIndexes();
                        SkinData->BackgroundChanged = true;
                    }
                    return;
                case AC_SKINREFRESH:
                    SkinData->RefreshSkinIndexes();
                    SkinData->BackgroundChanged = true;
                    FrameChanged = true;
                    SkinData->InvalidateOwner();
                    RedrawWindow(h, nullptr, nullptr,
                                 RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
                    return;
                case AC_QUERYCACHE: {
                    ReplyCacheInfo = TParentCacheInfo{};
                    RenderFrame();
                    TBitmap* cache = SkinData->CacheBitmap.get();
                    const TDialogFrame d = Frame();
                    // The children's places are client coordinates: the client area's origin in the cache.
                    if (cache && !cache->Empty())
                        ReplyCacheInfo = MakeParentCacheInfo(cache->Pixels(), DialogBorderWidth(d, SystemMetrics()),
                                                             DialogTopNonClientHeight(d, SystemMetrics()));
                    return;
                }
                case AC_SETUPDATEFLAG:
                    SkinData->Updating = SkinCommandArgOf(message.WParam) == 1;
                    if (SkinData->IsSkinUpdating()) SkinData->BackgroundChanged = true;
                    return;
                case AC_QUERYUPDATING:
                    message.LParam = message.Result = SkinData->IsSkinUpdating() ? 1 : 0;
                    return;
                case AC_QUERYBGVARIES: {
                    const TsGeneralData* gd = SkinData->Section();
                    message.LParam = message.Result = gd && gd->GradientPercent + gd->ImagePercent > 0 ? 1 : 0;
                    return;
                }
                case AC_QUERYBGCOLOR:
                    if (const TsGeneralData* gd = SkinData->Section()) ReplyBgColor = RGBOf(gd->HotColor);
                    return;
                case kAdaptChildrenCommand:
                    if (auto adapt = AdaptChildren) adapt();  // a copy: it may be cleared meanwhile
                    return;
                default:
                    break;
            }
            break;
        }
        case WM_SIZE:
            SkinData->BackgroundChanged = true;
            FrameChanged = true;
            CallPrevWndProc(message);
            RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
            return;
        case WM_ENABLE:
        case WM_SETTEXT:
            if (!IsWindowVisible(h)) break;
            TacScrollWnd::AdapterWndProc(message);  // the caption is read again
            SkinData->BackgroundChanged = true;
            SendMessageW(h, WM_NCPAINT, 1, 0);
            return;
        case WM_PAINT:
            CallPrevWndProc(message);
            return;
        case WM_ERASEBKGND:
            if (!ChildrenAdapted) {
                ChildrenAdapted = true;
                if (auto adapt = AdaptChildren) adapt();  // a copy: it may be cleared meanwhile
            }
            EraseBackground(reinterpret_cast<HDC>(message.WParam));
            RepaintChildWindows(h);
            message.Result = 1;
            return;
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
            // Our own system menu is owner-drawn by the skinned menus.
            if (item && item->CtlType == ODT_MENU && vcl::detail::MenuMessage(message)) return;
            if (item && item->CtlType == ODT_STATIC) SetBkMode(item->hDC, TRANSPARENT);
            break;
        }
        case WM_MEASUREITEM:
            if (vcl::detail::MenuMessage(message)) return;
            break;
        case WM_WINDOWPOSCHANGED:
            SkinData->BackgroundChanged = true;
            FrameChanged = true;
            CallPrevWndProc(message);
            return;
        case WM_NCHITTEST: {
            if (!FrameReady) break;
            const POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
            const int code = HitTest(p);
            if (code == hit::Nowhere || code == hit::Caption) {
                if (!PressedCode) ResetButtons(true);
                CallPrevWndProc(message);
                return;
            }
            if (IsTitleButton(code) && !PressedCode && StateOf(code) == 0) {
                ResetButtons(true);
                StateOf(code) = 1;
                RepaintButton(code);
            }
            message.Result = code;
            return;
        }
        case WM_NCPAINT:
            if (!IsWindowVisible(h) || !FrameReady) break;
            Caption = GetWindowText1251(h);
            PaintFrame();
            g_regionChanging = false;
            message.Result = 1;
            return;
        case WM_NCACTIVATE:
            if (!IsWindowVisible(h)) break;
            CallPrevWndProc(message);
            Active = message.WParam != 0;
            SkinData->BackgroundChanged = true;
            PaintFrame();
            return;
        case WM_GETDLGCODE:
            message.Result = 0;
            return;
        case WM_CTLCOLORDLG:
            message.Result = reinterpret_cast<LRESULT>(DialogBrush());
            return;
        case WM_COMMAND:
            // A choice in our own system menu. Only its items: Esc and Close
            // bring IDCANCEL without a control, which the dialog must get even
            // when some menu item of the program has that number.
            if (message.LParam == 0 && HIWORD(message.WParam) == 0 && SystemMenu && SystemMenu->HasCommand(message.WParam) &&
                vcl::detail::MenuMessage(message))
                return;
            break;
        case WM_NCLBUTTONDOWN: {
            const int code = static_cast<int>(message.WParam);
            if (code == hit::SysMenu) {
                ResetButtons(true);
                RECT wr{};
                GetWindowRect(h, &wr);
                const TDialogFrame d = Frame();
                const TFrameSystemMetrics metrics = SystemMetrics();
                ShowSystemMenu(wr.left + DialogBorderWidth(d, metrics),
                               wr.top + DialogBorderHeight(d, metrics) + DialogTitleHeight(d, metrics));
                return;
            }
            if (IsTitleButton(code)) {
                ResetButtons(false);
                StateOf(code) = 2;
                PressedCode = code;
                RepaintButton(code);
                SetCapture(h);
                return;
            }
            if (IsIconic(h)) {
                SendMessageW(h, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, message.LParam);
                return;
            }
            if (IsZoomed(h) && code == hit::Caption) {
                if (GetActiveWindow() != h) SetFocus(h);
                return;
            }
            break;
        }
        case WM_NCLBUTTONUP:
        case WM_LBUTTONUP:
            if (PressedCode) {
                ButtonUp(message);
                message.WParam = 0;
                return;
            }
            ResetButtons(true);
            break;
        case WM_MOUSEMOVE:
            if (PressedCode) {
                // The held button shows pressed only while the mouse is on it.
                POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
                ClientToScreen(h, &p);
                const int wanted = HitTest(p) == PressedCode ? 2 : 0;
                if (StateOf(PressedCode) != wanted) {
                    StateOf(PressedCode) = wanted;
                    RepaintButton(PressedCode);
                }
                return;
            }
            if (IsWindowEnabled(h) && DefaultManager) DefaultManager->SetHotWindow(nullptr);
            break;
        case WM_NCLBUTTONDBLCLK: {
            const int code = static_cast<int>(message.WParam);
            if (code == hit::Caption) {
                const unsigned style = FrameReady ? Style : static_cast<unsigned>(GetWindowLongW(h, GWL_STYLE));
                // Only a dialog that can be maximized or restored reacts.
                if (style & WS_MAXIMIZEBOX)
                    SendMessageW(h, WM_SYSCOMMAND, IsZoomed(h) || IsIconic(h) ? SC_RESTORE : SC_MAXIMIZE, 0);
                return;
            }
            if (code == hit::SysMenu) {
                SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
                return;
            }
            break;
        }
        case WM_NCRBUTTONDOWN:
            if (message.WParam == HTCAPTION || message.WParam == HTSYSMENU) return;
            break;
        case WM_NCRBUTTONUP:
            if (message.WParam == HTCAPTION || message.WParam == HTSYSMENU) {
                ResetButtons(true);
                ShowSystemMenu(static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam)));
                return;
            }
            break;
        case WM_NCMOUSELEAVE:
            if (!PressedCode) ResetButtons(true);
            break;
        case kPagesChanged:
            CallPrevWndProc(message);
            if (auto adapt = AdaptChildren) adapt();  // a copy: it may be cleared meanwhile
            RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
            return;
        case WM_SYSCOMMAND: {
            const WPARAM command = message.WParam & 0xFFF0;
            TacScrollWnd::AdapterWndProc(message);
            if (!Destroyed && (command == SC_MAXIMIZE || command == SC_RESTORE)) ResetButtons(true);
            return;
        }
        default:
            break;
    }
    TacScrollWnd::AdapterWndProc(message);
}

}  // namespace skin
