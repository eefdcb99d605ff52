// Timer ticks as the windows rely on them, driven by the test clock.
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

using namespace vcl;
using vcltest::Advance;

namespace {

struct Ticks {
    std::vector<std::string> log;
    TNotifyEvent Counter(const std::string& name) {
        return [this, name](TObject*) { log.push_back(name); };
    }
    int Count(const std::string& name) const { return static_cast<int>(std::count(log.begin(), log.end(), name)); }
};

}  // namespace

TEST(Timers, CountdownStartsAtEnablingAndRestartsOnlyWhenChanged) {
    vcltest::Clock();
    TComponent owner(nullptr);
    Ticks ticks;
    auto* timer = new TTimer(&owner);
    timer->SetEnabled(false);
    timer->SetInterval(1000);
    timer->OnTimer = ticks.Counter("t");
    timer->SetEnabled(true);
    Advance(999);
    EXPECT_EQ(ticks.Count("t"), 0);
    Advance(1);
    EXPECT_EQ(ticks.Count("t"), 1);

    // Enabling an enabled timer keeps its countdown.
    Advance(500);
    timer->SetEnabled(true);
    Advance(500);
    EXPECT_EQ(ticks.Count("t"), 2);

    // Disabling and enabling starts it over.
    Advance(500);
    timer->SetEnabled(false);
    timer->SetEnabled(true);
    Advance(500);
    EXPECT_EQ(ticks.Count("t"), 2);
    Advance(500);
    EXPECT_EQ(ticks.Count("t"), 3);

    // So does a new interval; the same interval changes nothing.
    Advance(700);
    timer->SetInterval(1000);
    Advance(300);
    EXPECT_EQ(ticks.Count("t"), 4);
    Advance(700);
    timer->SetInterval(400);
    Advance(399);
    EXPECT_EQ(ticks.Count("t"), 4);
    Advance(1);
    EXPECT_EQ(ticks.Count("t"), 5);
    timer->SetEnabled(false);
    Advance(5000);
    EXPECT_EQ(ticks.Count("t"), 5);
}

TEST(Timers, StartSequenceRunsInTimeOrderAndCreationOrderAmongEquals) {
    vcltest::Clock();
    TComponent owner(nullptr);
    Ticks ticks;
    auto make = [&](const std::string& name, unsigned interval) {
        auto* timer = new TTimer(&owner);
        timer->SetInterval(interval);
        // One-shot, as the start-up timers are.
        timer->OnTimer = [&ticks, timer, name](TObject*) {
            timer->SetEnabled(false);
            ticks.log.push_back(name);
        };
        return timer;
    };
    make("positions", 1);
    make("fleet", 1000);
    make("templates", 3000);
    make("editor", 1);
    make("database", 1000);
    Advance(3000);
    EXPECT_EQ(ticks.log, (std::vector<std::string>{"positions", "editor", "fleet", "database", "templates"}));
}

TEST(Timers, AOneMillisecondTimerRunsRightAfterTheCurrentEventAndNeverReenters) {
    vcltest::Clock();
    TComponent owner(nullptr);
    auto* battle = new TTimer(&owner);
    battle->SetEnabled(false);
    battle->SetInterval(1);
    int battles = 0, depth = 0, deepest = 0;
    battle->OnTimer = [&](TObject*) {
        // A battle tick: switch off, work while keeping the window painted, re-arm.
        battle->SetEnabled(false);
        ++depth;
        deepest = std::max(deepest, depth);
        battle->SetEnabled(true);  // armed again while still inside the tick
        vcltest::Advance(5);       // time passes and messages are handled meanwhile
        --depth;
        if (++battles >= 3) battle->SetEnabled(false);
    };
    battle->SetEnabled(true);
    Advance(1);
    EXPECT_EQ(battles, 3);
    EXPECT_EQ(deepest, 1);
    EXPECT_FALSE(battle->Enabled());
}

TEST(Timers, AHandlerCalledDirectlyLeavesTheCountdownAlone) {
    vcltest::Clock();
    TComponent owner(nullptr);
    auto* timer = new TTimer(&owner);
    timer->SetInterval(1000);
    int ticks = 0;
    timer->OnTimer = [&](TObject*) { ++ticks; };
    Advance(600);
    timer->OnTimer(timer);
    EXPECT_EQ(ticks, 1);
    Advance(400);
    EXPECT_EQ(ticks, 2);
}

TEST(Timers, AnExceptionInATickIsShownAndTheTimerGoesOn) {
    vcltest::Clock();
    vcltest::MessageBoxes boxes;
    TComponent owner(nullptr);
    auto* timer = new TTimer(&owner);
    timer->SetInterval(100);
    int ticks = 0;
    timer->OnTimer = [&](TObject*) {
        ++ticks;
        throw rtl::ERangeError();
    };
    Advance(250);
    EXPECT_EQ(ticks, 2);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, "Ошибка проверки диапазона.");
}

