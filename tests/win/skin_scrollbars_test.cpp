// Skinned scroll bars on real list boxes and memos under Wine: the window
// measures its frame without its bars and the adapter keeps their room,
// paints them from the skin over the window's own plain bars, and turns
// clicks, holds, drags and hovering into the scroll messages the plain bars
// send. The timers are fed as WM_TIMER, the mouse is the real cursor.
#include "gtest_windows.h"
#include "support/flat_scroll_skin.h"
#include "support/vcl_test_support.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "skin/windows/scrollbaradapter.h"
#include "vcl/wintext.h"

using namespace vcl;
using namespace skin;
using namespace skintest;
using vcltest::Pump;

namespace {

// A form with the flat skin, and the windows its tests put on it.
struct ScrollScene : FlatSkinScene {
    ScrollScene() : FlatSkinScene(40, 40, 380, 300) {}
    ~ScrollScene() {
        for (HWND w : windows) DestroyWindow(w);
    }

    // A plain LISTBOX child of the form with `count` lines.
    HWND PlainList(DWORD style, DWORD exStyle, int left, int top, int width, int height, int count) {
        HWND w = CreateWindowExW(WS_EX_CLIENTEDGE | exStyle, L"LISTBOX", L"",
                                 WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | style, left, top,
                                 width, height, form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
        for (int i = 0; i < count; ++i)
            SendMessageW(w, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText("Строка " + std::to_string(i)).c_str()));
        windows.push_back(w);
        return w;
    }
    TListBox* List(int count) {
        auto* list = new TListBox(form);
        list->SetParent(form);
        list->SetBounds(10, 10, 150, 120);
        for (int i = 0; i < count; ++i) list->Items()->Add("Строка " + std::to_string(i));
        return list;
    }

    std::vector<HWND> windows;
};

// The colour of the frame pixel at a screen point.
TColor ScreenPixel(HWND window, TPoint p) {
    RECT wr;
    GetWindowRect(window, &wr);
    return FramePixel(window, p.X - wr.left, p.Y - wr.top);
}

TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
LPARAM At(TPoint p) { return MAKELPARAM(p.X, p.Y); }

// What the bar sends: (code, position) of each WM_VSCROLL / WM_HSCROLL.
struct Scrolls {
    std::vector<std::pair<int, int>> seen;
    void Record(const TMessage& m) {
        if (m.Msg == WM_VSCROLL || m.Msg == WM_HSCROLL) seen.emplace_back(LOWORD(m.WParam), HIWORD(m.WParam));
    }
    std::vector<std::pair<int, int>> Take() {
        std::vector<std::pair<int, int>> taken;
        taken.swap(seen);
        return taken;
    }
};

using Sent = std::vector<std::pair<int, int>>;

// A long list box of the scene with a skinned bar, and what reaches the list
// from its bar (recorded below the adapter).
struct RecordedList {
    explicit RecordedList(ScrollScene& s) : list(s.List(100)), data(list, true) {
        token = list->ReplaceWindowProc([this](TMessage& m) {
            scrolls.Record(m);
            list->CallPreviousWindowProc(token, m);
        });
        adapter = CreateAdapter<TacScrollWnd>(list->Handle(), &data, s.manager, "EDIT");
        Pump();
        h = list->Handle();
        r = adapter->BarRects();
        x = (r.Vert.Left + r.Vert.Right) / 2;
    }
    TThumbGeometry Thumb() const {
        return GetThumbGeometry(*adapter->VertBar, r.Vert, adapter->Metrics(), adapter->GeometrySkin());
    }
    TListBox* list;
    TsCommonData data;
    Scrolls scrolls;
    TWindowProcToken token = 0;
    std::unique_ptr<TacScrollWnd> adapter;
    HWND h = nullptr;
    TScrollBarRects r;
    int x = 0;
};

// A colour of the inactive look: the bar keeps 40 % over the window's picture.
TColor Dimmed(TColor bar, TColor window) {
    auto ch = [](int b, int w) { return static_cast<int>(std::lround(w - (w - b) * 0.4)); };
    return MakeColor(ch(RedOf(bar), RedOf(window)), ch(GreenOf(bar), GreenOf(window)), ch(BlueOf(bar), BlueOf(window)));
}

bool Near(TColor a, TColor b) {
    return std::abs(RedOf(a) - RedOf(b)) <= 1 && std::abs(GreenOf(a) - GreenOf(b)) <= 1 &&
           std::abs(BlueOf(a) - BlueOf(b)) <= 1;
}

}  // namespace

