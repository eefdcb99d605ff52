// The geometry of skinned scroll bars, free of windows: bar rectangles,
// arrow and thumb sizes, the part of a bar under a point, the position a
// thumb drag stands for, the size grip in the corner. The scroll-bar
// adapter (TacScrollWnd) lays out, paints, hit-tests and drags with these.
//
// Everything is in screen coordinates: the window rectangle, the points of
// the mouse and the bars. One arrow length serves painting, the thumb, the
// hit test and the drag alike, so that what is drawn is what is hit.
#pragma once

#include <cstdint>
#include <optional>

#include "skin/core/geometry.h"
#include "skin/core/skincontent.h"

namespace skin {

// The window's scroll state of one bar, as SCROLLINFO holds it.
struct TScrollInfo {
    int nMin = 0;
    int nMax = 0;
    unsigned nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

enum TScrollBarType : uint16_t { sbHorz = 0, sbVert = 1 };

// Bits of ScrollFlags.
constexpr uint16_t sfDisableLtUp = 1;     // the left or up arrow is disabled
constexpr uint16_t sfDisableRtDn = 2;     // the right or down arrow is disabled
constexpr uint16_t sfUsableRangeOnly = 4; // drawn only while the range can be scrolled
constexpr uint16_t sfHasStyle = 8;        // the window has this bar's style

// One bar of a window, all but its owner.
struct TScrollBarState {
    uint16_t ScrollFlags = 0;
    bool ScrollVisible = false;  // takes room in the current layout
    TScrollInfo ScrollInfo;
    int ArrowLength = -1;  // >= 0 pixels; -n: n times the unit size
    int ArrowWidth = -1;   // >= 0 pixels; -n: n times the system's bar thickness
    TScrollBarType BarType = sbHorz;
    uint16_t FlatScrollbar = 0;
    int MinThumbSize = 10;
};

// The system metrics the bars are measured by.
struct TScrollMetrics {
    int cxVScroll = 0;      // SM_CXVSCROLL: width of a vertical bar
    int cyHScroll = 0;      // SM_CYHSCROLL: height of a horizontal bar
    int ScrollBtnSize = 0;  // SM_CXHSCROLL: the unit length of an arrow
};

// The window's own border widths, measured at each WM_NCCALCSIZE.
struct TScrollEdges {
    int cxLeftEdge = 0;
    int cxRightEdge = 0;
    int cyTopEdge = 0;
    int cyBottomEdge = 0;
};

// Thickness (Thickness true) or arrow length of a bar. With a skin whose
// arrow section ("SCROLLBTNLEFT" or "SCROLLBTNTOP") is flagged and has a
// "BORDERSMASK", an arrow is at least one frame of that mask long.
int GetArrowSize(const TScrollBarState& bar, bool thickness, const TScrollMetrics& m, const TsSkinContent* skin);

// The bars and the corner between them; a bar that is not visible, and the
// corner unless both are, is an empty rectangle.
struct TScrollBarRects {
    TRect Horz;
    TRect Vert;
    TRect Corner;
};
TScrollBarRects GetScrollBarRects(const TRect& windowRect, const TScrollEdges& edges, const TScrollBarState& horz,
                                  const TScrollBarState& vert, bool leftScrollbar, const TScrollMetrics& m,
                                  const TsSkinContent* skin);

// The room the bars take from a client rectangle: each bar whose style is
// set and that fits becomes visible (ScrollVisible) and is cut off.
void ReserveScrollBars(TRect& client, TScrollBarState& horz, TScrollBarState& vert, bool leftScrollbar,
                       const TScrollMetrics& m, const TsSkinContent* skin);

// The thumb along the bar (coordinates along it, as the rectangle's). Its
// size never passes the track, it never leaves the track, and it is
// Visible only when there is room to move it.
struct TThumbGeometry {
    int Arrow = 0;       // arrow length used (half the bar when the bar is too short for two)
    int TrackStart = 0;  // the track lies between the two arrows
    int TrackEnd = 0;
    int Start = 0;
    int Size = 0;
    bool Visible = false;
};
TThumbGeometry GetThumbGeometry(const TScrollBarState& bar, const TRect& barRect, const TScrollMetrics& m,
                                const TsSkinContent* skin);

// Bar parts under a point (GetPortion).
constexpr int spNone = -1, spLineUp = 0, spLineDown = 1, spPageUp = 2, spPageDown = 3, spThumb = 5;
int GetPortion(const TScrollBarState& bar, const TRect& barRect, TPoint point, const TScrollMetrics& m,
               const TsSkinContent* skin);

// The parts of a bar to paint, relative to the bar's own top-left corner.
// A bar too short for two arrows shows the two arrows, each half long, over
// the two track halves. ForcedThumbStart (along the bar, -1 none) replaces
// the thumb's start, inside the track.
struct TBarParts {
    bool Short = false;
    TRect Arrow1, Arrow2;  // left or up, right or down
    TRect Track1, Track2;  // before and after the thumb's middle
    TRect Thumb;
    bool ThumbVisible = false;
};
TBarParts GetBarParts(const TScrollBarState& bar, const TRect& barRect, const TScrollMetrics& m,
                      const TsSkinContent* skin, int forcedThumbStart = -1);

// A thumb dragged with the mouse at MouseAlong (the coordinate along the
// bar) that was grabbed ThumbMouseOffset pixels after the thumb's start,
// inside the bar rectangle ThumbBounds taken at the press: where the thumb
// stands and the scroll position that means, counted from nMin and never
// outside the positions the bar can reach.
struct TThumbDrag {
    int ThumbStart = 0;
    int Position = 0;
};
TThumbDrag GetThumbDrag(const TScrollBarState& bar, const TRect& thumbBounds, int thumbSize, int mouseAlong,
                        int thumbMouseOffset, const TScrollMetrics& m, const TsSkinContent* skin);

// The coordinate of a point along a bar.
inline int AlongBar(const TScrollBarState& bar, TPoint p) { return bar.BarType == sbHorz ? p.X : p.Y; }

// Whether the corner between the bars is a size grip: always for a window
// without a parent; for a child of a top-level window only when the
// window sits flush in the parent's client corner (its bottom and its
// right, or left with the bars on the left). All in screen coordinates.
bool GripApplies(bool hasParent, bool parentIsTopLevel, const TRect& windowRect, const TRect& parentClient,
                 bool leftScrollbar);

// Whether a bar takes input: the two arrows not both disabled, the range
// usable when the bar asks for that, and the system not reporting it
// unavailable (bit 1 of the bar's state from GetScrollBarInfo).
bool IsScrollBarActive(const TScrollBarState& bar, unsigned barState);

// The answer to WM_NCHITTEST over the bars: 6 or 7 on an active bar, 0 on
// an inactive one, 17 in the corner when it is a grip; nothing elsewhere
// (the message goes on).
std::optional<int> ScrollBarHitCode(TPoint point, const TScrollBarRects& rects, bool horzActive, bool vertActive,
                                    bool grip);

}  // namespace skin
