// The options window: opt.dat read at creation and written by "сохранить",
// undone by "выйти без сохранения", the hidden statistics mirror, and the
// label colours that follow the skinning box.
#include "gtest_windows.h"
#include "support/fake_main_window.h"
#include "support/scratch_folder.h"
#include "support/vcl_test_support.h"

#include <sys/stat.h>

#include <cstdio>

#include "skin/core/storedskins.h"
#include "skin/core/win32/skinmanager.h"
#include "windows/opt.h"

using namespace vcl;
using vcltest::Utf8;

namespace {

const std::vector<std::string> kSaved = {"12", "1", "1", "25", "0", "0", "1", "0", "1", "6", "49"};

struct OptionsWindow {
    explicit OptionsWindow(const std::vector<std::string>* file) {
        if (file) folder.Write("opt.dat", scratch::JoinCrLf(*file));
        form = NewForm<TForm13>(nullptr);
        form->Show();
        vcltest::Pump();
    }
    ~OptionsWindow() { form->Free(); }
    std::vector<std::string> SavedLines() const { return scratch::Lines(folder.Read("opt.dat")); }

    scratch::Folder folder;
    vcltest::MessageBoxes boxes;
    TForm13* form;
};

}  // namespace

TEST(OptionsWindow, ReadsEveryLineIntoItsControlAndWritesThemBackInOrder) {
    OptionsWindow w(&kSaved);
    TForm13* f = w.form;
    EXPECT_TRUE(w.boxes.Shown().empty());
    EXPECT_EQ(f->Edit2->Text(), "12");
    EXPECT_TRUE(f->CheckBox2->Checked());
    EXPECT_TRUE(f->CheckBox4->Checked());
    EXPECT_TRUE(f->CheckBox1->Checked());
    EXPECT_FALSE(f->CheckBox1->Visible());
    EXPECT_EQ(f->Edit1->Text(), "25");
    EXPECT_FALSE(f->CheckBox3->Checked());
    EXPECT_FALSE(f->CheckBox5->Checked());
    EXPECT_TRUE(f->CheckBox6->Checked());
    EXPECT_FALSE(f->CheckBox7->Checked());
    EXPECT_TRUE(f->CheckBox8->Checked());
    EXPECT_EQ(f->Edit3->Text(), "6");
    EXPECT_EQ(f->Edit4->Text(), "49");

    // The battle reads the controls as they are, saved or not.
    vcltest::TypeText(f->Edit2, "5");
    vcltest::Click(f->CheckBox4);
    vcltest::Click(f->CheckBox3);
    const battle::BattleOptions& options = *f;
    EXPECT_EQ(options.RoundsText(), "5");
    EXPECT_FALSE(options.Statistics());
    EXPECT_TRUE(options.FullLog());
    EXPECT_EQ(options.BattlesText(), "25");
    EXPECT_TRUE(options.SaveLogs());
    EXPECT_TRUE(options.Payback());
    EXPECT_EQ(options.GenerationsText(), "6");
    EXPECT_EQ(options.CandidatesText(), "49");

    vcltest::Click(f->Button1);
    EXPECT_FALSE(f->Visible());
    EXPECT_EQ(w.SavedLines(), (std::vector<std::string>{"5", "1", "0", "25", "1", "0", "1", "0", "1", "6", "49"}));
    EXPECT_EQ(w.folder.Read("opt.dat").substr(0, 3), "5\r\n");
}

TEST(OptionsWindow, TheSavedStatisticsLineComesFromTheHiddenMirror) {
    OptionsWindow w(&kSaved);
    TForm13* f = w.form;
    for (int click = 0; click < 3; ++click) {
        vcltest::Click(f->CheckBox4);
        EXPECT_EQ(f->CheckBox1->Checked(), f->CheckBox4->Checked());
    }
    EXPECT_FALSE(f->CheckBox1->Checked());
    vcltest::Click(f->Button1);
    EXPECT_EQ(w.SavedLines()[2], "0");
}

TEST(OptionsWindow, OnlyTheTextOneChecksABox) {
    std::vector<std::string> file = kSaved;
    file[1] = "1 ";   // save logs
    file[2] = "true";  // statistics
    file[4] = "1";     // full log
    file[8] = "";      // window positions
    OptionsWindow w(&file);
    EXPECT_FALSE(w.form->CheckBox2->Checked());
    EXPECT_FALSE(w.form->CheckBox4->Checked());
    EXPECT_FALSE(w.form->CheckBox1->Checked());
    EXPECT_TRUE(w.form->CheckBox3->Checked());
    EXPECT_FALSE(w.form->CheckBox8->Checked());
}