namespace {

BOOL CALLBACK PressOkOfMessageBox(HWND window, LPARAM found) {
    WCHAR name[32] = {};
    GetClassNameW(window, name, 32);
    if (name[0] == '#' && name[1] == '3' && name[2] == '2' && name[3] == '7' && name[4] == '7' && name[5] == '0' &&
        IsWindowVisible(window)) {
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        *reinterpret_cast<bool*>(found) = true;
    }
    return TRUE;
}

}  // namespace

// The closing notice relies on this: a timer enabled before a real message
// box ticks while the box waits.
TEST(Timers, TicksGoOnInsideARealMessageBox) {
    vcltest::Clock();
    TComponent owner(nullptr);
    auto* timer = new TTimer(&owner);
    timer->SetInterval(2000);
    bool closed = false;
    timer->OnTimer = [&](TObject*) {
        timer->SetEnabled(false);
        EnumThreadWindows(GetCurrentThreadId(), PressOkOfMessageBox, reinterpret_cast<LPARAM>(&closed));
    };
    vcltest::PostAction([] { Advance(2000); });
    int answer = Application->MessageBox("Ожидание", "Kemru", MB_OK);
    EXPECT_TRUE(closed);
    EXPECT_EQ(answer, IDOK);
}

// The windows of the program are created while the timers are held: a
// message box shown then lets no tick through, and afterwards the timers
// count from the release in the order of their intervals.
TEST(Timers, HeldTimersTickNeitherInsideAMessageBoxNorBeforeTheirTimeFromTheRelease) {
    vcltest::Clock();
    TComponent owner(nullptr);
    Ticks ticks;
    TTimer* late = nullptr;
    {
        TTimerHold hold;
        auto* early = new TTimer(&owner);
        early->SetInterval(1);
        early->OnTimer = [&ticks, early](TObject*) {
            early->SetEnabled(false);
            ticks.log.push_back("early");
        };
        bool nothingDue = false, closed = false;
        vcltest::PostAction([&] {
            Advance(5000);
            uint64_t due = 0;
            nothingDue = !NextTimerDue(due);
            EnumThreadWindows(GetCurrentThreadId(), PressOkOfMessageBox, reinterpret_cast<LPARAM>(&closed));
        });
        Application->MessageBox("Не найден файл opt.dat", "Настройки", MB_OK);
        EXPECT_TRUE(closed);
        EXPECT_TRUE(nothingDue);
        // Made 5 s after the first, it must still come after it.
        late = new TTimer(&owner);
        late->SetInterval(1000);
        late->OnTimer = [&ticks, &late](TObject*) {
            late->SetEnabled(false);
            ticks.log.push_back("late");
        };
    }
    EXPECT_TRUE(ticks.log.empty());
    Advance(1);
    EXPECT_EQ(ticks.log, std::vector<std::string>{"early"});
    Advance(998);
    EXPECT_EQ(ticks.Count("late"), 0);
    Advance(1);
    EXPECT_EQ(ticks.log, (std::vector<std::string>{"early", "late"}));
}

// A timer whose handler is still to come (the fleet selection's, say) keeps
// no Win32 timer ticking every millisecond.
TEST(Timers, AnEnabledTimerWithoutAHandlerArmsNothing) {
    vcltest::Clock();
    TComponent owner(nullptr);
    auto* idle = new TTimer(&owner);
    idle->SetInterval(1);
    idle->SetEnabled(true);
    uint64_t due = 0;
    EXPECT_FALSE(NextTimerDue(due));

    // On the real clock: no WM_TIMER reaches the application window.
    SetTimerClock(nullptr);
    vcltest::Pump();
    Sleep(50);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, Application->Handle(), WM_TIMER, WM_TIMER, PM_NOREMOVE));
    SetTimerClock(&vcltest::Clock());

    // Given a handler and enabled anew, it runs.
    int ticks = 0;
    idle->OnTimer = [&](TObject*) { ++ticks; };
    idle->SetEnabled(false);
    idle->SetEnabled(true);
    Advance(1);
    EXPECT_EQ(ticks, 1);
}

// On the real clock: a timer that is due runs as soon as the message loop
// finds the queue empty, not when the system's timer message comes (under
// Wine no sooner than 10 ms after it was set), so a run of one-tick-per-
// battle steps does not wait between its ticks.
TEST(Timers, TheMessageLoopRunsADueTimerAsSoonAsTheQueueIsEmpty) {
    SetTimerClock(nullptr);
    TComponent owner(nullptr);
    auto* timer = new TTimer(&owner);
    timer->SetEnabled(false);
    timer->SetInterval(1);
    int ticks = 0;
    timer->OnTimer = [&](TObject*) {
        timer->SetEnabled(false);
        ++ticks;
    };
    timer->SetEnabled(true);
    Sleep(3);
    Application->ProcessMessages();  // the queue is empty; the timer is due
    ASSERT_EQ(ticks, 0);
    Application->HandleMessage();
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer->Enabled());
}
