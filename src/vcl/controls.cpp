#include "vcl/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <unordered_map>

#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/wintext.h"

namespace vcl {

namespace {

const WCHAR* DefProcProp() { return L"NorvixDefProc"; }

// The control of each of our windows. Kept here rather than as a window
// property: under Wine every property read is a round trip to the window
// server, and it is made for every message a control receives.
std::unordered_map<HWND, TWinControl*> g_byHandle;

thread_local TWinControl* g_creating = nullptr;
std::map<int, TWinControl*> g_byId;
TControl* g_mouseControl = nullptr;
int g_nextControlId = 100;

LRESULT CALLBACK ControlWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = TWinControl::FromHandle(window);
    if (!control) {
        auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, DefProcProp()));
        if (msg == WM_NCDESTROY) RemovePropW(window, DefProcProp());
        return previous ? CallWindowProcW(previous, window, msg, wParam, lParam)
                        : DefWindowProcW(window, msg, wParam, lParam);
    }
    TMessage message{msg, wParam, lParam, 0};
    static int depth = 0;
    ++depth;
    try {
        // A copy, as everywhere a message enters WindowProc: a handler may
        // replace WindowProc (or take a replacement out) while it runs.
        const TWndMethod procedure = control->WindowProc;
        procedure(message);
    } catch (...) {
        detail::HandleException();
    }
    if (--depth == 0) detail::FreeHeldCanvases();
    if (msg == WM_NCDESTROY) {
        g_byHandle.erase(window);
        RemovePropW(window, DefProcProp());
    }
    return message.Result;
}

// First message of a window of the layer's own class: bind it to the
// control being created, then run the ordinary procedure.
LRESULT CALLBACK InitialWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = g_creating;
    if (!control) return DefWindowProcW(window, msg, wParam, lParam);
    g_creating = nullptr;
    control->AttachWindow(window, DefWindowProcW);
    g_byHandle[window] = control;
    SetPropW(window, DefProcProp(), reinterpret_cast<HANDLE>(&DefWindowProcW));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc));
    return ControlWindowProc(window, msg, wParam, lParam);
}

void RegisterOwnClass(const std::u16string& name, UINT style) {
    static std::map<std::u16string, bool> registered;
    if (registered[name]) return;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = InitialWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = reinterpret_cast<const WCHAR*>(name.c_str());
    RegisterClassExW(&windowClass);
    registered[name] = true;
}

HWND g_tooltip = nullptr;

HWND Tooltip() {
    if (!g_tooltip) {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&init);
        g_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(g_tooltip, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    return g_tooltip;
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL; }

}  // namespace

// Some Win32 controls keep notifying the parent they were created under,
// and a control is created before it gets its parent: the parking window
// hands those notifications to the control concerned.
LRESULT CALLBACK ParkingWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_MEASUREITEM: {
        auto it = g_byId.find(static_cast<int>(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlID));
        if (it != g_byId.end()) child = it->second->Handle();
        break;
    }
    }
    if (TWinControl* control = TWinControl::FromHandle(child)) {
        try {
            return control->Perform(CN_BASE + msg, wParam, lParam);
        } catch (...) {
            detail::HandleException();
            return 0;
        }
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

HWND ParkingWindow() {
    static HWND parking = nullptr;
    if (!parking) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = ParkingWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"NorvixParking";
        RegisterClassW(&windowClass);
        parking = CreateWindowExW(WS_EX_TOOLWINDOW, L"NorvixParking", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    }
    return parking;
}

TWinControl* FindControl(HWND window) {
    while (window) {
        if (TWinControl* control = TWinControl::FromHandle(window)) return control;
        window = GetParent(window);
    }
    return nullptr;
}

namespace detail {

void SetMouseControl(TControl* control) {
    if (control == g_mouseControl) return;
    TControl* old = g_mouseControl;
    g_mouseControl = control;
    if (old) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
    if (control) control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(control));
}

void ForgetControl(TControl* control) {
    if (g_mouseControl == control) g_mouseControl = nullptr;
}

}  // namespace detail

// ---- TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
    WindowProc = [this](TMessage& message) { WndProc(message); };
    font_.OnChange = [this] {
        if (!inheriting_) parentFont_ = false;
        FontChanged();
    };
}

TControl::~TControl() {
    detail::ForgetControl(this);
    if (parent_) parent_->RemoveControl(this);
}

// The WindowProc of a control with replacements: the newest sees messages first.
struct TControl::ChainDispatch {
    TControl* control;
    // Calls a copy: a replacement may take itself (or another) out of the
    // chain while it handles the message, and with it the stored method.
    void operator()(TMessage& message) const {
        TWndMethod method = control->procChain_.empty() ? control->procBase_ : control->procChain_.back().method;
        method(message);
    }
};

TWindowProcToken TControl::ReplaceWindowProc(TWndMethod method) {
    if (!WindowProc.target<ChainDispatch>()) {
        // Whatever was set before (the control's own handling, or an old-style
        // replacement) stays below every replacement.
        procBase_ = WindowProc;
        WindowProc = ChainDispatch{this};
    }
    TWindowProcToken token = nextProcToken_++;
    procChain_.push_back(ProcEntry{token, std::move(method)});
    return token;
}

void TControl::RestoreWindowProc(TWindowProcToken token) {
    auto it = std::find_if(procChain_.begin(), procChain_.end(), [&](const ProcEntry& e) { return e.token == token; });
    if (it == procChain_.end()) return;
    procChain_.erase(it);
    if (procChain_.empty() && WindowProc.target<ChainDispatch>()) {
        WindowProc = procBase_;
        procBase_ = nullptr;
    }
}

bool TControl::WindowProcOnTop(TWindowProcToken token) const {
    return WindowProc.target<ChainDispatch>() && !procChain_.empty() && procChain_.back().token == token;
}

void TControl::CallPreviousWindowProc(TWindowProcToken token, TMessage& message) {
    for (size_t i = procChain_.size(); i-- > 0;) {
        if (procChain_[i].token != token) continue;
        if (i > 0) {
            TWndMethod previous = procChain_[i - 1].method;  // a copy: the call may restore it
            previous(message);
        } else if (procBase_) {
            TWndMethod base = procBase_;
            base(message);
        } else {
            WndProc(message);
        }
        return;
    }
    // A replacement already taken out passes straight to the control's own handling.
    WndProc(message);
}

