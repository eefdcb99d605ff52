// Controls: the windowed ones are real Win32 windows whose window procedure
// hands every message, as a TMessage, to the replaceable WindowProc; the
// graphic ones have no window and are painted by their parent.
#pragma once
#include "vcl/win.h"

#include <string>
#include <vector>

#include "vcl/classes.h"
#include "vcl/graphics.h"
#include "vcl/messages.h"

namespace vcl {

class TWinControl;
class TPopupMenu;
class TForm;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;
    const char* ClassName() const override { return "TControl"; }

    // The control's message handler; by default its own handling and then
    // the default window procedure. May be replaced and restored.
    TWndMethod WindowProc;
    // Hands a message to WindowProc at once; what the handler writes into
    // the record (LParam included) is seen by the caller.
    LRESULT Perform(TMessage& message);
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    TForm* ParentForm() const;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
    void SetTop(int value) { SetBounds(left_, value, width_, height_); }
    void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
    void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    virtual int ClientWidth() const { return width_; }
    virtual int ClientHeight() const { return height_; }
    virtual void SetClientSize(int width, int height) { SetBounds(left_, top_, width, height); }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign value);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors value) { anchors_ = value; }

    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to the form visible too.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);

    TColor Color() const { return color_; }
    void SetColor(TColor value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TFont* Font() { return &font_; }
    const TFont* Font() const { return &font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);

    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& value) { SetText(value); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string& value);

    const std::string& Hint() const { return hint_; }
    virtual void SetHint(const std::string& value) { hint_ = value; }
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }

    virtual void Invalidate();
    // Invalidate and paint at once.
    virtual void Repaint();
    virtual void BringToFront();

    // Runs the click event (also when called from code).
    virtual void Click();
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

    // Screen point of a client point and back.
    POINT ClientToScreen(POINT point) const;
    POINT ScreenToClient(POINT point) const;

protected:
    virtual void WndProc(TMessage& message);
    virtual void DefaultHandler(TMessage& message);
    virtual std::string GetText() const;
    virtual void VisibleChanged();
    virtual void EnabledChanged();
    virtual void ColorChanged();
    virtual void FontChanged();
    // The colour a control takes when it follows its parent.
    bool DoesFollowParentColor() const { return parentColor_; }
    void InheritParentColor();
    void InheritParentFont();
    // Left/top/width/height as the window reports them, without moving it.
    void UpdateBoundsFields(int left, int top, int width, int height);
    void RequestAlign();

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::string text_;  // the caption of a control that has no window

private:
    friend class TWinControl;
    TAlign align_ = alNone;
    TAnchors anchors_ = akLeft | akTop;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    bool parentFont_ = true;
    bool inheriting_ = false;
    TFont font_;
    std::string hint_;
    TPopupMenu* popupMenu_ = nullptr;
};

// What a windowed control's window is made of.
struct TCreateParams {
    std::u16string WindowClass;  // an existing class, or one the layer registers
    bool OwnClass = false;       // register WindowClass with the layer's procedure
    DWORD Style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD ExStyle = 0;
    UINT ClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    const char* ClassName() const override { return "TWinControl"; }

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // The control behind a window of this program, nullptr for other windows.
    static TWinControl* FromHandle(HWND window);
    // Binds a window of the layer's own class to its control while it is being created.
    void AttachWindow(HWND window, WNDPROC defaultProcedure);

    void SetParent(TWinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientSize(int width, int height) override;
    bool Showing() const override { return showing_; }

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const;
    // The child control (windowed or not) at a client point, nullptr when none.
    TControl* ControlAtPos(POINT point) const;

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    bool Focused() const;
    bool CanFocus() const;
    virtual void SetFocus();

    void Invalidate() override;
    void Repaint() override;
    void BringToFront() override;
    void SetHint(const std::string& value) override;

    // Lays out the aligned children again.
    void Realign();
    // Sends a component notification to every child control.
    void Broadcast(TMessage& message);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    // Called by the constructor of each concrete class.
    void CreateHandle();
    virtual void CreateParams(TCreateParams& params);
    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    std::string GetText() const override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void ColorChanged() override;
    void FontChanged() override;
    void BeforeDestruction() override;
    // Paints the window content of a control that draws itself.
    virtual void PaintWindow(HDC dc);
    virtual bool PaintsItself() const { return false; }
    // The brush that fills the background (CN_CTLCOLOR answers and erasing).
    HBRUSH BackgroundBrush();
    virtual void UpdateShowing();
    virtual bool IsTopLevel() const { return false; }
    // Called after the client area changed size.
    virtual void Resized();
    void DestroyHandle();
    void SetStyleBits(DWORD set, DWORD clear);

    HWND handle_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    bool showing_ = false;

private:
    friend class TControl;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void AlignControls();
    void PaintHandler(TMessage& message);
    void PaintControls(HDC dc);
    void ReflectToChild(TMessage& message, HWND child);
    void HandleKeyNotification(TMessage& message);

    std::vector<TControl*> controls_;
    bool tabStop_ = false;
    HBRUSH brush_ = nullptr;
    TColor brushColor_ = 0;
    int lastClientWidth_ = -1, lastClientHeight_ = -1;
    bool aligning_ = false;
};

// A control without a window, painted by its parent.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
    const char* ClassName() const override { return "TGraphicControl"; }
    // Paints the control into its parent's device context at its position.
    virtual void Paint(HDC dc) = 0;

protected:
    void WndProc(TMessage& message) override;
};

// A windowed control of the layer's own window class that paints itself.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner) : TWinControl(owner) {}
    const char* ClassName() const override { return "TCustomControl"; }

protected:
    bool PaintsItself() const override { return true; }
};

// The window under which controls without a parent keep their windows.
HWND ParkingWindow();
// The control that has the keyboard focus, nullptr when none of ours.
TWinControl* FindControl(HWND window);

namespace detail {
// The current mouse control changes: CM_MOUSELEAVE to the old, CM_MOUSEENTER to the new.
void SetMouseControl(TControl* control);
void ForgetControl(TControl* control);
// Reports an exception that escaped a handler.
void HandleException();
}  // namespace detail

}  // namespace vcl
