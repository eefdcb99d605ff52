// The provider's replacement of its form's WindowProc: the skin command
// message in every state, then the skinned or the plain dispatch.
#include <algorithm>

#include "skin/core/pixelcopy.h"
#include "skin/core/skincommands.h"
#include "skin/core/win32/deferredfree.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/windows/layout/winvalues.h"
#include "skin/windows/skinmenus.h"
#include "skin/windows/skinprovider.h"
#include "vcl/menus.h"

namespace skin {

using namespace vcl;

namespace {

constexpr int kTabSelChange = -551;  // TCN_SELCHANGE of a tab control

bool IsOutlineHit(int code) { return code == hit::Caption || (code >= HTLEFT && code <= HTBOTTOMRIGHT); }

POINT CursorAt() {
    POINT p;
    GetCursorPos(&p);
    return p;
}

POINT PointOf(LPARAM lParam) { return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

// The window takes the message without painting anything of its own:
// redrawing is off meanwhile, and what that threw away is asked for again.
template <class Pass>
void WithoutRedraw(HWND window, const Pass& pass) {
    SendMessageW(window, WM_SETREDRAW, 0, 0);
    pass();
    SendMessageW(window, WM_SETREDRAW, 1, 0);
}

}  // namespace

void TsSkinProvider::CallOldWndProc(TMessage& message) {
    if (Form) Form->CallPreviousWindowProc(token_, message);
}

void TsSkinProvider::FormWndProc(TMessage& message) {
    // What the message frees of the skin engine goes when it has returned.
    TSkinMessageScope scope;
    if (released_ || !Form) {
        CallOldWndProc(message);
        return;
    }
    if (message.Msg == WM_NCDESTROY && FormDestroying()) {
        // The form is going: from here on nothing of it is ours to touch.
        CallOldWndProc(message);
        released_ = true;
        RemoveSkinnedForm(Form);
        return;
    }
    if (message.Msg == SM_SKINCMD && SkinCommandAnyState(message)) return;
    if (Skinned())
        SkinnedWndProc(message);
    else
        UnskinnedWndProc(message);
}

bool TsSkinProvider::SkinCommandAnyState(TMessage& message) {
    if (AnswerSkinnedQuery(message)) return true;
    switch (SkinCommandOf(message.WParam)) {
        case AC_QUERYCLIENTOFFSET:
            message.Result = MAKELONG(ClientOffsetX(), ClientOffsetY());
            return true;
        case AC_SKINLOADED:
            if (!FormDestroying() && SkinData && reinterpret_cast<TsSkinManager*>(message.LParam) == Manager() &&
                !SystemMenu)
                InitSkinning();
            return false;
        case AC_SKINREMOVED:
            SkinRemoved(message);
            return true;
        default:
            return false;
    }
}

void TsSkinProvider::SkinRemoved(TMessage& message) {
    TsSkinManager* m = Manager();
    if (reinterpret_cast<TsSkinManager*>(message.LParam) != m) {
        BroadcastToChildren(Form, message);
        return;
    }
    // The scroll adapter sits above us in the form's chain, in this very message.
    RetireAdapter(std::move(ListSW));
    FreeAdapter();
    SkinData->HandleSkinCommand(message);
    MenuRowCount = -1;
    BroadcastToChildren(Form, message);
    ResetMenuCache();
    if (FormDestroying() || !m || !Form->HandleAllocated()) return;
    SetMenusSkinned(false);
    HWND h = Form->Handle();
    if (Form->BorderIcons() & biSystemMenu) SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) | WS_SYSMENU);
    if (IsMDIForm()) UpdateMDIForm(false);
    if (IsBordered() && !InMenuLoop) SetWindowRgn(h, nullptr, TRUE);
    BorderRects.clear();
    Form->SetColor(clBtnFace);
    if (Form->Menu()) RebuildMenuBar();
    HotCode = 0;
    CaptionButtonPressed = false;
    for (int code : {hit::Close, hit::MaxButton, hit::MinButton, hit::Help}) ButtonRecord(code)->State = 0;
    TitleStrip.reset();
    PaintedOnce = false;
    FullRepaint = true;
    MenuChanged = true;
    if (SkinData->CacheBitmap) SkinData->CacheBitmap->SetSize(0, 0);
    // The system's own frame comes back, buttons and all.
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TsSkinProvider::UnskinnedWndProc(TMessage& message) {
    if (message.Msg == SM_SKINCMD) {
        const unsigned command = SkinCommandOf(message.WParam);
        if (command == AC_QUERYPROVIDER) {
            message.Result = reinterpret_cast<LRESULT>(static_cast<TsProviderLink*>(this));
            return;
        }
        TsSkinManager* m = Manager();
        if (command == AC_SKINLOADED && m && reinterpret_cast<TsSkinManager*>(message.LParam) == m && !FormDestroying()) {
            // The skin is being applied to this form.
            ResetMenuCache();
            SkinData->RefreshSkinIndexes();
            UpdateSysButtonImages();
            if ((Form->BorderIcons() & biSystemMenu) && Form->HandleAllocated() && !IsMDIChild())
                SetWindowLongW(Form->Handle(), GWL_STYLE, GetWindowLongW(Form->Handle(), GWL_STYLE) & ~WS_SYSMENU);
            if (!(m->ComponentState() & csLoading)) SetMenusSkinned(true);
            SkinData->BackgroundChanged = true;
            MenuRowCount = -1;
            FullRepaint = true;
            MenuChanged = true;
            if (IsMDIForm() && !MDIForm) UpdateMDIForm(true);
            if (useGlobalColor_ && !SkinData->CustomColor()) Form->SetColor(m->GetGlobalInfoColor());
            if (!Adapter)
                InitAdapter();
            else
                Adapter->AddAllControls(nullptr);
            BroadcastToChildren(Form, message);
            return;
        }
    }
    CallOldWndProc(message);
    if (message.Msg == WM_NCDESTROY && IsMDIChild() && MDIMainProvider && MDIMainProvider != this &&
        MDIMainProvider->MDIForm && MDIMainProvider->Skinned()) {
        MDIMainProvider->RefreshNonClient();
    }
}

void TsSkinProvider::SkinnedSkinCommand(TMessage& message) {
    TsSkinManager* m = Manager();
    const bool own = m && reinterpret_cast<TsSkinManager*>(message.LParam) == m;
    const unsigned arg = SkinCommandArgOf(message.WParam);
    HWND h = Form->Handle();
    switch (SkinCommandOf(message.WParam)) {
        case AC_SKINLOADED:
            if (!own) return;
            ResetMenuCache();
            SkinData->RefreshSkinIndexes();
            UpdateSysButtonImages();
            if (Form->BorderIcons() & biSystemMenu)
                SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) & ~WS_SYSMENU);
            m->SkinableMenus->UpdateMenus();
            SkinData->BackgroundChanged = true;
            MenuRowCount = -1;
            FullRepaint = true;
            SendMessageW(h, WM_NCPAINT, 1, 0);
            if (IsMDIForm()) {
                UpdateMDIForm(true);
                if (MDIForm) MDIForm->Refresh();
            }
            return;
        case AC_SKINREFRESH:
            if (!own) return;
            if (!Adapter)
                InitAdapter();
            else
                Adapter->AddAllControls(nullptr);
            RefreshFormScrollBars();
            SkinData->BackgroundChanged = true;
            MenuRowCount = -1;
            TitleStrip.reset();
            UpdateSysButtonImages();
            if (!(m->ComponentState() & csLoading)) {
                RebuildMenuBar();
                SetMenusSkinned(true);
            }
            if (IsBordered()) FullRepaint = true;
            if (useGlobalColor_ && !SkinData->CustomColor()) Form->SetColor(m->GetGlobalInfoColor());
            if (Showing()) {
                SendMessageW(h, WM_NCPAINT, 1, 0);
                RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            }
            if (MDIForm) MDIForm->Refresh();
            SkinData->Updating = false;
            BroadcastToAdapter(message);
            return;
        case AC_QUERYPROVIDER:
            message.Result = reinterpret_cast<LRESULT>(static_cast<TsProviderLink*>(this));
            return;
        case AC_QUERYCACHE:
            ReplyCacheInfo = TParentCacheInfo{};
            if (!FormLoading() && SkinData->CacheBitmap && !SkinData->CacheBitmap->Empty())
                ReplyCacheInfo = MakeParentCacheInfo(SkinData->CacheBitmap->Pixels(), ClientOffsetX(), ClientOffsetY());
            return;
        case AC_SETUPDATEFLAG:
            SkinData->Updating = arg == 1;
            if (SkinData->IsSkinUpdating()) SkinData->BackgroundChanged = true;
            return;
        case AC_SETFULLPAINT:
            SkinData->HandleCommonMessage(message);
            if (SkinData->FullPaint) PaintNonClient();
            return;
        case AC_QUERYUPDATING: {
            const bool updating = SkinData->BackgroundChanged || SkinData->IsSkinUpdating();
            // A child told to wait paints again when the form's next paint
            // sends AC_REDRAWBG: that paint must come, also when the picture
            // went out of date with nothing left to paint (the WM_SIZE a
            // window gets as it is first shown), or the child stays blank.
            if (updating && Showing()) InvalidateRect(h, nullptr, FALSE);
            message.LParam = message.Result = (updating ? 1 : 0) & 0x7F;
            return;
        }
        case AC_SETPAINTCHILD:
            SkinData->PaintingChild = reinterpret_cast<TControl*>(message.LParam);
            return;
        case AC_QUERYBGVARIES: {
            const TsGeneralData* gd = SkinData->Section();
            message.LParam = message.Result = gd && gd->GradientPercent + gd->ImagePercent > 0 ? 1 : 0;
            return;
        }
        case AC_QUERYBGCOLOR: {
            const TsGeneralData* gd = SkinData->Section();
            ReplyBgColor = gd && !SkinData->CustomColor() ? static_cast<TColor>(ColorToRGB(gd->HotColor))
                                                          : static_cast<TColor>(ColorToRGB(Form->Color()));
            return;
        }
        case AC_ADDTOADAPTER:
            if (!FormLoading() && message.LParam && Adapter)
                Adapter->AddAllControls(reinterpret_cast<TWinControl*>(message.LParam));
            return;
        case AC_BEFORESCROLL:
            if (SkinData->DependsOnParentBg()) SendMessageW(h, WM_SETREDRAW, 0, 0);
            return;
        case AC_AFTERSCROLL:
            if (SkinData->DependsOnParentBg()) {
                SendMessageW(h, WM_SETREDRAW, 1, 0);
                RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            }
            return;
        default:
            // Nothing else is a skinned form's to answer or to pass on.
            return;
    }
}

