// Skinning through the window hook: a form's control adapter takes the
// controls its class lists name (once each, never those marked -98, none
// without third-party skinning) and drops dead ones; the hook comes with
// the skin and goes with it, gives every form its provider once, skins a
// real message box and popup menus, and leaves them plain when the skin is
// off; an MDI form's client keeps one adapter.
#include "gtest_windows.h"
#include "support/frame_skin.h"
#include "support/flat_scroll_skin.h"
#include "support/vcl_test_support.h"

#include <algorithm>

#include "skin/core/skincommands.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/windows/buttonadapters.h"
#include "skin/windows/ctrladapter.h"
#include "skin/windows/dialoghook.h"
#include "skin/windows/editadapters.h"
#include "skin/windows/mdiform.h"
#include "skin/windows/paneladapters.h"
#include "vcl/wintext.h"

using namespace vcl;
using namespace skin;
using namespace skintest;
using vcltest::Pump;
using vcltest::PostAction;

namespace {

constexpr TColor kDialogBack = 0x50A050;  // "DIALOG": a message box's client area
constexpr TColor kButtonBack = 0x8040C0;  // "BUTTON"
constexpr TColor kTextBack = 0x50A0A0;    // "CHECKBOX": a dialog static's text colours come from it
constexpr TColor kEditBack = 0xF0F0F0;    // "EDIT"

// A host form holding the default manager, with the flat frame skin (and a
// dialog, button, static and edit section) loaded and the hook's call points plugged in.
struct HookScene {
    HookScene() {
        InitSkinnedWindows();
        host = NewForm<TForm>(Application);
        host->SetBounds(20, 20, 300, 200);
        manager = new TsSkinManager(host);
        manager->SetActive(false);
        host->Show();
        Pump();
    }
    ~HookScene() {
        manager->SetActive(false);
        host->Free();
    }
    HookScene(const HookScene&) = delete;
    HookScene& operator=(const HookScene&) = delete;

    void SkinOn() {
        LoadFrameSkin(manager);
        manager->Skin().Sections.push_back(framedetail::Section("DIALOG", kDialogBack, kDialogBack));
        manager->Skin().Sections.push_back(framedetail::Section("BUTTON", kButtonBack, kButtonBack));
        manager->Skin().Sections.push_back(framedetail::Section("CHECKBOX", kTextBack, kTextBack));
        manager->Skin().Sections.push_back(framedetail::Section("EDIT", kEditBack, kEditBack));
        manager->SendNewSkin();
        Pump();
    }
    void SkinOff() {
        manager->SendRemoveSkin();
        Pump();
    }

    TForm* host;
    TsSkinManager* manager;
};

TEdit* NewEdit(TForm* form, int top, int tag = 0) {
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, top, 120, 22);
    edit->SetTag(tag);
    return edit;
}

TacCtrlAdapter* ControlAdapterOf(TForm* form) {
    auto* provider = dynamic_cast<TsSkinProvider*>(FormProvider(form));
    return provider ? dynamic_cast<TacCtrlAdapter*>(provider->Adapter.get()) : nullptr;
}

int ProvidersOf(TForm* form) {
    int count = 0;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (dynamic_cast<TsSkinProvider*>(form->Components(i))) ++count;
    return count;
}

// What the timer saw of the message box before it closed it.
struct BoxLook {
    HWND box = nullptr;
    bool adapted = false;
    bool sysMenuStyle = true;
    int childAdapters = 0;
    TColor title = 0, client = 0, close = 0, button = 0;
    bool oneBrush = false;  // WM_CTLCOLORDLG answers the same brush each time
    // With the skin taken off while the box was up: its own frame is back.
    bool plainAfterRemoval = false;
    // The text static: its width, and the first and last columns with ink.
    int textWidth = 0, firstInk = -1, lastInk = -1;
};
BoxLook g_look;
bool g_removeSkinWhileUp = false;

// The box sizes its text window to what the text measures.
const WCHAR kBoxText[] = L"количество кораблей должно быть целым числом";

