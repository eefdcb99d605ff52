#include "vcl/forms.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

#include "vcl/boxtext.h"
#include "vcl/menus.h"
#include "vcl/onscreen.h"
#include "vcl/timers.h"
#include "vcl/wintext.h"

namespace vcl {

TApplication* const Application = new TApplication;
TScreen* const Screen = new TScreen;

namespace detail {

void HandleException() {
    try {
        throw;
    } catch (const std::exception& error) {
        Application->ShowException(error.what());
    } catch (...) {
        Application->ShowException("Неизвестная ошибка");
    }
}

}  // namespace detail

// ---- TForm

TForm::TForm(TComponent* owner) : TCustomControl(owner) {
    SetLoading();
    SetControlStyle(ControlStyle() | csAcceptsControls);
    icon_.OnChange = [this] { UpdateIcon(); };
    SetVisible(false);
    SetColor(clBtnFace);
    SetBounds(100, 100, 400, 300);
    SetTabStop(false);
    CreateHandle();
    UpdateIcon();
    Screen->forms_.push_back(this);
}

TForm::~TForm() {
    SetDestroying();
    FireOnDestroy();
    if (menu_) menu_->DetachForm(this);
    auto& forms = Screen->forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

// Once, whichever comes first: the owner tearing the form down or a plain
// delete. An error in the handler is shown, never let out of a destructor.
void TForm::FireOnDestroy() {
    if (destroyCalled_) return;
    destroyCalled_ = true;
    try {
        if (OnDestroy) OnDestroy(this);
    } catch (...) {
        detail::HandleException();
    }
}

void TForm::BeforeDestruction() {
    FireOnDestroy();
    TCustomControl::BeforeDestruction();
}

void TForm::AfterConstruction() {
    Loaded();
    if (OnCreate) {
        try {
            OnCreate(this);
        } catch (...) {
            detail::HandleException();
        }
    }
}

void TForm::CreateParams(TCreateParams& params) {
    params.WindowClass = u"TForm";
    params.OwnClass = true;
    params.Style = WS_CLIPCHILDREN;
    params.ExStyle = 0;
    switch (borderStyle_) {
    case bsNone:
        params.Style |= WS_POPUP;
        break;
    case bsSingle:
    case bsToolWindow:
        params.Style |= WS_CAPTION | WS_BORDER;
        break;
    case bsSizeable:
    case bsSizeToolWin:
        params.Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case bsDialog:
        params.Style |= WS_CAPTION | DS_MODALFRAME;
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    }
    if (borderStyle_ != bsNone && (borderIcons_ & biSystemMenu)) {
        params.Style |= WS_SYSMENU;
        if (borderStyle_ == bsSingle || borderStyle_ == bsSizeable) {
            if (borderIcons_ & biMinimize) params.Style |= WS_MINIMIZEBOX;
            if (borderIcons_ & biMaximize) params.Style |= WS_MAXIMIZEBOX;
        }
    }
    if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) params.ExStyle |= WS_EX_TOOLWINDOW;
    if (formStyle_ == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
    if (formStyle_ == fsMDIChild) {
        for (TForm* form : Screen->forms_)
            if (form != this && form->formStyle_ == fsMDIForm && form->clientHandle_) params.MDIClient = form->clientHandle_;
        if (params.MDIClient) {
            params.Style &= ~static_cast<DWORD>(WS_POPUP);
            params.ExStyle |= WS_EX_MDICHILD;
        }
    }
}

void TForm::ApplyFrameStyle() {
    if (!handle_) return;
    TCreateParams params;
    CreateParams(params);
    LONG_PTR visible = GetWindowLongPtrW(handle_, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE);
    int clientWidth = ClientWidth(), clientHeight = ClientHeight();
    SetWindowLongPtrW(handle_, GWL_STYLE, static_cast<LONG_PTR>(params.Style) | visible);
    SetWindowLongPtrW(handle_, GWL_EXSTYLE, static_cast<LONG_PTR>(params.ExStyle));
    SetWindowPos(handle_, formStyle_ == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetClientSize(clientWidth, clientHeight);
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
    if (borderStyle_ == value) return;
    borderStyle_ = value;
    ApplyFrameStyle();
}

void TForm::SetBorderIcons(TBorderIcons value) {
    if (borderIcons_ == value) return;
    borderIcons_ = value;
    ApplyFrameStyle();
}

void TForm::SetFormStyle(TFormStyle value) {
    if (formStyle_ == value) return;
    const TFormStyle old = formStyle_;
    formStyle_ = value;
    if (old == fsMDIForm && clientHandle_) {
        DestroyWindow(clientHandle_);
        clientHandle_ = nullptr;
    }
    if (value == fsMDIChild || old == fsMDIChild) {
        // A child of the MDI client is a window of another kind: made anew.
        DestroyHandle();
        CreateHandle();
        UpdateIcon();
        return;
    }
    ApplyFrameStyle();
    if (value == fsMDIForm) CreateMDIClient();
}

void TForm::CreateMDIClient() {
    if (!handle_ || clientHandle_) return;
    CLIENTCREATESTRUCT create{};
    create.idFirstChild = 0xFF00;
    RECT r{};
    GetClientRect(handle_, &r);
    clientHandle_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                    WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE,
                                    0, 0, r.right, r.bottom, handle_, nullptr, GetModuleHandleW(nullptr), &create);
}

std::vector<TForm*> TForm::MDIChildList() const {
    std::vector<TForm*> children;
    if (!clientHandle_) return children;
    for (HWND child = GetTopWindow(clientHandle_); child; child = GetWindow(child, GW_HWNDNEXT))
        if (auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(child)); form && form->formStyle_ == fsMDIChild)
            children.push_back(form);
    return children;
}

TForm* TForm::ActiveMDIChild() const {
    if (!clientHandle_) return nullptr;
    HWND active = reinterpret_cast<HWND>(SendMessageW(clientHandle_, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TForm*>(TWinControl::FromHandle(active));
}

int TForm::MDIChildCount() const { return static_cast<int>(MDIChildList().size()); }

TForm* TForm::MDIChildren(int index) const {
    const std::vector<TForm*> children = MDIChildList();
    return index >= 0 && index < static_cast<int>(children.size()) ? children[static_cast<size_t>(index)] : nullptr;
}

// An MDI form leaves what it does not handle to the frame's default
// procedure (it keeps the client over the client area), an MDI child to
// the child's (maximizing, activation inside the client).
void TForm::DefaultHandler(TMessage& message) {
    if (handle_ && (message.Msg < CM_BASE || message.Msg > CM_LAST)) {
        if (formStyle_ == fsMDIForm && clientHandle_) {
            message.Result = DefFrameProcW(handle_, clientHandle_, message.Msg, message.WParam, message.LParam);
            return;
        }
        if (formStyle_ == fsMDIChild && (GetWindowLongPtrW(handle_, GWL_EXSTYLE) & WS_EX_MDICHILD)) {
            message.Result = DefMDIChildProcW(handle_, message.Msg, message.WParam, message.LParam);
            return;
        }
    }
    TCustomControl::DefaultHandler(message);
}

TWindowState TForm::WindowState() const {
    if (handle_ && IsIconic(handle_)) return wsMinimized;
    if (handle_ && IsZoomed(handle_)) return wsMaximized;
    return wsNormal;
}

void TForm::SetWindowState(TWindowState value) {
    if (!handle_ || !Visible()) return;
    ShowWindow(handle_, value == wsMinimized ? SW_MINIMIZE : value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TForm::PlaceOnWorkArea(int left, int top) {
    // Farther than any desktop reaches, and a sum with a window's size stays in range.
    constexpr int kFar = 1 << 30;
    left = std::clamp(left, -kFar, kFar);
    top = std::clamp(top, -kFar, kFar);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    const bool restoredLater = handle_ && WindowState() != wsNormal && GetWindowPlacement(handle_, &placement);
    const RECT& normal = placement.rcNormalPosition;
    int width = restoredLater ? normal.right - normal.left : width_;
    int height = restoredLater ? normal.bottom - normal.top : height_;
    const RECT wanted{left, top, left + width, top + height};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& area = monitor.rcWork;
        if (borderStyle_ == bsSizeable || borderStyle_ == bsSizeToolWin) {
            width = Constraints().Width(std::min<int>(width, area.right - area.left));
            height = Constraints().Height(std::min<int>(height, area.bottom - area.top));
        }
        // Moved in; a window still too large keeps its top-left corner on the area.
        left = std::max<int>(area.left, std::min<int>(left, area.right - width));
        top = std::max<int>(area.top, std::min<int>(top, area.bottom - height));
    }
    if (!restoredLater) {
        SetBounds(left, top, width, height);
        return;
    }
    placement.rcNormalPosition = RECT{left, top, left + width, top + height};
    placement.flags = 0;
    // The state stays as it is, a hidden window hidden.
    if (!IsWindowVisible(handle_)) placement.showCmd = SW_HIDE;
    SetWindowPlacement(handle_, &placement);
}

void TForm::SetMenu(TMainMenu* menu) {
    if (menu_ == menu) return;
    if (menu_) menu_->DetachForm(this);
    menu_ = menu;
    if (menu_) menu_->AttachForm(this);
}

void TForm::UpdateIcon() {
    if (!handle_) return;
    HICON big = icon_.Empty() ? Application->Icon()->Handle() : icon_.Handle();
    HICON little = icon_.Empty() ? Application->SmallIcon() : icon_.Handle();
    SendMessageW(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little));
}

void TForm::SetAlphaBlend(bool value) {
    if (alphaBlend_ == value) return;
    alphaBlend_ = value;
    ApplyAlphaBlend();
}

void TForm::SetAlphaBlendValue(int value) {
    value = std::clamp(value, 0, 255);
    if (alphaBlendValue_ == value) return;
    alphaBlendValue_ = value;
    ApplyAlphaBlend();
}

void TForm::ApplyAlphaBlend() {
    if (!handle_) return;
    LONG_PTR exStyle = GetWindowLongPtrW(handle_, GWL_EXSTYLE);
    if (alphaBlend_) {
        SetWindowLongPtrW(handle_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        SetLayeredWindowAttributes(handle_, 0, static_cast<BYTE>(alphaBlendValue_), LWA_ALPHA);
    } else if (exStyle & WS_EX_LAYERED) {
        SetWindowLongPtrW(handle_, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        RedrawWindow(handle_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

void TForm::SetActiveControl(TWinControl* control) {
    activeControl_ = control;
    if (control && Active() && control->CanFocus()) control->SetFocus();
}

bool TForm::Active() const { return handle_ && GetActiveWindow() == handle_; }

void TForm::ForgetControl(TWinControl* control) {
    if (activeControl_ == control) activeControl_ = nullptr;
}

void TForm::FocusChanged(TWinControl* control) {
    if (control == this || control == activeControl_) return;
    TWinControl* old = activeControl_;
    activeControl_ = control;
    // The chains from the form down to each control; they part below the
    // last container both share.
    auto pathOf = [this](TWinControl* from) {
        std::vector<TWinControl*> path;
        for (TWinControl* c = from; c && c != this; c = c->Parent()) path.push_back(c);
        std::reverse(path.begin(), path.end());
        return path;
    };
    std::vector<TWinControl*> oldPath = pathOf(old), newPath = pathOf(control);
    size_t shared = 0;
    while (shared < oldPath.size() && shared < newPath.size() && oldPath[shared] == newPath[shared]) ++shared;
    for (size_t i = oldPath.size(); i-- > shared;) oldPath[i]->Perform(CM_EXIT);
    for (size_t i = shared; i < newPath.size(); ++i) newPath[i]->Perform(CM_ENTER);
    if (activeControl_ == control && control->HandleAllocated()) control->Perform(CM_UIACTIVATE);
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
}

std::vector<TWinControl*> TForm::TabList() const {
    std::vector<TWinControl*> list;
    std::function<void(const TWinControl*)> walk = [&](const TWinControl* parent) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
            if (!child || !child->Visible() || !child->Enabled()) continue;
            if (child->TabStop()) list.push_back(child);
            walk(child);
        }
    };
    walk(this);
    return list;
}

void TForm::SelectNext(TWinControl* current, bool forward) {
    std::vector<TWinControl*> list = TabList();
    if (list.empty()) return;
    // A control outside the tab order (a grid's cell editor) stands at the
    // place of the container that holds it.
    auto it = list.end();
    for (TWinControl* c = current; it == list.end() && c && c != this; c = c->Parent())
        it = std::find(list.begin(), list.end(), c);
    size_t index;
    if (it == list.end()) index = forward ? 0 : list.size() - 1;
    else {
        size_t at = static_cast<size_t>(it - list.begin());
        index = forward ? (at + 1) % list.size() : (at + list.size() - 1) % list.size();
    }
    list[index]->SetFocus();
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(this, action);
}

void TForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application->MainForm() == this) Application->Terminate();
    else if (action == caHide) Hide();
    else if (action == caMinimize) SetWindowState(wsMinimized);
    else {
        Hide();
        PostMessageW(handle_, CM_RELEASE, 0, 0);
    }
}

void TForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone) modalResult_ = mrNone;
}

namespace {

// The thread's other visible windows held back from input for a modal
// loop's time, all but `except`; given back on Release or at the end.
// While any are held, a held window found in front of the window that
// takes input puts that window back in front: a window manager raises the
// window the player clicks whether it takes input or not (and tells the
// program nothing but the new stacking), and the box or modal form would
// then wait unseen behind it while the program seems to hang. Windows
// brings the modal window up when its held-back owner is clicked.
class HeldWindows {
public:
    explicit HeldWindows(HWND except) : except_(except) {
        EnumThreadWindows(GetCurrentThreadId(), Hold, reinterpret_cast<LPARAM>(this));
        if (holders_++ == 0) timer_ = SetTimer(nullptr, 0, kLookMs, Look);
    }
    ~HeldWindows() { Release(); }
    HeldWindows(const HeldWindows&) = delete;
    HeldWindows& operator=(const HeldWindows&) = delete;

    void Release() {
        if (released_) return;
        released_ = true;
        for (HWND window : windows_) EnableWindow(window, TRUE);
        windows_.clear();
        if (--holders_ == 0) KillTimer(nullptr, timer_);
    }

private:
    static constexpr UINT kLookMs = 100;

    static BOOL CALLBACK Hold(HWND window, LPARAM data) {
        auto* held = reinterpret_cast<HeldWindows*>(data);
        if (window != held->except_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
            held->windows_.push_back(window);
            EnableWindow(window, FALSE);
        }
        return TRUE;
    }

    // The front one of the thread's shown windows that take input (the
    // modal form, or the box, which holds back its owner itself) goes back
    // in front of any window that takes none. Windows kept above all others
    // are no concern.
    static void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD) {
        const DWORD thread = GetCurrentThreadId();
        bool heldInFront = false;
        for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
            if (GetWindowThreadProcessId(window, nullptr) != thread || !IsWindowVisible(window) || IsIconic(window) ||
                (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST))
                continue;
            if (!IsWindowEnabled(window)) {
                heldInFront = true;
                continue;
            }
            if (heldInFront) SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return;
        }
    }

    HWND except_;
    std::vector<HWND> windows_;
    bool released_ = false;
    // Guards alive on the thread (a box over a modal form nests two); the
    // look runs while there is one.
    static inline int holders_ = 0;
    static inline UINT_PTR timer_ = 0;
};

}  // namespace

