#include "skin/core/win32/formbroadcast.h"

#include <algorithm>

#include "skin/core/blend.h"
#include "skin/core/skinlookups.h"
#include "skin/core/win32/skingdi.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/core/win32/skinmessages.h"

namespace skin {

using namespace vcl;

// Never destroyed: forms freed at exit still leave it.
std::vector<TForm*>& SkinnedForms = *new std::vector<TForm*>;

namespace {

// The forms whose redraw LockForms switched off, until UnlockForms.
struct LockedForm {
    TsSkinManager* Manager;
    TForm* Form;
    bool operator==(const LockedForm&) const = default;
};
std::vector<LockedForm>& LockedForms = *new std::vector<LockedForm>;

bool Destroying(const TComponent* c) { return (c->ComponentState() & csDestroying) != 0; }

// The forms that a lock concerns: top level, visible, and skinned by the manager.
template <class Action>
void ForLockableForms(TsSkinManager* manager, const Action& action) {
    for (size_t i = 0; i < SkinnedForms.size(); ++i) {
        TForm* form = SkinnedForms[i];
        if (!form || Destroying(form) || !form->HandleAllocated()) continue;
        if (form->FormStyle() == fsMDIChild || form->Parent() || !form->Visible()) continue;
        TsProviderLink* provider = FormProvider(form);
        if (provider && provider->ProviderManager() == manager) action(form, provider);
    }
}

void SendToForm(TForm* form, TMessage& message) {
    if (form->HandleAllocated())
        message.Result = SendMessageW(form->Handle(), message.Msg, message.WParam, message.LParam);
    BroadcastToChildren(form, message);
}

}  // namespace

int AddSkinnedForm(TForm* form) {
    SkinnedForms.push_back(form);
    return static_cast<int>(SkinnedForms.size());
}

void RemoveSkinnedForm(TForm* form) {
    SkinnedForms.erase(std::remove(SkinnedForms.begin(), SkinnedForms.end(), form), SkinnedForms.end());
    LockedForms.erase(std::remove_if(LockedForms.begin(), LockedForms.end(), [form](const LockedForm& f) { return f.Form == form; }),
                      LockedForms.end());
}

TsProviderLink* FormProvider(TForm* form) {
    if (!form || !form->HandleAllocated()) return nullptr;
    return reinterpret_cast<TsProviderLink*>(SendSkinCommand(form->Handle(), AC_QUERYPROVIDER));
}

void LockForms(TsSkinManager* manager) {
    ForLockableForms(manager, [manager](TForm* form, TsProviderLink*) {
        SendMessageW(form->Handle(), WM_SETREDRAW, 0, 0);
        const LockedForm entry{manager, form};
        if (std::find(LockedForms.begin(), LockedForms.end(), entry) == LockedForms.end()) LockedForms.push_back(entry);
    });
}

void UnlockForms(TsSkinManager* manager, bool repaint) {
    // Exactly the forms that were locked: one hidden meanwhile would keep its
    // redraw off, and with it the window it shows.
    std::vector<TForm*> forms;
    for (auto it = LockedForms.begin(); it != LockedForms.end();) {
        if (it->Manager != manager) {
            ++it;
            continue;
        }
        forms.push_back(it->Form);
        it = LockedForms.erase(it);
    }
    for (TForm* form : forms) {
        if (std::find(SkinnedForms.begin(), SkinnedForms.end(), form) == SkinnedForms.end()) continue;
        if (Destroying(form) || !form->HandleAllocated()) continue;
        TsProviderLink* provider = FormProvider(form);
        if (!form->Visible()) {
            // Redraw on shows the window again: it was hidden while locked.
            SendMessageW(form->Handle(), WM_SETREDRAW, 1, 0);
            ShowWindow(form->Handle(), SW_HIDE);
            continue;
        }
        // Without a skin the form went back to its plain look: no skin to
        // fade in, and the system draws the frame and erases the background.
        const bool skinned = manager->SkinActive();
        const TacFormAnimation& fade = manager->AnimEffects().SkinChanging;
        if (repaint && skinned && fade.Active) AnimShowControl(form, IsWindows6OrLater() ? 0 : fade.Time);
        SendMessageW(form->Handle(), WM_SETREDRAW, 1, 0);
        if (!repaint) continue;
        if (!skinned) {
            RedrawWindow(form->Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            continue;
        }
        if (!IsWindows6OrLater() && provider) {
            SetWindowRgn(form->Handle(), nullptr, FALSE);
            provider->RebuildRegion();
        }
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

void BroadcastToForms(TMessage& message) {
    for (int i = Application->ComponentCount() - 1; i >= 0; --i) {
        if (i >= Application->ComponentCount()) continue;  // a handler freed forms
        auto* form = dynamic_cast<TForm*>(Application->Components(i));
        if (!form || form->FormStyle() == fsMDIChild) continue;
        if (form->ComponentState() & (csDestroying | csLoading)) continue;
        if (AskSkinCommand(form, AC_QUERYSKINNED)) continue;  // its provider hears it below
        SendToForm(form, message);
    }
    BroadcastToSkinnedForms(message);
}

void BroadcastToSkinnedForms(TMessage& message) {
    for (size_t i = 0; i < SkinnedForms.size(); ++i) {
        TForm* form = SkinnedForms[i];
        if (form && !Destroying(form)) SendToForm(form, message);
    }
}

bool GraphicChildIsPaintable(TControl* control, const RECT& clip) {
    auto* graphic = dynamic_cast<TGraphicControl*>(control);
    if (!graphic || Destroying(graphic)) return false;
    if (!graphic->Visible() && !(graphic->ComponentState() & csDesigning)) return false;
    if (graphic->Width() < 1 || graphic->Height() < 1) return false;
    const RECT bounds = graphic->BoundsRect();
    RECT common;
    return IntersectRect(&common, &bounds, &clip) != 0;
}

void PaintGraphicControls(HDC dc, TWinControl* control, POINT offset) {
    if (!control || !control->Visible() || control->ControlCount() == 0) return;
    RECT clip;
    if (GetClipBox(dc, &clip) == NULLREGION || clip.right <= clip.left || clip.bottom <= clip.top) {
        ControlSkinCommand(control, AC_SETHALFVISIBLE);
        return;
    }
    ReplyCacheInfo.Ready = false;
    ControlSkinCommand(control, AC_QUERYCACHE);
    if (!ReplyCacheInfo.Ready) return;
    const TParentCacheInfo cache = ReplyCacheInfo;
    // The clip box in the control's own coordinates.
    OffsetRect(&clip, -offset.x, -offset.y);

    std::vector<TGraphicControl*> children;
    for (int i = 0; i < control->ControlCount(); ++i)
        if (GraphicChildIsPaintable(control->Controls(i), clip))
            children.push_back(static_cast<TGraphicControl*>(control->Controls(i)));
    if (!children.empty()) {
        HDC off = CreateCompatibleDC(dc);
        HBITMAP picture = CreateCompatibleBitmap(dc, std::max(control->Width(), 1), std::max(control->Height(), 1));
        HGDIOBJ old = SelectObject(off, picture);
        // What lies under each child: its own colour when it paints every pixel, else the cache.
        for (TGraphicControl* child : children) {
            const RECT b = child->BoundsRect();
            if (child->ControlStyle() & csOpaque)
                FillRectSolid(off, FromRECT(b), static_cast<TColor>(ColorToRGB(child->Color())));
            else
                DrawPixels(off, b.left, b.top, cache.Bmp,
                           TRect{cache.X + b.left, cache.Y + b.top, cache.X + b.right, cache.Y + b.bottom});
        }
        for (TGraphicControl* child : children) {
            const RECT b = child->BoundsRect();
            const int saved = SaveDC(off);
            RECT onTarget = b;
            OffsetRect(&onTarget, offset.x, offset.y);
            if (!RectVisible(dc, &onTarget)) ControlSkinCommand(child, AC_SETHALFVISIBLE);
            IntersectClipRect(off, b.left, b.top, b.right, b.bottom);
            OffsetViewportOrgEx(off, b.left, b.top, nullptr);
            const TControlState state = child->ControlState();
            child->SetControlState(state | (control->ControlState() & csPaintCopy));
            child->Canvas()->SetHandle(off);
            child->Paint(off);
            child->Canvas()->SetHandle(nullptr);
            child->SetControlState(state);
            RestoreDC(off, saved);
        }
        for (TGraphicControl* child : children) {
            const RECT b = child->BoundsRect();
            // A child that left its corner in the key colour showed nothing.
            if ((GetPixel(off, b.left, b.top) & 0xFFFFFF) == static_cast<COLORREF>(clFuchsia)) continue;
            BitBlt(dc, offset.x + b.left, offset.y + b.top, b.right - b.left, b.bottom - b.top, off, b.left, b.top,
                   SRCCOPY);
        }
        SelectObject(off, old);
        DeleteObject(picture);
        DeleteDC(off);
    }
    ReplyCacheInfo.Ready = false;
}

void PaintControlTo(TBitmap* bmp, TWinControl* control) {
    if (!bmp || !control || !control->HandleAllocated()) return;
    RECT window;
    GetWindowRect(control->Handle(), &window);
    bmp->SetSize(window.right - window.left, window.bottom - window.top);
    HDC dc = bmp->Canvas()->Handle();
    if (AskSkinCommand(control, AC_QUERYSKINNED)) {
        SendMessageW(control->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    } else {
        control->PaintTo(dc, 0, 0);
    }
}

namespace {

// The borderless window the fade is shown in: it paints nothing itself.
LRESULT CALLBACK OutputWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: ValidateRect(window, nullptr); return 0;
        default: return DefWindowProcW(window, msg, wParam, lParam);
    }
}

HWND MakeOutputWindow(HWND over, const RECT& r) {
    static const bool registered = [] {
        WNDCLASSW cls{};
        cls.lpfnWndProc = OutputWindowProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"acOutputWindow";
        return RegisterClassW(&cls) != 0;
    }();
    (void)registered;
    const bool topmost = (GetWindowLongW(over, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    const bool child = (GetWindowLongW(over, GWL_STYLE) & WS_CHILD) != 0;
    HWND out = CreateWindowExW(topmost ? WS_EX_TOPMOST : 0, L"acOutputWindow", L"acOutputWindow", WS_POPUP, r.left,
                               r.top, r.right - r.left, r.bottom - r.top, Application->Handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (out)
        SetWindowPos(out, child ? over : HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE);
    return out;
}

}  // namespace

void AnimShowControl(TWinControl* control, int time) {
    if (!control || !control->HandleAllocated()) return;
    const HWND window = control->Handle();
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;

    // What the screen shows under the control now.
    TBitmap screen(w, h);
    HDC screenDc = GetDC(nullptr);
    BitBlt(screen.Canvas()->Handle(), 0, 0, w, h, screenDc, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screenDc);
    HWND out = MakeOutputWindow(window, r);
    if (!out) return;

    TBitmap picture;
    PaintControlTo(&picture, control);
    picture.SetSize(w, h);
    TBitmap frame(w, h);
    if (TForm* form = dynamic_cast<TForm*>(control); form && FormProvider(form)) {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        if (GetWindowRgn(window, region) != ERROR)
            SetWindowRgn(out, region, FALSE);  // the window owns it now
        else
            DeleteObject(region);
    }

    HDC outDc = GetDC(out);
    const int steps = AnimationSteps(time);
    if (steps > 0) {
        for (int i = 0; i <= steps; ++i) {
            const int screenShare = std::max(255 - i * (255 / steps), 0);
            BlendThroughMask(frame.Pixels(), screen.Pixels(), picture.Pixels(), screenShare);
            BitBlt(outDc, 0, 0, w, h, frame.Canvas()->Handle(), 0, 0, SRCCOPY);
            GdiFlush();
            Sleep(8);
        }
    }
    BitBlt(outDc, 0, 0, w, h, picture.Canvas()->Handle(), 0, 0, SRCCOPY);
    ReleaseDC(out, outDc);
    if (!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED)) ShowWindow(out, SW_HIDE);
    DestroyWindow(out);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace skin
