// Forms, the application object, the list of forms and message boxes.
#pragma once
#include "vcl/win.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "vcl/controls.h"

namespace vcl {

class TMainMenu;
class TButton;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;

using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

// A top-level window. Made with Application->CreateForm or NewForm, which
// run its creation event once every control declared by its constructor
// exists as a window.
class TForm : public TCustomControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;
    const char* ClassName() const override { return "TForm"; }

    // Ends the creation: loading state off, then OnCreate.
    void AfterConstruction();

    // Makes the form visible and brings it to the front as the active
    // window, also when it was visible already (behind other windows).
    void Show() override;
    void BringToFront() override;
    void Close();
    // Asks OnCloseQuery; true when the form may close.
    virtual bool CloseQuery();
    // Shows the form and runs a nested message loop until ModalResult is
    // set (or the application ends); returns it.
    TModalResult ShowModal();
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    bool Modal() const { return modal_; }
    bool Active() const;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons value);
    TFormStyle FormStyle() const { return formStyle_; }
    // fsMDIForm gives the form Win32's MDI client window; fsMDIChild makes
    // the window again inside the client of the program's MDI form (set it
    // before the form gets its controls).
    void SetFormStyle(TFormStyle value);
    // The MDI client window of an MDI form (nullptr for other forms).
    HWND ClientHandle() const { return clientHandle_; }
    // The MDI child the client shows active; nullptr when none.
    TForm* ActiveMDIChild() const;
    int MDIChildCount() const;
    TForm* MDIChildren(int index) const;
    TWindowState WindowState() const;
    void SetWindowState(TWindowState value);
    // Puts the window's top-left corner at (left, top) as far as the desktop
    // allows: wholly within the work area of the monitor it lies nearest to.
    // A window larger than that area is shrunk to fit when its border is
    // sizeable, else keeps its top-left corner, where its title starts, on
    // the area. A minimized or maximized window gets this as the place it is
    // restored to.
    void PlaceOnWorkArea(int left, int top);

    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);

    // The caption's icon; an empty one shows the application's icon.
    TIcon* Icon() { return &icon_; }
    // The whole window drawn with AlphaBlendValue as its opacity (0..255).
    bool AlphaBlend() const { return alphaBlend_; }
    void SetAlphaBlend(bool value);
    int AlphaBlendValue() const { return alphaBlendValue_; }
    void SetAlphaBlendValue(int value);
    // Kept; the form itself does not scroll.
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool value) { autoScroll_ = value; }
    // Applies the application's icon to a form without its own.
    void UpdateIcon();
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    // Moves the focus to the next (or previous) control that takes it.
    void SelectNext(TWinControl* current, bool forward);
    // True while the form, active again, gives the focus back to the control that had it.
    bool RestoringFocus() const { return restoringFocus_; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TNotifyEvent OnResize;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    // Called by controls when they get the focus: CM_EXIT to the control
    // that had it and its parents up to the one both share, CM_ENTER down to
    // the new one, CM_UIACTIVATE to it, then CM_FOCUSCHANGED to the form.
    void FocusChanged(TWinControl* control);
    // Called by controls that are going away.
    void ForgetControl(TWinControl* control);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    void PaintWindow(HDC dc) override;
    bool IsTopLevel() const override { return true; }
    void Resized() override;
    void BeforeDestruction() override;

private:
    void ApplyFrameStyle();
    // The shown window to the front, active (an MDI child within its client).
    void ActivateWindow();
    void ApplyAlphaBlend();
    void CreateMDIClient();
    std::vector<TForm*> MDIChildList() const;
    // Menu messages of this form's menus and of popup menus it owns; true when handled.
    bool MenuMessage(TMessage& message);
    void FireOnDestroy();
    void CloseModal();
    void DoClose(TCloseAction& action);
    void DialogKey(TMessage& message);
    std::vector<TWinControl*> TabList() const;

    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TFormStyle formStyle_ = fsNormal;
    TMainMenu* menu_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    // As the last WM_ACTIVATE told it: asking the window server instead costs
    // a round trip, and a run shows its log window before every battle.
    bool activated_ = false;
    bool shownAnew_ = false;
    bool restoringFocus_ = false;
    bool destroyCalled_ = false;
    TIcon icon_;
    bool alphaBlend_ = false;
    int alphaBlendValue_ = 255;
    bool autoScroll_ = false;
    HWND clientHandle_ = nullptr;
};

