// Controls: the windowed ones are real Win32 windows whose window procedure
// hands every message, as a TMessage, to the replaceable WindowProc; the
// graphic ones have no window and are painted by their parent.
#pragma once
#include "vcl/win.h"

#include <functional>
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

// The frame of a form; panels and scroll boxes take bsNone or bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;

// What a control is (ControlStyle).
enum TControlStyleFlag : unsigned {
    csAcceptsControls = 1,     // other controls may be placed on it
    csOpaque = 2,              // paints every pixel of its rectangle: nothing is drawn beneath it
    csParentBackground = 4,    // shows its parent's picture as its background
};
using TControlStyle = unsigned;

// What a control is doing (ControlState).
enum TControlStateFlag : unsigned {
    csCreating = 1,    // its window is being made
    csPaintCopy = 2,   // it paints into a picture (PaintTo), not onto the screen
};
using TControlState = unsigned;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// Limits of a control's size; 0 is no limit.
struct TSizeConstraints {
    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
    // The width or height kept within the limits.
    int Width(int width) const;
    int Height(int height) const;
};

// One replacement of a control's WindowProc; passes a message on with
// TControl::CallPreviousWindowProc.
using TWindowProcToken = int;

class TControlCanvas;

// A property set to a value the control cannot take in its state.
class EInvalidOperation : public rtl::ERuntimeError {
public:
    using rtl::ERuntimeError::ERuntimeError;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;
    const char* ClassName() const override { return "TControl"; }

    // The control's message handler; by default its own handling and then
    // the default window procedure. May be replaced and restored.
    TWndMethod WindowProc;
    // Replacements that know themselves: each goes on top of the others and
    // passes messages on with CallPreviousWindowProc; any of them may be
    // taken out in any order without dropping the rest.
    TWindowProcToken ReplaceWindowProc(TWndMethod method);
    void RestoreWindowProc(TWindowProcToken token);
    // True when this replacement is the first to see every message.
    bool WindowProcOnTop(TWindowProcToken token) const;
    void CallPreviousWindowProc(TWindowProcToken token, TMessage& message);

    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState value) { controlState_ = value; }

    // Properties read and written by name, for code that adapts controls it
    // does not know: false (nullptr) when the control has none of that name.
    // Ordinal properties: colours, flags, numbers; set properties as text
    // ("akLeft,akTop").
    virtual bool GetOrdProp(const std::string& name, int64_t& value) const;
    virtual bool SetOrdProp(const std::string& name, int64_t value);
    virtual TObject* GetObjectProp(const std::string& name);
    virtual bool GetSetProp(const std::string& name, std::string& value) const;
    virtual bool SetSetProp(const std::string& name, const std::string& value);
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

    // Limits that SetBounds and the user's resizing keep to.
    TSizeConstraints& Constraints() { return constraints_; }
    const TSizeConstraints& Constraints() const { return constraints_; }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign value);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors value) { anchors_ = value; }

    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    // A form also comes to the front.
    virtual void Show() { SetVisible(true); }
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
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

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
    // The mouse events of a client-area mouse message; true when it was one.
    bool MouseEvent(const TMessage& message);

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
    TControlStyle controlStyle_ = 0;
    TSizeConstraints constraints_;
    TControlState controlState_ = 0;
    struct ProcEntry {
        TWindowProcToken token;
        TWndMethod method;
    };
    struct ChainDispatch;
    std::vector<ProcEntry> procChain_;
    TWndMethod procBase_;  // what WindowProc was when the first replacement came
    TWindowProcToken nextProcToken_ = 1;
};

// What a windowed control's window is made of.
struct TCreateParams {
    std::u16string WindowClass;  // an existing class, or one the layer registers
    bool OwnClass = false;       // register WindowClass with the layer's procedure
    DWORD Style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD ExStyle = 0;
    UINT ClassStyle = CS_DBLCLKS;
    HWND MDIClient = nullptr;    // an MDI child: made by this MDI client window
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

    // Shows the parent's picture behind it (csParentBackground).
    bool ParentBackground() const { return (ControlStyle() & csParentBackground) != 0; }
    void SetParentBackground(bool value);

    // Draws the control as the screen shows it into `dc` with its top left
    // at (x, y): the frame of a child window included, a form's client area
    // only; child windows over it. The control is marked csPaintCopy meanwhile.
    void PaintTo(HDC dc, int x, int y);
    void PaintTo(TCanvas* canvas, int x, int y);

    bool GetOrdProp(const std::string& name, int64_t& value) const override;
    bool SetOrdProp(const std::string& name, int64_t value) override;