namespace {

const struct {
    const char* name;
    TAnchorKind kind;
} kAnchorNames[] = {{"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}};

}  // namespace

bool TControl::GetOrdProp(const std::string& name, int64_t& value) const {
    if (name == "Color") value = color_;
    else if (name == "ParentColor") value = parentColor_;
    else if (name == "ParentFont") value = parentFont_;
    else if (name == "Enabled") value = enabled_;
    else if (name == "Visible") value = visible_;
    else if (name == "Tag") value = Tag();
    else return false;
    return true;
}

bool TControl::SetOrdProp(const std::string& name, int64_t value) {
    if (name == "Color") SetColor(static_cast<TColor>(value));
    else if (name == "ParentColor") SetParentColor(value != 0);
    else if (name == "ParentFont") SetParentFont(value != 0);
    else if (name == "Enabled") SetEnabled(value != 0);
    else if (name == "Visible") SetVisible(value != 0);
    else if (name == "Tag") SetTag(static_cast<intptr_t>(value));
    else return false;
    return true;
}

TObject* TControl::GetObjectProp(const std::string& name) {
    if (name == "Font") return &font_;
    if (name == "PopupMenu") return reinterpret_cast<TObject*>(popupMenu_);
    return nullptr;
}

bool TControl::GetSetProp(const std::string& name, std::string& value) const {
    if (name != "Anchors") return false;
    value.clear();
    for (const auto& anchor : kAnchorNames) {
        if (!(anchors_ & anchor.kind)) continue;
        if (!value.empty()) value += ',';
        value += anchor.name;
    }
    return true;
}

bool TControl::SetSetProp(const std::string& name, const std::string& value) {
    if (name != "Anchors") return false;
    TAnchors anchors = 0;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find(',', start);
        if (end == std::string::npos) end = value.size();
        std::string element = value.substr(start, end - start);
        for (const auto& anchor : kAnchorNames)
            if (element == anchor.name) anchors |= anchor.kind;
        start = end + 1;
    }
    SetAnchors(anchors);
    return true;
}

bool TControl::MouseEvent(const TMessage& message) {
    TMouseButton button = mbLeft;
    bool down = false;
    switch (message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: down = true; button = mbLeft; break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: down = true; button = mbRight; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: down = true; button = mbMiddle; break;
    case WM_LBUTTONUP: button = mbLeft; break;
    case WM_RBUTTONUP: button = mbRight; break;
    case WM_MBUTTONUP: button = mbMiddle; break;
    case WM_MOUSEMOVE: break;
    default: return false;
    }
    WPARAM keys = message.WParam;
    TShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    if (GetKeyState(VK_MENU) & 0x8000) shift |= ssAlt;
    int x = static_cast<short>(LOWORD(message.LParam)), y = static_cast<short>(HIWORD(message.LParam));
    if (message.Msg == WM_MOUSEMOVE) {
        if (OnMouseMove) OnMouseMove(this, shift, x, y);
    } else if (down) {
        if (message.Msg == WM_LBUTTONDBLCLK || message.Msg == WM_RBUTTONDBLCLK || message.Msg == WM_MBUTTONDBLCLK)
            shift |= ssDouble;
        if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
    } else if (OnMouseUp) {
        OnMouseUp(this, button, shift, x, y);
    }
    return true;
}

LRESULT TControl::Perform(TMessage& message) {
    const TWndMethod procedure = WindowProc;
    procedure(message);
    return message.Result;
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    return Perform(message);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw rtl::ERuntimeError("Элемент не может быть родителем самого себя");
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
    if (parent_) {
        if (parentFont_) InheritParentFont();
        if (parentColor_) InheritParentColor();
        Invalidate();
    }
}

TForm* TControl::ParentForm() const {
    const TControl* control = this;
    while (control->parent_) control = control->parent_;
    return dynamic_cast<TForm*>(const_cast<TControl*>(control));
}

int TSizeConstraints::Width(int width) const {
    if (MaxWidth > 0 && width > MaxWidth) width = MaxWidth;
    if (MinWidth > 0 && width < MinWidth) width = MinWidth;
    return width;
}

int TSizeConstraints::Height(int height) const {
    if (MaxHeight > 0 && height > MaxHeight) height = MaxHeight;
    if (MinHeight > 0 && height < MinHeight) height = MinHeight;
    return height;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = constraints_.Width(width);
    height = constraints_.Height(height);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    if (parent_) InvalidateRect(parent_->Handle(), nullptr, TRUE);
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (parent_) {
        RECT r = BoundsRect();
        InvalidateRect(parent_->Handle(), &r, TRUE);
    }
    RequestAlign();
}

void TControl::UpdateBoundsFields(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void TControl::RequestAlign() {
    if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::SetAlign(TAlign value) {
    if (align_ == value) return;
    align_ = value;
    if (value == alLeft || value == alRight) anchors_ = akLeft | akTop | akBottom;
    else if (value == alTop || value == alBottom) anchors_ = akLeft | akTop | akRight;
    else if (value == alClient) anchors_ = akLeft | akTop | akRight | akBottom;
    RequestAlign();
}

void TControl::SetVisible(bool value) {
    if (visible_ == value) return;
    visible_ = value;
    VisibleChanged();
}

void TControl::VisibleChanged() {
    Perform(CM_VISIBLECHANGED, visible_ ? 1 : 0, 0);
    if (parent_) {
        RECT r = BoundsRect();
        InvalidateRect(parent_->Handle(), &r, TRUE);
        if (align_ != alNone) parent_->Realign();
    }
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    EnabledChanged();
}

void TControl::EnabledChanged() {
    Perform(CM_ENABLEDCHANGED);
    Invalidate();
}

void TControl::SetColor(TColor value) {
    if (color_ == value && !parentColor_) return;
    color_ = value;
    parentColor_ = false;
    ColorChanged();
}

void TControl::SetParentColor(bool value) {
    if (parentColor_ == value) return;
    parentColor_ = value;
    if (value) InheritParentColor();
}

void TControl::InheritParentColor() {
    if (!parent_) return;
    color_ = parent_->Color();
    ColorChanged();
}

void TControl::ColorChanged() {
    Perform(CM_COLORCHANGED);
    Invalidate();
}

void TControl::SetParentFont(bool value) {
    if (parentFont_ == value) return;
    parentFont_ = value;
    if (value) InheritParentFont();
}

void TControl::InheritParentFont() {
    if (!parent_) return;
    inheriting_ = true;
    font_.Assign(*parent_->Font());
    inheriting_ = false;
}

void TControl::FontChanged() {
    Perform(CM_FONTCHANGED);
    Invalidate();
}

std::string TControl::GetText() const { return text_; }

void TControl::SetText(const std::string& value) {
    if (GetText() == value) return;
    WideText wide(value);
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    Perform(CM_TEXTCHANGED);
}

void TControl::Invalidate() {
    if (parent_ && parent_->HandleAllocated() && visible_) {
        RECT r = BoundsRect();
        InvalidateRect(parent_->Handle(), &r, TRUE);
    }
}

void TControl::Repaint() {
    Invalidate();
    if (parent_ && parent_->HandleAllocated()) UpdateWindow(parent_->Handle());
}

void TControl::BringToFront() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::find(list.begin(), list.end(), this));
    list.push_back(this);
    Invalidate();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

POINT TControl::ClientToScreen(POINT point) const {
    if (auto* windowed = dynamic_cast<const TWinControl*>(this); windowed && windowed->HandleAllocated()) {
        ::ClientToScreen(windowed->Handle(), &point);
        return point;
    }
    if (parent_) {
        point.x += left_;
        point.y += top_;
        return parent_->ClientToScreen(point);
    }
    return point;
}

POINT TControl::ScreenToClient(POINT point) const {
    POINT origin = ClientToScreen(POINT{0, 0});
    return POINT{point.x - origin.x, point.y - origin.y};
}

void TControl::WndProc(TMessage& message) {
    if (IsMouseMessage(message.Msg)) MouseEvent(message);
    switch (message.Msg) {
    case CM_MOUSEENTER:
        if (OnMouseEnter) OnMouseEnter(this);
        return;
    case CM_MOUSELEAVE:
        if (OnMouseLeave) OnMouseLeave(this);
        return;
    case WM_CONTEXTMENU:
        if (popupMenu_) {
            POINT at{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
            if (message.LParam == -1) at = ClientToScreen(POINT{0, 0});
            popupMenu_->SetPopupComponent(this);
            popupMenu_->Popup(at.x, at.y);
            message.Result = 1;
            return;
        }
        break;
    case CM_PARENTCOLORCHANGED:
        if (parentColor_) InheritParentColor();
        return;
    case CM_PARENTFONTCHANGED:
        if (parentFont_) InheritParentFont();
        return;
    case CM_TEXTCHANGED:
        Invalidate();
        return;
    }
    DefaultHandler(message);
}

void TControl::DefaultHandler(TMessage& message) {
    switch (message.Msg) {
    case WM_GETTEXTLENGTH:
        message.Result = static_cast<LRESULT>(WideText(text_).size());
        break;
    case WM_GETTEXT: {
        WideText wide(text_);
        auto* out = reinterpret_cast<WCHAR*>(message.LParam);
        size_t room = message.WParam;
        if (!out || room == 0) break;
        size_t n = std::min(room - 1, wide.size());
        for (size_t i = 0; i < n; ++i) out[i] = wide.c_str()[i];
        out[n] = 0;
        message.Result = static_cast<LRESULT>(n);
        break;
    }
    case WM_SETTEXT:
        text_ = FromWide(reinterpret_cast<const WCHAR*>(message.LParam));
        message.Result = 1;
        break;
    }
}

// ---- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    SetDestroying();
    if (TForm* form = ParentForm(); form && form != static_cast<TControl*>(this)) form->ForgetControl(this);
    while (!controls_.empty()) delete controls_.back();
    DestroyHandle();
    if (brush_) DeleteObject(brush_);
}

void TWinControl::BeforeDestruction() {
    TComponent::BeforeDestruction();
    for (TControl* control : std::vector<TControl*>(controls_)) control->BeforeDestruction();
}

TWinControl* TWinControl::FromHandle(HWND window) {
    if (!window) return nullptr;
    const auto found = g_byHandle.find(window);
    return found == g_byHandle.end() ? nullptr : found->second;
}

void TWinControl::AttachWindow(HWND window, WNDPROC defaultProcedure) {
    handle_ = window;
    defWndProc_ = defaultProcedure;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (tabStop_) params.Style |= WS_TABSTOP;
}

void TWinControl::CreateHandle() {
    if (handle_) return;
    TCreateParams params;
    CreateParams(params);
    if (visible_ && !IsTopLevel()) params.Style |= WS_VISIBLE;
    if (!enabled_) params.Style |= WS_DISABLED;
    HWND parentWindow = IsTopLevel() ? nullptr : (parent_ ? parent_->handle_ : ParkingWindow());
    int controlId = g_nextControlId++;
    HMENU id = IsTopLevel() ? nullptr : reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId));
    g_byId[controlId] = this;
    std::u16string className = params.WindowClass;
    if (params.OwnClass) RegisterOwnClass(className, params.ClassStyle);
    WideText caption(text_);
    HWND window;
    struct CreatingMark {
        TControl* control;
        ~CreatingMark() { control->SetControlState(control->ControlState() & ~static_cast<unsigned>(csCreating)); }
    } creatingMark{this};
    SetControlState(ControlState() | csCreating);
    if (params.OwnClass && params.MDIClient) {
        // An MDI child is made by its client, which keeps the list of its children.
        MDICREATESTRUCTW create{};
        create.szClass = reinterpret_cast<const WCHAR*>(className.c_str());
        create.szTitle = caption;
        create.hOwner = GetModuleHandleW(nullptr);
        create.x = left_, create.y = top_, create.cx = width_, create.cy = height_;
        create.style = params.Style;
        g_creating = this;
        window = reinterpret_cast<HWND>(SendMessageW(params.MDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
        g_creating = nullptr;
        handle_ = window;
    } else if (params.OwnClass) {
        g_creating = this;
        window = CreateWindowExW(params.ExStyle, reinterpret_cast<const WCHAR*>(className.c_str()), caption,
                                 params.Style, left_, top_, width_, height_, parentWindow, id,
                                 GetModuleHandleW(nullptr), nullptr);
        g_creating = nullptr;
        handle_ = window;
    } else {
        window = CreateWindowExW(params.ExStyle, reinterpret_cast<const WCHAR*>(className.c_str()), caption,
                                 params.Style, left_, top_, width_, height_, parentWindow, id,
                                 GetModuleHandleW(nullptr), nullptr);
        if (window) {
            handle_ = window;
            g_byHandle[window] = this;
            defWndProc_ = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc)));
            SetPropW(window, DefProcProp(), reinterpret_cast<HANDLE>(defWndProc_));
        }
    }
    if (!window) throw rtl::ERuntimeError("Не удалось создать окно элемента " + Name());
    if (params.OwnClass) defWndProc_ = DefWindowProcW;
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
    RECT client;
    GetClientRect(handle_, &client);
    lastClientWidth_ = client.right;
    lastClientHeight_ = client.bottom;
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    detail::ForgetControl(this);
    if (g_tooltip) {
        TOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND;
        tool.uId = reinterpret_cast<UINT_PTR>(handle_);
        SendMessageW(g_tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    for (auto it = g_byId.begin(); it != g_byId.end();) {
        if (it->second == this) it = g_byId.erase(it);
        else ++it;
    }
    HWND window = handle_;
    DestroyWindow(window);
    // Also when a procedure put over ours kept the last message from it.
    if (auto found = g_byHandle.find(window); found != g_byHandle.end() && found->second == this)
        g_byHandle.erase(found);
    handle_ = nullptr;
}

void TWinControl::SetStyleBits(DWORD set, DWORD clear) {
    if (!handle_) return;
    LONG_PTR style = GetWindowLongPtrW(handle_, GWL_STYLE);
    LONG_PTR updated = (style | set) & ~static_cast<LONG_PTR>(clear);
    if (updated == style) return;
    SetWindowLongPtrW(handle_, GWL_STYLE, updated);
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::SetExStyleBits(DWORD set, DWORD clear) {
    if (!handle_) return;
    LONG_PTR style = GetWindowLongPtrW(handle_, GWL_EXSTYLE);
    LONG_PTR updated = (style | set) & ~static_cast<LONG_PTR>(clear);
    if (updated == style) return;
    SetWindowLongPtrW(handle_, GWL_EXSTYLE, updated);
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    Realign();
}

void TWinControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    TControl::SetParent(parent);
    if (handle_ && !IsTopLevel()) ::SetParent(handle_, parent_ ? parent_->handle_ : ParkingWindow());
    UpdateShowing();
}

void TWinControl::InsertControl(TControl* control) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
    controls_.push_back(control);
    control->parent_ = this;
    if (control->align_ != alNone) Realign();
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), 1);
}

