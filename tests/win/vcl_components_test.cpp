// What components hear of one another: replaced window procedures, freed
// components, and the component messages in the order the layer sends them.
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "vcl/imglist.h"

using namespace vcl;
using vcltest::Pump;

namespace {

struct Probe : TObject {
    int Value = 42;
};

}  // namespace

TEST(ObjectMemory, InTheTestsAFreedObjectIsOutOfReachAndItsPlaceNeverGivenAgain) {
    // The Win32 tests run with freed objects kept out of reach: a use after
    // free faults where it happens instead of reading what is left.
    ASSERT_TRUE(FreedObjectsQuarantined());
    auto* freed = new Probe;
    void* place = freed;
    delete freed;
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_NE(VirtualQuery(place, &info, sizeof info), 0u);
    EXPECT_EQ(info.State, static_cast<DWORD>(MEM_RESERVE));  // no longer readable
    std::vector<std::unique_ptr<Probe>> later;
    for (int i = 0; i < 64; ++i) {
        later.push_back(std::make_unique<Probe>());
        EXPECT_NE(static_cast<void*>(later.back().get()), place);
        EXPECT_EQ(later.back()->Value, 42);
    }
}

TEST(WindowProcChains, AReplacementMayTakeItselfOutWhileItHandlesAMessage) {
    auto* form = NewForm<TForm>(nullptr);
    const UINT probe = WM_APP + 8;
    TWindowProcToken token = 0;
    int seen = 0;
    // What the replacement holds lives as long as the replacement does.
    token = form->ReplaceWindowProc([form, &token, &seen, held = std::shared_ptr<Probe>(new Probe)](TMessage& m) {
        if (m.Msg != probe) {
            form->CallPreviousWindowProc(token, m);
            return;
        }
        form->RestoreWindowProc(token);
        seen = held->Value;  // still whole: the running replacement was not destroyed under itself
    });
    form->Perform(probe, 0, 0);
    EXPECT_EQ(seen, 42);
    EXPECT_FALSE(form->WindowProcOnTop(token));
    form->Free();
}

TEST(WindowProcChains, ReplacementsComeOffInAnyOrderAndKeepTheRest) {
    auto* form = NewForm<TForm>(nullptr);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    std::string seen;
    const UINT probe = WM_APP + 7;
    TWindowProcToken a = 0, b = 0, c = 0;
    auto replacement = [&](char name, TWindowProcToken& token) {
        return [&, name](TMessage& message) {
            if (message.Msg == probe) seen += name;
            edit->CallPreviousWindowProc(token, message);
        };
    };
    a = edit->ReplaceWindowProc(replacement('a', a));
    b = edit->ReplaceWindowProc(replacement('b', b));
    c = edit->ReplaceWindowProc(replacement('c', c));
    SendMessageW(edit->Handle(), probe, 0, 0);
    EXPECT_EQ(seen, "cba");
    EXPECT_TRUE(edit->WindowProcOnTop(c));
    EXPECT_FALSE(edit->WindowProcOnTop(a));

    // The middle one goes: the others stay linked.
    edit->RestoreWindowProc(b);
    seen.clear();
    SendMessageW(edit->Handle(), probe, 0, 0);
    EXPECT_EQ(seen, "ca");
    // An old-style replacement over the chain: the chain knows it is no longer on top.
    TWndMethod below = edit->WindowProc;
    edit->WindowProc = [&](TMessage& message) {
        if (message.Msg == probe) seen += 'x';
        below(message);
    };
    EXPECT_FALSE(edit->WindowProcOnTop(c));
    seen.clear();
    SendMessageW(edit->Handle(), probe, 0, 0);
    EXPECT_EQ(seen, "xca");
    edit->RestoreWindowProc(c);
    edit->RestoreWindowProc(a);
    seen.clear();
    SendMessageW(edit->Handle(), probe, 0, 0);
    EXPECT_EQ(seen, "x");
    edit->WindowProc = below;
    // With every replacement gone the control works as before.
    edit->SetText("Крейсер");
    EXPECT_EQ(edit->Text(), "Крейсер");

    // The same for the Win32 procedure of the edit's window.
    HWND window = edit->Handle();
    LONG_PTR own = GetWindowLongPtrW(window, GWLP_WNDPROC);
    std::string raw;
    TWindowProcToken s1 = 0, s2 = 0, s3 = 0;
    auto subclass = [&](char name, TWindowProcToken& token) {
        return [&, name](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (msg == probe) raw += name;
            return CallPreviousSubclass(w, token, msg, wParam, lParam);
        };
    };
    s1 = SubclassWindow(window, subclass('1', s1));
    s2 = SubclassWindow(window, subclass('2', s2));
    s3 = SubclassWindow(window, subclass('3', s3));
    SendMessageW(window, probe, 0, 0);
    EXPECT_EQ(raw, "321");
    EXPECT_TRUE(SubclassOnTop(window, s3));
    RemoveSubclass(window, s1);
    RemoveSubclass(window, s3);
    raw.clear();
    SendMessageW(window, probe, 0, 0);
    EXPECT_EQ(raw, "2");
    EXPECT_TRUE(SubclassOnTop(window, s2));
    SetWindowTextW(window, L"Линкор");
    EXPECT_EQ(edit->Text(), "Линкор");
    RemoveSubclass(window, s2);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), own);
    form->Free();
}

