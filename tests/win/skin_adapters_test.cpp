// Window adapters taking over real windows in their three ways (a control's
// WindowProc, a provider's form, a plain window's procedure) and giving
// them back, also when another procedure came over them meanwhile: each
// message reaches what lies below exactly once, the skinned question is
// answered by the adapter, a caption keeps its Cyrillic letters.
#include "gtest_windows.h"
#include "support/flat_scroll_skin.h"
#include "support/vcl_test_support.h"

#include <vector>

#include "skin/core/win32/skinmessages.h"
#include "skin/windows/windowadapter.h"
#include "vcl/wintext.h"

using namespace vcl;
using namespace skin;
using vcltest::Pump;

namespace {

struct AdapterScene : skintest::FlatSkinScene {
    AdapterScene() : FlatSkinScene(60, 60, 300, 200) {}
};

// Counts what reaches a window's own procedure from above.
struct Heard {
    int setText = 0;
    int skinned = 0;
    int other = 0;
    void Count(UINT msg, WPARAM wParam) {
        if (msg == WM_SETTEXT) ++setText;
        else if (msg == SM_SKINCMD && SkinCommandOf(wParam) == AC_QUERYSKINNED) ++skinned;
        else if (msg == WM_USER + 7) ++other;
    }
};

Heard* g_below = nullptr;
WNDPROC g_belowNext = nullptr;
LRESULT CALLBACK BelowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (g_below) g_below->Count(msg, wp);
    return CallWindowProcW(g_belowNext, w, msg, wp, lp);
}

// Sends the question as a control's neighbours ask it: through Perform the
// answer comes back in the record's LParam, through the window in the result.
bool AnsweredInRecord(TControl* control) {
    TMessage m = SkinCommandMessage(AC_QUERYSKINNED);
    control->Perform(m);
    return m.LParam == 1 && m.Result == 1;
}

std::string Text(HWND w) { return GetWindowText1251(w); }

}  // namespace

TEST(WindowAdapters, AControlsAdapterGoesOnTopOfItsChainAndLeavesTheOthersInPlace) {
    AdapterScene s;
    auto* list = new TListBox(s.form);
    list->SetParent(s.form);
    Heard below, above;
    const TWindowProcToken belowToken = list->ReplaceWindowProc([&](TMessage& m) {
        below.Count(m.Msg, m.WParam);
        list->CallPreviousWindowProc(belowToken, m);
    });
    TsCommonData data(list, true);
    auto adapter = CreateAdapter<TacMainWnd>(list->Handle(), &data, s.manager, "EDIT");
    HWND h = list->Handle();
    EXPECT_EQ(adapter->Takeover(), TAdapterTakeover::Control);
    EXPECT_EQ(GetScrollWnd(h), adapter.get());
    EXPECT_TRUE(list->ControlStyle() & csOpaque);

    // Skinned: answered in the record and in the result, and never passed on.
    EXPECT_TRUE(AnsweredInRecord(list));
    EXPECT_EQ(SendSkinCommand(h, AC_QUERYSKINNED), 1);
    EXPECT_EQ(below.skinned, 0);
    // A caption through the W functions keeps its letters and is set once.
    SetWindowTextW(h, WideText("Привет, мир"));
    EXPECT_EQ(below.setText, 1);
    EXPECT_EQ(adapter->Caption, "Привет, мир");
    EXPECT_EQ(Text(h), "Привет, мир");

    // Another replacement comes over the adapter; the adapter leaves.
    const TWindowProcToken aboveToken = list->ReplaceWindowProc([&](TMessage& m) {
        above.Count(m.Msg, m.WParam);
        list->CallPreviousWindowProc(aboveToken, m);
    });
    UnhookWndProc(h, false, false, adapter);
    EXPECT_TRUE(adapter->Destroyed);
    EXPECT_EQ(GetScrollWnd(h), nullptr);
    EXPECT_TRUE(list->WindowProcOnTop(aboveToken));
    adapter.reset();
    SendMessageW(h, WM_USER + 7, 0, 0);
    SendSkinCommand(h, AC_QUERYSKINNED);
    EXPECT_EQ(above.other, 1);
    EXPECT_EQ(below.other, 1);
    EXPECT_EQ(below.skinned, 1);  // nobody answers for the window any more
    EXPECT_FALSE(AnsweredInRecord(list));
    list->RestoreWindowProc(aboveToken);
    list->RestoreWindowProc(belowToken);
}

