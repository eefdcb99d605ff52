// The two levels of message handling, the component notifications and the
// exception rule.
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

using namespace vcl;
using vcltest::Pump;

namespace {

class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* owner) : TForm(owner) {
        SetName("TestForm");
        SetCaption("Проба");
        Panel = new TPanel(this);
        Panel->SetName("Panel1");
        Panel->SetParent(this);
        Panel->SetBounds(10, 10, 200, 100);
        Edit = new TEdit(this);
        Edit->SetName("Edit1");
        Edit->SetParent(Panel);
        Edit->SetBounds(10, 10, 100, 21);
        Button = new TButton(this);
        Button->SetName("Button1");
        Button->SetParent(this);
        Button->SetBounds(10, 120, 75, 25);
    }
    TPanel* Panel;
    TEdit* Edit;
    TButton* Button;
};

struct Recorded {
    std::vector<UINT> messages;
    bool Saw(UINT msg) const { return std::find(messages.begin(), messages.end(), msg) != messages.end(); }
};

// Replaces a control's WindowProc with a recorder that passes everything on.
TWndMethod Record(TControl* control, Recorded& into) {
    TWndMethod old = control->WindowProc;
    control->WindowProc = [old, &into](TMessage& message) {
        into.messages.push_back(message.Msg);
        old(message);
    };
    return old;
}

}  // namespace

TEST(Messages, Win32ProcedureHandsEveryMessageToTheReplaceableWindowProc) {
    auto* form = NewForm<TTestForm>(nullptr);
    Recorded seen;
    TWndMethod original = Record(form->Edit, seen);
    SendMessageW(form->Edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
    EXPECT_TRUE(seen.Saw(WM_SETTEXT));
    EXPECT_EQ(form->Edit->Text(), "abc");  // and the default procedure still ran

    // A replacement that swallows a message keeps it from the control.
    int swallowed = 0;
    form->Edit->WindowProc = [&](TMessage& message) {
        if (message.Msg == WM_SETTEXT) {
            ++swallowed;
            message.Result = 0;
            return;
        }
        original(message);
    };
    SendMessageW(form->Edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"xyz"));
    EXPECT_EQ(swallowed, 1);
    EXPECT_EQ(form->Edit->Text(), "abc");

    // Restored, the control handles it again.
    form->Edit->WindowProc = original;
    SendMessageW(form->Edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"xyz"));
    EXPECT_EQ(form->Edit->Text(), "xyz");
    form->Free();
}

TEST(Messages, PerformCarriesAnswersInLParamBackButSendMessageDoesNot) {
    auto* form = NewForm<TTestForm>(nullptr);
    constexpr UINT kQuestion = 0xA100;
    TWndMethod old = form->Button->WindowProc;
    form->Button->WindowProc = [old](TMessage& message) {
        if (message.Msg == kQuestion) {
            message.LParam = 1;
            message.Result = 7;
            return;
        }
        old(message);
    };
    TMessage question{kQuestion, MAKEWPARAM(0, 7), 0, 0};
    EXPECT_EQ(form->Button->Perform(question), 7);
    EXPECT_EQ(question.LParam, 1);
    EXPECT_EQ(question.WParamHi(), 7);
    LPARAM plain = 0;
    EXPECT_EQ(SendMessageW(form->Button->Handle(), kQuestion, MAKEWPARAM(0, 7), plain), 7);
    EXPECT_EQ(plain, 0);
    form->Free();
}

namespace {
int firstCalls, secondCalls;
WNDPROC firstOld, secondOld;

LRESULT CALLBACK FirstSubclass(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SETTEXT) ++firstCalls;
    return CallWindowProcW(firstOld, w, m, wp, lp);
}

LRESULT CALLBACK SecondSubclass(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SETTEXT) ++secondCalls;
    return CallWindowProcW(secondOld, w, m, wp, lp);
}
}  // namespace

// The window procedure of a control's window can be replaced like any
// other; the control still sees the messages behind the replacements.
TEST(Messages, PlainWindowSubclassingStacksAndRestoresInAnyOrder) {
    auto* form = NewForm<TTestForm>(nullptr);
    HWND window = form->Edit->Handle();
    Recorded seen;
    Record(form->Edit, seen);
    firstOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FirstSubclass)));
    secondOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SecondSubclass)));
    SetWindowTextW(window, L"один");
    EXPECT_EQ(firstCalls, 1);
    EXPECT_EQ(secondCalls, 1);
    EXPECT_TRUE(seen.Saw(WM_SETTEXT));
    EXPECT_EQ(form->Edit->Text(), "один");
    // Perform stays on the control level and does not pass the replacements.
    form->Edit->SetText("три");
    EXPECT_EQ(firstCalls, 1);
    // Given back one by one, the control is reached after each step.
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(secondOld));
    SetWindowTextW(window, L"два");
    EXPECT_EQ(firstCalls, 2);
    EXPECT_EQ(secondCalls, 1);
    EXPECT_EQ(form->Edit->Text(), "два");
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(firstOld));
    SetWindowTextW(window, L"четыре");
    EXPECT_EQ(firstCalls, 2);
    EXPECT_EQ(form->Edit->Text(), "четыре");
    form->Free();
}

