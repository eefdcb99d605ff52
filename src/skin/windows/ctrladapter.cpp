#include "skin/windows/ctrladapter.h"

#include <algorithm>

#include "skin/core/skincommands.h"
#include "skin/core/win32/deferredfree.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/windows/adapterfactory.h"
#include "skin/windows/layout/adapterrules.h"

namespace skin {

using namespace vcl;

namespace {

// The kind of skin data an adapted control keeps: an edit's.
constexpr int kEditDataKind = 227;

bool AnswersSkinned(TWinControl* ctrl) { return ctrl && ctrl->HandleAllocated() && AskSkinCommand(ctrl, AC_QUERYSKINNED); }

}  // namespace

// ---- TacAdapterItem

TacAdapterItem::TacAdapterItem(TacCtrlAdapter* adapter, TWinControl* ctrl)
    : Ctrl(ctrl), SkinData(std::make_unique<TsCommonData>(ctrl, true)), Adapter(adapter) {
    SkinData->ControlTypeCode = kEditDataKind;
}

TacAdapterItem::~TacAdapterItem() {
    // The window adapter gives the control back before its skin data goes.
    ScrollWnd.reset();
    SkinData.reset();
}

void TacAdapterItem::Retire(std::unique_ptr<TacAdapterItem> item) {
    if (item) RetireAdapter(std::move(item->ScrollWnd));
    FreeAfterMessages(std::move(item));
}

void TacAdapterItem::HookControl(TWinControl* ctrl) {
    if (!ctrl || !ctrl->HandleAllocated() || AnswersSkinned(ctrl)) return;
    Ctrl = ctrl;
    SkinData->OwnerControl = ctrl;
    SkinData->OwnerObject = ctrl;
    if (!ctrl->Parent()) return;
    TsSkinManager* m = SkinData->SkinManager();
    if (!m) return;
    const int kind = FindThirdKind(m->ThirdLists, ctrl->ClassName());
    if (kind < 0) return;
    ScrollWnd = CreateControlAdapter(kind, ctrl, SkinData.get());
}

// ---- TacCtrlAdapter

TacCtrlAdapter::TacCtrlAdapter(TsSkinProvider* provider) : Provider(provider) {}

TacCtrlAdapter::~TacCtrlAdapter() {
    PurgeItems();
    ClearItems();
    RestoreLabels();
}

TsSkinManager* TacCtrlAdapter::Manager() const {
    TsSkinManager* m = Provider ? Provider->ProviderManager() : nullptr;
    return m ? m : DefaultManager;
}

TacAdapterItem* TacCtrlAdapter::GetItem(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return Items[static_cast<size_t>(index)].get();
}

int TacCtrlAdapter::FindItem(TWinControl* ctrl) const {
    for (int i = 0; i < Count(); ++i)
        if (Items[static_cast<size_t>(i)] && Items[static_cast<size_t>(i)]->Ctrl == ctrl) return i;
    return -1;
}

bool TacCtrlAdapter::IsListed(TComponent* component) {
    auto* control = dynamic_cast<TControl*>(component);
    TsSkinManager* m = Manager();
    if (!control || !m) return false;
    auto* windowed = dynamic_cast<TWinControl*>(control);
    TListedComponent c;
    c.Tag = static_cast<int>(control->Tag());
    c.IsWindowed = windowed != nullptr;
    c.HasHandle = windowed && windowed->HandleAllocated();
    // One adapted already (ours too) is left as it is: walking the form
    // again keeps each control's own section.
    c.AnswersSkinned = c.HasHandle && AnswersSkinned(windowed);
    c.IsLabel = dynamic_cast<TLabel*>(control) != nullptr;
    c.IsGraphic = windowed == nullptr;
    c.ClassName = control->ClassName();
    std::function<bool()> ask;
    if (c.IsLabel && Provider && Provider->OnSkinItem)
        ask = [&] {
            bool canBeAdded = true;
            std::string section;
            Provider->OnSkinItem(component, canBeAdded, section);
            return canBeAdded;
        };
    return skin::IsListed(c, m->ThirdLists, ask);
}

void TacCtrlAdapter::AddItem(TWinControl* ctrl, const std::string& skinSection) {
    if (!ctrl || ctrl->Tag() == kNoSkinTag || !ctrl->Parent()) return;
    int index = FindItem(ctrl);
    // A control skinned by something else (its own skin data, another
    // form's adapter) is left alone; one of ours only renews its section.
    if (index < 0 && AnswersSkinned(ctrl)) return;
    bool canBeAdded = true;
    std::string section = skinSection;
    if (Provider && Provider->OnSkinItem) Provider->OnSkinItem(ctrl, canBeAdded, section);
    if (!canBeAdded) return;
    const bool isNew = index < 0;
    if (isNew) {
        Items.push_back(std::make_unique<TacAdapterItem>(this, ctrl));
        index = Count() - 1;
    }
    TacAdapterItem* item = Items[static_cast<size_t>(index)].get();
    item->SkinData->SetSkinSection(section);
    if (!isNew) {
        if (item->ScrollWnd && item->ScrollWnd->Destroyed) {
            FreeAfterMessages(std::move(item->ScrollWnd));
            if (ctrl->Parent()) item->HookControl(ctrl);
        }
        return;
    }
    if (ctrl->Parent()) item->HookControl(ctrl);
    if (!item->ScrollWnd) Items.pop_back();  // its class is in no list
}

void TacCtrlAdapter::RemoveItem(int index) {
    if (index < 0 || index >= Count()) return;
    std::unique_ptr<TacAdapterItem> item = std::move(Items[static_cast<size_t>(index)]);
    Items.erase(Items.begin() + index);
    TacAdapterItem::Retire(std::move(item));
}

void TacCtrlAdapter::PurgeItems() {
    PurgeDeadItems(
        Items, [](const std::unique_ptr<TacAdapterItem>& item) { return !item || item->Dead(); },
        [](std::unique_ptr<TacAdapterItem>& item) { TacAdapterItem::Retire(std::move(item)); });
}

void TacCtrlAdapter::ClearItems() {
    if (ClearingItems) return;
    ClearingItems = true;
    while (!Items.empty()) {  // the last first
        std::unique_ptr<TacAdapterItem> item = std::move(Items.back());
        Items.pop_back();
        TacAdapterItem::Retire(std::move(item));
    }
    ClearingItems = false;
}

void TacCtrlAdapter::ReleaseWindows() {
    for (const auto& item : Items)
        if (item && item->ScrollWnd) item->ScrollWnd->ReleaseWindow();
    RestoreLabels();
}

void TacCtrlAdapter::BroadcastMessage(TMessage& message) {
    // A copy: an answer may add or drop items.
    std::vector<TWinControl*> targets;
    for (const auto& item : Items)
        if (item && !item->Dead() && item->Ctrl && item->Ctrl->Parent() && item->Ctrl->HandleAllocated())
            targets.push_back(item->Ctrl);
    for (TWinControl* ctrl : targets)
        if (FindItem(ctrl) >= 0) SendMessageW(ctrl->Handle(), message.Msg, message.WParam, message.LParam);
}

bool TacCtrlAdapter::OwnedByForm(TComponent* component) const {
    TForm* form = Provider ? Provider->Form : nullptr;
    if (!form) return false;
    std::function<bool(TComponent*)> walk = [&](TComponent* owner) {
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* c = owner->Components(i);
            if (c == component || walk(c)) return true;
        }
        return false;
    };
    return walk(form);
}

