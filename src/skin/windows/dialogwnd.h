// The skinned dialog: the adapter that the window hook puts on a system
// dialog or message box ("#32770"). It draws the frame, title bar, icon,
// caption and title buttons from the skin into its cache and copies them to
// the window in four strips, answers the hit test for its buttons, runs
// them, paints the client area in the skin's "DIALOG" section and shows its
// own system menu (TacSystemMenu).
//
// The frame's arithmetic is the window-free one of layout/dialogframe.h.
// InitDialogFrame takes WS_SYSMENU off the window so that the system draws
// no buttons of its own; the adapter puts it back when it goes.
#pragma once
#include "vcl/win.h"

#include <functional>
#include <memory>
#include <string>

#include "skin/windows/layout/dialogframe.h"
#include "skin/windows/scrollbaradapter.h"
#include "vcl/menus.h"

namespace skin {

class TacDialogWnd;
class TacProvider;

// The dialog's own window menu: Restore, Move, Size, Minimize, Maximize
// and Close, each shown and enabled as the dialog's frame allows.
class TacSystemMenu : public vcl::TPopupMenu {
public:
    explicit TacSystemMenu(TacDialogWnd* dialog);
    const char* ClassName() const override { return "TacSystemMenu"; }
    void UpdateItems();
    // Whether a WM_COMMAND number is one of this menu's items.
    bool HasCommand(WPARAM command) const;

    TacDialogWnd* Dialog;
    vcl::TMenuItem* miRestore;
    vcl::TMenuItem* miMove;
    vcl::TMenuItem* miSize;
    vcl::TMenuItem* miMinimize;
    vcl::TMenuItem* miMaximize;
    vcl::TMenuItem* miClose;

private:
    vcl::TMenuItem* NewItem(const std::string& caption, const std::string& name, WPARAM command);
};

class TacDialogWnd : public TacScrollWnd {
public:
    TacDialogWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager, const std::string& section,
                 bool repaint = true);
    ~TacDialogWnd() override;
    const char* ClassName() const override { return "TacDialogWnd"; }

    unsigned Style = 0;    // as saved by InitDialogFrame
    unsigned ExStyle = 0;
    int BorderCode = 1;
    bool Active = true;
    bool ChildrenAdapted = false;
    bool FrameChanged = true;
    bool FrameReady = false;  // InitDialogFrame ran
    int ButtonState[4] = {0, 0, 0, 0};  // close, maximize, minimize, help: 0 normal, 1 hot, 2 pressed
    int PressedCode = 0;                 // the title button held down (0 none)
    std::unique_ptr<TacSystemMenu> SystemMenu;
    TacProvider* Provider = nullptr;
    // Walks the dialog's children again for adapters (new children appear).
    std::function<void()> AdaptChildren;

    // Style, border code, icon and caption font; the system's own title
    // buttons go (WS_SYSMENU off).
    void InitDialogFrame();
    // The frame as it stands now, for the layout rules.
    TDialogFrame Frame() const;
    TDialogSkinMasks Masks() const;
    static TFrameSystemMetrics SystemMetrics();
    // A dialog with a caption and WS_SYSMENU when the frame was set up.
    bool HasSysMenu() const;
    void AdapterWndProc(vcl::TMessage& message) override;
    // The frame rendered into the cache when needed and copied to the window.
    void PaintFrame(HDC windowDC = nullptr);
    void RepaintButton(int code);
    void ResetButtons(bool repaint);
    // The one brush WM_CTLCOLORDLG answers with, in the skin's colour now.
    HBRUSH DialogBrush();

protected:
    void WindowReleased() override;

private:
    void RenderFrame();
    void UpdateRegion();
    void EraseBackground(HDC dc);
    int HitTest(POINT screen) const;
    void ShowSystemMenu(int x, int y);
    void ButtonUp(vcl::TMessage& message);
    int& StateOf(int code);
    void GiveBackStyle();

    HICON icon_ = nullptr;
    std::unique_ptr<vcl::TBitmap> buttonsBack_;  // the cache behind the title buttons
    HBRUSH brush_ = nullptr;
    TColor brushColor_ = clFuchsia;
    bool sysMenuTaken_ = false;  // WS_SYSMENU was taken off the window
    bool regionSet_ = false;
    bool dying_ = false;  // the window is being destroyed
};

}  // namespace skin