namespace {

// Holds a pointer to another component and forgets it when told.
class THolder : public TComponent {
public:
    using TComponent::TComponent;
    void Hold(TComponent* target) {
        held = target;
        target->FreeNotification(this);
    }
    TComponent* held = nullptr;
    std::vector<TComponent*> removed, inserted;

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        (operation == opRemove ? removed : inserted).push_back(component);
        if (operation == opRemove && component == held) held = nullptr;
    }
};

}  // namespace

TEST(Notifications, AFreedComponentIsForgottenByEveryoneWhoHeldIt) {
    TComponent ownerA(nullptr), ownerB(nullptr);
    auto* target = new TComponent(&ownerA);
    auto* nearby = new THolder(&ownerA);  // a sibling hears through the owner
    auto* remote = new THolder(&ownerB);   // another owner's component asks for the news
    auto* gone = new THolder(&ownerB);
    remote->Hold(target);
    gone->Hold(target);
    TComponent* goneAddress = gone;
    delete gone;  // a holder freed first is not told later; its siblings hear of it
    auto* sibling = new TComponent(&ownerA);
    EXPECT_EQ(nearby->inserted.back(), sibling);
    target->Free();
    EXPECT_EQ(remote->held, nullptr);
    EXPECT_EQ(remote->removed, (std::vector<TComponent*>{goneAddress, target}));
    EXPECT_EQ(nearby->removed.back(), target);

    // A menu forgets its freed image list.
    auto* menu = new TPopupMenu(&ownerB);
    auto* images = new TImageList(&ownerA);
    menu->SetImages(images);
    images->Free();
    EXPECT_EQ(menu->Images(), nullptr);
}

namespace {

const char* Name(UINT msg) {
    switch (msg) {
    case CM_ENTER: return "enter";
    case CM_EXIT: return "exit";
    case CM_UIACTIVATE: return "uiactivate";
    case CM_FOCUSCHANGED: return "focuschanged";
    case CM_CONTROLLISTCHANGE: return "listchange";
    case CM_CONTROLCHANGE: return "controlchange";
    case CM_COLORCHANGED: return "color";
    case CM_PARENTCOLORCHANGED: return "parentcolor";
    case CM_FONTCHANGED: return "font";
    case CM_PARENTFONTCHANGED: return "parentfont";
    case CM_VISIBLECHANGED: return "visible";
    case CM_ENABLEDCHANGED: return "enabled";
    case CM_MOUSEWHEEL: return "wheel";
    case CM_DIALOGCHAR: return "dialogchar";
    case CM_ACTIVATE: return "activate";
    case CM_DEACTIVATE: return "deactivate";
    }
    return nullptr;
}

// Every component message a control sees, as "name:message".
void Record(TControl* control, const std::string& name, std::vector<std::string>& log) {
    auto token = std::make_shared<TWindowProcToken>();
    *token = control->ReplaceWindowProc([control, name, token, &log](TMessage& message) {
        if (const char* what = Name(message.Msg)) log.push_back(name + ":" + what);
        control->CallPreviousWindowProc(*token, message);
    });
}

// A window class whose own procedure notes what the layer passes on to it.
std::vector<UINT> g_passedOn;

LRESULT CALLBACK ProbeProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= WM_APP) g_passedOn.push_back(msg);
    return DefWindowProcW(window, msg, wParam, lParam);
}

