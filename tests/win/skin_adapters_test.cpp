// Window adapters taking over real windows in their three ways (a control's
// WindowProc, a provider's form, a plain window's procedure) and giving
// them back, also when another procedure came over them meanwhile: each
// message reaches what lies below exactly once, the skinned question is
// answered by the adapter, a caption keeps its Cyrillic letters.
#include "gtest_windows.h"
#include "support/flat_scroll_skin.h"

#include "skin/core/win32/skinmessages.h"
#include "skin/windows/windowadapter.h"
#include "vcl/wintext.h"

using namespace vcl;
using namespace skin;

namespace {

// What reaches a window from above: captions set, skinned questions, a probe message.
struct Heard {
    int setText = 0, skinned = 0, probe = 0;
    void Count(UINT msg, WPARAM wParam) {
        setText += msg == WM_SETTEXT;
        skinned += msg == SM_SKINCMD && SkinCommandOf(wParam) == AC_QUERYSKINNED;
        probe += msg == WM_USER + 7;
    }
};

Heard g_below;
WNDPROC g_belowNext = nullptr;
LRESULT CALLBACK BelowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    g_below.Count(msg, wp);
    return CallWindowProcW(g_belowNext, w, msg, wp, lp);
}

// Asked through Perform the answer comes back in the record, and in the result.
bool AnsweredInRecord(TControl* control) {
    TMessage m = SkinCommandMessage(AC_QUERYSKINNED);
    control->Perform(m);
    return m.LParam == 1 && m.Result == 1;
}

void SetCaption(HWND w, const std::string& text) { SetWindowTextW(w, WideText(text)); }

}  // namespace

TEST(WindowAdapters, AControlsAdapterGoesOnTopOfItsChainAndLeavesTheOthersInPlace) {
    skintest::FlatSkinScene s(60, 60, 300, 200);
    auto* list = new TListBox(s.form);
    list->SetParent(s.form);
    Heard below, above;
    TWindowProcToken belowToken = 0, aboveToken = 0;
    belowToken = list->ReplaceWindowProc([&](TMessage& m) {
        below.Count(m.Msg, m.WParam);
        list->CallPreviousWindowProc(belowToken, m);
    });
    TsCommonData data(list, true);
    auto adapter = CreateAdapter<TacMainWnd>(list->Handle(), &data, s.manager, "EDIT");
    HWND h = list->Handle();
    EXPECT_EQ(adapter->Takeover(), TAdapterTakeover::Control);
    EXPECT_EQ(GetScrollWnd(h), adapter.get());
    EXPECT_TRUE(list->ControlStyle() & csOpaque);
    EXPECT_TRUE(AnsweredInRecord(list));
    EXPECT_EQ(SendSkinCommand(h, AC_QUERYSKINNED), 1);
    EXPECT_EQ(below.skinned, 0);
    SetCaption(h, "Привет, мир");
    EXPECT_EQ(below.setText, 1);
    EXPECT_EQ(adapter->Caption, "Привет, мир");
    EXPECT_EQ(GetWindowText1251(h), "Привет, мир");

    // Another replacement comes over the adapter; the adapter leaves, the others stay.
    aboveToken = list->ReplaceWindowProc([&](TMessage& m) {
        above.Count(m.Msg, m.WParam);
        list->CallPreviousWindowProc(aboveToken, m);
    });
    UnhookWndProc(h, true, false, adapter);
    EXPECT_EQ(GetScrollWnd(h), nullptr);
    EXPECT_TRUE(list->WindowProcOnTop(aboveToken));
    SendMessageW(h, WM_USER + 7, 0, 0);
    EXPECT_EQ(above.probe, 1);
    EXPECT_EQ(below.probe, 1);
    EXPECT_FALSE(AnsweredInRecord(list));
    EXPECT_EQ(below.skinned, 1);

    // Destroyed under a new adapter: the adapter lets go by itself, and is freed later safely.
    adapter = CreateAdapter<TacMainWnd>(h, &data, s.manager, "EDIT");
    list->Free();
    EXPECT_TRUE(adapter->Destroyed);
    EXPECT_FALSE(IsWindow(h));
}

