// Window adapters: plain objects that take over the window procedure of one
// existing window and paint that window in the skin. Every skinned standard
// control, dialog child, popup menu and form scroll bar is one.
//
// How an adapter is made, takes over, paints and is released:
//
// - Make it with CreateAdapter<T>(window, skinData, manager, section,
//   repaint): the constructor only records its arguments; Start (called by
//   CreateAdapter) saves the control's own colours (SaveCtrlParams), reads
//   the caption and takes the window over (TakeOver: the root hooks the
//   procedure, the scroll-bar adapter also sets its bars up). A descendant
//   with other construction arguments passes them through CreateAdapter.
//   The owner keeps the returned std::unique_ptr.
// - The takeover depends on the skin data's owner:
//   * a control (TsCommonData owned by a TControl): the adapter goes on top
//     of the control's WindowProc chain (ReplaceWindowProc) and passes on
//     with CallPreviousWindowProc;
//   * a form's skin provider (owner object a TsProviderLink): the same on
//     the provider's form, so the adapter sees each message before the
//     provider does;
//   * anything else (no owner): a plain window (a system dialog's child, a
//     popup menu, an MDI client). Its GWLP_WNDPROC becomes one static
//     procedure that finds the adapter by the window property "ACSBSC".
//   In each mode GetScrollWnd(window) finds the adapter.
// - Messages reach the virtual AdapterWndProc. A descendant handles its own
//   messages first and hands the rest to its parent class's AdapterWndProc
//   or straight on with CallPrevWndProc.
// - Painting: adapters paint their window from SkinData (its section, its
//   cache bitmap, which AC_PREPARECACHE fills through PrepareParentCache
//   over the parent's cached picture).
// - Release: UnhookWndProc(window, free, redraw, adapter) or the
//   destructor give the procedure back (for a plain window only while ours
//   is still the window's procedure; when another procedure was set over
//   it, ours stays in the chain and passes every message straight on).
//   WM_DESTROY releases the adapter by itself; the object is freed only
//   by its owner, through RetireAdapter or FreeAfterMessages: never at
//   once, as the owner may be acting inside a message of the adapter's
//   own window (see skin/core/win32/deferredfree.h). A descendant whose
//   RestoreCtrlParams does anything calls ReleaseWindow from its own
//   destructor, while its override still runs.
#pragma once
#include "vcl/win.h"

#include <memory>
#include <string>
#include <utility>

#include "skin/core/geometry.h"
#include "skin/core/win32/commondata.h"
#include "skin/core/win32/deferredfree.h"
#include "skin/core/win32/skinmanager.h"
#include "vcl/controls.h"

namespace skin {

class TacMainWnd;

// The adapter of a window; nullptr for a window without one.
TacMainWnd* GetScrollWnd(HWND window);

// How an adapter took its window over.
enum class TAdapterTakeover { None, PlainWindow, Control, ProviderForm };

class TacMainWnd : public vcl::TObject {
public:
    // Records the window, the skin data (nullptr: the adapter makes and owns
    // its own) and the manager (nullptr: the data's); an empty section of
    // the data becomes Section. Visual styles are switched off for the
    // window, except for the section "DIALOG".
    TacMainWnd(HWND window, TsCommonData* skinData, TsSkinManager* skinManager, const std::string& section,
               bool repaint = true);
    ~TacMainWnd() override;
    TacMainWnd(const TacMainWnd&) = delete;
    TacMainWnd& operator=(const TacMainWnd&) = delete;
    const char* ClassName() const override { return "TacMainWnd"; }

    std::string Caption;  // the window's text (1251), read again after WM_SETTEXT
    TRect WndRect;        // the window in screen coordinates, as last painted
    SIZE WndSize{};
    HWND CtrlHandle;
    TsSkinManager* SkinManager;
    TsCommonData* SkinData;
    bool InScrollMessage = false;  // the adapter itself is sending WM_HSCROLL/WM_VSCROLL
    bool ParamsChanged = false;    // the control's own colours were replaced by the skin's
    bool Destroyed = false;        // the window procedure has been given back
    bool OwnSkinData = false;

    // What was replaced: a WindowProc (control or provider's form) or a
    // plain window's procedure (nullptr otherwise).
    bool HasOldWndMethod() const;
    WNDPROC OldWndProc() const { return oldWndProc_; }
    TAdapterTakeover Takeover() const { return takeover_; }