    // Moves every child by (dx, dy) and scrolls what the window shows with them.
    void ScrollBy(int dx, int dy);

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
    // The canvas that PaintWindow's context is lent to, when the control has one.
    virtual TCanvas* PaintCanvas() { return nullptr; }
    // The brush that fills the background (CN_CTLCOLOR answers and erasing).
    HBRUSH BackgroundBrush();
    virtual void UpdateShowing();
    virtual bool IsTopLevel() const { return false; }
    // Called after the client area changed size.
    virtual void Resized();
    void DestroyHandle();
    void SetStyleBits(DWORD set, DWORD clear);
    // The same for the extended style; the frame is measured and drawn again.
    void SetExStyleBits(DWORD set, DWORD clear);

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
    void EraseBackground(HDC dc);
    void PrintHandler(TMessage& message);
    void ReflectToChild(TMessage& message, HWND child);
    void HandleKeyNotification(TMessage& message);

    std::vector<TControl*> controls_;
    bool tabStop_ = false;
    HBRUSH brush_ = nullptr;
    TColor brushColor_ = 0;
    int lastClientWidth_ = -1, lastClientHeight_ = -1;
    bool aligning_ = false;
};

// The canvas of a control: while the control paints, the context it paints
// on; asked for at other times, a context of the control's window, let go
// when the message that asked for it has been handled.
class TControlCanvas : public TCanvas {
public:
    explicit TControlCanvas(TControl* control) : control_(control) {}
    ~TControlCanvas() override { FreeHandle(); }
    const char* ClassName() const override { return "TControlCanvas"; }
    TControl* Control() const { return control_; }
    // Lets go of a context the canvas fetched itself.
    void FreeHandle();

protected:
    void CreateHandle() override;

private:
    TControl* control_;
    HWND window_ = nullptr;
};

// A control without a window, painted by its parent.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    const char* ClassName() const override { return "TGraphicControl"; }
    // Paints the control into its parent's device context at its position.
    virtual void Paint(HDC dc) = 0;
    // While Paint runs, the context it paints on.
    TCanvas* Canvas() { return canvas_; }

protected:
    void WndProc(TMessage& message) override;
    // Asks the parent to paint the control's rectangle, unless an earlier
    // request still waits: `pending` is set while it waits, and the
    // control's Paint clears it. For controls that change many times
    // between two paints.
    void InvalidateOnce(bool& pending);

private:
    friend class TWinControl;
    TControlCanvas* canvas_;
};

// A windowed control of the layer's own window class that paints itself.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    const char* ClassName() const override { return "TCustomControl"; }
    TCanvas* Canvas() { return canvas_; }

protected:
    bool PaintsItself() const override { return true; }
    TCanvas* PaintCanvas() override { return canvas_; }

private:
    TControlCanvas* canvas_;
};

// Subclassing of a window procedure (GWLP_WNDPROC) that several parties
// share: each procedure goes on top of the window's chain, passes messages
// on with CallPreviousSubclass, and may be taken out in any order without
// dropping the others. The chain goes when the window is destroyed.
using TSubclassProc = std::function<LRESULT(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)>;
TWindowProcToken SubclassWindow(HWND window, TSubclassProc procedure);
void RemoveSubclass(HWND window, TWindowProcToken token);
bool SubclassOnTop(HWND window, TWindowProcToken token);
LRESULT CallPreviousSubclass(HWND window, TWindowProcToken token, UINT msg, WPARAM wParam, LPARAM lParam);

// Answers WM_PRINT for any window: its frame (edges and scroll bars), its
// background and client area (WM_ERASEBKGND, WM_PRINTCLIENT) and its child
// windows, as the flags ask.
void PrintWindowInto(HWND window, HDC dc, UINT flags);
// The visible child windows of a window, each printed at its place in the
// window's client area.
void PrintChildWindows(HWND window, HDC dc, UINT flags);

// The window under which controls without a parent keep their windows.
HWND ParkingWindow();
// The control that has the keyboard focus, nullptr when none of ours.
TWinControl* FindControl(HWND window);

namespace detail {
// Canvases holding a window context until the current message is handled.
void HoldCanvas(TControlCanvas* canvas);
void ForgetCanvas(TControlCanvas* canvas);
void FreeHeldCanvases();
// The current mouse control changes: CM_MOUSELEAVE to the old, CM_MOUSEENTER to the new.
void SetMouseControl(TControl* control);
void ForgetControl(TControl* control);
// Reports an exception that escaped a handler.
void HandleException();
}  // namespace detail

}  // namespace vcl
