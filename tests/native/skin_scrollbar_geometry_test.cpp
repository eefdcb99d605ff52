// Skinned scroll bars without a window: the thumb never divides by an empty
// span nor leaves its track, what is drawn is what is hit, drags count from
// nMin, and everything holds in screen coordinates left of the screen too.
#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "skin/windows/layout/scrollgeometry.h"
#include "support/golden.h"
#include "support/layout_skin.h"

using namespace skin;

namespace {

const TScrollMetrics kMetrics{17, 17, 17};

// A horizontal bar 296 pixels long: arrows of 17, a track of 262.
const TRect kBar{102, 281, 398, 298};

TScrollBarState Horz(int nMin, int nMax, unsigned nPage, int nPos) {
    TScrollBarState b;
    b.ScrollFlags = sfHasStyle;
    b.ScrollVisible = true;
    b.BarType = sbHorz;
    b.ScrollInfo = TScrollInfo{nMin, nMax, nPage, nPos, 0};
    return b;
}

TThumbGeometry Thumb(const TScrollBarState& b) { return GetThumbGeometry(b, kBar, kMetrics, nullptr); }

}  // namespace

TEST(ScrollBarGeometry, ThumbSizeAndPlaceStayInsideTheTrack) {
    // No page: the thumb is as long as an arrow, from the first arrow to the second.
    TThumbGeometry g = Thumb(Horz(0, 100, 0, 0));
    EXPECT_EQ(g.TrackStart, 119);
    EXPECT_EQ(g.TrackEnd, 381);
    EXPECT_EQ(g.Size, 17);
    EXPECT_EQ(g.Start, 119);
    g = Thumb(Horz(0, 100, 0, 100));
    EXPECT_EQ(g.Start + g.Size, g.TrackEnd);

    // A huge range gives the smallest thumb, also over the whole int range.
    EXPECT_EQ(Thumb(Horz(0, 2000000000, 10, 0)).Size, 10);
    g = Thumb(Horz(INT_MIN, INT_MAX, 1000, INT_MAX - 999));
    EXPECT_EQ(g.Size, 10);
    EXPECT_EQ(g.Start + g.Size, g.TrackEnd);

    // The last position with a page lies flush with the second arrow; past it the thumb stays there.
    g = Thumb(Horz(0, 99, 10, 90));
    EXPECT_EQ(g.Size, 26);
    EXPECT_EQ(g.Start + g.Size, 381);
    EXPECT_EQ(Thumb(Horz(0, 99, 10, 500)).Start, g.Start);
    EXPECT_EQ(Thumb(Horz(0, 99, 10, -50)).Start, 119);

    // nMax = nMin, and pages as long as or longer than the range: no division
    // by an empty or negative span, the thumb inside the track and not shown.
    for (unsigned page : {0u, 1u, 5u, 1000u}) {
        SCOPED_TRACE(page);
        g = Thumb(Horz(7, 7, page, 7));
        EXPECT_GE(g.Start, g.TrackStart);
        EXPECT_LE(g.Start + g.Size, g.TrackEnd);
    }
    EXPECT_FALSE(Thumb(Horz(0, 9, 10, 0)).Visible);
    EXPECT_FALSE(Thumb(Horz(10, 5, 3, 7)).Visible);  // a maximum below the minimum
    // A hidden thumb: the track between the arrows answers nothing.
    EXPECT_EQ(GetPortion(Horz(0, 9, 10, 0), kBar, {200, 290}, kMetrics, nullptr), spNone);
    EXPECT_EQ(GetPortion(Horz(0, 9, 10, 0), kBar, {110, 290}, kMetrics, nullptr), spLineUp);
    EXPECT_FALSE(Thumb(Horz(0, 9, 50, 3)).Visible);
    EXPECT_EQ(Thumb(Horz(0, 9, 50, 3)).Size, 262);
}