void TWinControl::RemoveControl(TControl* control) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), 0);
    controls_.erase(std::find(controls_.begin(), controls_.end(), control));
    control->parent_ = nullptr;
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
    if (!(ComponentState() & csDestroying)) {
        RECT r = control->BoundsRect();
        if (handle_) InvalidateRect(handle_, &r, TRUE);
        if (control->align_ != alNone) Realign();
    }
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount()) throw EListError(index);
    return controls_[static_cast<size_t>(index)];
}

TControl* TWinControl::ControlAtPos(POINT point) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* control = *it;
        RECT r = control->BoundsRect();
        if (control->Visible() && PtInRect(&r, point)) return control;
    }
    return nullptr;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    width = Constraints().Width(width);
    height = Constraints().Height(height);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_) SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    RequestAlign();
}

int TWinControl::ClientWidth() const {
    if (!handle_) return width_;
    RECT r;
    GetClientRect(handle_, &r);
    return r.right;
}

int TWinControl::ClientHeight() const {
    if (!handle_) return height_;
    RECT r;
    GetClientRect(handle_, &r);
    return r.bottom;
}

void TWinControl::SetClientSize(int width, int height) {
    SetBounds(left_, top_, width_ + width - ClientWidth(), height_ + height - ClientHeight());
}

