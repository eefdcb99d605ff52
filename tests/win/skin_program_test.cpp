// Skinning in the whole program: the main window keeps the skin manager
// with our stored skins, switched off; the options' box switches it on, and
// every window of the program hears the new skin, and of its removal; the
// log window's gauges fill with the skin's bar while a battle runs.
#include "support/program_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "skin/core/skincommands.h"
#include "skin/core/skinlookups.h"
#include "skin/core/win32/skinmanager.h"
#include "windows/editor.h"
#include "windows/log.h"
#include "windows/opt.h"
#include "windows/shabln.h"
#include "windows/unitsinfo.h"

using namespace vcl;

namespace {

std::map<HWND, std::vector<unsigned>>* g_heard = nullptr;

// The skin's news to each window, as sent.
LRESULT CALLBACK ListenToSkinNews(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    const unsigned command = skin::SkinCommandOf(m->wParam);
    if (code == HC_ACTION && g_heard && m->message == skin::SM_SKINCMD &&
        (command == skin::AC_SKINLOADED || command == skin::AC_SKINREMOVED || command == skin::AC_BEFOREREFRESH ||
         command == skin::AC_SKINREFRESH))
        (*g_heard)[m->hwnd].push_back(command);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST(ProgramSkinning, TheOptionsBoxSendsOurSkinToEveryWindowAndTakesItAway) {
    TForm1* main = programtest::StartProgram();
    skin::TsSkinManager* manager = main->sSkinManager1;
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(skin::DefaultManager, manager);
    EXPECT_FALSE(manager->Active());
    EXPECT_EQ(manager->SkinDirectory(), "c:\\Skins");
    EXPECT_EQ(manager->SkinName(), "Cold (internal)");
    ASSERT_EQ(manager->InternalSkins().Count(), 3);
    EXPECT_EQ(manager->MenuSupport().IcoLineSkin, "ICOLINE");

    // What each window of the program hears of the skin, seen as it is sent
    // (a window's skin provider takes the news and does not pass it on).
    std::map<HWND, std::vector<unsigned>> heardBy;
    g_heard = &heardBy;
    HHOOK listener = SetWindowsHookExW(WH_CALLWNDPROC, ListenToSkinNews, nullptr, GetCurrentThreadId());
    ASSERT_NE(listener, nullptr);
    auto expectHeard = [&heardBy](const std::vector<unsigned>& expected) {
        for (int i = 0; i < Screen->FormCount(); ++i)
            EXPECT_EQ(heardBy[Screen->Forms(i)->Handle()], expected) << vcltest::Utf8(Screen->Forms(i)->Name());
        heardBy.clear();
    };
    ASSERT_EQ(Screen->FormCount(), 30);

    vcltest::Click(Form13->CheckBox5);
    EXPECT_TRUE(manager->SkinActive());
    EXPECT_EQ(manager->SkinName(), "Cold (internal)");
    EXPECT_TRUE(manager->IsHooked);
    expectHeard({skin::AC_SKINLOADED, skin::AC_BEFOREREFRESH, skin::AC_SKINREFRESH});

    vcltest::Click(Form13->CheckBox5);
    EXPECT_FALSE(manager->SkinActive());
    EXPECT_FALSE(manager->IsHooked);
    expectHeard({skin::AC_SKINREMOVED});
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"})
        EXPECT_EQ(dynamic_cast<TControl*>(main->FindComponent(name))->Font()->Color(), clBlack) << name;
    EXPECT_TRUE(programtest::Boxes().Shown().empty());
    UnhookWindowsHookEx(listener);
    g_heard = nullptr;
}

namespace {

struct Painting {
    HWND window;
    UINT msg;
    bool removing;  // sent while the skin was still being taken away
};
std::vector<Painting>* g_paintings = nullptr;
// The screen over the open forms before the switch, and how often it
// differed from that while the switch went on.
struct ScreenWatch {
    std::vector<HWND> forms;
    std::vector<COLORREF> before;
    int changed = 0, looks = 0;
};
ScreenWatch* g_watch = nullptr;

LRESULT CALLBACK ListenToPainting(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    const bool paint = m->message == WM_PAINT || m->message == WM_NCPAINT || m->message == WM_ERASEBKGND;
    if (code == HC_ACTION && g_paintings && paint) g_paintings->push_back(Painting{m->hwnd, m->message, skin::SkinRemoving});
    if (code == HC_ACTION && g_watch && paint && ++g_watch->looks % 4 == 0 &&
        vcltest::ScreenProbes(g_watch->forms) != g_watch->before)
        ++g_watch->changed;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool PaintWaits(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return true;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && PaintWaits(child)) return true;
    return false;
}

}  // namespace

TEST(ProgramSkinning, SwitchedOffWithWindowsOpenNoneIsDrawnHalfPlainAndAllAreDrawnPlainBeforeTheClickReturns) {
    TForm1* main = programtest::StartProgram();
    vcltest::Click(Form13->CheckBox5);
    ASSERT_TRUE(main->sSkinManager1->SkinActive());
    std::vector<TForm*> open{main, Form2, Form15, infoform, Form13};
    for (TForm* form : open) form->Show();
    vcltest::Pump();

    // Every paint that reaches a window, as it is sent: none may come while
    // the skin is still being taken from the windows, or the desktop shows
    // a plain control in a skinned window, or a skinned one in a plain
    // window.
    std::vector<Painting> paintings;
    g_paintings = &paintings;
    HHOOK listener = SetWindowsHookExW(WH_CALLWNDPROC, ListenToPainting, nullptr, GetCurrentThreadId());
    ASSERT_NE(listener, nullptr);
    vcltest::Click(Form13->CheckBox5);
    UnhookWindowsHookEx(listener);
    g_paintings = nullptr;
    ASSERT_FALSE(main->sSkinManager1->SkinActive());

    auto ownerForm = [&open](HWND window) -> TForm* {
        for (TForm* form : open)
            if (window == form->Handle() || IsChild(form->Handle(), window)) return form;
        return nullptr;
    };
    std::map<TForm*, int> early;
    for (const Painting& p : paintings)
        if (TForm* form = ownerForm(p.window); form && p.removing) ++early[form];
    // Each form and its frame were drawn anew, and nothing waits for later.
    for (TForm* form : open) {
        SCOPED_TRACE(vcltest::Utf8(form->Name()));
        EXPECT_EQ(early[form], 0);
        auto drawn = [&](UINT msg) {
            return std::any_of(paintings.begin(), paintings.end(),
                               [&](const Painting& p) { return p.window == form->Handle() && p.msg == msg; });
        };
        EXPECT_TRUE(drawn(WM_NCPAINT));
        EXPECT_TRUE(drawn(WM_PAINT));
        EXPECT_FALSE(PaintWaits(form->Handle()));
    }
    // On the screen each form keeps its old look until the switch has made
    // it whole in the new one, and then shows it; plain to skinned as well.
    std::vector<HWND> windows;
    for (TForm* form : open) windows.push_back(form->Handle());
    for (bool skinned : {true, false}) {
        SCOPED_TRACE(skinned ? "skinned" : "plain");
        vcltest::Pump();  // the click comes right after the queue was found empty
        ScreenWatch watch{windows, vcltest::ScreenProbes(windows)};
        g_watch = &watch;
        listener = SetWindowsHookExW(WH_CALLWNDPROC, ListenToPainting, nullptr, GetCurrentThreadId());
        vcltest::Click(Form13->CheckBox5);
        UnhookWindowsHookEx(listener);
        g_watch = nullptr;
        ASSERT_EQ(main->sSkinManager1->SkinActive(), skinned);
        EXPECT_GT(watch.looks, 4);
        EXPECT_EQ(watch.changed, 0);
        // The options window draws its box's new state after the switch,
        // as the answer to the click itself.
        EXPECT_EQ(vcltest::ScreenDiffers({windows.begin(), windows.end() - 1}), 0);
    }
    for (TForm* form : open)
        if (form != main) form->Hide();
    vcltest::Pump();
}

namespace {

TColor GaugePixel(skin::TsGauge* gauge, int x, int y) {
    HDC dc = GetDC(gauge->Parent()->Handle());
    const COLORREF c = GetPixel(dc, gauge->Left() + x, gauge->Top() + y);
    ReleaseDC(gauge->Parent()->Handle(), dc);
    return static_cast<TColor>(c);
}

}  // namespace

TEST(ProgramSkinning, TheLogWindowsGaugesFillWithTheSkinsBarThroughABattle) {
    TForm1* main = programtest::StartProgram();
    programtest::NewBattle(main);
    Form13->Edit1->SetText("10");
    Form13->Edit2->SetText("8");
    Form13->CheckBox4->SetChecked(false);
    for (int row : {5, 6}) {  // two fighting types on each side
        main->ValueListEditor1->SetValues(row, "100");
        main->ValueListEditor4->SetValues(row, "100");
    }
    vcltest::Click(Form13->CheckBox5);
    ASSERT_TRUE(main->sSkinManager1->SkinActive());

    std::vector<int> rounds;
    Form7->sGauge2->OnChange = [&rounds](TObject*) { rounds.push_back(Form7->sGauge2->Progress()); };
    vcltest::Click(main->Button5);
    vcltest::Advance(1);
    Form7->sGauge2->OnChange = nullptr;
    ASSERT_FALSE(main->RunGoing());
    ASSERT_TRUE(Form7->Visible());
    // Round after round, up to the end of the battle.
    ASSERT_GE(rounds.size(), 3u);
    EXPECT_TRUE(std::is_sorted(rounds.begin(), rounds.end()));
    EXPECT_EQ(rounds.back(), Form7->sGauge2->MaxValue());
    EXPECT_EQ(Form7->sGauge2->PercentDone(), 100);
    EXPECT_EQ(Form7->sGauge1->PercentDone(), 0);  // the last attack has just begun

    vcltest::Pump();
    const skin::TsSkinContent& skin = main->sSkinManager1->Skin();
    const TColor back = skin.Sections[skin.GetSkinIndex("GAUGE")].Color;
    const int border = Form7->sGauge1->SkinData()->BorderMaskIndex;
    const int left = skin::MaskMarginLeft(skin, border), right = Form7->sGauge1->Width() - skin::MaskMarginRight(skin, border);
    const int mid = Form7->sGauge1->Height() / 2;
    // The rounds' bar reaches the end; the units' is empty.
    for (int x : {left + 4, right - 4}) {
        EXPECT_NE(GaugePixel(Form7->sGauge2, x, mid), back) << x;
        EXPECT_NE(GaugePixel(Form7->sGauge2, x, mid), clBlack) << x;
        EXPECT_EQ(GaugePixel(Form7->sGauge1, x, mid), back) << x;
    }
    if (const char* dir = std::getenv("NORVIX_SCREENSHOT_DIR"))
        EXPECT_TRUE(vcltest::SaveScreenshot(Form7, std::string(dir) + "/log_window_skinned.bmp"));

    // Skinning off: the plain black frame and bar again.
    vcltest::Click(Form13->CheckBox5);
    vcltest::Pump();
    EXPECT_EQ(GaugePixel(Form7->sGauge2, 0, 0), clBlack);
    EXPECT_EQ(GaugePixel(Form7->sGauge2, left + 4, 2), clBlack);
    EXPECT_EQ(GaugePixel(Form7->sGauge1, left + 4, 2), clWhite);
    EXPECT_TRUE(programtest::Boxes().Shown().empty());
    Form7->Hide();
}
