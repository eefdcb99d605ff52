// The small windows: the battle log and its gauges, the statistics window,
// the wait window, the credits, the name prompts, the warning before fleet
// selection and the fleet-selection shells.
#include "gtest_windows.h"
#include "support/fake_main_window.h"
#include "support/scratch_folder.h"
#include "support/vcl_test_support.h"

#include "windows/dataform.h"
#include "windows/form_crators.h"
#include "windows/inputname1.h"
#include "windows/klan.h"
#include "windows/inputname2.h"
#include "windows/log.h"
#include "windows/opt.h"
#include "windows/podbor.h"
#include "windows/podbor_dialog.h"
#include "windows/podborprunit.h"
#include "windows/podborresunit.h"
#include "windows/stat.h"
#include "windows/wait.h"

using namespace vcl;
using vcltest::Advance;
using vcltest::MemoLines;

TEST(LogWindow, TheBattleWritesLinesAndGaugesAndClearingKeepsWhatFollows) {
    vcltest::Clock();
    auto* log = NewForm<TForm7>(nullptr);
    log->Show();
    battle::BattleOutput& out = *log;

    out.Log("Раунд 1");
    out.Log("");
    out.Log("Крейсер 1000 50 20");
    EXPECT_EQ(MemoLines(log->Memo1), (std::vector<std::string>{"Раунд 1", "", "Крейсер 1000 50 20"}));

    out.SetRoundGauge(9, "% (бой №3)");
    out.SetRoundProgress(3);
    EXPECT_EQ(log->sGauge2->MaxValue(), 9);
    EXPECT_EQ(log->sGauge2->Progress(), 3);
    EXPECT_EQ(log->sGauge2->PercentDone(), 33);
    EXPECT_EQ(log->sGauge2->Suffix(), "% (бой №3)");
    out.SetUnitGauge(5000000000LL, "%");  // more units than a gauge counts
    out.SetUnitProgress(2500000000LL);
    EXPECT_EQ(log->sGauge1->PercentDone(), 50);
    out.SetUnitProgress(5000000000LL);
    EXPECT_EQ(log->sGauge1->PercentDone(), 100);
    out.SetUnitGauge(4, "%");
    out.SetUnitProgress(1);
    EXPECT_EQ(log->sGauge1->PercentDone(), 25);
    out.SetUnitProgress(-1);
    EXPECT_EQ(log->sGauge1->Progress(), 0);

    // "стереть" during a run removes only what was written so far.
    vcltest::Click(log->Button1);
    EXPECT_TRUE(MemoLines(log->Memo1).empty());
    out.Log("Раунд 2");
    EXPECT_EQ(MemoLines(log->Memo1), (std::vector<std::string>{"Раунд 2"}));
    log->Free();
}

TEST(LogWindow, ALongLogKeepsEveryLine) {
    auto* log = NewForm<TForm7>(nullptr);
    const int lines = 3000;
    for (int i = 0; i < lines; ++i) log->Log("1:1:" + std::to_string(i) + " Крейсер Структура:1000 Щиты:50");
    std::vector<std::string> shown = MemoLines(log->Memo1);
    ASSERT_EQ(static_cast<int>(shown.size()), lines);
    EXPECT_EQ(shown.front(), "1:1:0 Крейсер Структура:1000 Щиты:50");
    EXPECT_EQ(shown.back(), "1:1:2999 Крейсер Структура:1000 Щиты:50");
    log->Free();
}

TEST(StatisticsWindow, ItsButtonClearsTheStatistics) {
    auto* stat = NewForm<TForm10>(nullptr);
    EXPECT_EQ(stat->Caption(), "статистический модуль");
    stat->Memo1->Lines()->Add("Побед: 3");
    vcltest::Click(stat->Button1);
    EXPECT_TRUE(MemoLines(stat->Memo1).empty());
    stat->Free();
}

TEST(WaitWindow, ClosesItselfThreeSecondsAfterItsTimerStarts) {
    vcltest::Clock();
    auto* wait = NewForm<TForm20>(nullptr);
    wait->Show();
    ASSERT_TRUE(wait->Timer1->Enabled());
    Advance(2999);
    EXPECT_TRUE(wait->Visible());
    Advance(1);
    EXPECT_FALSE(wait->Visible());
    EXPECT_FALSE(wait->Timer1->Enabled());

    // Shown again later, it closes again when its timer is enabled.
    wait->Show();
    wait->Timer1->SetEnabled(true);
    Advance(3000);
    EXPECT_FALSE(wait->Visible());
    wait->Free();
}

TEST(CreditsWindow, ClosesFiveSecondsAfterTheFirstAttempt) {
    vcltest::Clock();
    auto* credits = NewForm<Tformcreators>(nullptr);
    credits->Show();
    std::vector<std::string> text = MemoLines(credits->Memo1);
    for (const char* heading : {"Теститрование и поиск дыр", "Информационная поддержка", "Интерфейс и новые идеи",
                                "Пиар компания и моральная поддержка"})
        EXPECT_NE(std::find(text.begin(), text.end(), heading), text.end()) << vcltest::Utf8(heading);

    Advance(10000);
    EXPECT_TRUE(credits->Visible());  // nothing happens before the first attempt
    SendMessageW(credits->Handle(), WM_CLOSE, 0, 0);
    vcltest::Pump();
    EXPECT_TRUE(credits->Visible());
    Advance(4999);
    EXPECT_TRUE(credits->Visible());
    Advance(1);
    EXPECT_FALSE(credits->Visible());
    EXPECT_FALSE(credits->Timer1->Enabled());

    // Once the countdown runs, another attempt closes them at once.
    credits->Show();
    SendMessageW(credits->Handle(), WM_CLOSE, 0, 0);
    vcltest::Pump();
    EXPECT_TRUE(credits->Visible());
    SendMessageW(credits->Handle(), WM_CLOSE, 0, 0);
    vcltest::Pump();
    EXPECT_FALSE(credits->Visible());
    credits->Free();
}

