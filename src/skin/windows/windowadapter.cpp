#include "skin/windows/windowadapter.h"

#include "skin/core/maskpaint.h"
#include "skin/core/pixelcopy.h"
#include "skin/core/skincommands.h"
#include "skin/core/win32/deferredfree.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/core/win32/skinpaint.h"
#include "vcl/forms.h"
#include "vcl/wintext.h"

namespace skin {

using namespace vcl;

namespace {

const WCHAR kAdapterProp[] = L"ACSBSC";
// The procedure our static procedure passes on to after its adapter let the
// window go while another procedure sat on top of ours.
const WCHAR kReplacedProp[] = L"NorvixAdapterReplaced";

WNDPROC ReplacedProcedure(HWND window) { return reinterpret_cast<WNDPROC>(GetPropW(window, kReplacedProp)); }

bool WindowProcedureIsOurs(HWND window) {
    return GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AdapterWindowProc);
}

}  // namespace

TacMainWnd* GetScrollWnd(HWND window) {
    if (!window) return nullptr;
    return static_cast<TacMainWnd*>(GetPropW(window, kAdapterProp));
}

LRESULT CALLBACK AdapterWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TacMainWnd* adapter = GetScrollWnd(window);
    LRESULT result = 0;
    if (adapter && adapter->takeover_ == TAdapterTakeover::PlainWindow && !adapter->Destroyed) {
        TMessage message{msg, wParam, lParam, 0};
        try {
            adapter->Dispatch(message);
        } catch (...) {
            vcl::detail::HandleException();
        }
        result = message.Result;
    } else if (WNDPROC replaced = ReplacedProcedure(window)) {
        result = CallWindowProcW(replaced, window, msg, wParam, lParam);
    } else {
        result = DefWindowProcW(window, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) RemovePropW(window, kReplacedProp);
    return result;
}

TacMainWnd::TacMainWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager, const std::string& section,
                       bool repaint)
    : CtrlHandle(window), SkinManager(skinManager), SkinData(skinData), repaint_(repaint) {
    if (section != "DIALOG" && window) {
        static const WCHAR kNoTheme[] = L" ";
        SetWindowThemeOf(window, kNoTheme, kNoTheme);
        themeOff_ = true;
    }
    if (!SkinData) {
        OwnSkinData = true;
        SkinData = new TsCommonData(nullptr, true);
        if (skinManager) SkinData->SetSkinManager(skinManager);
    } else if (!SkinManager) {
        SkinManager = SkinData->SkinManager();
    }
    if (!SkinManager) SkinManager = SkinData->SkinManager();
    if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(section);
}

TacMainWnd::~TacMainWnd() {
    ReleaseWindow();
    if (OwnSkinData) delete SkinData;
    SkinData = nullptr;
    SkinManager = nullptr;
}

bool TacMainWnd::HasOldWndMethod() const {
    return takeover_ == TAdapterTakeover::Control || takeover_ == TAdapterTakeover::ProviderForm;
}

TsSkinManager* TacMainWnd::Manager() const {
    if (SkinManager && IsLiveManager(SkinManager)) return SkinManager;
    return SkinData ? SkinData->SkinManager() : DefaultManager;
}

void TacMainWnd::ReadCaption() {
    if (CtrlHandle && IsWindow(CtrlHandle)) Caption = GetWindowText1251(CtrlHandle);
}

void TacMainWnd::Start() {
    if (takeover_ != TAdapterTakeover::None || Destroyed || !CtrlHandle) return;
    SaveCtrlParams();
    ParamsChanged = false;
    ReadCaption();
    TakeOver(repaint_);
    if (SkinData && SkinData->OwnerControl)
        SkinData->OwnerControl->SetControlStyle(SkinData->OwnerControl->ControlStyle() | csOpaque);
}

void TacMainWnd::TakeOver(bool) { HookWndProc(CtrlHandle); }

TControl* TacMainWnd::ProcedureOwner() const {
    if (!SkinData) return nullptr;
    if (auto* provider = dynamic_cast<TsProviderLink*>(SkinData->OwnerObject)) return provider->ProviderForm();
    return SkinData->OwnerControl;
}

void TacMainWnd::HookWndProc(HWND window) {
    if (takeover_ != TAdapterTakeover::None || !window) return;
    InScrollMessage = false;
    CtrlHandle = window;
    SetPropW(window, kAdapterProp, this);
    const bool provider = SkinData && dynamic_cast<TsProviderLink*>(SkinData->OwnerObject);
    if (TControl* owner = ProcedureOwner()) {
        // The adapter goes on top of the control's (or the provider's form's)
        // chain: it sees every message first and passes on below itself.
        takeover_ = provider ? TAdapterTakeover::ProviderForm : TAdapterTakeover::Control;
        procOwner_ = owner;
        token_ = owner->ReplaceWindowProc([this](TMessage& message) { Dispatch(message); });
        return;
    }
    takeover_ = TAdapterTakeover::PlainWindow;
    if (WNDPROC replaced = ReplacedProcedure(window)) {
        // An earlier adapter's procedure is still in the window's chain,
        // below whatever was set over it: this adapter answers there.
        oldWndProc_ = replaced;
        return;
    }
    oldWndProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AdapterWindowProc)));
    SetPropW(window, kReplacedProp, reinterpret_cast<HANDLE>(oldWndProc_));
}

