// The main window's controls adapted by its form's control adapter (by the
// manager's class lists, labels made transparent in the skin's font
// colour), with our stored skin switched on by the options:
// they wear the skin, the fleet boxes paint their section, and skinning
// off gives every control its own colours back; behind the options window
// too, at once.
#include "support/program_fixture.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "skin/core/skincommands.h"
#include "skin/core/win32/skinmanager.h"
#include "skin/core/win32/skinmessages.h"
#include "skin/core/win32/formbroadcast.h"
#include "skin/windows/ctrladapter.h"
#include "skin/windows/scrollbox.h"
#include "vcl/grids.h"
#include "windows/opt.h"

using namespace vcl;
using namespace skin;

namespace {

// What a window shows of itself, frame included, pixel by pixel.
std::vector<uint32_t> Shown(TWinControl* control) {
    HWND window = control->Handle();
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP picture = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> pixels(first, first + static_cast<size_t>(w) * static_cast<size_t>(h));
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    return pixels;
}

size_t PixelsApart(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return std::max(a.size(), b.size());
    size_t apart = 0;
    for (size_t i = 0; i < a.size(); ++i) apart += a[i] != b[i];
    return apart;
}

void RepaintWholly(TForm* form) {
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    vcltest::Pump();
}

}  // namespace

// The box is ticked in the options window, the active one; the main window
// behind it shows its controls (a grid's scroll bars, an edit's and a
// list's borders) in the skin at once, just as a full repaint draws them,
// and wholly plain again once the box is cleared. Twice: the first time
// the skin's hook takes the windows already shown, the second time their
// providers are there already. First in the program, so that the first
// switch of the run is its own.
TEST(ProgramControls, AnInactiveWindowsControlsFollowTheSwitchAtOnce) {
    TForm1* main = programtest::StartProgram();
    TsSkinManager* manager = main->sSkinManager1;
    ASSERT_FALSE(manager->Active());
    // The options window below the main window, so that it covers none of it.
    Form13->SetBounds(main->Left(), main->Top() + main->Height() + 4, Form13->Width(), Form13->Height());
    RepaintWholly(main);
    const std::vector<TWinControl*> controls = {main->ValueListEditor4, main->Edit2, main->ListBox2};
    std::vector<std::vector<uint32_t>> plain;
    for (TWinControl* c : controls) plain.push_back(Shown(c));
    Form13->Show();
    vcltest::Pump();
    ASSERT_EQ(GetActiveWindow(), Form13->Handle());

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        vcltest::Click(Form13->CheckBox5);
        ASSERT_TRUE(manager->SkinActive());
        ASSERT_EQ(GetActiveWindow(), Form13->Handle());
        std::vector<std::vector<uint32_t>> skinned;
        for (TWinControl* c : controls) skinned.push_back(Shown(c));
        RepaintWholly(main);
        for (size_t i = 0; i < controls.size(); ++i) {
            EXPECT_GT(PixelsApart(skinned[i], plain[i]), 0u) << controls[i]->Name();
            EXPECT_EQ(PixelsApart(skinned[i], Shown(controls[i])), 0u) << controls[i]->Name();
        }

        vcltest::Click(Form13->CheckBox5);
        ASSERT_FALSE(manager->SkinActive());
        for (size_t i = 0; i < controls.size(); ++i)
            EXPECT_EQ(PixelsApart(Shown(controls[i]), plain[i]), 0u) << controls[i]->Name();
    }
    Form13->Hide();
    vcltest::Pump();
    EXPECT_TRUE(programtest::Boxes().Shown().empty());
}

TEST(ProgramControls, TheMainWindowsControlsWearTheSkinAndGetTheirColoursBack) {
    TForm1* main = programtest::StartProgram();
    TsSkinManager* manager = main->sSkinManager1;
    const TColor editColor = main->Edit1->Color(), editFont = main->Edit1->Font()->Color();
    const TColor fixed = main->ValueListEditor1->FixedColor();
    vcltest::Click(Form13->CheckBox5);
    ASSERT_TRUE(manager->SkinActive());
    auto* provider = dynamic_cast<TsSkinProvider*>(FormProvider(main));
    ASSERT_NE(provider, nullptr);
    auto* adapter = dynamic_cast<TacCtrlAdapter*>(provider->Adapter.get());
    ASSERT_NE(adapter, nullptr);
    vcltest::Pump();
    RedrawWindow(main->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    vcltest::Pump();

    // Each kind the main window has: edits, lists, grids, buttons, the radio
    // group and its buttons, the group boxes (the hidden check box too).
    std::vector<std::string> kinds;
    for (int i = 0; i < adapter->Count(); ++i) kinds.push_back(adapter->GetItem(i)->ScrollWnd->ClassName());
    for (const char* kind : {"TacEditWnd", "TacGridWnd", "TacBtnWnd", "TacCheckBoxWnd", "TacGroupBoxWnd"})
        EXPECT_NE(std::find(kinds.begin(), kinds.end(), kind), kinds.end()) << kind;
    const TsSkinContent& skin = manager->Skin();
    const TsGeneralData& edit = skin.Sections[static_cast<size_t>(skin.GetSkinIndex("EDIT"))];
    EXPECT_EQ(main->Edit1->Color(), edit.Color);
    EXPECT_EQ(main->ListBox1->Color(), edit.Color);
    EXPECT_EQ(main->ValueListEditor1->Color(), edit.Color);
    EXPECT_EQ(main->ValueListEditor1->FixedColor(), manager->GetGlobalInfoColor());
    // The fleet boxes paint their section behind the sides.
    for (TsScrollBox* box : {main->sScrollBox1, main->sScrollBox2}) {
        EXPECT_EQ(box->SkinData()->SkinSection(), "PANEL_LOW");
        EXPECT_TRUE(box->SkinData()->HasValidSkin());
        EXPECT_NE(box->ScrollAdapter(), nullptr);
    }
    if (const char* dir = std::getenv("NORVIX_SCREENSHOT_DIR")) {
        EXPECT_TRUE(vcltest::SaveScreenshot(main, std::string(dir) + "/main_window_skinned.bmp"));
    }

    vcltest::Click(Form13->CheckBox5);
    EXPECT_FALSE(manager->SkinActive());
    EXPECT_EQ(main->Edit1->Color(), editColor);
    EXPECT_EQ(main->Edit1->Font()->Color(), editFont);
    EXPECT_EQ(main->ValueListEditor1->FixedColor(), fixed);
    for (TsScrollBox* box : {main->sScrollBox1, main->sScrollBox2}) EXPECT_EQ(box->ScrollAdapter(), nullptr);
    EXPECT_EQ(provider->Adapter, nullptr);
    EXPECT_TRUE(programtest::Boxes().Shown().empty());
}
