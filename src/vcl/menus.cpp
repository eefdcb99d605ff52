#include "vcl/menus.h"

#include <algorithm>
#include <map>

#include "vcl/forms.h"
#include "vcl/wintext.h"

namespace vcl {

namespace {

std::map<UINT, TMenuItem*>& Commands() {
    static std::map<UINT, TMenuItem*> commands;
    return commands;
}

UINT g_nextCommand = 1;

}  // namespace

// ---- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(g_nextCommand++) {
    Commands()[command_] = this;
}

TMenuItem::~TMenuItem() {
    Commands().erase(command_);
    for (TMenuItem* item : items_) item->parent_ = nullptr;
    items_.clear();
    if (parent_) parent_->Remove(this);
}

TMenuItem* TMenuItem::FromCommand(UINT command) {
    auto it = Commands().find(command);
    return it == Commands().end() ? nullptr : it->second;
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError(index);
    return items_[static_cast<size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (index < 0 || index > Count()) throw EListError(index);
    if (item->parent_) item->parent_->Remove(item);
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    Changed();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::SetCaption(const std::string& value) {
    if (caption_ == value) return;
    caption_ = value;
    Changed();
}

void TMenuItem::SetVisible(bool value) {
    if (visible_ == value) return;
    visible_ = value;
    Changed();
}

void TMenuItem::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    Changed();
}

void TMenuItem::SetChecked(bool value) {
    if (checked_ == value) return;
    checked_ = value;
    Changed();
}

void TMenuItem::Click() {
    if (OnClick) OnClick(this);
}

TMenu* TMenuItem::RootMenu() const {
    const TMenuItem* item = this;
    while (item->parent_) item = item->parent_;
    return item->menu_;
}

void TMenuItem::Changed() {
    if (ComponentState() & csDestroying) return;
    if (TMenu* menu = RootMenu()) {
        if (!(menu->ComponentState() & csDestroying)) menu->Rebuild();
    }
}

// ---- TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner) {
    items_ = new TMenuItem(this);
    items_->menu_ = this;
}

TMenu::~TMenu() { FreeHandle(); }

void TMenu::FreeHandle() {
    if (handle_) DestroyMenu(handle_);
    handle_ = nullptr;
}

static void AppendItems(HMENU menu, const TMenuItem* parent) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible()) continue;
        if (item->IsLine()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if (!item->Enabled()) flags |= MF_GRAYED;
        if (item->Checked()) flags |= MF_CHECKED;
        WideText caption(item->Caption());
        bool hasVisibleChild = false;
        for (int j = 0; j < item->Count(); ++j) hasVisibleChild = hasVisibleChild || item->Items(j)->Visible();
        if (hasVisibleChild) {
            HMENU sub = CreatePopupMenu();
            AppendItems(sub, item);
            AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), caption);
        } else {
            AppendMenuW(menu, flags, item->Command(), caption);
        }
    }
}

HMENU TMenu::Build(bool popup) const {
    HMENU menu = popup ? CreatePopupMenu() : CreateMenu();
    AppendItems(menu, items_);
    return menu;
}

// ---- TMainMenu

TMainMenu::~TMainMenu() {
    if (form_) form_->SetMenu(nullptr);
}

void TMainMenu::AttachForm(TForm* form) {
    form_ = form;
    Rebuild();
}

void TMainMenu::DetachForm(TForm* form) {
    if (form_ != form) return;
    if (form->HandleAllocated() && !(form->ComponentState() & csDestroying)) {
        int width = form->ClientWidth(), height = form->ClientHeight();
        ::SetMenu(form->Handle(), nullptr);
        form->SetClientSize(width, height);
    }
    form_ = nullptr;
    FreeHandle();
}

void TMainMenu::Rebuild() {
    // Built when a form takes the menu, not for every item declared before.
    if (!form_) return;
    HMENU old = handle_;
    handle_ = Build(false);
    if (form_->HandleAllocated()) {
        // The form keeps its client area; the menu line is added to the frame.
        int width = form_->ClientWidth(), height = form_->ClientHeight();
        ::SetMenu(form_->Handle(), handle_);
        DrawMenuBar(form_->Handle());
        form_->SetClientSize(width, height);
        form_->Perform(CM_MENUCHANGED);
    }
    if (old) DestroyMenu(old);
}

// ---- TPopupMenu

void TPopupMenu::Popup(int x, int y) {
    FreeHandle();
    handle_ = Build(true);
    HWND owner = nullptr;
    if (auto* control = dynamic_cast<TControl*>(popupComponent_)) {
        if (TForm* form = control->ParentForm()) owner = form->Handle();
    }
    if (!owner) owner = GetActiveWindow();
    if (!owner) owner = Application->Handle();
    UINT command = static_cast<UINT>(
        TrackPopupMenuEx(handle_, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, x, y, owner, nullptr));
    if (command)
        if (TMenuItem* item = TMenuItem::FromCommand(command)) item->Click();
}

}  // namespace vcl
