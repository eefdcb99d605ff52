#include "skin/windows/dialoghook.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>

#include "skin/core/skincommands.h"
#include "skin/core/win32/deferredfree.h"
#include "skin/core/win32/skindialogs.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/windows/adapterfactory.h"
#include "skin/windows/ctrladapter.h"
#include "skin/windows/layout/adapterrules.h"
#include "skin/windows/mdiform.h"
#include "skin/windows/paneladapters.h"

namespace skin {

using namespace vcl;

std::vector<HWND> MnuArray;

namespace {

// Posted to the application window after a hooked dialog began to go: its
// provider is freed once the window has gone, outside its messages.
UINT FreeDeadProvidersMessage() {
    static const UINT message = RegisterWindowMessageW(L"NorvixFreeDeadProviders");
    return message;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<TObject*>& Providers() {
    if (!HookedProviders) HookedProviders = new std::vector<TObject*>;
    return *HookedProviders;
}

BOOL CALLBACK HookVisibleWindow(HWND window, LPARAM) {
    if (IsWindowVisible(window)) TryHookWindow(window);
    return TRUE;
}

// Our own windows and dialogs already up when the hook comes in are taken
// at once, not at their next activation. So is the active window while
// still hidden (a form whose control took the focus before it was shown):
// showing it activates nothing, so the hook would never hear of it.
void HookWindowsShown() {
    EnumThreadWindows(GetCurrentThreadId(), HookVisibleWindow, 0);
    if (HWND active = GetActiveWindow(); active && !IsWindowVisible(active)) TryHookWindow(active);
}

}  // namespace

// ---- TacProvider

TacProvider::TacProvider(TComponent* owner) : TComponent(owner) {}

TacProvider::~TacProvider() {
    Unlist();
    if (FormProvider) return;  // the form frees its provider itself
    // The children first: the dialog then draws its own frame over children
    // that are plain again. Each lets its window go now and is freed once no
    // message runs: a child may be inside its own WM_DESTROY.
    while (!ChildAdapters.empty()) {
        std::unique_ptr<TacMainWnd> child = std::move(ChildAdapters.back());
        ChildAdapters.pop_back();
        RetireAdapter(std::move(child));
    }
    if (DialogAdapter) {
        DialogAdapter->Provider = nullptr;
        DialogAdapter->AdaptChildren = nullptr;
    }
    RetireAdapter(std::move(DialogAdapter));
}

void TacProvider::Unlist() {
    if (!HookedProviders) return;
    for (TObject*& entry : *HookedProviders)
        if (entry == this) entry = nullptr;
}

bool TacProvider::Dead() const {
    if (FormProvider) return false;
    if (DialogAdapter) return DialogAdapter->Destroyed;
    return !Wnd || !IsWindow(Wnd);
}

// ---- menus

void ClearMnuArray() { MnuArray.clear(); }

// ---- lookups

std::string GetWindowClassName(HWND window) {
    char name[129] = {};
    const int length = GetClassNameA(window, name, 128);
    return std::string(name, static_cast<size_t>(std::max(length, 0)));
}

TacProvider* FindProviderByHandle(HWND window) {
    if (!HookedProviders || !window) return nullptr;
    for (TObject* entry : *HookedProviders)
        if (auto* p = dynamic_cast<TacProvider*>(entry); p && p->Wnd == window) return p;
    return nullptr;
}

TForm* FindFormByHandle(HWND window) {
    if (!window) return nullptr;
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TForm* form = Screen->Forms(i);
        if (form->HandleAllocated() && form->Handle() == window) return form;
    }
    return nullptr;
}

int VisibleHookedDialogs() {
    int count = 0;
    if (!HookedProviders) return 0;
    for (TObject* entry : *HookedProviders)
        if (auto* p = dynamic_cast<TacProvider*>(entry); p && p->DialogAdapter && !p->DialogAdapter->Destroyed &&
                                                         IsWindowVisible(p->Wnd))
            ++count;
    return count;
}

bool HasChildClass(HWND window, const std::string& className) {
    for (HWND child = GetTopWindow(window); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (Lower(GetWindowClassName(child)) == className) return true;
        if (HasChildClass(child, className)) return true;
    }
    return false;
}

// ---- providers

void FreeDeadProviders() {
    if (!HookedProviders) return;
    std::vector<TacProvider*> dead;
    for (TObject* entry : *HookedProviders)
        if (auto* p = dynamic_cast<TacProvider*>(entry); p && p->Dead()) dead.push_back(p);
    for (TacProvider* p : dead) p->Free();
    // The list sheds its empty places while nothing walks it.
    auto& list = *HookedProviders;
    list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
}

void AttachFormProvider(TacProvider* provider, TForm* form) {
    auto* skinProvider = new TsSkinProvider(form);
    skinProvider->MakeSkinMenu = false;
    provider->FormProvider = skinProvider;
    skinProvider->AfterConstruction();
    // Made while the skin is already on: the controls and the frame are
    // skinned now, as a skin arriving would have done.
    if (skinProvider->SkinData->HasValidSkin()) {
        skinProvider->Loaded();
        HWND h = form->Handle();
        SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

bool AddChildAdapter(TacProvider* provider, HWND window) {
    if (!provider || !window || SkinCommandAnswered(window, AC_QUERYSKINNED)) return true;
    const TAdapterChoice choice =
        ChooseChildAdapter(GetWindowClassName(window), static_cast<unsigned>(GetWindowLongW(window, GWL_STYLE)));
    // A tab control keeps its own look; the rest of the dialog is skinned all the same.
    if (choice.Class == TacWndClass::None) return true;
    std::unique_ptr<TacMainWnd> adapter = CreateChildAdapter(choice, window, DefaultManager);
    if (!adapter) return true;
    if (auto* scroll = dynamic_cast<TacScrollWnd*>(adapter.get())) UpdateScrollInfo(scroll, false);
    provider->ChildAdapters.push_back(std::move(adapter));
    return true;
}

bool AdaptChildren(TacProvider* provider, HWND window) {
    // Adapters whose windows went are dropped first.
    auto& list = provider->ChildAdapters;
    for (std::unique_ptr<TacMainWnd>& a : list)
        if (a && a->Destroyed) FreeAfterMessages(std::move(a));
    list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
    for (HWND child = GetTopWindow(window); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!AdaptChildren(provider, child)) return false;
        if ((GetWindowLongW(child, GWL_STYLE) & WS_CHILD) && !AddChildAdapter(provider, child)) return false;
    }
    return true;
}

bool InitDialogProvider(TacProvider* provider, HWND window) {
    provider->Wnd = window;
    provider->ChildAdapters.clear();
    if (provider->DialogAdapter || !DefaultManager || !DefaultManager->SkinActive()) return true;
    provider->LeftScrollBar = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    if (!IsDialogClass(GetWindowClassName(window))) return true;
    // The dialog's own flat bars make way for skinned ones.
    UninitializeFlatSB(window);
    provider->DialogAdapter = CreateAdapter<TacDialogWnd>(window, nullptr, DefaultManager, "DIALOG", true);
    TacDialogWnd* dialog = provider->DialogAdapter.get();
    dialog->Provider = provider;
    dialog->AdaptChildren = [provider] {
        if (provider->Wnd && IsWindow(provider->Wnd)) AdaptChildren(provider, provider->Wnd);
    };
    if (MessageBoxX != -1 || MessageBoxY != -1)
        SetWindowPos(window, nullptr, MessageBoxX, MessageBoxY, 0, 0, SWP_NOSIZE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
    if (!AdaptChildren(provider, window)) {
        provider->ChildAdapters.clear();
        if (HookedProviders)
            for (TObject*& entry : *HookedProviders)
                if (entry == provider) entry = nullptr;
        return false;
    }
    dialog->ChildrenAdapted = true;
    dialog->InitDialogFrame();
    SendSkinCommand(window, AC_SKINLOADED, reinterpret_cast<LPARAM>(DefaultManager));
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return true;
}

bool TryHookWindow(HWND window) {
    if (!window || !IsWindow(window)) return false;
    const std::string windowClass = GetWindowClassName(window);
    TForm* form = FindFormByHandle(window);
    THookWindowFacts facts;
    facts.AnswersSkinned = SkinCommandAnswered(window, AC_QUERYSKINNED);
    facts.HasDefaultManager = DefaultManager != nullptr;
    facts.AlreadyListed = FindProviderByHandle(window) != nullptr;
    facts.IsForm = form != nullptr;
    facts.FormTag = form ? static_cast<int>(form->Tag()) : 0;
    facts.ClassName = form ? std::string_view(form->ClassName()) : std::string_view(windowClass);
    if (windowClass == "TApplication") facts.ClassName = windowClass;
    facts.StdForms = DefaultManager && (DefaultManager->SkinningRules & srStdForms);
    facts.StdDialogs = DefaultManager && (DefaultManager->SkinningRules & srStdDialogs);
    facts.HookedDialogVisible = VisibleHookedDialogs() > 0;
    facts.HasToolBarChild = [window] { return HasChildClass(window, "toolbarwindow32"); };
    switch (TryHookWindowAction(facts)) {
        case THookAction::FormProvider: {
            auto* provider = new TacProvider(form);
            provider->Wnd = window;
            Providers().push_back(provider);
            AttachFormProvider(provider, form);
            return true;
        }
        case THookAction::DialogProvider: {
            // Only dialogs: any other window of the system has nothing of ours to wear.
            if (!IsDialogClass(windowClass)) return false;
            auto* provider = new TacProvider(nullptr);
            Providers().push_back(provider);
            if (!InitDialogProvider(provider, window)) {
                provider->Free();
                return false;
            }
            return true;
        }
        case THookAction::None:
            return false;
    }
    return false;
}

void DialogHookNotification(int code, WPARAM wParam, LPARAM) {
    // What a notification frees goes once the messages around it have returned.
    TSkinMessageScope scope;
    HWND window = reinterpret_cast<HWND>(wParam);
    switch (code) {
        case HCBT_CREATEWND:
            if (DefaultManager &&
                PopupMenuNeedsAdapter(GetWindowClassName(window), SkinCommandAnswered(window, AC_QUERYSKINNED))) {
                MnuArray.erase(std::remove_if(MnuArray.begin(), MnuArray.end(), [](HWND h) { return !IsWindow(h); }),
                               MnuArray.end());
                if (CreateMenuAdapter(window, DefaultManager)) MnuArray.push_back(window);
            }
            break;
        case HCBT_DESTROYWND:
            FreeDeadProviders();
            if (TacProvider* p = FindProviderByHandle(window); p && !p->FormProvider)
                PostMessageW(Application->Handle(), FreeDeadProvidersMessage(), 0, 0);
            break;
        case HCBT_ACTIVATE:
            TryHookWindow(window);
            break;
        default:
            break;
    }
}

void InitSkinnedWindows() {
    static bool done = false;
    if (done) return;
    done = true;
    SkinCallPoints.DialogHook = DialogHookNotification;
    SkinCallPoints.ClearMenuArray = ClearMnuArray;
    SkinCallPoints.HookInstalled = HookWindowsShown;
    InstallControlAdapter();
    InstallMDIForm();
    Application->HookMainWindow([](TMessage& message) {
        if (message.Msg != FreeDeadProvidersMessage()) return false;
        FreeDeadProviders();
        return true;
    });
}

}  // namespace skin