TModalResult TForm::ShowModal() {
    if (Visible() || !Enabled() || modal_)
        throw rtl::ERuntimeError("Невозможно сделать видимое окно модальным");
    if (GetCapture()) ReleaseCapture();
    TScreenHold::ReleaseAll();
    HWND previous = GetActiveWindow();
    modal_ = true;
    modalResult_ = mrNone;
    HeldWindows others(handle_);
    try {
        Show();
        while (true) {
            Application->HandleMessage();
            if (Application->Terminated()) {
                modalResult_ = mrCancel;
                break;
            }
            if (modalResult_ != mrNone) {
                CloseModal();
                if (modalResult_ != mrNone) break;
            }
        }
    } catch (...) {
        others.Release();
        modal_ = false;
        Hide();
        throw;
    }
    // Given back before the form hides, so that the activation goes to one
    // of them rather than out of the program.
    others.Release();
    modal_ = false;
    Hide();
    if (previous && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
    return modalResult_;
}

void TForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TForm::BringToFront() {
    if (handle_ && activated_) return;
    // A form held back by a modal one stays behind it.
    if (!handle_ || !IsWindowVisible(handle_) || !IsWindowEnabled(handle_) || GetActiveWindow() == handle_) return;
    // While another program is in front ours stay behind it, as Windows
    // keeps them: a run that shows its log at every battle would otherwise
    // take the desktop back each time.
    DWORD process = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &process);
    if (process != GetCurrentProcessId()) return;
    if (formStyle_ != fsMDIChild) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ActivateWindow();
}

