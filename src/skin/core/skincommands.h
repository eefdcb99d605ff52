// The one message through which skinned windows talk to each other: its
// number, its command codes, and the small arithmetic of its answers.
// The command code travels in the high word of WParam, a 1/0 argument of
// some commands in the low word; answers come back in LParam, in the
// result, or in the two reply records of the Win32 side.
#pragma once

#include <cstdint>

#include "skin/core/colors.h"

namespace skin {

constexpr unsigned SM_SKINCMD = 0xA100;

enum TSkinCommand : unsigned {
    AC_SKINLOADED = 1,          // LParam: the manager that loaded a skin
    AC_SKINREMOVED = 2,         // LParam: the manager that removed its skin
    AC_SKINREFRESH = 3,         // LParam: the manager; apply the skin again
    AC_QUERYPROVIDER = 4,       // a form answers in the result with its provider
    AC_QUERYCACHE = 5,          // fill the cache reply with the receiver's picture
    AC_REDRAWBG = 6,            // render the background again and redraw
    AC_QUERYSKINNED = 7,        // LParam := 1 when skinned
    AC_SETUPDATEFLAG = 8,       // Updating := (low word = 1)
    AC_SETFULLPAINT = 9,        // FullPaint := (low word = 1)
    AC_QUERYUPDATING = 10,      // LParam := 1 when the receiver must wait
    AC_QUERYHALFVISIBLE = 11,   // LParam := HalfVisible
    AC_BGCHANGEDIFSEMI = 12,    // low word 1: background changed when semi-transparent
    AC_SECTIONCHANGED = 13,     // a section's data changed
    AC_POPUPREGIONSET = 14,     // a popup-menu window has its region now
    AC_SETPAINTCHILD = 15,      // LParam: the graphic child painted into the parent, 0 after
    AC_BEFOREREFRESH = 16,      // to every form just before AC_SKINREFRESH
    AC_SETBGCHANGED = 17,       // mark the background changed
    AC_QUERYBGVARIES = 19,      // LParam and result: 1 when more than a plain colour
    AC_PARENTBGCHANGED = 20,    // the background behind changed; low word 1: redraw now
    AC_QUERYBGCOLOR = 21,       // put the background colour into the colour reply
    AC_SETHALFVISIBLE = 22,     // the receiver was not (fully) painted
    AC_PREPARECACHE = 23,       // fill the cache from the parent
    AC_ADDTOADAPTER = 25,       // LParam: a control for the form's control adapter
    AC_RESETDISABLEDLOOK = 26,  // before the disabled look is applied again
    AC_QUERYCAPTIONHEIGHT = 27, // a group box answers the height of its top strip
    AC_HOTENTER = 29,           // the mouse entered the receiver
    AC_HOTLEAVE = 30,           // the mouse left the receiver
    AC_UPDATESTART = 31,
    AC_UPDATEDONE = 32,
    AC_BEFORESCROLL = 51,
    AC_AFTERSCROLL = 52,        // LParam: MakeLong(code, message)
    AC_QUERYAPPLICATION = 60,   // result: the application object
    AC_QUERYCLIENTOFFSET = 61,  // result: MakeLong(x, y) of a form's client area in its frame
};

// Commands from this code on are not the common data's to answer.
constexpr unsigned kFirstForeignCommand = 61;

// MakeLong(sub, command) as senders build WParam.
constexpr uintptr_t SkinCommandWParam(unsigned command, unsigned sub = 0) {
    return static_cast<uintptr_t>((sub & 0xFFFF) | ((command & 0xFFFF) << 16));
}
constexpr unsigned SkinCommandOf(uintptr_t wParam) { return static_cast<unsigned>((wParam >> 16) & 0xFFFF); }
constexpr unsigned SkinCommandArgOf(uintptr_t wParam) { return static_cast<unsigned>(wParam & 0xFFFF); }

// The colour behind a semi-transparent section: per channel
// (T x (parent - own) + own x 256) shr 8, clamped; T weighs out of 256.
inline TColor BlendBgColor(int transparency, TColor parent, TColor own) {
    auto channel = [transparency](int p, int c) { return ClampToByte((transparency * (p - c) + c * 256) >> 8); };
    return MakeColor(channel(RedOf(parent), RedOf(own)), channel(GreenOf(parent), GreenOf(own)),
                     channel(BlueOf(parent), BlueOf(own)));
}

}  // namespace skin
