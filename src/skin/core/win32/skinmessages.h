// Sending the skin command message between windows and controls: the send
// and ask helpers, the two reply records that carry the answers a message
// result cannot, and the walks that hand one message to many controls.
#pragma once
#include "vcl/win.h"

#include "skin/core/parentcache.h"
#include "skin/core/skincommands.h"
#include "vcl/controls.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"

namespace skin {

// Filled by whoever answers AC_QUERYCACHE: its cached picture and the
// asker's offset in it. The asker clears Ready first.
extern TParentCacheInfo ReplyCacheInfo;
// Filled by whoever answers AC_QUERYBGCOLOR; clFuchsia: nobody answered.
extern TColor ReplyBgColor;

// The message record of a command, as receivers are handed it.
vcl::TMessage SkinCommandMessage(unsigned command, LPARAM lParam = 0, unsigned sub = 0);

LRESULT SendSkinCommand(HWND window, unsigned command, LPARAM lParam = 0);
// A windowless control hears it at once; a windowed one only while it has
// its window and is not being destroyed (0 otherwise).
LRESULT ControlSkinCommand(vcl::TControl* control, unsigned command, LPARAM lParam = 0);
// Asks the control's WindowProc, then (unanswered, with a window) its
// window: true when the answer in LParam or in the result is 1.
bool AskSkinCommand(vcl::TControl* control, unsigned command);
// The two questions every skinned window answers alike: that it is skinned
// (AC_QUERYSKINNED) and which application it belongs to
// (AC_QUERYAPPLICATION). True when the record held one of them.
bool AnswerSkinnedQuery(vcl::TMessage& message);
bool SkinCommandAnswered(HWND window, unsigned command);
// Hands the control to its form's control adapter; 0 when it has no form.
LRESULT AddToFormAdapter(vcl::TWinControl* control);
// AC_REDRAWBG to every child that draws itself and is showing; with Part,
// only to those over that part of the control's client area.
void RepaintChildControls(vcl::TWinControl* control, HRGN part = nullptr);
void RepaintChildWindows(HWND window);
// The control's background colour as RGB in ReplyBgColor: its own answer,
// else its Color.
void QueryBgColor(vcl::TWinControl* control);
// Delivers the record to each child: windowless children and children
// without a window directly, skinned windowed children by SendMessage, the
// others to their own children. A child being destroyed is skipped.
void BroadcastToChildren(vcl::TWinControl* control, vcl::TMessage& message);

// DrawText flags of a text alignment: left 0, right DT_RIGHT, centre DT_CENTER.
UINT GetTextAlignFlags(vcl::TControl* control, vcl::TAlignment alignment);
// The height (top and bottom) or width (left and right) that the visible
// children aligned so take; windowless ones only with WithGraphic.
int AlignedControlsSize(vcl::TWinControl* control, vcl::TAlign align, bool withGraphic);
// The part of the screen that is not taken by the task bar.
RECT GetWorkArea();
// The program file's own icon, read once (nullptr when the shell has none).
HICON ProgramIcon(bool large);

// Has its window, is not being made, loaded or destroyed, and has a parent.
bool ControlIsReady(vcl::TControl* control);
// The first form among the component and its owners, nullptr when none.
vcl::TForm* GetOwnerForm(vcl::TComponent* component);

}  // namespace skin
