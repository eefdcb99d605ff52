#include "skin/windows/layout/adapterrules.h"

#include <algorithm>
#include <cctype>

#include "skin/windows/layout/winvalues.h"

namespace skin {

namespace {

std::string Lower(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

TAdapterChoice Choice(TacWndClass c, std::string section, bool store = false) {
    TAdapterChoice r;
    r.Class = c;
    r.Section = std::move(section);
    r.StoreSection = store;
    return r;
}

}  // namespace

int FindThirdKind(const TThirdLists& lists, std::string_view className) {
    for (size_t kind = 0; kind < lists.size(); ++kind)
        if (std::find(lists[kind].begin(), lists[kind].end(), className) != lists[kind].end())
            return static_cast<int>(kind);
    return -1;
}

TAdapterChoice HookControlChoice(int kind) {
    using C = TacWndClass;
    switch (kind) {
        case tpEdits: return Choice(C::TacEditWnd, "EDIT");
        case tpButtons: return Choice(C::TacBtnWnd, "BUTTON", true);
        case tpBitBtns: return Choice(C::TacBitBtnWnd, "BUTTON", true);
        case tpCheckBoxes: return Choice(C::TacCheckBoxWnd, "CHECKBOX", true);
        case tpComboBoxes: return Choice(C::TacComboBoxWnd, "EDIT");
        case tpGrids: return Choice(C::TacGridWnd, "EDIT");
        case tpGroupBoxes: return Choice(C::TacGroupBoxWnd, "GROUPBOX", true);
        case tpListViews: return Choice(C::TacListViewWnd, "EDIT");
        case tpPanels: return Choice(C::TacPanelWnd, "PANEL", true);
        case tpTreeViews: return Choice(C::TacTreeViewWnd, "EDIT");
        case tpWWEdits: return Choice(C::TacWWComboBoxWnd, "EDIT");
        case tpGridEh: return Choice(C::TacGridEhWnd, "EDIT");
        case tpVirtualTrees: return Choice(C::TacVirtualTreeViewWnd, "EDIT");
        default: return {};
    }
}

bool IsListed(const TListedComponent& c, const TThirdLists& lists, const std::function<bool()>& onSkinItem) {
    if (c.Tag == kNoSkinTag) return false;
    if (c.IsWindowed && (!c.HasHandle || c.AnswersSkinned)) return false;
    if (c.IsLabel) return onSkinItem ? onSkinItem() : true;
    if (c.IsGraphic) return false;
    return FindThirdKind(lists, c.ClassName) >= 0;
}

TAdapterChoice ChooseChildAdapter(std::string_view className, unsigned s) {
    using C = TacWndClass;
    const std::string name = Lower(className);
    const std::string def = "CHECKBOX";
    if (name == "static") {
        const unsigned type = s & style::StaticTypeMask;
        if (type == style::StaticIcon || type == style::StaticBitmap) return Choice(C::TacIconWnd, def);
        // Text only: rectangles, frames, etched lines, metafiles and
        // owner-drawn statics keep their own look.
        switch (type) {
            case 0x0: case 0x1: case 0x2: case 0xA: case 0xC: return Choice(C::TacStaticWnd, def);
            default: return {};
        }
    }
    if (name == "#32770") return Choice(C::TacTransPanelWnd, def);
    if (name == "tpanel" || name == "tsilentpaintpanel") return Choice(C::TacDlgPanelWnd, "PANEL");
    if (name == "button") {
        const unsigned type = s & style::ButtonTypeMask;
        if (type == style::ButtonGroupBox) return Choice(C::TacGroupBoxWnd, "GROUPBOX");
        if (type == style::ButtonPush || type == style::ButtonDefPush || type == style::ButtonUser)
            return Choice(C::TacBtnWnd, "BUTTON");
        if (type == style::ButtonOwnerDraw) return {};
        return Choice(C::TacCheckBoxWnd, def);
    }
    TAdapterChoice r;
    if (name == "combobox" || name == "comboboxex32")
        r = Choice(C::TacComboBoxWnd, "COMBOBOX");
    else if (name == "combolbox")
        r = Choice(C::TacEditWnd, "COMBOBOX");
    else if (name == "scrollbar")
        // Only a size box or grip serves as a dialog's size grip; a real bar
        // keeps its own look and its arrows.
        return s & (style::ScrollSizeBox | style::ScrollSizeGrip) ? Choice(C::TacSizerWnd, def) : TAdapterChoice{};
    else if (name == "systabcontrol32")
        return {};
    else if (name == "syslistview32")
        r = Choice(C::TacListViewWnd, "EDIT");
    else if (name == "msctls_updown32") {
        r = Choice(C::TacSpinWnd, "SPEEDBUTTON_SMALL");
        r.SpinMargin = 2;
        return r;
    } else if (name == "listbox" || name == "edit")
        r = Choice(C::TacEditWnd, "EDIT");
    else if (name == "link window" || name == "syslink")
        return Choice(C::TacLinkWnd, def);
    else if (name == "toolbarwindow32")
        return Choice(C::TacToolBarWnd, (s & style::ToolBarFlat) ? "BAR" : def);
    else if (name == "systreeview32")
        r = Choice(C::TacTreeViewWnd, "EDIT");
    else if (name.find("shbrowseforfolder") != std::string::npos)
        return Choice(C::TacTransPanelWnd, def);
    else
        return {};
    r.DialogChild = true;
    return r;
}

bool IsDialogClass(std::string_view className) { return className == "#32770" || className == "TMessageForm"; }

bool PopupMenuNeedsAdapter(std::string_view className, bool answersSkinned) {
    return className == "#32768" && !answersSkinned;
}

THookAction TryHookWindowAction(const THookWindowFacts& w) {
    if (w.AnswersSkinned || !w.HasDefaultManager || w.AlreadyListed) return THookAction::None;
    if (w.ClassName == "TApplication" || w.ClassName == "TQRStandardPreview") return THookAction::None;
    if (w.IsForm) {
        const bool allowed = w.ClassName == "TMessageForm" ? w.StdDialogs : w.StdForms && w.FormTag != kNoSkinTag;
        return allowed ? THookAction::FormProvider : THookAction::None;
    }
    if (!w.StdDialogs) return THookAction::None;
    // While a skinned dialog is up, only a dialog with a tool bar (a file
    // dialog) is taken as well.
    if (w.HookedDialogVisible && !(w.HasToolBarChild && w.HasToolBarChild())) return THookAction::None;
    return THookAction::DialogProvider;
}

bool IsRadioButtonStyle(unsigned s) {
    const unsigned type = s & style::ButtonTypeMask;
    return type == style::ButtonRadio || type == style::ButtonAutoRadio;
}

}  // namespace skin
