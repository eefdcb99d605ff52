// The closing notice: no way out but its button, which is usable two
// seconds after the notice appears and ends the program. (Its own test
// program: the end of the program ends every message loop in it.)
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

#include "windows/klan.h"

using namespace vcl;
using vcltest::Advance;

TEST(ClosingNotice, RefusesEveryOtherWayAndEndsTheProgramFromItsButton) {
    vcltest::Clock();
    auto* notice = NewForm<TFo8>(nullptr);
    EXPECT_EQ(notice->Caption(), "Warring");
    EXPECT_FALSE(notice->Button1->Enabled());
    EXPECT_FALSE(notice->Timer1->Enabled());

    bool buttonWasDisabled = false, closeBoxRefused = false, escapeRefused = false, enabledAfterTwoSeconds = false;
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
        vcltest::Click(notice->Button1);
    });
    // The main window enables the timer and shows the notice modally.
    notice->Timer1->SetEnabled(true);
    notice->ShowModal();

    EXPECT_TRUE(buttonWasDisabled);
    EXPECT_TRUE(closeBoxRefused);
    EXPECT_TRUE(escapeRefused);
    EXPECT_TRUE(enabledAfterTwoSeconds);
    EXPECT_FALSE(notice->Visible());
    EXPECT_TRUE(Application->Terminated());
}