    virtual void SaveCtrlParams() {}
    virtual void RestoreCtrlParams() {}
    virtual void SetSkinParams() { ParamsChanged = true; }
    virtual void AdapterWndProc(vcl::TMessage& message);

    // Passes a message on to what was replaced; an answer the receiver
    // writes into LParam travels back. 0 when nothing was replaced.
    LRESULT CallPrevWndProc(UINT msg, WPARAM wParam, LPARAM& lParam);
    void CallPrevWndProc(vcl::TMessage& message) {
        message.Result = CallPrevWndProc(message.Msg, message.WParam, message.LParam);
    }

    // The takeover and its release (see the top of this file). Unhook
    // redraws the frame of a visible window: by a frame change with
    // RedrawMode (the window measures its borders again), else by WM_NCPAINT.
    void HookWndProc(HWND window);
    void UnhookWndProc(HWND window, bool redrawMode);
    // Gives everything back as the destructor does; nothing after the first time.
    void ReleaseWindow();

    // The live manager of this adapter: the one given, else the data's.
    TsSkinManager* Manager() const;

    // Runs after construction (CreateAdapter calls it).
    void Start();

protected:
    // Takes the window over: the root hooks the procedure.
    virtual void TakeOver(bool repaint);
    // The part of the root's handling that descendants share for
    // SM_SKINCMD: true when the command was answered and must stop.
    bool HandleRootSkinCommand(vcl::TMessage& message, UINT redrawFlags);
    // Called once the window has been let go (not from the destructor's own release).
    virtual void WindowReleased() {}

private:
    friend LRESULT CALLBACK AdapterWindowProc(HWND, UINT, WPARAM, LPARAM);
    void Dispatch(vcl::TMessage& message);
    void GiveProcedureBack();
    vcl::TControl* ProcedureOwner() const;
    void ReadCaption();
    // The procedure back, the property gone, the control's colours back;
    // false when the window had been let go already.
    bool LetWindowGo(bool restoreTheme);

    bool repaint_;
    bool themeOff_ = false;  // visual styles were switched off for the window
    TAdapterTakeover takeover_ = TAdapterTakeover::None;
    WNDPROC oldWndProc_ = nullptr;
    vcl::TControl* procOwner_ = nullptr;  // the control or form whose WindowProc was replaced
    vcl::TWindowProcToken token_ = 0;
    bool released_ = false;
};

// Makes an adapter of class T and lets it take its window over.
template <class T, class... Args>
std::unique_ptr<T> CreateAdapter(Args&&... args) {
    auto adapter = std::make_unique<T>(std::forward<Args>(args)...);
    adapter->Start();
    return adapter;
}

// Lets the adapter's window go at once and frees the adapter once no
// message of the skin engine runs: its owner may be dropping it from inside
// one of the adapter's own messages.
template <class T>
void RetireAdapter(std::unique_ptr<T> adapter) {
    if (!adapter) return;
    adapter->ReleaseWindow();
    FreeAfterMessages(std::move(adapter));
}

// Releases the adapter's window; with FreeAdapter the adapter is freed too.
// Nothing for an adapter that is missing or already released.
template <class T>
void UnhookWndProc(HWND window, bool freeAdapter, bool redrawMode, std::unique_ptr<T>& adapter) {
    if (!adapter) return;
    if (!adapter->Destroyed) adapter->UnhookWndProc(window, redrawMode);
    if (freeAdapter) FreeAfterMessages(std::move(adapter));
}

// The window procedure of plain windows taken over by an adapter.
LRESULT CALLBACK AdapterWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// With UseSetWindowPos a frame change (the window measures its borders
// again and redraws them), else WM_NCPAINT of the whole frame.
void RedrawNonClient(HWND window, bool useSetWindowPos);

// The control with that window among Parent's children, searched depth
// first; nullptr when none.
vcl::TWinControl* FindWinControlByHandle(vcl::TWinControl* parent, HWND window);

// Renders the data's cache for the window when its background changed: the
// data's section over the parent's cached picture at the window's place (or
// the skin's border colour with UseBorderColor, unless that is clFuchsia),
// with the disabled look for a disabled owner control.
void PrepareParentCache(TsCommonData* skinData, HWND window, bool useBorderColor);

}  // namespace skin