TEST(NamePrompts, OnlyTheSideOnePromptKnowsTheAccessCode) {
    vcltest::Clock();
    scratch::Folder folder({"DataBase.dat", "lang.dat"});
    vcltest::MessageBoxes boxes;
    auto* main = NewForm<TFakeMainWindow>(nullptr);
    Form4 = NewForm<TForm4>(nullptr);
    Form4->Timer3->SetEnabled(false);
    auto* prompt1 = NewForm<TForm11>(nullptr);
    auto* prompt2 = NewForm<TForm12>(nullptr);
    EXPECT_EQ(prompt1->Edit1->Text(), "введите имя");
    EXPECT_EQ(prompt2->Edit1->Text(), "введите имя");
    EXPECT_EQ(prompt2->Caption(), "введите имя");

    // A name: the main window's addnew1 timer adds the participant.
    prompt1->Show();
    vcltest::TypeText(prompt1->Edit1, "Альянс");
    vcltest::Click(prompt1->Button1);
    EXPECT_FALSE(prompt1->Visible());
    Advance(1);
    EXPECT_EQ(main->ticks, (std::vector<std::string>{"addnew1"}));

    // The access code: the database window, no participant.
    prompt1->Show();
    vcltest::TypeText(prompt1->Edit1, "tovermil");
    vcltest::Click(prompt1->Button1);
    Advance(1);
    EXPECT_TRUE(Form4->Visible());
    EXPECT_FALSE(prompt1->Visible());
    EXPECT_EQ(main->ticks.size(), 1u);
    Form4->Hide();

    // On side 2 the code is just a name.
    prompt2->Show();
    vcltest::TypeText(prompt2->Edit1, "tovermil");
    vcltest::Click(prompt2->Button1);
    Advance(1);
    EXPECT_FALSE(Form4->Visible());
    EXPECT_FALSE(prompt2->Visible());
    EXPECT_EQ(main->ticks, (std::vector<std::string>{"addnew1", "addnew2"}));

    prompt2->Free();
    prompt1->Free();
    Form4->Free();
    Form4 = nullptr;
    main->Free();
}

TEST(SelectionWarning, OnlyTheFirstButtonStartsFleetSelection) {
    vcltest::Clock();
    auto* main = NewForm<TFakeMainWindow>(nullptr);
    auto* dialog = NewForm<TForm22>(nullptr);

    vcltest::PostAction([&] { vcltest::Click(dialog->Button2); });
    dialog->ShowModal();
    Advance(1);
    EXPECT_TRUE(main->ticks.empty());

    vcltest::PostAction([&] { vcltest::Click(dialog->Button1); });
    dialog->ShowModal();
    EXPECT_FALSE(dialog->Visible());
    Advance(1);
    EXPECT_EQ(main->ticks, (std::vector<std::string>{"podbor1"}));
    dialog->Free();
    main->Free();
}

TEST(FleetSelectionWindows, ShellsHoldWhatSelectionFills) {
    auto* tables = NewForm<Tpodborform>(nullptr);
    for (TStringGrid* grid : {tables->StringGrid1, tables->StringGrid2}) {
        EXPECT_EQ(grid->RowCount(), 601);
        grid->SetCells(3, 600, "12,5");  // a candidate's score in the last row
        EXPECT_EQ(grid->Cells(3, 600), "12,5");
    }
    auto* progress = NewForm<Tpodborpr>(nullptr);
    for (skin::TsGauge* gauge : {progress->sGauge1, progress->sGauge2, progress->sGauge3}) EXPECT_EQ(gauge->Suffix(), "%");
    auto* result = NewForm<Tpodborres>(nullptr);
    EXPECT_FALSE(result->Button2->Enabled());
    EXPECT_TRUE(result->Button1->Enabled());
    result->Show();
    vcltest::Click(result->Button1);
    EXPECT_FALSE(result->Visible());
    result->Free();
    progress->Free();
    tables->Free();
}

// Screenshots of the small windows for a person to look at (in the build folder).
TEST(SmallWindows, ScreenshotsOfEveryWindow) {
    vcltest::Clock();
    scratch::Folder folder({"DataBase.dat", "lang.dat", "opt.dat"});
    vcltest::MessageBoxes boxes;
    std::vector<TForm*> forms = {NewForm<TForm7>(nullptr),    NewForm<TForm10>(nullptr),  NewForm<TForm20>(nullptr),
                                 NewForm<Tformcreators>(nullptr), NewForm<TForm11>(nullptr), NewForm<TForm22>(nullptr),
                                 NewForm<Tpodborpr>(nullptr),  NewForm<Tpodborres>(nullptr), NewForm<TForm4>(nullptr),
                                 NewForm<TFo8>(nullptr),       NewForm<TForm13>(nullptr)};
    auto* log = static_cast<TForm7*>(forms[0]);
    for (int i = 1; i <= 40; ++i) log->Log("1:1:" + std::to_string(i) + " Крейсер Структура:1000 Щиты:50");
    log->SetRoundGauge(9, "% (бой №1)");
    log->SetRoundProgress(4);
    const char* shots = std::getenv("NORVIX_SHOTS");
    for (TForm* form : forms) {
        form->Show();
        vcltest::Pump();
        if (shots) EXPECT_TRUE(vcltest::SaveScreenshot(form, std::string(shots) + "/" + form->Name() + ".bmp"));
        form->Hide();
    }
    for (TForm* form : forms) form->Free();
}
