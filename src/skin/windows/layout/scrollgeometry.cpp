#include "skin/windows/layout/scrollgeometry.h"

#include <algorithm>

#include "skin/windows/layout/winvalues.h"

namespace skin {

namespace {

// A * B / C rounded to the nearest, halves away from zero; 0 when C is 0.
int64_t MulDivRound(int64_t a, int64_t b, int64_t c) {
    if (c == 0) return 0;
    const int64_t n = a * b;
    const bool negative = (n < 0) != (c < 0);
    const int64_t an = n < 0 ? -n : n, ac = c < 0 ? -c : c;
    const int64_t q = (an + ac / 2) / ac;
    return negative ? -q : q;
}

int64_t ClampI64(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

int BarStart(const TScrollBarState& bar, const TRect& r) { return bar.BarType == sbHorz ? r.Left : r.Top; }
int BarEnd(const TScrollBarState& bar, const TRect& r) { return bar.BarType == sbHorz ? r.Right : r.Bottom; }

bool Inside(const TRect& r, TPoint p) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

// nMax - nMin + 1 without overflow.
int64_t RangeOf(const TScrollInfo& si) { return int64_t{si.nMax} - si.nMin + 1; }
// How many positions past nMin the thumb can reach: a page shows nPage of
// them at once, no page counts as one.
int64_t Reach(const TScrollInfo& si) { return RangeOf(si) - std::max<int64_t>(si.nPage, 1); }

// A part of the bar from A to B along it, across its whole thickness,
// relative to the bar's own corner.
TRect AlongRect(const TScrollBarState& bar, int a, int b, int thickness) {
    return bar.BarType == sbHorz ? TRect{a, 0, b, thickness} : TRect{0, a, thickness, b};
}

}  // namespace

int GetArrowSize(const TScrollBarState& bar, bool thickness, const TScrollMetrics& m, const TsSkinContent* skin) {
    if (thickness) {
        if (bar.ArrowWidth >= 0) return bar.ArrowWidth;
        return -bar.ArrowWidth * (bar.BarType == sbVert ? m.cxVScroll : m.cyHScroll);
    }
    if (bar.ArrowLength >= 0) return bar.ArrowLength;
    int unit = m.ScrollBtnSize;
    if (skin) {
        const char* section = bar.BarType == sbHorz ? "SCROLLBTNLEFT" : "SCROLLBTNTOP";
        const int index = skin->GetSkinIndex(section);
        if (skin->IsValidSkinIndex(index) && skin->Sections[static_cast<size_t>(index)].ReservedBoolean) {
            const int mask = skin->GetMaskIndex(index, section, "BORDERSMASK");
            if (skin->IsValidMaskIndex(mask)) {
                const TsMaskData& md = skin->Masks[static_cast<size_t>(mask)];
                unit = std::max(unit, bar.BarType == sbHorz ? md.FrameWidth() : md.FrameHeight());
            }
        }
    }
    return -bar.ArrowLength * unit;
}

TScrollBarRects GetScrollBarRects(const TRect& w, const TScrollEdges& e, const TScrollBarState& horz,
                                  const TScrollBarState& vert, bool leftScrollbar, const TScrollMetrics& m,
                                  const TsSkinContent* skin) {
    TScrollBarRects r;
    const int hThick = horz.ScrollVisible ? GetArrowSize(horz, true, m, skin) : 0;
    const int vThick = vert.ScrollVisible ? GetArrowSize(vert, true, m, skin) : 0;
    if (horz.ScrollVisible) {
        r.Horz.Bottom = w.Bottom - e.cyBottomEdge;
        r.Horz.Top = r.Horz.Bottom - hThick;
        r.Horz.Left = w.Left + e.cxLeftEdge + (leftScrollbar ? vThick : 0);
        r.Horz.Right = w.Right - e.cxRightEdge - (leftScrollbar ? 0 : vThick);
    }
    if (vert.ScrollVisible) {
        r.Vert.Top = w.Top + e.cyTopEdge;
        r.Vert.Bottom = w.Bottom - e.cyBottomEdge - hThick;
        if (leftScrollbar) {
            r.Vert.Left = w.Left + e.cxLeftEdge;
            r.Vert.Right = r.Vert.Left + vThick;
        } else {
            r.Vert.Right = w.Right - e.cxRightEdge;
            r.Vert.Left = r.Vert.Right - vThick;
        }
    }
    if (horz.ScrollVisible && vert.ScrollVisible) r.Corner = TRect{r.Vert.Left, r.Horz.Top, r.Vert.Right, r.Horz.Bottom};
    return r;
}

void ReserveScrollBars(TRect& client, TScrollBarState& horz, TScrollBarState& vert, bool leftScrollbar,
                       const TScrollMetrics& m, const TsSkinContent* skin) {
    const int hThick = GetArrowSize(horz, true, m, skin);
    horz.ScrollVisible = (horz.ScrollFlags & sfHasStyle) && hThick <= client.Height();
    if (horz.ScrollVisible) client.Bottom -= hThick;
    const int vThick = GetArrowSize(vert, true, m, skin);
    vert.ScrollVisible = (vert.ScrollFlags & sfHasStyle) && vThick <= client.Width();
    if (vert.ScrollVisible) {
        if (leftScrollbar)
            client.Left += vThick;
        else
            client.Right -= vThick;
    }
}

TThumbGeometry GetThumbGeometry(const TScrollBarState& bar, const TRect& barRect, const TScrollMetrics& m,
                                const TsSkinContent* skin) {
    TThumbGeometry g;
    const int start = BarStart(bar, barRect), end = BarEnd(bar, barRect);
    const int length = std::max(end - start, 0);
    g.Arrow = GetArrowSize(bar, false, m, skin);
    if (length <= 2 * g.Arrow) g.Arrow = length / 2;
    const int track = length - 2 * g.Arrow;
    g.TrackStart = start + g.Arrow;
    g.TrackEnd = g.TrackStart + track;

    const TScrollInfo& si = bar.ScrollInfo;
    const int64_t range = RangeOf(si);
    int64_t size = 0;
    if (si.nPage == 0)
        size = g.Arrow;
    else if (range > 0)
        size = std::max<int64_t>(MulDivRound(si.nPage, track, range), bar.MinThumbSize);
    size = ClampI64(size, 0, track);

    int64_t offset = 0;
    const int64_t reach = Reach(si);
    if (range > 0 && reach > 0) offset = MulDivRound(int64_t{si.nPos} - si.nMin, track - size, reach);
    offset = ClampI64(offset, 0, track - size);

    g.Size = static_cast<int>(size);
    g.Start = g.TrackStart + static_cast<int>(offset);
    g.Visible = g.Size > 0 && g.Size < track;
    return g;
}

int GetPortion(const TScrollBarState& bar, const TRect& barRect, TPoint point, const TScrollMetrics& m,
               const TsSkinContent* skin) {
    const bool across = bar.BarType == sbHorz ? point.Y >= barRect.Top && point.Y < barRect.Bottom
                                              : point.X >= barRect.Left && point.X < barRect.Right;
    if (!across) return spNone;
    const int start = BarStart(bar, barRect), end = BarEnd(bar, barRect);
    const int x = AlongBar(bar, point);
    const TThumbGeometry g = GetThumbGeometry(bar, barRect, m, skin);
    if (x >= start && x < start + g.Arrow) return spLineUp;
    if (x >= end - g.Arrow && x < end) return spLineDown;
    if (!g.Visible) return spNone;
    if (x >= g.Start && x < g.Start + g.Size) return spThumb;
    if (x >= g.TrackStart && x < g.Start) return spPageUp;
    if (x >= g.Start + g.Size && x < g.TrackEnd) return spPageDown;
    return spNone;
}

TBarParts GetBarParts(const TScrollBarState& bar, const TRect& barRect, const TScrollMetrics& m,
                      const TsSkinContent* skin, int forcedThumbStart) {
    TBarParts p;
    const int length = std::max(bar.BarType == sbHorz ? barRect.Width() : barRect.Height(), 0);
    const int thickness = bar.BarType == sbHorz ? barRect.Height() : barRect.Width();
    const TThumbGeometry g = GetThumbGeometry(bar, barRect, m, skin);
    const int origin = BarStart(bar, barRect);
    p.Short = length <= 2 * GetArrowSize(bar, false, m, skin);
    if (p.Short) {
        const int half = length / 2;
        p.Arrow1 = p.Track1 = AlongRect(bar, 0, half, thickness);
        p.Arrow2 = p.Track2 = AlongRect(bar, half, length, thickness);
        return p;
    }
    int thumbStart = g.Start - origin;
    if (forcedThumbStart != -1)
        thumbStart = std::clamp(forcedThumbStart, g.TrackStart - origin, g.TrackEnd - origin - g.Size);
    const int middle = thumbStart + g.Size / 2;
    p.Arrow1 = AlongRect(bar, 0, g.Arrow, thickness);
    p.Arrow2 = AlongRect(bar, length - g.Arrow, length, thickness);
    p.Track1 = AlongRect(bar, 0, middle, thickness);
    p.Track2 = AlongRect(bar, middle, length, thickness);
    p.Thumb = AlongRect(bar, thumbStart, thumbStart + g.Size, thickness);
    p.ThumbVisible = g.Visible;
    return p;
}

TThumbDrag GetThumbDrag(const TScrollBarState& bar, const TRect& thumbBounds, int thumbSize, int mouseAlong,
                        int thumbMouseOffset, const TScrollMetrics& m, const TsSkinContent* skin) {
    const TThumbGeometry g = GetThumbGeometry(bar, thumbBounds, m, skin);
    const int lo = g.TrackStart, hi = g.TrackEnd;
    const int size = std::clamp(thumbSize, 0, hi - lo);
    TThumbDrag d;
    d.ThumbStart = std::max(lo, std::min(hi - size, mouseAlong - thumbMouseOffset));
    const TScrollInfo& si = bar.ScrollInfo;
    const int64_t reach = Reach(si), span = hi - lo - size;
    int64_t position = si.nMin;
    if (reach > 0 && span > 0) position += MulDivRound(d.ThumbStart - lo, reach, span);
    d.Position = static_cast<int>(ClampI64(position, si.nMin, si.nMin + std::max<int64_t>(reach, 0)));
    return d;
}

bool GripApplies(bool hasParent, bool parentIsTopLevel, const TRect& w, const TRect& parentClient, bool leftScrollbar) {
    if (!hasParent) return true;
    if (!parentIsTopLevel) return false;
    const bool side = leftScrollbar ? w.Left == parentClient.Left : w.Right == parentClient.Right;
    return side && w.Bottom == parentClient.Bottom;
}

bool IsScrollBarActive(const TScrollBarState& bar, unsigned barState) {
    if ((bar.ScrollFlags & (sfDisableLtUp | sfDisableRtDn)) == (sfDisableLtUp | sfDisableRtDn)) return false;
    if (bar.ScrollFlags & sfUsableRangeOnly) {
        const TScrollInfo& si = bar.ScrollInfo;
        if (!(int64_t{si.nMax} >= int64_t{si.nPage} && si.nMax > si.nMin && si.nMax != 0)) return false;
    }
    return (barState & 1) == 0;
}

std::optional<int> ScrollBarHitCode(TPoint point, const TScrollBarRects& rects, bool horzActive, bool vertActive,
                                    bool grip) {
    if (Inside(rects.Horz, point)) return horzActive ? hit::HScroll : hit::Nowhere;
    if (Inside(rects.Vert, point)) return vertActive ? hit::VScroll : hit::Nowhere;
    if (grip && Inside(rects.Corner, point)) return hit::BottomRight;
    return std::nullopt;
}

}  // namespace skin