void TsSkinProvider::NCPaint(TMessage& message) {
    message.Result = 0;
    HWND h = Form->Handle();
    if (ShowAnimated || !Showing() || FormLoading() || FormCreating() || MaximizeChildOnPaint) return;
    if (IsMDIChild() && MaximizedChildProvider && MaximizedChildProvider != this && MaximizedChildProvider->Form &&
        MaximizedChildProvider->Form->WindowState() == wsMaximized)
        return;
    // The outline needs the system's own drawing, which newer systems compose away.
    if (ResizeMode == rmBorder && WindowsMajorVersion() >= 6) ResizeMode = rmStandard;
    if (firstNCPaint_) {
        firstNCPaint_ = false;
        RebuildMenuBar();
    }
    if (FullRepaint && !RgnChanging) {
        if (IsBordered() || (GetWindowLongW(h, GWL_STYLE) & WS_THICKFRAME) || IsIconic(h)) {
            LoadBordersMask();
            FullRepaint = false;
            UpdateWindowRegion(true);
        }
    }
    SkinData->Updating = false;
    HDC dc = GetWindowDC(h);
    const int saved = SaveDC(dc);
    if (!IsBordered() && (GetWindowLongW(h, GWL_STYLE) & WS_THICKFRAME) && !IsIconic(h)) {
        if (SkinData->BackgroundChanged) PaintNonClient();
        TBitmap* cache = SkinData->CacheBitmap.get();
        if (cache && !cache->Empty()) {
            const int e = 3, w = cache->Width(), ht = cache->Height();
            for (const TRect& r : {TRect{0, 0, w, e}, TRect{0, e, e, ht - e}, TRect{0, ht - e, w, ht}, TRect{w - e, e, w, ht - e}})
                DrawPixels(dc, r.Left, r.Top, cache->Pixels(), r);
        }
    } else {
        PaintFrameToDC(dc);
    }
    RestoreDC(dc, saved);
    ReleaseDC(h, dc);
    RgnChanging = false;
    if (ClientRepaint) InvalidateRect(h, nullptr, FALSE);
    if (IsMDIForm() && MDIForm) MDIForm->Refresh();
}