TEST(OptionsWindow, LeavingWithoutSavingRestoresWhatTheFileHolds) {
    OptionsWindow w(&kSaved);
    TForm13* f = w.form;
    vcltest::Click(f->CheckBox4);
    vcltest::TypeText(f->Edit1, "999");
    vcltest::Click(f->CheckBox7);
    ASSERT_FALSE(f->CheckBox1->Checked());

    vcltest::Click(f->Button2);
    EXPECT_FALSE(f->Visible());
    EXPECT_TRUE(f->CheckBox4->Checked());
    EXPECT_TRUE(f->CheckBox1->Checked());
    EXPECT_EQ(f->Edit1->Text(), "25");
    EXPECT_FALSE(f->CheckBox7->Checked());
    EXPECT_EQ(w.SavedLines(), kSaved);
}

TEST(OptionsWindow, AMissingOrShortFileIsToldAndTheDefaultsStand) {
    {
        OptionsWindow w(nullptr);
        ASSERT_EQ(w.boxes.Shown().size(), 1u);
        EXPECT_NE(w.boxes.Texts()[0].find("opt.dat"), std::string::npos) << Utf8(w.boxes.Texts()[0]);
        EXPECT_EQ(w.form->Edit2->Text(), "8");
        EXPECT_EQ(w.form->Edit1->Text(), "10");
        EXPECT_EQ(w.form->Edit3->Text(), "4");
        EXPECT_EQ(w.form->Edit4->Text(), "100");
        EXPECT_FALSE(w.form->CheckBox1->Checked());
        // Saving makes the file the next start reads.
        vcltest::Click(w.form->Button1);
        EXPECT_EQ(w.SavedLines(), (std::vector<std::string>{"8", "0", "0", "10", "0", "0", "0", "0", "0", "4", "100"}));
    }
    {
        const std::vector<std::string> shortFile = {"3", "1", "1"};
        OptionsWindow w(&shortFile);
        ASSERT_EQ(w.boxes.Shown().size(), 1u);
        EXPECT_NE(w.boxes.Texts()[0].find("opt.dat"), std::string::npos);
        EXPECT_EQ(w.form->Edit2->Text(), "3");
        EXPECT_TRUE(w.form->CheckBox2->Checked());
        EXPECT_TRUE(w.form->CheckBox1->Checked());
        EXPECT_EQ(w.form->Edit1->Text(), "10");
        EXPECT_EQ(w.form->Edit4->Text(), "100");
        EXPECT_FALSE(w.form->CheckBox8->Checked());
    }
}

// Without a file to read again, "выйти без сохранения" goes back to what the
// window showed when it was opened; a damaged line takes that value too.
TEST(OptionsWindow, LeavingWithoutAUsableFileRestoresTheValuesTheWindowOpenedWith) {
    OptionsWindow w(&kSaved);
    TForm13* f = w.form;
    std::remove(w.folder.Path("opt.dat").c_str());
    vcltest::TypeText(f->Edit2, "0");
    vcltest::Click(f->CheckBox4);
    w.boxes.Clear();
    vcltest::Click(f->Button2);
    EXPECT_FALSE(f->Visible());
    ASSERT_EQ(w.boxes.Shown().size(), 1u);
    EXPECT_NE(w.boxes.Texts()[0].find("opt.dat"), std::string::npos) << Utf8(w.boxes.Texts()[0]);
    EXPECT_EQ(f->Edit2->Text(), "12");
    EXPECT_TRUE(f->CheckBox4->Checked());
    EXPECT_TRUE(f->CheckBox1->Checked());
    EXPECT_FALSE(w.folder.Exists("opt.dat"));

    // Opened again with 12 rounds shown; the file now holds a word where the rounds go.
    std::vector<std::string> damaged = kSaved;
    damaged[0] = "восемь";
    damaged[3] = "30";
    w.folder.Write("opt.dat", scratch::JoinCrLf(damaged));
    f->Show();
    vcltest::TypeText(f->Edit2, "99");
    w.boxes.Clear();
    vcltest::Click(f->Button2);
    ASSERT_EQ(w.boxes.Shown().size(), 1u);
    EXPECT_NE(w.boxes.Texts()[0].find("строке 1"), std::string::npos) << Utf8(w.boxes.Texts()[0]);
    EXPECT_EQ(f->Edit2->Text(), "12");
    EXPECT_EQ(f->Edit1->Text(), "30");
}

TEST(OptionsWindow, AFailedSaveIsToldAndKeepsTheWindowAndItsValues) {
    OptionsWindow w(&kSaved);
    // A folder in the file's place cannot be replaced by the new file.
    std::remove(w.folder.Path("opt.dat").c_str());
    mkdir(w.folder.Path("opt.dat").c_str(), 0755);
    vcltest::TypeText(w.form->Edit2, "7");
    w.boxes.Clear();
    vcltest::Click(w.form->Button1);
    ASSERT_EQ(w.boxes.Shown().size(), 1u);
    EXPECT_TRUE(w.form->Visible());
    EXPECT_EQ(w.form->Edit2->Text(), "7");
    rmdir(w.folder.Path("opt.dat").c_str());
}

