// The frame of a skinned form, free of windows: its metrics, the layout of
// the caption buttons, the hit test, where the client area lies in the
// frame's cache and the bands of the cache that go to the window, and the
// items of the skinned system menu.
//
// The form provider (TsSkinProvider) describes its form as a TFormFrame,
// takes its mask indexes with GetFrameSkinMasks, and measures, paints and
// hit-tests its frame with these; TsSystemMenu shows and enables its items
// by UpdateSystemMenuItems. Points and rectangles are window coordinates
// (0, 0 the window's top-left corner).
#pragma once

#include <string_view>
#include <vector>

#include "skin/core/geometry.h"
#include "skin/core/skincontent.h"

namespace skin {

// The component layer's form properties, in the layer's own order.
enum class TFrameBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TFrameFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum class TFrameWindowState { wsNormal, wsMinimized, wsMaximized };
struct TFrameBorderIcons {
    bool biSystemMenu = true;
    bool biMinimize = true;
    bool biMaximize = true;
    bool biHelp = false;
};

// GetSystemMetrics values the frame is measured by.
struct TFrameSystemMetrics {
    int cyCaption = 0;     // SM_CYCAPTION
    int cySmCaption = 0;   // SM_CYSMCAPTION
    int cxFixedFrame = 0;  // SM_CXFIXEDFRAME
    int cyFixedFrame = 0;  // SM_CYFIXEDFRAME
    int cxFrame = 0;       // SM_CXFRAME
    int cyFrame = 0;       // SM_CYFRAME
    int cyMenu = 0;        // SM_CYMENU
    int cxSmIcon = 0;      // SM_CXSMICON
    int cySmIcon = 0;      // SM_CYSMICON
};

// One of the provider's own title buttons (TitleButtons).
struct TUserTitleButton {
    bool Enabled = true;
    bool UseSkinData = true;
    int GlyphWidth = 0;  // 0 without a glyph
};

// What the frame depends on of one form.
struct TFormFrame {
    TFrameBorderStyle BorderStyle = TFrameBorderStyle::bsSizeable;
    TFrameFormStyle FormStyle = TFrameFormStyle::fsNormal;
    TFrameBorderIcons BorderIcons;
    TFrameWindowState WindowState = TFrameWindowState::wsNormal;
    bool Iconic = false;           // the window is minimized
    bool HasCaptionStyle = true;   // WS_CAPTION in full in the window's style
    bool HasSystemMenu = true;     // the provider has made its system menu
    bool IsMainForm = false;       // the application's main form
    bool HasMenu = false;          // the form has a main menu
    bool MenuVisible = false;      // ... with a visible item (HasVisibleMenu)
    int MenuRows = 1;              // rows of the menu line (MenuLineRowCount)
    int BorderWidth = 0;           // Form.BorderWidth
    int Width = 0, Height = 0;     // the window rectangle's size
    int ClientWidth = 0, ClientHeight = 0;
    int HorzScrollHeight = 0;      // the skinned bars of the form, 0 when not shown
    int VertScrollWidth = 0;
    bool ShowAppIcon = true;
    int TitleIconWidth = 0;        // TitleIcon's size; 0 follows the caption
    int TitleIconHeight = 0;
    std::vector<TUserTitleButton> TitleButtons;
    bool ShowMDIChildButtons = false;  // an MDI main form showing a maximized child's buttons
    bool GripRightBottom = false;      // GripMode gmRightBottom
};

// Mask indexes of the frame's pictures and the skin they index (-1 none).
struct TFrameSkinMasks {
    const TsSkinContent* Skin = nullptr;
    int Close = -1, Max = -1, Min = -1, Help = -1;
    int Norm = -1;         // the restore picture
    int MDIClose = -1, MDIMax = -1, MDIMin = -1;
    int MDINorm = -1;      // restore of a maximized child
    int TitleButton = -1;  // the provider's own title buttons
    int TitleBar = -1;     // the band behind the buttons
    int Grip = -1;
    int BISpace = 0;       // gap between title buttons
};

// The pictures a form of that border takes from the skin: the system
// buttons from "GLOBALINFO" (small ones for tool and dialog frames), or
// from the form section when "GLOBALINFO" has no close picture.
TFrameSkinMasks GetFrameSkinMasks(const TsSkinContent& skin, std::string_view formSection,
                                  TFrameBorderStyle borderStyle, bool isMDIForm);

// Metrics of the frame (pixels).
// A form with a frame: any border style but none, and every MDI child.
bool IsBordered(const TFormFrame& f);
// The caption's height: the system's (the small one for tool windows) on a
// framed form with a full caption style or a minimized one, else 0.
int CaptionHeight(const TFormFrame& f, const TFrameSystemMetrics& m);
int FrameHeight(const TFormFrame& f, const TFrameSystemMetrics& m);  // top and bottom border
int FrameWidth(const TFormFrame& f, const TFrameSystemMetrics& m);   // side borders
int FrameTop(const TFormFrame& f, const TFrameSystemMetrics& m);     // FrameHeight + BorderWidth
// One row of the menu line: SM_CYMENU - 1 with a main menu, else 0.
int MenuLineHeight(const TFormFrame& f, const TFrameSystemMetrics& m);
// The size of the application's icon drawn in a caption H high.
int AppIconSize(int h);
// The caption shows an icon: single and sizeable frames with ShowAppIcon.
bool IconVisible(const TFormFrame& f);
// The caption icon's size: TitleIcon's, else by the caption height; 0 when not shown.
int TitleIconWidth(const TFormFrame& f, const TFrameSystemMetrics& m);
int TitleIconHeight(const TFormFrame& f, const TFrameSystemMetrics& m);
// Where the caption icon goes: after the left border, centred in the title.
TRect GetTitleIconRect(const TFormFrame& f, const TFrameSystemMetrics& m);
// Every caption button is as high as one frame of the close picture.
int SysButtonHeight(const TFrameSkinMasks& masks);
// A system button is one frame of its picture wide (21 without one).
int SysButtonWidth(const TFrameSkinMasks& masks, int maskIndex);
// An own title button: its glyph and 2, or one "TITLEBUTTON" frame if wider.
int UserButtonWidth(const TFrameSkinMasks& masks, const TUserTitleButton& button);
// How many system buttons the caption shows (close, maximize, minimize, help).
int SysButtonCount(const TFormFrame& f);
// The height of everything above the client area, and where the client
// area starts in the frame's cache (across: the side border and
// BorderWidth; down: everything above the client area).
int TopNonClientHeight(const TFormFrame& f, const TFrameSystemMetrics& m);
int ClientOffsetX(const TFormFrame& f);
int ClientOffsetY(const TFormFrame& f, const TFrameSystemMetrics& m);
// Rows of a menu line whose items are these widths wide.
int MenuLineRowCount(const TFormFrame& f, const TFrameSystemMetrics& m, const std::vector<int>& itemWidths);

// Which system-menu items a form shows (also its caption buttons):
// minimize and maximize on single and sizeable frames as BorderIcons ask,
// always on a minimized form or an MDI child; close with biSystemMenu.
bool VisibleMin(const TFormFrame& f);
bool VisibleMax(const TFormFrame& f);
bool VisibleClose(const TFormFrame& f);

// The items of the skinned system menu.
struct TSystemMenuItem {
    bool Visible = false;
    bool Enabled = false;
};
struct TSystemMenuItems {
    TSystemMenuItem ItemRestore, ItemMove, ItemSize, ItemMinimize, ItemMaximize, ItemClose;
};
// Which items of the system menu are shown and which can be chosen.
TSystemMenuItems UpdateSystemMenuItems(const TFormFrame& f);
// A skin list in the system menu starts a new column every 20 names.
inline bool SkinItemBreaks(int index) { return index > 0 && index % 20 == 0; }

// The caption buttons as they are drawn, right to left: close, maximize
// (or restore), minimize (or restore), help, then the provider's own; the
// small buttons of a maximized MDI child in the menu line apart.
struct TPlacedTitleButton {
    int Code = 0;  // hit code: 20, 9, 8, 21, 1000 + i, 101..103
    TRect Rect;
    int MaskIndex = -1;
    bool Enabled = true;
};
struct TTitleButtonsLayout {
    std::vector<TPlacedTitleButton> System;
    std::vector<TPlacedTitleButton> User;
    std::vector<TPlacedTitleButton> MDI;
    int Width = 0;  // TitleButtonsWidth: every caption button with its gap
};
// Places every caption button from the right border leftward, BISPACE apart.
TTitleButtonsLayout PlaceTitleButtons(const TFormFrame& f, const TFrameSystemMetrics& m, const TFrameSkinMasks& masks);
// The top of the caption buttons (and of the band the hit test answers them in).
int TitleButtonTop(const TFormFrame& f, const TFrameSystemMetrics& m, const TFrameSkinMasks& masks);
// 1 for the button nearest the right edge (close), counting on through
// the provider's own; 0 when no button spans X.
int ButtonIndexAt(const TTitleButtonsLayout& layout, int x);
// The "TITLEBAR" band behind the buttons is as wide as this.
int MinTitleWidth(const TTitleButtonsLayout& layout, const TFrameSkinMasks& masks);

// The rectangle the caption text is drawn in, for a text TextHeight high.
TRect CaptionTextRect(const TFormFrame& f, const TFrameSystemMetrics& m, const TTitleButtonsLayout& layout,
                      int textHeight);
// The top-left corner of the size grip's picture.
TPoint GetGripPosition(const TFormFrame& f, const TFrameSystemMetrics& m, const TFrameSkinMasks& masks);

// The hit test of the skinned frame at P: 3 on the icon, 20, 9, 8, 21 and
// 1000 + i on enabled caption buttons, 2 elsewhere in their band, 17 on the
// grip, 101 to 103 on a maximized child's buttons, -1 at a maximized form's
// outer edge; 0 elsewhere (the window's own procedure answers).
// ScrollCorner is the square between the form's two skinned bars (empty
// unless both show).
int NCHitTest(const TFormFrame& f, const TFrameSystemMetrics& m, const TFrameSkinMasks& masks,
              const TTitleButtonsLayout& layout, TPoint p, const TRect& scrollCorner = TRect{});

// The four bands of the frame's cache copied to the window; each lies at
// the same place in the cache and on the window.
struct TFrameBands {
    TRect Top, Left, Bottom, Right;
};
TFrameBands GetFrameBands(const TFormFrame& f, const TFrameSystemMetrics& m);

}  // namespace skin
