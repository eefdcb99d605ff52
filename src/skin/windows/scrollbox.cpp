#include "skin/windows/scrollbox.h"

#include <commctrl.h>

#include "skin/core/skincommands.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/core/win32/skinpaint.h"
#include "skin/windows/editadapters.h"
#include "vcl/forms.h"

namespace skin {

using namespace vcl;

namespace {
constexpr int kScrollBoxTypeCode = 58;  // the default section PANEL_LOW
constexpr unsigned kRepaintBox = 18;    // paint the box and its frame now
}  // namespace

TsScrollBox::TsScrollBox(TComponent* owner) : TScrollBox(owner), data_(this, true) {
    data_.ControlTypeCode = kScrollBoxTypeCode;
    if (!(ComponentState() & (csLoading | csReading))) data_.SkinDataLoaded();
}

TsScrollBox::~TsScrollBox() {
    // The bars' adapter lets the window go while the box still answers.
    scrollWnd_.reset();
    retired_.reset();
}

void TsScrollBox::OnLoaded() { data_.SkinDataLoaded(); }

void TsScrollBox::SetParent(TWinControl* parent) {
    TScrollBox::SetParent(parent);
    if (parent && !(ComponentState() & csDestroying)) {
        data_.SkinDataLoaded();
        UpdateScrolls();
    }
}

int TsScrollBox::ClientEdge() const {
    if (!HandleAllocated()) return 0;
    RECT wr{};
    GetWindowRect(Handle(), &wr);
    POINT origin{0, 0};
    ::ClientToScreen(Handle(), &origin);
    return origin.x - wr.left;
}

void TsScrollBox::UpdateScrolls() {
    if (!HandleAllocated() || (ComponentState() & csDestroying)) return;
    retired_.reset();
    if (data_.HasValidSkin()) {
        UpdateSkinnedScrolls(&data_, scrollWnd_);
    } else if (scrollWnd_) {
        // Let go now, freed later: this may run inside a message the adapter passed on.
        scrollWnd_->ReleaseWindow();
        retired_ = std::move(scrollWnd_);
        // Its own background is erased again.
        SetControlStyle(ControlStyle() & ~static_cast<unsigned>(csOpaque));
        InitializeFlatSB(Handle());
        if (IsWindowVisible(Handle())) RedrawNonClient(Handle(), true);
    }
}

void TsScrollBox::PrepareCache() {
    data_.InitCacheBitmap();
    TParentCacheInfo parent;
    data_.GetParentCache(parent);
    PaintControlSection(&data_, parent, data_.CacheBitmap.get(), TPoint{Left(), Top()},
                        TRect{0, 0, Width(), Height()}, 0);
    if (OnPaint) OnPaint(this, data_.CacheBitmap.get());
    data_.BackgroundChanged = false;
}

void TsScrollBox::PaintWindow(HDC dc) {
    if (!data_.HasValidSkin()) {
        TScrollBox::PaintWindow(dc);
        return;
    }
    if (data_.IsSkinUpdating()) {
        data_.Updating = true;
        return;
    }
    const bool changed = data_.BackgroundChanged || !data_.CacheBitmap || data_.CacheBitmap->Empty();
    if (changed && !data_.PaintingChild) PrepareCache();
    TBitmap* cache = data_.CacheBitmap.get();
    if (!cache || cache->Empty()) return;
    // The client part of the cache; the child windows paint themselves.
    const int edge = ClientEdge();
    const int saved = SaveDC(dc);
    for (int i = 0; i < ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(Controls(i));
        if (!child || !child->Visible()) continue;
        const RECT b = child->BoundsRect();
        ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
    }
    DrawPixels(dc, 0, 0, cache->Pixels(), TRect{edge, edge, edge + ClientWidth(), edge + ClientHeight()});
    RestoreDC(dc, saved);
    if (changed) RepaintChildControls(this);
}

void TsScrollBox::PaintFrame(HDC windowDC) {
    if (data_.IsSkinUpdating()) {
        data_.Updating = true;
        return;
    }
    const bool changed = data_.BackgroundChanged || !data_.CacheBitmap || data_.CacheBitmap->Empty();
    if (changed) PrepareCache();
    // The border's clear corners show what lies behind the box.
    PaintBorderFast(&data_, Handle(), 0);
    TBitmap* cache = data_.CacheBitmap.get();
    HDC dc = windowDC ? windowDC : GetWindowDC(Handle());
    if (!dc) return;
    const int ring = ClientEdge();
    if (ring > 0 && cache && !cache->Empty())
        CopyFrameRect(dc, cache->Canvas()->Handle(), TRect{0, 0, cache->Width(), cache->Height()}, ring);
    if (scrollWnd_ && !scrollWnd_->Destroyed) scrollWnd_->PaintScrollBars(dc);
    if (!windowDC) ReleaseDC(Handle(), dc);
    // Controls that waited for the new picture paint now: the client paint
    // that follows finds the picture made and tells them nothing.
    if (changed) RepaintChildControls(this);
}

void TsScrollBox::HandleSkinCommand(TMessage& message) {
    const unsigned command = SkinCommandOf(message.WParam);
    HWND window = Handle();
    const bool ours = message.LParam != 0 && reinterpret_cast<TsSkinManager*>(message.LParam) == data_.SkinManager();
    auto toChildren = [this, &message] {
        TMessage copy = message;
        BroadcastToChildren(this, copy);
    };
    if (AnswerSkinnedQuery(message)) return;
    switch (command) {
        case AC_SKINLOADED:
            data_.HandleSkinCommand(message);
            toChildren();
            if (ours) UpdateScrolls();
            return;
        case AC_SKINREMOVED:
            data_.HandleSkinCommand(message);
            toChildren();
            if (ours) {
                UpdateScrolls();
                RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            }
            return;
        case AC_SKINREFRESH:
            data_.HandleSkinCommand(message);
            toChildren();
            if (ours && Showing()) {
                UpdateScrolls();
                RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
            }
            return;
        case AC_REDRAWBG:
            data_.Updating = false;
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            return;
        case AC_QUERYCACHE: {
            // Children sit in the client area: their offset in the cache includes the border.
            ReplyCacheInfo = TParentCacheInfo{};
            TBitmap* cache = data_.CacheBitmap.get();
            if (cache && !cache->Empty()) ReplyCacheInfo = MakeParentCacheInfo(cache->Pixels(), ClientEdge(), ClientEdge());
            return;
        }
        case AC_BEFORESCROLL:
            if (OnBeforeScroll) OnBeforeScroll(this);
            SendMessageW(window, WM_SETREDRAW, FALSE, 0);
            return;
        case AC_AFTERSCROLL:
            SendMessageW(window, WM_SETREDRAW, TRUE, 0);
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            if (OnAfterScroll) OnAfterScroll(this);
            return;
        case kRepaintBox:
            data_.BackgroundChanged = true;
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
            return;
        case AC_SETFULLPAINT:
            data_.HandleSkinCommand(message);
            if (data_.FullPaint && data_.HasValidSkin()) PrepareCache();
            return;
        default:
            if (!data_.HandleSkinCommand(message)) TScrollBox::WndProc(message);
            return;
    }
}

void TsScrollBox::WndProc(TMessage& message) {
    if (message.Msg == SM_SKINCMD) {
        HandleSkinCommand(message);
        return;
    }
    const bool skinned = HandleAllocated() && data_.HasValidSkin();
    if (skinned && data_.HandleCommonMessage(message)) return;
    switch (message.Msg) {
        case WM_NCPAINT:
            if (!skinned) break;
            PaintFrame(nullptr);
            message.Result = 0;
            return;
        case WM_ERASEBKGND:
            if (!skinned) break;
            message.Result = 1;
            return;
        case CM_SHOWINGCHANGED:
            TScrollBox::WndProc(message);
            UpdateScrolls();
            return;
        default:
            break;
    }
    TScrollBox::WndProc(message);
    switch (message.Msg) {
        case CM_CONTROLLISTCHANGE:
        case CM_CONTROLCHANGE:
        case WM_SIZE:
        case WM_MOUSEWHEEL:
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (scrollWnd_ && !scrollWnd_->Destroyed) UpdateScrollInfo(scrollWnd_.get(), true);
            break;
        default:
            break;
    }
}

}  // namespace skin