TEST(ScrollBarGeometry, TheHitTestFindsWhatIsDrawn) {
    const TScrollBarState b = Horz(0, 99, 10, 45);
    const TThumbGeometry g = Thumb(b);
    const TBarParts parts = GetBarParts(b, kBar, kMetrics, nullptr);
    ASSERT_TRUE(parts.ThumbVisible);
    EXPECT_EQ(parts.Thumb.Left + kBar.Left, g.Start);
    EXPECT_EQ(parts.Thumb.Width(), g.Size);
    // Every column of the bar: the part the hit test names is the part painted there.
    for (int x = kBar.Left; x < kBar.Right; ++x) {
        const int rel = x - kBar.Left;
        int painted = spNone;
        if (rel < parts.Arrow1.Right) painted = spLineUp;
        else if (rel >= parts.Arrow2.Left) painted = spLineDown;
        else if (rel >= parts.Thumb.Left && rel < parts.Thumb.Right) painted = spThumb;
        else painted = rel < parts.Thumb.Left ? spPageUp : spPageDown;
        ASSERT_EQ(GetPortion(b, kBar, {x, 290}, kMetrics, nullptr), painted) << x;
    }
    EXPECT_EQ(GetPortion(b, kBar, {200, 280}, kMetrics, nullptr), spNone);
    EXPECT_EQ(GetPortion(b, kBar, {200, 298}, kMetrics, nullptr), spNone);
    // The track's two halves meet under the thumb's middle.
    EXPECT_EQ(parts.Track1.Right, parts.Thumb.Left + parts.Thumb.Width() / 2);
    EXPECT_EQ(parts.Track2.Left, parts.Track1.Right);
    EXPECT_EQ(parts.Track2.Right, kBar.Width());
    // A forced thumb start is kept inside the track, at either end.
    EXPECT_EQ(GetBarParts(b, kBar, kMetrics, nullptr, 5000).Thumb.Right, parts.Arrow2.Left);
    EXPECT_EQ(GetBarParts(b, kBar, kMetrics, nullptr, 0).Thumb.Left, parts.Arrow1.Right);

    // A skin whose arrows are longer: the thumb, the track and the hit test
    // all take the skin's arrow, so its whole picture scrolls by a line.
    skintest::LayoutSkin skin;
    skin.Section("SCROLLBTNLEFT", true);
    skin.Mask("SCROLLBTNLEFT", "BORDERSMASK", 24, 17);
    EXPECT_EQ(GetArrowSize(b, false, kMetrics, &skin.Content), 24);
    EXPECT_EQ(GetPortion(b, kBar, {kBar.Left + 20, 290}, kMetrics, &skin.Content), spLineUp);
    EXPECT_EQ(GetThumbGeometry(b, kBar, kMetrics, &skin.Content).TrackStart, kBar.Left + 24);
    EXPECT_EQ(GetBarParts(b, kBar, kMetrics, &skin.Content).Arrow1.Right, 24);
    // A vertical bar measures the skin's arrow by its height.
    skin.Section("SCROLLBTNTOP", true);
    skin.Mask("SCROLLBTNTOP", "BORDERSMASK", 17, 30);
    TScrollBarState v = b;
    v.BarType = sbVert;
    EXPECT_EQ(GetArrowSize(v, false, kMetrics, &skin.Content), 30);
    // Arrows of two units: twice the skin's arrow, or twice the system's.
    TScrollBarState twice = b;
    twice.ArrowLength = -2;
    EXPECT_EQ(GetArrowSize(twice, false, kMetrics, &skin.Content), 48);
    EXPECT_EQ(GetArrowSize(twice, false, kMetrics, nullptr), 34);
    // Without the section's flag the system's unit length holds.
    skin.Content.Sections[0].ReservedBoolean = false;
    EXPECT_EQ(GetArrowSize(b, false, kMetrics, &skin.Content), 17);
}

