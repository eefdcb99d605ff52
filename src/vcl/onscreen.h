// Bringing what the program drew onto the screen now. Wine draws a window
// into a picture of its own and puts that on the screen only when the
// thread looks at its queue or ends a paint; a handler that shows a window
// or changes the look of several windows and then goes on working would
// otherwise show them black or half changed meanwhile.
#pragma once
#include "vcl/win.h"

#include <vector>

namespace vcl {

// Paints the window and every visible window inside it that waits for a
// paint, now; also the controls that put off their paint until the window
// behind them is painted (they ask for a further round).
void PaintWhole(HWND window);

// What the thread has drawn goes to the screen now.
void FlushToScreen();

// For a top-level window just shown: waits until the desktop shows it (at
// most kShowWaitMs: the window manager maps it when it can; what is drawn
// before that is lost).
void WaitUntilOnScreen(HWND window);
inline constexpr unsigned kShowWaitMs = 300;

// Keeps what the screen shows where the top-level windows are until
// Release (or the end of the hold): meanwhile they may be changed, shown and
// repainted in any order; at the end each shown one is painted whole and
// appears at once. Hidden windows count only with `hiddenToo` (a window
// about to be shown). A message box or modal form ends every hold first, so
// that nothing waits unseen.
class TScreenHold {
public:
    explicit TScreenHold(const std::vector<HWND>& windows, bool hiddenToo = false);
    ~TScreenHold();
    TScreenHold(const TScreenHold&) = delete;
    TScreenHold& operator=(const TScreenHold&) = delete;
    void Release();
    // Ends every hold of the thread.
    static void ReleaseAll();

private:
    std::vector<HWND> windows_;
    std::vector<unsigned long> covers_;
    bool released_ = false;
};

}  // namespace vcl