BOOL CALLBACK MatchText(HWND w, LPARAM p) {
    WCHAR text[64] = {};
    GetWindowTextW(w, text, 64);
    if (lstrcmpW(text, kBoxText) != 0) return TRUE;
    *reinterpret_cast<HWND*>(p) = w;
    return FALSE;
}

// Columns of the window holding dark (text) pixels.
void FindInk(HWND window, BoxLook& l) {
    RECT r{};
    GetClientRect(window, &r);
    l.textWidth = r.right;
    HDC dc = GetDC(window);
    for (int x = 0; x < r.right; ++x)
        for (int y = 0; y < r.bottom; ++y)
            if (GetGValue(GetPixel(dc, x, y)) < 0x50) {
                if (l.firstInk < 0) l.firstInk = x;
                l.lastInk = x;
                break;
            }
    ReleaseDC(window, dc);
}

// A real timer inside the box's own modal loop: it looks at the box once
// it is up and painted, then presses OK.
void CALLBACK LookAtTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = vcltest::VisibleDialog();
    if (!box) return;
    KillTimer(nullptr, timer);
    UpdateWindow(box);
    BoxLook& l = g_look;
    l.box = box;
    TacProvider* provider = FindProviderByHandle(box);
    l.adapted = provider && provider->DialogAdapter && GetScrollWnd(box) == provider->DialogAdapter.get();
    l.childAdapters = provider ? static_cast<int>(provider->ChildAdapters.size()) : 0;
    l.sysMenuStyle = (GetWindowLongW(box, GWL_STYLE) & WS_SYSMENU) != 0;
    RECT wr{}, cr{};
    GetWindowRect(box, &wr);
    GetClientRect(box, &cr);
    POINT origin{0, 0};
    ClientToScreen(box, &origin);
    const int top = origin.y - wr.top, left = origin.x - wr.left;
    l.title = FramePixel(box, (wr.right - wr.left) / 3, top / 2);
    l.close = FramePixel(box, (wr.right - wr.left) - left - kButtonW / 2 - 2, top / 2);
    l.client = FramePixel(box, left + 3, top + 3);
    HDC boxDC = GetDC(box);
    const LRESULT brush = SendMessageW(box, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(boxDC), reinterpret_cast<LPARAM>(box));
    l.oneBrush = brush != 0 && SendMessageW(box, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(boxDC),
                                            reinterpret_cast<LPARAM>(box)) == brush;
    ReleaseDC(box, boxDC);
    HWND text = nullptr;
    EnumChildWindows(box, MatchText, reinterpret_cast<LPARAM>(&text));
    if (text) FindInk(text, l);
    if (g_removeSkinWhileUp && DefaultManager) {
        DefaultManager->SendRemoveSkin();
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        l.plainAfterRemoval = GetScrollWnd(box) == nullptr && (GetWindowLongW(box, GWL_STYLE) & WS_SYSMENU) &&
                              GetWindowRgn(box, region) == ERROR;
        DeleteObject(region);
    }
    HWND ok = GetDlgItem(box, IDOK);
    RECT br{};
    GetWindowRect(ok, &br);
    l.button = FramePixel(box, br.left - wr.left + 4, br.top - wr.top + (br.bottom - br.top) / 2);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

BoxLook ShowRealBox(HWND owner) {
    g_look = BoxLook{};
    SetTimer(nullptr, 0, 50, LookAtTheBox);
    MessageBoxW(owner, kBoxText, L"Warning", MB_OK | MB_ICONWARNING);
    Pump();
    return g_look;
}

}  // namespace

