// A compact way for a window's source to declare its controls, one line
// each, in the order they are made:
//   Button1 = Declare<TButton>(this, "Button1").Bounds(8, 8, 75, 25)
//                 .Caption("сохранить").OnClick(Bind(this, &TForm13::Button1Click));
// The control is owned by the parent's form and placed on `parent`.
#pragma once
#include "vcl/win.h"

#include <functional>
#include <string>
#include <utility>

#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/timers.h"

namespace vcl {

template <class T>
class Decl {
public:
    Decl(TWinControl* parent, const std::string& name) {
        TComponent* owner = parent->ParentForm();
        control_ = new T(owner ? owner : static_cast<TComponent*>(parent));
        control_->SetName(name);
        control_->SetParent(parent);
    }

    Decl& Bounds(int left, int top, int width, int height) {
        control_->SetBounds(left, top, width, height);
        return *this;
    }
    Decl& Caption(const std::string& text) {
        control_->SetCaption(text);
        return *this;
    }
    Decl& Text(const std::string& text) {
        control_->SetText(text);
        return *this;
    }
    Decl& Hint(const std::string& text) {
        control_->SetHint(text);
        return *this;
    }
    Decl& Visible(bool value) {
        control_->SetVisible(value);
        return *this;
    }
    Decl& Enabled(bool value) {
        control_->SetEnabled(value);
        return *this;
    }
    Decl& Align(TAlign value) {
        control_->SetAlign(value);
        return *this;
    }
    Decl& Anchors(TAnchors value) {
        control_->SetAnchors(value);
        return *this;
    }
    Decl& Color(TColor value) {
        control_->SetColor(value);
        return *this;
    }
    Decl& FontColor(TColor value) {
        control_->Font()->SetColor(value);
        return *this;
    }
    Decl& Popup(TPopupMenu* menu) {
        control_->SetPopupMenu(menu);
        return *this;
    }
    // Items of a list, a radio group or a memo.
    Decl& Items(std::initializer_list<const char*> items) {
        if constexpr (requires(T* c) { c->Items(); }) {
            for (const char* item : items) control_->Items()->Add(item);
        } else {
            for (const char* item : items) control_->Lines()->Add(item);
        }
        return *this;
    }
    Decl& OnClick(TNotifyEvent handler) {
        control_->OnClick = std::move(handler);
        return *this;
    }
    Decl& OnChange(TNotifyEvent handler) {
        control_->OnChange = std::move(handler);
        return *this;
    }
    // Anything else the control offers.
    Decl& With(const std::function<void(T*)>& setup) {
        setup(control_);
        return *this;
    }

    operator T*() const { return control_; }
    T* operator->() const { return control_; }

private:
    T* control_;
};

template <class T>
Decl<T> Declare(TWinControl* parent, const std::string& name) {
    return Decl<T>(parent, name);
}

// A menu item under `parent` (a menu's Items() or another item).
inline TMenuItem* DeclareMenuItem(TComponent* owner, TMenuItem* parent, const std::string& name,
                                  const std::string& caption, TNotifyEvent onClick = nullptr) {
    auto* item = new TMenuItem(owner);
    item->SetName(name);
    item->SetCaption(caption);
    item->OnClick = std::move(onClick);
    parent->Add(item);
    return item;
}

inline TTimer* DeclareTimer(TComponent* owner, const std::string& name, unsigned interval, bool enabled,
                            TNotifyEvent onTimer) {
    auto* timer = new TTimer(owner);
    timer->SetName(name);
    timer->SetEnabled(false);
    timer->SetInterval(interval);
    timer->OnTimer = std::move(onTimer);
    timer->SetEnabled(enabled);
    return timer;
}

}  // namespace vcl
