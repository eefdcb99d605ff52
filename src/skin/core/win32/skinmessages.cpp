#include "skin/core/win32/skinmessages.h"

#include <memory>

#include "skin/core/win32/skingdi.h"
#include "vcl/wintext.h"

namespace skin {

using namespace vcl;

TParentCacheInfo ReplyCacheInfo;
TColor ReplyBgColor = clFuchsia;

namespace {

bool Destroying(const TComponent* c) { return (c->ComponentState() & csDestroying) != 0; }

}  // namespace

TMessage SkinCommandMessage(unsigned command, LPARAM lParam, unsigned sub) {
    TMessage m;
    m.Msg = SM_SKINCMD;
    m.WParam = SkinCommandWParam(command, sub);
    m.LParam = lParam;
    return m;
}

LRESULT SendSkinCommand(HWND window, unsigned command, LPARAM lParam) {
    if (!window) return 0;
    return SendMessageW(window, SM_SKINCMD, SkinCommandWParam(command), lParam);
}

LRESULT ControlSkinCommand(TControl* control, unsigned command, LPARAM lParam) {
    if (!control) return 0;
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (!windowed) return control->Perform(SM_SKINCMD, SkinCommandWParam(command), lParam);
    if (!windowed->HandleAllocated() || Destroying(windowed)) return 0;
    return SendMessageW(windowed->Handle(), SM_SKINCMD, SkinCommandWParam(command), lParam);
}

bool AskSkinCommand(TControl* control, unsigned command) {
    if (!control) return false;
    TMessage m = SkinCommandMessage(command);
    control->Perform(m);
    if (m.LParam == 1) return true;
    auto* windowed = dynamic_cast<TWinControl*>(control);
    return windowed && windowed->HandleAllocated() && SkinCommandAnswered(windowed->Handle(), command);
}

bool AnswerSkinnedQuery(vcl::TMessage& message) {
    switch (SkinCommandOf(message.WParam)) {
        case AC_QUERYSKINNED:
            message.LParam = message.Result = 1;
            return true;
        case AC_QUERYAPPLICATION:
            message.Result = reinterpret_cast<LRESULT>(vcl::Application);
            return true;
        default:
            return false;
    }
}

bool SkinCommandAnswered(HWND window, unsigned command) { return SendSkinCommand(window, command, 0) == 1; }

LRESULT AddToFormAdapter(TWinControl* control) {
    if (!control || (control->ComponentState() & csDesigning)) return 0;
    TForm* form = control->ParentForm();
    if (!form || !form->HandleAllocated()) return 0;
    return SendSkinCommand(form->Handle(), AC_ADDTOADAPTER, reinterpret_cast<LPARAM>(control));
}

void RepaintChildControls(TWinControl* control, HRGN part) {
    if (!control) return;
    for (int i = 0; i < control->ControlCount(); ++i) {
        TControl* child = control->Controls(i);
        if (dynamic_cast<TGraphicControl*>(child) || Destroying(child)) continue;
        if (part) {
            const RECT bounds = child->BoundsRect();
            if (!RectInRegion(part, &bounds)) continue;
        }
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (!windowed)
            ControlSkinCommand(child, AC_REDRAWBG);
        else if (windowed->HandleAllocated() && windowed->Showing())
            SendSkinCommand(windowed->Handle(), AC_REDRAWBG);
    }
}

void RepaintChildWindows(HWND window) {
    for (HWND child = GetTopWindow(window); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongW(child, GWL_STYLE) & WS_CHILD) SendSkinCommand(child, AC_REDRAWBG);
}

void QueryBgColor(TWinControl* control) {
    ReplyBgColor = clFuchsia;
    if (!control) return;
    if (control->HandleAllocated()) SendSkinCommand(control->Handle(), AC_QUERYBGCOLOR);
    const TColor answer = ReplyBgColor == clFuchsia ? control->Color() : ReplyBgColor;
    ReplyBgColor = static_cast<TColor>(ColorToRGB(answer));
}

void BroadcastToChildren(TWinControl* control, TMessage& message) {
    if (!control) return;
    // By index, asking the list each time: a handler may take a child away.
    for (int i = 0; i < control->ControlCount(); ++i) {
        TControl* child = control->Controls(i);
        if (Destroying(child)) continue;
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (!windowed || !windowed->HandleAllocated())
            child->Perform(message);
        else if (AskSkinCommand(windowed, AC_QUERYSKINNED))
            message.Result = SendMessageW(windowed->Handle(), message.Msg, message.WParam, message.LParam);
        else
            BroadcastToChildren(windowed, message);
    }
}

UINT GetTextAlignFlags(TControl*, TAlignment alignment) {
    switch (alignment) {
        case taRightJustify: return DT_RIGHT;
        case taCenter: return DT_CENTER;
        default: return DT_LEFT;
    }
}

int AlignedControlsSize(TWinControl* control, TAlign align, bool withGraphic) {
    if (!control) return 0;
    int size = 0;
    for (int i = 0; i < control->ControlCount(); ++i) {
        TControl* child = control->Controls(i);
        if (!child->Visible() || child->Align() != align) continue;
        if (!withGraphic && !dynamic_cast<TWinControl*>(child)) continue;
        size += align == alTop || align == alBottom ? child->Height() : child->Width();
    }
    return size;
}

RECT GetWorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

namespace {

std::string ProgramFile() {
    WCHAR buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
    return FromWide(buffer, static_cast<int>(length));
}

}  // namespace

HICON ProgramIcon(bool large) {
    // Read once and left to the system, which frees them with the process:
    // destroyed by the C library's exit, after the windowing system has
    // shut down, they took the program down with a fault.
    static const HICON largeIcon = GetFileIcon(ProgramFile(), true);
    static const HICON smallIcon = GetFileIcon(ProgramFile(), false);
    return large ? largeIcon : smallIcon;
}

bool ControlIsReady(TControl* control) {
    if (!control) return false;
    if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && !windowed->HandleAllocated()) return false;
    if (control->ControlState() & csCreating) return false;
    if (control->ComponentState() & (csReading | csLoading | csDestroying)) return false;
    return control->Parent() != nullptr;
}

TForm* GetOwnerForm(TComponent* component) {
    for (TComponent* c = component; c; c = c->Owner())
        if (auto* form = dynamic_cast<TForm*>(c)) return form;
    return nullptr;
}

}  // namespace skin
