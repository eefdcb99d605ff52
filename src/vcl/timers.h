// Timers. Every timer of the program is kept by one scheduler that drives a
// single Win32 timer of the application window, so ticks run on the GUI
// thread, also inside modal loops and message boxes. The scheduler reads
// an exchangeable clock: tests put in a manual one and move it themselves.
#pragma once
#include "vcl/win.h"

#include <cstdint>

#include "vcl/classes.h"

namespace vcl {

class TTimerClock {
public:
    virtual ~TTimerClock() = default;
    // Milliseconds from an arbitrary start.
    virtual uint64_t NowMs() const = 0;
    // A manual clock moves only when told; the scheduler then arms no Win32 timer.
    virtual bool Manual() const { return false; }
};

class TManualClock : public TTimerClock {
public:
    uint64_t NowMs() const override { return now_; }
    bool Manual() const override { return true; }
    void Set(uint64_t now) { now_ = now; }

private:
    uint64_t now_ = 0;
};

// nullptr goes back to the real clock. Enabled timers keep their remaining time.
void SetTimerClock(TTimerClock* clock);
TTimerClock& TimerClock();
// Runs every timer that is due now (in due order, creation order among equals).
void RunDueTimers();
// The moment the next timer is due; false when none is enabled or they are held.
bool NextTimerDue(uint64_t& due);

// Holds every timer while the program's windows are being created: a message
// box shown then runs a message loop, and no tick may reach a window that
// does not exist yet. While held no handler runs and the timers' time stands
// still; released, every countdown goes on from where it stood, so timers
// enabled during the hold run in the order of their intervals. Holds nest.
void HoldTimers();
void ReleaseTimers();
class TTimerHold {
public:
    TTimerHold() { HoldTimers(); }
    ~TTimerHold() { ReleaseTimers(); }
    TTimerHold(const TTimerHold&) = delete;
    TTimerHold& operator=(const TTimerHold&) = delete;
};

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    const char* ClassName() const override { return "TTimer"; }

    unsigned Interval() const { return interval_; }
    // A different interval restarts the countdown.
    void SetInterval(unsigned value);
    bool Enabled() const { return enabled_; }
    // Enabling starts the countdown; enabling an enabled timer changes nothing.
    void SetEnabled(bool value);

    // An enabled timer without a handler keeps no Win32 timer armed; give
    // the handler before enabling it (or enable it again afterwards).
    TNotifyEvent OnTimer;

private:
    friend void RunDueTimers();
    friend bool NextTimerDue(uint64_t& due);
    friend void SetTimerClock(TTimerClock* clock);
    friend void ReleaseTimers();
    void Restart();
    bool Armed() const { return enabled_ && interval_ > 0 && OnTimer != nullptr; }

    unsigned interval_ = 1000;
    bool enabled_ = true;
    bool running_ = false;
    uint64_t due_ = 0;
    uint64_t order_;
};

namespace detail {
constexpr uintptr_t kSchedulerTimerId = 0x4E56;
void RescheduleTimers();
}  // namespace detail

}  // namespace vcl