// The client part of the form's picture as it is now; empty without one.
TPixelBitmap TsSkinProvider::ClientPicture() {
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (!cache || cache->Empty() || !Form->HandleAllocated()) return {};
    RECT client;
    GetClientRect(Form->Handle(), &client);
    const int x = ClientOffsetX(), y = ClientOffsetY();
    TPixelBitmap picture(client.right, client.bottom);
    if (picture.Pixels().Empty()) return {};
    CopyRect(picture.Pixels(), 0, 0, cache->Pixels(), TRect{x, y, x + client.right, y + client.bottom});
    return picture;
}

// Only what the new state changes is painted again: the frame, and of the
// client area the pixels the skin draws differently in the new state, with
// the controls over them (most skins draw the client of an active form as an
// inactive one's, but for a corner of the border).
TsSkinProvider::ActivationRepaint TsSkinProvider::RepaintActivationChange(const TPixelBitmap& clientBefore) {
    RepaintFrame();
    ActivationRepaint repainted;
    const HWND h = Form->Handle();
    TBitmap* cache = SkinData->CacheBitmap.get();
    if (clientBefore.Pixels().Empty() || !cache || cache->Empty()) {
        repainted.all = true;
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return repainted;
    }
    constexpr size_t kMaxRuns = 256;  // more, and the rectangle round them serves
    const std::vector<TRect> runs =
        ChangedRuns(cache->Pixels(), ClientOffsetX(), ClientOffsetY(), clientBefore.Pixels(), kMaxRuns);
    if (runs.empty()) return repainted;
    repainted.part.reset(RegionOfRects(runs));
    RedrawWindow(h, nullptr, repainted.part.get(), RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return repainted;
}

void TsSkinProvider::NCActivate(TMessage& message) {
    HWND h = Form->Handle();
    const bool active = message.WParam != 0;
    const bool changed = active != FormActive;
    ActivationRepaint repainted;
    if (Showing()) {
        TPixelBitmap clientBefore;
        if (changed) {
            clientBefore = ClientPicture();
            // The frame shows the new state from the first paint on.
            FormActive = active;
            SkinData->BackgroundChanged = true;
        }
        if (ShowAnimated) {
            CallOldWndProc(message);
            repainted.all = true;
        } else {
            if (WindowsMajorVersion() >= 6) {
                // -1: the default procedure leaves the caption to us and paints
                // nothing of its own onto the window. (Switching redrawing off
                // instead would throw away what the children still have to paint.)
                const LPARAM region = message.LParam;
                message.LParam = -1;
                CallOldWndProc(message);
                message.LParam = region;
            } else {
                ShowCoverForm(false);
                CallOldWndProc(message);
                HideCoverForm();
            }
            if (changed) repainted = RepaintActivationChange(clientBefore);
        }
    } else {
        CallOldWndProc(message);
    }
    if (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED) SendMessageW(h, WM_NCPAINT, 1, 0);
    if (FormCreating()) return;
    if (IsBordered()) {
        if (FormActive != active) {
            FormActive = active;
            SkinData->BackgroundChanged = true;
            if (Showing()) RepaintFrame();
        }
        MenuRowCount = -1;
        if (IsMDIChild()) {
            SkinData->BackgroundChanged = true;
            SendMessageW(h, WM_NCPAINT, 1, 0);
        }
    }
    SetMenusSkinned(true);
    if (!MenuBarTold) {
        MenuBarTold = true;
        RebuildMenuBar();
    }
    if (!Adapter) {
        InitAdapter();
        repainted.all = true;
    }
    if (repainted.all) RepaintChildControls(Form);
    else if (repainted.part) RepaintChildControls(Form, repainted.part.get());
}

void TsSkinProvider::ButtonUp(TMessage& message, int code) {
    HWND h = Form->Handle();
    const TSystemMenuItems items = skin::UpdateSystemMenuItems(Frame());
    const bool zoomed = Form->WindowState() == wsMaximized;
    message.Result = 0;
    switch (code) {
        case hit::Close:
            if (CaptionButtonPressed) {
                SetHotButton(0, true);
                SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return;
        case hit::MaxButton:
            if (!(items.ItemMaximize.Enabled || (zoomed && items.ItemRestore.Enabled))) return;
            if (!CaptionButtonPressed) {
                SetHotButton(0, true);
                CallOldWndProc(message);
                return;
            }
            SetHotButton(0, true);
            if (zoomed) {
                if (IsMDIChild()) MaximizedChildProvider = nullptr;
                SendMessageW(h, WM_SYSCOMMAND, SC_RESTORE, 0);
                InvalidateRect(h, nullptr, FALSE);
            } else {
                if (IsMDIChild()) MaximizedChildProvider = nullptr;
                SendMessageW(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            }
            if (SystemMenu) SystemMenu->UpdateSystemMenuItems();
            return;
        case hit::MinButton: {
            const POINT p = ScreenToFormPoint(CursorAt().x, CursorAt().y);
            const TRect& r = ButtonMin.Rect;
            if (CaptionButtonPressed && p.x >= r.Left && p.x < r.Right && p.y >= r.Top && p.y < r.Bottom) {
                SetHotButton(0, true);
                SendMessageW(h, WM_SYSCOMMAND, IsIconic(h) && Form != Application->MainForm() ? SC_RESTORE : SC_MINIMIZE, 0);
            } else {
                SetHotButton(0, true);
                CallOldWndProc(message);
            }
            return;
        }
        case hit::Help:
            if (CaptionButtonPressed) {
                SendMessageW(h, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
                SetHotButton(0, true);
                if (SystemMenu) SystemMenu->UpdateSystemMenuItems();
                SendMessageW(h, WM_NCPAINT, 1, 0);
            } else {
                SetHotButton(0, true);
            }
            return;
        case hit::MDIClose:
        case hit::MDIMax:
        case hit::MDIMin:
            if (CaptionButtonPressed && MaximizedChildProvider && MaximizedChildProvider->Form) {
                const WPARAM command = code == hit::MDIClose ? SC_CLOSE : code == hit::MDIMax ? SC_RESTORE : SC_MINIMIZE;
                if (code == hit::MDIMin && MDIMainProvider) MDIMainProvider->SkinData->BeginSkinUpdate();
                SendMessageW(MaximizedChildProvider->Form->Handle(), WM_SYSCOMMAND, command, 0);
                SetHotButton(0, true);
            }
            return;
        default:
            break;
    }
    if (code >= hit::TitleButton0) {
        TsTitleButton* button = TitleButtons->Items(code - hit::TitleButton0);
        if (button && CaptionButtonPressed) {
            const POINT p = CursorAt();
            SetHotButton(0, true);
            if (button->OnMouseUp) button->OnMouseUp(button, mbLeft, 0, p.x, p.y);
        }
        return;
    }
    if (dragging_) {
        const POINT p = CursorAt();
        DragResizeFrame(p.x, p.y);
        FinishDragResize();
        return;
    }
    if (IsIconic(h) && MDIMainProvider) {
        const POINT p = CursorAt();
        DropSystemMenu(p.x, p.y);
        return;
    }
    CallOldWndProc(message);
}

void TsSkinProvider::SnapToEdges(WINDOWPOS* pos) const {
    if (!pos || (pos->flags & SWP_NOMOVE) || (pos->x == 0 && pos->y == 0)) return;
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromWindow(Form->Handle(), MONITOR_DEFAULTTONEAREST), &info)) return;
    RECT wr;
    GetWindowRect(Form->Handle(), &wr);
    const int cx = (pos->flags & SWP_NOSIZE) ? wr.right - wr.left : pos->cx;
    const int cy = (pos->flags & SWP_NOSIZE) ? wr.bottom - wr.top : pos->cy;
    const RECT& work = info.rcWork;
    if (std::abs(pos->x + cx - work.right) < SnapBuffer) pos->x = work.right - cx;
    if (std::abs(pos->y + cy - work.bottom) < SnapBuffer) pos->y = work.bottom - cy;
    if (std::abs(pos->x - work.left) < SnapBuffer) pos->x = work.left;
    if (std::abs(pos->y - work.top) < SnapBuffer) pos->y = work.top;
}

void TsSkinProvider::SkinnedSysCommand(TMessage& message) {
    HWND h = Form->Handle();
    const WPARAM command = message.WParam & 0xFFF0;
    if (message.WParam == (SC_MOVE | HTCAPTION)) InvalidateRect(h, nullptr, FALSE);
    if (ResizeMode == rmBorder && !dragging_) {
        // A move or resize started with the mouse drags an outline instead.
        const int edge = static_cast<int>(message.WParam & 0xF);
        if ((command == SC_MOVE && edge == HTCAPTION) || (command == SC_SIZE && edge >= 1 && edge <= 8)) {
            const POINT p = CursorAt();
            StartDragResize(p.x, p.y, command == SC_MOVE ? hit::Caption : HTLEFT + edge - 1);
            message.Result = 0;
            return;
        }
    }
    if (IsMDIChild()) {
        const bool f = Form->WindowState() == wsMaximized && command != SC_MAXIMIZE;
        if (f && MDIMainProvider) MDIMainProvider->SkinData->BeginSkinUpdate();
        switch (command) {
            case SC_CLOSE:
                if (f && MDIMainProvider && MDIMainProvider->MDIForm) RefreshMDIParent();
                if (MDIMainProvider) MDIMainProvider->InMenuLoop = true;
                CallOldWndProc(message);
                if (MDIMainProvider) MDIMainProvider->InMenuLoop = false;
                SetHotButton(0, true);
                if (f && MDIMainProvider && MDIMainProvider->MDIForm) RefreshMDIParent();
                break;
            case SC_MINIMIZE:
                CallOldWndProc(message);
                if (f) RefreshMDIParent();
                if (SystemMenu) SystemMenu->UpdateSystemMenuItems();
                TitleStrip.reset();
                SkinData->BackgroundChanged = true;
                RefreshMDIParent();
                break;
            case SC_MAXIMIZE:
                MaximizedChildProvider = this;
                LockFormRedraw(true);
                CallOldWndProc(message);
                UnlockFormRedraw(true);
                RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_UPDATENOW | RDW_FRAME);
                if (MDIMainProvider) {
                    MDIMainProvider->MenuRowCount = -1;
                    if (MDIMainProvider->MDIForm) RefreshMDIParent();
                }
                if (SystemMenu) SystemMenu->UpdateSystemMenuItems();
                break;
            case SC_RESTORE:
                if (MaximizeChildOnPaint) break;
                LockFormRedraw(true);
                CallOldWndProc(message);
                SkinData->BackgroundChanged = true;
                SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) & ~WS_SYSMENU);
                UnlockFormRedraw(true);
                RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_UPDATENOW | RDW_FRAME);
                if (f) RefreshMDIParent();
                if (SystemMenu) SystemMenu->UpdateSystemMenuItems();
                break;
            default:
                CallOldWndProc(message);
                break;
        }
        if (f && MDIMainProvider) MDIMainProvider->SkinData->EndSkinUpdate();
        return;
    }
    CallOldWndProc(message);
    if (IsMDIForm()) {
        if (command == SC_MINIMIZE || command == SC_MAXIMIZE || command == SC_RESTORE) {
            SkinData->BackgroundChanged = true;
            MenuRowCount = -1;
            SendMessageW(h, WM_NCPAINT, 1, 0);
        }
        return;
    }
    switch (command) {
        case SC_MINIMIZE:
            SkinData->BackgroundChanged = true;
            break;
        case SC_MAXIMIZE:
        case SC_RESTORE:
            if (VisibleMax(Frame())) HotCode = hit::MaxButton;
            SetHotButton(0, true);
            if (!IsBordered() && command == SC_RESTORE) {
                SkinData->BackgroundChanged = true;
                SetWindowRgn(h, nullptr, TRUE);
            }
            if (SystemMenu) SystemMenu->UpdateSystemMenuItems();
            break;
        case SC_KEYMENU:
            if (message.LParam == ' ' && IsBordered() && (Form->BorderIcons() & biSystemMenu)) {
                RECT wr;
                GetWindowRect(h, &wr);
                DropSystemMenu(wr.left + FrameWidth(), wr.top + CaptionHeight() + FrameHeight());
            }
            break;
        default:
            break;
    }
}