class TProbe : public TWinControl {
public:
    explicit TProbe(TComponent* owner) : TWinControl(owner) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = ProbeProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"NorvixProbe";
        RegisterClassW(&windowClass);
        CreateHandle();
    }

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.WindowClass = u"NorvixProbe";
    }
};

}  // namespace

TEST(ComponentMessages, ArriveInTheOrderTheLayerSendsThem) {
    auto* form = NewForm<TForm>(nullptr);
    form->SetClientSize(400, 300);
    std::vector<std::string> log;
    auto* left = new TPanel(form);
    left->SetParent(form);
    left->SetBounds(0, 0, 200, 100);
    auto* right = new TPanel(form);
    right->SetParent(form);
    right->SetBounds(200, 0, 200, 100);
    auto* one = new TEdit(form);
    one->SetParent(left);
    auto* two = new TEdit(form);
    two->SetParent(right);
    Record(form, "form", log);
    Record(left, "left", log);
    Record(right, "right", log);
    Record(one, "one", log);
    Record(two, "two", log);
    form->Show();
    one->SetFocus();
    Pump();
    log.clear();

    // The focus moves from one panel's edit to the other's.
    two->SetFocus();
    // Every control of the form hears where the focus went.
    EXPECT_EQ(log, (std::vector<std::string>{"one:exit", "left:exit", "right:enter", "two:enter", "two:uiactivate",
                                             "form:focuschanged", "left:focuschanged", "one:focuschanged",
                                             "right:focuschanged", "two:focuschanged"}));

    // A control placed on a panel and taken off again.
    log.clear();
    auto* three = new TEdit(form);
    three->SetParent(left);
    three->SetParent(nullptr);
    // A change of the list is told up to the form, a change of the control to its parent.
    EXPECT_EQ(log, (std::vector<std::string>{"left:listchange", "form:listchange", "left:controlchange",
                                             "left:controlchange", "left:listchange", "form:listchange"}));

    // Colour and font: the panel first, then what follows its colour and font.
    log.clear();
    one->SetParentColor(true);
    log.clear();
    left->SetColor(clAqua);
    left->Font()->SetStyle(fsBold);
    EXPECT_EQ(log, (std::vector<std::string>{"left:color", "one:parentcolor", "one:color", "left:font",
                                             "one:parentfont", "one:font"}));
    EXPECT_EQ(one->Color(), clAqua);
    EXPECT_EQ(one->Font()->Style(), fsBold);

    log.clear();
    two->SetVisible(false);
    two->SetEnabled(false);
    EXPECT_EQ(log, (std::vector<std::string>{"two:visible", "two:enabled"}));

    // The wheel asks the control first; a character no control wants goes to the form.
    log.clear();
    SendMessageW(one->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(log.front(), "one:wheel");
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetBounds(10, 200, 80, 25);
    log.clear();
    button->Perform(CN_CHAR, 'x', 0);
    // The form passes it on to its controls, each container to its own.
    EXPECT_EQ(log, (std::vector<std::string>{"form:dialogchar", "left:dialogchar", "one:dialogchar",
                                             "right:dialogchar", "two:dialogchar"}));

    // Activation: the form hears it as a component message.
    auto* other = NewForm<TForm>(nullptr);
    other->Show();
    Pump();
    log.clear();
    SetActiveWindow(form->Handle());
    Pump();
    SetActiveWindow(other->Handle());
    Pump();
    std::vector<std::string> activation;
    for (const auto& entry : log)
        if (entry == "form:activate" || entry == "form:deactivate") activation.push_back(entry);
    EXPECT_EQ(activation, (std::vector<std::string>{"form:activate", "form:deactivate"}));

    // Messages outside the layer's own range reach the window's procedure.
    auto* probe = new TProbe(form);
    probe->SetParent(form);
    UINT registered = RegisterWindowMessageW(L"NorvixProbeMessage");
    g_passedOn.clear();
    SendMessageW(probe->Handle(), WM_APP + 1, 0, 0);
    SendMessageW(probe->Handle(), registered, 0, 0);
    SendMessageW(probe->Handle(), CM_BASE + 0x50, 0, 0);
    EXPECT_EQ(g_passedOn, (std::vector<UINT>{WM_APP + 1, registered}));
    other->Free();
    form->Free();
}

namespace {

// The sizes of the pictures in the program file's icon "MAINICON".
std::vector<int> ProgramIconSizes() {
    std::vector<int> sizes;
    HRSRC found = FindResourceW(nullptr, L"MAINICON", reinterpret_cast<LPCWSTR>(RT_GROUP_ICON));
    if (!found) return sizes;
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    const DWORD length = SizeofResource(nullptr, found);
    if (!bytes || length < 6) return sizes;
    // The group's directory: a 6-byte head with the count, then 14-byte entries.
    const int count = bytes[4] | (bytes[5] << 8);
    for (int i = 0; i < count && 6u + 14u * (i + 1) <= length; ++i) sizes.push_back(bytes[6 + 14 * i] ? bytes[6 + 14 * i] : 256);
    return sizes;
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

}  // namespace

// The program file carries its own icon in the sizes the system asks for,
// and every form shows it (title, window manager, task bar) unless it has
// one of its own.
TEST(FormsAndApplication, EveryFormShowsTheProgramFilesOwnIcon) {
    const std::vector<int> sizes = ProgramIconSizes();
    for (int size : {16, 32, 48}) EXPECT_NE(std::find(sizes.begin(), sizes.end(), size), sizes.end()) << size;
    ASSERT_FALSE(Application->Icon()->Empty());
    EXPECT_EQ(IconWidth(Application->Icon()->Handle()), GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(IconWidth(Application->SmallIcon()), GetSystemMetrics(SM_CXSMICON));
    auto* form = NewForm<TForm>(nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(form->Handle(), WM_GETICON, ICON_BIG, 0)), Application->Icon()->Handle());
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(form->Handle(), WM_GETICON, ICON_SMALL, 0)), Application->SmallIcon());
    form->Free();
}