void TacMainWnd::GiveProcedureBack() {
    switch (takeover_) {
        case TAdapterTakeover::Control:
        case TAdapterTakeover::ProviderForm:
            // Any replacement may leave the chain in any order; the others stay.
            if (procOwner_) procOwner_->RestoreWindowProc(token_);
            break;
        case TAdapterTakeover::PlainWindow:
            if (IsWindow(CtrlHandle) && WindowProcedureIsOurs(CtrlHandle) && ReplacedProcedure(CtrlHandle) == oldWndProc_) {
                SetWindowLongPtrW(CtrlHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldWndProc_));
                RemovePropW(CtrlHandle, kReplacedProp);
            }
            // Otherwise our procedure stays below the newer one and, finding
            // no adapter, passes everything straight on.
            break;
        case TAdapterTakeover::None:
            break;
    }
}

bool TacMainWnd::LetWindowGo(bool restoreTheme) {
    if (Destroyed) return false;
    const bool alive = CtrlHandle && IsWindow(CtrlHandle);
    if (alive && restoreTheme && themeOff_) SetWindowThemeOf(CtrlHandle, nullptr, nullptr);
    GiveProcedureBack();
    if (alive && GetScrollWnd(CtrlHandle) == this) RemovePropW(CtrlHandle, kAdapterProp);
    RestoreCtrlParams();
    Destroyed = true;
    WindowReleased();
    return true;
}

void TacMainWnd::UnhookWndProc(HWND window, bool redrawMode) {
    if (LetWindowGo(false) && window && IsWindowVisible(window)) RedrawNonClient(window, redrawMode);
}

void TacMainWnd::ReleaseWindow() { LetWindowGo(true); }

void TacMainWnd::Dispatch(TMessage& message) {
    // Whatever this message frees of the skin engine, this adapter
    // included, is freed when the scope ends: nothing of the adapter is
    // touched after it.
    TSkinMessageScope scope;
    if (Destroyed)
        CallPrevWndProc(message);
    else
        AdapterWndProc(message);
}

LRESULT TacMainWnd::CallPrevWndProc(UINT msg, WPARAM wParam, LPARAM& lParam) {
    if (procOwner_ && token_) {
        TMessage message{msg, wParam, lParam, 0};
        procOwner_->CallPreviousWindowProc(token_, message);
        lParam = message.LParam;
        return message.Result;
    }
    if (oldWndProc_) return CallWindowProcW(oldWndProc_, CtrlHandle, msg, wParam, lParam);
    return 0;
}

bool TacMainWnd::HandleRootSkinCommand(TMessage& message, UINT redrawFlags) {
    const bool ours = message.LParam != 0 && reinterpret_cast<TsSkinManager*>(message.LParam) == SkinData->SkinManager();
    switch (SkinCommandOf(message.WParam)) {
        case AC_SKINLOADED:
            if (ours) {
                SkinData->RefreshSkinIndexes();
                SkinData->BackgroundChanged = true;
            }
            return false;
        case AC_SKINREMOVED:
            if (ours) RestoreCtrlParams();
            return false;
        case AC_SKINREFRESH:
            if (!ours) return false;
            SkinData->RefreshSkinIndexes();
            SkinData->BackgroundChanged = true;
            SkinData->Updating = false;
            SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
            return true;
        case AC_QUERYCACHE: {
            ReplyCacheInfo = TParentCacheInfo{};
            // Only a picture of at least one pixel is an answer.
            TBitmap* cache = SkinData->CacheBitmap.get();
            if (cache && cache->Width() >= 1 && cache->Height() >= 1)
                ReplyCacheInfo = MakeParentCacheInfo(cache->Pixels(), 0, 0);
            return true;
        }
        case AC_REDRAWBG:
            if (SkinData->IsSkinUpdating()) {
                SkinData->SetUpdateFlag(false);
                RedrawWindow(CtrlHandle, nullptr, nullptr, redrawFlags);
            }
            return true;
        case AC_QUERYUPDATING:
            // The result carries the answer too: a plain window's asker sees only that.
            message.LParam = message.Result = SkinData->BackgroundChanged || SkinData->IsSkinUpdating() ? 1 : 0;
            return true;
        case AC_QUERYBGVARIES:
        case AC_QUERYBGCOLOR:
            if (!SkinData->OwnerControl) return false;
            SkinData->HandleSkinCommand(message);
            return true;
        case AC_PREPARECACHE:
            PrepareParentCache(SkinData, CtrlHandle, false);
            return false;
        case AC_QUERYAPPLICATION:
            message.Result = reinterpret_cast<LRESULT>(Application);
            return true;
        default:
            return false;
    }
}

