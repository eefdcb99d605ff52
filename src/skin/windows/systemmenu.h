// What a skinned form brings of its own to its caption: the system menu it
// shows from its icon, from a right click on the caption and from
// Alt+Space, a caption icon of its choice and extra caption buttons.
#pragma once
#include "vcl/win.h"

#include <memory>
#include <string>
#include <vector>

#include "skin/core/geometry.h"
#include "vcl/controls.h"
#include "vcl/graphics.h"
#include "vcl/menus.h"

namespace skin {

class TsSkinProvider;

// One caption button: its state (-1 not drawn, 0 normal, 1 hot,
// 2 pressed), its picture in the skin's masks (-1 none) and where it lies
// (window coordinates).
struct TitleButtonRecord {
    int State = -1;
    int MaskIndex = -1;
    TRect Rect;
};

// A caption icon other than the form's: stretched into Width x Height (0
// follows the caption's height).
class TsTitleIcon : public vcl::TObject {
public:
    const char* ClassName() const override { return "TsTitleIcon"; }
    vcl::TBitmap* Glyph() { return &glyph_; }
    // Keeps a copy.
    void SetGlyph(const vcl::TBitmap& value) { glyph_.Assign(value); }
    int Height = 0;
    int Width = 0;

private:
    vcl::TBitmap glyph_;
};

class TsTitleButton : public vcl::TObject {
public:
    const char* ClassName() const override { return "TsTitleButton"; }
    bool Enabled = true;
    bool UseSkinData = true;
    std::string Name = "TsTitleButton";
    vcl::TBitmap* Glyph() { return &glyph_; }
    void SetGlyph(const vcl::TBitmap& value) { glyph_.Assign(value); }
    // Sender is the button; X and Y are screen coordinates.
    vcl::TMouseEvent OnMouseDown;
    vcl::TMouseEvent OnMouseUp;
    TitleButtonRecord Record;

private:
    vcl::TBitmap glyph_;
};

class TsTitleButtons : public vcl::TObject {
public:
    explicit TsTitleButtons(TsSkinProvider* provider) : provider_(provider) {}
    const char* ClassName() const override { return "TsTitleButtons"; }
    TsSkinProvider* Owner() const { return provider_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // nullptr outside 0..Count-1.
    TsTitleButton* Items(int index) const;
    TsTitleButton* Add();
    void Clear() { items_.clear(); }

private:
    TsSkinProvider* provider_;
    std::vector<std::unique_ptr<TsTitleButton>> items_;
};

// The form's window menu drawn by the skin: Restore, Move, Size, Minimize,
// Maximize and Close, each shown and enabled as the form's frame allows;
// with the provider's MakeSkinMenu, the skins to choose from on top.
class TsSystemMenu : public vcl::TPopupMenu {
public:
    explicit TsSystemMenu(TsSkinProvider* provider);
    const char* ClassName() const override { return "TsSystemMenu"; }

    // Shows and enables the six items as the form stands now.
    void UpdateSystemMenuItems();
    // The "Available skins" submenu rebuilt from the manager's skin list.
    void MakeSkinItems();

    TsSkinProvider* Provider;
    vcl::TMenuItem* ItemRestore;
    vcl::TMenuItem* ItemMove;
    vcl::TMenuItem* ItemSize;
    vcl::TMenuItem* ItemMinimize;
    vcl::TMenuItem* ItemMaximize;
    vcl::TMenuItem* ItemClose;

private:
    vcl::TMenuItem* NewItem(const std::string& caption, const std::string& name, vcl::TNotifyEvent onClick);
    void SendCommand(WPARAM command);
    void SkinItemClick(vcl::TObject* sender);
};

}  // namespace skin
