// Which window adapter a control or window gets, free of windows: the
// class lists of the control adapter (TacCtrlAdapter: IsListed, the table
// of HookControl, PurgeItems' rule), and the decisions of the window hook
// (DialogsCBTHook: TryHookWindow, the class table of AddChildAdapter, popup
// menus). The adapters and the hook act on what these answer.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "skin/core/storedskins.h"

namespace skin {

// A control or form with this Tag is never skinned.
constexpr int kNoSkinTag = -98;

// The adapters of the family, by class.
enum class TacWndClass {
    None,
    TacEditWnd, TacBtnWnd, TacBitBtnWnd, TacCheckBoxWnd, TacComboBoxWnd, TacGridWnd, TacGroupBoxWnd,
    TacListViewWnd, TacPanelWnd, TacTreeViewWnd, TacWWComboBoxWnd, TacGridEhWnd, TacVirtualTreeViewWnd,
    TacIconWnd, TacStaticWnd, TacLinkWnd, TacTransPanelWnd, TacDlgPanelWnd, TacSizerWnd, TacSpinWnd,
    TacToolBarWnd, TacMnuWnd,
};

// An adapter to make: its class and skin section.
struct TAdapterChoice {
    TacWndClass Class = TacWndClass::None;
    std::string Section;
    bool StoreSection = false;  // the item's skin data keeps the section
    bool DialogChild = false;   // marked as belonging to a dialog
    int SpinMargin = 0;         // left columns an up-down leaves undrawn
};

// The first class list (in index order) that names the class exactly; -1.
int FindThirdKind(const TThirdLists& lists, std::string_view className);
// The adapter of a control named in list Kind (HookControl's table).
TAdapterChoice HookControlChoice(int kind);

// What IsListed looks at of a component.
struct TListedComponent {
    int Tag = 0;
    bool IsWindowed = false;
    bool HasHandle = false;
    bool AnswersSkinned = false;  // already answers AC_QUERYSKINNED
    bool IsLabel = false;
    bool IsGraphic = false;       // a control without a window
    std::string_view ClassName;
};
// Whether the control adapter takes the component: never with Tag -98, a
// windowed control without a window or already skinned, or a graphic
// control; a label when OnSkinItem (asked only for labels; none: yes)
// lets it; any other control when a class list names its class.
bool IsListed(const TListedComponent& c, const TThirdLists& lists, const std::function<bool()>& onSkinItem = {});

// Frees and removes every item that IsDead finds, keeping the order of the
// rest. After a removal the same index is tested again, since the next item
// has moved into it: adjacent dead items all go.
template <class T, class IsDead, class FreeItem>
void PurgeDeadItems(std::vector<T>& items, IsDead isDead, FreeItem freeItem) {
    size_t i = 0;
    while (i < items.size()) {
        if (isDead(items[i])) {
            freeItem(items[i]);
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

// The adapter a child window of a hooked dialog gets by its class (any
// case) and style (AddChildAdapter). Statics that are pictures of frames,
// rectangles, etched lines or drawn by their owner, owner-drawn buttons and
// tab controls get none.
TAdapterChoice ChooseChildAdapter(std::string_view className, unsigned style);
// Dialog classes that get a dialog adapter of their own.
bool IsDialogClass(std::string_view className);
// A popup menu window being created gets an adapter unless it has one.
bool PopupMenuNeedsAdapter(std::string_view className, bool answersSkinned);

// What TryHookWindow knows of a window being activated.
struct THookWindowFacts {
    bool AnswersSkinned = false;   // already skinned
    bool HasDefaultManager = true;
    bool AlreadyListed = false;    // a provider for it exists
    bool IsForm = false;           // one of our forms
    int FormTag = 0;
    std::string_view ClassName;
    bool StdForms = true;          // the manager's rules: skin our forms
    bool StdDialogs = true;        // ... and message boxes and system dialogs
    bool HookedDialogVisible = false;
    std::function<bool()> HasToolBarChild;  // asked only when it matters
};
enum class THookAction { None, FormProvider, DialogProvider };
THookAction TryHookWindowAction(const THookWindowFacts& w);

// Check boxes that are radio buttons (both kinds) get the radio marks.
bool IsRadioButtonStyle(unsigned style);

}  // namespace skin
