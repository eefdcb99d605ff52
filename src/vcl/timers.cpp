#include "vcl/timers.h"

#include "vcl/win.h"

#include <algorithm>
#include <vector>

#include "vcl/forms.h"

namespace vcl {

namespace {

class RealClock : public TTimerClock {
public:
    uint64_t NowMs() const override { return GetTickCount64(); }
};

RealClock g_realClock;
TTimerClock* g_clock = &g_realClock;
std::vector<TTimer*> g_timers;  // creation order
uint64_t g_nextOrder = 0;
int g_holds = 0;
uint64_t g_heldAt = 0;  // the timers' time while held

uint64_t TimerNow() { return g_holds > 0 ? g_heldAt : g_clock->NowMs(); }

}  // namespace

void HoldTimers() {
    if (g_holds++ == 0) g_heldAt = g_clock->NowMs();
    detail::RescheduleTimers();
}

void ReleaseTimers() {
    if (g_holds == 0 || --g_holds > 0) return;
    const uint64_t now = g_clock->NowMs();
    const uint64_t stood = now > g_heldAt ? now - g_heldAt : 0;
    for (TTimer* timer : g_timers) timer->due_ += stood;
    detail::RescheduleTimers();
}

void SetTimerClock(TTimerClock* clock) {
    TTimerClock* next = clock ? clock : &g_realClock;
    uint64_t oldNow = TimerNow(), newNow = next->NowMs();
    if (g_holds > 0) g_heldAt = newNow;
    for (TTimer* timer : g_timers) {
        uint64_t left = timer->due_ > oldNow ? timer->due_ - oldNow : 0;
        timer->due_ = newNow + left;
    }
    g_clock = next;
    detail::RescheduleTimers();
}

TTimerClock& TimerClock() { return *g_clock; }

TTimer::TTimer(TComponent* owner) : TComponent(owner), order_(g_nextOrder++) {
    g_timers.push_back(this);
    Restart();
}

TTimer::~TTimer() {
    g_timers.erase(std::remove(g_timers.begin(), g_timers.end(), this), g_timers.end());
    detail::RescheduleTimers();
}

void TTimer::Restart() {
    due_ = TimerNow() + interval_;
    detail::RescheduleTimers();
}

void TTimer::SetInterval(unsigned value) {
    if (interval_ == value) return;
    interval_ = value;
    Restart();
}

void TTimer::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    Restart();
}

bool NextTimerDue(uint64_t& due) {
    if (g_holds > 0) return false;
    bool any = false;
    for (TTimer* timer : g_timers) {
        if (!timer->Armed() || timer->running_) continue;
        if (!any || timer->due_ < due) due = timer->due_;
        any = true;
    }
    return any;
}

void RunDueTimers() {
    if (g_holds > 0) return;
    uint64_t now = g_clock->NowMs();
    std::vector<TTimer*> due;
    for (TTimer* timer : g_timers)
        if (timer->Armed() && !timer->running_ && timer->due_ <= now) due.push_back(timer);
    std::stable_sort(due.begin(), due.end(), [](TTimer* a, TTimer* b) {
        return a->due_ != b->due_ ? a->due_ < b->due_ : a->order_ < b->order_;
    });
    for (size_t i = 0; i < due.size(); ++i) {
        TTimer* timer = due[i];
        // An earlier handler may have freed, stopped or restarted this one.
        if (std::find(g_timers.begin(), g_timers.end(), timer) == g_timers.end()) continue;
        if (!timer->Armed() || timer->running_ || timer->due_ > now) continue;
        timer->due_ = now + timer->interval_;
        timer->running_ = true;
        try {
            timer->OnTimer(timer);
        } catch (...) {
            if (std::find(g_timers.begin(), g_timers.end(), timer) != g_timers.end()) timer->running_ = false;
            detail::HandleException();
            continue;
        }
        if (std::find(g_timers.begin(), g_timers.end(), timer) != g_timers.end()) timer->running_ = false;
    }
    detail::RescheduleTimers();
}

namespace detail {

void RescheduleTimers() {
    HWND window = Application->Handle();
    uint64_t due;
    if (g_clock->Manual() || !NextTimerDue(due)) {
        KillTimer(window, detail::kSchedulerTimerId);
        return;
    }
    uint64_t now = g_clock->NowMs();
    UINT delay = due > now ? static_cast<UINT>(std::min<uint64_t>(due - now, 0x7FFFFFFF)) : 1;
    SetTimer(window, detail::kSchedulerTimerId, delay, nullptr);
}

}  // namespace detail

}  // namespace vcl
