// The frame of a dialog that the window hook skins (TacDialogWnd), free of
// windows: its border code and metrics, the pictures of its title buttons,
// their layout, the caption's place, the hit test, the strips of the cache
// copied to the window, and the items of its system menu (TacSystemMenu).
// Points and rectangles are window coordinates.
#pragma once

#include "skin/core/geometry.h"
#include "skin/core/skincontent.h"
#include "skin/windows/layout/formframe.h"

namespace skin {

// What the frame depends on of one dialog.
struct TDialogFrame {
    unsigned Style = 0;    // saved when the frame is set up
    unsigned ExStyle = 0;
    bool ClassNoClose = false;  // its class has CS_NOCLOSE
    bool Zoomed = false;
    bool Iconic = false;
    bool HasIcon = false;
    int Width = 0, Height = 0;  // the window rectangle's size
    int ClientHeight = 0;
    int HorzScrollHeight = 0;   // a visible skinned horizontal bar
};

// The border code: 0 fixed dialog frame, 1 fixed single frame, 2 a popup
// without caption, 3 sizing frame, 4 and 5 the same two for tool windows.
int DialogBorderCode(unsigned style, unsigned exStyle);
// The caption's height: none for a captionless dialog, small for tool windows.
int DialogTitleHeight(const TDialogFrame& d, const TFrameSystemMetrics& m);
// Border sizes: none for a captionless popup, fixed or sizing by the code.
int DialogBorderWidth(const TDialogFrame& d, const TFrameSystemMetrics& m);   // sides (BH)
int DialogBorderHeight(const TDialogFrame& d, const TFrameSystemMetrics& m);  // top and bottom (BV)
// Only a dialog with a sizing frame has a size grip.
bool DialogHasGrip(const TDialogFrame& d);
// Height of the non-client area above the client area.
int DialogTopNonClientHeight(const TDialogFrame& d, const TFrameSystemMetrics& m);

// Mask indexes of the dialog's title pictures (-1 none).
struct TDialogSkinMasks {
    const TsSkinContent* Skin = nullptr;
    int Close = -1, Max = -1, Min = -1, Help = -1;
    int Norm = -1;       // restore of a zoomed or iconic dialog
    int IconicMax = -1;  // maximize of an iconic dialog
    int TitleBar = -1;
    int Grip = -1;
};
// The "FORM" section's own big pictures when it has them, else those of
// "GLOBALINFO": big ones for codes 1 and 3, small ones for the others
// (the big ones when the skin has no small close picture).
TDialogSkinMasks GetDialogSkinMasks(const TsSkinContent& skin, int borderCode);

// The title buttons right to left from the right border, without gaps:
// close, maximize, minimize, help as the style has them.
struct TDialogButtonsLayout {
    std::vector<TPlacedTitleButton> Buttons;
    int Width = 0;  // all buttons together
};
// Only buttons whose pictures the skin has are placed.
TDialogButtonsLayout PlaceDialogTitleButtons(const TDialogFrame& d, const TFrameSystemMetrics& m,
                                             const TDialogSkinMasks& masks);
// The small icon after the left border, centred in the title; empty without one.
TRect DialogIconRect(const TDialogFrame& d, const TFrameSystemMetrics& m);
// Where the caption is drawn, and the width it is shortened to.
TRect DialogCaptionRect(const TDialogFrame& d, const TFrameSystemMetrics& m, const TDialogButtonsLayout& layout);
int DialogCaptionFitWidth(const TDialogFrame& d, const TFrameSystemMetrics& m, const TDialogButtonsLayout& layout);
// The top-left corner of the size grip's picture.
TPoint DialogGripPosition(const TDialogFrame& d, const TFrameSystemMetrics& m, const TDialogSkinMasks& masks);

// 17 on the grip, the code of an enabled title button, 3 on the icon, 2 on
// the rest of the title; 0 elsewhere (the dialog's own procedure answers).
int DialogHitTest(const TDialogFrame& d, const TFrameSystemMetrics& m, const TDialogSkinMasks& masks,
                  const TDialogButtonsLayout& layout, TPoint p);

// The strips of the cache copied to the window, each at the same place in
// both: the title, then the left, bottom and right borders (the sides as
// wide as the side border, the bottom as high as the bottom border); a
// captionless sizing popup gets a 3-pixel ring instead.
struct TDialogStrips {
    TRect Title, Left, Bottom, Right;
};
TDialogStrips GetDialogStrips(const TDialogFrame& d, const TFrameSystemMetrics& m);

// The items of the dialog's skinned system menu.
struct TDialogMenuItems {
    TSystemMenuItem miRestore, miMove, miSize, miMinimize, miMaximize, miClose;
};
// Which items of the dialog's system menu are shown and which can be chosen.
TDialogMenuItems UpdateDialogMenuItems(const TDialogFrame& d);

}  // namespace skin