TEST(SkinnedScrollBars, TheWindowLeavesTheBarsRoomAndEveryPartIsPaintedUntilTheRelease) {
    ScrollScene s;
    HWND list = s.PlainList(WS_VSCROLL | WS_HSCROLL, 0, 10, 10, 200, 150, 100);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, 600, 0);
    auto adapter = CreateAdapter<TacScrollWnd>(list, nullptr, s.manager, "EDIT");
    Pump();
    EXPECT_EQ(GetScrollWnd(list), adapter.get());
    EXPECT_EQ(adapter->Takeover(), TAdapterTakeover::PlainWindow);

    // The window measured 2-pixel edges without its bars; the client leaves room for both.
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(adapter->Edges.cxLeftEdge, 2);
    EXPECT_EQ(adapter->Edges.cyBottomEdge, 2);
    EXPECT_EQ(client.right, 200 - 4 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(client.bottom, 150 - 4 - GetSystemMetrics(SM_CYHSCROLL));

    const TScrollBarRects r = adapter->BarRects();
    const TScrollMetrics m = adapter->Metrics();
    TThumbGeometry g = GetThumbGeometry(*adapter->VertBar, r.Vert, m, adapter->GeometrySkin());
    const int x = (r.Vert.Left + r.Vert.Right) / 2;
    EXPECT_EQ(ScreenPixel(list, {x, r.Vert.Top + 3}), kFlatArrow1);
    EXPECT_EQ(ScreenPixel(list, {x, r.Vert.Bottom - 3}), kFlatArrow2);
    EXPECT_EQ(ScreenPixel(list, {x, g.Start + 2}), kFlatThumb);
    EXPECT_EQ(ScreenPixel(list, {x, g.Start + g.Size + 3}), kFlatTrack2);
    const int y = (r.Horz.Top + r.Horz.Bottom) / 2;
    EXPECT_EQ(ScreenPixel(list, {r.Horz.Left + 3, y}), kFlatArrow1);
    EXPECT_EQ(ScreenPixel(list, {r.Horz.Right - 3, y}), kFlatArrow2);
    EXPECT_EQ(ScreenPixel(list, Centre(r.Corner)), kFlatWindow);

    // Scrolled to the end by the window itself: the thumb lies flush with the second arrow.
    SendMessageW(list, LB_SETTOPINDEX, 99, 0);
    Pump();
    g = GetThumbGeometry(*adapter->VertBar, r.Vert, m, adapter->GeometrySkin());
    EXPECT_EQ(g.Start + g.Size, g.TrackEnd);
    EXPECT_EQ(ScreenPixel(list, {x, g.TrackEnd - 1}), kFlatThumb);
    EXPECT_EQ(ScreenPixel(list, {x, g.Start - 3}), kFlatTrack1);

    // Released with a frame change: the system's own bars come back.
    UnhookWndProc(list, true, true, adapter);
    Pump();
    EXPECT_EQ(adapter, nullptr);
    EXPECT_EQ(GetScrollWnd(list), nullptr);
    EXPECT_NE(ScreenPixel(list, {x, r.Vert.Top + 3}), kFlatArrow1);
    EXPECT_NE(ScreenPixel(list, {x, g.TrackEnd - 1}), kFlatThumb);
    GetClientRect(list, &client);
    EXPECT_EQ(client.right, 200 - 4 - GetSystemMetrics(SM_CXVSCROLL));
}