TEST(ScrollBarGeometry, ABarTooShortForTwoArrowsShowsTwoHalves) {
    const TScrollBarState b = Horz(0, 99, 10, 0);
    const TRect bar{10, 0, 41, 17};  // 31 pixels: less than two arrows
    EXPECT_EQ(GetPortion(b, bar, {10, 5}, kMetrics, nullptr), spLineUp);
    EXPECT_EQ(GetPortion(b, bar, {24, 5}, kMetrics, nullptr), spLineUp);
    EXPECT_EQ(GetPortion(b, bar, {26, 5}, kMetrics, nullptr), spLineDown);
    EXPECT_EQ(GetPortion(b, bar, {40, 5}, kMetrics, nullptr), spLineDown);
    const TBarParts parts = GetBarParts(b, bar, kMetrics, nullptr);
    EXPECT_TRUE(parts.Short);
    EXPECT_FALSE(parts.ThumbVisible);
    EXPECT_EQ(parts.Arrow1, (TRect{0, 0, 15, 17}));
    EXPECT_EQ(parts.Arrow2, (TRect{15, 0, 31, 17}));
    EXPECT_TRUE(GetBarParts(b, TRect{10, 0, 44, 17}, kMetrics, nullptr).Short);  // exactly two arrows
    EXPECT_FALSE(GetThumbGeometry(b, bar, kMetrics, nullptr).Visible);
    // An empty bar answers nothing and divides by nothing.
    EXPECT_EQ(GetPortion(b, TRect{10, 0, 10, 17}, {10, 5}, kMetrics, nullptr), spNone);
}