void TsSkinProvider::SkinnedWndProc(TMessage& message) {
    HWND h = Form->Handle();
    switch (message.Msg) {
        case SM_SKINCMD:
            SkinnedSkinCommand(message);
            return;
        case WM_CREATE:
            TitleStrip.reset();
            if (IsMDIChild())
                MaximizeChildOnPaint = MaximizedChildProvider && MaximizedChildProvider->Form &&
                                       MaximizedChildProvider->Form->WindowState() == wsMaximized;
            CallOldWndProc(message);
            InitSkinning();
            return;
        case WM_SIZE:
            SkinData->BackgroundChanged = true;
            FullRepaint = true;
            MenuRowCount = -1;
            CallOldWndProc(message);
            if (!Showing()) return;
            if (IsMDIChild() && Form->WindowState() == wsMaximized && MDIMainProvider && MDIMainProvider != this) {
                MDIMainProvider->SkinData->BackgroundChanged = true;
                SendMessageW(MDIMainProvider->Form->Handle(), WM_NCPAINT, 1, 0);
            }
            if (const TsGeneralData* gd = SkinData->Section(); gd && gd->GradientPercent > 0)
                for (int i = 0; i < Form->ControlCount(); ++i) {
                    TControl* child = Form->Controls(i);
                    if (!(child->ComponentState() & csDestroying))
                        child->Perform(SM_SKINCMD, SkinCommandWParam(AC_PARENTBGCHANGED, 1), 0);
                }
            if (!IsBordered()) RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_FRAME);
            return;
        case WM_ACTIVATE:
            CallOldWndProc(message);
            if (FormCreating()) return;
            if (FormActive != (LOWORD(message.WParam) != WA_INACTIVE)) {
                FormActive = LOWORD(message.WParam) != WA_INACTIVE;
                SkinData->BackgroundChanged = true;
            }
            MenuRowCount = -1;
            SetMenusSkinned(true);
            if (SystemMenu) SystemMenu->UpdateSystemMenuItems();
            return;
        case WM_SETTEXT:
            if (!Showing() || FormCreating()) {
                CallOldWndProc(message);
                return;
            }
            if (WindowsMajorVersion() < 6) {
                SkinData->BackgroundChanged = true;
                ShowCoverForm(false);
                CallOldWndProc(message);
                HideCoverForm();
                RepaintFrame();
            } else {
                // The default procedure paints the plain caption straight onto the window.
                WithoutRedraw(h, [&] { CallOldWndProc(message); });
                RepaintFrame();
                RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
            }
            return;
        case WM_PAINT:
            if (Showing() && !FormCreating()) {
                PaintFormWindow();
                if (MaximizeChildOnPaint) {
                    MaximizeChildOnPaint = false;
                    if (IsMDIChild()) MaximizedChildProvider = this;
                    Form->SetWindowState(wsMaximized);
                }
                message.Result = 0;
            } else if (Form->AlphaBlend()) {
                CallOldWndProc(message);
            } else {
                // Nothing to show: the request is answered, never left waiting.
                ValidateRect(h, nullptr);
                message.Result = 0;
            }
            return;
        case WM_ERASEBKGND:
            message.Result = 0;
            if (ThemesEnabled() && HasParentBgChild && !ShowAnimated) CallOldWndProc(message);
            return;
        case WM_SYSCOLORCHANGE:
            CallOldWndProc(message);
            RebuildMenuBar();
            return;
        case WM_SHOWWINDOW:
            CallOldWndProc(message);
            if (IsMDIChild() && Form->WindowState() == wsMaximized && MDIMainProvider && MDIMainProvider != this)
                MDIMainProvider->RefreshNonClient();
            return;
        case WM_SETTINGCHANGE:
            SkinData->BackgroundChanged = true;
            TitleStrip.reset();
            CallOldWndProc(message);
            return;
        case WM_CHILDACTIVATE:
            CallOldWndProc(message);
            RebuildMenuBar();
            if (IsMDIChild() && Form->WindowState() == wsMaximized) RepaintFrame();
            return;
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
            if (!IsMDIChild() && Form->Menu() && Manager() && measure && measure->CtlType == ODT_MENU &&
                ProviderCallPoints.HookMenu)
                if (TMenuItem* item = TMenuItem::FromCommand(measure->itemID);
                    item && item->GetParentMenu() == Form->Menu())
                    ProviderCallPoints.HookMenu(item, true);
            CallOldWndProc(message);
            return;
        }
        case WM_WINDOWPOSCHANGING:
            if (RgnChanging) {
                message.Result = 0;
                return;
            }
            if (ScreenSnap && Form->WindowState() != wsMaximized)
                SnapToEdges(reinterpret_cast<WINDOWPOS*>(message.LParam));
            CallOldWndProc(message);
            return;
        case WM_WINDOWPOSCHANGED:
            CallOldWndProc(message);
            if (Showing() && !RgnChanging && !SkinIsChanging && !FormCreating() && CacheSizeChanged()) {
                FullRepaint = true;
                SkinData->BackgroundChanged = true;
                MenuRowCount = -1;
                SendMessageW(h, WM_NCPAINT, 1, 0);
            }
            return;
        case WM_NOTIFY: {
            CallOldWndProc(message);
            auto* header = reinterpret_cast<NMHDR*>(message.LParam);
            if (header && static_cast<int>(header->code) == kTabSelChange && Adapter) Adapter->AddAllControls(nullptr);
            return;
        }
        case WM_NCHITTEST: {
            if (CaptionHeight() == 0) {
                CallOldWndProc(message);
                return;
            }
            int code = NCHitTest(message);
            if (code == hit::Nowhere || code == hit::Client) {
                CallOldWndProc(message);
                code = static_cast<int>(message.Result);
                SetHotButton(0, true);
            }
            message.Result = code;
            if (ResizeMode == rmBorder && PendingResizeHit == 0 && IsOutlineHit(code)) PendingResizeHit = code;
            return;
        }
        case WM_NCPAINT:
            NCPaint(message);
            return;
        case WM_NCACTIVATE:
            NCActivate(message);
            return;
        case WM_NCLBUTTONDOWN: {
            const int code = static_cast<int>(message.WParam);
            message.Result = 0;
            if (code == hit::SysMenu) {
                SetHotButton(0, true);
                RECT wr;
                GetWindowRect(h, &wr);
                DropSystemMenu(wr.left + FrameWidth(), wr.top + CaptionHeight() + FrameHeight());
                return;
            }
            if (code == hit::MinButton || code == hit::MaxButton || code == hit::Close || code == hit::Help ||
                code == hit::MDIClose) {
                SetPressedButton(code);
                return;
            }
            if (code == hit::MDIMax || code == hit::MDIMin) {
                if (MaximizedChildProvider && MaximizedChildProvider->Form) {
                    const TSystemMenuItems child = skin::UpdateSystemMenuItems(MaximizedChildProvider->Frame());
                    if (!(code == hit::MDIMin ? child.ItemMinimize.Enabled : child.ItemRestore.Enabled)) return;
                }
                SetPressedButton(code);
                return;
            }
            if (code >= hit::TitleButton0) {
                if (TsTitleButton* button = TitleButtons->Items(code - hit::TitleButton0)) {
                    SetPressedButton(code);
                    const POINT p = PointOf(message.LParam);
                    if (button->OnMouseDown) button->OnMouseDown(button, mbLeft, 0, p.x, p.y);
                }
                return;
            }
            if (IsIconic(h)) {
                Form->Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, message.LParam);
                return;
            }
            SetHotButton(0, true);
            if (ResizeMode == rmBorder && IsOutlineHit(code)) {
                const POINT p = PointOf(message.LParam);
                StartDragResize(p.x, p.y, code);
                return;
            }
            CallOldWndProc(message);
            return;
        }
        case WM_NCLBUTTONUP:
            ButtonUp(message, static_cast<int>(message.WParam));
            return;
        case WM_LBUTTONUP: {
            // Its WParam holds the keys, not a hit code: only a press of a
            // caption button makes its point ours to test.
            if (dragging_) {
                const POINT p = CursorAt();
                DragResizeFrame(p.x, p.y);
                FinishDragResize();
                message.Result = 0;
                return;
            }
            if (!CaptionButtonPressed) {
                CallOldWndProc(message);
                return;
            }
            POINT p = PointOf(message.LParam);
            ClientToScreen(h, &p);
            TMessage test{WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y), 0};
            const int code = NCHitTest(test);
            if (ButtonRecord(code))
                ButtonUp(message, code);
            else
                CallOldWndProc(message);
            return;
        }
        case WM_NCLBUTTONDBLCLK: {
            if (dragging_) FinishDragResize();
            message.Result = 0;
            const int code = static_cast<int>(message.WParam);
            if (code == hit::SysMenu) {
                Form->Close();
                return;
            }
            if (code == hit::Caption) {
                const TSystemMenuItems items = skin::UpdateSystemMenuItems(Frame());
                const bool iconic = IsIconic(h);
                if (((Form->BorderIcons() & biSystemMenu) && (items.ItemMaximize.Enabled || items.ItemRestore.Enabled)) ||
                    (!IsBordered() && iconic)) {
                    if (Form->WindowState() == wsMaximized || iconic) {
                        SendMessageW(h, WM_SYSCOMMAND, SC_RESTORE, 0);
                    } else {
                        if (IsMDIChild()) MaximizedChildProvider = this;
                        SendMessageW(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
                    }
                    if (SystemMenu) SystemMenu->UpdateSystemMenuItems();
                }
            }
            return;
        }
        case WM_NCRBUTTONDOWN:
            if (message.WParam == hit::Caption || message.WParam == hit::SysMenu) {
                message.Result = 0;
                return;
            }
            CallOldWndProc(message);
            return;
        case WM_NCRBUTTONUP:
            if (!IsBordered()) {
                CallOldWndProc(message);
                return;
            }
            message.Result = 0;
            if (message.WParam == hit::Caption || message.WParam == hit::SysMenu) {
                SetHotButton(0, true);
                const POINT p = PointOf(message.LParam);
                DropSystemMenu(p.x, p.y);
            }
            return;
        case WM_SYSCOMMAND:
            SkinnedSysCommand(message);
            return;
        case WM_ENTERIDLE:
            message.Result = 0;
            return;
        case WM_MOUSEMOVE:
            CallOldWndProc(message);
            if (DefaultManager) DefaultManager->SetHotWindow(nullptr);
            if (dragging_) {
                const POINT p = CursorAt();
                DragResizeFrame(p.x, p.y);
            }
            return;
        case WM_CAPTURECHANGED:
            CallOldWndProc(message);
            if (dragging_ && reinterpret_cast<HWND>(message.LParam) != h) FinishDragResize();
            return;
        case WM_PARENTNOTIFY: {
            const WORD event = LOWORD(message.WParam);
            CallOldWndProc(message);
            if (FormLoading() || (event != WM_CREATE && event != WM_DESTROY)) return;
            if (event == WM_CREATE && Adapter) Adapter->AddAllControls(nullptr);
            if (ListSW && !ListSW->Destroyed) UpdateScrollInfo(ListSW.get(), true);
            return;
        }
        case WM_ENTERMENULOOP:
            if (IsMDIForm() && Frame().ShowMDIChildButtons) InMenuLoop = true;
            CallOldWndProc(message);
            return;
        case WM_EXITMENULOOP:
            InMenuLoop = false;
            CallOldWndProc(message);
            return;
        case WM_SIZING:
            CallOldWndProc(message);
            if (CacheSizeChanged()) {
                SkinData->BackgroundChanged = true;
                MenuRowCount = -1;
            }
            return;
        case WM_MDIDESTROY:
        case WM_MDIACTIVATE:
            CallOldWndProc(message);
            if (IsMDIChild() && Form->WindowState() != wsMaximized && MDIMainProvider && MDIMainProvider != this &&
                !(MDIMainProvider->ComponentState() & csDestroying)) {
                MDIMainProvider->MenuBarTold = false;
                MDIMainProvider->MenuChanged = true;
                MDIMainProvider->SkinData->BackgroundChanged = true;
                MDIMainProvider->MenuRowCount = -1;
                SendMessageW(MDIMainProvider->Form->Handle(), WM_NCPAINT, 1, 0);
            }
            if (IsMDIChild()) MaximizedChildProvider = this;
            return;
        case WM_NCMOUSELEAVE:
        case WM_MOUSELEAVE:
        case CM_MOUSELEAVE:
            SetHotButton(0, true);
            CallOldWndProc(message);
            return;
        case WM_PRINT: {
            message.Result = 0;
            if (!Showing() || FormLoading() || FormCreating()) return;
            if (!MenuBarTold) {
                MenuBarTold = true;
                RebuildMenuBar();
            }
            SkinData->Updating = false;
            HDC dc = reinterpret_cast<HDC>(message.WParam);
            PaintFrameToDC(dc);
            const int saved = SaveDC(dc);
            const int ox = ClientOffsetX(), oy = ClientOffsetY();
            RECT client;
            GetClientRect(h, &client);
            OffsetViewportOrgEx(dc, ox, oy, nullptr);
            IntersectClipRect(dc, 0, 0, client.right, client.bottom);
            PaintClientArea(dc, false);
            if (message.LParam & PRF_CHILDREN) PrintChildWindows(h, dc, static_cast<UINT>(message.LParam));
            RestoreDC(dc, saved);
            return;
        }
        case WM_PRINTCLIENT:
            message.Result = 0;
            return;
        case CM_VISIBLECHANGED:
            CallOldWndProc(message);
            if (message.WParam == 0 && !FormDestroying() && SkinData->CacheBitmap) {
                SkinData->CacheBitmap->SetSize(0, 0);
                SkinData->BackgroundChanged = true;
            }
            return;
        case CM_ENABLEDCHANGED:
            CallOldWndProc(message);
            SkinData->BackgroundChanged = true;
            SendMessageW(h, WM_NCPAINT, 1, 0);
            return;
        case CM_COLORCHANGED:
            if (SkinData->CustomColor()) {
                if (!FormCreating()) SkinData->BackgroundChanged = true;
                CallOldWndProc(message);
            }
            return;
        case CM_MENUCHANGED:
            if (Showing() && !FormCreating()) MenuChanged = true;
            CallOldWndProc(message);
            return;
        case CM_SHOWINGCHANGED:
            if (!(SkinData->BackgroundChanged && WindowsMajorVersion() < 6 && Form->Showing())) {
                CallOldWndProc(message);
                return;
            }
            if (Adapter) Adapter->AddAllControls(nullptr);
            SkinData->Updating = true;
            CallOldWndProc(message);
            RefreshFormScrollBars();
            RgnChanging = false;
            if (IsMDIChild() && Form->WindowState() == wsMaximized && MDIMainProvider && MDIMainProvider != this)
                MDIMainProvider->RefreshNonClient();
            return;
        case CM_CONTROLLISTCHANGE:
            CallOldWndProc(message);
            if (Adapter)
                if (auto* control = dynamic_cast<TWinControl*>(reinterpret_cast<TControl*>(message.WParam)))
                    Adapter->AddItem(control);
            return;
        default:
            CallOldWndProc(message);
            return;
    }
}

}  // namespace skin