void TForm::ActivateWindow() {
    if (formStyle_ == fsMDIChild && GetParent(handle_))
        SendMessageW(GetParent(handle_), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(handle_), 0);
    else
        SetForegroundWindow(handle_);
}

void TForm::DialogKey(TMessage& message) {
    if (message.WParam == VK_TAB) {
        SelectNext(activeControl_, !(GetKeyState(VK_SHIFT) & 0x8000));
        message.Result = 1;
        return;
    }
    Broadcast(message);
}

void TForm::Resized() {
    TCustomControl::Resized();
    if (OnResize && !(ComponentState() & (csLoading | csDestroying))) OnResize(this);
}

void TForm::PaintWindow(HDC dc) {
    if (OnPaint) OnPaint(this);
}

void TForm::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE:
        Close();
        message.Result = 0;
        return;
    case WM_COMMAND:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
        if (detail::MenuMessage(message)) return;
        break;
    case WM_GETMINMAXINFO: {
        TCustomControl::WndProc(message);
        auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
        const TSizeConstraints& limits = Constraints();
        if (limits.MinWidth > 0) info->ptMinTrackSize.x = limits.MinWidth;
        if (limits.MinHeight > 0) info->ptMinTrackSize.y = limits.MinHeight;
        if (limits.MaxWidth > 0) info->ptMaxTrackSize.x = limits.MaxWidth;
        if (limits.MaxHeight > 0) info->ptMaxTrackSize.y = limits.MaxHeight;
        message.Result = 0;
        return;
    }
    case CM_ACTIVATE:
        if (OnActivate) OnActivate(this);
        return;
    case CM_DEACTIVATE:
        if (OnDeactivate) OnDeactivate(this);
        return;
    case CM_SHOWINGCHANGED:
        if (Showing()) {
            if (OnShow) OnShow(this);
            shownAnew_ = true;
            // Drawn now, frame and every control, and put on the screen
            // once the desktop shows the window, what was there until then:
            // the handler that shows a form often goes on working (a battle
            // is prepared and fought in the tick that shows the log, the
            // summary is written and saved after its window is shown), and
            // what is not on the screen meanwhile is black.
            TScreenHold hold({handle_}, true);
            ShowWindow(handle_, SW_SHOW);
            ActivateWindow();
            PaintWhole(handle_);
            WaitUntilOnScreen(handle_);
        } else {
            if (OnHide) OnHide(this);
            ShowWindow(handle_, SW_HIDE);
        }
        return;
    case CM_DIALOGKEY:
        DialogKey(message);
        return;
    case CM_RELEASE:
        Free();
        return;
    case WM_NCDESTROY:
        activated_ = false;
        break;
    case WM_ACTIVATE:
        activated_ = LOWORD(message.WParam) != WA_INACTIVE;
        TCustomControl::WndProc(message);
        if (LOWORD(message.WParam) != WA_INACTIVE) {
            if (!HIWORD(message.WParam)) {
                // Back from another window, the control that had the focus
                // gets it as it was left (an edit keeps its caret); shown
                // anew, the form gives it as Tab does.
                restoringFocus_ = !shownAnew_;
                if (activeControl_ && activeControl_->CanFocus()) activeControl_->SetFocus();
                else SelectNext(nullptr, true);
                restoringFocus_ = shownAnew_ = false;
            }
            Perform(CM_ACTIVATE);
        } else {
            Perform(CM_DEACTIVATE);
        }
        message.Result = 0;
        return;
    }
    TCustomControl::WndProc(message);
}

