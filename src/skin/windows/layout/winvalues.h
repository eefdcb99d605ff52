// The Win32 numbers that the window-free rules of the skinned windows test:
// window and control styles and the hit-test codes of skinned frames. They
// carry names of their own, so that a file that also includes windows.h
// sees no clash with its macros.
#pragma once

namespace skin {

namespace style {
constexpr unsigned Popup = 0x80000000u;
constexpr unsigned Child = 0x40000000u;
constexpr unsigned Caption = 0x00C00000u;  // border and dialog frame together
constexpr unsigned VScroll = 0x00200000u;
constexpr unsigned HScroll = 0x00100000u;
constexpr unsigned SysMenu = 0x00080000u;
constexpr unsigned ThickFrame = 0x00040000u;
constexpr unsigned MinimizeBox = 0x00020000u;
constexpr unsigned MaximizeBox = 0x00010000u;
constexpr unsigned ModalFrame = 0x80;  // DS_MODALFRAME of dialogs

constexpr unsigned ExToolWindow = 0x80;
constexpr unsigned ExContextHelp = 0x400;
constexpr unsigned ExLeftScrollBar = 0x4000;

// Statics: the kind in the low five bits.
constexpr unsigned StaticTypeMask = 0x1F;
constexpr unsigned StaticIcon = 0x3, StaticBitmap = 0xE;
// Buttons: the kind in the low four bits.
constexpr unsigned ButtonTypeMask = 0xF;
constexpr unsigned ButtonPush = 0, ButtonDefPush = 1, ButtonRadio = 4, ButtonGroupBox = 7, ButtonUser = 8,
                   ButtonAutoRadio = 9, ButtonOwnerDraw = 0xB;
// Scroll-bar windows that are a size box or a size grip.
constexpr unsigned ScrollSizeBox = 0x8, ScrollSizeGrip = 0x10;
// Tool bars with flat buttons.
constexpr unsigned ToolBarFlat = 0x200;
}  // namespace style

// Hit codes of a skinned frame, in the numbering Win32 uses where they meet.
namespace hit {
constexpr int Outside = -1;  // a maximized form's edge: nothing there
constexpr int Nowhere = 0;   // the window's own procedure answers
constexpr int Client = 1;
constexpr int Caption = 2;
constexpr int SysMenu = 3;
constexpr int HScroll = 6;
constexpr int VScroll = 7;
constexpr int MinButton = 8;
constexpr int MaxButton = 9;
constexpr int BottomRight = 17;  // the size grip
constexpr int Close = 20;
constexpr int Help = 21;
constexpr int MDIClose = 101;
constexpr int MDIMax = 102;
constexpr int MDIMin = 103;
constexpr int TitleButton0 = 1000;  // title button i answers 1000 + i
}  // namespace hit

}  // namespace skin
