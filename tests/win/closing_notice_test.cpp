// The closing notice: no way out but its button, which is usable two
// seconds after the notice appears and ends the program; the end takes every
// window down at once. (Its own test program: the end of the program ends
// every message loop in it.)
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

#include "windows/klan.h"

#include <set>

using namespace vcl;
using vcltest::Advance;

TEST(ClosingNotice, RefusesEveryOtherWayAndEndsTheProgramFromItsButton) {
    vcltest::Clock();
    auto* notice = NewForm<TFo8>(nullptr);
    EXPECT_EQ(notice->Caption(), "Warring");
    EXPECT_FALSE(notice->Button1->Enabled());
    EXPECT_FALSE(notice->Timer1->Enabled());

    bool buttonWasDisabled = false, closeBoxRefused = false, escapeRefused = false, enabledAfterTwoSeconds = false,
         endedByReturn = false;
    vcltest::PostAction([&] {
        buttonWasDisabled = !notice->Button1->Enabled();
        SendMessageW(notice->Handle(), WM_CLOSE, 0, 0);
        vcltest::Pump();
        closeBoxRefused = notice->Visible() && !Application->Terminated();
        vcltest::PressKey(notice, VK_ESCAPE);
        escapeRefused = notice->Visible();
        Advance(1999);
        buttonWasDisabled = buttonWasDisabled && !notice->Button1->Enabled();
        Advance(1);
        enabledAfterTwoSeconds = notice->Button1->Enabled();
        // The focus is on the button: Return presses it.
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
        vcltest::Pump();
        endedByReturn = Application->Terminated();
        if (!endedByReturn) vcltest::Click(notice->Button1);
    });
    // The main window enables the timer and shows the notice modally.
    notice->Timer1->SetEnabled(true);
    notice->ShowModal();

    EXPECT_TRUE(buttonWasDisabled);
    EXPECT_TRUE(closeBoxRefused);
    EXPECT_TRUE(escapeRefused);
    EXPECT_TRUE(enabledAfterTwoSeconds);
    EXPECT_TRUE(endedByReturn);
    EXPECT_FALSE(notice->Visible());
    EXPECT_TRUE(Application->Terminated());
}

namespace {

std::set<HWND> hiddenOnTheWay;

LRESULT CALLBACK WatchHiding(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGING &&
        (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_HIDEWINDOW))
        hiddenOnTheWay.insert(call->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// Once the notice has ended the program, the forms are freed with their
// windows destroyed as they stand: hidden one by one, each would wait for a
// window manager to have taken it (two seconds a window under an X server
// without one), and the program would linger long after the notice.
// After the test above, which ends the program.
TEST(ClosingNotice, TheEndFreesEveryFormWithoutHidingItsWindowFirst) {
    ASSERT_TRUE(Application->Terminated());
    std::vector<HWND> shown;
    int freed = 0;
    for (int i = 0; i < 4; ++i) {
        TFo8* form = nullptr;
        Application->CreateForm(form);
        form->SetCaption("Окно " + std::to_string(i));
        form->OnDestroy = [&freed](TObject*) { ++freed; };
        if (i < 3) {
            form->Show();
            shown.push_back(form->Handle());
        }
    }
    vcltest::Pump();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchHiding, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    Application->Run();
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(freed, 4);
    EXPECT_EQ(Application->ComponentCount(), 0);
    for (HWND window : shown) {
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(hiddenOnTheWay.count(window)) << "a window was hidden before it was destroyed";
    }
}
