// Skinning in the whole program: the main window keeps the skin manager
// with our stored skins, switched off; the options' box switches it on, and
// every window of the program hears the new skin, and of its removal.
#include "support/program_fixture.h"

#include <map>

#include "skin/core/skincommands.h"
#include "skin/core/win32/skinmanager.h"
#include "windows/opt.h"

using namespace vcl;

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

    // What each window of the program hears of the skin.
    std::map<TForm*, std::vector<unsigned>> heard;
    std::vector<std::pair<TForm*, TWindowProcToken>> tokens;
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TForm* form = Screen->Forms(i);
        tokens.emplace_back(form, 0);
        tokens.back().second = form->ReplaceWindowProc([form, &heard, &tokens, i](TMessage& m) {
            if (m.Msg == skin::SM_SKINCMD && skin::SkinCommandOf(m.WParam) != skin::AC_QUERYSKINNED)
                heard[form].push_back(skin::SkinCommandOf(m.WParam));
            form->CallPreviousWindowProc(tokens[static_cast<size_t>(i)].second, m);
        });
    }
    ASSERT_EQ(Screen->FormCount(), 30);

    vcltest::Click(Form13->CheckBox5);
    EXPECT_TRUE(manager->SkinActive());
    EXPECT_EQ(manager->SkinName(), "Cold (internal)");
    EXPECT_TRUE(manager->IsHooked);
    for (const auto& [form, token] : tokens)
        EXPECT_EQ(heard[form], (std::vector<unsigned>{skin::AC_SKINLOADED, skin::AC_BEFOREREFRESH, skin::AC_SKINREFRESH}))
            << vcltest::Utf8(form->Name());
    heard.clear();

    vcltest::Click(Form13->CheckBox5);
    EXPECT_FALSE(manager->SkinActive());
    EXPECT_FALSE(manager->IsHooked);
    for (const auto& [form, token] : tokens)
        EXPECT_EQ(heard[form], std::vector<unsigned>{skin::AC_SKINREMOVED}) << vcltest::Utf8(form->Name());
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"})
        EXPECT_EQ(dynamic_cast<TControl*>(main->FindComponent(name))->Font()->Color(), clBlack) << name;
    EXPECT_TRUE(programtest::Boxes().Shown().empty());
    for (const auto& [form, token] : tokens) form->RestoreWindowProc(token);
}