TEST(SkinnedScrollBars, ABarOnTheLeftAndTheGripOfAListFlushWithTheFormsCorner) {
    ScrollScene s;
    HWND left = s.PlainList(WS_VSCROLL, WS_EX_LEFTSCROLLBAR, 10, 10, 150, 100, 50);
    auto leftAdapter = CreateAdapter<TacScrollWnd>(left, nullptr, s.manager, "EDIT");
    Pump();
    EXPECT_TRUE(leftAdapter->LeftScrollbar);
    TScrollBarRects r = leftAdapter->BarRects();
    RECT wr;
    GetWindowRect(left, &wr);
    EXPECT_EQ(r.Vert.Left, wr.left + 2);
    EXPECT_EQ(ScreenPixel(left, {r.Vert.Left + 3, r.Vert.Top + 3}), kFlatArrow1);
    RECT client;
    GetClientRect(left, &client);
    POINT origin{0, 0};
    ClientToScreen(left, &origin);
    EXPECT_EQ(origin.x, r.Vert.Right);  // the client starts right of the bar

    // A list with both bars in the form's bottom-right corner: its corner is
    // a grip, and pressing it sizes the form, not the list.
    RECT fc;
    GetClientRect(s.form->Handle(), &fc);
    HWND corner = s.PlainList(WS_VSCROLL | WS_HSCROLL, 0, fc.right - 150, fc.bottom - 100, 150, 100, 50);
    SendMessageW(corner, LB_SETHORIZONTALEXTENT, 600, 0);
    auto adapter = CreateAdapter<TacScrollWnd>(corner, nullptr, s.manager, "EDIT");
    Pump();
    EXPECT_TRUE(adapter->GripApplies());
    EXPECT_FALSE(leftAdapter->GripApplies());
    r = adapter->BarRects();
    EXPECT_EQ(SendMessageW(corner, WM_NCHITTEST, 0, At(Centre(r.Corner))), HTBOTTOMRIGHT);
    EXPECT_EQ(SendMessageW(corner, WM_NCHITTEST, 0, At(Centre(r.Vert))), HTVSCROLL);
    EXPECT_EQ(SendMessageW(corner, WM_NCHITTEST, 0, At(Centre(r.Horz))), HTHSCROLL);
    std::vector<WPARAM> commands;
    const TWindowProcToken token = s.form->ReplaceWindowProc([&](TMessage& m) {
        if (m.Msg == WM_SYSCOMMAND) {
            commands.push_back(m.WParam);
            return;  // the sizing loop itself is the user's; here only its start counts
        }
        s.form->CallPreviousWindowProc(token, m);
    });
    SendMessageW(corner, WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, At(Centre(r.Corner)));
    s.form->RestoreWindowProc(token);
    EXPECT_EQ(commands, std::vector<WPARAM>{SC_SIZE | WMSZ_BOTTOMRIGHT});
}