TEST(ControlAdapter, TakesListedControlsOnceLeavesMarkedOnesAndDropsAdjacentDeadItems) {
    HookScene s;
    TForm* form = NewForm<TForm>(Application);
    form->SetBounds(340, 20, 300, 260);
    TEdit* a = NewEdit(form, 10);
    TEdit* b = NewEdit(form, 40);
    TEdit* c = NewEdit(form, 70);
    TEdit* marked = NewEdit(form, 100, -98);
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetBounds(10, 130, 80, 24);
    auto* provider = new TsSkinProvider(form);
    provider->AfterConstruction();
    form->Show();
    s.SkinOn();
    TacCtrlAdapter* adapter = ControlAdapterOf(form);
    ASSERT_NE(adapter, nullptr);
    // Three edits and the button; the marked edit neither by the walk nor when added by name.
    EXPECT_EQ(adapter->Count(), 4);
    adapter->AddItem(marked);
    EXPECT_EQ(adapter->Count(), 4);
    EXPECT_FALSE(AskSkinCommand(marked, AC_QUERYSKINNED));
    EXPECT_TRUE(AskSkinCommand(a, AC_QUERYSKINNED));
    EXPECT_TRUE(dynamic_cast<TacBtnWnd*>(GetScrollWnd(button->Handle())));
    // The same control added again keeps its item and only takes the new section.
    TacAdapterItem* first = adapter->GetItem(0);
    adapter->AddItem(first->Ctrl, "PANEL");
    EXPECT_EQ(adapter->Count(), 4);
    EXPECT_EQ(adapter->GetItem(0), first);
    EXPECT_EQ(first->SkinData->SkinSection(), "PANEL");
    EXPECT_EQ(adapter->GetItem(4), nullptr);

    // Two adjacent controls gone: both items go, the others stay in order.
    a->Free();
    b->Free();
    adapter->PurgeItems();
    ASSERT_EQ(adapter->Count(), 2);
    EXPECT_EQ(adapter->GetItem(0)->Ctrl, c);
    EXPECT_EQ(adapter->GetItem(1)->Ctrl, button);

    // A class in two lists takes the adapter of the first; the second list is only its fallback.
    auto& lists = s.manager->ThirdLists;
    lists[tpButtons].push_back("TEdit");
    TEdit* late = NewEdit(form, 160);
    adapter->AddAllControls(nullptr);
    EXPECT_TRUE(dynamic_cast<TacEditWnd*>(GetScrollWnd(late->Handle())));
    EXPECT_EQ(adapter->Count(), 3);
    lists[tpButtons].pop_back();
    // Walking the form again leaves what it adapted as it was: the button keeps its section.
    ASSERT_NE(adapter->GetItem(1), nullptr);
    EXPECT_EQ(adapter->GetItem(1)->Ctrl, button);
    EXPECT_EQ(adapter->GetItem(1)->SkinData->SkinSection(), "BUTTON");

    // Without third-party skinning a new control stays plain; the walk only
    // notes whether a child paints its parent's background.
    s.manager->SkinningRules = s.manager->SkinningRules & ~static_cast<unsigned>(srThirdParty);
    TEdit* plain = NewEdit(form, 190);
    plain->SetParentBackground(true);
    provider->HasParentBgChild = false;
    adapter->AddAllControls(nullptr);
    EXPECT_EQ(adapter->Count(), 3);
    EXPECT_FALSE(AskSkinCommand(plain, AC_QUERYSKINNED));
    EXPECT_TRUE(provider->HasParentBgChild);
    s.manager->SkinningRules = s.manager->SkinningRules | srThirdParty;

    s.SkinOff();
    EXPECT_EQ(provider->Adapter, nullptr);
    EXPECT_FALSE(AskSkinCommand(c, AC_QUERYSKINNED));
    form->Free();
}