void TWinControl::SetTabStop(bool value) {
    tabStop_ = value;
    if (value) SetStyleBits(WS_TABSTOP, 0);
    else SetStyleBits(0, WS_TABSTOP);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() const {
    for (const TControl* control = this; control; control = control->Parent())
        if (!control->Visible() || !control->Enabled()) return false;
    return ParentForm() != nullptr;
}

void TWinControl::SetFocus() {
    if (handle_) ::SetFocus(handle_);
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Repaint() {
    if (handle_) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWinControl::BringToFront() {
    TControl::BringToFront();
    if (handle_) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::SetHint(const std::string& value) {
    TControl::SetHint(value);
    if (!handle_) return;
    HWND tip = Tooltip();
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = handle_;
    tool.uId = reinterpret_cast<UINT_PTR>(handle_);
    SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (value.empty()) return;
    WideText text(value);
    tool.lpszText = const_cast<WCHAR*>(text.c_str());
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string TWinControl::GetText() const { return handle_ ? GetWindowText1251(handle_) : text_; }

void TWinControl::VisibleChanged() {
    Perform(CM_VISIBLECHANGED, Visible() ? 1 : 0, 0);
    if (handle_ && !IsTopLevel())
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (Visible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    if (Align() != alNone) RequestAlign();
    UpdateShowing();
}

void TWinControl::UpdateShowing() {
    bool show = Visible() && (IsTopLevel() || (parent_ && parent_->showing_));
    bool changed = show != showing_;
    showing_ = show;
    for (TControl* control : std::vector<TControl*>(controls_))
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) windowed->UpdateShowing();
    if (changed) Perform(CM_SHOWINGCHANGED);
}

void TWinControl::EnabledChanged() {
    if (handle_) EnableWindow(handle_, Enabled());
    Perform(CM_ENABLEDCHANGED);
    Invalidate();
    // An active form that holds the focus itself, for want of a control able
    // to take it, gives it to the first one that becomes able: its keys work
    // without a Tab first.
    if (Enabled() && tabStop_ && CanFocus())
        if (TForm* form = ParentForm(); form && form->Active() && GetFocus() == form->Handle()) SetFocus();
}

void TWinControl::ColorChanged() {
    Perform(CM_COLORCHANGED);
    Invalidate();
    TMessage message{CM_PARENTCOLORCHANGED, 0, 0, 0};
    Broadcast(message);
}

void TWinControl::FontChanged() {
    // A new colour keeps the font the window has: told the same font again,
    // an edit lays out all its text anew (a tenth of a second for a long log).
    if (handle_) {
        HFONT font = Font()->Handle();
        if (reinterpret_cast<HFONT>(SendMessageW(handle_, WM_GETFONT, 0, 0)) != font)
            SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    Perform(CM_FONTCHANGED);
    Invalidate();
    TMessage message{CM_PARENTFONTCHANGED, 0, 0, 0};
    Broadcast(message);
}

void TWinControl::Broadcast(TMessage& message) {
    for (TControl* control : std::vector<TControl*>(controls_)) {
        control->WindowProc(message);
        if (message.Result != 0) return;
    }
}

HBRUSH TWinControl::BackgroundBrush() {
    if (!brush_ || brushColor_ != Color()) {
        if (brush_) DeleteObject(brush_);
        brush_ = CreateSolidBrush(ColorToRGB(Color()));
        brushColor_ = Color();
    }
    return brush_;
}

void TWinControl::ScrollBy(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    for (TControl* control : std::vector<TControl*>(controls_))
        control->SetBounds(control->left_ + dx, control->top_ + dy, control->width_, control->height_);
    Invalidate();
}

void TWinControl::Realign() {
    if (aligning_ || !handle_) return;
    aligning_ = true;
    AlignControls();
    aligning_ = false;
}

void TWinControl::AlignControls() {
    RECT area{0, 0, ClientWidth(), ClientHeight()};
    auto place = [&](TAlign kind) {
        for (TControl* control : controls_) {
            if (control->align_ != kind || !control->Visible()) continue;
            int w = control->width_, h = control->height_;
            switch (kind) {
            case alTop:
                control->SetBounds(area.left, area.top, area.right - area.left, h);
                area.top += h;
                break;
            case alBottom:
                control->SetBounds(area.left, area.bottom - h, area.right - area.left, h);
                area.bottom -= h;
                break;
            case alLeft:
                control->SetBounds(area.left, area.top, w, area.bottom - area.top);
                area.left += w;
                break;
            case alRight:
                control->SetBounds(area.right - w, area.top, w, area.bottom - area.top);
                area.right -= w;
                break;
            case alClient:
                control->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
                break;
            default:
                break;
            }
        }
    };
    place(alTop);
    place(alBottom);
    place(alLeft);
    place(alRight);
    place(alClient);
}

void TWinControl::Resized() {
    int width = ClientWidth(), height = ClientHeight();
    if (lastClientWidth_ >= 0) {
        int dw = width - lastClientWidth_, dh = height - lastClientHeight_;
        if (dw || dh) {
            for (TControl* control : std::vector<TControl*>(controls_)) {
                if (control->align_ != alNone) continue;
                TAnchors a = control->anchors_;
                int l = control->left_, t = control->top_, w = control->width_, h = control->height_;
                if (a & akRight) {
                    if (a & akLeft) w += dw;
                    else l += dw;
                }
                if (a & akBottom) {
                    if (a & akTop) h += dh;
                    else t += dh;
                }
                control->SetBounds(l, t, std::max(w, 0), std::max(h, 0));
            }
        }
    }
    lastClientWidth_ = width;
    lastClientHeight_ = height;
    Realign();
}

void TWinControl::PaintWindow(HDC dc) {}

void TWinControl::SetParentBackground(bool value) {
    if (value == ParentBackground()) return;
    SetControlStyle(value ? ControlStyle() | csParentBackground : ControlStyle() & ~static_cast<unsigned>(csParentBackground));
    Invalidate();
}

void TWinControl::PaintControls(HDC dc) {
    for (TControl* control : controls_) {
        auto* graphic = dynamic_cast<TGraphicControl*>(control);
        if (!graphic || !graphic->Visible()) continue;
        int saved = SaveDC(dc);
        IntersectClipRect(dc, graphic->left_, graphic->top_, graphic->left_ + graphic->width_,
                          graphic->top_ + graphic->height_);
        // Relative to the origin in force: a picture of the parent may have moved it.
        OffsetViewportOrgEx(dc, graphic->left_, graphic->top_, nullptr);
        graphic->SetControlState(graphic->ControlState() | (ControlState() & csPaintCopy));
        graphic->canvas_->SetHandle(dc);
        try {
            graphic->Paint(dc);
        } catch (...) {
            graphic->canvas_->SetHandle(nullptr);
            RestoreDC(dc, saved);
            throw;
        }
        graphic->canvas_->SetHandle(nullptr);
        graphic->SetControlState(graphic->ControlState() & ~static_cast<unsigned>(csPaintCopy));
        RestoreDC(dc, saved);
    }
}

void TWinControl::PaintHandler(TMessage& message) {
    PAINTSTRUCT paint;
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    bool own = dc == nullptr;
    if (own) dc = BeginPaint(handle_, &paint);
    if (PaintsItself()) {
        TCanvas* canvas = PaintCanvas();
        if (canvas) canvas->SetHandle(dc);
        try {
            PaintWindow(dc);
        } catch (...) {
            if (canvas) canvas->SetHandle(nullptr);
            if (own) EndPaint(handle_, &paint);
            throw;
        }
        if (canvas) canvas->SetHandle(nullptr);
    } else {
        CallWindowProcW(defWndProc_, handle_, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
    PaintControls(dc);
    if (own) EndPaint(handle_, &paint);
    message.Result = 0;
}

// The background of a window of the layer's own class: the parent's picture
// (csParentBackground) or the control's colour, never under opaque
// graphic children, which paint every pixel of theirs.
void TWinControl::EraseBackground(HDC dc) {
    RECT r;
    GetClientRect(handle_, &r);
    int saved = SaveDC(dc);
    for (TControl* control : controls_)
        if (control->Visible() && (control->ControlStyle() & csOpaque) && dynamic_cast<TGraphicControl*>(control))
            ExcludeClipRect(dc, control->left_, control->top_, control->left_ + control->width_,
                            control->top_ + control->height_);
    if (ParentBackground() && parent_ && parent_->handle_) {
        // The parent paints itself with its origin moved to ours.
        POINT at{0, 0};
        MapWindowPoints(handle_, parent_->handle_, &at, 1);
        OffsetViewportOrgEx(dc, -at.x, -at.y, nullptr);
        SendMessageW(parent_->handle_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SendMessageW(parent_->handle_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    } else {
        FillRect(dc, &r, BackgroundBrush());
    }
    RestoreDC(dc, saved);
}

void TWinControl::PrintHandler(TMessage& message) {
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    if (!dc || !handle_) return;
    if (message.Msg == WM_PRINT) {
        PrintWindowInto(handle_, dc, static_cast<UINT>(message.LParam));
        return;
    }
    // WM_PRINTCLIENT: the client area as WM_PAINT draws it, graphic children included.
    if (defWndProc_ == DefWindowProcW) {
        TMessage paint{WM_PAINT, message.WParam, 0, 0};
        PaintHandler(paint);
    } else {
        message.Result = CallWindowProcW(defWndProc_, handle_, WM_PRINTCLIENT, message.WParam, message.LParam);
        PaintControls(dc);
    }
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
    if (!handle_ || !dc) return;
    SetControlState(ControlState() | csPaintCopy);
    int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, x, y, nullptr);
    UINT flags = PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN;
    if (IsTopLevel()) {
        RECT client;
        GetClientRect(handle_, &client);
        IntersectClipRect(dc, 0, 0, client.right, client.bottom);
        SendMessageW(handle_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SendMessageW(handle_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
        PrintChildWindows(handle_, dc, flags);
    } else {
        SendMessageW(handle_, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags | PRF_NONCLIENT);
    }
    RestoreDC(dc, saved);
    SetControlState(ControlState() & ~static_cast<unsigned>(csPaintCopy));
}

void TWinControl::PaintTo(TCanvas* canvas, int x, int y) {
    if (canvas) PaintTo(canvas->Handle(), x, y);
}

bool TWinControl::GetOrdProp(const std::string& name, int64_t& value) const {
    if (name == "ParentBackground") {
        value = ParentBackground();
        return true;
    }
    if (name == "TabStop") {
        value = tabStop_;
        return true;
    }
    return TControl::GetOrdProp(name, value);
}

bool TWinControl::SetOrdProp(const std::string& name, int64_t value) {
    if (name == "ParentBackground") {
        SetParentBackground(value != 0);
        return true;
    }
    if (name == "TabStop") {
        SetTabStop(value != 0);
        return true;
    }
    return TControl::SetOrdProp(name, value);
}

void TWinControl::ReflectToChild(TMessage& message, HWND child) {
    TWinControl* control = FromHandle(child);
    if (control && control != this) message.Result = control->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
    else DefaultHandler(message);
}

void TWinControl::HandleKeyNotification(TMessage& message) {
    WPARAM key = message.WParam;
    LRESULT mask = 0;
    switch (key) {
    case VK_TAB:
        mask = DLGC_WANTTAB;
        break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL:
    case VK_EXECUTE:
        mask = DLGC_WANTALLKEYS;
        break;
    default:
        return;
    }
    if (message.Msg == CN_KEYDOWN && handle_) {
        LRESULT code = SendMessageW(handle_, WM_GETDLGCODE, key, 0);
        if (code & mask) return;
        if (TForm* form = ParentForm()) message.Result = form->Perform(CM_DIALOGKEY, key, message.LParam);
    }
}

void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_PAINT: {
        bool hasGraphic = std::any_of(controls_.begin(), controls_.end(),
                                      [](TControl* c) { return dynamic_cast<TGraphicControl*>(c) && c->Visible(); });
        if (PaintsItself() || hasGraphic) {
            PaintHandler(message);
            return;
        }
        break;
    }
    case WM_ERASEBKGND:
        if (defWndProc_ == DefWindowProcW) {
            if (!(ControlStyle() & csOpaque)) EraseBackground(reinterpret_cast<HDC>(message.WParam));
            message.Result = 1;
            return;
        }
        break;
    case WM_PRINT:
    case WM_PRINTCLIENT:
        PrintHandler(message);
        return;
    case WM_MOUSEWHEEL:
        // The control, and then its parents, may take the turn of the wheel.
        if (Perform(CM_MOUSEWHEEL, message.WParam, message.LParam) != 0) {
            message.Result = 0;
            return;
        }
        break;
    case CM_MOUSEWHEEL:
        return;
    case CN_CHAR:
    case CN_SYSCHAR:
        // A character that the control has no use for may be an accelerator of its form.
        if (handle_ && (message.Msg == CN_SYSCHAR || !(SendMessageW(handle_, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS))) {
            if (TForm* form = ParentForm())
                if (form != static_cast<TControl*>(this) || message.Msg == CN_SYSCHAR)
                    message.Result = form->Perform(CM_DIALOGCHAR, message.WParam, message.LParam);
        }
        return;
    case CM_DIALOGCHAR:
        Broadcast(message);
        return;
    case CM_ENTER:
        if (OnEnter) OnEnter(this);
        return;
    case CM_EXIT:
        if (OnExit) OnExit(this);
        return;
    case WM_COMMAND:
        if (message.LParam) {
            ReflectToChild(message, reinterpret_cast<HWND>(message.LParam));
            return;
        }
        break;
    case WM_NOTIFY:
        ReflectToChild(message, reinterpret_cast<NMHDR*>(message.LParam)->hwndFrom);
        return;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        ReflectToChild(message, reinterpret_cast<HWND>(message.LParam));
        return;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
        if (item->CtlType != ODT_MENU) {
            ReflectToChild(message, item->hwndItem);
            return;
        }
        break;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
        if (item->CtlType != ODT_MENU) {
            auto it = g_byId.find(static_cast<int>(item->CtlID));
            ReflectToChild(message, it != g_byId.end() ? it->second->Handle() : nullptr);
            return;
        }
        break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (message.LParam) {
            ReflectToChild(message, reinterpret_cast<HWND>(message.LParam));
            return;
        }
        break;
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        SetBkColor(dc, ColorToRGB(Color()));
        message.Result = reinterpret_cast<LRESULT>(BackgroundBrush());
        return;
    }
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
        HandleKeyNotification(message);
        return;
    case WM_SIZE:
        DefaultHandler(message);
        // A minimized window's client area is no size for its controls to
        // follow: anchored ones would lose their sizes to it.
        if (message.WParam != SIZE_MINIMIZED) Resized();
        return;
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(message.LParam);
        if (!(pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOSIZE)) {
            RECT r;
            GetWindowRect(handle_, &r);
            if (!IsTopLevel()) MapWindowPoints(nullptr, GetParent(handle_), reinterpret_cast<POINT*>(&r), 2);
            UpdateBoundsFields(r.left, r.top, r.right - r.left, r.bottom - r.top);
        }
        break;
    }
    case WM_SETFOCUS:
        DefaultHandler(message);
        if (TForm* form = ParentForm()) form->FocusChanged(this);
        return;
    case WM_MOUSEMOVE: {
        POINT at{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
        TControl* under = ControlAtPos(at);
        if (!dynamic_cast<TGraphicControl*>(under)) under = this;
        detail::SetMouseControl(under);
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, handle_, 0};
        TrackMouseEvent(&track);
        if (under != this && under->Enabled())
            under->Perform(message.Msg, message.WParam, MAKELPARAM(at.x - under->Left(), at.y - under->Top()));
        break;
    }
    case WM_MOUSELEAVE:
        if (g_mouseControl == this || (g_mouseControl && g_mouseControl->Parent() == this &&
                                       dynamic_cast<TGraphicControl*>(g_mouseControl)))
            detail::SetMouseControl(nullptr);
        break;
    case WM_CONTEXTMENU:
        if (!PopupMenu() && message.LParam != -1) {
            POINT at{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
            ::ScreenToClient(handle_, &at);
            TControl* under = ControlAtPos(at);
            if (under && dynamic_cast<TGraphicControl*>(under) && under->PopupMenu()) {
                under->Perform(message);
                return;
            }
        }
        break;
    case CM_DIALOGKEY:
        Broadcast(message);
        return;
    case CM_FOCUSCHANGED:
        Broadcast(message);
        return;
    case CM_CONTROLLISTCHANGE:
        if (parent_) parent_->WindowProc(message);
        return;
    }
    if (IsMouseMessage(message.Msg) && message.Msg != WM_MOUSEMOVE) {
        POINT at{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
        TControl* under = ControlAtPos(at);
        if (under && dynamic_cast<TGraphicControl*>(under) && under->Enabled())
            under->Perform(message.Msg, message.WParam, MAKELPARAM(at.x - under->Left(), at.y - under->Top()));
    }
    TControl::WndProc(message);
}

// The layer's own notifications (0xB000-0xBFFF) end here; every other
// message, registered and application messages included, goes on to the
// window's own procedure.
void TWinControl::DefaultHandler(TMessage& message) {
    if (handle_ && (message.Msg < CM_BASE || message.Msg > CM_LAST)) {
        message.Result = CallWindowProcW(defWndProc_, handle_, message.Msg, message.WParam, message.LParam);
        return;
    }
    if (!handle_) TControl::DefaultHandler(message);
}

// ---- TControlCanvas

void TControlCanvas::CreateHandle() {
    auto* windowed = dynamic_cast<TWinControl*>(control_);
    TWinControl* host = windowed ? windowed : control_->Parent();
    if (!host || !host->HandleAllocated()) return;
    window_ = host->Handle();
    HDC dc = GetDCEx(window_, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (!windowed) {
        // A graphic control draws at its place in the parent, within its bounds.
        SetViewportOrgEx(dc, control_->Left(), control_->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, control_->Width(), control_->Height());
    }
    SetHandle(dc);
    detail::HoldCanvas(this);
}

void TControlCanvas::FreeHandle() {
    if (!window_) return;
    HDC dc = Handle();
    SetHandle(nullptr);
    ReleaseDC(window_, dc);
    window_ = nullptr;
}

namespace detail {

// Canvases that fetched a window context themselves give it back once the
// message being handled is done.
std::vector<TControlCanvas*>& HeldCanvases() {
    static std::vector<TControlCanvas*> held;
    return held;
}

void HoldCanvas(TControlCanvas* canvas) { HeldCanvases().push_back(canvas); }

void ForgetCanvas(TControlCanvas* canvas) {
    auto& held = HeldCanvases();
    held.erase(std::remove(held.begin(), held.end(), canvas), held.end());
}

void FreeHeldCanvases() {
    auto& held = HeldCanvases();
    while (!held.empty()) {
        TControlCanvas* canvas = held.back();
        held.pop_back();
        canvas->FreeHandle();
    }
}

}  // namespace detail

// ---- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(new TControlCanvas(this)) {}

TGraphicControl::~TGraphicControl() {
    detail::ForgetCanvas(canvas_);
    delete canvas_;
}

void TGraphicControl::InvalidateOnce(bool& pending) {
    if (pending) return;
    TWinControl* parent = Parent();
    if (!parent || !parent->HandleAllocated() || !Visible()) return;
    TControl::Invalidate();
    // A parent that is not on screen keeps no update region: nothing waits then.
    pending = IsWindowVisible(parent->Handle()) != FALSE;
}

void TGraphicControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_LBUTTONUP:
        MouseEvent(message);
        if (Enabled()) Click();
        return;
    case WM_LBUTTONDBLCLK:
        MouseEvent(message);
        if (Enabled() && OnDblClick) OnDblClick(this);
        return;
    }
    TControl::WndProc(message);
}

// ---- TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(new TControlCanvas(this)) {}

TCustomControl::~TCustomControl() {
    detail::ForgetCanvas(canvas_);
    delete canvas_;
    canvas_ = nullptr;
}

// ---- window procedure chains of any window

namespace {

struct SubclassChain {
    WNDPROC original;
    std::vector<std::pair<TWindowProcToken, TSubclassProc>> procedures;  // the newest last
};

const WCHAR* SubclassProp() { return L"NorvixSubclass"; }
TWindowProcToken g_nextSubclassToken = 1;

SubclassChain* ChainOf(HWND window) { return static_cast<SubclassChain*>(GetPropW(window, SubclassProp())); }

LRESULT CALLBACK SubclassChainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    SubclassChain* chain = ChainOf(window);
    if (!chain) return DefWindowProcW(window, msg, wParam, lParam);
    LRESULT result;
    if (chain->procedures.empty()) {
        result = CallWindowProcW(chain->original, window, msg, wParam, lParam);
    } else {
        TSubclassProc top = chain->procedures.back().second;  // a copy: it may take itself out
        result = top(window, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        if (SubclassChain* ended = ChainOf(window)) {
            RemovePropW(window, SubclassProp());
            delete ended;
        }
    }
    return result;
}

}  // namespace

TWindowProcToken SubclassWindow(HWND window, TSubclassProc procedure) {
    if (!window || !IsWindow(window)) return 0;
    SubclassChain* chain = ChainOf(window);
    if (!chain) {
        chain = new SubclassChain;
        SetPropW(window, SubclassProp(), chain);
        chain->original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassChainProc)));
    }
    TWindowProcToken token = g_nextSubclassToken++;
    chain->procedures.emplace_back(token, std::move(procedure));
    return token;
}

void RemoveSubclass(HWND window, TWindowProcToken token) {
    SubclassChain* chain = ChainOf(window);
    if (!chain) return;
    auto& list = chain->procedures;
    list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& entry) { return entry.first == token; }),
               list.end());
    // The window gets its own procedure back when nobody else subclassed it
    // above the chain meanwhile; otherwise the empty chain passes straight on.
    if (list.empty() &&
        GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassChainProc)) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain->original));
        RemovePropW(window, SubclassProp());
        delete chain;
    }
}