// Every form of the program, in creation order.
class TScreen {
public:
    int FormCount() const { return static_cast<int>(forms_.size()); }
    TForm* Forms(int index) const;
    // The form of the active window, nullptr when none of ours.
    TForm* ActiveForm() const;
    // A form by its Name, compared without regard to case.
    TForm* FindForm(const std::string& name) const;
    // The system's menu font (read when first asked for).
    TFont* MenuFont();

private:
    friend class TForm;
    friend class TApplication;
    std::vector<TForm*> forms_;
    std::unique_ptr<TFont> menuFont_;
};

// Answers true when it handled the message.
using TWindowHook = std::function<bool(TMessage& message)>;

// Sees every message the application's loop takes, before it is dispatched;
// Handled = true drops it.
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;

// Shows a message box and returns the button pressed (IDOK, IDYES, ...).
using TMessageBoxHandler = std::function<int(const std::string& text, const std::string& caption, UINT flags)>;

class TApplication : public TComponent {
public:
    TApplication();
    const char* ClassName() const override { return "TApplication"; }

    void Initialize();
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& value);
    // The program's icon: forms without their own show it. It starts as the
    // program file's own ("MAINICON"), read when first asked for.
    TIcon* Icon();
    // The icon for small places (titles, task bar buttons): the file's own
    // small picture while Icon() is the file's icon, else Icon() itself.
    HICON SmallIcon();
    // Minimizes every visible form of the program, and brings them back.
    void Minimize();
    void Restore();
    TMessageEvent OnMessage;
    // The application's own hidden window (timers, hooks).
    HWND Handle();

    // Creates a form owned by the application: the reference is set first,
    // then the form is built and its creation event runs. The first form
    // becomes the main form.
    template <class T>
    T* CreateForm(T*& reference) {
        T* form = new T(this);
        reference = form;
        if (!mainForm_) mainForm_ = form;
        form->AfterConstruction();
        return form;
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form and runs the message loop until the program ends;
    // then frees the forms, their windows destroyed without being hidden first.
    void Run();
    // Ends the program: every message loop returns at once.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every waiting message, then returns.
    void ProcessMessages();
    // Handles one message, waiting for it when none is there.
    void HandleMessage();
    // When the queue was last looked at (GetTickCount64 milliseconds): a
    // handler that runs long lets the windows paint when that was a while ago.
    uint64_t MessagesLookedAt() const { return messagesLookedAt_; }
    // A click or a key waits in the queue. Each question costs Wine a trip to
    // its server and to the X connection, so a handler that asks in a loop
    // is told no, without a question, until kInputLookMs have passed since
    // the last one or since the queue was last looked at: input is still
    // seen within that time.
    bool InputWaiting();
    static constexpr uint64_t kInputLookMs = 25;

    // A message box over the active form.
    int MessageBox(const std::string& text, const std::string& caption, UINT flags = MB_OK);
    // Shows the text of an error that escaped a handler; the program goes on.
    void ShowException(const std::string& text);

    // Handlers that see the messages of the application window first.
    int HookMainWindow(TWindowHook hook);
    void UnhookMainWindow(int cookie);

    // Replaces the real message boxes (tests answer them); empty restores.
    void SetMessageBoxHandler(TMessageBoxHandler handler) { messageBoxHandler_ = std::move(handler); }

private:
    friend LRESULT CALLBACK ApplicationWindowProc(HWND, UINT, WPARAM, LPARAM);
    bool ProcessMessage();
    bool IsKeyMsg(MSG& msg);

    std::string title_;
    TIcon icon_;
    bool iconRead_ = false;
    HICON fileIcon_ = nullptr;       // the file's icon at the large size, as read
    HICON fileSmallIcon_ = nullptr;  // ... and at the small size
    std::vector<HWND> minimized_;
    HWND handle_ = nullptr;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    uint64_t messagesLookedAt_ = 0;
    uint64_t inputAskedAt_ = 0;
    std::map<int, TWindowHook> hooks_;
    int nextHook_ = 1;
    TMessageBoxHandler messageBoxHandler_;
};

extern TApplication* const Application;
extern TScreen* const Screen;

// Builds a form that no application owns (tests, dialogs made on demand).
template <class T, class... Args>
T* NewForm(Args&&... args) {
    T* form = new T(std::forward<Args>(args)...);
    form->AfterConstruction();
    return form;
}

// A modal box with the text and an OK button, captioned with the title.
void ShowMessage(const std::string& text);

}  // namespace vcl