TEST(WindowHook, ComesWithTheSkinSkinsFormsBoxesAndMenusAndLeavesThemPlainWithout) {
    HookScene s;
    TForm* form = NewForm<TForm>(Application);
    form->SetBounds(340, 20, 300, 200);
    TEdit* edit = NewEdit(form, 10);
    TEdit* marked = nullptr;
    TForm* never = NewForm<TForm>(Application);
    never->SetTag(-98);
    never->SetBounds(340, 240, 200, 100);
    form->Show();
    never->Show();
    Pump();
    EXPECT_EQ(FormProvider(form), nullptr);

    // Skin on: the hook is there and takes every shown form once, its controls too.
    for (int round = 0; round < 2; ++round) {
        s.SkinOn();
        ASSERT_TRUE(s.manager->IsHooked);
        EXPECT_NE(DialogHookHandle, nullptr);
        EXPECT_EQ(ProvidersOf(form), 1);
        EXPECT_EQ(ProvidersOf(never), 0);
        ASSERT_NE(ControlAdapterOf(form), nullptr);
        EXPECT_TRUE(AskSkinCommand(edit, AC_QUERYSKINNED));
        // Activated again, it keeps the one it has.
        SetActiveWindow(s.host->Handle());
        SetActiveWindow(form->Handle());
        Pump();
        EXPECT_EQ(ProvidersOf(form), 1);
        s.SkinOff();
        EXPECT_FALSE(s.manager->IsHooked);
        EXPECT_EQ(DialogHookHandle, nullptr);
        EXPECT_EQ(HookedProviders, nullptr);
        EXPECT_EQ(ControlAdapterOf(form), nullptr);
        EXPECT_FALSE(AskSkinCommand(edit, AC_QUERYSKINNED));
        EXPECT_TRUE(GetWindowLongW(form->Handle(), GWL_STYLE) & WS_SYSMENU);
    }
    // A hidden form that is the active window when the skin comes (a control
    // of it took the focus) takes the skin then: showing it activates nothing.
    TForm* early = NewForm<TForm>(Application);
    early->SetBounds(60, 400, 200, 100);
    TEdit* earlyEdit = NewEdit(early, 10);
    SetFocus(earlyEdit->Handle());
    ASSERT_EQ(GetActiveWindow(), early->Handle());
    // A form made while the skin is on takes it when it first becomes active.
    s.SkinOn();
    early->Show();
    Pump();
    EXPECT_EQ(ProvidersOf(early), 1);
    EXPECT_TRUE(AskSkinCommand(earlyEdit, AC_QUERYSKINNED));
    TForm* late = NewForm<TForm>(Application);
    late->SetBounds(60, 260, 200, 120);
    marked = NewEdit(late, 10, -98);
    TEdit* lateEdit = NewEdit(late, 40);
    auto* lateList = new TListBox(late);
    lateList->SetParent(late);
    lateList->SetBounds(10, 70, 150, 40);
    late->Show();
    Pump();
    EXPECT_EQ(ProvidersOf(late), 1);
    // A list that painted while its form's picture was out of date (as after
    // the WM_SIZE a shown window gets once, with nothing left to paint)
    // waits for the form: the form, having told it so, paints anew and lets
    // it go, so the list is never left blank.
    auto* lateProvider = dynamic_cast<TsSkinProvider*>(FormProvider(late));
    ASSERT_NE(lateProvider, nullptr);
    TacMainWnd* listAdapter = GetScrollWnd(lateList->Handle());
    ASSERT_NE(listAdapter, nullptr);
    lateList->Items()->Add("строка");
    Pump();
    lateProvider->SkinData->BackgroundChanged = true;
    InvalidateRect(lateList->Handle(), nullptr, TRUE);
    UpdateWindow(lateList->Handle());
    EXPECT_TRUE(listAdapter->SkinData->Updating);  // waiting
    Pump();
    EXPECT_FALSE(lateProvider->SkinData->BackgroundChanged);
    EXPECT_FALSE(listAdapter->SkinData->Updating);
    EXPECT_TRUE(AskSkinCommand(lateEdit, AC_QUERYSKINNED));
    EXPECT_FALSE(AskSkinCommand(marked, AC_QUERYSKINNED));

    // A real message box wears the skin: title, client area, close button and OK.
    const BoxLook skinned = ShowRealBox(form->Handle());
    ASSERT_NE(skinned.box, nullptr);
    EXPECT_TRUE(skinned.adapted);
    EXPECT_GE(skinned.childAdapters, 2);  // its text and its button at least
    EXPECT_FALSE(skinned.sysMenuStyle);
    EXPECT_EQ(skinned.title, kTitleOn);
    EXPECT_EQ(skinned.client, kDialogBack);
    EXPECT_EQ(skinned.close, kCloseNormal);
    EXPECT_EQ(skinned.button, kButtonBack);
    EXPECT_TRUE(skinned.oneBrush);
    // Its text is drawn whole: from the window's left edge to just inside
    // its right one, where the last letter's right bearing is left blank
    // (the system draws glyphs wider apart than it measures them).
    EXPECT_EQ(skinned.firstInk, 0);
    EXPECT_GE(skinned.lastInk, skinned.textWidth - 4);
    EXPECT_LT(skinned.lastInk, skinned.textWidth - 1);
    // Gone with its window: no provider is left for it.
    EXPECT_EQ(FindProviderByHandle(skinned.box), nullptr);
    EXPECT_TRUE(std::none_of(HookedProviders->begin(), HookedProviders->end(), [](vcl::TObject* p) {
        auto* provider = dynamic_cast<TacProvider*>(p);
        return provider && provider->DialogAdapter;
    }));

    // A popup menu's window gets an adapter as it is made, freed with it.
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"Пункт");
    HWND popup = nullptr;
    bool popupAdapted = false;
    PostAction([&] {
        popup = FindWindowW(L"#32768", nullptr);
        popupAdapted = std::find(MnuArray.begin(), MnuArray.end(), popup) != MnuArray.end() &&
                       dynamic_cast<TacMnuWnd*>(GetScrollWnd(popup)) != nullptr;
        EndMenu();
    });
    TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, form->Handle(), nullptr);
    Pump();
    EXPECT_NE(popup, nullptr);
    EXPECT_TRUE(popupAdapted);
    EXPECT_EQ(TacMnuWnd::LiveCount(), 0);

    // The skin taken off while a box is up: the box gets its own frame back at once.
    g_removeSkinWhileUp = true;
    const BoxLook removed = ShowRealBox(form->Handle());
    g_removeSkinWhileUp = false;
    EXPECT_TRUE(removed.adapted);
    EXPECT_TRUE(removed.plainAfterRemoval);
    EXPECT_EQ(HookedProviders, nullptr);

    // Skin off: boxes and menus are the system's own again.
    s.SkinOff();
    EXPECT_TRUE(MnuArray.empty());
    const BoxLook plain = ShowRealBox(form->Handle());
    ASSERT_NE(plain.box, nullptr);
    EXPECT_FALSE(plain.adapted);
    EXPECT_TRUE(plain.sysMenuStyle);
    EXPECT_NE(plain.client, kDialogBack);
    popupAdapted = true;
    PostAction([&] {
        popupAdapted = GetScrollWnd(FindWindowW(L"#32768", nullptr)) != nullptr;
        EndMenu();
    });
    TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, form->Handle(), nullptr);
    Pump();
    EXPECT_FALSE(popupAdapted);
    DestroyMenu(menu);
    late->Free();
    early->Free();
    never->Free();
    form->Free();
}