bool SubclassOnTop(HWND window, TWindowProcToken token) {
    SubclassChain* chain = ChainOf(window);
    return chain && !chain->procedures.empty() && chain->procedures.back().first == token &&
           GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassChainProc);
}

LRESULT CallPreviousSubclass(HWND window, TWindowProcToken token, UINT msg, WPARAM wParam, LPARAM lParam) {
    SubclassChain* chain = ChainOf(window);
    if (!chain) return DefWindowProcW(window, msg, wParam, lParam);
    auto& list = chain->procedures;
    for (size_t i = list.size(); i-- > 0;) {
        if (list[i].first != token) continue;
        if (i == 0) break;
        TSubclassProc previous = list[i - 1].second;
        return previous(window, msg, wParam, lParam);
    }
    return CallWindowProcW(chain->original, window, msg, wParam, lParam);
}

// ---- printing any window

namespace {

// The visual style's drawing of scroll bars, when the system has one.
struct ThemeApi {
    using OpenFn = HANDLE(WINAPI*)(HWND, LPCWSTR);
    using CloseFn = HRESULT(WINAPI*)(HANDLE);
    using DrawFn = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, const RECT*);
    OpenFn open = nullptr;
    CloseFn close = nullptr;
    DrawFn draw = nullptr;
};

const ThemeApi& Theme() {
    static ThemeApi api = [] {
        ThemeApi loaded;
        if (HMODULE module = LoadLibraryW(L"uxtheme.dll")) {
            loaded.open = reinterpret_cast<ThemeApi::OpenFn>(GetProcAddress(module, "OpenThemeData"));
            loaded.close = reinterpret_cast<ThemeApi::CloseFn>(GetProcAddress(module, "CloseThemeData"));
            loaded.draw = reinterpret_cast<ThemeApi::DrawFn>(GetProcAddress(module, "DrawThemeBackground"));
            if (!loaded.open || !loaded.close || !loaded.draw) loaded = ThemeApi{};
        }
        return loaded;
    }();
    return api;
}

