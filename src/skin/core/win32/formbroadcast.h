// Telling every form of a skin change: the list of forms that have a skin
// provider, the broadcasts to all forms and their controls, redrawing held
// around a change, and the helpers that paint a control into a picture:
// its graphic children through its cache, the whole control for the fade
// of a skin change.
#pragma once
#include "vcl/win.h"

#include <vector>

#include "skin/core/win32/commondata.h"
#include "vcl/controls.h"
#include "vcl/forms.h"
#include "vcl/graphics.h"

namespace skin {

class TsSkinManager;

// Forms with a skin provider, in the order they were registered.
extern std::vector<vcl::TForm*>& SkinnedForms;
// Returns the new count.
int AddSkinnedForm(vcl::TForm* form);
// Every entry of the form goes; the others keep their order.
void RemoveSkinnedForm(vcl::TForm* form);

// The form's provider (its answer to AC_QUERYPROVIDER), nullptr when none.
TsProviderLink* FormProvider(vcl::TForm* form);

// WM_SETREDRAW off for the visible top-level skinned forms that use the
// manager; on again for the same forms. Unlocking with Repaint shows each
// form's new look (through the fade when the manager asks for it) and
// redraws it whole; a form hidden while locked is hidden again.
void LockForms(TsSkinManager* manager);
void UnlockForms(TsSkinManager* manager, bool repaint);

// To every form of the application without a provider and its controls
// (the newest form first), then to the skinned forms.
void BroadcastToForms(vcl::TMessage& message);
void BroadcastToSkinnedForms(vcl::TMessage& message);

// A visible graphic child of some size whose bounds meet the clip rectangle.
bool GraphicChildIsPaintable(vcl::TControl* control, const RECT& clip);
// The graphic children of a windowed control painted over its cached
// picture into the device context at Offset.
void PaintGraphicControls(HDC dc, vcl::TWinControl* control, POINT offset);
// The control and its windowed children drawn into the bitmap (sized to it).
void PaintControlTo(vcl::TBitmap* bmp, vcl::TWinControl* control);
// Shows the control's new picture over what the screen showed, fading in
// over Time milliseconds (8 ms a frame; no frames below 8 ms).
void AnimShowControl(vcl::TWinControl* control, int time);

}  // namespace skin