TEST(FormsAndApplication, ConstraintsIconAlphaMenuFontAndTheMessageEvent) {
    auto* form = NewForm<TForm>(nullptr);
    form->Constraints().MinWidth = 200;
    form->Constraints().MaxHeight = 300;
    form->SetBounds(10, 10, 100, 500);
    EXPECT_EQ(form->Width(), 200);
    EXPECT_EQ(form->Height(), 300);
    MINMAXINFO limits = {};
    SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 200);
    EXPECT_EQ(limits.ptMaxTrackSize.y, 300);

    HICON icon = CopyIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
    form->Icon()->SetHandle(icon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(form->Handle(), WM_GETICON, ICON_BIG, 0)), icon);
    EXPECT_GT(form->Icon()->Width(), 0);

    form->SetAlphaBlendValue(200);
    form->SetAlphaBlend(true);
    EXPECT_TRUE(GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(form->Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 200);
    form->SetAlphaBlend(false);
    EXPECT_FALSE(GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);

    EXPECT_FALSE(Screen->MenuFont()->Name().empty());

    // OnMessage sees what the loop takes and may drop it.
    int seen = 0, reached = 0;
    const UINT probe = WM_APP + 9;
    Application->OnMessage = [&](MSG& msg, bool& handled) {
        if (msg.message != probe) return;
        ++seen;
        handled = msg.wParam == 1;
    };
    TWindowProcToken token = form->ReplaceWindowProc([&](TMessage& message) {
        if (message.Msg == probe) ++reached;
        form->CallPreviousWindowProc(token, message);
    });
    PostMessageW(form->Handle(), probe, 1, 0);
    PostMessageW(form->Handle(), probe, 2, 0);
    Pump();
    Application->OnMessage = nullptr;
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(reached, 1);
    form->RestoreWindowProc(token);

    // The scroll box's bars and panel styles the skin reads.
    auto* box = new TScrollBox(form);
    box->SetParent(form);
    box->SetBounds(0, 0, 100, 60);
    auto* inner = new TPanel(form);
    inner->SetParent(box);
    inner->SetBounds(0, 0, 80, 200);
    box->UpdateScrollRange();
    EXPECT_TRUE(box->ControlStyle() & csAcceptsControls);
    EXPECT_TRUE(inner->ControlStyle() & csAcceptsControls);
    EXPECT_EQ(box->VertScrollBar()->Range(), 200);
    box->VertScrollBar()->SetPosition(50);
    EXPECT_EQ(inner->Top(), -50);
    EXPECT_EQ(box->VertScrollBar()->Position(), 50);
    box->VertScrollBar()->SetPosition(100000);
    EXPECT_EQ(box->VertScrollBar()->Position(), 200 - box->ClientHeight());
    box->VertScrollBar()->SetVisible(false);
    EXPECT_EQ(inner->Top(), 0);
    box->SetBorderStyle(bsNone);
    EXPECT_FALSE(GetWindowLongPtrW(box->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    form->Free();
}