TEST(WindowAdapters, APlainWindowIsGivenBackOnlyWhileTheAdaptersProcedureIsOnTop) {
    skintest::FlatSkinScene s(60, 60, 300, 200);
    HWND h = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10, 120, 80, s.form->Handle(),
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    g_below = Heard{};
    g_belowNext = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BelowProc)));
    auto procedure = [h] { return GetWindowLongPtrW(h, GWLP_WNDPROC); };
    auto adapter = CreateAdapter<TacMainWnd>(h, nullptr, s.manager, "EDIT");
    EXPECT_EQ(adapter->Takeover(), TAdapterTakeover::PlainWindow);
    EXPECT_EQ(procedure(), reinterpret_cast<LONG_PTR>(&AdapterWindowProc));
    EXPECT_EQ(SendSkinCommand(h, AC_QUERYSKINNED), 1);
    SetCaption(h, "Заголовок");
    EXPECT_EQ(adapter->Caption, "Заголовок");
    EXPECT_EQ(g_below.setText, 1);
    EXPECT_EQ(g_below.skinned, 0);
    // The cache is an answer only once it holds a picture.
    ReplyCacheInfo.Ready = true;
    SendSkinCommand(h, AC_QUERYCACHE);
    EXPECT_FALSE(ReplyCacheInfo.Ready);
    SendSkinCommand(h, AC_PREPARECACHE);
    SendSkinCommand(h, AC_QUERYCACHE);
    EXPECT_TRUE(ReplyCacheInfo.Ready);
    EXPECT_EQ(ReplyCacheInfo.Bmp.Width, 120);
    ReplyCacheInfo = TParentCacheInfo{};
    UnhookWndProc(h, true, false, adapter);
    EXPECT_EQ(procedure(), reinterpret_cast<LONG_PTR>(&BelowProc));

    // Under another subclass: ours stays in the chain and only passes on,
    // also once the adapter is freed.
    adapter = CreateAdapter<TacMainWnd>(h, nullptr, s.manager, "EDIT");
    int aboveProbes = 0;
    TWindowProcToken above = 0;
    above = SubclassWindow(h, [&](HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        aboveProbes += msg == WM_USER + 7;
        return CallPreviousSubclass(w, above, msg, wp, lp);
    });
    UnhookWndProc(h, true, false, adapter);
    SendMessageW(h, WM_USER + 7, 0, 0);
    EXPECT_EQ(aboveProbes, 1);
    EXPECT_EQ(g_below.probe, 1);
    EXPECT_EQ(SendSkinCommand(h, AC_QUERYSKINNED), 0);
    // A new adapter answers where the old one's procedure still sits, and the
    // window gets its procedure back once the subclass over it has gone.
    adapter = CreateAdapter<TacMainWnd>(h, nullptr, s.manager, "EDIT");
    EXPECT_EQ(SendSkinCommand(h, AC_QUERYSKINNED), 1);
    EXPECT_EQ(g_below.skinned, 1);
    RemoveSubclass(h, above);
    SetCaption(h, "Ещё раз");
    EXPECT_EQ(g_below.setText, 2);
    adapter.reset();
    EXPECT_EQ(procedure(), reinterpret_cast<LONG_PTR>(&BelowProc));

    adapter = CreateAdapter<TacMainWnd>(h, nullptr, s.manager, "EDIT");
    DestroyWindow(h);
    EXPECT_TRUE(adapter->Destroyed);
}

namespace {

// A form's provider, whose procedure is the form's newest replacement until
// the form's own adapter comes over it; it notes who hears a caption first.
struct TestProvider : public TObject, public TsProviderLink {
    explicit TestProvider(TForm* f) : form(f) {
        token = form->ReplaceWindowProc([this](TMessage& m) {
            heard.Count(m.Msg, m.WParam);
            if (m.Msg == WM_SETTEXT) order += "provider;";
            form->CallPreviousWindowProc(token, m);
        });
    }
    ~TestProvider() override { form->RestoreWindowProc(token); }
    TForm* ProviderForm() const override { return form; }
    TsSkinManager* ProviderManager() const override { return nullptr; }
    TForm* form;
    TWindowProcToken token;
    Heard heard;
    std::string order;
};

struct NotingAdapter : TacMainWnd {
    NotingAdapter(TestProvider& p, TsCommonData* data, TsSkinManager* manager)
        : TacMainWnd(p.form->Handle(), data, manager, "FORM"), provider(p) {}
    void AdapterWndProc(TMessage& m) override {
        if (m.Msg == WM_SETTEXT) provider.order += "adapter;";
        TacMainWnd::AdapterWndProc(m);
    }
    TestProvider& provider;
};

}  // namespace

TEST(WindowAdapters, AProvidersFormHearsEachMessageAfterItsAdapter) {
    skintest::FlatSkinScene s(60, 60, 300, 200);
    TestProvider provider(s.form);
    TsCommonData data(&provider, true);
    auto adapter = CreateAdapter<NotingAdapter>(provider, &data, s.manager);
    EXPECT_EQ(adapter->Takeover(), TAdapterTakeover::ProviderForm);
    EXPECT_FALSE(s.form->WindowProcOnTop(provider.token));
    s.form->SetCaption("Форма");
    EXPECT_EQ(provider.order, "adapter;provider;");
    EXPECT_EQ(provider.heard.setText, 1);
    EXPECT_EQ(adapter->Caption, "Форма");
    EXPECT_TRUE(AnsweredInRecord(s.form));
    EXPECT_EQ(provider.heard.skinned, 0);
    UnhookWndProc(s.form->Handle(), true, false, adapter);
    EXPECT_TRUE(s.form->WindowProcOnTop(provider.token));
}
