// Closing the main window: the window positions are written and the closing
// notice, which nothing but its button closes, ends the program. A program
// of its own, as the end is final.
#include "support/program_fixture.h"

#include "windows/klan.h"
#include "windows/log.h"
#include "windows/stat.h"

using namespace vcl;

TEST(ShutDown, PositionsAreWrittenAndOnlyTheNoticesButtonEndsTheProgram) {
    TForm1* form = programtest::StartProgram();
    remove(programtest::InFolder("cords.ini").c_str());
    form->SetBounds(40, 30, form->Width(), form->Height());
    Form7->SetBounds(200, 150, Form7->Width(), Form7->Height());
    // A minimized window keeps the place it has when shown normally.
    Form7->Show();
    Form7->SetWindowState(wsMinimized);
    ASSERT_EQ(Form7->WindowState(), wsMinimized);

    bool shownModal = false, disabledAtFirst = false, refusedTheCloseBox = false, enabledAfterTwoSeconds = false;
    bool stillDisabledJustBefore = false;
    vcltest::PostAction([&] {
        shownModal = Fo8->Visible() && Fo8->Modal();
        disabledAtFirst = !Fo8->Button1->Enabled();
        Fo8->Close();
        vcltest::Pump();
        refusedTheCloseBox = Fo8->Visible();
        vcltest::Advance(1999);
        stillDisabledJustBefore = !Fo8->Button1->Enabled();
        vcltest::Advance(1);
        enabledAfterTwoSeconds = Fo8->Button1->Enabled();
        vcltest::Click(Fo8->Button1);
    });
    form->Close();

    EXPECT_TRUE(shownModal);
    EXPECT_TRUE(disabledAtFirst);
    EXPECT_TRUE(refusedTheCloseBox);
    EXPECT_TRUE(stillDisabledJustBefore);
    EXPECT_TRUE(enabledAfterTwoSeconds);
    EXPECT_TRUE(Application->Terminated());

    TIniFile file(programtest::InFolder("cords.ini"));
    EXPECT_EQ(file.ReadInteger("main", "top", -1), 30);
    EXPECT_EQ(file.ReadInteger("main", "left", -1), 40);
    EXPECT_EQ(file.ReadInteger("log", "top", -1), 150);
    EXPECT_EQ(file.ReadInteger("log", "left", -1), 200);
    EXPECT_EQ(file.ReadInteger("stat", "top", -1), Form10->Top());
    EXPECT_EQ(file.ReadInteger("stat", "left", -1), Form10->Left());
}
