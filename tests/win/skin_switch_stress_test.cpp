// Skinning switched off and on again and again with the real mouse, while
// the main window, the options, the unit editor and a real message box are
// open: the box that switches the skin loses its own adapter inside its own
// click each time, the box's dialog loses its adapters inside the
// options' click, and the program goes on, skinned at the end.
#include "support/program_fixture.h"

#include "skin/core/skincommands.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/windows/dialoghook.h"
#include "skin/windows/skinprovider.h"
#include "skin/windows/windowadapter.h"
#include "windows/editor.h"
#include "windows/opt.h"

using namespace vcl;

namespace {

// The real mouse through the system's input queue: hit tests, activation
// and capture as for a person at the screen.
void ClickAt(POINT p) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT input[3]{};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[0].mi.dx = (p.x * 65536 + w - 1) / w;
    input[0].mi.dy = (p.y * 65536 + h - 1) / h;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].type = INPUT_MOUSE;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, input, sizeof(INPUT));
}

// Handles messages until `done` holds, for at most two seconds.
template <class Done>
bool PumpUntil(const Done& done) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 2000; Sleep(5)) {
        vcltest::Pump();
        if (done()) return true;
    }
    return false;
}

BOOL CALLBACK MatchBox(HWND w, LPARAM p) {
    WCHAR cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(p) = w;
    return FALSE;
}

HWND FindBox() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), MatchBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool FormSkinned(TForm* form) {
    auto* provider = dynamic_cast<skin::TsSkinProvider*>(skin::FormProvider(form));
    return provider && provider->SkinData->HasValidSkin();
}

struct Outcome {
    int switches = 0;  // clicks that switched the skin as asked
    bool boxSkinnedEveryTime = true;
    bool boxPlainEveryTime = true;
    bool endSkinned = false;
};

}  // namespace

TEST(SkinSwitchStress, FiftyTimesOffAndOnWithTheMouseWhileWindowsAndABoxAreOpen) {
    TForm1* main = programtest::StartProgram();
    skin::TsSkinManager* manager = main->sSkinManager1;
    // The options away from the editor and the box, on top.
    Form13->SetBounds(800, 590, Form13->Width(), Form13->Height());
    Form13->Show();
    Form2->Show();
    SetWindowPos(Form13->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    vcltest::Pump();
    RECT r{};
    GetWindowRect(Form13->CheckBox5->Handle(), &r);
    const POINT box5{r.left + 8, (r.top + r.bottom) / 2};
    ASSERT_EQ(WindowFromPoint(box5), Form13->CheckBox5->Handle());

    // Skin on before the box comes up.
    ClickAt(box5);
    ASSERT_TRUE(PumpUntil([&] { return manager->SkinActive(); }));

    Outcome out;
    vcltest::PostAction([&] {
        HWND box = FindBox();
        if (!box) return;
        SetWindowPos(box, nullptr, 20, 760, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (int round = 0; round < 50; ++round) {
            for (const bool on : {false, true}) {
                ClickAt(box5);
                if (!PumpUntil([&] { return manager->SkinActive() == on && Form13->CheckBox5->Checked() == on; }))
                    return;
                ++out.switches;
                // The box wears the skin with it and gives it back without it.
                const bool adapted = skin::GetScrollWnd(box) != nullptr && skin::FindProviderByHandle(box) != nullptr;
                if (on && !adapted) out.boxSkinnedEveryTime = false;
                if (!on && adapted) out.boxPlainEveryTime = false;
            }
        }
        out.endSkinned = manager->SkinActive() && manager->IsHooked && FormSkinned(main) && FormSkinned(Form13) &&
                         FormSkinned(Form2) && skin::AskSkinCommand(Form13->CheckBox5, skin::AC_QUERYSKINNED) &&
                         skin::GetScrollWnd(box) != nullptr;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    });
    EXPECT_EQ(MessageBoxW(main->Handle(), L"количество кораблей должно быть целым числом", L"Warning", MB_OK), IDOK);
    vcltest::Pump();

    EXPECT_EQ(out.switches, 100);
    EXPECT_TRUE(out.boxSkinnedEveryTime);
    EXPECT_TRUE(out.boxPlainEveryTime);
    EXPECT_TRUE(out.endSkinned);
    // The program goes on with its skin.
    EXPECT_TRUE(manager->SkinActive());
    EXPECT_TRUE(FormSkinned(main));
    EXPECT_TRUE(programtest::Boxes().Shown().empty());
    Form2->Hide();
    Form13->Hide();
}
