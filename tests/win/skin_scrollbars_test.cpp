// Skinned scroll bars on real list boxes and memos under Wine: the window
// measures its frame without its bars and the adapter keeps their room,
// paints them from the skin over the window's own plain bars, and turns
// clicks, holds and drags into the scroll messages the plain bars send.
// The timers are fed as WM_TIMER; the last test uses the real mouse and the
// real timers with our own skin.
#include "gtest_windows.h"
#include "support/control_skin.h"
#include "support/flat_scroll_skin.h"
#include "support/vcl_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "skin/core/storedskins.h"
#include "skin/windows/scrollbaradapter.h"

using namespace vcl;
using namespace skin;
using namespace skintest;
using vcltest::Pump;

namespace {

using Sent = std::vector<std::pair<int, int>>;  // (code, position) of each scroll message

// A skinned form and a long list on it whose bar is adapted; what reaches
// the list from its bar is recorded below the adapter.
struct ListScene : FlatSkinScene {
    // In the corner: flush with the bottom-right corner of the form's client area.
    explicit ListScene(DWORD style = WS_VSCROLL, DWORD exStyle = 0, bool inCorner = false)
        : FlatSkinScene(40, 40, 380, 300) {
        RECT at{10, 10, 210, 160};
        if (inCorner) {
            GetClientRect(form->Handle(), &at);
            at.left = at.right - 150;
            at.top = at.bottom - 100;
        }
        h = CreateWindowExW(WS_EX_CLIENTEDGE | exStyle, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT | style,
                            at.left, at.top, at.right - at.left, at.bottom - at.top, form->Handle(), nullptr,
                            GetModuleHandleW(nullptr), nullptr);
        for (int i = 0; i < 100; ++i) SendMessageW(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"строка"));
        SendMessageW(h, LB_SETHORIZONTALEXTENT, 600, 0);
        below = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Record)));
        SetPropW(h, L"TestScene", this);
        adapter = CreateAdapter<TacScrollWnd>(h, nullptr, manager, "EDIT");
        Pump();
        r = adapter->BarRects();
        x = (r.Vert.Left + r.Vert.Right) / 2;
    }
    ~ListScene() {
        adapter.reset();
        DestroyWindow(h);
    }
    static LRESULT CALLBACK Record(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        auto* s = static_cast<ListScene*>(GetPropW(w, L"TestScene"));
        if (msg == WM_VSCROLL || msg == WM_HSCROLL) s->sent.emplace_back(LOWORD(wp), HIWORD(wp));
        return CallWindowProcW(s->below, w, msg, wp, lp);
    }
    Sent Take() { return std::exchange(sent, {}); }
    TThumbGeometry Thumb() const {
        return GetThumbGeometry(*adapter->VertBar, r.Vert, adapter->Metrics(), adapter->GeometrySkin());
    }

    HWND h;
    WNDPROC below;
    Sent sent;
    std::unique_ptr<TacScrollWnd> adapter;
    TScrollBarRects r;
    int x;
};

// The colour of the window's frame at a screen point.
TColor ScreenPixel(HWND window, TPoint p) {
    RECT wr;
    GetWindowRect(window, &wr);
    return FramePixel(window, p.X - wr.left, p.Y - wr.top);
}

TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
LPARAM At(TPoint p) { return MAKELPARAM(p.X, p.Y); }

// The inactive look, within one step of rounding: the bar keeps 40 % over the window's picture.
bool LooksDimmed(TColor seen, TColor bar, TColor window) {
    auto ok = [](int s, int b, int w) { return std::abs(s - (w - (w - b) * 0.4)) <= 1.0; };
    return ok(RedOf(seen), RedOf(bar), RedOf(window)) && ok(GreenOf(seen), GreenOf(bar), GreenOf(window)) &&
           ok(BlueOf(seen), BlueOf(bar), BlueOf(window));
}

}  // namespace