TEST(MDIForm, TheClientKeepsOneAdapterAndNoneWithoutTheSkin) {
    HookScene s;
    TForm* main = NewForm<TForm>(Application);
    main->SetBounds(340, 20, 400, 300);
    main->SetFormStyle(fsMDIForm);
    ASSERT_NE(main->ClientHandle(), nullptr);
    TForm* child = NewForm<TForm>(Application);
    child->SetFormStyle(fsMDIChild);
    child->SetBounds(10, 10, 150, 100);
    main->Show();
    child->Show();
    Pump();
    HWND client = main->ClientHandle();
    EXPECT_EQ(GetParent(child->Handle()), client);
    EXPECT_EQ(main->ActiveMDIChild(), child);
    EXPECT_EQ(main->MDIChildCount(), 1);

    s.SkinOn();
    auto* provider = dynamic_cast<TsSkinProvider*>(FormProvider(main));
    ASSERT_NE(provider, nullptr);
    auto* mdi = dynamic_cast<TsMDIForm*>(provider->MDIForm.get());
    ASSERT_NE(mdi, nullptr);
    ASSERT_NE(mdi->Adapter, nullptr);
    EXPECT_EQ(GetScrollWnd(client), mdi->Adapter.get());
    // Connected twice: the second adapter replaces the first, none stays behind it.
    mdi->ConnectToClient();
    mdi->ConnectToClient();
    TacMDIWnd* adapter = mdi->Adapter.get();
    EXPECT_EQ(GetScrollWnd(client), adapter);
    mdi->RemoveAdapter();
    EXPECT_EQ(GetScrollWnd(client), nullptr);
    mdi->ConnectIfNeeded();
    EXPECT_EQ(GetScrollWnd(client), mdi->Adapter.get());
    // The MDI area shows the form's skinned background, not the system's.
    RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT cr{};
    GetClientRect(client, &cr);
    HDC dc = GetDC(client);
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc, cr.right - 5, cr.bottom - 5)), kFormBack);
    ReleaseDC(client, dc);

    s.SkinOff();
    EXPECT_EQ(GetScrollWnd(client), nullptr);
    EXPECT_EQ(provider->MDIForm, nullptr);
    child->Free();
    main->Free();
}

