// Skinned menus: the menu painter that every skin manager makes. It turns
// the menus of our forms into owner-drawn ones and installs its own
// handlers on their items: popup items are measured and painted from the
// skin (the MENUITEM background, check mark, glyph, caption, shortcut,
// disabled look), the popup's frame is rendered once per menu into a
// border cache shared by all menus and copied around each item, and the
// popup window is cut to the frame's shape. Items of a form's menu line
// are painted into the line of the form's skin provider.
//
// Where the system puts a popup's items: Windows gives a popup window a
// 3-pixel non-client frame and puts the items at the client's origin; Wine
// has no non-client frame and keeps a 3-pixel margin inside the client
// area, the items starting at (3, 3). The border cache is always the size
// of the whole window, so a point of the client area lies in it at the
// client area's offset in the window, which each system reports: (3, 3)
// on Windows, (0, 0) on Wine.
#pragma once
#include "vcl/win.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/geometry.h"
#include "skin/windows/layout/menumeasure.h"
#include "vcl/menus.h"
#include "vcl/stdctrls.h"

namespace skin {

class TsSkinManager;

// Posted to the application window when an item could not find its popup
// window (LParam: the item); sent with the popup window in LParam.
constexpr UINT kPopupItemShown = 0xBCB3;
constexpr UINT kPopupWindowShown = 0xBCB4;

using TsMenuManagerDrawItemEvent = std::function<void(vcl::TObject* Sender, vcl::TCanvas* ACanvas, RECT ARect,
                                                      vcl::TOwnerDrawState State, TsMenuItemType ItemType)>;

class TsSkinableMenus : public vcl::TObject {
public:
    explicit TsSkinableMenus(TsSkinManager* owner);
    ~TsSkinableMenus() override;
    TsSkinableMenus(const TsSkinableMenus&) = delete;
    TsSkinableMenus& operator=(const TsSkinableMenus&) = delete;
    const char* ClassName() const override { return "TsSkinableMenus"; }

    vcl::TAlignment Alignment = vcl::taLeftJustify;  // of popup captions
    int BevelWidth = 0;                              // kept, never painted
    int BorderWidth = 3;                             // the popup frame around the items
    vcl::TFont* CaptionFont() { return captionFont_.get(); }
    // The frame width of the skin's MAINMENU border; -1 looks it up again.
    int SkinBorderWidth();
    void SetSkinBorderWidth(int value) { skinBorderWidth_ = value; }
    int Margin = 2;
    int Spacing = 6;  // between the glyph column and the caption
    // After an item was painted, on its picture.
    TsMenuManagerDrawItemEvent OnDrawItem;

    // Our handlers are on the menus.
    bool Active = false;

    // On or off with the manager's skin.
    void UpdateMenus();
    // Every menu of the application hooked or given back (when Value changes).
    void SetMenusActive(bool value);
    // The same walk without the check (a form's provider asks for it).
    void HookAllMenus(bool value);
    void HookMainMenu(vcl::TMainMenu* menu, bool value);
    void HookPopupMenu(vcl::TPopupMenu* menu, bool value);
    void HookItemTree(vcl::TMenuItem* item, bool value);
    // One item that a form measures (its menu's OwnerDraw follows Value).
    void HookMenuItem(vcl::TMenuItem* item, bool value);
    // A main menu, a popup menu or a lone item, by what it is.
    void HookComponent(vcl::TComponent* component, bool value);

    // The handlers installed on the items.
    void MeasureMenuItem(vcl::TObject* sender, vcl::TCanvas* canvas, int& width, int& height);
    void DrawMenuItem(vcl::TObject* sender, vcl::TCanvas* canvas, RECT rect, vcl::TOwnerDrawState state);
    void MeasureMenuLineItem(vcl::TObject* sender, vcl::TCanvas* canvas, int& width, int& height);
    void DrawMenuLineItem(vcl::TObject* sender, vcl::TCanvas* canvas, RECT rect, vcl::TOwnerDrawState state);

    // The border cache of the menu of FirstItem, Width x Height (the
    // window's size), made once per menu; the window's region with it.
    void PaintMenuBorder(vcl::TMenuItem* firstItem, int width, int height, HWND window);
    // The popup window cut to the frame's shape, its procedure ours.
    void SetPopupMenuRgn(HWND window, vcl::TBitmap* bmp);
    // The application window's part: a popup shown (kPopupItemShown,
    // kPopupWindowShown) gets its region.
    void PopupMenuShown(vcl::TMessage& message);
    // The width of the extra line in the menu being shown (0 without one).
    int ExtraLineSpace() const;

    // Whether the handler is one of this painter's.
    bool IsOwnMeasure(const vcl::TMenuMeasureItemEvent& handler) const;
    bool IsOwnDraw(const vcl::TAdvancedMenuDrawItemEvent& handler) const;

private:
    int ItemHeight(vcl::TMenuItem* item, vcl::TCanvas* canvas);
    void SetItemFont(vcl::TMenuItem* item, vcl::TCanvas* canvas);
    TPoint GlyphSize(vcl::TMenuItem* item, bool lineItem) const;
    bool IsAfterBreak(vcl::TMenuItem* item) const;
    void FetchExtraLineData(vcl::TMenuItem* firstItem);
    void PaintExtraLine(vcl::TBitmap* cache);
    void DrawDivider(vcl::TMenuItem* item, vcl::TCanvas* canvas, const RECT& rect, TPoint offset);
    void DrawCaptionItem(vcl::TMenuItem* item, vcl::TCanvas* canvas, const RECT& rect, TPoint offset);
    void InstallPopupHandlers(vcl::TMenuItem* item, bool value);

    TsSkinManager* manager_;
    std::unique_ptr<vcl::TFont> captionFont_;
    int skinBorderWidth_ = 0;
    std::vector<TRect> borderRects_;  // see-through parts of the border mask
    bool settingRgn_ = false;
};

// The popup windows' procedure over the system's.
LRESULT CALLBACK PopupMenuWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// The menu being drawn is forgotten: the border cache goes, the extra
// line is fetched again for the next menu.
void ResetMenuCache();
// The border cache of the menu being shown, nullptr when none.
vcl::TBitmap* MenuBorderCache();

}  // namespace skin
