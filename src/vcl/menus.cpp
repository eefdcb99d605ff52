#include "vcl/menus.h"

#include <algorithm>
#include <map>
#include <unordered_set>

#include "vcl/forms.h"
#include "vcl/imglist.h"
#include "vcl/messages.h"
#include "vcl/wintext.h"

namespace vcl {

namespace {

std::map<UINT, TMenuItem*>& Commands() {
    static auto* commands = new std::map<UINT, TMenuItem*>;
    return *commands;
}

// Items alive now: item data read back from a Win32 menu is checked here first.
std::unordered_set<const TMenuItem*>& LiveItems() {
    static auto* items = new std::unordered_set<const TMenuItem*>;
    return *items;
}

UINT g_nextCommand = 1;

std::string KeyName(WORD key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    }
    return {};
}

// Space around an owner-drawn item's parts.
constexpr int kMenuMargin = 2;
constexpr int kMenuSpacing = 6;

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
    std::string name = KeyName(static_cast<WORD>(shortCut & 0xFF));
    if (name.empty()) return {};
    std::string text;
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scAlt) text += "Alt+";
    return text + name;
}

// ---- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(g_nextCommand++) {
    Commands()[command_] = this;
    LiveItems().insert(this);
}

TMenuItem::~TMenuItem() {
    Commands().erase(command_);
    LiveItems().erase(this);
    for (TMenuItem* item : items_) item->parent_ = nullptr;
    items_.clear();
    if (parent_) parent_->Remove(this);
}

TMenuItem* TMenuItem::FromCommand(UINT command) {
    auto it = Commands().find(command);
    return it == Commands().end() ? nullptr : it->second;
}

TMenuItem* TMenuItem::FromMenuPosition(HMENU menu, int position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    if (!menu || !GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) return nullptr;
    auto* item = reinterpret_cast<TMenuItem*>(info.dwItemData);
    return LiveItems().count(item) ? item : nullptr;
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

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* item = this;
    while (item->parent_) item = item->parent_;
    return item->menu_;
}

void TMenuItem::SetCaption(const std::string& value) {
    if (caption_ == value) return;
    bool lineChanged = IsLine() != (value == "-");
    caption_ = value;
    if (lineChanged) Changed();
    else Updated();
}

void TMenuItem::SetVisible(bool value) {
    if (visible_ == value) return;
    visible_ = value;
    Changed();
}

void TMenuItem::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    Updated();
}

void TMenuItem::SetChecked(bool value) {
    if (checked_ == value) return;
    checked_ = value;
    if (value && radioItem_) UncheckGroup();
    Updated();
}

void TMenuItem::UncheckGroup() {
    if (!parent_) return;
    for (TMenuItem* other : parent_->items_)
        if (other != this && other->radioItem_ && other->groupIndex_ == groupIndex_ && other->checked_) {
            other->checked_ = false;
            other->Updated();
        }
}

void TMenuItem::SetRadioItem(bool value) {
    if (radioItem_ == value) return;
    radioItem_ = value;
    if (value && checked_) UncheckGroup();
    Updated();
}

void TMenuItem::SetDefault(bool value) {
    if (default_ == value) return;
    if (value && parent_)
        for (TMenuItem* other : parent_->items_)
            if (other != this && other->default_) {
                other->default_ = false;
                other->Updated();
            }
    default_ = value;
    Updated();
}

void TMenuItem::SetBreak(TMenuBreak value) {
    if (break_ == value) return;
    break_ = value;
    Updated();
}

void TMenuItem::SetShortCut(TShortCut value) {
    if (shortCut_ == value) return;
    shortCut_ = value;
    Updated();
}

void TMenuItem::SetImageIndex(int value) {
    if (imageIndex_ == value) return;
    imageIndex_ = value;
    Updated();
}

TBitmap* TMenuItem::Bitmap() {
    if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
    return bitmap_.get();
}

void TMenuItem::Click() {
    if (OnClick) OnClick(this);
}

std::string TMenuItem::ShownText() const {
    std::string shortcut = ShortCutToText(shortCut_);
    return shortcut.empty() ? caption_ : caption_ + "\t" + shortcut;
}

void TMenuItem::Changed() {
    if (ComponentState() & csDestroying) return;
    if (TMenu* menu = GetParentMenu()) {
        if (!(menu->ComponentState() & csDestroying)) menu->Rebuild();
    }
}