void TacCtrlAdapter::SkinLabel(TLabel* label) {
    TsSkinManager* m = DefaultManager ? DefaultManager : Manager();
    if (!m) return;
    const bool known = std::any_of(labels_.begin(), labels_.end(), [&](const SavedLabel& s) { return s.Label == label; });
    if (!known) labels_.push_back({label, label->Transparent(), label->Font()->Color()});
    label->SetTransparent(true);
    label->Font()->SetColor(m->GetGlobalInfoFontColor());
}

void TacCtrlAdapter::RestoreLabels() {
    // Only labels still on the form: one freed meanwhile is no longer there.
    for (const SavedLabel& s : labels_) {
        if (!OwnedByForm(s.Label) || (s.Label->ComponentState() & csDestroying)) continue;
        s.Label->SetTransparent(s.Transparent);
        s.Label->Font()->SetColor(s.FontColor);
    }
    labels_.clear();
}

void TacCtrlAdapter::AddAllControls(TWinControl* root) {
    TForm* form = Provider ? Provider->Form : nullptr;
    if (!form) return;
    if (Provider) {
        bool parentBg = false;
        for (int i = 0; i < form->ControlCount(); ++i) {
            auto* child = dynamic_cast<TWinControl*>(form->Controls(i));
            if (child && child->ParentBackground()) parentBg = true;
        }
        Provider->HasParentBgChild = parentBg;
    }
    TsSkinManager* m = Manager();
    if (AddingControls || !m || !(m->SkinningRules & srThirdParty)) return;
    AddingControls = true;
    if (!root) root = form;
    PurgeItems();
    auto visit = [&](TControl* control, bool labelBranch) {
        if (!control || (control->ComponentState() & csDestroying)) return;
        auto* windowed = dynamic_cast<TWinControl*>(control);
        if (IsListed(control)) {
            if (windowed)
                AddItem(windowed, "EDIT");
            else if (auto* label = dynamic_cast<TLabel*>(control); label && labelBranch)
                SkinLabel(label);
        }
        if (windowed && windowed->HandleAllocated() && windowed->Parent()) {
            AddingControls = false;
            AddAllControls(windowed);
            AddingControls = true;
        }
    };
    // What Root owns, then its child controls (owned elsewhere, they are
    // still on this form).
    std::vector<TControl*> owned;
    for (int i = 0; i < root->ComponentCount(); ++i)
        if (auto* control = dynamic_cast<TControl*>(root->Components(i))) owned.push_back(control);
    for (TControl* control : owned) visit(control, true);
    std::vector<TControl*> children;
    for (int i = 0; i < root->ControlCount(); ++i) children.push_back(root->Controls(i));
    for (TControl* control : children)
        if (std::find(owned.begin(), owned.end(), control) == owned.end()) visit(control, true);
    AddingControls = false;
}

void InstallControlAdapter() {
    ProviderCallPoints.MakeAdapter = [](TsSkinProvider* provider) -> std::unique_ptr<TsFormAdapter> {
        return std::make_unique<TacCtrlAdapter>(provider);
    };
}

}  // namespace skin
