// Main and popup menus built from items. Every Win32 item carries its
// TMenuItem as item data, so a menu handle and a position lead back to the
// item. Changes of an item's look are made in place; a change of the
// structure (items added, removed, shown or hidden) rebuilds the menu.
#pragma once
#include "vcl/win.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vcl/classes.h"
#include "vcl/graphics.h"
#include "vcl/messages.h"

namespace vcl {

class TForm;
class TMenu;
class TImageList;

// A key with its modifiers: the virtual key in the low byte.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut ShortCut(WORD key, TShortCut modifiers) { return static_cast<TShortCut>(key | modifiers); }
// "Ctrl+S", "Alt+F4", "" for none.
std::string ShortCutToText(TShortCut shortCut);

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };

enum TOwnerDrawStateFlag : unsigned {
    odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8, odFocused = 16, odDefault = 32,
    odHotLight = 64, odInactive = 128, odNoAccel = 256, odNoFocusRect = 512,
};
using TOwnerDrawState = unsigned;

using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, RECT ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, RECT ARect, TOwnerDrawState State)>;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;
    const char* ClassName() const override { return "TMenuItem"; }

    // "-" makes a separator.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool Checked() const { return checked_; }
    // Checking a radio item unchecks the radio items of its group beside it.
    void SetChecked(bool value);
    bool IsLine() const { return caption_ == "-"; }
    // Shown with a round mark when checked.
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool value);
    // Drawn bold; what a double click on the owner would choose.
    bool Default() const { return default_; }
    void SetDefault(bool value);
    // Starts a new column (with a bar for mbBarBreak).
    TMenuBreak Break() const { return break_; }
    void SetBreak(TMenuBreak value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value) { groupIndex_ = value; }
    // Shown after the caption; chooses the item from the keyboard.
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut value);
    // The item's glyph: its own bitmap, else image ImageIndex of its menu's Images.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    TBitmap* Bitmap();
    bool HasBitmap() const { return bitmap_ && !bitmap_->Empty(); }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;
    TMenuItem* Parent() const { return parent_; }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    int IndexOf(const TMenuItem* item) const;
    int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
    // The menu the item belongs to, nullptr while it belongs to none.
    TMenu* GetParentMenu() const;
    // The Win32 menu of the item's sub-items (nullptr when not built or none).
    HMENU Handle() const { return subHandle_; }

    // Runs the click event (also when called from code).
    virtual void Click();
    TNotifyEvent OnClick;
    // Owner-drawn items (their menu's OwnerDraw): the size and the picture.
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

    UINT Command() const { return command_; }
    static TMenuItem* FromCommand(UINT command);
    // The item at a position of a Win32 menu built by this layer, nullptr for others.
    static TMenuItem* FromMenuPosition(HMENU menu, int position);

    // What WM_MEASUREITEM and WM_DRAWITEM do for an owner-drawn item.
    void MeasureItem(TCanvas* canvas, int& width, int& height);
    void AdvancedDrawItem(TCanvas* canvas, RECT rect, TOwnerDrawState state, bool topLevel);
    // The layer's own picture of an owner-drawn item.
    void DefaultDraw(TCanvas* canvas, RECT rect, TOwnerDrawState state, bool topLevel);

private:
    friend class TMenu;
    // A change of the structure: the menu is built again.
    void Changed();
    // A change of how the item looks: its Win32 item is updated where it is.
    void Updated();
    std::string ShownText() const;
    void UncheckGroup();

    std::string caption_;
    bool visible_ = true;
    bool enabled_ = true;
    bool checked_ = false;
    bool radioItem_ = false;
    bool default_ = false;
    TMenuBreak break_ = mbNone;
    int groupIndex_ = 0;
    TShortCut shortCut_ = 0;
    int imageIndex_ = -1;
    std::unique_ptr<TBitmap> bitmap_;
    UINT command_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on a menu's root item
    std::vector<TMenuItem*> items_;
    HMENU ownerHandle_ = nullptr;  // the Win32 menu that holds this item
    HMENU subHandle_ = nullptr;    // the Win32 menu of its sub-items
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    const char* ClassName() const override { return "TMenu"; }

    // The invisible root whose sub-items are the menu's items.
    TMenuItem* Items() const { return items_; }
    HMENU Handle() const { return handle_; }
    // Every item is drawn by the program (OnMeasureItem, OnAdvancedDrawItem
    // or the layer's own drawing) instead of the system.
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool value);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* value);
    // The item that the key chooses, nullptr when none.
    TMenuItem* FindShortCut(TShortCut shortCut) const;

protected:
    friend class TMenuItem;
    virtual void Rebuild() = 0;
    // Told after an item changed in place (the menu line is drawn again).
    virtual void ItemUpdated(TMenuItem* item) {}
    void Notification(TComponent* component, TOperation operation) override;
    HMENU Build(bool popup);
    void FreeHandle();

    TMenuItem* items_;
    HMENU handle_ = nullptr;
    bool ownerDraw_ = false;
    TImageList* images_ = nullptr;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
    ~TMainMenu() override;
    const char* ClassName() const override { return "TMainMenu"; }

    // Called by the form whose menu this is.
    void AttachForm(TForm* form);
    void DetachForm(TForm* form);

protected:
    void Rebuild() override;
    void ItemUpdated(TMenuItem* item) override;

private:
    TForm* form_ = nullptr;
};

// How a popup menu unfolds; maNone shows it at once.
enum TMenuAnimationFlag : unsigned { maLeftToRight = 1, maRightToLeft = 2, maTopToBottom = 4, maBottomToTop = 8, maNone = 16 };
using TMenuAnimation = unsigned;

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
    const char* ClassName() const override { return "TPopupMenu"; }

    // Shows the menu at a screen point. The chosen item's command comes to
    // the form of the popup component (else the active form, else the
    // application) as WM_COMMAND, which runs its click.
    void Popup(int x, int y);
    TMenuAnimation MenuAnimation = 0;
    TObject* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TObject* component) { popupComponent_ = component; }
    TNotifyEvent OnPopup;

protected:
    void Rebuild() override {}

private:
    TObject* popupComponent_ = nullptr;
};

namespace detail {
// WM_COMMAND of a menu item, WM_MEASUREITEM and WM_DRAWITEM of an
// owner-drawn item: handled for any window that receives them.
bool MenuMessage(TMessage& message);
}  // namespace detail

}  // namespace vcl