TEST(SkinnedScrollBars, TheWindowLeavesTheBarsRoomAndEveryPartIsPaintedUntilTheRelease) {
    ListScene s(WS_VSCROLL | WS_HSCROLL);
    EXPECT_EQ(s.adapter->Takeover(), TAdapterTakeover::PlainWindow);
    RECT client;
    GetClientRect(s.h, &client);
    EXPECT_EQ(s.adapter->Edges.cxLeftEdge, 2);
    EXPECT_EQ(client.right, 200 - 4 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(client.bottom, 150 - 4 - GetSystemMetrics(SM_CYHSCROLL));

    TThumbGeometry g = s.Thumb();
    EXPECT_EQ(ScreenPixel(s.h, {s.x, s.r.Vert.Top + 3}), kFlatArrow1);
    EXPECT_EQ(ScreenPixel(s.h, {s.x, s.r.Vert.Bottom - 3}), kFlatArrow2);
    EXPECT_EQ(ScreenPixel(s.h, {s.x, g.Start + 2}), kFlatThumb);
    EXPECT_EQ(ScreenPixel(s.h, {s.x, g.Start + g.Size + 3}), kFlatTrack2);
    EXPECT_EQ(ScreenPixel(s.h, {s.r.Horz.Left + 3, Centre(s.r.Horz).Y}), kFlatArrow1);
    EXPECT_EQ(ScreenPixel(s.h, Centre(s.r.Corner)), kFlatTrack2);  // the skin's, not the window's white
    // Scrolled to the end by the window itself: the thumb lies flush with the second arrow.
    SendMessageW(s.h, LB_SETTOPINDEX, 99, 0);
    g = s.Thumb();
    EXPECT_EQ(g.Start + g.Size, g.TrackEnd);
    EXPECT_EQ(ScreenPixel(s.h, {s.x, g.TrackEnd - 1}), kFlatThumb);
    EXPECT_EQ(ScreenPixel(s.h, {s.x, g.Start - 3}), kFlatTrack1);

    // Released with a frame change: the system's own bars come back.
    UnhookWndProc(s.h, true, true, s.adapter);
    EXPECT_EQ(GetScrollWnd(s.h), nullptr);
    EXPECT_NE(ScreenPixel(s.h, {s.x, s.r.Vert.Top + 3}), kFlatArrow1);
    EXPECT_NE(ScreenPixel(s.h, {s.x, g.TrackEnd - 1}), kFlatThumb);
}

TEST(SkinnedScrollBars, ABarOnTheLeftAndTheGripOfAListFlushWithTheFormsCorner) {
    ListScene left(WS_VSCROLL, WS_EX_LEFTSCROLLBAR);
    RECT wr;
    GetWindowRect(left.h, &wr);
    EXPECT_EQ(left.r.Vert.Left, wr.left + 2);
    EXPECT_EQ(ScreenPixel(left.h, {left.r.Vert.Left + 3, left.r.Vert.Top + 3}), kFlatArrow1);
    POINT origin{0, 0};
    ClientToScreen(left.h, &origin);
    EXPECT_EQ(origin.x, left.r.Vert.Right);  // the list's text starts right of the bar
    EXPECT_FALSE(left.adapter->GripApplies());

    // Both bars in the form's bottom-right corner: the corner is a grip that sizes the form.
    ListScene s(WS_VSCROLL | WS_HSCROLL, 0, true);
    EXPECT_TRUE(s.adapter->GripApplies());
    EXPECT_EQ(SendMessageW(s.h, WM_NCHITTEST, 0, At(Centre(s.r.Corner))), HTBOTTOMRIGHT);
    EXPECT_EQ(SendMessageW(s.h, WM_NCHITTEST, 0, At(Centre(s.r.Horz))), HTHSCROLL);
    std::vector<WPARAM> commands;
    TWindowProcToken token = 0;
    token = s.form->ReplaceWindowProc([&](TMessage& m) {
        if (m.Msg == WM_SYSCOMMAND) return commands.push_back(m.WParam);  // the sizing loop is the user's
        s.form->CallPreviousWindowProc(token, m);
    });
    SendMessageW(s.h, WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, At(Centre(s.r.Corner)));
    s.form->RestoreWindowProc(token);
    EXPECT_EQ(commands, std::vector<WPARAM>{SC_SIZE | WMSZ_BOTTOMRIGHT});
}

TEST(SkinnedScrollBars, ABarThatCannotScrollIsDimmedThroughTheWindowsOwnUpdatesAndADisabledArrowDoesNothing) {
    FlatSkinScene s(40, 40, 380, 300);
    auto* memo = new TMemo(s.form);
    memo->SetParent(s.form);
    memo->SetBounds(10, 10, 200, 120);
    memo->SetScrollBars(ssVertical);
    memo->Lines()->Add("Первая строка");
    TsCommonData data(memo, true);
    auto adapter = CreateAdapter<TacScrollWnd>(memo->Handle(), &data, s.manager, "EDIT");
    Pump();
    EXPECT_EQ(adapter->Takeover(), TAdapterTakeover::Control);
    const TScrollBarRects r = adapter->BarRects();
    const TPoint up{Centre(r.Vert).X, r.Vert.Top + 4};
    EXPECT_FALSE(adapter->BarActive(*adapter->VertBar));
    EXPECT_TRUE(LooksDimmed(ScreenPixel(memo->Handle(), up), kFlatArrow1, kFlatWindow));
    EXPECT_EQ(SendMessageW(memo->Handle(), WM_NCHITTEST, 0, At(Centre(r.Vert))), HTNOWHERE);
    // The memo redraws its plain bar on each change of its text, the scroll state unchanged.
    SendMessageW(memo->Handle(), WM_CHAR, L'я', 1);
    EXPECT_TRUE(LooksDimmed(ScreenPixel(memo->Handle(), up), kFlatArrow1, kFlatWindow));

    // A long list whose lower arrow the window disabled: that arrow neither
    // scrolls nor captures; the other one still works.
    ListScene l;
    EnableScrollBar(l.h, SB_VERT, ESB_DISABLE_DOWN);
    SendMessageW(l.h, WM_NCLBUTTONDOWN, HTVSCROLL, At({l.x, l.r.Vert.Bottom - 3}));
    EXPECT_TRUE(l.Take().empty());
    EXPECT_NE(GetCapture(), l.h);
    SendMessageW(l.h, WM_NCLBUTTONDOWN, HTVSCROLL, At({l.x, l.r.Vert.Top + 3}));
    EXPECT_EQ(GetCapture(), l.h);
    SendMessageW(l.h, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(l.Take(), (Sent{{SB_LINEUP, 0}, {SB_ENDSCROLL, 0}}));
}

TEST(SkinnedScrollBars, TheRoundedCornersOfArrowsAndThumbShowTheTrackUnderThem) {
    ListScene s;
    // Arrows and thumb of the skin have a rounded frame: its corner pixels
    // carry the key colour (the frame is masked, as in our skins).
    constexpr TColor kEdge = 0x202020;
    auto& masks = s.manager->Skin().Masks;
    for (const char* section : {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLSLIDERV"}) {
        TsMaskData frame = OwnMask(s.manager, section, "BORDERSMASK", 8, 16, 1, 1, [](int x, int y) {
            if (y >= 8) return TColor{0};  // the mask row: opaque
            return (x == 0 || x == 7) && (y == 0 || y == 7) ? skin::clFuchsia : kEdge;
        });
        frame.WL = frame.WT = frame.WR = frame.WB = 3;
        masks.push_back(std::move(frame));
    }
    s.manager->SendNewSkin();
    SendMessageW(s.h, LB_SETTOPINDEX, 40, 0);  // the thumb away from both arrows
    RedrawWindow(s.h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Pump();
    const TRect bar = s.r.Vert;
    const TBarParts parts = GetBarParts(*s.adapter->VertBar, bar, s.adapter->Metrics(), s.adapter->GeometrySkin());
    ASSERT_FALSE(parts.Short);
    ASSERT_TRUE(parts.ThumbVisible);
    auto at = [&](int x, int y) { return ScreenPixel(s.h, {bar.Left + x, bar.Top + y}); };
    auto corners = [&](const TRect& r) {
        return std::vector<TColor>{at(r.Left, r.Top), at(r.Right - 1, r.Top), at(r.Left, r.Bottom - 1),
                                   at(r.Right - 1, r.Bottom - 1)};
    };
    EXPECT_EQ(at(parts.Arrow1.Left + 1, parts.Arrow1.Top), kEdge);  // the frame itself is drawn
    EXPECT_EQ(corners(parts.Arrow1), std::vector<TColor>(4, kFlatTrack1));
    EXPECT_EQ(corners(parts.Arrow2), std::vector<TColor>(4, kFlatTrack2));
    // The thumb's middle splits the track: its upper corners lie over the first part.
    EXPECT_EQ(corners(parts.Thumb), (std::vector<TColor>{kFlatTrack1, kFlatTrack1, kFlatTrack2, kFlatTrack2}));
    EXPECT_EQ(at(parts.Thumb.Left + 1, parts.Thumb.Top), kEdge);
}

TEST(SkinnedScrollBars, HoldingAnArrowScrollsAtOnceThenAtEveryRepeatWhileTheCursorStaysOnIt) {
    ListScene s;
    const TPoint down{s.x, s.r.Vert.Bottom - 4};
    SetCursorPos(down.X, down.Y);
    SendMessageW(s.h, WM_NCLBUTTONDOWN, HTVSCROLL, At(down));
    EXPECT_EQ(s.Take(), (Sent{{SB_LINEDOWN, 0}}));
    EXPECT_EQ(GetCapture(), s.h);
    EXPECT_EQ(ScreenPixel(s.h, down), kFlatHot);  // drawn pressed
    SendMessageW(s.h, WM_TIMER, kScrollPressTimer, 0);
    EXPECT_TRUE(s.Take().empty());
    SendMessageW(s.h, WM_TIMER, kScrollRepeatTimer, 0);
    SendMessageW(s.h, WM_TIMER, kScrollRepeatTimer, 0);
    EXPECT_EQ(s.Take(), (Sent{{SB_LINEDOWN, 0}, {SB_LINEDOWN, 0}}));
    // Off the arrow the repeats stop and the arrow is drawn up; back on it they go on.
    SetCursorPos(down.X - 60, down.Y);
    SendMessageW(s.h, WM_TIMER, kScrollRepeatTimer, 0);
    EXPECT_TRUE(s.Take().empty());
    EXPECT_EQ(ScreenPixel(s.h, down), kFlatArrow2);
    SetCursorPos(down.X, down.Y);
    SendMessageW(s.h, WM_TIMER, kScrollRepeatTimer, 0);
    SendMessageW(s.h, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(s.Take(), (Sent{{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}));
    EXPECT_NE(GetCapture(), s.h);
    EXPECT_EQ(SendMessageW(s.h, LB_GETTOPINDEX, 0, 0), 4);
    // A timer of the window's own with one of these numbers is the window's.
    SendMessageW(s.h, WM_TIMER, kScrollRepeatTimer, 0);
    EXPECT_TRUE(s.Take().empty());
}

TEST(SkinnedScrollBars, DraggingTheThumbTracksOnlyChangesThenSetsThePositionAndEnds) {
    ListScene s;
    const TThumbGeometry g = s.Thumb();
    auto moveTo = [&](int screenY) {
        POINT p{s.x, screenY};
        ScreenToClient(s.h, &p);
        SendMessageW(s.h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    };
    SendMessageW(s.h, WM_NCLBUTTONDOWN, HTVSCROLL, At({s.x, g.Start + 2}));
    EXPECT_TRUE(s.adapter->ThumbTracking);
    EXPECT_EQ(ScreenPixel(s.h, {s.x, g.Start + 2}), kFlatHot);  // drawn pressed
    moveTo(g.Start + 32);
    const Sent first = s.Take();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].first, SB_THUMBTRACK);
    EXPECT_GT(first[0].second, 0);
    EXPECT_EQ(ScreenPixel(s.h, {s.x, g.Start + 32}), kFlatHot);  // the thumb follows the mouse
    moveTo(g.Start + 32);
    EXPECT_TRUE(s.Take().empty());
    // Far past the end: the last position a page can show, never beyond.
    moveTo(s.r.Vert.Bottom + 200);
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(s.h, SB_VERT, &si);
    const int last = si.nMax - static_cast<int>(si.nPage) + 1;
    SendMessageW(s.h, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(s.Take(), (Sent{{SB_THUMBTRACK, last}, {SB_THUMBPOSITION, last}, {SB_ENDSCROLL, last}}));
    EXPECT_FALSE(s.adapter->ThumbTracking);
    EXPECT_NE(GetCapture(), s.h);
    EXPECT_EQ(SendMessageW(s.h, LB_GETTOPINDEX, 0, 0), last);
    EXPECT_EQ(ScreenPixel(s.h, {s.x, s.Thumb().TrackEnd - 1}), kFlatThumb);
}

namespace {

// The real mouse through the system's input queue: hit tests, capture and
// timers run as for a person at the screen.
void Mouse(DWORD flags, TPoint p = {}, int wheel = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags | (flags & MOUSEEVENTF_MOVE ? MOUSEEVENTF_ABSOLUTE : 0);
    input.mi.mouseData = static_cast<DWORD>(wheel);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = (p.X * 65536 + w - 1) / w;
    input.mi.dy = (p.Y * 65536 + h - 1) / h;
    SendInput(1, &input, sizeof(input));
}

// Handles messages, real timers included, for about `ms` milliseconds.
void PumpFor(DWORD ms) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(5)) Pump();
    Pump();
}

int Count(const Sent& sent, int code) {
    return static_cast<int>(std::count_if(sent.begin(), sent.end(), [code](auto& s) { return s.first == code; }));
}

}  // namespace

TEST(SkinnedScrollBars, WithOurSkinTheBarsAnswerTheRealMouseAndTheRealTimers) {
    TForm* form = NewForm<TForm>(Application);  // the application's forms hear the skin change
    form->SetBounds(100, 100, 460, 300);
    form->SetCaption("Полосы прокрутки");
    auto* manager = new TsSkinManager(form);
    manager->SetActive(false);
    AddOwnStoredSkins(manager->InternalSkins());
    manager->SetSkinName("Pulsar (internal)");
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->SetBounds(10, 10, 200, 240);
    for (int i = 0; i < 200; ++i) list->Items()->Add("Корабль " + std::to_string(i + 1));
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(225, 10, 210, 240);
    memo->SetScrollBars(ssVertical);
    for (int i = 0; i < 100; ++i) memo->Lines()->Add("Раунд " + std::to_string(i + 1) + ": потерь нет");
    form->Show();
    SetForegroundWindow(form->Handle());
    manager->SetActive(true);
    ASSERT_TRUE(manager->SkinActive());
    Pump();
    HWND h = list->Handle();
    RECT wr;
    GetWindowRect(h, &wr);
    const TPoint plainArrow{wr.right - 2 - GetSystemMetrics(SM_CXVSCROLL) / 2, wr.bottom - 8};
    const TColor plain = ScreenPixel(h, plainArrow);
    GetWindowRect(memo->Handle(), &wr);
    const TPoint memoArrow{wr.right - 2 - GetSystemMetrics(SM_CXVSCROLL) / 2, wr.top + 8};

    TsCommonData listData(list, true), memoData(memo, true);
    Sent sent;
    TWindowProcToken recorder = 0;
    recorder = list->ReplaceWindowProc([&](TMessage& m) {
        if (m.Msg == WM_VSCROLL) sent.emplace_back(LOWORD(m.WParam), HIWORD(m.WParam));
        list->CallPreviousWindowProc(recorder, m);
    });
    auto listBars = CreateAdapter<TacScrollWnd>(h, &listData, manager, "EDIT");
    auto memoBars = CreateAdapter<TacScrollWnd>(memo->Handle(), &memoData, manager, "EDIT");
    SendMessageW(memo->Handle(), EM_LINESCROLL, 0, -1000);
    PumpFor(50);
    const TScrollBarRects r = listBars->BarRects();
    const int x = Centre(r.Vert).X;
    const TPoint down{x, r.Vert.Bottom - 6};
    const TColor resting = ScreenPixel(h, down);
    EXPECT_NE(resting, plain);

    // Under the mouse the arrow lights up.
    Mouse(MOUSEEVENTF_MOVE, {x - 60, down.Y});
    PumpFor(50);
    Mouse(MOUSEEVENTF_MOVE, down);
    PumpFor(150);
    EXPECT_NE(ScreenPixel(h, down), resting);
    // Held: one line at once, the repeats after the first delay, then the end.
    Mouse(MOUSEEVENTF_LEFTDOWN);
    PumpFor(700);
    Mouse(MOUSEEVENTF_LEFTUP);
    PumpFor(50);
    Sent held = std::exchange(sent, {});
    ASSERT_FALSE(held.empty());
    EXPECT_EQ(held.back(), (std::pair<int, int>{SB_ENDSCROLL, 0}));
    const int lines = Count(held, SB_LINEDOWN);
    EXPECT_GE(lines, 3);
    EXPECT_LE(lines, 1 + 400 / 55 + 2);
    EXPECT_EQ(SendMessageW(h, LB_GETTOPINDEX, 0, 0), lines);
    // Out of the bar: it goes out.
    Mouse(MOUSEEVENTF_MOVE, {x - 60, down.Y});
    PumpFor(100);
    EXPECT_EQ(ScreenPixel(h, down), resting);

    // Dragged: the thumb follows, then the position is set and scrolling ends.
    const TThumbGeometry g = GetThumbGeometry(*listBars->VertBar, r.Vert, listBars->Metrics(), listBars->GeometrySkin());
    Mouse(MOUSEEVENTF_MOVE, {x, g.Start + g.Size / 2});
    PumpFor(30);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    for (int step = 1; step <= 6; ++step) {
        PumpFor(20);
        Mouse(MOUSEEVENTF_MOVE, {x, g.Start + g.Size / 2 + step * 10});
    }
    PumpFor(20);
    Mouse(MOUSEEVENTF_LEFTUP);
    PumpFor(50);
    const Sent dragged = std::exchange(sent, {});
    ASSERT_GE(dragged.size(), 3u);
    EXPECT_GE(Count(dragged, SB_THUMBTRACK), 2);
    const int dropped = dragged[dragged.size() - 2].second;
    EXPECT_EQ(dragged[dragged.size() - 2].first, SB_THUMBPOSITION);
    EXPECT_GT(dropped, lines);
    EXPECT_EQ(SendMessageW(h, LB_GETTOPINDEX, 0, 0), dropped);

    // The wheel over the memo scrolls it and moves its thumb.
    const TScrollBarRects mr = memoBars->BarRects();
    auto memoThumb = [&] {
        return GetThumbGeometry(*memoBars->VertBar, mr.Vert, memoBars->Metrics(), memoBars->GeometrySkin()).Start;
    };
    const int before = memoThumb();
    Mouse(MOUSEEVENTF_MOVE, {mr.Vert.Left - 50, Centre(mr.Vert).Y});
    PumpFor(30);
    Mouse(MOUSEEVENTF_WHEEL, {}, -WHEEL_DELTA * 3);
    PumpFor(50);
    EXPECT_GT(SendMessageW(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_GT(memoThumb(), before);

    Mouse(MOUSEEVENTF_MOVE, down);
    PumpFor(150);
    if (const char* dir = std::getenv("NORVIX_SCREENSHOT_DIR"))
        vcltest::SaveScreenshot(form, std::string(dir) + "/skinned_scrollbars.bmp");
    // Released, or the skin switched off: the plain bars come back.
    Mouse(MOUSEEVENTF_MOVE, {10, 10});
    PumpFor(50);
    const TColor skinned = ScreenPixel(memo->Handle(), memoArrow);
    UnhookWndProc(h, true, true, listBars);
    manager->SetActive(false);
    PumpFor(50);
    EXPECT_EQ(ScreenPixel(h, plainArrow), plain);
    EXPECT_NE(ScreenPixel(memo->Handle(), memoArrow), skinned);
    EXPECT_EQ(ScreenPixel(memo->Handle(), memoArrow), ScreenPixel(h, {plainArrow.X, wr.top + 8}));
    list->RestoreWindowProc(recorder);
    form->Free();
}
