// Adapters of up-down arrows, size grips, tool bars, panels (of forms and of
// dialogs), the see-through pages of dialogs, and popup-menu windows. Each
// paints its window from the skin data's cache, rendered over the parent's
// picture.
#pragma once
#include "vcl/win.h"

#include <string>

#include "skin/windows/buttonadapters.h"
#include "skin/windows/scrollbaradapter.h"

namespace skin {

// Up-down arrows: two halves of SPEEDBUTTON_SMALL with the scroll arrows' glyphs.
class TacSpinWnd : public TacPaintedWnd {
public:
    using TacPaintedWnd::TacPaintedWnd;
    const char* ClassName() const override { return "TacSpinWnd"; }
    int LeftMargin = 0;  // columns at the left that are not drawn (a dialog's buddy edit overlaps them)
    bool Pressed = false;
    int UpState = 0;     // 0 normal, 1 hot, 2 pressed
    int DownState = 0;
    void AdapterWndProc(vcl::TMessage& message) override;

protected:
    void PaintInto(HDC dc) override;
};

// The size grip of a dialog: only the dialog's background shows there.
class TacSizerWnd : public TacPaintedWnd {
public:
    using TacPaintedWnd::TacPaintedWnd;
    const char* ClassName() const override { return "TacSizerWnd"; }
    void AdapterWndProc(vcl::TMessage& message) override;

protected:
    void PaintInto(HDC dc) override;
};

// Tool bars of the BAR section, every button a TOOLBUTTON item.
class TacToolBarWnd : public TacPaintedWnd {
public:
    using TacPaintedWnd::TacPaintedWnd;
    const char* ClassName() const override { return "TacToolBarWnd"; }
    int FrameWidth = 0;  // half of what the window's frame takes
    void AdapterWndProc(vcl::TMessage& message) override;

protected:
    void PaintInto(HDC dc) override;

private:
    void UpdateCache();
    void PaintButton(vcl::TBitmap* target, int index);
};

// A dialog's page that shows the dialog's skinned background through.
class TacTransPanelWnd : public TacPaintedWnd {
public:
    using TacPaintedWnd::TacPaintedWnd;
    const char* ClassName() const override { return "TacTransPanelWnd"; }
    void AdapterWndProc(vcl::TMessage& message) override;

protected:
    void PaintInto(HDC dc) override;
};

// Panels of our forms: the section their bevels choose.
class TacPanelWnd : public TacPaintedWnd {
public:
    TacPanelWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager, const std::string& section,
                bool repaint = true);
    ~TacPanelWnd() override;
    const char* ClassName() const override { return "TacPanelWnd"; }
    void RestoreCtrlParams() override;
    void AdapterWndProc(vcl::TMessage& message) override;

protected:
    void PaintInto(HDC dc) override;
    // The section over the parent's picture into the cache (and the caption).
    virtual void RenderCache();
    // The ring outside the client area from the cache.
    void PaintFrame(HDC windowDC);
};

// Panels inside hooked dialogs.
class TacDlgPanelWnd : public TacPanelWnd {
public:
    TacDlgPanelWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager, const std::string& section,
                   bool repaint = true);
    const char* ClassName() const override { return "TacDlgPanelWnd"; }
    vcl::TWinControl* Control = nullptr;  // the control of ours behind the window, when there is one
    void AdapterWndProc(vcl::TMessage& message) override;
};

// The window of a popup menu. Made while its window is being created (no
// frame change then) and freed by itself when its window is destroyed,
// after it gave the window's procedure back: use CreateMenuAdapter.
class TacMnuWnd : public TacScrollWnd {
public:
    TacMnuWnd(HWND window, TsSkinManager* skinManager);
    ~TacMnuWnd() override;
    const char* ClassName() const override { return "TacMnuWnd"; }
    bool Painting = false;  // the menu has its region and is being drawn
    // On while skinned menus draw their items (the menus switch it).
    static bool SkinnedMenus;
    // Popup-menu adapters alive (each frees itself with its window).
    static int LiveCount();
    void AdapterWndProc(vcl::TMessage& message) override;

private:
    // The section's background and border into the cache.
    void RenderFrame();
};

// The adapter of a popup menu's window, owned by itself; nullptr when the
// window has one already.
TacMnuWnd* CreateMenuAdapter(HWND window, TsSkinManager* manager);

}  // namespace skin
