// The main window's controls adapted by its form's control adapter (by the
// manager's class lists, labels made transparent in the skin's font
// colour), with our stored skin switched on by the options:
// they wear the skin, the fleet boxes paint their section, and skinning
// off gives every control its own colours back.
#include "support/program_fixture.h"

#include <algorithm>
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
