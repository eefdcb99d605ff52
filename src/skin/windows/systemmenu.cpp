#include "skin/windows/systemmenu.h"

#include "skin/core/win32/skinmanager.h"
#include "skin/windows/skinprovider.h"
#include "vcl/forms.h"

namespace skin {

using namespace vcl;

namespace {
constexpr const char* kSkinSelectItem = "SkinSelectItem";
}

TsTitleButton* TsTitleButtons::Items(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<size_t>(index)].get();
}

TsTitleButton* TsTitleButtons::Add() {
    items_.push_back(std::make_unique<TsTitleButton>());
    return items_.back().get();
}

TsSystemMenu::TsSystemMenu(TsSkinProvider* provider) : TPopupMenu(nullptr), Provider(provider) {
    SetPopupComponent(provider ? provider->Form : nullptr);
    ItemRestore = NewItem("Restore", "ItemRestore", [this](TObject*) {
        SendCommand(SC_RESTORE);
        UpdateSystemMenuItems();
    });
    ItemMove = NewItem("Move", "ItemMove", [this](TObject*) { SendCommand(SC_MOVE); });
    ItemSize = NewItem("Size", "ItemSize", [this](TObject*) { SendCommand(SC_SIZE); });
    ItemMinimize = NewItem("Minimize", "ItemMinimize", [this](TObject*) {
        if (Provider->Form == Application->MainForm())
            Application->Minimize();
        else
            SendCommand(SC_MINIMIZE);
        UpdateSystemMenuItems();
    });
    ItemMaximize = NewItem("Maximize", "ItemMaximize", [this](TObject*) {
        if (Provider->Form->FormStyle() == fsMDIChild)
            MaximizedChildProvider = Provider;
        SendCommand(SC_MAXIMIZE);
        UpdateSystemMenuItems();
    });
    auto* line = new TMenuItem(this);
    line->SetCaption("-");
    Items()->Add(line);
    ItemClose = NewItem("Close", "ItemClose", [this](TObject*) { SendCommand(SC_CLOSE); });
    ItemClose->SetShortCut(ShortCut(VK_F4, scAlt));
}

TMenuItem* TsSystemMenu::NewItem(const std::string& caption, const std::string& name, TNotifyEvent onClick) {
    auto* item = new TMenuItem(this);
    item->SetName(name);
    item->SetCaption(caption);
    item->OnClick = std::move(onClick);
    Items()->Add(item);
    return item;
}

void TsSystemMenu::SendCommand(WPARAM command) {
    TForm* form = Provider ? Provider->Form : nullptr;
    if (form && form->HandleAllocated()) SendMessageW(form->Handle(), WM_SYSCOMMAND, command, 0);
}

void TsSystemMenu::UpdateSystemMenuItems() {
    if (!Provider || !Provider->Form) return;
    const TSystemMenuItems s = skin::UpdateSystemMenuItems(Provider->Frame());
    auto apply = [](TMenuItem* item, const TSystemMenuItem& state) {
        item->SetVisible(state.Visible);
        item->SetEnabled(state.Enabled);
    };
    apply(ItemRestore, s.ItemRestore);
    apply(ItemMove, s.ItemMove);
    apply(ItemSize, s.ItemSize);
    apply(ItemMinimize, s.ItemMinimize);
    apply(ItemMaximize, s.ItemMaximize);
    apply(ItemClose, s.ItemClose);
}

void TsSystemMenu::MakeSkinItems() {
    if (Items()->Count() > 0 && Items()->Items(0)->Name() == kSkinSelectItem) {
        // The old list and the separator after it go.
        TMenuItem* old = Items()->Items(0);
        Items()->Remove(old);
        old->Free();
        if (Items()->Count() > 0 && Items()->Items(0)->IsLine()) {
            TMenuItem* line = Items()->Items(0);
            Items()->Remove(line);
            line->Free();
        }
    }
    TsSkinManager* manager = Provider ? Provider->ProviderManager() : nullptr;
    if (!manager) return;
    TStringList names;
    std::string first;
    manager->GetSkinNames(&names, 2, first);
    if (names.Count() == 0) return;
    auto* root = new TMenuItem(this);
    root->SetName(kSkinSelectItem);
    root->SetCaption("Available skins");
    for (int i = 0; i < names.Count(); ++i) {
        auto* item = new TMenuItem(this);
        item->SetName(kSkinSelectItem + std::to_string(i));
        item->SetCaption(names.Strings(i));
        item->SetRadioItem(true);
        item->SetChecked(names.Strings(i) == manager->SkinName());
        if (SkinItemBreaks(i)) item->SetBreak(mbBreak);
        item->OnClick = [this](TObject* sender) { SkinItemClick(sender); };
        root->Add(item);
    }
    Items()->Insert(0, root);
    auto* line = new TMenuItem(this);
    line->SetCaption("-");
    Items()->Insert(1, line);
}

void TsSystemMenu::SkinItemClick(TObject* sender) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    TsSkinManager* manager = Provider ? Provider->ProviderManager() : nullptr;
    if (!item || !manager) return;
    std::string name;
    for (char c : item->Caption())
        if (c != '&') name += c;
    manager->SetSkinName(name);
}

}  // namespace skin
