// Main and popup menus built from items; each change rebuilds the Win32 menu.
#pragma once
#include "vcl/win.h"

#include <string>
#include <vector>

#include "vcl/classes.h"

namespace vcl {

class TForm;
class TMenu;

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
    void SetChecked(bool value);
    bool IsLine() const { return caption_ == "-"; }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;
    TMenuItem* Parent() const { return parent_; }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    int IndexOf(const TMenuItem* item) const;

    // Runs the click event (also when called from code).
    virtual void Click();
    TNotifyEvent OnClick;

    UINT Command() const { return command_; }
    static TMenuItem* FromCommand(UINT command);

private:
    friend class TMenu;
    void Changed();
    TMenu* RootMenu() const;

    std::string caption_;
    bool visible_ = true;
    bool enabled_ = true;
    bool checked_ = false;
    UINT command_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on a menu's root item
    std::vector<TMenuItem*> items_;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    const char* ClassName() const override { return "TMenu"; }

    // The invisible root whose sub-items are the menu's items.
    TMenuItem* Items() const { return items_; }
    HMENU Handle() const { return handle_; }

protected:
    friend class TMenuItem;
    virtual void Rebuild() = 0;
    HMENU Build(bool popup) const;
    void FreeHandle();

    TMenuItem* items_;
    HMENU handle_ = nullptr;
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

private:
    TForm* form_ = nullptr;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
    const char* ClassName() const override { return "TPopupMenu"; }

    // Shows the menu at a screen point and runs the chosen item's click.
    void Popup(int x, int y);
    TObject* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TObject* component) { popupComponent_ = component; }

protected:
    void Rebuild() override {}

private:
    TObject* popupComponent_ = nullptr;
};

}  // namespace vcl