TEST(ScrollBarGeometry, LeftBarsAndTheGripInScreenCoordinates) {
    // A window left of the primary screen, bars on the left.
    const TRect window{-300, 50, -100, 250};
    const TScrollEdges edges{2, 2, 2, 2};
    TScrollBarState h = Horz(0, 99, 10, 0), v = Horz(0, 99, 10, 0);
    v.BarType = sbVert;
    TScrollBarRects r = GetScrollBarRects(window, edges, h, v, true, kMetrics, nullptr);
    EXPECT_EQ(r.Vert, (TRect{-298, 52, -281, 231}));
    EXPECT_EQ(r.Horz, (TRect{-281, 231, -102, 248}));
    EXPECT_EQ(r.Corner, (TRect{-298, 231, -281, 248}));
    EXPECT_EQ(GetPortion(v, r.Vert, {-290, 55}, kMetrics, nullptr), spLineUp);
    EXPECT_EQ(GetPortion(h, r.Horz, {-275, 240}, kMetrics, nullptr), spLineUp);

    EXPECT_EQ(ScrollBarHitCode({-290, 240}, r, true, true, true), 17);
    EXPECT_EQ(ScrollBarHitCode({-290, 240}, r, true, true, false), std::nullopt);
    EXPECT_EQ(ScrollBarHitCode({-200, 240}, r, false, true, true), 0);
    EXPECT_EQ(ScrollBarHitCode({-290, 100}, r, true, true, true), 7);
    EXPECT_EQ(ScrollBarHitCode({-290, 100}, r, true, false, true), 0);
    // Across a vertical bar: its last column is the bar's, the next one not.
    EXPECT_EQ(GetPortion(v, r.Vert, {-282, 55}, kMetrics, nullptr), spLineUp);
    EXPECT_EQ(GetPortion(v, r.Vert, {-281, 55}, kMetrics, nullptr), spNone);
    EXPECT_EQ(ScrollBarHitCode({-200, 100}, r, true, true, true), std::nullopt);

    // Bars on the right: the vertical one and the corner move over.
    r = GetScrollBarRects(window, edges, h, v, false, kMetrics, nullptr);
    EXPECT_EQ(r.Vert, (TRect{-119, 52, -102, 231}));
    EXPECT_EQ(r.Corner, (TRect{-119, 231, -102, 248}));
    EXPECT_EQ(r.Horz, (TRect{-298, 231, -119, 248}));  // up to the vertical bar
    // Only the horizontal bar: no corner, the bar across the whole window.
    v.ScrollVisible = false;
    r = GetScrollBarRects(window, edges, h, v, false, kMetrics, nullptr);
    EXPECT_TRUE(r.Corner.IsEmpty());
    EXPECT_EQ(r.Horz, (TRect{-298, 231, -102, 248}));
    // Only the vertical bar: down to the bottom edge.
    v.ScrollVisible = true;
    h.ScrollVisible = false;
    r = GetScrollBarRects(window, edges, h, v, false, kMetrics, nullptr);
    EXPECT_EQ(r.Vert, (TRect{-119, 52, -102, 248}));
    EXPECT_TRUE(r.Horz.IsEmpty() && r.Corner.IsEmpty());
    h.ScrollVisible = true;
    v.ScrollVisible = false;

    // Edges of four different widths: the bars fill the inside of the window
    // up to each edge, the vertical bar down to the horizontal one, the
    // corner between them, on either side.
    const TScrollEdges uneven{1, 3, 5, 7};
    for (const bool left : {true, false}) {
        v.ScrollVisible = true;
        r = GetScrollBarRects(window, uneven, h, v, left, TScrollMetrics{15, 13, 17}, nullptr);
        const TRect inner{window.Left + 1, window.Top + 5, window.Right - 3, window.Bottom - 7};
        EXPECT_EQ(r.Horz.Bottom, inner.Bottom) << left;
        EXPECT_EQ(r.Horz.Height(), 13) << left;
        EXPECT_EQ(r.Vert.Top, inner.Top) << left;
        EXPECT_EQ(r.Vert.Bottom, r.Horz.Top) << left;
        EXPECT_EQ(r.Vert.Width(), 15) << left;
        EXPECT_EQ(left ? r.Vert.Left : r.Vert.Right, left ? inner.Left : inner.Right) << left;
        EXPECT_EQ(left ? r.Horz.Left : r.Horz.Right, left ? r.Vert.Right : r.Vert.Left) << left;
        EXPECT_EQ(left ? r.Horz.Right : r.Horz.Left, left ? inner.Right : inner.Left) << left;
        EXPECT_EQ(r.Corner, (TRect{r.Vert.Left, r.Horz.Top, r.Vert.Right, r.Horz.Bottom})) << left;
    }
    v.ScrollVisible = false;

    // The grip: a window without parent always; a child only flush in its
    // top-level parent's client corner, on the bars' side.
    const TRect client{-400, 0, -100, 250};
    EXPECT_TRUE(GripApplies(false, false, window, client, false));
    EXPECT_TRUE(GripApplies(true, true, window, client, false));
    EXPECT_FALSE(GripApplies(true, true, window, client, true));
    EXPECT_TRUE(GripApplies(true, true, window, TRect{-300, 0, 0, 250}, true));
    EXPECT_FALSE(GripApplies(true, false, window, client, false));
    EXPECT_FALSE(GripApplies(true, true, window, TRect{-400, 0, -100, 251}, false));

    // Room for the bars: only where the style asks and the bar fits.
    TRect room{0, 0, 200, 150};
    h.ScrollFlags = v.ScrollFlags = sfHasStyle;
    ReserveScrollBars(room, h, v, true, kMetrics, nullptr);
    EXPECT_EQ(room, (TRect{17, 0, 200, 133}));
    EXPECT_TRUE(h.ScrollVisible && v.ScrollVisible);
    // A bar exactly as thick as the room still fits; its thickness is its own metric.
    room = TRect{0, 0, 200, 17};
    ReserveScrollBars(room, h, v, false, TScrollMetrics{12, 17, 17}, nullptr);
    EXPECT_TRUE(h.ScrollVisible && v.ScrollVisible);
    EXPECT_EQ(room, (TRect{0, 0, 188, 0}));
    room = TRect{0, 0, 17, 100};
    h.ScrollFlags = 0;
    ReserveScrollBars(room, h, v, false, kMetrics, nullptr);
    EXPECT_TRUE(v.ScrollVisible);
    EXPECT_EQ(room, (TRect{0, 0, 0, 100}));
    h.ScrollFlags = sfHasStyle;
    room = TRect{0, 0, 200, 10};
    v.ScrollFlags = 0;
    ReserveScrollBars(room, h, v, false, kMetrics, nullptr);
    EXPECT_FALSE(h.ScrollVisible || v.ScrollVisible);
    EXPECT_EQ(room, (TRect{0, 0, 200, 10}));
}

