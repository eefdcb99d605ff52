#include "skin/windows/adapterfactory.h"

#include "skin/windows/buttonadapters.h"
#include "skin/windows/editadapters.h"
#include "skin/windows/paneladapters.h"

namespace skin {

namespace {

using TMaker = std::unique_ptr<TacMainWnd> (*)(HWND, TsCommonData*, TsSkinManager*, const std::string&, bool);

template <class T>
std::unique_ptr<TacMainWnd> Make(HWND window, TsCommonData* data, TsSkinManager* manager, const std::string& section,
                                 bool repaint) {
    return CreateAdapter<T>(window, data, manager, section, repaint);
}

struct TMakerEntry {
    TacWndClass Class;
    TMaker Maker;
};

// Class to adapter: every member of the family that a window may get.
const TMakerEntry kMakers[] = {
    {TacWndClass::TacEditWnd, &Make<TacEditWnd>},
    {TacWndClass::TacBtnWnd, &Make<TacBtnWnd>},
    {TacWndClass::TacBitBtnWnd, &Make<TacBitBtnWnd>},
    {TacWndClass::TacCheckBoxWnd, &Make<TacCheckBoxWnd>},
    {TacWndClass::TacComboBoxWnd, &Make<TacComboBoxWnd>},
    {TacWndClass::TacGridWnd, &Make<TacGridWnd>},
    {TacWndClass::TacGroupBoxWnd, &Make<TacGroupBoxWnd>},
    {TacWndClass::TacListViewWnd, &Make<TacListViewWnd>},
    {TacWndClass::TacPanelWnd, &Make<TacPanelWnd>},
    {TacWndClass::TacTreeViewWnd, &Make<TacTreeViewWnd>},
    {TacWndClass::TacWWComboBoxWnd, &Make<TacWWComboBoxWnd>},
    {TacWndClass::TacGridEhWnd, &Make<TacGridEhWnd>},
    {TacWndClass::TacVirtualTreeViewWnd, &Make<TacVirtualTreeViewWnd>},
    {TacWndClass::TacIconWnd, &Make<TacIconWnd>},
    {TacWndClass::TacStaticWnd, &Make<TacStaticWnd>},
    {TacWndClass::TacLinkWnd, &Make<TacLinkWnd>},
    {TacWndClass::TacTransPanelWnd, &Make<TacTransPanelWnd>},
    {TacWndClass::TacDlgPanelWnd, &Make<TacDlgPanelWnd>},
    {TacWndClass::TacSizerWnd, &Make<TacSizerWnd>},
    {TacWndClass::TacSpinWnd, &Make<TacSpinWnd>},
    {TacWndClass::TacToolBarWnd, &Make<TacToolBarWnd>},
};

}  // namespace

std::unique_ptr<TacMainWnd> CreateWindowAdapter(TacWndClass adapterClass, HWND window, TsCommonData* skinData,
                                                TsSkinManager* manager, const std::string& section, bool repaint) {
    if (!window) return nullptr;
    for (const TMakerEntry& entry : kMakers)
        if (entry.Class == adapterClass) return entry.Maker(window, skinData, manager, section, repaint);
    return nullptr;
}

std::unique_ptr<TacMainWnd> CreateControlAdapter(int kind, vcl::TWinControl* control, TsCommonData* skinData) {
    const TAdapterChoice choice = HookControlChoice(kind);
    if (choice.Class == TacWndClass::None || !control || !control->HandleAllocated() || !skinData) return nullptr;
    if (choice.StoreSection) skinData->SetSkinSection(choice.Section);
    return CreateWindowAdapter(choice.Class, control->Handle(), skinData, skinData->SkinManager(), choice.Section, true);
}

std::unique_ptr<TacMainWnd> CreateChildAdapter(const TAdapterChoice& choice, HWND window, TsSkinManager* manager) {
    std::unique_ptr<TacMainWnd> adapter = CreateWindowAdapter(choice.Class, window, nullptr, manager, choice.Section, true);
    if (auto* spin = dynamic_cast<TacSpinWnd*>(adapter.get())) spin->LeftMargin = choice.SpinMargin;
    return adapter;
}

}  // namespace skin
