// Messages as the controls see them: every Win32 message, and the layer's
// own notifications, travel as one record that handlers may answer in place.
#pragma once
#include "vcl/win.h"

#include <functional>

namespace vcl {

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    WORD WParamLo() const { return LOWORD(WParam); }
    WORD WParamHi() const { return HIWORD(WParam); }
    WORD LParamLo() const { return LOWORD(LParam); }
    WORD LParamHi() const { return HIWORD(LParam); }
};

// A control's replaceable message handler.
using TWndMethod = std::function<void(TMessage&)>;

// Component notifications: sent with Perform straight to WindowProc,
// never through the Win32 queue. The numbers are fixed; the skin engine
// listens for them.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0x00;          // to a form that became active
constexpr UINT CM_DEACTIVATE = CM_BASE + 0x01;        // to a form that lost the activation
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x05;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x06;        // WParam: a character no control wanted (accelerators)
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;      // LParam: the control that got the focus
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;    // WParam: 1 when now visible
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;        // LParam: the control
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;        // LParam: the control
constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;
constexpr UINT CM_ENTER = CM_BASE + 0x1A;             // the focus came into the control (or a child of it)
constexpr UINT CM_EXIT = CM_BASE + 0x1B;              // the focus left the control (and its children)
constexpr UINT CM_RELEASE = CM_BASE + 0x21;
constexpr UINT CM_UIACTIVATE = CM_BASE + 0x29;        // to the control that took the focus
// WParam: the control, LParam: 1 inserted / 0 removed. Sent to the parent
// before the control joins its list and after it left it.
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;
// WParam: the control, LParam: 1 inserted / 0 removed. Sent to the parent
// once the control is in its list, and before it leaves it.
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 0x36;
// Numbers kept for listeners; nothing here docks or runs actions.
constexpr UINT CM_FLOAT = CM_BASE + 0x3A;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 0x40;
// WParam, LParam: those of WM_MOUSEWHEEL. A handler that scrolled answers 1.
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 0x43;
// The last number of the layer's own range: every message above it is
// passed on to the window's procedure.
constexpr UINT CM_LAST = 0xBFFF;

// Control notifications: a Win32 message reflected to the control it
// concerns (WM_COMMAND from a child reaches that child as CN_COMMAND), and
// keyboard messages offered to the focused control before dispatch.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;     // 0xBD00
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;         // 0xBD01
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;

}  // namespace vcl