TEST(ScrollBarGeometry, DraggingCountsFromMinAndMatchesTheThumb) {
    TScrollBarState b = Horz(50, 149, 10, 50);
    const TThumbGeometry g = Thumb(b);
    // The mouse far left and far right: the first and the last position.
    EXPECT_EQ(GetThumbDrag(b, kBar, g.Size, -1000, 0, kMetrics, nullptr).Position, 50);
    TThumbDrag end = GetThumbDrag(b, kBar, g.Size, 5000, 0, kMetrics, nullptr);
    EXPECT_EQ(end.Position, 140);
    EXPECT_EQ(end.ThumbStart + g.Size, g.TrackEnd);
    // Dragging the thumb to where a position draws it gives that position back.
    for (int pos = 50; pos <= 140; ++pos) {
        b.ScrollInfo.nPos = pos;
        const int start = Thumb(b).Start;
        ASSERT_EQ(GetThumbDrag(b, kBar, g.Size, start + 4, 4, kMetrics, nullptr).Position, pos) << pos;
    }
    // No page: the last position is nMax.
    EXPECT_EQ(GetThumbDrag(Horz(-20, 20, 0, 0), kBar, 17, 5000, 0, kMetrics, nullptr).Position, 20);
    // A thumb filling the track, or nothing to scroll: nMin, no division.
    EXPECT_EQ(GetThumbDrag(b, kBar, 262, 200, 0, kMetrics, nullptr).Position, 50);
    EXPECT_EQ(GetThumbDrag(Horz(3, 3, 0, 3), kBar, 17, 200, 0, kMetrics, nullptr).Position, 3);
    // A page larger than the range (set while dragging): still nMin, never below it.
    EXPECT_EQ(GetThumbDrag(Horz(50, 59, 40, 50), kBar, 30, 5000, 0, kMetrics, nullptr).Position, 50);

    // Which bars take input.
    b.ScrollFlags = sfHasStyle | sfDisableLtUp;
    EXPECT_TRUE(IsScrollBarActive(b, 0));
    b.ScrollFlags |= sfDisableRtDn;
    EXPECT_FALSE(IsScrollBarActive(b, 0));
    b.ScrollFlags = sfHasStyle | sfUsableRangeOnly;
    EXPECT_TRUE(IsScrollBarActive(b, 0));
    EXPECT_FALSE(IsScrollBarActive(b, 1));
    EXPECT_TRUE(IsScrollBarActive(b, 2));  // only the first bit says disabled
    EXPECT_FALSE(IsScrollBarActive(Horz(0, 0, 0, 0), 1));
    TScrollBarState empty = Horz(5, 5, 0, 5);
    empty.ScrollFlags |= sfUsableRangeOnly;
    EXPECT_FALSE(IsScrollBarActive(empty, 0));
}

