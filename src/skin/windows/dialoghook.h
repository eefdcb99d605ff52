// Skinning through the thread's window hook: while a skin is active, every
// form of ours that becomes active gets a form provider, every system
// dialog and message box ("#32770") a dialog adapter with adapters for its
// children, and every popup menu window a menu adapter.
//
// The default manager installs the hook with its skin and removes it with
// the skin (TsSkinManager::InitHook, ReleaseHook); InitSkinnedWindows, called
// once at start, plugs this file, the control adapter and the MDI area into
// the manager's and the providers' call points.
#pragma once
#include "vcl/win.h"

#include <memory>
#include <string>
#include <vector>

#include "skin/windows/dialogwnd.h"
#include "skin/windows/skinprovider.h"
#include "vcl/forms.h"

namespace skin {

// What the hook made for one window: for a form of ours its skin provider,
// for a system dialog its dialog adapter and its children's adapters.
class TacProvider : public vcl::TComponent {
public:
    explicit TacProvider(vcl::TComponent* owner);
    ~TacProvider() override;
    const char* ClassName() const override { return "TacProvider"; }

    bool LeftScrollBar = false;  // the dialog keeps its scroll bar on the left
    HWND Wnd = nullptr;
    TsSkinProvider* FormProvider = nullptr;  // owned by the form
    std::unique_ptr<TacDialogWnd> DialogAdapter;
    std::vector<std::unique_ptr<TacMainWnd>> ChildAdapters;

    // The dialog and its children have all let their windows go.
    bool Dead() const;

private:
    void Unlist();
};

// Popup menu windows that got an adapter (each adapter frees itself with
// its window; only the handles are kept).
extern std::vector<HWND> MnuArray;
void ClearMnuArray();

// The library's part of the window hook: popup menus at creation, dead
// providers at a window's destruction, providers at activation.
void DialogHookNotification(int code, WPARAM wParam, LPARAM lParam);
// True when it made a provider for the window.
bool TryHookWindow(HWND window);
void AttachFormProvider(TacProvider* provider, vcl::TForm* form);
// The dialog adapter and its children's adapters; false when a child
// failed (the provider is unlisted then).
bool InitDialogProvider(TacProvider* provider, HWND window);
// The adapter of one child window by its class; false only for a child
// that fails the whole dialog (none does).
bool AddChildAdapter(TacProvider* provider, HWND window);
// Every descendant of the window, each one's children before it.
bool AdaptChildren(TacProvider* provider, HWND window);
// Frees the providers whose windows are gone.
void FreeDeadProviders();

TacProvider* FindProviderByHandle(HWND window);
vcl::TForm* FindFormByHandle(HWND window);
int VisibleHookedDialogs();
// A descendant whose class name in lower case is ClassName.
bool HasChildClass(HWND window, const std::string& className);
std::string GetWindowClassName(HWND window);

// Plugs the hook, the control adapter and the MDI area in (once, at start).
void InitSkinnedWindows();

}  // namespace skin
