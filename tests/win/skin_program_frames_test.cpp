// The program's windows with frame providers from the window hook: the
// options' box puts our skin on every frame and takes it off again.
#include "support/program_fixture.h"

#include "skin/core/skincommands.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/windows/dialoghook.h"
#include "skin/windows/skinprovider.h"
#include "windows/opt.h"

using namespace vcl;

namespace {

// Where the main window's frame and its provider's cache disagree in a row (-1 nowhere).
int FirstDifference(TForm* form, skin::TsSkinProvider* provider, int y) {
    HDC dc = GetWindowDC(form->Handle());
    const skin::TPixels cache = provider->SkinData->CacheBitmap->Pixels();
    int at = -1;
    for (int x = 8; x < cache.Width - 8 && at < 0; x += 7) {  // the cut corners apart
        const uint8_t* c = cache.At(x, y);
        if (GetPixel(dc, x, y) != RGB(c[2], c[1], c[0])) at = x;
    }
    ReleaseDC(form->Handle(), dc);
    return at;
}

}  // namespace

TEST(ProgramFrames, TheOptionsBoxPutsOurSkinOnEveryFrameAndTakesItOff) {
    TForm1* main = programtest::StartProgram();
    EXPECT_EQ(skin::FormProvider(main), nullptr);
    HWND h = main->Handle();

    // The hook comes with the skin and takes the windows shown at once.
    vcltest::Click(Form13->CheckBox5);
    vcltest::Pump();
    ASSERT_TRUE(main->sSkinManager1->SkinActive());
    ASSERT_TRUE(main->sSkinManager1->IsHooked);
    auto* provider = dynamic_cast<skin::TsSkinProvider*>(skin::FormProvider(main));
    ASSERT_NE(provider, nullptr);
    EXPECT_FALSE(GetWindowLongW(h, GWL_STYLE) & WS_SYSMENU);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(h, region), ERROR);
    // The title, the side and the bottom shown are the ones painted from the skin.
    RECT wr;
    GetWindowRect(h, &wr);
    for (int y : {provider->FrameHeight() + 4, wr.bottom - wr.top - 2}) EXPECT_EQ(FirstDifference(main, provider, y), -1) << y;
    HDC dc = GetWindowDC(h);
    const skin::TPixels cache = provider->SkinData->CacheBitmap->Pixels();
    for (int x : {1, static_cast<int>(wr.right - wr.left) - 2}) {
        const uint8_t* c = cache.At(x, cache.Height / 2);
        EXPECT_EQ(GetPixel(dc, x, cache.Height / 2), RGB(c[2], c[1], c[0])) << x;
    }
    ReleaseDC(h, dc);
    const skin::TRect close = provider->ButtonClose.Rect;
    ASSERT_FALSE(close.IsEmpty());
    const POINT centre{wr.left + (close.Left + close.Right) / 2, wr.top + (close.Top + close.Bottom) / 2};
    SetCursorPos(centre.x, centre.y);
    EXPECT_EQ(SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTCLOSE);
    // The options' window took the skin with the click: its box, taking the
    // focus, made the hidden window the active one. Shown, it wears the
    // skin, its controls too.
    SetActiveWindow(h);
    Form13->Show();
    vcltest::Pump();
    auto* options = dynamic_cast<skin::TsSkinProvider*>(skin::FormProvider(Form13));
    ASSERT_TRUE(options && options->SkinData->HasValidSkin());
    EXPECT_NE(options->Adapter, nullptr);
    EXPECT_TRUE(skin::AskSkinCommand(Form13->CheckBox5, skin::AC_QUERYSKINNED));

    vcltest::Click(Form13->CheckBox5);
    vcltest::Pump();
    Form13->Hide();
    EXPECT_FALSE(main->sSkinManager1->IsHooked);
    EXPECT_EQ(skin::HookedProviders, nullptr);
    EXPECT_EQ(options->Adapter, nullptr);
    EXPECT_FALSE(skin::AskSkinCommand(Form13->CheckBox5, skin::AC_QUERYSKINNED));
    EXPECT_TRUE(GetWindowLongW(h, GWL_STYLE) & WS_SYSMENU);
    EXPECT_EQ(GetWindowRgn(h, region), ERROR);
    EXPECT_FALSE(provider->SkinData->HasValidSkin());
    DeleteObject(region);
    EXPECT_TRUE(programtest::Boxes().Shown().empty());
}