void TMenuItem::Updated() {
    if (ComponentState() & csDestroying) return;
    TMenu* menu = GetParentMenu();
    if (!menu || (menu->ComponentState() & csDestroying) || !visible_ || !parent_) return;
    if (!ownerHandle_ || !IsMenu(ownerHandle_)) return;  // not built: the next build takes the change
    int position = 0;
    for (TMenuItem* sibling : parent_->items_) {
        if (sibling == this) break;
        if (sibling->visible_) ++position;
    }
    WideText text(ShownText());
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    info.fType = (IsLine() ? MFT_SEPARATOR : MFT_STRING) | (menu->ownerDraw_ ? MFT_OWNERDRAW : 0) |
                 (radioItem_ ? MFT_RADIOCHECK : 0) |
                 (break_ == mbBreak ? MFT_MENUBREAK : break_ == mbBarBreak ? MFT_MENUBARBREAK : 0);
    info.fState = (enabled_ ? 0 : MFS_GRAYED) | (checked_ ? MFS_CHECKED : 0) | (default_ ? MFS_DEFAULT : 0);
    info.dwTypeData = const_cast<WCHAR*>(text.c_str());
    SetMenuItemInfoW(ownerHandle_, static_cast<UINT>(position), TRUE, &info);
    menu->ItemUpdated(this);
}

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
    if (OnMeasureItem) {
        OnMeasureItem(this, canvas, width, height);
        return;
    }
    if (IsLine()) {
        width = 10;
        height = GetSystemMetrics(SM_CYMENUSIZE) / 2;
        return;
    }
    TMenu* menu = GetParentMenu();
    bool topLevel = parent_ && menu && parent_ == menu->Items() && dynamic_cast<TMainMenu*>(menu);
    int glyph = HasBitmap() ? bitmap_->Width() : (menu && menu->Images() ? menu->Images()->Width() : 16);
    std::string caption = caption_;
    SIZE text = canvas->TextExtent(caption.empty() ? std::string("W") : caption);
    if (topLevel) {
        width = text.cx + 2 * kMenuSpacing;
        height = std::max<int>(text.cy + 2 * kMenuMargin, GetSystemMetrics(SM_CYMENU) - 1);
        return;
    }
    int shortcut = shortCut_ ? canvas->TextWidth(ShortCutToText(shortCut_)) + kMenuSpacing * 2 : 0;
    width = glyph + 2 * kMenuMargin + kMenuSpacing + text.cx + shortcut;
    int glyphHeight = HasBitmap() ? bitmap_->Height() : (menu && menu->Images() ? menu->Images()->Height() : 16);
    height = std::max<int>(text.cy, glyphHeight) + 2 * kMenuMargin;
}

void TMenuItem::AdvancedDrawItem(TCanvas* canvas, RECT rect, TOwnerDrawState state, bool topLevel) {
    if (OnAdvancedDrawItem) OnAdvancedDrawItem(this, canvas, rect, state);
    else if (OnDrawItem) OnDrawItem(this, canvas, rect, (state & odSelected) != 0);
    else DefaultDraw(canvas, rect, state, topLevel);
}