// A number the run could not honour is refused on saving, with its field and
// the range; opt.dat stays as it was and the window keeps what was typed.
TEST(OptionsWindow, NumbersARunCannotHonourAreRefusedAndNothingIsSaved) {
    OptionsWindow w(&kSaved);
    TForm13* f = w.form;
    const std::string file = w.folder.Read("opt.dat");
    vcltest::TypeText(f->Edit2, "2147483647");
    vcltest::TypeText(f->Edit1, "-5");
    vcltest::TypeText(f->Edit4, "99999999999");
    vcltest::Click(f->CheckBox3);
    vcltest::Click(f->Button1);
    EXPECT_TRUE(f->Visible());
    ASSERT_EQ(w.boxes.Shown().size(), 1u);
    const std::string text = w.boxes.Texts()[0];
    for (const char* part : {"Ничего не сохранено", "«количество раундов»: «2147483647» - должно быть целым числом от 1 до 10000",
                             "«количество боев для статистики»: «-5» - должно быть целым числом от 1 до 65534",
                             "«количество боев при подборе»: «99999999999» - должно быть целым числом от 1 до 65025"})
        EXPECT_NE(text.find(part), std::string::npos) << Utf8(part) << "\n" << Utf8(text);
    EXPECT_EQ(text.find("итераций"), std::string::npos) << Utf8(text);
    EXPECT_EQ(w.folder.Read("opt.dat"), file);
    EXPECT_EQ(f->Edit2->Text(), "2147483647");

    // Mended, the same button saves and closes.
    vcltest::TypeText(f->Edit2, "10000");
    vcltest::TypeText(f->Edit1, "65534");
    vcltest::TypeText(f->Edit4, "1");
    vcltest::Click(f->Button1);
    EXPECT_FALSE(f->Visible());
    EXPECT_EQ(w.boxes.Shown().size(), 1u);
    EXPECT_EQ(w.SavedLines(),
              (std::vector<std::string>{"10000", "1", "1", "65534", "1", "0", "1", "0", "1", "6", "1"}));
}

TEST(OptionsWindow, LabelColoursFollowTheSkinningBox) {
    scratch::Folder folder;
    std::vector<std::string> file = kSaved;
    file[5] = "1";  // skinning on
    folder.Write("opt.dat", scratch::JoinCrLf(file));
    auto* main = NewForm<TFakeMainWindow>(nullptr);
    auto* f = NewForm<TForm13>(nullptr);

    // Switched on at creation: the labels take the colour of the main window's Label1.
    EXPECT_TRUE(f->CheckBox5->Checked());
    EXPECT_EQ(main->Control("Label1")->Font()->Color(), clRed);
    for (const char* name : {"Label2", "Label3", "Label4"})
        EXPECT_EQ(main->Control(name)->Font()->Color(), clRed) << name;
    EXPECT_EQ(f->Label1->Font()->Color(), clRed);

    // Off: all four labels of the main window and this window's two go black.
    vcltest::Click(f->CheckBox5);
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"})
        EXPECT_EQ(main->Control(name)->Font()->Color(), clBlack) << name;
    EXPECT_EQ(f->Label1->Font()->Color(), clBlack);
    EXPECT_EQ(f->Label2->Font()->Color(), clBlack);
    vcltest::Click(f->Button1);
    EXPECT_EQ(scratch::Lines(folder.Read("opt.dat"))[5], "0");
    f->Free();
    main->Free();
}

TEST(OptionsWindow, TheSkinningBoxSwitchesTheMainWindowsSkinManager) {
    OptionsWindow w(&kSaved);
    auto* main = NewForm<TFakeMainWindow>(Application);
    auto* manager = new skin::TsSkinManager(main);
    manager->SetName("sSkinManager1");
    manager->SetActive(false);
    skin::AddOwnStoredSkins(manager->InternalSkins());
    manager->SetSkinName("Cold (internal)");

    vcltest::Click(w.form->CheckBox5);
    EXPECT_TRUE(manager->Active());
    EXPECT_TRUE(manager->SkinActive());
    EXPECT_GE(manager->GetSkinIndex("FORM"), 0);
    EXPECT_TRUE(manager->IsHooked);
    EXPECT_TRUE(w.boxes.Shown().empty());

    vcltest::Click(w.form->CheckBox5);
    EXPECT_FALSE(manager->Active());
    EXPECT_FALSE(manager->SkinActive());
    EXPECT_TRUE(manager->Skin().Sections.empty());
    EXPECT_FALSE(manager->IsHooked);
    EXPECT_EQ(main->Control("Label1")->Font()->Color(), clBlack);
    main->Free();
}