// ---- TScreen

TForm* TScreen::Forms(int index) const {
    if (index < 0 || index >= FormCount()) throw EListError(index);
    return forms_[static_cast<size_t>(index)];
}

TForm* TScreen::ActiveForm() const {
    HWND active = GetActiveWindow();
    for (TForm* form : forms_)
        if (form->Handle() == active) return form;
    return nullptr;
}

TFont* TScreen::MenuFont() {
    if (!menuFont_) {
        menuFont_ = std::make_unique<TFont>();
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            menuFont_->AssignLogFont(metrics.lfMenuFont);
        menuFont_->SetColor(clMenuText);
    }
    return menuFont_.get();
}

TForm* TScreen::FindForm(const std::string& name) const {
    for (TForm* form : forms_)
        if (rtl::SameText1251(form->Name(), name)) return form;
    return nullptr;
}

// ---- TApplication

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    try {
        if (!Application->hooks_.empty()) {
            // A copy: a hook may unhook itself or another.
            std::vector<TWindowHook> hooks;
            for (auto& entry : Application->hooks_) hooks.push_back(entry.second);
            for (auto& hook : hooks)
                if (hook(message)) return message.Result;
        }
        if (msg == WM_TIMER && wParam == detail::kSchedulerTimerId) {
            RunDueTimers();
            return 0;
        }
        // Popup menus shown without a form of ours send their commands here.
        if ((msg == WM_COMMAND || msg == WM_MEASUREITEM || msg == WM_DRAWITEM) && detail::MenuMessage(message))
            return message.Result;
    } catch (...) {
        detail::HandleException();
        return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

TApplication::TApplication() : TComponent(nullptr) {
    icon_.OnChange = [] {
        for (TForm* form : Screen->forms_) form->UpdateIcon();
    };
}

TIcon* TApplication::Icon() {
    if (!iconRead_) {
        iconRead_ = true;
        HINSTANCE self = GetModuleHandleW(nullptr);
        auto load = [self](int width, int height) {
            return static_cast<HICON>(LoadImageW(self, L"MAINICON", IMAGE_ICON, GetSystemMetrics(width), GetSystemMetrics(height), 0));
        };
        fileSmallIcon_ = load(SM_CXSMICON, SM_CYSMICON);
        fileIcon_ = load(SM_CXICON, SM_CYICON);
        if (fileIcon_) icon_.SetHandle(fileIcon_);
    }
    return &icon_;
}

HICON TApplication::SmallIcon() {
    HICON icon = Icon()->Handle();
    return icon && icon == fileIcon_ && fileSmallIcon_ ? fileSmallIcon_ : icon;
}

HWND TApplication::Handle() {
    if (!handle_) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = ApplicationWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TApplication";
        RegisterClassW(&windowClass);
        handle_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"TApplication", WideText(title_), WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    return handle_;
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    Handle();
}

void TApplication::SetTitle(const std::string& value) {
    title_ = value;
    if (handle_) SetWindowText1251(handle_, value);
}

void TApplication::Minimize() {
    minimized_.clear();
    for (TForm* form : Screen->forms_) {
        if (!form->HandleAllocated() || !IsWindowVisible(form->Handle()) || IsIconic(form->Handle())) continue;
        minimized_.push_back(form->Handle());
        ShowWindow(form->Handle(), SW_MINIMIZE);
    }
}

void TApplication::Restore() {
    for (HWND window : minimized_)
        if (IsWindow(window) && IsIconic(window)) ShowWindow(window, SW_RESTORE);
    minimized_.clear();
}

void TApplication::Run() {
    if (mainForm_ && !terminated_) mainForm_->Show();
    while (!terminated_) HandleMessage();
    // The windows go as they stand. Hidden one by one on the way, each would
    // first wait for the window manager to have taken it (where none runs,
    // two seconds a window), and the program would linger window by window.
    for (TForm* form : Screen->forms_)
        if (form->HandleAllocated())
            SetWindowLongPtrW(form->Handle(), GWL_STYLE, GetWindowLongPtrW(form->Handle(), GWL_STYLE) & ~WS_VISIBLE);
    while (ComponentCount() > 0) Components(ComponentCount() - 1)->Free();
}

void TApplication::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    PostQuitMessage(0);
}

