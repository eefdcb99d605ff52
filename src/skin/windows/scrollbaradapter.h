// Skinned scroll bars: an adapter that replaces a window's own non-client
// scroll bars by bars painted from the skin. The window keeps its scroll
// state (SCROLLINFO) and its WS_HSCROLL/WS_VSCROLL styles; the adapter hides
// the styles from the window while it measures its borders, keeps the room
// of the bars itself, paints bars and corner, and turns clicks, holds,
// drags and hovering on them into the ordinary WM_HSCROLL/WM_VSCROLL.
//
// Edit-like adapters, the popup-menu and dialog adapters derive from
// TacScrollWnd; a form's provider and the scroll box make one with
// UpdateSkinnedScrolls. The geometry (bar rectangles, thumb, hit test,
// drag position, grip) is the window-free one of layout/scrollgeometry.h,
// in screen coordinates throughout.
#pragma once
#include "vcl/win.h"

#include <memory>
#include <optional>
#include <tuple>

#include "skin/windows/layout/scrollgeometry.h"
#include "skin/windows/windowadapter.h"

namespace skin {

class TacScrollWnd;

// One bar of an adapted window: its state as the geometry reads it, the
// state bits of the bar as the system reports it, and its adapter.
class TacScrollBar : public vcl::TObject, public TScrollBarState {
public:
    TacScrollBar(TacScrollWnd* owner, TScrollBarType type) : Owner(owner) { BarType = type; }
    const char* ClassName() const override { return "TacScrollBar"; }
    unsigned SystemState = 0;  // rgstate[0] of SCROLLBARINFO (1: unavailable)
    TacScrollWnd* Owner;
};

// The timers of the bars: hovering (20 ms), the first repeat of a held
// press (300 ms), then the repeats (55 ms).
constexpr UINT_PTR kScrollHoverTimer = 0xFFF2;
constexpr UINT_PTR kScrollPressTimer = 0xFFFD;
constexpr UINT_PTR kScrollRepeatTimer = 0xFFFE;

// What the bars of all windows share: one mouse, so one pressed bar and
// one hovered bar at a time.
struct TScrollEngineState {
    HWND HotWnd = nullptr;      // the window last under the mouse on a bar
    int CurrentBar = -1;        // the pressed bar: 0 horizontal, 1 vertical
    int CurrentPortion = -1;    // the part pressed (spLineUp ... spThumb), -1 none
    int PressedPortion = -1;    // the part drawn pressed
    UINT ScrollMsg = 0;         // WM_HSCROLL or WM_VSCROLL of the pressed bar
    UINT_PTR ScrollTimerId = 0;
    UINT_PTR HoverTimerId = 0;
    HWND HoverWnd = nullptr;    // the window whose hover timer runs
    int MouseOverBar = -1;
    int MouseOverPortion = -1;
    int LastMouseOverPortion = -1;
    TRect HoverRect;            // the hovered bar (screen)
    TRect ThumbBounds;          // the dragged bar at the press (screen)
    int ThumbSize = 0;
    int ThumbPos0 = 0;
    int ThumbMouseOffset = 0;   // the cursor's distance from the thumb's start at the press
    int LastPos = 0;            // the last position sent while dragging
};
TScrollEngineState& ScrollEngine();

// The unit length of an arrow: the system's horizontal arrow width.
int ScrollBtnSize();

class TacScrollWnd : public TacMainWnd {
public:
    using TacMainWnd::TacMainWnd;
    ~TacScrollWnd() override;
    const char* ClassName() const override { return "TacScrollWnd"; }

    std::unique_ptr<TacScrollBar> HorzBar;
    std::unique_ptr<TacScrollBar> VertBar;
    bool ThumbTracking = false;
    bool LeftScrollbar = false;  // WS_EX_LEFTSCROLLBAR
    TScrollEdges Edges;          // the window's own borders, measured at each WM_NCCALCSIZE
    bool PreventStyleChange = false;

    void AdapterWndProc(vcl::TMessage& message) override;

    TacScrollBar* Bar(int bar) const { return bar == sbHorz ? HorzBar.get() : VertBar.get(); }
    // Reads both bars' scroll state back from the window; true when
    // anything the painting shows changed.
    bool ReadScrollState();
    // The bars and the corner in screen coordinates.
    TScrollBarRects BarRects() const;
    TScrollMetrics Metrics() const;
    // The skin whose arrow sizes the geometry uses (nullptr without one).
    const TsSkinContent* GeometrySkin() const;
    bool BarActive(const TacScrollBar& bar) const;
    // The corner is a size grip.
    bool GripApplies() const;
    // Both bars and the corner onto the DC (0: the window's own); the
    // pressed bar's thumb at ForcedThumbStart (along the bar, -1: where
    // the scroll state puts it).
    void PaintScrollBars(HDC dc = nullptr, int forcedThumbStart = -1);

protected:
    void TakeOver(bool repaint) override;
    void WindowReleased() override { Forget(); }
    void InitScrollWnd(HWND window, bool repaint);

private:
    void ReadBar(TacScrollBar& bar);
    void PaintBar(int barIndex, HDC dc, const TRect& windowRect, const TRect& barRect, int pressed,
                  int forcedThumbStart);
    void PaintCorner(HDC dc, const TRect& windowRect, const TRect& corner);
    void RepaintBar(int barIndex, int forcedThumbStart = -1);
    void CalcSize(vcl::TMessage& message);
    // Passes the message on while the window does not see its scroll styles.
    void PassWithoutScrollStyles(vcl::TMessage& message);
    bool HandleBarMouse(vcl::TMessage& message);
    void StartPress(int barIndex, int portion);
    bool PressMouseMove(TPoint screenPoint);
    void DragThumb(TPoint screenPoint);
    void EndPress(bool passOn, vcl::TMessage* message);
    void HoverTick();
    void StopHover();
    void Forget();
    // After a message the window handled: its own painting of plain bars
    // (EDIT and LISTBOX draw them on each SetScrollInfo) is covered again.
    void AfterPassedOn(UINT msg);
};

// Re-reads both bars from the window; with Repaint the bars are painted.
void UpdateScrollInfo(TacScrollWnd* adapter, bool repaint);
// The bars and corner of the adapter's window.
void PaintScrollBars(TacScrollWnd* adapter, HDC dc = nullptr, int forcedThumbStart = -1);
// AC_BEFORESCROLL, the scroll message (for SB_THUMBTRACK the position is
// set first, without redrawing), then AC_AFTERSCROLL with MakeLong(code, msg).
void SendScrollMessage(HWND window, UINT msg, int code, int pos);
// The bar of a window's adapter for SB_HORZ or SB_VERT, else nullptr.
TacScrollBar* GetScrollBar(HWND window, int bar);
// Smallest thumb length of SB_HORZ, SB_VERT or SB_BOTH of a window's adapter.
void SetMinThumbSize(HWND window, int bar, int size);
// The skinned bars of a control's window follow its skin data: with a valid
// skin an adapter (a released one is made anew), without one none and the
// system's flat bars.
void UpdateSkinnedScrolls(TsCommonData* skinData, std::unique_ptr<TacScrollWnd>& adapter);
// Releases the scroll adapter's window (and frees it with FreeAdapter).
void UnhookScrollWnd(HWND window, bool freeAdapter, bool redrawMode, std::unique_ptr<TacScrollWnd>& adapter);

}  // namespace skin