TEST(SkinnedScrollBars, ABarThatCannotScrollIsDimmedAndADisabledArrowNeitherScrollsNorCaptures) {
    ScrollScene s;
    // Three lines: the bar stays but cannot scroll, and the system says so.
    HWND few = s.PlainList(WS_VSCROLL | LBS_DISABLENOSCROLL, 0, 200, 10, 150, 100, 3);
    auto dim = CreateAdapter<TacScrollWnd>(few, nullptr, s.manager, "EDIT");
    Pump();
    TScrollBarRects r = dim->BarRects();
    EXPECT_FALSE(dim->BarActive(*dim->VertBar));
    const int x = (r.Vert.Left + r.Vert.Right) / 2;
    EXPECT_TRUE(Near(ScreenPixel(few, {x, r.Vert.Top + 3}), Dimmed(kFlatArrow1, kFlatWindow)))
        << std::hex << ScreenPixel(few, {x, r.Vert.Top + 3});
    EXPECT_TRUE(Near(ScreenPixel(few, {x, r.Vert.Bottom - 20}), Dimmed(kFlatTrack2, kFlatWindow)));
    EXPECT_EQ(SendMessageW(few, WM_NCHITTEST, 0, At(Centre(r.Vert))), HTNOWHERE);

    // A long list whose lower arrow the window disabled.
    RecordedList l(s);
    EnableScrollBar(l.h, SB_VERT, ESB_DISABLE_DOWN);
    SendMessageW(l.h, WM_NCLBUTTONDOWN, HTVSCROLL, At({l.x, l.r.Vert.Bottom - 3}));
    EXPECT_TRUE(l.scrolls.Take().empty());
    EXPECT_NE(GetCapture(), l.h);
    // The other arrow still works.
    SendMessageW(l.h, WM_NCLBUTTONDOWN, HTVSCROLL, At({l.x, l.r.Vert.Top + 3}));
    EXPECT_EQ(l.scrolls.Take(), (Sent{{SB_LINEUP, 0}}));
    EXPECT_EQ(GetCapture(), l.h);
    SendMessageW(l.h, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(l.scrolls.Take(), (Sent{{SB_ENDSCROLL, 0}}));
}

TEST(SkinnedScrollBars, HoldingAnArrowScrollsAtOnceThenAtEveryRepeatWhileTheCursorStaysOnIt) {
    ScrollScene s;
    RecordedList l(s);
    const HWND h = l.h;
    const TPoint down{l.x, l.r.Vert.Bottom - 4};
    SetCursorPos(down.X, down.Y);

    SendMessageW(h, WM_NCLBUTTONDOWN, HTVSCROLL, At(down));
    EXPECT_EQ(l.scrolls.Take(), (Sent{{SB_LINEDOWN, 0}}));
    EXPECT_EQ(GetCapture(), h);
    EXPECT_EQ(ScreenPixel(h, down), kFlatHot);  // drawn pressed
    SendMessageW(h, WM_TIMER, kScrollPressTimer, 0);
    EXPECT_TRUE(l.scrolls.Take().empty());
    SendMessageW(h, WM_TIMER, kScrollRepeatTimer, 0);
    SendMessageW(h, WM_TIMER, kScrollRepeatTimer, 0);
    EXPECT_EQ(l.scrolls.Take(), (Sent{{SB_LINEDOWN, 0}, {SB_LINEDOWN, 0}}));
    // Off the arrow the repeats stop and the arrow is drawn up; back on it they go on.
    SetCursorPos(down.X - 60, down.Y);
    SendMessageW(h, WM_TIMER, kScrollRepeatTimer, 0);
    EXPECT_TRUE(l.scrolls.Take().empty());
    EXPECT_EQ(ScreenPixel(h, down), kFlatArrow2);
    SetCursorPos(down.X, down.Y);
    SendMessageW(h, WM_TIMER, kScrollRepeatTimer, 0);
    EXPECT_EQ(l.scrolls.Take(), (Sent{{SB_LINEDOWN, 0}}));

    SendMessageW(h, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(l.scrolls.Take(), (Sent{{SB_ENDSCROLL, 0}}));
    EXPECT_NE(GetCapture(), h);
    EXPECT_EQ(SendMessageW(h, LB_GETTOPINDEX, 0, 0), 4);
    EXPECT_EQ(ScrollEngine().CurrentPortion, spNone);
    // A timer of the window's own with one of these numbers is the window's.
    SendMessageW(h, WM_TIMER, kScrollRepeatTimer, 0);
    EXPECT_TRUE(l.scrolls.Take().empty());

    // A click on the track pages once.
    const TThumbGeometry g = l.Thumb();
    SendMessageW(h, WM_NCLBUTTONDOWN, HTVSCROLL, At({down.X, g.Start + g.Size + 10}));
    SendMessageW(h, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(l.scrolls.Take(), (Sent{{SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}}));
}

TEST(SkinnedScrollBars, DraggingTheThumbTracksOnlyChangesThenSetsThePositionAndEnds) {
    ScrollScene s;
    RecordedList l(s);
    const HWND h = l.h;
    const int x = l.x;
    const TThumbGeometry g = l.Thumb();
    auto moveTo = [&](int screenY) {
        POINT p{x, screenY};
        ScreenToClient(h, &p);  // left of the client: a negative x
        SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    };
    SendMessageW(h, WM_NCLBUTTONDOWN, HTVSCROLL, At({x, g.Start + 2}));
    EXPECT_TRUE(l.adapter->ThumbTracking);
    EXPECT_EQ(ScreenPixel(h, {x, g.Start + 2}), kFlatHot);  // drawn pressed
    EXPECT_TRUE(l.scrolls.Take().empty());

    moveTo(g.Start + 2 + 30);
    Sent sent = l.scrolls.Take();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first, SB_THUMBTRACK);
    EXPECT_GT(sent[0].second, 0);
    EXPECT_EQ(ScreenPixel(h, {x, g.Start + 2 + 30}), kFlatHot);  // the thumb follows the mouse
    moveTo(g.Start + 2 + 30);
    EXPECT_TRUE(l.scrolls.Take().empty());
    // Far past the end: the last position a page can show, never beyond.
    moveTo(l.r.Vert.Bottom + 200);
    SCROLLINFO si{sizeof(si), SIF_ALL};
    GetScrollInfo(h, SB_VERT, &si);
    const int last = si.nMax - static_cast<int>(si.nPage) + 1;
    EXPECT_EQ(l.scrolls.Take(), (Sent{{SB_THUMBTRACK, last}}));

    SendMessageW(h, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(l.scrolls.Take(), (Sent{{SB_THUMBPOSITION, last}, {SB_ENDSCROLL, last}}));
    EXPECT_FALSE(l.adapter->ThumbTracking);
    EXPECT_NE(GetCapture(), h);
    EXPECT_EQ(SendMessageW(h, LB_GETTOPINDEX, 0, 0), last);
    EXPECT_EQ(ScreenPixel(h, {x, l.Thumb().TrackEnd - 1}), kFlatThumb);
}

TEST(SkinnedScrollBars, TheBarLightsUnderTheMouseAndGoesOutWhenItLeaves) {
    ScrollScene s;
    TListBox* list = s.List(100);
    TsCommonData data(list, true);
    auto adapter = CreateAdapter<TacScrollWnd>(list->Handle(), &data, s.manager, "EDIT");
    Pump();
    HWND h = list->Handle();
    const TScrollBarRects r = adapter->BarRects();
    const int x = (r.Vert.Left + r.Vert.Right) / 2;
    const TPoint down{x, r.Vert.Bottom - 4}, up{x, r.Vert.Top + 4};
    const TThumbGeometry g = GetThumbGeometry(*adapter->VertBar, r.Vert, adapter->Metrics(), adapter->GeometrySkin());
    const TPoint thumb{x, g.Start + g.Size / 2};

    SetCursorPos(down.X, down.Y);
    SendMessageW(h, WM_NCMOUSEMOVE, HTVSCROLL, At(down));
    EXPECT_NE(ScrollEngine().HoverTimerId, 0u);
    SendMessageW(h, WM_TIMER, kScrollHoverTimer, 0);
    EXPECT_EQ(ScreenPixel(h, down), kFlatHot);
    EXPECT_EQ(ScreenPixel(h, up), kFlatArrow1);
    SetCursorPos(thumb.X, thumb.Y);
    SendMessageW(h, WM_TIMER, kScrollHoverTimer, 0);
    EXPECT_EQ(ScreenPixel(h, thumb), kFlatHot);
    EXPECT_EQ(ScreenPixel(h, down), kFlatArrow2);
    // Into the list's text: the bar goes out and its timer stops.
    SetCursorPos(r.Vert.Left - 40, thumb.Y);
    SendMessageW(h, WM_TIMER, kScrollHoverTimer, 0);
    EXPECT_EQ(ScreenPixel(h, thumb), kFlatThumb);
    EXPECT_EQ(ScrollEngine().HoverTimerId, 0u);
    EXPECT_EQ(ScrollEngine().MouseOverBar, -1);
}

TEST(SkinnedScrollBars, AMemoKeepsItsSkinnedBarThroughItsOwnUpdatesAndScrollsByTheWheel) {
    ScrollScene s;
    auto* memo = new TMemo(s.form);
    memo->SetParent(s.form);
    memo->SetBounds(10, 10, 200, 120);
    memo->SetScrollBars(ssVertical);
    memo->Lines()->Add("Первая строка");
    Pump();
    TsCommonData data(memo, true);
    auto adapter = CreateAdapter<TacScrollWnd>(memo->Handle(), &data, s.manager, "EDIT");
    Pump();
    HWND h = memo->Handle();
    const TScrollBarRects r = adapter->BarRects();
    const TPoint up{(r.Vert.Left + r.Vert.Right) / 2, r.Vert.Top + 4};
    // Too short to scroll: the memo refreshes its plain bar on every change; ours stays.
    EXPECT_TRUE(Near(ScreenPixel(h, up), Dimmed(kFlatArrow1, kFlatWindow)));
    SetFocus(h);
    SendMessageW(h, WM_CHAR, L'я', 1);
    EXPECT_TRUE(Near(ScreenPixel(h, up), Dimmed(kFlatArrow1, kFlatWindow))) << std::hex << ScreenPixel(h, up);

    // Long enough: the bar takes input, and the wheel scrolls the memo and moves the thumb.
    for (int i = 0; i < 60; ++i) memo->Lines()->Add("Строка " + std::to_string(i));
    Pump();
    SendMessageW(h, EM_LINESCROLL, 0, -1000);
    Pump();
    EXPECT_EQ(ScreenPixel(h, up), kFlatArrow1);
    const TThumbGeometry before = GetThumbGeometry(*adapter->VertBar, r.Vert, adapter->Metrics(), adapter->GeometrySkin());
    EXPECT_EQ(ScreenPixel(h, {up.X, before.Start + 2}), kFlatThumb);
    SendMessageW(h, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA * 3), At(Centre(r.Vert)));
    Pump();
    EXPECT_GT(SendMessageW(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    const TThumbGeometry after = GetThumbGeometry(*adapter->VertBar, r.Vert, adapter->Metrics(), adapter->GeometrySkin());
    EXPECT_GT(after.Start, before.Start);
    EXPECT_EQ(ScreenPixel(h, {up.X, after.Start + 2}), kFlatThumb);
    EXPECT_EQ(ScreenPixel(h, {up.X, before.Start + 2}), kFlatTrack1);
}

