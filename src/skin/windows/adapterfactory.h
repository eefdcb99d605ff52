// Where the window adapters are made: one table from an adapter class of
// the family to its constructor.
//
// For the control adapter of a skinned form: a control whose class stands
// in list Kind of the manager's class lists (FindThirdKind) gets
//     std::unique_ptr<TacMainWnd> adapter = CreateControlAdapter(kind, control, itemSkinData);
// with the item's own TsCommonData (owner: the control). The function
// stores the section in the data when the list's choice keeps it
// (buttons, check boxes, group boxes, panels) and makes the adapter with
// the control's window, the data, the data's manager and that section,
// repainting at once. The item keeps the returned adapter; nullptr for a
// kind outside the lists. Tag -98, a missing window or parent, and an
// adapter already there (AC_QUERYSKINNED answers 1) are the caller's
// tests, before it calls.
//
// For the children of hooked dialogs: CreateChildAdapter with the choice
// of ChooseChildAdapter (adapterrules.h); popup menus get theirs from
// CreateMenuAdapter (paneladapters.h), which owns itself.
#pragma once
#include "vcl/win.h"

#include <memory>
#include <string>

#include "skin/windows/layout/adapterrules.h"
#include "skin/windows/windowadapter.h"
#include "vcl/controls.h"

namespace skin {

// An adapter of the class for the window; nullptr for None and for the
// popup-menu adapter (made by CreateMenuAdapter only).
std::unique_ptr<TacMainWnd> CreateWindowAdapter(TacWndClass adapterClass, HWND window, TsCommonData* skinData,
                                                TsSkinManager* manager, const std::string& section,
                                                bool repaint = true);

// The adapter of a control named in class list Kind (see above).
std::unique_ptr<TacMainWnd> CreateControlAdapter(int kind, vcl::TWinControl* control, TsCommonData* skinData);

// The adapter of a dialog's child window by the choice made for its class
// (an up-down control keeps its left margin undrawn).
std::unique_ptr<TacMainWnd> CreateChildAdapter(const TAdapterChoice& choice, HWND window, TsSkinManager* manager);

}  // namespace skin