// Parts and states of the scroll-bar class of visual styles.
enum { kArrowPart = 1, kThumbHorzPart = 2, kThumbVertPart = 3, kLowerTrackHorz = 4, kUpperTrackHorz = 5,
       kLowerTrackVert = 6, kUpperTrackVert = 7, kGripperHorz = 8, kGripperVert = 9 };

// The scroll bars of a window's frame, as the system draws them.
void DrawScrollBars(HWND window, HDC dc, const RECT& windowRect) {
    const ThemeApi& theme = Theme();
    HANDLE themeData = theme.open ? theme.open(window, L"Scrollbar") : nullptr;
    for (LONG object : {OBJID_HSCROLL, OBJID_VSCROLL}) {
        SCROLLBARINFO info = {};
        info.cbSize = sizeof(info);
        if (!GetScrollBarInfo(window, object, &info)) continue;
        if (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) continue;
        RECT bar = info.rcScrollBar;
        OffsetRect(&bar, -windowRect.left, -windowRect.top);
        if (IsRectEmpty(&bar)) continue;
        bool vertical = object == OBJID_VSCROLL;
        bool disabled = info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE;
        int arrow = vertical ? bar.right - bar.left : bar.bottom - bar.top;
        RECT first = bar, last = bar;
        if (vertical) {
            first.bottom = first.top + arrow;
            last.top = last.bottom - arrow;
        } else {
            first.right = first.left + arrow;
            last.left = last.right - arrow;
        }
        RECT track = bar;
        if (vertical) {
            track.top = first.bottom;
            track.bottom = last.top;
        } else {
            track.left = first.right;
            track.right = last.left;
        }
        if (themeData) {
            // Arrow states: up, down, left, right; normal 1, disabled 4 each.
            // The style shows a bar as disabled only when its window is.
            bool off = !IsWindowEnabled(window);
            theme.draw(themeData, dc, kArrowPart, (vertical ? 0 : 8) + (off ? 4 : 1), &first, nullptr);
            theme.draw(themeData, dc, kArrowPart, (vertical ? 4 : 12) + (off ? 4 : 1), &last, nullptr);
            int trackState = off ? 4 : 1;
            RECT upper = track, lower = track;
            bool thumbShown = !disabled && info.xyThumbBottom > info.xyThumbTop;
            RECT thumb = track;
            if (thumbShown) {
                if (vertical) {
                    thumb.top = bar.top + info.xyThumbTop;
                    thumb.bottom = bar.top + info.xyThumbBottom;
                    upper.bottom = thumb.top;
                    lower.top = thumb.bottom;
                } else {
                    thumb.left = bar.left + info.xyThumbTop;
                    thumb.right = bar.left + info.xyThumbBottom;
                    upper.right = thumb.left;
                    lower.left = thumb.right;
                }
            } else if (vertical) {
                upper.bottom = lower.top = track.top + (track.bottom - track.top) / 2;
            } else {
                upper.right = lower.left = track.left + (track.right - track.left) / 2;
            }
            theme.draw(themeData, dc, vertical ? kUpperTrackVert : kUpperTrackHorz, trackState, &upper, nullptr);
            theme.draw(themeData, dc, vertical ? kLowerTrackVert : kLowerTrackHorz, trackState, &lower, nullptr);
            if (thumbShown) {
                theme.draw(themeData, dc, vertical ? kThumbVertPart : kThumbHorzPart, 1, &thumb, nullptr);
                theme.draw(themeData, dc, vertical ? kGripperVert : kGripperHorz, 1, &thumb, nullptr);
            }
            continue;
        }
        UINT inactive = disabled ? DFCS_INACTIVE : 0;
        DrawFrameControl(dc, &first, DFC_SCROLL, (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
        DrawFrameControl(dc, &last, DFC_SCROLL, (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
        FillRect(dc, &track, GetSysColorBrush(COLOR_SCROLLBAR));
        if (!disabled && info.xyThumbBottom > info.xyThumbTop) {
            RECT thumb = track;
            if (vertical) {
                thumb.top = bar.top + info.xyThumbTop;
                thumb.bottom = bar.top + info.xyThumbBottom;
            } else {
                thumb.left = bar.left + info.xyThumbTop;
                thumb.right = bar.left + info.xyThumbBottom;
            }
            FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
            DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
        }
    }
    // The corner between two bars.
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
        SCROLLBARINFO h = {}, v = {};
        h.cbSize = v.cbSize = sizeof(SCROLLBARINFO);
        if (GetScrollBarInfo(window, OBJID_HSCROLL, &h) && GetScrollBarInfo(window, OBJID_VSCROLL, &v) &&
            !(h.rgstate[0] & STATE_SYSTEM_INVISIBLE) && !(v.rgstate[0] & STATE_SYSTEM_INVISIBLE)) {
            RECT corner{v.rcScrollBar.left, h.rcScrollBar.top, v.rcScrollBar.right, h.rcScrollBar.bottom};
            OffsetRect(&corner, -windowRect.left, -windowRect.top);
            FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
        }
    }
    if (themeData) theme.close(themeData);
}

// The frame of a child window: its edges and scroll bars.
void DrawChildFrame(HWND window, HDC dc) {
    RECT windowRect;
    GetWindowRect(window, &windowRect);
    RECT r{0, 0, windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (exStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (exStyle & WS_EX_STATICEDGE) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (style & WS_BORDER) FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    DrawScrollBars(window, dc, windowRect);
}

}  // namespace

void PrintChildWindows(HWND window, HDC dc, UINT flags) {
    // Bottom of the z-order first, so windows on top are drawn over the others.
    HWND child = GetWindow(window, GW_CHILD);
    if (!child) return;
    child = GetWindow(child, GW_HWNDLAST);
    for (; child; child = GetWindow(child, GW_HWNDPREV)) {
        if (!IsWindowVisible(child)) continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
        SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     (flags | PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN) & ~PRF_CHECKVISIBLE);
        RestoreDC(dc, saved);
    }
}

void PrintWindowInto(HWND window, HDC dc, UINT flags) {
    if (!window || !dc) return;
    if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(window)) return;
    int saved = SaveDC(dc);
    RECT windowRect;
    GetWindowRect(window, &windowRect);
    POINT client{0, 0};
    ClientToScreen(window, &client);
    if (flags & PRF_NONCLIENT) {
        if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) DrawChildFrame(window, dc);
        else DefWindowProcW(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT);
    }
    RECT clientRect;
    GetClientRect(window, &clientRect);
    OffsetViewportOrgEx(dc, client.x - windowRect.left, client.y - windowRect.top, nullptr);
    IntersectClipRect(dc, 0, 0, clientRect.right, clientRect.bottom);
    if (flags & PRF_ERASEBKGND) SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (flags & PRF_CLIENT) SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
    if (flags & PRF_CHILDREN) PrintChildWindows(window, dc, flags);
    RestoreDC(dc, saved);
}

}  // namespace vcl
