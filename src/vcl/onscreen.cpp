#include "vcl/onscreen.h"

#include <algorithm>

#include "vcl/xdesktop.h"

namespace vcl {

namespace {

// The X window Wine made for a top-level window; 0 when there is none.
xdesktop::XWindowId XWindowOf(HWND window) {
    return reinterpret_cast<xdesktop::XWindowId>(GetPropW(window, L"__wine_x11_whole_window"));
}

BOOL CALLBACK FindWaitingChild(HWND child, LPARAM found) {
    RECT r;
    if (!IsWindowVisible(child) || !GetUpdateRect(child, &r, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

bool WaitsForPaint(HWND window) {
    RECT r;
    if (GetUpdateRect(window, &r, FALSE)) return true;
    bool found = false;
    EnumChildWindows(window, FindWaitingChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Every pixel of the window, frame and children too, is drawn again as it
// is: the next flush puts the whole picture on the screen in one piece.
void MarkWhole(HWND window) {
    RECT r;
    if (!GetWindowRect(window, &r)) return;
    HDC dc = GetDCEx(window, nullptr, DCX_WINDOW | DCX_CACHE);
    if (!dc) return;
    BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
}

std::vector<TScreenHold*>& Holds() {
    static auto* holds = new std::vector<TScreenHold*>;
    return *holds;
}

}  // namespace

void PaintWhole(HWND window) {
    if (!window || !IsWindowVisible(window)) return;
    // A control that waits for the picture of the window behind it asks
    // that window for a paint and is painted from it: a further round.
    constexpr int kRounds = 4;
    for (int round = 0; round < kRounds && WaitsForPaint(window); ++round)
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void FlushToScreen() {
    GdiFlush();
    // Looking at the queue for a message that is never posted: Wine puts
    // what the thread drew on the screen, and nothing leaves the queue.
    static const UINT never = RegisterWindowMessageW(L"NorvixNeverPosted");
    MSG msg;
    PeekMessageW(&msg, nullptr, never, never, PM_NOREMOVE | PM_NOYIELD);
}

void WaitUntilOnScreen(HWND window) {
    const xdesktop::XWindowId x = XWindowOf(window);
    const ULONGLONG end = GetTickCount64() + kShowWaitMs;
    while (xdesktop::Shown(x) == xdesktop::TShown::No && GetTickCount64() < end) Sleep(1);
}

TScreenHold::TScreenHold(const std::vector<HWND>& windows, bool hiddenToo) {
    std::vector<xdesktop::TArea> areas;
    // Win32's screen starts at the virtual screen's corner, X's root at 0, 0.
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    for (HWND window : windows) {
        RECT r;
        if (!(hiddenToo || IsWindowVisible(window)) || IsIconic(window) || !GetWindowRect(window, &r)) continue;
        windows_.push_back(window);
        areas.push_back(xdesktop::TArea{r.left - left, r.top - top, r.right - r.left, r.bottom - r.top});
    }
    covers_ = xdesktop::Cover(areas);
    Holds().push_back(this);
}

TScreenHold::~TScreenHold() { Release(); }

void TScreenHold::Release() {
    if (released_) return;
    released_ = true;
    auto& holds = Holds();
    holds.erase(std::remove(holds.begin(), holds.end(), this), holds.end());
    std::vector<HWND> shown;
    for (HWND window : windows_) {
        if (!IsWindow(window) || !IsWindowVisible(window)) continue;
        PaintWhole(window);
        shown.push_back(window);
    }
    // What was flushed under the covers did not reach the screen: each
    // window goes there whole once they are gone.
    xdesktop::Uncover(covers_);
    for (HWND window : shown) MarkWhole(window);
    FlushToScreen();
}

void TScreenHold::ReleaseAll() {
    while (!Holds().empty()) Holds().back()->Release();
}

}  // namespace vcl