TEST(WindowAdapters, APlainWindowIsGivenBackOnlyWhileTheAdaptersProcedureIsOnTop) {
    AdapterScene s;
    HWND h = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10, 120, 80, s.form->Handle(),
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    Heard below;
    g_below = &below;
    g_belowNext = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BelowProc)));

    auto adapter = CreateAdapter<TacMainWnd>(h, nullptr, s.manager, "EDIT");
    EXPECT_EQ(adapter->Takeover(), TAdapterTakeover::PlainWindow);
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&AdapterWindowProc));
    EXPECT_EQ(adapter->OldWndProc(), &BelowProc);
    EXPECT_EQ(SendSkinCommand(h, AC_QUERYSKINNED), 1);
    EXPECT_EQ(below.skinned, 0);
    SetWindowTextW(h, WideText("Заголовок"));
    EXPECT_EQ(below.setText, 1);
    EXPECT_EQ(adapter->Caption, "Заголовок");
    // The cache is an answer only once it holds a picture.
    EXPECT_EQ(adapter->SkinData->CacheBitmap->Width(), 0);
    ReplyCacheInfo.Ready = true;
    SendSkinCommand(h, AC_QUERYCACHE);
    EXPECT_FALSE(ReplyCacheInfo.Ready);
    SendSkinCommand(h, AC_PREPARECACHE);
    SendSkinCommand(h, AC_QUERYCACHE);
    EXPECT_TRUE(ReplyCacheInfo.Ready);
    EXPECT_EQ(ReplyCacheInfo.Bmp.Width, 120);
    ReplyCacheInfo = TParentCacheInfo{};

    // On top: the window gets its procedure back.
    UnhookWndProc(h, true, false, adapter);
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&BelowProc));
    EXPECT_EQ(GetScrollWnd(h), nullptr);

    // Under another subclass: ours stays in the chain and only passes on,
    // also once the adapter is freed.
    adapter = CreateAdapter<TacMainWnd>(h, nullptr, s.manager, "EDIT");
    int aboveHeard = 0;
    TWindowProcToken above = 0;
    above = SubclassWindow(h, [&](HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_USER + 7) ++aboveHeard;
        return CallPreviousSubclass(w, above, msg, wp, lp);
    });
    UnhookWndProc(h, true, false, adapter);
    EXPECT_NE(GetWindowLongPtrW(h, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&BelowProc));
    SendMessageW(h, WM_USER + 7, 0, 0);
    EXPECT_EQ(aboveHeard, 1);
    EXPECT_EQ(below.other, 1);
    EXPECT_EQ(SendSkinCommand(h, AC_QUERYSKINNED), 0);
    EXPECT_EQ(below.skinned, 1);

    // A new adapter answers where the old one's procedure still sits, and is
    // given back once the subclass over it has gone.
    adapter = CreateAdapter<TacMainWnd>(h, nullptr, s.manager, "EDIT");
    EXPECT_EQ(SendSkinCommand(h, AC_QUERYSKINNED), 1);
    EXPECT_EQ(below.skinned, 1);
    RemoveSubclass(h, above);
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&AdapterWindowProc));
    SetWindowTextW(h, WideText("Ещё раз"));
    EXPECT_EQ(below.setText, 2);
    EXPECT_EQ(adapter->Caption, "Ещё раз");
    adapter.reset();
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&BelowProc));
    DestroyWindow(h);
    g_below = nullptr;
}

namespace {

// A provider as the form skinning makes one: its procedure is the form's
// newest replacement until the form's scroll adapter comes over it.
struct TestProvider : public TObject, public TsProviderLink {
    explicit TestProvider(TForm* f) : form(f) {
        token = form->ReplaceWindowProc([this](TMessage& m) {
            heard.Count(m.Msg, m.WParam);
            if (m.Msg == WM_SETTEXT) order.push_back("provider");
            form->CallPreviousWindowProc(token, m);
        });
    }
    ~TestProvider() override { form->RestoreWindowProc(token); }
    TForm* ProviderForm() const override { return form; }
    TsSkinManager* ProviderManager() const override { return nullptr; }
    TForm* form;
    TWindowProcToken token;
    Heard heard;
    std::vector<std::string> order;
};

struct OrderedAdapter : TacMainWnd {
    using TacMainWnd::TacMainWnd;
    void AdapterWndProc(TMessage& m) override {
        if (m.Msg == WM_SETTEXT && provider) provider->order.push_back("adapter");
        TacMainWnd::AdapterWndProc(m);
    }
    TestProvider* provider = nullptr;
};

}  // namespace

TEST(WindowAdapters, AProvidersFormHearsEachMessageAfterItsAdapterAndDestroyingAWindowReleasesIt) {
    AdapterScene s;
    TestProvider provider(s.form);
    TsCommonData data(&provider, true);
    auto adapter = std::make_unique<OrderedAdapter>(s.form->Handle(), &data, s.manager, "FORM");
    adapter->provider = &provider;
    adapter->Start();
    EXPECT_EQ(adapter->Takeover(), TAdapterTakeover::ProviderForm);
    EXPECT_FALSE(s.form->WindowProcOnTop(provider.token));
    s.form->SetCaption("Форма");
    EXPECT_EQ(provider.order, (std::vector<std::string>{"adapter", "provider"}));
    EXPECT_EQ(provider.heard.setText, 1);
    EXPECT_EQ(adapter->Caption, "Форма");
    EXPECT_TRUE(AnsweredInRecord(s.form));
    EXPECT_EQ(provider.heard.skinned, 0);
    UnhookWndProc(s.form->Handle(), true, false, adapter);
    EXPECT_TRUE(s.form->WindowProcOnTop(provider.token));

    // A control destroyed under its adapter: the adapter lets go by itself,
    // and freeing it later touches nothing.
    auto* list = new TListBox(s.form);
    list->SetParent(s.form);
    TsCommonData listData(list, true);
    auto listAdapter = CreateAdapter<TacMainWnd>(list->Handle(), &listData, s.manager, "EDIT");
    HWND h = list->Handle();
    list->Free();
    EXPECT_TRUE(listAdapter->Destroyed);
    EXPECT_FALSE(IsWindow(h));
    listAdapter.reset();

    // The same for a plain window.
    HWND plain = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, s.form->Handle(), nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    auto plainAdapter = CreateAdapter<TacMainWnd>(plain, nullptr, s.manager, "EDIT");
    DestroyWindow(plain);
    EXPECT_TRUE(plainAdapter->Destroyed);
    plainAdapter.reset();
}
