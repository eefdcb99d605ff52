// The control adapter of a skinned form: the form's list of ordinary
// controls that wear the skin. A control whose class stands in one of the
// manager's class lists gets an item with a skin data of its own and the
// window adapter of its list; labels are made see-through in the skin's
// font colour (and get their own look back when the adapter goes).
//
// The form's provider makes one when it starts skinning (its MakeAdapter
// call point, see InstallControlAdapter) and asks it again when the skin is
// refreshed, a child window appears or a tab changes.
#pragma once
#include "vcl/win.h"

#include <memory>
#include <string>
#include <vector>

#include "skin/core/win32/commondata.h"
#include "skin/windows/skinprovider.h"
#include "skin/windows/windowadapter.h"
#include "vcl/controls.h"
#include "vcl/stdctrls.h"

namespace skin {

class TacCtrlAdapter;

// One adapted control: its skin data (edit kind: an empty section means
// "EDIT") and its window adapter.
class TacAdapterItem : public vcl::TObject {
public:
    TacAdapterItem(TacCtrlAdapter* adapter, vcl::TWinControl* ctrl);
    ~TacAdapterItem() override;
    const char* ClassName() const override { return "TacAdapterItem"; }

    vcl::TWinControl* Ctrl;
    std::unique_ptr<TsCommonData> SkinData;
    TacCtrlAdapter* Adapter;
    std::unique_ptr<TacMainWnd> ScrollWnd;

    // Puts the adapter of the first class list naming the control's class
    // on its window; none for a class in no list, a control without a
    // window or one that is skinned already.
    void HookControl(vcl::TWinControl* ctrl);
    // The window adapter let its window go (the window was destroyed).
    bool Dead() const { return !ScrollWnd || ScrollWnd->Destroyed; }
    // The control given back to itself now, the item freed once no message
    // of the skin engine runs: its adapter may be inside one of its own.
    static void Retire(std::unique_ptr<TacAdapterItem> item);
};

class TacCtrlAdapter : public vcl::TObject, public TsFormAdapter {
public:
    explicit TacCtrlAdapter(TsSkinProvider* provider);
    ~TacCtrlAdapter() override;
    const char* ClassName() const override { return "TacCtrlAdapter"; }

    std::string DefaultSection;
    std::vector<std::unique_ptr<TacAdapterItem>> Items;
    TsSkinProvider* Provider;

    int Count() const { return static_cast<int>(Items.size()); }
    // nullptr outside 0..Count-1.
    TacAdapterItem* GetItem(int index) const;
    // Whether the control adapter takes the component.
    bool IsListed(vcl::TComponent* component);
    void AddItem(vcl::TWinControl* ctrl, const std::string& skinSection);
    void AddItem(vcl::TWinControl* ctrl) override { AddItem(ctrl, DefaultSection); }
    void RemoveItem(int index);
    void AddAllControls(vcl::TWinControl* root) override;
    // Frees the items whose window went; adjacent ones all go.
    void PurgeItems();
    void ClearItems();
    void BroadcastMessage(vcl::TMessage& message) override;
    void ReleaseWindows() override;

private:
    TsSkinManager* Manager() const;
    int FindItem(vcl::TWinControl* ctrl) const;
    // A label of the form shown in the skin's font colour, see-through.
    void SkinLabel(vcl::TLabel* label);
    void RestoreLabels();
    bool OwnedByForm(vcl::TComponent* component) const;

    struct SavedLabel {
        vcl::TLabel* Label;
        bool Transparent;
        TColor FontColor;
    };
    std::vector<SavedLabel> labels_;
};

// Sets the providers' MakeAdapter call point: every skinned form gets a
// TacCtrlAdapter.
void InstallControlAdapter();

}  // namespace skin