namespace {

using skintest::RectText;

// Where a bar's parts are drawn, what each pixel along it answers, and the
// positions a drag gives back.
std::string DescribeBar(const TScrollBarState& b, const TRect& bar, const TsSkinContent* skin) {
    std::ostringstream o;
    const TThumbGeometry g = GetThumbGeometry(b, bar, kMetrics, skin);
    o << " arrow " << g.Arrow << " track " << g.TrackStart << "-" << g.TrackEnd << " thumb " << g.Start << "+" << g.Size
      << (g.Visible ? "" : " hidden") << "\n";
    const TBarParts p = GetBarParts(b, bar, kMetrics, skin);
    o << " parts" << (p.Short ? " short" : "") << " " << RectText(p.Arrow1) << RectText(p.Track1) << RectText(p.Thumb)
      << RectText(p.Track2) << RectText(p.Arrow2) << "\n";
    const bool horz = b.BarType == sbHorz;
    const int from = horz ? bar.Left : bar.Top, to = horz ? bar.Right : bar.Bottom;
    const int across = horz ? (bar.Top + bar.Bottom) / 2 : (bar.Left + bar.Right) / 2;
    auto at = [&](int along) { return horz ? TPoint{along, across} : TPoint{across, along}; };
    o << " portions" << skintest::Runs(from - 1, to, [&](int x) { return GetPortion(b, bar, at(x), kMetrics, skin); });
    o << "\n drags";
    for (int along = from - 20; along <= to + 20; along += 9)
        o << " " << GetThumbDrag(b, bar, g.Size, along, g.Size / 2, kMetrics, skin).Position;
    o << "\n";
    return o.str();
}

}  // namespace

// Bars of every shape, plain and with a skin's longer arrows, against what
// is recorded in tests/native/golden/scroll_bars.txt.
TEST(ScrollBarGeometry, EveryKindOfBarMatchesItsRecordedGeometry) {
    struct Kind {
        const char* name;
        int nMin, nMax;
        unsigned nPage;
        int nPos;
        TRect bar;
        TScrollBarType type;
        int minThumb;
    };
    const Kind kinds[] = {
        {"page of ten, middle", 0, 99, 10, 45, kBar, sbHorz, 10},
        {"page of ten, end", 0, 99, 10, 90, kBar, sbHorz, 10},
        {"from fifty", 50, 149, 10, 97, kBar, sbHorz, 10},
        {"negative range", -60, -11, 7, -33, kBar, sbHorz, 10},
        {"no page", 0, 20, 0, 7, kBar, sbHorz, 10},
        {"large thumb floor", 0, 100000, 3, 50000, kBar, sbHorz, 23},
        {"page as long as the range", 0, 9, 10, 0, kBar, sbHorz, 10},
        {"one position", 4, 4, 1, 4, kBar, sbHorz, 10},
        {"short bar", 0, 99, 10, 50, TRect{10, 0, 41, 17}, sbHorz, 10},
        {"two arrows exactly", 0, 99, 10, 50, TRect{10, 0, 44, 17}, sbHorz, 10},
        {"odd length", 0, 30, 5, 13, TRect{0, 0, 101, 17}, sbHorz, 10},
        {"vertical", 0, 99, 25, 30, TRect{283, 5, 300, 205}, sbVert, 10},
        {"vertical off screen", -5, 5, 2, 0, TRect{-300, -120, -283, -20}, sbVert, 8},
    };
    skintest::LayoutSkin skin;
    skin.Section("SCROLLBTNLEFT", true);
    skin.Mask("SCROLLBTNLEFT", "BORDERSMASK", 26, 17);
    skin.Section("SCROLLBTNTOP", true);
    skin.Mask("SCROLLBTNTOP", "BORDERSMASK", 17, 22);
    std::string all;
    for (const Kind& k : kinds) {
        TScrollBarState b = Horz(k.nMin, k.nMax, k.nPage, k.nPos);
        b.BarType = k.type;
        b.MinThumbSize = k.minThumb;
        all += std::string(k.name) + ", plain\n" + DescribeBar(b, k.bar, nullptr);
        all += std::string(k.name) + ", skinned\n" + DescribeBar(b, k.bar, &skin.Content);
    }
    golden::ExpectRecorded("scroll_bars", all);
}