bool TApplication::IsKeyMsg(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    TWinControl* control = FindControl(msg.hwnd);
    if (!control) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        // A shortcut of the form's main menu chooses its item.
        TShortCut shortCut = static_cast<TShortCut>(msg.wParam & 0xFF);
        if (GetKeyState(VK_SHIFT) & 0x8000) shortCut |= scShift;
        if (GetKeyState(VK_CONTROL) & 0x8000) shortCut |= scCtrl;
        if (GetKeyState(VK_MENU) & 0x8000) shortCut |= scAlt;
        TForm* form = control->ParentForm();
        if (!form) form = dynamic_cast<TForm*>(control);
        if (form && form->Menu() && form->Enabled())
            if (TMenuItem* item = form->Menu()->FindShortCut(shortCut)) {
                item->Click();
                return true;
            }
    }
    return SendMessageW(control->Handle(), CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::ProcessMessage() {
    MSG msg;
    messagesLookedAt_ = GetTickCount64();
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    bool handled = false;
    if (OnMessage) {
        try {
            OnMessage(msg, handled);
        } catch (...) {
            detail::HandleException();
        }
    }
    if (!handled && !IsKeyMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    detail::FreeHeldCanvases();
    return true;
}

void TApplication::HandleMessage() {
    if (ProcessMessage() || terminated_) return;
    // Nothing waits in the queue: a timer that is due runs now. Its Win32
    // timer would come no sooner than 10 ms after it was set (the window
    // system's least interval), and a run of battles sets it again after
    // every slice.
    uint64_t due = 0;
    if (TimerClock().Manual() || !NextTimerDue(due)) {
        WaitMessage();
        return;
    }
    const uint64_t now = TimerClock().NowMs();
    if (due <= now) {
        RunDueTimers();
        return;
    }
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::min<uint64_t>(due - now, 0x7FFFFFFF)),
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

bool TApplication::InputWaiting() {
    const uint64_t now = GetTickCount64();
    if (now - std::max(messagesLookedAt_, inputAskedAt_) < kInputLookMs) return false;
    inputAskedAt_ = now;
    return HIWORD(GetQueueStatus(QS_KEY | QS_MOUSEBUTTON)) != 0;
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    if (messageBoxHandler_) return messageBoxHandler_(text, caption, flags);
    TScreenHold::ReleaseAll();
    HWND owner = GetActiveWindow();
    // The program's other windows take no input while the box is up, as
    // under a modal form: a click on one, or a run showing its log again,
    // would bring it over the box, which would then wait unseen behind it.
    // The owner is the box's own to hold back and to give back the
    // activation to when it closes.
    HeldWindows others(owner);
    TBoxTextFit fit;
    return MessageBoxW(owner, WideText(text), WideText(caption), flags);
}

void TApplication::ShowException(const std::string& text) {
    std::string shown = text;
    if (!shown.empty() && static_cast<unsigned char>(shown.back()) > '.') shown += '.';
    MessageBox(shown, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::HookMainWindow(TWindowHook hook) {
    int cookie = nextHook_++;
    hooks_[cookie] = std::move(hook);
    return cookie;
}

void TApplication::UnhookMainWindow(int cookie) { hooks_.erase(cookie); }

void ShowMessage(const std::string& text) { Application->MessageBox(text, Application->Title(), MB_OK); }

}  // namespace vcl