TEST(Messages, ComponentNotificationsReachWindowProcWithTheirNumbers) {
    auto* form = NewForm<TTestForm>(nullptr);
    Recorded onEdit, onForm, onButton;
    Record(form->Edit, onEdit);
    Record(form, onForm);
    Record(form->Button, onButton);

    form->Edit->SetEnabled(false);
    EXPECT_TRUE(onEdit.Saw(0xB00C));
    EXPECT_FALSE(IsWindowEnabled(form->Edit->Handle()));
    form->Edit->SetVisible(false);
    EXPECT_TRUE(onEdit.Saw(0xB00B));
    form->Edit->SetVisible(true);
    form->Edit->SetEnabled(true);

    // The form shows: its own showing changes, and its children's.
    form->Show();
    EXPECT_TRUE(onForm.Saw(0xB019));
    EXPECT_TRUE(onEdit.Saw(0xB019));
    EXPECT_TRUE(IsWindowVisible(form->Edit->Handle()));
    EXPECT_TRUE(form->Edit->Showing());

    // A control added anywhere below the form is announced up to the form.
    auto* label = new TLabel(form);
    label->SetParent(form->Panel);
    EXPECT_TRUE(onForm.Saw(0xB02C));

    // Focus changes are told to every control of the form.
    form->Edit->SetFocus();
    Pump();
    EXPECT_TRUE(onButton.Saw(0xB007));
    EXPECT_EQ(form->ActiveControl(), form->Edit);

    // A key pressed in a control is offered to it as a notification before dispatch.
    onEdit.messages.clear();
    vcltest::PressKey(form->Edit, 'A');
    EXPECT_TRUE(onEdit.Saw(0xBD00));
    EXPECT_TRUE(onEdit.Saw(0xBD01));
    form->Free();
}

TEST(Messages, LabelHasNoWindowAndIsPaintedByItsParent) {
    auto* form = NewForm<TTestForm>(nullptr);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetBounds(100, 160, 10, 10);
    label->SetCaption("ЖЖЖЖЖЖЖЖ");
    label->Font()->SetColor(clRed);
    EXPECT_GT(label->Width(), 20);  // sized to its text
    form->Show();
    Pump();
    EXPECT_EQ(FindWindowExW(form->Handle(), nullptr, nullptr, L"ЖЖЖЖЖЖЖЖ"), nullptr);

    HDC dc = GetDC(form->Handle());
    int red = 0;
    for (int x = label->Left(); x < label->Left() + label->Width(); ++x)
        for (int y = label->Top(); y < label->Top() + label->Height(); ++y)
            if (GetPixel(dc, x, y) == RGB(255, 0, 0)) ++red;
    ReleaseDC(form->Handle(), dc);
    EXPECT_GT(red, 10);
    form->Free();
}

TEST(Messages, AnExceptionInAHandlerIsShownAndTheProgramGoesOn) {
    vcltest::MessageBoxes boxes;
    Application->SetTitle("Kemru");
    auto* form = NewForm<TTestForm>(nullptr);
    int clicks = 0;
    form->Button->OnClick = [&](TObject*) {
        ++clicks;
        throw rtl::EConvertError("'abc' не является целым числом");
    };
    form->Show();
    vcltest::Click(form->Button);
    vcltest::Click(form->Button);
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, "'abc' не является целым числом.");
    EXPECT_EQ(boxes.Shown()[0].caption, "Kemru");
    EXPECT_EQ(boxes.Shown()[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));

    // An exception during creation is shown, and the form is still made.
    class TFailingForm : public TForm {
    public:
        explicit TFailingForm(TComponent* owner) : TForm(owner) {
            OnCreate = [](TObject*) { throw rtl::EInOutError("Файл не найден: of.dat."); };
        }
    };
    auto* failing = NewForm<TFailingForm>(nullptr);
    ASSERT_NE(failing, nullptr);
    EXPECT_EQ(boxes.Shown().back().text, "Файл не найден: of.dat.");
    failing->Free();
    form->Free();
}