void TMenuItem::DefaultDraw(TCanvas* canvas, RECT rect, TOwnerDrawState state, bool topLevel) {
    bool selected = (state & (odSelected | odHotLight)) != 0;
    bool grayed = (state & (odGrayed | odDisabled)) != 0;
    canvas->Brush()->SetColor(selected && !grayed ? clHighlight : clMenu);
    canvas->FillRect(rect);
    if (IsLine()) {
        RECT line{rect.left + kMenuMargin, (rect.top + rect.bottom) / 2 - 1, rect.right - kMenuMargin, rect.bottom};
        DrawEdge(canvas->Handle(), &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    canvas->Font()->SetColor(grayed ? clGrayText : selected ? clHighlightText : clMenuText);
    canvas->Brush()->SetStyle(bsClear);
    RECT textRect = rect;
    if (topLevel) {
        canvas->DrawText(caption_, textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        canvas->Brush()->SetStyle(bsSolid);
        return;
    }
    TMenu* menu = GetParentMenu();
    int glyph = HasBitmap() ? bitmap_->Width() : (menu && menu->Images() ? menu->Images()->Width() : 16);
    int glyphHeight = HasBitmap() ? bitmap_->Height() : (menu && menu->Images() ? menu->Images()->Height() : 16);
    int glyphTop = rect.top + (rect.bottom - rect.top - glyphHeight) / 2;
    if (checked_) {
        RECT mark{rect.left + kMenuMargin, glyphTop, rect.left + kMenuMargin + glyph, glyphTop + glyphHeight};
        DrawFrameControl(canvas->Handle(), &mark, DFC_MENU, radioItem_ ? DFCS_MENUBULLET : DFCS_MENUCHECK);
    } else if (HasBitmap()) {
        canvas->Draw(rect.left + kMenuMargin, glyphTop, bitmap_.get());
    } else if (menu && menu->Images() && imageIndex_ >= 0) {
        menu->Images()->Draw(canvas, rect.left + kMenuMargin, glyphTop, imageIndex_, !grayed);
    }
    textRect.left += glyph + 2 * kMenuMargin + kMenuSpacing;
    textRect.right -= kMenuSpacing;
    UINT hide = (state & odNoAccel) ? DT_HIDEPREFIX : 0;
    canvas->DrawText(caption_, textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | hide);
    if (shortCut_) canvas->DrawText(ShortCutToText(shortCut_), textRect, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    canvas->Brush()->SetStyle(bsSolid);
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

void TMenu::SetOwnerDraw(bool value) {
    if (ownerDraw_ == value) return;
    ownerDraw_ = value;
    if (handle_) Rebuild();
}

void TMenu::SetImages(TImageList* value) {
    if (images_ == value) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = value;
    if (images_) images_->FreeNotification(this);
    if (handle_) Rebuild();
}

void TMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == images_) images_ = nullptr;
}

TMenuItem* TMenu::FindShortCut(TShortCut shortCut) const {
    if (!shortCut) return nullptr;
    std::function<TMenuItem*(const TMenuItem*)> find = [&](const TMenuItem* parent) -> TMenuItem* {
        for (TMenuItem* item : parent->items_) {
            if (!item->Visible() || !item->Enabled()) continue;
            if (item->ShortCut() == shortCut) return item;
            if (TMenuItem* found = find(item)) return found;
        }
        return nullptr;
    };
    return find(items_);
}

HMENU TMenu::Build(bool popup) {
    std::function<void(TMenuItem*)> forget = [&](TMenuItem* item) {
        item->ownerHandle_ = nullptr;
        item->subHandle_ = nullptr;
        for (TMenuItem* child : item->items_) forget(child);
    };
    forget(items_);
    std::function<void(HMENU, TMenuItem*)> append = [&](HMENU menu, TMenuItem* parent) {
        UINT position = 0;
        for (TMenuItem* item : parent->items_) {
            if (!item->Visible()) continue;
            bool hasVisibleChild = std::any_of(item->items_.begin(), item->items_.end(),
                                               [](const TMenuItem* child) { return child->Visible(); });
            WideText text(item->ShownText());
            MENUITEMINFOW info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_DATA;
            info.fType = (item->IsLine() ? MFT_SEPARATOR : MFT_STRING) | (ownerDraw_ ? MFT_OWNERDRAW : 0) |
                         (item->RadioItem() ? MFT_RADIOCHECK : 0) |
                         (item->Break() == mbBreak ? MFT_MENUBREAK
                                                   : item->Break() == mbBarBreak ? MFT_MENUBARBREAK : 0);
            info.fState = (item->Enabled() ? 0 : MFS_GRAYED) | (item->Checked() ? MFS_CHECKED : 0) |
                          (item->Default() ? MFS_DEFAULT : 0);
            info.wID = item->Command();
            info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
            info.dwTypeData = const_cast<WCHAR*>(text.c_str());
            if (hasVisibleChild && !item->IsLine()) {
                HMENU sub = CreatePopupMenu();
                append(sub, item);
                info.fMask |= MIIM_SUBMENU;
                info.hSubMenu = sub;
                item->subHandle_ = sub;
            }
            InsertMenuItemW(menu, position++, TRUE, &info);
            item->ownerHandle_ = menu;
        }
    };
    HMENU menu = popup ? CreatePopupMenu() : CreateMenu();
    append(menu, items_);
    items_->subHandle_ = menu;
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
    // The window lets go of the menu first: a window destroys the menu it
    // still holds, and the menu is destroyed here, once.
    if (form->HandleAllocated()) {
        bool destroying = form->ComponentState() & csDestroying;
        int width = form->ClientWidth(), height = form->ClientHeight();
        ::SetMenu(form->Handle(), nullptr);
        if (!destroying) form->SetClientSize(width, height);
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

void TMainMenu::ItemUpdated(TMenuItem* item) {
    if (!form_ || !form_->HandleAllocated()) return;
    if (item->Parent() == items_) DrawMenuBar(form_->Handle());
    form_->Perform(CM_MENUCHANGED);
}

// ---- TPopupMenu

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    FreeHandle();
    handle_ = Build(true);
    HWND owner = nullptr;
    if (auto* control = dynamic_cast<TControl*>(popupComponent_)) {
        if (TForm* form = control->ParentForm()) owner = form->Handle();
    }
    if (!owner) owner = GetActiveWindow();
    if (!owner) owner = Application->Handle();
    // The chosen command arrives as WM_COMMAND, after the menu has closed.
    UINT animation = 0;
    if (MenuAnimation & maNone) animation = TPM_NOANIMATION;
    else {
        if (MenuAnimation & maLeftToRight) animation |= TPM_HORPOSANIMATION;
        if (MenuAnimation & maRightToLeft) animation |= TPM_HORNEGANIMATION;
        if (MenuAnimation & maTopToBottom) animation |= TPM_VERPOSANIMATION;
        if (MenuAnimation & maBottomToTop) animation |= TPM_VERNEGANIMATION;
    }
    TrackPopupMenuEx(handle_, TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN | animation, x, y, owner, nullptr);
}

// ---- menu messages

namespace detail {

namespace {

TMenuItem* LiveItem(ULONG_PTR data) {
    auto* item = reinterpret_cast<TMenuItem*>(data);
    return LiveItems().count(item) ? item : nullptr;
}

void SetMenuFont(TCanvas* canvas, const TMenuItem* item) {
    canvas->Font()->Assign(*Screen->MenuFont());
    if (item->Default()) canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
}

bool IsTopLevel(const TMenuItem* item) {
    TMenu* menu = item->GetParentMenu();
    return menu && dynamic_cast<TMainMenu*>(menu) && item->Parent() == menu->Items();
}

}  // namespace

bool MenuMessage(TMessage& message) {
    switch (message.Msg) {
    case WM_COMMAND:
        if (message.LParam == 0 && HIWORD(message.WParam) == 0) {
            if (TMenuItem* item = TMenuItem::FromCommand(LOWORD(message.WParam))) {
                item->Click();
                message.Result = 0;
                return true;
            }
        }
        return false;
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
        if (measure->CtlType != ODT_MENU) return false;
        TMenuItem* item = LiveItem(measure->itemData);
        if (!item) return false;
        HDC screen = GetDC(nullptr);
        TCanvas canvas;
        canvas.SetHandle(screen);
        SetMenuFont(&canvas, item);
        int width = static_cast<int>(measure->itemWidth), height = static_cast<int>(measure->itemHeight);
        try {
            item->MeasureItem(&canvas, width, height);
        } catch (...) {
            canvas.SetHandle(nullptr);
            ReleaseDC(nullptr, screen);
            throw;
        }
        canvas.SetHandle(nullptr);
        ReleaseDC(nullptr, screen);
        measure->itemWidth = static_cast<UINT>(std::max(width, 0));
        measure->itemHeight = static_cast<UINT>(std::max(height, 0));
        message.Result = 1;
        return true;
    }
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
        if (draw->CtlType != ODT_MENU) return false;
        TMenuItem* item = LiveItem(draw->itemData);
        if (!item) return false;
        TOwnerDrawState state = 0;
        UINT s = draw->itemState;
        if (s & ODS_SELECTED) state |= odSelected;
        if (s & ODS_GRAYED) state |= odGrayed;
        if (s & ODS_DISABLED) state |= odDisabled;
        if (s & ODS_CHECKED) state |= odChecked;
        if (s & ODS_FOCUS) state |= odFocused;
        if (s & ODS_DEFAULT) state |= odDefault;
        if (s & ODS_HOTLIGHT) state |= odHotLight;
        if (s & ODS_INACTIVE) state |= odInactive;
        if (s & ODS_NOACCEL) state |= odNoAccel;
        if (s & ODS_NOFOCUSRECT) state |= odNoFocusRect;
        int saved = SaveDC(draw->hDC);
        TCanvas canvas;
        canvas.SetHandle(draw->hDC);
        SetMenuFont(&canvas, item);
        try {
            item->AdvancedDrawItem(&canvas, draw->rcItem, state, IsTopLevel(item));
        } catch (...) {
            canvas.SetHandle(nullptr);
            RestoreDC(draw->hDC, saved);
            throw;
        }
        canvas.SetHandle(nullptr);
        RestoreDC(draw->hDC, saved);
        message.Result = 1;
        return true;
    }
    }
    return false;
}

}  // namespace detail

}  // namespace vcl