namespace {

// A dialog's button that, as a combo box its list or a tool bar its tip,
// destroys another window of its own while it is being destroyed.
WNDPROC g_buttonProc = nullptr;
HWND g_buttonsTip = nullptr;

LRESULT CALLBACK ButtonWithTip(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY && g_buttonsTip) {
        DestroyWindow(g_buttonsTip);
        g_buttonsTip = nullptr;
    }
    return CallWindowProcW(g_buttonProc, window, msg, wParam, lParam);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A "#32770" dialog with one push button (ID 100), made from a template in memory.
HWND NewDialogWithButton(HWND owner) {
    alignas(4) WORD t[64] = {};
    auto* dlg = reinterpret_cast<DLGTEMPLATE*>(t);
    dlg->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    dlg->cdit = 1;
    dlg->x = 40, dlg->y = 40, dlg->cx = 160, dlg->cy = 80;
    WORD* p = reinterpret_cast<WORD*>(dlg + 1);
    *p++ = 0;  // no menu
    *p++ = 0;  // the dialog class
    *p++ = 0;  // no title
    p = reinterpret_cast<WORD*>((reinterpret_cast<uintptr_t>(p) + 3) & ~uintptr_t(3));
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(p);
    item->style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    item->x = 10, item->y = 10, item->cx = 60, item->cy = 14;
    item->id = 100;
    p = reinterpret_cast<WORD*>(item + 1);
    *p++ = 0xFFFF;
    *p++ = 0x0080;  // button
    *p++ = 'O';
    *p++ = 'K';
    *p++ = 0;
    *p++ = 0;  // no creation data
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dlg, owner, PlainDialogProc, 0);
}

}  // namespace

TEST(WindowHook, ADialogWhoseChildDestroysAnotherWindowInItsDestructionGoesWhole) {
    HookScene s;
    s.SkinOn();
    HWND dialog = NewDialogWithButton(s.host->Handle());
    ASSERT_NE(dialog, nullptr);
    HWND button = GetDlgItem(dialog, 100);
    g_buttonsTip = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND tip = g_buttonsTip;
    g_buttonProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonWithTip)));
    ShowWindow(dialog, SW_SHOW);
    SetActiveWindow(dialog);
    Pump();
    TacProvider* provider = FindProviderByHandle(dialog);
    ASSERT_NE(provider, nullptr);
    ASSERT_NE(GetScrollWnd(button), nullptr);  // the button's adapter sits above its own procedure

    // The dialog lets go first; its button then destroys the tip from inside
    // its adapter's WM_DESTROY, and the hook, hearing of the tip, frees the
    // dead dialog's provider while that adapter is still at work.
    DestroyWindow(dialog);
    Pump();
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(FindProviderByHandle(dialog), nullptr);
    s.SkinOff();
}