void TacMainWnd::AdapterWndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_DESTROY:
        case WM_NCDESTROY:
            // Passed on first, so that what lies below us hears it too; then
            // the window is let go (a dying window is not redrawn).
            CallPrevWndProc(message);
            if (takeover_ != TAdapterTakeover::None) LetWindowGo(false);
            return;
        case WM_SIZE:
            if (SkinData) SkinData->BackgroundChanged = true;
            break;
        case WM_SETTEXT:
            CallPrevWndProc(message);
            ReadCaption();
            return;
        case WM_UPDATEUISTATE:
            return;
        case WM_PRINT:
            message.Result = SendMessageW(CtrlHandle, WM_PAINT, message.WParam, message.LParam);
            return;
        case WM_MOUSEMOVE:
            if (DefaultManager && !(DefaultManager->ComponentState() & csDesigning) && IsWindowEnabled(CtrlHandle) &&
                DefaultManager->HotWindow != CtrlHandle)
                DefaultManager->SetHotWindow(CtrlHandle);
            break;
    }
    // Asked whether the window is skinned, an adapter always says so: a
    // second adapter must never stack on this one, skin or no skin.
    if (message.Msg == SM_SKINCMD && SkinCommandOf(message.WParam) == AC_QUERYSKINNED) {
        message.LParam = message.Result = 1;
        return;
    }
    // A manager whose skin is out (or not yet sent) leaves the window to itself.
    TsSkinManager* manager = Manager();
    if (!SkinData || !manager || !(manager->SkinActive() || SkinSending)) {
        CallPrevWndProc(message);
        return;
    }
    if (message.Msg == SM_SKINCMD &&
        HandleRootSkinCommand(message, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME))
        return;
    CallPrevWndProc(message);
}

void RedrawNonClient(HWND window, bool useSetWindowPos) {
    if (!window) return;
    if (useSetWindowPos)
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    else
        SendMessageW(window, WM_NCPAINT, 1, 0);
}

TWinControl* FindWinControlByHandle(TWinControl* parent, HWND window) {
    if (!parent || !window) return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
        if (!child) continue;
        if (child->HandleAllocated() && child->Handle() == window) return child;
        if (child->ControlStyle() & csAcceptsControls)
            if (TWinControl* found = FindWinControlByHandle(child, window)) return found;
    }
    return nullptr;
}

void PrepareParentCache(TsCommonData* data, HWND window, bool useBorderColor) {
    if (!data || !window || !data->BackgroundChanged) return;
    RECT wr{};
    GetWindowRect(window, &wr);
    const int width = wr.right - wr.left, height = wr.bottom - wr.top;
    if (!data->CacheBitmap) data->CacheBitmap = std::make_unique<TBitmap>();
    data->CacheBitmap->SetPixelFormat(pf24bit);
    if (data->CacheBitmap->Width() != width || data->CacheBitmap->Height() != height)
        data->CacheBitmap->SetSize(width, height);
    TsSkinManager* manager = data->SkinManager();
    const TPixels pixels = data->CacheBitmap->Pixels();
    HWND parent = GetParent(window);
    POINT at{wr.left, wr.top};
    if (parent) ScreenToClient(parent, &at);
    TParentCacheInfo parentCache;
    if (parent) TsCommonData::GetParentCacheHwnd(window, parentCache);

    const TColor border = DefaultManager ? DefaultManager->SkinData().BorderColor : clFuchsia;
    if (!useBorderColor || border == clFuchsia) {
        if (parent && manager && manager->IsValidSkinIndex(data->SectionIndex))
            PaintControlSection(data, parentCache, data->CacheBitmap.get(), TPoint{at.x, at.y},
                                TRect{0, 0, width, height}, 0);
    } else {
        FillRect(pixels, TRect{0, 0, width, height}, static_cast<TColor>(ColorToRGB(border)));
    }
    if (data->OwnerControl && !data->OwnerControl->Enabled()) {
        SendSkinCommand(window, AC_RESETDISABLEDLOOK);
        TParentCacheInfo behind = parentCache;
        behind.X += at.x;
        behind.Y += at.y;
        TWinControl* ownerParent = data->OwnerControl->Parent();
        const TColor parentColor = static_cast<TColor>(ColorToRGB(ownerParent ? ownerParent->Color() : clBtnFace));
        PaintDisabledLook(pixels, 1, behind, parentColor);
    }
    data->BackgroundChanged = false;
}

}  // namespace skin
