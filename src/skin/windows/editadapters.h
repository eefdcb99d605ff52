// Adapters of windows whose client area the control paints itself: edits,
// memos, list boxes, grids, tree and list views, combo boxes and their
// drop-down lists. The adapter gives the control the colours of its skin
// section, draws the section's border in the non-client area over the
// parent's picture (never the system's edge) and paints skinned scroll bars.
//
// Every window's frame is rendered into the skin data's cache (its section
// over the parent's picture, the border's clear corners showing the
// parent) and the ring the window's own border takes is copied from there.
#pragma once
#include "vcl/win.h"

#include <memory>
#include <string>
#include <vector>

#include "skin/windows/scrollbaradapter.h"

namespace skin {

// Where an adapted window lies when it paints: its place in its parent's
// client area, which is where the parent's picture behind it starts.
struct TWindowPlace {
    HWND ParentWnd = nullptr;
    TPoint WndPos;    // the window's top-left in the parent's client area
    TRect ParentRect; // the parent's client area in screen coordinates
};
// Fills the adapter's WndRect and WndSize and answers its place.
TWindowPlace GetWindowOffsets(TacMainWnd* adapter);

// The colour behind a window: its parent's answer to AC_QUERYBGCOLOR, else
// the parent control's colour, else the dialog face colour.
TColor ParentBackgroundColor(HWND window);

// The border's clear corners in the data's cache show what lies behind the
// window (the parent's picture there, else its colour), in State.
void PaintBorderFast(TsCommonData* data, HWND window, int state = 0);

// The root of the edit-like adapters.
class TacBaseWnd : public TacScrollWnd {
public:
    using TacScrollWnd::TacScrollWnd;
    const char* ClassName() const override { return "TacBaseWnd"; }
    void AdapterWndProc(vcl::TMessage& message) override;

protected:
    // Skinned now: a live manager with the skin sent and a section in it.
    bool Skinned() const;
    // The window's own message handling below the base one: what descendants call
    // after their own cases.
    void BaseHandling(vcl::TMessage& message);
};

class TacEditWnd : public TacBaseWnd {
public:
    TacEditWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager, const std::string& section,
               bool repaint = true);
    ~TacEditWnd() override;
    const char* ClassName() const override { return "TacEditWnd"; }

    TColor SavedColor = vcl::clWindow;
    TColor SavedFontColor = vcl::clWindowText;
    bool SavedParams = false;
    // The colour of a window without a control of ours behind it.
    TColor PlainColor = vcl::clWindow;
    // A brush of PlainColor for whoever answers the window's WM_CTLCOLOR*.
    HBRUSH PlainBrush();

    void SaveCtrlParams() override;
    void RestoreCtrlParams() override;
    void SetSkinParams() override;
    void AdapterWndProc(vcl::TMessage& message) override;

    // The frame (and the bars) into the device context of the whole window.
    void PaintFrame(HDC windowDC);

protected:
    void TakeOver(bool repaint) override;
    // The cache brought up to date for the frame.
    void PrepareFrame();
    // What the edit adapter does after a message went through.
    void AfterEditMessage(UINT msg);
    void PrintWindow(HDC dc, UINT flags);
    bool dying_ = false;

private:
    HBRUSH brush_ = nullptr;
    TColor brushColor_ = clFuchsia;
};

// The drop-down list of a combo box (the system's "ComboLBox" window).
class TacComboBoxWnd;
class TacComboListWnd : public TacEditWnd {
public:
    TacComboListWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager, const std::string& section,
                    bool repaint, TacComboBoxWnd* combo);
    const char* ClassName() const override { return "TacComboListWnd"; }
    TacComboBoxWnd* Combo;
    bool ReleaseOnUp = true;  // a release of the button ends the capture
    bool Tracking = false;    // the list tracks the mouse (its own selection drag)
    void AdapterWndProc(vcl::TMessage& message) override;
};

class TacComboBoxWnd : public TacEditWnd {
public:
    using TacEditWnd::TacEditWnd;
    ~TacComboBoxWnd() override;
    const char* ClassName() const override { return "TacComboBoxWnd"; }
    // The drop-down list's adapter, made at the first WM_CTLCOLORLISTBOX.
    std::unique_ptr<TacComboListWnd> ListAdapter;
    HWND ListWindow = nullptr;
    int ButtonState = 0;  // 0 normal, 1 hot, 2 pressed

    // The drop-down button in window coordinates (empty for a simple combo).
    virtual TRect ButtonRect();
    void AdapterWndProc(vcl::TMessage& message) override;

protected:
    void PaintCombo(HDC dc);
    void PaintButton(HDC dc);
};

// A combo of the data-aware family: its button shows only while the control says so.
class TacWWComboBoxWnd : public TacComboBoxWnd {
public:
    using TacComboBoxWnd::TacComboBoxWnd;
    const char* ClassName() const override { return "TacWWComboBoxWnd"; }
    TRect ButtonRect() override;
};

class TacListViewWnd : public TacEditWnd {
public:
    TacListViewWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager, const std::string& section,
                   bool repaint = true);
    ~TacListViewWnd() override;
    const char* ClassName() const override { return "TacListViewWnd"; }
    HWND Header = nullptr;
    int HotItem = -1;
    int PressedItem = -1;
    void AdapterWndProc(vcl::TMessage& message) override;

private:
    LRESULT HeaderProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void PaintHeader(HDC dc);
    void ReleaseHeader();
    vcl::TWindowProcToken headerToken_ = 0;
};

// Grids: the edit's colours, and those the grid has by name.
class TacGridWnd : public TacEditWnd {
public:
    using TacEditWnd::TacEditWnd;
    ~TacGridWnd() override;
    const char* ClassName() const override { return "TacGridWnd"; }
    void SaveCtrlParams() override;
    void RestoreCtrlParams() override;
    void SetSkinParams() override;
    void AdapterWndProc(vcl::TMessage& message) override;

private:
    struct SavedProp {
        std::string Name;
        int64_t Value;
    };
    std::vector<SavedProp> savedProps_;
};

class TacGridEhWnd : public TacGridWnd {
public:
    using TacGridWnd::TacGridWnd;
    const char* ClassName() const override { return "TacGridEhWnd"; }
};

class TacTreeViewWnd : public TacEditWnd {
public:
    using TacEditWnd::TacEditWnd;
    ~TacTreeViewWnd() override;
    const char* ClassName() const override { return "TacTreeViewWnd"; }
    void SaveCtrlParams() override;
    void RestoreCtrlParams() override;
    void SetSkinParams() override;
    void AdapterWndProc(vcl::TMessage& message) override;

private:
    COLORREF savedBkColor_ = CLR_INVALID;  // the tree's own background (TVM_GETBKCOLOR)
    bool bkSaved_ = false;
};

// Virtual trees: the edit's look, and the thumb's track position taken as
// the scroll position at once (the tree scrolls by what the bar says).
class TacVirtualTreeViewWnd : public TacEditWnd {
public:
    using TacEditWnd::TacEditWnd;
    const char* ClassName() const override { return "TacVirtualTreeViewWnd"; }
    void AdapterWndProc(vcl::TMessage& message) override;
};

}  // namespace skin
